// The modern page against gzip -9 on the bench set (bench/bench_set.h): the
// size of every page next to gzip -9 of its original, the totals per size
// band and over the set, the writing speed next to gzip -9's (zlib's level 9
// with the gzip wrapper, in the same process), what each deflater would give,
// and how much smaller xz -9 would be.
//
//   vexel-format-bench [--keep DIR]
//
// --keep: leave the originals and the pages written in DIR.

#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "bench/bench_set.h"
#include "engine/carrier_text.h"
#include "engine/deflate.h"
#include "engine/modern_page.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr double kTotalTarget = 1.10;
constexpr double kMegabyteTarget = 1.05;
constexpr double kSmallTarget = 1.40;
constexpr std::size_t kSmall = 4 * 1024;

struct Band {
    const char* name;
    std::size_t below;
    std::size_t original = 0;
    std::size_t gzip = 0;
    std::size_t modern = 0;
    int pages = 0;
    int leftAsTheyAre = 0;
};

void WriteFile(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

double SecondsOf(const std::function<void()>& run) {
    const auto start = Clock::now();
    run();
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// The output size of a shell command reading `file` on its standard input; 0 when it fails.
std::size_t CompressedSize(const std::string& command, const fs::path& file) {
    const std::string line = command + " < '" + file.string() + "' 2>/dev/null | wc -c";
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

// What gzip -9 does, in this process: zlib's level 9 with the gzip wrapper.
std::size_t GzipNine(const std::string& data) {
    z_stream stream{};
    deflateInit2(&stream, 9, Z_DEFLATED, 31, 8, Z_DEFAULT_STRATEGY);
    std::string out(deflateBound(&stream, static_cast<uLong>(data.size())), '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    stream.avail_in = static_cast<uInt>(data.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    deflate(&stream, Z_FINISH);
    const std::size_t size = stream.total_out;
    deflateEnd(&stream);
    return size;
}

double Ratio(std::size_t a, std::size_t b) {
    return b > 0 ? static_cast<double>(a) / static_cast<double>(b) : 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::string keep;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--keep" && i + 1 < argc) {
            keep = argv[++i];
        } else {
            std::cerr << "usage: vexel-format-bench [--keep DIR]\n";
            return 2;
        }
    }
    // A folder of its own, so that two runs at once do not remove each other's pages.
    std::string made = (fs::temp_directory_path() / "vexel-format-bench.XXXXXX").string();
    if (keep.empty() && mkdtemp(made.data()) == nullptr) {
        std::perror("vexel-format-bench: cannot make a temporary folder");
        return 2;
    }
    const fs::path dir = keep.empty() ? fs::path(made) : fs::path(keep);
    fs::create_directories(dir);
    const bool xz = HaveTool("xz");

    const std::vector<vexel::bench::SetPage> pages = vexel::bench::BenchSet();
    std::vector<Band> bands = {{"under 4 KB", 4 * 1024},
                               {"4-16 KB", 16 * 1024},
                               {"16-64 KB", 64 * 1024},
                               {"64-256 KB", 256 * 1024},
                               {"256 KB and more", static_cast<std::size_t>(-1)}};
    Band total{"whole set", 0};
    double modernSeconds = 0;
    double gzipSeconds = 0;
    std::size_t zlibPayload = 0;
    std::size_t ourPayload = 0;
    std::size_t xzTotal = 0;
    std::size_t gzipOfXzPages = 0;
    bool targetsMet = true;
    std::printf("Deflater: %s (where libdeflate: level %d, %d below %zu bytes). Sizes in bytes; ratio: modern / "
                "gzip -9.\n\n",
                vexel::DeflaterName(), vexel::kDeflateLevel, vexel::kSmallPageLevel, vexel::kSmallPageBytes);
    std::printf("| page | original | gzip -9 | modern | ratio | note |\n|---|---:|---:|---:|---:|---|\n");
    for (std::size_t i = 0; i < pages.size(); ++i) {
        const vexel::bench::SetPage& page = pages[i];
        const fs::path file = dir / ("page-" + std::to_string(i) + ".html");
        WriteFile(file, page.bytes);
        std::size_t gzip = 0;
        gzipSeconds += SecondsOf([&] { gzip = GzipNine(page.bytes); });
        const std::size_t gzipCommand = CompressedSize("gzip -9 -c", file);
        gzip = gzipCommand > 0 ? gzipCommand : gzip;

        std::string payload;
        std::string modern;
        modernSeconds += SecondsOf([&] {
            payload = vexel::ModernPayload(page.bytes, nullptr);
            modern = vexel::RenderModernPage(page.bytes, payload, {});
        });
        ourPayload += payload.size();
        zlibPayload += vexel::ZlibDeflateRaw(page.bytes).size();
        // A page that would not be smaller is left as it is.
        const bool left = modern.size() >= page.bytes.size();
        const std::size_t result = left ? page.bytes.size() : modern.size();
        WriteFile(dir / ("page-" + std::to_string(i) + ".modern.html"), modern);
        if (xz && page.bytes.size() >= 32 * 1024) {
            xzTotal += CompressedSize("xz -9e -c --format=raw", file);
            gzipOfXzPages += gzip;
        }
        std::string note = left ? "left as it is" : "";
        if (page.target == 1024 * 1024) {
            const bool met = Ratio(result, gzip) <= kMegabyteTarget;
            targetsMet = targetsMet && met;
            note += met ? "1 MB target met" : "1 MB target MISSED";
        }
        std::printf("| %s | %zu | %zu | %zu | %.3f | %s |\n", page.name.c_str(), page.bytes.size(), gzip, result,
                    Ratio(result, gzip), note.c_str());
        for (Band* band : {&*std::find_if(bands.begin(), bands.end(),
                                          [&](const Band& b) { return page.bytes.size() < b.below; }),
                           &total}) {
            band->original += page.bytes.size();
            band->gzip += gzip;
            band->modern += result;
            ++band->pages;
            band->leftAsTheyAre += left ? 1 : 0;
        }
    }
    std::printf("\n| band | pages | original | gzip -9 | modern | ratio | left as they are |\n"
                "|---|---:|---:|---:|---:|---:|---:|\n");
    for (const Band* band : {&bands[0], &bands[1], &bands[2], &bands[3], &bands[4], &total}) {
        std::printf("| %s | %d | %zu | %zu | %zu | %.3f | %d |\n", band->name, band->pages, band->original,
                    band->gzip, band->modern, Ratio(band->modern, band->gzip), band->leftAsTheyAre);
    }
    // The vexel command compresses one page per core by default.
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    std::atomic<std::size_t> next{0};
    const double parallelSeconds = SecondsOf([&] {
        std::vector<std::thread> workers;
        for (unsigned t = 0; t < cores; ++t) {
            workers.emplace_back([&] {
                for (std::size_t i = next++; i < pages.size(); i = next++) {
                    vexel::RenderModernPage(pages[i].bytes, vexel::ModernPayload(pages[i].bytes, nullptr), {});
                }
            });
        }
        for (std::thread& worker : workers) {
            worker.join();
        }
    });
    const bool totalMet = Ratio(total.modern, total.gzip) <= kTotalTarget;
    const bool smallMet = Ratio(bands[0].modern, bands[0].gzip) <= kSmallTarget;
    targetsMet = targetsMet && totalMet && smallMet;
    const double modernSpeed = static_cast<double>(total.original) / 1e6 / modernSeconds;
    const double gzipSpeed = static_cast<double>(total.original) / 1e6 / gzipSeconds;
    const double parallelSpeed = static_cast<double>(total.original) / 1e6 / parallelSeconds;
    targetsMet = targetsMet && parallelSpeed >= gzipSpeed;
    std::printf("\nTargets: whole set %.3f (<= %.2f: %s), under 4 KB %.3f (<= %.2f: %s).\n",
                Ratio(total.modern, total.gzip), kTotalTarget, totalMet ? "met" : "MISSED",
                Ratio(bands[0].modern, bands[0].gzip), kSmallTarget, smallMet ? "met" : "MISSED");
    std::printf("Writing speed: modern page %.2f MB/s on one core, %.2f MB/s on %u (the default: one page per "
                "core); gzip -9 %.2f MB/s (%s).\n",
                modernSpeed, parallelSpeed, cores, gzipSpeed, parallelSpeed >= gzipSpeed ? "met" : "MISSED");
    std::printf("Deflate streams over the set: %s %zu bytes, zlib level 9 %zu bytes (%.3f).\n", vexel::DeflaterName(),
                ourPayload, zlibPayload, Ratio(ourPayload, zlibPayload));
    std::printf("Fixed text of a modern page: %zu bytes (%zu encrypted).\n", vexel::ModernDecoderSize(false),
                vexel::ModernDecoderSize(true));
    if (xz) {
        std::printf("xz -9e (raw LZMA2) on the pages of 32 KB and more: %.3f of gzip -9.\n",
                    Ratio(xzTotal, gzipOfXzPages));
    }
    std::printf("\nTargets %s.\n", targetsMet ? "met" : "MISSED");
    if (keep.empty()) {
        fs::remove_all(dir);
    }
    return targetsMet ? 0 : 1;
}
