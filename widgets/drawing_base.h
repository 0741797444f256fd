// The drawing pieces every painted control of the suite composes: 3-D text
// (TZelFont3D), bevels and borders (TZelFrame), glyph strips (TZelGlyph), the
// operations that draw them, and TZelGraphicControl, the base of the suite's
// windowless controls.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "framework/core/classes.h"
#include "framework/core/colors.h"
#include "framework/core/graphics_object.h"
#include "framework/core/types.h"
#include "framework/win32/controls.h"
#include "framework/win32/graphics.h"

namespace vexel {

class TZelBackground;

enum TZelRepeat { repeatOnShadow, repeatOnHighLight, repeatNone };
enum TZelStyle3D { fontRaised, fontInset, fontOnlyShadow, fontOnlyHighlight, fontOutLineShadow };
enum TZelFrameStyle {
    frameSolid,
    frameRaised,
    frameLowered,
    frameNone,
    frameFramedUp,
    frameFramedDown,
    framePanelUp,
    framePanelDown,
    frameLightBordered,
};

// The sides of a frame that are drawn, combined in TZelEdges.
enum TZelEdge : uint8_t { EdgeLeft = 1, EdgeRight = 2, EdgeTop = 4, EdgeBottom = 8 };
using TZelEdges = uint8_t;
constexpr TZelEdges kAllEdges = EdgeLeft | EdgeRight | EdgeTop | EdgeBottom;

// Side of a picture relative to what it accompanies (gauge bar, button caption).
enum TZelPosition { pLeft, pRight, pTop, pBottom };

// A drawing sub-object that belongs to a control: every change repaints
// that control (when the owner is a control), then fires OnChange.
class TZelDrawingObject : public TGraphicsObject {
public:
    explicit TZelDrawingObject(TComponent* AOwner) : owner_(AOwner) {}
    TComponent* Owner() const { return owner_; }

protected:
    void Changed() override;

private:
    TComponent* owner_;  // not owned
};

// How text gets its 3-D look: highlight and shadow copies around the face,
// and an optional extruded repetition.
class TZelFont3D : public TZelDrawingObject {
public:
    explicit TZelFont3D(TComponent* AOwner) : TZelDrawingObject(AOwner) {}
    void Assign(TPersistent* Source) override;

    // How far the 3-D copies reach beyond the face, in pixels.
    int32_t DrawingWidth() const { return 2 * offset_ + repetitionwidth_; }

    bool ThreeDimensional() const { return threeDimensional_; }
    void SetThreeDimensional(bool Value);
    // Used only by background-faced text (DrawBackgroundText).
    bool MaskFont() const { return maskFont_; }
    void SetMaskFont(bool Value);
    TColor Highlight() const { return highlight_; }
    void SetHighlight(TColor Value);
    TColor Shadow() const { return shadow_; }
    void SetShadow(TColor Value);
    TColor RepetitionColor() const { return repetitionColor_; }
    void SetRepetitionColor(TColor Value);
    TZelRepeat Repetition() const { return repetition_; }
    void SetRepetition(TZelRepeat Value);
    uint8_t Repetitionwidth() const { return repetitionwidth_; }
    void SetRepetitionwidth(uint8_t Value);
    // 0 is ignored (the change is still signalled).
    uint8_t Offset() const { return offset_; }
    void SetOffset(uint8_t Value);
    TZelStyle3D Style3D() const { return style3D_; }
    void SetStyle3D(TZelStyle3D Value);

private:
    bool threeDimensional_ = true;
    bool maskFont_ = true;
    TColor highlight_ = clBtnHighlight;
    TColor shadow_ = clBtnShadow;
    TColor repetitionColor_ = clBlack;
    TZelRepeat repetition_ = repeatNone;
    uint8_t repetitionwidth_ = 0;
    uint8_t offset_ = 1;
    TZelStyle3D style3D_ = fontOnlyHighlight;
};

// A bevel or border: one or two nested groups of FrameWidth rings.
class TZelFrame : public TZelDrawingObject {
public:
    explicit TZelFrame(TComponent* AOwner) : TZelDrawingObject(AOwner) {}
    void Assign(TPersistent* Source) override;

    TZelFrameStyle FrameStyle() const { return frameStyle_; }
    void SetFrameStyle(TZelFrameStyle Value);
    TZelEdges Edges() const { return edges_; }
    void SetEdges(TZelEdges Value);
    TColor Highlight() const { return highlight_; }
    void SetHighlight(TColor Value);
    TColor Shadow() const { return shadow_; }
    void SetShadow(TColor Value);
    TColor Solid() const { return solid_; }
    void SetSolid(TColor Value);
    // 0 is ignored, without a repaint.
    uint8_t FrameWidth() const { return frameWidth_; }
    void SetFrameWidth(uint8_t Value);

private:
    TZelFrameStyle frameStyle_ = frameRaised;
    TZelEdges edges_ = kAllEdges;
    TColor highlight_ = clBtnHighlight;
    TColor shadow_ = clBtnShadow;
    TColor solid_ = clBlack;
    uint8_t frameWidth_ = 1;
};

// A horizontal strip of 1 to 4 images: normal, pressed (with three or more),
// and disabled (the last one), drawn with a transparent colour.
class TZelGlyph : public TZelDrawingObject {
public:
    explicit TZelGlyph(TComponent* AOwner) : TZelDrawingObject(AOwner) {}
    void Assign(TPersistent* Source) override;

    bool Visible() const { return visible_; }
    void SetVisible(bool Value);
    // The owned picture. Change it through SetBitmap, which repaints.
    TBitmap* Bitmap() { return &bitmap_; }
    // Copies the picture (nullptr empties it). While the owner is being
    // designed, NumGlyphs and TransparentColor are guessed from it.
    void SetBitmap(TBitmap* Value);
    // 1 to 4; other values are ignored.
    uint8_t NumGlyphs() const { return numGlyphs_; }
    void SetNumGlyphs(uint8_t Value);
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool Value);
    TColor TransparentColor() const { return transparentColor_; }
    void SetTransparentColor(TColor Value);

    // Size of one image; 0 for an empty strip.
    int GlyphWidth() const;
    int GlyphHeight() const;

private:
    bool visible_ = true;
    TBitmap bitmap_;
    uint8_t numGlyphs_ = 1;
    bool transparent_ = true;
    TColor transparentColor_ = clBlack;
};

// Draws Text inside Rect with the DrawTextEx flags Format (DT_NOCLIP is always
// added) in Font, with the 3-D copies Font3D asks for, or in the disabled
// look when Enabled is false. A null Font uses the font selected in DC.
void DrawText3D(TZelFont3D* Font3D, TFont* Font, HDC DC, bool Enabled, UINT Format, const std::string& Text,
                const TRect& Rect);

// The 3-D copies of DrawText3D, with the face of the text filled with
// Background instead of the font colour. Works in a copy of the canvas area
// from (0, 0), of Rect's size, and copies it back.
void DrawBackgroundText(TZelBackground* Background, TZelFont3D* Font3D, TFont* Font, UINT Format,
                        const std::string& Text, const TRect& Rect, TCanvas* Canvas);

// Draws the frame inside Rect, and shrinks Rect to the area inside it.
void DrawFrame(TZelFrame* Frame, HDC DC, TRect& Rect);
// How much DrawFrame shrinks a rectangle on each side.
int TotalWidth(const TZelFrame* Frame);

// Draws the image of the strip for the state with its top-left corner at
// (X, Y): greyed with Dimmed, in the disabled look when not Enabled.
void DrawGlyph(TZelGlyph* Glyph, TCanvas* Canvas, int X, int Y, bool Enabled, bool Down, bool Dimmed);

// Replaces every pixel of Bitmap that is not TransparentColor by one of four
// greys by its brightness; Factor 1 gives the flat dimmed look, 2 the
// disabled look (no pixel light enough for clBtnFace).
void RecolorGlyph(TBitmap* Bitmap, TColor TransparentColor, int Factor);

// The base of the suite's windowless controls. Its click and mouse events
// (OnClick, OnDblClick, OnMouseDown, OnMouseMove, OnMouseUp) are TControl's.
class TZelGraphicControl : public TGraphicControl {
public:
    explicit TZelGraphicControl(TComponent* AOwner) : TGraphicControl(AOwner) {}

protected:
    ~TZelGraphicControl() override = default;
};

}  // namespace vexel
