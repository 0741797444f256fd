// Preparing a page: filters, whitespace collapse, the body tag, filler, high
// bytes, the password prompt and the page's log lines.
#include <gtest/gtest.h>

#include "engine/classic_page.h"
#include "engine/data_format.h"
#include "engine/errors.h"
#include "engine/page_prepare.h"
#include "tests/engine/test_support.h"

namespace vexel {
namespace {

using testing::PageWithBody;
using testing::RecordingJobHost;

const std::string kDashes(110, '-');
const std::string kFiller = "<script>" + std::string(1000, ' ') + "</script>";
constexpr char kNoBody[] = "Error  <BODY> No found ! (Break)";

class PrepareTest : public ::testing::Test {
protected:
    // Prepares `page` and encodes it; a page that breaks off keeps the head
    // of the one before, as the desktop program's field does.
    bool Prepare(const std::string& page) {
        PreparedPage prepared = PrepareClassicPage(page, path_, options_, host_);
        charCount_ = prepared.CharCount;
        if (!prepared.Prepared) {
            EXPECT_TRUE(prepared.Head.empty());
            EXPECT_TRUE(prepared.Input.empty());
            return false;
        }
        head_ = prepared.Head;
        data_ = EncodeDataString(prepared.Input, options_.highspeed, host_);
        return true;
    }

    // The encoder's input, read back from the data string.
    std::string Expanded() const {
        std::string out;
        ExpandData(data_, Literals::Unshift, out);
        return out;
    }

    // The log lines after "Openfile:".
    std::vector<std::string> LinesAfterHeader() const {
        EXPECT_GE(host_.lines.size(), 3u);
        return {host_.lines.begin() + 3, host_.lines.end()};
    }

    const std::string path_ = "site/page.htm";
    JobOptions options_;
    RecordingJobHost host_;
    std::string head_;
    std::string data_;
    int32_t charCount_ = 0;
};

TEST_F(PrepareTest, BodyTagInAnyCaseSplitsHeadAndBody) {
    const std::string body = std::string(1100, 'x');
    ASSERT_TRUE(Prepare("<html><head></head><BoDy bgcolor=white>" + body));
    EXPECT_EQ(head_, "<html><head></head><BoDy bgcolor=white>");
    EXPECT_EQ(Expanded(), body);
    EXPECT_EQ(charCount_, static_cast<int32_t>(39 + body.size()));
    EXPECT_EQ(host_.lines, (std::vector<std::string>{"", kDashes, "Openfile:" + path_}));
    EXPECT_EQ(host_.indicator_shown, 0);
}

TEST_F(PrepareTest, MissingOrTooEarlyBodyTagBreaksOff) {
    head_ = "previous head";
    for (const std::string& page : {"<body>" + std::string(2000, 'a'), std::string("<bod"), std::string("12345"),
                                   std::string("<html>no tag here</html>")}) {
        host_.lines.clear();
        EXPECT_FALSE(Prepare(page)) << page.substr(0, 10);
        ASSERT_FALSE(host_.lines.empty());
        EXPECT_EQ(host_.lines.back(), kNoBody);
        EXPECT_EQ(head_, "previous head");
    }
    // The tag is seen from the fifth byte on, up to the last possible start.
    EXPECT_TRUE(Prepare("1234<body>"));
    EXPECT_EQ(head_, "1234<body>");
}

TEST_F(PrepareTest, BodyTagThatNeverClosesBreaksOff) {
    // Written as before, the decoder would stand inside the tag, where no
    // browser runs it.
    head_ = "previous head";
    for (const std::string& page :
         {std::string("abcde<BODY"), "<html><head></head><body bgcolor=\"white\" " + std::string(3000, 'x'),
          "<html><body" + std::string(20, '\n')}) {
        host_.lines.clear();
        EXPECT_FALSE(Prepare(page)) << page.substr(0, 20);
        EXPECT_EQ(host_.lines, (std::vector<std::string>{"", kDashes, "Openfile:" + path_, kNoBody}));
        EXPECT_EQ(head_, "previous head");
    }
    // A ">" anywhere after the tag closes it, as before.
    EXPECT_TRUE(Prepare("<html><body class=a\r\n id=b\r\n>text"));
    EXPECT_EQ(head_, "<html><body class=a\r\n id=b\r\n>");
}

TEST_F(PrepareTest, ShortBodiesGetTheFiller) {
    ASSERT_TRUE(Prepare(PageWithBody(std::string(1023, 'b'))));
    EXPECT_EQ(Expanded(), std::string(1023, 'b') + kFiller);
    ASSERT_TRUE(Prepare(PageWithBody(std::string(1024, 'b'))));
    EXPECT_EQ(Expanded(), std::string(1024, 'b'));
    ASSERT_TRUE(Prepare(PageWithBody("")));
    EXPECT_EQ(Expanded(), kFiller);
    EXPECT_EQ(data_.size(), 207u);
}

TEST_F(PrepareTest, ControlBytesAnd127BecomeSpacesWithAWarning) {
    options_.RemoveUnuseful = false;
    const std::string body = std::string("a\x0E" "b\x0B\x0C" "c", 6) + std::string(1, '\0') + "d\x7F" "e\t\r\n" +
                             std::string(1100, '.');
    ASSERT_TRUE(Prepare(PageWithBody(body)));
    EXPECT_EQ(LinesAfterHeader(), (std::vector<std::string>{"Warnning: No support char [0x0E]! ",
                                                            "Warnning: No support char [0x00]! ",
                                                            "Warnning: No support char [0x7F]! "}));
    EXPECT_EQ(host_.indicator_shown, 3);
    EXPECT_EQ(Expanded(), "a b\x0B\x0C" "c d e\t\r\n" + std::string(1100, '.'));
    EXPECT_EQ(charCount_, static_cast<int32_t>(PageWithBody(body).size()));
}

TEST_F(PrepareTest, HighBytePairsOfTheBodyAreBlanked) {
    const std::string tail(1100, 'z');
    ASSERT_TRUE(Prepare("<html><head>\xC4\xE3</head><body>\xC4\xE3|\x80\x80|\xE9\x41|\xC0\xC1\xC2\xC3|\xD0\xD1\xD2|\xFF" +
                        tail + "\xF0"));
    EXPECT_EQ(head_, "<html><head>\xC4\xE3</head><body>");  // the head keeps its high bytes
    EXPECT_EQ(Expanded(), "  |\x80\x80|\xE9\x41|    |  \xD2|\xFF" + tail + "\xF0");
    EXPECT_EQ(LinesAfterHeader(), (std::vector<std::string>{
                                      "Warnning: No support char [0xC4]! ", "Warnning: No support char [0xC0]! ",
                                      "Warnning: No support char [0xC2]! ", "Warnning: No support char [0xD0]! "}));

    options_.UChar = false;
    host_.lines.clear();
    ASSERT_TRUE(Prepare(PageWithBody("\xC4\xE3" + tail)));
    EXPECT_EQ(Expanded(), "\xC4\xE3" + tail);
    EXPECT_EQ(host_.lines.size(), 3u);
}

TEST_F(PrepareTest, WhitespaceBetweenTagsIsCollapsedEverywhere) {
    const std::string tail(1100, 'w');
    ASSERT_TRUE(Prepare("<html> \r\n <head></head>\r\n<body>\r\n<table><tr><td>1</td>\r\n\t<td>2</td></tr>\r\n"
                        "</table><b>bold</b> text " + tail + "<i>x</i>\r\n"));
    EXPECT_EQ(head_, "<html><head></head><body>");
    EXPECT_EQ(Expanded(), "<table><tr><td>1</td><td>2</td></tr></table><b>bold</b> text " + tail + "<i>x</i>\r\n");

    options_.RemoveUnuseful = false;
    ASSERT_TRUE(Prepare("<html> <head></head> <body> <p>" + tail));
    EXPECT_EQ(head_, "<html> <head></head> <body>");
    EXPECT_EQ(Expanded(), " <p>" + tail);
}

TEST_F(PrepareTest, ScriptInTheHeadGivesOneNotice) {
    const std::string notice = "Information:    Have some <SCRIPT> in <HEAD></HEAD>.";
    const std::string body(1100, 'q');
    ASSERT_TRUE(Prepare("<html><head><script>a()</script><Script>b()</script></head><body>" + body));
    EXPECT_EQ(LinesAfterHeader(), std::vector<std::string>{notice});
    host_.lines.clear();
    ASSERT_TRUE(Prepare("<html><head></head><body><script>c()</script>" + body));
    EXPECT_EQ(LinesAfterHeader(), std::vector<std::string>{});
}

TEST_F(PrepareTest, LogLinesComeInPreparationOrder) {
    options_.RemoveUnuseful = false;
    ASSERT_TRUE(Prepare("<html>\x01<head><SCRIPT></SCRIPT></head><body>\xC4\xE3\x02" + std::string(1100, 'k')));
    EXPECT_EQ(LinesAfterHeader(), (std::vector<std::string>{"Warnning: No support char [0x01]! ",
                                                            "Warnning: No support char [0x02]! ",
                                                            "Information:    Have some <SCRIPT> in <HEAD></HEAD>.",
                                                            "Warnning: No support char [0xC4]! "}));
}

TEST_F(PrepareTest, PasswordPromptPrefixesTheBody) {
    const std::string body(1100, 'p');
    options_.password = {true, "4826"};
    ASSERT_TRUE(Prepare(PageWithBody(body)));
    EXPECT_EQ(Expanded(),
              "<SCRIPT LANGUAGE=\"JavaScript\"> if (window.prompt(\"Please input page password:\",\"\")!=\"4826\") "
              "document.location.href=\"\";</SCRIPT>" + body);
    EXPECT_EQ(std::string(kPasswordPrefixHead).size(), 85u);
    EXPECT_EQ(std::string(kPasswordPrefixTail).size(), 38u);

    options_.password = {false, "4826"};
    ASSERT_TRUE(Prepare(PageWithBody(body)));
    EXPECT_EQ(Expanded(), body);
}

TEST_F(PrepareTest, ByteWarningsPastTheFirstThousandAreCountedByByte) {
    options_.RemoveUnuseful = false;
    // A page of binary noise would otherwise keep millions of lines in memory.
    const std::string body = std::string(1200, '\0') + "\x01\x01\x01" + std::string(1100, 'n') + "\xC4\xE3\xC4\xE3";
    ASSERT_TRUE(Prepare(PageWithBody(body)));
    std::vector<std::string> expected(kExactByteWarnings, "Warnning: No support char [0x00]! ");
    expected.push_back("Warnning: No support char [0x00]! (200 more of these)");
    expected.push_back("Warnning: No support char [0x01]! (3 more of these)");
    expected.push_back("Warnning: No support char [0xC4]! (2 more of these)");
    EXPECT_EQ(LinesAfterHeader(), expected);
    EXPECT_EQ(host_.indicator_shown, kExactByteWarnings + 3);  // the count lines are warnings too
    // The bytes themselves are all made spaces, counted or not.
    EXPECT_EQ(Expanded(), std::string(1203, ' ') + std::string(1100, 'n') + "    ");

    // Up to the limit every warning is a line of its own, as ever.
    host_.lines.clear();
    ASSERT_TRUE(Prepare(PageWithBody(std::string(kExactByteWarnings, '\x7F') + std::string(1100, 'n'))));
    EXPECT_EQ(LinesAfterHeader(),
              std::vector<std::string>(kExactByteWarnings, "Warnning: No support char [0x7F]! "));
}

TEST(PagePreparation, CharCountHoldsPagesBelow2GiBOnly) {
    EXPECT_EQ(CharCountOf(0, "a.htm"), 0);
    EXPECT_EQ(CharCountOf(2147483647u, "a.htm"), 2147483647);
    try {
        CharCountOf(std::size_t{2147483648u}, "big.htm");
        FAIL() << "a count of 2 GiB was taken";
    } catch (const IoError& e) {
        EXPECT_NE(std::string(e.what()).find("\"big.htm\""), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find("2147483648 bytes"), std::string::npos) << e.what();
    }
}

TEST(PasswordEscaping, ScriptBreakingCharactersAreEscapedAndNonAsciiStandsAsUtf16Escapes) {
    // What a prompt returns for the typed password, in a literal of ASCII.
    EXPECT_EQ(EscapePasswordForScript("plain 4826 \xC3\xA9t\xC3\xA9"), "plain 4826 \\u00E9t\\u00E9");
    EXPECT_EQ(EscapePasswordForScript("\xD0\xBA\xE6\x97\xA5\xF0\x9F\x98\x80"), "\\u043A\\u65E5\\uD83D\\uDE00");
    EXPECT_EQ(EscapePasswordForScript("not utf-8 \xE9t\xE9"), "not utf-8 \xE9t\xE9");
    EXPECT_EQ(EscapePasswordForScript("a\"b\\c\r\nd</script>"), "a\\\"b\\\\c\\r\\nd\\x3C/script>");
    EXPECT_EQ(EscapePasswordForScript(std::string("\x01\t\x1F\x7F", 4)), "\\x01\\x09\\x1F\\x7F");
}

TEST_F(PrepareTest, PagePercentageStartsAt0AndEndsAt100) {
    ASSERT_TRUE(Prepare(PageWithBody(std::string(5000, 'g'))));
    ASSERT_FALSE(host_.percentages.empty());
    EXPECT_EQ(host_.percentages.front(), 0);
    EXPECT_EQ(host_.percentages.back(), 100);
    for (const int p : host_.percentages) {
        EXPECT_LE(p, 100);
    }
    // A long password makes the input longer than the progress base: the
    // gauge stops at 100 instead of wrapping around.
    host_.percentages.clear();
    options_.password = {true, std::string(5000, 'x')};
    ASSERT_TRUE(Prepare(PageWithBody(std::string(1100, 'g'))));
    EXPECT_EQ(host_.percentages.back(), 100);
    EXPECT_GT(host_.message_runs, 50);
}

TEST(PagePreparation, CollapseRules) {
    EXPECT_EQ(CollapseBetweenTags("</td>\r\n\t<td>"), "</td><td>");
    EXPECT_EQ(CollapseBetweenTags("<b>bold</b> text"), "<b>bold</b> text");
    EXPECT_EQ(CollapseBetweenTags("<p>\r\n"), "<p>\r\n");
    EXPECT_EQ(CollapseBetweenTags("><"), "><");
    EXPECT_EQ(CollapseBetweenTags("> \x01\x1F <>  x<"), "><>  x<");
}

}  // namespace
}  // namespace vexel
