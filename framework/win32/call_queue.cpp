#include "framework/win32/call_queue.h"

#include <utility>

namespace vexel {

TCallQueue::TCallQueue(std::function<void()> Wake) : wake_(std::move(Wake)) {}

bool TCallQueue::Add(TCall Call, const std::atomic<bool>* Cancelled) {
    {
        std::lock_guard<std::mutex> lock(lock_);
        if (closed_ || (Cancelled && Cancelled->load()))
            return false;
        calls_.push_back(std::move(Call));
    }
    // A wake that fails (the window went meanwhile) is fine: closing the
    // queue releases the call.
    if (wake_)
        wake_();
    return true;
}

bool TCallQueue::Queue(TThreadProc Proc, const void* Tag) {
    return Add({std::move(Proc), Tag, nullptr}, nullptr);
}

bool TCallQueue::Wait(TThreadProc Proc, const void* Tag, const std::atomic<bool>* Cancelled) {
    auto waiter = std::make_shared<TWaiter>();
    if (!Add({std::move(Proc), Tag, waiter}, Cancelled))
        return false;
    std::unique_lock<std::mutex> lock(lock_);
    finished_.wait(lock, [&] { return waiter->Done; });
    if (waiter->Error)
        std::rethrow_exception(waiter->Error);
    return waiter->Ran;
}

void TCallQueue::Remove(const void* Tag) {
    {
        std::lock_guard<std::mutex> lock(lock_);
        for (auto it = calls_.begin(); it != calls_.end();) {
            if (it->Tag == Tag) {
                if (it->Waiter)
                    it->Waiter->Done = true;
                it = calls_.erase(it);
            } else {
                ++it;
            }
        }
    }
    finished_.notify_all();
}

void TCallQueue::Close() {
    {
        std::lock_guard<std::mutex> lock(lock_);
        closed_ = true;
        for (TCall& call : calls_)
            if (call.Waiter)
                call.Waiter->Done = true;
        calls_.clear();
    }
    finished_.notify_all();
}

bool TCallQueue::Closed() const {
    std::lock_guard<std::mutex> lock(lock_);
    return closed_;
}

void TCallQueue::RunPending(const std::function<void(const TThreadProc&)>& RunQueued) {
    // One at a time, so that a call which runs a message loop of its own
    // leaves the rest to the nested loop, in order.
    for (;;) {
        TCall call;
        {
            std::lock_guard<std::mutex> lock(lock_);
            if (calls_.empty())
                return;
            call = std::move(calls_.front());
            calls_.pop_front();
        }
        if (!call.Waiter) {
            RunQueued(call.Proc);
            continue;
        }
        std::exception_ptr error;
        try {
            call.Proc();
        } catch (...) {
            error = std::current_exception();
        }
        {
            std::lock_guard<std::mutex> lock(lock_);
            call.Waiter->Done = true;
            call.Waiter->Ran = true;
            call.Waiter->Error = error;
        }
        finished_.notify_all();
    }
}

}  // namespace vexel
