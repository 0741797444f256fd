// Forms (top-level windows, framed or borderless), the application object
// with its message loop and default exception report, and the screen.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "framework/core/sysutils.h"
#include "framework/win32/controls.h"

// We call MessageBoxA by name; the macro would rename TApplication::MessageBox.
#undef MessageBox

namespace vexel {

enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
enum TBorderIconFlag : uint32_t { biSystemMenu = 1, biMinimize = 2, biMaximize = 4, biHelp = 8 };
using TBorderIcons = uint32_t;
enum TCloseAction { caNone, caHide, caFree, caMinimize };
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
    ~TCustomForm() override;

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
    int ModalResult() const { return modalResult_; }
    void SetModalResult(int Value) { modalResult_ = Value; }

    TNotifyEvent OnCreate;
    TNotifyEvent OnShow;
    TNotifyEvent OnHide;
    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;
    // Fires when the form is freed with Free() (owners free that way).
    TNotifyEvent OnDestroy;
    TCloseEvent OnClose;
    TCloseQueryEvent OnCloseQuery;

protected:
    void CreateParams(TCreateParams& Params) const override;
    void WndProc(TMessage& Message) override;
    void BeforeDestruction() override;
    virtual void DoShow();
    virtual void DoHide();
    virtual void DoClose(TCloseAction& Action);

private:
    TFormBorderStyle borderStyle_ = bsSizeable;
    TBorderIcons borderIcons_ = biSystemMenu | biMinimize | biMaximize;
    bool active_ = false;
    int modalResult_ = 0;
    bool destroyFired_ = false;
};

class TForm : public TCustomForm {
public:
    using TCustomForm::TCustomForm;
};

// The form a control sits on, or null.
TCustomForm* GetParentForm(TControl* Control);

// A hidden message-only window whose messages go to a function: for timers
// and posted messages of objects that have no window of their own.
// Exceptions thrown by the function go to Application->HandleException.
class TUtilityWindow {
public:
    using THandler = std::function<LRESULT(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam)>;
    explicit TUtilityWindow(THandler Handler);
    ~TUtilityWindow();
    TUtilityWindow(const TUtilityWindow&) = delete;
    TUtilityWindow& operator=(const TUtilityWindow&) = delete;
    HWND Handle() const { return handle_; }

private:
    static LRESULT CALLBACK WindowProc(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam);
    THandler handler_;
    HWND handle_ = nullptr;
};

using TExceptionEvent = std::function<void(TObject* Sender, const Exception& E)>;

class TApplication : public TComponent {
public:
    explicit TApplication(TComponent* AOwner);
    ~TApplication() override;

    // The caption of message boxes; the program file's name until set.
    const std::string& Title() const { return title_; }
    void SetTitle(const std::string& Value) { title_ = Value; }

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

    bool ShowHint() const { return showHint_; }
    void SetShowHint(bool Value);
    int HintPause() const { return hintPause_; }
    void SetHintPause(int Value) { hintPause_ = Value; }
    int HintHidePause() const { return hintHidePause_; }
    void SetHintHidePause(int Value) { hintHidePause_ = Value; }
    // The control whose hint is waiting to show or showing, or null.
    TControl* HintControl() const { return hintControl_; }

    TExceptionEvent OnException;

    // Called by controls as the mouse enters and leaves them or presses.
    void HintMouseEnter(TControl* Control);
    void HintMouseLeave(TControl* Control);
    void CancelHint();
    void ControlDestroying(TControl* Control);

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    void FormCreated(TCustomForm* Form);
    bool ProcessMessage();
    LRESULT UtilityMessage(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam);
    void ShowHintWindow();
    TUtilityWindow& Utility();

    std::string title_;
    TCustomForm* mainForm_ = nullptr;
    bool showMainForm_ = true;
    bool terminated_ = false;
    bool showHint_ = true;
    int hintPause_ = 500;
    int hintHidePause_ = 2500;
    TControl* hintControl_ = nullptr;
    HWND hintWindow_ = nullptr;
    std::unique_ptr<TUtilityWindow> utility_;
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

private:
    TCursor cursor_ = crDefault;
};

// Made when the program starts and freed when it ends. Tests may point
// Application at an object of their own for a while.
extern TApplication* Application;
extern TScreen* Screen;

}  // namespace vexel
