// Pixel helpers of the painted-control tests: counting colours, and the
// expected look of layered text copies built from the shape of one plain
// copy drawn by the canvas itself.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/win32/graphics.h"
#include "tests/framework/win32_test_support.h"

namespace vexel::testing {

// The colour the painted-control tests give their text and lines.
constexpr TColor kInk = clRed;

inline int CountColor(TBitmap& bitmap, TColor color, const TRect& area) {
    int count = 0;
    for (int y = area.Top; y < area.Bottom; ++y)
        for (int x = area.Left; x < area.Right; ++x)
            count += bitmap.PixelColor(x, y) == color;
    return count;
}

inline int CountColor(TBitmap& bitmap, TColor color) {
    return CountColor(bitmap, color, {0, 0, bitmap.Width(), bitmap.Height()});
}

// A font whose pixels are the same on every run: no smoothing.
inline void SharpFont(TFont& font, TColor color) {
    font.SetName("Tahoma");
    font.SetHeight(-13);
    font.SetStyle(fsBold);
    font.SetQuality(fqNonAntialiased);
    font.SetColor(color);
}

// Which pixels one copy of Text covers when the canvas draws it at Rect.
class TTextShape {
public:
    TTextShape(int width, int height, TFont& font, const std::string& text, const TRect& rect, UINT format)
        : width_(width), height_(height), ink_(static_cast<size_t>(width * height)) {
        TBitmap bitmap(width, height);
        TCanvas* canvas = bitmap.Canvas();
        canvas->SetFont(&font);
        canvas->Font()->SetColor(clBlack);
        canvas->Brush()->SetStyle(bsClear);
        TRect r = rect;
        canvas->DrawTextRect(r, text, format | DT_NOCLIP);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                ink_[static_cast<size_t>(y * width + x)] = bitmap.PixelColor(x, y) == clBlack;
    }

    bool Covers(int x, int y) const {
        return x >= 0 && y >= 0 && x < width_ && y < height_ && ink_[static_cast<size_t>(y * width_ + x)];
    }
    int Count() const {
        int n = 0;
        for (bool b : ink_)
            n += b;
        return n;
    }

private:
    int width_, height_;
    std::vector<bool> ink_;
};

// One copy of the text moved by (dx, dy) in a colour, as drawn in order.
struct TCopy {
    int dx, dy;
    TColor color;
};

// Compares every pixel of bitmap with the copies laid over ground in order;
// reports the first few differences. Colours are compared resolved.
inline ::testing::AssertionResult LooksLike(TBitmap& bitmap, const TTextShape& shape, TColor ground,
                                            const std::vector<TCopy>& copies) {
    int wrong = 0;
    std::string report;
    for (int y = 0; y < bitmap.Height(); ++y) {
        for (int x = 0; x < bitmap.Width(); ++x) {
            TColor expected = ColorToRGB(ground);
            for (const TCopy& copy : copies)
                if (shape.Covers(x - copy.dx, y - copy.dy))
                    expected = ColorToRGB(copy.color);
            TColor seen = bitmap.PixelColor(x, y);
            if (seen != expected && ++wrong <= 5)
                report += " (" + std::to_string(x) + "," + std::to_string(y) + "): " + ColorToString(seen) +
                          " not " + ColorToString(expected) + ";";
        }
    }
    if (wrong == 0)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << wrong << " pixels differ:" << report;
}

}  // namespace vexel::testing
