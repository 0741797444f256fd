#include "framework/win32/thread.h"

#include <process.h>

#include <cerrno>
#include <mutex>

namespace vexel {

namespace {

int SystemPriority(TThreadPriority Priority) {
    static const int kPriorities[] = {THREAD_PRIORITY_IDLE,         THREAD_PRIORITY_LOWEST,
                                      THREAD_PRIORITY_BELOW_NORMAL, THREAD_PRIORITY_NORMAL,
                                      THREAD_PRIORITY_ABOVE_NORMAL, THREAD_PRIORITY_HIGHEST,
                                      THREAD_PRIORITY_TIME_CRITICAL};
    return kPriorities[Priority];
}

}  // namespace

TThread::TThread() = default;

TThread::~TThread() {
    if (handle_)
        CloseHandle(handle_);
}

void TThread::BeforeDestruction() {
    TObject::BeforeDestruction();
    if (!handle_ || GetCurrentThreadId() == threadId_)
        return;  // never started, or freeing itself after Execute
    Terminate();
    WaitFor();
}

void TThread::Start() {
    if (handle_)
        throw EThread("Thread already started");
    TApplication* app = Application;
    // Registered before it runs, so a shutdown can never miss it. An
    // application already ending its threads refuses: the thread then finds
    // Synchronize closed and must not touch it.
    if (app && app->Threads().Add(this))
        application_ = app;
    // The new thread waits for this lock, so it sees handle_ and threadId_
    // set even when it frees itself at once.
    std::lock_guard<std::mutex> gate(startGate_);
    unsigned id = 0;
    auto handle = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, &TThread::ThreadProc, this, 0, &id));
    if (!handle) {
        Deregister();
        throw EThread("Thread creation error: " + IntToStr(static_cast<int64_t>(errno)));
    }
    handle_ = handle;
    threadId_ = id;
}

unsigned __stdcall TThread::ThreadProc(void* Param) {
    auto* self = static_cast<TThread*>(Param);
    { std::lock_guard<std::mutex> gate(self->startGate_); }
    SetThreadPriority(GetCurrentThread(), SystemPriority(self->priority_.load()));
    try {
        self->Execute();
    } catch (...) {
        self->fatalException_ = std::current_exception();
    }
    self->finished_ = true;
    self->Deregister();
    if (self->freeOnTerminate_)
        self->Free();
    return 0;
}

void TThread::Deregister() {
    TApplication* app = application_.exchange(nullptr);
    // The application may go as soon as this returns.
    if (app)
        app->Threads().Remove(this);
}

void TThread::Terminate() {
    terminated_ = true;
    // With the flag set first, a call being added right now is refused, and
    // one added just before is removed here: none is left behind.
    if (TApplication* app = application_.load())
        app->RemoveQueued(this);
    TerminatedSet();
}

void TThread::WaitFor() {
    if (!handle_)
        return;
    if (GetCurrentThreadId() == threadId_)
        throw EThread("A thread cannot wait for itself");
    if (syncDepth_ > 0)
        throw EThread("A thread cannot be waited for inside its own synchronized call");
    WaitForSingleObject(handle_, INFINITE);
}

void TThread::SetPriority(TThreadPriority Value) {
    priority_ = Value;
    if (handle_)
        SetThreadPriority(handle_, SystemPriority(Value));
}

void TThread::TerminateAndFree() {
    Terminate();
    if (syncDepth_ > 0 && !finished_) {
        // The thread is blocked until the call we are inside returns; after
        // that it finds itself terminated, leaves Execute and frees itself.
        freeOnTerminate_ = true;
        return;
    }
    Free();
}

bool TThread::Synchronize(TThreadProc Method) {
    TApplication* app = application_.load();
    if (!app)
        return false;
    return app->Synchronize(
        [this, &Method] {
            // Counted so that the GUI thread knows, inside the call, that
            // this thread waits for it (InSynchronizedCall).
            struct TDepth {
                int& depth;
                explicit TDepth(int& d) : depth(d) { ++depth; }
                ~TDepth() { --depth; }
            } depth(syncDepth_);
            Method();
        },
        this, &terminated_);
}

}  // namespace vexel
