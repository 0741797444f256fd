// The explorer view: its settings, and its items read back as pixels: the
// folder glyph (drawn opaque) before sub-folders and names with "[", the
// shell's own icon before other files, the name 18 pixels in.
#include <gtest/gtest.h>
#include <windows.h>

#include <shellapi.h>

#include <string>

#include "framework/win32/forms.h"
#include "framework/win32/shell_icons.h"
#include "system/explorer_view.h"
#include "tests/framework/win32_files.h"
#include "tests/framework/win32_test_support.h"

namespace vexel {
namespace {

using testing::FrameworkTest;
using testing::ItemsOf;
using testing::TTempFolder;

class ExplorerView : public FrameworkTest {};

// How many pixels of the 16 x 16 block at (x, y) of image differ from the
// same pixels of glyph.
int Differences(TBitmap& image, int x, int y, TBitmap& glyph) {
    int differ = 0;
    for (int row = 0; row < 16; ++row)
        for (int column = 0; column < 16; ++column)
            differ += image.PixelColor(x + column, y + row) != glyph.PixelColor(column, row);
    return differ;
}

TEST_F(ExplorerView, ListsLikeAFileListWithItsOwnSettings) {
    TTempFolder folder;
    folder.File("index.htm");
    folder.File("Page.HTML");
    folder.File("notes.txt");
    folder.Folder("archive.html");
    auto* view = new TZelExplorerView(nullptr);
    EXPECT_EQ(view->CharCase(), ecLowerCase);
    EXPECT_EQ(view->ItemHeight(), 18);
    EXPECT_EQ(view->Style(), lbOwnerDrawFixed);
    EXPECT_EQ(view->Columns(), 1);
    view->SetFileType(ftNormal | ftDirectory | ftArchive);
    view->SetMask("*.htm?");
    view->SetDirectory(folder.Path());
    EXPECT_EQ(ItemsOf(view), "[archive.html]|index.htm|Page.HTML");
    folder.File("later.htm");
    view->SetCharCase(ecUpperCase);  // reads the folder again, names as they are
    EXPECT_EQ(view->CharCase(), ecUpperCase);
    EXPECT_EQ(ItemsOf(view), "[archive.html]|index.htm|later.htm|Page.HTML");
    view->Free();
}

TEST_F(ExplorerView, FoldersAndBracketedNamesShowTheFolderGlyphOtherFilesTheirShellIcon) {
    TTempFolder folder;
    folder.Folder("pages");
    folder.File("a[1].htm");
    std::string index = folder.File("index.htm");

    auto* form = new TForm(nullptr);
    form->SetBorderStyle(bsNone);
    form->SetBounds(0, 0, 220, 120);
    auto* view = new TZelExplorerView(form);
    view->SetParent(form);
    view->SetBounds(0, 0, 220, 120);
    view->SetColor(clWhite);
    view->SetMultiSelect(true);
    view->SetFileType(ftNormal | ftDirectory | ftArchive);
    view->SetDirectory(folder.Path());
    ASSERT_EQ(ItemsOf(view), "[pages]|a[1].htm|index.htm");
    view->SetSelected(0, true);  // a selected folder keeps its white square
    view->SetSelected(2, true);

    TBitmap image(220, 120);
    form->PaintTo(image.Canvas()->Handle(), 0, 0);

    // The glyph itself: the Windows folder's small icon on white.
    TBitmap* glyph = view->FolderGlyph();
    ASSERT_EQ(glyph->Width(), 16);
    ASSERT_EQ(glyph->Height(), 16);
    int white = 0;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            white += glyph->PixelColor(x, y) == clWhite;
    EXPECT_GT(white, 0) << "no white ground";
    EXPECT_LT(white, 16 * 16) << "no icon on the glyph";

    TRect folderItem = view->ItemRect(0);
    TRect bracketItem = view->ItemRect(1);
    TRect fileItem = view->ItemRect(2);
    EXPECT_EQ(folderItem.Height(), 18);
    EXPECT_EQ(Differences(image, folderItem.Left, folderItem.Top, *glyph), 0) << "selected folder";
    EXPECT_EQ(Differences(image, bracketItem.Left, bracketItem.Top, *glyph), 0) << "name with [";
    EXPECT_GT(Differences(image, fileItem.Left, fileItem.Top, *glyph), 0) << "an ordinary file";

    // Beside the glyph, a selected item shows the highlight.
    TColor highlight = ColorToRGB(clHighlight);
    EXPECT_EQ(image.PixelColor(folderItem.Left + 16, folderItem.Top + 8), highlight);
    EXPECT_EQ(image.PixelColor(bracketItem.Left + 16, bracketItem.Top + 8), clWhite);

    // The file's icon is the shell's for that very file, drawn over the
    // highlight where the icon is transparent.
    TBitmap expected(16, 16);
    testing::Fill(expected, highlight);
    int icon = ShellSmallIconIndex(index, SHGFI_OPENICON);
    ASSERT_GE(icon, 0);
    DrawShellIcon(expected.Canvas(), icon, 0, 0);
    EXPECT_EQ(Differences(image, fileItem.Left, fileItem.Top, expected), 0);

    // The name starts 18 pixels in: nothing but ground between the icon and
    // the text, and ink after.
    int ink = 0;
    for (int y = bracketItem.Top; y < bracketItem.Bottom; ++y) {
        EXPECT_EQ(image.PixelColor(bracketItem.Left + 16, y), clWhite);
        EXPECT_EQ(image.PixelColor(bracketItem.Left + 17, y), clWhite);
        for (int x = bracketItem.Left + 18; x < bracketItem.Left + 60; ++x)
            ink += image.PixelColor(x, y) != clWhite;
    }
    EXPECT_GT(ink, 10);
    form->Free();
}

}  // namespace
}  // namespace vexel
