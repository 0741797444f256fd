#include "framework/win32/timer.h"

#include "framework/win32/application.h"
#include "framework/win32/guarded_call.h"
#include "framework/win32/timer_registry.h"

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
    if (registry_) {
        registry_->Stop(id_);
        registry_.reset();
        id_ = 0;
    }
    bool idle = ComponentState() & (csDesigning | csLoading | csDestroying);
    if (!enabled_ || interval_ == 0 || idle)
        return;
    if (!Application)
        throw EInvalidOperation("Timer needs an application object");
    std::shared_ptr<TTimerRegistry> registry = Application->Timers();
    id_ = registry->Start(interval_, [this] { GuardedCall(this, [this] { Timer(); }); });
    if (id_)
        registry_ = std::move(registry);
}

void TTimer::Timer() {
    if (OnTimer)
        OnTimer(this);
}

}  // namespace vexel
