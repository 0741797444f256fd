// What vexel makes of the files it meets: names in any script or beginning
// with a blank, paths longer than 260 characters, links, devices and FIFOs,
// folders where a file is expected, and a log file that names a page.
#include <gtest/gtest.h>

#include <thread>

#include "tests/cli/cli_test_support.h"
#include "tests/cli/process_support.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace vexel::cli {
namespace {

using namespace support;

std::string Page(const std::string& title) {
    std::string body;
    for (int i = 0; i < 30; ++i)
        body += "<p>Line " + std::to_string(i) + " of " + title + ", with words that come back.</p>\r\n";
    return "<html><head><title>" + title + "</title></head><body>\r\n" + body + "</body></html>\r\n";
}

// A UTF-8 path as the file system takes it (wide on Windows).
fs::path U8(const std::string& path) {
    return fs::u8path(path);
}

bool IsCompressedBesideItsBackup(const fs::path& page, const std::string& original) {
    fs::path backup = page;
    backup += "_backup";
    return fs::exists(backup) && ReadBytes(backup) == original && ReadBytes(page) != original &&
           Contains(ReadBytes(page), "<SCRIPT LANGUAGE=\"JavaScript\">");
}

// --- names -------------------------------------------------------------------------

const char* const kScriptNames[] = {
    "Gr\xC3\xBC\xC3\x9F"
    "e.html",
    "\xE6\x97\xA5\xE6\x9C\xAC.htm", "\xD0\xBA\xD0\xB0\xD1\x80\xD1\x82\xD0\xB0.htm"};

TEST(Names, NamesInAnyScriptWorkListedFromAFolderAndGiven) {
    ScratchDir dir;
    const std::string listed = dir / "listed";
    const std::string given = dir / "given";
    for (const char* name : kScriptNames) {
        WriteBytes(U8(listed) / U8(name), Page(name));
        WriteBytes(U8(given) / U8(name), Page(name));
    }
    auto result = Vexel({"compress", listed});
    ASSERT_EQ(result.status, kExitOk) << result.err;
    std::vector<std::string> args = {"compress"};
    for (const char* name : kScriptNames)
        args.push_back((U8(given) / U8(name)).u8string());
    result = Vexel(args);
    ASSERT_EQ(result.status, kExitOk) << result.err;
    for (const char* name : kScriptNames) {
        EXPECT_TRUE(IsCompressedBesideItsBackup(U8(listed) / U8(name), Page(name))) << name;
        EXPECT_TRUE(IsCompressedBesideItsBackup(U8(given) / U8(name), Page(name))) << name;
        EXPECT_TRUE(Contains(result.out, "Openfile:" + (U8(given) / U8(name)).u8string())) << result.out;
    }
    // And back.
    result = Vexel({"restore", listed});
    ASSERT_EQ(result.status, kExitOk) << result.err;
    for (const char* name : kScriptNames)
        EXPECT_EQ(ReadBytes(U8(listed) / U8(name)), Page(name));
}

TEST(Names, TheProgramTakesItsArgumentsInAnyScript) {
#ifdef VEXEL_NO_CHILD_PROGRAMS
    GTEST_SKIP() << "the program cannot start as a process of its own in this build (run by an emulator)";
#endif
    // Through the system's own command line: on Windows the wide one.
    ScratchDir dir;
    std::vector<std::string> args = {"compress", "-q"};
    for (const char* name : kScriptNames) {
        WriteBytes(dir.Path() / U8(name), Page(name));
        args.push_back((dir.Path() / U8(name)).u8string());
    }
    ChildRun run(VexelProgram(), args, dir / "run");
    ASSERT_EQ(run.Wait(), kExitOk) << run.Err();
    for (const char* name : kScriptNames)
        EXPECT_TRUE(IsCompressedBesideItsBackup(dir.Path() / U8(name), Page(name))) << name;
}

TEST(Names, NameBeginningWithABlankOrAControlByteIsAPageLikeAnyOther) {
    ScratchDir dir;
    std::vector<std::string> names = {" lead.htm", "  two.htm"};
    // How the log shows each name: control characters escaped, so that a
    // name can neither clear the terminal nor forge a line.
    std::map<std::string, std::string> shown;
#ifndef _WIN32
    names.push_back("\x01start.htm");
    names.push_back("\ttab.htm");
    names.push_back("\x1b[2Jclear.htm");
    names.push_back("cr\rOpenfile:forged.htm");
    names.push_back("nl\nOpenfile:forged.htm");
    names.push_back("c1\xc2\x9b" "2J.htm");
    shown = {{"\x01start.htm", "\\x01start.htm"},
             {"\ttab.htm", "\\ttab.htm"},
             {"\x1b[2Jclear.htm", "\\x1b[2Jclear.htm"},
             {"cr\rOpenfile:forged.htm", "cr\\rOpenfile:forged.htm"},
             {"nl\nOpenfile:forged.htm", "nl\\nOpenfile:forged.htm"},
             {"c1\xc2\x9b" "2J.htm", "c1\\u009b2J.htm"}};
#endif
    for (const std::string& name : names)
        WriteBytes(dir.Path() / name, Page(name));
    // Given as they are, relative to the current folder.
    const fs::path saved = fs::current_path();
    fs::current_path(dir.Path());
    std::vector<std::string> args = {"compress"};
    args.insert(args.end(), names.begin(), names.end());
    const auto result = Vexel(args);
    fs::current_path(saved);
    ASSERT_EQ(result.status, kExitOk) << result.err;
    for (const std::string& name : names) {
        EXPECT_TRUE(IsCompressedBesideItsBackup(dir.Path() / name, Page(name))) << name;
        const std::string logged = shown.count(name) != 0 ? shown[name] : name;
        EXPECT_TRUE(Contains(result.out, "Openfile:" + logged + "\n")) << logged;
    }
    EXPECT_FALSE(Contains(result.out, "No found")) << result.out;
    EXPECT_EQ(OpenedFiles(result.out).size(), names.size()) << result.out;
    for (const char control : {'\x01', '\t', '\x1b', '\r'})
        EXPECT_FALSE(Contains(result.out, std::string(1, control))) << int(control);
#ifndef _WIN32
    // Error messages too.
    const auto missing = Vexel({"decode", dir / "gone\nvexel: forged\x1b[2J.htm"});
    EXPECT_EQ(missing.status, kExitFailed);
    EXPECT_TRUE(Contains(missing.err, "gone\\nvexel: forged\\x1b[2J.htm")) << missing.err;
    EXPECT_EQ(Lines(missing.err).size(), 1u) << missing.err;
#endif
}

// --- long paths -----------------------------------------------------------------------

// A folder path of more than `length` characters below `root`.
fs::path DeepFolder(const fs::path& root, std::size_t length) {
    fs::path folder = root;
    for (int level = 0; folder.u8string().size() < length; ++level)
        folder /= "level-" + std::to_string(level) + "-of-a-deep-tree";
    return folder;
}

// The test's own access to files at long paths: on Windows through the wide
// functions and the \\?\ form, which the C++ library does not use.
#ifdef _WIN32
std::wstring Long(const fs::path& path) {
    return L"\\\\?\\" + fs::absolute(path).wstring();
}

void MakeFolders(const fs::path& folder) {
    fs::path made;
    for (const fs::path& part : fs::absolute(folder)) {
        made /= part;
        if (made.has_relative_path())
            CreateDirectoryW(Long(made).c_str(), nullptr);
    }
}

void PutBytes(const fs::path& path, const std::string& bytes) {
    const HANDLE file = CreateFileW(Long(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << path.string();
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

std::string GetBytes(const fs::path& path) {
    const HANDLE file = CreateFileW(Long(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return "<missing>";
    std::string bytes(1 << 20, '\0');
    DWORD got = 0;
    ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr);
    CloseHandle(file);
    bytes.resize(got);
    return bytes;
}
#else
void MakeFolders(const fs::path& folder) {
    fs::create_directories(folder);
}

void PutBytes(const fs::path& path, const std::string& bytes) {
    WriteBytes(path, bytes);
}

std::string GetBytes(const fs::path& path) {
    return fs::exists(path) ? ReadBytes(path) : "<missing>";
}
#endif

TEST(LongPaths, RecursiveRunOverATreeDeeperThan260Characters) {
    ScratchDir dir;
    const fs::path deep = DeepFolder(dir.Path() / "site", 300);
    const fs::path page = deep / "deep.htm";
    MakeFolders(deep);
    PutBytes(page, Page("deep"));
    PutBytes(dir.Path() / "site" / "top.htm", Page("top"));

    auto result = Vexel({"compress", "-r", (dir.Path() / "site").string()});
    ASSERT_EQ(result.status, kExitOk) << result.err;
    EXPECT_TRUE(Contains(result.out, "Openfile:" + page.string())) << result.out;
    EXPECT_TRUE(Contains(result.err, "2 written")) << result.err;
    EXPECT_EQ(GetBytes(page.string() + "_backup"), Page("deep"));
    EXPECT_TRUE(Contains(GetBytes(page), "<SCRIPT LANGUAGE=\"JavaScript\">"));

    // Named directly, decoded and restored at that depth too.
    result = Vexel({"decode", page.string()});
    EXPECT_EQ(result.status, kExitOk) << result.err;
    EXPECT_TRUE(Contains(result.out, "<p>Line 29 of deep")) << result.out.substr(0, 200);
    result = Vexel({"restore", page.string()});
    EXPECT_EQ(result.status, kExitOk) << result.err;
    EXPECT_EQ(GetBytes(page), Page("deep"));
    EXPECT_EQ(GetBytes(page.string() + "_backup"), "<missing>");
}

#ifndef _WIN32
TEST(LongPaths, FolderThatCannotBeListedIsNamedAndTheOthersAreDone) {
    // Deeper than the system takes in one path: made a step at a time.
    ScratchDir dir;
    const fs::path top = dir.Path() / "site";
    fs::create_directories(top);
    WriteBytes(top / "top.htm", Page("top"));
    int fd = ::open(top.c_str(), O_RDONLY | O_DIRECTORY);
    std::string path = top.string();
    const std::string part(200, 'd');
    while (path.size() < 4200) {
        ASSERT_EQ(::mkdirat(fd, part.c_str(), 0755), 0);
        const int next = ::openat(fd, part.c_str(), O_RDONLY | O_DIRECTORY);
        ::close(fd);
        fd = next;
        path += "/" + part;
    }
    ::close(fd);

    const auto result = Vexel({"compress", "-r", top.string()});
    EXPECT_EQ(result.status, kExitFailed);
    EXPECT_TRUE(IsCompressedBesideItsBackup(top / "top.htm", Page("top")));
    // The error names the folder that failed, not the one given.
    const std::vector<std::string> lines = Lines(result.err);
    const auto error = std::find_if(lines.begin(), lines.end(), [](const std::string& line) {
        return line.find("cannot list the folder") != std::string::npos;
    });
    ASSERT_NE(error, lines.end()) << result.err;
    EXPECT_TRUE(Contains(*error, "vexel: " + top.string() + "/" + part + "/")) << *error;
    EXPECT_GT(error->size(), 4000u);

    // The tree goes with the scratch folder only if it is taken apart the same way.
    std::string remove = "rm -rf '" + top.string() + "'";
    EXPECT_EQ(std::system(remove.c_str()), 0) << "could not remove " << top;
}
#endif

// --- folders, links, devices, FIFOs ------------------------------------------------------

TEST(SpecialFiles, ExpandAndDecodeOfAFolderFail) {
    ScratchDir dir;
    for (const char* command : {"expand", "decode"}) {
        const auto result = Vexel({command, dir / ""});
        EXPECT_EQ(result.status, kExitFailed) << command;
        EXPECT_TRUE(Contains(result.err, dir / "")) << result.err;
        EXPECT_TRUE(Contains(result.err, "it is a folder")) << result.err;
    }
}

#ifndef _WIN32
TEST(SpecialFiles, LinkToAPageCompressesThePageAndStaysALink) {
    ScratchDir dir;
    const fs::path site = dir.Path() / "site";
    WriteBytes(site / "page.htm", Page("page"));
    fs::create_directories(dir.Path() / "elsewhere");
    fs::create_symlink("../site/page.htm", dir.Path() / "elsewhere" / "link.htm");
    fs::create_symlink("page.htm", site / "alias.htm");

    // Reached three ways (two links and directly): done once, beside the page.
    const auto result = Vexel({"compress", (dir.Path() / "elsewhere" / "link.htm").string(), site.string()});
    ASSERT_EQ(result.status, kExitOk) << result.err;
    EXPECT_EQ(OpenedFiles(result.out).size(), 1u) << result.out;
    EXPECT_FALSE(Contains(result.out, "already compressed")) << result.out;
    EXPECT_TRUE(IsCompressedBesideItsBackup(site / "page.htm", Page("page")));
    EXPECT_TRUE(fs::is_symlink(dir.Path() / "elsewhere" / "link.htm"));
    EXPECT_TRUE(fs::is_symlink(site / "alias.htm"));
    EXPECT_FALSE(fs::exists(dir.Path() / "elsewhere" / "link.htm_backup"));
    EXPECT_FALSE(fs::exists(site / "alias.htm_backup"));

    // Restored through the link: the page comes back, the link stays one.
    const auto restored = Vexel({"restore", (dir.Path() / "elsewhere" / "link.htm").string()});
    ASSERT_EQ(restored.status, kExitOk) << restored.err;
    EXPECT_EQ(ReadBytes(site / "page.htm"), Page("page"));
    EXPECT_FALSE(fs::exists(site / "page.htm_backup"));
    EXPECT_TRUE(fs::is_symlink(dir.Path() / "elsewhere" / "link.htm"));
}

TEST(SpecialFiles, OutputOntoADeviceIsRefusedALinkIsWrittenThrough) {
    ScratchDir dir;
    WriteBytes(dir.Path() / "page.htm", Page("page"));
    ASSERT_EQ(Vexel({"compress", "-q", dir / "page.htm"}).status, kExitOk);

    // (A FIFO nobody reads, which would hold the program, is the process
    // tests' part.)
    for (const std::string device : {"/dev/null", "/dev/full"}) {
        auto result = Vexel({"decode", "-o", device, dir / "page.htm"});
        EXPECT_EQ(result.status, kExitFailed) << result.err;
        EXPECT_TRUE(Contains(result.err, "\"" + device + "\": not a regular file")) << result.err;
        result = Vexel({"compress", "--log", device, dir / "other.htm"});
        EXPECT_EQ(result.status, kExitFailed) << result.err;
        EXPECT_TRUE(Contains(result.err, "\"" + device + "\": not a regular file")) << result.err;
    }
    EXPECT_TRUE(fs::is_character_file("/dev/null"));

    WriteBytes(dir.Path() / "target.txt", "old");
    fs::create_symlink("target.txt", dir.Path() / "out.txt");
    const auto result = Vexel({"decode", "-o", dir / "out.txt", dir / "page.htm"});
    EXPECT_EQ(result.status, kExitOk) << result.err;
    EXPECT_TRUE(fs::is_symlink(dir.Path() / "out.txt"));
    EXPECT_TRUE(Contains(ReadBytes(dir.Path() / "target.txt"), "<p>Line 29 of page"));
}

TEST(SpecialFiles, FifoNamedLikeAPageIsAnErrorNotAWait) {
    ScratchDir dir;
    const std::string fifo = dir / "pipe.htm";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const auto result = Vexel({"compress", fifo});
    EXPECT_EQ(result.status, kExitFailed);
    EXPECT_TRUE(Contains(result.err, fifo + "\": not a regular file")) << result.err;
    EXPECT_TRUE(fs::is_fifo(fifo));
    EXPECT_FALSE(fs::exists(fifo + "_backup"));
}
#endif

#ifdef _WIN32
TEST(SpecialFiles, OutputOntoTheNulDeviceIsRefused) {
    ScratchDir dir;
    WriteBytes(dir.Path() / "page.htm", Page("page"));
    ASSERT_EQ(Vexel({"compress", "-q", dir / "page.htm"}).status, kExitOk);
    const fs::path saved = fs::current_path();
    fs::current_path(dir.Path());
    const auto result = Vexel({"decode", "-o", "NUL", "page.htm"});
    fs::current_path(saved);
    EXPECT_EQ(result.status, kExitFailed) << result.err;
    EXPECT_TRUE(Contains(result.err, "\"NUL\": not a regular file")) << result.err;
    EXPECT_EQ(Snapshot(dir.Path()).size(), 2u);  // the page and its backup, no file named NUL
}
#endif

TEST(SpecialFiles, LogFileNamingAPageOrItsBackupIsRefusedBeforeAnythingIsTouched) {
    ScratchDir dir;
    WriteBytes(dir.Path() / "a.htm", Page("a"));
    WriteBytes(dir.Path() / "b.htm", Page("b"));
    WriteBytes(dir.Path() / "b.htm_backup", "an older original");
    const auto before = Snapshot(dir.Path());
    for (const std::string& log :
         {dir / "a.htm", dir / "b.htm_backup", dir / "a.htm_backup", (dir.Path() / "." / "b.htm").string()}) {
        const auto result = Vexel({"compress", "--log", log, dir / ""});
        EXPECT_EQ(result.status, kExitUsage) << log;
        EXPECT_TRUE(Contains(result.err, "--log \"" + log + "\" names a page of this run or its backup"))
            << result.err;
        EXPECT_EQ(Snapshot(dir.Path()), before) << log;
    }
    // A log beside the pages is fine.
    EXPECT_EQ(Vexel({"compress", "--log", dir / "run.log", dir / ""}).status, kExitOk);
}

TEST(SpecialFiles, OutputNamingTheInputOrABackupIsRefusedBeforeAnythingIsTouched) {
    ScratchDir dir;
    WriteBytes(dir.Path() / "classic.htm", Page("classic"));
    WriteBytes(dir.Path() / "modern.htm", Page("modern"));
    ASSERT_EQ(Vexel({"compress", "-q", dir / "classic.htm"}).status, kExitOk);
    ASSERT_EQ(Vexel({"compress", "-q", "--modern", dir / "modern.htm"}).status, kExitOk);
    std::vector<std::pair<std::string, std::string>> runs = {
        {"decode", "classic.htm_backup"}, {"decode", "classic.htm"},     {"decode", "modern.htm_backup"},
        {"decode", "other.htm_backup"},   {"expand", "modern.htm_backup"}, {"expand", "modern.htm"},
    };
#ifndef _WIN32
    fs::create_symlink("classic.htm_backup", dir.Path() / "alias.txt");
    runs.push_back({"decode", "alias.txt"});
#endif
    const auto before = Snapshot(dir.Path());
    for (const auto& [command, output] : runs) {
        const std::string page = command == "expand" || Contains(output, "modern") ? "modern.htm" : "classic.htm";
        const auto result = Vexel({command, "-o", dir / output, dir / page});
        EXPECT_EQ(result.status, kExitUsage) << command << " -o " << output;
        EXPECT_TRUE(Contains(result.err, "-o \"" + dir / output + "\" names the file this command reads or a "
                                         "page's backup"))
            << result.err;
        EXPECT_EQ(Snapshot(dir.Path()), before) << command << " -o " << output;
    }
    // Any other name takes the whole result through a temporary file.
    const auto result = Vexel({"decode", "-o", dir / "body.txt", dir / "classic.htm"});
    EXPECT_EQ(result.status, kExitOk) << result.err;
    EXPECT_TRUE(Contains(ReadBytes(dir.Path() / "body.txt"), "<p>Line 29 of classic"));
    EXPECT_EQ(Snapshot(dir.Path()).size(), before.size() + 1);
}

}  // namespace
}  // namespace vexel::cli
