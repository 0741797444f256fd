#include "framework/win32/timer.h"

#include "framework/win32/forms.h"

namespace vexel {

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
        application_->StopTimer(id_);
        application_ = nullptr;
        id_ = 0;
    }
    bool idle = ComponentState() & (csDesigning | csLoading | csDestroying);
    if (!enabled_ || interval_ == 0 || idle)
        return;
    if (!Application)
        throw EInvalidOperation("Timer needs an application object");
    id_ = Application->StartTimer(this, interval_);
    if (id_)
        application_ = Application;
}

void TTimer::Timer() {
    if (OnTimer)
        OnTimer(this);
}

}  // namespace vexel
