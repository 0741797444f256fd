// `vexel compress` end to end: which files a run takes, what it writes, its
// log and summary, and its exit status.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/cli/cli_test_support.h"
#include "engine/page_prepare.h"

namespace vexel::cli {
namespace {

using namespace support;

// A page with a body tag and enough text to be worth compressing.
std::string SamplePage(const std::string& title) {
    std::string body;
    for (int i = 0; i < 40; ++i)
        body += "<p>Paragraph " + std::to_string(i) + " of " + title + ", repeated to give the encoder work.</p>\r\n";
    return "<html><head><title>" + title + "</title></head>\r\n<body>\r\n" + body + "</body></html>\r\n";
}

TEST(CompressPaths, FolderTakesItsPagesSortedByNameAndRecursiveAddsSubFolders) {
    ScratchDir dir;
    for (const char* name : {"b.htm", "A.HTML", "c.Htm", "notes.txt", "page.shtml", "old.htm_backup2",
                             "sub/d.html"})
        WriteBytes(dir.Path() / name, SamplePage(name));
    const std::string site = dir / "";

    auto result = Vexel({"compress", "--quiet", "--log", dir / "flat.log", site});
    ASSERT_EQ(result.status, kExitOk) << result.err;
    const std::string flatLog = ReadText(dir / "flat.log");
    const std::vector<std::string> flat = {dir / "A.HTML", dir / "b.htm", dir / "c.Htm"};
    EXPECT_EQ(OpenedFiles(flatLog), flat);
    EXPECT_FALSE(fs::exists(dir / "sub/d.html_backup"));
    EXPECT_EQ(ReadBytes(dir / "notes.txt"), SamplePage("notes.txt"));
    EXPECT_EQ(ReadBytes(dir / "page.shtml"), SamplePage("page.shtml"));

    // The second run finds the first run's backups and adds the sub-folder.
    result = Vexel({"compress", "-r", site});
    ASSERT_EQ(result.status, kExitOk) << result.err;
    const std::vector<std::string> lines = Lines(result.out);
    const std::vector<std::string> expectedStart = {"File:" + flat[0] + " already compressed!",
                                                    "File:" + flat[1] + " already compressed!",
                                                    "File:" + flat[2] + " already compressed!"};
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 3), expectedStart);
    EXPECT_EQ(OpenedFiles(result.out), std::vector<std::string>{(dir.Path() / "sub" / "d.html").string()});
    EXPECT_TRUE(fs::exists(dir / "sub/d.html_backup"));
    EXPECT_TRUE(Contains(result.err, "1 written")) << result.err;
    EXPECT_TRUE(Contains(result.err, "3 already compressed")) << result.err;
}

TEST(CompressPaths, FilesAreTakenAsGivenOnceEach) {
    ScratchDir dir;
    WriteBytes(dir.Path() / "a.htm", SamplePage("a"));
    WriteBytes(dir.Path() / "readme.txt", "not a page");
    const std::string page = dir / "a.htm";
    const std::string samePage = (dir.Path() / "." / "a.htm").string();

    const auto result = Vexel({"compress", page, samePage, dir / "readme.txt", dir / ""});
    ASSERT_EQ(result.status, kExitOk) << result.err;
    // Named three ways, compressed once: no "already compressed" for itself.
    EXPECT_EQ(OpenedFiles(result.out), std::vector<std::string>{page});
    EXPECT_FALSE(Contains(result.out, "already compressed"));
    // A named file that is not a page is skipped without a word in the log.
    EXPECT_FALSE(Contains(result.out, "readme"));
    EXPECT_EQ(ReadBytes(dir / "readme.txt"), "not a page");
    EXPECT_TRUE(Contains(result.err, "1 written, 1 skipped")) << result.err;
}

TEST(Compress, WritesPagesWithBackupsAndTheJobsLogLines) {
    ScratchDir dir;
    const std::string original = SamplePage("x");
    WriteBytes(dir.Path() / "x.htm", original);
    const std::string page = dir / "x.htm";

    const auto result = Vexel({"compress", page});
    ASSERT_EQ(result.status, kExitOk) << result.err;
    EXPECT_EQ(ReadBytes(page + "_backup"), original);
    const std::string written = ReadBytes(page);
    EXPECT_TRUE(Contains(written, "<SCRIPT LANGUAGE=\"JavaScript\">\r\nd=\""));
    EXPECT_LT(written.size(), original.size());

    const std::vector<std::string> lines = Lines(result.out);
    ASSERT_EQ(lines.size(), 5u) << result.out;
    EXPECT_EQ(lines[0], "");
    EXPECT_EQ(lines[1], std::string(110, '-'));
    EXPECT_EQ(lines[2], "Openfile:" + page);
    EXPECT_EQ(lines[3], "Compresssed to:" + page);
    EXPECT_EQ(lines[4].rfind("  Rate=" + std::to_string(original.size()) + "Byte /", 0), 0u) << lines[4];

    // The summary counts the bytes of the page before and as written.
    EXPECT_TRUE(Contains(result.err, "Bytes: " + std::to_string(original.size()) + " before, " +
                                         std::to_string(written.size()) + " after"))
        << result.err;
}

TEST(Compress, OptionsReachThePages) {
    ScratchDir dir;
    WriteBytes(dir.Path() / "vb.htm", SamplePage("vb"));
    ASSERT_EQ(Vexel({"compress", "--vbscript", dir / "vb.htm"}).status, kExitOk);
    const std::string vb = ReadBytes(dir / "vb.htm");
    EXPECT_TRUE(Contains(vb, "<SCRIPT LANGUAGE=\"VBS\"><!--\r\nd=\""));
    EXPECT_FALSE(Contains(vb, "JavaScript"));

    // Latin-1 text with pairs of accented letters: blanked with a warning by
    // default, kept with --keep-high-bytes.
    const std::string body = "<p>Une recette cr\xE9\xE9" "e par la grand-m\xE8re.</p>";
    WriteBytes(dir.Path() / "fr1.htm", "<html><body>" + body + "</body></html>");
    WriteBytes(dir.Path() / "fr2.htm", "<html><body>" + body + "</body></html>");
    auto result = Vexel({"compress", dir / "fr1.htm"});
    EXPECT_TRUE(Contains(result.out, "Warnning: No support char [0xE9]! ")) << result.out;
    result = Vexel({"compress", "--keep-high-bytes", dir / "fr2.htm"});
    EXPECT_FALSE(Contains(result.out, "Warnning")) << result.out;
    EXPECT_TRUE(Contains(Vexel({"decode", dir / "fr2.htm"}).out, "cr\xE9\xE9"));

    // A block repeated 2000 bytes later: within reach of the normal search
    // window but not of the high-speed one.
    std::string block;
    uint32_t seed = 12345;
    for (int i = 0; i < 2000; ++i) {
        seed = seed * 1103515245u + 12345u;
        block += static_cast<char>('a' + (seed >> 16) % 26);
    }
    const std::string repeated = "<html><body><p>" + block + "</p><p>" + block + "</p></body></html>";
    WriteBytes(dir.Path() / "wide.htm", repeated);
    WriteBytes(dir.Path() / "fast.htm", repeated);
    ASSERT_EQ(Vexel({"compress", dir / "wide.htm"}).status, kExitOk);
    ASSERT_EQ(Vexel({"compress", "--high-speed", dir / "fast.htm"}).status, kExitOk);
    EXPECT_LT(ReadBytes(dir / "wide.htm").size() + 1500, ReadBytes(dir / "fast.htm").size());
}

TEST(Compress, DryRunReportsButWritesNothing) {
    ScratchDir dir;
    const fs::path site = dir.CopyExamples();
    const auto before = Snapshot(site);

    const auto dry = Vexel({"compress", "-r", "--dry-run", site.string()});
    EXPECT_EQ(dry.status, kExitOk) << dry.err;
    EXPECT_EQ(Snapshot(site), before);
    EXPECT_TRUE(Contains(dry.out, "Compresssed to:"));
    EXPECT_TRUE(Contains(dry.err, "would be written")) << dry.err;

    // It reports what a real run then does, line for line.
    const auto real = Vexel({"compress", "-r", site.string()});
    EXPECT_EQ(real.status, kExitOk) << real.err;
    EXPECT_EQ(real.out, dry.out);
    EXPECT_NE(Snapshot(site), before);
}

TEST(Compress, ParallelJobsGiveTheSameLogAndPagesAsOne) {
    ScratchDir dir;
    const fs::path one = dir.CopyExamples("one");
    const fs::path four = dir.CopyExamples("four");

    // The same relative paths, so that the logs can be compared byte for byte.
    const fs::path saved = fs::current_path();
    fs::current_path(dir.Path());
    const auto serial = Vexel({"compress", "-r", "--jobs", "1", "--log", "one.log", "one"});
    const auto parallel = Vexel({"compress", "-r", "--jobs", "4", "--log", "four.log", "four"});
    fs::current_path(saved);

    ASSERT_EQ(serial.status, kExitOk) << serial.err;
    ASSERT_EQ(parallel.status, kExitOk) << parallel.err;
    std::string expected = serial.out;
    // The folder name is the one difference.
    for (std::size_t at; (at = expected.find("one")) != std::string::npos;)
        expected.replace(at, 3, "four");
    EXPECT_EQ(parallel.out, expected);
    EXPECT_EQ(ReadText(dir.Path() / "four.log"), parallel.out);
    EXPECT_EQ(Snapshot(four), Snapshot(one));
    EXPECT_EQ(parallel.err, serial.err);
    EXPECT_GE(OpenedFiles(serial.out).size(), 6u);
}

TEST(Compress, QuietKeepsStandardOutputEmptyAndLogFileGetsTheLines) {
    ScratchDir dir;
    WriteBytes(dir.Path() / "q.htm", SamplePage("q"));
    const auto result = Vexel({"compress", "-q", "--log", dir / "run.log", dir / "q.htm"});
    EXPECT_EQ(result.status, kExitOk);
    EXPECT_TRUE(result.out.empty());
    EXPECT_EQ(OpenedFiles(ReadText(dir / "run.log")), std::vector<std::string>{dir / "q.htm"});
}

TEST(Compress, PageWithoutBodyIsLeftAloneAndIsNoFailure) {
    ScratchDir dir;
    const std::string fragment = "<table><tr><td>no body tag here</td></tr></table>\n";
    WriteBytes(dir.Path() / "frag.htm", fragment);
    const auto result = Vexel({"compress", dir / "frag.htm"});
    EXPECT_EQ(result.status, kExitOk);
    EXPECT_TRUE(Contains(result.out, "Error  <BODY> No found ! (Break)"));
    EXPECT_TRUE(Contains(result.err, "1 broken off")) << result.err;
    EXPECT_EQ(ReadBytes(dir / "frag.htm"), fragment);
}

TEST(ExitStatus, AFailedPageIsOneAndTheRunGoesOn) {
    ScratchDir dir;
    WriteBytes(dir.Path() / "good.htm", SamplePage("good"));
    const std::string missing = dir / "missing.htm";

    const auto result = Vexel({"compress", missing, dir / "good.htm"});
    EXPECT_EQ(result.status, kExitFailed);
    // The error names the file, on standard error, after the tool's name.
    bool named = false;
    for (const std::string& line : Lines(result.err))
        named = named || (line.rfind("vexel: ", 0) == 0 && Contains(line, missing));
    EXPECT_TRUE(named) << result.err;
    EXPECT_TRUE(Contains(result.err, "1 failed")) << result.err;
    EXPECT_TRUE(fs::exists(dir / "good.htm_backup"));
    EXPECT_FALSE(fs::exists(missing));
}

TEST(ExitStatus, UnwritableLogFileIsOneAndNothingIsCompressed) {
    ScratchDir dir;
    WriteBytes(dir.Path() / "p.htm", SamplePage("p"));
    const std::string log = dir / "no-such-folder/run.log";
    const auto result = Vexel({"compress", "--log", log, dir / "p.htm"});
    EXPECT_EQ(result.status, kExitFailed);
    EXPECT_TRUE(Contains(result.err, log)) << result.err;
    EXPECT_FALSE(fs::exists(dir / "p.htm_backup"));
}

TEST(Compress, InterruptStopsAfterThePageUnderWay) {
    ScratchDir dir;
    for (const char* name : {"1.htm", "2.htm", "3.htm"})
        WriteBytes(dir.Path() / name, SamplePage(name));
    Console console;
    console.stopSignal = [] { return 2; };  // SIGINT
    const auto result = Vexel({"compress", "--jobs", "1", dir / ""}, console);
    EXPECT_EQ(result.status, kExitInterrupted);
    EXPECT_TRUE(fs::exists(dir / "1.htm_backup"));
    EXPECT_FALSE(fs::exists(dir / "2.htm_backup"));
    EXPECT_EQ(ReadBytes(dir / "3.htm"), SamplePage("3.htm"));
    EXPECT_TRUE(Contains(result.err, "(stopped)")) << result.err;
}

TEST(Compress, ProgressBarStaysOnStandardErrorOfATerminal) {
    ScratchDir dir;
    const fs::path plain = dir.CopyExamples("plain");
    const fs::path tty = dir.CopyExamples("tty");
    const fs::path saved = fs::current_path();
    fs::current_path(dir.Path());
    const auto piped = Vexel({"compress", "plain"});
    Console terminal;
    terminal.errIsTerminal = true;
    const auto drawn = Vexel({"compress", "tty"}, terminal);
    fs::current_path(saved);

    std::string expected = piped.out;
    for (std::size_t at; (at = expected.find("plain")) != std::string::npos;)
        expected.replace(at, 5, "tty");
    EXPECT_EQ(drawn.out, expected);
    EXPECT_FALSE(Contains(piped.err, "\r"));
    EXPECT_TRUE(Contains(drawn.err, "\r[")) << drawn.err;
    EXPECT_TRUE(Contains(drawn.err, " pages "));
    // The bar is wiped before the summary, which then starts a clean line.
    const std::size_t summary = drawn.err.find("Pages: ");
    ASSERT_NE(summary, std::string::npos);
    EXPECT_EQ(drawn.err[summary - 1], '\r');
    EXPECT_EQ(drawn.err.substr(summary), piped.err.substr(piped.err.find("Pages: ")));
}

TEST(Compress, LogLinesOnATerminalSharedWithTheBarStartClean) {
    ScratchDir dir;
    const fs::path site = dir.CopyExamples();
    const auto piped = Vexel({"compress", "-r", "--dry-run", site.string()});

    // Both streams on one terminal, as in an interactive shell.
    std::ostringstream screen;
    Console terminal;
    terminal.errIsTerminal = true;
    ASSERT_EQ(RunVexel({"compress", "-r", "--dry-run", site.string()}, screen, screen, terminal), kExitOk);
    // What stays visible of each line is what follows its last carriage return.
    std::string visible;
    for (const std::string& line : Lines(screen.str()))
        visible += line.substr(line.rfind('\r') == std::string::npos ? 0 : line.rfind('\r') + 1) + "\n";
    EXPECT_EQ(visible, piped.out + piped.err);
}

}  // namespace
}  // namespace vexel::cli
