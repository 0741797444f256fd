// Browsing the file system in a window: the drive box, the folder list (the
// open path as a small tree with the current folder's sub-folders under it)
// and the file list with its wildcard masks.
//
// The three are linked the way a file picker uses them: a drive picked in
// the drive box moves the folder list to that drive's current folder, and
// every change of folder in the folder list re-reads the file list there.
// Either link is a property (SetDirList, SetFileList) or an OnChange
// handler of the program's own:
//
//     drives->OnChange = [=](TObject*) { folders->SetDrive(drives->Drive()); };
//     folders->OnChange = [=](TObject*) { files->SetDirectory(folders->Directory()); };
//
// Names and paths are UTF-8, read through the wide functions: names in any
// script, and folders deeper than MAX_PATH.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "framework/win32/combo_box.h"
#include "framework/win32/list_box.h"

namespace vexel {

// Whether a file name matches one wildcard pattern by the file system's own
// rules, which are those of the command prompt's "dir", case ignored:
// "*" matches any run of characters and "?" any one, except that "?" may
// also match nothing at the end of the name or before its final dot, "*."
// stops at the name's last dot, and ".*", ".?" or a final "." also match a
// name without any dot. So "*.htm?" matches "a.htm" and "a.html" (not
// "a.htmll"), "*.*" matches every name, "read." matches "read" alone.
bool MatchesFileMask(const std::string& Name, const std::string& Pattern);

// A directory joined with a name in it, with one backslash between them
// ("C:\" + "a.htm" is "C:\a.htm").
std::string JoinPath(const std::string& Directory, const std::string& Name);

// The kinds of entries a file list shows.
enum TFileAttrFlag : uint32_t {
    ftReadOnly = 1,
    ftHidden = 2,
    ftSystem = 4,
    ftVolumeID = 8,
    ftDirectory = 16,
    ftArchive = 32,
    ftNormal = 64,
};
using TFileType = uint32_t;

class TDirectoryListBox;
class TFileListBox;

// A list of the entries of Directory whose names match Mask, sorted as the
// system sorts list boxes. Sub-folders are listed as their names in square
// brackets ("[pages]"); "." and ".." are not listed.
//
// Mask holds one or more patterns separated by ";" (blanks around each are
// ignored), each matched against the entry's name and, where the file
// system keeps one, its short 8.3 name, by MatchesFileMask: an entry is
// listed once when any pattern matches. An empty mask is "*.*".
//
// FileType says which entries are listed. Hidden and system entries and
// sub-folders are listed only when ftHidden, ftSystem or ftDirectory is in
// it; of the rest, every entry with ftNormal, or without it only those that
// carry an attribute asked for (read-only, hidden, system, folder,
// archive). Volume labels are never among a folder's entries.
//
// Setting Directory, Mask or FileType reads the list again (so does
// ReadFileNames); the selection goes. With ShowGlyphs each item is drawn
// after the shell's small icon for a folder or for a file of its kind.
class TFileListBox : public TCustomListBox {
  public:
    explicit TFileListBox(TComponent* AOwner);

    // A full path without a final backslash, except for a drive's root
    // ("C:\"). Starts as the process's current folder. Setting it does not
    // change the process's current folder.
    const std::string& Directory() const { return directory_; }
    void SetDirectory(const std::string& Value);
    const std::string& Mask() const { return mask_; }
    void SetMask(const std::string& Value);
    TFileType FileType() const { return fileType_; }
    void SetFileType(TFileType Value);
    bool ShowGlyphs() const { return showGlyphs_; }
    void SetShowGlyphs(bool Value);
    // Whether Mask is matched against short 8.3 names too (the default).
    // Off, "*.htm?" no longer lists "page.htm_backup" through "PAGEHT~1.HTM".
    bool MatchShortNames() const { return matchShortNames_; }
    void SetMatchShortNames(bool Value);

    // The focused item's full path (Directory joined with the item's text)
    // when that item is selected; empty when it is not, or when the list is
    // empty.
    std::string FileName() const;
    // Takes a path typed by the user: a folder becomes Directory; otherwise
    // its folder part (when given) becomes Directory, and its name becomes
    // Mask when it holds a wildcard, else the item of that name is focused
    // and selected.
    void ApplyFilePath(const std::string& EditText);
    // Reads the folder again.
    void ReadFileNames();

    // The link to the folder list is the other way round: see
    // TDirectoryListBox::SetFileList.

  protected:
    ~TFileListBox() override = default;
    void DrawItem(int Index, const TRect& Rect, TOwnerDrawState State) override;

  private:
    std::string directory_;
    std::string mask_ = "*.*";
    TFileType fileType_ = ftNormal;
    bool showGlyphs_ = false;
    bool matchShortNames_ = true;
};

// The open path of a drive as a small tree: the drive's root, each folder
// down to the current one, then the current folder's sub-folders (hidden
// and system folders left out), one level further in, sorted. A double
// click on an item, or Enter, opens it: it becomes Directory. OnChange
// fires after every change of Directory, whoever made it; FileList, when
// set, follows it.
class TDirectoryListBox : public TCustomListBox {
  public:
    explicit TDirectoryListBox(TComponent* AOwner);

    // A full path, as TFileListBox keeps it; starts as the process's current
    // folder. A folder that does not exist raises EInOutError and changes
    // nothing.
    const std::string& Directory() const { return directory_; }
    void SetDirectory(const std::string& Value);
    // The drive letter of Directory, upper case.
    char Drive() const;
    // Moves to the drive's current folder (its root when it has none), unless
    // Directory is on that drive already.
    void SetDrive(char Value);
    // The full path of an item.
    std::string GetItemPath(int Index) const;
    // Opens the focused item.
    void OpenCurrent();

    TFileListBox* FileList() const { return fileList_; }
    void SetFileList(TFileListBox* Value);

    TNotifyEvent OnChange;

  protected:
    ~TDirectoryListBox() override = default;
    void DrawItem(int Index, const TRect& Rect, TOwnerDrawState State) override;
    void DblClick() override;
    void KeyPress(char& Key) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

  private:
    void ReadDirectoryNames();

    struct TEntry {
        std::string Path;
        int Level = 0;
        bool Open = false;  // on the path to the current folder
    };
    std::string directory_;
    std::vector<TEntry> entries_;
    TFileListBox* fileList_ = nullptr;
};

enum TTextCase { tcLowerCase, tcUpperCase };

// The drives of the computer, each after its shell icon: the letter with a
// colon, and for fixed drives with a volume label that label in square
// brackets ("c: [SYSTEM]"). Starts at the drive of the current folder. OnChange fires
// after every change of Drive, picked by the user or set by the program;
// DirList, when set, follows it.
class TDriveComboBox : public TCustomComboBox {
  public:
    explicit TDriveComboBox(TComponent* AOwner);

    // The selected drive's letter, as listed (see TextCase).
    char Drive() const { return drive_; }
    // Selects the drive; a letter that is not listed changes nothing.
    void SetDrive(char Value);
    TTextCase TextCase() const { return textCase_; }
    void SetTextCase(TTextCase Value);
    // Lists the drives again (after a drive was added or removed).
    void BuildList();

    TDirectoryListBox* DirList() const { return dirList_; }
    void SetDirList(TDirectoryListBox* Value);

  protected:
    ~TDriveComboBox() override = default;
    void CreateParams(TCreateParams& Params) const override;
    void CreateHandle() override;
    void WndProc(TMessage& Message) override;
    void Change() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

  private:
    int IndexOfDrive(char Letter) const;
    void DrawItemMessage(const DRAWITEMSTRUCT& Item);

    char drive_ = 0;
    TTextCase textCase_ = tcLowerCase;
    TDirectoryListBox* dirList_ = nullptr;
    TCanvas canvas_;
};

}  // namespace vexel
