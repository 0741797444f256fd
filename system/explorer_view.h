// The explorer view: the file list box with the shell's small icon before
// every name, as the shell's own windows show files.
#pragma once

#include <string>

#include "framework/win32/file_controls.h"
#include "framework/win32/graphics.h"

namespace vexel {

// The letter case of an edit's text.
enum TEditCharCase { ecNormal, ecUpperCase, ecLowerCase };

// A TFileListBox (one column, owner-drawn, items 18 pixels high) whose
// items are drawn as an icon and the name 18 pixels in: a sub-folder's
// bracketed name, like any name holding "[", after the folder glyph (the
// small icon of the Windows folder on a white square, drawn opaque), every
// other name after the icon the shell shows for that file in Directory.
class TZelExplorerView : public TFileListBox {
  public:
    explicit TZelExplorerView(TComponent* AOwner);

    // Kept, and setting it reads the folder again; names are listed as the
    // folder gives them whatever the case. Starts as ecLowerCase.
    TEditCharCase CharCase() const { return charCase_; }
    void SetCharCase(TEditCharCase Value);

    // The 16 x 16 picture drawn before folders.
    TBitmap* FolderGlyph() { return &folderGlyph_; }

  protected:
    ~TZelExplorerView() override = default;
    void DrawItem(int Index, const TRect& Rect, TOwnerDrawState State) override;

  private:
    int FileIconIndex(const std::string& Name) const;

    TEditCharCase charCase_ = ecLowerCase;
    TBitmap folderGlyph_;
};

}  // namespace vexel
