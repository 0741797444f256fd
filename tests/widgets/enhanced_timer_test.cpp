// The thread timer: ticks one at a time on the GUI thread, none while
// it is stopped or after it is freed, freeing it while a tick waits or from
// inside a tick, and the application ending with timers still running.
#include <gtest/gtest.h>

#include <atomic>
#include <optional>
#include <stdexcept>

#include "framework/core/sysutils.h"
#include "framework/win32/forms.h"
#include "tests/framework/win32_test_support.h"
#include "widgets/enhanced_timer.h"

using namespace vexel;
using vexel::testing::FrameworkTest;
using vexel::testing::PumpFor;
using vexel::testing::PumpUntil;
using vexel::testing::TakeWakeUp;

namespace {

// A handle of a thread that stays valid after the thread object is gone.
class TThreadHandle {
public:
    explicit TThreadHandle(HANDLE Thread) {
        if (Thread)
            DuplicateHandle(GetCurrentProcess(), Thread, GetCurrentProcess(), &handle_, 0, FALSE,
                            DUPLICATE_SAME_ACCESS);
    }
    ~TThreadHandle() {
        if (handle_)
            CloseHandle(handle_);
    }
    TThreadHandle(const TThreadHandle&) = delete;
    TThreadHandle& operator=(const TThreadHandle&) = delete;
    bool Valid() const { return handle_ != nullptr; }
    bool Ended() const { return handle_ && WaitForSingleObject(handle_, 0) == WAIT_OBJECT_0; }
    // A thread that has left its work still has its own exit to make.
    bool EndsSoon() const { return handle_ && WaitForSingleObject(handle_, 10000) == WAIT_OBJECT_0; }
    int Priority() const { return GetThreadPriority(handle_); }

private:
    HANDLE handle_ = nullptr;
};

class TProbeTimer : public TZelEnhancedTimer32 {
public:
    using TZelEnhancedTimer32::TZelEnhancedTimer32;
    HANDLE WorkerHandle() const { return Worker() ? Worker()->Handle() : nullptr; }
    bool HasWorker() const { return Worker() != nullptr; }

protected:
    ~TProbeTimer() override = default;
};

}  // namespace

class EnhancedTimer : public FrameworkTest {};

TEST_F(EnhancedTimer, StartsEnabledAtOneSecondWithATimeCriticalWorkerMadeOnlyWhenItRuns) {
    auto* timer = new TProbeTimer(nullptr);
    EXPECT_TRUE(timer->Enabled());
    EXPECT_EQ(timer->Interval(), 1000);
    EXPECT_EQ(timer->ThreadPriority(), tpTimeCritical);
    // Enabled, but without OnTimer there is nothing to run.
    EXPECT_FALSE(timer->Running());
    EXPECT_FALSE(timer->HasWorker());

    timer->OnTimer = [](TObject*) {};
    timer->SetInterval(500);  // a change: the timer looks again
    EXPECT_TRUE(timer->Running());
    ASSERT_TRUE(timer->HasWorker());
    TThreadHandle worker(timer->WorkerHandle());
    ASSERT_TRUE(PumpUntil(App(), [&] { return worker.Priority() == THREAD_PRIORITY_TIME_CRITICAL; }));
    timer->SetThreadPriority(tpLowest);
    EXPECT_EQ(worker.Priority(), THREAD_PRIORITY_LOWEST);
    timer->Free();
    EXPECT_TRUE(worker.Ended());  // no thread left behind
}

TEST_F(EnhancedTimer, TicksArriveOneAtATimeOnTheGuiThreadEachAfterTheLastOneRan) {
    const DWORD gui = GetCurrentThreadId();
    int ticks = 0;
    bool elsewhere = false;
    auto* timer = new TProbeTimer(nullptr);
    timer->SetEnabled(false);
    timer->SetInterval(10);
    timer->OnTimer = [&](TObject* Sender) {
        ++ticks;
        elsewhere |= GetCurrentThreadId() != gui || Sender != timer;
    };
    timer->SetEnabled(true);
    for (int tick = 1; tick <= 5; ++tick) {
        MSG wakeUp = TakeWakeUp();
        // The worker waits for this tick to run before it sleeps again: however
        // long the GUI thread leaves it, no second tick is queued meanwhile.
        Sleep(50);
        MSG another;
        EXPECT_FALSE(PeekMessageA(&another, nullptr, WM_APP, 0xBFFF, PM_NOREMOVE)) << "tick " << tick;
        EXPECT_EQ(ticks, tick - 1);
        DispatchMessageA(&wakeUp);
        EXPECT_EQ(ticks, tick);
    }
    timer->SetEnabled(false);
    EXPECT_FALSE(elsewhere);
    timer->Free();
}

TEST_F(EnhancedTimer, NoTicksWhileDisabledWithIntervalZeroOrAfterATickWasHandedOver) {
    int ticks = 0;
    auto* timer = new TProbeTimer(nullptr);
    timer->SetInterval(10);
    timer->OnTimer = [&](TObject*) { ++ticks; };
    timer->SetEnabled(false);
    timer->SetEnabled(true);
    ASSERT_TRUE(PumpUntil(App(), [&] { return ticks >= 2; }));

    timer->SetEnabled(false);
    EXPECT_FALSE(timer->Running());
    int seen = ticks;
    PumpFor(App(), 150);
    EXPECT_EQ(ticks, seen);

    timer->SetEnabled(true);
    ASSERT_TRUE(PumpUntil(App(), [&] { return ticks > seen; }));
    timer->SetInterval(0);
    EXPECT_FALSE(timer->Running());
    seen = ticks;
    PumpFor(App(), 150);
    EXPECT_EQ(ticks, seen);

    // A tick the worker has handed over but the GUI thread has not yet run
    // is dropped when the timer stops meanwhile.
    timer->SetInterval(10);
    MSG wakeUp = TakeWakeUp();
    timer->SetEnabled(false);
    seen = ticks;
    DispatchMessageA(&wakeUp);
    PumpFor(App(), 50);
    EXPECT_EQ(ticks, seen);
    timer->Free();
}

TEST_F(EnhancedTimer, FreeingItWhileATickWaitsForTheGuiThreadEndsTheWorkerAndDropsTheTick) {
    int ticks = 0;
    auto* timer = new TProbeTimer(nullptr);
    timer->SetInterval(10);
    timer->OnTimer = [&](TObject*) { ++ticks; };
    timer->SetEnabled(false);
    timer->SetEnabled(true);
    TThreadHandle worker(timer->WorkerHandle());
    MSG wakeUp = TakeWakeUp();  // the worker waits for the GUI thread now
    timer->Free();              // on the GUI thread, which does not handle the tick
    EXPECT_TRUE(worker.Ended());
    DispatchMessageA(&wakeUp);
    PumpFor(App(), 50);
    EXPECT_EQ(ticks, 0);
}

TEST_F(EnhancedTimer, FreeingItFromInsideItsOwnTickEndsCleanly) {
    int ticks = 0;
    auto* timer = new TProbeTimer(nullptr);
    timer->SetInterval(10);
    timer->OnTimer = [&](TObject* Sender) {
        ++ticks;
        Sender->Free();
    };
    timer->SetEnabled(false);
    timer->SetEnabled(true);
    TThreadHandle worker(timer->WorkerHandle());
    ASSERT_TRUE(PumpUntil(App(), [&] { return worker.Ended(); }));
    PumpFor(App(), 50);
    EXPECT_EQ(ticks, 1);
    EXPECT_TRUE(Errors.empty());
}

TEST_F(EnhancedTimer, AnExceptionInOnTimerGoesToTheApplicationAndTheTimerGoesOn) {
    int ticks = 0;
    auto* timer = new TProbeTimer(nullptr);
    timer->SetInterval(10);
    timer->OnTimer = [&](TObject*) {
        if (++ticks == 1)
            throw std::runtime_error("Tick failed");
    };
    timer->SetEnabled(false);
    timer->SetEnabled(true);
    ASSERT_TRUE(PumpUntil(App(), [&] { return ticks >= 3; }));
    ASSERT_EQ(Errors, std::vector<std::string>{"Tick failed"});
    EXPECT_EQ(ErrorSenders[0], timer);
    timer->Free();
}

TEST(EnhancedTimerShutdown, TimersStillTickingWhenTheProgramEndsLeaveNoThreadBehind) {
    std::optional<ScopedApplication> application(std::in_place);
    TForm* form = nullptr;
    application->Get()->CreateForm(form);  // the application frees it, and the timer with it
    auto* owned = new TProbeTimer(form);
    auto* loose = new TProbeTimer(nullptr);
    int ticks = 0;
    for (TProbeTimer* timer : {owned, loose}) {
        timer->SetInterval(5);
        timer->OnTimer = [&](TObject*) { ++ticks; };
        timer->SetEnabled(false);
        timer->SetEnabled(true);
    }
    TThreadHandle ownedWorker(owned->WorkerHandle()), looseWorker(loose->WorkerHandle());
    ASSERT_TRUE(PumpUntil(application->Get(), [&] { return ticks >= 4; }));
    application.reset();  // the program ends with both ticking
    EXPECT_TRUE(ownedWorker.EndsSoon());
    EXPECT_TRUE(looseWorker.EndsSoon());
    // The one of nobody's may go later, without an application.
    loose->Free();
}

TEST(EnhancedTimerWithoutApplication, RefusesToRunAndStaysStopped) {
    ASSERT_EQ(Application, nullptr);
    auto* timer = new TProbeTimer(nullptr);
    timer->OnTimer = [](TObject*) {};
    EXPECT_THROW(timer->SetInterval(5), EInvalidOperation);
    EXPECT_FALSE(timer->Running());
    EXPECT_FALSE(timer->HasWorker());
    timer->Free();
}
