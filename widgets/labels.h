// The suite's labels: TZelLabel, windowless 3-D text with a frame, a painted
// background and an optional background-filled face; and TZelStickyLabel, a
// plain label that keeps itself beside another windowed control.
#pragma once

#include <cstdint>
#include <memory>

#include "framework/win32/labels.h"
#include "framework/win32/message_hook.h"
#include "widgets/background.h"
#include "widgets/drawing_base.h"

namespace vexel {

// Text top-aligned in the area inside its Frame (which, even as frameNone,
// takes FrameWidth pixels off the top and bottom of the text). Unless
// Transparent, the ground is Color with the Background over it. With a
// FontBackground the face of the letters is filled with that background.
class TZelLabel : public TCustomLabel {
public:
    explicit TZelLabel(TComponent* AOwner);

    TZelFont3D* Font3D() const { return font3D_.get(); }
    void SetFont3D(TZelFont3D* Value);
    TZelFrame* Frame() const { return frame_.get(); }
    void SetFrame(TZelFrame* Value);
    TZelBackground* Background() const { return background_.Get(); }
    void SetBackground(TZelBackground* Value);
    TZelBackground* FontBackground() const { return fontBackground_.Get(); }
    void SetFontBackground(TZelBackground* Value);

    // Where the caption goes: (t, t + f, Width - 2t, Height - t - f) with t
    // the frame's TotalWidth and f its FrameWidth.
    TRect TextRect() const;

protected:
    ~TZelLabel() override;
    void Paint() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    // Both links may name the same background; each keeps its own notice.
    void KeepFreeNotices();

    std::unique_ptr<TZelFont3D> font3D_;
    std::unique_ptr<TZelFrame> frame_;
    TZelBackgroundLink background_;
    TZelBackgroundLink fontBackground_;
};

// A label glued to one side of a windowed control, Space pixels away, left
// or top edges aligned. It watches the control's moves and size changes
// through a message hook, so it never replaces the control's window
// procedure and may come and go in any order with other watchers; the hook
// stays through re-created windows. Replacing the control, or freeing either
// of the two, takes the hook away.
class TZelStickyLabel : public TLabel {
public:
    explicit TZelStickyLabel(TComponent* AOwner);

    TWinControl* AttachToControl() const { return attached_; }
    void SetAttachToControl(TWinControl* Value);
    TZelPosition Position() const { return position_; }
    void SetPosition(TZelPosition Value);
    int32_t Space() const { return space_; }
    void SetSpace(int32_t Value);

    // While designing, a label dropped onto a windowed component of its
    // owner attaches itself to it.
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

protected:
    ~TZelStickyLabel() override;
    void BeforeDestruction() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    class TFollower : public TMessageHook {
    public:
        explicit TFollower(TZelStickyLabel& Label) : label_(Label) {}
        void HookMessage(THookedMessage& Call) override;
        void ControlDestroying(TWinControl* Control) override;

    private:
        TZelStickyLabel& label_;
    };

    void Detach();
    // Moves the label next to the attached control.
    void Reposition();
    // The attached control's bounds in its parent, read from its window when
    // it has one: the window is already where a move or size notice says.
    TRect AttachedBounds() const;

    TFollower follower_{*this};
    TWinControl* attached_ = nullptr;
    TZelPosition position_ = pLeft;
    int32_t space_ = 5;
    bool repositioning_ = false;
};

}  // namespace vexel
