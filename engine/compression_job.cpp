#include "engine/compression_job.h"

#include <algorithm>
#include <cstdio>

#include "engine/data_format.h"
#include "engine/encoder.h"
#include "engine/errors.h"
#include "engine/file_io.h"

namespace vexel {

const char kPasswordPrefixHead[] =
    "<SCRIPT LANGUAGE=\"JavaScript\"> if (window.prompt(\"Please input page password:\",\"\")!=\"";
const char kPasswordPrefixTail[] = "\") document.location.href=\"\";</SCRIPT>";

namespace {

constexpr std::size_t kFillerThreshold = 1024;
constexpr std::size_t kFillerSpaces = 1000;
constexpr std::size_t kDashCount = 110;
constexpr char kBodyTag[] = "<BODY";
constexpr char kScriptTag[] = "<SCRIPT";
constexpr char kNoBodyError[] = "Error  <BODY> No found ! (Break)";
constexpr char kScriptNotice[] = "Information:    Have some <SCRIPT> in <HEAD></HEAD>.";

unsigned char Upper(unsigned char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<unsigned char>(c - 'a' + 'A') : c;
}

// Compares text[at..] with an upper-case ASCII word, ignoring ASCII case only.
bool MatchesWordAt(const std::string& text, std::size_t at, const char* word, std::size_t length) {
    for (std::size_t i = 0; i < length; ++i) {
        if (Upper(static_cast<unsigned char>(text[at + i])) != static_cast<unsigned char>(word[i])) {
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

uint8_t PercentOf(int64_t position, int64_t base) {
    const int64_t percent = base > 0 ? position * 100 / base : 100;
    return static_cast<uint8_t>(std::clamp<int64_t>(percent, 0, 100));
}

}  // namespace

bool NamesNoFile(const std::string& path) {
    return path.empty();
}

std::string UnsupportedCharWarning(unsigned char byte) {
    char hex[3];
    std::snprintf(hex, sizeof hex, "%02X", byte);
    return std::string("Warnning: No support char [0x") + hex + "]! ";
}

std::string SlowPageWarning(std::size_t bytes) {
    return "Warning: " + std::to_string(bytes) +
           " bytes of data: browsers take a long time (up to minutes) to open a JavaScript page with more "
           "than "
           "256 KB of data. The modern page format opens at once.";
}

std::string CharsetWarning(const PageCharset& charset) {
    const char* from = charset.source == PageCharset::Source::Bom    ? "its byte order mark"
                       : charset.source == PageCharset::Source::Meta ? "its <meta> tag"
                                                                     : "its bytes";
    return "Warning: the page is in " + charset.label + " (from " + from +
           "): its non-ASCII text will not survive in this format. The modern page format keeps it.";
}

std::string EscapePasswordForScript(const std::string& password) {
    std::string out;
    out.reserve(password.size());
    for (const char ch : password) {
        const auto c = static_cast<unsigned char>(ch);
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

void CompressionJob::Warn(const std::string& line) {
    Log(line);
    host_->ShowErrorIndicator();
}

void CompressionJob::FilterUnsupportedBytes(std::string& text) {
    for (char& ch : text) {
        const auto b = static_cast<unsigned char>(ch);
        if (IsUnsupportedByte(b)) {
            Warn(UnsupportedCharWarning(b));
            ch = ' ';
        }
    }
}

void CompressionJob::BlankHighBytePairs(std::string& body) {
    // The second byte must be 129 or more, not 128; blanking both keeps
    // pairs from overlapping.
    for (std::size_t i = 0; i + 1 < body.size(); ++i) {
        const auto first = static_cast<unsigned char>(body[i]);
        const auto second = static_cast<unsigned char>(body[i + 1]);
        if (first >= 128 && second >= 129) {
            Warn(UnsupportedCharWarning(first));
            body[i] = ' ';
            body[i + 1] = ' ';
        }
    }
}

bool CompressionJob::BreakOff() {
    Warn(kNoBodyError);
    return false;
}

bool CompressionJob::PreparePage() {
    CharCount = 0;
    if (NamesNoFile(Openfile)) {
        return BreakOff();
    }
    // Opening comes before the first log line: a page that cannot be opened
    // leaves no trace in the log but the caller's error.
    WorkText.clear();
    return PrepareRead(ReadWholeFile(Openfile, /*writable=*/true));
}

bool CompressionJob::PreparePage(std::string source) {
    CharCount = 0;
    if (NamesNoFile(Openfile)) {
        return BreakOff();
    }
    WorkText.clear();
    return PrepareRead(std::move(source));
}

bool CompressionJob::PrepareRead(std::string raw) {
    std::string input;
    if (!PrepareInput(std::move(raw), input)) {
        return false;
    }
    const int64_t progress_base = progressBase_;
    JobHost* host = host_;
    WorkText =
        Encode(input, Options.highspeed ? kHighSpeedWindow : kWideWindow, [host, progress_base](int64_t a) {
            host->SetPagePercentage(PercentOf(a, progress_base));
            host->ProcessMessages();
        });
    EscapeDataString(WorkText);
    return true;
}

bool CompressionJob::PrepareInput(std::string raw, std::string& input) {
    FormatWarnings = 0;
    Log("");
    Log(std::string(kDashCount, '-'));
    Log("Openfile:" + Openfile);
    host_->ProcessMessages();

    // The text is filtered in place and copied no more than it must be: with
    // several pages in parallel, each copy counts once per page.
    CharCount = static_cast<int32_t>(raw.size());
    FilterUnsupportedBytes(raw);
    std::string page = Options.RemoveUnuseful ? CollapseBetweenTags(raw) : raw;
    WorkText = std::move(raw);

    const std::size_t tag = FindBodyTag(page);
    if (tag == std::string::npos) {
        return BreakOff();
    }
    const std::size_t close = page.find('>', tag);
    if (close == std::string::npos) {
        // A body tag that never closes would hold the decoder inside it, where
        // no browser runs it: the page has no body tag to speak of.
        return BreakOff();
    }
    const std::size_t head_end = close + 1;
    // The charset is read from the page as it stands; the declaration is in
    // the head, the text that suffers from it in the body.
    const PageCharset charset = DetectCharset(page);
    Edit1 = page.substr(0, head_end);
    page.erase(0, head_end);
    std::string body = std::move(page);
    // Emptied before the encoder runs; nothing reads it in between.
    WorkText.clear();
    WorkText.shrink_to_fit();

    if (HoldsScriptTag(Edit1)) {
        Log(kScriptNotice);
    }
    if (!charset.label.empty() && IsMultiByteCharset(charset.label) && HoldsNonAscii(body)) {
        Warn(CharsetWarning(charset));
        ++FormatWarnings;
    }

    if (body.size() < kFillerThreshold) {
        body += "<script>";
        body.append(kFillerSpaces, ' ');
        body += "</script>";
    }

    progressBase_ = static_cast<int64_t>(body.size());
    host_->SetPagePercentage(0);

    if (Options.UChar) {
        BlankHighBytePairs(body);
    }

    if (Options.password.Enabled) {
        body.insert(0, kPasswordPrefixHead + EscapePasswordForScript(Options.password.Text) + kPasswordPrefixTail);
    }
    input = std::move(body);
    return true;
}

}  // namespace vexel
