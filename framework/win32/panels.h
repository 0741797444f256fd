// Panels: a windowed container with bevels, a border and a centred caption.
#pragma once

#include "framework/win32/controls.h"

namespace vexel {

enum TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };

// Paints, from the edge inwards: the outer bevel, BorderWidth pixels of
// Color, the inner bevel, then fills the rest with Color and draws Caption in
// it (one line, vertically centred, placed by Alignment). Aligned children
// share the area inside the bevels and the border.
class TCustomPanel : public TCustomControl {
public:
    explicit TCustomPanel(TComponent* AOwner);

    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment Value);
    TBevelCut BevelInner() const { return bevelInner_; }
    void SetBevelInner(TBevelCut Value);
    TBevelCut BevelOuter() const { return bevelOuter_; }
    void SetBevelOuter(TBevelCut Value);
    int BevelWidth() const { return bevelWidth_; }
    void SetBevelWidth(int Value);
    int BorderWidth() const { return borderWidth_; }
    void SetBorderWidth(int Value);

protected:
    ~TCustomPanel() override = default;
    void Paint() override;
    void AdjustClientRect(TRect& Rect) const override;

private:
    void LayoutChanged();

    TAlignment alignment_ = taCenter;
    TBevelCut bevelInner_ = bvNone;
    TBevelCut bevelOuter_ = bvRaised;
    int bevelWidth_ = 1;
    int borderWidth_ = 0;
};

class TPanel : public TCustomPanel {
public:
    using TCustomPanel::TCustomPanel;

protected:
    ~TPanel() override = default;
};

}  // namespace vexel
