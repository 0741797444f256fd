// A timer component: fires OnTimer every Interval milliseconds while Enabled,
// on the GUI thread, through the message loop.
#pragma once

#include <windows.h>

#include <memory>

#include "framework/core/classes.h"

namespace vexel {

class TTimerRegistry;

// A running timer ticks through the timer registry of the application object
// that was current when it started. When that
// application shuts down it stops the timer for good (Enabled stays as it
// was); the timer may still be freed afterwards. Starting a timer needs an
// application object (EInvalidOperation "Timer needs an application object").
class TTimer : public TComponent {
public:
    // Enabled, with an interval of 1000 ms, from creation on.
    explicit TTimer(TComponent* AOwner);

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool Value);
    // 0 stops the timer.
    UINT Interval() const { return interval_; }
    void SetInterval(UINT Value);

    TNotifyEvent OnTimer;

protected:
    ~TTimer() override;
    // Fires OnTimer. An exception goes to Application->HandleException with
    // the timer as sender.
    virtual void Timer();
    void Loaded() override;

private:
    void UpdateTimer();

    bool enabled_ = true;
    UINT interval_ = 1000;
    // While running: the registry it ticks through, and its id there.
    std::shared_ptr<TTimerRegistry> registry_;
    UINT_PTR id_ = 0;
};

}  // namespace vexel
