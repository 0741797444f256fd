// Peak memory of `vexel compress` with one job and with eight, over eight
// 5 MB pages of three kinds: generated HTML, random bytes and NUL bytes (the
// last two behind a body tag, so that every byte is filtered, warned about
// and encoded). Each run is a child process, measured by the system (the
// maximum resident set size from wait4), with its log on standard output.
// The target: eight jobs peak at no more than 4 times one job, for any kind.
//
//   vexel-memory-bench [--vexel PROGRAM] [--pages N] [--size BYTES]

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <random>
#include <string>
#include <vector>

#include "bench/generated_page.h"

namespace {

namespace fs = std::filesystem;

#ifndef VEXEL_PROGRAM
#define VEXEL_PROGRAM "vexel"
#endif

struct Measure {
    int status = -1;
    double seconds = 0;
    long peak_kb = 0;
};

// Runs the program with `args`, its output thrown away.
Measure RunChild(const std::vector<std::string>& args) {
    Measure measure;
    std::fflush(stdout);
    const auto start = std::chrono::steady_clock::now();
    // The child's peak counts what it was given at the fork too: the pages
    // are on disk and out of this process's memory by now.
    const pid_t pid = fork();
    if (pid == 0) {
        if (std::freopen("/dev/null", "w", stdout) == nullptr || std::freopen("/dev/null", "w", stderr) == nullptr)
            _exit(126);
        std::vector<char*> argv;
        std::vector<std::string> copy = args;
        for (std::string& arg : copy) {
            argv.push_back(arg.data());
        }
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    int raw = 0;
    rusage usage = {};
    wait4(pid, &raw, 0, &usage);
    measure.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    measure.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
    measure.peak_kb = usage.ru_maxrss;  // kilobytes on Linux
    return measure;
}

}  // namespace

int main(int argc, char** argv) {
    std::string program = VEXEL_PROGRAM;
    int pages = 8;
    std::size_t size = 5u << 20;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--vexel" && i + 1 < argc) {
            program = argv[++i];
        } else if (arg == "--pages" && i + 1 < argc) {
            pages = std::stoi(argv[++i]);
        } else if (arg == "--size" && i + 1 < argc) {
            size = static_cast<std::size_t>(std::stoull(argv[++i]));
        } else {
            std::cerr << "usage: vexel-memory-bench [--vexel PROGRAM] [--pages N] [--size BYTES]\n";
            return 2;
        }
    }

    std::random_device random;
    const fs::path root = fs::temp_directory_path() / ("vexel-memory-bench-" + std::to_string(random()));
    const std::vector<int> job_counts = {1, 8};
    const char* const kinds[] = {"html", "random", "nul"};
    const auto make_page = [&](const std::string& kind, int i) {
        if (kind == "html") {
            return vexel::bench::GeneratePage(size, 1000u + static_cast<unsigned>(i));
        }
        std::string text = "<html><body>";
        if (kind == "nul") {
            text.append(size, '\0');
            return text;
        }
        std::mt19937 bytes(2000u + static_cast<unsigned>(i));
        text.reserve(size + text.size());
        for (std::size_t n = 0; n < size; ++n) {
            text.push_back(static_cast<char>(bytes() & 0xFF));
        }
        return text;
    };

    // The baseline is the program doing nothing but starting.
    const Measure idle = RunChild({program, "--version"});
    std::printf("%d pages of %.1f MB each, vexel compress --jobs N (log to standard output)\n\n", pages,
                size / 1048576.0);
    std::printf("%-8s %6s %10s %14s %16s\n", "pages", "jobs", "seconds", "peak RSS (MB)", "pages' worth");
    int failures = 0;
    bool within = true;
    for (const char* kind : kinds) {
        long peaks[2] = {};
        for (std::size_t j = 0; j < job_counts.size(); ++j) {
            const int jobs = job_counts[j];
            const fs::path folder = root / (std::string(kind) + std::to_string(jobs));
            fs::create_directories(folder);
            for (int i = 0; i < pages; ++i) {
                std::ofstream(folder / ("page" + std::to_string(i) + ".htm"), std::ios::binary) << make_page(kind, i);
            }
            const Measure run = RunChild({program, "compress", "--jobs", std::to_string(jobs), folder.string()});
            if (run.status != 0) {
                std::fprintf(stderr, "vexel exited with %d\n", run.status);
                ++failures;
            }
            peaks[j] = run.peak_kb;
            std::printf("%-8s %6d %10.2f %14.1f %16.1f\n", kind, jobs, run.seconds, run.peak_kb / 1024.0,
                        (run.peak_kb - idle.peak_kb) / 1024.0 / (size / 1048576.0));
            fs::remove_all(folder);
        }
        const double ratio = peaks[0] > 0 ? static_cast<double>(peaks[1]) / static_cast<double>(peaks[0]) : 0;
        within = within && ratio <= 4.0;
        std::printf("%-8s %6s %10s %14s  8 jobs / 1 job: %.2f (target 4 at most)\n\n", kind, "", "", "", ratio);
    }
    std::printf("starting alone: %.1f MB; \"pages' worth\" is the peak above that in page sizes.\n",
                idle.peak_kb / 1024.0);
    std::printf("%s\n", within ? "every kind within 4 x" : "NOT within 4 x for every kind");
    fs::remove_all(root);
    return failures == 0 && within ? 0 : 1;
}
