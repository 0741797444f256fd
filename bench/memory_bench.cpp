// Peak memory of `vexel compress` with one job and with eight, over eight
// generated 5 MB pages: each run is a child process, measured by the system
// (the maximum resident set size from wait4).
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
        std::freopen("/dev/null", "w", stdout);
        std::freopen("/dev/null", "w", stderr);
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
    for (int i = 0; i < pages; ++i) {
        const std::string text = vexel::bench::GeneratePage(size, 1000u + static_cast<unsigned>(i));
        for (const int jobs : job_counts) {
            const fs::path folder = root / ("jobs" + std::to_string(jobs));
            fs::create_directories(folder);
            std::ofstream(folder / ("page" + std::to_string(i) + ".htm"), std::ios::binary) << text;
        }
    }

    std::printf("%d pages of %.1f MB, vexel compress -q --jobs N\n\n", pages, size / 1048576.0);
    std::printf("%-10s %10s %14s %16s\n", "jobs", "seconds", "peak RSS (MB)", "pages' worth");
    int failures = 0;
    // The baseline is the program doing nothing but starting.
    const Measure idle = RunChild({program, "--version"});
    for (const int jobs : job_counts) {
        const fs::path folder = root / ("jobs" + std::to_string(jobs));
        const Measure run =
            RunChild({program, "compress", "-q", "--jobs", std::to_string(jobs), folder.string()});
        if (run.status != 0) {
            std::fprintf(stderr, "vexel exited with %d\n", run.status);
            ++failures;
        }
        const double peak_mb = run.peak_kb / 1024.0;
        std::printf("%-10d %10.2f %14.1f %16.1f\n", jobs, run.seconds, peak_mb,
                    (run.peak_kb - idle.peak_kb) / 1024.0 / (size / 1048576.0));
    }
    std::printf("\nstarting alone: %.1f MB; \"pages' worth\" is the peak above that in page sizes.\n",
                idle.peak_kb / 1024.0);
    fs::remove_all(root);
    return failures == 0 ? 0 : 1;
}
