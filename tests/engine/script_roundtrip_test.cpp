// The written JavaScript page, run by a real JavaScript engine: what its
// decoder writes into the document must be the encoder's input, byte for byte.
#include <gtest/gtest.h>

#include <cstdlib>
#ifndef _WIN32
#include <sys/wait.h>
#endif
#include <random>

#include "engine/page_compression.h"
#include "engine/data_format.h"
#include "engine/page_reader.h"
#include "tests/engine/test_support.h"

namespace vexel {
namespace {

using testing::ReadBytes;
using testing::RecordingJobHost;
using testing::ScratchDir;
using testing::WriteBytes;

// The exit code of a program run through std::system.
int ExitCode(int status) {
#ifdef _WIN32
    return status;
#else
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
}

// Runs the page's last script with a document whose writeln collects the
// text, the page and the result read and written as latin1. The script ends
// where a browser's HTML parser ends it: at the first "</script" in any case.
constexpr char kScriptHarness[] = R"JS(
const fs = require('fs');
const page = fs.readFileSync(process.argv[2], 'latin1');
const tag = '<SCRIPT LANGUAGE="JavaScript">\r\nd="';
const start = page.lastIndexOf(tag);
const end = page.toLowerCase().indexOf('</script', start);
if (start < 0 || end < start) { console.error('no decoder script'); process.exit(3); }
const code = page.slice(start + tag.length - 3, end);
let written = '';
const document = { writeln: (s) => { written += s + '\n'; }, write: (s) => { written += s; } };
new Function('document', code)(document);
fs.writeFileSync(process.argv[3], written, 'latin1');
)JS";

class ScriptRoundTrip : public ::testing::Test {
protected:
    void SetUp() override {
#ifdef _WIN32
        GTEST_SKIP() << "Node.js runs in the native build";
#else
        ASSERT_EQ(std::system("node --version > /dev/null 2>&1"), 0) << "Node.js is needed for this test";
        WriteBytes(dir_.Path("harness.js"), kScriptHarness);
#endif
    }

    // Compresses a page with `body`, runs its script, returns what it wrote.
    std::string WrittenByPage(const std::string& body, const JobOptions& options) {
        const std::string page = dir_.Path("page.htm");
        WriteBytes(page, std::string(testing::kSimpleHead) + body);
        RecordingJobHost host;
        const CompressedPage compressed =
            CompressPage(ReadBytes(page), page, options, PageFormat::JavaScript, host);
        EXPECT_TRUE(compressed.Prepared);
        WriteBytes(page, compressed.Text);
        const std::string command =
            "node \"" + dir_.Path("harness.js") + "\" \"" + page + "\" \"" + dir_.Path("written.txt") + "\"";
        EXPECT_EQ(std::system(command.c_str()), 0) << command;
        return ReadBytes(dir_.Path("written.txt"));
    }

    static JobOptions Verbatim() {
        JobOptions options;
        options.RemoveUnuseful = false;
        options.UChar = false;
        return options;
    }

    ScratchDir dir_;
};

TEST_F(ScriptRoundTrip, HtmlBodyComesBackByteForByte) {
    std::string body;
    for (int i = 0; i < 400; ++i) {
        body += "<tr>\r\n\t<td class=\"c\">Row " + std::to_string(i) + " &amp; 'quotes' \\ back\\slash</td>\n";
    }
    EXPECT_EQ(WrittenByPage(body, Verbatim()), body + "\n");
}

TEST_F(ScriptRoundTrip, EveryCarriedByteValueComesBack) {
    std::mt19937 random(42);
    std::string alphabet = "\t\n\x0B\x0C\r";
    for (int c = 32; c < 256; ++c) {
        if (c != 127) {
            alphabet.push_back(static_cast<char>(c));
        }
    }
    std::string body;
    while (body.size() < 30000) {
        if (random() % 3 == 0 && body.size() > 6000) {
            // Repeats at distances whose digits are 92, the backslash.
            const std::size_t distance = (random() % 2) ? 57 + 90 * (random() % 30) : 57 * 90 + random() % 90;
            for (int k = 0; k < 12; ++k) {
                body.push_back(body[body.size() - distance]);
            }
        } else {
            body.push_back(alphabet[random() % alphabet.size()]);
        }
    }
    EXPECT_EQ(WrittenByPage(body, Verbatim()), body + "\n");
}

TEST_F(ScriptRoundTrip, BodyWhoseDataSpellsScriptTagsAndCommentsComesBack) {
    // Literals are written one code higher: ";.rbqhos=" stands in the data
    // string as "</script>", ";RBQHOS" as "<SCRIPT", ";!,," as "<!--".
    std::string body = ";.rbqhos=;!,,;RBQHOS ;rBqHoS";
    for (int i = 0; i < 300; ++i) {
        body += "<p>" + std::to_string(i * 7919) + ";.rbqhos= ;!,, \\;RBQHOS\\ " + std::to_string(i) + "</p>\n";
    }
    const std::string written = WrittenByPage(body, Verbatim());
    EXPECT_EQ(written, body + "\n");
    std::string data;
    ExpandData(FindPageData(ReadBytes(dir_.Path("page.htm")))->data, Literals::Shifted, data);
    EXPECT_NE(data.find("</script>"), std::string::npos);  // the data does hold them
}

TEST_F(ScriptRoundTrip, PasswordPromptIsAWorkingScript) {
    const std::string body(2000, 'x');
    const std::string password = "pa\"ss\\</script>\r\n";
    JobOptions options = Verbatim();
    options.password = {true, password};
    const std::string written = WrittenByPage(body, options);
    EXPECT_EQ(written.substr(written.size() - body.size() - 1), body + "\n");
    WriteBytes(dir_.Path("expanded.txt"), written);

    // The prompt script as a browser cuts it out of the expanded text (up to
    // the first "</script" in any case), run with a prompt that answers.
    WriteBytes(dir_.Path("prompt.js"), R"JS(
const fs = require('fs');
const text = fs.readFileSync(process.argv[2], 'latin1');
const answer = fs.readFileSync(process.argv[3], 'latin1');
const open = '<SCRIPT LANGUAGE="JavaScript">';
const start = text.indexOf(open) + open.length;
const end = text.toLowerCase().indexOf('</script', start);
const document = { location: {} };
const window = { prompt: () => answer };
new Function('window', 'document', text.slice(start, end))(window, document);
process.exit('href' in document.location ? 10 : 0);
)JS");
    const auto run_with_answer = [&](const std::string& answer) {
        WriteBytes(dir_.Path("answer.txt"), answer);
        const std::string command = "node \"" + dir_.Path("prompt.js") + "\" \"" + dir_.Path("expanded.txt") +
                                    "\" \"" + dir_.Path("answer.txt") + "\"";
        const int status = std::system(command.c_str());
        return ExitCode(status);
    };
    EXPECT_EQ(run_with_answer(password), 0);    // let in
    EXPECT_EQ(run_with_answer("wrong"), 10);    // sent away
}

}  // namespace
}  // namespace vexel
