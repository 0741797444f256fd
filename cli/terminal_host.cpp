// The command line's job and batch host.
#include "cli/terminal_host.h"

namespace vexel::cli {

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

void TerminalHost::WriteLine(const std::string& line) {
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

void TerminalHost::EndRun() {
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
        err_ << "vexel: " << (named ? "" : report.Path + ": ") << report.Error << '\n' << std::flush;
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
    err_ << "vexel: " << message << '\n' << std::flush;
}

}  // namespace vexel::cli
