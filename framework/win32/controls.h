// Controls: TControl (placement, visibility, colour, font, mouse events),
// TWinControl (a control with a window of its own, which also hosts
// windowless children and routes the mouse to them), TGraphicControl (a
// windowless control painted by its parent) and TCustomControl (a windowed
// control that paints itself on a canvas).
//
// How painting works:
// - A windowed control paints on WM_PAINT: it erases with Color
//   (WM_ERASEBKGND), calls PaintWindow (TCustomControl: Paint() on Canvas()),
//   then paints its windowless children in z-order (first added first), each
//   with the DC's origin moved to the child's top-left corner and clipped to
//   its bounds, so a TGraphicControl's Paint draws at (0, 0) on Canvas().
// - To draw at once outside WM_PAINT (a gauge updated from a long loop),
//   open a ScopedControlCanvas on the control: it binds Canvas() to the
//   parent's DC, offset and clipped the same way, for the scope's life.
// - PaintTo(DC, X, Y) renders a control, children included, into any DC,
//   such as an off-screen TBitmap's canvas; windows need not exist or be shown.
// - Invalidate on a graphic control invalidates its rectangle of the parent.
//
// Every message reaches a windowed control through one window procedure
// (window_procedure.cpp): first the control's message hooks
// (message_hook.h), then WndProc, a flat switch that calls the named
// handlers, with DefaultHandler for the rest. All of it runs inside the
// guarded edge (guarded_call.h): an exception is handed to
// Application->HandleException and never leaves the window procedure.
//
// Freeing: Free destroys the window first (every override still sees
// WM_DESTROY), then frees the child controls and the owned components, all
// while the control is whole; only then do the destructors run.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "framework/core/classes.h"
#include "framework/core/colors.h"
#include "framework/core/types.h"
#include "framework/win32/gdi.h"
#include "framework/win32/graphics.h"
#include "framework/win32/message_hook.h"
#include "framework/win32/messages.h"

namespace vexel {

class TWinControl;
class TPopupMenu;

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };
enum TAlignment { taLeftJustify, taRightJustify, taCenter };
enum TMouseButton { mbLeft, mbRight, mbMiddle };

enum TShiftStateFlag : uint32_t {
    ssShift = 1,
    ssAlt = 2,
    ssCtrl = 4,
    ssLeft = 8,
    ssRight = 16,
    ssMiddle = 32,
    ssDouble = 64
};
using TShiftState = uint32_t;

enum TControlStyleFlag : uint32_t {
    csAcceptsControls = 1,  // may be the parent of other controls
    csCaptureMouse = 2,     // takes the mouse capture while the left button is down
    csClickEvents = 4,      // a left press and release inside makes a click
    csSetCaption = 8,       // keeps its caption as window text
    csOpaque = 16,          // paints its whole area: the parent need not erase it
    csDoubleClicks = 32,    // gets double clicks (else they count as presses)
    csReplicatable = 64,
};
using TControlStyle = uint32_t;

// Mouse pointers: the system's cursors by the runtime's numbers.
using TCursor = int;
constexpr TCursor crDefault = 0;
constexpr TCursor crNone = -1;
constexpr TCursor crArrow = -2;
constexpr TCursor crCross = -3;
constexpr TCursor crIBeam = -4;
constexpr TCursor crSizeNESW = -6;
constexpr TCursor crSizeNS = -7;
constexpr TCursor crSizeNWSE = -8;
constexpr TCursor crSizeWE = -9;
constexpr TCursor crUpArrow = -10;
constexpr TCursor crHourGlass = -11;
constexpr TCursor crNo = -18;
constexpr TCursor crAppStart = -19;
constexpr TCursor crHelp = -20;
constexpr TCursor crHandPoint = -21;
constexpr TCursor crSizeAll = -22;
// The shared system cursor for a TCursor (null for crNone).
HCURSOR CursorHandle(TCursor Cursor);

using TMouseEvent = std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = std::function<void(TObject* Sender, TShiftState Shift, int X, int Y)>;
using TKeyEvent = std::function<void(TObject* Sender, WORD& Key, TShiftState Shift)>;
using TKeyPressEvent = std::function<void(TObject* Sender, char& Key)>;

// Shift state from the MK_xxx flags of a mouse message, plus the Alt key.
TShiftState KeysToShiftState(WPARAM Keys);
// True when Caption marks Char as its accelerator: "&Close" answers 'c' and
// 'C'; "&&" is a plain ampersand.
bool IsAccel(unsigned Char, const std::string& Caption);

class TControl : public TComponent {
public:
    explicit TControl(TComponent* AOwner);

    TWinControl* Parent() const { return parent_; }
    virtual void SetParent(TWinControl* AParent);

    // Position in the parent's client area (top-level forms: on the screen).
    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    void SetLeft(int Value) { SetBounds(Value, top_, width_, height_); }
    void SetTop(int Value) { SetBounds(left_, Value, width_, height_); }
    void SetWidth(int Value) { SetBounds(left_, top_, Value, height_); }
    void SetHeight(int Value) { SetBounds(left_, top_, width_, Value); }
    virtual void SetBounds(int ALeft, int ATop, int AWidth, int AHeight);
    TRect BoundsRect() const { return Bounds(left_, top_, width_, height_); }
    void SetBoundsRect(const TRect& R) { SetBounds(R.Left, R.Top, R.Width(), R.Height()); }
    virtual TRect ClientRect() const { return {0, 0, width_, height_}; }
    int ClientWidth() const { return ClientRect().Width(); }
    int ClientHeight() const { return ClientRect().Height(); }
    void SetClientWidth(int Value) { SetWidth(width_ - ClientWidth() + Value); }
    void SetClientHeight(int Value) { SetHeight(height_ - ClientHeight() + Value); }
    // Screen position of the client area's top-left corner.
    virtual TPoint ClientOrigin() const;
    TPoint ClientToScreen(const TPoint& P) const;
    TPoint ScreenToClient(const TPoint& P) const;

    TAlign Align() const { return align_; }
    void SetAlign(TAlign Value);

    bool Visible() const { return visible_; }
    virtual void SetVisible(bool Value);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool Value);

    TColor Color() const { return color_; }
    void SetColor(TColor Value);
    bool ParentColor() const { return parentColor_; }
    void SetParentColor(bool Value);
    // The control's own font; setting it copies the given one.
    TFont* Font() const { return font_.get(); }
    void SetFont(TFont* Value) { font_->Assign(Value); }
    bool ParentFont() const { return parentFont_; }
    void SetParentFont(bool Value);

    std::string Caption() const { return GetText(); }
    void SetCaption(const std::string& Value);
    std::string Text() const { return GetText(); }
    void SetText(const std::string& Value) { SetCaption(Value); }
    const std::string& Hint() const { return hint_; }
    void SetHint(const std::string& Value) { hint_ = Value; }
    // Whether the hint shows as a tooltip while the mouse rests on the
    // control. With ParentShowHint (the default) the parent's setting counts;
    // setting ShowHint clears ParentShowHint.
    bool ShowHint() const;
    void SetShowHint(bool Value);
    bool ParentShowHint() const { return parentShowHint_; }
    void SetParentShowHint(bool Value) { parentShowHint_ = Value; }
    TCursor Cursor() const { return cursor_; }
    void SetCursor(TCursor Value) { cursor_ = Value; }
    // The menu a right click on the control shows (menus.h); cleared when
    // the menu is freed. Without one, the click goes on to the parent.
    TPopupMenu* PopupMenu() const { return popupMenu_; }
    void SetPopupMenu(TPopupMenu* Value);

    TControlStyle ControlStyle() const { return controlStyle_; }
    void SetControlStyle(TControlStyle Value) { controlStyle_ = Value; }

    // True while this control holds the mouse capture. A windowless control
    // captures through its parent's window.
    bool MouseCapture() const;
    void SetMouseCapture(bool Value);

    virtual void Invalidate();
    // Paints pending invalid areas now.
    virtual void Update();
    // Invalidate, then Update.
    virtual void Repaint();
    void Refresh() { Repaint(); }
    // Renders the control (and its children) into DC with its top-left
    // corner at (X, Y), clipped to its bounds.
    virtual void PaintTo(HDC DC, int X, int Y) = 0;

    // Sends a message straight to WndProc, without the system.
    LRESULT Perform(UINT Msg, WPARAM WParam, LPARAM LParam);
    virtual void WndProc(TMessage& Message);
    // Messages no handler took: windowed controls pass them to the window's
    // default procedure; windowless ones ignore them.
    virtual void DefaultHandler(TMessage& Message) { Message.Result = 0; }

    virtual void Click();
    virtual void DblClick();

    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TMouseEvent OnMouseDown;
    TMouseMoveEvent OnMouseMove;
    TMouseEvent OnMouseUp;
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;
    TNotifyEvent OnResize;

protected:
    ~TControl() override;
    // The canvas the control paints on, or null when it has none.
    virtual TCanvas* ControlCanvas() { return nullptr; }

    // Handlers: the base versions fire the matching events.
    virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void MouseMove(TShiftState Shift, int X, int Y);
    virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void MouseEnter();
    virtual void MouseLeave();
    virtual void Resize();
    // Shows PopupMenu with its corner at ScreenPos; false when there is none.
    virtual bool DoContextPopup(const TPoint& ScreenPos);
    void Notification(TComponent* AComponent, TOperation Operation) override;
    // Reactions to property changes; the base versions repaint.
    virtual void EnabledChanged();
    virtual void VisibleChanged() {}
    virtual void TextChanged();
    virtual void FontChanged();
    virtual void ColorChanged();

    virtual std::string GetText() const { return text_; }
    virtual void SetTextValue(const std::string& Value) { text_ = Value; }

    // Invalidates the control's rectangle of the parent window; erases it
    // first unless the control or the parent is opaque.
    void InvalidateControl(bool IsVisible, bool IsOpaque);
    // Asks the parent to realign when this control is aligned.
    void RequestParentAlign();

    bool IsDestroying() const { return (ComponentState() & csDestroying) != 0; }

    int left_ = 0;
    int top_ = 0;
    int width_ = 0;
    int height_ = 0;
    bool visible_ = true;
    std::string text_;
    TControlStyle controlStyle_ = csCaptureMouse | csClickEvents | csSetCaption | csDoubleClicks;

private:
    friend class TWinControl;
    friend class ScopedControlCanvas;

    void ButtonDown(TMessage& Message, TMouseButton Button, bool Double);
    void ButtonUp(TMessage& Message, TMouseButton Button);
    void ParentFontChanged();
    void ParentColorChanged();

    TWinControl* parent_ = nullptr;
    TAlign align_ = alNone;
    bool enabled_ = true;
    TColor color_ = clBtnFace;
    bool parentColor_ = true;
    std::unique_ptr<TFont> font_;
    bool parentFont_ = true;
    bool updatingFromParent_ = false;
    std::string hint_;
    bool showHint_ = false;
    bool parentShowHint_ = true;
    TCursor cursor_ = crDefault;
    bool clicked_ = false;
    TPopupMenu* popupMenu_ = nullptr;
};

// A control with a window. The window is made when first needed (Handle()),
// with the parameters CreateParams gives; a subclass wraps a standard window
// class ("EDIT", "BUTTON", ...) by naming it in CreateParams, and its
// messages then come through WndProc before the class's own procedure.
class TWinControl : public TControl {
public:
    explicit TWinControl(TComponent* AOwner);

    // The window, created with its parents' windows when needed. Null while
    // the control is being destroyed.
    HWND Handle();
    bool HandleAllocated() const { return handle_ != nullptr; }
    void HandleNeeded() { Handle(); }
    // Destroys the window and makes a new one (after a change of a style
    // that only takes effect at creation).
    void RecreateWnd();
    // The control of a window made by this framework, or null.
    static TWinControl* FindControl(HWND Window);

    // Message hooks (message_hook.h). Adding puts the hook last in the order
    // (a hook already there stays where it is); a hook added while a message
    // is under way sees the next one. Removing one that is not there does
    // nothing.
    void AddMessageHook(TMessageHook* Hook);
    void RemoveMessageHook(TMessageHook* Hook);
    int MessageHookCount() const { return static_cast<int>(hooks_.size()); }

    int ControlCount() const { return static_cast<int>(controls_.size()); }
    TControl* Controls(int Index) const;
    // The topmost visible windowless child at P (client coordinates).
    TControl* ControlAtPos(const TPoint& P, bool AllowDisabled) const;
    // Lays out the aligned children again.
    void Realign();

    bool DoubleBuffered() const { return doubleBuffered_; }
    void SetDoubleBuffered(bool Value) { doubleBuffered_ = Value; }

    // Focus and the tab order (focus.cpp). Tab moves through the windowed
    // controls of a form in TabOrder, parent by parent, stopping only at
    // those with TabStop that can take the focus.
    bool TabStop() const { return tabStop_; }
    void SetTabStop(bool Value);
    // Place among the parent's windowed children, from 0; -1 without a
    // parent. Setting it moves the others up or down; out-of-range values
    // put the control last.
    int TabOrder() const;
    void SetTabOrder(int Value);
    // The windowed descendants in tab order, each followed by its own.
    void GetTabOrderList(std::vector<TWinControl*>& List) const;
    // The control after (or before) CurControl in tab order, going round;
    // with CheckTabStop only tab stops, with CheckParent only children.
    TWinControl* FindNextControl(TWinControl* CurControl, bool GoForward, bool CheckTabStop, bool CheckParent) const;
    // Focuses the next control: a tab stop anywhere below this one, or
    // without CheckTabStop the next child (as the arrow keys do).
    void SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop);
    // The control and its parents up to the form are visible and enabled.
    virtual bool CanFocus() const;
    bool Focused() const;
    // Focuses the control, or on a form not showing makes it the control
    // focused when the form is. EInvalidOperation "Cannot focus a disabled
    // or invisible window" when it cannot take the focus.
    void SetFocus();

    TRect ClientRect() const override;
    TPoint ClientOrigin() const override;
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    void SetVisible(bool Value) override;
    void Invalidate() override;
    void Update() override;
    void Repaint() override;
    void PaintTo(HDC DC, int X, int Y) override;
    void WndProc(TMessage& Message) override;
    void DefaultHandler(TMessage& Message) override;

    TKeyEvent OnKeyDown;
    TKeyEvent OnKeyUp;
    TKeyPressEvent OnKeyPress;
    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;

protected:
    ~TWinControl() override;
    struct TCreateParams {
        std::string Caption;
        DWORD Style = 0;
        DWORD ExStyle = 0;
        int X = 0;
        int Y = 0;
        int Width = 0;
        int Height = 0;
        HWND WndParent = nullptr;
        // Empty: the framework's own window class.
        std::string WinClassName;
    };
    virtual void CreateParams(TCreateParams& Params) const;
    // Makes this window, then the windows of the windowed children.
    virtual void CreateHandle();
    // Destroys the window (children first, keeping their texts).
    virtual void DestroyHandle();

    // The area the aligned children share; subclasses shrink it by borders.
    virtual void AdjustClientRect(TRect& Rect) const { (void)Rect; }
    virtual void AlignControls(TRect Rect);
    // Paints the control itself on DC (its client area at the origin).
    virtual void PaintWindow(HDC DC) { (void)DC; }
    // Paints the windowless children, each at its offset and clipped.
    void PaintControls(HDC DC);

    virtual void KeyDown(WORD& Key, TShiftState Shift);
    virtual void KeyUp(WORD& Key, TShiftState Shift);
    virtual void KeyPress(char& Key);

    void EnabledChanged() override;
    void FontChanged() override;
    void ColorChanged() override;
    std::string GetText() const override;
    void SetTextValue(const std::string& Value) override;

    // Re-reads the window's bounds after the system moved or sized it.
    void UpdateBounds();
    // True for a window of a standard class ("EDIT", "BUTTON", ...): it
    // paints itself and takes the control's font.
    bool IsStandardWindow() const { return defWndProc_ && defWndProc_ != &DefWindowProcW; }
    // Offers a key the focused control got to its form (CM_DIALOGKEY) unless
    // the window asks for it (WM_GETDLGCODE); true when the form took it.
    virtual bool DialogKey(WORD Key, LPARAM KeyData);
    // Sends a control message to every child (windowed and windowless), in
    // order; with StopWhenHandled it stops at the first non-zero result.
    LRESULT Broadcast(UINT Msg, WPARAM WParam, LPARAM LParam, bool StopWhenHandled);
    // Destroys the window (every override sees WM_DESTROY), then frees the
    // child controls and the owned components, all while this object is whole.
    void BeforeDestruction() override;

private:
    friend class TControl;
    friend LRESULT CALLBACK StdWndProc(HWND, UINT, WPARAM, LPARAM);
    friend LRESULT CALLBACK SubclassWndProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);

    void Bind(HWND Window);
    void ReleaseResources();
    // Makes a window of a standard class route its messages through Dispatch.
    void Subclass(HWND Window);
    void NotifyWindowCreated();
    void DropMessageHooks();
    LRESULT Dispatch(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam);
    void InsertControl(TControl* Control);
    void RemoveControl(TControl* Control);
    bool IsControlMouseMsg(TMessage& Message);
    void TrackMouse(const TPoint& P);
    void PaintHandler(TMessage& Message);
    void EraseBackground(HDC DC);
    void SetCursorFor(TMessage& Message);
    bool ReflectToChild(TMessage& Message);
    TWinControl* ChildById(int Id) const;

    HWND handle_ = nullptr;
    // The window's own procedure: DefWindowProcW for the framework's class,
    // the class procedure for a standard class (which the framework reaches
    // through the subclass chain while the system is calling it).
    WNDPROC defWndProc_ = nullptr;
    bool subclassed_ = false;
    THookedMessage::TSlots hooks_;
    int id_ = 0;
    std::vector<TControl*> controls_;
    std::vector<TWinControl*> tabList_;  // the windowed children in tab order
    bool aligning_ = false;
    bool doubleBuffered_ = false;
    bool tabStop_ = false;
    bool trackingLeave_ = false;
    ScopedBrush colorBrush_;  // the Color brush for erasing and child windows

    HBRUSH ColorBrush();
};

// A windowless control: it lives in its parent's window, which paints it by
// calling Paint with Canvas() bound to the parent's DC at the control's
// offset, and routes the mouse to it.
class TKeyStop;

class TGraphicControl : public TControl {
public:
    explicit TGraphicControl(TComponent* AOwner);

    // Bound to a DC only while painting, or inside a ScopedControlCanvas.
    TCanvas* Canvas() { return &canvas_; }
    void PaintTo(HDC DC, int X, int Y) override;

    // A windowless control the keyboard reaches: with TabStop it gets a
    // window of no size of its own (KeyStop, key_stop.h) beside it in the
    // parent, which takes the focus for it in the tab order. While that
    // window has the focus the control shows a dotted frame, and Space or
    // Enter clicks it.
    bool TabStop() const { return keyStop_ != nullptr; }
    void SetTabStop(bool Value);
    // The window that stands for the control in the tab order (its
    // TabOrder is the control's place), or null without TabStop.
    TWinControl* KeyStop() const;
    // Whether the keyboard's focus is on the control.
    bool KeyFocused() const;
    void SetParent(TWinControl* AParent) override;

protected:
    ~TGraphicControl() override;
    void BeforeDestruction() override;
    // Draws the whole control at (0, 0)-(Width, Height) on Canvas().
    virtual void Paint() {}
    TCanvas* ControlCanvas() override { return &canvas_; }

private:
    friend class TWinControl;
    friend class TKeyStop;
    // Paint, then the focus frame when the keyboard is on the control.
    void PaintWithFocus();

    TCanvas canvas_;
    TKeyStop* keyStop_ = nullptr;
};

// A windowed control that paints itself with Paint on Canvas().
class TCustomControl : public TWinControl {
public:
    explicit TCustomControl(TComponent* AOwner);
    TCanvas* Canvas() { return &canvas_; }

protected:
    ~TCustomControl() override;
    virtual void Paint() {}
    void PaintWindow(HDC DC) override;
    TCanvas* ControlCanvas() override { return &canvas_; }

private:
    TCanvas canvas_;
};

// Binds a control's Canvas() to a screen DC for drawing at once, outside
// WM_PAINT. For a graphic control the DC is the parent window's, with its
// origin moved to the control and clipped to its bounds; for a windowed one
// it is the control's own window DC. When the canvas is already bound (the
// control is painting) nothing changes. Valid() is false, and nothing may be
// drawn, when the control is hidden or its parent has no window yet.
//
//     void TGauge::SetPercentage(uint8_t v) {
//         percentage_ = std::min<uint8_t>(v, 100);
//         ScopedControlCanvas drawing(*this);
//         if (drawing.Valid())
//             DrawBar();  // draws on Canvas()
//     }
class ScopedControlCanvas {
public:
    explicit ScopedControlCanvas(TControl& Control);
    ScopedControlCanvas(const ScopedControlCanvas&) = delete;
    ScopedControlCanvas& operator=(const ScopedControlCanvas&) = delete;
    bool Valid() const { return valid_; }

private:
    std::optional<ScopedGetDC> dc_;
    std::optional<ScopedCanvasHandle> bind_;
    bool valid_ = false;
};

// The control that holds the mouse capture, and the one under the mouse.
TControl* GetCaptureControl();
TControl* GetMouseControl();

}  // namespace vexel
