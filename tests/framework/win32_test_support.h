// Shared pieces of the window-layer tests: a fresh application per test that
// records exceptions instead of showing message boxes, and off-screen
// rendering helpers.
#pragma once

#include <gtest/gtest.h>

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

// A bitmap filled with one colour.
inline void Fill(TBitmap& bitmap, TColor color) {
    bitmap.Canvas()->Brush()->SetStyle(bsSolid);
    bitmap.Canvas()->Brush()->SetColor(color);
    bitmap.Canvas()->FillRect({0, 0, bitmap.Width(), bitmap.Height()});
}

inline LPARAM MousePos(int x, int y) {
    return MAKELPARAM(x, y);
}

}  // namespace vexel::testing
