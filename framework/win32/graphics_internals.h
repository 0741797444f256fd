// What the canvas and the bitmap share inside the framework's graphics.
#pragma once

#include "framework/win32/graphics.h"

namespace vexel {

// Copies Source of Src to Dest of Dst except where the monochrome Mask (the
// size of Source) is 1: there the destination keeps what it had. Dst must
// have a black text colour and a white background colour.
void DrawThroughMask(HDC Dst, const TRect& Dest, HDC Src, const TRect& Source, HDC Mask);

}  // namespace vexel
