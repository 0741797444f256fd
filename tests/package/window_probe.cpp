// Looks at the desktop program from outside, for the installer test: waits
// for its main window and tells whether the file list has the given pages
// selected. Or goes through the installer's pages as a user would.
//   vexel_window_probe NAME...    exit 0 when exactly the NAMEs are selected,
//                                 1 when not within a minute
//   vexel_window_probe --installer CHOICE
//                                 clicks the radio button CHOICE on the page
//                                 that has it and Next (Install, Finish) on
//                                 every page, without starting the program at
//                                 the end; exit 0 when the installer has
//                                 finished with CHOICE chosen, 1 when it
//                                 never offered CHOICE or not within 3 minutes
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "vexel_version.h"

namespace {

constexpr char kMainCaption[] = "Html Vexel Pro v" VEXEL_SHORT_VERSION;
constexpr char kSetupCaption[] = "Html Vexel " VEXEL_VERSION " Setup";

BOOL CALLBACK FindFileList(HWND window, LPARAM param) {
    char name[64] = "";
    GetClassNameA(window, name, sizeof name);
    if (lstrcmpiA(name, "ListBox") == 0 && (GetWindowLongA(window, GWL_STYLE) & LBS_EXTENDEDSEL)) {
        *reinterpret_cast<HWND*>(param) = window;
        return FALSE;
    }
    return TRUE;
}

// A message that gives up on a window that does not answer.
LRESULT Ask(HWND list, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(list, message, wParam, lParam, SMTO_ABORTIFHUNG, 5000, &result))
        return LB_ERR;
    return static_cast<LRESULT>(result);
}

// The buttons of the installer's window and its page.
struct SetupButtons {
    std::string choice;
    HWND radio = nullptr;   // the radio button named `choice`
    HWND runBox = nullptr;  // "Run Html Vexel" on the last page
};

BOOL CALLBACK FindSetupButtons(HWND window, LPARAM param) {
    auto& found = *reinterpret_cast<SetupButtons*>(param);
    char name[64] = "";
    char text[256] = "";
    GetClassNameA(window, name, sizeof name);
    GetWindowTextA(window, text, sizeof text);
    if (lstrcmpiA(name, "Button") != 0 || !IsWindowVisible(window))
        return TRUE;
    const LONG type = GetWindowLongA(window, GWL_STYLE) & BS_TYPEMASK;
    if ((type == BS_AUTORADIOBUTTON || type == BS_RADIOBUTTON) && found.choice == text)
        found.radio = window;
    if ((type == BS_AUTOCHECKBOX || type == BS_CHECKBOX) && std::string(text).rfind("&Run", 0) == 0)
        found.runBox = window;
    return TRUE;
}

// The installer's window: its caption starts with kSetupCaption (each page
// may add to it).
BOOL CALLBACK FindSetupWindow(HWND window, LPARAM param) {
    char text[256] = "";
    GetWindowTextA(window, text, sizeof text);
    if (std::string(text).rfind(kSetupCaption, 0) == 0 && IsWindowVisible(window)) {
        *reinterpret_cast<HWND*>(param) = window;
        return FALSE;
    }
    return TRUE;
}

HWND SetupWindow() {
    HWND found = nullptr;
    EnumWindows(&FindSetupWindow, reinterpret_cast<LPARAM>(&found));
    return found;
}

bool Checked(HWND button) {
    return Ask(button, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

int GoThroughInstaller(const std::string& choice) {
    bool seenWindow = false;
    bool chosen = false;
    HWND donePage = nullptr;  // the page whose Next was clicked last
    for (int tries = 0; tries < 360; ++tries, Sleep(500)) {
        HWND setup = SetupWindow();
        if (setup == nullptr) {
            if (seenWindow)
                break;  // finished
            continue;
        }
        seenWindow = true;
        SetupButtons found;
        found.choice = choice;
        EnumChildWindows(setup, &FindSetupButtons, reinterpret_cast<LPARAM>(&found));
        if (found.radio != nullptr) {
            if (!Checked(found.radio))
                Ask(found.radio, BM_CLICK, 0, 0);
            chosen = Checked(found.radio);
            if (!chosen)
                continue;
        }
        if (found.runBox != nullptr && Checked(found.runBox))
            Ask(found.runBox, BM_CLICK, 0, 0);
        // Each page's Next once, so that no page is passed unseen.
        HWND page = FindWindowExA(setup, nullptr, "#32770", nullptr);
        HWND next = GetDlgItem(setup, IDOK);
        if (page != donePage && next != nullptr && IsWindowEnabled(next) && IsWindowVisible(next)) {
            donePage = page;
            Ask(next, BM_CLICK, 0, 0);
        }
    }
    if (!chosen)
        std::printf("%s\n", seenWindow ? "the installer never offered the choice" : "no installer window");
    return seenWindow && chosen && SetupWindow() == nullptr ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--installer")
        return GoThroughInstaller(argv[2]);
    const std::vector<std::string> wanted(argv + 1, argv + argc);
    std::string seen = "no main window";
    for (int tries = 0; tries < 120; ++tries, Sleep(500)) {
        HWND main = FindWindowA(nullptr, kMainCaption);
        if (main == nullptr || !IsWindowVisible(main))
            continue;
        HWND list = nullptr;
        EnumChildWindows(main, &FindFileList, reinterpret_cast<LPARAM>(&list));
        if (list == nullptr) {
            seen = "no file list";
            continue;
        }
        const LRESULT count = Ask(list, LB_GETCOUNT, 0, 0);
        const LRESULT selectedCount = Ask(list, LB_GETSELCOUNT, 0, 0);
        seen = std::to_string(count) + " items, " + std::to_string(selectedCount) + " selected;";
        // Exactly the pages asked for are selected.
        bool all = !wanted.empty() && selectedCount == static_cast<LRESULT>(wanted.size());
        for (const std::string& name : wanted) {
            const LRESULT index = Ask(list, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                      reinterpret_cast<LPARAM>(name.c_str()));
            const bool on = index != LB_ERR && Ask(list, LB_GETSEL, static_cast<WPARAM>(index), 0) > 0;
            seen += " " + name + (index == LB_ERR ? " missing" : on ? " selected" : " not selected");
            all = all && on;
        }
        if (all) {
            std::printf("%s\n", seen.c_str());
            return 0;
        }
    }
    std::printf("not selected: %s\n", seen.c_str());
    return 1;
}
