// What the preview shows of a file: a page of ours named and expanded (never
// its carried bytes), any other file as text in its own charset with its
// control characters marked, and never more than a bounded share of either.
#include <gtest/gtest.h>

#include "engine/batch.h"
#include "engine/charset.h"
#include "engine/lzma.h"
#include "engine/preview_text.h"
#include "platform/text_decoder.h"
#include "tests/engine/test_support.h"

namespace vexel {
namespace {

using testing::RandomBytes;
using testing::ReadBytes;
using testing::RecordingJobHost;
using testing::ScratchDir;
using testing::WriteBytes;

// Whether this system converts windows-1251 (a program linked statically
// may find no converter, and then says so in the preview).
bool Converts1251() {
    return platform::DecodeText("windows-1251", "a").has_value();
}

constexpr char kNoConverter[] = "[Its charset, windows-1251, cannot be read here: shown as windows-1252.]\r\n";

// Cyrillic in windows-1251 ("карта"), declared, and rows enough for a
// modern page to be the smaller one.
std::string Original() {
    std::string page =
        "<html><head><meta charset=\"windows-1251\"><title>t</title></head><body>\r\n"
        "<p>\xEA\xE0\xF0\xF2\xE0</p>\r\n";
    for (int i = 0; i < 300; ++i)
        page += "<p>Row " + std::to_string(i * 7) + "</p>\r\n";
    return page + "</body></html>\r\n";
}
constexpr char kCyrillic[] = "\xD0\xBA\xD0\xB0\xD1\x80\xD1\x82\xD0\xB0";  // "карта" in UTF-8

// Nothing an edit control could trip over: UTF-8, no control characters
// but tab and line ends.
void ExpectPlainText(const std::string& text, const std::string& what) {
    EXPECT_TRUE(IsValidUtf8(text)) << what;
    for (const char c : text) {
        const auto b = static_cast<unsigned char>(c);
        EXPECT_TRUE(b >= 0x20 || b == '\t' || b == '\r' || b == '\n') << what << ": control " << int(b);
        if (b < 0x20 && b != '\t' && b != '\r' && b != '\n')
            break;
    }
    EXPECT_EQ(text.find("\xC2\x80"), std::string::npos) << what;
}

TEST(PreviewText, NamesEachKindOfPageOfOursAndShowsItsOriginalUnlessSealed) {
    ScratchDir dir;
    JobOptions kept;  // the classic pages then expand to the original itself
    kept.RemoveUnuseful = false;
    kept.UChar = false;
    const JobOptions deflate = testing::CodecOptions(CodecChoice::Deflate);
    const JobOptions lzma = testing::CodecOptions(CodecChoice::Lzma);
    const JobOptions sealed = testing::CodecOptions(CodecChoice::Deflate, true);
    const struct {
        const char* name;
        PageFormat format;
        JobOptions options;
        const char* header;
        bool shown;
    } kinds[] = {
        {"js.htm", PageFormat::JavaScript, kept, "Compressed page: JavaScript, classic\r\n", true},
        {"vbs.htm", PageFormat::VbScript, kept, "Compressed page: VBScript, classic\r\n", true},
        {"deflate.htm", PageFormat::Modern, deflate, "Compressed page: modern, deflate, not encrypted\r\n", true},
        {"lzma.htm", PageFormat::Modern, lzma, "Compressed page: modern, LZMA, not encrypted\r\n", true},
        {"sealed.htm", PageFormat::Modern, sealed,
         "Compressed page: modern, deflate, encrypted (AES-256-GCM, 1000 key iterations)\r\n", false},
    };
    const std::string original = Original();
    for (const auto& kind : kinds) {
        if (kind.options.Codec == CodecChoice::Lzma && !HaveLzma())
            continue;
        const std::string path = dir.Path(kind.name);
        WriteBytes(path, original);
        BatchSettings settings;
        settings.Format = kind.format;
        RecordingJobHost log;
        BatchHost host;
        ASSERT_EQ(RunBatch({{path, true}}, kind.options, settings, log, host).Written, 1) << kind.name;
        const std::string page = ReadBytes(path);
        const std::string text = PreviewText(path, page);

        ExpectPlainText(text, kind.name);
        EXPECT_EQ(text.rfind(kind.header, 0), 0u) << text.substr(0, 200);
        EXPECT_NE(text.find("Written: " + std::to_string(page.size()) + " bytes\r\n"), std::string::npos) << kind.name;
        if (kind.shown) {
            // The original, decoded from its own charset, ends the preview.
            const std::string expanded = "\r\n\r\n" + ReadableText(original);
            EXPECT_NE(text.find("\r\n" + std::string(kind.format == PageFormat::Modern ? "Original: " : "Expands to: ") +
                                std::to_string(original.size()) + " bytes\r\n"),
                      std::string::npos)
                << text.substr(0, 300);
            EXPECT_EQ(text.substr(text.size() - std::min(text.size(), expanded.size())), expanded) << kind.name;
            EXPECT_NE(text.find(Converts1251() ? kCyrillic : kNoConverter), std::string::npos) << kind.name;
        } else {
            EXPECT_EQ(text.find("Row 7"), std::string::npos);
            EXPECT_NE(text.find("shows only with its password"), std::string::npos) << text;
        }
    }
}

TEST(PreviewText, ShowsAnyOtherFileAsTextInItsCharsetWithControlsMarked) {
    EXPECT_EQ(PreviewText("", ""), "[An empty file.]");
    // No declaration and not UTF-8: windows-1252, as a browser reads it.
    EXPECT_EQ(PreviewText("", "caf\xE9 \x80"), "caf\xC3\xA9 \xE2\x82\xAC");
    EXPECT_EQ(PreviewText("", "<meta charset=\"windows-1251\">\xEA\xE0\xF0\xF2\xE0"),
              Converts1251() ? std::string("<meta charset=\"windows-1251\">") + kCyrillic
                             : std::string(kNoConverter) + "<meta charset=\"windows-1251\">\xC3\xAA\xC3\xA0\xC3\xB0\xC3\xB2\xC3\xA0");
    EXPECT_EQ(PreviewText("", std::string("\xFF\xFE" "a\0\x01\0\r\0\n\0", 10)), "a\xE2\x90\x81\r\n");
    // NUL, the other C0 controls, DEL and C1 as marks; tab and line ends kept.
    EXPECT_EQ(PreviewText("", std::string("a\0b\x1B\tc\x7F\r\nd\xC2\x85", 12)),
              "a\xE2\x90\x80" "b\xE2\x90\x9B\tc\xE2\x90\xA1\r\nd\xEF\xBF\xBD");

    for (unsigned seed : {1u, 2u, 3u}) {
        const std::string text = PreviewText("", RandomBytes(5000, seed));
        ExpectPlainText(text, "seed " + std::to_string(seed));
    }
}

TEST(PreviewText, ShowsOnlyTheFirstBytesAndSaysHowManyAreLeft) {
    // UTF-8 cut at a character's start, never inside it.
    std::string utf8 = "<meta charset=utf-8>";
    while (utf8.size() < 3 * kPreviewBytes)
        utf8 += "Gr\xC3\xBC\xC3\x9F" "e ";
    const std::string text = ReadableText(utf8);
    ExpectPlainText(text, "utf-8");
    EXPECT_LE(text.size(), kPreviewBytes + 100);
    EXPECT_NE(text.find("are not shown.]"), std::string::npos);
    const std::size_t shown = text.find("\r\n\r\n[The remaining ");
    ASSERT_NE(shown, std::string::npos);
    EXPECT_EQ(text.substr(shown), "\r\n\r\n[The remaining " + std::to_string(utf8.size() - shown) + " bytes of " +
                                      std::to_string(utf8.size()) + " bytes are not shown.]\r\n");

    // A large page of ours: its original too.
    ScratchDir dir;
    const std::string path = dir.Path("big.htm");
    std::string big = "<html><head><title>big</title></head><body>\r\n";
    for (int i = 0; big.size() < 4 * kPreviewBytes; ++i)
        big += "<p>Row " + std::to_string(i) + "</p>\r\n";
    WriteBytes(path, big + "</body></html>\r\n");
    BatchSettings modern;
    modern.Format = PageFormat::Modern;
    RecordingJobHost log;
    BatchHost host;
    ASSERT_EQ(RunBatch({{path, true}}, JobOptions{}, modern, log, host).Written, 1);
    const std::string preview = PreviewText(path, ReadBytes(path));
    EXPECT_LE(preview.size(), kPreviewBytes + 300);
    EXPECT_NE(preview.find("<p>Row 0</p>"), std::string::npos);
    EXPECT_NE(preview.find("are not shown.]"), std::string::npos);
}

}  // namespace
}  // namespace vexel
