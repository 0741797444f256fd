// The one way the framework's owner-drawn lists (list boxes, the file and
// folder lists, the drive box) draw an item: the canvas made ready from the
// system's request, the item, then the focus mark.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "framework/win32/graphics.h"

namespace vexel {

// Binds Canvas to the item's DC with Font, and a solid brush of Ground, or
// the highlight colours for a selected item; then calls Draw for an item
// whose index is below Count (an empty list's focus item just fills its
// ground), and draws the focus mark last.
void DrawOwnerDrawItem(TCanvas& Canvas, const DRAWITEMSTRUCT& Item, TFont* Font, TColor Ground, int Count,
                       const std::function<void(int Index, const TRect& Rect)>& Draw);

// Fills Rect, draws the shell's small icon Icon at IconX and Text at TextX,
// both centred in the height of the row.
void DrawIconItem(TCanvas& Canvas, const TRect& Rect, int IconX, int TextX, int Icon, const std::string& Text);

}  // namespace vexel
