// What compressing a page needs of its surroundings: the log list, the error
// indicator, the page gauge and a chance to let the message queue run. The
// desktop window and the command line each implement it.
#pragma once

#include <cstdint>
#include <string>

namespace vexel {

class JobHost {
public:
    virtual ~JobHost() = default;

    // Appends one line to the log list.
    virtual void AddLogLine(const std::string& line) = 0;
    // False when the lines are thrown away: the batch then keeps none of them
    // for pages finished ahead of their turn.
    virtual bool WantsLogLines() const { return true; }
    // Any warning or error of a job lights the error indicator.
    virtual void ShowErrorIndicator() {}
    // Progress of the current page, 0..100 (larger values are shown as 100).
    virtual void SetPagePercentage(uint8_t percent) { (void)percent; }
    // The step under way on the current page gives no progress (a codec or
    // a key derivation over the whole page in one call): a gauge says so
    // instead of a figure, until the next SetPagePercentage.
    virtual void PageProgressUnknown() {}
    // Lets the message queue run, so that windows repaint and Cancel can be
    // clicked during a long page.
    virtual void ProcessMessages() {}
};

}  // namespace vexel
