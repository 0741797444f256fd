// A form manager's window background: a gradient, a picture or a brush fill
// over the form's client area, painted with the same algorithms as the
// painted controls' backgrounds (widgets/background.h). The manager paints it
// on WM_ERASEBKGND and repaints the form on every change.
//
//     TZelFormBackground* ground = manager->Background();
//     ground->Gradient()->SetBeginColor(clNavy);
//     ground->SetBackgroundStyle(TZelFormBackStyle::bGradient);
#pragma once

#include <windows.h>

#include <memory>

#include "framework/core/classes.h"
#include "widgets/background.h"

namespace vexel {

class TZelFormManager;

// The form's twins of the painted controls' gradient, texture and brush
// fill, with the same properties, defaults and change notices.
class TZelFormGradient final : public TZelGradient {};
class TZelFormTexture final : public TZelTexture {};
class TZelFormBrushFill final : public TZelBrushFill {};
using TZelFormFillStyle = TZelFillStyle;
using TZelFormImageStyle = TZelImageStyle;

enum class TZelFormBackStyle {
    bNormal,  // the form erases itself
    bGradient,
    bTexture,
    bBrushFillUseCurrent,  // hatch on white
    bBrushFillFormColor,   // hatch on the form's Color
};

class TZelFormBackground : public TPersistent {
public:
    explicit TZelFormBackground(TZelFormManager* Manager);
    ~TZelFormBackground() override;

    // The sub-objects are owned; the setters copy through Assign, which the
    // sub-objects do not support ("Cannot assign a ... to a ...").
    TZelFormTexture* Texture() const { return texture_.get(); }
    void SetTexture(TPersistent* Value);
    TZelFormGradient* Gradient() const { return gradient_.get(); }
    void SetGradient(TPersistent* Value);
    TZelFormBrushFill* BrushFill() const { return brushFill_.get(); }
    void SetBrushFill(TPersistent* Value);
    TZelFormBackStyle BackgroundStyle() const { return style_; }
    void SetBackgroundStyle(TZelFormBackStyle Value);

    // Fired by every change of the background or one of its sub-objects.
    TNotifyEvent OnChanged;

    // Paints (0, 0)-(Width, Height) of DC; false when it painted nothing
    // (bNormal, a texture without a picture, or a designer without preview).
    bool PaintBackground(HDC DC, int Width, int Height);

private:
    void Changed();

    TZelFormManager* manager_;
    std::unique_ptr<TZelFormTexture> texture_;
    std::unique_ptr<TZelFormGradient> gradient_;
    std::unique_ptr<TZelFormBrushFill> brushFill_;
    TZelFormBackStyle style_ = TZelFormBackStyle::bNormal;
};

}  // namespace vexel
