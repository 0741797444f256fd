#include "framework/win32/dialogs.h"

#include <commdlg.h>

#include <vector>

#include "framework/core/sysutils.h"
#include "framework/win32/forms.h"
#include "framework/win32/guarded_call.h"
#include "framework/win32/system_text.h"

namespace vexel {

// ---- Message boxes ----

namespace {

int ShowBox(const std::string& Text, const std::string& Caption, UINT Flags) {
    if (Application)
        return Application->MessageBox(Text, Caption, Flags);
    return MessageBoxW(GetActiveWindow(), ToSystem(Text).c_str(), ToSystem(Caption).c_str(), Flags);
}

std::string ApplicationTitle() {
    return Application ? Application->Title() : std::string();
}

}  // namespace

void ShowMessage(const std::string& Msg) {
    ShowBox(Msg, ApplicationTitle(), MB_OK);
}

int MessageDlg(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons) {
    struct TButtonSet {
        TMsgDlgButtons Buttons;
        UINT Flags;
    };
    static const TButtonSet sets[] = {
        {mbOK, MB_OK},
        {mbOKCancel, MB_OKCANCEL},
        {mbYes | mbNo, MB_YESNO},
        {mbYesNoCancel, MB_YESNOCANCEL},
        {mbRetry | mbCancel, MB_RETRYCANCEL},
        {mbAbortRetryIgnore, MB_ABORTRETRYIGNORE},
    };
    UINT flags = 0;
    bool known = false;
    for (const TButtonSet& set : sets) {
        if (set.Buttons == Buttons) {
            flags = set.Flags;
            known = true;
        }
    }
    if (!known)
        throw EInvalidOperation("A message box cannot show this set of buttons");
    std::string caption;
    switch (DlgType) {
        case mtWarning:
            caption = "Warning";
            flags |= MB_ICONWARNING;
            break;
        case mtError:
            caption = "Error";
            flags |= MB_ICONERROR;
            break;
        case mtInformation:
            caption = "Information";
            flags |= MB_ICONINFORMATION;
            break;
        case mtConfirmation:
            caption = "Confirm";
            flags |= MB_ICONQUESTION;
            break;
        case mtCustom:
            caption = ApplicationTitle();
            break;
    }
    return ShowBox(Msg, caption, flags);
}

// ---- TOpenDialog ----

namespace {

// Room for the names of a multiple selection.
constexpr size_t kMultiSelectBuffer = 65536;

// "a|b|c|d" as the system wants it: "a\0b\0c\0d\0\0".
std::string SystemFilter(const std::string& Filter) {
    if (Filter.empty())
        return {};
    std::string filter = Filter;
    for (char& c : filter)
        if (c == '|')
            c = '\0';
    filter.append(2, '\0');
    return filter;
}

DWORD SystemFlags(TOpenOptions Options) {
    static const struct {
        TOpenOptions Option;
        DWORD Flag;
    } flags[] = {
        {ofReadOnly, OFN_READONLY},
        {ofOverwritePrompt, OFN_OVERWRITEPROMPT},
        {ofHideReadOnly, OFN_HIDEREADONLY},
        {ofNoChangeDir, OFN_NOCHANGEDIR},
        {ofAllowMultiSelect, OFN_ALLOWMULTISELECT},
        {ofPathMustExist, OFN_PATHMUSTEXIST},
        {ofFileMustExist, OFN_FILEMUSTEXIST},
        {ofCreatePrompt, OFN_CREATEPROMPT},
        {ofNoReadOnlyReturn, OFN_NOREADONLYRETURN},
        {ofNoTestFileCreate, OFN_NOTESTFILECREATE},
        {ofEnableSizing, OFN_ENABLESIZING},
    };
    DWORD result = OFN_EXPLORER;
    for (const auto& f : flags)
        if (Options & f.Option)
            result |= f.Flag;
    return result;
}

std::string JoinName(const std::string& Folder, const std::string& Name) {
    if (Folder.empty() || Folder.back() == '\\')
        return Folder + Name;
    return Folder + "\\" + Name;
}

}  // namespace

TOpenDialog::TOpenDialog(TComponent* AOwner) : TComponent(AOwner), files_(std::make_unique<TStringList>()) {}

TOpenDialog::~TOpenDialog() = default;

bool TOpenDialog::Execute() {
    return DoExecute(false);
}

bool TSaveDialog::Execute() {
    return DoExecute(true);
}

bool TOpenDialog::DoExecute(bool Save) {
    // Long paths fit: the system's limit, not MAX_PATH.
    std::vector<wchar_t> buffer((options_ & ofAllowMultiSelect) ? kMultiSelectBuffer : 32768, L'\0');
    ToSystem(fileName_).copy(buffer.data(), buffer.size() - 1);
    std::wstring filter = ToSystem(SystemFilter(filter_));
    std::wstring defaultExt =
        ToSystem(!defaultExt_.empty() && defaultExt_[0] == '.' ? defaultExt_.substr(1) : defaultExt_);
    std::wstring initialDir = ToSystem(initialDir_);
    std::wstring title = ToSystem(title_);

    OPENFILENAMEW info{};
    info.lStructSize = sizeof(info);
    info.hwndOwner = GetActiveWindow();
    info.lpstrFilter = filter.empty() ? nullptr : filter.c_str();
    info.nFilterIndex = static_cast<DWORD>(filterIndex_);
    info.lpstrFile = buffer.data();
    info.nMaxFile = static_cast<DWORD>(buffer.size());
    info.lpstrInitialDir = initialDir.empty() ? nullptr : initialDir.c_str();
    info.lpstrTitle = title.empty() ? nullptr : title.c_str();
    info.lpstrDefExt = defaultExt.empty() ? nullptr : defaultExt.c_str();
    info.Flags = SystemFlags(options_);
    // The hook changes how the dialog looks on newer systems, so it is only
    // there for events that need it.
    if (OnShow || OnCanClose || OnSelectionChange || OnFolderChange || OnTypeChange) {
        info.Flags |= OFN_ENABLEHOOK;
        info.lpfnHook = &TOpenDialog::HookProc;
        info.lCustData = reinterpret_cast<LPARAM>(this);
    }

    BOOL chosen = Save ? GetSaveFileNameW(&info) : GetOpenFileNameW(&info);
    DWORD error = chosen ? 0 : CommDlgExtendedError();
    handle_ = nullptr;
    if (chosen) {
        filterIndex_ = static_cast<int>(info.nFilterIndex);
        files_->Clear();
        if (options_ & ofAllowMultiSelect) {
            // One name is a full path; several come as the folder, then each
            // name, each ending in a zero, and a zero after the last.
            std::wstring firstWide(buffer.data());
            std::string first = FromSystem(firstWide);
            const wchar_t* next = buffer.data() + firstWide.size() + 1;
            if (!*next) {
                files_->Add(first);
            } else {
                for (; *next; next += std::wstring(next).size() + 1)
                    files_->Add(JoinName(first, FromSystem(next)));
            }
            fileName_ = files_->Count() > 0 ? files_->Strings(0) : first;
        } else {
            fileName_ = FromSystem(buffer.data());
            files_->Add(fileName_);
        }
    }
    if (OnClose)
        OnClose(this);
    if (error)
        throw EInvalidOperation("The file dialog could not be shown (error " + IntToHex(error, 4) + ")");
    return chosen != FALSE;
}

std::string TOpenDialog::CurrentPath() const {
    if (!handle_)
        return {};
    std::vector<wchar_t> path(32768, L'\0');
    LRESULT length =
        SendMessageW(handle_, CDM_GETFILEPATH, static_cast<WPARAM>(path.size()), reinterpret_cast<LPARAM>(path.data()));
    return length > 0 ? FromSystem(path.data()) : std::string();
}

UINT_PTR CALLBACK TOpenDialog::HookProc(HWND Dialog, UINT Msg, WPARAM WParam, LPARAM LParam) {
    (void)WParam;
    if (Msg == WM_INITDIALOG) {
        auto* info = reinterpret_cast<OPENFILENAMEW*>(LParam);
        SetWindowLongPtrW(Dialog, DWLP_USER, info->lCustData);
        return 0;
    }
    auto* self = reinterpret_cast<TOpenDialog*>(GetWindowLongPtrW(Dialog, DWLP_USER));
    if (!self)
        return 0;
    UINT_PTR result = 0;
    GuardedCall(self, [&] { result = self->Hook(Dialog, Msg, LParam); });
    return result;
}

UINT_PTR TOpenDialog::Hook(HWND Dialog, UINT Msg, LPARAM LParam) {
    if (Msg != WM_NOTIFY)
        return 0;
    auto* notice = reinterpret_cast<OFNOTIFYW*>(LParam);
    switch (notice->hdr.code) {
        case CDN_INITDONE:
            // The hook's dialog is a child of the system's.
            handle_ = GetParent(Dialog);
            if (OnShow)
                OnShow(this);
            break;
        case CDN_SELCHANGE:
            if (OnSelectionChange)
                OnSelectionChange(this);
            break;
        case CDN_FOLDERCHANGE:
            if (OnFolderChange)
                OnFolderChange(this);
            break;
        case CDN_TYPECHANGE:
            filterIndex_ = static_cast<int>(notice->lpOFN->nFilterIndex);
            if (OnTypeChange)
                OnTypeChange(this);
            break;
        case CDN_FILEOK: {
            if (!OnCanClose)
                break;
            bool canClose = true;
            std::string kept = fileName_;
            fileName_ = CurrentPath();
            OnCanClose(this, canClose);
            if (!canClose) {
                fileName_ = kept;
                SetWindowLongPtrW(Dialog, DWLP_MSGRESULT, 1);
                return 1;
            }
            break;
        }
        default:
            break;
    }
    return 0;
}

}  // namespace vexel
