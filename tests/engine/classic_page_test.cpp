// The two self-expanding page templates, byte for byte, the log lines of a
// written page and the page's replacement on the disk.
#include <gtest/gtest.h>

#include <filesystem>

#include "engine/classic_page.h"
#include "engine/data_format.h"
#include "engine/errors.h"
#include "engine/file_io.h"
#include "engine/page_compression.h"
#include "engine/page_reader.h"
#include "tests/engine/test_support.h"

namespace vexel {
namespace {

using testing::ReadBytes;
using testing::RecordingJobHost;
using testing::ScratchDir;
using testing::WriteBytes;

class WriterTest : public ::testing::Test {
protected:
    // Renders the page, logs it and writes it, as the batch does.
    RenderedPage Write(PageFormat script) {
        RenderedPage page = RenderClassicPage(script, head_, data_);
        LogWrittenPage(path_, 10240, page.ReportedBytes, page.Warning, host_);
        WriteFileReplacing(path_, page.Text);
        return page;
    }

    ScratchDir dir_;
    RecordingJobHost host_;
    const std::string head_ = "<html><body bgcolor=white>";
    std::string data_ = std::string("ab\\c\x04\x1F\x38#", 8);
    std::string path_ = dir_.Path("out.htm");
};

TEST_F(WriterTest, VbScriptPageIsByteExact) {
    const RenderedPage page = Write(PageFormat::VbScript);
    const std::string expected =
        "<html><body bgcolor=white>\r\n"
        "<SCRIPT LANGUAGE=\"VBS\"><!--\r\n"
        "d=\"ab\\c\x04\x1F\x38#\"\r\n"
        "s=\"\"\r"
        "For i=1 To Len(d)\r"
        "b=Mid(d,i,1)\r"
        "a=Asc(b)\r"
        "If a=1 Then a=9\r"
        "If a=2 Then a=10\r"
        "If a=3 Then a=13\r"
        "If a=4 Then a=34\r"
        "If a<=31 And a>=14 Then\r"
        "s=s+Mid(s,Len(s)-(Asc(Mid(d,i+1,1))-36+90*(Asc(Mid(d,i+2,1))-35)),a-14+4)\r"
        "i=i+2\r"
        "Else\r"
        "if a>=41 and a<=127 then a=a-1\r"
        "if a <127 then s=s+Chr(a) else s=s+b\r"
        "End If\r"
        "Next\r"
        "document.write s\r\n\r"
        "--></SCRIPT></body></html>\r\n";
    EXPECT_EQ(ReadBytes(path_), expected);
    EXPECT_EQ(page.Text, expected);
    EXPECT_EQ(page.ReportedBytes, 26 + 8);
    EXPECT_EQ(page.Warning, "");
}

std::string ExpectedCharacterTable() {
    std::string line = "l='\\0";
    for (int c = 1; c < 128; ++c) {
        if (c == 9) {
            line += "\\t";
        } else if (c == 10) {
            line += "\\n";
        } else if (c == 13) {
            line += "\\r";
        } else if (c == 39) {
            line += "\\'";
        } else if (c == 92) {
            line += "\\134";
        } else {
            line.push_back(static_cast<char>(c));
        }
    }
    return line + "';";
}

TEST_F(WriterTest, JavaScriptPageIsByteExact) {
    const RenderedPage page = Write(PageFormat::JavaScript);
    const std::string table = ExpectedCharacterTable();
    ASSERT_EQ(table.size(), 141u);
    const std::string expected =
        "<html><body bgcolor=white>\r\n"
        "<SCRIPT LANGUAGE=\"JavaScript\">\r\n"
        "d=\"ab\\\\c\x04\x1F\x38#\";\r\n" +
        table + "\r\n" +
        "s='';\r\n"
        "for (i=0;i<d.length;i++){b=d.charAt(i);a=l.indexOf(b);if (a==1) a=9;if (a==2) a=10;if (a==3) a=13;"
        "if (a==4) a=34;if (a<=31 & a>=14){off=s.length-(l.indexOf(d.charAt(++i))-36+90*(l.indexOf(d.charAt(++i))"
        "-35))-1;lp=off+a-14+4;s=s+s.substring(off,lp);}else if (a>0){ if (a>=41) a=a-1; s=s+l.charAt(a);} else "
        "s=s+b;}document.writeln(s);\r\n"
        "</SCRIPT></body></html>\r\n";
    EXPECT_EQ(ReadBytes(path_), expected);
    EXPECT_EQ(page.ReportedBytes, 26 + 9);  // the backslash counted twice, as the page holds it
}

TEST_F(WriterTest, LogLinesCountHeadAndDataString) {
    Write(PageFormat::JavaScript);
    EXPECT_EQ(host_.lines, (std::vector<std::string>{"Compresssed to:" + path_,
                                                     "  Rate=10240Byte /" + std::to_string(26 + 9) + "Byte"}));
    EXPECT_EQ(host_.indicator_shown, 0);
    host_.lines.clear();
    Write(PageFormat::VbScript);
    EXPECT_EQ(host_.lines.back(), "  Rate=10240Byte /34Byte");
}

TEST_F(WriterTest, FailedReplaceKeepsTheOldPageAndLeavesNoTemporaryFile) {
    // A folder in the destination's place cannot be replaced by a file.
    std::filesystem::create_directory(path_);
    WriteBytes(path_ + "/inside.txt", "keep");
    try {
        Write(PageFormat::JavaScript);
        FAIL() << "no error";
    } catch (const IoError& e) {
        EXPECT_NE(std::string(e.what()).find("out.htm"), std::string::npos) << e.what();
    }
    EXPECT_EQ(host_.lines.size(), 2u);  // logged before the file was touched
    EXPECT_EQ(ReadBytes(path_ + "/inside.txt"), "keep");
    int entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir_.Root())) {
        ++entries;
    }
    EXPECT_EQ(entries, 1);

    path_ = dir_.Path("no-such-folder/out.htm");
    EXPECT_THROW(Write(PageFormat::VbScript), IoError);
}

TEST_F(WriterTest, ReplacingAPageKeepsNoTemporaryFile) {
    WriteBytes(path_, std::string(50000, 'o'));
    const RenderedPage page = Write(PageFormat::VbScript);
    EXPECT_EQ(ReadBytes(path_), page.Text);
    int entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir_.Root())) {
        ++entries;
    }
    EXPECT_EQ(entries, 1);
}

TEST(ScriptBreaks, EverySequenceInAnyCaseAndNothingElse) {
    EXPECT_EQ(GuardScriptBreaks("a</script>b<SCRIPT c<!--d", "|"), "a<|/script>b<|SCRIPT c<|!--d");
    EXPECT_EQ(GuardScriptBreaks("</ScRiPt<sCrIpT", "|"), "<|/ScRiPt<|sCrIpT");
    // At the boundaries of the string: a sequence that starts it is guarded,
    // one cut off by its end cannot break anything.
    EXPECT_EQ(GuardScriptBreaks("<!--x", "|"), "<|!--x");
    EXPECT_EQ(GuardScriptBreaks("x</scrip", "|"), "x</scrip");
    EXPECT_EQ(GuardScriptBreaks("x<!-", "|"), "x<!-");
    EXPECT_EQ(GuardScriptBreaks("<", "|"), "<");
    EXPECT_EQ(GuardScriptBreaks("", "|"), "");
    // Near misses, and "<<" where only the second "<" starts a sequence.
    EXPECT_EQ(GuardScriptBreaks("< script <scrip <!- </ script <\\!-- <<!--", "|"),
              "< script <scrip <!- </ script <\\!-- <<|!--");
    EXPECT_EQ(GuardScriptBreaks("<script<script", "|"), "<|script<|script");
}

TEST_F(WriterTest, JavaScriptPageEscapesEveryScriptBreakAndKeepsTheStringsValue) {
    // A doubled backslash right before and after the sequences.
    data_ = "\\\\<!--x</SCRIPT>\\<script";
    Write(PageFormat::JavaScript);
    const std::string page = ReadBytes(path_);
    EXPECT_NE(page.find("d=\"\\\\\\\\<\\!--x<\\/SCRIPT>\\\\<\\script\";\r\n"), std::string::npos) << page;
    // The "Rate=" line knows nothing of the breaks.
    EXPECT_EQ(host_.lines.back(), "  Rate=10240Byte /" + std::to_string(26 + 27) + "Byte");
    const auto found = FindPageData(page);
    ASSERT_TRUE(found.has_value());
    EXPECT_EQ(found->data, "\\\\<!--x</SCRIPT>\\<script");
    EXPECT_FALSE(found->breaksInBrowser);
}

TEST_F(WriterTest, VbScriptPageClosesAndReopensTheStringAfterEveryScriptBreak) {
    data_ = "<!--a<sCript b</script>\\\\<";
    Write(PageFormat::VbScript);
    const std::string page = ReadBytes(path_);
    EXPECT_NE(page.find("\r\nd=\"<\" & \"!--a<\" & \"sCript b<\" & \"/script>\\\\<\"\r\n"), std::string::npos)
        << page;
    EXPECT_EQ(host_.lines.back(), "  Rate=10240Byte /" + std::to_string(26 + data_.size()) + "Byte");
    const auto found = FindPageData(page);
    ASSERT_TRUE(found.has_value());
    EXPECT_EQ(found->data, data_);
    EXPECT_FALSE(found->breaksInBrowser);
}

TEST(PageReader, APageWrittenBeforeTheBreaksIsReadAndKnownToBreak) {
    const std::string head = "<html><body>\r\n";
    const auto js = FindPageData(head + "<SCRIPT LANGUAGE=\"JavaScript\">\r\nd=\"a</script>b\";\r\nl='");
    ASSERT_TRUE(js.has_value());
    EXPECT_EQ(js->data, "a</script>b");
    EXPECT_TRUE(js->breaksInBrowser);
    const auto vb = FindPageData(head + "<SCRIPT LANGUAGE=\"VBS\"><!--\r\nd=\"<!--\"\r\ns=\"\"\r");
    ASSERT_TRUE(vb.has_value());
    EXPECT_TRUE(vb->breaksInBrowser);
    // A backslash or a joint where no sequence follows is not the writers'.
    EXPECT_FALSE(FindPageData(head + "<SCRIPT LANGUAGE=\"JavaScript\">\r\nd=\"<\\p\";\r\nl='").has_value());
    EXPECT_FALSE(
        FindPageData(head + "<SCRIPT LANGUAGE=\"VBS\"><!--\r\nd=\"a<\" & \"p\"\r\ns=\"\"\r").has_value());
}

TEST_F(WriterTest, LargeJavaScriptDataGetsAWarningAfterTheRateLine) {
    data_ = std::string(256 * 1024, 'x');
    EXPECT_EQ(Write(PageFormat::JavaScript).Warning, "");
    ASSERT_EQ(host_.lines.size(), 2u);  // exactly 256 KB is still quick enough

    host_.lines.clear();
    data_ = std::string(256 * 1024 - 1, 'x') + "\\";  // one byte more once doubled
    EXPECT_EQ(Write(PageFormat::VbScript).Warning, "");
    EXPECT_EQ(host_.lines.size(), 2u);  // VBScript pages are not the JavaScript decoder
    host_.lines.clear();
    EXPECT_EQ(Write(PageFormat::JavaScript).Warning, SlowPageWarning(256 * 1024 + 1));
    ASSERT_EQ(host_.lines.size(), 3u);
    EXPECT_EQ(host_.lines[2], SlowPageWarning(256 * 1024 + 1));
    EXPECT_NE(host_.lines[2].find("modern page format"), std::string::npos);
    EXPECT_GT(host_.indicator_shown, 0);
}

}  // namespace
}  // namespace vexel
