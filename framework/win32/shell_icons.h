// The shell's small icons for files, folders and drives: indices into the
// system's shared image list, and drawing them on a canvas.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <string>

#include "framework/win32/graphics.h"

namespace vexel {

// The system's shared list of small icons. It belongs to the shell: never
// destroy it.
HIMAGELIST SystemSmallImages();

// The index in that list of the small icon the shell shows for Path, or -1
// when it has none. Flags are added to SHGFI_SYSICONINDEX | SHGFI_SMALLICON
// (SHGFI_OPENICON, SHGFI_USEFILEATTRIBUTES, ...); with
// SHGFI_USEFILEATTRIBUTES the file need not exist and Attributes stand for
// its own (FILE_ATTRIBUTE_DIRECTORY: the icon of a folder).
int ShellSmallIconIndex(const std::string& Path, UINT Flags = 0, DWORD Attributes = 0);

// Draws icon Index of the system's small icons with its top-left corner at
// (X, Y), in its normal look; nothing for -1.
void DrawShellIcon(TCanvas* Canvas, int Index, int X, int Y);

}  // namespace vexel
