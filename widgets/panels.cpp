#include "widgets/panels.h"

namespace vexel {

namespace {

// The caption: one line, centred vertically, tabs expanded; the alignment
// adds DT_LEFT, DT_RIGHT or DT_CENTER.
constexpr UINT kCaptionFormat = DT_SINGLELINE | DT_VCENTER | DT_EXPANDTABS;

int FrameSpace(const TZelFrame* Frame) {
    return Frame->FrameStyle() == frameNone ? 0 : Frame->FrameWidth();
}

}  // namespace

TZelPanel::TZelPanel(TComponent* AOwner)
    : TCustomPanel(AOwner),
      font3D_(std::make_unique<TZelFont3D>(this)),
      frameInner_(std::make_unique<TZelFrame>(this)),
      frameOuter_(std::make_unique<TZelFrame>(this)),
      background_(*this) {
    // The frames take the place of the plain panel's bevels.
    SetBevelOuter(bvNone);
    // A frame's width moves the children, not only the picture.
    auto relayout = [this](TObject*) { LayoutChanged(); };
    frameInner_->OnChange = relayout;
    frameOuter_->OnChange = relayout;
}

TZelPanel::~TZelPanel() {
    frameInner_->OnChange = nullptr;
    frameOuter_->OnChange = nullptr;
}

void TZelPanel::LayoutChanged() {
    Realign();
    Invalidate();
}

void TZelPanel::SetFont3D(TZelFont3D* Value) {
    font3D_->Assign(Value);
    RecreateWnd();
}

void TZelPanel::SetAutoSize(bool Value) {
    autoSize_ = Value;
    Invalidate();
}

void TZelPanel::SetDlgFrame(bool Value) {
    dlgFrame_ = Value;
    Invalidate();
}

void TZelPanel::SetFrameInner(TZelFrame* Value) {
    frameInner_->Assign(Value);
}

void TZelPanel::SetFrameOuter(TZelFrame* Value) {
    frameOuter_->Assign(Value);
}

void TZelPanel::SetBorderwidth(int32_t Value) {
    if (Value > 0) {
        borderwidth_ = Value;
        Realign();
    }
    Invalidate();
}

void TZelPanel::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomPanel::Notification(AComponent, Operation);
    background_.Notification(AComponent, Operation);
}

void TZelPanel::AdjustClientRect(TRect& Rect) const {
    TCustomPanel::AdjustClientRect(Rect);
    int inset = borderwidth_ + FrameSpace(frameOuter_.get()) + FrameSpace(frameInner_.get());
    Rect.Inflate(-inset, -inset);
}

void TZelPanel::Paint() {
    TCanvas* canvas = Canvas();
    HDC dc = canvas->Handle();
    TRect r = ClientRect();
    // The plain panel's ground. Its caption is left out: the 3-D caption
    // below takes its place, and both drawn would show it twice wherever
    // the frames shift the text.
    canvas->Brush()->SetStyle(bsSolid);
    canvas->Brush()->SetColor(Color());
    canvas->FillRect(r);
    if (TZelBackground* ground = Background())
        ground->PaintBackground(dc, Width(), Height(), true);
    if (dlgFrame_) {
        Frame3D(canvas, r, clBtnHighlight, clBlack, 1);
        Frame3D(canvas, r, clBtnFace, clBtnShadow, 1);
        Frame3D(canvas, r, clBtnFace, clBtnFace, 1);
    }
    DrawFrame(frameOuter_.get(), dc, r);
    if (borderwidth_ > 0)
        r.Inflate(-(borderwidth_ + 1), -(borderwidth_ + 1));
    DrawFrame(frameInner_.get(), dc, r);
    static const UINT kAlignments[] = {DT_LEFT, DT_RIGHT, DT_CENTER};
    canvas->SetFont(Font());
    DrawText3D(font3D_.get(), Font(), dc, Enabled(), kCaptionFormat | kAlignments[Alignment()], Caption(), r);
}

}  // namespace vexel
