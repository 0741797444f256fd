// Shared pieces of the window-layer tests: a fresh application per test that
// records exceptions instead of showing message boxes, and off-screen
// rendering helpers.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "framework/win32/forms.h"
#include "framework/win32/graphics.h"

namespace vexel::testing {

// Installs its own Application (and Screen) for the test, so main forms,
// timers and exception reports do not leak between tests.
class FrameworkTest : public ::testing::Test {
protected:
    void SetUp() override {
        scope_.emplace();
        App()->OnException = [this](TObject* sender, const Exception& e) {
            Errors.push_back(e.Message());
            ErrorSenders.push_back(sender);
        };
    }
    void TearDown() override {
        scope_.reset();
        // Drop whatever the test left queued (a WM_QUIT above all).
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        }
    }

    TApplication* App() { return scope_->Get(); }

    std::vector<std::string> Errors;
    std::vector<TObject*> ErrorSenders;

private:
    std::optional<ScopedApplication> scope_;
};

// Handles messages until Done holds or ten seconds passed.
template <class TDone>
bool PumpUntil(TApplication* app, TDone done) {
    auto start = std::chrono::steady_clock::now();
    while (!done()) {
        if (std::chrono::steady_clock::now() - start > std::chrono::seconds(10))
            return false;
        app->ProcessMessages();
        Sleep(1);
    }
    return true;
}

// Handles messages for about Milliseconds.
inline void PumpFor(TApplication* app, int Milliseconds) {
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(Milliseconds);
    while (std::chrono::steady_clock::now() < end) {
        app->ProcessMessages();
        Sleep(1);
    }
}

// Waits for the wake-up message a call queued for the GUI thread posts and
// takes it from the queue: the call is queued by then, and stays queued until
// the message is dispatched or another one like it is handled.
inline MSG TakeWakeUp() {
    MSG msg{};
    for (int i = 0; i < 10000; ++i) {
        if (PeekMessageA(&msg, nullptr, WM_APP, 0xBFFF, PM_REMOVE))
            return msg;
        Sleep(1);
    }
    ADD_FAILURE() << "no call was queued";
    return msg;
}

// A bitmap filled with one colour.
inline void Fill(TBitmap& bitmap, TColor color) {
    bitmap.Canvas()->Brush()->SetStyle(bsSolid);
    bitmap.Canvas()->Brush()->SetColor(color);
    bitmap.Canvas()->FillRect({0, 0, bitmap.Width(), bitmap.Height()});
}

// A fixed-size form at (40, 40) to put controls on.
inline TForm* MakeForm(TComponent* owner, int width = 320, int height = 240) {
    auto* form = new TForm(owner);
    form->SetBorderStyle(bsSingle);
    form->SetBounds(40, 40, width, height);
    return form;
}

inline LPARAM MousePos(int x, int y) {
    return MAKELPARAM(x, y);
}

}  // namespace vexel::testing
