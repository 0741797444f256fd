// The one edge where the system calls into the program. Window procedures,
// the utility window, timers, message hooks and dialog callbacks run their
// work through GuardedCall, so that an exception never crosses a frame of
// the system (it cannot unwind through user32 and would end the program).
#pragma once

#include <utility>

#include "framework/core/classes.h"

namespace vexel {

// Reports the exception being handled; call it inside a catch block. With an
// application object it goes to Application->HandleException(Sender), which
// calls OnException or shows the default report. Without one (before the
// program made it, or after it was freed) the message is written to standard
// error and shown in a stop-sign message box captioned "Error". EAbort is
// silent either way. Never throws.
void HandleCallbackException(TObject* Sender) noexcept;

// Runs Work and swallows whatever it throws after reporting it as above, with
// Sender named as its source. Returns false when Work threw.
//
//     LRESULT CALLBACK TimerWindowProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
//         LRESULT result = 0;
//         GuardedCall(timer, [&] { result = timer->Tick(w, msg, wp, lp); });
//         return result;  // 0 when the tick threw
//     }
template <class TWork>
bool GuardedCall(TObject* Sender, TWork&& Work) noexcept {
    try {
        std::forward<TWork>(Work)();
        return true;
    } catch (...) {
        HandleCallbackException(Sender);
        return false;
    }
}

}  // namespace vexel
