#include "framework/win32/timer.h"

#include <map>

#include "framework/win32/forms.h"

namespace vexel {

namespace {

// Thread timers carry no object, so the id leads back to it.
std::map<UINT_PTR, TTimer*>& Timers() {
    static std::map<UINT_PTR, TTimer*> timers;
    return timers;
}

}  // namespace

TTimer::TTimer(TComponent* AOwner) : TComponent(AOwner) {
    UpdateTimer();
}

TTimer::~TTimer() {
    enabled_ = false;
    UpdateTimer();
}

void TTimer::SetEnabled(bool Value) {
    if (enabled_ == Value)
        return;
    enabled_ = Value;
    UpdateTimer();
}

void TTimer::SetInterval(UINT Value) {
    if (interval_ == Value)
        return;
    interval_ = Value;
    UpdateTimer();
}

void TTimer::Loaded() {
    TComponent::Loaded();
    UpdateTimer();
}

void TTimer::UpdateTimer() {
    if (id_) {
        KillTimer(nullptr, id_);
        Timers().erase(id_);
        id_ = 0;
    }
    bool idle = ComponentState() & (csDesigning | csLoading | csDestroying);
    if (!enabled_ || interval_ == 0 || idle)
        return;
    id_ = SetTimer(nullptr, 0, interval_, &TTimer::TimerProc);
    if (!id_)
        throw EOutOfResources("Not enough timers available");
    Timers()[id_] = this;
}

void CALLBACK TTimer::TimerProc(HWND, UINT, UINT_PTR Id, DWORD) {
    auto it = Timers().find(Id);
    if (it == Timers().end())
        return;  // killed with its tick already queued
    TTimer* timer = it->second;
    try {
        timer->Timer();
    } catch (...) {
        if (Application)
            Application->HandleException(timer);
    }
}

void TTimer::Timer() {
    if (OnTimer)
        OnTimer(this);
}

}  // namespace vexel
