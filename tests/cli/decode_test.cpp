// `vexel decode` and `vexel expand`: the text a page or a raw data file
// expands to, and their errors.
#include <gtest/gtest.h>

#include "tests/cli/cli_test_support.h"
#include "engine/page_prepare.h"
#include "engine/page_reader.h"

namespace vexel::cli {
namespace {

using namespace support;

// What the job makes of a page's body with the default options, for pages
// without control bytes or pairs of high bytes: whitespace between tags
// collapsed, and the filler after a short body.
std::string ExpectedText(const std::string& page) {
    const std::string collapsed = CollapseBetweenTags(page);
    const std::size_t tag = FindBodyTag(collapsed);
    EXPECT_NE(tag, std::string::npos);
    std::string body = collapsed.substr(collapsed.find('>', tag) + 1);
    if (body.size() < 1024)
        body += "<script>" + std::string(1000, ' ') + "</script>";
    return body;
}

// Bytes that the data string must escape or double, around a body tag.
const std::string kTrickyBody =
    "<pre>x[k]=1;\n\tC:\\Program Files\\Plot Register\\register.ini\r\n"
    "say \"hello\"\\\\ twice \\\" and a lone \\</pre>\n"
    "<p>A line that repeats. A line that repeats. A line that repeats.</p>";

std::string TrickyPage() {
    std::string page = "<html><head><title>t</title></head><body bgcolor=\"white\">";
    for (int i = 0; i < 20; ++i)
        page += kTrickyBody + std::to_string(i);
    return page;
}

TEST(Decode, GivesBackTheBodyOfJavaScriptAndVbScriptPages) {
    ScratchDir dir;
    const std::string page = TrickyPage();
    const std::string body = page.substr(page.find("white\">") + 7);
    WriteBytes(dir.Path() / "js.htm", page);
    WriteBytes(dir.Path() / "vb.htm", page);
    ASSERT_EQ(Vexel({"compress", "--keep-whitespace", dir / "js.htm"}).status, kExitOk);
    ASSERT_EQ(Vexel({"compress", "--keep-whitespace", "--vbscript", dir / "vb.htm"}).status, kExitOk);
    // "[" is written one code higher, as a backslash: the JavaScript page
    // carries it doubled, the VBScript page once.
    EXPECT_TRUE(Contains(ReadBytes(dir / "js.htm"), "y\\\\l^"));
    EXPECT_TRUE(Contains(ReadBytes(dir / "vb.htm"), "y\\l^"));
    EXPECT_FALSE(Contains(ReadBytes(dir / "vb.htm"), "y\\\\l^"));

    for (const char* name : {"js.htm", "vb.htm"}) {
        const auto result = Vexel({"decode", dir / name});
        EXPECT_EQ(result.status, kExitOk) << result.err;
        EXPECT_EQ(result.out, body) << name;
        EXPECT_TRUE(result.err.empty());
    }
}

TEST(Decode, ExamplePagesComeBackAsTheirBodies) {
    ScratchDir dir;
    const fs::path site = dir.CopyExamples();
    ASSERT_EQ(Vexel({"compress", "-r", "-q", site.string()}).status, kExitOk);
    for (const char* name : {"index.html", "price-list.htm", "membership-form.html", "changelog.htm",
                             "typography.html", "manual/getting-started.HTML"}) {
        const auto result = Vexel({"decode", (site / name).string()});
        EXPECT_EQ(result.status, kExitOk) << result.err;
        EXPECT_EQ(result.out, ExpectedText(ReadBytes(ExamplesDir() / name))) << name;
    }
}

TEST(Decode, PasswordPromptComesFirstAndShortBodyGetsTheFiller) {
    ScratchDir dir;
    WriteBytes(dir.Path() / "p.htm", "<html><head></head><body><p>secret plans</p></body></html>");
    ASSERT_EQ(Vexel({"compress", "--password", "open sesame", dir / "p.htm"}).status, kExitOk);
    const auto result = Vexel({"decode", "-o", dir / "p.txt", dir / "p.htm"});
    EXPECT_EQ(result.status, kExitOk) << result.err;
    EXPECT_TRUE(result.out.empty());
    const std::string expected = std::string(kPasswordPrefixHead) + EscapePasswordForScript("open sesame") +
                                 kPasswordPrefixTail + "<p>secret plans</p></body></html><script>" +
                                 std::string(1000, ' ') + "</script>";
    EXPECT_EQ(ReadBytes(dir / "p.txt"), expected);
}

TEST(Decode, PageStillReadsAfterItsLineEndsWereChanged) {
    ScratchDir dir;
    WriteBytes(dir.Path() / "a.htm", TrickyPage());
    ASSERT_EQ(Vexel({"compress", dir / "a.htm"}).status, kExitOk);
    const std::string crlf = ReadBytes(dir / "a.htm");
    std::string lf;
    for (char c : crlf)
        if (c != '\r')
            lf += c;
    const auto original = FindPageData(crlf);
    const auto converted = FindPageData(lf);
    ASSERT_TRUE(original.has_value());
    ASSERT_TRUE(converted.has_value());
    EXPECT_EQ(converted->data, original->data);
    EXPECT_EQ(original->format, PageFormat::JavaScript);
}

TEST(Decode, ScriptsInTheHeadDoNotMisleadIt) {
    const std::string head =
        "<html><head><SCRIPT LANGUAGE=\"JavaScript\">\r\nd=\"fake\";\r\nl='x';</SCRIPT></head><body>";
    const std::string page = head + "\r\n<SCRIPT LANGUAGE=\"JavaScript\">\r\nd=\"ifmmp\\\\\";\r\nl='...';\r\n";
    const auto found = FindPageData(page);
    ASSERT_TRUE(found.has_value());
    EXPECT_EQ(found->data, "ifmmp\\");

    // A lone backslash, a line break in the data, or no decoder after it:
    // not a page the writers made.
    EXPECT_FALSE(FindPageData(head + "\r\n<SCRIPT LANGUAGE=\"JavaScript\">\r\nd=\"a\\b\";\r\nl='';").has_value());
    EXPECT_FALSE(FindPageData("<SCRIPT LANGUAGE=\"VBS\"><!--\r\nd=\"a\r\nb\"\r\ns=\"\"\r").has_value());
    EXPECT_FALSE(FindPageData("<SCRIPT LANGUAGE=\"VBS\"><!--\r\nd=\"ab\"\r\nx=1\r").has_value());
    EXPECT_FALSE(FindPageData("<html><body>d=\"abc\"</body></html>").has_value());
}

TEST(Decode, PageThatIsNotCompressedIsAnErrorNamingIt) {
    ScratchDir dir;
    const std::string page = (ExamplesDir() / "index.html").string();
    auto result = Vexel({"decode", page});
    EXPECT_EQ(result.status, kExitFailed);
    EXPECT_TRUE(result.out.empty());
    EXPECT_EQ(result.err.rfind("vexel: ", 0), 0u);
    EXPECT_TRUE(Contains(result.err, page)) << result.err;
    EXPECT_TRUE(Contains(result.err, "not a compressed page")) << result.err;

    const std::string missing = dir / "gone.htm";
    result = Vexel({"decode", missing});
    EXPECT_EQ(result.status, kExitFailed);
    EXPECT_TRUE(Contains(result.err, missing)) << result.err;
}

TEST(Expand, RawDataShowsLiteralsOneCodeHigherThanThePage) {
    ScratchDir dir;
    const fs::path site = dir.CopyExamples();
    const std::string page = (site / "price-list.htm").string();
    ASSERT_EQ(Vexel({"compress", "-q", page}).status, kExitOk);
    const auto data = FindPageData(ReadBytes(page));
    ASSERT_TRUE(data.has_value());
    WriteBytes(dir.Path() / "price.raw", data->data);

    const auto decoded = Vexel({"decode", page});
    const auto expanded = Vexel({"expand", dir / "price.raw"});
    ASSERT_EQ(expanded.status, kExitOk) << expanded.err;
    ASSERT_EQ(decoded.status, kExitOk) << decoded.err;
    std::string raised = decoded.out;
    for (char& c : raised)
        if (c >= 41 && c <= 126)
            ++c;
    EXPECT_EQ(expanded.out, raised);
    EXPECT_GT(expanded.out.size(), 30000u);

    ASSERT_EQ(Vexel({"expand", "-o", dir / "price.txt", dir / "price.raw"}).status, kExitOk);
    EXPECT_EQ(ReadBytes(dir / "price.txt"), raised);
}

TEST(Expand, EmptyFileGivesNothing) {
    ScratchDir dir;
    WriteBytes(dir.Path() / "empty.raw", "");
    const auto result = Vexel({"expand", dir / "empty.raw"});
    EXPECT_EQ(result.status, kExitOk) << result.err;
    EXPECT_TRUE(result.out.empty());
}

TEST(Expand, CorruptDataIsOneNamingTheFileAndKeepsWhatWasExpanded) {
    ScratchDir dir;
    // "abcd", a back-reference of 4 bytes at distance 4, then one cut off
    // after its first distance byte.
    WriteBytes(dir.Path() / "cut.raw", std::string("abcd\x0E\x27\x23\x1F\x27", 9));
    auto result = Vexel({"expand", dir / "cut.raw"});
    EXPECT_EQ(result.status, kExitFailed);
    EXPECT_EQ(result.out, "abcdabcd");
    EXPECT_EQ(result.err.rfind("vexel: ", 0), 0u);
    EXPECT_TRUE(Contains(result.err, dir / "cut.raw")) << result.err;

    const std::string missing = dir / "missing.raw";
    result = Vexel({"expand", missing});
    EXPECT_EQ(result.status, kExitFailed);
    EXPECT_TRUE(result.out.empty());
    EXPECT_TRUE(Contains(result.err, missing)) << result.err;
}

TEST(Expand, UnwritableOutputIsOneNamingIt) {
    ScratchDir dir;
    WriteBytes(dir.Path() / "a.raw", "bcd");
    const std::string out = dir / "no-such-folder/out.txt";
    const auto result = Vexel({"expand", "-o", out, dir / "a.raw"});
    EXPECT_EQ(result.status, kExitFailed);
    EXPECT_TRUE(Contains(result.err, out)) << result.err;
}

}  // namespace
}  // namespace vexel::cli
