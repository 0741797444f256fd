// The suite's check box and radio button: the system's own windows (box,
// checking, keys and grouping stay the system's), whose caption is a picture
// the control renders with 3-D text over its background just before the
// system paints, and hands to the window as the button's image.
#pragma once

#include <memory>

#include "framework/win32/buttons.h"
#include "framework/win32/graphics.h"
#include "widgets/background.h"
#include "widgets/drawing_base.h"

namespace vexel {

// What the check box and the radio button share; TBase is the system
// window's control (TCheckBox or TRadioButton).
template <class TBase>
class TZelCheckButton : public TBase {
public:
    explicit TZelCheckButton(TComponent* AOwner);

    // Place of the caption inside the picture.
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment Value);
    // taRightJustify puts the box on the right of the caption.
    TAlignment AlignButton() const { return alignButton_; }
    void SetAlignButton(TAlignment Value);
    // The look of a push button that stays pressed while checked.
    bool AsButton() const { return asButton_; }
    void SetAsButton(bool Value);
    // A sunken client edge around the push-button look.
    bool ButtonSunk() const { return buttonSunk_; }
    void SetButtonSunk(bool Value);
    // A caption on several lines instead of one line ending in "...".
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool Value);
    TZelFont3D* Font3D() const { return font3D_.get(); }
    void SetFont3D(TZelFont3D* Value) { font3D_->Assign(Value); }
    TZelBackground* Background() const { return background_.Get(); }
    void SetBackground(TZelBackground* Value) { background_.Set(Value); }

    // The caption as last rendered, the size of the client area; empty
    // before the first paint.
    TBitmap* CaptionPicture() { return &picture_; }
    // Where the caption goes inside a picture of the given client size.
    TRect CaptionRect(int ClientWidth, int ClientHeight) const;
    UINT CaptionFormat() const;
    // The part of the picture handed to the window: all of it but the strip
    // where the system draws the box (or, in the push-button look, its
    // frame), so that the picture never covers them.
    TRect ShownPart(int ClientWidth, int ClientHeight) const;

protected:
    ~TZelCheckButton() override;
    void CreateParams(typename TBase::TCreateParams& Params) const override;
    void WndProc(TMessage& Message) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    // The room kept above and below the caption, and beside the box.
    virtual int CaptionInset() const = 0;
    virtual int BoxGap() const = 0;

private:
    // Renders the caption picture and hands its shown part to the window.
    void RenderCaption();
    // Draws the shown part where the system draws its image. The system
    // greys the image of a disabled window; the caption keeps its look.
    void DrawOverSystemImage(HDC DC);

    TAlignment alignment_ = taLeftJustify;
    TAlignment alignButton_ = taLeftJustify;
    bool asButton_ = false;
    bool buttonSunk_ = true;
    bool wordWrap_ = false;
    std::unique_ptr<TZelFont3D> font3D_;
    TZelBackgroundLink background_;
    TBitmap picture_;
    TBitmap shown_;  // the part of picture_ the window holds
};

extern template class TZelCheckButton<TCheckBox>;
extern template class TZelCheckButton<TRadioButton>;

class TZelCheckbox : public TZelCheckButton<TCheckBox> {
public:
    using TZelCheckButton<TCheckBox>::TZelCheckButton;

protected:
    ~TZelCheckbox() override = default;
    int CaptionInset() const override { return 6; }
    int BoxGap() const override { return 12; }
};

class TZelRadiobutton : public TZelCheckButton<TRadioButton> {
public:
    using TZelCheckButton<TRadioButton>::TZelCheckButton;

protected:
    ~TZelRadiobutton() override = default;
    int CaptionInset() const override { return 2; }
    int BoxGap() const override { return 12; }
};

}  // namespace vexel
