// The parts the application is built from, each on its own: the call queue
// (order, waiters released on removal and on closing, errors carried back),
// the thread registry (ending every thread before it goes) and the timer
// registry (stale ticks, ticks that stop their own timer, closing).
#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <thread>
#include <vector>

#include "framework/core/sysutils.h"
#include "framework/win32/call_queue.h"
#include "framework/win32/thread_registry.h"
#include "framework/win32/timer_registry.h"
#include "framework/win32/utility_window.h"

using namespace vexel;

namespace {

// Runs whatever the queue holds until Done says so.
template <class TDone>
void RunUntil(TCallQueue& Queue, TDone Done) {
    for (int i = 0; i < 5000 && !Done(); ++i) {
        Queue.RunPending([](const TThreadProc& Proc) { Proc(); });
        Sleep(1);
    }
}

TEST(CallQueue, RunsQueuedCallsInOrderAndWakesTheGuiThreadForEach) {
    std::atomic<int> wakes{0};
    TCallQueue queue([&] { ++wakes; });
    std::vector<int> order;
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(queue.Queue([&order, i] { order.push_back(i); }, nullptr));
    EXPECT_EQ(wakes.load(), 3);
    EXPECT_TRUE(order.empty());  // nothing runs before the GUI thread asks
    queue.RunPending([](const TThreadProc& Proc) { Proc(); });
    EXPECT_EQ(order, (std::vector<int>{0, 1, 2}));
}

TEST(CallQueue, AWaiterSeesItsCallRunOrItsExceptionOrBeingRemoved) {
    TCallQueue queue(nullptr);
    std::atomic<int> result{-1};
    std::thread ran([&] { result = queue.Wait([] {}, nullptr, nullptr) ? 1 : 0; });
    RunUntil(queue, [&] { return result.load() != -1; });
    ran.join();
    EXPECT_EQ(result.load(), 1);

    std::atomic<bool> caught{false};
    std::thread threw([&] {
        try {
            queue.Wait([] { throw std::runtime_error("in the call"); }, nullptr, nullptr);
        } catch (const std::runtime_error& e) {
            caught = std::string(e.what()) == "in the call";
        }
    });
    RunUntil(queue, [&] { return caught.load(); });
    threw.join();
    EXPECT_TRUE(caught.load());

    // Removed before its turn: released with false, and the call never runs.
    int tagA = 0, tagB = 0;
    std::atomic<bool> removedRan{false};
    result = -1;
    std::thread removed([&] { result = queue.Wait([&] { removedRan = true; }, &tagA, nullptr) ? 1 : 0; });
    std::atomic<bool> otherRan{false};
    queue.Queue([&] { otherRan = true; }, &tagB);
    // The waiter may not have added its call yet: remove until it is released.
    for (int i = 0; i < 5000 && result.load() == -1; ++i) {
        queue.Remove(&tagA);
        Sleep(1);
    }
    removed.join();
    EXPECT_EQ(result.load(), 0);
    queue.RunPending([](const TThreadProc& Proc) { Proc(); });
    EXPECT_FALSE(removedRan.load());
    EXPECT_TRUE(otherRan.load());  // another tag's call stays
}

TEST(CallQueue, ClosingReleasesWaitersAndRefusesNewCalls) {
    std::atomic<int> wakes{0};
    TCallQueue queue([&] { ++wakes; });
    std::atomic<int> result{-1};
    bool ran = false;
    std::thread waiter([&] { result = queue.Wait([&] { ran = true; }, nullptr, nullptr) ? 1 : 0; });
    // The wake comes once the call is in: close only then, so that this
    // tests the release of a waiting call.
    for (int i = 0; i < 5000 && wakes.load() == 0; ++i)
        Sleep(1);
    ASSERT_EQ(wakes.load(), 1);
    queue.Close();
    waiter.join();
    EXPECT_EQ(result.load(), 0);
    queue.RunPending([](const TThreadProc& Proc) { Proc(); });
    EXPECT_FALSE(ran);
    EXPECT_FALSE(queue.Queue([] {}, nullptr));
    EXPECT_FALSE(queue.Wait([] {}, nullptr, nullptr));
    EXPECT_EQ(wakes.load(), 1);

    TCallQueue open(nullptr);
    std::atomic<bool> cancelled{true};
    ran = false;
    EXPECT_FALSE(open.Wait([&] { ran = true; }, nullptr, &cancelled));
    open.RunPending([](const TThreadProc& Proc) { Proc(); });
    EXPECT_FALSE(ran);
}

class TWorker : public TRegisteredThread {
public:
    explicit TWorker(TThreadRegistry& Registry) : registry_(Registry) {
        EXPECT_TRUE(registry_.Add(this));
        thread_ = std::thread([this] {
            while (!stop_.load())
                Sleep(1);
            Sleep(20);  // still busy for a while after being told
            finished_ = true;
            registry_.Remove(this);
        });
    }
    ~TWorker() { thread_.join(); }
    void Terminate() override { stop_ = true; }
    bool Finished() const { return finished_.load(); }

private:
    TThreadRegistry& registry_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> finished_{false};
    std::thread thread_;
};

TEST(ThreadRegistry, EndAllTerminatesEveryThreadAndWaitsForEachToLeave) {
    TThreadRegistry registry;
    TWorker first(registry), second(registry);
    EXPECT_EQ(registry.Count(), 2u);
    registry.EndAll();
    EXPECT_TRUE(first.Finished());
    EXPECT_TRUE(second.Finished());
    EXPECT_EQ(registry.Count(), 0u);

    struct TLate : TRegisteredThread {
        void Terminate() override {}
    } late;
    EXPECT_FALSE(registry.Add(&late));
    EXPECT_EQ(registry.Count(), 0u);
}

TEST(TimerRegistry, TicksByIdIgnoresStaleIdsAndStopsEverythingWhenClosed) {
    TUtilityWindow window([](HWND w, UINT msg, WPARAM wp, LPARAM lp) { return DefWindowProcW(w, msg, wp, lp); });
    TTimerRegistry registry(window.Handle(), 100);
    int ticksA = 0, ticksB = 0;
    UINT_PTR a = registry.Start(10000, [&] { ++ticksA; });
    UINT_PTR b = 0;
    b = registry.Start(10000, [&] {
        ++ticksB;
        registry.Stop(b);  // a timer that stops itself from its own tick
    });
    EXPECT_TRUE(registry.Owns(a));
    EXPECT_FALSE(registry.Owns(99));
    EXPECT_NE(a, b);
    EXPECT_TRUE(registry.Tick(a));
    EXPECT_TRUE(registry.Tick(b));
    EXPECT_FALSE(registry.Tick(b));  // stopped: a tick still queued is dropped
    EXPECT_EQ(ticksA, 1);
    EXPECT_EQ(ticksB, 1);
    EXPECT_EQ(registry.Count(), 1u);

    registry.Close();
    EXPECT_EQ(registry.Count(), 0u);
    EXPECT_FALSE(registry.Tick(a));
    EXPECT_EQ(registry.Start(10, [] {}), 0u);
    registry.Stop(a);  // harmless after closing
    EXPECT_EQ(ticksA, 1);
}

}  // namespace
