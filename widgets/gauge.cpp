#include "widgets/gauge.h"

#include <algorithm>

#include "framework/core/sysutils.h"
#include "framework/win32/gdi.h"

namespace vexel {

namespace {

// Format of the percentage text: one line, centred both ways on the bar.
constexpr UINT kPercentFormat = DT_CENTER | DT_VCENTER | DT_SINGLELINE;

// A solid brush fill that leaves clNone areas alone (the GDI would paint them white).
void FillSolid(HDC DC, const TRect& R, TColor Color) {
    if (Color == clNone || R.IsEmpty())
        return;
    ScopedBrush brush(CreateSolidBrush(GdiColor(Color)));
    RECT r = ToRECT(R);
    FillRect(DC, &r, brush.Get());
}

}  // namespace

TZelGauge::TZelGauge(TComponent* AOwner)
    : TZelGraphicControl(AOwner),
      bevelOuter_(std::make_unique<TZelFrame>(this)),
      bevelInner_(std::make_unique<TZelFrame>(this)),
      glyph_(std::make_unique<TZelGlyph>(this)),
      font3D_(std::make_unique<TZelFont3D>(this)),
      background_(*this) {
    bevelInner_->SetFrameStyle(frameLowered);
    SetBounds(0, 0, 140, 36);
}

TZelGauge::~TZelGauge() = default;

void TZelGauge::Notification(TComponent* AComponent, TOperation Operation) {
    TZelGraphicControl::Notification(AComponent, Operation);
    background_.Notification(AComponent, Operation);
}

void TZelGauge::SetPercentage(int Value) {
    percentage_ = static_cast<uint8_t>(std::clamp(Value, 0, 100));
    if (ComponentState() & csDesigning)
        Invalidate();
    // Callers update the gauge from inside long loops that do not return to
    // the message queue, so an invalidation alone would show nothing.
    ScopedControlCanvas drawing(*this);
    if (drawing.Valid())
        DrawBar();
}

void TZelGauge::SetKind(TZelKind Value) {
    kind_ = Value;
    Invalidate();
}

void TZelGauge::SetSegmentWidth(uint8_t Value) {
    if (segmentWidth_ == Value)
        return;
    segmentWidth_ = Value;
    Invalidate();
}

void TZelGauge::SetSegmentGap(uint8_t Value) {
    if (segmentGap_ == Value)
        return;
    segmentGap_ = Value;
    Invalidate();
}

void TZelGauge::SetSegmentColor(TColor Value) {
    segmentColor_ = Value;
    Invalidate();
}

void TZelGauge::SetInsideBackColor(TColor Value) {
    insideBackColor_ = Value;
    Invalidate();
}

void TZelGauge::SetBorderwidth(uint8_t Value) {
    if (borderwidth_ == Value)
        return;
    borderwidth_ = Value;
    Invalidate();
}

void TZelGauge::SetPicturePosition(TZelPosition Value) {
    picturePosition_ = Value;
    Invalidate();
}

TZelGauge::TMargins TZelGauge::Margins() const {
    TMargins m{borderwidth_, borderwidth_, borderwidth_, borderwidth_};
    // The picture's width is its extent on every side, above and below too.
    int extent = glyph_->GlyphWidth();
    if (extent > 0) {
        switch (picturePosition_) {
        case pLeft: m.left += extent; break;
        case pRight: m.right += extent; break;
        case pTop: m.top += extent; break;
        case pBottom: m.bottom += extent; break;
        }
    }
    return m;
}

TRect TZelGauge::BarRect() const {
    TMargins m = Margins();
    int outer = TotalWidth(bevelOuter_.get());
    int inner = TotalWidth(bevelInner_.get());
    return {outer + m.left - 1 + inner, outer + m.top - 1 + inner, Width() - outer - m.right - inner,
            Height() - outer - m.bottom - inner};
}

TColor TZelGauge::SegmentLineColor(int C) const {
    int period = segmentWidth_ + segmentGap_;
    // Both 0 leaves no period. A gap of 0 with any width gives a solid bar,
    // so a period of 0 does the same instead of dividing by zero.
    if (period == 0)
        return segmentColor_;
    int phase = ((C % period) + period) % period;
    return phase > segmentWidth_ ? insideBackColor_ : segmentColor_;
}

void TZelGauge::Paint() {
    TCanvas* canvas = Canvas();
    HDC dc = canvas->Handle();
    const int w = Width(), h = Height();
    if (TZelBackground* background = Background())
        background->PaintBackground(dc, w, h, true);

    TMargins m = Margins();
    const int outer = TotalWidth(bevelOuter_.get());
    const int half = Round(borderwidth_ / 2.0);
    const int gw = glyph_->GlyphWidth(), gh = glyph_->GlyphHeight();
    int x = 0, y = 0;
    switch (picturePosition_) {
    case pLeft:
        x = outer + half + 1;
        y = Round(h / 2.0 - gh / 2.0);
        break;
    case pRight:
        x = w + half - outer - m.right + 1;
        y = Round(h / 2.0 - gh / 2.0);
        break;
    case pTop:
        x = Round(w / 2.0 - gw / 2.0);
        y = outer + half + 1;
        break;
    case pBottom:
        x = Round(w / 2.0 - gw / 2.0) + 1;
        y = h + half - outer - m.bottom;
        break;
    }
    DrawGlyph(glyph_.get(), canvas, x, y, Enabled(), false, false);

    TRect r{0, 0, w, h};
    DrawFrame(bevelOuter_.get(), dc, r);
    r = {r.Left + m.left - 1, r.Top + m.top - 1, r.Right - m.right, r.Bottom - m.bottom};
    DrawFrame(bevelInner_.get(), dc, r);
    FillSolid(dc, r, insideBackColor_);
    DrawBar();
}

void TZelGauge::DrawBar() {
    TCanvas* canvas = Canvas();
    HDC dc = canvas->Handle();
    const TRect bar = BarRect();
    if (bar.IsEmpty())
        return;

    ScopedSaveDC save(dc);
    SetROP2(dc, R2_COPYPEN);
    ScopedPen segmentPen(CreatePen(PS_SOLID, 1, GdiColor(segmentColor_)));
    ScopedPen gapPen(CreatePen(PS_SOLID, 1, GdiColor(insideBackColor_)));
    auto penFor = [&](int c) -> HPEN {
        TColor color = SegmentLineColor(c);
        if (color == clNone)
            return nullptr;
        return color == segmentColor_ ? segmentPen.Get() : gapPen.Get();
    };

    if (kind_ == kHorizontal) {
        const int n = Round((bar.Right - bar.Left - 1) * percentage_ / 100.0);
        int rest = bar.Left;  // first column of the empty part
        if (percentage_ > 0) {
            for (int x = bar.Left; x <= bar.Left + n; ++x) {
                if (HPEN pen = penFor(x)) {
                    ScopedSelect select(dc, pen);
                    MoveToEx(dc, x, bar.Top, nullptr);
                    LineTo(dc, x, bar.Bottom);
                }
            }
            rest = bar.Left + n + 1;
        }
        FillSolid(dc, {rest, bar.Top, bar.Right, bar.Bottom}, insideBackColor_);
    } else {
        const int bottom = bar.Bottom - 1;
        const int n = Round((bottom - bar.Top) * percentage_ / 100.0);
        const int top = bottom - n;
        int rest = bar.Bottom;  // end of the empty part above the bar
        if (percentage_ > 0) {
            for (int y = top; y <= bottom; ++y) {
                if (HPEN pen = penFor(y)) {
                    ScopedSelect select(dc, pen);
                    MoveToEx(dc, bar.Left, y, nullptr);
                    LineTo(dc, bar.Right, y);
                }
            }
            rest = top;
        }
        FillSolid(dc, {bar.Left, bar.Top, bar.Right, rest}, insideBackColor_);
    }

    DrawText3D(font3D_.get(), Font(), dc, Enabled(), kPercentFormat, IntToStr(percentage_) + " %", bar);
    canvas->Changed();
}

}  // namespace vexel
