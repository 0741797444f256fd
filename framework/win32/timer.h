// A timer component: fires OnTimer every Interval milliseconds while Enabled,
// on the GUI thread, through the message loop.
#pragma once

#include <windows.h>

#include "framework/core/classes.h"

namespace vexel {

class TTimer : public TComponent {
public:
    // Enabled, with an interval of 1000 ms, from creation on.
    explicit TTimer(TComponent* AOwner);
    ~TTimer() override;

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool Value);
    // 0 stops the timer.
    UINT Interval() const { return interval_; }
    void SetInterval(UINT Value);

    TNotifyEvent OnTimer;

protected:
    // Fires OnTimer. An exception goes to Application->HandleException.
    virtual void Timer();
    void Loaded() override;

private:
    static void CALLBACK TimerProc(HWND Window, UINT Msg, UINT_PTR Id, DWORD Time);
    void UpdateTimer();

    bool enabled_ = true;
    UINT interval_ = 1000;
    UINT_PTR id_ = 0;
};

}  // namespace vexel
