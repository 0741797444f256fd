// The written VBScript page, run by the system's VBScript engine (cscript,
// in the Windows build; Wine's own under Wine): the script as an HTML parser
// cuts it out of the page writes the encoder's input.
#include <gtest/gtest.h>

#include <cstdlib>

#include "engine/page_compression.h"
#include "platform/ascii.h"
#include "tests/engine/test_support.h"

namespace vexel {
namespace {

using testing::ReadBytes;
using testing::RecordingJobHost;
using testing::ScratchDir;
using testing::WriteBytes;

class VbScriptRoundTrip : public ::testing::Test {
protected:
    void SetUp() override {
#ifndef _WIN32
        GTEST_SKIP() << "the VBScript engine runs in the Windows build";
#endif
    }

    // Compresses a page with `body`, runs its script with a document whose
    // write saves the text to a file, and returns that text.
    std::string WrittenByPage(const std::string& body) {
        const std::string page = dir_.Path("page.htm");
        WriteBytes(page, std::string(testing::kSimpleHead) + body);
        RecordingJobHost host;
        JobOptions options;
        options.RemoveUnuseful = false;
        options.UChar = false;
        const CompressedPage compressed =
            CompressPage(ReadBytes(page), page, options, PageFormat::VbScript, host);
        EXPECT_TRUE(compressed.Prepared);
        const std::string written = compressed.Text;

        // A browser hands the script engine what stands between the opening
        // tag and the first "</script" in any case; the engine skips the
        // comment opener and closer around it.
        const std::string opener = "<SCRIPT LANGUAGE=\"VBS\"><!--";
        const std::size_t start = written.rfind(opener) + opener.size();
        const std::string lower = LowerAscii(written);
        const std::size_t end = lower.find("</script", start);
        std::string code = written.substr(start, end - start);
        const std::size_t closer = code.rfind("-->");
        if (closer != std::string::npos) {
            code.erase(closer);
        }
        const std::string out = dir_.Path("written.txt");
        const std::string harness =
            "Class Doc\r\n"
            "Public Sub write(s)\r\n"
            "Set f = CreateObject(\"Scripting.FileSystemObject\").CreateTextFile(\"" + out + "\", True)\r\n"
            "f.Write s\r\n"
            "f.Close\r\n"
            "End Sub\r\n"
            "End Class\r\n"
            "Set document = New Doc\r\n" + code;
        WriteBytes(dir_.Path("page.vbs"), harness);
        const std::string command = "cscript //nologo //B \"" + dir_.Path("page.vbs") + "\"";
        EXPECT_EQ(std::system(command.c_str()), 0) << command;
        return ReadBytes(out);
    }

    ScratchDir dir_;
};

TEST_F(VbScriptRoundTrip, HtmlBodyComesBackByteForByte) {
    std::string body;
    for (int i = 0; i < 300; ++i) {
        body += "<tr>\r\n\t<td class=\"c\">Row " + std::to_string(i) + " &amp; 'quotes' \\ back\\slash</td>\n";
    }
    EXPECT_EQ(WrittenByPage(body), body);
}

TEST_F(VbScriptRoundTrip, BodyWhoseDataSpellsScriptTagsAndCommentsComesBack) {
    // Literals are written one code higher: ";.rbqhos=" stands in the data
    // string as "</script>", ";RBQHOS" as "<SCRIPT", ";!,," as "<!--".
    std::string body = ";.rbqhos=;!,,;RBQHOS ;rBqHoS";
    for (int i = 0; i < 200; ++i) {
        body += "<p>" + std::to_string(i * 7919) + ";.rbqhos= ;!,, \\;RBQHOS\\ " + std::to_string(i) + "</p>\n";
    }
    EXPECT_EQ(WrittenByPage(body), body);
}

}  // namespace
}  // namespace vexel
