// The threads started under one application whose work has not ended: the
// application ends them all, and waits for them, before it goes.
#pragma once

#include <condition_variable>
#include <mutex>
#include <vector>

namespace vexel {

// What the registry needs of a thread: a way to ask it to stop.
class TRegisteredThread {
public:
    // Called under the registry's lock; must not call back into it.
    virtual void Terminate() = 0;

protected:
    ~TRegisteredThread() = default;
};

class TThreadRegistry {
public:
    TThreadRegistry() = default;
    TThreadRegistry(const TThreadRegistry&) = delete;
    TThreadRegistry& operator=(const TThreadRegistry&) = delete;

    // Adds a thread about to start; false once the registry has ended (the
    // thread must then not touch the application).
    bool Add(TRegisteredThread* Thread);
    // Called by the thread itself once its work has returned; after this it
    // never touches the registry again.
    void Remove(TRegisteredThread* Thread);
    // Refuses new threads, asks every registered one to terminate and waits
    // until each has removed itself.
    void EndAll();
    size_t Count() const;

private:
    mutable std::mutex lock_;
    std::condition_variable gone_;
    std::vector<TRegisteredThread*> threads_;
    bool ended_ = false;
};

}  // namespace vexel
