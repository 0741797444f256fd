// The modern page's parts: the base91 carrier, raw deflate, the charset a
// browser reads a page in, the page text and its reader, encryption and
// tamper detection, and the job and batch writing modern pages.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <random>

#include "engine/base91.h"
#include "engine/batch.h"
#include "engine/charset.h"
#include "engine/page_compression.h"
#include "engine/page_prepare.h"
#include "engine/deflate.h"
#include "engine/errors.h"
#include "engine/modern_page.h"
#include "engine/restore.h"
#include "tests/engine/test_support.h"

namespace vexel {
namespace {

namespace fs = std::filesystem;
using testing::ReadBytes;
using testing::RecordingJobHost;
using testing::ScratchDir;
using testing::WriteBytes;

std::string RandomBytes(std::size_t size, unsigned seed) {
    std::mt19937 random(seed);
    std::string bytes(size, '\0');
    for (char& c : bytes) {
        c = static_cast<char>(random() & 255);
    }
    return bytes;
}

std::string SamplePage(int rows) {
    std::string page = "<!DOCTYPE html><html><head><title>Price list</title></head><body>\r\n<table>\r\n";
    for (int i = 0; i < rows; ++i) {
        page += "  <tr><td>Item " + std::to_string(i) + "</td><td>" + std::to_string(i * 37 % 1000) +
                ".99</td></tr>\r\n";
    }
    return page + "</table>\r\n</body></html>\r\n";
}

TEST(Base91, EveryLengthAndByteComesBack) {
    for (std::size_t size = 0; size < 300; ++size) {
        const std::string data = RandomBytes(size, static_cast<unsigned>(size));
        std::string back;
        ASSERT_TRUE(Base91Decode(Base91Encode(data), back));
        ASSERT_EQ(back, data) << size;
    }
    // Runs of one byte take the 14-bit path throughout.
    for (const char c : {'\0', '\xFF', 'a'}) {
        const std::string run(1000, c);
        std::string back;
        ASSERT_TRUE(Base91Decode(Base91Encode(run), back));
        EXPECT_EQ(back, run);
    }
}

TEST(Base91, AlphabetHoldsNothingThatEndsOrEscapesAScriptString) {
    std::string digits;
    for (int v = 0; v < kBase91Radix; ++v) {
        digits.push_back(Base91Digit(v));
        EXPECT_EQ(Base91Value(static_cast<unsigned char>(Base91Digit(v))), v);
    }
    std::sort(digits.begin(), digits.end());
    EXPECT_EQ(std::unique(digits.begin(), digits.end()), digits.end());
    for (const char c : digits) {
        EXPECT_GT(c, ' ');
        EXPECT_LE(c, '~');
    }
    for (const char forbidden : {'"', '<', '\\', ' ', '\n'}) {
        EXPECT_EQ(digits.find(forbidden), std::string::npos) << forbidden;
        EXPECT_EQ(Base91Value(static_cast<unsigned char>(forbidden)), -1);
    }
    std::string back;
    EXPECT_FALSE(Base91Decode("ab<cd", back));
    // Denser than base64 on data that does not compress.
    EXPECT_LT(Base91Encode(RandomBytes(30000, 7)).size(), 30000u * 124 / 100);
}

TEST(Deflate, RoundTripsAndRefusesDamagedData) {
    const std::string page = SamplePage(2000);
    const std::string compressed = DeflateRaw(page);
    EXPECT_LT(compressed.size(), page.size() / 4);
    EXPECT_EQ(InflateRaw(compressed, page.size()), page);
    EXPECT_EQ(InflateRaw(DeflateRaw(""), 10), "");

    EXPECT_THROW(InflateRaw(compressed.substr(0, compressed.size() / 2), kMaxExpandedBytes), DataError);
    EXPECT_THROW(InflateRaw(compressed + "x", kMaxExpandedBytes), DataError);
    EXPECT_THROW(InflateRaw(RandomBytes(500, 3), kMaxExpandedBytes), DataError);
    // A stream that would expand beyond the limit stops there.
    EXPECT_THROW(InflateRaw(compressed, page.size() - 1), DataError);
}

TEST(Charset, FoundAsBrowsersFindIt) {
    using Source = PageCharset::Source;
    const auto check = [](const std::string& page, Source source, const std::string& label) {
        const PageCharset found = DetectCharset(page);
        EXPECT_EQ(found.source, source) << page;
        EXPECT_EQ(found.label, label) << page;
    };
    check("\xEF\xBB\xBF<meta charset=gbk>", Source::Bom, "utf-8");  // the mark wins
    check(std::string("\xFF\xFE<\0h\0", 6), Source::Bom, "utf-16le");
    check("\xFE\xFF", Source::Bom, "utf-16be");
    check("<html><head><META CHARSET=\" Shift_JIS \">", Source::Meta, "shift_jis");
    check("<meta charset='windows-1252'><meta charset=utf-8>", Source::Meta, "windows-1252");  // the first
    check("<meta http-equiv=\"Content-Type\" content=\"text/html; charset=GB2312\">", Source::Meta, "gb2312");
    check("<meta content='text/html;charset=\"big5\"' http-equiv=content-type>", Source::Meta, "big5");
    // A content without http-equiv declares nothing, nor does a comment or another tag.
    check("<meta content=\"text/html; charset=gbk\"><!-- <meta charset=gbk> --><p title='<meta charset=x'>",
          Source::Default, "");
    check("<metadata charset=gbk>", Source::Default, "");
    check(
        "<p>Gr\xC3\xBC\xC3\x9F"
        "e</p>",
        Source::Detected, "utf-8");
    check(
        "<p>Gr\xFC\xDF"
        "e</p>",
        Source::Default, "");  // not UTF-8: the browser's default
    check("<p>plain</p>", Source::Default, "");

    for (const char* label : {"utf-8", "UTF8", "gbk", "gb18030", "big5", "shift_jis", "euc-jp", "iso-2022-jp",
                              "euc-kr", "utf-16", "windows-31j"}) {
        EXPECT_TRUE(IsMultiByteCharset(label)) << label;
    }
    for (const char* label : {"windows-1252", "iso-8859-1", "koi8-r", "", "x-user-defined"}) {
        EXPECT_FALSE(IsMultiByteCharset(label)) << label;
    }
    EXPECT_TRUE(IsValidUtf8("a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80"));
    for (const char* bad : {"\xC3", "\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xE2\x82"}) {
        EXPECT_FALSE(IsValidUtf8(bad)) << bad;
    }
}

// The script of a page as the HTML parser sees it: from its one opening tag
// to the first "</script".
std::string ScriptText(const std::string& page) {
    std::string lower = page;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; });
    const std::size_t open = lower.find("<script>");
    const std::size_t close = lower.find("</script");
    EXPECT_NE(open, std::string::npos);
    EXPECT_NE(close, std::string::npos);
    EXPECT_EQ(lower.find("<script", open + 1), std::string::npos);
    EXPECT_EQ(close, page.size() - std::string("</script>\r\n").size());
    return lower.substr(open + 8, close - open - 8);
}

TEST(ModernPage, ScriptHoldsNothingThatEndsItEarly) {
    const PageSeal seal{"pw", 1000};
    for (const PageSeal* sealed : {static_cast<const PageSeal*>(nullptr), &seal}) {
        for (unsigned seed = 0; seed < 20; ++seed) {
            // Data that does not compress gives every digit many times over.
            const std::string page =
                ModernPageText(DetectCharset("<meta charset=gbk>"),
                               Base91Encode(ModernPayload(RandomBytes(5000, seed), sealed,
                                                          std::string(16, 's'), std::string(12, 'i'))),
                               sealed);
            const std::string script = ScriptText(page);
            EXPECT_EQ(script.find("<!--"), std::string::npos);
            // The data holds no "<" at all; the decoder's own are shifts and comparisons.
            EXPECT_EQ(script.find('<', script.find("})(\"")), std::string::npos);
        }
    }
}

TEST(ModernPage, ReaderGivesBackEveryByteOfThePage) {
    std::string original = SamplePage(500);
    original += std::string("\0\x01\x7F\x80\xFF\r\n\t", 9);
    const std::string page =
        ModernPageText(DetectCharset(original), Base91Encode(ModernPayload(original, nullptr)), nullptr);
    const auto data = ReadModernPage(page);
    ASSERT_TRUE(data.has_value());
    EXPECT_FALSE(data->encrypted);
    EXPECT_EQ(ExpandModernPage(*data, nullptr), original);
    EXPECT_LT(page.size(), original.size() / 3);

    // Pages of the classic formats and others are not modern pages.
    EXPECT_FALSE(ReadModernPage(original).has_value());
    EXPECT_FALSE(ReadModernPage("<SCRIPT LANGUAGE=\"JavaScript\">\r\nd=\"abc\";").has_value());
    // A damaged page is one, and says so.
    std::string damaged = page;
    damaged[page.find("})(\"") + 10] = '\\';
    EXPECT_THROW(ReadModernPage(damaged), DataError);
    std::string cut = page;
    cut.erase(page.find("})(\"") + 5, 40);
    const auto shortened = ReadModernPage(cut);
    ASSERT_TRUE(shortened.has_value());
    EXPECT_THROW(ExpandModernPage(*shortened, nullptr), DataError);
}

TEST(ModernPage, DeclaresTheOriginalsCharset) {
    const auto pageFor = [](const std::string& original) {
        return ModernPageText(DetectCharset(original), Base91Encode(ModernPayload(original, nullptr)),
                              nullptr);
    };
    EXPECT_EQ(pageFor("<meta http-equiv=Content-Type content='text/html; charset=Shift_JIS'>")
                  .rfind("<meta charset=shift_jis><noscript>", 0),
              0u);
    EXPECT_EQ(pageFor("\xEF\xBB\xBF<p>x</p>").rfind("<meta charset=utf-8>", 0), 0u);
    EXPECT_EQ(pageFor("<p>caf\xC3\xA9</p>").rfind("<meta charset=utf-8>", 0), 0u);
    // No declaration: none either, so both are read in the browser's default.
    EXPECT_EQ(pageFor("<p>caf\xE9</p>").rfind("<noscript>", 0), 0u);
    // A label that could break out of the tag is left out.
    EXPECT_EQ(pageFor("<meta charset='a\"b'>").rfind("<noscript>", 0), 0u);
    // UTF-16 cannot be declared by a <meta>: the script names it instead, in a
    // page that declares UTF-8, as forms of a UTF-16 page submit in UTF-8.
    const std::string utf16 = pageFor(std::string("\xFF\xFE<\0p\0>\0", 8));
    EXPECT_EQ(utf16.rfind("<meta charset=utf-8>", 0), 0u);
    EXPECT_NE(utf16.find("TextDecoder(\"utf-16le\")"), std::string::npos);
    EXPECT_NE(pageFor("x").find("TextDecoder(C.characterSet)"), std::string::npos);
}

TEST(ModernPage, EncryptedPageOpensOnlyWithItsPasswordAndUnchangedData) {
    const std::string original = SamplePage(300) + "<p>The secret sentence of this page.</p>";
    const PageSeal seal{"correct horse", 1000};
    const std::string salt = "0123456789abcdef";
    const std::string iv = "IV-of-twelve";
    const std::string payload = ModernPayload(original, &seal, salt, iv);
    const std::string page = ModernPageText(DetectCharset(original), Base91Encode(payload), &seal);
    for (const char* secret : {"secret sentence", "correct horse", "Price list", "Item 1"}) {
        EXPECT_EQ(page.find(secret), std::string::npos) << secret;
    }
    EXPECT_NE(page.find("<input type=password"), std::string::npos);

    const auto data = ReadModernPage(page);
    ASSERT_TRUE(data.has_value());
    EXPECT_TRUE(data->encrypted);
    EXPECT_EQ(data->iterations, 1000u);
    EXPECT_EQ(data->payload.substr(0, 28), salt + iv);
    const std::string right = "correct horse";
    const std::string wrong = "correct horsf";
    EXPECT_EQ(ExpandModernPage(*data, &right), original);
    try {
        ExpandModernPage(*data, &wrong);
        FAIL() << "a wrong password opened the page";
    } catch (const PasswordError& e) {
        EXPECT_EQ(e.Reason(), PasswordError::Kind::Wrong);
    }
    try {
        ExpandModernPage(*data, nullptr);
        FAIL() << "no password opened the page";
    } catch (const PasswordError& e) {
        EXPECT_EQ(e.Reason(), PasswordError::Kind::Missing);
    }
    // Any flipped byte of salt, IV, ciphertext or tag is refused.
    for (const std::size_t at :
         {std::size_t{3}, std::size_t{20}, std::size_t{40}, data->payload.size() - 1}) {
        ModernPageData tampered = *data;
        tampered.payload[at] = static_cast<char>(tampered.payload[at] ^ 0x10);
        EXPECT_THROW(ExpandModernPage(tampered, &right), PasswordError) << at;
    }
    // Fresh salt and IV for every page.
    EXPECT_NE(ModernPayload(original, &seal), ModernPayload(original, &seal));
}

TEST(ModernPage, EncryptionAddsLittleBesidesItsDecoder) {
    const std::string original = SamplePage(3000);
    const PageSeal quick{"pw", 1000};
    const PageSeal seal{"pw"};  // the default count, written in the page
    const std::string plain = ModernPageText({}, Base91Encode(ModernPayload(original, nullptr)), nullptr);
    const std::string sealed = ModernPageText(
        {}, Base91Encode(ModernPayload(original, &quick, std::string(16, 's'), std::string(12, 'i'))), &seal);
    const std::size_t decoders = ModernDecoderSize(true) - ModernDecoderSize(false);
    EXPECT_LE(sealed.size(), plain.size() + decoders + 400);
    EXPECT_NE(sealed.find("iterations:600000,"), std::string::npos);
    // The fixed part of a page stays small: it decides the size of small pages.
    EXPECT_LT(ModernDecoderSize(false), 720u);
}

TEST(ModernPage, IterationCountsNoWriterUsesAreRefused) {
    const PageSeal seal{"pw", 1000};
    const std::string page = ModernPageText(
        {}, Base91Encode(ModernPayload("x", &seal, std::string(16, 's'), std::string(12, 'i'))), &seal);
    for (const char* count : {"0", "100000001", "99999999999999"}) {
        std::string changed = page;
        changed.replace(page.find("iterations:1000") + 11, 4, count);
        EXPECT_THROW(ReadModernPage(changed), DataError) << count;
    }
}

class ModernCompressTest : public ::testing::Test {
protected:
    ScratchDir dir_;
    RecordingJobHost host_;
    JobOptions options_;
};

TEST_F(ModernCompressTest, WholePageIsCarriedWithTheUsualLogLines) {
    // No body tag, control bytes, high bytes: all carried as they are.
    const std::string original = "<table><tr><td>\x01\x0E caf\xC3\xA9</td></tr></table>" + SamplePage(100);
    const std::string path = "site/fragment.htm";
    const CompressedPage compressed = CompressPage(original, path, options_, PageFormat::Modern, host_);
    ASSERT_TRUE(compressed.Prepared);
    const std::string& page = compressed.Text;
    EXPECT_EQ(compressed.CharCount, static_cast<int32_t>(original.size()));
    EXPECT_EQ(host_.lines, (std::vector<std::string>{"", std::string(110, '-'), "Openfile:" + path,
                                                     "Compresssed to:" + path,
                                                     "  Rate=" + std::to_string(original.size()) + "Byte /" +
                                                         std::to_string(page.size()) + "Byte"}));
    EXPECT_EQ(host_.indicator_shown, 0);
    EXPECT_EQ(compressed.Head, "");
    EXPECT_EQ(ExpandModernPage(*ReadModernPage(page), nullptr), original);
}

TEST_F(ModernCompressTest, PasswordEncryptsWithTheOptionsIterationCount) {
    options_.password = {true, "s3cret"};
    options_.Iterations = 2000;
    const CompressedPage compressed = CompressPage(SamplePage(10), "p.htm", options_, PageFormat::Modern, host_);
    const auto data = ReadModernPage(compressed.Text);
    ASSERT_TRUE(data.has_value());
    EXPECT_TRUE(data->encrypted);
    EXPECT_EQ(data->iterations, 2000u);
    const std::string password = "s3cret";
    EXPECT_EQ(ExpandModernPage(*data, &password), SamplePage(10));
}

TEST_F(ModernCompressTest, BatchBacksUpSkipsCompressedPagesAndRestoreBringsThemBack) {
    const std::string a = dir_.Path("a.htm");
    const std::string b = dir_.Path("b.html");
    WriteBytes(a, SamplePage(50));
    WriteBytes(b, "no body at all");
    BatchSettings settings;
    settings.Modern = true;
    BatchHost batchHost;
    const BatchSummary first = RunBatch({{a, true}, {b, true}}, options_, settings, host_, batchHost);
    EXPECT_EQ(first.Written, 2);
    EXPECT_EQ(ReadBytes(a + "_backup"), SamplePage(50));
    EXPECT_EQ(ReadBytes(b + "_backup"), "no body at all");
    EXPECT_TRUE(ReadModernPage(ReadBytes(a)).has_value());
    const BatchSummary second = RunBatch({{a, true}, {b, true}}, options_, settings, host_, batchHost);
    EXPECT_EQ(second.AlreadyCompressed, 2);

    EXPECT_TRUE(RestorePage(a).warning.empty());
    EXPECT_EQ(ReadBytes(a), SamplePage(50));
    EXPECT_FALSE(fs::exists(a + "_backup"));
}

TEST_F(ModernCompressTest, ClassicPagesWarnAboutNonAsciiTextInMultiByteCharsets) {
    int formatWarnings = -1;
    const auto logFor = [&](const std::string& page) {
        host_.lines.clear();
        const PreparedPage prepared = PrepareClassicPage(page, "w.htm", options_, host_);
        EXPECT_TRUE(prepared.Prepared);
        formatWarnings = prepared.FormatWarnings;
        return host_.lines;
    };
    const std::string body(1100, 'x');
    const std::string utf8 =
        "<html><head><meta charset=\"UTF-8\"></head><body><p>Gr\xC3\xBC\xC3\x9F"
        "e</p>" +
        body;
    const auto lines = logFor(utf8);
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[3], CharsetWarning(DetectCharset(utf8)));
    EXPECT_NE(lines[3].find("utf-8 (from its <meta> tag)"), std::string::npos) << lines[3];
    EXPECT_NE(lines[3].find("modern page format"), std::string::npos);
    EXPECT_EQ(lines[4].rfind("Warnning: No support char [0xC3]", 0), 0u);  // the pair blanked after it
    EXPECT_EQ(formatWarnings, 1);

    // With high bytes kept, the classic page would be garbled: refused, with
    // the format that keeps the text named.
    options_.UChar = false;
    for (const std::string& page : {"<html><body><p>caf\xC3\xA9</p>" + body,
                                    "<html><head><meta charset=gbk></head><body>\xC4\xE3\xBA\xC3" + body}) {
        try {
            PrepareClassicPage(page, "w.htm", options_, host_);
            FAIL() << "not refused";
        } catch (const FormatError& e) {
            EXPECT_NE(std::string(e.what()).find("\"w.htm\""), std::string::npos) << e.what();
            EXPECT_NE(std::string(e.what()).find("--modern"), std::string::npos) << e.what();
        }
    }
    // No warning for ASCII text in UTF-8, for a non-ASCII head, or for a
    // single-byte charset.
    EXPECT_EQ(logFor("<html><head><meta charset=utf-8></head><body>" + body).size(), 3u);
    EXPECT_EQ(logFor("<html><head><title>caf\xC3\xA9</title></head><body>" + body).size(), 3u);
    EXPECT_EQ(logFor("<html><head><meta charset=windows-1252></head><body>caf\xE9" + body).size(), 3u);
    EXPECT_EQ(formatWarnings, 0);
}

}  // namespace
}  // namespace vexel
