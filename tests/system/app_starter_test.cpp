// The app starter: the verb and show command each item gives the shell, its
// display name and copies, and real launches of a program of ours through
// the shell: waited for, started as asked, and no process handle kept.
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <sstream>
#include <string>

#include "framework/core/sysutils.h"
#include "system/app_starter.h"
#include "tests/framework/win32_files.h"
#include "tests/framework/win32_test_support.h"

namespace vexel {
namespace {

using testing::FrameworkTest;
using testing::TTempFolder;

std::string ProgramBeside(const char* name) {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder = path;
    folder.erase(folder.find_last_of("\\/") + 1);
    return folder + name;
}

std::string ReadFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

// The handles of this process that stand for the process Id, found by
// trying every handle value: under Wine GetProcessHandleCount does not
// change when a process handle is left open.
int HandlesTo(DWORD id) {
    int count = 0;
    for (uintptr_t value = 4; value < 0x10000; value += 4) {
        auto handle = reinterpret_cast<HANDLE>(value);
        DWORD flags = 0;
        if (GetHandleInformation(handle, &flags) && GetProcessId(handle) == id)
            ++count;
    }
    return count;
}

// The process id the probe wrote in its report.
DWORD ProbeId(const std::string& report) {
    size_t at = report.find("pid=");
    return at == std::string::npos ? 0 : static_cast<DWORD>(std::stoul(report.substr(at + 4)));
}

class AppStarter : public FrameworkTest {
  protected:
    void SetUp() override {
        FrameworkTest::SetUp();
        starter = new TZelAppStarter(nullptr);
    }
    void TearDown() override {
        starter->Free();
        FrameworkTest::TearDown();
    }
    TZelAppStarter* starter = nullptr;
};

TEST_F(AppStarter, EachStyleGivesItsVerbAndTheDefaultGivesNone) {
    TZelStartableItem* item = starter->Programs()->Add();
    item->SetExeFile("page.htm");
    EXPECT_EQ(item->Style(), osDefault);
    EXPECT_EQ(starter->LaunchInfo(0).Info.lpVerb, nullptr);

    item->SetStyle(osConfigure);
    ASSERT_NE(starter->LaunchInfo(0).Info.lpVerb, nullptr);
    EXPECT_EQ(std::wstring(starter->LaunchInfo(0).Info.lpVerb), L"open");

    const char* verbs[] = {"",     "open", "Print", "explore", "new", "Install",
                           "edit", "find", "Test",  "open",    "Play"};
    for (int style = osDefault; style <= osPlay; ++style) {
        item->SetStyle(static_cast<TZelExeStyle>(style));
        EXPECT_EQ(item->Verb(), verbs[style]) << "style " << style;
    }
    item->SetStyle(osDefault);
    EXPECT_EQ(starter->LaunchInfo(0).Info.lpVerb, nullptr) << "back to no verb";
}

TEST_F(AppStarter, TheShowCommandStartsNormalAndFollowsOnlyChangesOfWindowstate) {
    TZelStartableItem* item = starter->Programs()->Add();
    EXPECT_EQ(item->ShowCommand(), SW_SHOWNORMAL);
    item->SetWindowstate(wsNormal);
    EXPECT_EQ(item->ShowCommand(), SW_SHOWNORMAL);
    item->SetWindowstate(wsMaximized);
    EXPECT_EQ(item->ShowCommand(), SW_SHOWMAXIMIZED);
    item->SetWindowstate(wsMaximized);
    EXPECT_EQ(item->ShowCommand(), SW_SHOWMAXIMIZED);
    item->SetWindowstate(wsMinimized);
    EXPECT_EQ(item->ShowCommand(), SW_SHOWMINIMIZED);
    EXPECT_EQ(starter->LaunchInfo(0).Info.nShow, SW_SHOWMINIMIZED);
}

TEST_F(AppStarter, TheLaunchRecordCarriesTheItemAndAsksForTheProcess) {
    TZelStartableItem* item = starter->Programs()->Add();
    // Names in any script reach the shell as they are.
    item->SetExeFile("C:\\Users\\Jos\xC3\xA9\\\xE6\x97\xA5\xE6\x9C\xAC\\run.exe");
    item->SetParameters("-x \"\xD0\xBA\xD0\xB0\xD1\x80\xD1\x82\xD0\xB0 b\"");
    item->SetDefaultPath("C:\\work\\Gr\xC3\xBC\xC3\x9F""e");
    TLaunchInfo launch = starter->LaunchInfo(0);
    const SHELLEXECUTEINFOW& info = launch.Info;
    EXPECT_EQ(info.cbSize, sizeof(SHELLEXECUTEINFOW));
    EXPECT_EQ(info.fMask, static_cast<ULONG>(SEE_MASK_NOCLOSEPROCESS));
    EXPECT_EQ(info.hwnd, App()->Handle());
    EXPECT_EQ(std::wstring(info.lpFile), L"C:\\Users\\Jos\u00e9\\\u65e5\u672c\\run.exe");
    EXPECT_EQ(std::wstring(info.lpParameters), L"-x \"\u043a\u0430\u0440\u0442\u0430 b\"");
    EXPECT_EQ(std::wstring(info.lpDirectory), L"C:\\work\\Gr\u00fc\u00dfe");
    EXPECT_EQ(info.hProcess, nullptr);
    EXPECT_THROW(starter->LaunchInfo(1), EListError);
    EXPECT_THROW(starter->StartProgram(-1), EListError);
}

TEST_F(AppStarter, DisplayNamesAndCopies) {
    TZelStartableItem* item = starter->Programs()->Add();
    EXPECT_EQ(item->DisplayName(), "Program not configured");
    item->SetExeFile("help.chm");
    EXPECT_EQ(item->DisplayName(), " help.chm");
    item->SetStyle(osPrint);
    EXPECT_EQ(item->DisplayName(), "Print help.chm");

    item->SetParameters("/p");
    item->SetDefaultPath("C:\\docs");
    item->SetWait(true);
    item->SetWindowstate(wsMaximized);
    TZelStartableItem* copy = starter->Programs()->Add();
    copy->Assign(item);
    EXPECT_EQ(copy->ExeFile(), "help.chm");
    EXPECT_EQ(copy->Parameters(), "/p");
    EXPECT_EQ(copy->Style(), osPrint);
    EXPECT_EQ(copy->Verb(), "Print");  // through the setter
    EXPECT_EQ(copy->DefaultPath(), "C:\\docs");
    EXPECT_TRUE(copy->Wait());
    EXPECT_EQ(copy->Windowstate(), wsMaximized);
    EXPECT_EQ(copy->ShowCommand(), SW_SHOWMAXIMIZED);  // through the setter
    EXPECT_THROW(copy->Assign(starter->Programs()), EConvertError);

    TZelAppStarter* other = new TZelAppStarter(nullptr);
    other->SetPrograms(starter->Programs());
    ASSERT_EQ(other->Programs()->Count(), 2);
    EXPECT_EQ(other->Programs()->Items(1)->DisplayName(), "Print help.chm");
    EXPECT_NE(other->Programs()->Items(1), copy);
    other->Free();
}

TEST_F(AppStarter, AWaitedLaunchReturnsOnceTheProgramEndedAndKeepsNoHandle) {
    TTempFolder folder;
    std::string probe = ProgramBeside("shell_launch_probe.exe");
    ASSERT_NE(GetFileAttributesA(probe.c_str()), INVALID_FILE_ATTRIBUTES) << probe;
    TZelStartableItem* item = starter->Programs()->Add();
    item->SetExeFile(probe);
    item->SetDefaultPath(folder.Path());
    item->SetWait(true);
    item->SetWindowstate(wsMinimized);

    std::string first = folder / "first.txt";
    item->SetParameters("\"" + first + "\" one");
    EXPECT_TRUE(starter->StartProgram(0));
    // The probe sleeps before it writes: its report is there, whole, only
    // because StartProgram waited for it to end.
    std::string report = ReadFile(first);
    DWORD id = ProbeId(report);
    EXPECT_EQ(report, "show=2\nfolder=" + folder.Path() + "\narguments=\"" + first +
                          "\" one\npid=" + std::to_string(id) + "\ndone\n");
    ASSERT_NE(id, 0u);
    EXPECT_EQ(HandlesTo(id), 0) << "the handle of the ended process is still open";

    std::string second = folder / "second.txt";
    item->SetParameters("\"" + second + "\"");
    EXPECT_TRUE(starter->StartProgram(0));
    DWORD secondId = ProbeId(ReadFile(second));
    ASSERT_NE(secondId, 0u);
    EXPECT_NE(secondId, id);
    EXPECT_EQ(HandlesTo(secondId), 0);
}

TEST_F(AppStarter, ALaunchWithoutWaitKeepsNoHandleEither) {
    TTempFolder folder;
    TZelStartableItem* item = starter->Programs()->Add();
    item->SetExeFile(ProgramBeside("shell_launch_probe.exe"));
    std::string report = folder / "report.txt";
    item->SetParameters("\"" + report + "\"");
    item->SetWindowstate(wsMaximized);
    EXPECT_TRUE(starter->StartProgram(0));
    // Let the probe finish before its folder goes.
    ASSERT_TRUE(
        testing::PumpUntil(App(), [&] { return ReadFile(report).find("done") != std::string::npos; }));
    EXPECT_EQ(ReadFile(report).substr(0, 7), "show=3\n");
    DWORD id = ProbeId(ReadFile(report));
    ASSERT_NE(id, 0u);
    EXPECT_EQ(HandlesTo(id), 0);
}

}  // namespace
}  // namespace vexel
