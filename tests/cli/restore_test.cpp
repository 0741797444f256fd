// `vexel restore`: backups put back in place of the compressed pages.
#include <gtest/gtest.h>

#include "tests/cli/cli_test_support.h"

namespace vexel::cli {
namespace {

using namespace support;

std::string PlainPage(const std::string& text) {
    std::string body;
    for (int i = 0; i < 120; ++i)
        body += "<p>" + text + " line " + std::to_string(i) + "</p>\r\n";
    return "<html><head><title>" + text + "</title></head>\r\n<body>\r\n" + body + "</body></html>\r\n";
}

// `name` in `folder` as compress leaves it: the compressed page beside the
// backup of `original`.
void CompressedPage(const fs::path& folder, const std::string& name, const std::string& original,
                    const std::vector<std::string>& options = {}) {
    WriteBytes(folder / name, original);
    std::vector<std::string> args = {"compress", "-q"};
    args.insert(args.end(), options.begin(), options.end());
    args.push_back((folder / name).string());
    const auto result = Vexel(args);
    ASSERT_EQ(result.status, kExitOk) << result.err;
    ASSERT_NE(ReadBytes(folder / name), original);
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
    for (const char* name : {"a.htm", "b.htm"})
        CompressedPage(dir.Path(), name, PlainPage(name));
    const std::string compressed_b = ReadBytes(dir / "b.htm");
    int asked = 0;
    Console console;
    console.stopSignal = [&asked] { return asked++ == 0 ? 0 : 15; };  // SIGTERM after the first page
    const auto result = Vexel({"restore", dir / ""}, console);
    EXPECT_EQ(result.status, 143);
    EXPECT_EQ(ReadBytes(dir / "a.htm"), PlainPage("a.htm"));
    EXPECT_EQ(ReadBytes(dir / "b.htm"), compressed_b);
    EXPECT_TRUE(fs::exists(dir / "b.htm_backup"));
    EXPECT_TRUE(Contains(result.err, "Pages restored: 1 (stopped)")) << result.err;
}

TEST(Restore, DryRunListsButChangesNothing) {
    ScratchDir dir;
    CompressedPage(dir.Path(), "a.htm", PlainPage("a"));
    WriteBytes(dir.Path() / "b.htm", PlainPage("made again"));
    WriteBytes(dir.Path() / "b.htm_backup", PlainPage("b"));
    const auto before = Snapshot(dir.Path());
    const auto result = Vexel({"restore", "--dry-run", dir / ""});
    // The page that is not ours would be refused: the dry run says so too.
    EXPECT_EQ(result.status, kExitFailed) << result.err;
    EXPECT_EQ(result.out, "Would restore: " + (dir.Path() / "a.htm").string() + "\n");
    EXPECT_TRUE(Contains(result.err, "b.htm")) << result.err;
    EXPECT_EQ(Snapshot(dir.Path()), before);
}

TEST(Restore, APageNeverCompressedIsASkipWithALineAndACompressedOneWithoutBackupAFailure) {
    ScratchDir dir;
    WriteBytes(dir.Path() / "plain.htm", "never compressed");
    CompressedPage(dir.Path(), "b.htm", "original <body> text");
    CompressedPage(dir.Path(), "lost.htm", "its backup is gone <body> text");
    fs::remove(dir.Path() / "lost.htm_backup");
    const std::string plain = dir / "plain.htm";

    auto result = Vexel({"restore", plain, dir / "b.htm"});
    EXPECT_EQ(result.status, kExitOk) << result.err;
    EXPECT_EQ(Lines(result.out).front(), "Skipped: \"" + plain +
                                             "\" is not a compressed page and has no backup (never compressed, or "
                                             "restored already): nothing to restore");
    EXPECT_EQ(Lines(result.err).back(), "Pages restored: 1, 1 skipped (not compressed)") << result.err;
    EXPECT_EQ(ReadBytes(plain), "never compressed");
    EXPECT_EQ(ReadBytes(dir / "b.htm"), "original <body> text");
    EXPECT_FALSE(fs::exists(dir / "b.htm_backup"));

    const std::string lost = dir / "lost.htm";
    const std::string compressed = ReadBytes(lost);
    result = Vexel({"restore", lost});
    EXPECT_EQ(result.status, kExitFailed);
    EXPECT_EQ(result.err.rfind("vexel: ", 0), 0u) << result.err;
    EXPECT_TRUE(Contains(Lines(result.err).front(), lost)) << result.err;
    EXPECT_EQ(ReadBytes(lost), compressed);
}

TEST(Restore, OnlyACompressedPageOfOursIsReplacedUnlessForced) {
    ScratchDir dir;
    CompressedPage(dir.Path(), "js.htm", PlainPage("js"));
    CompressedPage(dir.Path(), "vb.htm", PlainPage("vb"), {"--vbscript"});
    CompressedPage(dir.Path(), "modern.htm", PlainPage("modern"), {"--modern"});
    CompressedPage(dir.Path(), "remade.htm", PlainPage("old"));
    // The user made this page again after it was compressed.
    WriteBytes(dir.Path() / "remade.htm", PlainPage("new"));

    auto result = Vexel({"restore", dir / ""});
    EXPECT_EQ(result.status, kExitFailed);
    EXPECT_EQ(ReadBytes(dir / "js.htm"), PlainPage("js"));
    EXPECT_EQ(ReadBytes(dir / "vb.htm"), PlainPage("vb"));
    EXPECT_EQ(ReadBytes(dir / "modern.htm"), PlainPage("modern"));
    EXPECT_EQ(ReadBytes(dir / "remade.htm"), PlainPage("new"));
    EXPECT_EQ(ReadBytes(dir / "remade.htm_backup"), PlainPage("old"));
    ASSERT_EQ(Lines(result.err).size(), 2u) << result.err;
    EXPECT_TRUE(Contains(result.err, (dir.Path() / "remade.htm").string() + "\": it is not a compressed page"))
        << result.err;
    EXPECT_TRUE(Contains(result.err, "Pages restored: 3")) << result.err;

    result = Vexel({"restore", "--force", dir / "remade.htm"});
    EXPECT_EQ(result.status, kExitOk) << result.err;
    EXPECT_EQ(ReadBytes(dir / "remade.htm"), PlainPage("old"));
    EXPECT_FALSE(fs::exists(dir / "remade.htm_backup"));
}

#ifndef _WIN32
TEST(Restore, BackupThatIsALinkOrTheSamePageIsRefusedAndBothStay) {
    ScratchDir dir;
    CompressedPage(dir.Path(), "a.htm", PlainPage("a"));
    const std::string compressed = ReadBytes(dir / "a.htm");
    fs::remove(dir.Path() / "a.htm_backup");
    fs::create_symlink("a.htm", dir.Path() / "a.htm_backup");
    CompressedPage(dir.Path(), "b.htm", PlainPage("b"));
    fs::remove(dir.Path() / "b.htm_backup");
    fs::create_hard_link(dir.Path() / "b.htm", dir.Path() / "b.htm_backup");

    const auto result = Vexel({"restore", dir / "a.htm", dir / "b.htm"});
    EXPECT_EQ(result.status, kExitFailed);
    EXPECT_TRUE(fs::is_symlink(dir.Path() / "a.htm_backup"));
    EXPECT_EQ(ReadBytes(dir / "a.htm"), compressed);
    EXPECT_TRUE(fs::exists(dir.Path() / "b.htm"));
    EXPECT_EQ(fs::hard_link_count(dir.Path() / "b.htm"), 2u);
    const auto lines = Lines(result.err);
    ASSERT_GE(lines.size(), 2u) << result.err;
    EXPECT_TRUE(Contains(lines[0], "a.htm_backup") && Contains(lines[0], "link")) << lines[0];
    EXPECT_TRUE(Contains(lines[1], "b.htm_backup") && Contains(lines[1], "the page itself")) << lines[1];
}
#endif

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
