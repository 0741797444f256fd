#include "framework/win32/forms.h"

namespace vexel {

// ---- TCustomForm ----

TCustomForm::TCustomForm(TComponent* AOwner) : TWinControl(AOwner) {
    visible_ = false;
    controlStyle_ |= csAcceptsControls;
    width_ = 320;
    height_ = 240;
    SetParentColor(false);
    SetParentFont(false);
}

TCustomForm::~TCustomForm() = default;

void TCustomForm::BeforeDestruction() {
    if (!destroyFired_) {
        destroyFired_ = true;
        if (OnDestroy)
            OnDestroy(this);
    }
    TWinControl::BeforeDestruction();
}

void TCustomForm::CreateParams(TCreateParams& Params) const {
    TWinControl::CreateParams(Params);
    if (Parent())
        return;  // docked into another control: an ordinary child window
    Params.Style = WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
    Params.ExStyle = 0;
    switch (borderStyle_) {
    case bsNone: Params.Style |= WS_POPUP; break;
    case bsSingle: Params.Style |= WS_CAPTION; break;
    case bsSizeable: Params.Style |= WS_CAPTION | WS_THICKFRAME; break;
    case bsDialog:
        Params.Style |= WS_POPUP | WS_CAPTION;
        Params.ExStyle |= WS_EX_DLGMODALFRAME;
        break;
    case bsToolWindow:
        Params.Style |= WS_CAPTION;
        Params.ExStyle |= WS_EX_TOOLWINDOW;
        break;
    case bsSizeToolWin:
        Params.Style |= WS_CAPTION | WS_THICKFRAME;
        Params.ExStyle |= WS_EX_TOOLWINDOW;
        break;
    }
    if (borderStyle_ != bsNone) {
        if (borderIcons_ & biSystemMenu)
            Params.Style |= WS_SYSMENU;
        bool boxes = borderStyle_ == bsSingle || borderStyle_ == bsSizeable;
        if (boxes && (borderIcons_ & biMinimize))
            Params.Style |= WS_MINIMIZEBOX;
        if (boxes && (borderIcons_ & biMaximize))
            Params.Style |= WS_MAXIMIZEBOX;
        if (borderIcons_ & biHelp)
            Params.ExStyle |= WS_EX_CONTEXTHELP;
    }
    if (!Enabled())
        Params.Style |= WS_DISABLED;
}

void TCustomForm::SetBorderStyle(TFormBorderStyle Value) {
    if (borderStyle_ == Value)
        return;
    borderStyle_ = Value;
    RecreateWnd();
}

void TCustomForm::SetBorderIcons(TBorderIcons Value) {
    if (borderIcons_ == Value)
        return;
    borderIcons_ = Value;
    RecreateWnd();
}

void TCustomForm::SetVisible(bool Value) {
    if (Parent()) {
        // Docked into another control: a child window with the same events.
        if (visible_ == Value)
            return;
        if (!Value)
            DoHide();
        TWinControl::SetVisible(Value);
        if (Value)
            DoShow();
        return;
    }
    if (visible_ == Value) {
        if (Value && HandleAllocated())
            SetWindowPos(Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        return;
    }
    if (Value) {
        HandleNeeded();
        visible_ = true;
        DoShow();
        if (visible_ && HandleAllocated()) {
            int show = windowState_ == wsMaximized   ? SW_SHOWMAXIMIZED
                       : windowState_ == wsMinimized ? SW_SHOWMINIMIZED
                                                     : SW_SHOW;
            ShowWindow(Handle(), show);
        }
    } else {
        visible_ = false;
        DoHide();
        if (HandleAllocated())
            ShowWindow(Handle(), SW_HIDE);
    }
    VisibleChanged();
}

void TCustomForm::SetWindowState(TWindowState Value) {
    windowState_ = Value;
    if (Parent() || !HandleAllocated() || !IsWindowVisible(Handle()))
        return;  // shown in that state later
    ShowWindow(Handle(), Value == wsMaximized ? SW_MAXIMIZE : Value == wsMinimized ? SW_MINIMIZE : SW_RESTORE);
}

void TCustomForm::DoShow() {
    if (OnShow)
        OnShow(this);
}

void TCustomForm::DoHide() {
    if (OnHide)
        OnHide(this);
}

void TCustomForm::DoClose(TCloseAction& Action) {
    if (OnClose)
        OnClose(this, Action);
}

void TCustomForm::DoCreate() {
    if (OnCreate)
        OnCreate(this);
}

bool TCustomForm::CloseQuery() {
    bool canClose = true;
    if (OnCloseQuery)
        OnCloseQuery(this, canClose);
    return canClose;
}

void TCustomForm::Close() {
    if (!CloseQuery())
        return;
    TCloseAction action = caHide;
    DoClose(action);
    if (action == caNone)
        return;
    if (Application && Application->MainForm() == this)
        Application->Terminate();
    else if (action == caHide)
        Hide();
    else if (action == caMinimize)
        ShowWindow(Handle(), SW_MINIMIZE);
    else
        Release();
}

void TCustomForm::Release() {
    if (HWND window = Handle())
        PostMessageW(window, CM_RELEASE, 0, 0);
}

void TCustomForm::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case WM_CLOSE:
        Close();
        Message.Result = 0;
        return;
    case WM_ACTIVATE:
        DefaultHandler(Message);
        active_ = LOWORD(Message.WParam) != WA_INACTIVE;
        // The system gave the focus to the form itself; pass it on.
        if (active_ && !HIWORD(Message.WParam) && !IsDestroying())
            FocusActiveControl();
        if (!IsDestroying()) {
            if (active_ && OnActivate)
                OnActivate(this);
            else if (!active_ && OnDeactivate)
                OnDeactivate(this);
        }
        return;
    case CM_RELEASE:
        Free();  // nothing of this object may be touched after this
        return;
    case WM_SIZE:
        // The window itself tells, not wParam: a WM_SIZE posted by a program
        // may carry anything.
        if (!Parent() && IsWindowVisible(Handle()))
            windowState_ = IsIconic(Handle()) ? wsMinimized : IsZoomed(Handle()) ? wsMaximized : wsNormal;
        break;
    case CM_DIALOGKEY:
        // Tab and the arrows move the focus; every other key is offered to
        // the controls (the default and cancel buttons).
        if (GetKeyState(VK_MENU) >= 0) {
            switch (Message.WParam) {
            case VK_TAB:
                if (GetKeyState(VK_CONTROL) < 0)
                    break;
                ShowFocusCues();
                SelectNext(activeControl_, GetKeyState(VK_SHIFT) >= 0, true);
                Message.Result = 1;
                return;
            case VK_LEFT:
            case VK_RIGHT:
            case VK_UP:
            case VK_DOWN:
                if (activeControl_ && activeControl_->Parent()) {
                    ShowFocusCues();
                    bool forward = Message.WParam == VK_RIGHT || Message.WParam == VK_DOWN;
                    activeControl_->Parent()->SelectNext(activeControl_, forward, false);
                    Message.Result = 1;
                }
                return;
            default: break;
            }
        }
        break;
    default: break;
    }
    TWinControl::WndProc(Message);
}

TCustomForm* GetParentForm(TControl* Control) {
    if (!Control)
        return nullptr;
    while (Control->Parent())
        Control = Control->Parent();
    return dynamic_cast<TCustomForm*>(Control);
}

}  // namespace vexel
