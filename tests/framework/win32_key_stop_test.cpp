// Windowless controls as tab stops: Tab reaches them in their place among
// windowed controls, skips them hidden or disabled, Space and Enter click
// them, the focused one shows a dotted frame, and their key stop goes with
// them or with their parent.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "framework/win32/buttons.h"
#include "framework/win32/forms.h"
#include "framework/win32/graphics.h"
#include "framework/win32/panels.h"
#include "tests/framework/win32_input.h"
#include "tests/framework/win32_test_support.h"

using namespace vexel;
using vexel::testing::FocusName;
using vexel::testing::FrameworkTest;
using vexel::testing::MakeForm;
using vexel::testing::PressKey;

namespace {

// A windowless button: a red square that logs its clicks by name.
class TSquare : public TGraphicControl {
public:
    TSquare(TWinControl* Parent, const std::string& Name, std::vector<std::string>& Log, int Left)
        : TGraphicControl(Parent), name_(Name), log_(Log) {
        SetParent(Parent);
        SetBounds(Left, 10, 40, 30);
    }
    void Click() override { log_.push_back(name_); }

protected:
    void Paint() override {
        Canvas()->Brush()->SetColor(clRed);
        Canvas()->FillRect({0, 0, Width(), Height()});
    }

private:
    std::string name_;
    std::vector<std::string>& log_;
};

// A push button at the bottom of the form.
TButton* BottomButton(TForm* Form, int Left) {
    auto* button = new TButton(Form);
    button->SetParent(Form);
    button->SetBounds(Left, 150, 80, 24);
    return button;
}

}  // namespace

class KeyStops : public FrameworkTest {
protected:
    std::vector<std::string> log;
};

TEST_F(KeyStops, TabReachesWindowlessControlsInTheirPlaceAndSkipsHiddenAndDisabledOnes) {
    TForm* form = MakeForm(App(), 320, 200);
    auto* first = BottomButton(form, 10);
    auto* help = new TSquare(form, "help", log, 10);
    auto* tips = new TSquare(form, "tips", log, 60);
    auto* later = new TSquare(form, "later", log, 110);
    EXPECT_FALSE(help->TabStop());
    EXPECT_EQ(help->KeyStop(), nullptr);
    for (TSquare* square : {later, help, tips})
        square->SetTabStop(true);
    auto* last = BottomButton(form, 100);
    // A tab stop goes last when it is made: "later" is put back after "tips".
    ASSERT_NE(later->KeyStop(), nullptr);
    later->KeyStop()->SetTabOrder(tips->KeyStop()->TabOrder());
    const vexel::testing::TNamedControls named{
        {"first", first}, {"help", help}, {"tips", tips}, {"later", later}, {"last", last}};

    form->Show();
    App()->ProcessMessages();
    std::vector<std::string> visited{FocusName(named)};
    for (int i = 0; i < 5; ++i) {
        PressKey(App(), GetFocus(), VK_TAB);
        visited.push_back(FocusName(named));
    }
    EXPECT_EQ(visited, (std::vector<std::string>{"first", "help", "tips", "later", "last", "first"}));
    EXPECT_TRUE(log.empty()) << "Tab clicks nothing";

    tips->Hide();
    later->SetEnabled(false);
    visited.clear();
    for (int i = 0; i < 3; ++i) {
        PressKey(App(), GetFocus(), VK_TAB);
        visited.push_back(FocusName(named));
    }
    EXPECT_EQ(visited, (std::vector<std::string>{"help", "last", "first"}));
    form->Hide();
}

TEST_F(KeyStops, SpaceAndEnterClickTheFocusedControlAndItShowsAFrame) {
    TForm* form = MakeForm(App(), 320, 200);
    auto* button = BottomButton(form, 10);
    button->SetDefault(true);
    button->OnClick = [this](TObject*) { log.push_back("default"); };
    auto* square = new TSquare(form, "square", log, 10);
    square->SetTabStop(true);
    square->KeyStop()->SetTabOrder(0);
    form->Show();
    App()->ProcessMessages();
    ASSERT_TRUE(square->KeyFocused());

    PressKey(App(), GetFocus(), VK_SPACE);
    // Enter clicks the focused control, not the default button.
    PressKey(App(), GetFocus(), VK_RETURN);
    EXPECT_EQ(log, (std::vector<std::string>{"square", "square"}));
    square->SetEnabled(false);
    PressKey(App(), GetFocus(), VK_SPACE);
    EXPECT_EQ(log.size(), 2u) << "a disabled control is not clicked";
    square->SetEnabled(true);

    // The dotted frame lies two pixels inside the square, and only while
    // the keyboard is on it.
    auto redOnFrame = [&] {
        TBitmap image(320, 200);
        form->PaintTo(image.Canvas()->Handle(), 0, 0);
        int red = 0;
        for (int x = 12; x < 48; ++x)
            red += image.PixelColor(x, 12) == clRed;
        return red;
    };
    const int focusedRed = redOnFrame();
    EXPECT_LT(focusedRed, 30) << "no frame drawn";
    button->SetFocus();
    EXPECT_FALSE(square->KeyFocused());
    EXPECT_EQ(redOnFrame(), 36);
    form->Hide();
}

TEST_F(KeyStops, TheKeyStopGoesWithItsControlItsParentOrTheTabStop) {
    TForm* form = MakeForm(App(), 320, 200);
    auto* panel = new TPanel(form);
    panel->SetParent(form);
    panel->SetBounds(0, 0, 200, 100);
    auto* square = new TSquare(form, "square", log, 10);
    square->SetTabStop(true);
    EXPECT_EQ(square->KeyStop()->Parent(), form);
    // It follows the control to another parent.
    square->SetParent(panel);
    EXPECT_EQ(square->KeyStop()->Parent(), panel);
    std::vector<TWinControl*> order;
    form->GetTabOrderList(order);
    EXPECT_EQ(order, (std::vector<TWinControl*>{panel, square->KeyStop()}));

    square->SetTabStop(false);
    order.clear();
    form->GetTabOrderList(order);
    EXPECT_EQ(order, std::vector<TWinControl*>{panel});

    square->SetTabStop(true);
    square->Free();
    order.clear();
    form->GetTabOrderList(order);
    EXPECT_EQ(order, std::vector<TWinControl*>{panel}) << "freed with its control";

    // The parent frees both, in whatever order: nothing is left dangling.
    auto* again = new TSquare(panel, "again", log, 10);
    again->SetTabStop(true);
    form->Show();
    App()->ProcessMessages();
    PressKey(App(), GetFocus(), VK_TAB);
    panel->Free();
    App()->ProcessMessages();
    EXPECT_TRUE(Errors.empty());
    form->Hide();
}
