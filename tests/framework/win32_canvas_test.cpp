// Canvas drawing read back from an off-screen DIB: edges, pens, hatch
// brushes, text, BrushCopy, and no object left selected in the DC.
#include <gtest/gtest.h>

#include "framework/core/sysutils.h"
#include "framework/win32/graphics.h"
#include "tests/framework/win32_test_support.h"

using namespace vexel;
using vexel::testing::Fill;

namespace {

int CountColor(TBitmap& bitmap, TColor color) {
    int count = 0;
    for (int y = 0; y < bitmap.Height(); ++y)
        for (int x = 0; x < bitmap.Width(); ++x)
            count += bitmap.PixelColor(x, y) == color;
    return count;
}

}  // namespace

TEST(Canvas, FillRectCoversLeftAndTopEdgesOnly) {
    TBitmap bitmap(10, 10);
    TCanvas* canvas = bitmap.Canvas();
    canvas->Brush()->SetColor(clRed);
    canvas->FillRect({2, 3, 5, 7});
    EXPECT_EQ(bitmap.PixelColor(2, 3), clRed);
    EXPECT_EQ(bitmap.PixelColor(4, 6), clRed);
    EXPECT_EQ(bitmap.PixelColor(5, 6), clWhite);
    EXPECT_EQ(bitmap.PixelColor(4, 7), clWhite);
    EXPECT_EQ(bitmap.PixelColor(1, 3), clWhite);
    EXPECT_EQ(CountColor(bitmap, clRed), 3 * 4);
}

TEST(Canvas, LineToLeavesTheEndPointOut) {
    TBitmap bitmap(10, 10);
    TCanvas* canvas = bitmap.Canvas();
    canvas->Pen()->SetColor(clBlue);
    canvas->MoveTo(1, 2);
    canvas->LineTo(6, 2);
    for (int x = 1; x < 6; ++x)
        EXPECT_EQ(bitmap.PixelColor(x, 2), clBlue) << x;
    EXPECT_EQ(bitmap.PixelColor(6, 2), clWhite);
    EXPECT_EQ(canvas->PenPos(), Point(6, 2));
}

TEST(Canvas, SystemColoursResolveThroughTheSystem) {
    EXPECT_EQ(ColorToRGB(clBtnFace), static_cast<TColor>(GetSysColor(COLOR_BTNFACE)));
    TBitmap bitmap(4, 4);
    Fill(bitmap, clBtnShadow);
    EXPECT_EQ(bitmap.PixelColor(1, 1), static_cast<TColor>(GetSysColor(COLOR_BTNSHADOW)));
}

TEST(Canvas, HatchBrushesDrawOnlyTheirLines) {
    TBitmap bitmap(16, 16);
    Fill(bitmap, clLime);
    TCanvas* canvas = bitmap.Canvas();
    canvas->Brush()->SetStyle(bsHorizontal);
    canvas->Brush()->SetColor(clRed);
    canvas->FillRect({0, 0, 16, 16});
    int redRows = 0, untouchedRows = 0;
    for (int y = 0; y < 16; ++y) {
        int red = 0, lime = 0;
        for (int x = 0; x < 16; ++x) {
            red += bitmap.PixelColor(x, y) == clRed;
            lime += bitmap.PixelColor(x, y) == clLime;
        }
        EXPECT_EQ(red + lime, 16) << "row " << y << " has a colour that is neither hatch nor ground";
        redRows += red == 16;
        untouchedRows += lime == 16;
    }
    EXPECT_EQ(redRows, 2);  // one line per 8 rows
    EXPECT_EQ(untouchedRows, 14);
}

TEST(Canvas, ClearBrushLeavesTheInsideOfShapes) {
    TBitmap bitmap(10, 10);
    Fill(bitmap, clYellow);
    TCanvas* canvas = bitmap.Canvas();
    canvas->Brush()->SetStyle(bsClear);
    canvas->Pen()->SetColor(clNavy);
    canvas->Rectangle(1, 1, 9, 9);
    EXPECT_EQ(bitmap.PixelColor(1, 1), clNavy);
    EXPECT_EQ(bitmap.PixelColor(8, 8), clNavy);
    EXPECT_EQ(bitmap.PixelColor(9, 9), clYellow);
    EXPECT_EQ(bitmap.PixelColor(4, 4), clYellow);
}

TEST(Canvas, XorPenModeUndoesItselfWhenDrawnTwice) {
    TBitmap bitmap(8, 8);
    Fill(bitmap, 0x123456);
    TCanvas* canvas = bitmap.Canvas();
    canvas->Pen()->SetMode(pmXor);
    canvas->Pen()->SetColor(clWhite);
    canvas->MoveTo(0, 3);
    canvas->LineTo(8, 3);
    EXPECT_EQ(bitmap.PixelColor(2, 3), 0x123456u ^ 0xFFFFFFu);
    canvas->MoveTo(0, 3);
    canvas->LineTo(8, 3);
    EXPECT_EQ(bitmap.PixelColor(2, 3), 0x123456u);
}

TEST(Canvas, TextBackgroundFollowsTheBrush) {
    TBitmap bitmap(60, 20);
    TCanvas* canvas = bitmap.Canvas();
    canvas->Font()->SetQuality(fqNonAntialiased);
    canvas->Font()->SetColor(clBlack);
    canvas->Brush()->SetColor(clYellow);
    canvas->TextOut(2, 2, "Wg");
    EXPECT_GT(CountColor(bitmap, clYellow), 0);
    EXPECT_GT(CountColor(bitmap, clBlack), 0);
    int width = canvas->TextWidth("Wg");
    EXPECT_EQ(canvas->PenPos(), Point(2 + width, 2));

    Fill(bitmap, clWhite);
    canvas->Brush()->SetStyle(bsClear);
    canvas->TextOut(2, 2, "Wg");
    EXPECT_EQ(CountColor(bitmap, clYellow), 0);
    EXPECT_GT(CountColor(bitmap, clBlack), 0);
}

TEST(Canvas, NothingStaysSelectedAfterADrawingCall) {
    TBitmap bitmap(8, 8);
    TCanvas* canvas = bitmap.Canvas();
    HDC dc = canvas->Handle();
    HGDIOBJ pen = GetCurrentObject(dc, OBJ_PEN), brush = GetCurrentObject(dc, OBJ_BRUSH),
            font = GetCurrentObject(dc, OBJ_FONT);
    canvas->Brush()->SetColor(clRed);
    canvas->Pen()->SetColor(clGreen);
    canvas->Rectangle(0, 0, 5, 5);
    canvas->TextOut(0, 0, "x");
    EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), pen);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), brush);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), font);
    // So changing the objects frees their old handles for real.
    int failed = gdi::FailedDeletes();
    canvas->Brush()->SetColor(clBlue);
    canvas->Pen()->SetWidth(3);
    canvas->Font()->SetHeight(-20);
    EXPECT_EQ(gdi::FailedDeletes(), failed);
}

TEST(Canvas, BrushCopyReplacesExactlyTheGivenColour) {
    TBitmap source(4, 1);
    source.SetPixelColor(0, 0, clRed);
    source.SetPixelColor(1, 0, 0x0000FE);  // one step from red: must survive
    source.SetPixelColor(2, 0, clRed);
    source.SetPixelColor(3, 0, clBlack);

    TBitmap dest(6, 3);
    Fill(dest, clGray);
    dest.Canvas()->Brush()->SetColor(clLime);
    dest.Canvas()->BrushCopy({1, 1, 5, 2}, &source, {0, 0, 4, 1}, clRed);
    EXPECT_EQ(dest.PixelColor(1, 1), clLime);
    EXPECT_EQ(dest.PixelColor(2, 1), 0x0000FEu);
    EXPECT_EQ(dest.PixelColor(3, 1), clLime);
    EXPECT_EQ(dest.PixelColor(4, 1), clBlack);
    EXPECT_EQ(dest.PixelColor(0, 1), clGray);
    EXPECT_EQ(dest.PixelColor(5, 1), clGray);
    EXPECT_EQ(source.PixelColor(0, 0), clRed);  // the source is untouched
}

TEST(Canvas, BrushCopyWithAClearBrushLeavesTheGivenColourOut) {
    TBitmap source(3, 1);
    source.SetPixelColor(0, 0, clRed);
    source.SetPixelColor(1, 0, clBlue);
    source.SetPixelColor(2, 0, clWhite);
    TBitmap dest(3, 1);
    Fill(dest, clGray);
    dest.Canvas()->Brush()->SetStyle(bsClear);
    dest.Canvas()->BrushCopy({0, 0, 3, 1}, &source, {0, 0, 3, 1}, clRed);
    EXPECT_EQ(dest.PixelColor(0, 0), clGray);
    EXPECT_EQ(dest.PixelColor(1, 0), clBlue);
    EXPECT_EQ(dest.PixelColor(2, 0), clWhite);
}

TEST(Canvas, ShapesHaveAPenOutlineAndABrushInside) {
    TBitmap bitmap(21, 21);
    TCanvas* canvas = bitmap.Canvas();
    canvas->Pen()->SetColor(clNavy);
    canvas->Brush()->SetColor(clYellow);
    canvas->Ellipse(0, 0, 21, 21);
    EXPECT_EQ(bitmap.PixelColor(10, 10), clYellow);
    EXPECT_EQ(bitmap.PixelColor(10, 0), clNavy);
    EXPECT_EQ(bitmap.PixelColor(0, 0), clWhite);  // outside the circle

    Fill(bitmap, clWhite);  // (Fill uses the same canvas brush)
    canvas->Brush()->SetColor(clYellow);
    canvas->RoundRect(0, 0, 21, 21, 10, 10);
    EXPECT_EQ(bitmap.PixelColor(0, 0), clWhite);  // rounded corner
    EXPECT_EQ(bitmap.PixelColor(10, 0), clNavy);
    EXPECT_EQ(bitmap.PixelColor(10, 10), clYellow);

    Fill(bitmap, clWhite);
    canvas->Arc(0, 0, 21, 21, 21, 10, 0, 10);  // upper half, counter-clockwise
    EXPECT_EQ(bitmap.PixelColor(10, 0), clNavy);
    EXPECT_EQ(bitmap.PixelColor(10, 20), clWhite);
    EXPECT_EQ(bitmap.PixelColor(10, 10), clWhite);  // an arc fills nothing

    Fill(bitmap, clWhite);
    canvas->Brush()->SetColor(clRed);
    canvas->FrameRect({2, 2, 8, 8});
    EXPECT_EQ(bitmap.PixelColor(2, 2), clRed);
    EXPECT_EQ(bitmap.PixelColor(7, 7), clRed);
    EXPECT_EQ(bitmap.PixelColor(4, 4), clWhite);
    EXPECT_EQ(bitmap.PixelColor(8, 8), clWhite);

    canvas->SetPixels(15, 15, clGreen);
    EXPECT_EQ(canvas->Pixels(15, 15), clGreen);
}

TEST(Canvas, CopyRectStretchesBetweenCanvases) {
    TBitmap source(2, 1), dest(6, 3);
    source.SetPixelColor(0, 0, clRed);
    source.SetPixelColor(1, 0, clBlue);
    dest.Canvas()->CopyRect({0, 0, 4, 2}, source.Canvas(), {0, 0, 2, 1});
    EXPECT_EQ(dest.PixelColor(0, 0), clRed);
    EXPECT_EQ(dest.PixelColor(1, 1), clRed);
    EXPECT_EQ(dest.PixelColor(3, 1), clBlue);
    EXPECT_EQ(dest.PixelColor(4, 0), clWhite);
    EXPECT_EQ(dest.PixelColor(0, 2), clWhite);
}

TEST(Canvas, DrawAndStretchDrawCopyABitmap) {
    TBitmap tile(2, 2);
    Fill(tile, clRed);
    tile.SetPixelColor(1, 1, clBlue);
    TBitmap dest(8, 8);
    dest.Canvas()->Draw(3, 4, &tile);
    EXPECT_EQ(dest.PixelColor(3, 4), clRed);
    EXPECT_EQ(dest.PixelColor(4, 5), clBlue);
    EXPECT_EQ(dest.PixelColor(5, 6), clWhite);
    dest.Canvas()->StretchDraw({0, 0, 8, 8}, &tile);
    EXPECT_EQ(dest.PixelColor(0, 0), clRed);
    EXPECT_EQ(dest.PixelColor(7, 7), clBlue);
    EXPECT_EQ(dest.PixelColor(3, 3), clRed);
}

TEST(Canvas, Frame3DGivesCornersToTheBottomColour) {
    TBitmap bitmap(10, 10);
    TRect rect{0, 0, 10, 10};
    Frame3D(bitmap.Canvas(), rect, clRed, clBlue, 2);
    EXPECT_EQ(rect, Rect(2, 2, 8, 8));
    EXPECT_EQ(bitmap.PixelColor(0, 0), clRed);
    EXPECT_EQ(bitmap.PixelColor(0, 5), clRed);
    EXPECT_EQ(bitmap.PixelColor(5, 0), clRed);
    EXPECT_EQ(bitmap.PixelColor(9, 0), clBlue);  // top-right
    EXPECT_EQ(bitmap.PixelColor(0, 9), clBlue);  // bottom-left
    EXPECT_EQ(bitmap.PixelColor(9, 9), clBlue);
    EXPECT_EQ(bitmap.PixelColor(1, 1), clRed);   // second ring
    EXPECT_EQ(bitmap.PixelColor(8, 8), clBlue);
    EXPECT_EQ(bitmap.PixelColor(2, 2), clWhite);
}

TEST(Canvas, AnUnboundCanvasRefusesToDraw) {
    TCanvas canvas;
    EXPECT_EQ(canvas.Handle(), nullptr);
    try {
        canvas.FillRect({0, 0, 1, 1});
        FAIL();
    } catch (const EInvalidOperation& e) {
        EXPECT_EQ(e.Message(), "Canvas does not allow drawing");
    }
}

TEST(Canvas, ScopedHandleBindsAndRestores) {
    TBitmap a(4, 4), b(4, 4);
    TCanvas canvas;
    {
        ScopedCanvasHandle outer(canvas, a.Canvas()->Handle());
        {
            ScopedCanvasHandle inner(canvas, b.Canvas()->Handle());
            canvas.Brush()->SetColor(clRed);
            canvas.FillRect({0, 0, 4, 4});
        }
        EXPECT_EQ(canvas.Handle(), a.Canvas()->Handle());
    }
    EXPECT_FALSE(canvas.HandleAllocated());
    EXPECT_EQ(b.PixelColor(0, 0), clRed);
    EXPECT_EQ(a.PixelColor(0, 0), clWhite);
}

TEST(Font, SizeAndHeightAgreeAtTheScreenResolution) {
    TFont font;
    font.SetSize(12);
    EXPECT_EQ(font.Height(), -vexel::MulDiv(12, TFont::PixelsPerInch(), 72));
    EXPECT_EQ(font.Size(), 12);
    HFONT before = font.Handle();
    LOGFONTA lf{};
    GetObjectA(before, sizeof(lf), &lf);
    EXPECT_EQ(lf.lfHeight, font.Height());
    font.SetStyle(fsBold | fsItalic);
    GetObjectA(font.Handle(), sizeof(lf), &lf);
    EXPECT_EQ(lf.lfWeight, FW_BOLD);
    EXPECT_TRUE(lf.lfItalic);
}

TEST(Font, ChangesAreAnnouncedAndAssignCopies) {
    TFont a, b;
    int changes = 0;
    b.OnChange = [&](TObject*) { ++changes; };
    a.SetName("Arial");
    a.SetHeight(-16);
    a.SetColor(clRed);
    a.SetStyle(fsBold);
    b.Assign(&a);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(b.Name(), "Arial");
    EXPECT_EQ(b.Height(), -16);
    EXPECT_EQ(b.Color(), clRed);
    EXPECT_EQ(b.Style(), static_cast<TFontStyles>(fsBold));
    TPen pen;
    try {
        b.Assign(&pen);
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "Cannot assign a TPen to a TFont");
    }
}
