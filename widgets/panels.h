// The suite's panel: a container with a painted background, two nested
// frames with a border between them, an optional dialog-style rim and a 3-D
// caption, which keeps its children inside its frames.
#pragma once

#include <cstdint>
#include <memory>

#include "framework/win32/panels.h"
#include "widgets/background.h"
#include "widgets/drawing_base.h"

namespace vexel {

// Paints, from the edge inwards: its Color, the Background over everything,
// the three rings of DlgFrame, FrameOuter, Borderwidth + 1 pixels of space,
// FrameInner, and the caption in the area left. Aligned children share the
// area inside Borderwidth and both frames' FrameWidth (the dialog rim is
// drawn over them).
class TZelPanel : public TCustomPanel {
public:
    explicit TZelPanel(TComponent* AOwner);

    TZelFont3D* Font3D() const { return font3D_.get(); }
    // Copies the settings and re-creates the window.
    void SetFont3D(TZelFont3D* Value);
    // Kept for stored forms; the panel does not size itself.
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool Value);
    TZelBackground* Background() const { return background_.Get(); }
    void SetBackground(TZelBackground* Value) { background_.Set(Value); }
    bool DlgFrame() const { return dlgFrame_; }
    void SetDlgFrame(bool Value);
    TZelFrame* FrameInner() const { return frameInner_.get(); }
    void SetFrameInner(TZelFrame* Value);
    TZelFrame* FrameOuter() const { return frameOuter_.get(); }
    void SetFrameOuter(TZelFrame* Value);
    // The space between the frames; 0 or less keeps the previous value.
    int32_t Borderwidth() const { return borderwidth_; }
    void SetBorderwidth(int32_t Value);

protected:
    ~TZelPanel() override;
    void Paint() override;
    void AdjustClientRect(TRect& Rect) const override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    void LayoutChanged();

    std::unique_ptr<TZelFont3D> font3D_;
    std::unique_ptr<TZelFrame> frameInner_;
    std::unique_ptr<TZelFrame> frameOuter_;
    TZelBackgroundLink background_;
    bool autoSize_ = false;
    bool dlgFrame_ = false;
    int32_t borderwidth_ = 0;
};

}  // namespace vexel
