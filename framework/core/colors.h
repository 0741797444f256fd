// Colours as the program stores them: 0x00BBGGRR for explicit colours,
// 0x800000nn for the system colour with index nn (resolved when painting),
// clNone and clDefault as markers. Conversion to and from the colour texts
// of stored forms ("clRed", "$00FF8000", "16711680").
#pragma once

#include <cstdint>
#include <string>

namespace vexel {

using TColor = uint32_t;

constexpr TColor kSystemColorFlag = 0x80000000u;

constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clOlive = 0x008080;
constexpr TColor clNavy = 0x800000;
constexpr TColor clPurple = 0x800080;
constexpr TColor clTeal = 0x808000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clLtGray = 0xC0C0C0;
constexpr TColor clDkGray = 0x808080;
constexpr TColor clMoneyGreen = 0xC0DCC0;
constexpr TColor clSkyBlue = 0xF0CAA6;
constexpr TColor clCream = 0xF0FBFF;
constexpr TColor clMedGray = 0xA4A0A0;

constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clDefault = 0x20000000;

// System colours: kSystemColorFlag | the Windows COLOR_xxx index.
constexpr TColor clScrollBar = 0x80000000;
constexpr TColor clBackground = 0x80000001;
constexpr TColor clActiveCaption = 0x80000002;
constexpr TColor clInactiveCaption = 0x80000003;
constexpr TColor clMenu = 0x80000004;
constexpr TColor clWindow = 0x80000005;
constexpr TColor clWindowFrame = 0x80000006;
constexpr TColor clMenuText = 0x80000007;
constexpr TColor clWindowText = 0x80000008;
constexpr TColor clCaptionText = 0x80000009;
constexpr TColor clActiveBorder = 0x8000000A;
constexpr TColor clInactiveBorder = 0x8000000B;
constexpr TColor clAppWorkSpace = 0x8000000C;
constexpr TColor clHighlight = 0x8000000D;
constexpr TColor clHighlightText = 0x8000000E;
constexpr TColor clBtnFace = 0x8000000F;
constexpr TColor clBtnShadow = 0x80000010;
constexpr TColor clGrayText = 0x80000011;
constexpr TColor clBtnText = 0x80000012;
constexpr TColor clInactiveCaptionText = 0x80000013;
constexpr TColor clBtnHighlight = 0x80000014;
constexpr TColor cl3DDkShadow = 0x80000015;
constexpr TColor cl3DLight = 0x80000016;
constexpr TColor clInfoText = 0x80000017;
constexpr TColor clInfoBk = 0x80000018;
constexpr TColor clHotLight = 0x8000001A;
constexpr TColor clGradientActiveCaption = 0x8000001B;
constexpr TColor clGradientInactiveCaption = 0x8000001C;
constexpr TColor clMenuHighlight = 0x8000001D;
constexpr TColor clMenuBar = 0x8000001E;

inline uint8_t ColorRed(TColor c) { return static_cast<uint8_t>(c & 0xFF); }
inline uint8_t ColorGreen(TColor c) { return static_cast<uint8_t>((c >> 8) & 0xFF); }
inline uint8_t ColorBlue(TColor c) { return static_cast<uint8_t>((c >> 16) & 0xFF); }
inline TColor RGBColor(uint8_t r, uint8_t g, uint8_t b) {
    return static_cast<TColor>(r) | (static_cast<TColor>(g) << 8) | (static_cast<TColor>(b) << 16);
}

// The explicit colour for a system colour (looked up now, through the system
// colour function); every other value, clNone and clDefault included, comes
// back unchanged.
TColor ColorToRGB(TColor Color);

// The colour as the GDI takes it (a COLORREF, 0x00BBGGRR): system colours
// resolved, and the top byte dropped so that marker values such as clNone
// cannot be read as palette indices (clNone comes out white, as the GDI
// would draw it).
inline uint32_t GdiColor(TColor Color) {
    return ColorToRGB(Color) & 0x00FFFFFFu;
}

// A word of a 32-bit DIB (0x00RRGGBB: blue in the low byte) for a colour,
// resolved as GdiColor does, and the explicit colour of such a word (its top
// byte ignored).
inline uint32_t DibPixel(TColor Color) {
    uint32_t c = GdiColor(Color);
    return ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu);
}
inline TColor DibPixelColor(uint32_t Pixel) {
    return ((Pixel & 0xFFu) << 16) | (Pixel & 0xFF00u) | ((Pixel >> 16) & 0xFFu);
}

// Resolves system colour indices. The window layer installs the system's
// GetSysColor; until then a fixed table of the classic Windows scheme
// answers (button face 0xC0C0C0, shadow 0x808080, highlight 0xFFFFFF, ...).
using TSysColorFunc = TColor (*)(int Index);
void SetSysColorFunc(TSysColorFunc Func);
TColor DefaultSysColor(int Index);

// The colour name ("clBtnFace", case ignored), else the number as StrToInt
// reads it ("255", "$000000FF"). Anything else raises EConvertError
// "'<text>' is not a valid integer value".
TColor StringToColor(const std::string& S);
// The colour's name when it has one, else "$" and eight upper-case hex digits.
std::string ColorToString(TColor Color);
bool IdentToColor(const std::string& Ident, TColor& Color);
bool ColorToIdent(TColor Color, std::string& Ident);

}  // namespace vexel
