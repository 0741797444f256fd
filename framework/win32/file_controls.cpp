#include "framework/win32/file_controls.h"

#include <shellapi.h>

#include <algorithm>

#include "framework/core/sysutils.h"
#include "framework/win32/owner_draw.h"
#include "framework/win32/shell_icons.h"
#include "framework/win32/system_errors.h"
#include "framework/win32/system_text.h"
#include "platform/ascii.h"

namespace vexel {

namespace {

// The file system's own wildcards, into which "dir" turns "?", "*" and "."
// before it matches (the names are those of the kernel's headers).
constexpr char kDosStar = '<';  // "*" before a dot: any run up to the name's last dot
constexpr char kDosQm = '>';    // "?": one character, or none at a dot or the end
constexpr char kDosDot = '"';   // "." before a wildcard or at the end: a dot, or the end

std::string DosExpression(const std::string& Pattern) {
    std::string expression = Pattern;
    for (size_t i = 0; i < expression.size(); ++i) {
        char next = i + 1 < Pattern.size() ? Pattern[i + 1] : '\0';
        switch (Pattern[i]) {
            case '?':
                expression[i] = kDosQm;
                break;
            case '*':
                if (next == '.')
                    expression[i] = kDosStar;
                break;
            case '.':
                if (next == '?' || next == '*' || next == '\0')
                    expression[i] = kDosDot;
                break;
            default:
                break;
        }
    }
    return expression;
}

std::string UpperCase(const std::string& Text) {
    std::wstring wide = ToSystem(Text);
    if (!wide.empty())
        CharUpperBuffW(&wide[0], static_cast<DWORD>(wide.size()));
    return FromSystem(wide);
}

// Matching by backtracking over (expression position, name position), each
// pair decided once.
class TMaskMatcher {
  public:
    TMaskMatcher(const std::string& Name, const std::string& Expression)
        : name_(UpperCase(Name)),
          expression_(UpperCase(Expression)),
          lastDot_(name_.rfind('.')),
          memo_((expression_.size() + 1) * (name_.size() + 1), -1) {}

    bool Match() { return Match(0, 0); }

  private:
    bool Match(size_t e, size_t n) {
        signed char& known = memo_[e * (name_.size() + 1) + n];
        if (known < 0)
            known = Decide(e, n) ? 1 : 0;
        return known == 1;
    }

    bool Decide(size_t e, size_t n) {
        const size_t nameEnd = name_.size();
        if (e == expression_.size())
            return n == nameEnd;
        const bool atEnd = n == nameEnd;
        switch (char c = expression_[e]) {
            case '*':
                return Match(e + 1, n) || (!atEnd && Match(e, n + 1));
            case '?':
                return !atEnd && Match(e + 1, n + 1);
            case kDosStar: {
                // Up to, not over, the last dot; past it (or without one) to the end.
                size_t limit = lastDot_ != std::string::npos && lastDot_ >= n ? lastDot_ : nameEnd;
                for (size_t k = n; k <= limit; ++k)
                    if (Match(e + 1, k))
                        return true;
                return false;
            }
            case kDosQm:
                if (atEnd || name_[n] == '.') {
                    size_t next = e;
                    while (next < expression_.size() && expression_[next] == kDosQm)
                        ++next;
                    return Match(next, n);
                }
                return Match(e + 1, n + 1);
            case kDosDot:
                if (atEnd)
                    return Match(e + 1, n);
                return name_[n] == '.' && Match(e + 1, n + 1);
            default:
                return !atEnd && name_[n] == c && Match(e + 1, n + 1);
        }
    }

    std::string name_;
    std::string expression_;
    size_t lastDot_;
    std::vector<signed char> memo_;
};

std::vector<std::string> SplitMask(const std::string& Mask) {
    std::vector<std::string> patterns;
    size_t start = 0;
    while (start <= Mask.size()) {
        size_t end = Mask.find(';', start);
        if (end == std::string::npos)
            end = Mask.size();
        std::string pattern = Mask.substr(start, end - start);
        size_t first = pattern.find_first_not_of(' ');
        size_t last = pattern.find_last_not_of(' ');
        if (first != std::string::npos)
            patterns.push_back(pattern.substr(first, last - first + 1));
        start = end + 1;
    }
    return patterns;
}

bool Listed(DWORD Attributes, TFileType Type) {
    const bool folder = (Attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    const bool hidden = (Attributes & FILE_ATTRIBUTE_HIDDEN) != 0;
    const bool system = (Attributes & FILE_ATTRIBUTE_SYSTEM) != 0;
    if ((hidden && !(Type & ftHidden)) || (system && !(Type & ftSystem)) || (folder && !(Type & ftDirectory)))
        return false;
    if (Type & ftNormal)
        return true;
    return ((Attributes & FILE_ATTRIBUTE_READONLY) && (Type & ftReadOnly)) || hidden || system || folder ||
           ((Attributes & FILE_ATTRIBUTE_ARCHIVE) && (Type & ftArchive));
}

// An entry of a folder: its name, its short 8.3 name (empty when the system
// gives none) and its attributes.
struct TFolderEntry {
    std::string Name;
    std::string ShortName;
    DWORD Attributes;
};

// The entries of a folder, through the wide functions: names in any script,
// and folders deeper than MAX_PATH.
template <class TVisit>
void ForEachEntry(const std::string& Directory, TVisit Visit) {
    WIN32_FIND_DATAW data{};
    HANDLE find = FindFirstFileW(platform::SystemPath(JoinPath(Directory, "*")).c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do {
        std::wstring name = data.cFileName;
        if (name != L"." && name != L"..")
            Visit(TFolderEntry{FromSystem(name), FromSystem(data.cAlternateFileName), data.dwFileAttributes});
    } while (FindNextFileW(find, &data));
    FindClose(find);
}

// A full path without a final backslash, except at a drive's root.
std::string NormalPath(const std::string& Path) {
    std::wstring path = ToSystem(Path);
    DWORD needed = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    std::string full = Path;
    if (needed > 0) {
        std::wstring buffer(needed, L'\0');
        DWORD length = GetFullPathNameW(path.c_str(), needed, buffer.data(), nullptr);
        if (length > 0 && length < needed)
            full = FromSystem(buffer.substr(0, length));
    }
    while (full.size() > 3 && (full.back() == '\\' || full.back() == '/'))
        full.pop_back();
    return full;
}

std::string CurrentDirectory() {
    DWORD needed = GetCurrentDirectoryW(0, nullptr);
    std::wstring buffer(needed, L'\0');
    DWORD length = needed ? GetCurrentDirectoryW(needed, buffer.data()) : 0;
    return NormalPath(length > 0 && length < needed ? FromSystem(buffer.substr(0, length)) : "C:\\");
}

bool IsDirectory(const std::string& Path) {
    DWORD attributes = GetFileAttributesW(platform::SystemPath(Path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

bool MatchesFileMask(const std::string& Name, const std::string& Pattern) {
    return TMaskMatcher(Name, DosExpression(Pattern)).Match();
}

std::string JoinPath(const std::string& Directory, const std::string& Name) {
    if (Directory.empty())
        return Name;
    char last = Directory.back();
    return last == '\\' || last == '/' || last == ':' ? Directory + Name : Directory + "\\" + Name;
}

// ---- TFileListBox ----

TFileListBox::TFileListBox(TComponent* AOwner) : TCustomListBox(AOwner), directory_(CurrentDirectory()) {
    SetSorted(true);
    ReadFileNames();
}

void TFileListBox::SetDirectory(const std::string& Value) {
    directory_ = NormalPath(Value);
    ReadFileNames();
}

void TFileListBox::SetMask(const std::string& Value) {
    mask_ = Value.empty() ? "*.*" : Value;
    ReadFileNames();
}

void TFileListBox::SetFileType(TFileType Value) {
    if (fileType_ == Value)
        return;
    fileType_ = Value;
    ReadFileNames();
}

void TFileListBox::SetShowGlyphs(bool Value) {
    if (showGlyphs_ == Value)
        return;
    showGlyphs_ = Value;
    SetStyle(Value ? lbOwnerDrawFixed : lbStandard);
    Invalidate();
}

void TFileListBox::SetMatchShortNames(bool Value) {
    if (matchShortNames_ == Value)
        return;
    matchShortNames_ = Value;
    ReadFileNames();
}

void TFileListBox::ReadFileNames() {
    std::vector<std::string> patterns = SplitMask(mask_);
    std::vector<std::string> names;
    ForEachEntry(directory_, [&](const TFolderEntry& data) {
        if (!Listed(data.Attributes, fileType_))
            return;
        for (const std::string& pattern : patterns) {
            if (MatchesFileMask(data.Name, pattern) ||
                (matchShortNames_ && !data.ShortName.empty() && MatchesFileMask(data.ShortName, pattern))) {
                bool folder = (data.Attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
                names.push_back(folder ? "[" + data.Name + "]" : data.Name);
                return;
            }
        }
    });
    TStrings* items = Items();
    items->BeginUpdate();
    try {
        items->Clear();
        for (const std::string& name : names)
            items->Add(name);
    } catch (...) {
        items->EndUpdate();
        throw;
    }
    items->EndUpdate();
}

std::string TFileListBox::FileName() const {
    int index = ItemIndex();
    if (index < 0 || !Selected(index))
        return {};
    return JoinPath(directory_, Items()->Strings(index));
}

void TFileListBox::ApplyFilePath(const std::string& EditText) {
    if (EditText.empty())
        return;
    if (IsDirectory(EditText)) {
        SetDirectory(EditText);
        return;
    }
    size_t slash = EditText.find_last_of("\\/:");
    std::string name = slash == std::string::npos ? EditText : EditText.substr(slash + 1);
    if (slash != std::string::npos) {
        std::string folder = EditText.substr(0, slash + 1);
        if (!IsDirectory(folder))
            return;
        SetDirectory(folder);
    }
    if (name.find_first_of("*?") != std::string::npos) {
        SetMask(name);
        return;
    }
    for (int i = 0; i < Count(); ++i) {
        if (CompareTextIgnoringCase(Items()->Strings(i), name) == 0) {
            if (MultiSelect())
                ClearSelection();
            SetSelected(i, true);
            SetItemIndex(i);
            return;
        }
    }
}

void TFileListBox::DrawItem(int Index, const TRect& Rect, TOwnerDrawState State) {
    if (OnDrawItem || !showGlyphs_) {
        TCustomListBox::DrawItem(Index, Rect, State);
        return;
    }
    std::string text = Items()->Strings(Index);
    bool folder = text.size() > 1 && text.front() == '[' && text.back() == ']';
    int icon = folder ? ShellSmallIconIndex("folder", SHGFI_USEFILEATTRIBUTES, FILE_ATTRIBUTE_DIRECTORY)
                      : ShellSmallIconIndex(text, SHGFI_USEFILEATTRIBUTES, FILE_ATTRIBUTE_NORMAL);
    DrawIconItem(*Canvas(), Rect, Rect.Left + 2, Rect.Left + 20, icon, text);
}

// ---- TDirectoryListBox ----

namespace {
constexpr int kLevelIndent = 8;
}  // namespace

TDirectoryListBox::TDirectoryListBox(TComponent* AOwner)
    : TCustomListBox(AOwner), directory_(CurrentDirectory()) {
    SetStyle(lbOwnerDrawFixed);
    SetItemHeight(16);
    ReadDirectoryNames();
}

void TDirectoryListBox::SetDirectory(const std::string& Value) {
    std::string path = NormalPath(Value);
    if (!IsDirectory(path))
        throw EInOutError("Folder \"" + path + "\" does not exist. " + SysErrorMessage(ERROR_PATH_NOT_FOUND),
                          ERROR_PATH_NOT_FOUND);
    directory_ = path;
    ReadDirectoryNames();
    if (fileList_)
        fileList_->SetDirectory(directory_);
    if (OnChange)
        OnChange(this);
}

char TDirectoryListBox::Drive() const {
    return directory_.size() > 1 && directory_[1] == ':' ? AsciiUpper(directory_[0]) : '\0';
}

void TDirectoryListBox::SetDrive(char Value) {
    Value = AsciiUpper(Value);
    if (Value == Drive())
        return;
    // "X:" names the drive's current folder.
    std::string path = NormalPath(std::string(1, Value) + ":");
    if (!IsDirectory(path))
        path = std::string(1, Value) + ":\\";
    SetDirectory(path);
}

std::string TDirectoryListBox::GetItemPath(int Index) const {
    if (Index < 0 || Index >= static_cast<int>(entries_.size()))
        throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
    return entries_[static_cast<size_t>(Index)].Path;
}

void TDirectoryListBox::OpenCurrent() {
    int index = ItemIndex();
    if (index >= 0 && index < static_cast<int>(entries_.size()))
        SetDirectory(entries_[static_cast<size_t>(index)].Path);
}

void TDirectoryListBox::SetFileList(TFileListBox* Value) {
    if (fileList_ == Value)
        return;
    if (fileList_)
        fileList_->RemoveFreeNotification(this);
    fileList_ = Value;
    if (Value) {
        Value->FreeNotification(this);
        Value->SetDirectory(directory_);
    }
}

void TDirectoryListBox::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomListBox::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == static_cast<TComponent*>(fileList_))
        fileList_ = nullptr;
}

void TDirectoryListBox::ReadDirectoryNames() {
    std::vector<TEntry> entries;
    // The open path: the root, then each folder down to the current one.
    size_t rootLength = directory_.size() >= 3 && directory_[1] == ':' ? 3 : directory_.find('\\', 2) + 1;
    if (rootLength == 0 || rootLength > directory_.size())
        rootLength = directory_.size();
    std::string path = directory_.substr(0, rootLength);
    entries.push_back({path, 0, true});
    size_t start = rootLength;
    while (start < directory_.size()) {
        size_t end = directory_.find('\\', start);
        if (end == std::string::npos)
            end = directory_.size();
        path = directory_.substr(0, end);
        entries.push_back({path, static_cast<int>(entries.size()), true});
        start = end + 1;
    }
    const int subLevel = static_cast<int>(entries.size());
    std::vector<std::string> folders;
    ForEachEntry(directory_, [&](const TFolderEntry& data) {
        DWORD a = data.Attributes;
        if ((a & FILE_ATTRIBUTE_DIRECTORY) && !(a & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)))
            folders.push_back(data.Name);
    });
    std::sort(folders.begin(), folders.end(),
              [](const std::string& a, const std::string& b) { return CompareTextIgnoringCase(a, b) < 0; });
    for (const std::string& folder : folders)
        entries.push_back({JoinPath(directory_, folder), subLevel, false});

    entries_ = std::move(entries);
    TStrings* items = Items();
    items->BeginUpdate();
    try {
        items->Clear();
        for (size_t i = 0; i < entries_.size(); ++i) {
            const std::string& p = entries_[i].Path;
            items->Add(i == 0 ? p : p.substr(p.find_last_of('\\') + 1));
        }
    } catch (...) {
        items->EndUpdate();
        throw;
    }
    items->EndUpdate();
    SetItemIndex(subLevel - 1);
}

void TDirectoryListBox::DrawItem(int Index, const TRect& Rect, TOwnerDrawState State) {
    if (OnDrawItem || Index >= static_cast<int>(entries_.size())) {
        TCustomListBox::DrawItem(Index, Rect, State);
        return;
    }
    const TEntry& entry = entries_[static_cast<size_t>(Index)];
    int x = Rect.Left + 2 + entry.Level * kLevelIndent;
    UINT flags = SHGFI_USEFILEATTRIBUTES | (entry.Open ? SHGFI_OPENICON : 0);
    int icon = Index == 0 ? ShellSmallIconIndex(entry.Path) : -1;
    if (icon < 0)
        icon = ShellSmallIconIndex("folder", flags, FILE_ATTRIBUTE_DIRECTORY);
    DrawIconItem(*Canvas(), Rect, x, x + 19, icon, Items()->Strings(Index));
}

void TDirectoryListBox::DblClick() {
    OpenCurrent();
    TCustomListBox::DblClick();
}

void TDirectoryListBox::KeyPress(char& Key) {
    TCustomListBox::KeyPress(Key);
    if (Key == '\r') {
        OpenCurrent();
        Key = 0;
    }
}

// ---- TDriveComboBox ----

TDriveComboBox::TDriveComboBox(TComponent* AOwner) : TCustomComboBox(AOwner) {
    SetStyle(csDropDownList);
    std::string current = CurrentDirectory();
    BuildList();
    SetDrive(current.size() > 1 && current[1] == ':' ? current[0] : 'C');
}

void TDriveComboBox::CreateParams(TCreateParams& Params) const {
    TCustomComboBox::CreateParams(Params);
    Params.Style |= CBS_OWNERDRAWFIXED | CBS_HASSTRINGS;
}

void TDriveComboBox::CreateHandle() {
    TCustomComboBox::CreateHandle();
    if (HandleAllocated())
        SetItemIndex(IndexOfDrive(drive_));
}

void TDriveComboBox::BuildList() {
    char keep = drive_;
    TStrings* items = Items();
    items->Clear();
    DWORD drives = GetLogicalDrives();
    for (int i = 0; i < 26; ++i) {
        if (!(drives & (1u << i)))
            continue;
        char letter = static_cast<char>((textCase_ == tcUpperCase ? 'A' : 'a') + i);
        std::string root = std::string(1, static_cast<char>('A' + i)) + ":\\";
        std::string text = std::string(1, letter) + ":";
        UINT type = GetDriveTypeW(ToSystem(root).c_str());
        if (type == DRIVE_FIXED || type == DRIVE_RAMDISK) {
            wchar_t label[MAX_PATH + 1] = L"";
            // A drive the system cannot read shows its letter alone.
            UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS);
            // A drive without a label shows its letter alone, not "c: []".
            if (GetVolumeInformationW(ToSystem(root).c_str(), label, MAX_PATH + 1, nullptr, nullptr, nullptr,
                                      nullptr, 0) &&
                label[0] != L'\0')
                text += " [" + FromSystem(label) + "]";
            SetErrorMode(oldMode);
        }
        items->Add(text);
    }
    drive_ = 0;
    int index = IndexOfDrive(keep);
    if (index < 0 && Items()->Count() > 0)
        index = 0;
    SetItemIndex(index);
    drive_ = index >= 0 ? Items()->Strings(index)[0] : '\0';
}

int TDriveComboBox::IndexOfDrive(char Letter) const {
    Letter = AsciiUpper(Letter);
    for (int i = 0; i < Items()->Count(); ++i) {
        std::string text = Items()->Strings(i);
        if (!text.empty() && AsciiUpper(text[0]) == Letter)
            return i;
    }
    return -1;
}

void TDriveComboBox::SetDrive(char Value) {
    int index = IndexOfDrive(Value);
    if (index < 0)
        return;
    char letter = Items()->Strings(index)[0];
    if (letter == drive_)
        return;
    SetItemIndex(index);
    Change();
}

void TDriveComboBox::SetTextCase(TTextCase Value) {
    if (textCase_ == Value)
        return;
    textCase_ = Value;
    BuildList();
    Invalidate();
}

void TDriveComboBox::Change() {
    int index = ItemIndex();
    if (index < 0)
        return;
    drive_ = Items()->Strings(index)[0];
    if (dirList_)
        dirList_->SetDrive(drive_);
    TCustomComboBox::Change();
}

void TDriveComboBox::SetDirList(TDirectoryListBox* Value) {
    if (dirList_ == Value)
        return;
    if (dirList_)
        dirList_->RemoveFreeNotification(this);
    dirList_ = Value;
    if (Value) {
        Value->FreeNotification(this);
        Value->SetDrive(drive_);
    }
}

void TDriveComboBox::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomComboBox::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == static_cast<TComponent*>(dirList_))
        dirList_ = nullptr;
}

void TDriveComboBox::WndProc(TMessage& Message) {
    switch (Message.Msg) {
        case CN_MEASUREITEM: {
            auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(Message.LParam);
            TCanvas measure;
            ScopedGetDC screen(nullptr);
            ScopedCanvasHandle bind(measure, screen.Get());
            measure.Font()->Assign(Font());
            item->itemHeight = static_cast<UINT>(std::max(16, measure.TextHeight("Ag")) + 2);
            Message.Result = TRUE;
            return;
        }
        case CN_DRAWITEM:
            DrawItemMessage(*reinterpret_cast<DRAWITEMSTRUCT*>(Message.LParam));
            Message.Result = TRUE;
            return;
        default:
            break;
    }
    TCustomComboBox::WndProc(Message);
}

void TDriveComboBox::DrawItemMessage(const DRAWITEMSTRUCT& Item) {
    DrawOwnerDrawItem(canvas_, Item, Font(), Color(), Items()->Count(), [&](int Index, const TRect& Rect) {
        std::string text = Items()->Strings(Index);
        std::string root = std::string(1, AsciiUpper(text[0])) + ":\\";
        DrawIconItem(canvas_, Rect, Rect.Left + 2, Rect.Left + 22, ShellSmallIconIndex(root), text);
    });
}

}  // namespace vexel
