// Backgrounds painted into off-screen DIBs and read back pixel by pixel:
// gradient bands and their colours in every fill style, textures, solid and
// hatch fills, painting behind a picture, and how a background keeps the
// controls that use it informed.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "framework/core/sysutils.h"
#include "framework/win32/forms.h"
#include "tests/framework/win32_test_support.h"
#include "tests/widgets/widget_pixels.h"
#include "widgets/background.h"

using namespace vexel;
using vexel::testing::CountColor;
using vexel::testing::FrameworkTest;

namespace {

TColor Rgb(int r, int g, int b) {
    return RGBColor(static_cast<uint8_t>(r), static_cast<uint8_t>(g), static_cast<uint8_t>(b));
}

// Paints the background over a bitmap that was filled with Ground first.
void PaintOver(TBitmap& bitmap, TZelBackground& background, bool forward = true, TColor ground = clLime) {
    vexel::testing::Fill(bitmap, ground);
    background.PaintBackground(bitmap.Canvas()->Handle(), bitmap.Width(), bitmap.Height(), forward);
}

// Every pixel of the row (or column) is the same.
bool RowIsUniform(TBitmap& bitmap, int y) {
    for (int x = 1; x < bitmap.Width(); ++x)
        if (bitmap.PixelColor(x, y) != bitmap.PixelColor(0, y))
            return false;
    return true;
}

// A control that logs its invalidations and paints its background, or
// fuchsia without one.
class TProbe : public TGraphicControl {
public:
    TProbe(TComponent* owner, const std::string& name, std::vector<std::string>& log)
        : TGraphicControl(owner), log_(log) {
        SetName(name);
        SetBounds(0, 0, 6, 4);
    }

    TZelBackground* Background() const { return background_.Get(); }
    void SetBackground(TZelBackground* value) { background_.Set(value); }

    void Invalidate() override {
        log_.push_back(Name());
        TGraphicControl::Invalidate();
    }

protected:
    void Notification(TComponent* component, TOperation operation) override {
        TGraphicControl::Notification(component, operation);
        background_.Notification(component, operation);
    }
    void Paint() override {
        if (background_.Get()) {
            background_.Get()->PaintBackground(Canvas()->Handle(), Width(), Height(), true);
        } else {
            Canvas()->Brush()->SetColor(clFuchsia);
            Canvas()->FillRect({0, 0, Width(), Height()});
        }
    }

private:
    std::vector<std::string>& log_;
    TZelBackgroundLink background_{*this};
};

// A picture whose every pixel differs: (10 + x, 20 + y, 30).
void Numbered(TBitmap& picture, int width, int height) {
    picture.SetSize(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            picture.SetPixelColor(x, y, Rgb(10 + x, 20 + y, 30));
}

TColor NumberedAt(int x, int y) {
    return Rgb(10 + x, 20 + y, 30);
}

}  // namespace

// ---- Gradient colours ----

TEST(GradientColours, BlackToBlackPaintsOneOneOneNeverPureBlack) {
    ScopedFree<TZelBackground> owned(new TZelBackground(nullptr));
    TZelBackground& background = *owned;
    background.Gradient()->SetBeginColor(clBlack);
    background.Gradient()->SetEndColor(clBlack);
    TBitmap bitmap(13, 9);
    PaintOver(bitmap, background);
    EXPECT_EQ(CountColor(bitmap, Rgb(1, 1, 1)), 13 * 9);

    // Spectral's mirror colour is not raised, so pure black shows there.
    background.Gradient()->SetFillStyle(TZelFillStyle::Spectral);
    PaintOver(bitmap, background);
    EXPECT_GT(CountColor(bitmap, Rgb(1, 1, 1)), 0);
    EXPECT_GT(CountColor(bitmap, clBlack), 0);
    EXPECT_EQ(CountColor(bitmap, Rgb(1, 1, 1)) + CountColor(bitmap, clBlack), 13 * 9);
}

// Four bands from (10, 100, 0) to (40, 40, 200) over 8 rows: hs = 9, band i
// covers rows MulDiv(i, 9, 4) to MulDiv(i + 2, 9, 4), so the rows end up
// 0-1, 2-4, 5-6 and 7; a channel of 0 is raised to 1.
TEST(GradientColours, BandsFollowMulDivAndForwardReversesTheRamp) {
    ScopedFree<TZelBackground> owned(new TZelBackground(nullptr));
    TZelBackground& background = *owned;
    background.Gradient()->SetBeginColor(Rgb(10, 100, 0));
    background.Gradient()->SetEndColor(Rgb(40, 40, 200));
    background.Gradient()->SetColorCount(4);
    TBitmap bitmap(3, 8);

    const TColor forward[] = {Rgb(10, 100, 1), Rgb(10, 100, 1),  Rgb(20, 80, 67),  Rgb(20, 80, 67),
                              Rgb(20, 80, 67), Rgb(30, 60, 133), Rgb(30, 60, 133), Rgb(40, 40, 200)};
    PaintOver(bitmap, background);
    for (int y = 0; y < 8; ++y) {
        EXPECT_EQ(bitmap.PixelColor(0, y), forward[y]) << "row " << y;
        EXPECT_TRUE(RowIsUniform(bitmap, y)) << "row " << y;
    }

    const TColor backward[] = {Rgb(40, 40, 200), Rgb(40, 40, 200), Rgb(30, 60, 133), Rgb(30, 60, 133),
                               Rgb(30, 60, 133), Rgb(20, 80, 67),  Rgb(20, 80, 67),  Rgb(10, 100, 1)};
    PaintOver(bitmap, background, false);
    for (int y = 0; y < 8; ++y)
        EXPECT_EQ(bitmap.PixelColor(0, y), backward[y]) << "row " << y;
}

// Three in-between colours make four segments; with two bands per segment
// and hs = Round(16 / 4) + 1 = 5, segment r shows its first colour on rows
// 5r + 0..2 and its second from 5r + 3, which the next segment's first band
// covers again from 5r + 5.
TEST(GradientColours, InBetweenColoursMakeSegmentsAndKeepTheirOrder) {
    ScopedFree<TZelBackground> owned(new TZelBackground(nullptr));
    TZelBackground& background = *owned;
    TZelGradient* gradient = background.Gradient();
    gradient->SetBeginColor(Rgb(200, 10, 10));
    gradient->SetEndColor(Rgb(10, 200, 10));
    gradient->SetColorCount(2);
    gradient->ColorsInBetween()->Add("clAqua");     // (0, 255, 255): raised to (1, 255, 255)
    gradient->ColorsInBetween()->Add("$00C80A0A");  // (10, 10, 200)
    gradient->ColorsInBetween()->Add("13158600");   // (200, 200, 200)
    TBitmap bitmap(2, 16);

    auto rows = [&](TColor first) {
        std::vector<TColor> expected(16);
        for (int y = 0; y < 16; ++y)
            expected[y] = y < 3    ? first
                          : y < 8  ? Rgb(1, 255, 255)
                          : y < 13 ? Rgb(10, 10, 200)
                                   : Rgb(200, 200, 200);
        return expected;
    };
    PaintOver(bitmap, background);
    std::vector<TColor> expected = rows(Rgb(200, 10, 10));
    for (int y = 0; y < 16; ++y)
        EXPECT_EQ(bitmap.PixelColor(1, y), expected[y]) << "forward, row " << y;

    PaintOver(bitmap, background, false);
    expected = rows(Rgb(10, 200, 10));
    for (int y = 0; y < 16; ++y)
        EXPECT_EQ(bitmap.PixelColor(1, y), expected[y]) << "backward, row " << y;
}

// Two segments across 20 columns: ws = 11, so the second segment starts at
// column 11 and the end colour shows from column 11 + MulDiv(1, 11, 2) = 17.
TEST(GradientColours, LaterSegmentsAreOffsetBySegmentWidth) {
    ScopedFree<TZelBackground> owned(new TZelBackground(nullptr));
    TZelBackground& background = *owned;
    TZelGradient* gradient = background.Gradient();
    gradient->SetFillStyle(TZelFillStyle::Vertical);
    gradient->SetBeginColor(Rgb(200, 10, 10));
    gradient->SetEndColor(Rgb(10, 10, 200));
    gradient->SetColorCount(2);
    gradient->ColorsInBetween()->Add(ColorToString(Rgb(10, 200, 10)));
    TBitmap bitmap(20, 3);
    PaintOver(bitmap, background);
    for (int x = 0; x < 20; ++x) {
        TColor expected = x < 6 ? Rgb(200, 10, 10) : x < 17 ? Rgb(10, 200, 10) : Rgb(10, 10, 200);
        EXPECT_EQ(bitmap.PixelColor(x, 1), expected) << "column " << x;
    }
}

TEST(GradientColours, SystemColoursResolveWhenPainting) {
    ScopedFree<TZelBackground> owned(new TZelBackground(nullptr));
    TZelBackground& background = *owned;  // clBtnShadow to clBtnHighlight
    background.Gradient()->SetColorCount(2);
    TBitmap bitmap(4, 10);
    PaintOver(bitmap, background);
    auto raised = [](TColor c) {
        return Rgb(std::max<int>(ColorRed(c), 1), std::max<int>(ColorGreen(c), 1),
                   std::max<int>(ColorBlue(c), 1));
    };
    EXPECT_EQ(bitmap.PixelColor(0, 0), raised(ColorToRGB(clBtnShadow)));
    EXPECT_EQ(bitmap.PixelColor(0, 9), raised(ColorToRGB(clBtnHighlight)));
}

TEST(GradientColours, ABadInBetweenLineRaisesAndLeavesTheAreaAndNoHandleBehind) {
    ScopedFree<TZelBackground> owned(new TZelBackground(nullptr));
    TZelBackground& background = *owned;
    background.Gradient()->ColorsInBetween()->Add("clRed");
    background.Gradient()->ColorsInBetween()->Add("not a colour");
    TBitmap bitmap(30, 20);
    vexel::testing::Fill(bitmap, clLime);
    bitmap.Canvas()->Handle();
    int live = gdi::LiveObjects(), failed = gdi::FailedDeletes();
    try {
        background.PaintBackground(bitmap.Canvas()->Handle(), 30, 20, true);
        ADD_FAILURE() << "no exception";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "'not a colour' is not a valid integer value");
    }
    EXPECT_EQ(gdi::LiveObjects(), live);
    EXPECT_EQ(gdi::FailedDeletes(), failed);
    EXPECT_EQ(CountColor(bitmap, clLime), 30 * 20);
}

// ---- Fill styles ----

// Every style over 40 x 20 with four bands from (240, 0, 20) to (20, 0, 240)
// in one segment: hs = 21, ws = 41, hz = 20, wz = 40. The bands are
//   c0 (240, 1, 20), c1 (167, 1, 93), c2 (93, 1, 167), c3 (20, 1, 240);
// the first fill, (240, 0, 20), shows only where no band reaches (F), and
// Spectral's mirror colours keep their zero green channel.
namespace {

const TColor F = Rgb(240, 0, 20);
const TColor c0 = Rgb(240, 1, 20), c1 = Rgb(167, 1, 93), c2 = Rgb(93, 1, 167), c3 = Rgb(20, 1, 240);
const TColor m0 = Rgb(20, 0, 240), m2 = Rgb(167, 0, 93), m3 = Rgb(240, 0, 20);

struct TPixel {
    int x, y;
    TColor color;
};

struct TStyleCase {
    TZelFillStyle style;
    const char* name;
    std::vector<TPixel> pixels;
};

const std::vector<TStyleCase>& StyleCases() {
    // clang-format off
    static const std::vector<TStyleCase> cases = {
        // Lines through the centre: colours change with the angle.
        {TZelFillStyle::Circle, "Circle", {{0, 0, c0}, {0, 5, c1}, {0, 12, c2}, {0, 18, c3}, {20, 10, c3}}},
        // Rows 0-4, 5-10, 11-15, 16-19.
        {TZelFillStyle::Horizontal, "Horizontal", {{5, 0, c0}, {39, 4, c0}, {5, 5, c1}, {5, 10, c1},
            {5, 11, c2}, {5, 15, c2}, {5, 16, c3}, {39, 19, c3}}},
        // Columns 0-9, 10-20, 21-30, 31-39.
        {TZelFillStyle::Vertical, "Vertical", {{0, 3, c0}, {9, 19, c0}, {10, 3, c1}, {20, 3, c1},
            {21, 3, c2}, {30, 3, c2}, {31, 3, c3}, {39, 19, c3}}},
        // Band i from (MulDiv(i, 41, 4), MulDiv(i, 21, 4)) to the bottom right.
        {TZelFillStyle::LeftBottom, "LeftBottom", {{0, 0, c0}, {39, 0, c0}, {0, 19, c0}, {9, 19, c0},
            {35, 4, c0}, {10, 5, c1}, {15, 8, c1}, {25, 12, c2}, {35, 17, c3}, {39, 19, c3}}},
        // Ellipses (1,1)-(39,19), (6,4)-(34,16), (12,7)-(28,13), (17,9)-(23,11).
        {TZelFillStyle::RoundMiddle, "RoundMiddle", {{0, 0, F}, {0, 10, F}, {20, 0, F}, {1, 10, c0},
            {20, 1, c0}, {3, 10, c0}, {8, 10, c1}, {14, 10, c2}, {20, 10, c3}}},
        // Rectangles (0,0)-(40,20), (5,3)-(35,17), (10,5)-(30,15), (15,8)-(25,12).
        {TZelFillStyle::SquareMiddle, "SquareMiddle", {{0, 0, c0}, {4, 3, c0}, {5, 3, c1}, {34, 16, c1},
            {35, 16, c0}, {10, 5, c2}, {25, 11, c2}, {15, 8, c3}, {24, 11, c3}}},
        // Odd lines in the band colour, even ones in the mirror colour.
        {TZelFillStyle::Spectral, "Spectral", {{0, 0, m0}, {0, 5, c1}, {0, 12, m2}, {0, 17, c3}, {0, 18, m3},
            {20, 10, m3}}},
        // Ellipses from the top-left inwards to (40, 20) and from the bottom
        // right back to (0, 0); the last pair is (32,17)-(40,20) and (8,3)-(0,0).
        {TZelFillStyle::DoppelFlash, "DoppelFlash", {{0, 0, F}, {36, 18, c3}, {4, 1, c3}, {20, 10, c1}}},
        // Ellipses (10i, 5i)-(40, 20).
        {TZelFillStyle::Singleflash, "Singleflash", {{0, 0, F}, {2, 10, c0}, {20, 10, c1}, {20, 15, c2},
            {30, 10, c2}, {35, 17, c3}}},
        // p = Round(10.5) = 10; the lower bars come from the bottom, the upper
        // ones include their last row, so row 14 is the last band's.
        {TZelFillStyle::MiddleHBar, "MiddleHBar", {{7, 0, F}, {7, 1, c0}, {7, 3, c0}, {7, 4, c1}, {7, 5, c3},
            {7, 14, c3}, {7, 15, c1}, {7, 16, c0}, {7, 18, c0}, {7, 19, F}}},
        // p = Round(20.5) = 20.
        {TZelFillStyle::MiddleVBar, "MiddleVBar", {{0, 9, F}, {1, 9, c0}, {5, 9, c0}, {6, 9, c1},
            {11, 9, c2}, {13, 9, c3}, {26, 9, c3}, {27, 9, c2}, {28, 9, c1}, {34, 9, c0}, {39, 9, F}}},
        // t = 15, T = 13: bars at 1 + a, 25 - b and 27 + a, b - a wide.
        {TZelFillStyle::VerticalDoppelBar, "VerticalDoppelBar", {{0, 5, F}, {1, 5, c0}, {5, 5, c1},
            {9, 5, c2}, {10, 5, c3}, {15, 5, c3}, {16, 5, c2}, {17, 5, c1}, {21, 5, c0}, {25, 5, F},
            {26, 5, F}, {27, 5, c0}, {31, 5, c1}, {35, 5, c2}, {38, 5, c3}, {39, 5, c3}}},
        // t = 8, T = 7: bars two rows high at 1 + 2i, 11 - 2i and 15 + 2i.
        {TZelFillStyle::HorizontalDoppelBar, "HorizontalDoppelBar", {{3, 0, F}, {3, 1, c0}, {3, 3, c1},
            {3, 5, c3}, {3, 8, c3}, {3, 9, c1}, {3, 11, c0}, {3, 13, F}, {3, 14, F}, {3, 15, c0},
            {3, 17, c1}, {3, 19, c2}}},
    };
    // clang-format on
    return cases;
}

}  // namespace

TEST(FillStyles, EveryStylePaintsItsBandsWhereTheGeometrySaysAndNothingElse) {
    ASSERT_EQ(StyleCases().size(), 13u);
    ScopedFree<TZelBackground> owned(new TZelBackground(nullptr));
    TZelBackground& background = *owned;
    TZelGradient* gradient = background.Gradient();
    gradient->SetBeginColor(Rgb(240, 0, 20));
    gradient->SetEndColor(Rgb(20, 0, 240));
    gradient->SetColorCount(4);
    TBitmap bitmap(40, 20);
    for (const TStyleCase& c : StyleCases()) {
        gradient->SetFillStyle(c.style);
        ASSERT_NO_THROW(PaintOver(bitmap, background)) << c.name;
        for (const TPixel& p : c.pixels)
            EXPECT_EQ(ColorToString(bitmap.PixelColor(p.x, p.y)), ColorToString(p.color))
                << c.name << " at (" << p.x << ", " << p.y << ")";
        // The whole area is covered, and only with the ramp's colours.
        std::vector<TColor> allowed = {F, c0, c1, c2, c3};
        if (c.style == TZelFillStyle::Spectral)
            allowed.insert(allowed.end(), {m0, Rgb(93, 0, 167), m2, m3});
        int strays = 0;
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 40; ++x)
                strays += std::find(allowed.begin(), allowed.end(), bitmap.PixelColor(x, y)) == allowed.end();
        EXPECT_EQ(strays, 0) << c.name;
    }
}

// Two segments over 40 x 20, (240, 0, 20) to (0, 200, 0) to (20, 0, 240), two
// bands each: hs = 11, ws = 21, hz = 10, wz = 20. The bands are a (240, 1, 20)
// and m (1, 200, 1) in the first segment, m and e (20, 1, 240) in the second;
// F is the first fill. The second segment's offsets decide these pixels.
TEST(FillStyles, TheSecondSegmentIsPlacedByItsOffsets) {
    const TColor a = c0, m = Rgb(1, 200, 1), e = c3;
    // clang-format off
    const std::vector<TStyleCase> cases = {
        {TZelFillStyle::Circle, "Circle", {{0, 3, a}, {0, 8, m}, {0, 13, m}, {0, 18, e}, {5, 0, a},
            {15, 0, m}, {25, 0, m}, {35, 0, e}}},
        {TZelFillStyle::Horizontal, "Horizontal", {{0, 0, a}, {0, 5, a}, {0, 6, m}, {0, 16, m}, {0, 17, e}}},
        {TZelFillStyle::Vertical, "Vertical", {{0, 0, a}, {10, 0, a}, {11, 0, m}, {31, 0, m}, {32, 0, e}}},
        // Corners (0,0), (11,6), (21,11), (32,17).
        {TZelFillStyle::LeftBottom, "LeftBottom", {{5, 5, a}, {10, 6, a}, {11, 6, m}, {25, 15, m},
            {31, 17, m}, {32, 17, e}, {39, 19, e}}},
        // Ellipses (1,1)-(39,19), (7,5)-(33,15), (11,7)-(29,13), (17,9)-(23,11).
        {TZelFillStyle::RoundMiddle, "RoundMiddle", {{0, 10, F}, {1, 10, a}, {4, 10, a}, {8, 10, m},
            {20, 10, e}}},
        // Rectangles (0,0)-(40,20), (5,3)-(35,17), (10,5)-(30,15), (15,8)-(25,12).
        {TZelFillStyle::SquareMiddle, "SquareMiddle", {{4, 2, a}, {5, 3, m}, {10, 5, m}, {14, 8, m},
            {15, 8, e}, {24, 11, e}, {25, 11, m}}},
        // The last pair of ellipses is (33,18)-(40,20) and (7,2)-(0,0).
        {TZelFillStyle::DoppelFlash, "DoppelFlash", {{30, 3, a}, {20, 10, m}, {3, 1, e}, {36, 19, e}}},
        // Ellipses (0,0), (10,5), (20,10) and (30,15) to (40,20).
        {TZelFillStyle::Singleflash, "Singleflash", {{0, 0, F}, {3, 10, a}, {15, 12, m}, {25, 12, m},
            {35, 17, e}}},
        // yo = 1 and Round(5.5) + 1 = 7, p = 6.
        {TZelFillStyle::MiddleHBar, "MiddleHBar", {{5, 0, F}, {5, 1, a}, {5, 2, e}, {5, 8, e}, {5, 9, m},
            {5, 10, e}, {5, 16, e}, {5, 17, a}, {5, 19, F}}},
        // xo = 1 and Round(10.5) + 1 = 11 (halves to even), p = 10.
        {TZelFillStyle::MiddleVBar, "MiddleVBar", {{0, 5, F}, {1, 5, a}, {5, 5, a}, {6, 5, m}, {11, 5, m},
            {12, 5, e}, {26, 5, e}, {27, 5, m}, {32, 5, m}, {33, 5, a}, {38, 5, a}, {39, 5, F}}},
        // xo = 1 and 8, t = 8, T = 13.
        {TZelFillStyle::VerticalDoppelBar, "VerticalDoppelBar", {{0, 5, F}, {1, 5, a}, {5, 5, m}, {9, 5, m},
            {10, 5, e}, {15, 5, e}, {16, 5, m}, {21, 5, a}, {25, 5, F}, {27, 5, a}, {34, 5, m}, {38, 5, e}}},
        // yo = 1 and 5, t = 5, T = 7.
        {TZelFillStyle::HorizontalDoppelBar, "HorizontalDoppelBar", {{3, 0, F}, {3, 1, a}, {3, 4, e},
            {3, 6, m}, {3, 8, e}, {3, 10, a}, {3, 13, F}, {3, 15, a}, {3, 18, m}, {3, 19, m}}},
    };
    // clang-format on
    ScopedFree<TZelBackground> owned(new TZelBackground(nullptr));
    TZelBackground& background = *owned;
    TZelGradient* gradient = background.Gradient();
    gradient->SetBeginColor(Rgb(240, 0, 20));
    gradient->SetEndColor(Rgb(20, 0, 240));
    gradient->ColorsInBetween()->Add(ColorToString(Rgb(0, 200, 0)));
    gradient->SetColorCount(2);
    TBitmap bitmap(40, 20);
    for (const TStyleCase& c : cases) {
        gradient->SetFillStyle(c.style);
        PaintOver(bitmap, background);
        for (const TPixel& p : c.pixels)
            EXPECT_EQ(ColorToString(bitmap.PixelColor(p.x, p.y)), ColorToString(p.color))
                << c.name << " at (" << p.x << ", " << p.y << ")";
    }
}

TEST(FillStyles, EveryStyleCopesWithManySegmentsAndTinyOrEmptyAreas) {
    ScopedFree<TZelBackground> owned(new TZelBackground(nullptr));
    TZelBackground& background = *owned;
    TZelGradient* gradient = background.Gradient();
    for (const char* colour : {"clRed", "clYellow", "clLime", "clAqua", "clBlue"})
        gradient->ColorsInBetween()->Add(colour);
    gradient->SetColorCount(255);
    for (const TStyleCase& c : StyleCases()) {
        gradient->SetFillStyle(c.style);
        for (TSize size : {TSize{1, 1}, TSize{3, 50}, TSize{64, 2}, TSize{0, 5}}) {
            TBitmap bitmap(std::max(size.cx, 1), std::max(size.cy, 1));
            vexel::testing::Fill(bitmap, clFuchsia);
            EXPECT_NO_THROW(background.PaintBackground(bitmap.Canvas()->Handle(), size.cx, size.cy, true))
                << c.name << " " << size.cx << "x" << size.cy;
            if (size.cx > 0)
                EXPECT_NE(bitmap.PixelColor(0, 0), clFuchsia) << c.name << " painted nothing";
            else
                EXPECT_EQ(bitmap.PixelColor(0, 0), clFuchsia) << c.name << " painted outside";
        }
    }
}

// ---- Textures ----

TEST(Textures, TilesStartAtTheOriginAndTheLastPartialTileIsDrawn) {
    ScopedFree<TZelBackground> owned(new TZelBackground(nullptr));
    TZelBackground& background = *owned;
    background.SetBackgroundStyle(bTexture);
    TBitmap picture;
    Numbered(picture, 3, 2);
    background.Texture()->SetImage(&picture);
    TBitmap bitmap(8, 5);  // tiles at x 0, 3, 6 (partial) and y 0, 2, 4 (partial)
    PaintOver(bitmap, background);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 8; ++x)
            EXPECT_EQ(bitmap.PixelColor(x, y), NumberedAt(x % 3, y % 2)) << x << "," << y;
}

TEST(Textures, CentredPictureLeavesItsSurroundingsAndALargerOneStartsAtTheOrigin) {
    ScopedFree<TZelBackground> owned(new TZelBackground(nullptr));
    TZelBackground& background = *owned;
    background.SetBackgroundStyle(bTexture);
    background.Texture()->SetImageStyle(isCenter);
    TBitmap picture;
    Numbered(picture, 2, 2);
    background.Texture()->SetImage(&picture);

    TBitmap bitmap(7, 6);  // x = (7 - 2) div 2 = 2, y = (6 - 2) div 2 = 2
    PaintOver(bitmap, background);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 7; ++x) {
            bool inside = x >= 2 && x < 4 && y >= 2 && y < 4;
            EXPECT_EQ(bitmap.PixelColor(x, y), inside ? NumberedAt(x - 2, y - 2) : clLime) << x << "," << y;
        }

    Numbered(picture, 6, 6);
    background.Texture()->SetImage(&picture);
    TBitmap small(4, 4);
    PaintOver(small, background);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(small.PixelColor(x, y), NumberedAt(x, y)) << x << "," << y;

    // Wider than the area but not as high: x from 0, y centred.
    Numbered(picture, 9, 2);
    background.Texture()->SetImage(&picture);
    PaintOver(small, background);
    EXPECT_EQ(small.PixelColor(0, 1), NumberedAt(0, 0));
    EXPECT_EQ(small.PixelColor(3, 2), NumberedAt(3, 1));
    EXPECT_EQ(small.PixelColor(0, 0), clLime);
    EXPECT_EQ(small.PixelColor(3, 3), clLime);
}

TEST(Textures, StretchedPictureFillsTheArea) {
    ScopedFree<TZelBackground> owned(new TZelBackground(nullptr));
    TZelBackground& background = *owned;
    background.SetBackgroundStyle(bTexture);
    background.Texture()->SetImageStyle(isStretched);
    TBitmap picture(2, 2);
    picture.SetPixelColor(0, 0, clRed);
    picture.SetPixelColor(1, 0, clBlue);
    picture.SetPixelColor(0, 1, clYellow);
    picture.SetPixelColor(1, 1, clNavy);
    background.Texture()->SetImage(&picture);
    TBitmap bitmap(8, 6);
    PaintOver(bitmap, background);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 8; ++x)
            EXPECT_EQ(bitmap.PixelColor(x, y), picture.PixelColor(x / 4, y / 3)) << x << "," << y;
}

TEST(Textures, TransparentColourReplacesExactlyItsPixels) {
    ScopedFree<TZelBackground> owned(new TZelBackground(nullptr));
    TZelBackground& background = *owned;
    background.SetBackgroundStyle(bTexture);
    TBitmap picture;
    Numbered(picture, 4, 3);
    picture.SetPixelColor(1, 0, clFuchsia);
    picture.SetPixelColor(3, 2, clFuchsia);
    picture.SetPixelColor(2, 1, Rgb(255, 0, 254));  // one step away: kept
    picture.SetPixelColor(0, 2, clWhite);
    TZelTexture* texture = background.Texture();
    texture->SetImage(&picture);
    TBitmap bitmap(4, 3);

    // clNone: the picture as it is.
    PaintOver(bitmap, background);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(bitmap.PixelColor(x, y), picture.PixelColor(x, y)) << x << "," << y;

    texture->SetTransparentColor(clFuchsia);
    texture->SetTransparentBackground(clYellow);
    PaintOver(bitmap, background);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) {
            TColor original = picture.PixelColor(x, y);
            EXPECT_EQ(bitmap.PixelColor(x, y), original == clFuchsia ? clYellow : original) << x << "," << y;
        }
    EXPECT_EQ(picture.PixelColor(1, 0), clFuchsia) << "the texture's own picture changed";
}

TEST(Textures, AnEmptyPicturePaintsNothing) {
    ScopedFree<TZelBackground> owned(new TZelBackground(nullptr));
    TZelBackground& background = *owned;
    background.SetBackgroundStyle(bTexture);
    for (TZelImageStyle style : {isTile, isCenter, isStretched}) {
        background.Texture()->SetImageStyle(style);
        TBitmap bitmap(5, 5);
        PaintOver(bitmap, background);
        EXPECT_EQ(CountColor(bitmap, clLime), 25) << style;
    }
}

// ---- Solid and brush fills ----

TEST(Fills, SolidColourFillsTheAreaAndOnlyIt) {
    ScopedFree<TZelBackground> owned(new TZelBackground(nullptr));
    TZelBackground& background = *owned;
    background.SetBackgroundStyle(bSolidcolor);
    TBitmap bitmap(9, 7);
    vexel::testing::Fill(bitmap, clLime);
    background.PaintBackground(bitmap.Canvas()->Handle(), 6, 5, true);
    EXPECT_EQ(CountColor(bitmap, ColorToRGB(clBtnFace)), 6 * 5);
    EXPECT_EQ(bitmap.PixelColor(5, 4), ColorToRGB(clBtnFace));
    EXPECT_EQ(bitmap.PixelColor(6, 4), clLime);
    EXPECT_EQ(bitmap.PixelColor(5, 5), clLime);

    background.SetSolidColor(clTeal);
    PaintOver(bitmap, background);
    EXPECT_EQ(CountColor(bitmap, clTeal), 9 * 7);
}

namespace {

// What the hatch brush draws on a white ground, through the canvas itself.
void HatchOnWhite(TBitmap& bitmap, TBrushStyle style, TColor color) {
    vexel::testing::Fill(bitmap, clWhite);
    bitmap.Canvas()->Brush()->SetStyle(style);
    bitmap.Canvas()->Brush()->SetColor(color);
    bitmap.Canvas()->FillRect({0, 0, bitmap.Width(), bitmap.Height()});
}

}  // namespace

TEST(Fills, HatchOnWhiteOrOnSolidColour) {
    ScopedFree<TZelBackground> owned(new TZelBackground(nullptr));
    TZelBackground& background = *owned;
    background.BrushFill()->SetBrushColor(clRed);
    background.SetSolidColor(clNavy);
    for (TBrushStyle style : {bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross}) {
        background.BrushFill()->SetBrushStyle(style);
        TBitmap hatch(19, 17);
        HatchOnWhite(hatch, style, clRed);
        int lines = CountColor(hatch, clRed);
        ASSERT_GT(lines, 0);
        ASSERT_LT(lines, 19 * 17);

        TBitmap bitmap(19, 17);
        background.SetBackgroundStyle(bBrushFillUseCurrent);
        PaintOver(bitmap, background);
        background.SetBackgroundStyle(bBrushFillSolidColor);
        TBitmap onSolid(19, 17);
        PaintOver(onSolid, background);
        int wrong = 0, wrongOnSolid = 0;
        for (int y = 0; y < 17; ++y)
            for (int x = 0; x < 19; ++x) {
                bool line = hatch.PixelColor(x, y) == clRed;
                wrong += bitmap.PixelColor(x, y) != (line ? clRed : clWhite);
                wrongOnSolid += onSolid.PixelColor(x, y) != (line ? clRed : clNavy);
            }
        EXPECT_EQ(wrong, 0) << "style " << style << " on white";
        EXPECT_EQ(wrongOnSolid, 0) << "style " << style << " on the solid colour";
    }
}

TEST(Fills, SolidBrushGivesAPlainFillAndAClearOneOnlyTheGround) {
    ScopedFree<TZelBackground> owned(new TZelBackground(nullptr));
    TZelBackground& background = *owned;
    background.BrushFill()->SetBrushColor(clMaroon);
    background.SetSolidColor(clNavy);
    TBitmap bitmap(10, 8);
    for (TZelBackStyle style : {bBrushFillUseCurrent, bBrushFillSolidColor}) {
        background.SetBackgroundStyle(style);
        PaintOver(bitmap, background);
        EXPECT_EQ(CountColor(bitmap, clMaroon), 80) << style;
    }
    background.BrushFill()->SetBrushStyle(bsClear);
    background.SetBackgroundStyle(bBrushFillUseCurrent);
    PaintOver(bitmap, background);
    EXPECT_EQ(CountColor(bitmap, clWhite), 80);
    background.SetBackgroundStyle(bBrushFillSolidColor);
    PaintOver(bitmap, background);
    EXPECT_EQ(CountColor(bitmap, clNavy), 80);
}

// ---- Masked drawing and painting behind ----

TEST(Masked, DrawMaskedLeavesTheMaskColourTransparent) {
    TBitmap picture;
    Numbered(picture, 4, 3);
    picture.SetPixelColor(0, 0, clFuchsia);
    picture.SetPixelColor(2, 1, clFuchsia);
    TBitmap canvas(8, 6);
    vexel::testing::Fill(canvas, clLime);
    DrawMasked(canvas.Canvas(), &picture, 3, 2, clFuchsia);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 8; ++x) {
            bool inside = x >= 3 && x < 7 && y >= 2 && y < 5;
            TColor expected = inside ? picture.PixelColor(x - 3, y - 2) : clLime;
            if (expected == clFuchsia)
                expected = clLime;
            EXPECT_EQ(canvas.PixelColor(x, y), expected) << x << "," << y;
        }
    TBitmap empty;
    EXPECT_NO_THROW(DrawMasked(canvas.Canvas(), &empty, 0, 0, clFuchsia));
}

TEST(Masked, PaintBehindReplacesExactlyTheTransparentPixelsByTheBackground) {
    ScopedFree<TZelBackground> owned(new TZelBackground(nullptr));
    TZelBackground& background = *owned;
    background.Gradient()->SetBeginColor(Rgb(200, 10, 10));
    background.Gradient()->SetEndColor(Rgb(10, 10, 200));
    background.Gradient()->SetColorCount(6);
    TBitmap ground(10, 6);
    PaintOver(ground, background);

    TBitmap bitmap;
    Numbered(bitmap, 10, 6);
    std::vector<TPoint> holes = {{0, 0}, {9, 5}, {4, 2}, {5, 3}, {1, 4}};
    for (TPoint p : holes)
        bitmap.SetPixelColor(p.X, p.Y, clFuchsia);
    TBitmap before;
    before.Assign(&bitmap);
    background.PaintBehind(bitmap.Canvas(), 10, 6, clFuchsia, true);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 10; ++x) {
            bool hole = before.PixelColor(x, y) == clFuchsia;
            EXPECT_EQ(bitmap.PixelColor(x, y), hole ? ground.PixelColor(x, y) : before.PixelColor(x, y))
                << x << "," << y;
        }

    // Forward reaches the background: the reversed ramp shows in the holes.
    TBitmap reversed(10, 6);
    PaintOver(reversed, background, false);
    ASSERT_NE(reversed.PixelColor(9, 5), ground.PixelColor(9, 5));
    bitmap.Assign(&before);
    background.PaintBehind(bitmap.Canvas(), 10, 6, clFuchsia, false);
    EXPECT_EQ(bitmap.PixelColor(0, 0), reversed.PixelColor(0, 0));
    EXPECT_EQ(bitmap.PixelColor(9, 5), reversed.PixelColor(9, 5));
}

// ---- Settings and change notices ----

TEST(Settings, DefaultsAreTheDocumentedOnes) {
    ScopedFree<TZelBackground> owned(new TZelBackground(nullptr));
    TZelBackground& background = *owned;
    EXPECT_EQ(background.SolidColor(), clBtnFace);
    EXPECT_EQ(background.BackgroundStyle(), bGradient);
    TZelGradient* g = background.Gradient();
    EXPECT_EQ(g->BeginColor(), clBtnShadow);
    EXPECT_EQ(g->EndColor(), clBtnHighlight);
    EXPECT_EQ(g->FillStyle(), TZelFillStyle::Horizontal);
    EXPECT_EQ(g->ColorCount(), 32);
    EXPECT_EQ(g->ColorsInBetween()->Count(), 0);
    TZelTexture* t = background.Texture();
    EXPECT_TRUE(t->Image()->Empty());
    EXPECT_EQ(t->ImageStyle(), isTile);
    EXPECT_EQ(t->TransparentColor(), clNone);
    EXPECT_EQ(t->TransparentBackground(), clBtnFace);
    EXPECT_EQ(background.BrushFill()->BrushStyle(), bsSolid);
    EXPECT_EQ(background.BrushFill()->BrushColor(), clBtnFace);
}

class BackgroundNotices : public FrameworkTest {
protected:
    void SetUp() override {
        FrameworkTest::SetUp();
        owner_ = new TComponent(nullptr);
        background_ = new TZelBackground(owner_);
        background_->OnChanged = [this](TObject* sender) {
            EXPECT_EQ(sender, background_);
            log_.push_back("changed");
        };
    }
    void TearDown() override {
        owner_->Free();
        FrameworkTest::TearDown();
    }

    TProbe* Probe(const std::string& name) {
        auto* probe = new TProbe(owner_, name, log_);
        probe->SetBackground(background_);
        return probe;
    }

    TComponent* owner_ = nullptr;
    TZelBackground* background_ = nullptr;
    std::vector<std::string> log_;
};

TEST_F(BackgroundNotices, EveryChangeInvalidatesTheControlsInOrderThenFiresOnChangedOnce) {
    Probe("Second");
    Probe("First");
    Probe("Third");
    const std::vector<std::string> once = {"Second", "First", "Third", "changed"};
    TBitmap picture(2, 2);
    TStringList lines;
    lines.Add("clRed");
    TZelGradient* g = background_->Gradient();
    TZelTexture* t = background_->Texture();
    TZelBrushFill* b = background_->BrushFill();
    // Every setter signals, also when it stores the value already there.
    std::vector<std::pair<const char*, std::function<void()>>> changes = {
        {"SolidColor", [&] { background_->SetSolidColor(background_->SolidColor()); }},
        {"BackgroundStyle", [&] { background_->SetBackgroundStyle(bGradient); }},
        {"BeginColor", [&] { g->SetBeginColor(g->BeginColor()); }},
        {"EndColor", [&] { g->SetEndColor(clRed); }},
        {"FillStyle", [&] { g->SetFillStyle(TZelFillStyle::Circle); }},
        {"ColorCount", [&] { g->SetColorCount(7); }},
        {"ColorsInBetween", [&] { g->SetColorsInBetween(&lines); }},
        {"ColorsInBetween again", [&] { g->SetColorsInBetween(&lines); }},
        {"ColorsInBetween edited", [&] { g->ColorsInBetween()->Add("clBlue"); }},
        {"Image", [&] { t->SetImage(&picture); }},
        {"ImageStyle", [&] { t->SetImageStyle(isCenter); }},
        {"TransparentColor", [&] { t->SetTransparentColor(clNone); }},
        {"TransparentBackground", [&] { t->SetTransparentBackground(clRed); }},
        {"BrushStyle", [&] { b->SetBrushStyle(bsCross); }},
        {"BrushColor", [&] { b->SetBrushColor(clRed); }},
    };
    for (auto& [name, change] : changes) {
        log_.clear();
        change();
        EXPECT_EQ(log_, once) << name;
    }
    EXPECT_EQ(g->ColorCount(), 7);
    EXPECT_EQ(g->ColorsInBetween()->Text(), "clRed\r\nclBlue\r\n");
}

TEST_F(BackgroundNotices, ColorCountOutsideTwoTo255IsIgnoredButStillRepaints) {
    Probe("A");
    Probe("B");
    background_->Gradient()->SetColorCount(9);
    for (int value : {1, 0, 256, -3}) {
        log_.clear();
        background_->Gradient()->SetColorCount(value);
        EXPECT_EQ(background_->Gradient()->ColorCount(), 9) << value;
        EXPECT_EQ(log_, (std::vector<std::string>{"A", "B", "changed"})) << value;
    }
    background_->Gradient()->SetColorCount(2);
    EXPECT_EQ(background_->Gradient()->ColorCount(), 2);
    background_->Gradient()->SetColorCount(255);
    EXPECT_EQ(background_->Gradient()->ColorCount(), 255);
}

TEST_F(BackgroundNotices, AssigningAWholeSubObjectFailsWithTheConversionError) {
    Probe("A");
    ScopedFree<TZelBackground> owned(new TZelBackground(nullptr));
    TZelBackground& other = *owned;
    TBitmap picture(2, 2);
    auto message = [](const std::function<void()>& assign) {
        try {
            assign();
        } catch (const EConvertError& e) {
            return e.Message();
        }
        return std::string("no error");
    };
    log_.clear();
    EXPECT_EQ(message([&] { background_->SetGradient(other.Gradient()); }),
              "Cannot assign a TZelGradient to a TZelGradient");
    EXPECT_EQ(message([&] { background_->SetTexture(&picture); }),
              "Cannot assign a TBitmap to a TZelTexture");
    EXPECT_EQ(message([&] { background_->SetBrushFill(other.BrushFill()); }),
              "Cannot assign a TZelBrushFill to a TZelBrushFill");
    EXPECT_EQ(message([&] { background_->SetBrushFill(nullptr); }), "Cannot assign a nil to a TZelBrushFill");
    EXPECT_TRUE(log_.empty());
}

TEST_F(BackgroundNotices, RegisterAppendsAndUnregisterRemovesTheFirstOccurrence) {
    TProbe* a = Probe("A");
    TProbe* b = Probe("B");
    background_->RegisterControl(a);
    log_.clear();
    background_->SetSolidColor(clRed);
    EXPECT_EQ(log_, (std::vector<std::string>{"A", "B", "A", "changed"}));
    background_->UnregisterControl(a);
    log_.clear();
    background_->SetSolidColor(clRed);
    EXPECT_EQ(log_, (std::vector<std::string>{"B", "A", "changed"}));
    background_->UnregisterControl(b);
    background_->UnregisterControl(b);  // not there any more: nothing happens
    log_.clear();
    background_->SetSolidColor(clRed);
    EXPECT_EQ(log_, (std::vector<std::string>{"A", "changed"}));
}

TEST_F(BackgroundNotices, TheLinkMovesTheControlBetweenBackgroundsAndUnregistersOnDestruction) {
    TProbe* a = Probe("A");
    TProbe* b = Probe("B");
    auto* second = new TZelBackground(owner_);
    log_.clear();
    a->SetBackground(second);
    EXPECT_EQ(log_, (std::vector<std::string>{"A"}));  // setting invalidates
    EXPECT_EQ(a->Background(), second);

    log_.clear();
    background_->SetSolidColor(clRed);
    second->SetSolidColor(clRed);
    EXPECT_EQ(log_, (std::vector<std::string>{"B", "changed", "A"}));

    b->Free();
    a->SetBackground(nullptr);
    log_.clear();
    background_->SetSolidColor(clRed);
    second->SetSolidColor(clRed);
    EXPECT_EQ(log_, (std::vector<std::string>{"changed"}));
}

TEST_F(BackgroundNotices, FreeingTheBackgroundEmptiesItsControlsWhichThenPaintWithout) {
    TProbe* a = Probe("A");
    TProbe* b = Probe("B");
    background_->SetBackgroundStyle(bSolidcolor);
    background_->SetSolidColor(clTeal);
    TBitmap bitmap(6, 4);
    a->PaintTo(bitmap.Canvas()->Handle(), 0, 0);
    EXPECT_EQ(CountColor(bitmap, clTeal), 24);

    background_->Free();
    background_ = nullptr;
    EXPECT_EQ(a->Background(), nullptr);
    EXPECT_EQ(b->Background(), nullptr);
    a->PaintTo(bitmap.Canvas()->Handle(), 0, 0);
    EXPECT_EQ(CountColor(bitmap, clFuchsia), 24);
}

TEST_F(BackgroundNotices, ABackgroundOwnedElsewhereStillEmptiesItsControls) {
    TProbe* a = Probe("A");
    // A background of another form, gone first.
    auto* otherForm = new TComponent(nullptr);
    auto* shared = new TZelBackground(otherForm);
    a->SetBackground(shared);
    otherForm->Free();
    EXPECT_EQ(a->Background(), nullptr);
    TBitmap bitmap(6, 4);
    a->PaintTo(bitmap.Canvas()->Handle(), 0, 0);
    EXPECT_EQ(CountColor(bitmap, clFuchsia), 24);
}

// ---- Handles ----

TEST_F(BackgroundNotices, ManyPaintsOfEveryKindLeakNoHandle) {
    TProbe* probe = Probe("A");
    probe->SetBounds(0, 0, 47, 31);
    TBitmap picture;
    Numbered(picture, 5, 4);
    picture.SetPixelColor(1, 1, clFuchsia);
    background_->Texture()->SetImage(&picture);
    background_->Texture()->SetTransparentColor(clFuchsia);
    background_->Gradient()->ColorsInBetween()->Add("clYellow");
    background_->BrushFill()->SetBrushStyle(bsDiagCross);
    TBitmap bitmap(47, 31);
    bitmap.Canvas()->Handle();

    auto paintEverything = [&] {
        for (const TStyleCase& c : StyleCases()) {
            background_->Gradient()->SetFillStyle(c.style);
            background_->SetBackgroundStyle(bGradient);
            probe->PaintTo(bitmap.Canvas()->Handle(), 0, 0);
        }
        for (TZelImageStyle style : {isTile, isCenter, isStretched}) {
            background_->Texture()->SetImageStyle(style);
            background_->SetBackgroundStyle(bTexture);
            probe->PaintTo(bitmap.Canvas()->Handle(), 0, 0);
        }
        for (TZelBackStyle style : {bSolidcolor, bBrushFillUseCurrent, bBrushFillSolidColor}) {
            background_->SetBackgroundStyle(style);
            probe->PaintTo(bitmap.Canvas()->Handle(), 0, 0);
        }
        background_->PaintBehind(bitmap.Canvas(), 47, 31, clWhite, false);
    };
    paintEverything();  // first-use caches
    int live = gdi::LiveObjects(), failed = gdi::FailedDeletes();
    DWORD system = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    for (int i = 0; i < 20; ++i)
        paintEverything();
    EXPECT_EQ(gdi::LiveObjects(), live);
    EXPECT_EQ(gdi::FailedDeletes(), failed);
    if (system != 0) {  // zero: the system does not count (Wine)
        EXPECT_EQ(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), system);
    }
}
