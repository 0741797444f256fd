// A one-line progress display for a terminal: pages done of total, bytes, rate
// and time left, redrawn in place on standard error.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <ostream>
#include <string>

namespace vexel::cli {

class ProgressBar {
public:
    using Clock = std::function<double()>;  // seconds since some fixed point

    // With `enabled` false every call does nothing, so callers need not ask.
    ProgressBar(std::ostream& out, bool enabled, Clock clock = {});

    void Start(int totalPages, int64_t totalBytes);
    // Draws when the last drawing is older than a tenth of a second, or when
    // `force` is set; the bar is then visible until Erase.
    void Update(int pagesDone, int64_t bytesDone, bool force = false);
    // Removes the bar from the line, before anything else is written there.
    void Erase();
    bool Visible() const { return visible_; }

    // The text of the bar; exposed for its tests.
    static std::string Format(int pagesDone, int totalPages, int64_t bytesDone, int64_t totalBytes,
                              double seconds);
    static std::string FormatBytes(int64_t bytes);

private:
    std::ostream& out_;
    bool enabled_;
    Clock clock_;
    double started_ = 0;
    double drawn_ = -1;
    int totalPages_ = 0;
    int64_t totalBytes_ = 0;
    std::size_t width_ = 0;
    bool visible_ = false;
};

}  // namespace vexel::cli
