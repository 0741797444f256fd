// Reading the data line back out of a JavaScript or VBScript page.
#include "engine/page_reader.h"

#include <string_view>

#include "engine/data_format.h"

namespace vexel {

namespace {

// The script opener each writer puts right after the head, and what must stand
// after the data line: the first bytes of the decoder.
constexpr char kJsOpener[] = "<SCRIPT LANGUAGE=\"JavaScript\">";
constexpr char kVbOpener[] = "<SCRIPT LANGUAGE=\"VBS\"><!--";
constexpr char kJsDecoderStart[] = "l='";
constexpr char kVbDecoderStart[] = "s=\"\"";
constexpr char kDataStart[] = "d=\"";
// How the VBScript literal continues after a "<" that would break the script.
constexpr char kVbJoint[] = " & \"";

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

// The writers double every backslash of the JavaScript data and put one
// after a "<" that would break the script; any other lone one means the line
// was not written by them.
bool UndoubleBackslashes(const std::string& literal, std::string& data) {
    data.clear();
    data.reserve(literal.size());
    for (std::size_t i = 0; i < literal.size(); ++i) {
        if (literal[i] != '\\') {
            data.push_back(literal[i]);
            continue;
        }
        if (i + 1 < literal.size() && literal[i + 1] == '\\') {
            data.push_back('\\');
            ++i;
        } else if (data.empty() || data.back() != '<' || !ScriptBreakFollows(literal, i + 1)) {
            return false;
        }
    }
    return true;
}

bool HoldsScriptBreak(std::string_view text) {
    for (std::size_t at = text.find('<'); at != std::string_view::npos; at = text.find('<', at + 1)) {
        if (BreaksScriptAt(text, at))
            return true;
    }
    return false;
}

}  // namespace

std::optional<PageData> FindPageData(const std::string& page) {
    // The data string holds no quotation mark (the VBScript page's breaks put
    // some in, but never after "="), so neither opener can stand in it or
    // after it: the last opener of the page is the writer's, whatever scripts
    // the head holds.
    const std::size_t js = page.rfind(kJsOpener);
    const std::size_t vb = page.rfind(kVbOpener);
    if (js == std::string::npos && vb == std::string::npos)
        return std::nullopt;
    PageData result;
    std::size_t pos;
    if (vb == std::string::npos || (js != std::string::npos && js > vb)) {
        result.format = PageFormat::JavaScript;
        result.scriptStart = js;
        pos = js + sizeof kJsOpener - 1;
    } else {
        result.format = PageFormat::VbScript;
        result.scriptStart = vb;
        pos = vb + sizeof kVbOpener - 1;
    }

    if (!SkipLineEnd(page, pos) || !StartsAt(page, pos, kDataStart))
        return std::nullopt;
    pos += sizeof kDataStart - 1;
    const std::size_t literalStart = pos;
    std::string raw;
    for (;;) {
        const std::size_t end = page.find('"', pos);
        if (end == std::string::npos)
            return std::nullopt;
        raw.append(page, pos, end - pos);
        pos = end + 1;
        const std::size_t next = pos + sizeof kVbJoint - 1;
        if (result.format == PageFormat::VbScript && StartsAt(page, pos, kVbJoint) && !raw.empty() &&
            raw.back() == '<' && ScriptBreakFollows(page, next)) {
            pos = next;
            continue;
        }
        break;
    }
    if (raw.find_first_of("\r\n") != std::string::npos)
        return std::nullopt;
    result.breaksInBrowser =
        HoldsScriptBreak(std::string_view(page).substr(literalStart, pos - 1 - literalStart));

    if (result.format == PageFormat::JavaScript) {
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
        result.data = std::move(raw);
    }
    return result;
}

std::string PageHead(const std::string& page, const PageData& found) {
    std::size_t end = found.scriptStart;
    if (end > 0 && page[end - 1] == '\n') {
        --end;
    }
    if (end > 0 && page[end - 1] == '\r') {
        --end;
    }
    return page.substr(0, end);
}

}  // namespace vexel
