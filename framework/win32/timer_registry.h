// The program's running timers: each ticks through one hidden window under
// an id of its own, so that a timer needs no window of its own.
#pragma once

#include <windows.h>

#include <functional>
#include <map>

namespace vexel {

class TTimerRegistry {
public:
    using TTick = std::function<void()>;

    // Window receives the WM_TIMER messages and hands them to Tick. Ids below
    // FirstId are the window's own.
    explicit TTimerRegistry(HWND Window, UINT_PTR FirstId = 100);
    TTimerRegistry(const TTimerRegistry&) = delete;
    TTimerRegistry& operator=(const TTimerRegistry&) = delete;

    // Starts a timer that calls OnTick every Interval milliseconds; returns
    // its id, or 0 once the registry is closed. EOutOfResources "Not enough
    // timers available" when the system refuses.
    UINT_PTR Start(UINT Interval, TTick OnTick);
    // Stops a timer; an id already stopped, or a closed registry, is fine.
    void Stop(UINT_PTR Id);
    // Runs the tick of Id and returns true; false for an id that is not
    // running (a tick queued before its timer stopped), whose system timer
    // is killed.
    bool Tick(UINT_PTR Id);
    // Stops every timer for good; Start returns 0 from now on.
    void Close();
    bool Owns(UINT_PTR Id) const { return Id >= firstId_; }
    size_t Count() const { return ticks_.size(); }

private:
    HWND window_;
    UINT_PTR firstId_;
    UINT_PTR nextId_;
    bool closed_ = false;
    std::map<UINT_PTR, TTick> ticks_;
};

}  // namespace vexel
