// The modern page against gzip -9 and brotli -q 11 on the bench set
// (bench/bench_set.h): the size of every page in each codec (deflate and
// LZMA) and the one the default options choose (the smaller) next to gzip -9
// of its original, the totals per size band and over the set, the writing
// speed with the default options next to brotli -q 11's and with deflate
// alone (--codec deflate) next to gzip -9's (the commands over the same
// files, in the same run), what each deflater would give, and how much
// smaller xz -9 would be. Then the bench site (BenchSite): its pages as pages
// of a site (the shared file counted once) and as pages of their own, next
// to gzip -9 and brotli -q 11 per size band, and the site's writing speed,
// training included, next to brotli -q 11's.
//
//   vexel-format-bench [--keep DIR] [--site-only] [--compare-dictionaries]
//   vexel-format-bench --write-site DIR
//
// --keep: leave the originals and the pages written in DIR. --site-only: the
// bench site alone. --compare-dictionaries: the site also with dictionaries
// of other sizes and with the pages' own text instead of the trainer's.
// --write-site: write the bench site's pages into DIR and stop.

#include <sys/resource.h>
#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <ctime>
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
#include "engine/site_dictionary.h"
#include "engine/site_file.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr double kTotalTarget = 1.10;
constexpr double kMegabyteTarget = 1.05;
constexpr double kLargeTarget = 1.00;  // with LZMA
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

// The page `--codec deflate` writes (or the original when it would not be smaller).
std::string DeflatePage(const std::string& original) {
    QuietHost host;
    vexel::JobOptions options;
    options.Codec = vexel::CodecChoice::Deflate;
    const vexel::CompressedPage page =
        vexel::CompressPage(original, "page.html", options, vexel::PageFormat::Modern, host);
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

// Processor time of this process: on a machine shared with other work the
// wall clock would count their time too. What is timed here runs on one
// thread.
double SecondsOf(const std::function<void()>& run) {
    const std::clock_t start = std::clock();
    run();
    return static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;
}

// Processor time of the finished child processes so far.
double ChildSeconds() {
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
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

// The processor seconds `tool` takes over each of the files, its output
// thrown away (one process a file: brotli writes one file per process);
// negative when it fails.
double ToolSeconds(const std::string& tool, const std::vector<fs::path>& files) {
    std::string command = "for f in";
    for (const fs::path& file : files) {
        command += " '" + file.string() + "'";
    }
    command += "; do " + tool + " -c \"$f\" > /dev/null || exit 1; done";
    const double start = ChildSeconds();
    const int status = std::system(command.c_str());
    return status == 0 ? ChildSeconds() - start : -1;
}

double Speed(std::size_t bytes, double seconds) {
    return seconds > 0 ? static_cast<double>(bytes) / 1e6 / seconds : 0;
}

const std::vector<Band> kBands = {{"under 4 KB", 4 * 1024},
                                  {"4-16 KB", 16 * 1024},
                                  {"16-64 KB", 64 * 1024},
                                  {"64-256 KB", 256 * 1024},
                                  {"256 KB and more", static_cast<std::size_t>(-1)}};

// "../" for each folder of a path in the site.
std::string UpOf(const std::string& path) {
    std::string up;
    for (const char c : path) {
        if (c == '/') {
            up += "../";
        }
    }
    return up;
}

struct SitePages {
    std::vector<std::string> pages;  // as written (the original where a page would not be smaller)
    std::size_t sharedFile = 0;
    double seconds = 0;
};

// The bench site's pages as pages of a site: samples picked as the batch
// picks them, the dictionary trained (`train`) and its shared file made,
// every page written with it; the time of all of it.
SitePages WriteSite(const std::vector<vexel::bench::SetPage>& site,
                    const std::function<std::string(const std::vector<std::string>&)>& train) {
    SitePages written;
    const std::clock_t start = std::clock();
    std::vector<int64_t> sizes;
    for (const auto& page : site) {
        sizes.push_back(static_cast<int64_t>(page.bytes.size()));
    }
    std::vector<std::string> samples;
    for (const std::size_t i : vexel::PickSamples(sizes)) {
        samples.push_back(site[i].bytes.substr(0, vexel::kLongestSample));
    }
    const vexel::SiteFile file = vexel::MakeSiteFile(train(samples), 1);
    written.sharedFile = file.text.size();
    QuietHost host;
    for (const auto& page : site) {
        const vexel::PageSite pageSite{UpOf(page.name) + file.name, file.dictionary};
        const vexel::CompressedPage compressed =
            vexel::CompressPage(page.bytes, page.name, vexel::JobOptions{}, vexel::PageFormat::Modern, host, &pageSite);
        written.pages.push_back(compressed.LeftAsItIs ? page.bytes : compressed.Text);
    }
    written.seconds = static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;
    return written;
}

std::size_t TotalOf(const SitePages& written) {
    std::size_t total = written.sharedFile;
    for (const std::string& page : written.pages) {
        total += page.size();
    }
    return total;
}

void WriteSiteFiles(const fs::path& dir, const std::vector<vexel::bench::SetPage>& site) {
    for (const auto& page : site) {
        fs::create_directories((dir / page.name).parent_path());
        WriteFile(dir / page.name, page.bytes);
    }
}

// The bench site: sizes per band next to gzip -9 and brotli -q 11, writing
// speed next to brotli -q 11's; true when the targets are met.
bool RunSite(const fs::path& dir, bool compareDictionaries) {
    constexpr double kSiteGzipTarget = 0.80;
    constexpr double kSiteBrotliTarget = 1.00;
    constexpr double kMiddleGzipTarget = 0.70;
    const std::vector<vexel::bench::SetPage> site = vexel::bench::BenchSite();
    const fs::path siteDir = dir / "site";
    WriteSiteFiles(siteDir, site);
    std::vector<fs::path> files;
    for (const auto& page : site) {
        files.push_back(siteDir / page.name);
    }
    const bool brotli = HaveTool("brotli");
    struct SiteBand {
        Band band;
        std::size_t brotli = 0;
        std::size_t site = 0;
    };
    std::vector<SiteBand> bands;
    for (const Band& band : kBands) {
        bands.push_back({band});
    }
    SiteBand total{{"whole site", 0}};
    const double brotliSeconds = brotli ? ToolSeconds("brotli -q 11", files) : -1;
    const SitePages written =
        WriteSite(site, [](const std::vector<std::string>& samples) { return vexel::TrainSiteDictionary(samples); });
    for (std::size_t i = 0; i < site.size(); ++i) {
        const std::string& original = site[i].bytes;
        const std::size_t gzip = CompressedSize("gzip -9 -c", files[i]);
        const std::size_t brotliSize = brotli ? CompressedSize("brotli -q 11 -c", files[i]) : 0;
        const std::string own = DefaultPage(original);
        SiteBand* const band = &*std::find_if(bands.begin(), bands.end(),
                                              [&](const SiteBand& b) { return original.size() < b.band.below; });
        for (SiteBand* sum : {band, &total}) {
            sum->band.original += original.size();
            sum->band.gzip += gzip;
            sum->brotli += brotliSize;
            sum->band.modern += own.size();
            sum->site += written.pages[i].size();
            sum->band.leftAsTheyAre += written.pages[i] == original ? 1 : 0;
            ++sum->band.pages;
        }
    }
    total.site += written.sharedFile;
    std::printf("\nThe bench site: %zu pages of one site in UTF-8 sharing their frame, as pages of the site (one "
                "shared file of %zu bytes, counted in the whole site) and as pages of their own (default options).\n\n"
                "| band | pages | original | gzip -9 | brotli -q 11 | ÷ gzip | pages of their own | ÷ gzip | "
                "site pages | ÷ gzip | ÷ brotli |\n|---|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|\n",
                site.size(), written.sharedFile);
    for (const SiteBand* band : {&bands[0], &bands[1], &bands[2], &bands[3], &bands[4], &total}) {
        if (band->band.pages == 0) {
            continue;
        }
        std::printf("| %s | %d | %zu | %zu | %zu | %.3f | %zu | %.3f | %zu | %.3f | %.3f |\n", band->band.name,
                    band->band.pages, band->band.original, band->band.gzip, band->brotli,
                    Ratio(band->brotli, band->band.gzip), band->band.modern, Ratio(band->band.modern, band->band.gzip),
                    band->site, Ratio(band->site, band->band.gzip), Ratio(band->site, band->brotli));
    }
    const double siteSpeed = Speed(total.band.original, written.seconds);
    const double brotliSpeed = Speed(total.band.original, brotliSeconds);
    const bool gzipMet = Ratio(total.site, total.band.gzip) <= kSiteGzipTarget;
    const bool brotliMet = !brotli || Ratio(total.site, total.brotli) <= kSiteBrotliTarget;
    const bool middleMet = Ratio(bands[2].site, bands[2].band.gzip) <= kMiddleGzipTarget;
    const bool speedMet = !brotli || (brotliSeconds > 0 && siteSpeed >= brotliSpeed);
    std::printf("\nSite targets: whole site %.3f of gzip -9 (<= %.2f: %s), %.3f of brotli -q 11 (<= %.2f: %s); "
                "16-64 KB %.3f of gzip -9 (<= %.2f: %s).\n",
                Ratio(total.site, total.band.gzip), kSiteGzipTarget, gzipMet ? "met" : "MISSED",
                Ratio(total.site, total.brotli), kSiteBrotliTarget, brotli ? (brotliMet ? "met" : "MISSED") : "no brotli",
                Ratio(bands[2].site, bands[2].band.gzip), kMiddleGzipTarget, middleMet ? "met" : "MISSED");
    std::printf("Site writing speed, training included (%s): %.2f MB/s on one core; brotli -q 11 %.2f MB/s (%s).\n",
                vexel::HaveDictionaryTrainer() ? "zstd's trainer" : "no trainer: the pages' last text", siteSpeed,
                brotliSpeed, brotli ? (speedMet ? "met" : "MISSED") : "no brotli");
    if (compareDictionaries) {
        std::printf("\nDictionaries (whole site, shared file counted, ÷ gzip -9):\n");
        const auto tailOf = [](const std::vector<std::string>& samples, std::size_t size) {
            std::string text;
            for (const std::string& sample : samples) {
                text += sample;
            }
            return text.substr(text.size() > size ? text.size() - size : 0);
        };
        for (const std::size_t size : {32u * 1024, 64u * 1024, 128u * 1024, 192u * 1024}) {
            const SitePages trained = WriteSite(site, [size](const std::vector<std::string>& samples) {
                return vexel::TrainSiteDictionary(samples, size);
            });
            const SitePages tail = WriteSite(site, [&](const std::vector<std::string>& samples) {
                return tailOf(samples, size);
            });
            std::printf("  %3zu KB: trained (zstd's trainer and the pages' text) %.3f, the pages' last text %.3f\n",
                        size / 1024, Ratio(TotalOf(trained), total.band.gzip), Ratio(TotalOf(tail), total.band.gzip));
        }
    }
    return gzipMet && brotliMet && middleMet && speedMet;
}

}  // namespace

int main(int argc, char** argv) {
    std::string keep;
    bool siteOnly = false;
    bool compareDictionaries = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--keep" && i + 1 < argc) {
            keep = argv[++i];
        } else if (arg == "--site-only") {
            siteOnly = true;
        } else if (arg == "--compare-dictionaries") {
            compareDictionaries = true;
        } else if (arg == "--write-site" && i + 1 < argc) {
            WriteSiteFiles(argv[++i], vexel::bench::BenchSite());
            return 0;
        } else {
            std::cerr << "usage: vexel-format-bench [--keep DIR] [--site-only] [--compare-dictionaries]\n"
                         "       vexel-format-bench --write-site DIR\n";
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
    if (siteOnly) {
        const bool met = vexel::HaveLzma() && RunSite(dir, compareDictionaries);
        std::printf("\nTargets %s.\n", met ? "met" : "MISSED");
        if (keep.empty()) {
            fs::remove_all(dir);
        }
        return met ? 0 : 1;
    }

    const std::vector<vexel::bench::SetPage> pages = vexel::bench::BenchSet();
    std::vector<Band> bands = kBands;
    std::vector<fs::path> files;
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
        files.push_back(file);
        std::size_t gzip = 0;
        gzipSeconds += SecondsOf([&] { gzip = GzipNine(page.bytes); });
        const std::size_t gzipCommand = CompressedSize("gzip -9 -c", file);
        gzip = gzipCommand > 0 ? gzipCommand : gzip;

        std::string modern;
        modernSeconds += SecondsOf([&] { modern = DefaultPage(page.bytes); });
        std::string deflate;
        deflateSeconds += SecondsOf([&] { DeflatePage(page.bytes); });
        deflate = CodecPage(page.bytes, vexel::ModernCodec::Deflate);
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
    const auto parallelStart = Clock::now();
    ([&] {
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
    })();
    const double parallelSeconds = std::chrono::duration<double>(Clock::now() - parallelStart).count();
    const bool totalMet = Ratio(total.modern, total.gzip) <= kTotalTarget;
    const bool largeMet = Ratio(large.modern, large.gzip) <= kLargeTarget;
    targetsMet = targetsMet && totalMet && (largeMet || !vexel::HaveLzma());
    // The commands over the same files, one process each, in this run.
    const double gzipCommandSeconds = ToolSeconds("gzip -9", files);
    const bool brotli = HaveTool("brotli");
    const double brotliSeconds = brotli ? ToolSeconds("brotli -q 11", files) : -1;
    const double modernSpeed = Speed(total.original, modernSeconds);
    const double deflateSpeed = Speed(total.original, deflateSeconds);
    const double gzipSpeed = Speed(total.original, gzipCommandSeconds);
    const double brotliSpeed = Speed(total.original, brotliSeconds);
    const double parallelSpeed = Speed(total.original, parallelSeconds);
    const bool deflateFaster = gzipCommandSeconds > 0 && deflateSpeed >= gzipSpeed;
    const bool modernFaster = !brotli || (brotliSeconds > 0 && modernSpeed >= brotliSpeed);
    targetsMet = targetsMet && deflateFaster && modernFaster;
    std::printf("\nTargets: whole set %.3f (<= %.2f: %s), 32 KB and more %.3f (<= %.2f%s: %s); under 4 KB %.3f.\n",
                Ratio(total.modern, total.gzip), kTotalTarget, totalMet ? "met" : "MISSED",
                Ratio(large.modern, large.gzip), kLargeTarget, vexel::HaveLzma() ? "" : ", with LZMA",
                largeMet ? "met" : vexel::HaveLzma() ? "MISSED" : "not built in",
                Ratio(bands[0].modern, bands[0].gzip));
    std::printf("Writing speed on one core: default options (%s) %.2f MB/s, brotli -q 11 %.2f MB/s (%s); "
                "--codec deflate %.2f MB/s, gzip -9 %.2f MB/s (%s). Default options on %u cores (one page per "
                "core) %.2f MB/s (wall clock); zlib's level 9 in this process %.2f MB/s. Processor time throughout.\n",
                vexel::HaveLzma() ? "both codecs, the smaller page kept" : "deflate", modernSpeed, brotliSpeed,
                brotli ? (modernFaster ? "met" : "MISSED") : "no brotli", deflateSpeed, gzipSpeed,
                deflateFaster ? "met" : "MISSED", cores, parallelSpeed, Speed(total.original, gzipSeconds));
    std::printf("Deflate streams over the set: %s %zu bytes, zlib level 9 %zu bytes (%.3f).\n", vexel::DeflaterName(),
                ourPayload, zlibPayload, Ratio(ourPayload, zlibPayload));
    std::printf("Fixed text of a modern page: %zu bytes (%zu encrypted); of an LZMA page %zu bytes.\n",
                vexel::ModernDecoderSize(false), vexel::ModernDecoderSize(true),
                vexel::ModernDecoderSize(false, vexel::ModernCodec::Lzma));
    if (xz) {
        std::printf("xz -9e (raw LZMA2) on the pages of 32 KB and more: %.3f of gzip -9.\n",
                    Ratio(xzTotal, gzipOfXzPages));
    }
    if (vexel::HaveLzma()) {
        targetsMet = RunSite(dir, compareDictionaries) && targetsMet;
    }
    std::printf("\nTargets %s.\n", targetsMet ? "met" : "MISSED");
    if (keep.empty()) {
        fs::remove_all(dir);
    }
    return targetsMet ? 0 : 1;
}
