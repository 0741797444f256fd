// Forms (top-level windows, framed or borderless), the application object
// with its message loop and default exception report, and the screen.
#pragma once

#include <windows.h>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "framework/core/sysutils.h"
#include "framework/win32/controls.h"

// We call MessageBoxA by name; the macro would rename TApplication::MessageBox.
#undef MessageBox

namespace vexel {

enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
enum TBorderIconFlag : uint32_t { biSystemMenu = 1, biMinimize = 2, biMaximize = 4, biHelp = 8 };
using TBorderIcons = uint32_t;
enum TCloseAction { caNone, caHide, caFree, caMinimize };
// How a window is shown: as placed, as an icon, or filling the screen.
enum TWindowState { wsNormal, wsMinimized, wsMaximized };
using TCloseEvent = std::function<void(TObject* Sender, TCloseAction& Action)>;
using TCloseQueryEvent = std::function<void(TObject* Sender, bool& CanClose)>;

// A form is created hidden. Show and Hide fire OnShow and OnHide only when
// the visibility really changes; Close asks OnCloseQuery, lets OnClose choose
// what happens (caHide by default), and for the application's main form ends
// the message loop instead. Left, Top, Width and Height are the outer window
// on the screen; ClientWidth and ClientHeight the area inside the frame.
class TCustomForm : public TWinControl {
public:
    explicit TCustomForm(TComponent* AOwner);

    void SetVisible(bool Value) override;
    void Close();
    bool CloseQuery();
    // Frees the form once the messages already queued have been handled.
    void Release();
    // Fires OnCreate; TApplication::CreateForm calls it after construction.
    void DoCreate();

    bool Active() const { return active_; }
    TFormBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TFormBorderStyle Value);
    TBorderIcons BorderIcons() const { return borderIcons_; }
    void SetBorderIcons(TBorderIcons Value);
    // Normal, minimized or maximized: while the form shows, what its window
    // is; a hidden form keeps the state it is to show in.
    TWindowState WindowState() const { return windowState_; }
    void SetWindowState(TWindowState Value);
    int ModalResult() const { return modalResult_; }
    void SetModalResult(int Value) { modalResult_ = Value; }

    // The control of the form that has the focus, or gets it when the form
    // is activated; null for none (the first tab stop then gets it). Setting
    // a control that cannot take the focus, or one of another form, raises
    // EInvalidOperation "Cannot focus a disabled or invisible window".
    TWinControl* ActiveControl() const { return activeControl_; }
    void SetActiveControl(TWinControl* Control);
    // Where the focus is, as the form last heard: a control, the form itself
    // or null.
    TWinControl* FocusedControl() const { return focusedControl_; }
    // Told by a control of the form (or the form) that got the focus. When
    // that changes the focused control, every control of the form hears of
    // it through CM_FOCUSCHANGED.
    void SetFocusedControl(TWinControl* Control);
    // Control, or the container it sits in, is leaving the form (Removing)
    // or can no longer hold the focus: the form forgets it.
    void DefocusControl(TWinControl* Control, bool Removing);

    TNotifyEvent OnCreate;
    TNotifyEvent OnShow;
    TNotifyEvent OnHide;
    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;
    // Fires when the form is freed, before its window is destroyed.
    TNotifyEvent OnDestroy;
    TCloseEvent OnClose;
    TCloseQueryEvent OnCloseQuery;

protected:
    ~TCustomForm() override;
    void CreateParams(TCreateParams& Params) const override;
    void WndProc(TMessage& Message) override;
    void BeforeDestruction() override;
    virtual void DoShow();
    virtual void DoHide();
    virtual void DoClose(TCloseAction& Action);

private:
    // Gives the focus to the active control (or the first tab stop) once the
    // form is active.
    void FocusActiveControl();

    TWinControl* activeControl_ = nullptr;
    TWinControl* focusedControl_ = nullptr;
    TFormBorderStyle borderStyle_ = bsSizeable;
    TBorderIcons borderIcons_ = biSystemMenu | biMinimize | biMaximize;
    TWindowState windowState_ = wsNormal;
    bool active_ = false;
    int modalResult_ = 0;
    bool destroyFired_ = false;
};

class TForm : public TCustomForm {
public:
    using TCustomForm::TCustomForm;

protected:
    ~TForm() override = default;
};

// The form a control sits on, or null.
TCustomForm* GetParentForm(TControl* Control);

// A hidden message-only window whose messages go to a function: for timers
// and posted messages of objects that have no window of their own. An
// exception thrown by the function goes through the guarded edge
// (guarded_call.h) with Sender named as its source.
class TUtilityWindow {
public:
    using THandler = std::function<LRESULT(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam)>;
    explicit TUtilityWindow(THandler Handler, TObject* Sender = nullptr);
    ~TUtilityWindow();
    TUtilityWindow(const TUtilityWindow&) = delete;
    TUtilityWindow& operator=(const TUtilityWindow&) = delete;
    HWND Handle() const { return handle_; }

private:
    static LRESULT CALLBACK WindowProc(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam);
    THandler handler_;
    TObject* sender_;
    HWND handle_ = nullptr;
};

using TExceptionEvent = std::function<void(TObject* Sender, const Exception& E)>;
// Work handed to the GUI thread (Queue, Synchronize).
using TThreadProc = std::function<void()>;

class TTimer;
class TThread;

// The application object: the message loop, the default exception report,
// hints, the program's timers, and the door through which other threads hand
// work to the GUI thread. The thread that makes it is the GUI thread. The
// program makes it (and Screen) with a ScopedApplication, which also frees
// it; see there for the order in which everything goes.
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
    friend class TTimer;
    friend class TThread;
    struct TCallQueue;

    void FormCreated(TCustomForm* Form);
    bool ProcessMessage();
    // Offers a key message to the control whose window (or a child window
    // of it, such as a combo box's edit) it is for, as CN_KEYDOWN, CN_CHAR,
    // ...: the form's dialog keys and accelerators come before the window
    // sees the key. True when a control took it.
    bool IsKeyMsg(const MSG& Msg);
    LRESULT UtilityMessage(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam);
    void ShowHintWindow();
    void RunQueuedCalls();
    void Shutdown();
    // Ends the threads that may still call into the application (TThread
    // registers itself while it runs) and waits until they are out.
    void EndThreads();
    // The timer registry: every running TTimer ticks through the utility
    // window under an id of its own.
    UINT_PTR StartTimer(TTimer* Timer, UINT Interval);
    void StopTimer(UINT_PTR Id);

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
    std::map<UINT_PTR, TTimer*> timers_;
    UINT_PTR nextTimerId_ = 100;
    // Shared with the threads waiting in Synchronize, which may wake after
    // the application is gone.
    std::shared_ptr<TCallQueue> calls_;
    std::unique_ptr<TUtilityWindow> utility_;
    // Threads started under this application whose Execute has not returned.
    std::mutex threadsLock_;
    std::condition_variable threadsGone_;
    std::vector<TThread*> threads_;
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
