// The JSON lines of `vexel compress --json`.
#include "cli/json_report.h"

#include <cstdio>

namespace vexel::cli {

namespace {

// The length of the UTF-8 sequence at `i`, or 0 when the byte there does not
// start a well-formed one (overlong forms and surrogates are not UTF-8).
std::size_t Utf8SequenceLength(const std::string& text, std::size_t i) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    std::size_t length = 0;
    unsigned char low = 0x80, high = 0xBF;  // the allowed range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (i + length > text.size() || byte(i + 1) < low || byte(i + 1) > high)
        return 0;
    for (std::size_t k = 2; k < length; ++k)
        if (byte(i + k) < 0x80 || byte(i + k) > 0xBF)
            return 0;
    return length;
}

}  // namespace

std::string JsonString(const std::string& text) {
    std::string out = "\"";
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        char escape[8];
        if (c < 0x80) {
            switch (c) {
                case '"': out += "\\\""; break;
                case '\\': out += "\\\\"; break;
                case '\n': out += "\\n"; break;
                case '\r': out += "\\r"; break;
                case '\t': out += "\\t"; break;
                default:
                    if (c < 0x20 || c == 0x7F) {
                        std::snprintf(escape, sizeof escape, "\\u%04x", c);
                        out += escape;
                    } else {
                        out += static_cast<char>(c);
                    }
            }
            ++i;
            continue;
        }
        const std::size_t length = Utf8SequenceLength(text, i);
        if (length == 0) {
            std::snprintf(escape, sizeof escape, "\\udc%02x", c);
            out += escape;
            ++i;
        } else {
            out.append(text, i, length);
            i += length;
        }
    }
    return out + "\"";
}

const char* JsonResultName(PageOutcome outcome) {
    switch (outcome) {
        case PageOutcome::Written: return "written";
        case PageOutcome::WouldWrite: return "would_write";
        case PageOutcome::NotAPage: return "skipped";
        case PageOutcome::AlreadyCompressed: return "already_compressed";
        case PageOutcome::BrokenOff: return "broken_off";
        case PageOutcome::LeftAsItIs: return "not_smaller";
        case PageOutcome::Failed: return "failed";
    }
    return "failed";
}

JsonHost::JsonHost(std::ostream& json, std::ostream* logFile, std::ostream& err, ProgressBar& bar,
                   std::function<int()> stopSignal)
    : TerminalHost(nullptr, logFile, err, bar, std::move(stopSignal)), json_(json) {}

void JsonHost::AddLogLine(const std::string& line) {
    TerminalHost::AddLogLine(line);
    std::lock_guard<std::mutex> lock(jsonMutex_);
    lastLine_ = line;
}

void JsonHost::ShowErrorIndicator() {
    std::lock_guard<std::mutex> lock(jsonMutex_);
    warnings_.push_back(lastLine_);
}

void JsonHost::WriteObject(const std::string& object) {
    json_ << object << '\n' << std::flush;
}

void JsonHost::PageDone(const PageReport& report) {
    TerminalHost::PageDone(report);
    std::lock_guard<std::mutex> lock(jsonMutex_);
    // The batch logs a failure as a last line of its own: that is the error,
    // not a warning.
    if (report.Outcome == PageOutcome::Failed && !warnings_.empty() && warnings_.back().rfind("Error  ", 0) == 0)
        warnings_.pop_back();
    const bool written = report.Outcome == PageOutcome::Written || report.Outcome == PageOutcome::WouldWrite;
    std::string object = "{\"type\":\"page\",\"path\":" + JsonString(report.Path) + ",\"result\":\"" +
                         JsonResultName(report.Outcome) + "\"";
    if (!report.Output.empty())
        object += ",\"output\":" + JsonString(report.Output);
    object += ",\"bytes_before\":" + (written ? std::to_string(report.SourceBytes) : std::string("null"));
    object += ",\"bytes_after\":" + (written ? std::to_string(report.PageBytes) : std::string("null"));
    object += ",\"warnings\":[";
    for (std::size_t i = 0; i < warnings_.size(); ++i)
        object += (i > 0 ? "," : "") + JsonString(warnings_[i]);
    object += "]";
    if (report.Outcome == PageOutcome::Failed)
        object += ",\"error\":" + JsonString(report.Error);
    if (report.Resumed)
        object += ",\"resumed\":true";
    object += "}";
    warnings_.clear();
    lastLine_.clear();
    WriteObject(object);
}

void JsonHost::Error(const std::string& message) {
    TerminalHost::Error(message);
    std::lock_guard<std::mutex> lock(jsonMutex_);
    WriteObject("{\"type\":\"error\",\"message\":" + JsonString(message) + "}");
}

void JsonHost::NameFailed(const std::string& path, const std::string& error) {
    TerminalHost::Error(error);
    std::lock_guard<std::mutex> lock(jsonMutex_);
    WriteObject("{\"type\":\"page\",\"path\":" + JsonString(path) +
                ",\"result\":\"failed\",\"bytes_before\":null,\"bytes_after\":null,\"warnings\":[],\"error\":" +
                JsonString(error) + "}");
}

void JsonHost::WriteSummary(const RunTally& summary, bool dryRun) {
    std::lock_guard<std::mutex> lock(jsonMutex_);
    WriteObject("{\"type\":\"summary\",\"written\":" + std::to_string(summary.Written) +
                ",\"skipped\":" + std::to_string(summary.NotPages) +
                ",\"already_compressed\":" + std::to_string(summary.AlreadyCompressed) +
                ",\"broken_off\":" + std::to_string(summary.BrokenOff) +
                ",\"not_smaller\":" + std::to_string(summary.LeftAsItIs) +
                ",\"failed\":" + std::to_string(summary.Failed) +
                ",\"bytes_before\":" + std::to_string(summary.BytesBefore) +
                ",\"bytes_after\":" + std::to_string(summary.BytesAfter) +
                ",\"format_warnings\":" + std::to_string(summary.FormatWarnings) +
                ",\"dry_run\":" + (dryRun ? "true" : "false") +
                ",\"stopped\":" + (summary.Cancelled ? "true" : "false") + "}");
}

}  // namespace vexel::cli
