#include "engine/charset.h"

#include <algorithm>
#include <cstddef>

namespace vexel {

namespace {

// The labels browsers know for each multi-byte charset.
constexpr const char* kUtf8Labels[] = {"unicode-1-1-utf-8", "unicode11utf8", "unicode20utf8", "utf-8", "utf8",
                                       "x-unicode20utf8"};
constexpr const char* kUtf16Labels[] = {"unicodefffe", "utf-16be",    "csunicode", "iso-10646-ucs-2", "ucs-2",
                                        "unicode",     "unicodefeff", "utf-16",    "utf-16le"};
constexpr const char* kEastAsianLabels[] = {
    // GBK and gb18030
    "chinese", "csgb2312", "csiso58gb231280", "gb2312", "gb_2312", "gb_2312-80", "gbk", "iso-ir-58", "x-gbk",
    "gb18030",
    // Big5
    "big5", "big5-hkscs", "cn-big5", "csbig5", "x-x-big5",
    // EUC-JP, ISO-2022-JP, Shift_JIS
    "cseucpkdfmtjapanese", "euc-jp", "x-euc-jp", "csiso2022jp", "iso-2022-jp", "csshiftjis", "ms932",
    "ms_kanji", "shift-jis", "shift_jis", "sjis", "windows-31j", "x-sjis",
    // EUC-KR
    "cseuckr", "csksc56011987", "euc-kr", "iso-ir-149", "korean", "ks_c_5601-1987", "ks_c_5601-1989",
    "ksc5601", "ksc_5601", "windows-949"};

bool IsSpace(unsigned char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\f' || c == '\r';
}

char Lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string LowerTrimmed(std::string_view text) {
    std::size_t start = 0;
    std::size_t end = text.size();
    while (start < end && IsSpace(static_cast<unsigned char>(text[start]))) {
        ++start;
    }
    while (end > start && IsSpace(static_cast<unsigned char>(text[end - 1]))) {
        --end;
    }
    std::string out;
    for (std::size_t i = start; i < end; ++i) {
        out.push_back(Lower(text[i]));
    }
    return out;
}

template <std::size_t N>
bool InList(const char* const (&list)[N], std::string_view label) {
    const std::string key = LowerTrimmed(label);
    return std::any_of(std::begin(list), std::end(list), [&](const char* known) { return key == known; });
}

bool StartsWithIgnoringCase(std::string_view text, std::size_t at, std::string_view word) {
    if (text.size() - at < word.size()) {
        return false;
    }
    for (std::size_t i = 0; i < word.size(); ++i) {
        if (Lower(text[at + i]) != word[i]) {
            return false;
        }
    }
    return true;
}

// The charset named in a Content-Type value ("text/html; charset=utf-8"), as
// the browsers' algorithm for extracting it reads it; empty when none.
std::string CharsetFromContentType(std::string_view content) {
    std::size_t at = 0;
    for (;;) {
        at = std::string_view::npos;
        for (std::size_t i = 0; i + 7 <= content.size(); ++i) {
            if (StartsWithIgnoringCase(content, i, "charset")) {
                at = i + 7;
                break;
            }
        }
        if (at == std::string_view::npos) {
            return {};
        }
        std::size_t i = at;
        while (i < content.size() && IsSpace(static_cast<unsigned char>(content[i]))) {
            ++i;
        }
        if (i >= content.size() || content[i] != '=') {
            content = content.substr(at);
            continue;
        }
        ++i;
        while (i < content.size() && IsSpace(static_cast<unsigned char>(content[i]))) {
            ++i;
        }
        if (i >= content.size()) {
            return {};
        }
        if (content[i] == '"' || content[i] == '\'') {
            const char quote = content[i];
            const std::size_t end = content.find(quote, i + 1);
            if (end == std::string_view::npos) {
                return {};
            }
            return std::string(content.substr(i + 1, end - i - 1));
        }
        std::size_t end = i;
        while (end < content.size() && !IsSpace(static_cast<unsigned char>(content[end])) &&
               content[end] != ';') {
            ++end;
        }
        return std::string(content.substr(i, end - i));
    }
}

// Reads one attribute of a tag at `at` (after the tag name), as the
// browsers' prescan does. False at the end of the tag.
bool NextAttribute(std::string_view page, std::size_t& at, std::string& name, std::string& value) {
    name.clear();
    value.clear();
    while (at < page.size() && (IsSpace(static_cast<unsigned char>(page[at])) || page[at] == '/')) {
        ++at;
    }
    if (at >= page.size() || page[at] == '>') {
        return false;
    }
    // The name, up to "=", whitespace, "/" or ">".
    do {
        name.push_back(Lower(page[at]));
        ++at;
    } while (at < page.size() && page[at] != '=' && page[at] != '/' && page[at] != '>' &&
             !IsSpace(static_cast<unsigned char>(page[at])));
    while (at < page.size() && IsSpace(static_cast<unsigned char>(page[at]))) {
        ++at;
    }
    if (at >= page.size() || page[at] != '=') {
        return true;
    }
    ++at;
    while (at < page.size() && IsSpace(static_cast<unsigned char>(page[at]))) {
        ++at;
    }
    if (at < page.size() && (page[at] == '"' || page[at] == '\'')) {
        const char quote = page[at];
        const std::size_t end = page.find(quote, at + 1);
        const std::size_t stop = end == std::string_view::npos ? page.size() : end;
        value = std::string(page.substr(at + 1, stop - at - 1));
        at = end == std::string_view::npos ? page.size() : end + 1;
        return true;
    }
    while (at < page.size() && page[at] != '>' && !IsSpace(static_cast<unsigned char>(page[at]))) {
        value.push_back(page[at]);
        ++at;
    }
    return true;
}

// The label of the first <meta> that declares a charset, skipping comments;
// empty when none does.
std::string DeclaredCharset(std::string_view page) {
    std::size_t at = 0;
    while ((at = page.find('<', at)) != std::string_view::npos) {
        if (page.compare(at, 4, "<!--") == 0) {
            const std::size_t end = page.find("-->", at + 2);
            if (end == std::string_view::npos) {
                return {};
            }
            at = end + 3;
            continue;
        }
        const bool meta = StartsWithIgnoringCase(page, at + 1, "meta") && at + 5 < page.size() &&
                          (IsSpace(static_cast<unsigned char>(page[at + 5])) || page[at + 5] == '/');
        std::size_t i = at + 1;
        while (i < page.size() && page[i] != '>' && !IsSpace(static_cast<unsigned char>(page[i]))) {
            ++i;
        }
        std::string name;
        std::string value;
        bool contentTypeEquiv = false;
        std::string charset;
        std::string content;
        while (NextAttribute(page, i, name, value)) {
            if (!meta) {
                continue;
            }
            if (name == "http-equiv" && LowerTrimmed(value) == "content-type") {
                contentTypeEquiv = true;
            } else if (name == "charset" && charset.empty()) {
                charset = value.empty() ? " " : value;
            } else if (name == "content" && content.empty()) {
                content = value;
            }
        }
        if (meta) {
            std::string label = LowerTrimmed(charset);
            if (charset.empty() && contentTypeEquiv) {
                label = LowerTrimmed(CharsetFromContentType(content));
            }
            if (!label.empty()) {
                return label;
            }
        }
        at = i < page.size() ? i + 1 : page.size();
    }
    return {};
}

}  // namespace

bool IsValidUtf8(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            ++i;
            continue;
        }
        int trail = 0;
        unsigned char low = 0x80;
        unsigned char high = 0xBF;
        if (c >= 0xC2 && c <= 0xDF) {
            trail = 1;
        } else if (c >= 0xE0 && c <= 0xEF) {
            trail = 2;
            low = c == 0xE0 ? 0xA0 : 0x80;
            high = c == 0xED ? 0x9F : 0xBF;
        } else if (c >= 0xF0 && c <= 0xF4) {
            trail = 3;
            low = c == 0xF0 ? 0x90 : 0x80;
            high = c == 0xF4 ? 0x8F : 0xBF;
        } else {
            return false;
        }
        if (text.size() - i <= static_cast<std::size_t>(trail)) {
            return false;
        }
        for (int k = 1; k <= trail; ++k) {
            const auto t = static_cast<unsigned char>(text[i + k]);
            const unsigned char min = k == 1 ? low : 0x80;
            const unsigned char max = k == 1 ? high : 0xBF;
            if (t < min || t > max) {
                return false;
            }
        }
        i += trail + 1;
    }
    return true;
}

bool HoldsNonAscii(std::string_view text) {
    return std::any_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

bool IsUtf16Charset(std::string_view label) {
    return InList(kUtf16Labels, label);
}

bool IsMultiByteCharset(std::string_view label) {
    return InList(kUtf8Labels, label) || InList(kUtf16Labels, label) || InList(kEastAsianLabels, label);
}

PageCharset DetectCharset(std::string_view page) {
    PageCharset found;
    if (page.substr(0, 3) == "\xEF\xBB\xBF") {
        found.source = PageCharset::Source::Bom;
        found.label = "utf-8";
    } else if (page.substr(0, 2) == "\xFF\xFE") {
        found.source = PageCharset::Source::Bom;
        found.label = "utf-16le";
    } else if (page.substr(0, 2) == "\xFE\xFF") {
        found.source = PageCharset::Source::Bom;
        found.label = "utf-16be";
    } else if (std::string label = DeclaredCharset(page); !label.empty()) {
        found.source = PageCharset::Source::Meta;
        found.label = std::move(label);
    } else if (HoldsNonAscii(page) && IsValidUtf8(page)) {
        found.source = PageCharset::Source::Detected;
        found.label = "utf-8";
    }
    return found;
}

}  // namespace vexel
