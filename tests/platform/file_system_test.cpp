// The system's file services as the engine relies on them, natively and in
// the Windows build: exclusive naming, replacing renames, locks between open
// files, identities, listing names in any script.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#include "platform/file_system.h"

namespace vexel::platform {
namespace {

namespace fs = std::filesystem;

class FileSystemTest : public ::testing::Test {
protected:
    FileSystemTest() {
        std::random_device random;
        const auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
        root_ = fs::temp_directory_path() /
                ("vexel-platform-test-" + std::to_string(random()) + "-" + std::to_string(ticks));
        fs::create_directories(root_);
    }
    ~FileSystemTest() override {
        std::error_code ec;
        fs::remove_all(root_, ec);
    }

    // A UTF-8 path inside the scratch folder.
    std::string Path(const std::string& name) const { return (root_ / fs::u8path(name)).u8string(); }

    void Put(const std::string& name, const std::string& bytes) const {
        std::ofstream file(root_ / fs::u8path(name), std::ios::binary);
        file << bytes;
    }
    std::string Get(const std::string& name) const {
        std::ifstream file(root_ / fs::u8path(name), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    }

    fs::path root_;
};

TEST_F(FileSystemTest, ExclusiveRenameNeverReplacesAndReplacingRenameDoes) {
    Put("new", "new bytes");
    Put("taken", "the only copy");
    const Status refused = RenameExclusive(Path("new"), Path("taken"));
    EXPECT_EQ(refused.Error(), Status::Kind::Exists) << refused.Reason();
    EXPECT_EQ(Get("taken"), "the only copy");
    EXPECT_EQ(Get("new"), "new bytes");

    ASSERT_TRUE(RenameExclusive(Path("new"), Path("free")).Ok());
    EXPECT_EQ(Get("free"), "new bytes");
    FileInfo info;
    ASSERT_TRUE(Inspect(Path("new"), false, info).Ok());
    EXPECT_EQ(info.kind, FileKind::Missing);  // the old name went

    ASSERT_TRUE(RenameReplacing(Path("free"), Path("taken")).Ok());
    EXPECT_EQ(Get("taken"), "new bytes");
}

TEST_F(FileSystemTest, ExclusiveRenameOfAnOpenLockedFileKeepsItsLock) {
    File first;
    ASSERT_TRUE(first.CreateNew(Path("temporary")).Ok());
    EXPECT_EQ(File().CreateNew(Path("temporary")).Error(), Status::Kind::Exists);
    bool locked = false;
    ASSERT_TRUE(first.TryLock(locked).Ok());
    ASSERT_TRUE(locked);
    ASSERT_TRUE(first.Write("backup", 6).Ok());
    ASSERT_TRUE(first.Sync().Ok());
    ASSERT_TRUE(RenameExclusive(Path("temporary"), Path("named")).Ok());

    // Another open file of the same name finds the lock taken, and can read.
    File second;
    ASSERT_TRUE(second.Open(Path("named"), OpenMode::Read).Ok());
    ASSERT_TRUE(second.TryLock(locked).Ok());
    EXPECT_FALSE(locked);
    char buffer[16];
    std::size_t got = 0;
    ASSERT_TRUE(second.Read(buffer, sizeof buffer, got).Ok());
    EXPECT_EQ(std::string(buffer, got), "backup");
    // The open file is the one that bears the name now.
    FileIdentity held;
    FileIdentity named;
    FileIdentity other;
    ASSERT_TRUE(second.Identity(held).Ok());
    ASSERT_TRUE(IdentityOf(Path("named"), named).Ok());
    Put("other", "x");
    ASSERT_TRUE(IdentityOf(Path("other"), other).Ok());
    EXPECT_EQ(held, named);
    EXPECT_NE(held, other);

    // Once the holder closes, the lock is free.
    ASSERT_TRUE(first.Close().Ok());
    ASSERT_TRUE(second.TryLock(locked).Ok());
    EXPECT_TRUE(locked);
}

TEST_F(FileSystemTest, NameRemovedWhileTheLockIsHeld) {
    File file;
    ASSERT_TRUE(file.CreateNew(Path("temporary")).Ok());
    ASSERT_TRUE(RenameExclusive(Path("temporary"), Path("backup")).Ok());
    ASSERT_TRUE(file.RemoveName(Path("backup")).Ok());
    file.Close();
    FileInfo info;
    ASSERT_TRUE(Inspect(Path("backup"), false, info).Ok());
    EXPECT_EQ(info.kind, FileKind::Missing);
}

TEST_F(FileSystemTest, ListingGivesNamesInAnyScriptWithTheirKinds) {
    const std::vector<std::string> names = {
        "Gr\xC3\xBC\xC3\x9F"
        "e.html",
        "\xE6\x97\xA5\xE6\x9C\xAC.htm", "plain.htm"};
    for (const std::string& name : names)
        Put(name, name);
    fs::create_directory(root_ / "sub");
    std::vector<FolderEntry> entries;
    ASSERT_TRUE(ListFolder(root_.u8string(), entries).Ok());
    std::vector<std::string> files;
    for (const FolderEntry& entry : entries) {
        if (entry.name == "sub") {
            EXPECT_EQ(entry.kind, FileKind::Directory);
            continue;
        }
        EXPECT_EQ(entry.kind, FileKind::Regular) << entry.name;
        files.push_back(entry.name);
        // The listed name opens as it is.
        File file;
        EXPECT_TRUE(file.Open(JoinPath(root_.u8string(), entry.name), OpenMode::Read).Ok()) << entry.name;
    }
    std::sort(files.begin(), files.end());
    EXPECT_EQ(files, (std::vector<std::string>{"Gr\xC3\xBC\xC3\x9F"
                                               "e.html",
                                               "plain.htm", "\xE6\x97\xA5\xE6\x9C\xAC.htm"}));

    const Status missing = ListFolder(Path("no-such-folder"), entries);
    EXPECT_EQ(missing.Error(), Status::Kind::NotFound);
    EXPECT_FALSE(missing.Reason().empty());
}

TEST_F(FileSystemTest, ReadsAndInspectionsSayWhatIsThere) {
    Put("page.htm", std::string(100000, 'p'));
    FileInfo info;
    ASSERT_TRUE(Inspect(Path("page.htm"), true, info).Ok());
    EXPECT_EQ(info.kind, FileKind::Regular);
    EXPECT_EQ(info.size, 100000);
    ASSERT_TRUE(Inspect(root_.u8string(), true, info).Ok());
    EXPECT_EQ(info.kind, FileKind::Directory);

    File file;
    const Status missing = file.Open(Path("missing.htm"), OpenMode::Read);
    EXPECT_EQ(missing.Error(), Status::Kind::NotFound);
    EXPECT_FALSE(missing.Reason().empty());

    ASSERT_TRUE(file.Open(Path("page.htm"), OpenMode::ReadWrite).Ok());
    std::string content(200000, '\0');
    std::size_t total = 0;
    for (std::size_t got = 1; got > 0; total += got)
        ASSERT_TRUE(file.Read(content.data() + total, content.size() - total, got).Ok());
    EXPECT_EQ(total, 100000u);
}

TEST(Paths, JoinAndAbsolute) {
    EXPECT_EQ(JoinPath("site/", "a.htm"), "site/a.htm");
    EXPECT_TRUE(IsSeparator('/'));
    const std::string absolute = AbsolutePath("a/./b/../c.htm");
    ASSERT_GT(absolute.size(), 7u);
    const std::string tail = absolute.substr(absolute.size() - 7);
    EXPECT_TRUE(tail == "a/c.htm" || tail == "a\\c.htm") << absolute;
    EXPECT_EQ(absolute.find(".."), std::string::npos);
#ifdef _WIN32
    EXPECT_EQ(JoinPath("C:\\site", "a.htm"), "C:\\site\\a.htm");
    EXPECT_TRUE(NamesIgnoreCase());
#else
    EXPECT_EQ(JoinPath("/site", "a.htm"), "/site/a.htm");
    EXPECT_EQ(AbsolutePath("/x/./y/../z"), "/x/z");
    EXPECT_FALSE(NamesIgnoreCase());
#endif
}

}  // namespace
}  // namespace vexel::platform
