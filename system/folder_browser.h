// The folder browser: the system's folder-picker dialog, opened on a chosen
// root with a folder preselected, that returns the folder the user picked.
//
//     auto* browser = new TZelFolderBrowser(form);
//     browser->SetCaption("Please choose a folder to save the compressed file.");
//     browser->SetBrowseRoot(csidlMyComputer);
//     if (browser->Execute())
//         Save(browser->ReturnPath());
#pragma once

#include <windows.h>

#include <shlobj.h>

#include <cstdint>
#include <functional>
#include <string>

#include "system/dialog_component.h"

namespace vexel {

// The dialog's options; TZelBrowseInfoFlagSet holds them as bits
// (1 << element).
enum TZelBrowseInfoFlags {
    bifFileSystemDirsOnly,
    bifDontGoBelowDomain,
    bifStatusText,
    bifFileSystemAncestors,
    bifBrowseForComputer,
    bifBrowseForPrinter,
};
using TZelBrowseInfoFlagSet = uint32_t;
constexpr TZelBrowseInfoFlagSet BrowseFlag(TZelBrowseInfoFlags Flag) {
    return 1u << Flag;
}
// The dialog's own BIF_ flags for a set of options.
UINT BrowseInfoFlagsOf(TZelBrowseInfoFlagSet Options);

// The top of the dialog's folder tree: a special folder of the shell, or
// with csidlDesktopExpanded the whole desktop tree.
enum TZelBrowseRoots {
    csidlDesktop,
    csidlDesktopExpanded,
    csidlPrograms,
    csidlControlPanel,
    csidlPrinters,
    csidlPersonal,
    csidlFavorites,
    csidlStartup,
    csidlRecent,
    csidlSendto,
    csidlRecycleBin,
    csidlStartMenu,
    csidlDesktopDirectory,
    csidlMyComputer,
    csidlNetwork,
    csidlNetworkNeighborhood,
    csidlFonts,
    csidlTemplates,
};
// The shell's special-folder number of a root; -1 for csidlDesktopExpanded.
int SpecialFolderOf(TZelBrowseRoots Root);

// A path made short enough for the dialog's status line: a path longer than
// MaxLength with more than two parts has its second part replaced by "...",
// then loses the parts after that one by one until it fits or only three
// are left. "C:\Documents and Settings\All Users\Application Data\Microsoft"
// becomes "C:\...\Application Data\Microsoft".
std::string ShortStatusPath(const std::string& Path, size_t MaxLength = 35);

using TZelCheckPath = std::function<void(TObject* Sender, const std::string& NewPath, bool& ValidPath)>;
using TZelPathChange = std::function<void(TObject* Sender, const std::string& NewPath)>;

// Execute plays Sound, fires BeforeBrowse, shows the dialog modally over the
// owner's window (a windowed owner's, else the main form's), centred on the
// screen, and returns true when the user chose a folder: ReturnPath is then
// its path. AfterBrowse fires in every case, also when something on the way
// threw. While the dialog is open the status line shows Caption first,
// then, with ShowPath, each selected folder's path (ShortStatusPath); a
// selection without a file-system path, or one IsValidPath refuses,
// disables OK. The status line shows only with bifStatusText.
class TZelFolderBrowser : public TZelDialogComponent {
  public:
    explicit TZelFolderBrowser(TComponent* AOwner);

    // The chosen folder after a browse (the last selection, also when the
    // dialog was cancelled); before one, the folder to preselect when it
    // exists.
    const std::string& ReturnPath() const { return returnPath_; }
    void SetReturnPath(const std::string& Value) { returnPath_ = Value; }
    // Shown above the tree and as the first status text. Set while the
    // dialog is open, it replaces the status text.
    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& Value);
    TZelBrowseInfoFlagSet Options() const { return options_; }
    void SetOptions(TZelBrowseInfoFlagSet Value) { options_ = Value; }
    bool ShowPath() const { return showPath_; }
    void SetShowPath(bool Value) { showPath_ = Value; }
    TZelBrowseRoots BrowseRoot() const { return browseRoot_; }
    void SetBrowseRoot(TZelBrowseRoots Value) { browseRoot_ = Value; }

    bool Execute() override;

    // The dialog's window while it is open, else null.
    HWND DialogHandle() const { return dialog_; }
    // True from the dialog's start until Execute returns.
    bool Browsing() const { return browsing_; }
    // The system image-list index of the chosen folder's icon.
    int ImageIndex() const { return imageIndex_; }
    // The display name of the chosen folder.
    std::string DisplayName() const { return displayName_; }

    TNotifyEvent BeforeBrowse;
    TNotifyEvent AfterBrowse;
    TZelCheckPath IsValidPath;
    TZelPathChange OnPathChanged;
    TNotifyEvent OnCancel;

  protected:
    ~TZelFolderBrowser() override = default;

  private:
    static int CALLBACK BrowseCallback(HWND Dialog, UINT Msg, LPARAM LParam, LPARAM Data);
    bool Browse();
    HWND OwnerWindow() const;
    void Initialized(HWND Dialog);
    void SelectionChanged(HWND Dialog, LPCITEMIDLIST Item);
    void SetStatusText(HWND Dialog, const std::string& Text);

    std::string returnPath_;
    std::string caption_;
    TZelBrowseInfoFlagSet options_ = BrowseFlag(bifFileSystemDirsOnly) | BrowseFlag(bifStatusText);
    bool showPath_ = true;
    TZelBrowseRoots browseRoot_ = csidlDesktopExpanded;
    std::string displayName_;
    HWND dialog_ = nullptr;
    bool browsing_ = false;
    int imageIndex_ = 0;
};

}  // namespace vexel
