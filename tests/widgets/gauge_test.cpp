// The gauge rendered off-screen and once on a shown window: bar geometry and
// fill, the segment pattern, the text, the picture's place, drawing at once
// when the percentage changes, and its background.
#include <gtest/gtest.h>

#include "framework/core/sysutils.h"
#include "framework/win32/forms.h"
#include "widgets/background.h"
#include "widgets/gauge.h"
#include "tests/widgets/widget_pixels.h"

using namespace vexel;
using vexel::testing::CountColor;
using vexel::testing::Fill;
using vexel::testing::FrameworkTest;
using vexel::testing::kInk;
using vexel::testing::SharpFont;

namespace {


// A gauge whose text is plain red, so that bar pixels are navy, white or red.
struct GaugeCase {
    TZelGauge* gauge;
    explicit GaugeCase(int width = 140, int height = 36, TComponent* owner = nullptr) : gauge(new TZelGauge(owner)) {
        gauge->SetBounds(0, 0, width, height);
        SharpFont(*gauge->Font(), kInk);
        gauge->Font3D()->SetThreeDimensional(false);
        owned_ = owner == nullptr;
    }
    ~GaugeCase() {
        if (owned_)
            gauge->Free();
    }
    TZelGauge* operator->() { return gauge; }

    // The whole control painted into a fresh white bitmap.
    TBitmap& Render() {
        image.SetSize(0, 0);
        image.SetSize(gauge->Width(), gauge->Height());
        gauge->PaintTo(image.Canvas()->Handle(), 0, 0);
        return image;
    }
    TBitmap image;

private:
    bool owned_ = true;
};

// Navy columns along row y between x0 and x1 (exclusive).
int NavyRun(TBitmap& bitmap, int y, int x0, int x1) {
    return CountColor(bitmap, clNavy, {x0, y, x1, y + 1});
}

}  // namespace

class Gauge : public FrameworkTest {};

TEST_F(Gauge, Defaults) {
    auto* fresh = new TZelGauge(nullptr);
    EXPECT_EQ(fresh->Width(), 140);
    EXPECT_EQ(fresh->Height(), 36);
    EXPECT_EQ(fresh->Percentage(), 0);
    EXPECT_EQ(fresh->Kind(), kHorizontal);
    EXPECT_EQ(fresh->SegmentWidth(), 8);
    EXPECT_EQ(fresh->SegmentGap(), 2);
    EXPECT_EQ(fresh->SegmentColor(), clNavy);
    EXPECT_EQ(fresh->InsideBackColor(), clWhite);
    EXPECT_EQ(fresh->Borderwidth(), 6);
    EXPECT_EQ(fresh->BevelOuter()->FrameStyle(), frameRaised);
    EXPECT_EQ(fresh->BevelOuter()->FrameWidth(), 1);
    EXPECT_EQ(fresh->BevelInner()->FrameStyle(), frameLowered);
    EXPECT_EQ(fresh->BevelInner()->FrameWidth(), 1);
    EXPECT_TRUE(fresh->Glyph()->Bitmap()->Empty());
    EXPECT_EQ(fresh->PicturePosition(), pLeft);
    EXPECT_EQ(fresh->Font3D()->Style3D(), fontOnlyHighlight);
    EXPECT_EQ(fresh->Background(), nullptr);
    // 1 (outer bevel) + 6 - 1 + 1 (inner bevel) from the left and top;
    // 1 + 6 + 1 from the right and bottom.
    EXPECT_EQ(fresh->BarRect(), Rect(7, 7, 132, 28));
    fresh->Free();
}

TEST_F(Gauge, EmptyBarShowsTheBevelsAndZeroPercent) {
    GaugeCase g;
    TBitmap& image = g.Render();
    const TRect bar = g->BarRect();
    EXPECT_EQ(image.PixelColor(0, 15), ColorToRGB(clBtnHighlight));    // outer, raised
    EXPECT_EQ(image.PixelColor(139, 15), ColorToRGB(clBtnShadow));
    EXPECT_EQ(image.PixelColor(bar.Left - 1, 15), ColorToRGB(clBtnShadow));  // inner, lowered
    EXPECT_EQ(image.PixelColor(bar.Right, 15), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(NavyRun(image, bar.Top, 0, 140), 0);

    // The bar holds nothing but the text "0 %", centred as DrawText3D puts it.
    TBitmap expected(140, 36);
    DrawText3D(g->Font3D(), g->Font(), expected.Canvas()->Handle(), true, DT_CENTER | DT_VCENTER | DT_SINGLELINE,
               "0 %", bar);
    int differ = 0;
    for (int y = bar.Top; y < bar.Bottom; ++y)
        for (int x = bar.Left; x < bar.Right; ++x)
            differ += image.PixelColor(x, y) != expected.PixelColor(x, y);
    EXPECT_EQ(differ, 0);
    EXPECT_GT(CountColor(image, kInk, bar), 10);
}

TEST_F(Gauge, HalfOfAnInnerWidthOf301Is151Columns) {
    // Width 316: the bar runs from x 7 to 308, 301 columns.
    GaugeCase g(316);
    g->SetSegmentGap(0);
    ASSERT_EQ(g->BarRect().Width(), 301);
    g->SetPercentage(50);
    TBitmap& image = g.Render();
    const int top = g->BarRect().Top;
    EXPECT_EQ(NavyRun(image, top, 0, 316), 151);
    EXPECT_EQ(image.PixelColor(7, top), clNavy);
    EXPECT_EQ(image.PixelColor(157, top), clNavy);
    EXPECT_EQ(image.PixelColor(158, top), clWhite);
    EXPECT_EQ(image.PixelColor(7, g->BarRect().Bottom - 1), clNavy);  // full height
}

TEST_F(Gauge, PercentagesAboveHundredAreStoredAsHundred) {
    GaugeCase g;
    g->SetSegmentGap(0);
    g->SetPercentage(255);
    EXPECT_EQ(g->Percentage(), 100);
    TBitmap& image = g.Render();
    const TRect bar = g->BarRect();
    EXPECT_EQ(NavyRun(image, bar.Top, 0, 140), bar.Width());
    EXPECT_EQ(NavyRun(image, bar.Bottom - 1, 0, 140), bar.Width());
    g->SetPercentage(-4);
    EXPECT_EQ(g->Percentage(), 0);
}

TEST_F(Gauge, VerticalBarsGrowUpwards) {
    GaugeCase g(80, 116);
    g->SetKind(kVertical);
    g->SetSegmentGap(0);
    const TRect bar = g->BarRect();
    ASSERT_EQ(bar, Rect(7, 7, 72, 108));
    // Rows 107 up to 107 - Round(100 * p / 100).
    for (int percent : {33, 50, 100}) {
        g->SetPercentage(percent);
        TBitmap& image = g.Render();
        int top = 107 - percent;
        for (int y = bar.Top; y < bar.Bottom; ++y)
            EXPECT_EQ(image.PixelColor(bar.Left, y), y >= top ? clNavy : clWhite) << percent << "% row " << y;
        EXPECT_EQ(NavyRun(image, 107, 0, 80), bar.Width()) << percent;
    }
}

TEST_F(Gauge, LoweringThePercentageRedrawsOnlyTheBar) {
    GaugeCase g;
    g->SetSegmentGap(0);
    g->SetPercentage(80);
    TBitmap& image = g.Render();
    const TRect bar = g->BarRect();
    image.SetPixelColor(3, 3, clLime);  // between the bevels: a full paint would clear it
    {
        // Bound as while painting: the setter draws on what the canvas holds.
        ScopedCanvasHandle bind(*g->Canvas(), image.Canvas()->Handle());
        g->SetPercentage(20);
    }
    // n = Round(124 * 20 / 100) = 25: columns 7 to 32.
    EXPECT_EQ(NavyRun(image, bar.Top, 0, 140), 26);
    EXPECT_EQ(image.PixelColor(32, bar.Top), clNavy);
    for (int x = 33; x < bar.Right; ++x)
        ASSERT_EQ(image.PixelColor(x, bar.Top), clWhite) << x;
    EXPECT_EQ(image.PixelColor(3, 3), clLime);
    // The text was redrawn too, on the new bar.
    TBitmap fresh(140, 36);
    g->PaintTo(fresh.Canvas()->Handle(), 0, 0);
    int differ = 0;
    for (int y = bar.Top; y < bar.Bottom; ++y)
        for (int x = bar.Left; x < bar.Right; ++x)
            differ += image.PixelColor(x, y) != fresh.PixelColor(x, y);
    EXPECT_EQ(differ, 0);
}

TEST_F(Gauge, SegmentsAreAnchoredToControlCoordinates) {
    // Defaults: period 10, the line at x mod 10 = 9 is the gap. The two bars
    // start at x 7 and x 10, so their first gaps are 2 and 9 columns in.
    GaugeCase narrow, wide(140, 46);
    wide->SetBorderwidth(9);
    for (GaugeCase* g : {&narrow, &wide}) {
        g->gauge->SetPercentage(100);
        TBitmap& image = g->Render();
        const TRect bar = g->gauge->BarRect();
        for (int x = bar.Left; x < bar.Right; ++x)
            ASSERT_EQ(image.PixelColor(x, bar.Top), x % 10 == 9 ? clWhite : clNavy) << "x " << x;
    }
    EXPECT_NE(narrow->BarRect().Left, wide->BarRect().Left);

    // Vertical bars count rows; width 3 and gap 3 leave two gap lines a period.
    GaugeCase tall(60, 100);
    tall->SetKind(kVertical);
    tall->SetSegmentWidth(3);
    tall->SetSegmentGap(3);
    tall->SetPercentage(100);
    TBitmap& image = tall.Render();
    const TRect bar = tall->BarRect();
    for (int y = bar.Top; y < bar.Bottom; ++y)
        ASSERT_EQ(image.PixelColor(bar.Left, y), y % 6 > 3 ? clWhite : clNavy) << "y " << y;
}

TEST_F(Gauge, AZeroSegmentPeriodGivesASolidBar) {
    GaugeCase g;
    g->SetSegmentWidth(0);
    g->SetSegmentGap(0);
    g->SetPercentage(100);
    TBitmap& image = g.Render();
    const TRect bar = g->BarRect();
    EXPECT_EQ(NavyRun(image, bar.Top, 0, 140), bar.Width());
    EXPECT_EQ(g->SegmentLineColor(-7), clNavy);
    // A zero width with a gap keeps one line a period.
    g->SetSegmentGap(4);
    EXPECT_EQ(g->SegmentLineColor(8), clNavy);
    EXPECT_EQ(g->SegmentLineColor(9), clWhite);
}

TEST_F(Gauge, ThePictureSitsBesideTheBarAndWidensItsMargin) {
    TBitmap picture(10, 10);
    Fill(picture, clGreen);
    const struct {
        TZelPosition position;
        int borderwidth;
        TPoint at;
        TRect bar;
    } cases[] = {
        {pLeft, 6, {5, 13}, {17, 7, 132, 28}},
        {pLeft, 5, {4, 13}, {16, 6, 133, 29}},  // Round(2.5) = 2
        {pRight, 6, {127, 13}, {7, 7, 122, 28}},
        {pTop, 6, {65, 5}, {7, 17, 132, 28}},
        {pBottom, 6, {66, 22}, {7, 7, 132, 18}},
    };
    for (const auto& c : cases) {
        GaugeCase g;
        g->Glyph()->SetBitmap(&picture);
        g->SetPicturePosition(c.position);
        g->SetBorderwidth(static_cast<uint8_t>(c.borderwidth));
        EXPECT_EQ(g->BarRect(), c.bar) << "position " << c.position;
        TBitmap& image = g.Render();
        EXPECT_EQ(CountColor(image, clGreen), 100) << "position " << c.position;
        EXPECT_EQ(image.PixelColor(c.at.X, c.at.Y), clGreen) << "position " << c.position;
        EXPECT_EQ(image.PixelColor(c.at.X + 9, c.at.Y + 9), clGreen) << "position " << c.position;
    }
}

TEST_F(Gauge, PaintsItsBackgroundAndForgetsItWhenItIsFreed) {
    auto* owner = new TComponent(nullptr);
    auto* background = new TZelBackground(owner);
    background->SetBackgroundStyle(bSolidcolor);
    background->SetSolidColor(clLime);
    GaugeCase g(140, 36, owner);
    g->SetBackground(background);
    EXPECT_EQ(g->Background(), background);
    EXPECT_EQ(g.Render().PixelColor(3, 3), clLime);
    background->Free();
    EXPECT_EQ(g->Background(), nullptr);
    EXPECT_EQ(g.Render().PixelColor(3, 3), clWhite);
    owner->Free();
}

TEST_F(Gauge, SettingThePercentageDrawsOnTheScreenAtOnce) {
    TForm* form = new TForm(nullptr);
    form->SetBorderStyle(bsNone);
    form->SetBounds(100, 100, 200, 80);
    form->SetColor(clWhite);
    auto* gauge = new TZelGauge(form);
    gauge->SetParent(form);
    gauge->SetBounds(20, 10, 140, 36);
    gauge->SetSegmentGap(0);
    form->Show();
    App()->ProcessMessages();
    HWND window = form->Handle();
    const TRect bar = gauge->BarRect();
    const int x = 20 + bar.Left + 2, y = 10 + bar.Top;
    {
        ScopedGetDC dc(window);
        EXPECT_EQ(GetPixel(dc.Get(), x, y), RGB(255, 255, 255));
    }
    ValidateRect(window, nullptr);
    gauge->SetPercentage(100);  // no message is handled after this
    {
        ScopedGetDC dc(window);
        EXPECT_EQ(GetPixel(dc.Get(), x, y), RGB(0, 0, 0x80));
        EXPECT_EQ(GetPixel(dc.Get(), 20 + bar.Right - 1, y), RGB(0, 0, 0x80));
    }
    RECT update{};
    EXPECT_FALSE(GetUpdateRect(window, &update, FALSE));  // drawn, not merely invalidated

    // Sub-object changes do invalidate the gauge.
    gauge->BevelInner()->SetShadow(clRed);
    ASSERT_TRUE(GetUpdateRect(window, &update, FALSE));
    EXPECT_EQ(FromRECT(update), Rect(20, 10, 160, 46));
    form->Hide();
    form->Free();
}
