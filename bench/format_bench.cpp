// The page formats side by side: for the example pages and a few larger
// generated ones, the size of the classic JavaScript page and of the modern
// page next to gzip -9 and brotli -q 11 of the original, the speed of writing
// each, what encryption adds, and how long Node.js takes to open each page
// (the classic decoder against the modern one).
//
//   vexel-format-bench [--skip-open] [--classic-open-limit BYTES] [--keep DIR]
//
// --classic-open-limit: open classic pages in Node.js only up to this size
// (the classic decoder takes minutes on a page of 1 MB); --keep: leave the
// pages written in DIR.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "bench/generated_page.h"
#include "engine/page_compression.h"
#include "engine/modern_page.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// Pages of this size and more must be at most kTargetRatio times their gzip -9 size.
constexpr std::size_t kTargetFrom = 20 * 1024;
constexpr double kTargetRatio = 1.40;
constexpr std::size_t kEncryptionAllowance = 400;

class QuietHost : public vexel::JobHost {
public:
    void AddLogLine(const std::string&) override {}
};

struct Page {
    std::string name;
    std::string bytes;
};

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

void WriteFile(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

double SecondsOf(const std::function<void()>& run) {
    const auto start = Clock::now();
    run();
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Best of `repeat` runs.
double BestSecondsOf(int repeat, const std::function<void()>& run) {
    double best = 1e30;
    for (int i = 0; i < repeat; ++i) {
        best = std::min(best, SecondsOf(run));
    }
    return best;
}

// The output size of a shell command that compresses `file` to standard output; 0 when it fails.
std::size_t CompressedSize(const std::string& command, const fs::path& file) {
    const std::string line = command + " '" + file.string() + "' 2>/dev/null | wc -c";
    std::size_t size = 0;
    if (FILE* pipe = popen(line.c_str(), "r")) {
        unsigned long long n = 0;
        if (std::fscanf(pipe, "%llu", &n) == 1) {
            size = static_cast<std::size_t>(n);
        }
        pclose(pipe);
    }
    return size;
}

bool HaveTool(const std::string& name) {
    return std::system(("command -v " + name + " >/dev/null 2>&1").c_str()) == 0;
}

std::vector<Page> PageSet() {
    std::vector<Page> pages;
    const fs::path examples = fs::path(VEXEL_SOURCE_DIR) / "examples";
    std::vector<fs::path> files;
    for (const auto& entry : fs::recursive_directory_iterator(examples)) {
        const std::string ext = entry.path().extension().string();
        if (entry.is_regular_file() && (ext == ".htm" || ext == ".html" || ext == ".HTML")) {
            files.push_back(entry.path());
        }
    }
    std::sort(files.begin(), files.end());
    for (const fs::path& file : files) {
        pages.push_back({fs::relative(file, examples).generic_string(), ReadFile(file)});
    }
    pages.push_back({"catalogue 25 KB (generated)", vexel::bench::GeneratePage(25 * 1024, 1)});
    pages.push_back({"manual 60 KB, UTF-8 (generated)", vexel::bench::GenerateProsePage(60 * 1024, 2)});
    pages.push_back({"catalogue 200 KB (generated)", vexel::bench::GeneratePage(200 * 1024, 3)});
    pages.push_back({"manual 400 KB, UTF-8 (generated)", vexel::bench::GenerateProsePage(400 * 1024, 4)});
    pages.push_back({"catalogue 1 MB (generated)", vexel::bench::GeneratePage(1 << 20)});
    return pages;
}

struct Figures {
    std::size_t gzip = 0;
    std::size_t brotli = 0;
    std::size_t classic = 0;
    std::size_t modern = 0;
    std::size_t sealed = 0;
    double classicSeconds = 0;
    double modernSeconds = 0;
    double sealedSeconds = 0;
    double classicOpenMs = -1;
    double modernOpenMs = -1;
};

// Node.js's time to open each page, by file.
std::map<std::string, double> OpenTimes(const std::vector<fs::path>& files) {
    std::map<std::string, double> times;
    if (files.empty()) {
        return times;
    }
    std::string command = "node '" + std::string(VEXEL_SOURCE_DIR) + "/bench/open_pages.js'";
    for (const fs::path& file : files) {
        command += " '" + file.string() + "'";
    }
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return times;
    }
    char line[4096];
    while (std::fgets(line, sizeof line, pipe) != nullptr) {
        // {"file":"...","format":"...","ms":123.4,"characters":5}
        const std::string text = line;
        const std::size_t file = text.find("\"file\":\"");
        const std::size_t ms = text.find("\"ms\":");
        if (file == std::string::npos || ms == std::string::npos) {
            continue;
        }
        const std::size_t end = text.find('"', file + 8);
        times[text.substr(file + 8, end - file - 8)] = std::atof(text.c_str() + ms + 5);
    }
    pclose(pipe);
    return times;
}

std::string Kilobytes(std::size_t bytes) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", static_cast<double>(bytes) / 1024.0);
    return text;
}

std::string Milliseconds(double ms) {
    if (ms < 0) {
        return "-";
    }
    char text[32];
    if (ms >= 10000) {
        std::snprintf(text, sizeof text, "%.0f s", ms / 1000);
    } else {
        std::snprintf(text, sizeof text, "%.0f ms", ms);
    }
    return text;
}

}  // namespace

int main(int argc, char** argv) {
    bool open = true;
    std::size_t classicOpenLimit = static_cast<std::size_t>(-1);
    std::string keep;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--skip-open") {
            open = false;
        } else if (arg == "--classic-open-limit" && i + 1 < argc) {
            classicOpenLimit = static_cast<std::size_t>(std::stoull(argv[++i]));
        } else if (arg == "--keep" && i + 1 < argc) {
            keep = argv[++i];
        } else {
            std::cerr
                << "usage: vexel-format-bench [--skip-open] [--classic-open-limit BYTES] [--keep DIR]\n";
            return 2;
        }
    }
    const fs::path dir = keep.empty() ? fs::temp_directory_path() / "vexel-format-bench" : fs::path(keep);
    fs::create_directories(dir);
    const bool brotli = HaveTool("brotli");
    const bool node = open && HaveTool("node");

    const std::vector<Page> pages = PageSet();
    std::vector<Figures> figures(pages.size());
    std::vector<fs::path> toOpen;
    std::map<std::size_t, std::pair<fs::path, fs::path>> written;
    QuietHost host;
    for (std::size_t i = 0; i < pages.size(); ++i) {
        const Page& page = pages[i];
        Figures& f = figures[i];
        const fs::path original = dir / ("page-" + std::to_string(i) + ".html");
        WriteFile(original, page.bytes);
        f.gzip = CompressedSize("gzip -9 -n -c", original);
        f.brotli = brotli ? CompressedSize("brotli -q 11 -c", original) : 0;

        const std::string path = original.string();
        vexel::JobOptions options;
        std::string classicPage;
        const int repeat = page.bytes.size() > 300000 ? 2 : 5;
        bool prepared = false;
        f.classicSeconds = BestSecondsOf(repeat, [&] {
            vexel::CompressedPage compressed =
                vexel::CompressPage(page.bytes, path, options, vexel::PageFormat::JavaScript, host);
            prepared = compressed.Prepared;
            classicPage = std::move(compressed.Text);
        });
        f.classic = prepared ? classicPage.size() : 0;

        std::string modernPage;
        f.modernSeconds = BestSecondsOf(repeat, [&] {
            modernPage = vexel::CompressPage(page.bytes, path, options, vexel::PageFormat::Modern, host).Text;
        });
        f.modern = modernPage.size();

        options.password = {true, "benchmark password"};
        std::string sealedPage;
        f.sealedSeconds = SecondsOf(
            [&] { sealedPage = vexel::CompressPage(page.bytes, path, options, vexel::PageFormat::Modern, host).Text; });
        f.sealed = sealedPage.size();

        const fs::path classicFile = dir / ("page-" + std::to_string(i) + ".classic.html");
        const fs::path modernFile = dir / ("page-" + std::to_string(i) + ".modern.html");
        WriteFile(modernFile, modernPage);
        toOpen.push_back(modernFile);
        if (prepared) {
            WriteFile(classicFile, classicPage);
            if (page.bytes.size() <= classicOpenLimit) {
                toOpen.push_back(classicFile);
            }
        }
        written[i] = {classicFile, modernFile};
        std::cerr << "." << std::flush;
    }
    std::cerr << (node ? " opening in Node.js" : "") << std::flush;
    const std::map<std::string, double> times = node ? OpenTimes(toOpen) : std::map<std::string, double>{};
    std::cerr << "\n\n";
    for (std::size_t i = 0; i < pages.size(); ++i) {
        const auto classic = times.find(written[i].first.string());
        const auto modern = times.find(written[i].second.string());
        figures[i].classicOpenMs = classic != times.end() ? classic->second : -1;
        figures[i].modernOpenMs = modern != times.end() ? modern->second : -1;
    }

    const std::size_t decoderPlain = vexel::ModernDecoderSize(false);
    const std::size_t decoderSealed = vexel::ModernDecoderSize(true);
    std::printf(
        "Sizes in KB; ratios to gzip -9 -n of the original. Fixed part of a modern page: %zu bytes,\n",
        decoderPlain);
    std::printf("%zu bytes encrypted. Target: modern <= %.2f x gzip for pages of %zu KB and more.\n\n",
                decoderSealed, kTargetRatio, kTargetFrom / 1024);
    std::printf(
        "| page | original | gzip -9 | brotli | classic JS | modern | modern/gzip | target | "
        "encryption adds | open classic (Node) | open modern (Node) |\n");
    std::printf("|---|---:|---:|---:|---:|---:|---:|---|---:|---:|---:|\n");
    bool targetsMet = true;
    double classicBytes = 0;
    double classicSeconds = 0;
    double modernBytes = 0;
    double modernSeconds = 0;
    for (std::size_t i = 0; i < pages.size(); ++i) {
        const Page& page = pages[i];
        const Figures& f = figures[i];
        const double ratio = f.gzip > 0 ? static_cast<double>(f.modern) / static_cast<double>(f.gzip) : 0;
        std::string target = "-";
        if (page.bytes.size() >= kTargetFrom && f.gzip > 0) {
            const bool met = ratio <= kTargetRatio;
            targetsMet = targetsMet && met;
            target = met ? "met" : "MISSED";
        }
        // What encryption adds besides its larger decoder.
        const long added = static_cast<long>(f.sealed) - static_cast<long>(f.modern) -
                           static_cast<long>(decoderSealed - decoderPlain);
        targetsMet = targetsMet && added <= static_cast<long>(kEncryptionAllowance);
        std::printf("| %s | %s | %s | %s | %s | %s | %.3f | %s | %ld B | %s | %s |\n", page.name.c_str(),
                    Kilobytes(page.bytes.size()).c_str(), Kilobytes(f.gzip).c_str(),
                    brotli ? Kilobytes(f.brotli).c_str() : "-",
                    f.classic ? Kilobytes(f.classic).c_str() : "no body", Kilobytes(f.modern).c_str(), ratio,
                    target.c_str(), added, Milliseconds(f.classicOpenMs).c_str(),
                    Milliseconds(f.modernOpenMs).c_str());
        if (f.classic > 0) {
            classicBytes += static_cast<double>(page.bytes.size());
            classicSeconds += f.classicSeconds;
        }
        modernBytes += static_cast<double>(page.bytes.size());
        modernSeconds += f.modernSeconds;
    }
    const Figures& big = figures.back();
    const double bigSize = static_cast<double>(pages.back().bytes.size());
    std::printf("\nWriting speed (best of several runs):\n");
    std::printf("  classic JavaScript page: %.1f MB/s over all pages, %.1f MB/s on the 1 MB page\n",
                classicBytes / 1e6 / classicSeconds, bigSize / 1e6 / big.classicSeconds);
    std::printf("  modern page:             %.1f MB/s over all pages, %.1f MB/s on the 1 MB page\n",
                modernBytes / 1e6 / modernSeconds, bigSize / 1e6 / big.modernSeconds);
    std::printf("  encrypted modern page:   %.2f s on the 1 MB page (%u key iterations)\n", big.sealedSeconds,
                vexel::kDefaultIterations);
    if (!node && open) {
        std::printf("\nNode.js not found: no opening times.\n");
    }
    std::printf("\nTargets %s.\n", targetsMet ? "met" : "MISSED");
    if (keep.empty()) {
        fs::remove_all(dir);
    }
    return targetsMet ? 0 : 1;
}
