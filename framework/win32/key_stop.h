// The keyboard's way to a windowless control: a window of no size that
// holds the control's place in its parent's tab order and takes the focus
// for it (TGraphicControl::SetTabStop makes one).
#pragma once

#include "framework/win32/controls.h"

namespace vexel {

class TKeyStop : public TWinControl {
public:
    // Made and freed by the control, in the control's parent.
    explicit TKeyStop(TGraphicControl* Control);

    TGraphicControl* Control() const { return control_; }
    // Only while the control itself could be clicked.
    bool CanFocus() const override;

protected:
    ~TKeyStop() override = default;
    void BeforeDestruction() override;
    void WndProc(TMessage& Message) override;

private:
    friend class TGraphicControl;
    TGraphicControl* control_;
};

}  // namespace vexel
