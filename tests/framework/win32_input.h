// Input for the window tests: keys posted to a window and handled by the
// application's message loop, as the system delivers typed keys, and a
// wait for something the message loop brings about.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "framework/win32/forms.h"

namespace vexel::testing {

// lParam of a key message: one repeat, the key's scan code, and the flags
// of a release or of Alt held down.
inline LPARAM KeyData(WORD key, bool release, bool alt = false) {
    LPARAM data = 1 | (static_cast<LPARAM>(MapVirtualKeyA(key, MAPVK_VK_TO_VSC)) << 16);
    if (alt)
        data |= 1 << 29;
    if (release)
        data |= static_cast<LPARAM>(3u << 30);
    return data;
}

// A key pressed and released over Window, through the message loop (which
// makes the character messages of the press).
inline void PressKey(TApplication* app, HWND window, WORD key) {
    PostMessageA(window, WM_KEYDOWN, key, KeyData(key, false));
    PostMessageA(window, WM_KEYUP, key, KeyData(key, true));
    app->ProcessMessages();
}

// A character typed into Window, or with Alt held (an accelerator).
inline void TypeChar(TApplication* app, HWND window, char c, bool alt = false) {
    PostMessageA(window, alt ? WM_SYSCHAR : WM_CHAR, static_cast<unsigned char>(c),
                 KeyData(VkKeyScanA(c) & 0xFF, false, alt));
    app->ProcessMessages();
}

// Handles messages until Done or about five seconds have passed; returns Done().
inline bool PumpUntil(TApplication* app, const std::function<bool()>& Done) {
    for (int i = 0; i < 500 && !Done(); ++i) {
        app->ProcessMessages();
        if (!Done())
            Sleep(10);
    }
    return Done();
}

// Controls by name, for telling which one the keyboard is on.
using TNamedControls = std::vector<std::pair<std::string, TControl*>>;

// The name of the control the keyboard is on: a windowed one with the
// focus, or a windowless one whose key stop has it.
inline std::string FocusName(const TNamedControls& Named) {
    for (const auto& [name, control] : Named) {
        if (auto* graphic = dynamic_cast<TGraphicControl*>(control); graphic && graphic->KeyFocused())
            return name;
        // A combo box's focus is on the edit inside it.
        if (auto* windowed = dynamic_cast<TWinControl*>(control);
            windowed && windowed->HandleAllocated() &&
            (windowed->Focused() || IsChild(windowed->Handle(), GetFocus())))
            return name;
    }
    return "something else";
}

}  // namespace vexel::testing
