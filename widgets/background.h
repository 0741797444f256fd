// Painted backgrounds: a shared component that fills a control's area with a
// multi-colour gradient, a texture picture, a solid colour or a hatch brush,
// and repaints every control that uses it when one of its settings changes.
#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <vector>

#include "framework/core/classes.h"
#include "framework/core/colors.h"
#include "framework/core/graphics_object.h"
#include "framework/core/string_list.h"
#include "framework/win32/controls.h"
#include "framework/win32/graphics.h"

namespace vexel {

// Geometry of the gradient bands (ordinal values 0..12 as stored).
enum class TZelFillStyle {
    Circle,
    Horizontal,
    Vertical,
    LeftBottom,
    RoundMiddle,
    SquareMiddle,
    Spectral,
    DoppelFlash,
    Singleflash,
    MiddleHBar,
    MiddleVBar,
    VerticalDoppelBar,
    HorizontalDoppelBar,
};

enum TZelImageStyle { isTile, isCenter, isStretched };

enum TZelBackStyle { bGradient, bTexture, bSolidcolor, bBrushFillUseCurrent, bBrushFillSolidColor };

// A colour ramp from BeginColor over ColorsInBetween to EndColor.
class TZelGradient : public TGraphicsObject {
public:
    TZelGradient();
    ~TZelGradient() override;

    TColor BeginColor() const;
    void SetBeginColor(TColor Value);
    TColor EndColor() const;
    void SetEndColor(TColor Value);
    TZelFillStyle FillStyle() const;
    void SetFillStyle(TZelFillStyle Value);
    // Bands per colour segment, 2..255; other values are ignored (the change
    // is still signalled).
    int32_t ColorCount() const;
    void SetColorCount(int32_t Value);
    // Intermediate colours, one colour name or number per line. Editing the
    // list signals a change.
    TStringList* ColorsInBetween();
    void SetColorsInBetween(TStrings* Value);

    void PaintGradient(HDC DC, int Width, int Height, bool Forward, TColor GroundColor);

private:
    TColor beginColor_ = clBtnShadow;
    TColor endColor_ = clBtnHighlight;
    TZelFillStyle fillStyle_ = TZelFillStyle::Horizontal;
    int32_t colorCount_ = 32;
    TStringList colorsInBetween_;
};

// A picture tiled, centred or stretched over the area.
class TZelTexture : public TGraphicsObject {
public:
    TZelTexture();
    ~TZelTexture() override;

    // The picture itself: drawing on it or loading into it repaints nobody
    // until a setter runs.
    TBitmap* Image();
    void SetImage(TBitmap* Value);  // copies the picture
    TZelImageStyle ImageStyle() const;
    void SetImageStyle(TZelImageStyle Value);
    TColor TransparentColor() const;  // clNone: no replacement
    void SetTransparentColor(TColor Value);
    TColor TransparentBackground() const;
    void SetTransparentBackground(TColor Value);

    void PaintTexture(HDC DC, int Width, int Height, TColor GroundColor);

private:
    TBitmap image_;
    TZelImageStyle imageStyle_ = isTile;
    TColor transparentColor_ = clNone;
    TColor transparentBackground_ = clBtnFace;
};

// A brush style and colour for the hatch fills.
class TZelBrushFill : public TGraphicsObject {
public:
    TBrushStyle BrushStyle() const;
    void SetBrushStyle(TBrushStyle Value);
    TColor BrushColor() const;
    void SetBrushColor(TColor Value);

    // Fills (0, 0)-(Width, Height) of DC with the brush: hatch lines in
    // BrushColor on white, or on Ground when one is given.
    void PaintBrushFill(HDC DC, int Width, int Height, std::optional<TColor> Ground);

private:
    TBrushStyle brushStyle_ = bsSolid;
    TColor brushColor_ = clBtnFace;
};

class TZelBackground : public TComponent {
public:
    explicit TZelBackground(TComponent* AOwner);

    // The sub-objects are owned; the setters copy through Assign, which the
    // sub-objects do not support ("Cannot assign a ... to a ...").
    TZelTexture* Texture();
    void SetTexture(TPersistent* Value);
    TZelGradient* Gradient();
    void SetGradient(TPersistent* Value);
    TZelBrushFill* BrushFill();
    void SetBrushFill(TPersistent* Value);

    TColor SolidColor() const;
    void SetSolidColor(TColor Value);
    TZelBackStyle BackgroundStyle() const;
    void SetBackgroundStyle(TZelBackStyle Value);

    // Fired after every change, once the registered controls are invalidated.
    TNotifyEvent OnChanged;

    // Fills (0, 0)-(Width, Height) of DC.
    void PaintBackground(HDC DC, int Width, int Height, bool Forward);
    // Replaces the pixels of TransparentColor in Canvas's area by the background.
    void PaintBehind(TCanvas* Canvas, int Width, int Height, TColor TransparentColor, bool Forward);

    void RegisterControl(TControl* Control);
    void UnregisterControl(TControl* Control);
    // Invalidates the registered controls in order, then fires OnChanged.
    void BackgroundChanged(TObject* Sender);

protected:
    ~TZelBackground() override;

private:
    std::unique_ptr<TZelTexture> texture_;
    std::unique_ptr<TZelGradient> gradient_;
    std::unique_ptr<TZelBrushFill> brushFill_;
    TColor solidColor_ = clBtnFace;
    TZelBackStyle backgroundStyle_ = bGradient;
    std::vector<TControl*> controls_;  // registered, not owned, in order
};

// Draws Bitmap at (X, Y) with every pixel of MaskColor left transparent.
void DrawMasked(TCanvas* Canvas, TBitmap* Bitmap, int X, int Y, TColor MaskColor);

// A control's Background property, following the contract every painted
// control keeps: setting it unregisters from the old background, registers
// with the new one and invalidates the control; a removal notice for it
// empties it; destruction unregisters. The link also asks the background for
// a free notice, so a background owned by another form cannot be left
// dangling when that form goes first.
class TZelBackgroundLink {
public:
    explicit TZelBackgroundLink(TControl& Control);
    ~TZelBackgroundLink();
    TZelBackgroundLink(const TZelBackgroundLink&) = delete;
    TZelBackgroundLink& operator=(const TZelBackgroundLink&) = delete;

    TZelBackground* Get() const;
    void Set(TZelBackground* Value);
    // Call from the control's Notification override.
    void Notification(TComponent* AComponent, TOperation Operation);

private:
    TControl& control_;
    TZelBackground* background_ = nullptr;
};

}  // namespace vexel
