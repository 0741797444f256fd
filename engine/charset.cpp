#include "engine/charset.h"

#include <algorithm>
#include <cstddef>
#include <optional>
#include <vector>

#include "platform/ascii.h"

namespace vexel {

namespace {

// The labels browsers know, each with the encoding it stands for.
struct Label {
    const char* label;
    const char* encoding;
};

constexpr Label kLabels[] = {
    {"unicode-1-1-utf-8", "utf-8"}, {"unicode11utf8", "utf-8"}, {"unicode20utf8", "utf-8"}, {"utf-8", "utf-8"},
    {"utf8", "utf-8"}, {"x-unicode20utf8", "utf-8"},
    {"866", "ibm866"}, {"cp866", "ibm866"}, {"csibm866", "ibm866"}, {"ibm866", "ibm866"},
    {"csisolatin2", "iso-8859-2"}, {"iso-8859-2", "iso-8859-2"}, {"iso-ir-101", "iso-8859-2"},
    {"iso8859-2", "iso-8859-2"}, {"iso88592", "iso-8859-2"}, {"iso_8859-2", "iso-8859-2"},
    {"iso_8859-2:1987", "iso-8859-2"}, {"l2", "iso-8859-2"}, {"latin2", "iso-8859-2"},
    {"csisolatin3", "iso-8859-3"}, {"iso-8859-3", "iso-8859-3"}, {"iso-ir-109", "iso-8859-3"},
    {"iso8859-3", "iso-8859-3"}, {"iso88593", "iso-8859-3"}, {"iso_8859-3", "iso-8859-3"},
    {"iso_8859-3:1988", "iso-8859-3"}, {"l3", "iso-8859-3"}, {"latin3", "iso-8859-3"},
    {"csisolatin4", "iso-8859-4"}, {"iso-8859-4", "iso-8859-4"}, {"iso-ir-110", "iso-8859-4"},
    {"iso8859-4", "iso-8859-4"}, {"iso88594", "iso-8859-4"}, {"iso_8859-4", "iso-8859-4"},
    {"iso_8859-4:1988", "iso-8859-4"}, {"l4", "iso-8859-4"}, {"latin4", "iso-8859-4"},
    {"csisolatincyrillic", "iso-8859-5"}, {"cyrillic", "iso-8859-5"}, {"iso-8859-5", "iso-8859-5"},
    {"iso-ir-144", "iso-8859-5"}, {"iso8859-5", "iso-8859-5"}, {"iso88595", "iso-8859-5"},
    {"iso_8859-5", "iso-8859-5"}, {"iso_8859-5:1988", "iso-8859-5"},
    {"arabic", "iso-8859-6"}, {"asmo-708", "iso-8859-6"}, {"csiso88596e", "iso-8859-6"},
    {"csiso88596i", "iso-8859-6"}, {"csisolatinarabic", "iso-8859-6"}, {"ecma-114", "iso-8859-6"},
    {"iso-8859-6", "iso-8859-6"}, {"iso-8859-6-e", "iso-8859-6"}, {"iso-8859-6-i", "iso-8859-6"},
    {"iso-ir-127", "iso-8859-6"}, {"iso8859-6", "iso-8859-6"}, {"iso88596", "iso-8859-6"},
    {"iso_8859-6", "iso-8859-6"}, {"iso_8859-6:1987", "iso-8859-6"},
    {"csisolatingreek", "iso-8859-7"}, {"ecma-118", "iso-8859-7"}, {"elot_928", "iso-8859-7"},
    {"greek", "iso-8859-7"}, {"greek8", "iso-8859-7"}, {"iso-8859-7", "iso-8859-7"}, {"iso-ir-126", "iso-8859-7"},
    {"iso8859-7", "iso-8859-7"}, {"iso88597", "iso-8859-7"}, {"iso_8859-7", "iso-8859-7"},
    {"iso_8859-7:1987", "iso-8859-7"}, {"sun_eu_greek", "iso-8859-7"},
    {"csiso88598e", "iso-8859-8"}, {"csisolatinhebrew", "iso-8859-8"}, {"hebrew", "iso-8859-8"},
    {"iso-8859-8", "iso-8859-8"}, {"iso-8859-8-e", "iso-8859-8"}, {"iso-ir-138", "iso-8859-8"},
    {"iso8859-8", "iso-8859-8"}, {"iso88598", "iso-8859-8"}, {"iso_8859-8", "iso-8859-8"},
    {"iso_8859-8:1988", "iso-8859-8"}, {"visual", "iso-8859-8"},
    {"csiso88598i", "iso-8859-8-i"}, {"iso-8859-8-i", "iso-8859-8-i"}, {"logical", "iso-8859-8-i"},
    {"csisolatin6", "iso-8859-10"}, {"iso-8859-10", "iso-8859-10"}, {"iso-ir-157", "iso-8859-10"},
    {"iso8859-10", "iso-8859-10"}, {"iso885910", "iso-8859-10"}, {"l6", "iso-8859-10"}, {"latin6", "iso-8859-10"},
    {"iso-8859-13", "iso-8859-13"}, {"iso8859-13", "iso-8859-13"}, {"iso885913", "iso-8859-13"},
    {"iso-8859-14", "iso-8859-14"}, {"iso8859-14", "iso-8859-14"}, {"iso885914", "iso-8859-14"},
    {"csisolatin9", "iso-8859-15"}, {"iso-8859-15", "iso-8859-15"}, {"iso8859-15", "iso-8859-15"},
    {"iso885915", "iso-8859-15"}, {"iso_8859-15", "iso-8859-15"}, {"l9", "iso-8859-15"},
    {"iso-8859-16", "iso-8859-16"},
    {"cskoi8r", "koi8-r"}, {"koi", "koi8-r"}, {"koi8", "koi8-r"}, {"koi8-r", "koi8-r"}, {"koi8_r", "koi8-r"},
    {"koi8-ru", "koi8-u"}, {"koi8-u", "koi8-u"},
    {"csmacintosh", "macintosh"}, {"mac", "macintosh"}, {"macintosh", "macintosh"}, {"x-mac-roman", "macintosh"},
    {"dos-874", "windows-874"}, {"iso-8859-11", "windows-874"}, {"iso8859-11", "windows-874"},
    {"iso885911", "windows-874"}, {"tis-620", "windows-874"}, {"windows-874", "windows-874"},
    {"cp1250", "windows-1250"}, {"windows-1250", "windows-1250"}, {"x-cp1250", "windows-1250"},
    {"cp1251", "windows-1251"}, {"windows-1251", "windows-1251"}, {"x-cp1251", "windows-1251"},
    {"ansi_x3.4-1968", "windows-1252"}, {"ascii", "windows-1252"}, {"cp1252", "windows-1252"},
    {"cp819", "windows-1252"}, {"csisolatin1", "windows-1252"}, {"ibm819", "windows-1252"},
    {"iso-8859-1", "windows-1252"}, {"iso-ir-100", "windows-1252"}, {"iso8859-1", "windows-1252"},
    {"iso88591", "windows-1252"}, {"iso_8859-1", "windows-1252"}, {"iso_8859-1:1987", "windows-1252"},
    {"l1", "windows-1252"}, {"latin1", "windows-1252"}, {"us-ascii", "windows-1252"},
    {"windows-1252", "windows-1252"}, {"x-cp1252", "windows-1252"},
    {"cp1253", "windows-1253"}, {"windows-1253", "windows-1253"}, {"x-cp1253", "windows-1253"},
    {"cp1254", "windows-1254"}, {"csisolatin5", "windows-1254"}, {"iso-8859-9", "windows-1254"},
    {"iso-ir-148", "windows-1254"}, {"iso8859-9", "windows-1254"}, {"iso88599", "windows-1254"},
    {"iso_8859-9", "windows-1254"}, {"iso_8859-9:1989", "windows-1254"}, {"l5", "windows-1254"},
    {"latin5", "windows-1254"}, {"windows-1254", "windows-1254"}, {"x-cp1254", "windows-1254"},
    {"cp1255", "windows-1255"}, {"windows-1255", "windows-1255"}, {"x-cp1255", "windows-1255"},
    {"cp1256", "windows-1256"}, {"windows-1256", "windows-1256"}, {"x-cp1256", "windows-1256"},
    {"cp1257", "windows-1257"}, {"windows-1257", "windows-1257"}, {"x-cp1257", "windows-1257"},
    {"cp1258", "windows-1258"}, {"windows-1258", "windows-1258"}, {"x-cp1258", "windows-1258"},
    {"x-mac-cyrillic", "x-mac-cyrillic"}, {"x-mac-ukrainian", "x-mac-cyrillic"},
    {"chinese", "gbk"}, {"csgb2312", "gbk"}, {"csiso58gb231280", "gbk"}, {"gb2312", "gbk"}, {"gb_2312", "gbk"},
    {"gb_2312-80", "gbk"}, {"gbk", "gbk"}, {"iso-ir-58", "gbk"}, {"x-gbk", "gbk"},
    {"gb18030", "gb18030"},
    {"big5", "big5"}, {"big5-hkscs", "big5"}, {"cn-big5", "big5"}, {"csbig5", "big5"}, {"x-x-big5", "big5"},
    {"cseucpkdfmtjapanese", "euc-jp"}, {"euc-jp", "euc-jp"}, {"x-euc-jp", "euc-jp"},
    {"csiso2022jp", "iso-2022-jp"}, {"iso-2022-jp", "iso-2022-jp"},
    {"csshiftjis", "shift_jis"}, {"ms932", "shift_jis"}, {"ms_kanji", "shift_jis"}, {"shift-jis", "shift_jis"},
    {"shift_jis", "shift_jis"}, {"sjis", "shift_jis"}, {"windows-31j", "shift_jis"}, {"x-sjis", "shift_jis"},
    {"cseuckr", "euc-kr"}, {"csksc56011987", "euc-kr"}, {"euc-kr", "euc-kr"}, {"iso-ir-149", "euc-kr"},
    {"korean", "euc-kr"}, {"ks_c_5601-1987", "euc-kr"}, {"ks_c_5601-1989", "euc-kr"}, {"ksc5601", "euc-kr"},
    {"ksc_5601", "euc-kr"}, {"windows-949", "euc-kr"},
    {"csiso2022kr", "replacement"}, {"hz-gb-2312", "replacement"}, {"iso-2022-cn", "replacement"},
    {"iso-2022-cn-ext", "replacement"}, {"iso-2022-kr", "replacement"}, {"replacement", "replacement"},
    {"unicodefffe", "utf-16be"}, {"utf-16be", "utf-16be"},
    {"csunicode", "utf-16le"}, {"iso-10646-ucs-2", "utf-16le"}, {"ucs-2", "utf-16le"}, {"unicode", "utf-16le"},
    {"unicodefeff", "utf-16le"}, {"utf-16", "utf-16le"}, {"utf-16le", "utf-16le"},
    {"x-user-defined", "x-user-defined"},
};

// The single-byte encodings with the bytes each maps to no character. Where
// the tables of browsers have differed, the byte counts as a hole.
struct SingleByte {
    const char* encoding;
    const char* holes;  // byte values
};

constexpr SingleByte kSingleByte[] = {
    {"ibm866", ""},
    {"iso-8859-2", ""},
    {"iso-8859-3", "\xA5\xAE\xBE\xC3\xD0\xE3\xF0"},
    {"iso-8859-4", ""},
    {"iso-8859-5", ""},
    {"iso-8859-6",
     "\xA1\xA2\xA3\xA5\xA6\xA7\xA8\xA9\xAA\xAB\xAE\xAF\xB0\xB1\xB2\xB3\xB4\xB5\xB6\xB7\xB8\xB9\xBA\xBC\xBD\xBE\xC0"
     "\xDB\xDC\xDD\xDE\xDF\xF3\xF4\xF5\xF6\xF7\xF8\xF9\xFA\xFB\xFC\xFD\xFE\xFF"},
    {"iso-8859-7", "\xAE\xD2\xFF"},
    {"iso-8859-8",
     "\xA1\xBF\xC0\xC1\xC2\xC3\xC4\xC5\xC6\xC7\xC8\xC9\xCA\xCB\xCC\xCD\xCE\xCF\xD0\xD1\xD2\xD3\xD4\xD5\xD6\xD7\xD8"
     "\xD9\xDA\xDB\xDC\xDD\xDE\xFB\xFC\xFF"},
    {"iso-8859-8-i",
     "\xA1\xBF\xC0\xC1\xC2\xC3\xC4\xC5\xC6\xC7\xC8\xC9\xCA\xCB\xCC\xCD\xCE\xCF\xD0\xD1\xD2\xD3\xD4\xD5\xD6\xD7\xD8"
     "\xD9\xDA\xDB\xDC\xDD\xDE\xFB\xFC\xFF"},
    {"iso-8859-10", ""},
    {"iso-8859-13", ""},
    {"iso-8859-14", ""},
    {"iso-8859-15", ""},
    {"iso-8859-16", ""},
    {"koi8-r", ""},
    {"koi8-u", ""},
    {"macintosh", ""},
    {"windows-874", "\xDB\xDC\xDD\xDE\xFC\xFD\xFE\xFF"},
    {"windows-1250", ""},
    {"windows-1251", ""},
    {"windows-1252", ""},
    {"windows-1253", "\xAA\xD2\xFF"},
    {"windows-1254", ""},
    {"windows-1255", "\xCA\xD9\xDA\xDB\xDC\xDD\xDE\xDF\xFB\xFC\xFF"},
    {"windows-1256", ""},
    {"windows-1257", "\xA1\xA5"},
    {"windows-1258", ""},
    {"x-mac-cyrillic", ""},
};

std::string LowerTrimmed(std::string_view text) {
    std::size_t start = 0;
    std::size_t end = text.size();
    while (start < end && IsAsciiWhitespace(text[start])) {
        ++start;
    }
    while (end > start && IsAsciiWhitespace(text[end - 1])) {
        --end;
    }
    std::string out;
    for (std::size_t i = start; i < end; ++i) {
        out.push_back(AsciiLower(text[i]));
    }
    return out;
}

// The prescan runs out of bytes: it finds nothing.
struct OutOfBytes {};

// The prescan's reading of one attribute of a tag at `at`: name and value in
// lower case. Nothing at the tag's ">" (which `at` is left on).
class AttributeReader {
public:
    explicit AttributeReader(std::string_view bytes, bool lowerValue = true)
        : bytes_(bytes), lowerValue_(lowerValue) {}

    unsigned char At(std::size_t at) const {
        if (at >= bytes_.size()) {
            throw OutOfBytes{};
        }
        return static_cast<unsigned char>(bytes_[at]);
    }

    bool Next(std::size_t& at, std::string& name, std::string& value) const {
        name.clear();
        value.clear();
        while (IsAsciiWhitespace(At(at)) || At(at) == '/') {
            ++at;
        }
        if (At(at) == '>') {
            return false;
        }
        for (;; ++at) {
            const unsigned char c = At(at);
            if (c == '=' && !name.empty()) {
                ++at;
                return ReadValue(at, value);
            }
            if (IsAsciiWhitespace(c)) {
                break;
            }
            if (c == '/' || c == '>') {
                return true;
            }
            name.push_back(AsciiLower(static_cast<char>(c)));
        }
        while (IsAsciiWhitespace(At(at))) {
            ++at;
        }
        if (At(at) != '=') {
            return true;
        }
        ++at;
        return ReadValue(at, value);
    }

private:
    bool ReadValue(std::size_t& at, std::string& value) const {
        while (IsAsciiWhitespace(At(at))) {
            ++at;
        }
        const unsigned char first = At(at);
        if (first == '"' || first == '\'') {
            for (++at; At(at) != first; ++at) {
                value.push_back(Value(At(at)));
            }
            ++at;
            return true;
        }
        if (first == '>') {
            return true;
        }
        for (; !IsAsciiWhitespace(At(at)) && At(at) != '>'; ++at) {
            value.push_back(Value(At(at)));
        }
        return true;
    }

    char Value(unsigned char c) const { return lowerValue_ ? AsciiLower(static_cast<char>(c)) : static_cast<char>(c); }

    std::string_view bytes_;
    bool lowerValue_;
};

// The encoding named in a Content-Type value ("text/html; charset=utf-8"),
// as the browsers' algorithm for extracting it reads it; nothing when none.
std::optional<std::string> CharsetFromContent(std::string_view content) {
    std::size_t from = 0;
    for (;;) {
        std::size_t at = std::string_view::npos;
        for (std::size_t i = from; i + 7 <= content.size(); ++i) {
            if (StartsWithIgnoringAsciiCase(content, i, "charset")) {
                at = i + 7;
                break;
            }
        }
        if (at == std::string_view::npos) {
            return std::nullopt;
        }
        while (at < content.size() && IsAsciiWhitespace(content[at])) {
            ++at;
        }
        if (at >= content.size() || content[at] != '=') {
            from = at;
            continue;
        }
        ++at;
        while (at < content.size() && IsAsciiWhitespace(content[at])) {
            ++at;
        }
        if (at >= content.size()) {
            return std::nullopt;
        }
        if (content[at] == '"' || content[at] == '\'') {
            const std::size_t end = content.find(content[at], at + 1);
            if (end == std::string_view::npos) {
                return std::nullopt;
            }
            return EncodingForLabel(content.substr(at + 1, end - at - 1));
        }
        std::size_t end = at;
        while (end < content.size() && !IsAsciiWhitespace(content[end]) && content[end] != ';') {
            ++end;
        }
        return EncodingForLabel(content.substr(at, end - at));
    }
}

// What one <meta> tag declares, its attributes read from `at`: the encoding,
// or nothing. Attributes after the first of the same name are ignored.
std::optional<std::string> MetaDeclaration(const AttributeReader& reader, std::size_t& at) {
    std::vector<std::string> seen;
    bool gotPragma = false;
    std::optional<bool> needPragma;
    std::optional<std::string> charset;  // "" for a label browsers do not know
    std::string name;
    std::string value;
    while (reader.Next(at, name, value)) {
        if (std::find(seen.begin(), seen.end(), name) != seen.end()) {
            continue;
        }
        seen.push_back(name);
        if (name == "http-equiv") {
            gotPragma = gotPragma || value == "content-type";
        } else if (name == "content") {
            if (!charset) {
                if (std::optional<std::string> found = CharsetFromContent(value)) {
                    charset = std::move(found);
                    needPragma = true;
                }
            }
        } else if (name == "charset") {
            charset = EncodingForLabel(value);
            needPragma = false;
        }
    }
    if (!needPragma || (*needPragma && !gotPragma) || !charset || charset->empty()) {
        return std::nullopt;
    }
    if (*charset == "utf-16le" || *charset == "utf-16be") {
        return std::string("utf-8");
    }
    if (*charset == "x-user-defined") {
        return std::string("windows-1252");
    }
    return charset;
}

std::string Prescan(std::string_view bytes) {
    const AttributeReader reader(bytes);
    std::string name;
    std::string value;
    try {
        for (std::size_t at = 0; at < bytes.size(); ++at) {
            if (bytes[at] != '<') {
                continue;
            }
            if (bytes.compare(at, 4, "<!--") == 0) {
                // To the first "-->" whose ">" comes after the "<!".
                const std::size_t end = bytes.find("-->", at + 2);
                if (end == std::string_view::npos) {
                    return {};
                }
                at = end + 2;
            } else if (StartsWithIgnoringAsciiCase(bytes, at + 1, "meta") && at + 5 < bytes.size() &&
                       (IsAsciiWhitespace(bytes[at + 5]) || bytes[at + 5] == '/')) {
                std::size_t i = at + 5;
                if (std::optional<std::string> found = MetaDeclaration(reader, i)) {
                    return *found;
                }
                at = i;
            } else if (at + 1 < bytes.size() &&
                       (IsAsciiLetter(bytes[at + 1]) ||
                        (bytes[at + 1] == '/' && at + 2 < bytes.size() && IsAsciiLetter(bytes[at + 2])))) {
                std::size_t i = at + 1;
                while (!IsAsciiWhitespace(reader.At(i)) && reader.At(i) != '>') {
                    ++i;
                }
                while (reader.Next(i, name, value)) {
                }
                at = i;
            } else if (at + 1 < bytes.size() && (bytes[at + 1] == '!' || bytes[at + 1] == '/' || bytes[at + 1] == '?')) {
                const std::size_t end = bytes.find('>', at + 1);
                if (end == std::string_view::npos) {
                    return {};
                }
                at = end;
            }
        }
    } catch (const OutOfBytes&) {
    }
    return {};
}


std::string TagName(std::string_view bytes, std::size_t at, std::size_t& end) {
    std::string name;
    end = at;
    while (end < bytes.size() && !IsAsciiWhitespace(bytes[end]) && bytes[end] != '>' &&
           bytes[end] != '/') {
        name.push_back(AsciiLower(bytes[end]));
        ++end;
    }
    return name;
}

// The other reading browsers give a page: its tags as their HTML parser
// tokenizes them, so that the text of a <script>, <style>, <title> or
// <textarea> holds no tags, and beyond the first 1024 bytes for as long as
// only tags that belong in a head have come.
std::string HeadScan(std::string_view bytes) {
    static const char* const kRawText[] = {"script", "style", "title", "textarea", "xmp", "iframe",
                                           "noembed", "noframes", "noscript", "plaintext"};
    static const char* const kHeadTags[] = {"html", "head", "script", "noscript", "style",
                                            "link", "meta", "object", "title", "base"};
    const AttributeReader reader(bytes);
    std::string name;
    std::string value;
    bool inHead = true;
    try {
        for (std::size_t at = 0; at < bytes.size() && (inHead || at < kPrescanBytes); ++at) {
            if (bytes[at] != '<') {
                continue;
            }
            if (bytes.compare(at, 4, "<!--") == 0) {
                const std::size_t end = bytes.find("-->", at + 2);
                if (end == std::string_view::npos) {
                    return {};
                }
                at = end + 2;
                continue;
            }
            if (at + 1 >= bytes.size()) {
                break;
            }
            if (IsAsciiLetter(bytes[at + 1])) {
                std::size_t i = 0;
                const std::string tag = TagName(bytes, at + 1, i);
                if (tag == "meta") {
                    if (std::optional<std::string> found = MetaDeclaration(reader, i)) {
                        return *found;
                    }
                } else {
                    while (reader.Next(i, name, value)) {
                    }
                }
                at = i;
                if (std::find(std::begin(kHeadTags), std::end(kHeadTags), tag) == std::end(kHeadTags)) {
                    inHead = false;
                }
                if (std::find(std::begin(kRawText), std::end(kRawText), tag) != std::end(kRawText)) {
                    if (tag == "plaintext") {
                        return {};
                    }
                    for (std::size_t close = bytes.find("</", at); ; close = bytes.find("</", close + 2)) {
                        if (close == std::string_view::npos) {
                            return {};
                        }
                        std::size_t after = 0;
                        if (TagName(bytes, close + 2, after) == tag) {
                            at = close;
                            break;
                        }
                    }
                }
            } else if (bytes[at + 1] == '!' || bytes[at + 1] == '/' || bytes[at + 1] == '?') {
                const std::size_t end = bytes.find('>', at + 1);
                if (end == std::string_view::npos) {
                    return {};
                }
                at = end;
            }
        }
    } catch (const OutOfBytes&) {
    }
    return {};
}

}  // namespace

std::string EncodingForLabel(std::string_view label) {
    const std::string key = LowerTrimmed(label);
    for (const Label& known : kLabels) {
        if (key == known.label) {
            return known.encoding;
        }
    }
    return {};
}

std::string RefusedCharsetReason(const PageCharset& charset) {
    if (charset.source == PageCharset::Source::Disputed) {
        return "browsers read its charset declaration differently (one inside a script, style, title or "
               "textarea, or after the first 1024 bytes of a long head): no page can be sure to show the same "
               "text as the original in all of them";
    }
    if (charset.label == "replacement") {
        return "its charset is one browsers refuse to read (they show the whole page as one replacement "
               "character)";
    }
    if (charset.label == "iso-2022-jp") {
        return "it is in iso-2022-jp, whose escape sequences change the meaning of the bytes after them and "
               "which browsers have read differently, so a page in it can show one text here and run "
               "another there";
    }
    return {};
}

bool IsSingleByteEncoding(std::string_view name, bool (*holes)[256]) {
    for (const SingleByte& known : kSingleByte) {
        if (name == known.encoding) {
            if (holes != nullptr) {
                std::fill(std::begin(*holes), std::end(*holes), false);
                for (const char* hole = known.holes; *hole != '\0'; ++hole) {
                    (*holes)[static_cast<unsigned char>(*hole)] = true;
                }
            }
            return true;
        }
    }
    return false;
}

bool NextTagAttribute(std::string_view bytes,
                      std::size_t& at,
                      std::string& name,
                      std::string& value,
                      bool lowerValue) {
    try {
        return AttributeReader(bytes, lowerValue).Next(at, name, value);
    } catch (const OutOfBytes&) {
        at = bytes.size();
        return false;
    }
}

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
    return std::any_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

bool IsUtf16Charset(std::string_view label) {
    const std::string encoding = EncodingForLabel(label);
    return encoding == "utf-16le" || encoding == "utf-16be";
}

bool IsMultiByteCharset(std::string_view label) {
    const std::string encoding = EncodingForLabel(label);
    return !encoding.empty() && encoding != "replacement" && encoding != "x-user-defined" &&
           !IsSingleByteEncoding(encoding);
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
    } else if (std::string encoding = Prescan(page.substr(0, kPrescanBytes)); encoding != HeadScan(page)) {
        found.source = PageCharset::Source::Disputed;
        found.label = encoding.empty() ? HeadScan(page) : encoding;
    } else if (!encoding.empty()) {
        found.source = PageCharset::Source::Meta;
        found.label = std::move(encoding);
    } else if (HoldsNonAscii(page) && IsValidUtf8(page)) {
        found.source = PageCharset::Source::Detected;
        found.label = "utf-8";
    }
    return found;
}

void AppendUtf8(std::string& out, uint32_t code) {
    if (code < 0x80) {
        out.push_back(static_cast<char>(code));
    } else if (code < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (code >> 6)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else if (code < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (code >> 12)));
        out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (code >> 18)));
        out.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    }
}

}  // namespace vexel
