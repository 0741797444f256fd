#include "system/explorer_view.h"

#include <shellapi.h>

#include "framework/win32/shell_icons.h"
#include "framework/win32/system_text.h"

namespace vexel {

namespace {

constexpr int kGlyphSize = 16;
constexpr int kTextIndent = 18;

std::string WindowsFolder() {
    wchar_t buffer[MAX_PATH] = {};
    UINT length = GetWindowsDirectoryW(buffer, MAX_PATH);
    return length > 0 && length < MAX_PATH ? FromSystem(std::wstring(buffer, length)) : "C:\\Windows";
}

}  // namespace

TZelExplorerView::TZelExplorerView(TComponent* AOwner)
    : TFileListBox(AOwner), folderGlyph_(kGlyphSize, kGlyphSize) {
    SetItemHeight(18);
    SetStyle(lbOwnerDrawFixed);
    SetColumns(1);
    TCanvas* canvas = folderGlyph_.Canvas();
    canvas->Brush()->SetStyle(bsSolid);
    canvas->Brush()->SetColor(clWhite);
    canvas->FillRect({0, 0, kGlyphSize, kGlyphSize});
    DrawShellIcon(canvas, ShellSmallIconIndex(WindowsFolder()), 0, 0);
}

void TZelExplorerView::SetCharCase(TEditCharCase Value) {
    charCase_ = Value;
    ReadFileNames();
}

int TZelExplorerView::FileIconIndex(const std::string& Name) const {
    // The item names a file of the listed folder, not of the current one.
    int index = ShellSmallIconIndex(JoinPath(Directory(), Name), SHGFI_OPENICON);
    if (index < 0)  // gone since it was listed: the icon of its kind
        index = ShellSmallIconIndex(Name, SHGFI_OPENICON | SHGFI_USEFILEATTRIBUTES, FILE_ATTRIBUTE_NORMAL);
    return index;
}

void TZelExplorerView::DrawItem(int Index, const TRect& Rect, TOwnerDrawState State) {
    if (OnDrawItem) {
        TFileListBox::DrawItem(Index, Rect, State);
        return;
    }
    TCanvas* canvas = Canvas();
    std::string text = Items()->Strings(Index);
    canvas->FillRect(Rect);
    if (text.find('[') != std::string::npos)
        canvas->Draw(Rect.Left, Rect.Top, &folderGlyph_);
    else
        DrawShellIcon(canvas, FileIconIndex(text), Rect.Left, Rect.Top);
    canvas->TextOut(Rect.Left + kTextIndent, Rect.Top, text);
}

}  // namespace vexel
