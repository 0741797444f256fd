// Worker threads: where Execute and its synchronous calls run, terminating a
// thread that waits for the GUI thread, a thread ended from inside its own
// call, priorities, exceptions, and threads the application ends as it goes.
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <optional>
#include <random>
#include <stdexcept>

#include "framework/core/sysutils.h"
#include "framework/win32/forms.h"
#include "framework/win32/thread.h"
#include "tests/framework/win32_test_support.h"

using namespace vexel;
using vexel::testing::FrameworkTest;
using vexel::testing::PumpUntil;
using vexel::testing::TakeWakeUp;

namespace {

// A thread whose Execute is a function; it reports its own end.
class TBodyThread : public TThread {
public:
    using TBody = std::function<void(TBodyThread& Self)>;
    explicit TBodyThread(TBody Body, std::atomic<bool>* Freed = nullptr)
        : body_(std::move(Body)), freed_(Freed) {}
    using TThread::Synchronize;

protected:
    ~TBodyThread() override {
        if (freed_)
            *freed_ = true;
    }
    void Execute() override { body_(*this); }

private:
    TBody body_;
    std::atomic<bool>* freed_;
};

}  // namespace

class Threads : public FrameworkTest {};

TEST_F(Threads, ExecuteRunsOnItsOwnThreadAndSynchronizeOnTheGuiThread) {
    const DWORD gui = GetCurrentThreadId();
    std::atomic<DWORD> worker{0};
    DWORD callRanOn = 0;
    std::atomic<bool> returned{false};
    auto* thread = new TBodyThread([&](TBodyThread& self) {
        worker = GetCurrentThreadId();
        returned = self.Synchronize([&] { callRanOn = GetCurrentThreadId(); });
    });
    EXPECT_FALSE(thread->Started());
    thread->Start();
    EXPECT_THROW(thread->Start(), EThread);
    ASSERT_TRUE(PumpUntil(App(), [&] { return thread->Finished(); }));
    thread->WaitFor();
    EXPECT_EQ(worker.load(), thread->ThreadID());
    EXPECT_NE(worker.load(), gui);
    EXPECT_EQ(callRanOn, gui);
    EXPECT_TRUE(returned);
    EXPECT_FALSE(thread->FatalException());
    thread->Free();
}

TEST_F(Threads, TerminatingReleasesACallWaitingForTheGuiThread) {
    std::atomic<int> result{-1};
    int runs = 0;
    auto* thread = new TBodyThread([&](TBodyThread& self) { result = self.Synchronize([&] { ++runs; }); });
    thread->Start();
    MSG wakeUp = TakeWakeUp();  // the call is queued and the worker waits for it
    thread->Terminate();
    thread->WaitFor();  // on the GUI thread, without handling a message
    EXPECT_EQ(result, 0);
    DispatchMessageA(&wakeUp);
    EXPECT_EQ(runs, 0);
    EXPECT_TRUE(thread->Terminated());
    thread->Free();
}

TEST_F(Threads, FreeingAWorkerThatKeepsCallingTheGuiThreadNeverDeadlocks) {
    // The GUI thread frees the worker at every kind of moment: before its
    // first call, while a call waits, just as one is being added.
    std::mt19937 random(7);
    int calls = 0;
    for (int round = 0; round < 60; ++round) {
        auto* thread = new TBodyThread([&](TBodyThread& self) {
            while (self.Synchronize([&] { ++calls; })) {
            }
        });
        thread->Start();
        for (int i = static_cast<int>(random() % 4); i > 0; --i) {
            Sleep(random() % 2);
            App()->ProcessMessages();
        }
        thread->Free();
    }
    EXPECT_GT(calls, 0);  // the workers did get through now and then
    App()->ProcessMessages();
}

TEST_F(Threads, ACallCanEndAndFreeItsOwnThread) {
    std::atomic<bool> freed{false};
    bool waitRaised = false;
    int calls = 0;
    TBodyThread* thread = nullptr;
    thread = new TBodyThread(
        [&](TBodyThread& self) {
            while (!self.Terminated())
                if (!self.Synchronize([&] {
                        ++calls;
                        EXPECT_TRUE(thread->InSynchronizedCall());
                        try {
                            thread->WaitFor();  // the thread waits for this very call
                        } catch (const EThread&) {
                            waitRaised = true;
                        }
                        thread->TerminateAndFree();
                    }))
                    break;
        },
        &freed);
    thread->Start();
    ASSERT_TRUE(PumpUntil(App(), [&] { return freed.load(); }));
    EXPECT_EQ(calls, 1);
    EXPECT_TRUE(waitRaised);
}

TEST_F(Threads, PriorityReachesTheSystemThreadBeforeAndAfterStart) {
    auto* thread = new TBodyThread([](TBodyThread& self) {
        while (!self.Terminated())
            Sleep(1);
    });
    thread->SetPriority(tpLowest);
    thread->Start();
    ASSERT_TRUE(
        PumpUntil(App(), [&] { return GetThreadPriority(thread->Handle()) == THREAD_PRIORITY_LOWEST; }));
    thread->SetPriority(tpHighest);
    EXPECT_EQ(thread->Priority(), tpHighest);
    EXPECT_EQ(GetThreadPriority(thread->Handle()), THREAD_PRIORITY_HIGHEST);
    thread->Free();  // terminates and waits
}

TEST_F(Threads, ExceptionsStayWithTheThreadThatCausedThem) {
    // One thrown in a synchronized call goes back to the worker that asked
    // for it; one leaving Execute is kept for whoever looks.
    std::string seenByWorker;
    auto* thread = new TBodyThread([&](TBodyThread& self) {
        try {
            self.Synchronize([] { throw EConvertError("'x' is not a valid integer value"); });
        } catch (const Exception& e) {
            seenByWorker = e.Message();
        }
        throw std::runtime_error("worker failed");
    });
    thread->Start();
    ASSERT_TRUE(PumpUntil(App(), [&] { return thread->Finished(); }));
    thread->WaitFor();
    EXPECT_EQ(seenByWorker, "'x' is not a valid integer value");
    ASSERT_TRUE(thread->FatalException());
    EXPECT_THROW(std::rethrow_exception(thread->FatalException()), std::runtime_error);
    EXPECT_TRUE(Errors.empty());
    thread->Free();
}

TEST(ThreadShutdown, TheApplicationEndsItsThreadsBeforeItGoes) {
    // A thread of nobody's, still asking for the GUI thread while the program
    // ends: it is out of Execute before the application is freed, and its
    // object can be freed afterwards.
    std::optional<ScopedApplication> application(std::in_place);
    std::atomic<int> refused{0};
    auto* thread = new TBodyThread([&](TBodyThread& self) {
        while (!self.Terminated()) {
            if (!self.Synchronize([] {}))
                ++refused;
            Sleep(1);
        }
    });
    thread->Start();
    TakeWakeUp();
    application.reset();
    EXPECT_TRUE(thread->Finished());
    EXPECT_TRUE(thread->Terminated());
    EXPECT_GE(refused, 1);
    thread->Free();
}
