// TBitmap pixels, sizing, masks, copying and files; masked drawing through
// the image list.
#include <gtest/gtest.h>

#include <string>

#include "framework/core/sysutils.h"
#include "framework/win32/graphics.h"
#include "framework/win32/image_list.h"
#include "tests/framework/win32_test_support.h"

using namespace vexel;
using vexel::testing::Fill;

namespace {

std::string TempPath(const char* name) {
    char dir[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, dir);
    return std::string(dir) + name;
}

}  // namespace

TEST(Bitmap, StartsWhiteAndKeepsPixelsWhenResized) {
    TBitmap bitmap(3, 2);
    EXPECT_EQ(bitmap.PixelColor(2, 1), clWhite);
    bitmap.SetPixelColor(1, 1, clRed);
    bitmap.SetSize(5, 4);
    EXPECT_EQ(bitmap.PixelColor(1, 1), clRed);
    EXPECT_EQ(bitmap.PixelColor(4, 3), clWhite);
    bitmap.SetSize(2, 2);
    EXPECT_EQ(bitmap.PixelColor(1, 1), clRed);
    bitmap.SetHeight(0);
    EXPECT_TRUE(bitmap.Empty());
    EXPECT_EQ(bitmap.Handle(), nullptr);
}

TEST(Bitmap, ScanLinesHoldBlueInTheLowByte) {
    TBitmap bitmap(2, 2);
    bitmap.SetPixelColor(1, 0, RGBColor(0x11, 0x22, 0x33));
    EXPECT_EQ(bitmap.ScanLine(0)[1], 0x00112233u);
    bitmap.ScanLine(1)[0] = 0x00AABBCC;
    EXPECT_EQ(bitmap.PixelColor(0, 1), RGBColor(0xAA, 0xBB, 0xCC));
    EXPECT_THROW(bitmap.ScanLine(2), EInvalidGraphicOperation);
    EXPECT_THROW(bitmap.PixelColor(-1, 0), EInvalidGraphicOperation);
}

TEST(Bitmap, CanvasDrawingIsSeenByDirectPixelAccess) {
    TBitmap bitmap(4, 4);
    bitmap.Canvas()->Pen()->SetColor(clTeal);
    bitmap.Canvas()->MoveTo(0, 0);
    bitmap.Canvas()->LineTo(4, 4);
    EXPECT_EQ(bitmap.PixelColor(2, 2), clTeal);
    EXPECT_EQ(bitmap.Canvas()->Pixels(2, 2), clTeal);
}

TEST(Bitmap, MaskTurnsTheColourWhiteAndEverythingElseBlack) {
    TBitmap bitmap(4, 1);
    bitmap.SetPixelColor(0, 0, clRed);
    bitmap.SetPixelColor(1, 0, 0x0000FE);
    bitmap.SetPixelColor(2, 0, clBlack);
    bitmap.SetPixelColor(3, 0, clWhite);
    bitmap.Mask(clRed);
    EXPECT_EQ(bitmap.PixelColor(0, 0), clWhite);
    EXPECT_EQ(bitmap.PixelColor(1, 0), clBlack);
    EXPECT_EQ(bitmap.PixelColor(2, 0), clBlack);
    EXPECT_EQ(bitmap.PixelColor(3, 0), clBlack);

    TBitmap system(1, 1);
    Fill(system, clBtnFace);
    system.Mask(clBtnFace);  // system colours resolve before comparing
    EXPECT_EQ(system.PixelColor(0, 0), clWhite);
}

TEST(Bitmap, AssignMakesAnIndependentCopy) {
    TBitmap a(3, 3), b;
    a.SetPixelColor(2, 2, clPurple);
    b.Assign(&a);
    EXPECT_EQ(b.Width(), 3);
    EXPECT_EQ(b.PixelColor(2, 2), clPurple);
    a.SetPixelColor(2, 2, clOlive);
    EXPECT_EQ(b.PixelColor(2, 2), clPurple);
    b.Assign(nullptr);
    EXPECT_TRUE(b.Empty());
    TFont font;
    try {
        b.Assign(&font);
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "Cannot assign a TFont to a TBitmap");
    }
}

TEST(Bitmap, ChangesAreAnnounced) {
    TBitmap bitmap;
    int changes = 0;
    bitmap.OnChange = [&](TObject* sender) {
        EXPECT_EQ(sender, &bitmap);
        ++changes;
    };
    bitmap.SetSize(4, 4);
    EXPECT_EQ(changes, 1);
    bitmap.Canvas()->FillRect({0, 0, 2, 2});
    EXPECT_EQ(changes, 2);
    bitmap.Mask(clWhite);
    EXPECT_EQ(changes, 3);
}

TEST(Bitmap, FreeContextReleasesTheBitmapForOtherDCs) {
    TBitmap bitmap(2, 2);
    bitmap.Canvas()->Handle();  // selects the DIB into the canvas DC
    AutoDeleteDC other;
    EXPECT_EQ(SelectObject(other.Get(), bitmap.Handle()), nullptr);  // selected elsewhere: refused
    bitmap.FreeContext();
    HGDIOBJ old = SelectObject(other.Get(), bitmap.Handle());
    EXPECT_NE(old, nullptr);
    SelectObject(other.Get(), old);
    bitmap.Canvas()->FillRect({0, 0, 1, 1});  // the canvas comes back on use
    EXPECT_EQ(bitmap.PixelColor(0, 0), clWhite);
}

TEST(Bitmap, SavesAndLoadsBmpFiles) {
    std::string path = TempPath("vexel-fw-bitmap.bmp");
    TBitmap saved(5, 3);
    saved.SetPixelColor(0, 0, clRed);
    saved.SetPixelColor(4, 2, clBlue);
    saved.SaveToFile(path);
    TBitmap loaded;
    loaded.LoadFromFile(path);
    EXPECT_EQ(loaded.Width(), 5);
    EXPECT_EQ(loaded.Height(), 3);
    EXPECT_EQ(loaded.PixelColor(0, 0), clRed);
    EXPECT_EQ(loaded.PixelColor(4, 2), clBlue);
    EXPECT_EQ(loaded.PixelColor(2, 1), clWhite);
    DeleteFileA(path.c_str());
}

TEST(Bitmap, LoadsBitmapResources) {
    TBitmap strip;
    strip.LoadFromResourceName(GetModuleHandleA(nullptr), "STRIP");
    ASSERT_EQ(strip.Width(), 4);
    ASSERT_EQ(strip.Height(), 2);
    EXPECT_EQ(strip.PixelColor(0, 0), clRed);
    EXPECT_EQ(strip.PixelColor(2, 0), clBlue);
    EXPECT_EQ(strip.PixelColor(0, 1), clBlack);  // rows come out top-down
    EXPECT_EQ(strip.PixelColor(2, 1), clFuchsia);
}

TEST(Bitmap, LoadFailuresRaiseTheRuntimeErrors) {
    TBitmap bitmap;
    std::string missing = TempPath("vexel-fw-no-such-file.bmp");
    try {
        bitmap.LoadFromFile(missing);
        FAIL();
    } catch (const EFOpenError& e) {
        EXPECT_EQ(e.Message().rfind("Cannot open file \"" + missing + "\". ", 0), 0u) << e.Message();
    }
    std::string junk = TempPath("vexel-fw-junk.bmp");
    HANDLE file = CreateFileA(junk.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, "not a bitmap", 12, &written, nullptr);
    CloseHandle(file);
    try {
        bitmap.LoadFromFile(junk);
        FAIL();
    } catch (const EInvalidGraphic& e) {
        EXPECT_EQ(e.Message(), "Bitmap image is not valid");
    }
    DeleteFileA(junk.c_str());
    try {
        bitmap.LoadFromResourceName(GetModuleHandleA(nullptr), "NOSUCHPICTURE");
        FAIL();
    } catch (const EResNotFound& e) {
        EXPECT_EQ(e.Message(), "Resource NOSUCHPICTURE not found");
    }
}

TEST(ImageList, MaskedDrawReplacesExactlyTheMaskColour) {
    const TColor key = 0x00FF00, nearKey = 0x00FE00;
    TBitmap picture(4, 2);
    Fill(picture, clRed);
    picture.SetPixelColor(0, 0, key);
    picture.SetPixelColor(1, 0, nearKey);
    picture.SetPixelColor(3, 1, key);
    picture.SetPixelColor(2, 1, clBlack);

    ScopedFree<TImageList> list(new TImageList(nullptr));
    list->SetSize(4, 2);
    EXPECT_EQ(list->AddMasked(&picture, key), 0);
    EXPECT_EQ(list->Count(), 1);
    EXPECT_EQ(picture.PixelColor(0, 0), key);  // the caller's bitmap is untouched

    TBitmap dest(6, 4);
    Fill(dest, clBlue);
    list->Draw(dest.Canvas(), 1, 1, 0);
    EXPECT_EQ(dest.PixelColor(1, 1), clBlue);  // key: transparent
    EXPECT_EQ(dest.PixelColor(2, 1), nearKey);
    EXPECT_EQ(dest.PixelColor(3, 1), clRed);
    EXPECT_EQ(dest.PixelColor(3, 2), clBlack);
    EXPECT_EQ(dest.PixelColor(4, 2), clBlue);  // key: transparent
    EXPECT_EQ(dest.PixelColor(0, 0), clBlue);
    EXPECT_EQ(dest.PixelColor(5, 3), clBlue);

    try {
        list->Draw(dest.Canvas(), 0, 0, 1);
        FAIL();
    } catch (const EInvalidOperation& e) {
        EXPECT_EQ(e.Message(), "Invalid ImageList Index");
    }
}
