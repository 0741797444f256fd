#include "system/form_background.h"

#include <optional>

#include "system/form_manager.h"

namespace vexel {

TZelFormBackground::TZelFormBackground(TZelFormManager* Manager)
    : manager_(Manager),
      texture_(std::make_unique<TZelFormTexture>()),
      gradient_(std::make_unique<TZelFormGradient>()),
      brushFill_(std::make_unique<TZelFormBrushFill>()) {
    auto changed = [this](TObject*) { Changed(); };
    texture_->OnChange = changed;
    gradient_->OnChange = changed;
    brushFill_->OnChange = changed;
}

TZelFormBackground::~TZelFormBackground() {
    texture_->OnChange = nullptr;
    gradient_->OnChange = nullptr;
    brushFill_->OnChange = nullptr;
}

void TZelFormBackground::SetTexture(TPersistent* Value) {
    texture_->Assign(Value);
    Changed();
}

void TZelFormBackground::SetGradient(TPersistent* Value) {
    gradient_->Assign(Value);
    Changed();
}

void TZelFormBackground::SetBrushFill(TPersistent* Value) {
    brushFill_->Assign(Value);
    Changed();
}

void TZelFormBackground::SetBackgroundStyle(TZelFormBackStyle Value) {
    style_ = Value;
    Changed();
}

void TZelFormBackground::Changed() {
    if (OnChanged)
        OnChanged(this);
}

bool TZelFormBackground::PaintBackground(HDC DC, int Width, int Height) {
    if (style_ == TZelFormBackStyle::bNormal)
        return false;
    if (manager_->Designing() && !manager_->Properties().Contains(dsgnPreview))
        return false;
    const TColor ground = manager_->Form()->Color();
    switch (style_) {
        case TZelFormBackStyle::bNormal: return false;
        case TZelFormBackStyle::bGradient: gradient_->PaintGradient(DC, Width, Height, true, ground); break;
        case TZelFormBackStyle::bTexture:
            if (texture_->Image()->Empty())
                return false;
            texture_->PaintTexture(DC, Width, Height, ground);
            break;
        case TZelFormBackStyle::bBrushFillUseCurrent:
            brushFill_->PaintBrushFill(DC, Width, Height, std::nullopt);
            break;
        case TZelFormBackStyle::bBrushFillFormColor: brushFill_->PaintBrushFill(DC, Width, Height, ground); break;
    }
    return true;
}

}  // namespace vexel
