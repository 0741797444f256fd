// The folder browser: the status line's short path, the dialog flags, roots
// and sounds, AfterBrowse in every case, and the system's dialog driven from
// the browser's own events: preselection, centring, status texts, OK
// enabled or not, a chosen and a cancelled browse.
#include <gtest/gtest.h>
#include <windows.h>

#include <shlobj.h>

#include <string>
#include <vector>

#include "framework/core/sysutils.h"
#include "system/folder_browser.h"
#include "tests/framework/win32_files.h"
#include "tests/framework/win32_test_support.h"

namespace vexel {
namespace {

using testing::FrameworkTest;
using testing::TTempFolder;

// The dialog's status line.
constexpr int kStatusId = 0x3743;

TEST(StatusPath, LongPathsLoseTheirMiddleUntilTheyFit) {
    // 62 characters: the second part becomes "...", then the third goes.
    EXPECT_EQ(ShortStatusPath("C:\\Documents and Settings\\All Users\\Application Data\\Microsoft"),
              "C:\\...\\Application Data\\Microsoft");
    EXPECT_EQ(ShortStatusPath("C:\\Documents and Settings\\All Users\\Application Data\\Microsoft").size(),
              33u);
    // 35 characters or fewer stay as they are.
    EXPECT_EQ(ShortStatusPath("C:\\Program Files\\Html Vexel\\pages12"),
              "C:\\Program Files\\Html Vexel\\pages12");
    EXPECT_EQ(ShortStatusPath("C:\\a\\b"), "C:\\a\\b");
    // Two parts stay whatever their length.
    const std::string twoParts = "C:\\A folder name thirty-seven chars long";
    ASSERT_EQ(twoParts.size(), 40u);
    EXPECT_EQ(ShortStatusPath(twoParts), twoParts);
    // Three parts keep all three even when still too long.
    EXPECT_EQ(ShortStatusPath("C:\\A rather long first folder\\and a long second one"),
              "C:\\...\\and a long second one");
    // Parts go only while the path is too long: without "second" it fits.
    EXPECT_EQ(ShortStatusPath("D:\\first folder\\second\\third\\fourth\\fifth file"),
              "D:\\...\\third\\fourth\\fifth file");
}

TEST(FolderBrowserSettings, FlagsRootsAndSounds) {
    EXPECT_EQ(BrowseInfoFlagsOf(BrowseFlag(bifFileSystemDirsOnly) | BrowseFlag(bifStatusText)),
              static_cast<UINT>(BIF_RETURNONLYFSDIRS | BIF_STATUSTEXT));
    EXPECT_EQ(BrowseInfoFlagsOf(BrowseFlag(bifDontGoBelowDomain) | BrowseFlag(bifFileSystemAncestors) |
                                BrowseFlag(bifBrowseForComputer) | BrowseFlag(bifBrowseForPrinter)),
              static_cast<UINT>(BIF_DONTGOBELOWDOMAIN | BIF_RETURNFSANCESTORS | BIF_BROWSEFORCOMPUTER |
                                BIF_BROWSEFORPRINTER));
    EXPECT_EQ(BrowseInfoFlagsOf(0), 0u);

    EXPECT_EQ(SpecialFolderOf(csidlDesktop), 0);
    EXPECT_EQ(SpecialFolderOf(csidlDesktopExpanded), -1);
    EXPECT_EQ(SpecialFolderOf(csidlPrograms), 2);
    EXPECT_EQ(SpecialFolderOf(csidlStartMenu), 11);
    EXPECT_EQ(SpecialFolderOf(csidlDesktopDirectory), 16);
    EXPECT_EQ(SpecialFolderOf(csidlMyComputer), 17);
    EXPECT_EQ(SpecialFolderOf(csidlNetworkNeighborhood), 19);
    EXPECT_EQ(SpecialFolderOf(csidlTemplates), 21);

    EXPECT_FALSE(BeepOf(bNone).has_value());
    EXPECT_EQ(BeepOf(bDefault), 0u);
    EXPECT_EQ(BeepOf(bAsterix), 0x40u);
    EXPECT_EQ(BeepOf(bExclamation), 0x30u);
    EXPECT_EQ(BeepOf(bQuestion), 0x20u);
    EXPECT_EQ(BeepOf(bCriticalStop), 0x10u);
}

class FolderBrowser : public FrameworkTest {
  protected:
    void SetUp() override {
        FrameworkTest::SetUp();
        browser = new TZelFolderBrowser(nullptr);
        browser->AfterBrowse = [this](TObject*) { events.push_back("after"); };
        browser->OnCancel = [this](TObject*) { events.push_back("cancel"); };
    }
    void TearDown() override {
        browser->Free();
        FrameworkTest::TearDown();
    }

    TZelFolderBrowser* browser = nullptr;
    std::vector<std::string> events;
};

TEST_F(FolderBrowser, AfterBrowseFiresAlsoWhenSomethingOnTheWayThrows) {
    EXPECT_EQ(browser->Options(), BrowseFlag(bifFileSystemDirsOnly) | BrowseFlag(bifStatusText));
    EXPECT_TRUE(browser->ShowPath());
    EXPECT_EQ(browser->BrowseRoot(), csidlDesktopExpanded);
    browser->BeforeBrowse = [this](TObject*) {
        events.push_back("before");
        throw EInvalidOperation("stop");
    };
    EXPECT_THROW(browser->Execute(), EInvalidOperation);
    EXPECT_EQ(events, (std::vector<std::string>{"before", "after"}));
    EXPECT_FALSE(browser->Browsing());
    EXPECT_EQ(browser->DialogHandle(), nullptr);
}

// Whether a control of the dialog is meant to show (the dialog itself may
// not show yet).
bool Shown(HWND dialog, int id) {
    return (GetWindowLongA(GetDlgItem(dialog, id), GWL_STYLE) & WS_VISIBLE) != 0;
}

// Reads a folder's names, as the dialog does.
void ForEachName(const std::string& folder) {
    WIN32_FIND_DATAA data{};
    HANDLE find = FindFirstFileA((folder + "*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return;
    while (FindNextFileA(find, &data)) {
    }
    FindClose(find);
}

// Lists every folder on the way to Path once. Wine's dialog finds a folder
// given by its path by comparing what it read of each folder on the way
// (the times included) with the folder tree; the first listing of a folder
// after a change moves the folder's access time on the host, so a folder made
// or changed moments before would be found only now and then.
void SettleFolders(const std::string& path) {
    for (size_t end = path.find('\\'); end != std::string::npos; end = path.find('\\', end + 1))
        ForEachName(path.substr(0, end + 1));
    ForEachName(path + "\\");
}

bool SamePath(const std::string& a, const std::string& b) {
    return lstrcmpiA(a.c_str(), b.c_str()) == 0;
}

std::string StatusText(HWND dialog) {
    char text[MAX_PATH] = {};
    GetDlgItemTextA(dialog, kStatusId, text, MAX_PATH);
    return text;
}

// Closes a dialog that the test failed to close, so a broken browser fails
// the test instead of hanging it.
VOID CALLBACK RescueTimer(HWND, UINT, UINT_PTR, DWORD) {
    if (HWND dialog = FindWindowA("#32770", nullptr))
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
}

class ScopedRescue {
  public:
    ScopedRescue() : id_(SetTimer(nullptr, 0, 20000, &RescueTimer)) {}
    ~ScopedRescue() { KillTimer(nullptr, id_); }

  private:
    UINT_PTR id_;
};

TEST_F(FolderBrowser, TheDialogOpensCentredOnTheFolderGivenAndReportsEverySelection) {
    TTempFolder folder;
    std::string start = folder.Folder("start");
    std::string refused = folder.Folder("refused");
    ASSERT_GT(refused.size(), 35u);
    SettleFolders(start);
    SettleFolders(refused);
    browser->SetCaption("Pick a folder");
    browser->SetReturnPath(start);
    browser->IsValidPath = [&](TObject* sender, const std::string& path, bool& valid) {
        EXPECT_EQ(sender, browser);
        EXPECT_TRUE(valid) << "a folder of the file system: " << path;
        if (SamePath(path, refused))
            valid = false;
    };

    struct TSeen {
        std::string status;
        bool okEnabled = false;
        bool statusVisible = false;
        RECT bounds{};
    };
    std::vector<std::string> paths;
    TSeen atStart, atRefused;
    std::string replacedStatus;
    browser->OnPathChanged = [&](TObject* sender, const std::string& path) {
        EXPECT_EQ(sender, browser);
        EXPECT_TRUE(browser->Browsing());
        HWND dialog = browser->DialogHandle();
        ASSERT_NE(dialog, nullptr);
        paths.push_back(path);
        TSeen seen;
        seen.status = StatusText(dialog);
        seen.okEnabled = IsWindowEnabled(GetDlgItem(dialog, IDOK)) != FALSE;
        seen.statusVisible = Shown(dialog, kStatusId);
        GetWindowRect(dialog, &seen.bounds);
        if (SamePath(path, start) && atStart.status.empty()) {
            atStart = seen;
            static std::string target;
            target = refused;
            PostMessageA(dialog, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(target.c_str()));
        } else if (SamePath(path, refused) && atRefused.status.empty()) {
            atRefused = seen;
            browser->SetCaption("Replaced");
            replacedStatus = StatusText(dialog);
            PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        }
    };

    bool chosen = true;
    {
        ScopedRescue rescue;
        chosen = browser->Execute();
    }
    EXPECT_FALSE(chosen);
    EXPECT_EQ(events, (std::vector<std::string>{"cancel", "after"}));
    EXPECT_TRUE(SamePath(browser->ReturnPath(), refused)) << "the last selection: " << browser->ReturnPath();
    EXPECT_FALSE(browser->Browsing());
    EXPECT_EQ(browser->DialogHandle(), nullptr);
    EXPECT_EQ(Errors, std::vector<std::string>{});

    ASSERT_FALSE(atStart.status.empty()) << "the folder given was not preselected";
    EXPECT_TRUE(SamePath(atStart.status, ShortStatusPath(start))) << atStart.status;
    EXPECT_TRUE(atStart.okEnabled);
    EXPECT_TRUE(atStart.statusVisible);
    int width = atStart.bounds.right - atStart.bounds.left;
    int height = atStart.bounds.bottom - atStart.bounds.top;
    EXPECT_EQ(atStart.bounds.left, GetSystemMetrics(SM_CXSCREEN) / 2 - width / 2);
    EXPECT_EQ(atStart.bounds.top, GetSystemMetrics(SM_CYSCREEN) / 2 - height / 2);

    ASSERT_FALSE(atRefused.status.empty()) << "the second folder was never selected";
    EXPECT_TRUE(SamePath(atRefused.status, ShortStatusPath(refused))) << atRefused.status;
    EXPECT_EQ(atRefused.status.substr(0, 7), "C:\\...\\") << "shortened";
    EXPECT_FALSE(atRefused.okEnabled) << "IsValidPath refused it";
    EXPECT_EQ(replacedStatus, "Replaced");
}

TEST_F(FolderBrowser, ChoosingAFolderReturnsItsPathWithOrWithoutAStatusLine) {
    TTempFolder folder;
    std::string start = folder.Folder("chosen");
    SettleFolders(start);
    browser->SetReturnPath(start);
    browser->SetOptions(BrowseFlag(bifFileSystemDirsOnly));
    browser->SetBrowseRoot(csidlMyComputer);
    browser->BeforeBrowse = [this](TObject*) { events.push_back("before"); };
    std::string status;
    bool statusVisible = true;
    browser->OnPathChanged = [&](TObject*, const std::string& path) {
        HWND dialog = browser->DialogHandle();
        if (!SamePath(path, start) || !status.empty())
            return;
        status = StatusText(dialog);
        statusVisible = Shown(dialog, kStatusId);
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    };

    bool chosen = false;
    {
        ScopedRescue rescue;
        chosen = browser->Execute();
    }
    EXPECT_TRUE(chosen);
    EXPECT_EQ(events, (std::vector<std::string>{"before", "after"}));
    EXPECT_TRUE(SamePath(browser->ReturnPath(), start)) << browser->ReturnPath();
    // The status texts are sent, but the dialog does not show them.
    EXPECT_TRUE(SamePath(status, ShortStatusPath(start))) << status;
    EXPECT_FALSE(statusVisible);
}

}  // namespace
}  // namespace vexel
