// HtmlVexel.exe started as a user starts it, in a folder of pages, and driven
// from outside through its windows, found by their captions: pages picked in
// the file list with Ctrl+clicks, Start, OK, the log window read, the close
// picture, the closing note's "&Close". The pages it writes are compared
// byte for byte with what `vexel compress` writes for the same pages, and its
// log with the command's log file.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <functional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "tests/app/sample_pages.h"
#include "tests/cli/process_support.h"
#include "tests/engine/test_support.h"
#include "vexel_version.h"

using namespace vexel;
using namespace vexel::testing;
using vexel::cli::support::ChildRun;
using vexel::cli::support::WaitUntil;

namespace {

constexpr char kMainCaption[] = "Html Vexel Pro v" VEXEL_SHORT_VERSION;
// Wine takes its time to start a program and show its first windows.
constexpr double kWindowWait = 90;

std::string BuildPath(const char* Relative) {
    char self[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    return (std::filesystem::path(self).parent_path() / ".." / ".." / Relative).lexically_normal().string();
}

// A visible top-level window of the process with this caption, or null.
struct TShownSearch {
    DWORD process;
    const std::string* caption;
    HWND found;
};

BOOL CALLBACK MatchShown(HWND Window, LPARAM Param) {
    auto* s = reinterpret_cast<TShownSearch*>(Param);
    DWORD owner = 0;
    GetWindowThreadProcessId(Window, &owner);
    char text[256] = "";
    GetWindowTextA(Window, text, sizeof(text));
    if (owner == s->process && IsWindowVisible(Window) && *s->caption == text) {
        s->found = Window;
        return FALSE;
    }
    return TRUE;
}

HWND FindShown(DWORD Process, const std::string& Caption) {
    TShownSearch search{Process, &Caption, nullptr};
    EnumWindows(&MatchShown, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND WaitShown(DWORD Process, const std::string& Caption) {
    HWND window = nullptr;
    WaitUntil([&] { return (window = FindShown(Process, Caption)) != nullptr; }, kWindowWait);
    return window;
}

// The first child window of Parent (at any depth) that Test accepts.
struct TChildSearch {
    std::function<bool(HWND)> test;
    HWND found;
};

BOOL CALLBACK MatchChild(HWND Window, LPARAM Param) {
    auto* s = reinterpret_cast<TChildSearch*>(Param);
    if (s->test(Window)) {
        s->found = Window;
        return FALSE;
    }
    return TRUE;
}

HWND FindChild(HWND Parent, std::function<bool(HWND)> Test) {
    TChildSearch search{std::move(Test), nullptr};
    EnumChildWindows(Parent, &MatchChild, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::string ClassOf(HWND Window) {
    char name[64] = "";
    GetClassNameA(Window, name, sizeof(name));
    return name;
}

std::string TextOf(HWND Window) {
    const LRESULT length = SendMessageA(Window, WM_GETTEXTLENGTH, 0, 0);
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    SendMessageA(Window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(length));
    return text;
}

HWND Button(HWND Parent, const std::string& Caption) {
    return FindChild(
        Parent, [&](HWND w) { return _stricmp(ClassOf(w).c_str(), "Button") == 0 && TextOf(w) == Caption; });
}

// A click as the mouse gives it, at a point of a window's client area.
void Click(HWND Window, int X, int Y, WPARAM Keys = 0) {
    const LPARAM at = MAKELPARAM(X, Y);
    SendMessageA(Window, WM_LBUTTONDOWN, Keys | MK_LBUTTON, at);
    SendMessageA(Window, WM_LBUTTONUP, Keys, at);
}

// The same click, posted: for a click whose handler runs a loop of its own
// until the test acts again.
void PostClick(HWND Window, int X, int Y) {
    const LPARAM at = MAKELPARAM(X, Y);
    PostMessageA(Window, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageA(Window, WM_LBUTTONUP, 0, at);
}

std::vector<std::string> SplitLines(const std::string& Text) {
    std::vector<std::string> lines;
    std::string line;
    std::istringstream in(Text);
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

void ReplaceAll(std::string& Text, const std::string& From, const std::string& To) {
    for (std::size_t at = Text.find(From); at != std::string::npos; at = Text.find(From, at + To.size()))
        Text.replace(at, From.size(), To);
}

}  // namespace

TEST(EndToEnd, TheProgramCompressesThePickedPagesAsTheCommandDoesShowsTheLogAndEndsByTheClosingNote) {
    ScratchDir dir;
    const std::filesystem::path gui = dir.Root() / "site";
    const std::filesystem::path cli = dir.Root() / "twin";
    std::filesystem::create_directory(gui);
    std::filesystem::create_directory(cli);
    const std::vector<std::string> picked = {"about.htm", "index.html", "news.htm"};
    for (std::size_t i = 0; i < picked.size(); ++i) {
        WriteBytes((gui / picked[i]).string(), SamplePage(static_cast<int>(i) + 1));
        WriteBytes((cli / picked[i]).string(), SamplePage(static_cast<int>(i) + 1));
    }
    const std::string untouched = SamplePage(9);
    WriteBytes((gui / "left-alone.htm").string(), untouched);

    // The command, with its defaults: JavaScript pages, both clean-ups.
    std::vector<std::string> args = {"compress", "--quiet", "--log", (dir.Root() / "twin.log").string()};
    for (const std::string& name : picked)
        args.push_back((cli / name).string());
    ChildRun command(BuildPath("cli/vexel.exe"), args, (dir.Root() / "command").string());
    ASSERT_EQ(command.Wait(), 0) << command.Err();

    // The program, started in the folder of the pages: the folder list opens
    // there, and the file list shows them.
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION program{};
    std::string line = "\"" + BuildPath("app/HtmlVexel.exe") + "\"";
    ASSERT_TRUE(CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               gui.string().c_str(), &startup, &program))
        << "cannot start " << line;
    CloseHandle(program.hThread);
    struct TEnd {
        HANDLE process;
        ~TEnd() {
            if (WaitForSingleObject(process, 0) == WAIT_TIMEOUT)
                TerminateProcess(process, 1);
            CloseHandle(process);
        }
    } end{program.hProcess};
    const DWORD id = program.dwProcessId;

    // The splash hands over to the main window (and the tip window, ticked
    // for start-up on a fresh store, which the user closes).
    ASSERT_TRUE(WaitShown(id, "toplogo") || FindShown(id, kMainCaption));
    HWND main = WaitShown(id, kMainCaption);
    ASSERT_NE(main, nullptr);
    EXPECT_TRUE(WaitUntil([&] { return !FindShown(id, "toplogo"); }, kWindowWait));
    if (HWND tips = WaitShown(id, "Tip of the day"))
        SendMessageA(tips, WM_CLOSE, 0, 0);

    HWND files = FindChild(main, [](HWND w) {
        return _stricmp(ClassOf(w).c_str(), "ListBox") == 0 &&
               (GetWindowLongA(w, GWL_STYLE) & LBS_EXTENDEDSEL);
    });
    ASSERT_NE(files, nullptr);
    EXPECT_EQ(SendMessageA(files, LB_GETCOUNT, 0, 0), 4);
    for (const std::string& name : picked) {
        const LRESULT index = SendMessageA(files, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                           reinterpret_cast<LPARAM>(name.c_str()));
        ASSERT_NE(index, LB_ERR) << name;
        RECT item{};
        SendMessageA(files, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
        Click(files, (item.left + item.right) / 2, (item.top + item.bottom) / 2, MK_CONTROL);
    }
    EXPECT_EQ(SendMessageA(files, LB_GETSELCOUNT, 0, 0), 3);
    // The last click previewed its page.
    HWND preview = FindChild(main, [](HWND w) {
        return _stricmp(ClassOf(w).c_str(), "Edit") == 0 && IsWindowVisible(w) &&
               (GetWindowLongA(w, GWL_STYLE) & ES_MULTILINE);
    });
    ASSERT_NE(preview, nullptr);
    EXPECT_EQ(SplitLines(TextOf(preview)), SplitLines(SamplePage(3)));

    HWND start = Button(main, "Start");
    ASSERT_NE(start, nullptr);
    PostMessageA(start, BM_CLICK, 0, 0);
    HWND options = WaitShown(id, "HTML page options...");
    ASSERT_NE(options, nullptr);
    HWND ok = Button(options, "&OK");
    ASSERT_NE(ok, nullptr);
    PostMessageA(ok, BM_CLICK, 0, 0);

    HWND log = WaitShown(id, "Log");
    ASSERT_NE(log, nullptr);
    // The run's closing box sums it up; the user acknowledges it.
    HWND summary = WaitShown(id, "Html Vexel compression");
    ASSERT_NE(summary, nullptr);
    EXPECT_EQ(TextOf(FindChild(summary, [](HWND w) {
                  return TextOf(w).rfind("Pages: ", 0) == 0;
              })).rfind("Pages: 3 written, 0 skipped, 0 already compressed, 0 broken off, 0 failed", 0),
              0u);
    PostMessageA(summary, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(WaitUntil([&] { return !FindShown(id, "Html Vexel compression"); }, kWindowWait));
    EXPECT_NE(FindShown(id, kMainCaption), nullptr);
    EXPECT_EQ(FindShown(id, "Compressing ..."), nullptr);
    for (std::size_t i = 0; i < picked.size(); ++i) {
        const std::string page = (gui / picked[i]).string();
        EXPECT_EQ(ReadBytes(page), ReadBytes((cli / picked[i]).string())) << page;
        EXPECT_NE(ReadBytes(page), SamplePage(static_cast<int>(i) + 1)) << page;
        EXPECT_EQ(ReadBytes(page + "_backup"), SamplePage(static_cast<int>(i) + 1)) << page;
    }
    EXPECT_EQ(ReadBytes((gui / "left-alone.htm").string()), untouched);
    EXPECT_FALSE(std::filesystem::exists(gui / "left-alone.htm_backup"));

    HWND logList = FindChild(log, [](HWND w) { return _stricmp(ClassOf(w).c_str(), "Edit") == 0; });
    ASSERT_NE(logList, nullptr);
    std::string expected = ReadBytes((dir.Root() / "twin.log").string());
    ReplaceAll(expected, cli.string(), gui.string());
    std::vector<std::string> shown = SplitLines(TextOf(logList));
    // The page lines are the command's; the summary follows them.
    ASSERT_GE(shown.size(), 3u);
    EXPECT_EQ(shown[shown.size() - 3], "Pages: 3 written, 0 skipped, 0 already compressed, 0 broken off, 0 failed");
    shown.resize(shown.size() - 3);
    EXPECT_EQ(shown, SplitLines(expected));
    EXPECT_GE(shown.size(), 3 * picked.size());

    // The small close picture at the top right, then the closing note; the
    // main window's close handler waits for the note until the end.
    PostClick(main, 624, 10);
    HWND note = WaitShown(id, "IMessage");
    ASSERT_NE(note, nullptr);
    EXPECT_EQ(FindShown(id, kMainCaption), nullptr);
    HWND close = Button(note, "&Close");
    ASSERT_NE(close, nullptr);
    PostMessageA(close, BM_CLICK, 0, 0);
    ASSERT_EQ(WaitForSingleObject(program.hProcess, static_cast<DWORD>(kWindowWait * 1000)), WAIT_OBJECT_0);
    DWORD code = 1;
    GetExitCodeProcess(program.hProcess, &code);
    EXPECT_EQ(code, 0u);
}
