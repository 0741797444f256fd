// What charset a browser reads a page in, found the way browsers find it: a
// byte order mark first, then the prescan of the first 1024 bytes for a
// <meta charset> or <meta http-equiv=content-type content=...> declaration
// (comments and the attributes of other tags skipped as the HTML parser
// skips them), each label mapped to its encoding by the table browsers share;
// a page with neither that is valid UTF-8 with non-ASCII text is taken as
// UTF-8, as browsers do for pages opened from disk. Anything else is read in
// the browser's default charset.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vexel {

// The bytes a browser looks at for a <meta> declaration.
constexpr std::size_t kPrescanBytes = 1024;

struct PageCharset {
    enum class Source {
        Default,   // no declaration: the browser's default (label empty)
        Bom,       // a byte order mark: "utf-8", "utf-16le" or "utf-16be"
        Meta,      // a <meta> declaration: the name of the encoding its label stands for
        Detected,  // no declaration, valid UTF-8 with non-ASCII text: "utf-8"
        // Browsers differ: the prescan of the first 1024 bytes and a reading of
        // the page as the HTML parser tokenizes it find different declarations
        // (label: the prescan's, else the other's).
        Disputed,
    };
    Source source = Source::Default;
    // The encoding's name in lower case ("windows-1252" for a page that says
    // "latin1", "shift_jis" for "sjis"); empty for the browser's default.
    std::string label;
};

PageCharset DetectCharset(std::string_view page);

// The encoding a label stands for (surrounding whitespace and letter case
// ignored), by its lower-case name; empty for a label browsers do not know.
// The labels of encodings browsers refuse to decode map to "replacement".
std::string EncodingForLabel(std::string_view label);

// Why a page in `charset` cannot be carried by a modern page, or empty when
// it can: the replacement encoding (browsers show such a page as one U+FFFD)
// and ISO-2022-JP, whose escape sequences switch the meaning of the bytes
// that follow and which browsers have read differently from one another and
// from version to version.
std::string RefusedCharsetReason(const PageCharset& charset);

// True for an encoding that maps each byte to one character (windows-1252,
// the ISO-8859 family, KOI8, ...). `holes` then receives the bytes it maps to
// no character (U+FFFD), 256 flags.
bool IsSingleByteEncoding(std::string_view name, bool (*holes)[256] = nullptr);

// True for the labels of UTF-8, UTF-16 and the multi-byte East Asian charsets
// (GBK, gb18030, Big5, Shift_JIS, EUC-JP, ISO-2022-JP, EUC-KR): charsets in
// which one character may take several bytes.
bool IsMultiByteCharset(std::string_view label);

// True for a label of UTF-16 (little or big endian).
bool IsUtf16Charset(std::string_view label);

// One attribute of a tag read as the HTML prescan reads it, from `at` (after
// the tag name); its name in lower case, its value too when `lowerValue`.
// False at the tag's ">" (where `at` is left) or at the end of `bytes`.
bool NextTagAttribute(std::string_view bytes,
                      std::size_t& at,
                      std::string& name,
                      std::string& value,
                      bool lowerValue = true);

bool IsValidUtf8(std::string_view text);
bool HoldsNonAscii(std::string_view text);

// Appends one code point, as UTF-8.
void AppendUtf8(std::string& out, uint32_t code);

}  // namespace vexel
