// The application object (message loop, default exception report, hints,
// the door to the GUI thread), the screen, and ScopedApplication, which makes
// and frees both.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <memory>
#include <string>

#include "framework/core/sysutils.h"
#include "framework/win32/call_queue.h"
#include "framework/win32/controls.h"
#include "framework/win32/thread_registry.h"
#include "framework/win32/timer_registry.h"
#include "framework/win32/utility_window.h"

// We call MessageBoxW by name; the macro would rename TApplication::MessageBox.
#undef MessageBox

namespace vexel {

class TCustomForm;

using TExceptionEvent = std::function<void(TObject* Sender, const Exception& E)>;

// The thread that makes the application is the GUI thread. The program makes
// it (and Screen) with a ScopedApplication, which also frees it; see there
// for the order in which everything goes.
class TApplication : public TComponent {
public:
    explicit TApplication(TComponent* AOwner);

    // The caption of message boxes; the program file's name until set.
    const std::string& Title() const { return title_; }
    void SetTitle(const std::string& Value) { title_ = Value; }

    // The application's own hidden window, which no form is: the owner of
    // shell calls that should not hang on any one form.
    HWND Handle() const;

    // The first form made with CreateForm; closing it ends Run.
    TCustomForm* MainForm() const { return mainForm_; }
    bool ShowMainForm() const { return showMainForm_; }
    void SetShowMainForm(bool Value) { showMainForm_ = Value; }

    // Makes a form owned by the application, stores it in Reference, fires
    // its OnCreate. The first form so made becomes the main form.
    template <class T>
    void CreateForm(T*& Reference) {
        T* form = new T(this);
        Reference = form;
        FormCreated(form);
    }

    // Shows the main form and handles messages until Terminate.
    void Run();
    // Handles every message waiting, then returns.
    void ProcessMessages();
    // Handles one message, or waits for one when there is none.
    void HandleMessage();
    // Ends Run (through WM_QUIT).
    void Terminate();
    bool Terminated() const { return terminated_; }

    // Reports the exception being handled (call it inside a catch block):
    // to OnException when assigned, else in a message box. EAbort is silent.
    void HandleException(TObject* Sender);
    // The default report: the message, with a final period added, in a
    // stop-sign message box captioned with Title.
    void ShowException(const Exception& E);
    int MessageBox(const std::string& Text, const std::string& Caption, UINT Flags);

    // Work for the GUI thread, callable from any thread. Queue returns at
    // once; the GUI thread runs Proc from its message loop (Run,
    // ProcessMessages, HandleMessage or a modal loop such as a message box's),
    // in the order the calls were queued, and hands an exception Proc throws
    // to HandleException with the application as sender.
    //
    // Synchronize runs Proc on the GUI thread and returns once it ran: at
    // once, directly, when called on the GUI thread; from another thread it
    // queues Proc and waits. An exception Proc throws is raised again in the
    // waiting thread. It returns false, without running Proc, when the
    // application begins to shut down (or RemoveQueued takes the call away)
    // before Proc's turn: a worker never waits for a GUI thread that is gone.
    //
    // Tag marks the calls of one object; RemoveQueued(Tag) drops the ones
    // still waiting, for an object about to go (a thread timer that stops its
    // worker). Cancelled, when given, is read under the queue's lock as the
    // call is added, and a set flag makes Synchronize return false at once:
    // an owner that sets the flag and then calls RemoveQueued(Tag) knows that
    // no call of Tag is left waiting, not even one being added at that very
    // moment. A thread must not call these once the application is freed:
    // threads end before it (see TThread, thread.h).
    //
    //     // on the worker thread
    //     while (!stopping)
    //         if (!Application->Synchronize([this] { Tick(); }, this, &stopping))
    //             break;  // stopped, or the program is ending
    void Queue(TThreadProc Proc, const void* Tag = nullptr);
    bool Synchronize(TThreadProc Proc, const void* Tag = nullptr, const std::atomic<bool>* Cancelled = nullptr);
    void RemoveQueued(const void* Tag);
    // True on the thread that made the application.
    bool InGuiThread() const;

    // The program's running timers (TTimer starts and stops its own there),
    // closed as the application shuts down. Shared: a timer may outlive it.
    const std::shared_ptr<TTimerRegistry>& Timers() const { return timers_; }
    // The threads working under this application (TThread registers itself
    // while it runs), ended and waited for as the application shuts down.
    TThreadRegistry& Threads() { return threads_; }

    bool ShowHint() const { return showHint_; }
    void SetShowHint(bool Value);
    int HintPause() const { return hintPause_; }
    void SetHintPause(int Value) { hintPause_ = Value; }
    int HintHidePause() const { return hintHidePause_; }
    void SetHintHidePause(int Value) { hintHidePause_ = Value; }
    // The control whose hint is waiting to show or showing, or null.
    TControl* HintControl() const { return hintControl_; }
    // The tooltip window that shows hints; null until the first hint shows.
    HWND HintWindow() const { return hintWindow_; }

    TExceptionEvent OnException;

    // Called by controls as the mouse enters and leaves them or presses.
    void HintMouseEnter(TControl* Control);
    void HintMouseLeave(TControl* Control);
    void CancelHint();
    void ControlDestroying(TControl* Control);

protected:
    ~TApplication() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void BeforeDestruction() override;

private:
    void FormCreated(TCustomForm* Form);
    bool ProcessMessage();
    // Offers a key message to the control whose window (or a child window
    // of it, such as a combo box's edit) it is for, as CN_KEYDOWN, CN_CHAR,
    // ...: the form's dialog keys and accelerators come before the window
    // sees the key. True when a control took it.
    bool IsKeyMsg(const MSG& Msg);
    LRESULT UtilityMessage(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam);
    void ShowHintWindow();
    void Shutdown();

    std::string title_;
    TCustomForm* mainForm_ = nullptr;
    bool showMainForm_ = true;
    bool terminated_ = false;
    bool showHint_ = true;
    int hintPause_ = 500;
    int hintHidePause_ = 2500;
    TControl* hintControl_ = nullptr;
    HWND hintWindow_ = nullptr;
    DWORD guiThread_ = 0;
    bool shutDown_ = false;
    std::unique_ptr<TUtilityWindow> utility_;
    std::shared_ptr<TCallQueue> calls_;
    std::shared_ptr<TTimerRegistry> timers_;
    TThreadRegistry threads_;
};

class TScreen : public TComponent {
public:
    using TComponent::TComponent;
    int Width() const { return GetSystemMetrics(SM_CXSCREEN); }
    int Height() const { return GetSystemMetrics(SM_CYSCREEN); }
    int PixelsPerInch() const { return TFont::PixelsPerInch(); }
    // A cursor for the whole program (crHourGlass during long work);
    // crDefault lets every control show its own.
    TCursor Cursor() const { return cursor_; }
    void SetCursor(TCursor Value);

protected:
    ~TScreen() override = default;

private:
    TCursor cursor_ = crDefault;
};

// The program's application object and screen: made by a ScopedApplication,
// null outside one.
extern TApplication* Application;
extern TScreen* Screen;

// Owns Application and Screen. WinMain makes one first thing, and when it
// goes (as WinMain returns) everything of the framework goes with it, in this
// order, before any static object of the program is destroyed:
//   1. queued work is dropped and threads waiting in Synchronize are released;
//   2. the application's components (its forms, with their controls, timers
//      and windows) are freed with Free, last made first, so every window is
//      destroyed while its whole object is alive;
//   3. timers that belong to no form are stopped (they may be freed later);
//   4. threads still running (TThread, of no form) are terminated and waited
//      for; their objects may be freed later;
//   5. the application's own windows go, then the application and Screen.
//
//     int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
//         ScopedApplication application;
//         Application->CreateForm(Form1);
//         Application->Run();
//         return 0;  // forms and timers still alive are freed on the way out
//     }
//
// A ScopedApplication made while another exists (a test fixture inside a
// program) installs its own objects and puts the previous ones back when it
// goes. Make and free it on the thread that is to be the GUI thread.
class ScopedApplication {
public:
    ScopedApplication();
    ~ScopedApplication();
    ScopedApplication(const ScopedApplication&) = delete;
    ScopedApplication& operator=(const ScopedApplication&) = delete;
    TApplication* Get() const { return application_; }

private:
    TApplication* savedApplication_;
    TScreen* savedScreen_;
    TApplication* application_ = nullptr;
    TScreen* screen_ = nullptr;
};

}  // namespace vexel
