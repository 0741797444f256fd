// What charset a browser reads a page in, found the way browsers find it: a
// byte order mark first, then a <meta charset> or <meta http-equiv=
// "Content-Type"> declaration; a page with neither that is valid UTF-8 with
// non-ASCII text is taken as UTF-8, as browsers do for pages opened from disk.
// Anything else is read in the browser's default charset.
#pragma once

#include <string>
#include <string_view>

namespace vexel {

struct PageCharset {
    enum class Source {
        Default,   // no declaration: the browser's default (label empty)
        Bom,       // a byte order mark: "utf-8", "utf-16le" or "utf-16be"
        Meta,      // a <meta> declaration, its label as written (trimmed, lower case)
        Detected,  // no declaration, valid UTF-8 with non-ASCII text: "utf-8"
    };
    Source source = Source::Default;
    std::string label;
};

PageCharset DetectCharset(std::string_view page);

// True for the labels of UTF-8, UTF-16 and the multi-byte East Asian charsets
// (GBK, gb18030, Big5, Shift_JIS, EUC-JP, ISO-2022-JP, EUC-KR): charsets in
// which one character may take several bytes.
bool IsMultiByteCharset(std::string_view label);

// True for a label of UTF-16 (little or big endian).
bool IsUtf16Charset(std::string_view label);

bool IsValidUtf8(std::string_view text);
bool HoldsNonAscii(std::string_view text);

}  // namespace vexel
