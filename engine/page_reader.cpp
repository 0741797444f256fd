// Reading the data line back out of a JavaScript or VBScript page.
#include "cli/page_decode.h"

#include <cstddef>

namespace vexel::cli {

namespace {

// The script opener each writer puts right after the head, and what must stand
// after the data line: the first bytes of the decoder.
constexpr char kJsOpener[] = "<SCRIPT LANGUAGE=\"JavaScript\">";
constexpr char kVbOpener[] = "<SCRIPT LANGUAGE=\"VBS\"><!--";
constexpr char kJsDecoderStart[] = "l='";
constexpr char kVbDecoderStart[] = "s=\"\"";
constexpr char kDataStart[] = "d=\"";

bool IsLineEnd(char c) {
    return c == '\r' || c == '\n';
}

// Skips one line end of any style; false when none stands at `pos`.
bool SkipLineEnd(const std::string& text, std::size_t& pos) {
    const std::size_t start = pos;
    while (pos < text.size() && IsLineEnd(text[pos]) && pos - start < 2)
        ++pos;
    return pos > start;
}

bool StartsAt(const std::string& text, std::size_t pos, const char* what) {
    return text.compare(pos, std::char_traits<char>::length(what), what) == 0;
}

// The writers double every backslash of the JavaScript data; a lone one means
// the line was not written by them.
bool UndoubleBackslashes(const std::string& doubled, std::string& data) {
    data.clear();
    data.reserve(doubled.size());
    for (std::size_t i = 0; i < doubled.size(); ++i) {
        data.push_back(doubled[i]);
        if (doubled[i] == '\\') {
            if (i + 1 >= doubled.size() || doubled[i + 1] != '\\')
                return false;
            ++i;
        }
    }
    return true;
}

}  // namespace

std::optional<PageData> FindPageData(const std::string& page) {
    // The data string holds no quotation mark, so neither opener can stand in
    // it or after it: the last opener of the page is the writer's, whatever
    // scripts the head holds.
    const std::size_t js = page.rfind(kJsOpener);
    const std::size_t vb = page.rfind(kVbOpener);
    if (js == std::string::npos && vb == std::string::npos)
        return std::nullopt;
    PageData result;
    std::size_t pos;
    if (vb == std::string::npos || (js != std::string::npos && js > vb)) {
        result.script = PageScript::JavaScript;
        pos = js + sizeof kJsOpener - 1;
    } else {
        result.script = PageScript::VbScript;
        pos = vb + sizeof kVbOpener - 1;
    }

    if (!SkipLineEnd(page, pos) || !StartsAt(page, pos, kDataStart))
        return std::nullopt;
    pos += sizeof kDataStart - 1;
    const std::size_t end = page.find('"', pos);
    if (end == std::string::npos)
        return std::nullopt;
    const std::string raw = page.substr(pos, end - pos);
    if (raw.find_first_of("\r\n") != std::string::npos)
        return std::nullopt;
    pos = end + 1;

    if (result.script == PageScript::JavaScript) {
        if (!StartsAt(page, pos, ";"))
            return std::nullopt;
        ++pos;
        if (!SkipLineEnd(page, pos) || !StartsAt(page, pos, kJsDecoderStart))
            return std::nullopt;
        if (!UndoubleBackslashes(raw, result.data))
            return std::nullopt;
    } else {
        if (!SkipLineEnd(page, pos) || !StartsAt(page, pos, kVbDecoderStart))
            return std::nullopt;
        result.data = raw;
    }
    return result;
}

}  // namespace vexel::cli
