#include "widgets/presentation.h"

#include <algorithm>
#include <optional>

#include "framework/core/sysutils.h"
#include "framework/win32/forms.h"
#include "framework/win32/gdi.h"
#include "widgets/transitions.h"

namespace vexel {

// ---- TZelSlide ----

TZelSlide::TZelSlide(TCollection* Collection) : TCollectionItem(Collection) {}

void TZelSlide::Assign(TPersistent* Source) {
    if (auto* slide = dynamic_cast<TZelSlide*>(Source)) {
        if (slide == this)
            return;
        bitmap_.Assign(&slide->bitmap_);
        style_ = slide->style_;
        effect_ = slide->effect_;
        text_ = slide->text_;
        id_ = slide->id_;
        return;
    }
    TCollectionItem::Assign(Source);
}

void TZelSlide::SetBitmap(TBitmap* Value) {
    if (Value != &bitmap_)
        bitmap_.Assign(Value);
}

// ---- TZelSlides ----

TZelSlides::TZelSlides(TZelPresentation* Presentation)
    : TCollection(ItemClass<TZelSlide>()), presentation_(Presentation) {}

// ---- TZelPresentation ----

namespace {

// Where a slide reaches the screen: the control's canvas when it is bound to
// a DC (while the control paints, or whatever a caller bound it to), else the
// parent window's DC with its origin moved to the control and clipped to it.
// No DC when the control or its window is not shown.
class TScreenTarget {
public:
    explicit TScreenTarget(TGraphicControl& Control) {
        TCanvas* canvas = Control.Canvas();
        if (canvas->HandleAllocated()) {
            dc_ = canvas->Handle();
            return;
        }
        TWinControl* parent = Control.Parent();
        if (!Control.Visible() || !parent || !parent->HandleAllocated())
            return;
        window_ = parent->Handle();
        if (!IsWindowVisible(window_))
            return;
        own_.emplace(window_);
        if (!own_->Get())
            return;
        SetViewportOrgEx(own_->Get(), Control.Left(), Control.Top(), nullptr);
        IntersectClipRect(own_->Get(), 0, 0, Control.Width(), Control.Height());
        dc_ = own_->Get();
    }

    HDC DC() const { return dc_; }
    // The window drawn on, or null when drawing on a bound canvas.
    HWND Window() const { return window_; }

private:
    std::optional<ScopedGetDC> own_;
    HWND window_ = nullptr;
    HDC dc_ = nullptr;
};

std::mt19937 SeededGenerator() {
    LARGE_INTEGER counter{};
    QueryPerformanceCounter(&counter);
    std::random_device device;
    std::seed_seq seed{device(), static_cast<unsigned>(counter.LowPart),
                       static_cast<unsigned>(GetTickCount())};
    return std::mt19937(seed);
}

}  // namespace

TZelPresentation::TZelPresentation(TComponent* AOwner)
    : TCustomLabel(AOwner),
      slides_(std::make_unique<TZelSlides>(this)),
      background_(*this),
      fontBackground_(*this),
      font3D_(std::make_unique<TZelFont3D>(this)),
      random_(SeededGenerator()),
      alive_(std::make_shared<bool>(true)) {
    // The caption is drawn text only, never kept as window text.
    controlStyle_ &= ~static_cast<TControlStyle>(csSetCaption);
    SetAutoSize(false);
    timer_ = new TZelEnhancedTimer32(nullptr);
    timer_->SetEnabled(false);
    timer_->SetInterval(static_cast<uint16_t>(speed_));
    timer_->OnTimer = [this](TObject*) { Tick(); };
}

TZelPresentation::~TZelPresentation() = default;

void TZelPresentation::BeforeDestruction() {
    // First of all, so that no tick runs into a presentation half gone; also
    // right when we are inside a tick (the timer then lets its worker finish
    // on its own).
    *alive_ = false;
    FreeAndNil(timer_);
    TCustomLabel::BeforeDestruction();
}

void TZelPresentation::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomLabel::Notification(AComponent, Operation);
    background_.Notification(AComponent, Operation);
    fontBackground_.Notification(AComponent, Operation);
}

void TZelPresentation::SetBackground(TZelBackground* Value) {
    background_.Set(Value);
    // The two links share one free notice when they name the same background.
    if (FontBackground())
        FreeNotification(FontBackground());
}

void TZelPresentation::SetFontBackground(TZelBackground* Value) {
    fontBackground_.Set(Value);
    if (Background())
        FreeNotification(Background());
}

void TZelPresentation::SetFont3D(TZelFont3D* Value) {
    if (Value != font3D_.get())
        font3D_->Assign(Value);
    Invalidate();
}

void TZelPresentation::SetSpeed(int32_t Value) {
    speed_ = Value;
    if (Value >= 0)
        timer_->SetInterval(static_cast<uint16_t>(std::min<int32_t>(Value, UINT16_MAX)));
}

void TZelPresentation::Start() {
    timer_->SetEnabled(true);
}

void TZelPresentation::Stop() {
    timer_->SetEnabled(false);
}

void TZelPresentation::Paint() {
    if (TZelBackground* background = Background()) {
        background->PaintBackground(Canvas()->Handle(), Width(), Height(), true);
        return;
    }
    TCustomLabel::Paint();
}

void TZelPresentation::Tick() {
    std::shared_ptr<bool> alive = alive_;
    ShowSlide(index_);
    if (!*alive)
        return;
    if (OnSlideDone)
        OnSlideDone(this);
    if (!*alive)
        return;
    if (index_ < slides_->Count() - 1) {
        ++index_;
        return;
    }
    index_ = 0;
    if (!keepLooping_)
        timer_->SetEnabled(false);
    if (OnLoopDone)
        OnLoopDone(this);
}

void TZelPresentation::Compose(TZelSlide* Slide, TBitmap& Frame) {
    const int W = Frame.Width(), H = Frame.Height();
    TCanvas* canvas = Frame.Canvas();
    HDC dc = canvas->Handle();
    if (TZelBackground* background = Background()) {
        background->PaintBackground(dc, W, H, true);
    } else {
        canvas->Brush()->SetStyle(bsSolid);
        canvas->Brush()->SetColor(Color());
        canvas->FillRect({0, 0, W, H});
    }
    const TRect area{0, 0, W, H};
    if (Slide->Style() == kTextSlide) {
        static const UINT kAlignments[] = {DT_LEFT, DT_RIGHT, DT_CENTER};
        const UINT format = kAlignments[Alignment()] | DT_WORDBREAK | DT_EXPANDTABS;
        if (TZelBackground* face = FontBackground())
            DrawBackgroundText(face, font3D_.get(), Font(), format, Slide->Text(), area, canvas);
        else
            DrawText3D(font3D_.get(), Font(), dc, Enabled(), format, Slide->Text(), area);
    } else if (Slide->Style() == kPictureSlide && !Slide->Bitmap()->Empty()) {
        TBitmap* picture = Slide->Bitmap();
        const int bw = picture->Width(), bh = picture->Height();
        HDC source = picture->Canvas()->Handle();
        if (Slide->Stretch()) {
            // Pixel-exact sampling: a picture shown larger keeps sharp edges.
            int oldMode = SetStretchBltMode(dc, COLORONCOLOR);
            StretchBlt(dc, 0, 0, W, H, source, 0, 0, bw, bh, SRCCOPY);
            if (oldMode)
                SetStretchBltMode(dc, oldMode);
        } else {
            int x = std::max(0, Round(W / 2.0) - Round(bw / 2.0));
            int y = std::max(0, Round(H / 2.0) - Round(bh / 2.0));
            BitBlt(dc, x, y, bw, bh, source, 0, 0, SRCCOPY);
        }
    }
    canvas->Changed();
}

void TZelPresentation::ShowSlide(int Index) {
    if (Index < 0 || Index >= slides_->Count())
        return;
    const int W = Width(), H = Height();
    if (W <= 0 || H <= 0)
        return;
    TBitmap frame(W, H);
    Compose(slides_->Items(Index), frame);
    const int effect = ResolveEffect(slides_->Items(Index)->Effect(), random_);
    if (effect < 1 || effect > kTransitionEffects)
        return;  // composed, never shown
    TScreenTarget target(*this);
    if (!target.DC())
        return;

    std::shared_ptr<bool> alive = alive_;
    const HWND window = target.Window();
    int step = 0;
    TTransitionSteps steps(frame.Canvas()->Handle(), target.DC(), W, H, [&] {
        ++step;
        if (Application)
            Application->ProcessMessages();
        // Anything may have happened meanwhile, our own end included.
        if (!*alive || (window && !IsWindow(window)))
            return false;
        if (OnTransitionStep) {
            OnTransitionStep(this, effect, step);
            if (!*alive)
                return false;
        }
        return !(Application && Application->Terminated());
    });
    RunTransition(effect, steps);
}

}  // namespace vexel
