// HtmlVexel.exe started as a user starts it, in a folder of pages named in
// several scripts, and driven from outside through its windows, found by
// their captions and classes: pages picked in the file list with
// Ctrl+clicks, Start, the options dialog (modern pages, encryption with the
// password typed twice; later the classic JavaScript pages, with the
// modern page taken for those that would lose text), the run's closing
// box, the log window, verify (stopped with Cancel, then whole) and
// restore from the file list's popup menu, a folder dropped on the main window, the close picture and
// the closing note's "&Close". Every page, backup and log line it writes is
// compared with what `vexel` writes for the same pages with the same
// options; encrypted pages, whose bytes differ by their salt and IV, are
// checked by `vexel verify` with the password. One encrypted page is left
// in the build tree for the browser test, which opens it in Chromium.
#include <gtest/gtest.h>
#include <shlobj.h>
#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "engine/own_page.h"
#include "tests/app/sample_pages.h"
#include "tests/cli/process_support.h"
#include "tests/engine/test_support.h"
#include "vexel_version.h"

using namespace vexel;
using namespace vexel::testing;
using vexel::cli::support::ChildRun;
using vexel::cli::support::WaitUntil;
namespace fs = std::filesystem;

namespace {

constexpr char kMainCaption[] = "Html Vexel Pro v" VEXEL_SHORT_VERSION;
// Wine takes its time to start a program and show its first windows, and
// far longer in the 32-bit lane's virtual machine, which emulates its
// processor: there a run of the four encrypted pages took 77 s on a busy
// host. A wait ends as soon as the window is there.
constexpr double kWindowWait = 300;

const char kPassword[] = "Pässwört 42";

std::wstring Wide(const std::string& Text) {
    return fs::u8path(Text).wstring();
}

std::string Utf8(const std::wstring& Text) {
    return fs::path(Text).u8string();
}

fs::path BuildPath(const char* Relative) {
    wchar_t self[MAX_PATH] = L"";
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    return (fs::path(self).parent_path() / ".." / ".." / Relative).lexically_normal();
}

// Files under names in any script: the streams open a path with the wide calls.
void Put(const fs::path& File, const std::string& Bytes) {
    std::ofstream out(File, std::ios::binary | std::ios::trunc);
    out.write(Bytes.data(), static_cast<std::streamsize>(Bytes.size()));
    ASSERT_TRUE(out.good()) << File.u8string();
}

std::string Bytes(const fs::path& File) {
    std::ifstream in(File, std::ios::binary);
    EXPECT_TRUE(in.good()) << "cannot read " << File.u8string();
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A UTF-8 page large enough for its modern page to be smaller, whose load
// handler marks it, so a browser test sees when it has run.
std::string UnicodePage(const std::string& Title, int Seed) {
    std::string rows;
    for (int i = 0; i < 60; ++i)
        rows += "<li>Zeile " + std::to_string(i * Seed) + ": Grüße aus Köln — карта — 日本語 😀</li>\n";
    return "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>" + Title +
           "</title>\n<script>window.addEventListener('load', function () { "
           "document.getElementById('late').textContent = 'loaded'; });</script>\n</head>\n<body>\n<h1>" +
           Title + "</h1>\n<ul>\n" + rows + "</ul>\n<p id=\"late\">not yet</p>\n</body></html>\n";
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

fs::path BackupOf(const fs::path& Page) {
    return fs::u8path(Page.u8string() + "_backup");
}

// The size lines of encrypted pages without the size written, which varies
// with the random salt and IV; what is left must be the same.
std::vector<std::string> WithoutSealedSizes(std::vector<std::string> Lines) {
    for (std::string& line : Lines)
        if (line.rfind("  Rate=", 0) == 0 && line.find("Byte /") != std::string::npos)
            line.erase(line.find("Byte /") + 6);
    return Lines;
}

std::vector<std::string> Concat(std::vector<std::string> A, const std::vector<std::string>& B) {
    A.insert(A.end(), B.begin(), B.end());
    return A;
}

// ---- windows of the program, seen from outside ----

std::string ClassOf(HWND Window) {
    wchar_t name[64] = L"";
    GetClassNameW(Window, name, 64);
    return Utf8(name);
}

std::string TextOf(HWND Window) {
    const LRESULT length = SendMessageW(Window, WM_GETTEXTLENGTH, 0, 0);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    SendMessageW(Window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(length));
    return Utf8(text);
}

// A search among windows: the first that Test accepts (of Process, and
// visible, among the top-level windows).
struct TWindowSearch {
    DWORD process;
    std::function<bool(HWND)> test;
    HWND found;
};

BOOL CALLBACK MatchShown(HWND Window, LPARAM Param) {
    auto* s = reinterpret_cast<TWindowSearch*>(Param);
    DWORD owner = 0;
    GetWindowThreadProcessId(Window, &owner);
    if (owner != s->process || !IsWindowVisible(Window) || !s->test(Window))
        return TRUE;
    s->found = Window;
    return FALSE;
}

BOOL CALLBACK MatchChild(HWND Window, LPARAM Param) {
    auto* s = reinterpret_cast<TWindowSearch*>(Param);
    if (!s->test(Window))
        return TRUE;
    s->found = Window;
    return FALSE;
}

HWND FindShown(DWORD Process, std::function<bool(HWND)> Test) {
    TWindowSearch search{Process, std::move(Test), nullptr};
    EnumWindows(&MatchShown, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND FindShown(DWORD Process, const std::string& Caption) {
    return FindShown(Process, [&](HWND w) { return TextOf(w) == Caption; });
}

HWND WaitShown(DWORD Process, const std::string& Caption) {
    HWND window = nullptr;
    WaitUntil([&] { return (window = FindShown(Process, Caption)) != nullptr; }, kWindowWait);
    return window;
}

bool WaitGone(DWORD Process, const std::string& Caption) {
    return WaitUntil([&] { return FindShown(Process, Caption) == nullptr; }, kWindowWait);
}

// The first child window of Parent (at any depth) that Test accepts.
HWND FindChild(HWND Parent, std::function<bool(HWND)> Test) {
    TWindowSearch search{0, std::move(Test), nullptr};
    EnumChildWindows(Parent, &MatchChild, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Every child window of Parent (at any depth) that Test accepts.
std::vector<HWND> FindChildren(HWND Parent, std::function<bool(HWND)> Test) {
    std::vector<HWND> found;
    FindChild(Parent, [&](HWND w) {
        if (Test(w))
            found.push_back(w);
        return false;
    });
    return found;
}

bool IsClass(HWND Window, const char* Name) {
    return _stricmp(ClassOf(Window).c_str(), Name) == 0;
}

// A button, check box or radio button by the start of its caption.
HWND Button(HWND Parent, const std::string& Caption) {
    return FindChild(Parent, [&](HWND w) { return IsClass(w, "Button") && TextOf(w).rfind(Caption, 0) == 0; });
}

// Ticks or clears a check box as a click does, only when it is not so already.
void SetTicked(HWND Dialog, const std::string& Caption, bool Ticked) {
    HWND box = Button(Dialog, Caption);
    ASSERT_NE(box, nullptr) << Caption;
    if ((SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED) != Ticked)
        SendMessageW(box, BM_CLICK, 0, 0);
    EXPECT_EQ(SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED, Ticked) << Caption;
}

// Typed as the keyboard types it, one character at a time.
void Type(HWND Edit, const std::string& Text) {
    for (wchar_t c : Wide(Text))
        SendMessageW(Edit, WM_CHAR, c, 1);
}

// A click as the mouse gives it, at a point of a window's client area.
void Click(HWND Window, int X, int Y, WPARAM Keys = 0) {
    const LPARAM at = MAKELPARAM(X, Y);
    SendMessageW(Window, WM_LBUTTONDOWN, Keys | MK_LBUTTON, at);
    SendMessageW(Window, WM_LBUTTONUP, Keys, at);
}

// The same click, posted: for a click whose handler runs a loop of its own
// until the test acts again.
void PostClick(HWND Window, int X, int Y) {
    const LPARAM at = MAKELPARAM(X, Y);
    PostMessageW(Window, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageW(Window, WM_LBUTTONUP, 0, at);
}

std::vector<std::string> ListItems(HWND List) {
    std::vector<std::string> items;
    const LRESULT count = SendMessageW(List, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        std::wstring text(static_cast<std::size_t>(SendMessageW(List, LB_GETTEXTLEN, i, 0)) + 1, L'\0');
        const LRESULT length = SendMessageW(List, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text.data()));
        text.resize(static_cast<std::size_t>(std::max<LRESULT>(length, 0)));
        items.push_back(Utf8(text));
    }
    return items;
}

std::vector<std::string> SelectedItems(HWND List) {
    std::vector<std::string> selected;
    const std::vector<std::string> items = ListItems(List);
    for (std::size_t i = 0; i < items.size(); ++i)
        if (SendMessageW(List, LB_GETSEL, i, 0) > 0)
            selected.push_back(items[i]);
    return selected;
}

void CtrlClickItem(HWND List, const std::string& Name) {
    const std::wstring name = Wide(Name);
    const LRESULT index =
        SendMessageW(List, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(name.c_str()));
    ASSERT_NE(index, LB_ERR) << Name;
    RECT item{};
    SendMessageW(List, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    Click(List, (item.left + item.right) / 2, (item.top + item.bottom) / 2, MK_CONTROL);
}

// Opens Control's popup menu as the menu key does and picks the item whose
// mnemonic is Key.
void ChooseFromPopup(DWORD Process, HWND Control, wchar_t Key) {
    PostMessageW(Control, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(Control), MAKELPARAM(-1, -1));
    HWND menu = nullptr;
    ASSERT_TRUE(WaitUntil(
        [&] { return (menu = FindShown(Process, [](HWND w) { return ClassOf(w) == "#32768"; })) != nullptr; },
        kWindowWait))
        << "no popup menu";
    PostMessageW(menu, WM_CHAR, Key, 1);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(menu); }, kWindowWait));
}

// Drops Paths on Window as the shell does: a WM_DROPFILES whose HDROP, a
// DROPFILES block in wide characters, lives in the receiving process. The
// shell hands a block from the receiver's heap, which DragFinish frees;
// this one is the test's own memory there, which Wine's DragFinish leaves
// alone (its free refuses memory not from the heap) and the test frees
// once the message is handled.
void DropOn(HANDLE Process, HWND Window, const std::vector<std::string>& Paths) {
    // A few zero bytes before the block, where a heap keeps its header.
    constexpr std::size_t kOffset = 64;
    std::vector<char> block(kOffset + sizeof(DROPFILES));
    auto* drop = reinterpret_cast<DROPFILES*>(block.data() + kOffset);
    drop->pFiles = sizeof(DROPFILES);
    drop->pt = {40, 300};
    drop->fNC = FALSE;
    drop->fWide = TRUE;
    for (const std::string& path : Paths) {
        const std::wstring name = Wide(path);
        const char* bytes = reinterpret_cast<const char*>(name.c_str());
        block.insert(block.end(), bytes, bytes + (name.size() + 1) * sizeof(wchar_t));
    }
    block.insert(block.end(), sizeof(wchar_t), '\0');
    void* remote = VirtualAllocEx(Process, nullptr, block.size(), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    ASSERT_NE(remote, nullptr);
    ASSERT_TRUE(WriteProcessMemory(Process, remote, block.data(), block.size(), nullptr));
    DWORD_PTR result = 0;
    EXPECT_NE(SendMessageTimeoutW(Window, WM_DROPFILES, reinterpret_cast<WPARAM>(static_cast<char*>(remote) + kOffset),
                                  0, SMTO_NORMAL, static_cast<UINT>(kWindowWait * 1000), &result),
              0)
        << "the drop was not handled (a box waiting?)";
    VirtualFreeEx(Process, remote, 0, MEM_RELEASE);
}

// The program's run box: its text, then OK as the user clicks it.
std::string AcknowledgeRunBox(DWORD Process) {
    HWND box = WaitShown(Process, "Html Vexel compression");
    EXPECT_NE(box, nullptr) << "no closing box";
    if (!box)
        return "";
    const std::string text = TextOf(FindChild(box, [](HWND w) { return TextOf(w).rfind("Pages: ", 0) == 0; }));
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(WaitGone(Process, "Html Vexel compression"));
    return text;
}

// The question before a run whose pages would lose text: its text, then
// Answer as the user clicks it.
std::string AnswerQuestion(DWORD Process, WPARAM Answer) {
    HWND box = nullptr;
    HWND text = nullptr;
    WaitUntil(
        [&] {
            box = FindShown(Process, "Html Vexel compression");
            text = box ? FindChild(box, [](HWND w) { return TextOf(w).find("would lose") != std::string::npos; })
                       : nullptr;
            return text != nullptr;
        },
        kWindowWait);
    EXPECT_NE(text, nullptr) << "no question before the run";
    if (!text)
        return "";
    const std::string question = TextOf(text);
    PostMessageW(box, WM_COMMAND, Answer, 0);
    return question;
}

// The vexel command under Wine, beside the program: its exit status, and
// standard output and error as lines.
struct TCommand {
    int Status;
    std::vector<std::string> Out;
    std::vector<std::string> Err;
};

TCommand Vexel(const std::vector<std::string>& Args, const fs::path& Where) {
    ChildRun run(BuildPath("cli/vexel.exe").u8string(), Args, Where.u8string());
    const int status = run.Wait();
    return {status, SplitLines(run.Out()), SplitLines(run.Err())};
}

std::vector<std::string> PathsIn(const fs::path& Where, const std::vector<std::string>& Names) {
    std::vector<std::string> paths;
    for (const std::string& name : Names)
        paths.push_back((Where / fs::u8path(name)).u8string());
    return paths;
}

// The program, started in Where as a shortcut starts it; ended by force
// when a test leaves it running.
class TProgram {
public:
    explicit TProgram(const fs::path& Where) {
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        std::wstring line = L"\"" + BuildPath("app/HtmlVexel.exe").wstring() + L"\"";
        PROCESS_INFORMATION info{};
        started_ = CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                  Where.wstring().c_str(), &startup, &info) != FALSE;
        if (!started_)
            return;
        CloseHandle(info.hThread);
        process_ = info.hProcess;
        id_ = info.dwProcessId;
    }
    ~TProgram() {
        if (!started_)
            return;
        if (WaitForSingleObject(process_, 0) == WAIT_TIMEOUT)
            TerminateProcess(process_, 1);
        CloseHandle(process_);
    }
    TProgram(const TProgram&) = delete;
    TProgram& operator=(const TProgram&) = delete;

    bool Started() const { return started_; }
    HANDLE Process() const { return process_; }
    DWORD Id() const { return id_; }

private:
    bool started_ = false;
    HANDLE process_ = nullptr;
    DWORD id_ = 0;
};

// The log window's lines, once they end with Last (a run's lines reach the
// window when it is shown again after the run).
std::vector<std::string> LogLines(DWORD Process, const std::string& Last) {
    std::vector<std::string> lines;
    WaitUntil(
        [&] {
            HWND log = FindShown(Process, "Log");
            HWND memo = log ? FindChild(log, [](HWND w) { return IsClass(w, "Edit"); }) : nullptr;
            lines = memo ? SplitLines(TextOf(memo)) : std::vector<std::string>();
            return !lines.empty() && lines.back().rfind(Last, 0) == 0;
        },
        kWindowWait);
    return lines;
}

}  // namespace

TEST(EndToEnd, TheWholeProgramOverNamesInAnyScriptAsTheCommandDoesIt) {
    ScratchDir dir;
    const fs::path site = dir.Root() / fs::u8path("Seiten für Jürgen · сайт");
    const fs::path twin = dir.Root() / "twin";
    const fs::path dropped = dir.Root() / fs::u8path("Ordner ☂ папка");
    const fs::path droppedTwin = dir.Root() / "dropped-twin";
    for (const fs::path& folder : {site, twin, dropped, droppedTwin, dropped / "archiv"})
        fs::create_directories(folder);
    const std::vector<std::string> picked = {"Grüße.html", "карта.htm", "日本語.htm", "😀 smile.htm"};
    std::vector<std::string> originals;
    for (std::size_t i = 0; i < picked.size(); ++i) {
        originals.push_back(UnicodePage(picked[i], static_cast<int>(i) + 3));
        Put(site / fs::u8path(picked[i]), originals[i]);
        Put(twin / fs::u8path(picked[i]), originals[i]);
    }
    const std::string untouched = SamplePage(9);
    Put(site / "left-alone.htm", untouched);
    // Pages whose accented text the classic page would lose, and one in
    // plain ASCII that it keeps whole.
    const std::vector<std::string> droppedPages = {"index.html", "über.htm", "новости.htm", "plain.htm"};
    const std::string plainPage = "<html><head><title>plain</title></head>\r\n<body>\r\n" +
                                  std::string(40, '-') + "<p>plain ASCII text</p>\r\n</body></html>\r\n";
    auto droppedOriginal = [&](std::size_t i) {
        return droppedPages[i] == "plain.htm" ? plainPage : SamplePage(static_cast<int>(i) + 1);
    };
    for (std::size_t i = 0; i < droppedPages.size(); ++i) {
        Put(dropped / fs::u8path(droppedPages[i]), droppedOriginal(i));
        Put(droppedTwin / fs::u8path(droppedPages[i]), droppedOriginal(i));
    }
    Put(dropped / "archiv" / "alt.htm", SamplePage(7));
    Put(dropped / "notes.txt", "not a page");
    const fs::path passwordFile = dir.Root() / "password.txt";
    Put(passwordFile, std::string(kPassword) + "\n");
    // What the browser test opens; gone until this run writes it again.
    const fs::path handOver = BuildPath("tests/app/desktop-written");
    for (const char* name : {"encrypted.html", "original.html", "password.txt"})
        fs::remove(handOver / name);
    ASSERT_FALSE(fs::exists(handOver / "encrypted.html"));

    // The program, started in the folder of the pages: the folder list opens
    // there, and the file list shows them by their names.
    TProgram program(site);
    ASSERT_TRUE(program.Started());
    const DWORD id = program.Id();
    // The splash hands over to the main window (and the tip window, ticked
    // for start-up on a fresh store, which the user closes).
    ASSERT_TRUE(WaitShown(id, "toplogo") || FindShown(id, kMainCaption));
    HWND main = WaitShown(id, kMainCaption);
    ASSERT_NE(main, nullptr);
    EXPECT_TRUE(WaitGone(id, "toplogo"));
    if (HWND tips = WaitShown(id, "Tip of the day"))
        SendMessageW(tips, WM_CLOSE, 0, 0);

    HWND files = FindChild(main, [](HWND w) {
        return IsClass(w, "ListBox") && (GetWindowLongW(w, GWL_STYLE) & LBS_EXTENDEDSEL);
    });
    ASSERT_NE(files, nullptr);
    std::vector<std::string> listed = ListItems(files);
    std::vector<std::string> expectedNames = Concat(picked, {"left-alone.htm"});
    std::sort(listed.begin(), listed.end());
    std::sort(expectedNames.begin(), expectedNames.end());
    EXPECT_EQ(listed, expectedNames);
    for (const std::string& name : picked)
        CtrlClickItem(files, name);
    // The pages in list order, as the runs take them.
    const std::vector<std::string> order = SelectedItems(files);
    ASSERT_EQ(order.size(), picked.size());
    // The last click previewed its page.
    HWND preview = FindChild(main, [](HWND w) {
        return IsClass(w, "Edit") && IsWindowVisible(w) && (GetWindowLongW(w, GWL_STYLE) & ES_MULTILINE);
    });
    ASSERT_NE(preview, nullptr);
    EXPECT_EQ(SplitLines(TextOf(preview)), SplitLines(originals.back()));

    // Modern pages, encrypted with a password typed twice.
    PostMessageW(Button(main, "Start"), BM_CLICK, 0, 0);
    HWND options = WaitShown(id, "HTML page options...");
    ASSERT_NE(options, nullptr);
    SendMessageW(Button(options, "Modern page"), BM_CLICK, 0, 0);
    SetTicked(options, "Encrypt the modern page", true);
    const std::vector<HWND> passwords = FindChildren(
        options, [](HWND w) { return IsClass(w, "Edit") && (GetWindowLongW(w, GWL_STYLE) & ES_PASSWORD); });
    ASSERT_EQ(passwords.size(), 2u) << "the password and its repetition";
    Type(passwords[0], kPassword);
    Type(passwords[1], kPassword);
    PostMessageW(Button(options, "&OK"), BM_CLICK, 0, 0);

    const std::string sealedBox = AcknowledgeRunBox(id);
    EXPECT_EQ(sealedBox.rfind("Pages: 4 written, 0 skipped, 0 already compressed, 0 broken off, 0 failed\r\n", 0), 0u)
        << sealedBox;
    EXPECT_NE(sealedBox.find("encrypted"), std::string::npos) << sealedBox;
    EXPECT_NE(FindShown(id, kMainCaption), nullptr);
    EXPECT_EQ(FindShown(id, "Compressing ..."), nullptr);
    // The preview shows its page as the run left it, and a click shows
    // another written page: named, as text, its sealed original not shown.
    for (const std::string& name : {picked.back(), order.front()}) {
        if (name != picked.back()) {
            CtrlClickItem(files, name);  // off, and on again: previewed
            CtrlClickItem(files, name);
        }
        const std::string text = TextOf(preview);
        EXPECT_EQ(text.rfind("Compressed page: modern, ", 0), 0u) << name << ": " << text.substr(0, 200);
        EXPECT_NE(text.find(", encrypted (AES-256-GCM, 600000 key iterations)\r\n"), std::string::npos) << name;
        EXPECT_NE(text.find("Written: " + std::to_string(Bytes(site / fs::u8path(name)).size()) + " bytes"),
                  std::string::npos)
            << name;
        EXPECT_EQ(text.find("Grüße aus Köln"), std::string::npos) << name;
    }
    EXPECT_EQ(SelectedItems(files), order);

    const TCommand sealed = Vexel(Concat({"compress", "--quiet", "--modern", "--encrypt", "--password-file",
                                          passwordFile.u8string(), "--log", (dir.Root() / "twin.log").u8string()},
                                         PathsIn(twin, order)),
                                  dir.Root() / "sealed");
    ASSERT_EQ(sealed.Status, 0);
    std::string expectedLog = Bytes(dir.Root() / "twin.log");
    ReplaceAll(expectedLog, twin.u8string(), site.u8string());
    // The page lines are the command's; the summary follows them.
    std::vector<std::string> shown = LogLines(id, "Time: ");
    ASSERT_GE(shown.size(), 3u);
    EXPECT_EQ(shown[shown.size() - 3], "Pages: 4 written, 0 skipped, 0 already compressed, 0 broken off, 0 failed");
    shown.resize(shown.size() - 3);
    EXPECT_EQ(WithoutSealedSizes(shown), WithoutSealedSizes(SplitLines(expectedLog)));
    // Each page's size line gives the bytes read and the page written.
    std::vector<std::string> sizeLines;
    std::copy_if(shown.begin(), shown.end(), std::back_inserter(sizeLines),
                 [](const std::string& line) { return line.rfind("  Rate=", 0) == 0; });
    std::vector<std::string> expectedSizes;
    for (const std::string& name : order)
        expectedSizes.push_back("  Rate=" + std::to_string(Bytes(BackupOf(site / fs::u8path(name))).size()) +
                                "Byte /" + std::to_string(Bytes(site / fs::u8path(name)).size()) + "Byte");
    EXPECT_EQ(sizeLines, expectedSizes);

    // The backups are the originals; the pages are sealed, and give back
    // their backups with the password only.
    for (std::size_t i = 0; i < picked.size(); ++i) {
        const fs::path page = site / fs::u8path(picked[i]);
        EXPECT_EQ(Bytes(BackupOf(page)), originals[i]) << picked[i];
        EXPECT_EQ(Bytes(BackupOf(twin / fs::u8path(picked[i]))), originals[i]) << picked[i];
        const std::string written = Bytes(page);
        EXPECT_LT(written.size(), originals[i].size()) << picked[i];
        EXPECT_EQ(written.find("Grüße aus Köln"), std::string::npos) << picked[i];
    }
    EXPECT_EQ(Bytes(site / "left-alone.htm"), untouched);
    EXPECT_FALSE(fs::exists(site / "left-alone.htm_backup"));
    const TCommand checked =
        Vexel(Concat({"verify", "--password-file", passwordFile.u8string()}, PathsIn(site, order)),
              dir.Root() / "checked");
    EXPECT_EQ(checked.Status, 0);
    EXPECT_EQ(checked.Err, std::vector<std::string>{"Pages: 4 OK, 0 mismatch, 0 not checked, 0 failed"});
    const TCommand unsealed = Vexel(Concat({"verify"}, PathsIn(site, {order[0]})), dir.Root() / "unsealed");
    EXPECT_NE(unsealed.Status, 0);

    // The browser test's page: written by the program, with its original and
    // the password.
    fs::create_directories(handOver);
    Put(handOver / "encrypted.html", Bytes(site / fs::u8path("Grüße.html")));
    Put(handOver / "original.html", Bytes(BackupOf(site / fs::u8path("Grüße.html"))));
    Put(handOver / "password.txt", std::string(kPassword) + "\n");

    // Verify from the file list's menu runs off the message loop: Cancel,
    // clicked as soon as the compression window shows, stops the run after
    // the page in hand.
    ChooseFromPopup(id, files, L'v');
    HWND progress = WaitShown(id, "Compressing ...");
    ASSERT_NE(progress, nullptr) << "verify showed no progress";
    HWND cancel = Button(progress, "&Canel");
    ASSERT_NE(cancel, nullptr);
    PostMessageW(cancel, BM_CLICK, 0, 0);
    const std::vector<std::string> stopped = LogLines(id, "Pages: ");
    ASSERT_FALSE(stopped.empty());
    EXPECT_NE(stopped.back().find("(stopped)"), std::string::npos) << stopped.back();
    EXPECT_LT(stopped.size(), 5u);
    EXPECT_TRUE(WaitGone(id, "Compressing ..."));
    EXPECT_NE(FindShown(id, kMainCaption), nullptr);
    EXPECT_EQ(SelectedItems(files), order);

    // Verify to the end: the window shows the page in hand and answers at
    // once while each page's key is derived; then the command's lines over
    // the same pages, and its count (the stopped run's log stays shown
    // until this one ends).
    ChooseFromPopup(id, files, L'v');
    progress = WaitShown(id, "Compressing ...");
    ASSERT_NE(progress, nullptr) << "verify showed no progress";
    HWND source = FindChild(progress, [](HWND w) {
        return IsClass(w, "Edit") && IsWindowVisible(w) && !(GetWindowLongW(w, GWL_STYLE) & ES_MULTILINE);
    });
    ASSERT_NE(source, nullptr);
    DWORD_PTR answered = 0;
    EXPECT_NE(SendMessageTimeoutW(progress, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &answered), 0)
        << "the window froze during verify";
    const std::vector<std::string> sitePaths = PathsIn(site, order);
    const std::string shownPage = TextOf(source);
    EXPECT_TRUE(shownPage.empty() ||
                std::find(sitePaths.begin(), sitePaths.end(), shownPage) != sitePaths.end())
        << shownPage;
    EXPECT_EQ(LogLines(id, "Pages: 4 "), Concat(checked.Out, checked.Err));

    // Restore from the same menu: the pages are the originals again, the
    // backups gone, and the lines those of the command over the twins.
    ChooseFromPopup(id, files, L'r');
    const std::vector<std::string> restoredLines = LogLines(id, "Pages restored: ");
    const TCommand restored = Vexel(Concat({"restore"}, PathsIn(twin, order)), dir.Root() / "restored");
    EXPECT_EQ(restored.Status, 0);
    std::vector<std::string> expectedRestore = restored.Out;
    for (std::string& line : expectedRestore)
        ReplaceAll(line, twin.u8string(), site.u8string());
    expectedRestore.push_back("Pages restored: 4, 0 failed");
    EXPECT_EQ(restoredLines, expectedRestore);
    for (std::size_t i = 0; i < picked.size(); ++i) {
        EXPECT_EQ(Bytes(site / fs::u8path(picked[i])), originals[i]) << picked[i];
        EXPECT_FALSE(fs::exists(BackupOf(site / fs::u8path(picked[i])))) << picked[i];
    }
    EXPECT_EQ(SelectedItems(files), order);

    // A folder dropped on the main window: the lists open it, and its pages
    // are selected (not those of its sub-folder, not other files).
    DropOn(program.Process(), main, {dropped.u8string()});
    std::vector<std::string> droppedOrder = SelectedItems(files);
    std::vector<std::string> expectedDropped = droppedPages;
    std::sort(expectedDropped.begin(), expectedDropped.end());
    std::vector<std::string> sortedDropped = droppedOrder;
    std::sort(sortedDropped.begin(), sortedDropped.end());
    EXPECT_EQ(sortedDropped, expectedDropped);
    for (const std::string& item : ListItems(files))
        EXPECT_NE(item, "notes.txt");

    // Classic JavaScript pages with both clean-ups, the command's defaults.
    PostMessageW(Button(main, "Start"), BM_CLICK, 0, 0);
    ASSERT_EQ(WaitShown(id, "HTML page options..."), options);
    SendMessageW(Button(options, "JavaScript"), BM_CLICK, 0, 0);
    SetTicked(options, "Encrypt the modern page", false);
    SetTicked(options, "Remove Extend(>128) Characters", true);
    SetTicked(options, "Remove Unuseful Characters", true);
    SetTicked(options, "Use password", false);
    PostMessageW(Button(options, "&OK"), BM_CLICK, 0, 0);
    // The three accented pages would lose text: the user takes the modern
    // page for them; the plain one stays a JavaScript page.
    const std::string question = AnswerQuestion(id, IDYES);
    EXPECT_EQ(question.rfind("3 of the 4 selected pages would lose some of their non-ASCII text", 0), 0u) << question;
    const std::string classicBox = AcknowledgeRunBox(id);
    EXPECT_EQ(classicBox.rfind("Pages: 4 written, 0 skipped, 0 already compressed, 0 broken off, 0 failed\r\n", 0), 0u)
        << classicBox;
    EXPECT_EQ(classicBox.find("Warnings:"), std::string::npos) << classicBox;

    // The command, page by page in the run's order: --modern for the
    // accented pages, its defaults for the plain one.
    expectedLog.clear();
    for (const std::string& name : droppedOrder) {
        const fs::path pageLog = dir.Root() / ("dropped-" + std::to_string(&name - &droppedOrder[0]) + ".log");
        std::vector<std::string> args = {"compress", "--quiet", "--log", pageLog.u8string()};
        if (name != "plain.htm")
            args.push_back("--modern");
        const TCommand command =
            Vexel(Concat(args, PathsIn(droppedTwin, {name})), dir.Root() / "classic");
        ASSERT_EQ(command.Status, 0) << name;
        expectedLog += Bytes(pageLog);
    }

    // A written classic page, clicked: named, and shown as it expands.
    CtrlClickItem(files, "plain.htm");
    CtrlClickItem(files, "plain.htm");
    EXPECT_EQ(TextOf(preview).rfind("Compressed page: JavaScript, classic\r\n", 0), 0u)
        << TextOf(preview).substr(0, 200);
    EXPECT_NE(TextOf(preview).find("</"), std::string::npos);
    for (std::size_t i = 0; i < droppedPages.size(); ++i) {
        const fs::path page = dropped / fs::u8path(droppedPages[i]);
        EXPECT_EQ(Bytes(page), Bytes(droppedTwin / fs::u8path(droppedPages[i]))) << droppedPages[i];
        EXPECT_NE(Bytes(page), droppedOriginal(i)) << droppedPages[i];
        EXPECT_EQ(Bytes(BackupOf(page)), droppedOriginal(i)) << droppedPages[i];
        const bool modern = droppedPages[i] != "plain.htm";
        EXPECT_EQ(RecognizeOwnPage(Bytes(page)), modern ? PageFormat::Modern : PageFormat::JavaScript)
            << droppedPages[i];
    }
    EXPECT_EQ(Bytes(dropped / "archiv" / "alt.htm"), SamplePage(7));
    EXPECT_FALSE(fs::exists(dropped / "archiv" / "alt.htm_backup"));
    ReplaceAll(expectedLog, droppedTwin.u8string(), dropped.u8string());
    shown = LogLines(id, "Time: ");
    ASSERT_GE(shown.size(), 3u);
    shown.resize(shown.size() - 3);
    EXPECT_EQ(shown, SplitLines(expectedLog));

    // The small close picture at the top right, then the closing note; the
    // main window's close handler waits for the note until the end.
    PostClick(main, 624, 10);
    HWND note = WaitShown(id, "IMessage");
    ASSERT_NE(note, nullptr);
    EXPECT_EQ(FindShown(id, kMainCaption), nullptr);
    HWND close = Button(note, "&Close");
    ASSERT_NE(close, nullptr);
    PostMessageW(close, BM_CLICK, 0, 0);
    ASSERT_EQ(WaitForSingleObject(program.Process(), static_cast<DWORD>(kWindowWait * 1000)), WAIT_OBJECT_0);
    DWORD code = 1;
    GetExitCodeProcess(program.Process(), &code);
    EXPECT_EQ(code, 0u);
}
