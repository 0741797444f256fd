#include "engine/page_prepare.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <limits>

#include "engine/charset.h"
#include "engine/errors.h"
#include "platform/ascii.h"

namespace vexel {

const char kPasswordPrefixHead[] =
    "<SCRIPT LANGUAGE=\"JavaScript\"> if (window.prompt(\"Please input page password:\",\"\")!=\"";
const char kNoBodyError[] = "Error  <BODY> No found ! (Break)";
const char kPasswordPrefixTail[] = "\") document.location.href=\"\";</SCRIPT>";

namespace {

constexpr std::size_t kFillerThreshold = 1024;
constexpr std::size_t kFillerSpaces = 1000;
constexpr std::size_t kDashCount = 110;
constexpr char kBodyTag[] = "<BODY";
constexpr char kScriptTag[] = "<SCRIPT";
constexpr char kScriptNotice[] = "Information:    Have some <SCRIPT> in <HEAD></HEAD>.";

// Compares text[at..] with an upper-case ASCII word, ignoring ASCII case only.
bool MatchesWordAt(const std::string& text, std::size_t at, const char* word, std::size_t length) {
    for (std::size_t i = 0; i < length; ++i) {
        if (AsciiUpper(text[at + i]) != word[i]) {
            return false;
        }
    }
    return true;
}

// Bytes the data string cannot carry: the control bytes other than TAB, LF,
// VT, FF and CR, and 127, which both page decoders read back as 126.
bool IsUnsupportedByte(unsigned char b) {
    return b <= 8 || (b >= 14 && b <= 31) || b == 127;
}

bool HoldsScriptTag(const std::string& head) {
    constexpr std::size_t kTagLength = sizeof kScriptTag - 1;
    for (std::size_t at = 0; at + kTagLength <= head.size(); ++at) {
        if (MatchesWordAt(head, at, kScriptTag, kTagLength)) {
            return true;
        }
    }
    return false;
}

}  // namespace

std::string UnsupportedCharWarning(unsigned char byte) {
    char hex[3];
    std::snprintf(hex, sizeof hex, "%02X", byte);
    return std::string("Warnning: No support char [0x") + hex + "]! ";
}

std::string RepeatedCharWarning(unsigned char byte, int64_t more) {
    return UnsupportedCharWarning(byte) + "(" + std::to_string(more) + " more of these)";
}

std::string CharsetWarning(const PageCharset& charset) {
    const char* from = charset.source == PageCharset::Source::Bom    ? "its byte order mark"
                       : charset.source == PageCharset::Source::Meta ? "its <meta> tag"
                                                                     : "its bytes";
    return "Warning: the page is in " + charset.label + " (from " + from +
           "): its non-ASCII text will not survive in this format. The modern page format keeps it.";
}

std::string KeptHighBytesError(const std::string& path, const PageCharset& charset) {
    return "Cannot compress \"" + path + "\" with its high bytes kept: it is in " + charset.label +
           " and its body holds non-ASCII text, whose characters a browser counts otherwise than the data "
           "string's bytes, so the page would come out garbled. The modern page format (--modern) keeps it.";
}

namespace {

// The character of UTF-8 text at `at`, which it steps past; the text is
// valid UTF-8.
uint32_t NextCodePoint(const std::string& text, std::size_t& at) {
    const auto lead = static_cast<unsigned char>(text[at++]);
    const int trail = lead < 0xE0 ? 1 : lead < 0xF0 ? 2 : 3;
    uint32_t code = lead & (0x3F >> trail);
    for (int k = 0; k < trail; ++k)
        code = (code << 6) | (static_cast<unsigned char>(text[at++]) & 0x3F);
    return code;
}

void AppendUnicodeEscape(std::string& out, uint32_t unit) {
    char escape[7];
    std::snprintf(escape, sizeof escape, "\\u%04X", static_cast<unsigned>(unit));
    out += escape;
}

}  // namespace

// The non-ASCII characters of a (UTF-8) password stand as \uXXXX escapes of
// their UTF-16 units, as a script string counts them: the literal is then
// ASCII in any charset of the page, the clean-up of high bytes leaves it
// alone, and it is what the browser's prompt returns when the password is
// typed. Bytes that are not UTF-8 (no front end gives them) stay as they are.
std::string EscapePasswordForScript(const std::string& password) {
    std::string out;
    out.reserve(password.size());
    const bool utf8 = IsValidUtf8(password);
    for (std::size_t i = 0; i < password.size(); ++i) {
        const char ch = password[i];
        const auto c = static_cast<unsigned char>(ch);
        if (c >= 0x80 && utf8) {
            std::size_t at = i;
            const uint32_t code = NextCodePoint(password, at);
            i = at - 1;
            if (code >= 0x10000) {
                AppendUnicodeEscape(out, 0xD800 + ((code - 0x10000) >> 10));
                AppendUnicodeEscape(out, 0xDC00 + ((code - 0x10000) & 0x3FF));
            } else {
                AppendUnicodeEscape(out, code);
            }
            continue;
        }
        switch (c) {
            case '\\': out += "\\\\"; break;
            case '"': out += "\\\""; break;
            case '\r': out += "\\r"; break;
            case '\n': out += "\\n"; break;
            // "</script>" inside the literal would end the prompt script.
            case '<': out += "\\x3C"; break;
            default:
                // Other control bytes and 127 cannot be carried by the data
                // string (1..4 would come back as TAB, LF, CR and quotation
                // mark, 14..31 would be read as back-references).
                if (c < 32 || c == 127) {
                    char hex[5];
                    std::snprintf(hex, sizeof hex, "\\x%02X", c);
                    out += hex;
                } else {
                    out.push_back(ch);
                }
        }
    }
    return out;
}

std::size_t FindBodyTag(const std::string& page) {
    constexpr std::size_t kTagLength = sizeof kBodyTag - 1;
    // A tag that starts in the first four bytes is not seen.
    constexpr std::size_t kFirstStart = 4;
    if (page.size() < kTagLength + 1) {
        return std::string::npos;
    }
    for (std::size_t at = kFirstStart; at + kTagLength <= page.size(); ++at) {
        if (MatchesWordAt(page, at, kBodyTag, kTagLength)) {
            return at;
        }
    }
    return std::string::npos;
}

std::string CollapseBetweenTags(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const char c = text[i++];
        out.push_back(c);
        if (c != '>') {
            continue;
        }
        std::size_t run_end = i;
        while (run_end < text.size() && static_cast<unsigned char>(text[run_end]) <= 32) {
            ++run_end;
        }
        if (run_end < text.size() && text[run_end] == '<') {
            i = run_end;
        }
    }
    return out;
}

namespace {

// The byte warnings of one page: lines until kExactByteWarnings were written,
// then counts by byte, written out as one line each at the end of a pass.
class ByteWarnings {
public:
    explicit ByteWarnings(JobHost& host) : host_(host) {}

    void Add(unsigned char byte) {
        if (written_ < kExactByteWarnings) {
            ++written_;
            host_.AddLogLine(UnsupportedCharWarning(byte));
            host_.ShowErrorIndicator();
        } else {
            ++more_[byte];
        }
    }

    void EndPass() {
        for (std::size_t b = 0; b < more_.size(); ++b) {
            if (more_[b] > 0) {
                host_.AddLogLine(RepeatedCharWarning(static_cast<unsigned char>(b), more_[b]));
                host_.ShowErrorIndicator();
                more_[b] = 0;
            }
        }
    }

private:
    JobHost& host_;
    int written_ = 0;
    std::array<int64_t, 256> more_{};
};

// Control bytes and 127 become spaces, each with a warning.
void FilterUnsupportedBytes(std::string& text, ByteWarnings& warnings) {
    for (char& ch : text) {
        const auto b = static_cast<unsigned char>(ch);
        if (IsUnsupportedByte(b)) {
            warnings.Add(b);
            ch = ' ';
        }
    }
    warnings.EndPass();
}

// Pairs of high bytes become two spaces, each pair with a warning. The second
// byte must be 129 or more, not 128; blanking both keeps pairs from
// overlapping.
bool IsHighBytePair(std::string_view text, std::size_t i) {
    return static_cast<unsigned char>(text[i]) >= 128 && static_cast<unsigned char>(text[i + 1]) >= 129;
}

// True when a pair was blanked.
bool BlankHighBytePairs(std::string& body, ByteWarnings& warnings) {
    bool blanked = false;
    for (std::size_t i = 0; i + 1 < body.size(); ++i) {
        if (IsHighBytePair(body, i)) {
            warnings.Add(static_cast<unsigned char>(body[i]));
            body[i] = ' ';
            body[i + 1] = ' ';
            blanked = true;
        }
    }
    warnings.EndPass();
    return blanked;
}

PreparedPage BreakOff(JobHost& host, PreparedPage page) {
    host.AddLogLine(kNoBodyError);
    host.ShowErrorIndicator();
    page.Prepared = false;
    page.Head.clear();
    page.Input.clear();
    return page;
}

}  // namespace

bool ClassicLosesText(const std::string& source, const JobOptions& options) {
    const std::size_t tag = FindBodyTag(source);
    if (tag == std::string::npos) {
        return false;
    }
    const std::size_t close = source.find('>', tag);
    if (close == std::string::npos) {
        return false;
    }
    const std::string_view body = std::string_view(source).substr(close + 1);
    const PageCharset charset = DetectCharset(source);
    if (!charset.label.empty() && IsMultiByteCharset(charset.label) && HoldsNonAscii(body)) {
        return true;
    }
    if (options.UChar) {
        for (std::size_t i = 0; i + 1 < body.size(); ++i) {
            if (IsHighBytePair(body, i)) {
                return true;
            }
        }
    }
    return false;
}

void LogPageStart(const std::string& path, JobHost& host) {
    host.AddLogLine("");
    host.AddLogLine(std::string(kDashCount, '-'));
    host.AddLogLine("Openfile:" + path);
    host.ProcessMessages();
}

int32_t CharCountOf(std::size_t bytes, const std::string& path) {
    if (bytes > static_cast<std::size_t>(std::numeric_limits<int32_t>::max())) {
        throw IoError("Cannot compress \"" + path + "\": " + std::to_string(bytes) +
                      " bytes; a page must be smaller than 2 GiB");
    }
    return static_cast<int32_t>(bytes);
}

PreparedPage PrepareClassicPage(std::string source,
                                const std::string& path,
                                const JobOptions& options,
                                JobHost& host) {
    PreparedPage prepared;
    prepared.CharCount = CharCountOf(source.size(), path);
    LogPageStart(path, host);

    // The text is filtered in place and copied no more than it must be: with
    // several pages in parallel, each copy counts once per page.
    ByteWarnings warnings(host);
    FilterUnsupportedBytes(source, warnings);
    std::string page;
    if (options.RemoveUnuseful) {
        page = CollapseBetweenTags(source);
        std::string().swap(source);
    } else {
        page = std::move(source);
    }

    const std::size_t tag = FindBodyTag(page);
    if (tag == std::string::npos) {
        return BreakOff(host, std::move(prepared));
    }
    const std::size_t close = page.find('>', tag);
    if (close == std::string::npos) {
        // A body tag that never closes would hold the decoder inside it, where
        // no browser runs it: the page has no body tag to speak of.
        return BreakOff(host, std::move(prepared));
    }
    const std::size_t head_end = close + 1;
    // The charset is read from the page as it stands; the declaration is in
    // the head, the text that suffers from it in the body.
    const PageCharset charset = DetectCharset(page);
    prepared.Head = page.substr(0, head_end);
    page.erase(0, head_end);
    std::string body = std::move(page);

    if (HoldsScriptTag(prepared.Head)) {
        host.AddLogLine(kScriptNotice);
    }
    const bool multiByteText = !charset.label.empty() && IsMultiByteCharset(charset.label) && HoldsNonAscii(body);
    if (multiByteText && !options.UChar) {
        throw FormatError(KeptHighBytesError(path, charset));
    }
    if (multiByteText) {
        host.AddLogLine(CharsetWarning(charset));
        host.ShowErrorIndicator();
        ++prepared.FormatWarnings;
    }

    if (body.size() < kFillerThreshold) {
        body += "<script>";
        body.append(kFillerSpaces, ' ');
        body += "</script>";
    }
    host.SetPagePercentage(0);

    // Text blanked is text lost: the page counts among those with a warning.
    if (options.UChar && BlankHighBytePairs(body, warnings) && !multiByteText) {
        ++prepared.FormatWarnings;
    }

    if (options.password.Enabled) {
        body.insert(0, kPasswordPrefixHead + EscapePasswordForScript(options.password.Text) + kPasswordPrefixTail);
    }
    prepared.Input = std::move(body);
    prepared.Prepared = true;
    return prepared;
}

}  // namespace vexel
