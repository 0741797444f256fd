#include "framework/win32/buttons.h"

#include "framework/win32/control_internals.h"
#include "framework/win32/forms.h"

namespace vexel {

using namespace detail;

// ---- TButtonControl ----

TButtonControl::TButtonControl(TComponent* AOwner) : TWinControl(AOwner) {
    // The system tracks the mouse and reports clicks itself.
    controlStyle_ = csSetCaption | csDoubleClicks;
}

TButtonControl::~TButtonControl() = default;

void TButtonControl::CreateParams(TCreateParams& Params) const {
    TWinControl::CreateParams(Params);
    Params.WinClassName = "BUTTON";
}

void TButtonControl::WndProc(TMessage& Message) {
    switch (Message.Msg) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            if (!(ComponentState() & csDesigning) && HandleAllocated() && !Focused()) {
                // A radio button reports a click when it gets the focus; the
                // press itself decides whether this is one.
                clicksDisabled_ = true;
                ::SetFocus(Handle());
                clicksDisabled_ = false;
            }
            break;
        case CN_COMMAND:
            if (clicksDisabled_)
                return;
            switch (HIWORD(Message.WParam)) {
                case BN_CLICKED: ButtonClicked(); return;
                case BN_DOUBLECLICKED: DblClick(); return;
                default: break;
            }
            break;
        case CN_BASE + WM_CTLCOLORSTATIC:
        case CN_BASE + WM_CTLCOLORBTN:
            if (parentBackground_) {
                if (HBRUSH brush = ParentBackgroundBrush(reinterpret_cast<HDC>(Message.WParam))) {
                    Message.Result = reinterpret_cast<LRESULT>(brush);
                    return;
                }
            }
            break;
        default: break;
    }
    TWinControl::WndProc(Message);
}

void TButtonControl::SetParentBackground(bool Value) {
    if (parentBackground_ == Value)
        return;
    parentBackground_ = Value;
    if (!Value) {
        parentBrush_.Reset();
        parentPicture_.Reset();
    }
    Invalidate();
}

HBRUSH TButtonControl::ParentBackgroundBrush(HDC DC) {
    TWinControl* parent = Parent();
    const int width = Width();
    const int height = Height();
    if (!parent || !parent->HandleAllocated() || width <= 0 || height <= 0)
        return nullptr;
    ScopedGetDC screen(nullptr);
    ScopedBitmap picture(CreateCompatibleBitmap(screen.Get(), width, height));
    if (!picture)
        return nullptr;
    {
        AutoDeleteDC memory(screen.Get());
        ScopedSelect select(memory.Get(), picture.Get());
        // The parent paints in its own client coordinates, through its
        // window procedure so that its hooks paint their part too; only
        // the windowless controls come with it, never this window again.
        SetViewportOrgEx(memory.Get(), -Left(), -Top(), nullptr);
        const auto dc = reinterpret_cast<WPARAM>(memory.Get());
        SendMessageW(parent->Handle(), WM_ERASEBKGND, dc, static_cast<LPARAM>(dc));
        SendMessageW(parent->Handle(), WM_PAINT, dc, 0);
    }
    ScopedBrush brush(CreatePatternBrush(picture.Get()));
    if (!brush)
        return nullptr;
    // The pattern starts at the box's corner, where the system fills from.
    SetBrushOrgEx(DC, 0, 0, nullptr);
    SetBkMode(DC, TRANSPARENT);
    SetTextColor(DC, GdiColor(Font()->Color()));
    parentBrush_ = std::move(brush);
    parentPicture_ = std::move(picture);
    return parentBrush_.Get();
}

// ---- TCustomButton ----

TCustomButton::TCustomButton(TComponent* AOwner) : TButtonControl(AOwner) {
    // A second press in quick succession is another press, not a double click.
    controlStyle_ &= ~static_cast<TControlStyle>(csDoubleClicks);
    SetTabStop(true);
    SetBounds(0, 0, 75, 25);
}

TCustomButton::~TCustomButton() = default;

void TCustomButton::CreateParams(TCreateParams& Params) const {
    TButtonControl::CreateParams(Params);
    if (OwnerDraw())
        Params.Style |= BS_OWNERDRAW;
    else
        Params.Style |= default_ ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
}

void TCustomButton::CreateHandle() {
    TButtonControl::CreateHandle();
    if (!HandleAllocated())
        return;
    // The Default button, unless a push button has the focus: then that
    // one alone takes Enter, also when this window is made meanwhile.
    TCustomForm* form = GetParentForm(this);
    TWinControl* focused = form ? form->FocusedControl() : nullptr;
    active_ = dynamic_cast<TCustomButton*>(focused) ? focused == this : default_;
    ActiveDefaultChanged();
}

void TCustomButton::SetDefault(bool Value) {
    default_ = Value;
    if (!HandleAllocated())
        return;
    // Let every button of the form work out again which one Enter clicks.
    if (TCustomForm* form = GetParentForm(this))
        form->Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(form->ActiveControl()));
}

void TCustomButton::FocusChanged(TWinControl* Focused) {
    bool active = dynamic_cast<TCustomButton*>(Focused) ? Focused == this : default_;
    if (active == active_)
        return;
    active_ = active;
    ActiveDefaultChanged();
}

void TCustomButton::ActiveDefaultChanged() {
    if (HandleAllocated() && !OwnerDraw())
        SendMessageW(Handle(), BM_SETSTYLE, active_ ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
}

void TCustomButton::Click() {
    if (TCustomForm* form = GetParentForm(this))
        form->SetModalResult(modalResult_);
    TButtonControl::Click();
}

void TCustomButton::MeasureItem(MEASUREITEMSTRUCT& Item) {
    Item.itemWidth = static_cast<UINT>(Width());
    Item.itemHeight = static_cast<UINT>(Height());
}

void TCustomButton::WndProc(TMessage& Message) {
    switch (Message.Msg) {
        case CM_DIALOGKEY:
            if (((Message.WParam == VK_RETURN && active_) || (Message.WParam == VK_ESCAPE && cancel_)) &&
                KeyboardShiftState() == 0 && CanFocus()) {
                Click();
                Message.Result = 1;
                return;
            }
            break;
        case CM_DIALOGCHAR:
            if (IsAccel(static_cast<unsigned>(Message.WParam), Caption()) && CanFocus()) {
                Click();
                Message.Result = 1;
                return;
            }
            break;
        case CM_FOCUSCHANGED: FocusChanged(reinterpret_cast<TWinControl*>(Message.LParam)); break;
        case CN_DRAWITEM:
            DrawItem(*reinterpret_cast<DRAWITEMSTRUCT*>(Message.LParam));
            Message.Result = TRUE;
            return;
        case CN_MEASUREITEM:
            MeasureItem(*reinterpret_cast<MEASUREITEMSTRUCT*>(Message.LParam));
            Message.Result = TRUE;
            return;
        default: break;
    }
    TButtonControl::WndProc(Message);
}

// ---- TCheckBox ----

TCheckBox::TCheckBox(TComponent* AOwner) : TButtonControl(AOwner) {
    SetTabStop(true);
    SetBounds(0, 0, 97, 17);
}

TCheckBox::~TCheckBox() = default;

void TCheckBox::CreateParams(TCreateParams& Params) const {
    TButtonControl::CreateParams(Params);
    Params.Style |= BS_3STATE;
}

void TCheckBox::CreateHandle() {
    TButtonControl::CreateHandle();
    if (HandleAllocated())
        SendMessageW(Handle(), BM_SETCHECK, static_cast<WPARAM>(state_), 0);
}

void TCheckBox::SetState(TCheckBoxState Value) {
    if (state_ == Value)
        return;
    state_ = Value;
    if (HandleAllocated())
        SendMessageW(Handle(), BM_SETCHECK, static_cast<WPARAM>(state_), 0);
    if (!ClicksDisabled())
        Click();
}

void TCheckBox::Toggle() {
    switch (state_) {
        case cbUnchecked: SetState(allowGrayed_ ? cbGrayed : cbChecked); break;
        case cbChecked: SetState(cbUnchecked); break;
        case cbGrayed: SetState(cbChecked); break;
    }
}

void TCheckBox::WndProc(TMessage& Message) {
    if (Message.Msg == CM_DIALOGCHAR && IsAccel(static_cast<unsigned>(Message.WParam), Caption()) &&
        CanFocus()) {
        SetFocus();
        if (Focused())
            Toggle();
        Message.Result = 1;
        return;
    }
    TButtonControl::WndProc(Message);
}

// ---- TRadioButton ----

TRadioButton::TRadioButton(TComponent* AOwner) : TButtonControl(AOwner) {
    SetBounds(0, 0, 113, 17);
}

TRadioButton::~TRadioButton() = default;

void TRadioButton::CreateParams(TCreateParams& Params) const {
    TButtonControl::CreateParams(Params);
    Params.Style |= BS_RADIOBUTTON;
}

void TRadioButton::CreateHandle() {
    TButtonControl::CreateHandle();
    if (HandleAllocated())
        SendMessageW(Handle(), BM_SETCHECK, checked_ ? BST_CHECKED : BST_UNCHECKED, 0);
}

void TRadioButton::SetChecked(bool Value) {
    if (checked_ == Value)
        return;
    checked_ = Value;
    SetTabStop(Value);
    if (HandleAllocated())
        SendMessageW(Handle(), BM_SETCHECK, Value ? BST_CHECKED : BST_UNCHECKED, 0);
    if (!Value)
        return;
    if (TWinControl* parent = Parent()) {
        for (int i = 0; i < parent->ControlCount(); ++i) {
            auto* sibling = dynamic_cast<TRadioButton*>(parent->Controls(i));
            if (sibling && sibling != this)
                sibling->SetChecked(false);
        }
    }
    if (!ClicksDisabled())
        Click();
}

void TRadioButton::WndProc(TMessage& Message) {
    switch (Message.Msg) {
        case WM_SETFOCUS:
            TButtonControl::WndProc(Message);
            // Reaching a radio button by keyboard checks it, as the system's
            // dialogs do; a mouse press checks it when released.
            if (!ClicksDisabled() && !IsDestroying())
                SetChecked(true);
            return;
        case CM_DIALOGCHAR:
            if (IsAccel(static_cast<unsigned>(Message.WParam), Caption()) && CanFocus()) {
                SetFocus();
                if (Focused())
                    SetChecked(true);
                Message.Result = 1;
                return;
            }
            break;
        default: break;
    }
    TButtonControl::WndProc(Message);
}

}  // namespace vexel
