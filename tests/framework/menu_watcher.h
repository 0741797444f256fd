// A watcher for tests that open a popup menu: a timer that ticks inside the
// menu's own message loop finds the open menu's window and acts on it once.
#pragma once

#include <windows.h>

#include <functional>
#include <utility>

#include "framework/win32/gdi.h"
#include "framework/win32/timer.h"

namespace vexel::testing {

// Runs Action once on the open menu's window, from a timer that ticks inside
// the menu's own message loop. Whatever happens, the menu is ended after
// about five seconds, so a test never hangs on it.
class TMenuWatcher {
public:
    using TAction = std::function<void(HWND MenuWindow)>;
    explicit TMenuWatcher(TAction Action) : action_(std::move(Action)), timer_(new TTimer(nullptr)) {
        timer_->SetInterval(30);
        timer_->OnTimer = [this](TObject*) { Tick(); };
    }
    ~TMenuWatcher() { timer_->Free(); }
    bool Acted() const { return acted_; }
    TRect MenuRect() const { return rect_; }

private:
    void Tick() {
        if (++ticks_ > 170) {
            EndMenu();
            return;
        }
        if (acted_)
            return;
        HWND menu = FindWindowA("#32768", nullptr);
        if (!menu || !IsWindowVisible(menu))
            return;
        acted_ = true;
        RECT r{};
        GetWindowRect(menu, &r);
        rect_ = FromRECT(r);
        action_(menu);
    }

    TAction action_;
    TTimer* timer_;
    bool acted_ = false;
    int ticks_ = 0;
    TRect rect_;
};

inline void CloseMenu(HWND) {
    EndMenu();
}

}  // namespace vexel::testing
