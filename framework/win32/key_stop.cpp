#include "framework/win32/key_stop.h"

#include "framework/win32/control_internals.h"
#include "framework/win32/forms.h"

namespace vexel {

// ---- TKeyStop ----

TKeyStop::TKeyStop(TGraphicControl* Control) : TWinControl(nullptr), control_(Control) {
    SetTabStop(true);
    // Nothing to see or to click: the control paints and takes the mouse.
    SetBounds(Control->Left(), Control->Top(), 0, 0);
}

void TKeyStop::BeforeDestruction() {
    // Freed with its parent before the control: the control forgets it.
    if (control_ && control_->keyStop_ == this)
        control_->keyStop_ = nullptr;
    control_ = nullptr;
    TWinControl::BeforeDestruction();
}

bool TKeyStop::CanFocus() const {
    return control_ && control_->Visible() && control_->Enabled() && TWinControl::CanFocus();
}

void TKeyStop::WndProc(TMessage& Message) {
    switch (Message.Msg) {
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            TWinControl::WndProc(Message);
            if (control_ && !IsDestroying())
                control_->Invalidate();
            return;
        case WM_GETDLGCODE:
            // A push button's keys: Tab and the arrows stay the form's.
            Message.Result = DLGC_BUTTON;
            return;
        case CN_KEYDOWN:
            if ((Message.WParam == VK_SPACE || Message.WParam == VK_RETURN) && detail::KeyboardShiftState() == 0 &&
                control_ && control_->Enabled()) {
                control_->Click();
                Message.Result = 1;
                return;
            }
            break;
        default: break;
    }
    TWinControl::WndProc(Message);
}

// ---- TGraphicControl's tab stop ----

TGraphicControl::~TGraphicControl() = default;

void TGraphicControl::BeforeDestruction() {
    SetTabStop(false);
    TControl::BeforeDestruction();
}

void TGraphicControl::SetTabStop(bool Value) {
    if (Value == (keyStop_ != nullptr))
        return;
    if (Value) {
        keyStop_ = new TKeyStop(this);
        keyStop_->SetParent(Parent());
        return;
    }
    TKeyStop* stop = keyStop_;
    keyStop_ = nullptr;
    stop->control_ = nullptr;
    stop->Free();
}

TWinControl* TGraphicControl::KeyStop() const {
    return keyStop_;
}

bool TGraphicControl::KeyFocused() const {
    return keyStop_ && keyStop_->Focused();
}

void TGraphicControl::SetParent(TWinControl* AParent) {
    TControl::SetParent(AParent);
    if (keyStop_)
        keyStop_->SetParent(AParent);
}

void TGraphicControl::PaintWithFocus() {
    Paint();
    if (!KeyFocused())
        return;
    // The system's dotted frame, just inside the control's edge.
    HDC dc = canvas_.Handle();
    RECT frame{2, 2, width_ - 2, height_ - 2};
    const COLORREF text = SetTextColor(dc, RGB(0, 0, 0));
    const COLORREF back = SetBkColor(dc, RGB(255, 255, 255));
    DrawFocusRect(dc, &frame);
    SetTextColor(dc, text);
    SetBkColor(dc, back);
}

}  // namespace vexel
