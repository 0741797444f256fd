// Looks at the desktop program from outside, for the installer test: waits
// for its main window and tells whether the file list has the given pages
// selected.
//   vexel_window_probe NAME...    exit 0 when exactly the NAMEs are selected,
//                                 1 when not within a minute
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "vexel_version.h"

namespace {

constexpr char kMainCaption[] = "Html Vexel Pro v" VEXEL_SHORT_VERSION;

BOOL CALLBACK FindFileList(HWND window, LPARAM param) {
    char name[64] = "";
    GetClassNameA(window, name, sizeof name);
    if (lstrcmpiA(name, "ListBox") == 0 && (GetWindowLongA(window, GWL_STYLE) & LBS_EXTENDEDSEL)) {
        *reinterpret_cast<HWND*>(param) = window;
        return FALSE;
    }
    return TRUE;
}

// A list box message that gives up on a window that does not answer.
LRESULT Ask(HWND list, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(list, message, wParam, lParam, SMTO_ABORTIFHUNG, 5000, &result))
        return LB_ERR;
    return static_cast<LRESULT>(result);
}

}  // namespace

int main(int argc, char** argv) {
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
