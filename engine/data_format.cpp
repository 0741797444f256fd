#include "engine/data_format.h"

#include <algorithm>

#include "engine/errors.h"
#include "platform/ascii.h"

namespace vexel {

void EscapeDataString(std::string& data) {
    for (char& c : data) {
        switch (c) {
            case '"': c = static_cast<char>(kEscapedQuote); break;
            case '\t': c = static_cast<char>(kEscapedTab); break;
            case '\r': c = static_cast<char>(kEscapedCr); break;
            case '\n': c = static_cast<char>(kEscapedLf); break;
            default: break;
        }
    }
}

bool ScriptBreakFollows(std::string_view text, std::size_t at) {
    if (at > text.size()) {
        return false;
    }
    return StartsWithIgnoringAsciiCase(text, at, "/script") || StartsWithIgnoringAsciiCase(text, at, "script") ||
           text.substr(at, 3) == "!--";
}

bool BreaksScriptAt(std::string_view text, std::size_t at) {
    return at < text.size() && text[at] == '<' && ScriptBreakFollows(text, at + 1);
}

std::string GuardScriptBreaks(std::string_view text, std::string_view breaker) {
    std::string out;
    out.reserve(text.size());
    std::size_t done = 0;
    for (std::size_t at = text.find('<'); at != std::string_view::npos; at = text.find('<', at + 1)) {
        if (BreaksScriptAt(text, at)) {
            out.append(text.substr(done, at + 1 - done));
            out.append(breaker);
            done = at + 1;
        }
    }
    out.append(text.substr(done));
    return out;
}

namespace {

unsigned char Unescape(unsigned char v) {
    switch (v) {
        case kEscapedTab: return '\t';
        case kEscapedLf: return '\n';
        case kEscapedCr: return '\r';
        case kEscapedQuote: return '"';
        default: return v;
    }
}

}  // namespace

namespace {

[[noreturn]] void FailBeyond(std::string& out, std::size_t limit) {
    out.resize(limit);
    throw DataError("the data expands to more than " + std::to_string(limit) + " bytes, the most any command handles");
}

}  // namespace

void ExpandData(std::string_view data, Literals literals, std::string& out, std::size_t limit) {
    const std::size_t n = data.size();
    for (std::size_t i = 0; i < n; ++i) {
        if (out.size() > limit) {
            FailBeyond(out, limit);
        }
        const unsigned char v = Unescape(static_cast<unsigned char>(data[i]));
        if (v >= kFirstLengthByte && v <= kLastLengthByte) {
            if (i + 2 >= n) {
                throw DataError("back-reference at byte " + std::to_string(i + 1) +
                                " is cut off by the end of the data");
            }
            const int s = static_cast<unsigned char>(data[i + 1]);
            const int t = static_cast<unsigned char>(data[i + 2]);
            const int64_t length = v - kLengthBias;
            const int64_t distance =
                (s - kDistanceDigitBias) + int64_t{kDistanceBase} * (t - kDistanceDigitBias);
            if (distance < 1 || distance > static_cast<int64_t>(out.size())) {
                throw DataError("back-reference at byte " + std::to_string(i + 1) + " has distance " +
                                std::to_string(distance) + ", which reaches before the start of the text (" +
                                std::to_string(out.size()) + " bytes expanded)");
            }
            // The copy takes only bytes that exist before it, as the page
            // decoders' substring functions do; the encoder never writes a
            // length above the distance.
            const std::size_t from = out.size() - static_cast<std::size_t>(distance);
            const std::size_t count = static_cast<std::size_t>(std::min(length, distance));
            out.reserve(out.size() + count);
            out.append(out.data() + from, count);
            i += 2;
        } else if (literals == Literals::Unshift && v >= kShiftFirst && v <= kShiftLast + 1) {
            // The decoders lower every value 41..127, so a literal 127 reads as 126.
            out.push_back(static_cast<char>(v - 1));
        } else {
            out.push_back(static_cast<char>(v));
        }
    }
    if (out.size() > limit) {
        FailBeyond(out, limit);
    }
}

}  // namespace vexel
