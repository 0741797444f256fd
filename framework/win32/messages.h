// Window messages as the controls see them: TMessage, and the framework's own
// control (CM_) and notification (CN_) messages.
#pragma once

#include <windows.h>

namespace vexel {

// One window message, as WndProc sees it; handlers set Result.
struct TMessage {
    UINT Msg = 0;
    WPARAM WParam = 0;
    LPARAM LParam = 0;
    LRESULT Result = 0;
};

// Framework messages. CM_ messages are sent to controls directly (Perform);
// CN_ messages are messages a parent window received about a child window
// (WM_COMMAND, WM_NOTIFY, WM_DRAWITEM, WM_MEASUREITEM, WM_CTLCOLORxxx,
// WM_HSCROLL, WM_VSCROLL), passed on to that child's control as CN_BASE + msg.
constexpr UINT CM_BASE = 0xB000;
// Keys a form offers its controls before the focused control sees them:
// CM_DIALOGKEY (WParam: the virtual key; Enter, Esc, Tab, arrows) and
// CM_DIALOGCHAR (WParam: the character of an Alt+letter or a plain letter,
// for accelerators). A control that takes the key sets Result to 1.
constexpr UINT CM_DIALOGKEY = CM_BASE + 5;
constexpr UINT CM_DIALOGCHAR = CM_BASE + 6;
// Sent by a form to its controls when its focused control changed; LParam is
// the newly focused TWinControl*.
constexpr UINT CM_FOCUSCHANGED = CM_BASE + 7;
constexpr UINT CM_MOUSEENTER = CM_BASE + 19;
constexpr UINT CM_MOUSELEAVE = CM_BASE + 20;
constexpr UINT CM_RELEASE = CM_BASE + 33;
constexpr UINT CN_BASE = 0xBC00;
constexpr UINT CN_COMMAND = CN_BASE + WM_COMMAND;
constexpr UINT CN_NOTIFY = CN_BASE + WM_NOTIFY;
constexpr UINT CN_DRAWITEM = CN_BASE + WM_DRAWITEM;
constexpr UINT CN_MEASUREITEM = CN_BASE + WM_MEASUREITEM;
// Keys offered to the control they are for before its window sees them
// (see focus.cpp); a control that takes one sets Result to 1.
constexpr UINT CN_KEYDOWN = CN_BASE + WM_KEYDOWN;
constexpr UINT CN_SYSKEYDOWN = CN_BASE + WM_SYSKEYDOWN;
constexpr UINT CN_CHAR = CN_BASE + WM_CHAR;
constexpr UINT CN_SYSCHAR = CN_BASE + WM_SYSCHAR;

}  // namespace vexel
