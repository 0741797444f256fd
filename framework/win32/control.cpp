#include "framework/win32/controls.h"

#include <windowsx.h>

#include "framework/core/sysutils.h"
#include "framework/win32/control_internals.h"
#include "framework/win32/forms.h"
#include "framework/win32/menus.h"

namespace vexel {

namespace detail {

TControl* g_captureControl = nullptr;
TControl* g_mouseControl = nullptr;

TPoint PointFromLParam(LPARAM LParam) {
    return {GET_X_LPARAM(LParam), GET_Y_LPARAM(LParam)};
}

LPARAM LParamFromPoint(const TPoint& P) {
    return MAKELPARAM(static_cast<WORD>(static_cast<short>(P.X)), static_cast<WORD>(static_cast<short>(P.Y)));
}

TShiftState KeyboardShiftState() {
    TShiftState shift = 0;
    if (GetKeyState(VK_SHIFT) < 0)
        shift |= ssShift;
    if (GetKeyState(VK_CONTROL) < 0)
        shift |= ssCtrl;
    if (GetKeyState(VK_MENU) < 0)
        shift |= ssAlt;
    return shift;
}

// Called inside a catch block: the exception goes to the application's

}  // namespace detail

using namespace detail;

HCURSOR CursorHandle(TCursor Cursor) {
    LPCWSTR id = IDC_ARROW;
    switch (Cursor) {
    case crNone: return nullptr;
    case crCross: id = IDC_CROSS; break;
    case crIBeam: id = IDC_IBEAM; break;
    case crSizeNESW: id = IDC_SIZENESW; break;
    case crSizeNS: id = IDC_SIZENS; break;
    case crSizeNWSE: id = IDC_SIZENWSE; break;
    case crSizeWE: id = IDC_SIZEWE; break;
    case crUpArrow: id = IDC_UPARROW; break;
    case crHourGlass: id = IDC_WAIT; break;
    case crNo: id = IDC_NO; break;
    case crAppStart: id = IDC_APPSTARTING; break;
    case crHelp: id = IDC_HELP; break;
    case crHandPoint: id = IDC_HAND; break;
    case crSizeAll: id = IDC_SIZEALL; break;
    default: break;
    }
    return LoadCursorW(nullptr, id);
}

TShiftState KeysToShiftState(WPARAM Keys) {
    TShiftState shift = 0;
    if (Keys & MK_SHIFT)
        shift |= ssShift;
    if (Keys & MK_CONTROL)
        shift |= ssCtrl;
    if (Keys & MK_LBUTTON)
        shift |= ssLeft;
    if (Keys & MK_RBUTTON)
        shift |= ssRight;
    if (Keys & MK_MBUTTON)
        shift |= ssMiddle;
    if (GetKeyState(VK_MENU) < 0)
        shift |= ssAlt;
    return shift;
}

TControl* GetCaptureControl() {
    return g_captureControl;
}

TControl* GetMouseControl() {
    return g_mouseControl;
}

// ---- TControl ----

TControl::TControl(TComponent* AOwner) : TComponent(AOwner), font_(std::make_unique<TFont>()) {
    font_->OnChange = [this](TObject*) { FontChanged(); };
}

TControl::~TControl() {
    if (Application)
        Application->ControlDestroying(this);
    if (g_mouseControl == this)
        g_mouseControl = nullptr;
    if (g_captureControl == this)
        g_captureControl = nullptr;
    font_->OnChange = nullptr;
    if (parent_)
        parent_->RemoveControl(this);
}

void TControl::SetParent(TWinControl* AParent) {
    if (parent_ == AParent)
        return;
    if (static_cast<TControl*>(AParent) == this)
        throw EInvalidOperation("A control cannot have itself as its parent");
    if (parent_)
        parent_->RemoveControl(this);
    if (AParent)
        AParent->InsertControl(this);
}

void TControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    if (AWidth < 0)
        AWidth = 0;
    if (AHeight < 0)
        AHeight = 0;
    if (ALeft == left_ && ATop == top_ && AWidth == width_ && AHeight == height_)
        return;
    bool sizeChanged = AWidth != width_ || AHeight != height_;
    InvalidateControl(visible_, false);
    left_ = ALeft;
    top_ = ATop;
    width_ = AWidth;
    height_ = AHeight;
    Invalidate();
    if (sizeChanged)
        Resize();
    RequestParentAlign();
}

TPoint TControl::ClientOrigin() const {
    if (!parent_)
        return {left_, top_};
    TPoint origin = parent_->ClientOrigin();
    return {origin.X + left_, origin.Y + top_};
}

TPoint TControl::ClientToScreen(const TPoint& P) const {
    TPoint origin = ClientOrigin();
    return {P.X + origin.X, P.Y + origin.Y};
}

TPoint TControl::ScreenToClient(const TPoint& P) const {
    TPoint origin = ClientOrigin();
    return {P.X - origin.X, P.Y - origin.Y};
}

bool TControl::ShowHint() const {
    if (parentShowHint_ && parent_)
        return parent_->ShowHint();
    return showHint_;
}

void TControl::SetShowHint(bool Value) {
    showHint_ = Value;
    parentShowHint_ = false;
    if (!Value && Application && Application->HintControl() == this)
        Application->CancelHint();
}

void TControl::SetAlign(TAlign Value) {
    if (align_ == Value)
        return;
    align_ = Value;
    if (parent_)
        parent_->Realign();
}

void TControl::RequestParentAlign() {
    if (align_ != alNone && parent_ && !parent_->aligning_)
        parent_->Realign();
}

void TControl::SetVisible(bool Value) {
    if (visible_ == Value)
        return;
    visible_ = Value;
    InvalidateControl(true, Value && (controlStyle_ & csOpaque));
    if (!Value && g_captureControl == this)
        SetMouseCapture(false);
    VisibleChanged();
    RequestParentAlign();
}

void TControl::SetEnabled(bool Value) {
    if (enabled_ == Value)
        return;
    enabled_ = Value;
    EnabledChanged();
}

void TControl::EnabledChanged() {
    Invalidate();
}

void TControl::SetColor(TColor Value) {
    if (color_ == Value)
        return;
    color_ = Value;
    if (!updatingFromParent_)
        parentColor_ = false;
    ColorChanged();
}

void TControl::SetParentColor(bool Value) {
    parentColor_ = Value;
    if (Value)
        ParentColorChanged();
}

void TControl::ParentColorChanged() {
    if (!parentColor_ || !parent_)
        return;
    updatingFromParent_ = true;
    SetColor(parent_->Color());
    updatingFromParent_ = false;
}

void TControl::ColorChanged() {
    Invalidate();
}

void TControl::SetParentFont(bool Value) {
    parentFont_ = Value;
    if (Value)
        ParentFontChanged();
}

void TControl::ParentFontChanged() {
    if (!parentFont_ || !parent_)
        return;
    updatingFromParent_ = true;
    font_->Assign(parent_->Font());
    updatingFromParent_ = false;
}

void TControl::FontChanged() {
    if (!updatingFromParent_)
        parentFont_ = false;
    Invalidate();
}

void TControl::SetCaption(const std::string& Value) {
    if (GetText() == Value)
        return;
    SetTextValue(Value);
    TextChanged();
}

void TControl::TextChanged() {
    Invalidate();
}

bool TControl::MouseCapture() const {
    return g_captureControl == this;
}

void TControl::SetMouseCapture(bool Value) {
    if (Value) {
        auto* self = dynamic_cast<TWinControl*>(this);
        HWND window = self ? self->Handle() : (parent_ ? parent_->Handle() : nullptr);
        if (!window)
            return;
        // Capture first: a window losing it clears the capture control.
        ::SetCapture(window);
        g_captureControl = this;
    } else if (g_captureControl == this) {
        g_captureControl = nullptr;
        ReleaseCapture();
    }
}

void TControl::InvalidateControl(bool IsVisible, bool IsOpaque) {
    bool designing = (ComponentState() & csDesigning) != 0;
    if (!(IsVisible || designing) || !parent_ || !parent_->HandleAllocated() || parent_->IsDestroying())
        return;
    RECT r = ToRECT(BoundsRect());
    InvalidateRect(parent_->handle_, &r, !(IsOpaque || (parent_->controlStyle_ & csOpaque)));
}

void TControl::Invalidate() {
    InvalidateControl(visible_, (controlStyle_ & csOpaque) != 0);
}

void TControl::Update() {
    if (parent_)
        parent_->Update();
}

void TControl::Repaint() {
    if (visible_ && parent_ && parent_->HandleAllocated()) {
        Invalidate();
        parent_->Update();
    }
}

LRESULT TControl::Perform(UINT Msg, WPARAM WParam, LPARAM LParam) {
    TMessage message{Msg, WParam, LParam, 0};
    WndProc(message);
    return message.Result;
}

void TControl::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case WM_LBUTTONDOWN: ButtonDown(Message, mbLeft, false); return;
    case WM_RBUTTONDOWN: ButtonDown(Message, mbRight, false); return;
    case WM_MBUTTONDOWN: ButtonDown(Message, mbMiddle, false); return;
    case WM_LBUTTONDBLCLK: ButtonDown(Message, mbLeft, true); return;
    case WM_RBUTTONDBLCLK: ButtonDown(Message, mbRight, true); return;
    case WM_MBUTTONDBLCLK: ButtonDown(Message, mbMiddle, true); return;
    case WM_LBUTTONUP: ButtonUp(Message, mbLeft); return;
    case WM_RBUTTONUP: ButtonUp(Message, mbRight); return;
    case WM_MBUTTONUP: ButtonUp(Message, mbMiddle); return;
    case WM_MOUSEMOVE: {
        DefaultHandler(Message);
        TPoint p = PointFromLParam(Message.LParam);
        MouseMove(KeysToShiftState(Message.WParam), p.X, p.Y);
        return;
    }
    case CM_MOUSEENTER:
        if (Application)
            Application->HintMouseEnter(this);
        MouseEnter();
        return;
    case CM_MOUSELEAVE:
        if (Application)
            Application->HintMouseLeave(this);
        MouseLeave();
        return;
    default: break;
    }
    DefaultHandler(Message);
}

void TControl::ButtonDown(TMessage& Message, TMouseButton Button, bool Double) {
    if (Double && !(controlStyle_ & csDoubleClicks)) {
        // Without double clicks the second press is an ordinary press.
        Double = false;
        Message.Msg -= WM_LBUTTONDBLCLK - WM_LBUTTONDOWN;
    }
    if (Application)
        Application->CancelHint();
    DefaultHandler(Message);
    TPoint p = PointFromLParam(Message.LParam);
    if (Button == mbLeft) {
        if (controlStyle_ & csCaptureMouse)
            SetMouseCapture(true);
        if (controlStyle_ & csClickEvents) {
            if (Double)
                DblClick();
            else
                clicked_ = true;
        }
    }
    TShiftState shift = KeysToShiftState(Message.WParam);
    if (Double)
        shift |= ssDouble;
    MouseDown(Button, shift, p.X, p.Y);
}

void TControl::ButtonUp(TMessage& Message, TMouseButton Button) {
    DefaultHandler(Message);
    TPoint p = PointFromLParam(Message.LParam);
    if (Button == mbLeft) {
        if (controlStyle_ & csCaptureMouse)
            SetMouseCapture(false);
        if (clicked_) {
            clicked_ = false;
            if (ClientRect().Contains(p))
                Click();
        }
    }
    MouseUp(Button, KeysToShiftState(Message.WParam), p.X, p.Y);
    // A windowed control hears of the right click as WM_CONTEXTMENU, which
    // its default handling makes of the release; a windowless one asks here,
    // and leaves the click to its parent when it has no menu.
    if (Button == mbRight && !dynamic_cast<TWinControl*>(this)) {
        TPoint screen = ClientToScreen(p);
        if (!DoContextPopup(screen) && parent_ && parent_->HandleAllocated())
            SendMessageW(parent_->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(parent_->Handle()),
                         LParamFromPoint(screen));
    }
}

void TControl::SetPopupMenu(TPopupMenu* Value) {
    if (popupMenu_ == Value)
        return;
    if (popupMenu_)
        RemoveFreeNotification(popupMenu_);
    popupMenu_ = Value;
    if (Value)
        FreeNotification(Value);
}

bool TControl::DoContextPopup(const TPoint& ScreenPos) {
    if (!popupMenu_ || (ComponentState() & csDesigning))
        return false;
    popupMenu_->SetPopupComponent(this);
    popupMenu_->Popup(ScreenPos.X, ScreenPos.Y);
    return true;
}

void TControl::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent && AComponent == static_cast<TComponent*>(popupMenu_))
        popupMenu_ = nullptr;
}

void TControl::Click() {
    if (OnClick)
        OnClick(this);
}

void TControl::DblClick() {
    if (OnDblClick)
        OnDblClick(this);
}

void TControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (OnMouseDown)
        OnMouseDown(this, Button, Shift, X, Y);
}

void TControl::MouseMove(TShiftState Shift, int X, int Y) {
    if (OnMouseMove)
        OnMouseMove(this, Shift, X, Y);
}

void TControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (OnMouseUp)
        OnMouseUp(this, Button, Shift, X, Y);
}

void TControl::MouseEnter() {
    if (OnMouseEnter)
        OnMouseEnter(this);
}

void TControl::MouseLeave() {
    if (OnMouseLeave)
        OnMouseLeave(this);
}

void TControl::Resize() {
    if (OnResize)
        OnResize(this);
}
}  // namespace vexel
