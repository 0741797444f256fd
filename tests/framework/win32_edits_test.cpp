// The system's edit, memo and combo box windows under the framework: change
// notices for every change, a memo's lines in step with its window, and a
// combo box's items, edits and picks.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "framework/core/sysutils.h"
#include "framework/win32/buttons.h"
#include "framework/win32/combo_box.h"
#include "framework/win32/edits.h"
#include "framework/win32/forms.h"
#include "tests/framework/win32_input.h"
#include "tests/framework/win32_test_support.h"

using namespace vexel;
using vexel::testing::FrameworkTest;
using vexel::testing::MakeForm;
using vexel::testing::PressKey;
using vexel::testing::TypeChar;

namespace {

std::string WindowText(HWND window) {
    std::string text(static_cast<size_t>(GetWindowTextLengthA(window)) + 1, '\0');
    text.resize(static_cast<size_t>(GetWindowTextA(window, &text[0], static_cast<int>(text.size()))));
    return text;
}

void Type(TApplication* app, HWND window, const std::string& text) {
    for (char c : text)
        TypeChar(app, window, c);
}

}  // namespace

class Edits : public FrameworkTest {};

TEST_F(Edits, OnChangeFiresForEveryChangeWithOrWithoutAWindow) {
    TForm* form = MakeForm(App());
    auto* edit = new TEdit(form);
    edit->SetParent(form);
    std::vector<std::string> seen;
    edit->OnChange = [&](TObject* sender) { seen.push_back(static_cast<TEdit*>(sender)->Text()); };

    edit->SetText("3");  // no window yet
    EXPECT_EQ(seen, std::vector<std::string>{"3"});
    HWND window = edit->Handle();
    EXPECT_EQ(WindowText(window), "3");
    EXPECT_TRUE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    edit->SetText("4");
    edit->SetText("4");  // the same text is no change
    edit->SetSelStart(1);
    Type(App(), window, "2");
    EXPECT_EQ(seen, (std::vector<std::string>{"3", "4", "42"}));
    EXPECT_TRUE(edit->Modified());

    edit->SetReadOnly(true);
    EXPECT_TRUE(GetWindowLongA(window, GWL_STYLE) & ES_READONLY);
    Type(App(), window, "7");
    EXPECT_EQ(edit->Text(), "42");
    edit->SetReadOnly(false);

    edit->SetEnabled(false);
    EXPECT_FALSE(IsWindowEnabled(window));
    edit->SetEnabled(true);
    EXPECT_TRUE(IsWindowEnabled(window));

    edit->SetMaxLength(3);
    Type(App(), window, "123");
    EXPECT_EQ(edit->Text(), "421");
    EXPECT_EQ(seen.back(), "421");
}

// An edit that shows the control's plain copy of its text.
class TPlainCopyEdit : public TEdit {
public:
    using TEdit::TEdit;
    const std::string& PlainCopy() const { return text_; }

protected:
    ~TPlainCopyEdit() override = default;
};

TEST_F(Edits, ASecretEditKeepsItsTextOutOfThePlainCopyThroughANewWindow) {
    TForm* form = MakeForm(App());
    auto* edit = new TPlainCopyEdit(form);
    edit->SetParent(form);
    edit->SetSecret(true);
    std::vector<std::string> seen;
    edit->OnChange = [&](TObject*) { seen.push_back(edit->SecretText().Text()); };

    edit->SetText("pässword");  // no window yet
    EXPECT_EQ(edit->Text(), "pässword");
    EXPECT_EQ(edit->PlainCopy(), "");
    HWND window = edit->Handle();
    EXPECT_EQ(edit->SecretText().Text(), "pässword");
    edit->SetSelStart(8);
    Type(App(), window, "!");

    // A new window takes the text over from the holder, without a change notice.
    edit->RecreateWnd();
    EXPECT_EQ(edit->SecretText().Text(), "pässword!");
    EXPECT_EQ(edit->PlainCopy(), "");
    EXPECT_EQ(seen, (std::vector<std::string>{"pässword", "pässword!"}));
}

TEST_F(Edits, AMemosLinesStayInStepWithItsWindow) {
    TForm* form = MakeForm(App());
    auto* memo = new TMemo(form);
    memo->SetParent(form);
    int changes = 0;
    memo->OnChange = [&](TObject*) { ++changes; };
    TStrings* lines = memo->Lines();

    lines->Add("Source: index.htm");  // no window yet
    lines->Add("Rate=52%");
    EXPECT_EQ(memo->Text(), "Source: index.htm\r\nRate=52%\r\n");
    HWND window = memo->Handle();
    EXPECT_EQ(WindowText(window), "Source: index.htm\r\nRate=52%\r\n");

    lines->Insert(1, "Warnning:\tcharacter 0x01");
    lines->Add("Compresssed to: index.htm");
    lines->Delete(0);
    EXPECT_EQ(WindowText(window), "Warnning:\tcharacter 0x01\r\nRate=52%\r\nCompresssed to: index.htm\r\n");
    ASSERT_EQ(lines->Count(), 3);
    EXPECT_EQ(lines->Strings(0), "Warnning:\tcharacter 0x01");  // tabs stay text
    EXPECT_EQ(changes, 5);

    // What the user types shows in the lines.
    memo->SetSelStart(static_cast<int>(memo->Text().size()));
    Type(App(), window, "ok");
    ASSERT_EQ(lines->Count(), 4);
    EXPECT_EQ(lines->Strings(3), "ok");
    lines->Add("after typing");  // goes on a line of its own
    EXPECT_EQ(lines->Strings(3), "ok");
    EXPECT_EQ(lines->Strings(4), "after typing");
    lines->SetStrings(0, "first");
    EXPECT_EQ(lines->Strings(0), "first");
    EXPECT_EQ(lines->Count(), 5);
    EXPECT_THROW(lines->Strings(5), EStringListError);

    // Scroll bars and word wrap take a new window; the text stays.
    memo->SetScrollBars(ssBoth);
    HWND recreated = memo->Handle();
    EXPECT_NE(recreated, window);
    LONG style = GetWindowLongA(recreated, GWL_STYLE);
    EXPECT_TRUE((style & WS_HSCROLL) && (style & WS_VSCROLL) && (style & ES_MULTILINE));
    EXPECT_EQ(lines->Count(), 5);
    EXPECT_EQ(lines->Strings(4), "after typing");

    lines->Clear();
    EXPECT_EQ(lines->Count(), 0);
    EXPECT_EQ(WindowText(recreated), "");
}

TEST_F(Edits, AMemoLoadsAFileAndKeepsItsKeysAsAsked) {
    namespace fs = std::filesystem;
    fs::path file =
        fs::temp_directory_path() / ("vexel-memo-" + std::to_string(std::random_device()()) + ".txt");
    {
        std::ofstream out(file, std::ios::binary);
        for (int i = 1; i <= 400; ++i)
            out << "line " << i << "\tof the log\n";
    }
    TForm* form = MakeForm(App());
    auto* memo = new TMemo(form);
    memo->SetParent(form);
    memo->SetReadOnly(true);
    memo->Lines()->LoadFromFile(file.string());
    fs::remove(file);
    ASSERT_EQ(memo->Lines()->Count(), 400);
    EXPECT_EQ(memo->Lines()->Strings(399), "line 400\tof the log");
    HWND window = memo->Handle();
    EXPECT_TRUE(GetWindowLongA(window, GWL_STYLE) & ES_READONLY);
    Type(App(), window, "x");  // read-only: typing changes nothing
    EXPECT_EQ(memo->Lines()->Count(), 400);
    EXPECT_EQ(memo->Lines()->Strings(0), "line 1\tof the log");
    EXPECT_THROW(memo->Lines()->LoadFromFile(file.string()), EFOpenError);

    // Enter stays in the memo unless it does not want returns; Tab leaves
    // it unless it wants tabs.
    auto dialogCode = [&] { return SendMessageA(window, WM_GETDLGCODE, 0, 0); };
    EXPECT_TRUE(dialogCode() & DLGC_WANTALLKEYS);
    EXPECT_FALSE(dialogCode() & DLGC_WANTTAB);
    memo->SetWantTabs(true);
    memo->SetWantReturns(false);
    EXPECT_FALSE(dialogCode() & DLGC_WANTALLKEYS);
    EXPECT_TRUE(dialogCode() & DLGC_WANTTAB);
}

TEST_F(Edits, AComboBoxReportsEditsAndPicksAndKeepsItsItems) {
    TForm* form = MakeForm(App());
    auto* combo = new TComboBox(form);
    combo->SetParent(form);
    combo->SetBounds(10, 10, 150, 21);
    combo->Items()->Add("*.htm");
    combo->Items()->Add("*.html");
    combo->Items()->Add("*.*");
    combo->SetItemIndex(1);
    EXPECT_EQ(combo->Text(), "*.html");
    std::vector<std::string> seen;
    combo->OnChange = [&](TObject*) { seen.push_back(combo->Text()); };

    HWND window = combo->Handle();
    EXPECT_EQ(GetWindowLongA(window, GWL_STYLE) & 3, CBS_DROPDOWN);
    EXPECT_EQ(SendMessageA(window, CB_GETCOUNT, 0, 0), 3);
    EXPECT_EQ(combo->ItemIndex(), 1);
    EXPECT_EQ(combo->Text(), "*.html");
    EXPECT_LT(combo->Height(), 40);  // the closed box, not the list

    // Typing into the edit inside.
    HWND edit = FindWindowExA(window, nullptr, "Edit", nullptr);
    ASSERT_TRUE(edit);
    SendMessageA(edit, EM_SETSEL, 0, -1);
    TypeChar(App(), edit, 'x');
    EXPECT_EQ(seen, std::vector<std::string>{"x"});
    // A pick with the keys: the handler sees the picked text.
    PressKey(App(), edit, VK_DOWN);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(combo->ItemIndex(), 0) << seen.back();
    EXPECT_EQ(seen.back(), "*.htm");
    // The program's own changes are not the user's.
    combo->SetItemIndex(2);
    combo->SetText("index.htm");
    EXPECT_EQ(seen.size(), 2u);

    // A new window keeps the items, the pick and the text.
    combo->SetItemIndex(2);
    combo->SetStyle(csDropDownList);
    EXPECT_NE(combo->Handle(), window);
    EXPECT_EQ(GetWindowLongA(combo->Handle(), GWL_STYLE) & 3, CBS_DROPDOWNLIST);
    EXPECT_EQ(combo->Items()->Count(), 3);
    EXPECT_EQ(combo->Items()->Strings(2), "*.*");
    EXPECT_EQ(combo->ItemIndex(), 2);
    EXPECT_EQ(combo->Text(), "*.*");
    combo->Items()->Delete(0);
    EXPECT_EQ(combo->Items()->Strings(0), "*.html");
    combo->Items()->Clear();
    EXPECT_EQ(SendMessageA(combo->Handle(), CB_GETCOUNT, 0, 0), 0);
}

TEST_F(Edits, EnterInADroppedComboClosesItsListInsteadOfClickingTheDefaultButton) {
    TForm* form = MakeForm(App());
    auto* combo = new TComboBox(form);
    combo->SetParent(form);
    combo->SetBounds(10, 10, 150, 21);
    combo->Items()->Add("JavaScript");
    combo->Items()->Add("VBScript");
    auto* ok = new TButton(form);
    ok->SetParent(form);
    ok->SetBounds(10, 100, 75, 25);
    ok->SetDefault(true);
    int clicks = 0;
    ok->OnClick = [&](TObject*) { ++clicks; };
    form->Show();
    App()->ProcessMessages();
    combo->SetFocus();
    HWND edit = FindWindowExA(combo->Handle(), nullptr, "Edit", nullptr);
    ASSERT_EQ(GetFocus(), edit);
    EXPECT_EQ(form->ActiveControl(), combo);

    combo->SetDroppedDown(true);
    ASSERT_TRUE(combo->DroppedDown());
    PressKey(App(), edit, VK_RETURN);
    EXPECT_EQ(clicks, 0);
    EXPECT_FALSE(combo->DroppedDown());
    PressKey(App(), edit, VK_RETURN);
    EXPECT_EQ(clicks, 1);
    form->Hide();
}
