// The modern page against gzip -9 on the bench set (bench/bench_set.h): the
// size of every page in each codec (deflate and LZMA) and the one the default
// options choose (the smaller) next to gzip -9 of its original, the totals per
// size band and over the set, the writing speed with the default options and
// with deflate alone next to gzip -9's (zlib's level 9 with the gzip wrapper,
// in the same process), what each deflater would give, and how much smaller
// xz -9 would be.
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
#include "engine/job_host.h"
#include "engine/lzma.h"
#include "engine/modern_page.h"
#include "engine/page_compression.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr double kTotalTarget = 1.10;
constexpr double kMegabyteTarget = 1.05;
constexpr double kSmallTarget = 1.40;
constexpr double kLargeTarget = 1.00;  // with LZMA
constexpr std::size_t kSmall = 4 * 1024;
constexpr std::size_t kLarge = 32 * 1024;

// The log lines of the bench's pages go nowhere.
class QuietHost : public vexel::JobHost {
public:
    void AddLogLine(const std::string&) override {}
    bool WantsLogLines() const override { return false; }
};

// The page the default options write (the smaller codec), or the original
// when it would not be smaller.
std::string DefaultPage(const std::string& original) {
    QuietHost host;
    const vexel::CompressedPage page =
        vexel::CompressPage(original, "page.html", vexel::JobOptions{}, vexel::PageFormat::Modern, host);
    return page.LeftAsItIs ? original : page.Text;
}

std::string CodecPage(const std::string& original, vexel::ModernCodec codec) {
    vexel::ModernPageOptions options;
    options.codec = codec;
    return vexel::RenderModernPage(original, vexel::ModernPayload(original, nullptr, codec), options);
}

struct Band {
    const char* name;
    std::size_t below;
    std::size_t original = 0;
    std::size_t gzip = 0;
    std::size_t modern = 0;  // the page the default options write
    std::size_t deflate = 0;
    std::size_t lzma = 0;
    int pages = 0;
    int lzmaChosen = 0;
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
    Band large{"32 KB and more", 0};
    double modernSeconds = 0;
    double deflateSeconds = 0;
    double gzipSeconds = 0;
    std::size_t zlibPayload = 0;
    std::size_t ourPayload = 0;
    std::size_t xzTotal = 0;
    std::size_t gzipOfXzPages = 0;
    bool targetsMet = true;
    std::printf("Deflater: %s (where libdeflate: level %d, %d below %zu bytes). Sizes in bytes; ratio: modern / "
                "gzip -9.\n\n",
                vexel::DeflaterName(), vexel::kDeflateLevel, vexel::kSmallPageLevel, vexel::kSmallPageBytes);
    std::printf("| page | original | gzip -9 | deflate page | LZMA page | written | ratio | note |\n"
                "|---|---:|---:|---:|---:|---:|---:|---|\n");
    for (std::size_t i = 0; i < pages.size(); ++i) {
        const vexel::bench::SetPage& page = pages[i];
        const fs::path file = dir / ("page-" + std::to_string(i) + ".html");
        WriteFile(file, page.bytes);
        std::size_t gzip = 0;
        gzipSeconds += SecondsOf([&] { gzip = GzipNine(page.bytes); });
        const std::size_t gzipCommand = CompressedSize("gzip -9 -c", file);
        gzip = gzipCommand > 0 ? gzipCommand : gzip;

        std::string modern;
        modernSeconds += SecondsOf([&] { modern = DefaultPage(page.bytes); });
        std::string deflate;
        deflateSeconds += SecondsOf([&] { deflate = CodecPage(page.bytes, vexel::ModernCodec::Deflate); });
        const std::string lzma =
            vexel::HaveLzma() ? CodecPage(page.bytes, vexel::ModernCodec::Lzma) : std::string();
        ourPayload += vexel::ModernPayload(page.bytes, nullptr).size();
        zlibPayload += vexel::ZlibDeflateRaw(page.bytes).size();
        // A page that would not be smaller is left as it is.
        const bool left = modern == page.bytes;
        const std::size_t result = modern.size();
        const bool lzmaChosen = !left && lzma.size() == modern.size() && lzma.size() < deflate.size();
        WriteFile(dir / ("page-" + std::to_string(i) + ".modern.html"), modern);
        if (xz && page.bytes.size() >= 32 * 1024) {
            xzTotal += CompressedSize("xz -9e -c --format=raw", file);
            gzipOfXzPages += gzip;
        }
        std::string note = left ? "left as it is" : lzmaChosen ? "LZMA; " : "deflate; ";
        if (page.target == 1024 * 1024) {
            const bool met = Ratio(result, gzip) <= kMegabyteTarget;
            targetsMet = targetsMet && met;
            note += met ? "1 MB target met" : "1 MB target MISSED";
        }
        std::printf("| %s | %zu | %zu | %zu | %zu | %zu | %.3f | %s |\n", page.name.c_str(), page.bytes.size(), gzip,
                    deflate.size(), lzma.size(), result, Ratio(result, gzip), note.c_str());
        Band* const band = &*std::find_if(bands.begin(), bands.end(),
                                          [&](const Band& b) { return page.bytes.size() < b.below; });
        for (Band* sum : {band, &total, page.bytes.size() >= kLarge ? &large : nullptr}) {
            if (sum == nullptr) {
                continue;
            }
            sum->original += page.bytes.size();
            sum->gzip += gzip;
            sum->modern += result;
            sum->deflate += deflate.size();
            sum->lzma += lzma.size();
            ++sum->pages;
            sum->leftAsTheyAre += left ? 1 : 0;
            sum->lzmaChosen += lzmaChosen ? 1 : 0;
        }
    }
    std::printf("\n| band | pages | original | gzip -9 | deflate pages | ratio | LZMA pages | ratio | written | "
                "ratio | LZMA chosen | left as they are |\n"
                "|---|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|\n");
    for (const Band* band : {&bands[0], &bands[1], &bands[2], &bands[3], &bands[4], &large, &total}) {
        std::printf("| %s | %d | %zu | %zu | %zu | %.3f | %zu | %.3f | %zu | %.3f | %d | %d |\n", band->name,
                    band->pages, band->original, band->gzip, band->deflate, Ratio(band->deflate, band->gzip),
                    band->lzma, Ratio(band->lzma, band->gzip), band->modern, Ratio(band->modern, band->gzip),
                    band->lzmaChosen, band->leftAsTheyAre);
    }
    // The vexel command compresses one page per core by default.
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    std::atomic<std::size_t> next{0};
    const double parallelSeconds = SecondsOf([&] {
        std::vector<std::thread> workers;
        for (unsigned t = 0; t < cores; ++t) {
            workers.emplace_back([&] {
                for (std::size_t i = next++; i < pages.size(); i = next++) {
                    DefaultPage(pages[i].bytes);
                }
            });
        }
        for (std::thread& worker : workers) {
            worker.join();
        }
    });
    const bool totalMet = Ratio(total.modern, total.gzip) <= kTotalTarget;
    const bool smallMet = Ratio(bands[0].modern, bands[0].gzip) <= kSmallTarget;
    const bool largeMet = Ratio(large.modern, large.gzip) <= kLargeTarget;
    targetsMet = targetsMet && totalMet && smallMet && (largeMet || !vexel::HaveLzma());
    const double modernSpeed = static_cast<double>(total.original) / 1e6 / modernSeconds;
    const double gzipSpeed = static_cast<double>(total.original) / 1e6 / gzipSeconds;
    const double parallelSpeed = static_cast<double>(total.original) / 1e6 / parallelSeconds;
    targetsMet = targetsMet && parallelSpeed >= gzipSpeed;
    std::printf("\nTargets: whole set %.3f (<= %.2f: %s), under 4 KB %.3f (<= %.2f: %s), 32 KB and more %.3f (<= "
                "%.2f%s: %s).\n",
                Ratio(total.modern, total.gzip), kTotalTarget, totalMet ? "met" : "MISSED",
                Ratio(bands[0].modern, bands[0].gzip), kSmallTarget, smallMet ? "met" : "MISSED",
                Ratio(large.modern, large.gzip), kLargeTarget, vexel::HaveLzma() ? "" : ", with LZMA",
                largeMet ? "met" : vexel::HaveLzma() ? "MISSED" : "not built in");
    std::printf("Writing speed, default options (%s): %.2f MB/s on one core, %.2f MB/s on %u (one page per "
                "core); deflate alone %.2f MB/s on one core; gzip -9 %.2f MB/s (%s).\n",
                vexel::HaveLzma() ? "both codecs, the smaller page kept" : "deflate", modernSpeed, parallelSpeed,
                cores, static_cast<double>(total.original) / 1e6 / deflateSeconds, gzipSpeed,
                parallelSpeed >= gzipSpeed ? "met" : "MISSED");
    std::printf("Deflate streams over the set: %s %zu bytes, zlib level 9 %zu bytes (%.3f).\n", vexel::DeflaterName(),
                ourPayload, zlibPayload, Ratio(ourPayload, zlibPayload));
    std::printf("Fixed text of a modern page: %zu bytes (%zu encrypted); of an LZMA page %zu bytes.\n",
                vexel::ModernDecoderSize(false), vexel::ModernDecoderSize(true),
                vexel::ModernDecoderSize(false, vexel::ModernCodec::Lzma));
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
