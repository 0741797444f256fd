// The keyboard through every window: Tab goes round all of a window's
// controls in reading order (the windowless buttons too), and the boxes of
// the main window show their whole text.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "app/closing_note.h"
#include "app/conn.h"
#include "app/log_window.h"
#include "app/main_window.h"
#include "app/options_dialog.h"
#include "app/tip_window.h"
#include "app/window_parts.h"
#include "tests/app/app_test_support.h"
#include "tests/framework/win32_input.h"

using namespace vexel;
using namespace vexel::testing;

using TNamed = TNamedControls;

class Keyboard : public AppTest {
protected:
    // Shows Form (and does what Shown says, as the user would) and gives
    // the names of the controls Tab reaches, starting with the one that has
    // the focus, once round and back to the first.
    std::vector<std::string> TabRound(TCustomForm* Form, const TNamed& Named,
                                      const std::function<void()>& Shown = nullptr) {
        Form->Show();
        App()->ProcessMessages();
        if (Shown)
            Shown();
        std::vector<std::string> seen{FocusName(Named)};
        for (std::size_t i = 0; i < Named.size() + 4 && (seen.size() == 1 || seen.back() != seen.front()); ++i) {
            PressKey(App(), GetFocus(), VK_TAB);
            seen.push_back(FocusName(Named));
        }
        Form->Hide();
        return seen;
    }
};

TEST_F(Keyboard, TabGoesRoundTheMainWindowFromThePagesToTheLinks) {
    MakeProgramWindows();
    TForm1* f = form1;
    const TNamed named{{"drive", f->DriveComboBox1}, {"type", f->ComboBox1},     {"folders", f->DirectoryListBox1},
                       {"files", f->ZelExplorerView1}, {"start", f->ZelButton1},  {"preview", f->Sourcecode},
                       {"help", f->ZelIEButton1},      {"tips", f->ZelIEButton2}, {"logs", f->ZelIEButton3},
                       {"exit", f->ZelIEButton7},      {"home", f->ZelIEButton4}, {"mail", f->ZelIEButton8}};
    // The preview's text joins once a page is shown in it.
    EXPECT_EQ(TabRound(f, named), (std::vector<std::string>{"drive", "type", "folders", "files", "start", "help",
                                                            "tips", "logs", "exit", "home", "mail", "drive"}));
    f->Web->Show();
    EXPECT_EQ(TabRound(f, named), (std::vector<std::string>{"drive", "type", "folders", "files", "start", "preview",
                                                            "help", "tips", "logs", "exit", "home", "mail",
                                                            "drive"}));

    // Space on a tool button clicks it: the tip window comes.
    f->Show();
    App()->ProcessMessages();
    f->ZelIEButton2->KeyStop()->SetFocus();
    PressKey(App(), GetFocus(), VK_SPACE);
    EXPECT_TRUE(windows->Form4->Visible());
}

TEST_F(Keyboard, TabGoesRoundTheTipsTheOptionsTheLogTheCompressionWindowAndTheNote) {
    MakeProgramWindows();
    TForm4* tips = windows->Form4;
    EXPECT_EQ(TabRound(tips, {{"show", tips->Tipsshow}, {"next", tips->ZelOfficeButton2}, {"close", tips->ZelOfficeButton1}}),
              (std::vector<std::string>{"show", "next", "close", "show"}));

    TSavefileto* options = windows->Savefileto;
    const TNamed optionNames{{"javascript", options->JavaChoose}, {"vbscript", options->VbChoose},
                             {"modern", options->ModernChoose},   {"site", options->SiteFile},
                             {"high bytes", options->UChar},
                             {"whitespace", options->ZelCheckbox3}, {"encrypt", options->ZelCheckbox4},
                             {"seal", options->SealPassword},     {"again", options->SealAgain},
                             {"show", options->SealShow},         {"lock", options->ZelCheckbox1},
                             {"password", options->Edit1},        {"ok", options->ZelButton2},
                             {"cancel", options->ZelButton1}};
    // The chosen page format is the group's one stop; the password boxes
    // join when they can be used, and the shared decoder file's box leaves
    // when encryption is ticked (an encrypted page has no shared decoder).
    EXPECT_EQ(TabRound(options, optionNames),
              (std::vector<std::string>{"javascript", "high bytes", "whitespace", "encrypt", "lock", "ok", "cancel",
                                        "javascript"}));
    EXPECT_EQ(TabRound(options, optionNames,
                       [&] {
                           options->ModernChoose->SetFocus();  // as the arrow key chooses it
                           options->ZelCheckbox4->Toggle();
                       }),
              (std::vector<std::string>{"modern", "high bytes", "whitespace", "encrypt", "seal", "again", "show",
                                        "ok", "cancel", "modern"}));

    TLog* log = windows->Log;
    EXPECT_EQ(TabRound(log, {{"lines", log->Memo1}, {"cancel", log->ZelButton1}}),
              (std::vector<std::string>{"lines", "cancel", "lines"}));

    TConn* conn = windows->Conn;
    EXPECT_EQ(TabRound(conn, {{"lines", conn->Memo1},
                              {"source", conn->Openfile},
                              {"processed", conn->Savefile},
                              {"cancel", conn->ZelButton1}}),
              (std::vector<std::string>{"lines", "source", "processed", "cancel", "lines"}));

    TIMessage* note = windows->IMessage;
    EXPECT_EQ(TabRound(note, {{"close", note->ZelButton1}}), (std::vector<std::string>{"close", "close"}));
}

TEST_F(Keyboard, TheDriveAndFileTypeBoxesShowTheirWholeTextSideBySide) {
    MakeProgramWindows();
    TComboBox* type = form1->ComboBox1;
    COMBOBOXINFO info{};
    info.cbSize = sizeof(info);
    ASSERT_TRUE(GetComboBoxInfo(type->Handle(), &info));
    // The text area, left of the button, holds the longest file type.
    for (int i = 0; i < type->Items()->Count(); ++i)
        EXPECT_GE(info.rcItem.right - info.rcItem.left, TextSizeIn(type, type->Items()->Strings(i)).cx)
            << type->Items()->Strings(i);
    EXPECT_LE(form1->DriveComboBox1->BoundsRect().Right, type->Left());
    EXPECT_LE(type->BoundsRect().Right, form1->DirectoryListBox1->BoundsRect().Right);
    EXPECT_GE(form1->DriveComboBox1->Width(), 60) << "room for a drive letter and its icon";
}

TEST_F(Keyboard, EscClosesTheLogFromItsLinesAndEnterOnTheTipsCheckBoxIsClose) {
    MakeProgramWindows();
    // After a run and after LOGs the focus is on the log's lines.
    TLog* log = windows->Log;
    log->Show();
    App()->ProcessMessages();
    log->Memo1->SetFocus();
    ASSERT_EQ(GetFocus(), log->Memo1->Handle());
    PressKey(App(), GetFocus(), VK_ESCAPE);
    EXPECT_FALSE(log->Visible());

    TForm4* tips = windows->Form4;
    tips->Show();
    App()->ProcessMessages();
    tips->Tipsshow->SetFocus();
    ASSERT_EQ(GetFocus(), tips->Tipsshow->Handle());
    const bool ticked = tips->Tipsshow->Checked();
    PressKey(App(), GetFocus(), VK_RETURN);
    EXPECT_FALSE(tips->Visible());
    EXPECT_EQ(tips->Tipsshow->Checked(), ticked);
    // On the buttons Enter is still theirs: Next Tips shows the next tip.
    tips->Show();
    App()->ProcessMessages();
    const std::string tip = tips->TipText->Caption();
    tips->ZelOfficeButton2->KeyStop()->SetFocus();
    PressKey(App(), GetFocus(), VK_RETURN);
    EXPECT_TRUE(tips->Visible());
    EXPECT_NE(tips->TipText->Caption(), tip);
}

TEST_F(Keyboard, TheFileTypeBoxShowsItsWholeTextWhenFocusedAndTheListsMarkTheFocusedRowPlainly) {
    MakeProgramWindows();
    form1->Show();
    App()->ProcessMessages();
    TComboBox* type = form1->ComboBox1;
    COMBOBOXINFO info{};
    info.cbSize = sizeof(info);
    ASSERT_TRUE(GetComboBoxInfo(type->Handle(), &info));
    const HWND edit = info.hwndItem;
    ASSERT_NE(edit, nullptr);
    type->SetFocus();
    App()->ProcessMessages();
    ASSERT_EQ(GetFocus(), edit);
    // Focused, the text is all selected and the caret at its end: the edit
    // must not scroll its first "*" away, and the last "L" must fit.
    EXPECT_EQ(SendMessageW(edit, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
    const std::wstring text = L"*.HTM;*.HTML";
    RECT client{};
    GetClientRect(edit, &client);
    const LRESULT margins = SendMessageW(edit, EM_GETMARGINS, 0, 0);
    const LRESULT last = SendMessageW(edit, EM_POSFROMCHAR, text.size() - 1, 0);
    const int lastRight = static_cast<short>(LOWORD(last)) + TextSizeIn(type, "L").cx;
    EXPECT_LE(lastRight, client.right - HIWORD(margins)) << "the last L clipped";
    EXPECT_GE(static_cast<short>(LOWORD(SendMessageW(edit, EM_POSFROMCHAR, 0, 0))), 0) << "the first * scrolled away";

    // The focused row of the file list, selected: a solid frame in the
    // highlight's text colour, every pixel of it (a dotted one has gaps).
    TZelExplorerView* files = form1->ZelExplorerView1;
    ScratchDir dir;
    for (const char* name : {"a.htm", "b.htm", "c.htm"})
        WriteBytes(dir.Path(name), "<html></html>");
    form1->DirectoryListBox1->SetDirectory(dir.Root().string());
    ASSERT_EQ(files->Count(), 3);
    files->SetItemIndex(1);
    files->SetSelected(1, true);
    files->SetFocus();
    App()->ProcessMessages();
    UpdateWindow(files->Handle());
    RECT row{};
    ASSERT_NE(SendMessageW(files->Handle(), LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&row)), LB_ERR);
    ScopedGetDC dc(files->Handle());
    const COLORREF mark = GdiColor(clHighlightText);
    int marked = 0;
    for (int x = row.left + 2; x < row.right - 2; ++x)
        marked += GetPixel(dc.Get(), x, row.top + 1) == mark && GetPixel(dc.Get(), x, row.bottom - 2) == mark;
    EXPECT_EQ(marked, row.right - row.left - 4);
    form1->Hide();
}
