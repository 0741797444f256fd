#include "framework/win32/thread_registry.h"

#include <algorithm>

namespace vexel {

bool TThreadRegistry::Add(TRegisteredThread* Thread) {
    std::lock_guard<std::mutex> lock(lock_);
    if (ended_)
        return false;
    threads_.push_back(Thread);
    return true;
}

void TThreadRegistry::Remove(TRegisteredThread* Thread) {
    std::lock_guard<std::mutex> lock(lock_);
    threads_.erase(std::remove(threads_.begin(), threads_.end(), Thread), threads_.end());
    // Under the lock: the registry may go as soon as EndAll sees the list
    // empty, and must not find the thread still touching it.
    gone_.notify_all();
}

void TThreadRegistry::EndAll() {
    std::unique_lock<std::mutex> lock(lock_);
    ended_ = true;
    // A registered thread has not returned from its work, so its object is
    // alive; terminating it releases whatever it waits for.
    for (TRegisteredThread* thread : threads_)
        thread->Terminate();
    gone_.wait(lock, [this] { return threads_.empty(); });
}

size_t TThreadRegistry::Count() const {
    std::lock_guard<std::mutex> lock(lock_);
    return threads_.size();
}

}  // namespace vexel
