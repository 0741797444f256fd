#include "framework/core/colors.h"

#include <iterator>

#include "framework/core/sysutils.h"
#include "platform/ascii.h"

namespace vexel {

namespace {

struct ColorName {
    TColor color;
    const char* name;
};

// Order matters for ColorToString: the first name of a value wins.
const ColorName kColorNames[] = {
    {clBlack, "clBlack"},
    {clMaroon, "clMaroon"},
    {clGreen, "clGreen"},
    {clOlive, "clOlive"},
    {clNavy, "clNavy"},
    {clPurple, "clPurple"},
    {clTeal, "clTeal"},
    {clGray, "clGray"},
    {clSilver, "clSilver"},
    {clRed, "clRed"},
    {clLime, "clLime"},
    {clYellow, "clYellow"},
    {clBlue, "clBlue"},
    {clFuchsia, "clFuchsia"},
    {clAqua, "clAqua"},
    {clWhite, "clWhite"},
    {clMoneyGreen, "clMoneyGreen"},
    {clSkyBlue, "clSkyBlue"},
    {clCream, "clCream"},
    {clMedGray, "clMedGray"},
    {clActiveBorder, "clActiveBorder"},
    {clActiveCaption, "clActiveCaption"},
    {clAppWorkSpace, "clAppWorkSpace"},
    {clBackground, "clBackground"},
    {clBtnFace, "clBtnFace"},
    {clBtnHighlight, "clBtnHighlight"},
    {clBtnShadow, "clBtnShadow"},
    {clBtnText, "clBtnText"},
    {clCaptionText, "clCaptionText"},
    {clDefault, "clDefault"},
    {clGradientActiveCaption, "clGradientActiveCaption"},
    {clGradientInactiveCaption, "clGradientInactiveCaption"},
    {clGrayText, "clGrayText"},
    {clHighlight, "clHighlight"},
    {clHighlightText, "clHighlightText"},
    {clHotLight, "clHotLight"},
    {clInactiveBorder, "clInactiveBorder"},
    {clInactiveCaption, "clInactiveCaption"},
    {clInactiveCaptionText, "clInactiveCaptionText"},
    {clInfoBk, "clInfoBk"},
    {clInfoText, "clInfoText"},
    {clMenu, "clMenu"},
    {clMenuBar, "clMenuBar"},
    {clMenuHighlight, "clMenuHighlight"},
    {clMenuText, "clMenuText"},
    {clNone, "clNone"},
    {clScrollBar, "clScrollBar"},
    {cl3DDkShadow, "cl3DDkShadow"},
    {cl3DLight, "cl3DLight"},
    {clWindow, "clWindow"},
    {clWindowFrame, "clWindowFrame"},
    {clWindowText, "clWindowText"},
    {clLtGray, "clLtGray"},
    {clDkGray, "clDkGray"},
};

// The classic Windows scheme, indexed by COLOR_xxx.
const TColor kClassicSysColors[] = {
    0xC0C0C0,  // scroll bar
    0x808000,  // desktop
    0x800000,  // active caption
    0x808080,  // inactive caption
    0xC0C0C0,  // menu
    0xFFFFFF,  // window
    0x000000,  // window frame
    0x000000,  // menu text
    0x000000,  // window text
    0xFFFFFF,  // caption text
    0xC0C0C0,  // active border
    0xC0C0C0,  // inactive border
    0x808080,  // application workspace
    0x800000,  // highlight
    0xFFFFFF,  // highlight text
    0xC0C0C0,  // button face
    0x808080,  // button shadow
    0x808080,  // grey text
    0x000000,  // button text
    0xC0C0C0,  // inactive caption text
    0xFFFFFF,  // button highlight
    0x000000,  // 3-D dark shadow
    0xDFDFDF,  // 3-D light
    0x000000,  // tooltip text
    0xE1FFFF,  // tooltip background
    0xB5B5B5,  // alternate button face
    0x800000,  // hot-tracked item
    0xF0CAA6,  // gradient active caption
    0xC0C0C0,  // gradient inactive caption
    0x800000,  // menu highlight
    0xC0C0C0,  // menu bar
};

TSysColorFunc g_sysColorFunc = &DefaultSysColor;

}  // namespace

TColor DefaultSysColor(int Index) {
    if (Index < 0 || Index >= static_cast<int>(std::size(kClassicSysColors)))
        return 0;
    return kClassicSysColors[Index];
}

void SetSysColorFunc(TSysColorFunc Func) {
    g_sysColorFunc = Func ? Func : &DefaultSysColor;
}

TColor ColorToRGB(TColor Color) {
    if (Color & kSystemColorFlag)
        return g_sysColorFunc(static_cast<int>(Color & 0xFF));
    return Color;
}

bool IdentToColor(const std::string& Ident, TColor& Color) {
    for (const ColorName& entry : kColorNames) {
        if (EqualsIgnoringAsciiCase(Ident, entry.name)) {
            Color = entry.color;
            return true;
        }
    }
    return false;
}

bool ColorToIdent(TColor Color, std::string& Ident) {
    for (const ColorName& entry : kColorNames) {
        if (entry.color == Color) {
            Ident = entry.name;
            return true;
        }
    }
    return false;
}

TColor StringToColor(const std::string& S) {
    TColor color = 0;
    if (IdentToColor(S, color))
        return color;
    return static_cast<TColor>(StrToInt(S));
}

std::string ColorToString(TColor Color) {
    std::string name;
    if (ColorToIdent(Color, name))
        return name;
    return "$" + IntToHex(Color, 8);
}

}  // namespace vexel
