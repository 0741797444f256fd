// The gauge: a percentage shown as a segmented bar inside two bevels, with
// "N %" in 3-D lettering, an optional picture beside the bar and a painted
// background. Setting Percentage draws at once, so a gauge keeps moving while
// a long loop holds the message queue.
#pragma once

#include <cstdint>
#include <memory>

#include "framework/core/colors.h"
#include "framework/core/types.h"
#include "widgets/background.h"
#include "widgets/drawing_base.h"

namespace vexel {

enum TZelKind { kVertical, kHorizontal };

class TZelGauge : public TZelGraphicControl {
public:
    explicit TZelGauge(TComponent* AOwner);

    // Stored clamped to 0..100. Draws the bar and the text at once, even
    // outside WM_PAINT; designers also get a full repaint.
    uint8_t Percentage() const { return percentage_; }
    void SetPercentage(int Value);

    // Vertical bars grow upwards.
    TZelKind Kind() const { return kind_; }
    void SetKind(TZelKind Value);
    // Each SegmentWidth + SegmentGap pixels of control coordinate form one
    // period of the segment pattern (see SegmentLineColor).
    uint8_t SegmentWidth() const { return segmentWidth_; }
    void SetSegmentWidth(uint8_t Value);
    uint8_t SegmentGap() const { return segmentGap_; }
    void SetSegmentGap(uint8_t Value);
    TColor SegmentColor() const { return segmentColor_; }
    void SetSegmentColor(TColor Value);
    // The empty part of the bar and the gaps.
    TColor InsideBackColor() const { return insideBackColor_; }
    void SetInsideBackColor(TColor Value);
    // Margin between the two bevels.
    uint8_t Borderwidth() const { return borderwidth_; }
    void SetBorderwidth(uint8_t Value);
    TZelPosition PicturePosition() const { return picturePosition_; }
    void SetPicturePosition(TZelPosition Value);

    // Owned sub-objects: edit them field by field, or copy a whole one in
    // with the setters.
    TZelFrame* BevelOuter() const { return bevelOuter_.get(); }
    void SetBevelOuter(TZelFrame* Value) { bevelOuter_->Assign(Value); }
    TZelFrame* BevelInner() const { return bevelInner_.get(); }
    void SetBevelInner(TZelFrame* Value) { bevelInner_->Assign(Value); }
    TZelGlyph* Glyph() const { return glyph_.get(); }
    void SetGlyph(TZelGlyph* Value) { glyph_->Assign(Value); }
    TZelFont3D* Font3D() const { return font3D_.get(); }
    void SetFont3D(TZelFont3D* Value) { font3D_->Assign(Value); }

    TZelBackground* Background() const { return background_.Get(); }
    void SetBackground(TZelBackground* Value) { background_.Set(Value); }

    // The rectangle the bar fills (right and bottom exclusive).
    TRect BarRect() const;
    // The colour of the bar line at control coordinate C (x across a
    // horizontal bar, y along a vertical one).
    TColor SegmentLineColor(int C) const;

protected:
    ~TZelGauge() override;
    void Paint() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    struct TMargins {
        int left, top, right, bottom;
    };
    TMargins Margins() const;
    // Redraws the bar and the percentage text over what is on Canvas().
    void DrawBar();

    uint8_t percentage_ = 0;
    TZelKind kind_ = kHorizontal;
    uint8_t segmentWidth_ = 8;
    uint8_t segmentGap_ = 2;
    TColor segmentColor_ = clNavy;
    TColor insideBackColor_ = clWhite;
    uint8_t borderwidth_ = 6;
    TZelPosition picturePosition_ = pLeft;
    std::unique_ptr<TZelFrame> bevelOuter_;
    std::unique_ptr<TZelFrame> bevelInner_;
    std::unique_ptr<TZelGlyph> glyph_;
    std::unique_ptr<TZelFont3D> font3D_;
    TZelBackgroundLink background_;
};

}  // namespace vexel
