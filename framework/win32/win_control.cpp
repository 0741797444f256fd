#include "framework/win32/controls.h"

#include <algorithm>

#include "framework/core/sysutils.h"
#include "framework/win32/control_internals.h"
#include "framework/win32/forms.h"
#include "framework/win32/system_errors.h"
#include "framework/win32/system_text.h"

namespace vexel {

using namespace detail;

namespace {
int g_nextId = 100;
}  // namespace

TWinControl::TWinControl(TComponent* AOwner) : TControl(AOwner) {}

TWinControl::~TWinControl() {
    // Only reached without Free (a subclass deleted outright): the same steps,
    // though the derived parts can no longer hear of them.
    Destroying();
    ReleaseResources();
}

void TWinControl::BeforeDestruction() {
    TControl::BeforeDestruction();
    ReleaseResources();
}

void TWinControl::ReleaseResources() {
    DestroyHandle();
    DropMessageHooks();
    while (!controls_.empty())
        controls_.back()->Free();  // it takes itself out of controls_
    DestroyComponents();
    // Out of the parent while this is still a windowed control: from
    // ~TControl the parent can no longer tell, and would keep it in its tab
    // order and as its form's active control.
    if (parent_)
        parent_->RemoveControl(this);
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
        // Making the parent's window makes its children's too, this one's
        // among them.
        if (!params.WndParent || handle_)
            return;
        if (!id_)
            id_ = g_nextId++;
    }
    bool ownClass = params.WinClassName.empty();
    if (ownClass)
        defWndProc_ = &DefWindowProcW;
    HMENU menuOrId = (params.Style & WS_CHILD) ? reinterpret_cast<HMENU>(static_cast<INT_PTR>(id_)) : nullptr;
    const std::wstring className = ownClass ? std::wstring(RegisterWindowClass()) : ToSystem(params.WinClassName);
    HWND window = CreateWindowExW(params.ExStyle, className.c_str(), ToSystem(params.Caption).c_str(), params.Style,
                                  params.X, params.Y, params.Width, params.Height, params.WndParent, menuOrId,
                                  GetModuleHandleW(nullptr), this);
    if (!window)
        RaiseLastOSError();
    if (!ownClass) {
        // A standard window class: route its messages through us first.
        try {
            Subclass(window);
        } catch (...) {
            DestroyWindow(window);
            throw;
        }
        SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(Font()->Handle()), 0);
    }
    UpdateBounds();
    std::vector<TControl*> children = controls_;
    for (TControl* child : children)
        if (auto* windowed = dynamic_cast<TWinControl*>(child))
            windowed->CreateHandle();
    NotifyWindowCreated();
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
    // The new window takes the old one's place among its siblings, and the
    // focus when the old one (or a window inside it) had it.
    HWND focus = GetFocus();
    bool hadFocus = focus && (focus == handle_ || IsChild(handle_, focus));
    bool child = (GetWindowLongW(handle_, GWL_STYLE) & WS_CHILD) != 0;
    HWND above = child ? GetWindow(handle_, GW_HWNDPREV) : nullptr;
    DestroyHandle();
    CreateHandle();
    if (!handle_)
        return;
    if (child)
        SetWindowPos(handle_, above ? above : HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    if (visible_ && !(GetWindowLongW(handle_, GWL_STYLE) & WS_VISIBLE))
        ShowWindow(handle_, SW_SHOWNA);
    if (hadFocus) {
        if (auto* form = dynamic_cast<TCustomForm*>(this); form && form->ActiveControl())
            form->ActiveControl()->SetFocus();
        else
            ::SetFocus(handle_);
    }
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
        tabList_.push_back(windowed);
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
    if (windowed) {
        if (TCustomForm* form = GetParentForm(this))
            form->DefocusControl(windowed, true);
        tabList_.erase(std::remove(tabList_.begin(), tabList_.end(), windowed), tabList_.end());
    }
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
    if (GetWindowLongW(handle_, GWL_STYLE) & WS_CHILD) {
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
        LONG style = GetWindowLongW(handle_, GWL_STYLE);
        SetWindowLongW(handle_, GWL_STYLE, Value ? (style | WS_TABSTOP) : (style & ~WS_TABSTOP));
    }
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
    case WM_CONTEXTMENU: {
        TPoint p = PointFromLParam(Message.LParam);
        if (p.X == -1 && p.Y == -1)
            p = ClientToScreen({0, 0});  // from the keyboard
        if (DoContextPopup(p)) {
            Message.Result = 1;
            return;
        }
        break;  // the default handling offers it to the parent
    }
    case WM_PAINT:
        // A standard window paints itself, unless windowless children need
        // painting on top.
        if (IsStandardWindow() && std::all_of(controls_.begin(), controls_.end(),
                                              [](TControl* c) { return dynamic_cast<TWinControl*>(c) != nullptr; })) {
            DefaultHandler(Message);
            return;
        }
        PaintHandler(Message);
        return;
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
        // KeyPress sees the keys of ASCII; any other character goes on to
        // the window as typed.
        if (Message.WParam >= 0x80)
            break;
        char key = static_cast<char>(Message.WParam);
        KeyPress(key);
        if (!key)
            return;
        Message.WParam = static_cast<unsigned char>(key);
        break;
    }
    case WM_SETFOCUS:
        DefaultHandler(Message);
        if (IsDestroying())
            return;
        if (TCustomForm* form = GetParentForm(this))
            form->SetFocusedControl(this);
        if (OnEnter)
            OnEnter(this);
        return;
    case CN_KEYDOWN: Message.Result = DialogKey(static_cast<WORD>(Message.WParam), Message.LParam); return;
    case CN_CHAR:
    case CN_SYSCHAR: {
        // Characters the window takes itself are not accelerators, unless
        // typed with Alt.
        Message.Result = 0;
        if (Message.Msg == CN_CHAR && (static_cast<UINT>(Perform(WM_GETDLGCODE, 0, 0)) & DLGC_WANTCHARS))
            return;
        if (TCustomForm* form = GetParentForm(this))
            Message.Result = form->Perform(CM_DIALOGCHAR, Message.WParam, Message.LParam) != 0;
        return;
    }
    case CN_SYSKEYDOWN: Message.Result = 0; return;
    case CM_DIALOGKEY:
    case CM_DIALOGCHAR: Message.Result = Broadcast(Message.Msg, Message.WParam, Message.LParam, true); return;
    case CM_FOCUSCHANGED:
        Broadcast(Message.Msg, Message.WParam, Message.LParam, false);
        Message.Result = 0;
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
    if (handle_ && IsStandardWindow())
        SendMessageW(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(Font()->Handle()), TRUE);
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
    return WindowText(handle_);
}

std::string WindowText(HWND Window) {
    int length = GetWindowTextLengthW(Window);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    int copied = GetWindowTextW(Window, &text[0], length + 1);
    text.resize(static_cast<size_t>(std::max(0, copied)));
    return FromSystem(text);
}

void TWinControl::SetTextValue(const std::string& Value) {
    text_ = Value;
    if (handle_)
        SetWindowTextW(handle_, ToSystem(Value).c_str());
}

}  // namespace vexel
