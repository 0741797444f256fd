// TZelButton: the push button of the dialogs (OK, Start, Cancel, Close). The
// system's owner-drawn button tracks the mouse and keys; the control draws
// it: a painted ground, a glyph, a 3-D caption and raised or sunken edges.
#pragma once

#include <memory>

#include "framework/win32/buttons.h"
#include "framework/win32/graphics.h"
#include "widgets/background.h"
#include "widgets/drawing_base.h"

namespace vexel {

class TZelButton : public TCustomButton {
public:
    explicit TZelButton(TComponent* AOwner);

    // Owned sub-objects: setting one copies the given one in.
    TZelFont3D* Font3D() const { return font3D_.get(); }
    void SetFont3D(TZelFont3D* Value) { font3D_->Assign(Value); }
    TZelGlyph* Glyph() const { return glyph_.get(); }
    void SetGlyph(TZelGlyph* Value) { glyph_->Assign(Value); }
    // A caption on several lines instead of one line ending in "...".
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool Value);
    // An extra sunken edge around the button.
    bool ButtonSunk() const { return buttonSunk_; }
    void SetButtonSunk(bool Value);
    TZelBackground* Background() const { return background_.Get(); }
    void SetBackground(TZelBackground* Value) { background_.Set(Value); }

    // The DrawText flags of the caption.
    UINT TextFormat() const;

protected:
    ~TZelButton() override;
    bool OwnerDraw() const override { return true; }
    void DrawItem(const DRAWITEMSTRUCT& Item) override;
    void WndProc(TMessage& Message) override;
    void EnabledChanged() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    std::unique_ptr<TZelFont3D> font3D_;
    std::unique_ptr<TZelGlyph> glyph_;
    TZelBackgroundLink background_;
    TCanvas canvas_;  // bound to the DC of each drawing
    bool wordWrap_ = false;
    bool buttonSunk_ = false;
};

}  // namespace vexel
