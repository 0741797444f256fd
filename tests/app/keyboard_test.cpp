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
    // join when they can be used.
    EXPECT_EQ(TabRound(options, optionNames),
              (std::vector<std::string>{"javascript", "high bytes", "whitespace", "encrypt", "lock", "ok", "cancel",
                                        "javascript"}));
    EXPECT_EQ(TabRound(options, optionNames,
                       [&] {
                           options->ModernChoose->SetFocus();  // as the arrow key chooses it
                           options->ZelCheckbox4->Toggle();
                       }),
              (std::vector<std::string>{"modern", "site", "high bytes", "whitespace", "encrypt", "seal", "again",
                                        "show", "ok", "cancel", "modern"}));

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
