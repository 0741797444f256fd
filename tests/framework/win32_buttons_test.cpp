// The system's button windows under the framework: clicks by mouse and by
// keys, the default and cancel buttons, accelerators of windowed and
// windowless controls, check boxes, radio groups, and windows re-created
// with their state, place and focus.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "framework/win32/buttons.h"
#include "framework/win32/edits.h"
#include "framework/win32/forms.h"
#include "framework/win32/gdi.h"
#include "framework/win32/labels.h"
#include "framework/win32/panels.h"
#include "tests/framework/win32_input.h"
#include "tests/framework/win32_test_support.h"

using namespace vexel;
using vexel::testing::FrameworkTest;
using vexel::testing::MakeForm;
using vexel::testing::MousePos;
using vexel::testing::PressKey;
using vexel::testing::TypeChar;

namespace {

// Counts a control's clicks into a shared log by name.
template <class T>
T* Make(TWinControl* parent, const std::string& caption, std::vector<std::string>& log, int left, int top) {
    auto* control = new T(parent);
    control->SetParent(parent);
    control->SetCaption(caption);
    control->SetBounds(left, top, 90, 24);
    control->OnClick = [&log, caption](TObject*) { log.push_back(caption); };
    return control;
}

LRESULT CheckOf(TWinControl* control) {
    return SendMessageA(control->Handle(), BM_GETCHECK, 0, 0);
}

void Click(TWinControl* control) {
    SendMessageA(control->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MousePos(5, 5));
    SendMessageA(control->Handle(), WM_LBUTTONUP, 0, MousePos(5, 5));
}

// Two stripes, the left red and the right blue.
class TStripes : public TGraphicControl {
public:
    using TGraphicControl::TGraphicControl;

protected:
    void Paint() override {
        Canvas()->Brush()->SetColor(clRed);
        Canvas()->FillRect({0, 0, Width() / 2, Height()});
        Canvas()->Brush()->SetColor(clBlue);
        Canvas()->FillRect({Width() / 2, 0, Width(), Height()});
    }
};

// What the box window paints, as the system paints it, at (X, Y) of the box.
COLORREF BoxPixel(TWinControl* box, int X, int Y) {
    AutoDeleteDC memory;
    ScopedGetDC screen(nullptr);
    ScopedBitmap picture(CreateCompatibleBitmap(screen.Get(), box->Width(), box->Height()));
    ScopedSelect select(memory.Get(), picture.Get());
    SendMessageA(box->Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory.Get()), PRF_CLIENT);
    return GetPixel(memory.Get(), X, Y);
}

}  // namespace

class Buttons : public FrameworkTest {
protected:
    std::vector<std::string> log_;
};

TEST_F(Buttons, AMouseClickRunsOnClickAndTellsTheFormItsModalResult) {
    TForm* form = MakeForm(App());
    auto* ok = Make<TButton>(form, "OK", log_, 10, 10);
    ok->SetModalResult(mrOk);
    HWND window = ok->Handle();
    EXPECT_EQ(GetWindowLongA(window, GWL_STYLE) & BS_TYPEMASK, BS_PUSHBUTTON);

    SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MousePos(5, 5));
    EXPECT_TRUE(log_.empty());  // a press alone is no click
    SendMessageA(window, WM_LBUTTONUP, 0, MousePos(5, 5));
    EXPECT_EQ(log_, std::vector<std::string>{"OK"});
    EXPECT_EQ(form->ModalResult(), mrOk);

    // Released outside: the system reports no click.
    SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MousePos(5, 5));
    SendMessageA(window, WM_LBUTTONUP, 0, MousePos(200, 5));
    EXPECT_EQ(log_.size(), 1u);

    // Two quick presses are two clicks, not a double click.
    SendMessageA(window, WM_LBUTTONDBLCLK, MK_LBUTTON, MousePos(5, 5));
    SendMessageA(window, WM_LBUTTONUP, 0, MousePos(5, 5));
    EXPECT_EQ(log_.size(), 2u);
}

TEST_F(Buttons, EnterAndEscGoToTheDefaultAndCancelButtonsUnlessAButtonOrTheWindowTakesThem) {
    TForm* form = MakeForm(App());
    auto* edit = new TEdit(form);
    edit->SetParent(form);
    edit->SetBounds(10, 10, 100, 21);
    auto* ok = Make<TButton>(form, "OK", log_, 10, 40);
    ok->SetDefault(true);
    auto* cancel = Make<TButton>(form, "Cancel", log_, 110, 40);
    cancel->SetCancel(true);
    cancel->SetModalResult(mrCancel);
    auto* other = Make<TButton>(form, "Other", log_, 210, 40);
    auto* memo = new TMemo(form);
    memo->SetParent(form);
    memo->SetBounds(10, 80, 200, 60);
    form->Show();
    App()->ProcessMessages();

    edit->SetFocus();
    ASSERT_TRUE(edit->Focused());
    EXPECT_TRUE(ok->ActiveDefault());
    EXPECT_EQ(GetWindowLongA(ok->Handle(), GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
    PressKey(App(), edit->Handle(), VK_RETURN);
    EXPECT_EQ(log_, std::vector<std::string>{"OK"});
    PressKey(App(), edit->Handle(), VK_ESCAPE);
    EXPECT_EQ(log_, (std::vector<std::string>{"OK", "Cancel"}));
    EXPECT_EQ(form->ModalResult(), mrCancel);

    // The focused push button takes Enter; the default one does not.
    other->SetFocus();
    EXPECT_TRUE(other->ActiveDefault());
    EXPECT_FALSE(ok->ActiveDefault());
    EXPECT_EQ(GetWindowLongA(ok->Handle(), GWL_STYLE) & BS_TYPEMASK, BS_PUSHBUTTON);
    log_.clear();
    PressKey(App(), other->Handle(), VK_RETURN);
    EXPECT_EQ(log_, std::vector<std::string>{"Other"});
    PressKey(App(), other->Handle(), VK_ESCAPE);
    EXPECT_EQ(log_, (std::vector<std::string>{"Other", "Cancel"}));

    // A memo keeps Enter for its new lines.
    memo->SetFocus();
    EXPECT_TRUE(ok->ActiveDefault());
    log_.clear();
    PressKey(App(), memo->Handle(), VK_RETURN);
    EXPECT_TRUE(log_.empty());
    EXPECT_EQ(memo->Text(), "\r\n");

    // A default button that cannot take the focus ignores Enter.
    edit->SetFocus();
    ok->SetEnabled(false);
    PressKey(App(), edit->Handle(), VK_RETURN);
    EXPECT_TRUE(log_.empty());
    // Made the default while a control of another kind has the focus.
    other->SetDefault(true);
    EXPECT_TRUE(other->ActiveDefault());
    PressKey(App(), edit->Handle(), VK_RETURN);
    EXPECT_EQ(log_, std::vector<std::string>{"Other"});
    form->Hide();
}

TEST_F(Buttons, AcceleratorsReachTheWindowedOrWindowlessControlThatOwnsThem) {
    TForm* form = MakeForm(App());
    auto* label = new TLabel(form);
    label->SetParent(form);
    label->SetCaption("&Name:");
    label->SetBounds(10, 10, 50, 16);
    auto* panel = new TPanel(form);  // controls inside containers count too
    panel->SetParent(form);
    panel->SetBounds(0, 30, 320, 150);
    auto* edit = new TEdit(form);
    edit->SetParent(panel);
    edit->SetBounds(70, 5, 100, 21);
    label->SetFocusControl(edit);
    auto* start = Make<TButton>(form, "&Start", log_, 10, 40);
    start->SetParent(panel);
    auto* tips = Make<TCheckBox>(form, "Show &Tips", log_, 10, 70);
    tips->SetParent(panel);
    auto* java = Make<TRadioButton>(form, "&JavaScript", log_, 10, 100);
    java->SetParent(panel);
    form->Show();
    App()->ProcessMessages();

    start->SetFocus();
    TypeChar(App(), start->Handle(), 'n', true);  // Alt+N: the label's edit
    EXPECT_TRUE(edit->Focused());
    TypeChar(App(), edit->Handle(), 's');  // typed into the edit, no accelerator
    EXPECT_EQ(edit->Text(), "s");
    EXPECT_TRUE(log_.empty());
    TypeChar(App(), edit->Handle(), 'S', true);
    EXPECT_EQ(log_, std::vector<std::string>{"&Start"});
    TypeChar(App(), edit->Handle(), 't', true);
    EXPECT_TRUE(tips->Checked());
    EXPECT_TRUE(tips->Focused());
    // Where the focused control takes no characters, the plain letter does.
    TypeChar(App(), tips->Handle(), 'j');
    EXPECT_TRUE(java->Checked());
    EXPECT_EQ(log_, (std::vector<std::string>{"&Start", "Show &Tips", "&JavaScript"}));

    // A disabled owner ignores its letter; "&&" marks none.
    start->SetEnabled(false);
    TypeChar(App(), edit->Handle(), 's', true);
    EXPECT_EQ(log_.size(), 3u);
    EXPECT_TRUE(IsAccel('S', "&Start"));
    EXPECT_FALSE(IsAccel('S', "&&Start"));
    EXPECT_TRUE(IsAccel('b', "Rock && &Bass"));
    EXPECT_FALSE(IsAccel('t', "Start"));
    form->Hide();
}

TEST_F(Buttons, TabMovesTheFocusInTabOrderThroughNestedControls) {
    TForm* form = MakeForm(App());
    auto* first = Make<TButton>(form, "1", log_, 10, 10);
    auto* panel = new TPanel(form);
    panel->SetParent(form);
    panel->SetBounds(0, 40, 320, 100);
    auto* inner1 = Make<TButton>(form, "2", log_, 10, 10);
    inner1->SetParent(panel);
    auto* inner2 = Make<TButton>(form, "3", log_, 110, 10);
    inner2->SetParent(panel);
    auto* last = Make<TButton>(form, "4", log_, 110, 10);
    auto* noStop = Make<TButton>(form, "no stop", log_, 210, 10);
    noStop->SetTabStop(false);
    auto* disabled = Make<TButton>(form, "disabled", log_, 210, 150);
    disabled->SetEnabled(false);

    EXPECT_EQ(first->TabOrder(), 0);
    EXPECT_EQ(last->TabOrder(), 2);
    EXPECT_EQ(inner2->TabOrder(), 1);
    last->SetTabOrder(0);  // now before the first
    EXPECT_EQ(last->TabOrder(), 0);
    EXPECT_EQ(first->TabOrder(), 1);
    EXPECT_EQ(panel->TabOrder(), 2);
    std::vector<TWinControl*> order;
    form->GetTabOrderList(order);
    EXPECT_EQ(order, (std::vector<TWinControl*>{last, first, panel, inner1, inner2, noStop, disabled}));

    form->Show();
    App()->ProcessMessages();
    // The first tab stop has the focus once the form is active.
    EXPECT_TRUE(last->Focused());
    EXPECT_EQ(form->ActiveControl(), last);
    std::vector<TWinControl*> visited;
    for (int i = 0; i < 5; ++i) {
        PressKey(App(), GetFocus(), VK_TAB);
        visited.push_back(form->ActiveControl());
    }
    EXPECT_EQ(visited, (std::vector<TWinControl*>{first, inner1, inner2, last, first}));
    // Shift+Tab goes back (held down for GetKeyState, as typed keys are).
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_SHIFT] = 0x80;
    SetKeyboardState(keys);
    PressKey(App(), GetFocus(), VK_TAB);
    keys[VK_SHIFT] = 0;
    SetKeyboardState(keys);
    EXPECT_EQ(form->ActiveControl(), last);
    EXPECT_TRUE(log_.empty());  // Tab clicks nothing
    form->Hide();
}

TEST_F(Buttons, CheckBoxesToggleByMouseSpaceAndProgramWithOneClickEach) {
    TForm* form = MakeForm(App());
    auto* box = Make<TCheckBox>(form, "Show Tips at Startup", log_, 10, 10);
    box->SetWidth(150);
    HWND window = box->Handle();
    EXPECT_EQ(GetWindowLongA(window, GWL_STYLE) & BS_TYPEMASK, BS_3STATE);

    Click(box);
    EXPECT_TRUE(box->Checked());
    EXPECT_EQ(CheckOf(box), BST_CHECKED);
    EXPECT_EQ(log_.size(), 1u);

    PressKey(App(), window, VK_SPACE);
    EXPECT_FALSE(box->Checked());
    EXPECT_EQ(CheckOf(box), BST_UNCHECKED);
    EXPECT_EQ(log_.size(), 2u);

    box->SetChecked(true);
    EXPECT_EQ(CheckOf(box), BST_CHECKED);
    box->SetChecked(true);  // no change, no click
    EXPECT_EQ(log_.size(), 3u);

    box->SetAllowGrayed(true);
    box->SetChecked(false);
    Click(box);
    EXPECT_EQ(box->State(), cbGrayed);
    EXPECT_EQ(CheckOf(box), BST_INDETERMINATE);
    Click(box);
    EXPECT_EQ(box->State(), cbChecked);
    EXPECT_EQ(log_.size(), 6u);
}

TEST_F(Buttons, ABoxOnAParentBackgroundShowsWhatTheParentPaintsBeneathIt) {
    TForm* form = MakeForm(App());
    form->SetColor(clWhite);
    auto* stripes = new TStripes(form);
    stripes->SetParent(form);
    stripes->SetBounds(0, 0, 200, 20);
    auto* box = Make<TCheckBox>(form, "Tips", log_, 40, 10);
    box->SetWidth(120);
    // The box spans both stripes and the form below them; its text ends
    // well before its right edge.
    EXPECT_EQ(BoxPixel(box, 115, 2), RGB(255, 255, 255)) << "the box's own colour";
    box->SetParentBackground(true);
    EXPECT_EQ(BoxPixel(box, 115, 2), RGB(0, 0, 255));
    EXPECT_EQ(BoxPixel(box, 58, 1), RGB(255, 0, 0));
    box->SetChecked(true);
    EXPECT_EQ(BoxPixel(box, 115, 20), RGB(255, 255, 255)) << "below the stripes, the form";
}

TEST_F(Buttons, RadioButtonsOfOneParentFormAGroup) {
    TForm* form = MakeForm(App());
    auto* java = Make<TRadioButton>(form, "JavaScript", log_, 10, 10);
    auto* vb = Make<TRadioButton>(form, "VBScript", log_, 10, 40);
    auto* panel = new TPanel(form);
    panel->SetParent(form);
    panel->SetBounds(150, 0, 150, 100);
    auto* elsewhere = Make<TRadioButton>(form, "Elsewhere", log_, 10, 10);
    elsewhere->SetParent(panel);
    elsewhere->SetChecked(true);
    log_.clear();
    EXPECT_EQ(GetWindowLongA(java->Handle(), GWL_STYLE) & BS_TYPEMASK, BS_RADIOBUTTON);

    java->SetChecked(true);
    EXPECT_EQ(log_, std::vector<std::string>{"JavaScript"});
    EXPECT_TRUE(java->TabStop());
    EXPECT_FALSE(vb->TabStop());
    Click(vb);
    EXPECT_TRUE(vb->Checked());
    EXPECT_FALSE(java->Checked());
    EXPECT_EQ(CheckOf(java), BST_UNCHECKED);
    EXPECT_TRUE(elsewhere->Checked());  // another parent, another group
    EXPECT_EQ(log_, (std::vector<std::string>{"JavaScript", "VBScript"}));
    Click(vb);  // already checked: no click
    EXPECT_EQ(log_.size(), 2u);

    // The arrow keys move through the group and check what they reach.
    form->Show();
    App()->ProcessMessages();
    vb->SetFocus();
    PressKey(App(), vb->Handle(), VK_UP);
    EXPECT_TRUE(java->Focused());
    EXPECT_TRUE(java->Checked());
    EXPECT_FALSE(vb->Checked());
    EXPECT_EQ(log_, (std::vector<std::string>{"JavaScript", "VBScript", "JavaScript"}));
    form->Hide();
}

TEST_F(Buttons, ARecreatedWindowKeepsTextStateBoundsPlaceAndFocus) {
    TForm* form = MakeForm(App());
    auto* before = Make<TButton>(form, "before", log_, 10, 10);
    auto* box = Make<TCheckBox>(form, "Clean whitespace", log_, 10, 40);
    auto* after = Make<TButton>(form, "after", log_, 10, 70);
    box->SetChecked(true);
    form->Show();
    App()->ProcessMessages();
    box->SetFocus();
    ASSERT_TRUE(box->Focused());
    HWND old = box->Handle();
    HWND above = GetWindow(old, GW_HWNDPREV);
    HWND below = GetWindow(old, GW_HWNDNEXT);
    RECT oldRect{};
    GetWindowRect(old, &oldRect);
    log_.clear();

    box->RecreateWnd();
    HWND recreated = box->Handle();
    ASSERT_NE(recreated, old);
    EXPECT_FALSE(IsWindow(old));
    EXPECT_EQ(CheckOf(box), BST_CHECKED);
    char text[64] = {};
    GetWindowTextA(recreated, text, sizeof(text));
    EXPECT_STREQ(text, "Clean whitespace");
    RECT rect{};
    GetWindowRect(recreated, &rect);
    EXPECT_TRUE(EqualRect(&rect, &oldRect));
    EXPECT_EQ(GetWindow(recreated, GW_HWNDPREV), above);
    EXPECT_EQ(GetWindow(recreated, GW_HWNDNEXT), below);
    EXPECT_EQ(GetFocus(), recreated);
    EXPECT_TRUE(IsWindowVisible(recreated));
    EXPECT_TRUE(log_.empty());  // no state change, no click
    (void)before;
    (void)after;
    form->Hide();
}
