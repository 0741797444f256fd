// The progress bar of `vexel compress` on a terminal.
#include "cli/progress_bar.h"

#include <cstdio>

namespace vexel::cli {

namespace {

constexpr double kRedrawInterval = 0.1;
constexpr int kBarCells = 20;
// Rate and time left jump about in the first moments; wait before showing them.
constexpr double kSettleSeconds = 0.5;

double SteadySeconds() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

std::string FormatDuration(double seconds) {
    const long total = static_cast<long>(seconds + 0.5);
    char text[32];
    if (total >= 3600)
        std::snprintf(text, sizeof text, "%ld:%02ld:%02ld", total / 3600, total / 60 % 60, total % 60);
    else
        std::snprintf(text, sizeof text, "%ld:%02ld", total / 60, total % 60);
    return text;
}

}  // namespace

ProgressBar::ProgressBar(std::ostream& out, bool enabled, Clock clock)
    : out_(out), enabled_(enabled), clock_(clock ? std::move(clock) : Clock(SteadySeconds)) {}

void ProgressBar::Start(int totalPages, int64_t totalBytes) {
    totalPages_ = totalPages;
    totalBytes_ = totalBytes;
    started_ = clock_();
    drawn_ = -1;
}

void ProgressBar::Update(int pagesDone, int64_t bytesDone, bool force) {
    if (!enabled_)
        return;
    const double now = clock_();
    if (!force && visible_ && now - drawn_ < kRedrawInterval)
        return;
    const std::string text = Format(pagesDone, totalPages_, bytesDone, totalBytes_, now - started_);
    // Pad over the rest of a longer previous bar; "\r" alone works on every
    // console, escape sequences do not.
    std::string line = "\r" + text;
    if (text.size() < width_)
        line.append(width_ - text.size(), ' ');
    out_ << line << std::flush;
    width_ = text.size();
    drawn_ = now;
    visible_ = true;
}

void ProgressBar::Erase() {
    if (!enabled_ || !visible_)
        return;
    out_ << '\r' << std::string(width_, ' ') << '\r' << std::flush;
    visible_ = false;
}

std::string ProgressBar::FormatBytes(int64_t bytes) {
    char text[32];
    if (bytes < 1024)
        std::snprintf(text, sizeof text, "%lld B", static_cast<long long>(bytes));
    else if (bytes < 1024 * 1024)
        std::snprintf(text, sizeof text, "%.1f KB", bytes / 1024.0);
    else
        std::snprintf(text, sizeof text, "%.1f MB", bytes / (1024.0 * 1024.0));
    return text;
}

std::string ProgressBar::Format(int pagesDone, int totalPages, int64_t bytesDone, int64_t totalBytes,
                                double seconds) {
    if (bytesDone > totalBytes)
        bytesDone = totalBytes;
    const double fraction = totalBytes > 0 ? static_cast<double>(bytesDone) / static_cast<double>(totalBytes)
                            : totalPages > 0 ? static_cast<double>(pagesDone) / totalPages
                                             : 1.0;
    const int filled = static_cast<int>(fraction * kBarCells);
    std::string text = "[" + std::string(filled, '#') + std::string(kBarCells - filled, '-') + "] ";
    text += std::to_string(pagesDone) + "/" + std::to_string(totalPages) + " pages  ";
    text += FormatBytes(bytesDone) + " / " + FormatBytes(totalBytes);
    if (seconds >= kSettleSeconds && bytesDone > 0) {
        const double rate = bytesDone / seconds;
        text += "  " + FormatBytes(static_cast<int64_t>(rate)) + "/s";
        text += "  " + FormatDuration(static_cast<double>(totalBytes - bytesDone) / rate) + " left";
    }
    return text;
}

}  // namespace vexel::cli
