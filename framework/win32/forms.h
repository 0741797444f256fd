// Forms: top-level windows, framed or borderless, or docked into a control.
#pragma once

#include <windows.h>

#include <functional>

#include "framework/core/sysutils.h"
#include "framework/win32/application.h"
#include "framework/win32/controls.h"

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
    // The keyboard is in use: focus frames show from now on, as the
    // system's dialogs show them once Tab or an arrow is pressed.
    void ShowFocusCues();

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

}  // namespace vexel
