// The file list, the folder list and the drive box: the file system's
// wildcard rules, masks of several patterns, the kinds of entries listed,
// selections made with the mouse, Ctrl and Shift, the focused item's file
// name, and the links from drive to folder to file list.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "framework/core/sysutils.h"
#include "framework/win32/file_controls.h"
#include "framework/win32/forms.h"
#include "platform/ascii.h"
#include "tests/framework/win32_files.h"
#include "tests/framework/win32_test_support.h"

using namespace vexel;
using vexel::testing::FrameworkTest;
using vexel::testing::ItemsOf;
using vexel::testing::MakeForm;
using vexel::testing::TTempFolder;

namespace {

bool Lists(TCustomListBox* list, const std::string& item) {
    return list->Items()->IndexOf(item) >= 0;
}

int Occurrences(TCustomListBox* list, const std::string& item) {
    int count = 0;
    for (int i = 0; i < list->Count(); ++i)
        count += list->Items()->Strings(i) == item;
    return count;
}

// A click on item Index as the system delivers it, with MK_CONTROL or
// MK_SHIFT held as Keys says.
void ClickItem(TApplication* app, TCustomListBox* list, int index, WPARAM keys = 0) {
    TRect r = list->ItemRect(index);
    LPARAM at = MAKELPARAM(r.Left + 5, r.Top + r.Height() / 2);
    PostMessageA(list->Handle(), WM_LBUTTONDOWN, MK_LBUTTON | keys, at);
    PostMessageA(list->Handle(), WM_LBUTTONUP, keys, at);
    app->ProcessMessages();
}

void DoubleClickItem(TApplication* app, TCustomListBox* list, int index) {
    TRect r = list->ItemRect(index);
    LPARAM at = MAKELPARAM(r.Left + 5, r.Top + r.Height() / 2);
    PostMessageA(list->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageA(list->Handle(), WM_LBUTTONUP, 0, at);
    PostMessageA(list->Handle(), WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    PostMessageA(list->Handle(), WM_LBUTTONUP, 0, at);
    app->ProcessMessages();
}

// The file's 8.3 name, or empty when the file system keeps none for it.
std::string ShortName(const std::string& path) {
    WIN32_FIND_DATAA data{};
    HANDLE find = FindFirstFileA(path.c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return {};
    FindClose(find);
    return data.cAlternateFileName;
}

std::vector<int> SelectedItems(TCustomListBox* list) {
    std::vector<int> selected;
    for (int i = 0; i < list->Count(); ++i)
        if (list->Selected(i))
            selected.push_back(i);
    return selected;
}

const TFileType kEveryKind =
    ftReadOnly | ftHidden | ftSystem | ftVolumeID | ftDirectory | ftArchive | ftNormal;

}  // namespace

TEST(FileMasks, FollowTheFileSystemsWildcardRules) {
    // "?" at the end may match nothing, so one pattern takes both page endings.
    EXPECT_TRUE(MatchesFileMask("index.htm", "*.htm?"));
    EXPECT_TRUE(MatchesFileMask("index.html", "*.htm?"));
    EXPECT_TRUE(MatchesFileMask("page.htmx", "*.htm?"));
    EXPECT_FALSE(MatchesFileMask("page.htmll", "*.htm?"));
    EXPECT_FALSE(MatchesFileMask("index.txt", "*.htm?"));
    // Case is ignored, and "*." runs up to the last dot only.
    EXPECT_TRUE(MatchesFileMask("INDEX.Htm", "*.hTM"));
    EXPECT_TRUE(MatchesFileMask("a.b.htm", "*.htm"));
    EXPECT_FALSE(MatchesFileMask("a.htm.bak", "*.htm"));
    EXPECT_TRUE(MatchesFileMask("photo.jpeg", "*.jp*"));
    EXPECT_TRUE(MatchesFileMask("photo.jpg", "*.JP*"));
    // "*.*" is every name, with or without a dot; a final dot asks for none.
    EXPECT_TRUE(MatchesFileMask("README", "*.*"));
    EXPECT_TRUE(MatchesFileMask("a.b.c", "*.*"));
    EXPECT_TRUE(MatchesFileMask("README", "README."));
    EXPECT_FALSE(MatchesFileMask("README.txt", "README."));
    // "?" inside a name is exactly one character; "*" anything.
    EXPECT_TRUE(MatchesFileMask("abc", "a?c"));
    EXPECT_FALSE(MatchesFileMask("ac", "a?c"));
    EXPECT_TRUE(MatchesFileMask("page12.htm", "page*.htm"));
    EXPECT_TRUE(MatchesFileMask("ab", "a??"));
    EXPECT_FALSE(MatchesFileMask("abcd", "a??"));
    EXPECT_FALSE(MatchesFileMask("index.htm", ""));
}

TEST(FileMasks, JoinPathPutsOneBackslashBetween) {
    EXPECT_EQ(JoinPath("C:\\", "a.htm"), "C:\\a.htm");
    EXPECT_EQ(JoinPath("C:\\pages", "a.htm"), "C:\\pages\\a.htm");
    EXPECT_EQ(JoinPath("C:\\pages\\", "[sub]"), "C:\\pages\\[sub]");
}

class FileControls : public FrameworkTest {
  protected:
    void SetUp() override {
        FrameworkTest::SetUp();
        form_ = MakeForm(App(), 360, 320);
    }

    TFileListBox* NewFileList(const std::string& directory, const std::string& mask) {
        auto* list = new TFileListBox(form_);
        list->SetParent(form_);
        list->SetBounds(8, 8, 200, 260);
        list->SetDirectory(directory);
        list->SetMask(mask);
        return list;
    }

    TTempFolder folder_;
    TForm* form_ = nullptr;
};

TEST_F(FileControls, MasksOfSeveralPatternsListEachMatchingFileOnce) {
    for (const char* name : {"a.htm", "b.html", "c.htmx", "d.txt", "e.HTM", "f.htmll"})
        folder_.File(name);
    folder_.Folder("sub.htm");
    folder_.Folder("other");

    TFileListBox* list = NewFileList(folder_.Path(), "*.htm?");
    EXPECT_EQ(list->Directory(), folder_.Path());
    for (const char* listed : {"a.htm", "b.html", "c.htmx", "e.HTM"})
        EXPECT_TRUE(Lists(list, listed)) << listed << " in " << ItemsOf(list);
    EXPECT_FALSE(Lists(list, "d.txt"));
    // Where the file system keeps a short name it counts too, as it does for
    // "dir": "F~1.HTM" matches "*.htm?" although "f.htmll" does not.
    std::string shortName = ShortName(folder_ / "f.htmll");
    EXPECT_EQ(Lists(list, "f.htmll"), MatchesFileMask(shortName, "*.htm?")) << "short name " << shortName;
    EXPECT_FALSE(Lists(list, "[sub.htm]")) << "folders only with ftDirectory";

    list->SetMask("*.htm;*.html");
    EXPECT_TRUE(Lists(list, "a.htm"));
    EXPECT_TRUE(Lists(list, "e.HTM"));
    EXPECT_EQ(Occurrences(list, "b.html"), 1) << ItemsOf(list);
    EXPECT_FALSE(Lists(list, "d.txt"));

    list->SetMask(" *.txt ; *.htm ");  // blanks around the patterns do not count
    EXPECT_TRUE(Lists(list, "d.txt"));
    EXPECT_TRUE(Lists(list, "a.htm"));

    // The main window's file list: every kind of entry that matches.
    list->SetFileType(kEveryKind);
    list->SetMask("*.htm?");
    EXPECT_TRUE(Lists(list, "[sub.htm]")) << ItemsOf(list);
    EXPECT_FALSE(Lists(list, "[other]"));
    list->SetMask("");
    EXPECT_EQ(list->Mask(), "*.*");
    EXPECT_TRUE(Lists(list, "[other]"));
    EXPECT_TRUE(Lists(list, "d.txt"));
    EXPECT_FALSE(Lists(list, "[.]"));
    EXPECT_FALSE(Lists(list, "[..]"));
}

TEST_F(FileControls, FileTypeSaysWhichKindsOfEntryAreListed) {
    folder_.File("plain.htm");
    folder_.File("readonly.htm", FILE_ATTRIBUTE_READONLY);
    folder_.File("hidden.htm", FILE_ATTRIBUTE_HIDDEN);
    folder_.File("system.htm", FILE_ATTRIBUTE_SYSTEM);
    folder_.Folder("folder.htm");
    bool hiddenKept = GetFileAttributesA((folder_ / "hidden.htm").c_str()) & FILE_ATTRIBUTE_HIDDEN;
    bool systemKept = GetFileAttributesA((folder_ / "system.htm").c_str()) & FILE_ATTRIBUTE_SYSTEM;

    TFileListBox* list = NewFileList(folder_.Path(), "*.htm");
    EXPECT_EQ(list->FileType(), static_cast<TFileType>(ftNormal));
    EXPECT_TRUE(Lists(list, "plain.htm"));
    EXPECT_TRUE(Lists(list, "readonly.htm")) << "read-only files are ordinary files";
    EXPECT_FALSE(Lists(list, "[folder.htm]"));
    if (hiddenKept) {
        EXPECT_FALSE(Lists(list, "hidden.htm"));
    }
    if (systemKept) {
        EXPECT_FALSE(Lists(list, "system.htm"));
    }

    list->SetFileType(ftNormal | ftHidden | ftDirectory);
    EXPECT_TRUE(Lists(list, "hidden.htm"));
    EXPECT_TRUE(Lists(list, "[folder.htm]"));
    if (systemKept) {
        EXPECT_FALSE(Lists(list, "system.htm"));
    }

    // Without ftNormal only entries that carry a kind asked for.
    list->SetFileType(ftReadOnly);
    EXPECT_EQ(ItemsOf(list), "readonly.htm");
    list->SetFileType(ftDirectory);
    EXPECT_EQ(ItemsOf(list), "[folder.htm]");

    list->SetFileType(kEveryKind);
    EXPECT_EQ(list->Count(), 5) << ItemsOf(list);
    EXPECT_TRUE(hiddenKept && systemKept)
        << "the file system kept no hidden or system attribute here, so the "
           "entries that should be left out could not be seen left out";
}

TEST_F(FileControls, FolderAndMaskChangesReadTheListAgain) {
    TTempFolder other;
    folder_.File("one.htm");
    other.File("two.htm");
    TFileListBox* list = NewFileList(folder_.Path(), "*.htm");
    list->HandleNeeded();
    EXPECT_EQ(ItemsOf(list), "one.htm");

    folder_.File("three.htm");
    EXPECT_EQ(ItemsOf(list), "one.htm") << "nothing reads the folder by itself";
    list->SetMask("*.htm");
    EXPECT_EQ(ItemsOf(list), "one.htm|three.htm");
    list->SetDirectory(other.Path() + "\\");
    EXPECT_EQ(list->Directory(), other.Path()) << "kept without the final backslash";
    EXPECT_EQ(ItemsOf(list), "two.htm");
    list->SetDirectory(folder_.Path());
    list->SetMask("*.txt");
    EXPECT_EQ(list->Count(), 0);
    EXPECT_EQ(list->ItemIndex(), -1);
    EXPECT_EQ(list->FileName(), "") << "an empty list has no file name";

    // A typed path: a folder, a mask, or a file to pick.
    list->ApplyFilePath(other.Path());
    EXPECT_EQ(list->Directory(), other.Path());
    list->ApplyFilePath(folder_ / "*.htm");
    EXPECT_EQ(list->Directory(), folder_.Path());
    EXPECT_EQ(list->Mask(), "*.htm");
    list->ApplyFilePath(folder_ / "THREE.HTM");
    EXPECT_EQ(list->FileName(), folder_ / "three.htm");

    // Items survive a new window, and so does the selection.
    list->SetMultiSelect(true);
    EXPECT_EQ(ItemsOf(list), "one.htm|three.htm");
    EXPECT_EQ(SelectedItems(list), std::vector<int>{1});
}

TEST_F(FileControls, MultiSelectionWithCtrlAndShiftAndTheFocusedFileName) {
    for (const char* name : {"a.htm", "b.htm", "c.htm", "d.htm", "e.htm"})
        folder_.File(name);
    TFileListBox* list = NewFileList(folder_.Path(), "*.htm");
    list->SetMultiSelect(true);
    int clicks = 0;
    std::vector<std::string> seen;
    list->OnClick = [&](TObject*) {
        ++clicks;
        seen.push_back(list->FileName());
    };
    list->HandleNeeded();
    ASSERT_EQ(list->Count(), 5);
    EXPECT_TRUE(GetWindowLongA(list->Handle(), GWL_STYLE) & LBS_EXTENDEDSEL);

    ClickItem(App(), list, 0);
    EXPECT_EQ(SelectedItems(list), std::vector<int>{0});
    EXPECT_EQ(list->FileName(), folder_ / "a.htm");
    ClickItem(App(), list, 2, MK_CONTROL);
    EXPECT_EQ(SelectedItems(list), (std::vector<int>{0, 2}));
    EXPECT_EQ(list->ItemIndex(), 2);
    EXPECT_EQ(list->FileName(), folder_ / "c.htm");
    ClickItem(App(), list, 4, MK_SHIFT);  // the run from the last click, alone
    EXPECT_EQ(SelectedItems(list), (std::vector<int>{2, 3, 4}));
    ClickItem(App(), list, 0, MK_CONTROL);
    EXPECT_EQ(SelectedItems(list), (std::vector<int>{0, 2, 3, 4}));
    // Ctrl on a selected item takes it out: the focused item is no longer
    // selected, so there is no file name.
    ClickItem(App(), list, 3, MK_CONTROL);
    EXPECT_EQ(SelectedItems(list), (std::vector<int>{0, 2, 4}));
    EXPECT_EQ(list->ItemIndex(), 3);
    EXPECT_EQ(list->FileName(), "");
    EXPECT_EQ(clicks, 5);
    EXPECT_EQ(seen.back(), "") << "the click sees the new selection";

    // Moving the focus from the program leaves the selection alone.
    list->SetItemIndex(4);
    EXPECT_EQ(list->ItemIndex(), 4);
    EXPECT_EQ(list->FileName(), folder_ / "e.htm");
    list->SetItemIndex(1);
    EXPECT_EQ(list->FileName(), "");
    EXPECT_EQ(SelectedItems(list), (std::vector<int>{0, 2, 4}));
    EXPECT_EQ(list->SelCount(), 3);

    // A plain click starts over with one item.
    ClickItem(App(), list, 1);
    EXPECT_EQ(SelectedItems(list), std::vector<int>{1});
}

TEST_F(FileControls, FolderListShowsTheOpenPathAndOpensFoldersForTheFileList) {
    std::string pages = folder_.Folder("pages");
    folder_.Folder("Archive");
    folder_.Folder("zeta");
    std::string hidden = folder_.Folder("hidden");
    SetFileAttributesA(hidden.c_str(), FILE_ATTRIBUTE_HIDDEN);
    bool hiddenKept = GetFileAttributesA(hidden.c_str()) & FILE_ATTRIBUTE_HIDDEN;
    folder_.File("pages\\index.htm");

    auto* folders = new TDirectoryListBox(form_);
    folders->SetParent(form_);
    folders->SetBounds(8, 8, 200, 200);
    TFileListBox* files = NewFileList(folder_.Path(), "*.htm");
    std::vector<std::string> changes;
    folders->OnChange = [&](TObject*) { changes.push_back(folders->Directory()); };
    folders->SetFileList(files);
    folders->SetDirectory(folder_.Path());
    folders->HandleNeeded();

    // Root, each folder down to this one, then its sub-folders one level in.
    std::vector<std::string> parts;
    std::string path = folder_.Path();
    parts.push_back(path.substr(0, 3));
    for (size_t start = 3; start < path.size();) {
        size_t end = path.find('\\', start);
        if (end == std::string::npos)
            end = path.size();
        parts.push_back(path.substr(start, end - start));
        start = end + 1;
    }
    std::string expected;
    for (const std::string& part : parts)
        expected += part + "|";
    expected += "Archive|pages|zeta";
    if (!hiddenKept)
        expected += "|hidden";
    EXPECT_EQ(ItemsOf(folders), expected);
    int current = static_cast<int>(parts.size()) - 1;
    EXPECT_EQ(folders->ItemIndex(), current);
    EXPECT_EQ(folders->GetItemPath(0), parts[0]);
    EXPECT_EQ(folders->GetItemPath(current), folder_.Path());
    EXPECT_EQ(folders->GetItemPath(current + 2), pages);
    EXPECT_EQ(folders->Drive(), AsciiUpper(path[0]));

    // A double click opens a folder; the file list follows.
    DoubleClickItem(App(), folders, current + 2);
    EXPECT_EQ(folders->Directory(), pages);
    EXPECT_EQ(files->Directory(), pages);
    EXPECT_EQ(ItemsOf(files), "index.htm");
    EXPECT_EQ(ItemsOf(folders).substr(ItemsOf(folders).rfind('|') + 1), "pages");
    // Opening the parent from the path above.
    DoubleClickItem(App(), folders, current);
    EXPECT_EQ(folders->Directory(), folder_.Path());
    EXPECT_EQ(changes, (std::vector<std::string>{folder_.Path(), pages, folder_.Path()}));

    EXPECT_THROW(folders->SetDirectory(folder_ / "missing"), EInOutError);
    EXPECT_EQ(folders->Directory(), folder_.Path());
    EXPECT_EQ(changes.size(), 3u);

    // The link goes when the file list does.
    files->Free();
    EXPECT_EQ(folders->FileList(), nullptr);
    folders->SetDirectory(pages);
}

TEST_F(FileControls, DriveBoxListsTheDrivesAndMovesTheFolderList) {
    auto* drives = new TDriveComboBox(form_);
    drives->SetParent(form_);
    drives->SetBounds(8, 8, 120, 20);
    auto* folders = new TDirectoryListBox(form_);
    folders->SetParent(form_);
    folders->SetBounds(8, 40, 200, 200);
    drives->HandleNeeded();

    DWORD mask = GetLogicalDrives();
    int expected = 0;
    for (int i = 0; i < 26; ++i)
        expected += (mask >> i) & 1;
    ASSERT_EQ(drives->Items()->Count(), expected);
    ASSERT_TRUE(mask & (1u << 2)) << "the tests expect a drive C:";
    char here = folders->Drive();
    EXPECT_EQ(drives->Drive(), AsciiLower(here)) << "starts at the current folder's drive";
    EXPECT_EQ(drives->Items()->Strings(drives->ItemIndex()).substr(0, 2),
              std::string(1, drives->Drive()) + ":");
    EXPECT_EQ(drives->Items()->Strings(0)[1], ':');
    for (int i = 0; i < drives->Items()->Count(); ++i) {
        const std::string text = drives->Items()->Strings(i);
        EXPECT_TRUE(text.size() == 2 || (text.size() > 5 && text.substr(2, 2) == " [" && text.back() == ']'))
            << "a label, when there is one, in brackets: \"" << text << '"';
    }

    drives->SetTextCase(tcUpperCase);
    EXPECT_EQ(drives->Items()->Strings(0)[0], drives->Items()->Strings(0)[0] & ~0x20);
    EXPECT_EQ(drives->Drive(), here);

    int changes = 0;
    drives->OnChange = [&](TObject*) { ++changes; };
    drives->SetDirList(folders);
    drives->SetDrive(here);
    EXPECT_EQ(changes, 0) << "the same drive is no change";
    char other = here == 'C' ? 'Z' : 'C';
    if (!(mask & (1u << (other - 'A'))))
        GTEST_SKIP() << "only one drive to move between";
    drives->SetDrive(AsciiLower(other));
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(drives->Drive(), other);
    EXPECT_EQ(folders->Drive(), other);
    EXPECT_EQ(folders->Directory()[0] & ~0x20, other);

    // A pick in the list by the user does the same.
    int index = -1;
    for (int i = 0; i < drives->Items()->Count(); ++i)
        if (drives->Items()->Strings(i)[0] == here)
            index = i;
    ASSERT_GE(index, 0);
    SendMessageA(drives->Handle(), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageA(form_->Handle(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(drives->Handle()), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(drives->Handle()));
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(folders->Drive(), here);
}
