#include "framework/win32/controls.h"

#include <windowsx.h>

#include <algorithm>

#include "framework/core/sysutils.h"
#include "framework/win32/forms.h"
#include "framework/win32/system_errors.h"

namespace vexel {

namespace {

TControl* g_captureControl = nullptr;
TControl* g_mouseControl = nullptr;
int g_nextId = 100;

const char kControlProp[] = "VexelControl";
const char kWindowClass[] = "VexelWindow";

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
// handler, or straight to a message box before there is an application.
void HandleWindowException(TObject* Sender) {
    if (Application) {
        Application->HandleException(Sender);
        return;
    }
    try {
        throw;
    } catch (const std::exception& e) {
        MessageBoxA(nullptr, e.what(), "Error", MB_OK | MB_ICONSTOP);
    } catch (...) {
    }
}

}  // namespace

LRESULT CALLBACK StdWndProc(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam);

namespace {

const char* RegisterWindowClass() {
    static bool registered = false;
    if (!registered) {
        WNDCLASSA wc{};
        wc.style = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
        wc.lpfnWndProc = &StdWndProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        wc.lpszClassName = kWindowClass;
        if (!RegisterClassA(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
            throw EOutOfResources("Error creating window class");
        registered = true;
    }
    return kWindowClass;
}

}  // namespace

LRESULT CALLBACK StdWndProc(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam) {
    TWinControl* control = TWinControl::FindControl(Window);
    if (!control && Msg == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(LParam);
        control = static_cast<TWinControl*>(create->lpCreateParams);
        if (control)
            control->Bind(Window);
    }
    if (!control)
        return DefWindowProcA(Window, Msg, WParam, LParam);
    return control->Dispatch(Window, Msg, WParam, LParam);
}

HCURSOR CursorHandle(TCursor Cursor) {
    LPCSTR id = IDC_ARROW;
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
    return LoadCursorA(nullptr, id);
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

// ---- TWinControl ----

TWinControl::TWinControl(TComponent* AOwner) : TControl(AOwner) {}

TWinControl::~TWinControl() {
    Destroying();
    DestroyHandle();
    while (!controls_.empty())
        controls_.back()->Free();  // its destructor takes it out of controls_
}

TWinControl* TWinControl::FindControl(HWND Window) {
    return Window ? static_cast<TWinControl*>(GetPropA(Window, kControlProp)) : nullptr;
}

void TWinControl::Bind(HWND Window) {
    handle_ = Window;
    SetPropA(Window, kControlProp, this);
}

LRESULT TWinControl::Dispatch(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam) {
    TMessage message{Msg, WParam, LParam, 0};
    try {
        WndProc(message);
    } catch (...) {
        HandleWindowException(this);
    }
    if (Msg == WM_NCDESTROY) {
        RemovePropA(Window, kControlProp);
        if (handle_ == Window)
            handle_ = nullptr;
        trackingLeave_ = false;
        if (g_mouseControl && (g_mouseControl == this || g_mouseControl->parent_ == this))
            g_mouseControl = nullptr;
    }
    return message.Result;
}

HWND TWinControl::Handle() {
    if (!handle_ && !IsDestroying())
        CreateHandle();
    return handle_;
}

void TWinControl::CreateParams(TCreateParams& Params) const {
    Params.Caption = text_;
    Params.Style = WS_CHILD | WS_CLIPSIBLINGS;
    if (controlStyle_ & csAcceptsControls)
        Params.Style |= WS_CLIPCHILDREN;
    if (visible_)
        Params.Style |= WS_VISIBLE;
    if (!Enabled())
        Params.Style |= WS_DISABLED;
    if (tabStop_)
        Params.Style |= WS_TABSTOP;
    Params.X = left_;
    Params.Y = top_;
    Params.Width = width_;
    Params.Height = height_;
}

void TWinControl::CreateHandle() {
    if (handle_ || IsDestroying())
        return;
    TCreateParams params;
    CreateParams(params);
    if (params.Style & WS_CHILD) {
        if (!Parent())
            throw EInvalidOperation("Control '" + Name() + "' has no parent window");
        params.WndParent = Parent()->Handle();
        if (!params.WndParent)
            return;
        if (!id_)
            id_ = g_nextId++;
    }
    bool ownClass = params.WinClassName.empty();
    if (ownClass)
        defWndProc_ = &DefWindowProcA;
    HMENU menuOrId = (params.Style & WS_CHILD) ? reinterpret_cast<HMENU>(static_cast<INT_PTR>(id_)) : nullptr;
    HWND window = CreateWindowExA(params.ExStyle, ownClass ? RegisterWindowClass() : params.WinClassName.c_str(),
                                  params.Caption.c_str(), params.Style, params.X, params.Y, params.Width, params.Height,
                                  params.WndParent, menuOrId, GetModuleHandleA(nullptr), this);
    if (!window)
        RaiseLastOSError();
    if (!ownClass) {
        // A standard window class: route its messages through us first.
        defWndProc_ = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(window, GWLP_WNDPROC));
        Bind(window);
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&StdWndProc));
    }
    UpdateBounds();
    std::vector<TControl*> children = controls_;
    for (TControl* child : children)
        if (auto* windowed = dynamic_cast<TWinControl*>(child))
            windowed->CreateHandle();
}

void TWinControl::DestroyHandle() {
    if (!handle_)
        return;
    for (TControl* child : controls_)
        if (auto* windowed = dynamic_cast<TWinControl*>(child))
            windowed->DestroyHandle();
    text_ = GetText();
    HWND window = handle_;
    if (g_captureControl && (g_captureControl == this || g_captureControl->parent_ == this))
        g_captureControl = nullptr;
    DestroyWindow(window);
    handle_ = nullptr;
}

void TWinControl::RecreateWnd() {
    if (!handle_)
        return;
    DestroyHandle();
    CreateHandle();
    if (handle_ && visible_ && !(GetWindowLongA(handle_, GWL_STYLE) & WS_VISIBLE))
        ShowWindow(handle_, SW_SHOWNA);
}

TControl* TWinControl::Controls(int Index) const {
    if (Index < 0 || Index >= ControlCount())
        throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
    return controls_[static_cast<size_t>(Index)];
}

TControl* TWinControl::ControlAtPos(const TPoint& P, bool AllowDisabled) const {
    bool designing = (ComponentState() & csDesigning) != 0;
    for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
        TControl* c = *it;
        if (dynamic_cast<TWinControl*>(c))
            continue;
        if ((c->visible_ || designing) && (c->Enabled() || AllowDisabled) && c->BoundsRect().Contains(P))
            return c;
    }
    return nullptr;
}

void TWinControl::InsertControl(TControl* Control) {
    controls_.push_back(Control);
    Control->parent_ = this;
    Control->ParentFontChanged();
    Control->ParentColorChanged();
    if (auto* windowed = dynamic_cast<TWinControl*>(Control)) {
        windowed->DestroyHandle();
        if (handle_)
            windowed->CreateHandle();
    } else {
        Control->Invalidate();
    }
    if (Control->align_ != alNone)
        Realign();
}

void TWinControl::RemoveControl(TControl* Control) {
    auto* windowed = dynamic_cast<TWinControl*>(Control);
    if (!windowed)
        Control->InvalidateControl(Control->visible_, false);
    if (g_captureControl == Control) {
        g_captureControl = nullptr;
        if (handle_ && GetCapture() == handle_)
            ReleaseCapture();
    }
    if (g_mouseControl == Control)
        g_mouseControl = nullptr;
    controls_.erase(std::remove(controls_.begin(), controls_.end(), Control), controls_.end());
    Control->parent_ = nullptr;
    if (windowed)
        windowed->DestroyHandle();
    if (Control->align_ != alNone)
        Realign();
}

void TWinControl::Realign() {
    if (aligning_ || IsDestroying() || (ComponentState() & csLoading))
        return;
    TRect rect = ClientRect();
    AdjustClientRect(rect);
    AlignControls(rect);
}

void TWinControl::AlignControls(TRect Rect) {
    struct Guard {
        bool& flag;
        ~Guard() { flag = false; }
    } guard{aligning_};
    aligning_ = true;
    bool designing = (ComponentState() & csDesigning) != 0;
    for (TAlign align : {alTop, alBottom, alLeft, alRight, alClient}) {
        std::vector<TControl*> list;
        for (TControl* c : controls_)
            if (c->align_ == align && (c->visible_ || designing))
                list.push_back(c);
        // Nearer the edge goes first; equal places keep the insertion order.
        auto key = [align](const TControl* c) {
            switch (align) {
            case alTop: return c->top_;
            case alBottom: return -(c->top_ + c->height_);
            case alLeft: return c->left_;
            case alRight: return -(c->left_ + c->width_);
            default: return 0;
            }
        };
        std::stable_sort(list.begin(), list.end(), [&](TControl* a, TControl* b) { return key(a) < key(b); });
        for (TControl* c : list) {
            int w = std::max(0, Rect.Width()), h = std::max(0, Rect.Height());
            switch (align) {
            case alTop:
                c->SetBounds(Rect.Left, Rect.Top, w, c->height_);
                Rect.Top += c->height_;
                break;
            case alBottom:
                c->SetBounds(Rect.Left, Rect.Bottom - c->height_, w, c->height_);
                Rect.Bottom -= c->height_;
                break;
            case alLeft:
                c->SetBounds(Rect.Left, Rect.Top, c->width_, h);
                Rect.Left += c->width_;
                break;
            case alRight:
                c->SetBounds(Rect.Right - c->width_, Rect.Top, c->width_, h);
                Rect.Right -= c->width_;
                break;
            default: c->SetBounds(Rect.Left, Rect.Top, w, h); break;
            }
        }
    }
}

TRect TWinControl::ClientRect() const {
    if (handle_) {
        RECT r{};
        GetClientRect(handle_, &r);
        return FromRECT(r);
    }
    TCreateParams params;
    CreateParams(params);
    RECT frame{0, 0, 0, 0};
    AdjustWindowRectEx(&frame, params.Style, FALSE, params.ExStyle);
    int frameWidth = static_cast<int>(frame.right - frame.left), frameHeight = static_cast<int>(frame.bottom - frame.top);
    return {0, 0, std::max(0, width_ - frameWidth), std::max(0, height_ - frameHeight)};
}

TPoint TWinControl::ClientOrigin() const {
    if (handle_) {
        POINT p{0, 0};
        ::ClientToScreen(handle_, &p);
        return {p.x, p.y};
    }
    return TControl::ClientOrigin();
}

void TWinControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    if (AWidth < 0)
        AWidth = 0;
    if (AHeight < 0)
        AHeight = 0;
    if (ALeft == left_ && ATop == top_ && AWidth == width_ && AHeight == height_)
        return;
    if (handle_) {
        // The system reports the new bounds back (WM_WINDOWPOSCHANGED), as it
        // does for moves and sizes the user makes.
        SetWindowPos(handle_, nullptr, ALeft, ATop, AWidth, AHeight, SWP_NOZORDER | SWP_NOACTIVATE);
        UpdateBounds();
    } else {
        bool sizeChanged = AWidth != width_ || AHeight != height_;
        left_ = ALeft;
        top_ = ATop;
        width_ = AWidth;
        height_ = AHeight;
        if (sizeChanged) {
            Realign();
            Resize();
        }
    }
    RequestParentAlign();
}

void TWinControl::UpdateBounds() {
    if (!handle_ || IsIconic(handle_))
        return;
    RECT r{};
    GetWindowRect(handle_, &r);
    if (GetWindowLongA(handle_, GWL_STYLE) & WS_CHILD) {
        if (HWND parent = GetParent(handle_))
            MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&r), 2);
    }
    int w = r.right - r.left, h = r.bottom - r.top;
    bool sizeChanged = w != width_ || h != height_;
    if (!sizeChanged && r.left == left_ && r.top == top_)
        return;
    left_ = r.left;
    top_ = r.top;
    width_ = w;
    height_ = h;
    if (sizeChanged) {
        Realign();
        Resize();
    }
}

void TWinControl::SetVisible(bool Value) {
    if (visible_ == Value)
        return;
    visible_ = Value;
    if (handle_)
        ShowWindow(handle_, Value ? SW_SHOWNA : SW_HIDE);
    if (!Value && g_captureControl == this)
        SetMouseCapture(false);
    VisibleChanged();
    RequestParentAlign();
}

void TWinControl::SetTabStop(bool Value) {
    tabStop_ = Value;
    if (handle_) {
        LONG style = GetWindowLongA(handle_, GWL_STYLE);
        SetWindowLongA(handle_, GWL_STYLE, Value ? (style | WS_TABSTOP) : (style & ~WS_TABSTOP));
    }
}

bool TWinControl::CanFocus() const {
    for (const TControl* c = this; c; c = c->Parent())
        if (!c->Visible() || !c->Enabled())
            return false;
    return true;
}

bool TWinControl::Focused() const {
    return handle_ && GetFocus() == handle_;
}

void TWinControl::SetFocus() {
    if (HWND window = Handle())
        ::SetFocus(window);
}

void TWinControl::Invalidate() {
    if (handle_)
        InvalidateRect(handle_, nullptr, !(controlStyle_ & csOpaque));
}

void TWinControl::Update() {
    if (handle_)
        UpdateWindow(handle_);
}

void TWinControl::Repaint() {
    Invalidate();
    Update();
}

void TWinControl::PaintTo(HDC DC, int X, int Y) {
    ScopedSaveDC save(DC);
    OffsetViewportOrgEx(DC, X, Y, nullptr);
    TRect client = ClientRect();
    IntersectClipRect(DC, 0, 0, client.Width(), client.Height());
    Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(DC), reinterpret_cast<LPARAM>(DC));
    Perform(WM_PAINT, reinterpret_cast<WPARAM>(DC), 0);
    bool designing = (ComponentState() & csDesigning) != 0;
    for (TControl* child : controls_)
        if (auto* windowed = dynamic_cast<TWinControl*>(child))
            if (windowed->visible_ || designing)
                windowed->PaintTo(DC, windowed->left_, windowed->top_);
}

void TWinControl::PaintControls(HDC DC) {
    bool designing = (ComponentState() & csDesigning) != 0;
    std::vector<TControl*> children = controls_;
    for (TControl* child : children) {
        auto* graphic = dynamic_cast<TGraphicControl*>(child);
        if (!graphic || !(graphic->visible_ || designing))
            continue;
        RECT bounds = ToRECT(graphic->BoundsRect());
        if (!RectVisible(DC, &bounds))
            continue;
        ScopedSaveDC save(DC);
        OffsetViewportOrgEx(DC, graphic->left_, graphic->top_, nullptr);
        IntersectClipRect(DC, 0, 0, graphic->width_, graphic->height_);
        ScopedCanvasHandle bind(graphic->canvas_, DC);
        graphic->Paint();
    }
}

void TWinControl::PaintHandler(TMessage& Message) {
    Message.Result = 0;
    if (HDC given = reinterpret_cast<HDC>(Message.WParam)) {
        // A DC handed in with the message: paint into it, no BeginPaint.
        PaintWindow(given);
        PaintControls(given);
        return;
    }
    if (!handle_)
        return;
    ScopedPaint paint(handle_);
    if (!paint.Get())
        return;
    if (!doubleBuffered_) {
        PaintWindow(paint.Get());
        PaintControls(paint.Get());
        return;
    }
    // Compose the invalid area off-screen and copy it in one go.
    const RECT& area = paint.PaintRect();
    int w = area.right - area.left, h = area.bottom - area.top;
    if (w <= 0 || h <= 0)
        return;
    AutoDeleteDC memory(paint.Get());
    ScopedBitmap buffer(CreateCompatibleBitmap(paint.Get(), w, h));
    if (!buffer)
        throw EOutOfResources("Out of system resources");
    ScopedSelect select(memory.Get(), buffer.Get());
    SetViewportOrgEx(memory.Get(), -area.left, -area.top, nullptr);
    SendMessageA(handle_, WM_ERASEBKGND, reinterpret_cast<WPARAM>(memory.Get()), reinterpret_cast<LPARAM>(memory.Get()));
    PaintWindow(memory.Get());
    PaintControls(memory.Get());
    SetViewportOrgEx(memory.Get(), 0, 0, nullptr);
    BitBlt(paint.Get(), area.left, area.top, w, h, memory.Get(), 0, 0, SRCCOPY);
}

HBRUSH TWinControl::ColorBrush() {
    if (!colorBrush_)
        colorBrush_.Reset(CreateSolidBrush(GdiColor(Color())));
    return colorBrush_.Get();
}

void TWinControl::EraseBackground(HDC DC) {
    RECT r = ToRECT(ClientRect());
    FillRect(DC, &r, ColorBrush());
}

void TWinControl::SetCursorFor(TMessage& Message) {
    TCursor cursor = Screen ? Screen->Cursor() : crDefault;
    if (cursor == crDefault && reinterpret_cast<HWND>(Message.WParam) == handle_ && LOWORD(Message.LParam) == HTCLIENT) {
        POINT pt{};
        GetCursorPos(&pt);
        ::ScreenToClient(handle_, &pt);
        TControl* child = ControlAtPos({pt.x, pt.y}, true);
        cursor = child && child->Cursor() != crDefault ? child->Cursor() : Cursor();
    }
    if (cursor != crDefault) {
        ::SetCursor(CursorHandle(cursor));
        Message.Result = TRUE;
        return;
    }
    DefaultHandler(Message);
}

bool TWinControl::IsControlMouseMsg(TMessage& Message) {
    TPoint p = PointFromLParam(Message.LParam);
    TControl* target = nullptr;
    if (handle_ && GetCapture() == handle_) {
        // While our window holds the capture, only a windowless child that
        // asked for it gets the mouse.
        if (g_captureControl && g_captureControl != this && g_captureControl->parent_ == this)
            target = g_captureControl;
    } else {
        target = ControlAtPos(p, false);
    }
    if (!target)
        return false;
    TMessage forwarded = Message;
    forwarded.LParam = LParamFromPoint({p.X - target->left_, p.Y - target->top_});
    target->WndProc(forwarded);
    Message.Result = forwarded.Result;
    return true;
}

void TWinControl::TrackMouse(const TPoint& P) {
    TControl* over = nullptr;
    if (ClientRect().Contains(P)) {
        over = ControlAtPos(P, true);
        if (!over)
            over = this;
    }
    if (over != g_mouseControl) {
        TControl* old = g_mouseControl;
        g_mouseControl = over;
        if (old)
            old->Perform(CM_MOUSELEAVE, 0, 0);
        if (over)
            over->Perform(CM_MOUSEENTER, 0, 0);
    }
    if (!trackingLeave_ && handle_) {
        TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, handle_, 0};
        trackingLeave_ = TrackMouseEvent(&track) != FALSE;
    }
}

TWinControl* TWinControl::ChildById(int Id) const {
    for (TControl* c : controls_)
        if (auto* windowed = dynamic_cast<TWinControl*>(c))
            if (windowed->id_ == Id)
                return windowed;
    return nullptr;
}

bool TWinControl::ReflectToChild(TMessage& Message) {
    HWND child = nullptr;
    switch (Message.Msg) {
    case WM_NOTIFY: child = reinterpret_cast<NMHDR*>(Message.LParam)->hwndFrom; break;
    case WM_DRAWITEM: {
        auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(Message.LParam);
        if (item->CtlType != ODT_MENU)
            child = item->hwndItem;
        break;
    }
    case WM_MEASUREITEM: {
        // Sent while the child is still being created, so find it by its id.
        auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(Message.LParam);
        TWinControl* control = item->CtlType != ODT_MENU ? ChildById(static_cast<int>(item->CtlID)) : nullptr;
        if (!control)
            return false;
        Message.Result = control->Perform(CN_BASE + Message.Msg, Message.WParam, Message.LParam);
        return true;
    }
    default: child = reinterpret_cast<HWND>(Message.LParam); break;
    }
    TWinControl* control = FindControl(child);
    if (!control || control == this)
        return false;
    Message.Result = control->Perform(CN_BASE + Message.Msg, Message.WParam, Message.LParam);
    return true;
}

void TWinControl::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case WM_MOUSEMOVE:
        TrackMouse(PointFromLParam(Message.LParam));
        if (IsControlMouseMsg(Message))
            return;
        break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_MBUTTONDBLCLK:
        if (IsControlMouseMsg(Message))
            return;
        break;
    case WM_MOUSELEAVE:
        trackingLeave_ = false;
        if (g_mouseControl && (g_mouseControl == this || g_mouseControl->parent_ == this)) {
            TControl* old = g_mouseControl;
            g_mouseControl = nullptr;
            old->Perform(CM_MOUSELEAVE, 0, 0);
        }
        return;
    case WM_SETCURSOR: SetCursorFor(Message); return;
    case WM_PAINT: PaintHandler(Message); return;
    case WM_ERASEBKGND:
        // Double-buffered windows erase inside their buffer (wParam == lParam).
        if (!doubleBuffered_ || Message.WParam == static_cast<WPARAM>(Message.LParam))
            EraseBackground(reinterpret_cast<HDC>(Message.WParam));
        Message.Result = 1;
        return;
    case WM_WINDOWPOSCHANGED:
        DefaultHandler(Message);
        UpdateBounds();
        return;
    case WM_CAPTURECHANGED:
        if (g_captureControl && reinterpret_cast<HWND>(Message.LParam) != handle_ &&
            (g_captureControl == this || g_captureControl->parent_ == this))
            g_captureControl = nullptr;
        break;
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORSCROLLBAR:
        if (ReflectToChild(Message))
            return;
        break;
    case CN_BASE + WM_CTLCOLORBTN:
    case CN_BASE + WM_CTLCOLOREDIT:
    case CN_BASE + WM_CTLCOLORLISTBOX:
    case CN_BASE + WM_CTLCOLORSTATIC:
    case CN_BASE + WM_CTLCOLORSCROLLBAR: {
        HDC dc = reinterpret_cast<HDC>(Message.WParam);
        SetTextColor(dc, GdiColor(Font()->Color()));
        SetBkColor(dc, GdiColor(Color()));
        Message.Result = reinterpret_cast<LRESULT>(ColorBrush());
        return;
    }
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
        WORD key = static_cast<WORD>(Message.WParam);
        KeyDown(key, KeyboardShiftState());
        if (!key)
            return;
        Message.WParam = key;
        break;
    }
    case WM_KEYUP:
    case WM_SYSKEYUP: {
        WORD key = static_cast<WORD>(Message.WParam);
        KeyUp(key, KeyboardShiftState());
        if (!key)
            return;
        Message.WParam = key;
        break;
    }
    case WM_CHAR: {
        char key = static_cast<char>(Message.WParam);
        KeyPress(key);
        if (!key)
            return;
        Message.WParam = static_cast<unsigned char>(key);
        break;
    }
    case WM_SETFOCUS:
        DefaultHandler(Message);
        if (OnEnter && !IsDestroying())
            OnEnter(this);
        return;
    case WM_KILLFOCUS:
        DefaultHandler(Message);
        if (OnExit && !IsDestroying())
            OnExit(this);
        return;
    default: break;
    }
    TControl::WndProc(Message);
}

void TWinControl::DefaultHandler(TMessage& Message) {
    if (Message.Msg >= CN_BASE && Message.Msg < CN_BASE + 0x400) {
        // A child's notice that the child did not handle: the parent's
        // default answer.
        TWinControl* parent = Parent();
        Message.Result = parent && parent->handle_
                             ? DefWindowProcA(parent->handle_, Message.Msg - CN_BASE, Message.WParam, Message.LParam)
                             : 0;
        return;
    }
    if (!handle_) {
        Message.Result = 0;
        return;
    }
    Message.Result = CallWindowProcA(defWndProc_, handle_, Message.Msg, Message.WParam, Message.LParam);
}

void TWinControl::KeyDown(WORD& Key, TShiftState Shift) {
    if (OnKeyDown)
        OnKeyDown(this, Key, Shift);
}

void TWinControl::KeyUp(WORD& Key, TShiftState Shift) {
    if (OnKeyUp)
        OnKeyUp(this, Key, Shift);
}

void TWinControl::KeyPress(char& Key) {
    if (OnKeyPress)
        OnKeyPress(this, Key);
}

void TWinControl::EnabledChanged() {
    if (handle_)
        EnableWindow(handle_, Enabled());
    TControl::EnabledChanged();
}

void TWinControl::FontChanged() {
    TControl::FontChanged();
    for (TControl* child : controls_)
        child->ParentFontChanged();
}

void TWinControl::ColorChanged() {
    colorBrush_.Reset();
    TControl::ColorChanged();
    for (TControl* child : controls_)
        child->ParentColorChanged();
}

std::string TWinControl::GetText() const {
    if (!handle_)
        return text_;
    int length = GetWindowTextLengthA(handle_);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    int copied = GetWindowTextA(handle_, &text[0], length + 1);
    text.resize(static_cast<size_t>(std::max(0, copied)));
    return text;
}

void TWinControl::SetTextValue(const std::string& Value) {
    text_ = Value;
    if (handle_)
        SetWindowTextA(handle_, Value.c_str());
}

// ---- TGraphicControl ----

TGraphicControl::TGraphicControl(TComponent* AOwner) : TControl(AOwner) {}
TGraphicControl::~TGraphicControl() = default;

void TGraphicControl::PaintTo(HDC DC, int X, int Y) {
    ScopedSaveDC save(DC);
    OffsetViewportOrgEx(DC, X, Y, nullptr);
    IntersectClipRect(DC, 0, 0, width_, height_);
    ScopedCanvasHandle bind(canvas_, DC);
    Paint();
}

// ---- TCustomControl ----

TCustomControl::TCustomControl(TComponent* AOwner) : TWinControl(AOwner) {}
TCustomControl::~TCustomControl() = default;

void TCustomControl::PaintWindow(HDC DC) {
    ScopedCanvasHandle bind(canvas_, DC);
    Paint();
}

// ---- ScopedControlCanvas ----

ScopedControlCanvas::ScopedControlCanvas(TControl& Control) {
    TCanvas* canvas = Control.ControlCanvas();
    if (!canvas)
        return;
    if (canvas->HandleAllocated()) {
        valid_ = true;  // already painting: draw on what Paint draws on
        return;
    }
    if (!Control.visible_ && !(Control.ComponentState() & csDesigning))
        return;
    if (auto* windowed = dynamic_cast<TWinControl*>(&Control)) {
        if (!windowed->HandleAllocated())
            return;
        dc_.emplace(windowed->Handle());
    } else {
        TWinControl* parent = Control.Parent();
        if (!parent || !parent->HandleAllocated())
            return;
        dc_.emplace(parent->Handle());
        if (dc_->Get()) {
            SetViewportOrgEx(dc_->Get(), Control.Left(), Control.Top(), nullptr);
            IntersectClipRect(dc_->Get(), 0, 0, Control.Width(), Control.Height());
        }
    }
    if (!dc_->Get())
        return;
    bind_.emplace(*canvas, dc_->Get());
    valid_ = true;
}

}  // namespace vexel
