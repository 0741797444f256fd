// Shared state and helpers of the control units (control.cpp,
// win_control.cpp, window_procedure.cpp, control_painting.cpp); nothing
// outside the framework includes it.
#pragma once

#include <windows.h>

#include "framework/win32/controls.h"

namespace vexel::detail {

// The control that holds the mouse capture, and the one under the mouse.
extern TControl* g_captureControl;
extern TControl* g_mouseControl;

TPoint PointFromLParam(LPARAM LParam);
LPARAM LParamFromPoint(const TPoint& P);
TShiftState KeyboardShiftState();

// The framework's own window class, registered on first use.
const wchar_t* RegisterWindowClass();

}  // namespace vexel::detail
