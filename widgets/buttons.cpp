#include "widgets/buttons.h"

#include <cmath>
#include <cstdlib>

#include "framework/core/sysutils.h"
#include "framework/win32/forms.h"
#include "framework/win32/gdi.h"
#include "platform/ascii.h"

namespace vexel {

namespace {

// Caption format of the tool button: one line, centred both ways, cut with
// an ellipsis when too long.
constexpr UINT kIECaptionFormat = DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS;
// Caption format of the office button: one line, centred both ways.
constexpr UINT kOfficeCaptionFormat = DT_CENTER | DT_VCENTER | DT_SINGLELINE;

TPoint PointOf(LPARAM LParam) {
    return {static_cast<short>(LOWORD(LParam)), static_cast<short>(HIWORD(LParam))};
}

// Whether Key is the letter after the caption's "&" (a doubled "&&" is a
// plain ampersand), compared without regard to case.
bool IsAccel(char Key, const std::string& Caption) {
    for (size_t i = 0; i + 1 < Caption.size(); ++i) {
        if (Caption[i] != '&')
            continue;
        if (Caption[i + 1] == '&') {
            ++i;
            continue;
        }
        return AsciiUpper(Caption[i + 1]) == AsciiUpper(Key);
    }
    return false;
}

void ProcessPendingMessages() {
    if (Application)
        Application->ProcessMessages();
}

}  // namespace

// ---- Shared drawing ----

void DrawButtonBorder(TCanvas* Canvas, int W, int H, bool Sunk, int Rings) {
    struct TRingColors {
        TColor light, dark;
    };
    static const TRingColors kOuter{clSilver, clBlack};
    static const TRingColors kMiddle{clWhite, clGray};
    static const TRingColors kInner{clBtnHighlight, clBtnShadow};
    auto ring = [&](const TRingColors& colors, TRect rect) {
        Frame3D(Canvas, rect, Sunk ? colors.dark : colors.light, Sunk ? colors.light : colors.dark, 1);
    };
    if (Rings >= 3) {
        ring(kOuter, {0, 0, W, H});
        ring(kMiddle, {1, 1, W - 1, H - 1});
        ring(kInner, {2, 2, W - 2, H - 2});
    } else if (Rings == 2) {
        ring(kOuter, {0, 0, W - 1, H - 1});
        ring(kInner, {1, 1, W - 2, H - 2});
    } else {
        ring(kInner, {0, 0, W - 1, H - 1});
    }
}

void DrawMenuArrow(TCanvas* Canvas, int X, int Y) {
    const TColor color = Canvas->Font()->Color();
    // Rows of 7, 5, 3 and 1 pixels, each one narrower on both sides.
    for (int row = 0; row < 4; ++row)
        for (int x = X + row; x <= X + 6 - row; ++x)
            Canvas->SetPixels(x, Y - 1 + row, color);
}

// ---- TZelIEButton ----

TZelIEButton::TZelIEButton(TComponent* AOwner)
    : TZelGraphicControl(AOwner),
      glyph_(std::make_unique<TZelGlyph>(this)),
      font3D_(std::make_unique<TZelFont3D>(this)) {
    // Double clicks count as presses.
    SetControlStyle(csCaptureMouse | csClickEvents | csSetCaption);
    SetBounds(0, 0, 80, 21);
}

TZelIEButton::~TZelIEButton() = default;

void TZelIEButton::SetCaption(const std::string& Value) {
    TZelGraphicControl::SetCaption(Value);
    Invalidate();
}

void TZelIEButton::SetFont3D(TZelFont3D* Value) {
    font3D_->Assign(Value);
    Invalidate();
}

void TZelIEButton::SetLayout(TZelPosition Value) {
    layout_ = Value;
    Invalidate();
}

void TZelIEButton::SetOptions(TZelButtonOptions Value) {
    options_ = Value;
    Invalidate();
}

void TZelIEButton::SetBevelLooks(TZelButtonKind Value) {
    if (bevelLooks_ == Value)
        return;
    bevelLooks_ = Value;
    Invalidate();
}

template <class TFunc>
void TZelIEButton::ForEachGroupMember(TFunc Func) {
    TWinControl* parent = Parent();
    if (!parent || groupIndex_ == 0)
        return;
    for (int i = 0; i < parent->ControlCount(); ++i) {
        auto* other = dynamic_cast<TZelIEButton*>(parent->Controls(i));
        if (other && other != this && other->groupIndex_ == groupIndex_)
            Func(other);
    }
}

void TZelIEButton::ReleaseOthers() {
    ForEachGroupMember([](TZelIEButton* other) {
        if (other->down_) {
            other->down_ = false;
            other->Invalidate();
        }
    });
}

void TZelIEButton::SetGroupIndex(int32_t Value) {
    groupIndex_ = Value;
    if (Value == 0 && down_) {
        down_ = false;
        Invalidate();
    }
}

void TZelIEButton::SetDown(bool Value) {
    if (groupIndex_ == 0)
        return;
    down_ = Value;
    Invalidate();
    if (Value)
        ReleaseOthers();
}

void TZelIEButton::SetAllowAllUp(bool Value) {
    allowAllUp_ = Value;
    ForEachGroupMember([Value](TZelIEButton* other) { other->allowAllUp_ = Value; });
}

void TZelIEButton::SetDropDownMenu(TPopupMenu* Value) {
    if (dropDownMenu_ == Value)
        return;
    if (dropDownMenu_)
        RemoveFreeNotification(dropDownMenu_);
    dropDownMenu_ = Value;
    if (Value)
        FreeNotification(Value);
    Invalidate();
}

void TZelIEButton::SetDesignTimeFrame(bool Value) {
    designTimeFrame_ = Value;
    Invalidate();
}

void TZelIEButton::Notification(TComponent* AComponent, TOperation Operation) {
    TZelGraphicControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent && AComponent == static_cast<TComponent*>(dropDownMenu_)) {
        dropDownMenu_ = nullptr;
        if (!IsDestroying())
            Invalidate();
    }
}

void TZelIEButton::EnabledChanged() {
    if (groupIndex_ == 0)
        down_ = false;
    pressed_ = false;
    hot_ = false;
    // A disabled button stops tracking the mouse at once; it would
    // otherwise hold the capture until the pointer came back and left.
    if (!Enabled() && MouseCapture())
        SetMouseCapture(false);
    TZelGraphicControl::EnabledChanged();
}

bool TZelIEButton::ArrowShown() {
    return (options_ & opMenuArrow) && dropDownMenu_;
}

bool TZelIEButton::ParentFormActive() const {
    TCustomForm* form = GetParentForm(const_cast<TZelIEButton*>(this));
    return form && form->Active();
}

void TZelIEButton::Paint() {
    TCanvas* canvas = Canvas();
    HDC dc = canvas->Handle();
    const int w = Width(), h = Height();
    const int s = ((pressed_ && hot_) || down_) ? 1 : 0;  // caption shift
    const int p = pressed_ ? 1 : 0;                       // glyph shift
    const bool enabled = Enabled();

    canvas->Brush()->SetStyle(bsClear);
    canvas->Pen()->SetColor(clBlack);
    canvas->Pen()->SetWidth(1);
    if ((ComponentState() & csDesigning) && designTimeFrame_)
        canvas->Rectangle(0, 0, w, h);

    canvas->SetFont(Font());
    int a = 0;
    if (ArrowShown()) {
        DrawMenuArrow(canvas, w - 13, Round(h / 2.0) - 2);
        a = 7;
    }

    const std::string caption = Caption();
    if (glyph_->Bitmap()->Empty() || (options_ & opTextonly)) {
        DrawText3D(font3D_.get(), Font(), dc, enabled, kIECaptionFormat, caption,
                   {4, 4 + s, w - 4, h - 4 + s});
    } else {
        const int gw = glyph_->GlyphWidth(), gh = glyph_->GlyphHeight();
        int x = Round(w / 2.0) - Round(gw / 2.0);
        int y = Round(h / 2.0) - Round(gh / 2.0);
        const bool bitmapOnly = (options_ & opBitmapOnly) != 0;
        if ((caption.empty() || bitmapOnly) && (layout_ == pLeft || layout_ == pRight))
            y += p;
        if (!bitmapOnly) {
            TRect text;
            switch (layout_) {
                case pLeft:
                    text = {gw + 6, 4, w - a - 4, h - 4};
                    x = 6;
                    break;
                case pRight:
                    text = {4, 4, w - gw - a - 6, h - 4};
                    x = w - gw - a - 6;
                    break;
                case pTop:
                    y = p + 6;
                    text = {4, gh + 6, w - a - 4, h - 4};
                    break;
                case pBottom:
                    y = h - gh - 8 + p;
                    text = {4, 4, w - a - 4, h - gh - 8};
                    break;
            }
            DrawText3D(font3D_.get(), Font(), dc, enabled, kIECaptionFormat, caption, text);
        }
        DrawGlyph(glyph_.get(), canvas, x, y, enabled, false, (options_ & opMonoDisplay) && !hot_);
    }

    const int rings = static_cast<int>(bevelLooks_) + 1;
    if (hot_ && !pressed_ && enabled)
        DrawButtonBorder(canvas, w, h, false, rings);
    if (((pressed_ && hot_) || down_) && enabled)
        DrawButtonBorder(canvas, w, h, true, rings);
}

void TZelIEButton::MouseMove(TShiftState Shift, int X, int Y) {
    if (!MouseCapture()) {
        SetMouseCapture(true);
        if (Enabled() && Visible() && ParentFormActive()) {
            hot_ = true;
            if (!down_)
                Invalidate();
        }
    } else if (X < 0 || Y < 0 || X > Width() || Y > Height()) {
        if (hot_) {
            hot_ = false;
            if (!down_ && Enabled())
                Invalidate();
        }
        // Leaving lets go of the capture also when the button never became
        // hot (its form was inactive): a capture kept would bring it every
        // press made anywhere on the screen.
        if (!pressed_)
            SetMouseCapture(false);
    } else if (!hot_) {
        hot_ = true;
        if (!down_ && Enabled())
            Invalidate();
    }
    TZelGraphicControl::MouseMove(Shift, X, Y);
}

void TZelIEButton::WndProc(TMessage& Message) {
    switch (Message.Msg) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            LeftPress(Message);
            return;
        case WM_LBUTTONUP:
            LeftRelease(Message);
            return;
        case WM_RBUTTONDOWN:
        case WM_RBUTTONDBLCLK:
            RightPress(Message);
            return;
        case WM_RBUTTONUP:
            Message.Result = 0;
            return;
        case CM_DIALOGCHAR:
            if (AcceleratorKey(static_cast<char>(Message.WParam))) {
                Message.Result = 1;
                return;
            }
            break;
        default:
            break;
    }
    TZelGraphicControl::WndProc(Message);
}

void TZelIEButton::LeftPress(TMessage& Message) {
    const TPoint p = PointOf(Message.LParam);
    MouseDown(mbLeft, KeysToShiftState(Message.WParam), p.X, p.Y);
    if (!Enabled() || !Visible())
        return;
    if (!MouseCapture())
        SetMouseCapture(true);
    pressed_ = true;
    hot_ = true;
    Invalidate();
    if (TPopupMenu* menu = dropDownMenu_) {
        Update();  // show the pressed look while the menu is open
        TPoint corner = ClientToScreen({0, Height()});
        menu->SetPopupComponent(this);
        menu->Popup(corner.X, corner.Y);
        pressed_ = false;
        hot_ = false;
        Invalidate();
    }
}

void TZelIEButton::LeftRelease(TMessage& Message) {
    const TPoint p = PointOf(Message.LParam);
    MouseUp(mbLeft, KeysToShiftState(Message.WParam), p.X, p.Y);
    if (!Enabled() || !Visible() || !pressed_)
        return;
    pressed_ = false;
    if (hot_ && groupIndex_ != 0) {
        if (!down_) {
            ReleaseOthers();
            down_ = true;
        } else if (allowAllUp_) {
            down_ = false;
        }
    }
    SetMouseCapture(false);
    if (hot_) {
        hot_ = false;
        Invalidate();
        // The click goes last: its handler may free the button.
        if (!dropDownMenu_)
            Click();
    }
}

void TZelIEButton::RightPress(TMessage& Message) {
    if (Enabled() && Visible()) {
        pressed_ = true;
        hot_ = true;
        Invalidate();
    }
    if (OnRightMouseDown)
        OnRightMouseDown(this);
    const TPoint p = PointOf(Message.LParam);
    MouseDown(mbRight, KeysToShiftState(Message.WParam), p.X, p.Y);
    DoContextPopup(ClientToScreen(p));
    pressed_ = false;
    hot_ = false;
    Invalidate();
}

bool TZelIEButton::AcceleratorKey(char Key) {
    if (!Enabled() || !Visible() || !IsAccel(Key, Caption()))
        return false;
    hot_ = true;
    pressed_ = false;
    Invalidate();
    ProcessPendingMessages();
    Perform(WM_LBUTTONDOWN, MK_LBUTTON, 0);
    ProcessPendingMessages();
    Perform(WM_LBUTTONUP, 0, 0);
    ProcessPendingMessages();
    POINT cursor{};
    GetCursorPos(&cursor);
    const TPoint p = ScreenToClient({cursor.x, cursor.y});
    if (!(p.X > 0 && p.Y > 0 && p.X < Width() && p.Y < Height())) {
        hot_ = false;
        Invalidate();
    }
    return true;
}

// ---- TZelOfficeButton ----

TZelOfficeButton::TZelOfficeButton(TComponent* AOwner)
    : TZelGraphicControl(AOwner), font3D_(std::make_unique<TZelFont3D>(this)), background_(*this) {
    SetControlStyle(csCaptureMouse | csClickEvents | csSetCaption);
    SetBounds(0, 0, 130, 25);
}

TZelOfficeButton::~TZelOfficeButton() = default;

void TZelOfficeButton::SetBorderColor(TColor Value) {
    borderColor_ = Value;
    Invalidate();
}

void TZelOfficeButton::SetLedNormal(TColor Value) {
    ledNormal_ = Value;
    Invalidate();
}

void TZelOfficeButton::SetRoundSize(int32_t Value) {
    if (roundSize_ == Value)
        return;
    roundSize_ = Value;
    Invalidate();
}

void TZelOfficeButton::SetFont3D(TZelFont3D* Value) {
    font3D_->Assign(Value);
    Invalidate();
}

void TZelOfficeButton::Notification(TComponent* AComponent, TOperation Operation) {
    TZelGraphicControl::Notification(AComponent, Operation);
    background_.Notification(AComponent, Operation);
}

void TZelOfficeButton::DrawLed(TCanvas* C, int X, int Y) {
    TColor color = !hot_ ? ledNormal_ : (pressed_ ? ledIn_ : ledOut_);
    C->Brush()->SetStyle(bsSolid);
    C->Brush()->SetColor(color);
    C->Pen()->SetColor(color);
    C->Ellipse(X + 1, Y + 1, X + 11, Y + 11);
    // A rim of light at the upper left and of shade at the lower right, and
    // a glint.
    static const TPoint kLight[] = {{8, 2}, {4, 1}, {5, 1}, {6, 1}, {7, 1}, {3, 2},
                                    {2, 3}, {1, 4}, {1, 5}, {1, 6}, {1, 7}, {2, 8}};
    static const TPoint kShade[] = {{9, 3}, {10, 4}, {10, 5}, {10, 6}, {10, 7}, {9, 8},
                                    {8, 9}, {4, 10}, {5, 10}, {6, 10}, {7, 10}, {3, 9}};
    static const TPoint kGlint[] = {{4, 3}, {3, 4}, {4, 4}, {5, 4}, {4, 5}};
    for (const TPoint& p : kLight)
        C->SetPixels(X + p.X, Y + p.Y, clSilver);
    for (const TPoint& p : kShade)
        C->SetPixels(X + p.X, Y + p.Y, clGray);
    for (const TPoint& p : kGlint)
        C->SetPixels(X + p.X, Y + p.Y, clSilver);
}

void TZelOfficeButton::Paint() {
    const int w = Width(), h = Height(), r = roundSize_, d = offset_;
    if (w <= 0 || h <= 0)
        return;
    TCanvas* canvas = Canvas();

    // The face, in the rounded shape, on white.
    TBitmap face(w, h);
    TCanvas* b = face.Canvas();
    if (TZelBackground* ground = Background()) {
        ground->PaintBackground(b->Handle(), w, h, !(pressed_ && hot_));
    } else {
        b->Brush()->SetColor(kFaceColor);
        b->FillRect({0, 0, w, h});
    }
    TBitmap shape(w, h);
    TCanvas* s = shape.Canvas();
    s->Brush()->SetColor(clRed);
    s->Pen()->SetColor(clRed);
    s->RoundRect(3, 3, w - 3, h - 3, r, r);
    b->Brush()->SetStyle(bsClear);
    b->Pen()->SetColor(pressed_ ? clBtnFace : clBtnHighlight);
    b->RoundRect(2, 2, w - 3, h - 3, r, r);
    b->Pen()->SetColor(pressed_ ? clBtnHighlight : clBtnFace);
    b->RoundRect(3, 3, w - 1, h - 1, r, r);
    DrawMasked(b, &shape, 0, 0, clRed);

    // Laid over what is under the button, whose corners show through.
    TBitmap composed(w, h);
    TCanvas* c = composed.Canvas();
    BitBlt(c->Handle(), 0, 0, w, h, canvas->Handle(), 0, 0, SRCCOPY);
    DrawMasked(c, &face, 0, 0, face.PixelColor(0, 0));

    DrawLed(c, 7 + d, (h - 10) / 2 + d);

    // The rectangle only positions the caption, which DT_CENTER centres in
    // it, so measuring with the bitmap's own font is close enough.
    const std::string caption = Caption();
    const TSize extent = b->TextExtent(caption);
    const int tw = extent.cx, th = extent.cy;
    const int o = font3D_->Offset() + font3D_->Repetitionwidth();
    const TRect text{(w - tw) / 2 + 7 + d - o, (h - th) / 2 + d - o, (w - tw) / 2 + tw + 7 + d + o,
                     (h - th) / 2 + th + d + o};
    DrawText3D(font3D_.get(), Font(), c->Handle(), Enabled(), kOfficeCaptionFormat, caption, text);

    c->Brush()->SetStyle(bsClear);
    c->Pen()->SetColor(hot_ ? clBtnHighlight : borderColor_);
    c->RoundRect(2, 2, w - 2, h - 2, r, r);

    BitBlt(canvas->Handle(), 0, 0, w, h, c->Handle(), 0, 0, SRCCOPY);
    canvas->Changed();
}

void TZelOfficeButton::MouseEnter() {
    hot_ = true;
    offset_ = pressed_ ? 1 : 0;
    Repaint();
    TZelGraphicControl::MouseEnter();
}

void TZelOfficeButton::MouseLeave() {
    hot_ = false;
    offset_ = 0;
    Repaint();
    TZelGraphicControl::MouseLeave();
}

void TZelOfficeButton::WndProc(TMessage& Message) {
    switch (Message.Msg) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            if (!pressed_) {
                pressed_ = true;
                offset_ = 1;
                Repaint();
            }
            break;
        case WM_LBUTTONUP:
            if (pressed_) {
                pressed_ = false;
                offset_ = 0;
                Repaint();
            }
            break;  // the framework's release makes the click
        default:
            break;
    }
    TZelGraphicControl::WndProc(Message);
}

// ---- TZelRoundButton ----

TZelRoundButton::TZelRoundButton(TComponent* AOwner)
    : TZelGraphicControl(AOwner), glyph_(std::make_unique<TZelGlyph>(this)), background_(*this) {
    SetControlStyle(csCaptureMouse | csClickEvents);
    SetBounds(0, 0, 25, 25);
}

TZelRoundButton::~TZelRoundButton() = default;

void TZelRoundButton::SetButtonType(TZelButtonType Value) {
    buttonType_ = Value;
    Invalidate();
}

void TZelRoundButton::SetUnUsedColor(TColor Value) {
    unUsedColor_ = Value;
    Invalidate();
}

void TZelRoundButton::Notification(TComponent* AComponent, TOperation Operation) {
    TZelGraphicControl::Notification(AComponent, Operation);
    background_.Notification(AComponent, Operation);
}

bool TZelRoundButton::HitTest(int X, int Y) const {
    const int c = Width() / 2;
    const int dx = std::abs(c - X), dy = std::abs(Height() / 2 - Y);
    return Round(std::sqrt(static_cast<double>(dx * dx + dy * dy))) <= c - 1;
}

void TZelRoundButton::DrawRim(TCanvas* C) {
    const int w = Width(), h = Height();
    C->Pen()->SetWidth(1);
    C->Pen()->SetColor(pressed_ ? clBtnShadow : clBtnHighlight);
    C->Arc(1, 1, w - 2, h - 2, 4 * (w / 5), h / 5, w / 5, 4 * (h / 5));
    C->Pen()->SetColor(pressed_ ? clBtnHighlight : clBtnShadow);
    C->Arc(1, 1, w - 2, h - 2, w / 5, 4 * (h / 5), 4 * (w / 5), h / 5);
}

void TZelRoundButton::RedrawRim() {
    ScopedControlCanvas drawing(*this);
    if (drawing.Valid())
        DrawRim(Canvas());
}

void TZelRoundButton::Paint() {
    const int w = Width(), h = Height();
    if (w <= 0 || h <= 0)
        return;
    TCanvas* canvas = Canvas();

    TBitmap disc(w, h);
    if (TZelBackground* ground = Background())
        ground->PaintBackground(disc.Canvas()->Handle(), w, h, true);
    // The parent's pixels with the disc cut out in the key colour.
    TBitmap outline(w, h);
    TCanvas* b = outline.Canvas();
    BitBlt(b->Handle(), 0, 0, w, h, canvas->Handle(), 0, 0, SRCCOPY);
    b->Brush()->SetColor(unUsedColor_);
    b->Pen()->SetWidth(1);
    if (buttonType_ == btNormal) {
        b->Pen()->SetColor(clBlack);
        b->Ellipse(0, 0, w - 1, h - 1);
    } else {
        b->Pen()->SetColor(unUsedColor_);
        b->Ellipse(1, 1, w - 2, h - 2);
        b->Pen()->SetColor(clBtnShadow);
        b->Arc(0, 0, w - 1, h - 1, 4 * (w / 5), h / 5, w / 5, 4 * (h / 5));
        b->Pen()->SetColor(clBtnHighlight);
        b->Arc(0, 0, w - 1, h - 1, w / 5, 4 * (h / 5), 4 * (w / 5), h / 5);
    }
    DrawMasked(disc.Canvas(), &outline, 0, 0, unUsedColor_);
    BitBlt(canvas->Handle(), 0, 0, w, h, disc.Canvas()->Handle(), 0, 0, SRCCOPY);
    canvas->Changed();

    DrawRim(canvas);
    DrawGlyph(glyph_.get(), canvas, Round((w - glyph_->GlyphWidth()) / 2.0),
              Round((h - glyph_->GlyphHeight()) / 2.0) - 1, Enabled(), pressed_, false);
}

void TZelRoundButton::MouseMove(TShiftState Shift, int X, int Y) {
    if (tracking_) {
        bool inside = HitTest(X, Y);
        if (inside != pressed_) {
            pressed_ = inside;
            RedrawRim();
        }
    }
    TZelGraphicControl::MouseMove(Shift, X, Y);
}

void TZelRoundButton::WndProc(TMessage& Message) {
    switch (Message.Msg) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK: {
            const TPoint p = PointOf(Message.LParam);
            SetMouseCapture(true);
            tracking_ = true;
            if (Enabled() && HitTest(p.X, p.Y)) {
                pressed_ = true;
                RedrawRim();
            }
            MouseDown(mbLeft, KeysToShiftState(Message.WParam), p.X, p.Y);
            return;
        }
        case WM_LBUTTONUP: {
            const TPoint p = PointOf(Message.LParam);
            SetMouseCapture(false);
            tracking_ = false;
            const bool click = Enabled() && HitTest(p.X, p.Y);
            if (pressed_ || click) {
                pressed_ = false;
                RedrawRim();
            }
            MouseUp(mbLeft, KeysToShiftState(Message.WParam), p.X, p.Y);
            if (click)
                Click();  // last: its handler may free the button
            return;
        }
        default:
            break;
    }
    TZelGraphicControl::WndProc(Message);
}

}  // namespace vexel
