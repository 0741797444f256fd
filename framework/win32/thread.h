// A worker thread object: Execute runs on a thread of its own, checks
// Terminated to know when to stop, and hands work to the GUI thread with a
// synchronous call that is safe while the program shuts down.
#pragma once

#include <windows.h>

#include <atomic>
#include <exception>
#include <mutex>

#include "framework/core/classes.h"
#include "framework/core/sysutils.h"
#include "framework/win32/application.h"
#include "framework/win32/thread_registry.h"

namespace vexel {

class EThread : public Exception {
    using Exception::Exception;
};

enum TThreadPriority { tpIdle, tpLowest, tpLower, tpNormal, tpHigher, tpHighest, tpTimeCritical };

// Made on the GUI thread, started with Start, freed with Free (which
// terminates the thread and waits for it) or TerminateAndFree.
//
// While a thread runs it is registered with the application that was current
// when it started; when that application shuts down it terminates every
// thread still registered and waits until their Execute has returned, so no
// worker ever calls into a freed application. Execute must therefore watch
// Terminated (override TerminatedSet to wake a thread that waits for
// something of its own).
//
// Synchronize is the worker's way onto the GUI thread: it returns once the
// call ran there, or false at once when the thread has been terminated or
// the application is shutting down. Terminate takes away a call still
// waiting for its turn, so terminating and then waiting for a thread on the
// GUI thread never deadlocks.
//
//     class TTicker : public TThread {
//     protected:
//         void Execute() override {
//             while (!Terminated()) {
//                 Sleep(100);
//                 if (!Synchronize([this] { form->Step(); }))
//                     return;
//             }
//         }
//     };
class TThread : public TObject, private TRegisteredThread {
public:
    TThread();

    // Starts Execute on a new thread; once only (EThread "Thread already started").
    void Start();
    bool Started() const { return handle_ != nullptr; }
    // Asks Execute to stop: sets Terminated, drops a synchronous call still
    // waiting for the GUI thread (it returns false), and calls TerminatedSet.
    void Terminate() override;
    bool Terminated() const { return terminated_.load(); }
    // Execute has returned.
    bool Finished() const { return finished_.load(); }
    // Waits until the thread has ended; at once when it never started. On the
    // GUI thread, terminate the thread first (or know that it does not call
    // Synchronize), or the two wait for each other. Raises EThread when
    // called on the thread itself or from inside its own synchronized call,
    // which could never end.
    void WaitFor();

    TThreadPriority Priority() const { return priority_.load(); }
    void SetPriority(TThreadPriority Value);
    // Frees the object on its own thread as soon as Execute returns. Set it
    // only while the thread cannot end meanwhile (before Start, or from
    // inside its synchronized call); nobody may touch the object afterwards.
    bool FreeOnTerminate() const { return freeOnTerminate_.load(); }
    void SetFreeOnTerminate(bool Value) { freeOnTerminate_ = Value; }

    HANDLE Handle() const { return handle_; }
    DWORD ThreadID() const { return threadId_; }
    // What Execute threw, if anything (after Finished).
    std::exception_ptr FatalException() const { return fatalException_; }
    // True on the GUI thread while a call this thread made with Synchronize
    // runs there, and the thread waits for it.
    bool InSynchronizedCall() const { return syncDepth_ > 0; }

    // Terminates the thread and frees the object. It waits for the thread to
    // end, except when called from inside the thread's own synchronized call:
    // the thread waits for that call, so it is left to free itself as soon as
    // the call returns. A component that owns a worker drops it this way,
    // whatever context its destructor runs in.
    void TerminateAndFree();

protected:
    ~TThread() override;
    // Terminates the thread and waits for it while the object is whole.
    void BeforeDestruction() override;

    virtual void Execute() = 0;
    // Called by Terminate, on the terminating thread.
    virtual void TerminatedSet() {}
    // Runs Method on the GUI thread and returns once it ran there (at once
    // when called on the GUI thread). Returns false without running it when
    // the thread is terminated or the application is shutting down (or
    // absent). An exception Method throws is raised again here.
    bool Synchronize(TThreadProc Method);

private:
    static unsigned __stdcall ThreadProc(void* Param);
    // On the worker, after Execute: leaves the application's registry.
    void Deregister();

    std::mutex startGate_;
    HANDLE handle_ = nullptr;
    DWORD threadId_ = 0;
    std::atomic<bool> terminated_{false};
    std::atomic<bool> finished_{false};
    std::atomic<bool> freeOnTerminate_{false};
    std::atomic<TThreadPriority> priority_{tpNormal};
    // The application the thread is registered with, while it is; null
    // before Start, after Execute, and without an application.
    std::atomic<TApplication*> application_{nullptr};
    std::exception_ptr fatalException_;
    int syncDepth_ = 0;  // GUI thread only
};

}  // namespace vexel
