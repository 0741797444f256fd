#include "system/folder_browser.h"

#include <objbase.h>
#include <shlobj.h>

#include <iterator>
#include <vector>

#include "framework/win32/controls.h"
#include "framework/win32/forms.h"
#include "framework/win32/guarded_call.h"
#include "framework/win32/system_text.h"

namespace vexel {

namespace {

// The file-system path of a shell item, of any length; empty for an item
// that is no folder of the disk.
std::string PathOfItem(LPCITEMIDLIST Item) {
    std::wstring path(32768, L'\0');
    if (!SHGetPathFromIDListEx(Item, path.data(), static_cast<DWORD>(path.size()), GPFIDL_DEFAULT))
        return {};
    return FromSystem(path.c_str());
}

const UINT kBrowseFlags[] = {
    BIF_RETURNONLYFSDIRS,  BIF_DONTGOBELOWDOMAIN, BIF_STATUSTEXT,
    BIF_RETURNFSANCESTORS, BIF_BROWSEFORCOMPUTER, BIF_BROWSEFORPRINTER,
};
static_assert(std::size(kBrowseFlags) == bifBrowseForPrinter + 1, "a flag for every option");

const int kSpecialFolders[] = {
    CSIDL_DESKTOP,
    -1,
    CSIDL_PROGRAMS,
    CSIDL_CONTROLS,
    CSIDL_PRINTERS,
    CSIDL_PERSONAL,
    CSIDL_FAVORITES,
    CSIDL_STARTUP,
    CSIDL_RECENT,
    CSIDL_SENDTO,
    CSIDL_BITBUCKET,
    CSIDL_STARTMENU,
    CSIDL_DESKTOPDIRECTORY,
    CSIDL_DRIVES,
    CSIDL_NETWORK,
    CSIDL_NETHOOD,
    CSIDL_FONTS,
    CSIDL_TEMPLATES,
};
static_assert(std::size(kSpecialFolders) == csidlTemplates + 1, "a folder for every root");

std::vector<std::string> SplitAtBackslash(const std::string& Path) {
    std::vector<std::string> parts(1);
    for (char c : Path) {
        if (c == '\\')
            parts.emplace_back();
        else
            parts.back() += c;
    }
    return parts;
}

std::string JoinWithBackslash(const std::vector<std::string>& Parts) {
    std::string joined;
    for (size_t i = 0; i < Parts.size(); ++i)
        joined += (i ? "\\" : "") + Parts[i];
    return joined;
}

bool IsExistingDirectory(const std::string& Path) {
    DWORD attributes = GetFileAttributesW(platform::SystemPath(Path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// COM for the dialog's shell folders, for as long as the dialog is open,
// unless the thread has it already in another model.
class ScopedCom {
  public:
    ScopedCom() : initialized_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
    ~ScopedCom() {
        if (initialized_)
            CoUninitialize();
    }
    ScopedCom(const ScopedCom&) = delete;
    ScopedCom& operator=(const ScopedCom&) = delete;

  private:
    bool initialized_;
};

struct ItemListDeleter {
    void operator()(ITEMIDLIST* Item) const { CoTaskMemFree(Item); }
};
using ScopedItemList = std::unique_ptr<ITEMIDLIST, ItemListDeleter>;

}  // namespace

UINT BrowseInfoFlagsOf(TZelBrowseInfoFlagSet Options) {
    UINT flags = 0;
    for (int flag = bifFileSystemDirsOnly; flag <= bifBrowseForPrinter; ++flag)
        if (Options & BrowseFlag(static_cast<TZelBrowseInfoFlags>(flag)))
            flags |= kBrowseFlags[flag];
    return flags;
}

int SpecialFolderOf(TZelBrowseRoots Root) {
    return Root >= csidlDesktop && Root <= csidlTemplates ? kSpecialFolders[Root] : -1;
}

std::string ShortStatusPath(const std::string& Path, size_t MaxLength) {
    if (Path.size() <= MaxLength)
        return Path;
    std::vector<std::string> parts = SplitAtBackslash(Path);
    if (parts.size() <= 2)
        return Path;
    parts[1] = "...";
    std::string shortened = JoinWithBackslash(parts);
    while (shortened.size() > MaxLength && parts.size() > 3) {
        parts.erase(parts.begin() + 2);
        shortened = JoinWithBackslash(parts);
    }
    return shortened;
}

TZelFolderBrowser::TZelFolderBrowser(TComponent* AOwner) : TZelDialogComponent(AOwner) {}

void TZelFolderBrowser::SetCaption(const std::string& Value) {
    caption_ = Value;
    if (browsing_ && dialog_)
        SetStatusText(dialog_, caption_);
}

bool TZelFolderBrowser::Execute() {
    TZelDialogComponent::Execute();
    bool chosen = false;
    auto finish = [this] {
        browsing_ = false;
        dialog_ = nullptr;
        if (AfterBrowse)
            AfterBrowse(this);
    };
    try {
        chosen = Browse();
    } catch (...) {
        finish();
        throw;
    }
    finish();
    return chosen;
}

HWND TZelFolderBrowser::OwnerWindow() const {
    if (auto* control = dynamic_cast<TWinControl*>(Owner()))
        return control->Handle();
    if (Application && Application->MainForm())
        return Application->MainForm()->Handle();
    return nullptr;
}

bool TZelFolderBrowser::Browse() {
    if (BeforeBrowse)
        BeforeBrowse(this);
    ScopedCom com;
    ScopedItemList root;
    int folder = SpecialFolderOf(browseRoot_);
    if (folder >= 0) {
        ITEMIDLIST* item = nullptr;
        // A special folder this system lacks leaves the whole tree open.
        if (SUCCEEDED(
                SHGetSpecialFolderLocation(Application ? Application->Handle() : nullptr, folder, &item)))
            root.reset(item);
    }
    BROWSEINFOW info{};
    wchar_t displayName[MAX_PATH] = {};
    const std::wstring title = ToSystem(caption_);
    info.hwndOwner = OwnerWindow();
    info.pidlRoot = root.get();
    info.pszDisplayName = displayName;
    info.lpszTitle = title.c_str();
    info.ulFlags = BrowseInfoFlagsOf(options_);
    info.lpfn = &BrowseCallback;
    info.lParam = reinterpret_cast<LPARAM>(this);
    info.iImage = 0;
    ScopedItemList chosen(SHBrowseForFolderW(&info));
    displayName_ = FromSystem(displayName);
    if (!chosen) {
        if (OnCancel)
            OnCancel(this);
        return false;
    }
    returnPath_ = PathOfItem(chosen.get());
    imageIndex_ = info.iImage;
    return true;
}

int CALLBACK TZelFolderBrowser::BrowseCallback(HWND Dialog, UINT Msg, LPARAM LParam, LPARAM Data) {
    auto* browser = reinterpret_cast<TZelFolderBrowser*>(Data);
    GuardedCall(browser, [&] {
        if (Msg == BFFM_INITIALIZED)
            browser->Initialized(Dialog);
        else if (Msg == BFFM_SELCHANGED)
            browser->SelectionChanged(Dialog, reinterpret_cast<LPCITEMIDLIST>(LParam));
    });
    return 0;
}

void TZelFolderBrowser::Initialized(HWND Dialog) {
    browsing_ = true;
    dialog_ = Dialog;
    SetStatusText(Dialog, caption_);
    RECT bounds{};
    GetWindowRect(Dialog, &bounds);
    int x = GetSystemMetrics(SM_CXSCREEN) / 2 - (bounds.right - bounds.left) / 2;
    int y = GetSystemMetrics(SM_CYSCREEN) / 2 - (bounds.bottom - bounds.top) / 2;
    SetWindowPos(Dialog, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (IsExistingDirectory(returnPath_))
        SendMessageW(Dialog, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(ToSystem(returnPath_).c_str()));
}

void TZelFolderBrowser::SelectionChanged(HWND Dialog, LPCITEMIDLIST Item) {
    returnPath_ = Item ? PathOfItem(Item) : std::string();
    bool valid = !returnPath_.empty();
    if (showPath_)
        SetStatusText(Dialog, ShortStatusPath(returnPath_));
    if (IsValidPath)
        IsValidPath(this, returnPath_, valid);
    SendMessageW(Dialog, BFFM_ENABLEOK, 0, valid ? TRUE : FALSE);
    if (OnPathChanged)
        OnPathChanged(this, returnPath_);
}

void TZelFolderBrowser::SetStatusText(HWND Dialog, const std::string& Text) {
    SendMessageW(Dialog, BFFM_SETSTATUSTEXTW, 0, reinterpret_cast<LPARAM>(ToSystem(Text).c_str()));
}

}  // namespace vexel
