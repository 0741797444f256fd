// compress and verify with --output-dir: the source folder only read, the
// output written again only where its source changed, verify catching an
// output that no longer matches, and folders that would mix refused.
#include <gtest/gtest.h>

#include "platform/file_system.h"
#include "tests/cli/cli_test_support.h"

namespace vexel::cli {
namespace {

using namespace support;

// Which file each name of the output is: a file written again is a new one.
using Identities = std::map<std::string, platform::FileIdentity>;

Identities Inodes(const fs::path& root) {
    Identities inodes;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        platform::FileIdentity identity;
        if (entry.is_regular_file() && platform::IdentityOf(entry.path().u8string(), identity).Ok())
            inodes[fs::relative(entry.path(), root).generic_string()] = identity;
    }
    return inodes;
}

std::vector<std::string> Rewritten(const Identities& before, const Identities& after) {
    std::vector<std::string> names;
    for (const auto& [name, inode] : after) {
        const auto old = before.find(name);
        if (old == before.end() || old->second != inode)
            names.push_back(name);
    }
    return names;
}

class TreeToTree : public ::testing::Test {
protected:
    void SetUp() override {
        fs::copy(ExamplesDir(), src_, fs::copy_options::recursive);
        WriteBytes(src_ / "pictures" / "logo.png", std::string("\x89PNG\r\n\x1a\n\0\0", 10));
        source_ = Snapshot(src_);
    }

    RunResult Compress(std::vector<std::string> extra = {}) {
        std::vector<std::string> args = {"compress", "-q", "-j", "2", "-O", out_.string()};
        args.insert(args.end(), extra.begin(), extra.end());
        args.push_back(src_.string());
        return Vexel(args);
    }

    ScratchDir dir_;
    fs::path src_ = dir_.Path() / "src";
    fs::path out_ = dir_.Path() / "build" / "site";
    std::map<std::string, std::string> source_;
};

TEST_F(TreeToTree, SourceStaysByteForByteAndASecondRunWritesOnlyWhatChanged) {
    const RunResult first = Compress();
    ASSERT_EQ(first.status, kExitOk) << first.err;
    EXPECT_EQ(Snapshot(src_), source_) << "the source was changed";

    // Every file at its place: pages compressed (or, without a body tag,
    // as they were), the others copied, no backups anywhere.
    const auto output = Snapshot(out_);
    for (const auto& [name, bytes] : source_) {
        ASSERT_EQ(output.count(name), 1u) << name;
        if (name == "style.css" || name == "pictures/logo.png" || name == "nav-fragment.htm")
            EXPECT_EQ(output.at(name), bytes) << name;
        else
            EXPECT_NE(output.at(name), bytes) << name << " was not compressed";
    }
    for (const auto& [name, bytes] : output)
        EXPECT_EQ(name.find("_backup"), std::string::npos) << name;
    const RunResult checked = Vexel({"verify", "-q", "-O", out_.string(), src_.string()});
    EXPECT_EQ(checked.status, kExitOk) << checked.out << checked.err;

    // Nothing changed: nothing written but the manifest.
    auto before = Inodes(out_);
    RunResult again = Compress();
    ASSERT_EQ(again.status, kExitOk) << again.err;
    EXPECT_EQ(Rewritten(before, Inodes(out_)), std::vector<std::string>{".vexel-tree"});
    EXPECT_TRUE(Contains(again.err, "Pages: 0 written")) << again.err;

    // One page of the source edited, one of the output edited by hand: those two.
    WriteBytes(src_ / "manual" / "Tools.htm", source_.at("manual/Tools.htm") + "<p>new</p>\r\n");
    WriteBytes(out_ / "recettes.htm", "tampered");
    before = Inodes(out_);
    again = Compress();
    ASSERT_EQ(again.status, kExitOk) << again.err;
    EXPECT_EQ(Rewritten(before, Inodes(out_)),
              (std::vector<std::string>{".vexel-tree", "manual/Tools.htm", "recettes.htm"}));
    EXPECT_EQ(Vexel({"verify", "-q", "-O", out_.string(), src_.string()}).status, kExitOk);

    // Other settings make other pages: all of them are written again, each
    // JSON object naming the source and the output.
    before = Inodes(out_);
    again = Compress({"--modern", "--json"});
    ASSERT_EQ(again.status, kExitOk) << again.err;
    EXPECT_EQ(Rewritten(before, Inodes(out_)).size(), before.size());
    EXPECT_TRUE(Contains(again.out, "\"path\":" + ::testing::PrintToString((src_ / "manual" / "Tools.htm").string()) +
                                        ",\"result\":\"written\",\"output\":" +
                                        ::testing::PrintToString((out_ / "manual" / "Tools.htm").string())))
        << again.out;
}

TEST_F(TreeToTree, VerifyAgainstTheSourceNamesEveryOutputFileThatDiffersOrIsMissing) {
    ASSERT_EQ(Compress({"--modern", "--site", src_.string()}).status, kExitOk);
    RunResult checked = Vexel({"verify", "-q", "-O", out_.string(), src_.string()});
    EXPECT_EQ(checked.status, kExitOk) << checked.out << checked.err;

    // A page compressed from another text, a copy changed, a page gone.
    WriteBytes(out_ / "index.html", ReadBytes(out_ / "changelog.htm"));
    WriteBytes(out_ / "style.css", "body{}");
    fs::remove(out_ / "manual" / "Tools.htm");
    checked = Vexel({"verify", "-q", "-O", out_.string(), src_.string()});
    EXPECT_EQ(checked.status, kExitFailed);
    const std::vector<std::string> lines = Lines(checked.out);
    ASSERT_EQ(lines.size(), 3u) << checked.out;
    EXPECT_TRUE(Contains(lines[0], (out_ / "index.html").string() + ": MISMATCH")) << lines[0];
    EXPECT_TRUE(Contains(lines[1], (out_ / "manual" / "Tools.htm").string() + ": MISMATCH")) << lines[1];
    EXPECT_TRUE(Contains(lines[2], (out_ / "style.css").string() + ": MISMATCH")) << lines[2];
    EXPECT_TRUE(Contains(checked.err, "Files: 9 OK, 3 mismatch")) << checked.err;
    EXPECT_FALSE(Contains(checked.out, "backup")) << "the source is the original here: " << checked.out;

#ifndef _WIN32
    // With --other-files link the copies are links to the source.
    const fs::path linked = dir_.Path() / "linked";
    ASSERT_EQ(Vexel({"compress", "-q", "--other-files", "link", "-O", linked.string(), src_.string()}).status,
              kExitOk);
    EXPECT_TRUE(fs::is_symlink(linked / "style.css"));
    EXPECT_EQ(Vexel({"verify", "-q", "--other-files", "link", "-O", linked.string(), src_.string()}).status,
              kExitOk);
#endif
    EXPECT_EQ(Snapshot(src_), source_);
}

TEST_F(TreeToTree, FoldersThatWouldMixAreRefusedAndNothingIsWritten) {
    fs::create_directories(dir_.Path() / "build");
    std::vector<std::pair<std::string, std::string>> cases = {
        {src_.string(), "is the source folder"},
        {(src_ / "out").string(), "lies inside the source folder"},
        {(src_ / "manual" / ".." / "new").string(), "lies inside the source folder"},
        {dir_.Path().string(), "lies inside the output folder"},
    };
#ifndef _WIN32
    // Links are followed: one to the source is the source.
    fs::create_directory_symlink(src_, dir_.Path() / "build" / "same");
    cases.push_back({(dir_.Path() / "build" / "same").string(), "is the source folder"});
#endif
    for (const auto& [output, why] : cases) {
        const RunResult run = Vexel({"compress", "-O", output, src_.string()});
        EXPECT_EQ(run.status, kExitUsage) << output;
        EXPECT_TRUE(Contains(run.err, why)) << output << ": " << run.err;
        const RunResult check = Vexel({"verify", "-O", output, src_.string()});
        EXPECT_EQ(check.status, kExitUsage) << output;
    }
    // A log is created or emptied first: never in either tree.
    for (const fs::path& log : {src_ / "index.html", out_ / "index.html"}) {
        const RunResult run = Compress({"--log", log.string()});
        EXPECT_EQ(run.status, kExitUsage) << log;
        EXPECT_TRUE(Contains(run.err, "--log")) << run.err;
    }
    EXPECT_FALSE(fs::exists(out_));
#ifndef _WIN32
    // A folder of the output that is a link into the source is never written through.
    fs::create_directories(out_);
    fs::create_directory_symlink(src_ / "manual", out_ / "manual");
    const RunResult run = Compress();
    EXPECT_EQ(run.status, kExitFailed);
    EXPECT_TRUE(Contains(run.err, (out_ / "manual").string())) << run.err;
#endif
    EXPECT_EQ(Snapshot(src_), source_);
    EXPECT_FALSE(fs::exists(src_ / "out"));
    EXPECT_FALSE(fs::exists(src_ / "new"));
}

}  // namespace
}  // namespace vexel::cli
