#include "engine/preview_text.h"

#include <cstdint>
#include <optional>

#include "engine/charset.h"
#include "engine/data_format.h"
#include "engine/errors.h"
#include "engine/lzma.h"
#include "engine/modern_page.h"
#include "engine/page_format.h"
#include "engine/page_prepare.h"
#include "engine/page_reader.h"
#include "engine/site_file.h"
#include "platform/text_decoder.h"

namespace vexel {

namespace {

constexpr char kReplacement[] = "\xEF\xBF\xBD";

// The length of the well-formed UTF-8 sequence at `at`, or 0.
std::size_t Utf8SequenceAt(std::string_view text, std::size_t at) {
    const auto lead = static_cast<unsigned char>(text[at]);
    std::size_t length = lead < 0x80 ? 1 : lead >= 0xC2 && lead < 0xE0 ? 2 : lead >= 0xE0 && lead < 0xF0 ? 3
                                       : lead >= 0xF0 && lead < 0xF5  ? 4
                                                                      : 0;
    if (length == 0 || at + length > text.size()) {
        return 0;
    }
    return IsValidUtf8(text.substr(at, length)) ? length : 0;
}

std::string DecodeUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size();) {
        const std::size_t length = Utf8SequenceAt(bytes, i);
        if (length == 0) {
            out += kReplacement;
            ++i;
            continue;
        }
        out.append(bytes.substr(i, length));
        i += length;
    }
    return out;
}

std::string DecodeUtf16(std::string_view bytes, bool bigEndian) {
    std::string out;
    auto unit = [&](std::size_t at) -> uint32_t {
        const auto a = static_cast<unsigned char>(bytes[at]);
        const auto b = static_cast<unsigned char>(bytes[at + 1]);
        return bigEndian ? (a << 8 | b) : (b << 8 | a);
    };
    std::size_t i = 0;
    for (; i + 1 < bytes.size(); i += 2) {
        uint32_t code = unit(i);
        if (code >= 0xD800 && code < 0xDC00 && i + 3 < bytes.size() && unit(i + 2) >= 0xDC00 &&
            unit(i + 2) < 0xE000) {
            code = 0x10000 + ((code - 0xD800) << 10) + (unit(i + 2) - 0xDC00);
            i += 2;
        } else if (code >= 0xD800 && code < 0xE000) {
            code = 0xFFFD;
        }
        AppendUtf8(out, code);
    }
    if (i < bytes.size()) {
        out += kReplacement;
    }
    return out;
}

// windows-1252: Latin-1 but for 0x80..0x9F, where five bytes stay C1 controls.
std::string DecodeWindows1252(std::string_view bytes) {
    static constexpr uint16_t kHigh[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    std::string out;
    out.reserve(bytes.size());
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        AppendUtf8(out, b >= 0x80 && b < 0xA0 ? kHigh[b - 0x80] : b);
    }
    return out;
}

// The encoding a browser reads `bytes` in, by its name.
std::string EncodingOf(std::string_view bytes) {
    const PageCharset charset = DetectCharset(bytes);
    if (charset.label.empty()) {
        return "windows-1252";
    }
    const std::string encoding = EncodingForLabel(charset.label);
    return encoding.empty() ? charset.label : encoding;
}

// Where to cut `bytes` at most `limit` bytes in, so that no character of the
// encoding is cut in two (for the multi-byte ones the platform reads, a last
// character cut shows as a mark).
std::size_t CutAt(std::string_view bytes, std::size_t limit, const std::string& encoding) {
    if (bytes.size() <= limit) {
        return bytes.size();
    }
    std::size_t cut = limit;
    if (encoding == "utf-8") {
        for (std::size_t back = 0; back < 3 && cut > 0 && (static_cast<unsigned char>(bytes[cut]) & 0xC0) == 0x80;
             ++back) {
            --cut;
        }
    } else if (IsUtf16Charset(encoding)) {
        cut -= cut % 2;
    }
    return cut;
}

// C0 controls but tab, CR and LF, DEL and C1 controls as visible marks, so
// that an edit control is never handed them.
std::string MarkControls(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x20 && c != '\t' && c != '\r' && c != '\n') {
            AppendUtf8(out, 0x2400 + c);
        } else if (c == 0x7F) {
            AppendUtf8(out, 0x2421);
        } else if (c == 0xC2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) >= 0x80 &&
                   static_cast<unsigned char>(text[i + 1]) < 0xA0) {
            out += kReplacement;
            ++i;
        } else {
            out.push_back(static_cast<char>(c));
        }
    }
    return out;
}

std::string Decode(std::string_view bytes, const std::string& encoding) {
    if (encoding == "utf-8") {
        if (bytes.substr(0, 3) == "\xEF\xBB\xBF") {
            bytes.remove_prefix(3);
        }
        return DecodeUtf8(bytes);
    }
    if (IsUtf16Charset(encoding)) {
        const bool bigEndian = encoding == "utf-16be";
        if (bytes.substr(0, 2) == (bigEndian ? "\xFE\xFF" : "\xFF\xFE")) {
            bytes.remove_prefix(2);
        }
        return DecodeUtf16(bytes, bigEndian);
    }
    if (encoding == "windows-1252") {
        return DecodeWindows1252(bytes);
    }
    if (encoding == "x-user-defined") {
        std::string out;
        for (const char c : bytes) {
            const auto b = static_cast<unsigned char>(c);
            AppendUtf8(out, b < 0x80 ? b : 0xF780 + (b - 0x80));
        }
        return out;
    }
    if (std::optional<std::string> text = platform::DecodeText(encoding, bytes)) {
        return std::move(*text);
    }
    return "[Its charset, " + encoding + ", cannot be read here: shown as windows-1252.]\r\n" +
           DecodeWindows1252(bytes);
}

std::string CodecName(ModernCodec codec) {
    return codec == ModernCodec::Lzma ? "LZMA" : "deflate";
}

std::string Bytes(std::size_t count) {
    return std::to_string(count) + (count == 1 ? " byte" : " bytes");
}

std::string ModernPreview(const std::string& path, const std::string& bytes, ModernPageData data, std::size_t limit) {
    std::string head = "Compressed page: modern, " + CodecName(data.codec);
    if (!data.siteFile.empty()) {
        head += ", of a site sharing " + data.siteFile;
    }
    if (data.encrypted) {
        head += ", encrypted (AES-256-GCM, " + std::to_string(data.iterations) + " key iterations)";
    } else {
        head += ", not encrypted";
    }
    head += "\r\nWritten: " + Bytes(bytes.size()) + "\r\n";
    if (data.encrypted) {
        if (data.expandedSize > 0) {
            head += "Original: " + Bytes(data.expandedSize) + "\r\n";
        }
        return head + "\r\nIts original shows only with its password.\r\n";
    }
    if (data.codec == ModernCodec::Lzma && !HaveLzma()) {
        return head + "\r\nThis build reads no LZMA data: its original cannot be shown.\r\n";
    }
    std::string original;
    try {
        LoadSiteDictionary(path, data);
        original = ExpandModernPage(data, nullptr);
    } catch (const std::exception& e) {
        return head + "\r\nIts original cannot be shown: " + e.what() + "\r\n";
    }
    return head + "Original: " + Bytes(original.size()) + "\r\n\r\n" + ReadableText(original, limit);
}

std::string ClassicPreview(const std::string& bytes, const PageData& found, std::size_t limit) {
    std::string head = std::string("Compressed page: ") + ScriptName(found.format) +
                       ", classic\r\nWritten: " + Bytes(bytes.size()) + "\r\n";
    std::string body;
    try {
        ExpandData(found.data, Literals::Unshift, body);
    } catch (const DataError& e) {
        return head + "\r\nIts data is damaged: " + e.what() + "\r\n";
    }
    // What the browser shows: the head, then what the script writes.
    const std::string original = PageHead(bytes, found) + body;
    head += "Expands to: " + Bytes(original.size()) + "\r\n";
    if (body.compare(0, std::char_traits<char>::length(kPasswordPrefixHead), kPasswordPrefixHead) == 0) {
        head += "It asks for a password before it shows.\r\n";
    }
    return head + "\r\n" + ReadableText(original, limit);
}

}  // namespace

std::string ReadableText(std::string_view bytes, std::size_t limit) {
    const std::string encoding = EncodingOf(bytes);
    const std::size_t cut = CutAt(bytes, limit, encoding);
    std::string text = MarkControls(Decode(bytes.substr(0, cut), encoding));
    if (cut < bytes.size()) {
        text += "\r\n\r\n[The remaining " + Bytes(bytes.size() - cut) + " of " + Bytes(bytes.size()) +
                " are not shown.]\r\n";
    }
    return text;
}

std::string PreviewText(const std::string& path, const std::string& bytes, std::size_t limit) {
    if (bytes.empty()) {
        return "[An empty file.]";
    }
    std::optional<ModernPageData> modern;
    try {
        modern = ReadModernPage(bytes);
    } catch (const DataError& e) {
        return "Compressed page: modern, its data damaged (" + std::string(e.what()) + ")\r\n\r\n" +
               ReadableText(bytes, limit);
    }
    if (modern) {
        return ModernPreview(path, bytes, std::move(*modern), limit);
    }
    if (const std::optional<PageData> classic = FindPageData(bytes)) {
        return ClassicPreview(bytes, *classic, limit);
    }
    return ReadableText(bytes, limit);
}

}  // namespace vexel
