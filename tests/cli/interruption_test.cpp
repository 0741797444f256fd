// The vexel program stopped part-way (kill -9 at random moments, SIGTERM,
// SIGHUP, Ctrl+C) and run twice at once over the same pages: every page is
// always its original, its original beside an equal backup, or its finished
// compressed form beside a backup equal to the original.
#include <gtest/gtest.h>

#include <signal.h>

#include <random>
#include <set>

#include "tests/cli/cli_test_support.h"
#include "tests/cli/process_support.h"

namespace vexel::cli {
namespace {

using namespace support;

// Pages of a few hundred kilobytes, different from one another, so that a
// run takes long enough to be stopped in the middle.
std::string BigPage(int seed, std::size_t size) {
    std::mt19937 random(static_cast<unsigned>(seed) * 7919u + 17u);
    static const char* const kWords[] = {"alpha", "river", "garden", "table",  "price",  "window", "stone",
                                         "music", "paper", "orange", "silver", "forest", "engine", "cloud"};
    std::string page =
        "<html><head><title>site page " + std::to_string(seed) + "</title></head>\r\n<body>\r\n";
    while (page.size() < size) {
        page += "<tr><td>" + std::to_string(random() % 100000) + "</td>";
        for (int i = 0; i < 6; ++i)
            page += std::string("<td>") + kWords[random() % 14] + "</td>";
        page += "</tr>\r\n";
    }
    return page + "</body></html>\r\n";
}

struct Site {
    fs::path folder;
    std::vector<std::string> names;
    std::map<std::string, std::string> original;
    std::map<std::string, std::string> compressed;  // what a run that is not stopped writes
};

// `count` pages in `folder`, and their compressed form from an undisturbed run
// over a copy.
Site MakeSite(const ScratchDir& dir, const std::string& name, int count, std::size_t size) {
    Site site;
    site.folder = dir.Path() / name;
    const fs::path reference = dir.Path() / (name + "-reference");
    for (int i = 0; i < count; ++i) {
        char file[32];
        std::snprintf(file, sizeof file, "page%03d.htm", i);
        site.names.push_back(file);
        site.original[file] = BigPage(i, size);
        WriteBytes(site.folder / file, site.original[file]);
        WriteBytes(reference / file, site.original[file]);
    }
    EXPECT_EQ(Vexel({"compress", "-q", "--jobs", "2", reference.string()}).status, kExitOk);
    for (const std::string& file : site.names)
        site.compressed[file] = ReadBytes(reference / file);
    return site;
}

enum class PageState { Original, OriginalWithBackup, Compressed, Broken };

PageState StateOf(const Site& site, const std::string& name) {
    const fs::path page = site.folder / name;
    const fs::path backup = site.folder / (name + "_backup");
    const std::string bytes = fs::exists(page) ? ReadBytes(page) : "<missing>";
    if (!fs::exists(backup))
        return bytes == site.original.at(name) ? PageState::Original : PageState::Broken;
    if (ReadBytes(backup) != site.original.at(name))
        return PageState::Broken;
    if (bytes == site.original.at(name))
        return PageState::OriginalWithBackup;
    return bytes == site.compressed.at(name) ? PageState::Compressed : PageState::Broken;
}

// Checks every page; returns how many are finished.
int CheckStates(const Site& site, const std::string& when) {
    int compressed = 0;
    for (const std::string& name : site.names) {
        const PageState state = StateOf(site, name);
        EXPECT_NE(state, PageState::Broken) << name << " " << when;
        compressed += state == PageState::Compressed ? 1 : 0;
    }
    return compressed;
}

TEST(Interruption, KillNineAtRandomMomentsLeavesEveryPageWholeAndASecondRunFinishes) {
    ScratchDir dir;
    const Site site = MakeSite(dir, "site", 40, 150000);

    // How long an undisturbed run takes, to kill within it.
    const fs::path timed = dir.Path() / "timed";
    for (const auto& [name, bytes] : site.original)
        WriteBytes(timed / name, bytes);
    const auto start = std::chrono::steady_clock::now();
    {
        ChildRun run(VexelProgram(), {"compress", "-q", "--jobs", "2", timed.string()}, dir.Path().string());
        ASSERT_EQ(run.Wait(), kExitOk) << run.Err();
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    std::mt19937 random(20261208);
    const int total = static_cast<int>(site.names.size());
    int finished = 0;
    int part_way = 0;
    for (int round = 0; round < 6 && finished < total; ++round) {
        ChildRun run(VexelProgram(), {"compress", "-q", "--jobs", "2", site.folder.string()},
                     dir.Path().string());
        const double at = std::uniform_real_distribution<double>(0.05, 0.6)(random) * seconds;
        std::this_thread::sleep_for(std::chrono::duration<double>(at));
        run.Kill();
        run.Wait();
        finished = CheckStates(site, "after kill " + std::to_string(round));
        part_way += finished < total ? 1 : 0;
    }
    // The kills met the runs part-way, not after their end.
    EXPECT_GT(part_way, 0);

    ChildRun last(VexelProgram(), {"compress", "-q", "--jobs", "2", site.folder.string()},
                  dir.Path().string());
    ASSERT_EQ(last.Wait(), kExitOk) << last.Err();
    EXPECT_EQ(CheckStates(site, "after the last run"), static_cast<int>(site.names.size()));
}

TEST(Interruption, StopSignalsFinishThePageInHandAndGiveTheirExitStatus) {
    ScratchDir dir;
    const Site site = MakeSite(dir, "site", 30, 200000);
    const struct {
        int signal;
        int status;
    } stops[] = {{SIGTERM, 143}, {SIGHUP, 129}, {SIGINT, 130}};
    const auto backups = [&] {
        int count = 0;
        for (const std::string& name : site.names)
            count += fs::exists(site.folder / (name + "_backup")) ? 1 : 0;
        return count;
    };
    int finished = 0;
    for (const auto& stop : stops) {
        ChildRun run(VexelProgram(), {"compress", "--jobs", "1", site.folder.string()}, dir.Path().string());
        // Once the next page is under way: its backup is there.
        ASSERT_TRUE(WaitUntil([&] { return backups() > finished; })) << run.Err();
        run.Signal(stop.signal);
        EXPECT_EQ(run.Wait(), stop.status) << run.Err();
        EXPECT_TRUE(run.Err().find("(stopped)") != std::string::npos) << run.Err();
        const int now = CheckStates(site, "after signal " + std::to_string(stop.signal));
        // The page in hand was finished, and the run went no further.
        EXPECT_GT(now, finished);
        EXPECT_LT(now, static_cast<int>(site.names.size()));
        finished = now;
    }
}

TEST(Interruption, PageBesideAnEqualBackupIsCompressedWithItAndAlreadyCompressedStaysForOthers) {
    ScratchDir dir;
    const Site site = MakeSite(dir, "site", 3, 20000);
    // page000: stopped between backup and page; page001: compressed already.
    WriteBytes(site.folder / "page000.htm_backup", site.original.at("page000.htm"));
    ASSERT_EQ(Vexel({"compress", "-q", (site.folder / "page001.htm").string()}).status, kExitOk);

    const auto result = Vexel({"compress", "--jobs", "1", site.folder.string()});
    ASSERT_EQ(result.status, kExitOk) << result.err;
    EXPECT_EQ(CheckStates(site, "after the run"), 3);
    const std::string lines = result.out;
    EXPECT_EQ(lines.find("File:" + (site.folder / "page000.htm").string() + " already compressed!"),
              std::string::npos);
    EXPECT_NE(lines.find("File:" + (site.folder / "page001.htm").string() + " already compressed!"),
              std::string::npos);
    EXPECT_EQ(OpenedFiles(lines), (std::vector<std::string>{(site.folder / "page000.htm").string(),
                                                            (site.folder / "page002.htm").string()}));
}

TEST(Interruption, TwoRunsAtOnceNeverOverwriteABackupNorCompressAPageTwice) {
    ScratchDir dir;
    const Site site = MakeSite(dir, "site", 100, 30000);
    ChildRun first(VexelProgram(), {"compress", "--jobs", "2", site.folder.string()},
                   (dir.Path() / "first").string());
    ChildRun second(VexelProgram(), {"compress", "--jobs", "2", site.folder.string()},
                    (dir.Path() / "second").string());
    EXPECT_EQ(first.Wait(), kExitOk) << first.Err();
    EXPECT_EQ(second.Wait(), kExitOk) << second.Err();
    EXPECT_EQ(CheckStates(site, "after both runs"), 100);

    // Each page was opened by exactly one of the two runs.
    std::multiset<std::string> opened;
    for (const std::string& path : OpenedFiles(first.Out()))
        opened.insert(path);
    for (const std::string& path : OpenedFiles(second.Out()))
        opened.insert(path);
    EXPECT_EQ(opened.size(), 100u);
    EXPECT_EQ(std::set<std::string>(opened.begin(), opened.end()).size(), 100u);
}

}  // namespace
}  // namespace vexel::cli
