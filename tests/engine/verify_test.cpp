// Checking compressed pages against their backups: every format and option,
// encrypted pages, and each way a page or its backup can have gone wrong.
#include <gtest/gtest.h>

#include <filesystem>

#include "engine/batch.h"
#include "engine/classic_page.h"
#include "engine/lzma.h"
#include "engine/modern_page.h"
#include "engine/verify.h"
#include "tests/engine/test_support.h"

namespace vexel {
namespace {

using testing::ReadBytes;
using testing::RecordingJobHost;
using testing::ScratchDir;
using testing::WriteBytes;

// Whitespace between tags, pairs of high bytes, a short body: each option
// changes what the page expands to.
const std::string kPage =
    "<html>\r\n<head><title>t</title></head>\r\n<body>\r\n<p>caf\xE9 cr\xE8me \xC4\xE3</p>\r\n  "
    "<p>x</p>\r\n</body>";

std::string Rows() {
    std::string rows;
    for (int i = 0; i < 300; ++i) {
        rows += "<p>Row " + std::to_string(i * 7) + "</p>\r\n";
    }
    return rows;
}
const std::string kRows = Rows();

class VerifyTest : public ::testing::Test {
protected:
    // Compresses a fresh page named `name` with `options` and `settings`.
    std::string Compress(const std::string& name,
                         const JobOptions& options,
                         const BatchSettings& settings,
                         const std::string& page = {}) {
        const std::string path = dir_.Path(name);
        // A modern page of the short page would not be smaller: it would be left as it is.
        WriteBytes(path, !page.empty() ? page : settings.Format == PageFormat::Modern ? kPage + kRows : kPage);
        RecordingJobHost log;
        BatchHost host;
        EXPECT_EQ(RunBatch({{path, true}}, options, settings, log, host).Written, 1) << name;
        return path;
    }

    ScratchDir dir_;
};

TEST_F(VerifyTest, PagesOfEveryFormatAndOptionMatchTheirBackups) {
    BatchSettings javascript;
    BatchSettings vbscript;
    vbscript.Format = PageFormat::VbScript;
    BatchSettings modern;
    modern.Format = PageFormat::Modern;
    JobOptions defaults;
    JobOptions kept;
    kept.RemoveUnuseful = false;
    kept.UChar = false;
    JobOptions password;
    password.password = {true, "a\"b\\c<\x01"};
    password.UChar = false;
    // Characters beyond ASCII, one beyond the first plane, stand escaped in
    // the prompt's literal and are read back from there.
    JobOptions unicodePassword;
    unicodePassword.password = {true, "P\xC3\xA4ss \xE6\x97\xA5 \xF0\x9F\x98\x80"};
    JobOptions lzma;
    lzma.Codec = CodecChoice::Lzma;

    const struct {
        std::string name;
        JobOptions options;
        BatchSettings settings;
        const char* format;
        const char* words;
    } cases[] = {
        {"default.htm", defaults, javascript, "JavaScript page", "collapsed, pairs of high bytes blanked"},
        {"kept.htm", kept, vbscript, "VBScript page", "whitespace and high bytes kept"},
        {"password.htm", password, javascript, "JavaScript page", "collapsed, high bytes kept"},
        {"unicode-password.htm", unicodePassword, vbscript, "VBScript page", "collapsed, pairs of high bytes blanked"},
        {"modern.htm", defaults, modern, "modern page", "byte for byte"},
        {"lzma.htm", lzma, modern, "modern page", "byte for byte"},
    };
    for (const auto& c : cases) {
        if (c.options.Codec == CodecChoice::Lzma && !HaveLzma()) {
            continue;
        }
        const VerifyResult result = VerifyPage(Compress(c.name, c.options, c.settings), nullptr);
        EXPECT_EQ(result.outcome, VerifyOutcome::Match) << c.name << ": " << result.detail;
        EXPECT_EQ(result.format, c.format) << c.name;
        EXPECT_NE(result.detail.find(c.words), std::string::npos) << c.name << ": " << result.detail;
    }
}

// A build made without liblzma (neither the system's nor Debian's source was
// found) cannot expand an LZMA page another build wrote: it says so instead
// of calling the page damaged. Every preset builds liblzma in, so this runs
// only in such a build.
TEST_F(VerifyTest, LzmaPagesAreNotCheckedByABuildWithoutLiblzma) {
    if (HaveLzma()) {
        GTEST_SKIP() << "this build reads LZMA pages";
    }
    const std::string original = kPage + kRows;
    const std::string path = dir_.Path("lzma.htm");
    ModernPageOptions options;
    options.codec = ModernCodec::Lzma;
    WriteBytes(path + "_backup", original);
    WriteBytes(path, RenderModernPage(original, std::string(300, 'x'), options));
    const VerifyResult result = VerifyPage(path, nullptr);
    EXPECT_EQ(result.outcome, VerifyOutcome::NotChecked) << result.detail;
    EXPECT_NE(result.detail.find("without liblzma"), std::string::npos) << result.detail;
}

TEST_F(VerifyTest, EncryptedPagesNeedTheirPassword) {
    JobOptions options;
    options.password = {true, "open sesame"};
    options.Iterations = 1000;
    BatchSettings modern;
    modern.Format = PageFormat::Modern;
    const std::string page = Compress("sealed.htm", options, modern);
    const std::string right = "open sesame";
    const std::string wrong = "open sesam";
    EXPECT_EQ(VerifyPage(page, &right).outcome, VerifyOutcome::Match);
    const VerifyResult none = VerifyPage(page, nullptr);
    EXPECT_EQ(none.outcome, VerifyOutcome::NotChecked);
    EXPECT_EQ(none.format, "encrypted modern page");
    EXPECT_NE(none.detail.find("password"), std::string::npos);
    EXPECT_EQ(VerifyPage(page, &wrong).outcome, VerifyOutcome::NotChecked);
}

TEST_F(VerifyTest, ChangedPagesAndBackupsAreMismatches) {
    BatchSettings modern;
    modern.Format = PageFormat::Modern;
    const std::string big = kPage + std::string(3000, 'z') + "<p>end</p>";

    // A changed backup.
    const std::string a = Compress("a.htm", {}, modern, big);
    std::string backup = ReadBytes(a + "_backup");
    backup[2000] = 'Z';
    WriteBytes(a + "_backup", backup);
    VerifyResult result = VerifyPage(a, nullptr);
    EXPECT_EQ(result.outcome, VerifyOutcome::Mismatch);
    EXPECT_NE(result.detail.find("at byte 2001"), std::string::npos) << result.detail;

    // A changed character of a modern page's data.
    const std::string b = Compress("b.htm", {}, modern, big);
    std::string page = ReadBytes(b);
    const std::size_t data = page.find("<script>/*") + 30;
    page[data] = page[data] == 'A' ? 'B' : 'A';
    WriteBytes(b, page);
    EXPECT_EQ(VerifyPage(b, nullptr).outcome, VerifyOutcome::Mismatch);
    // A modern page whose script, head or carried title was changed, even
    // where the data still expands to the backup.
    for (const auto& [from, to] : {std::pair<std::string, std::string>{".decode(", ".decoye("},
                                   {"<noscript>This", "<noscript>That"},
                                   {"<title>t</title>", "<title>T</title>"}}) {
        const std::string e = Compress("e.htm", {}, modern, big);
        page = ReadBytes(e);
        ASSERT_NE(page.find(from), std::string::npos) << from;
        page.replace(page.find(from), from.size(), to);
        WriteBytes(e, page);
        result = VerifyPage(e, nullptr);
        EXPECT_EQ(result.outcome, VerifyOutcome::Mismatch) << from;
        EXPECT_NE(result.detail.find("differs from the page its backup gives"), std::string::npos) << result.detail;
        std::filesystem::remove(e + "_backup");
    }

    // A classic page whose head or data was edited.
    const std::string c = Compress("c.htm", {}, {}, big);
    page = ReadBytes(c);
    page.replace(page.find("<title>t"), 8, "<title>T");
    WriteBytes(c, page);
    result = VerifyPage(c, nullptr);
    EXPECT_EQ(result.outcome, VerifyOutcome::Mismatch);
    EXPECT_NE(result.detail.find("head differs"), std::string::npos) << result.detail;

    const std::string d = Compress("d.htm", {}, {}, big);
    page = ReadBytes(d);
    const std::size_t literal = page.find("d=\"") + 3;
    page[literal] = page[literal] == 'q' ? 'r' : 'q';
    WriteBytes(d, page);
    result = VerifyPage(d, nullptr);
    EXPECT_EQ(result.outcome, VerifyOutcome::Mismatch);
    EXPECT_NE(result.detail.find("at byte 1 of"), std::string::npos) << result.detail;
}

TEST_F(VerifyTest, APageWhoseScriptABrowserEndsEarlyIsAMismatch) {
    // As pages were written before the data string was guarded.
    const std::string path = dir_.Path("old.htm");
    WriteBytes(path + "_backup", "<html><body>;.rbqhos=");
    WriteBytes(path, "<html><body>\r\n<SCRIPT LANGUAGE=\"JavaScript\">\r\nd=\"</script>\";\r\nl='");
    const VerifyResult result = VerifyPage(path, nullptr);
    EXPECT_EQ(result.outcome, VerifyOutcome::Mismatch);
    EXPECT_NE(result.detail.find("</script"), std::string::npos) << result.detail;
}

TEST_F(VerifyTest, ADamagedDecoderOrMarkupIsAMismatchEvenWhereTheDataReadsBack) {
    BatchSettings vbscript;
    vbscript.Format = PageFormat::VbScript;
    BatchSettings modern;
    modern.Format = PageFormat::Modern;
    const JobOptions plain;
    JobOptions sealed;
    sealed.password = {true, "pw"};
    sealed.Iterations = 1000;
    const std::string pw = "pw";
    const struct {
        std::string name;
        JobOptions options;
        BatchSettings settings;
        std::string from;
        std::string to;
        const std::string* password;
    } cases[] = {
        {"js.htm", plain, {}, "l.indexOf(b)", "l.indexOg(b)", nullptr},
        {"js-end.htm", plain, {}, "</SCRIPT></body></html>\r\n", "</SCRIPT></body></html>\n", nullptr},
        {"vb.htm", plain, vbscript, "If a=4 Then a=34", "If a=4 Then a=35", nullptr},
        {"modern.htm", plain, modern, ".decode(", ".decoye(", nullptr},
        {"sealed.htm", sealed, modern, ".decode(", ".decoye(", &pw},
        // Without the password all but the sealed data is still checked.
        {"sealed-closed.htm", sealed, modern, ".decode(", ".decoye(", nullptr},
    };
    for (const auto& c : cases) {
        const std::string path = Compress(c.name, c.options, c.settings);
        ASSERT_NE(VerifyPage(path, c.password).outcome, VerifyOutcome::Mismatch) << c.name;
        std::string page = ReadBytes(path);
        const std::size_t at = page.find(c.from);
        ASSERT_NE(at, std::string::npos) << c.name;
        page.replace(at, c.from.size(), c.to);
        WriteBytes(path, page);
        const VerifyResult result = VerifyPage(path, c.password);
        EXPECT_EQ(result.outcome, VerifyOutcome::Mismatch) << c.name << ": " << result.detail;
        std::size_t differs = 0;
        while (c.from[differs] == c.to[differs]) {
            ++differs;
        }
        EXPECT_NE(result.detail.find("at byte " + std::to_string(at + differs + 1) + " "), std::string::npos)
            << c.name << ": " << result.detail;
    }
}

TEST_F(VerifyTest, AClassicPageWithHighBytesKeptFromAUtf8PageIsAMismatch) {
    // Written so, a browser reads the data string in UTF-8 characters and
    // every back-reference after "\xC3\xA9" copies the wrong text.
    const std::string body = "<p>caf\xC3\xA9</p>" + std::string(1100, 'x') + "<p>end</p>";
    const std::string original = std::string("<html><head><meta charset=utf-8></head><body>") + body;
    const std::string path = dir_.Path("kept.htm");
    WriteBytes(path + "_backup", original);
    RecordingJobHost host;
    const std::string head = "<html><head><meta charset=utf-8></head><body>";
    WriteBytes(path, RenderClassicPage(PageFormat::JavaScript, head, EncodeDataString(body, false, host)).Text);
    const VerifyResult result = VerifyPage(path, nullptr);
    EXPECT_EQ(result.outcome, VerifyOutcome::Mismatch) << result.detail;
    EXPECT_NE(result.detail.find("--modern"), std::string::npos) << result.detail;

    // And compress leaves such a page alone, naming the format that keeps it.
    const std::string fresh = dir_.Path("fresh.htm");
    WriteBytes(fresh, original);
    JobOptions kept;
    kept.UChar = false;
    RecordingJobHost log;
    BatchHost batchHost;
    const RunTally summary = RunBatch({{fresh, true}}, kept, {}, log, batchHost);
    EXPECT_EQ(summary.Failed, 1);
    EXPECT_EQ(ReadBytes(fresh), original);
    EXPECT_FALSE(std::filesystem::exists(fresh + "_backup"));
    ASSERT_FALSE(log.lines.empty());
    EXPECT_NE(log.lines.back().find("--modern"), std::string::npos) << log.lines.back();
}

TEST_F(VerifyTest, NoBackupOrNoCompressedPageIsAFailureNamingThePage) {
    const std::string lone = dir_.Path("lone.htm");
    WriteBytes(lone, kPage);
    VerifyResult result = VerifyPage(lone, nullptr);
    EXPECT_EQ(result.outcome, VerifyOutcome::Failed);
    EXPECT_NE(result.detail.find("lone.htm_backup"), std::string::npos) << result.detail;

    WriteBytes(lone + "_backup", kPage);
    result = VerifyPage(lone, nullptr);
    EXPECT_EQ(result.outcome, VerifyOutcome::Failed);
    EXPECT_NE(result.detail.find("not a compressed page"), std::string::npos) << result.detail;

    result = VerifyPage(dir_.Path("missing.htm"), nullptr);
    EXPECT_EQ(result.outcome, VerifyOutcome::Failed);
    EXPECT_NE(result.detail.find("missing.htm"), std::string::npos) << result.detail;
}

}  // namespace
}  // namespace vexel
