// The command line's job and batch host.
#include "cli/terminal_host.h"

namespace vexel::cli {

std::string ShownText(const std::string& text) {
    static const char kDigits[] = "0123456789abcdef";
    std::string shown;
    std::size_t from = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        const bool c1 = c == 0xC2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) >= 0x80 &&
                        static_cast<unsigned char>(text[i + 1]) <= 0x9F;
        if (c >= 0x20 && c != 0x7F && !c1)
            continue;
        shown.append(text, from, i - from);
        if (c == '\r') {
            shown += "\\r";
        } else if (c == '\n') {
            shown += "\\n";
        } else if (c == '\t') {
            shown += "\\t";
        } else if (c1) {
            const auto code = static_cast<unsigned char>(text[++i]);
            shown += "\\u00";
            shown += kDigits[code >> 4];
            shown += kDigits[code & 0xF];
        } else {
            shown += "\\x";
            shown += kDigits[c >> 4];
            shown += kDigits[c & 0xF];
        }
        from = i + 1;
    }
    if (from == 0)
        return text;
    shown.append(text, from, std::string::npos);
    return shown;
}

TerminalHost::TerminalHost(std::ostream* log, std::ostream* logFile, std::ostream& err, ProgressBar& bar,
                           std::function<int()> stopSignal)
    : log_(log), logFile_(logFile), err_(err), bar_(bar), stopSignal_(std::move(stopSignal)) {}

void TerminalHost::StartProgress(const std::map<std::string, int64_t>& pageSizes) {
    std::lock_guard<std::mutex> lock(mutex_);
    pageSizes_ = pageSizes;
    int64_t total = 0;
    for (const auto& entry : pageSizes_)
        total += entry.second;
    bar_.Start(static_cast<int>(pageSizes_.size()), total);
    DrawBar(true);
}

void TerminalHost::WriteLine(const std::string& text) {
    const std::string line = ShownText(text);
    if (log_ != nullptr) {
        // Standard output and the bar may share a terminal.
        if (bar_.Visible()) {
            bar_.Erase();
            *log_ << line << '\n' << std::flush;
        } else {
            *log_ << line << '\n';
        }
    }
    if (logFile_ != nullptr)
        *logFile_ << line << '\n';
}

void TerminalHost::DrawBar(bool force) {
    int64_t partial = currentPageBytes_ * currentPercent_ / 100;
    bar_.Update(pagesDone_, bytesDone_ + partial, force);
}

void TerminalHost::AddLogLine(const std::string& line) {
    std::lock_guard<std::mutex> lock(mutex_);
    WriteLine(line);
}

void TerminalHost::SetPagePercentage(uint8_t percent) {
    std::lock_guard<std::mutex> lock(mutex_);
    currentPercent_ = percent > 100 ? 100 : percent;
    DrawBar(false);
}

void TerminalHost::ProcessMessages() {
    std::lock_guard<std::mutex> lock(mutex_);
    DrawBar(false);
}

void TerminalHost::EndRun(const RunTally&) {
    std::lock_guard<std::mutex> lock(mutex_);
    bar_.Erase();
}

void TerminalHost::SetPaths(const std::string& path) {
    std::lock_guard<std::mutex> lock(mutex_);
    auto size = pageSizes_.find(path);
    currentPageBytes_ = size != pageSizes_.end() ? size->second : 0;
    currentPercent_ = 0;
}

void TerminalHost::AlreadyCompressed(const std::string& path) {
    std::lock_guard<std::mutex> lock(mutex_);
    WriteLine("File:" + path + " already compressed!");
}

bool TerminalHost::CancelRequested() {
    return stopSignal_ && stopSignal_() != 0;
}

bool TerminalHost::ContinueAfterFailure(const PageReport& report) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!reportedFailures_[report.Path]) {
        reportedFailures_[report.Path] = true;
        bar_.Erase();
        if (log_ != nullptr)
            *log_ << std::flush;
        const bool named = report.Error.find(report.Path) != std::string::npos;
        err_ << "vexel: " << ShownText((named ? "" : report.Path + ": ") + report.Error) << '\n' << std::flush;
    }
    return true;
}

void TerminalHost::PageDone(const PageReport& report) {
    if (report.Outcome == PageOutcome::Failed)
        ContinueAfterFailure(report);
    std::lock_guard<std::mutex> lock(mutex_);
    if (report.Outcome == PageOutcome::NotAPage)
        return;
    ++pagesDone_;
    auto size = pageSizes_.find(report.Path);
    bytesDone_ += size != pageSizes_.end() ? size->second : report.SourceBytes;
    currentPageBytes_ = 0;
    currentPercent_ = 0;
    DrawBar(true);
}

void TerminalHost::Error(const std::string& message) {
    std::lock_guard<std::mutex> lock(mutex_);
    bar_.Erase();
    if (log_ != nullptr)
        *log_ << std::flush;
    err_ << "vexel: " << ShownText(message) << '\n' << std::flush;
}

}  // namespace vexel::cli
