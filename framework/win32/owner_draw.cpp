#include "framework/win32/owner_draw.h"

#include "framework/win32/gdi.h"
#include "framework/win32/shell_icons.h"

namespace vexel {

void DrawOwnerDrawItem(TCanvas& Canvas, const DRAWITEMSTRUCT& Item, TFont* Font, TColor Ground, int Count,
                       const std::function<void(int Index, const TRect& Rect)>& Draw) {
    const int index = static_cast<int>(Item.itemID);
    const TRect rect = FromRECT(Item.rcItem);
    ScopedCanvasHandle bind(Canvas, Item.hDC);
    Canvas.Font()->Assign(Font);
    Canvas.Brush()->SetStyle(bsSolid);
    Canvas.Brush()->SetColor(Ground);
    if (index >= 0 && (Item.itemState & ODS_SELECTED)) {
        Canvas.Brush()->SetColor(clHighlight);
        Canvas.Font()->SetColor(clHighlightText);
    }
    if (index >= 0 && index < Count)
        Draw(index, rect);
    else
        Canvas.FillRect(rect);
    if (Item.itemState & ODS_FOCUS) {
        RECT r = Item.rcItem;
        if (index >= 0 && (Item.itemState & ODS_SELECTED)) {
            // A dotted frame all but vanishes on the highlight: a solid one
            // in the highlight's text colour, inside the row's blue edge.
            InflateRect(&r, -1, -1);
            ScopedBrush frame(CreateSolidBrush(GdiColor(clHighlightText)));
            FrameRect(Item.hDC, &r, frame.Get());
        } else {
            // DrawFocusRect inverts with the text and background colours.
            SetTextColor(Item.hDC, RGB(0, 0, 0));
            SetBkColor(Item.hDC, RGB(255, 255, 255));
            DrawFocusRect(Item.hDC, &r);
        }
    }
}

void DrawIconItem(TCanvas& Canvas, const TRect& Rect, int IconX, int TextX, int Icon, const std::string& Text) {
    constexpr int kIconSize = 16;
    Canvas.FillRect(Rect);
    DrawShellIcon(&Canvas, Icon, IconX, Rect.Top + (Rect.Height() - kIconSize) / 2);
    Canvas.TextOut(TextX, Rect.Top + (Rect.Height() - Canvas.TextHeight(Text)) / 2, Text);
}

}  // namespace vexel
