// The picture control: a windowless control that shows a TPicture, as it
// is, centred, or stretched over the control, with or without its
// transparent colour.
#pragma once

#include <memory>

#include "framework/win32/controls.h"
#include "framework/win32/picture.h"

namespace vexel {

// Shows Picture at the control's top-left corner, or centred (Center), or
// stretched over the whole control (Stretch; with Proportional as large as
// fits with its sides' ratio kept, and centred when Center is set too).
// Transparent leaves the picture's transparent colour out (see TBitmap), so
// the parent shows through. AutoSize makes the control the picture's size
// whenever the picture changes. Mouse events and the cursor are those of
// every control.
class TImage : public TGraphicControl {
  public:
    explicit TImage(TComponent* AOwner);

    TPicture* Picture() const { return picture_.get(); }
    // Copies the given picture.
    void SetPicture(TPicture* Value) { picture_->Assign(Value); }

    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool Value);
    bool Center() const { return center_; }
    void SetCenter(bool Value);
    bool Stretch() const { return stretch_; }
    void SetStretch(bool Value);
    bool Proportional() const { return proportional_; }
    void SetProportional(bool Value);
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool Value);

    // Where the picture is drawn, in the control's coordinates.
    TRect DestRect() const;

  protected:
    ~TImage() override;
    void Paint() override;

  private:
    void PictureChanged();

    std::unique_ptr<TPicture> picture_;
    bool autoSize_ = false;
    bool center_ = false;
    bool stretch_ = false;
    bool proportional_ = false;
    bool transparent_ = false;
    bool changing_ = false;
};

}  // namespace vexel
