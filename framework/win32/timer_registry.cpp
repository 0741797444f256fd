#include "framework/win32/timer_registry.h"

#include "framework/core/sysutils.h"

namespace vexel {

TTimerRegistry::TTimerRegistry(HWND Window, UINT_PTR FirstId) : window_(Window), firstId_(FirstId), nextId_(FirstId) {}

UINT_PTR TTimerRegistry::Start(UINT Interval, TTick OnTick) {
    if (closed_)
        return 0;
    UINT_PTR id = nextId_++;
    if (!SetTimer(window_, id, Interval, nullptr))
        throw EOutOfResources("Not enough timers available");
    ticks_[id] = std::move(OnTick);
    return id;
}

void TTimerRegistry::Stop(UINT_PTR Id) {
    if (ticks_.erase(Id))
        KillTimer(window_, Id);
}

bool TTimerRegistry::Tick(UINT_PTR Id) {
    auto it = ticks_.find(Id);
    if (it == ticks_.end()) {
        KillTimer(window_, Id);
        return false;
    }
    // A copy: the tick may stop or restart its own timer.
    TTick tick = it->second;
    tick();
    return true;
}

void TTimerRegistry::Close() {
    closed_ = true;
    for (auto& entry : ticks_)
        KillTimer(window_, entry.first);
    ticks_.clear();
}

}  // namespace vexel
