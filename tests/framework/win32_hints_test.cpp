// Hints as tooltips: shown for windowed and windowless controls whose
// ShowHint (their own or their parent's) is on, not shown where it is off.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <string>

#include "framework/win32/edits.h"
#include "framework/win32/forms.h"
#include "framework/win32/labels.h"
#include "tests/framework/win32_input.h"
#include "tests/framework/win32_test_support.h"

using namespace vexel;
using vexel::testing::FrameworkTest;
using vexel::testing::MousePos;
using vexel::testing::PumpUntil;

namespace {

// The text of the tooltip window's one tool.
std::string TipText(HWND tip) {
    char buffer[128] = {};
    TTTOOLINFOA tool{};
    tool.cbSize = TTTOOLINFOA_V2_SIZE;
    tool.lpszText = buffer;
    SendMessageA(tip, TTM_ENUMTOOLSA, 0, reinterpret_cast<LPARAM>(&tool));
    return buffer;
}

bool TipShowing(TApplication* app) {
    return app->HintWindow() && IsWindowVisible(app->HintWindow());
}

}  // namespace

class Hints : public FrameworkTest {};

TEST_F(Hints, ShowOnlyWhereShowHintIsOn) {
    App()->SetHintPause(1);
    auto* form = new TForm(App());
    form->SetBorderStyle(bsNone);
    form->SetBounds(40, 40, 300, 200);
    form->SetShowHint(true);
    auto* edit = new TEdit(form);  // windowed, ShowHint from the form
    edit->SetParent(form);
    edit->SetBounds(10, 10, 120, 21);
    edit->SetHint("Folder of the pages");
    auto* label = new TLabel(form);  // windowless, ShowHint from the form
    label->SetParent(form);
    label->SetBounds(10, 50, 80, 16);
    label->SetHint("Pages found");
    auto* quiet = new TEdit(form);  // its own ShowHint is off
    quiet->SetParent(form);
    quiet->SetBounds(10, 80, 120, 21);
    quiet->SetHint("Never shown");
    quiet->SetShowHint(false);
    EXPECT_TRUE(edit->ShowHint());
    EXPECT_FALSE(quiet->ParentShowHint());
    HWND window = form->Handle();

    SendMessageA(edit->Handle(), WM_MOUSEMOVE, 0, MousePos(5, 5));
    EXPECT_EQ(App()->HintControl(), edit);
    ASSERT_TRUE(PumpUntil(App(), [&] { return TipShowing(App()); }));
    EXPECT_EQ(TipText(App()->HintWindow()), "Folder of the pages");

    SendMessageA(window, WM_MOUSEMOVE, 0, MousePos(15, 55));  // onto the label
    EXPECT_EQ(App()->HintControl(), label);
    ASSERT_TRUE(
        PumpUntil(App(), [&] { return TipShowing(App()) && TipText(App()->HintWindow()) == "Pages found"; }));

    SendMessageA(quiet->Handle(), WM_MOUSEMOVE, 0, MousePos(5, 5));
    EXPECT_EQ(App()->HintControl(), nullptr);
    EXPECT_FALSE(TipShowing(App()));

    // Off for the form: its controls that follow it show nothing.
    form->SetShowHint(false);
    EXPECT_FALSE(edit->ShowHint());
    SendMessageA(edit->Handle(), WM_MOUSEMOVE, 0, MousePos(5, 5));
    EXPECT_EQ(App()->HintControl(), nullptr);
    App()->ProcessMessages();
    EXPECT_FALSE(TipShowing(App()));

    // Off for the whole program.
    form->SetShowHint(true);
    App()->SetShowHint(false);
    SendMessageA(window, WM_MOUSEMOVE, 0, MousePos(15, 55));
    EXPECT_EQ(App()->HintControl(), nullptr);
}
