// vexel in scripts: page lists from `find -print0` (--files0-from) and the
// JSON lines of --json.
#include <gtest/gtest.h>

#include <regex>
#include <sstream>

#include "cli/json_report.h"
#include "engine/page_list.h"
#include "tests/cli/cli_test_support.h"

namespace vexel::cli {
namespace {

using namespace support;

std::string Page(const std::string& title) {
    std::string body;
    for (int i = 0; i < 20; ++i)
        body += "<p>Line " + std::to_string(i) + " of " + title + ", words that come back.</p>\r\n";
    return "<html><head><title>" + title + "</title></head><body>\r\n" + body + "</body></html>\r\n";
}

bool HasBackup(const std::string& page) {
    return fs::exists(page + "_backup");
}

TEST(NulSeparatedNames, SplitLikeFindPrintsThem) {
    NameList list = SplitNulSeparatedNames(std::string("a.htm\0dir/b c.html\0with\nnewline.htm\0", 35));
    EXPECT_EQ(list.names, (std::vector<std::string>{"a.htm", "dir/b c.html", "with\nnewline.htm"}));
    EXPECT_TRUE(list.emptyAt.empty());

    // The last name may end without its NUL; empty names are counted by place.
    list = SplitNulSeparatedNames(std::string("\0x.htm\0\0y.htm", 14));
    EXPECT_EQ(list.names, (std::vector<std::string>{"x.htm", "y.htm"}));
    EXPECT_EQ(list.emptyAt, (std::vector<std::size_t>{1, 3}));

    EXPECT_TRUE(SplitNulSeparatedNames("").names.empty());
    EXPECT_TRUE(SplitNulSeparatedNames("").emptyAt.empty());
}

TEST(FilesFrom, CompressesTheListedPagesOnlyFromAFileOrStandardInput) {
    ScratchDir dir;
    const std::string one = dir / "one.htm", two = dir / "two words.html", left = dir / "left.htm";
    const std::string odd = dir / "line\nbreak.htm";
    for (const std::string& page : {one, two, left})
        WriteBytes(page, Page(page));
#ifndef _WIN32
    WriteBytes(odd, Page("odd"));
#endif
    std::string list = one + '\0' + two + '\0';
#ifndef _WIN32
    list += odd + '\0';
#endif
    WriteBytes(dir / "list", list);

    RunResult result = Vexel({"compress", "--quiet", "--files0-from", dir / "list"});
    EXPECT_EQ(result.status, kExitOk) << result.err;
    EXPECT_TRUE(HasBackup(one));
    EXPECT_TRUE(HasBackup(two));
#ifndef _WIN32
    EXPECT_TRUE(HasBackup(odd));
#endif
    EXPECT_FALSE(HasBackup(left));
    EXPECT_EQ(ReadBytes(left), Page(left));

    // "-" reads standard input, here without a NUL after the last name.
    std::istringstream in(left);
    Console console;
    console.in = &in;
    result = Vexel({"compress", "--files0-from", "-"}, console);
    EXPECT_EQ(result.status, kExitOk) << result.err;
    EXPECT_EQ(OpenedFiles(result.out), (std::vector<std::string>{left}));
    EXPECT_TRUE(HasBackup(left));

    // The same list restores them.
    result = Vexel({"restore", "--files0-from", dir / "list"});
    EXPECT_EQ(result.status, kExitOk) << result.err;
    EXPECT_EQ(ReadBytes(one), Page(one));
    EXPECT_FALSE(HasBackup(two));
}

TEST(FilesFrom, FaultsAreNamedAndTheRestIsDone) {
    ScratchDir dir;
    const std::string page = dir / "page.htm";
    WriteBytes(page, Page("page"));

    // An empty name is an error of its own; the other names are still done.
    std::istringstream in(std::string("\0", 1) + page + std::string("\0\0", 2));
    Console console;
    console.in = &in;
    RunResult result = Vexel({"compress", "--files0-from", "-"}, console);
    EXPECT_EQ(result.status, kExitFailed);
    EXPECT_TRUE(Contains(result.err, "standard input: name 1 is empty")) << result.err;
    EXPECT_TRUE(Contains(result.err, "name 3 is empty")) << result.err;
    EXPECT_TRUE(HasBackup(page));
    EXPECT_TRUE(Contains(result.err, "Pages: 1 written, 0 skipped, 0 already compressed, 0 broken off, 2 failed"))
        << result.err;
    // --json: a failed page object for each empty name, counted in the summary.
    in.clear();
    in.seekg(0);
    result = Vexel({"compress", "--json", "--files0-from", "-"}, console);
    EXPECT_EQ(result.status, kExitFailed);
    const std::string emptyName =
        "{\"type\":\"page\",\"path\":\"\",\"result\":\"failed\",\"bytes_before\":null,\"bytes_after\":null,"
        "\"warnings\":[],\"error\":\"standard input: name ";
    EXPECT_TRUE(Contains(result.out, emptyName + "1 is empty (no file has an empty name)\"}\n")) << result.out;
    EXPECT_TRUE(Contains(result.out, emptyName + "3 is empty (no file has an empty name)\"}\n")) << result.out;
    EXPECT_TRUE(Contains(result.out, "\"already_compressed\":1,\"broken_off\":0,\"not_smaller\":0,\"failed\":2,"))
        << result.out;

    // A list that cannot be read names itself and touches nothing.
    result = Vexel({"compress", "--files0-from", dir / "no-such-list"});
    EXPECT_EQ(result.status, kExitFailed);
    EXPECT_TRUE(Contains(result.err, "no-such-list")) << result.err;

    // PATH arguments and a list do not go together; an empty list is no error.
    EXPECT_EQ(Vexel({"compress", "--files0-from", dir / "list", page}).status, kExitUsage);
    WriteBytes(dir / "empty", "");
    result = Vexel({"verify", "--files0-from", dir / "empty"});
    EXPECT_EQ(result.status, kExitOk) << result.err;
    EXPECT_EQ(Vexel({"decode", "--files0-from", dir / "empty"}).status, kExitUsage);
}

TEST(JsonString, EscapesWhatJsonMustAndKeepsUtf8) {
    EXPECT_EQ(JsonString("plain/path.htm"), "\"plain/path.htm\"");
    EXPECT_EQ(JsonString("a\"b\\c\nd\te\x01"), "\"a\\\"b\\\\c\\nd\\te\\u0001\"");
    EXPECT_EQ(JsonString("caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x98\x80"), "\"caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x98\x80\"");
    // Bytes that are not UTF-8: a Latin-1 name, a cut sequence, an overlong
    // slash, an encoded surrogate.
    EXPECT_EQ(JsonString("caf\xe9"), "\"caf\\udce9\"");
    EXPECT_EQ(JsonString("\xe2\x82"), "\"\\udce2\\udc82\"");
    EXPECT_EQ(JsonString("\xc0\xaf"), "\"\\udcc0\\udcaf\"");
    EXPECT_EQ(JsonString("\xed\xa0\x80"), "\"\\udced\\udca0\\udc80\"");
}

TEST(Json, OneObjectPerPageInListOrderAndASummary) {
    ScratchDir dir;
    const std::string plain = dir / "a.htm", accents = dir / "b.htm", done = dir / "c.htm";
    const std::string missing = dir / "d.htm", other = dir / "e.txt";
    const std::string plainPage = ReadBytes(ExamplesDir() / "index.html");
    const std::string accentsPage = ReadBytes(ExamplesDir() / "recettes.htm");
    WriteBytes(plain, plainPage);
    WriteBytes(accents, accentsPage);
    WriteBytes(done, Page("done"));
    WriteBytes(done + "_backup", "older");
    WriteBytes(other, "not a page");

    for (const char* jobs : {"1", "3"}) {
        SCOPED_TRACE(jobs);
        RunResult result = Vexel(
            {"compress", "--json", "--jobs", jobs, "--dry-run", "--log", dir / "run.log", plain, accents, done,
             missing, other});
        EXPECT_EQ(result.status, kExitFailed);
        const std::vector<std::string> lines = Lines(result.out);
        ASSERT_EQ(lines.size(), 6u) << result.out;
        const std::regex written(
            "\\{\"type\":\"page\",\"path\":\"(.*)\",\"result\":\"would_write\",\"bytes_before\":([0-9]+),"
            "\"bytes_after\":([0-9]+),\"warnings\":\\[(.*)\\]\\}");
        std::smatch match;
        ASSERT_TRUE(std::regex_match(lines[0], match, written)) << lines[0];
        EXPECT_EQ(match[1], JsonString(plain).substr(1, JsonString(plain).size() - 2));
        EXPECT_EQ(std::stoll(match[2]), static_cast<long long>(plainPage.size()));
        EXPECT_LT(std::stoll(match[3]), std::stoll(match[2]));
        EXPECT_EQ(match[4], "");
        // The high bytes the classic page cannot carry are its warnings.
        ASSERT_TRUE(std::regex_match(lines[1], match, written)) << lines[1];
        EXPECT_TRUE(Contains(match[4], "\"Warnning: No support char [0xE9]! \"")) << lines[1];
        EXPECT_TRUE(Contains(lines[2], "\"result\":\"already_compressed\",\"bytes_before\":null")) << lines[2];
        EXPECT_TRUE(Contains(lines[3], "\"result\":\"failed\"")) << lines[3];
        EXPECT_TRUE(Contains(lines[3], "\"warnings\":[],\"error\":\"")) << lines[3];
        EXPECT_TRUE(Contains(lines[3], "d.htm")) << lines[3];
        EXPECT_TRUE(Contains(lines[4], "\"result\":\"skipped\"")) << lines[4];
        EXPECT_EQ(lines[5],
                  "{\"type\":\"summary\",\"written\":2,\"skipped\":1,\"already_compressed\":1,\"broken_off\":0,\"not_smaller\":0,"
                  "\"failed\":1,\"bytes_before\":" +
                      std::to_string(plainPage.size() + accentsPage.size()) +
                      ",\"bytes_after\":" + std::regex_replace(result.err, std::regex("(?:.|\n)*Bytes: [0-9]+ before, ([0-9]+) after(?:.|\n)*"), "$1") +
                      ",\"format_warnings\":1,\"dry_run\":true,\"stopped\":false}");
        // The log lines still go to --log's file, and the text summary to
        // standard error.
        EXPECT_EQ(OpenedFiles(ReadText(dir / "run.log")), (std::vector<std::string>{plain, accents}));
        EXPECT_TRUE(Contains(result.err, "Pages: 2 would be written")) << result.err;
        EXPECT_FALSE(HasBackup(plain));
    }
}

}  // namespace
}  // namespace vexel::cli
