#include "framework/win32/panels.h"

namespace vexel {

TCustomPanel::TCustomPanel(TComponent* AOwner) : TCustomControl(AOwner) {
    controlStyle_ |= csAcceptsControls | csOpaque | csReplicatable;
    SetBounds(0, 0, 185, 41);
    SetColor(clBtnFace);
    SetParentColor(false);
}

void TCustomPanel::SetAlignment(TAlignment Value) {
    alignment_ = Value;
    Invalidate();
}

void TCustomPanel::SetBevelInner(TBevelCut Value) {
    bevelInner_ = Value;
    LayoutChanged();
}

void TCustomPanel::SetBevelOuter(TBevelCut Value) {
    bevelOuter_ = Value;
    LayoutChanged();
}

void TCustomPanel::SetBevelWidth(int Value) {
    bevelWidth_ = Value;
    LayoutChanged();
}

void TCustomPanel::SetBorderWidth(int Value) {
    borderWidth_ = Value;
    LayoutChanged();
}

void TCustomPanel::LayoutChanged() {
    Realign();
    Invalidate();
}

void TCustomPanel::AdjustClientRect(TRect& Rect) const {
    int inset = borderWidth_;
    if (bevelOuter_ != bvNone)
        inset += bevelWidth_;
    if (bevelInner_ != bvNone)
        inset += bevelWidth_;
    Rect.Inflate(-inset, -inset);
}

void TCustomPanel::Paint() {
    TCanvas* canvas = Canvas();
    TRect rect = ClientRect();
    auto bevel = [&](TBevelCut cut) {
        if (cut == bvNone)
            return;
        TColor top = cut == bvLowered ? clBtnShadow : clBtnHighlight;
        TColor bottom = cut == bvLowered ? clBtnHighlight : clBtnShadow;
        if (cut == bvSpace)
            top = bottom = Color();
        Frame3D(canvas, rect, top, bottom, bevelWidth_);
    };
    bevel(bevelOuter_);
    Frame3D(canvas, rect, Color(), Color(), borderWidth_);
    bevel(bevelInner_);
    canvas->Brush()->SetStyle(bsSolid);
    canvas->Brush()->SetColor(Color());
    canvas->FillRect(rect);
    std::string caption = Caption();
    if (caption.empty())
        return;
    canvas->Brush()->SetStyle(bsClear);
    canvas->SetFont(Font());
    static const UINT kAlignments[] = {DT_LEFT, DT_RIGHT, DT_CENTER};
    canvas->DrawTextRect(rect, caption, DT_SINGLELINE | DT_VCENTER | DT_EXPANDTABS | kAlignments[alignment_]);
}

}  // namespace vexel
