#include "widgets/labels.h"

namespace vexel {

// ---- TZelLabel ----

TZelLabel::TZelLabel(TComponent* AOwner)
    : TCustomLabel(AOwner),
      font3D_(std::make_unique<TZelFont3D>(this)),
      frame_(std::make_unique<TZelFrame>(this)),
      background_(*this),
      fontBackground_(*this) {
    frame_->SetFrameStyle(frameNone);
    SetAutoSize(false);
    SetControlStyle(ControlStyle() | csReplicatable);
}

TZelLabel::~TZelLabel() = default;

void TZelLabel::SetFont3D(TZelFont3D* Value) {
    if (Value != font3D_.get())
        font3D_->Assign(Value);
    Invalidate();
}

void TZelLabel::SetFrame(TZelFrame* Value) {
    if (Value != frame_.get())
        frame_->Assign(Value);
    Invalidate();
}

void TZelLabel::SetBackground(TZelBackground* Value) {
    background_.Set(Value);
    KeepFreeNotices();
}

void TZelLabel::SetFontBackground(TZelBackground* Value) {
    fontBackground_.Set(Value);
    KeepFreeNotices();
}

void TZelLabel::KeepFreeNotices() {
    // Letting go of a background drops its free notice, which the other
    // link may still need when both name the same one.
    if (TZelBackground* b = background_.Get())
        FreeNotification(b);
    if (TZelBackground* b = fontBackground_.Get())
        FreeNotification(b);
}

void TZelLabel::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomLabel::Notification(AComponent, Operation);
    background_.Notification(AComponent, Operation);
    fontBackground_.Notification(AComponent, Operation);
}

TRect TZelLabel::TextRect() const {
    const int t = TotalWidth(frame_.get()), f = frame_->FrameWidth();
    return {t, t + f, Width() - 2 * t, Height() - t - f};
}

void TZelLabel::Paint() {
    TCanvas* canvas = Canvas();
    HDC dc = canvas->Handle();
    const int w = Width(), h = Height();
    if (!Transparent()) {
        canvas->Brush()->SetStyle(bsSolid);
        canvas->Brush()->SetColor(Color());
        canvas->FillRect({0, 0, w, h});
        if (TZelBackground* ground = Background())
            ground->PaintBackground(dc, w, h, true);
    }
    canvas->Brush()->SetStyle(bsClear);
    static const UINT kAlignments[] = {DT_LEFT, DT_RIGHT, DT_CENTER};
    const UINT format = (WordWrap() ? DT_WORDBREAK : 0) | DT_EXPANDTABS | kAlignments[Alignment()];
    if (TZelBackground* face = FontBackground())
        DrawBackgroundText(face, font3D_.get(), Font(), format, Caption(), TextRect(), canvas);
    else
        DrawText3D(font3D_.get(), Font(), dc, Enabled(), format, Caption(), TextRect());
    TRect client{0, 0, w, h};
    DrawFrame(frame_.get(), dc, client);
}

// ---- TZelStickyLabel ----

TZelStickyLabel::TZelStickyLabel(TComponent* AOwner) : TLabel(AOwner) {}

TZelStickyLabel::~TZelStickyLabel() {
    Detach();  // Free has done it already, while the label was whole
}

void TZelStickyLabel::BeforeDestruction() {
    Detach();
    TLabel::BeforeDestruction();
}

void TZelStickyLabel::TFollower::HookMessage(THookedMessage& Call) {
    UINT msg = Call.Message().Msg;
    if (msg == WM_MOVE || msg == WM_SIZE)
        label_.Reposition();  // the control's own handling runs after us
}

void TZelStickyLabel::TFollower::ControlDestroying(TWinControl* Control) {
    // The control is going without a free notice to us (deleted outright).
    if (label_.attached_ == Control)
        label_.attached_ = nullptr;
}

void TZelStickyLabel::Detach() {
    if (!attached_)
        return;
    TWinControl* old = attached_;
    attached_ = nullptr;
    // The free notice stays: it may serve FocusControl too, and a notice
    // about a control no longer attached is ignored.
    old->RemoveMessageHook(&follower_);
}

void TZelStickyLabel::SetAttachToControl(TWinControl* Value) {
    if (Value == attached_)
        return;
    Detach();
    attached_ = Value;
    if (Value) {
        Value->FreeNotification(this);
        Value->AddMessageHook(&follower_);
    }
    Reposition();
}

void TZelStickyLabel::Notification(TComponent* AComponent, TOperation Operation) {
    TLabel::Notification(AComponent, Operation);
    // Free sends its notices while the control is whole, so the hook can
    // still be taken off it.
    if (Operation == opRemove && AComponent && AComponent == static_cast<TComponent*>(attached_))
        Detach();
}

void TZelStickyLabel::SetPosition(TZelPosition Value) {
    if (position_ == Value)
        return;
    position_ = Value;
    Reposition();
}

void TZelStickyLabel::SetSpace(int32_t Value) {
    if (space_ == Value)
        return;
    space_ = Value;
    Reposition();
}

TRect TZelStickyLabel::AttachedBounds() const {
    if (!attached_->HandleAllocated())
        return attached_->BoundsRect();
    HWND window = attached_->Handle();
    RECT r{};
    GetWindowRect(window, &r);
    if (HWND parent = GetParent(window); parent && (GetWindowLongW(window, GWL_STYLE) & WS_CHILD))
        MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&r), 2);
    return FromRECT(r);
}

void TZelStickyLabel::Reposition() {
    if (!attached_ || IsDestroying())
        return;
    struct Guard {
        bool& flag;
        ~Guard() { flag = false; }
    } guard{repositioning_};
    repositioning_ = true;
    const TRect c = AttachedBounds();
    int left = c.Left, top = c.Top;
    switch (position_) {
        case pLeft:
            left = c.Left - Width() - space_;
            break;
        case pRight:
            left = c.Right + space_;
            break;
        case pTop:
            top = c.Top - Height() - space_;
            break;
        case pBottom:
            top = c.Bottom + space_;
            break;
    }
    SetBounds(left, top, Width(), Height());
}

void TZelStickyLabel::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    TLabel::SetBounds(ALeft, ATop, AWidth, AHeight);
    if (!(ComponentState() & csDesigning) || repositioning_ || !Owner())
        return;
    const TRect mine = BoundsRect();
    TComponent* owner = Owner();
    for (int i = 0; i < owner->ComponentCount(); ++i) {
        auto* control = dynamic_cast<TWinControl*>(owner->Components(i));
        if (!control || IntersectRect(control->BoundsRect(), mine).IsEmpty())
            continue;
        SetAttachToControl(control);
        SetFocusControl(control);
        Reposition();
        return;
    }
}

}  // namespace vexel
