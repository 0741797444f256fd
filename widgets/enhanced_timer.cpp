#include "widgets/enhanced_timer.h"

#include <chrono>

#include "framework/core/sysutils.h"
#include "framework/win32/forms.h"
#include "framework/win32/guarded_call.h"

namespace vexel {

// ---- TZelEnhancedThread ----

TZelEnhancedThread::TZelEnhancedThread(TZelEnhancedTimer32* Timer) : timer_(Timer) {}

void TZelEnhancedThread::Run(uint16_t Interval) {
    {
        std::lock_guard<std::mutex> lock(lock_);
        running_ = true;
        interval_ = Interval;
        ++generation_;
    }
    wake_.notify_all();
}

void TZelEnhancedThread::Park() {
    {
        std::lock_guard<std::mutex> lock(lock_);
        running_ = false;
        ++generation_;
    }
    wake_.notify_all();
}

void TZelEnhancedThread::TerminatedSet() {
    // Terminated is set already; passing through the lock makes sure the
    // worker is either waiting (and gets the notice) or will see the flag.
    { std::lock_guard<std::mutex> lock(lock_); }
    wake_.notify_all();
}

void TZelEnhancedThread::Execute() {
    std::unique_lock<std::mutex> lock(lock_);
    while (!Terminated()) {
        if (!running_) {
            wake_.wait(lock, [this] { return running_ || Terminated(); });
            continue;
        }
        const uint64_t generation = generation_;
        const auto due = std::chrono::steady_clock::now() + std::chrono::milliseconds(interval_);
        // Woken early by a stop, a new interval or the end: start over.
        if (wake_.wait_until(lock, due, [&] { return Terminated() || generation_ != generation; }))
            continue;
        lock.unlock();
        bool handedOver = Synchronize([this] {
            if (timer_)
                timer_->Tick();
        });
        lock.lock();
        if (!handedOver)
            break;  // terminated, or the program is ending
    }
}

// ---- TZelEnhancedTimer32 ----

TZelEnhancedTimer32::TZelEnhancedTimer32(TComponent* AOwner) : TComponent(AOwner) {}

TZelEnhancedTimer32::~TZelEnhancedTimer32() = default;

void TZelEnhancedTimer32::BeforeDestruction() {
    TComponent::BeforeDestruction();
    enabled_ = false;
    running_ = false;
    if (thread_) {
        TZelEnhancedThread* thread = thread_;
        thread_ = nullptr;
        thread->Detach();
        // Waits for the worker, unless we are inside its tick (the worker
        // waits for us): then it ends and frees itself once the tick returns.
        thread->TerminateAndFree();
    }
}

void TZelEnhancedTimer32::SetEnabled(bool Value) {
    if (enabled_ == Value)
        return;
    enabled_ = Value;
    UpdateTimer();
}

void TZelEnhancedTimer32::SetInterval(uint16_t Value) {
    if (interval_ == Value)
        return;
    interval_ = Value;
    UpdateTimer();
}

void TZelEnhancedTimer32::SetThreadPriority(TThreadPriority Value) {
    threadPriority_ = Value;
    if (thread_)
        thread_->SetPriority(Value);
}

void TZelEnhancedTimer32::Loaded() {
    TComponent::Loaded();
    UpdateTimer();
}

void TZelEnhancedTimer32::UpdateTimer() {
    bool idle = ComponentState() & (csDesigning | csLoading | csDestroying);
    running_ = enabled_ && interval_ != 0 && OnTimer && !idle;
    if (!running_) {
        if (thread_)
            thread_->Park();
        return;
    }
    if (!thread_) {
        // The ticks go through the application's queue for the GUI thread.
        if (!Application) {
            running_ = false;
            throw EInvalidOperation("Timer needs an application object");
        }
        auto* thread = new TZelEnhancedThread(this);
        thread->SetPriority(threadPriority_);
        thread->Run(interval_);
        try {
            thread->Start();
        } catch (...) {
            running_ = false;
            thread->Free();
            throw;
        }
        thread_ = thread;
        return;
    }
    thread_->Run(interval_);
}

void TZelEnhancedTimer32::Tick() {
    // A tick handed over just before the timer stopped is dropped here, on
    // the GUI thread, where the settings live.
    if (!running_)
        return;
    GuardedCall(this, [this] { Timer(); });
}

void TZelEnhancedTimer32::Timer() {
    // A copy, because the handler may free the timer and with it OnTimer.
    TNotifyEvent handler = OnTimer;
    if (handler)
        handler(this);
}

}  // namespace vexel
