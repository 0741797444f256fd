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
#include "engine/deflate.h"
#include "engine/errors.h"
#include "engine/modern_page.h"
#include "engine/page_compression.h"
#include "engine/page_prepare.h"
#include "engine/restore.h"
#include "platform/ascii.h"
#include "tests/engine/test_support.h"

namespace vexel {
namespace {

namespace fs = std::filesystem;
using testing::Fingerprint;
using testing::RandomBytes;
using testing::ReadBytes;
using testing::RecordingJobHost;
using testing::ScratchDir;
using testing::WriteBytes;

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
    // zlib, which builds without libdeflate write with, gives the same data
    // back, across the slices of its output buffer too.
    const std::string noise = RandomBytes(300000, 9);
    EXPECT_EQ(InflateRaw(ZlibDeflateRaw(page + noise + page), kMaxExpandedBytes), page + noise + page);
    EXPECT_EQ(InflateRaw(ZlibDeflateRaw(""), 10), "");
}

// The Linux, Windows and 32-bit builds write a page in the same bytes: each
// build must give these streams (Debian's libdeflate 1.14 at our levels).
TEST(Deflate, EveryBuildWritesTheSameStream) {
    if (std::string(DeflaterName()) != "libdeflate") {
        GTEST_SKIP() << "this build writes with zlib";
    }
    const std::string text = SamplePage(2000);
    const std::string mixed = SamplePage(30) + RandomBytes(70000, 11) + SamplePage(40000);
    const std::string small = SamplePage(300) + RandomBytes(3000, 12);  // below kSmallPageBytes
    ASSERT_LT(small.size(), kSmallPageBytes);
    EXPECT_EQ(DeflateRaw(small).size(), 4815u);
    EXPECT_EQ(Fingerprint(DeflateRaw(small)), 18248395794398817896ull);
    EXPECT_EQ(DeflateRaw(text).size(), 9006u);
    EXPECT_EQ(Fingerprint(DeflateRaw(text)), 7633014056583234336ull);
    EXPECT_EQ(DeflateRaw(mixed).size(), 242994u);
    EXPECT_EQ(Fingerprint(DeflateRaw(mixed)), 16515254167527702940ull);
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
    check("<meta http-equiv=\"Content-Type\" content=\"text/html; charset=GB2312\">", Source::Meta, "gbk");
    check("<meta content='text/html;charset=\"big5\"' http-equiv=content-type>", Source::Meta, "big5");
    // A content without http-equiv declares nothing, nor does a comment or another tag.
    check("<meta content=\"text/html; charset=gbk\"><!-- <meta charset=gbk> --><p title='<meta charset=x'>",
          Source::Default, "");
    check("<metadata charset=gbk>", Source::Default, "");
    // Labels stand for their encodings; UTF-16 declared in a page that is read
    // as bytes means UTF-8, x-user-defined windows-1252; an unknown label is
    // passed over and the next declaration counts.
    check("<meta charset=latin1>", Source::Meta, "windows-1252");
    check("<meta charset=utf-16>", Source::Meta, "utf-8");
    check("<meta charset=x-user-defined>", Source::Meta, "windows-1252");
    check("<meta charset=utf-7><meta charset=koi8-u>", Source::Meta, "koi8-u");
    check("<meta charset=iso-2022-kr>", Source::Meta, "replacement");
    // Only the first of two attributes of one name counts; a charset attribute
    // wins over a content attribute in the same tag, whatever their order.
    check("<meta charset=gbk charset=big5>", Source::Meta, "gbk");
    check("<meta content='text/html; charset=big5' http-equiv=content-type charset=euc-kr>", Source::Meta,
          "euc-kr");
    check("<meta http-equiv=refresh content='text/html; charset=big5'>", Source::Default, "");
    // A declaration beyond the first 1024 bytes, inside another tag's
    // attribute, or cut off by the end of the page is not seen; nor is one
    // after an unclosed comment.
    check("<p>" + std::string(1100, 'x') + "<meta charset=gbk>", Source::Default, "");
    check(std::string(1000, ' ') + "<meta charset=gbk>", Source::Meta, "gbk");
    check("<textarea title=\"<meta charset=gbk>\">", Source::Default, "");
    check("<meta charset=gbk", Source::Default, "");
    check("<!-- <meta charset=gbk>", Source::Default, "");
    // Inside a textarea or a script string the prescan sees a tag like any
    // other, the HTML parser does not: browsers differ. So do they on a
    // declaration after a head longer than 1024 bytes.
    check("<textarea><meta charset=gbk></textarea>", Source::Disputed, "gbk");
    check("<script>s='<meta charset=gbk>'</script><meta charset=big5>", Source::Disputed, "gbk");
    check("<title>" + std::string(1100, 'x') + "</title><meta charset=gbk>", Source::Disputed, "gbk");
    check("<title>" + std::string(900, 'x') + "</title><meta charset=gbk>", Source::Meta, "gbk");
    check("<!--><meta charset=gbk>", Source::Meta, "gbk");
    check("<?php x ?><meta charset=gbk>", Source::Meta, "gbk");
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
// to the first "</script", which must be the page's end.
std::string ScriptText(const std::string& page) {
    const std::string lower = LowerAscii(page);
    const std::size_t open = lower.find("<script>");
    const std::size_t close = lower.find("</script");
    EXPECT_NE(open, std::string::npos);
    EXPECT_NE(close, std::string::npos);
    EXPECT_EQ(close, page.size() - std::string("</script>").size());
    return page.substr(open + 8, close - open - 8);
}

std::string PageOf(const std::string& original, const PageSeal* seal = nullptr) {
    const ModernPageOptions options{seal != nullptr, seal != nullptr ? seal->iterations : kDefaultIterations};
    return RenderModernPage(
        original, ModernPayload(original, seal, std::string(16, 's'), std::string(12, 'i')), options);
}

TEST(ModernPage, ScriptHoldsNothingThatEndsItEarly) {
    const PageSeal seal{"pw", 1000};
    // Data that does not compress gives every character many times over, in
    // a charset read as ASCII (radix 120) and in one read byte for byte.
    for (const char* declaration : {"<meta charset=gbk>", "<meta charset=windows-1252>", "<meta charset=iso-8859-6>"}) {
        for (const PageSeal* sealed : {static_cast<const PageSeal*>(nullptr), &seal}) {
            for (unsigned seed = 0; seed < 10; ++seed) {
                const std::string page = PageOf(declaration + RandomBytes(5000, seed), sealed);
                const std::string script = ScriptText(page);
                const std::size_t dataEnd = script.find("*/");
                ASSERT_EQ(script.compare(0, 2, "/*"), 0);
                const std::string data = script.substr(2, dataEnd - 2);
                for (const char* breaking : {"<!", "</"}) {
                    EXPECT_EQ(script.find(breaking), std::string::npos) << declaration << breaking;
                }
                EXPECT_EQ(data.find('\0'), std::string::npos);
                EXPECT_EQ(data.find('\r'), std::string::npos);
                EXPECT_GT(script.size() - dataEnd, 300u);  // the first "*/" ends the data only
            }
        }
    }
}

TEST(ModernPage, ReaderGivesBackEveryByteOfThePage) {
    std::string original = SamplePage(500);
    original += std::string("\0\x01\x7F\x80\xFF\r\n\t", 9);
    for (const std::string& charset : {std::string(), std::string("<meta charset=koi8-r>")}) {
        const std::string page = PageOf(charset + original);
        const auto data = ReadModernPage(page);
        ASSERT_TRUE(data.has_value());
        EXPECT_FALSE(data->encrypted);
        EXPECT_EQ(ExpandModernPage(*data, nullptr), charset + original);
        EXPECT_LT(page.size(), original.size() / 3);
    }

    // Pages of the classic formats and others are not modern pages.
    EXPECT_FALSE(ReadModernPage(original).has_value());
    EXPECT_FALSE(ReadModernPage("<SCRIPT LANGUAGE=\"JavaScript\">\r\nd=\"abc\";").has_value());
    // A damaged page is one, and says so.
    const std::string page = PageOf(original);
    const std::size_t data = page.find("<script>/*") + 10;
    std::string damaged = page;
    damaged[data + 10] = '<';
    EXPECT_THROW(ReadModernPage(damaged), DataError);
    std::string cut = page;
    cut.erase(data + 5, 40);
    EXPECT_THROW(ReadModernPage(cut), DataError);
    std::string changed = page;
    changed[data + 5] = changed[data + 5] == 'a' ? 'b' : 'a';
    const auto flipped = ReadModernPage(changed);
    ASSERT_TRUE(flipped.has_value());
    EXPECT_THROW(ExpandModernPage(*flipped, nullptr), DataError);
}

TEST(ModernPage, PagesOfEarlierVersionsAreStillRead) {
    const std::string original = SamplePage(20);
    const std::string page = "<noscript>This page needs JavaScript.</noscript><script>(function(d){var "
                             "Z=self.DecompressionStream,C=document;X(a)})(\"" +
                             Base91Encode(DeflateRaw(original)) + "\")</script>\r\n";
    const auto data = ReadModernPage(page);
    ASSERT_TRUE(data.has_value());
    EXPECT_TRUE(data->earlier);
    EXPECT_EQ(ExpandModernPage(*data, nullptr), original);
}

TEST(ModernPage, DeclaresTheOriginalsCharsetAndRefusesThoseBrowsersDifferOn) {
    EXPECT_EQ(PageOf("<meta http-equiv=Content-Type content='text/html; charset=Shift_JIS'>")
                  .rfind("<meta charset=shift_jis><noscript>", 0),
              0u);
    EXPECT_EQ(PageOf("<meta charset=latin1>").rfind("<meta charset=windows-1252><noscript>", 0), 0u);
    EXPECT_EQ(PageOf("\xEF\xBB\xBF<p>x</p>").rfind("<meta charset=utf-8>", 0), 0u);
    EXPECT_EQ(PageOf("<p>caf\xC3\xA9</p>").rfind("<meta charset=utf-8>", 0), 0u);
    // No declaration: none either, so both are read in the browser's default.
    EXPECT_EQ(PageOf("<p>caf\xE9</p>").rfind("<noscript>", 0), 0u);
    // A label browsers do not know is passed over as they pass it over.
    EXPECT_EQ(PageOf("<meta charset='a\"b'>").rfind("<noscript>", 0), 0u);
    // UTF-16 cannot be declared by a <meta>: the script names it instead, in a
    // page that declares UTF-8, as forms of a UTF-16 page submit in UTF-8.
    const std::string utf16 = PageOf(std::string("\xFF\xFE<\0p\0>\0", 8));
    EXPECT_EQ(utf16.rfind("<meta charset=utf-8>", 0), 0u);
    EXPECT_NE(utf16.find("TextDecoder(\"utf-16le\")"), std::string::npos);
    EXPECT_NE(PageOf("x").find("TextDecoder(C.characterSet)"), std::string::npos);
    // The replacement encoding, ISO-2022-JP and declarations browsers read
    // differently are refused, saying why.
    for (const char* refused : {"<meta charset=iso-2022-kr>", "<meta charset=iso-2022-jp><scr\x1B(Bipt>",
                                "<textarea><meta charset=gbk></textarea>"}) {
        try {
            PageOf(refused);
            ADD_FAILURE() << refused;
        } catch (const DataError& e) {
            EXPECT_NE(std::string(e.what()).find("not written as a modern page: "), std::string::npos);
        }
    }
}

TEST(ModernPage, DensestTextForTheCharset) {
    const std::string payload = RandomBytes(60000, 5);
    const auto carried = [&](const std::string& declaration) {
        const std::string page = RenderModernPage(declaration, payload, {});
        const std::size_t start = page.find("<script>/*") + 10;
        return static_cast<double>(page.find("*/(", start) - start) / static_cast<double>(payload.size());
    };
    // Radix 120 where ASCII alone is safe: 8 / log2(120) = 1.158 at best.
    for (const char* ascii : {"", "<meta charset=utf-8>", "<meta charset=shift_jis>", "<meta charset=gb18030>"}) {
        EXPECT_GT(carried(ascii), 1.158) << ascii;
        EXPECT_LT(carried(ascii), 1.166) << ascii;
    }
    // Byte for byte where the charset maps every byte: NUL, CR, the escape
    // byte and a few pairs escaped.
    for (const char* single : {"<meta charset=windows-1252>", "<meta charset=koi8-r>", "<meta charset=latin2>"}) {
        EXPECT_LT(carried(single), 1.015) << single;
    }
    // A charset with many holes is better served by radix 120.
    EXPECT_LT(carried("<meta charset=iso-8859-6>"), 1.166);
    // So is a small payload, whose byte map would cost more than it saves.
    const std::string small = payload.substr(0, 200);
    const std::string page = RenderModernPage("<meta charset=windows-1252>", small, {});
    EXPECT_EQ(page.find("new Uint8Array(65536)"), std::string::npos);
    EXPECT_EQ(ReadModernPage(page)->payload, small);
}

TEST(ModernPage, CarriesTitleLanguageDescriptionAndViewport) {
    const std::string original =
        "<!DOCTYPE html><html lang=de-CH><head><!-- <title>not this</title> --><meta charset=utf-8>"
        "<script>document.title='<title>nor this</title>'</script><title>Gr\xC3\xBC\xC3\x9F"
        "e &amp; mehr</title><META NAME=Description CONTENT='Says \"hi\"'><meta name=viewport "
        "content=\"width=device-width, initial-scale=1\"></head><body><title>late</title>" +
        SamplePage(50);
    const std::string page = PageOf(original);
    EXPECT_EQ(page.rfind("<meta charset=utf-8><html lang=de-CH><title>Gr\xC3\xBC\xC3\x9F"
                         "e &amp; mehr</title><meta name=description content='Says \"hi\"'><meta name=viewport "
                         "content=\"width=device-width, initial-scale=1\"><noscript>",
                         0),
              0u)
        << page.substr(0, 300);
    EXPECT_NE(page.find("needs JavaScript"), std::string::npos);
    // Nothing that holds a "<", or a language that is not one, is carried.
    const std::string odd = PageOf("<html lang='x\"><script>'><title>a<b</title><body>" + SamplePage(50));
    EXPECT_EQ(odd.rfind("<noscript>", 0), 0u) << odd.substr(0, 200);
}

TEST(ModernPage, EncryptedPageOpensOnlyWithItsPasswordAndUnchangedData) {
    const std::string original = SamplePage(300) + "<p>The secret sentence of this page.</p>";
    const PageSeal seal{"correct horse", 1000};
    const std::string salt = "0123456789abcdef";
    const std::string iv = "IV-of-twelve";
    const std::string payload = ModernPayload(original, &seal, salt, iv);
    const std::string page = RenderModernPage(original, payload, {true, 1000});
    for (const char* secret : {"secret sentence", "correct horse", "Item 1"}) {
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

TEST(ModernPage, FixedTextStaysSmall) {
    const std::string original = SamplePage(3000);
    const std::string plain = PageOf(original);
    const std::string sealed = RenderModernPage(
        original, ModernPayload(original, nullptr) + std::string(44, 'x'), {true, kDefaultIterations});
    EXPECT_LE(sealed.size(), plain.size() + ModernDecoderSize(true) - ModernDecoderSize(false) + 60);
    EXPECT_NE(sealed.find("iterations:600000,"), std::string::npos);
    // The fixed part of a page decides the size of small pages.
    EXPECT_LE(ModernDecoderSize(false), 815u);
}

TEST(ModernPage, IterationCountsNoWriterUsesAreRefused) {
    const PageSeal seal{"pw", 1000};
    const std::string page = PageOf("x", &seal);
    for (const std::string count : {"0", "100000001", "1000000000000", "99999999999999"}) {
        std::string changed = page;
        changed.replace(page.find("iterations:1000") + 11, 4, count);
        try {
            ReadModernPage(changed);
            ADD_FAILURE() << count << " was taken";
        } catch (const DataError& e) {
            // The count as the page spells it, and nothing after it.
            EXPECT_NE(std::string(e.what()).find("asks for " + count + " key iterations,"), std::string::npos)
                << e.what();
        }
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
    const CompressedPage compressed = CompressPage(SamplePage(100), "p.htm", options_, PageFormat::Modern, host_);
    const auto data = ReadModernPage(compressed.Text);
    ASSERT_TRUE(data.has_value());
    EXPECT_TRUE(data->encrypted);
    EXPECT_EQ(data->iterations, 2000u);
    const std::string password = "s3cret";
    EXPECT_EQ(ExpandModernPage(*data, &password), SamplePage(100));
}

TEST_F(ModernCompressTest, BatchBacksUpSkipsCompressedPagesAndRestoreBringsThemBack) {
    const std::string a = dir_.Path("a.htm");
    const std::string b = dir_.Path("b.html");
    const std::string c = dir_.Path("c.html");
    WriteBytes(a, SamplePage(50));
    WriteBytes(b, "no body at all, " + std::string(3000, 'x'));
    // A page whose modern page would be larger is left as it is, without a backup.
    WriteBytes(c, "<p>Small.</p>");
    BatchSettings settings;
    settings.Format = PageFormat::Modern;
    BatchHost batchHost;
    const RunTally first = RunBatch({{a, true}, {b, true}, {c, true}}, options_, settings, host_, batchHost);
    EXPECT_EQ(first.Written, 2);
    EXPECT_EQ(first.LeftAsItIs, 1);
    EXPECT_EQ(ReadBytes(a + "_backup"), SamplePage(50));
    EXPECT_EQ(ReadBytes(b + "_backup"), "no body at all, " + std::string(3000, 'x'));
    EXPECT_EQ(ReadBytes(c), "<p>Small.</p>");
    EXPECT_FALSE(fs::exists(c + "_backup"));
    EXPECT_NE(std::find_if(host_.lines.begin(), host_.lines.end(),
                           [](const std::string& line) { return line.rfind("Left as it is: ", 0) == 0; }),
              host_.lines.end());
    EXPECT_TRUE(ReadModernPage(ReadBytes(a)).has_value());
    const RunTally second = RunBatch({{a, true}, {b, true}, {c, true}}, options_, settings, host_, batchHost);
    EXPECT_EQ(second.AlreadyCompressed, 2);
    EXPECT_EQ(second.LeftAsItIs, 1);

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
