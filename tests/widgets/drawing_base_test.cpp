// The drawing base read back from off-screen DIBs: frame rings and their
// colours, the 3-D text copies and the disabled look, glyph image choice and
// recolouring; and the setter rules of the three sub-objects.
#include <gtest/gtest.h>

#include "framework/core/sysutils.h"
#include "framework/win32/gdi.h"
#include "widgets/drawing_base.h"
#include "tests/widgets/widget_pixels.h"

using namespace vexel;
using vexel::testing::CountColor;
using vexel::testing::Fill;
using vexel::testing::LooksLike;
using vexel::testing::SharpFont;
using vexel::testing::TCopy;
using vexel::testing::TTextShape;

namespace {

constexpr TColor kLime = 0x00FF00;  // lime: no frame or text colour below uses it
constexpr TColor kHigh = clRed;
constexpr TColor kShadow = clBlue;

struct FrameCase {
    TZelFrame frame{nullptr};
    FrameCase(TZelFrameStyle style, int width) {
        frame.SetFrameStyle(style);
        frame.SetFrameWidth(static_cast<uint8_t>(width));
        frame.SetHighlight(kHigh);
        frame.SetShadow(kShadow);
        frame.SetSolid(clYellow);
    }
};

// Draws the frame into a fresh lime bitmap; returns the rectangle left inside.
TRect DrawInto(TBitmap& bitmap, TZelFrame& frame) {
    Fill(bitmap, kLime);
    TRect r{0, 0, bitmap.Width(), bitmap.Height()};
    DrawFrame(&frame, bitmap.Canvas()->Handle(), r);
    return r;
}

}  // namespace

// ---- Frames ----

TEST(Frame, FramedUpDrawsTwoGroupsOfRingsAndShrinksTheRect) {
    FrameCase c(frameFramedUp, 3);
    EXPECT_EQ(TotalWidth(&c.frame), 6);
    TBitmap bitmap(20, 20);
    TRect inside = DrawInto(bitmap, c.frame);
    EXPECT_EQ(inside, Rect(6, 6, 14, 14));
    // Across the middle row: three highlight rings, then three shadow rings
    // on the left; the reverse on the right.
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(bitmap.PixelColor(i, 10), i < 3 ? kHigh : kShadow) << "left ring " << i;
        EXPECT_EQ(bitmap.PixelColor(19 - i, 10), i < 3 ? kShadow : kHigh) << "right ring " << i;
        EXPECT_EQ(bitmap.PixelColor(10, i), i < 3 ? kHigh : kShadow) << "top ring " << i;
        EXPECT_EQ(bitmap.PixelColor(10, 19 - i), i < 3 ? kShadow : kHigh) << "bottom ring " << i;
    }
    EXPECT_EQ(CountColor(bitmap, kLime), 8 * 8);  // the inside is untouched
    // The bottom-right colour takes the top-right and bottom-left corners.
    EXPECT_EQ(bitmap.PixelColor(0, 0), kHigh);
    EXPECT_EQ(bitmap.PixelColor(19, 0), kShadow);
    EXPECT_EQ(bitmap.PixelColor(0, 19), kShadow);
    EXPECT_EQ(bitmap.PixelColor(19, 19), kShadow);
}

TEST(Frame, TotalWidthByStyle) {
    const struct {
        TZelFrameStyle style;
        int total;
    } cases[] = {{frameSolid, 2},      {frameRaised, 2},     {frameLowered, 2},
                 {frameNone, 0},       {frameFramedUp, 4},   {frameFramedDown, 4},
                 {framePanelUp, 4},    {framePanelDown, 4},  {frameLightBordered, 4}};
    for (const auto& expected : cases) {
        FrameCase c(expected.style, 2);
        EXPECT_EQ(TotalWidth(&c.frame), expected.total) << "style " << expected.style;
        TBitmap bitmap(16, 16);
        TRect inside = DrawInto(bitmap, c.frame);
        EXPECT_EQ(inside, Rect(expected.total, expected.total, 16 - expected.total, 16 - expected.total))
            << "style " << expected.style;
    }
}

TEST(Frame, NoneDrawsNothing) {
    FrameCase c(frameNone, 3);
    TBitmap bitmap(10, 10);
    TRect inside = DrawInto(bitmap, c.frame);
    EXPECT_EQ(inside, Rect(0, 0, 10, 10));
    EXPECT_EQ(CountColor(bitmap, kLime), 100);
}

TEST(Frame, ClNoneLeavesItsTwoSidesUndrawn) {
    FrameCase c(frameRaised, 1);
    c.frame.SetShadow(clNone);
    TBitmap bitmap(10, 10);
    DrawInto(bitmap, c.frame);
    EXPECT_EQ(bitmap.PixelColor(0, 5), kHigh);
    EXPECT_EQ(bitmap.PixelColor(5, 0), kHigh);
    EXPECT_EQ(bitmap.PixelColor(9, 5), kLime);  // not white either
    EXPECT_EQ(bitmap.PixelColor(5, 9), kLime);
    EXPECT_EQ(CountColor(bitmap, kHigh), 9 + 9);

    // The panel styles hold clNone of their own: the inner group of
    // framePanelUp has no top-left colour.
    FrameCase panel(framePanelUp, 1);
    DrawInto(bitmap, panel.frame);
    EXPECT_EQ(bitmap.PixelColor(0, 5), kHigh);
    EXPECT_EQ(bitmap.PixelColor(9, 5), clBlack);
    EXPECT_EQ(bitmap.PixelColor(1, 5), kLime);
    EXPECT_EQ(bitmap.PixelColor(5, 1), kLime);
    EXPECT_EQ(bitmap.PixelColor(8, 5), kShadow);
    EXPECT_EQ(bitmap.PixelColor(5, 8), kShadow);
}

TEST(Frame, EdgesLeaveOutTheMissingSidesOnly) {
    FrameCase c(frameSolid, 1);
    c.frame.SetEdges(EdgeLeft | EdgeRight | EdgeBottom);
    TBitmap bitmap(10, 10);
    TRect inside = DrawInto(bitmap, c.frame);
    EXPECT_EQ(inside, Rect(1, 1, 9, 9));  // the rect shrinks all the same
    for (int x = 1; x < 9; ++x)
        EXPECT_EQ(bitmap.PixelColor(x, 0), kLime) << x;
    EXPECT_EQ(bitmap.PixelColor(0, 0), kLime);   // only the top line reaches the top-left corner
    EXPECT_EQ(bitmap.PixelColor(9, 0), clYellow);  // the right line starts at the top
    EXPECT_EQ(bitmap.PixelColor(0, 5), clYellow);
    EXPECT_EQ(bitmap.PixelColor(9, 5), clYellow);
    EXPECT_EQ(bitmap.PixelColor(5, 9), clYellow);
}

TEST(Frame, SettersSignalAndZeroWidthIsIgnoredSilently) {
    TZelFrame frame(nullptr);
    EXPECT_EQ(frame.FrameStyle(), frameRaised);
    EXPECT_EQ(frame.Edges(), kAllEdges);
    EXPECT_EQ(frame.Highlight(), clBtnHighlight);
    EXPECT_EQ(frame.Shadow(), clBtnShadow);
    EXPECT_EQ(frame.Solid(), clBlack);
    EXPECT_EQ(frame.FrameWidth(), 1);
    int signals = 0;
    frame.OnChange = [&](TObject*) { ++signals; };
    frame.SetFrameWidth(4);
    frame.SetFrameWidth(0);
    EXPECT_EQ(frame.FrameWidth(), 4);
    EXPECT_EQ(signals, 1);
    frame.SetFrameStyle(frameRaised);  // same value: still signals
    frame.SetEdges(EdgeTop);
    EXPECT_EQ(signals, 3);
}

// ---- Font3D ----

TEST(Font3D, DefaultsAndSetterRules) {
    TZelFont3D font(nullptr);
    EXPECT_TRUE(font.ThreeDimensional());
    EXPECT_TRUE(font.MaskFont());
    EXPECT_EQ(font.Highlight(), clBtnHighlight);
    EXPECT_EQ(font.Shadow(), clBtnShadow);
    EXPECT_EQ(font.RepetitionColor(), clBlack);
    EXPECT_EQ(font.Repetition(), repeatNone);
    EXPECT_EQ(font.Repetitionwidth(), 0);
    EXPECT_EQ(font.Offset(), 1);
    EXPECT_EQ(font.Style3D(), fontOnlyHighlight);
    EXPECT_EQ(font.DrawingWidth(), 2);

    int signals = 0;
    font.OnChange = [&](TObject*) { ++signals; };
    font.SetOffset(3);
    font.SetOffset(0);  // ignored, but signalled
    EXPECT_EQ(font.Offset(), 3);
    EXPECT_EQ(signals, 2);
    font.SetRepetitionwidth(4);
    font.SetRepetitionwidth(4);  // unchanged: no signal
    EXPECT_EQ(signals, 3);
    EXPECT_EQ(font.DrawingWidth(), 2 * 3 + 4);
    font.SetStyle3D(fontOnlyHighlight);
    EXPECT_EQ(signals, 4);
}

TEST(Font3D, AssignCopiesEverySettingAndOtherClassesFail) {
    TZelFont3D source(nullptr), copy(nullptr);
    source.SetThreeDimensional(false);
    source.SetMaskFont(false);
    source.SetHighlight(clRed);
    source.SetShadow(clBlue);
    source.SetRepetitionColor(clTeal);
    source.SetRepetition(repeatOnShadow);
    source.SetRepetitionwidth(5);
    source.SetOffset(2);
    source.SetStyle3D(fontOutLineShadow);
    copy.Assign(&source);
    EXPECT_FALSE(copy.ThreeDimensional());
    EXPECT_FALSE(copy.MaskFont());
    EXPECT_EQ(copy.Highlight(), clRed);
    EXPECT_EQ(copy.Shadow(), clBlue);
    EXPECT_EQ(copy.RepetitionColor(), clTeal);
    EXPECT_EQ(copy.Repetition(), repeatOnShadow);
    EXPECT_EQ(copy.Repetitionwidth(), 5);
    EXPECT_EQ(copy.Offset(), 2);
    EXPECT_EQ(copy.Style3D(), fontOutLineShadow);

    TZelFrame frame(nullptr);
    EXPECT_THROW(frame.Assign(&source), EConvertError);
}

// ---- 3-D text ----

class Text3D : public ::testing::Test {
protected:
    static constexpr int kW = 90, kH = 40;
    static constexpr UINT kTopLeft = DT_LEFT | DT_TOP | DT_SINGLELINE;
    const TRect rect_{10, 10, 80, 34};

    Text3D() : font3D_(nullptr), bitmap_(kW, kH) {
        SharpFont(font_, clBlack);
        font3D_.SetHighlight(kHigh);
        font3D_.SetShadow(kShadow);
        font3D_.SetRepetitionColor(clPurple);
    }

    // Draws the text on lime and returns the shape of one plain copy.
    TTextShape Draw(bool enabled = true) {
        Fill(bitmap_, kLime);
        DrawText3D(&font3D_, &font_, bitmap_.Canvas()->Handle(), enabled, kTopLeft, "Hx#", rect_);
        TTextShape shape(kW, kH, font_, "Hx#", rect_, kTopLeft);
        EXPECT_GT(shape.Count(), 30);
        return shape;
    }

    TFont font_;
    TZelFont3D font3D_;
    TBitmap bitmap_;
};

TEST_F(Text3D, OnlyHighlightWithOffsetOneIsOneCopyUpLeftOfTheFace) {
    TTextShape shape = Draw();
    EXPECT_TRUE(LooksLike(bitmap_, shape, kLime, {{-1, -1, kHigh}, {0, 0, clBlack}}));
}

TEST_F(Text3D, TwoCopyStylesAndTheOutline) {
    font3D_.SetOffset(2);
    font3D_.SetStyle3D(fontRaised);
    TTextShape shape = Draw();
    EXPECT_TRUE(LooksLike(bitmap_, shape, kLime, {{-2, -2, kHigh}, {2, 2, kShadow}, {0, 0, clBlack}}));

    font3D_.SetStyle3D(fontInset);
    Draw();
    EXPECT_TRUE(LooksLike(bitmap_, shape, kLime, {{-2, -2, kShadow}, {2, 2, kHigh}, {0, 0, clBlack}}));

    font3D_.SetStyle3D(fontOnlyShadow);
    Draw();
    EXPECT_TRUE(LooksLike(bitmap_, shape, kLime, {{2, 2, kShadow}, {0, 0, clBlack}}));

    // The outline ignores Offset: four diagonal neighbours.
    font3D_.SetStyle3D(fontOutLineShadow);
    Draw();
    EXPECT_TRUE(LooksLike(bitmap_, shape, kLime,
                          {{-1, -1, kShadow}, {1, -1, kShadow}, {1, 1, kShadow}, {-1, 1, kShadow}, {0, 0, clBlack}}));

    font3D_.SetThreeDimensional(false);
    Draw();
    EXPECT_TRUE(LooksLike(bitmap_, shape, kLime, {{0, 0, clBlack}}));
}

TEST_F(Text3D, RepetitionExtrudesAndLeavesTheFaceWhereItEnded) {
    // The rectangle shrinks by the width (moving top-left text by 3), starts
    // one offset towards the shadow and steps back; the face is not moved back.
    font3D_.SetRepetition(repeatOnShadow);
    font3D_.SetRepetitionwidth(3);
    TTextShape shape = Draw();
    EXPECT_TRUE(LooksLike(bitmap_, shape, kLime,
                          {{4, 4, clPurple}, {3, 3, clPurple}, {2, 2, clPurple}, {0, 0, kHigh}, {1, 1, clBlack}}));

    font3D_.SetRepetition(repeatOnHighLight);
    font3D_.SetRepetitionwidth(2);
    Draw();
    EXPECT_TRUE(LooksLike(bitmap_, shape, kLime, {{1, 1, clPurple}, {2, 2, clPurple}, {2, 2, kHigh}, {3, 3, clBlack}}));
}

TEST_F(Text3D, DisabledLookIgnoresThe3DSettings) {
    font3D_.SetStyle3D(fontRaised);
    font3D_.SetRepetition(repeatOnShadow);
    font3D_.SetRepetitionwidth(3);
    TTextShape shape = Draw(false);
    ASSERT_NE(ColorToRGB(clBtnHighlight), ColorToRGB(clGrayText));
    EXPECT_TRUE(LooksLike(bitmap_, shape, kLime, {{0, 0, clBtnHighlight}, {-1, -1, clGrayText}}));
}

TEST_F(Text3D, ClNoneCopiesAreLeftOut) {
    font3D_.SetHighlight(clNone);
    TTextShape shape = Draw();
    EXPECT_TRUE(LooksLike(bitmap_, shape, kLime, {{0, 0, clBlack}}));
}

TEST_F(Text3D, TheDCComesBackAsItWas) {
    HDC dc = bitmap_.Canvas()->Handle();
    SetBkMode(dc, OPAQUE);
    SetTextColor(dc, RGB(1, 2, 3));
    HGDIOBJ fontBefore = GetCurrentObject(dc, OBJ_FONT);
    HGDIOBJ brushBefore = GetCurrentObject(dc, OBJ_BRUSH);
    Draw();
    EXPECT_EQ(GetBkMode(dc), OPAQUE);
    EXPECT_EQ(GetTextColor(dc), RGB(1, 2, 3));
    EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), fontBefore);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), brushBefore);
}

// ---- Glyphs ----

namespace {

constexpr TColor kKey = clFuchsia;  // transparent colour of the test strips

// A strip of `count` 6 x 4 images; image k is filled with colours[k] and has
// its top-left pixel in the transparent colour.
void MakeStrip(TBitmap& strip, const std::vector<TColor>& colours) {
    int count = static_cast<int>(colours.size());
    strip.SetSize(6 * count, 4);
    for (int k = 0; k < count; ++k) {
        strip.Canvas()->Brush()->SetColor(colours[static_cast<size_t>(k)]);
        strip.Canvas()->FillRect({6 * k, 0, 6 * k + 6, 4});
        strip.SetPixelColor(6 * k, 0, kKey);
    }
}

struct GlyphCase {
    TZelGlyph glyph{nullptr};
    TBitmap target{10, 8};
    explicit GlyphCase(const std::vector<TColor>& colours) {
        TBitmap strip;
        MakeStrip(strip, colours);
        glyph.SetBitmap(&strip);
        glyph.SetNumGlyphs(static_cast<uint8_t>(colours.size()));
        glyph.SetTransparentColor(kKey);
    }
    // Draws at (2, 2) on lime; returns the colour at the image's (3, 2).
    TColor Draw(bool enabled, bool down, bool dimmed) {
        Fill(target, kLime);
        DrawGlyph(&glyph, target.Canvas(), 2, 2, enabled, down, dimmed);
        return target.PixelColor(5, 4);
    }
};

}  // namespace

TEST(Glyph, ImageChoiceByState) {
    const TColor one = RGBColor(200, 0, 0), two = RGBColor(0, 200, 0), three = RGBColor(0, 0, 200);
    GlyphCase pair({one, two});
    EXPECT_EQ(pair.Draw(true, false, false), one);
    EXPECT_EQ(pair.Draw(true, true, false), one);  // pressed needs three images
    // Disabled: the last image, recoloured with factor 2 (sum 200 -> shadow).
    EXPECT_EQ(pair.Draw(false, false, false), ColorToRGB(clBtnShadow));
    pair.glyph.Bitmap()->SetPixelColor(6 + 3, 2, RGBColor(255, 255, 255));
    EXPECT_EQ(pair.Draw(false, false, false), ColorToRGB(clBtnHighlight));  // factor 1 would give clBtnFace

    GlyphCase triple({one, two, three});
    EXPECT_EQ(triple.Draw(true, true, false), two);
    EXPECT_EQ(triple.Draw(true, false, false), one);

    // Dimmed: image 1 with factor 1, even when pressed.
    GlyphCase white({RGBColor(255, 255, 255), two, three});
    EXPECT_EQ(white.Draw(true, true, true), ColorToRGB(clBtnFace));
}

TEST(Glyph, TransparentPixelsShowTheGroundAndAreNeverRecoloured) {
    GlyphCase c({clRed, clBlue});
    for (bool enabled : {true, false}) {
        c.Draw(enabled, false, !enabled);
        EXPECT_EQ(c.target.PixelColor(2, 2), kLime) << enabled;  // the key pixel
        EXPECT_NE(c.target.PixelColor(3, 2), kLime) << enabled;
        EXPECT_EQ(c.target.PixelColor(1, 2), kLime) << enabled;  // outside the image
        EXPECT_EQ(c.target.PixelColor(8, 2), kLime) << enabled;
    }
    c.glyph.SetTransparent(false);
    c.Draw(true, false, false);
    EXPECT_EQ(c.target.PixelColor(2, 2), kKey);
    EXPECT_EQ(c.target.PixelColor(3, 2), clRed);

    // No transparent colour at all: nothing is left out or spared.
    c.glyph.SetTransparent(true);
    c.glyph.SetTransparentColor(clNone);
    c.glyph.Bitmap()->SetPixelColor(6 + 4, 0, clWhite);
    c.Draw(true, false, false);
    EXPECT_EQ(c.target.PixelColor(2, 2), kKey);
    c.Draw(false, false, false);
    EXPECT_EQ(c.target.PixelColor(2, 2), ColorToRGB(clBtnShadow));  // 255 + 255 over 110
    EXPECT_EQ(c.target.PixelColor(6, 2), ColorToRGB(clBtnHighlight));  // white, not keyed
    c.glyph.SetTransparentColor(kKey);

    c.glyph.SetVisible(false);
    c.Draw(true, false, false);
    EXPECT_EQ(CountColor(c.target, kLime), 80);
}

TEST(Glyph, RecolouringThresholds) {
    // Pixel sums just on and just above each threshold, then the key colour.
    const struct {
        TColor color;
        TColor factor1;
        TColor factor2;
    } cases[] = {
        {RGBColor(255, 255, 26), clBtnFace, clBtnShadow},         // 536
        {RGBColor(255, 255, 25), clBtnHighlight, clBtnShadow},    // 535
        {RGBColor(255, 255, 39), clBtnFace, clBtnHighlight},      // 549
        {RGBColor(255, 255, 38), clBtnFace, clBtnShadow},         // 548
        {RGBColor(255, 20, 0), clBtnHighlight, clBtnShadow},      // 275
        {RGBColor(255, 19, 0), clBtnShadow, clBtnShadow},         // 274
        {RGBColor(111, 0, 0), clBtnShadow, clBtnShadow},          // 111
        {RGBColor(110, 0, 0), clBtnShadow, clBlack},              // 110
        {RGBColor(56, 0, 0), clBtnShadow, clBlack},               // 56
        {RGBColor(55, 0, 0), clBlack, clBlack},                   // 55
        {kKey, kKey, kKey},
    };
    ASSERT_NE(ColorToRGB(clBtnFace), ColorToRGB(clBtnHighlight));
    ASSERT_NE(ColorToRGB(clBtnHighlight), ColorToRGB(clBtnShadow));
    for (int factor : {1, 2}) {
        TBitmap bitmap(static_cast<int>(std::size(cases)), 1);
        for (size_t i = 0; i < std::size(cases); ++i)
            bitmap.SetPixelColor(static_cast<int>(i), 0, cases[i].color);
        RecolorGlyph(&bitmap, kKey, factor);
        for (size_t i = 0; i < std::size(cases); ++i)
            EXPECT_EQ(bitmap.PixelColor(static_cast<int>(i), 0),
                      ColorToRGB(factor == 1 ? cases[i].factor1 : cases[i].factor2))
                << "case " << i << " factor " << factor;
    }
}

TEST(Glyph, SizesAndSetterRules) {
    TZelGlyph glyph(nullptr);
    EXPECT_TRUE(glyph.Visible());
    EXPECT_TRUE(glyph.Transparent());
    EXPECT_EQ(glyph.TransparentColor(), clBlack);
    EXPECT_EQ(glyph.NumGlyphs(), 1);
    EXPECT_EQ(glyph.GlyphWidth(), 0);
    EXPECT_EQ(glyph.GlyphHeight(), 0);

    int signals = 0;
    glyph.OnChange = [&](TObject*) { ++signals; };
    TBitmap strip(10, 3);
    glyph.SetBitmap(&strip);
    EXPECT_EQ(signals, 1);
    glyph.SetBitmap(glyph.Bitmap());  // its own bitmap: nothing happens
    EXPECT_EQ(signals, 1);
    glyph.SetNumGlyphs(4);
    EXPECT_EQ(glyph.GlyphWidth(), 2);  // 2.5 rounds to even
    EXPECT_EQ(glyph.GlyphHeight(), 3);
    strip.SetWidth(14);
    glyph.SetBitmap(&strip);
    EXPECT_EQ(glyph.GlyphWidth(), 4);  // 3.5 rounds to even
    signals = 0;
    glyph.SetNumGlyphs(0);
    glyph.SetNumGlyphs(5);
    glyph.SetNumGlyphs(4);
    glyph.SetVisible(true);
    glyph.SetTransparent(true);
    glyph.SetTransparentColor(clBlack);
    EXPECT_EQ(glyph.NumGlyphs(), 4);
    EXPECT_EQ(signals, 0);  // none of these changed anything
    glyph.SetTransparentColor(clRed);
    EXPECT_EQ(signals, 1);
}

TEST(Glyph, DesignersGuessTheCutAndTheTransparentColour) {
    auto* owner = new TComponent(nullptr);
    TZelGlyph glyph(owner);
    TBitmap strip(32, 8);
    strip.SetPixelColor(0, 7, clTeal);
    glyph.SetBitmap(&strip);  // running: stored values stay
    EXPECT_EQ(glyph.NumGlyphs(), 1);
    EXPECT_EQ(glyph.TransparentColor(), clBlack);

    owner->SetDesigning(true);
    glyph.SetBitmap(&strip);
    EXPECT_EQ(glyph.NumGlyphs(), 4);
    EXPECT_EQ(glyph.TransparentColor(), clTeal);
    strip.SetWidth(40);  // five squares: too many, back to one
    glyph.SetBitmap(&strip);
    EXPECT_EQ(glyph.NumGlyphs(), 1);
    glyph.SetNumGlyphs(2);
    strip.SetWidth(30);  // not whole squares: the count stays
    glyph.SetBitmap(&strip);
    EXPECT_EQ(glyph.NumGlyphs(), 2);
    owner->Free();
}

TEST(Glyph, AssignCopiesThePicture) {
    GlyphCase c({clRed, clBlue});
    TZelGlyph copy(nullptr);
    copy.Assign(&c.glyph);
    c.glyph.Bitmap()->SetPixelColor(3, 2, clYellow);
    EXPECT_EQ(copy.NumGlyphs(), 2);
    EXPECT_EQ(copy.TransparentColor(), kKey);
    EXPECT_EQ(copy.Bitmap()->PixelColor(3, 2), clRed);  // a copy, not shared
}

// ---- Resources ----

TEST(DrawingBase, DrawingLeaksNoGdiObject) {
    FrameCase frame(frameFramedDown, 2);
    GlyphCase glyph({clRed, clBlue});
    TFont font;
    SharpFont(font, clBlack);
    TZelFont3D font3D(nullptr);
    font3D.SetStyle3D(fontRaised);
    TBitmap bitmap(60, 30);
    auto drawAll = [&] {
        TRect r{0, 0, 60, 30};
        DrawFrame(&frame.frame, bitmap.Canvas()->Handle(), r);
        DrawText3D(&font3D, &font, bitmap.Canvas()->Handle(), false, 0, "ab", r);
        DrawText3D(&font3D, &font, bitmap.Canvas()->Handle(), true, 0, "ab", r);
        DrawGlyph(&glyph.glyph, bitmap.Canvas(), 4, 4, false, false, false);
        DrawGlyph(&glyph.glyph, bitmap.Canvas(), 4, 4, true, false, true);
    };
    drawAll();  // makes the font's handle once
    int live = gdi::LiveObjects();
    int failed = gdi::FailedDeletes();
    for (int i = 0; i < 20; ++i)
        drawAll();
    EXPECT_EQ(gdi::LiveObjects(), live);
    EXPECT_EQ(gdi::FailedDeletes(), failed);
}
