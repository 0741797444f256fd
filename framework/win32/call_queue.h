// Work handed from any thread to the GUI thread: calls queued in order and
// run by the GUI thread's message loop, with a synchronous variant that is
// safe while the program shuts down.
#pragma once

#include <atomic>
#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>

namespace vexel {

// Work handed to the GUI thread (Queue, Synchronize).
using TThreadProc = std::function<void()>;

// The queue is shared (std::shared_ptr) between its owner and the threads
// waiting in Synchronize, which may wake after the owner is gone. Wake is
// called, outside the queue's lock, after every call added, to make the GUI
// thread run RunPending soon (the application posts itself a message).
class TCallQueue {
public:
    explicit TCallQueue(std::function<void()> Wake);
    TCallQueue(const TCallQueue&) = delete;
    TCallQueue& operator=(const TCallQueue&) = delete;

    // Adds Proc; false when the queue is closed.
    bool Queue(TThreadProc Proc, const void* Tag);
    // Adds Proc and waits until the GUI thread ran it (true), or until it was
    // removed or the queue closed before its turn (false). Cancelled, when
    // given, is read under the lock as the call is added; a set flag returns
    // false at once. An exception Proc throws is raised again here. Never
    // call it on the GUI thread: that thread would wait for itself.
    bool Wait(TThreadProc Proc, const void* Tag, const std::atomic<bool>* Cancelled);
    // Drops the calls of Tag still waiting; their waiters return false.
    void Remove(const void* Tag);
    // Drops every call, releases every waiter and refuses new calls.
    void Close();
    bool Closed() const;

    // On the GUI thread: runs the waiting calls one at a time, in order. A
    // queued call is handed to RunQueued, which runs it and deals with what
    // it throws; a synchronous call's exception goes back to its waiter.
    void RunPending(const std::function<void(const TThreadProc&)>& RunQueued);

private:
    struct TWaiter {
        bool Done = false;
        bool Ran = false;
        std::exception_ptr Error;
    };
    struct TCall {
        TThreadProc Proc;
        const void* Tag = nullptr;
        std::shared_ptr<TWaiter> Waiter;  // null for Queue
    };

    bool Add(TCall Call, const std::atomic<bool>* Cancelled);

    std::function<void()> wake_;
    mutable std::mutex lock_;
    std::condition_variable finished_;
    std::deque<TCall> calls_;
    bool closed_ = false;
};

}  // namespace vexel
