#include "framework/win32/image.h"

#include <algorithm>

namespace vexel {

TImage::TImage(TComponent* AOwner) : TGraphicControl(AOwner), picture_(std::make_unique<TPicture>()) {
    controlStyle_ |= csReplicatable;
    picture_->OnChange = [this](TObject*) { PictureChanged(); };
    SetBounds(0, 0, 105, 105);
}

TImage::~TImage() {
    picture_->OnChange = nullptr;
}

void TImage::PictureChanged() {
    if (changing_)
        return;
    // Matching the picture's transparency to ours changes the picture too.
    changing_ = true;
    if (auto* bitmap = dynamic_cast<TBitmap*>(picture_->Graphic()))
        bitmap->SetTransparent(transparent_);
    changing_ = false;
    if (autoSize_ && !picture_->Empty())
        SetBounds(Left(), Top(), picture_->Width(), picture_->Height());
    Invalidate();
}

void TImage::SetAutoSize(bool Value) {
    autoSize_ = Value;
    PictureChanged();
}

void TImage::SetCenter(bool Value) {
    if (center_ == Value)
        return;
    center_ = Value;
    Invalidate();
}

void TImage::SetStretch(bool Value) {
    if (stretch_ == Value)
        return;
    stretch_ = Value;
    Invalidate();
}

void TImage::SetProportional(bool Value) {
    if (proportional_ == Value)
        return;
    proportional_ = Value;
    Invalidate();
}

void TImage::SetTransparent(bool Value) {
    if (transparent_ == Value)
        return;
    transparent_ = Value;
    PictureChanged();
}

TRect TImage::DestRect() const {
    int w = picture_->Width(), h = picture_->Height();
    const int cw = Width(), ch = Height();
    if (stretch_) {
        if (!proportional_ || w <= 0 || h <= 0) {
            w = cw;
            h = ch;
        } else if (static_cast<int64_t>(cw) * h <= static_cast<int64_t>(ch) * w) {
            h = static_cast<int>(static_cast<int64_t>(h) * cw / w);
            w = cw;
        } else {
            w = static_cast<int>(static_cast<int64_t>(w) * ch / h);
            h = ch;
        }
    }
    TRect rect{0, 0, w, h};
    if (center_)
        rect.Offset((cw - w) / 2, (ch - h) / 2);
    return rect;
}

void TImage::Paint() {
    TGraphic* graphic = picture_->Graphic();
    if (!graphic)
        return;
    TRect dest = DestRect();
    if (dest.IsEmpty())
        return;
    Canvas()->StretchDraw(dest, graphic);
}

}  // namespace vexel
