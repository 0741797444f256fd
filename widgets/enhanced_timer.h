// The suite's thread timer: a worker thread sleeps Interval milliseconds and
// hands each tick to the GUI thread, where OnTimer runs.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>

#include "framework/core/classes.h"
#include "framework/win32/thread.h"

namespace vexel {

class TZelEnhancedTimer32;

// The timer's worker. It parks on a condition variable while the timer is
// stopped (it is never suspended from outside, which could stop it holding a
// lock such as the heap's), and sleeps on the same condition variable, so
// stopping, changing the interval and terminating all take effect at once.
//
// What each thread touches (lock_ guards every field below it):
// - the GUI thread writes running_, interval_ and generation_ (Run, Park)
//   and calls Terminate; timer_ is read and cleared on the GUI thread only.
// - the worker reads running_, interval_ and generation_ under lock_, and
//   calls Synchronize without holding it. The tick it hands over runs on the
//   GUI thread and reaches the timer only through timer_.
class TZelEnhancedThread : public TThread {
public:
    explicit TZelEnhancedThread(TZelEnhancedTimer32* Timer);

    // GUI thread: tick every Interval ms from now on (restarting the sleep).
    void Run(uint16_t Interval);
    // GUI thread: stop ticking until the next Run.
    void Park();
    // GUI thread: forget the timer; a tick already handed over does nothing.
    void Detach() { timer_ = nullptr; }

protected:
    ~TZelEnhancedThread() override = default;
    void Execute() override;
    void TerminatedSet() override;

private:
    TZelEnhancedTimer32* timer_;  // GUI thread only
    std::mutex lock_;
    std::condition_variable wake_;
    bool running_ = false;
    uint16_t interval_ = 0;
    uint64_t generation_ = 0;  // bumped by every Run and Park
};

// Fires OnTimer on the GUI thread every Interval milliseconds while Enabled,
// Interval is not 0 and OnTimer is assigned. Those three are checked whenever
// Enabled or Interval change: assign OnTimer before enabling the timer (or
// set Enabled again after assigning it). A tick never arrives while the timer
// is disabled, nor after it is freed; it may be freed from inside its own
// OnTimer. The worker thread is made when the timer first runs (which needs
// an application object: EInvalidOperation "Timer needs an application
// object") and ends when the timer is freed.
//
// Unlike TTimer, the ticks do not wait for the message queue to be idle: a
// tick is handed over as the interval ends and runs as soon as the GUI
// thread handles messages, also inside ProcessMessages.
class TZelEnhancedTimer32 : public TComponent {
public:
    // Enabled, 1000 ms, time-critical worker, from creation on.
    explicit TZelEnhancedTimer32(TComponent* AOwner);

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool Value);
    uint16_t Interval() const { return interval_; }
    void SetInterval(uint16_t Value);
    TThreadPriority ThreadPriority() const { return threadPriority_; }
    void SetThreadPriority(TThreadPriority Value);

    TNotifyEvent OnTimer;

    // The worker is ticking (not parked, not absent).
    bool Running() const { return running_; }

protected:
    ~TZelEnhancedTimer32() override;
    // Ends the worker while the timer is whole.
    void BeforeDestruction() override;
    void Loaded() override;
    // Fires OnTimer.
    virtual void Timer();
    // The worker thread, once the timer has run.
    const TZelEnhancedThread* Worker() const { return thread_; }

private:
    friend class TZelEnhancedThread;
    // Runs or parks the worker for the current settings.
    void UpdateTimer();
    // A tick arriving on the GUI thread.
    void Tick();

    bool enabled_ = true;
    uint16_t interval_ = 1000;
    TThreadPriority threadPriority_ = tpTimeCritical;
    bool running_ = false;
    TZelEnhancedThread* thread_ = nullptr;
};

}  // namespace vexel
