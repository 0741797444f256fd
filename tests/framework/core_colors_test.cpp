// Colour texts and system colour resolution.
#include <gtest/gtest.h>

#include "framework/core/colors.h"
#include "framework/core/sysutils.h"

using namespace vexel;

TEST(Colors, StringToColorReadsNamesIgnoringCase) {
    EXPECT_EQ(StringToColor("clRed"), 0x0000FFu);
    EXPECT_EQ(StringToColor("CLNAVY"), 0x800000u);
    EXPECT_EQ(StringToColor("clBtnFace"), 0x8000000Fu);
    EXPECT_EQ(StringToColor("clBtnShadow"), 0x80000010u);
    EXPECT_EQ(StringToColor("clGrayText"), 0x80000011u);
    EXPECT_EQ(StringToColor("clBtnHighlight"), 0x80000014u);
    EXPECT_EQ(StringToColor("clNone"), 0x1FFFFFFFu);
    EXPECT_EQ(StringToColor("clDefault"), 0x20000000u);
}

TEST(Colors, StringToColorReadsNumbers) {
    EXPECT_EQ(StringToColor("16760199"), 16760199u);
    EXPECT_EQ(StringToColor("$00FF8000"), 0x00FF8000u);
    EXPECT_EQ(StringToColor("$8000000F"), clBtnFace);
    EXPECT_EQ(StringToColor("-2147483633"), clBtnFace);  // the same bits, written signed
    EXPECT_EQ(StringToColor("0"), clBlack);
}

TEST(Colors, StringToColorRejectsAnythingElse) {
    for (const char* bad : {"clPink", "", "12px", "red", "$", "4294967295"}) {
        try {
            StringToColor(bad);
            ADD_FAILURE() << "accepted " << bad;
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.Message(), std::string("'") + bad + "' is not a valid integer value");
        }
    }
}

TEST(Colors, ColorToStringNamesOrWritesHex) {
    EXPECT_EQ(ColorToString(clBtnFace), "clBtnFace");
    EXPECT_EQ(ColorToString(0xC0C0C0), "clSilver");
    EXPECT_EQ(ColorToString(clNone), "clNone");
    EXPECT_EQ(ColorToString(0x00A1B2C3), "$00A1B2C3");
    EXPECT_EQ(ColorToString(0x80000019), "$80000019");
    for (TColor c : {clBtnHighlight, TColor{0x123456}, clWhite, clDefault, TColor{0x80000019}})
        EXPECT_EQ(StringToColor(ColorToString(c)), c);
}

TEST(Colors, ColorToRGBResolvesOnlySystemColours) {
    EXPECT_EQ(ColorToRGB(clBtnFace), 0xC0C0C0u);
    EXPECT_EQ(ColorToRGB(clBtnShadow), 0x808080u);
    EXPECT_EQ(ColorToRGB(clBtnHighlight), 0xFFFFFFu);
    EXPECT_EQ(ColorToRGB(0x123456), 0x123456u);
    EXPECT_EQ(ColorToRGB(clNone), clNone);
    EXPECT_EQ(ColorToRGB(clDefault), clDefault);
}

TEST(Colors, ColorToRGBAsksTheInstalledFunction) {
    SetSysColorFunc([](int index) -> TColor { return 0x010000u * static_cast<TColor>(index); });
    EXPECT_EQ(ColorToRGB(clBtnFace), 0x0F0000u);
    EXPECT_EQ(ColorToRGB(clGrayText), 0x110000u);
    SetSysColorFunc(nullptr);
    EXPECT_EQ(ColorToRGB(clBtnFace), 0xC0C0C0u);
}

TEST(Colors, ChannelHelpersUseTheStoredByteOrder) {
    TColor c = RGBColor(0x12, 0x34, 0x56);
    EXPECT_EQ(c, 0x563412u);
    EXPECT_EQ(ColorRed(c), 0x12);
    EXPECT_EQ(ColorGreen(c), 0x34);
    EXPECT_EQ(ColorBlue(c), 0x56);
}

TEST(Colors, GdiColorResolvesSystemColoursAndDropsMarkerBits) {
    EXPECT_EQ(GdiColor(0x00563412), 0x563412u);
    EXPECT_EQ(GdiColor(clBtnShadow), 0x808080u);
    EXPECT_EQ(GdiColor(clNone), 0xFFFFFFu);  // white, as the GDI would draw it
    EXPECT_EQ(GdiColor(clDefault), 0u);
    EXPECT_EQ(GdiColor(0x7F123456), 0x123456u);
}

TEST(Colors, DibPixelsSwapRedAndBlueBothWays) {
    EXPECT_EQ(DibPixel(RGBColor(0x12, 0x34, 0x56)), 0x123456u);
    EXPECT_EQ(DibPixel(clBtnFace), 0xC0C0C0u);
    EXPECT_EQ(DibPixel(clNone), 0xFFFFFFu);
    EXPECT_EQ(DibPixelColor(0x00123456), RGBColor(0x12, 0x34, 0x56));
    EXPECT_EQ(DibPixelColor(0xFF123456), RGBColor(0x12, 0x34, 0x56));  // the unused top byte is ignored
    for (TColor c : {clBlack, clRed, clLime, clBlue, TColor{0xA1B2C3}})
        EXPECT_EQ(DibPixelColor(DibPixel(c)), c);
}
