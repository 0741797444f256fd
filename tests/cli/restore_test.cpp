// `vexel restore`: backups put back in place of the compressed pages.
#include <gtest/gtest.h>

#include "tests/cli/cli_test_support.h"

namespace vexel::cli {
namespace {

using namespace support;

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

TEST(Restore, FolderPutsBackTheOriginalBytesAndRemovesTheBackups) {
    ScratchDir dir;
    const fs::path site = dir.CopyExamples();
    const auto original = Snapshot(site);
    ASSERT_EQ(Vexel({"compress", "-r", "-q", site.string()}).status, kExitOk);
    ASSERT_NE(Snapshot(site), original);

    // Without --recursive the manual's pages stay compressed.
    auto result = Vexel({"restore", site.string()});
    EXPECT_EQ(result.status, kExitOk) << result.err;
    EXPECT_TRUE(fs::exists(site / "manual" / "Tools.htm_backup"));
    EXPECT_EQ(ReadBytes(site / "index.html"), original.at("index.html"));
    EXPECT_TRUE(Contains(result.out, "Restored: " + (site / "price-list.htm").string()));
    EXPECT_FALSE(Contains(result.out, "nav-fragment"));  // broken off: no backup was kept

    result = Vexel({"restore", "-r", site.string()});
    EXPECT_EQ(result.status, kExitOk) << result.err;
    EXPECT_EQ(Snapshot(site), original);
    EXPECT_TRUE(Contains(result.err, "Pages restored: 2")) << result.err;
}

TEST(Restore, StopSignalEndsTheRunBetweenTwoPages) {
    ScratchDir dir;
    for (const char* name : {"a.htm", "b.htm"}) {
        WriteBytes(dir.Path() / name, "compressed");
        WriteBytes(dir.Path() / (std::string(name) + "_backup"), "original");
    }
    int asked = 0;
    Console console;
    console.stopSignal = [&asked] { return asked++ == 0 ? 0 : 15; };  // SIGTERM after the first page
    const auto result = Vexel({"restore", dir / ""}, console);
    EXPECT_EQ(result.status, 143);
    EXPECT_EQ(ReadBytes(dir / "a.htm"), "original");
    EXPECT_EQ(ReadBytes(dir / "b.htm"), "compressed");
    EXPECT_TRUE(fs::exists(dir / "b.htm_backup"));
    EXPECT_TRUE(Contains(result.err, "Pages restored: 1 (stopped)")) << result.err;
}

TEST(Restore, DryRunListsButChangesNothing) {
    ScratchDir dir;
    WriteBytes(dir.Path() / "a.htm", "<html><body>compressed</body></html>");
    WriteBytes(dir.Path() / "a.htm_backup", "<html><body>original</body></html>");
    const auto before = Snapshot(dir.Path());
    const auto result = Vexel({"restore", "--dry-run", dir / ""});
    EXPECT_EQ(result.status, kExitOk) << result.err;
    EXPECT_EQ(result.out, "Would restore: " + (dir.Path() / "a.htm").string() + "\n");
    EXPECT_EQ(Snapshot(dir.Path()), before);
}

TEST(Restore, PageWithoutBackupIsReportedAndTheOthersAreRestored) {
    ScratchDir dir;
    WriteBytes(dir.Path() / "plain.htm", "never compressed");
    WriteBytes(dir.Path() / "b.htm", "compressed");
    WriteBytes(dir.Path() / "b.htm_backup", "original");
    const std::string plain = dir / "plain.htm";

    const auto result = Vexel({"restore", plain, dir / "b.htm"});
    EXPECT_EQ(result.status, kExitFailed);
    EXPECT_EQ(result.err.rfind("vexel: ", 0), 0u) << result.err;
    EXPECT_TRUE(Contains(Lines(result.err).front(), plain)) << result.err;
    EXPECT_EQ(ReadBytes(plain), "never compressed");
    EXPECT_EQ(ReadBytes(dir / "b.htm"), "original");
    EXPECT_FALSE(fs::exists(dir / "b.htm_backup"));
}

TEST(Restore, BackupWhosePageIsGoneBringsThePageBack) {
    ScratchDir dir;
    WriteBytes(dir.Path() / "lost.html_backup", "original");
    WriteBytes(dir.Path() / "notes.txt_backup", "not a page's backup");
    const auto result = Vexel({"restore", dir / ""});
    EXPECT_EQ(result.status, kExitOk) << result.err;
    EXPECT_EQ(ReadBytes(dir / "lost.html"), "original");
    EXPECT_TRUE(fs::exists(dir / "notes.txt_backup"));
    EXPECT_FALSE(fs::exists(dir / "notes.txt"));
}

}  // namespace
}  // namespace vexel::cli
