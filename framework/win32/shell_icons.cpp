#include "framework/win32/shell_icons.h"
#include "framework/win32/system_text.h"

#include <commctrl.h>
#include <shellapi.h>

namespace vexel {

HIMAGELIST SystemSmallImages() {
    SHFILEINFOW info{};
    // Any path will do: the list comes back for the small-icon flags alone.
    return reinterpret_cast<HIMAGELIST>(
        SHGetFileInfoW(L"C:\\", FILE_ATTRIBUTE_DIRECTORY, &info, sizeof(info),
                       SHGFI_SYSICONINDEX | SHGFI_SMALLICON | SHGFI_USEFILEATTRIBUTES));
}

int ShellSmallIconIndex(const std::string& Path, UINT Flags, DWORD Attributes) {
    SHFILEINFOW info{};
    if (!SHGetFileInfoW(ToSystem(Path).c_str(), Attributes, &info, sizeof(info),
                        SHGFI_SYSICONINDEX | SHGFI_SMALLICON | Flags))
        return -1;
    return info.iIcon;
}

void DrawShellIcon(TCanvas* Canvas, int Index, int X, int Y) {
    HIMAGELIST images = SystemSmallImages();
    if (Index < 0 || !images)
        return;
    ImageList_Draw(images, Index, Canvas->Handle(), X, Y, ILD_NORMAL);
    Canvas->Changed();
}

}  // namespace vexel
