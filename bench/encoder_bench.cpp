// Encoder throughput on a generated 1 MB HTML page: the indexed encoder, the
// exhaustive search it replaces, and gzip -9 on the same bytes.
//
//   vexel-bench [--size BYTES] [--skip-exhaustive] [--page FILE] [--save-page FILE]

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "engine/data_format.h"
#include "engine/encoder.h"
#include "bench/generated_page.h"
#include "tests/engine/exhaustive_encoder.h"

namespace {

using Clock = std::chrono::steady_clock;

// Best wall time of `repeat` runs, in seconds.
double TimeIt(int repeat, const std::function<void()>& run) {
    double best = 1e30;
    for (int i = 0; i < repeat; ++i) {
        const auto start = Clock::now();
        run();
        best = std::min(best, std::chrono::duration<double>(Clock::now() - start).count());
    }
    return best;
}

double MegabytesPerSecond(std::size_t bytes, double seconds) {
    return bytes / 1e6 / seconds;
}

// gzip -9 of the page from a file into /dev/null, timed from outside.
double TimeGzip(const std::string& page, int repeat, std::size_t& compressed) {
    const auto path = std::filesystem::temp_directory_path() / "vexel-bench-page.html";
    std::ofstream(path, std::ios::binary).write(page.data(), static_cast<std::streamsize>(page.size()));
    const std::string size_command = "gzip -9 -c '" + path.string() + "' | wc -c";
    compressed = 0;
    if (FILE* pipe = popen(size_command.c_str(), "r")) {
        unsigned long long n = 0;
        if (std::fscanf(pipe, "%llu", &n) == 1) {
            compressed = static_cast<std::size_t>(n);
        }
        pclose(pipe);
    }
    const std::string command = "gzip -9 -c '" + path.string() + "' > /dev/null";
    const double seconds = TimeIt(repeat, [&] {
        if (std::system(command.c_str()) != 0) {
            std::cerr << "gzip failed\n";
        }
    });
    std::filesystem::remove(path);
    return compressed > 0 ? seconds : -1;
}

}  // namespace

int main(int argc, char** argv) {
    std::size_t size = 1 << 20;
    bool exhaustive = true;
    std::string page_file;
    std::string save_file;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--size" && i + 1 < argc) {
            size = static_cast<std::size_t>(std::stoull(argv[++i]));
        } else if (arg == "--skip-exhaustive") {
            exhaustive = false;
        } else if (arg == "--page" && i + 1 < argc) {
            page_file = argv[++i];
        } else if (arg == "--save-page" && i + 1 < argc) {
            save_file = argv[++i];
        } else {
            std::cerr << "usage: vexel-bench [--size BYTES] [--skip-exhaustive] [--page FILE] [--save-page FILE]\n";
            return 2;
        }
    }
    std::string page;
    if (page_file.empty()) {
        page = vexel::bench::GeneratePage(size);
    } else {
        std::ifstream in(page_file, std::ios::binary);
        std::ostringstream content;
        content << in.rdbuf();
        page = content.str();
    }
    if (!save_file.empty()) {
        std::ofstream(save_file, std::ios::binary).write(page.data(), static_cast<std::streamsize>(page.size()));
    }

    std::printf("input: %zu bytes of HTML%s\n\n", page.size(), page_file.empty() ? " (generated)" : "");
    std::printf("%-28s %10s %12s %12s\n", "", "seconds", "MB/s", "output");

    std::string fast;
    const double fast_seconds = TimeIt(5, [&] { fast = vexel::Encode(page, vexel::kWideWindow); });
    std::printf("%-28s %10.4f %12.2f %12zu\n", "encoder, window 8100", fast_seconds,
                MegabytesPerSecond(page.size(), fast_seconds), fast.size());

    std::string quick;
    const double quick_seconds = TimeIt(5, [&] { quick = vexel::Encode(page, vexel::kHighSpeedWindow); });
    std::printf("%-28s %10.4f %12.2f %12zu\n", "encoder, window 360", quick_seconds,
                MegabytesPerSecond(page.size(), quick_seconds), quick.size());

    std::size_t gzip_size = 0;
    const double gzip_seconds = TimeGzip(page, 5, gzip_size);
    if (gzip_seconds > 0) {
        std::printf("%-28s %10.4f %12.2f %12zu\n", "gzip -9 (whole process)", gzip_seconds,
                    MegabytesPerSecond(page.size(), gzip_seconds), gzip_size);
    } else {
        std::printf("%-28s %10s\n", "gzip -9", "not available");
    }

    if (exhaustive) {
        std::string slow;
        const double slow_seconds =
            TimeIt(1, [&] { slow = vexel::testing::EncodeExhaustive(page, vexel::kWideWindow); });
        std::printf("%-28s %10.4f %12.2f %12zu\n", "exhaustive search, 8100", slow_seconds,
                    MegabytesPerSecond(page.size(), slow_seconds), slow.size());
        std::printf("\nidentical output: %s\n", slow == fast ? "yes" : "NO");
        std::printf("speed-up over the exhaustive search: %.0fx\n", slow_seconds / fast_seconds);
        if (slow != fast) {
            return 1;
        }
    }
    if (gzip_seconds > 0) {
        std::printf("speed relative to gzip -9: %.2fx\n", gzip_seconds / fast_seconds);
    }
    return 0;
}
