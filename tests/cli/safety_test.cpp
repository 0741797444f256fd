// The rules that keep a user's pages safe from trees and files set up against
// the tool: backups that are not what they seem, pages compressed already,
// links that lead out of the folder, pages with several names, sizes past the
// limit, and one list of pages for compress, restore and verify.
#include <gtest/gtest.h>

#include <cstdlib>
#include <set>

#include "engine/size_limit.h"
#include "tests/cli/cli_test_support.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace vexel::cli {
namespace {

using namespace support;

std::string Page(const std::string& title) {
    std::string body;
    for (int i = 0; i < 30; ++i)
        body += "<p>Line " + std::to_string(i) + " of " + title + ", with words to repeat.</p>\r\n";
    return "<html><head><title>" + title + "</title></head>\r\n<body>\r\n" + body + "</body></html>\r\n";
}

// The compressed page vexel writes for Page(title) with `options`.
std::string CompressedForm(const ScratchDir& dir, const std::string& title,
                           const std::vector<std::string>& options = {}) {
    const fs::path file = dir.Path() / ("reference-" + std::to_string(options.size())) / (title + ".htm");
    WriteBytes(file, Page(title));
    std::vector<std::string> args = {"compress", "-q"};
    args.insert(args.end(), options.begin(), options.end());
    args.push_back(file.string());
    EXPECT_EQ(Vexel(args).status, kExitOk);
    return ReadBytes(file);
}

#ifndef _WIN32
TEST(BackupRules, BackupThatIsALinkOrASecondNameOfThePageRefusesThePage) {
    ScratchDir dir;
    WriteBytes(dir.Path() / "link.htm", Page("link"));
    fs::create_symlink("link.htm", dir.Path() / "link.htm_backup");
    WriteBytes(dir.Path() / "hard.htm", Page("hard"));
    fs::create_hard_link(dir.Path() / "hard.htm", dir.Path() / "hard.htm_backup");
    WriteBytes(dir.Path() / "dangling.htm", Page("dangling"));
    fs::create_symlink("nowhere.htm", dir.Path() / "dangling.htm_backup");

    const auto result = Vexel({"compress", "--jobs", "1", dir / ""});
    EXPECT_EQ(result.status, kExitFailed);
    // Each page is kept as it was, and so is what stands under its backup's name.
    EXPECT_EQ(ReadBytes(dir / "link.htm"), Page("link"));
    EXPECT_TRUE(fs::is_symlink(dir.Path() / "link.htm_backup"));
    EXPECT_EQ(ReadBytes(dir / "hard.htm"), Page("hard"));
    EXPECT_EQ(fs::hard_link_count(dir.Path() / "hard.htm"), 2u);
    EXPECT_EQ(ReadBytes(dir / "dangling.htm"), Page("dangling"));
    EXPECT_TRUE(fs::is_symlink(dir.Path() / "dangling.htm_backup"));
    const auto errors = Lines(result.err);
    ASSERT_GE(errors.size(), 3u) << result.err;
    EXPECT_TRUE(Contains(errors[0], "dangling.htm_backup") && Contains(errors[0], "it is a link")) << errors[0];
    EXPECT_TRUE(Contains(errors[1], "hard.htm")) << errors[1];
    EXPECT_TRUE(Contains(errors[2], "link.htm_backup") && Contains(errors[2], "it is a link")) << errors[2];
    EXPECT_TRUE(Contains(result.err, "0 written")) << result.err;
}

TEST(BackupRules, PageWithSeveralNamesIsRefusedAndKeptWhole) {
    ScratchDir dir;
    WriteBytes(dir.Path() / "site" / "page.htm", Page("page"));
    fs::create_hard_link(dir.Path() / "site" / "page.htm", dir.Path() / "copy.htm");
    const auto result = Vexel({"compress", dir / "site/page.htm"});
    EXPECT_EQ(result.status, kExitFailed);
    EXPECT_TRUE(Contains(result.err, "2 names (hard links)")) << result.err;
    EXPECT_EQ(ReadBytes(dir / "site/page.htm"), Page("page"));
    EXPECT_EQ(fs::hard_link_count(dir.Path() / "copy.htm"), 2u);
    EXPECT_FALSE(fs::exists(dir.Path() / "site" / "page.htm_backup"));
}
#endif

TEST(OwnPages, ACompressedPageWithoutItsBackupIsSkippedInEveryFormat) {
    ScratchDir dir;
    const std::map<std::string, std::vector<std::string>> formats = {
        {"js", {}}, {"vb", {"--vbscript"}}, {"modern", {"--modern"}},
        {"sealed", {"--modern", "--encrypt", "--password", "secret words"}}};
    std::map<std::string, std::string> pages;
    for (const auto& [name, options] : formats) {
        pages[name] = CompressedForm(dir, name, options);
        WriteBytes(dir.Path() / "site" / (name + ".htm"), pages[name]);  // its backup lost
    }
    const auto before = Snapshot(dir.Path() / "site");
    for (const char* jobs : {"1", "3"}) {
        const auto result = Vexel({"compress", "--jobs", jobs, dir / "site"});
        EXPECT_EQ(result.status, kExitOk) << result.err;
        EXPECT_EQ(Snapshot(dir.Path() / "site"), before);
        EXPECT_TRUE(OpenedFiles(result.out).empty()) << result.out;
        EXPECT_TRUE(Contains(result.out, "js.htm is a compressed JavaScript page already")) << result.out;
        EXPECT_TRUE(Contains(result.out, "vb.htm is a compressed VBScript page already")) << result.out;
        EXPECT_TRUE(Contains(result.out, "modern.htm is a compressed modern page already")) << result.out;
        EXPECT_TRUE(Contains(result.out, "sealed.htm is a compressed modern page already")) << result.out;
        EXPECT_TRUE(Contains(result.err, "0 written, 0 skipped, 4 already compressed")) << result.err;
    }
}

TEST(SizeLimit, APageJustPastTheLimitIsRefusedBeforeAnythingIsDone) {
    ScratchDir dir;
    const fs::path big = dir.Path() / "big.htm";
    {
        WriteBytes(big, "<html><body>");
        fs::resize_file(big, kPageSizeLimit + 1);  // sparse: no disk space taken
    }
    auto result = Vexel({"compress", big.string()});
    EXPECT_EQ(result.status, kExitFailed);
    EXPECT_TRUE(Contains(result.err, big.string()) && Contains(result.err, "larger than 1024 MB")) << result.err;
    EXPECT_FALSE(fs::exists(dir.Path() / "big.htm_backup"));
    EXPECT_EQ(fs::file_size(big), kPageSizeLimit + 1);

    for (const char* command : {"decode", "expand"}) {
        result = Vexel({command, "-o", dir / "out", big.string()});
        EXPECT_EQ(result.status, kExitFailed) << command;
        EXPECT_TRUE(Contains(result.err, "larger than 1024 MB")) << command << ": " << result.err;
    }
    // A backup past the limit is not read either.
    WriteBytes(dir.Path() / "small.htm", Page("small"));
    fs::rename(big, dir.Path() / "small.htm_backup");
    result = Vexel({"verify", dir / "small.htm"});
    EXPECT_EQ(result.status, kExitFailed);
    EXPECT_TRUE(Contains(result.err, "small.htm_backup") && Contains(result.err, "larger than 1024 MB"))
        << result.err;
}

#ifndef _WIN32
TEST(Links, ALinkInAFolderIsFollowedOnlyToAPageInsideIt) {
    ScratchDir dir;
    const fs::path site = dir.Path() / "site";
    const fs::path outside = dir.Path() / "outside";
    WriteBytes(site / "page.htm", Page("page"));
    WriteBytes(site / "sub" / "deep.htm", Page("deep"));
    WriteBytes(outside / "app.conf", "secret = 1\n");
    WriteBytes(outside / "other.htm", Page("other"));
    fs::create_symlink("../outside/app.conf", site / "innocent.html");
    fs::create_symlink("../outside/other.htm", site / "away.htm");
    fs::create_symlink("sub/deep.htm", site / "near.htm");

    auto result = Vexel({"compress", "--jobs", "1", site.string()});
    EXPECT_EQ(result.status, kExitFailed);
    EXPECT_EQ(ReadBytes(outside / "app.conf"), "secret = 1\n");
    EXPECT_FALSE(fs::exists(outside / "app.conf_backup"));
    EXPECT_EQ(ReadBytes(outside / "other.htm"), Page("other"));
    EXPECT_FALSE(fs::exists(outside / "other.htm_backup"));
    EXPECT_TRUE(fs::exists(site / "sub" / "deep.htm_backup"));  // inside the folder: followed
    EXPECT_TRUE(fs::exists(site / "page.htm_backup"));
    EXPECT_TRUE(Contains(result.err, "innocent.html") && Contains(result.err, "which is not a page"))
        << result.err;
    EXPECT_TRUE(Contains(result.err, "away.htm") && Contains(result.err, "outside the folder")) << result.err;

    // Allowed further, a link still never leads to a file that is no page.
    result = Vexel({"compress", "--follow-links-anywhere", site.string()});
    EXPECT_EQ(result.status, kExitFailed);
    EXPECT_TRUE(fs::exists(outside / "other.htm_backup"));
    EXPECT_NE(ReadBytes(outside / "other.htm"), Page("other"));
    EXPECT_EQ(ReadBytes(outside / "app.conf"), "secret = 1\n");
    EXPECT_FALSE(Contains(result.err, "away.htm")) << result.err;

    // restore keeps to the same rule, and puts back what compress followed.
    result = Vexel({"restore", site.string()});
    EXPECT_EQ(result.status, kExitFailed);
    EXPECT_TRUE(fs::exists(outside / "other.htm_backup"));
    EXPECT_TRUE(Contains(result.err, "away.htm") && Contains(result.err, "outside the folder")) << result.err;
    result = Vexel({"restore", "--follow-links-anywhere", "-r", site.string()});
    EXPECT_EQ(result.status, kExitOk) << result.err;
    EXPECT_EQ(ReadBytes(outside / "other.htm"), Page("other"));
    EXPECT_EQ(ReadBytes(site / "sub" / "deep.htm"), Page("deep"));
    EXPECT_EQ(ReadBytes(site / "page.htm"), Page("page"));
}

TEST(PageList, RestoreAndVerifyTakeTheLinkedPagesThatCompressTook) {
    ScratchDir dir;
    const fs::path site = dir.Path() / "site";
    WriteBytes(site / "store" / "a.htm", Page("a"));
    WriteBytes(site / "store" / "b.htm", Page("b"));
    fs::create_directories(site / "pages");
    fs::create_symlink("../store/a.htm", site / "pages" / "one.htm");
    fs::create_symlink("../store/b.htm", site / "pages" / "two.htm");

    // Only the links are in pages/; the files they lead to lie in the tree.
    auto result = Vexel({"compress", "-r", "-q", (site / "pages").string(), "--follow-links-anywhere"});
    ASSERT_EQ(result.status, kExitOk) << result.err;
    ASSERT_TRUE(fs::exists(site / "store" / "a.htm_backup"));

    result = Vexel({"verify", "-r", "--follow-links-anywhere", (site / "pages").string()});
    EXPECT_EQ(result.status, kExitOk) << result.err;
    EXPECT_TRUE(Contains(result.err, "Pages: 2 OK")) << result.err;

    result = Vexel({"restore", "-r", "--follow-links-anywhere", (site / "pages").string()});
    EXPECT_EQ(result.status, kExitOk) << result.err;
    EXPECT_TRUE(Contains(result.err, "Pages restored: 2")) << result.err;
    EXPECT_EQ(ReadBytes(site / "store" / "a.htm"), Page("a"));
    EXPECT_EQ(ReadBytes(site / "store" / "b.htm"), Page("b"));
    EXPECT_FALSE(fs::exists(site / "store" / "b.htm_backup"));
    EXPECT_TRUE(fs::is_symlink(site / "pages" / "one.htm"));
}
#endif

#ifndef _WIN32
// The same rule as on Windows: a page nobody may write is kept as it is,
// whoever runs the program (root too); a backup has the page's mode.
TEST(PosixPages, AReadOnlyPageIsKeptWholeAndABackupKeepsThePagesMode) {
    ScratchDir dir;
    const fs::path shared = dir.Path() / "shared.htm";
    const fs::path locked = dir.Path() / "locked.htm";
    WriteBytes(shared, Page("shared"));
    WriteBytes(locked, Page("locked"));
    fs::permissions(shared, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    fs::permissions(locked, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    const auto result = Vexel({"compress", "--jobs", "1", dir / ""});
    EXPECT_EQ(result.status, kExitFailed);
    EXPECT_TRUE(Contains(result.err, locked.string()) && Contains(result.err, "read-only")) << result.err;
    EXPECT_EQ(ReadBytes(locked), Page("locked"));
    EXPECT_FALSE(fs::exists(dir.Path() / "locked.htm_backup"));
    EXPECT_NE(ReadBytes(shared), Page("shared"));
    const fs::perms mode = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
    EXPECT_EQ(fs::status(shared).permissions(), mode);
    EXPECT_EQ(fs::status(dir.Path() / "shared.htm_backup").permissions(), mode);
}
#endif

#ifdef _WIN32
DWORD Attributes(const fs::path& path) {
    return GetFileAttributesW(path.wstring().c_str());
}

TEST(WindowsPages, AReplacedPageKeepsItsAttributesAndAReadOnlyPageIsKeptWhole) {
    ScratchDir dir;
    const fs::path hidden = dir.Path() / "hidden.htm";
    const fs::path locked = dir.Path() / "locked.htm";
    WriteBytes(hidden, Page("hidden"));
    WriteBytes(locked, Page("locked"));
    ASSERT_TRUE(SetFileAttributesW(hidden.wstring().c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
    ASSERT_TRUE(SetFileAttributesW(locked.wstring().c_str(), FILE_ATTRIBUTE_READONLY));

    auto result = Vexel({"compress", "--jobs", "1", dir / ""});
    // A read-only page is refused, named and kept as it was (also under
    // Wine, which would open it for writing).
    EXPECT_TRUE(Attributes(locked) & FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(ReadBytes(locked), Page("locked"));
    EXPECT_EQ(result.status, kExitFailed);
    EXPECT_TRUE(Contains(result.err, locked.string()) && Contains(result.err, "read-only")) << result.err;
    EXPECT_FALSE(fs::exists(dir.Path() / "locked.htm_backup"));

    // The page and its backup keep the page's attributes.
    EXPECT_NE(ReadBytes(hidden), Page("hidden"));
    EXPECT_EQ(ReadBytes(dir.Path() / "hidden.htm_backup"), Page("hidden"));
    EXPECT_EQ(Attributes(hidden) & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM),
              static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
    EXPECT_EQ(Attributes(dir.Path() / "hidden.htm_backup") & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM),
              static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));

    // Put back, it keeps them too.
    result = Vexel({"restore", hidden.string()});
    EXPECT_EQ(result.status, kExitOk) << result.err;
    EXPECT_EQ(ReadBytes(hidden), Page("hidden"));
    EXPECT_EQ(Attributes(hidden) & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM),
              static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
    SetFileAttributesW(locked.wstring().c_str(), FILE_ATTRIBUTE_NORMAL);
}

// Writes `text` as `name` in `folder`, where another name differing only in
// letter case exists. Wine looks every name up regardless of case, so there
// the file is renamed into place by a program of the host system; Windows
// takes FILE_FLAG_POSIX_SEMANTICS in a case-sensitive folder. False when
// neither can make it.
bool WriteCaseTwin(const fs::path& folder, const std::string& name, const std::string& text) {
    using UnixName = char*(CDECL*)(LPCWSTR);
    const auto unix_name = reinterpret_cast<UnixName>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    if (unix_name != nullptr) {
        WriteBytes(folder / "twin.tmp", text);
        char* host_folder = unix_name(folder.wstring().c_str());
        if (host_folder == nullptr)
            return false;
        const std::string from = std::string(host_folder) + "/twin.tmp";
        const std::string to = std::string(host_folder) + "/" + name;
        HeapFree(GetProcessHeap(), 0, host_folder);
        // (start passes quotation marks on: the scratch paths hold no blank.)
        return std::system(("start /wait /unix /bin/mv " + from + " " + to).c_str()) == 0 &&
               !fs::exists(folder / "twin.tmp");
    }
    const HANDLE file = CreateFileW((folder / name).wstring().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL | FILE_FLAG_POSIX_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
    return written == text.size();
}

// A folder that tells "A.htm" from "a.htm" (case-sensitive since Windows 10,
// or Wine over a Linux file system) while names are looked up regardless of
// case: their backups would be one file, so both pages are refused.
TEST(WindowsPages, PagesWhoseNamesDifferOnlyInCaseAreBothRefused) {
    ScratchDir dir;
    const fs::path upper = dir.Path() / "A.htm";
    const fs::path lower = dir.Path() / "a.htm";
    WriteBytes(upper, Page("upper"));
    if (!WriteCaseTwin(dir.Path(), "a.htm", Page("lower")))
        GTEST_SKIP() << "this folder takes a.htm for A.htm";
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir.Path()))
        names.insert(entry.path().filename().string());
    ASSERT_EQ(names, (std::set<std::string>{"A.htm", "a.htm"}));

    for (const char* jobs : {"1", "2"}) {
        const auto result = Vexel({"compress", "--jobs", jobs, dir / ""});
        EXPECT_EQ(result.status, kExitFailed) << result.err;
        EXPECT_TRUE(Contains(result.err, upper.string() + "\": its backup would be the same file as that of \"" +
                                             lower.string()))
            << result.err;
        EXPECT_TRUE(Contains(result.err, "differ only in letter case")) << result.err;
        std::set<std::string> after;
        for (const auto& entry : fs::directory_iterator(dir.Path()))
            after.insert(entry.path().filename().string());
        EXPECT_EQ(after, names) << jobs;
    }
    EXPECT_EQ(ReadBytes(upper), Page("upper"));
}

TEST(WindowsPages, APageWithSeveralNamesIsRefusedAndKeptWhole) {
    ScratchDir dir;
    const fs::path page = dir.Path() / "page.htm";
    WriteBytes(page, Page("page"));
    ASSERT_TRUE(CreateHardLinkW((dir.Path() / "other.htm").wstring().c_str(), page.wstring().c_str(), nullptr));
    const auto result = Vexel({"compress", page.string()});
    EXPECT_EQ(result.status, kExitFailed);
    EXPECT_TRUE(Contains(result.err, "2 names (hard links)")) << result.err;
    EXPECT_EQ(ReadBytes(page), Page("page"));
    EXPECT_EQ(ReadBytes(dir.Path() / "other.htm"), Page("page"));
    EXPECT_FALSE(fs::exists(dir.Path() / "page.htm_backup"));
}
#endif

}  // namespace
}  // namespace vexel::cli
