// Where every window places itself, at creation and on each show; and the
// closing note, whose button ends the program.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include "app/closing_note.h"
#include "app/conn.h"
#include "app/log_window.h"
#include "app/options_dialog.h"
#include "app/tip_window.h"
#include "tests/app/app_test_support.h"

using namespace vexel;
using namespace vexel::testing;

namespace {

TPoint ScreenCentred(TCustomForm* Form) {
    return {(Screen->Width() - Form->Width()) / 2, (Screen->Height() - Form->Height()) / 2};
}

TPoint Place(TCustomForm* Form) {
    return {Form->Left(), Form->Top()};
}

// The text of the tooltip window's one tool.
std::wstring TipText(HWND Tip) {
    wchar_t text[128] = {};
    TTTOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.lpszText = text;
    SendMessageW(Tip, TTM_ENUMTOOLSW, 0, reinterpret_cast<LPARAM>(&tool));
    return text;
}

}  // namespace

using Windows = AppTest;

TEST_F(Windows, AreMadeHiddenInOrderAndTheNoteLogAndTipsStartCentredOnTheScreen) {
    MakeWindows();
    EXPECT_EQ(App()->MainForm(), splash);
    TCustomForm* forms[] = {windows->Conn, windows->Savefileto, windows->Form4, windows->Log,
                            windows->IMessage};
    for (TCustomForm* form : forms)
        EXPECT_FALSE(form->Visible()) << form->Caption();
    // Each made after the one before it, among the application's components.
    for (std::size_t i = 1; i < std::size(forms); ++i)
        EXPECT_LT(forms[i - 1]->ComponentIndex(), forms[i]->ComponentIndex());
    EXPECT_LT(main->ComponentIndex(), windows->Conn->ComponentIndex());
    EXPECT_LT(windows->ComponentIndex(), splash->ComponentIndex());  // goes after every window
    for (TCustomForm* form :
         {static_cast<TCustomForm*>(windows->Form4), static_cast<TCustomForm*>(windows->Log),
          static_cast<TCustomForm*>(windows->IMessage)})
        EXPECT_EQ(Place(form), ScreenCentred(form)) << form->Caption();
    EXPECT_EQ(windows->Conn->ClientWidth(), 475);
    EXPECT_EQ(windows->Form4->ClientHeight(), 233);
}

TEST_F(Windows, PlaceThemselvesOnEachShowByTheMainWindowOrTheScreen) {
    MakeWindows();
    // A main window narrower than the compression window: the halves of
    // negative differences truncate toward zero.
    main->SetBounds(-41, 33, 300, 201);
    windows->Conn->Show();
    EXPECT_EQ(Place(windows->Conn), (TPoint{-41 - 87, 33 - 74}));
    windows->Savefileto->Show();
    // (300 - 499) div 2 and (201 - 396) div 2.
    EXPECT_EQ(Place(windows->Savefileto), (TPoint{-41 - 99, 33 - 97}));

    // Shown again after the main window was dragged: placed again.
    windows->Savefileto->Hide();
    main->SetBounds(200, 150, 634, 450);
    windows->Savefileto->Show();
    EXPECT_EQ(Place(windows->Savefileto), (TPoint{200 + 67, 150 + 27}));
    windows->Log->Show();
    EXPECT_EQ(Place(windows->Log), (TPoint{250, 200}));

    windows->Form4->SetBounds(3, 4, windows->Form4->Width(), windows->Form4->Height());
    windows->Form4->Show();
    EXPECT_EQ(Place(windows->Form4), ScreenCentred(windows->Form4));

    // The closing note comes when the main window is hidden already: it
    // takes the main window's last place.
    main->Hide();
    windows->IMessage->Show();
    EXPECT_EQ(Place(windows->IMessage), (TPoint{200 + (634 - 427) / 2, 150 + (450 - 95) / 2}));
}

TEST_F(Windows, TheClosingNotesButtonHidesItselfAndEndsTheMessageLoop) {
    MakeWindows();
    App()->SetShowMainForm(false);
    windows->IMessage->Show();
    bool buttonShownAtClick = false;
    App()->Queue([&] {
        buttonShownAtClick = windows->IMessage->ZelButton1->Visible();
        windows->IMessage->ZelButton1->Click();
    });
    App()->Run();  // returns once the splash, the main form, is closed
    EXPECT_TRUE(buttonShownAtClick);
    EXPECT_TRUE(App()->Terminated());
    EXPECT_FALSE(windows->IMessage->ZelButton1->Visible());
}

// Alt+F4 and Esc on the closing note end the program as its button does,
// instead of hiding the last window and leaving the process running.
TEST_F(Windows, TheClosingNoteEndsTheProgramHoweverItIsClosed) {
    for (const bool altF4 : {true, false}) {
        MakeWindows();
        App()->SetShowMainForm(false);
        windows->IMessage->Show();
        App()->Queue([&] {
            if (altF4)
                SendMessageA(windows->IMessage->Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
            else
                SendMessageA(windows->IMessage->Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
        });
        App()->Run();
        EXPECT_TRUE(App()->Terminated()) << altF4;
        EXPECT_FALSE(windows->IMessage->ZelButton1->Visible()) << altF4;
        if (!altF4)
            break;
        // A fresh application for the second way.
        TearDown();
        SetUp();
    }
}

// The mouse resting on the note's button shows its tooltip, as the note
// shows while the main window waits for it.
TEST_F(Windows, TheClosingNotesButtonShowsItsTooltip) {
    MakeWindows();
    App()->SetHintPause(1);
    windows->IMessage->Show();
    TZelButton* button = windows->IMessage->ZelButton1;
    // Over the panel first, then onto the button, as a real pointer goes.
    SendMessageW(windows->IMessage->ZelPanel1->Handle(), WM_MOUSEMOVE, 0, MousePos(20, 20));
    SendMessageW(button->Handle(), WM_MOUSEMOVE, 0, MousePos(10, 10));
    EXPECT_EQ(App()->HintControl(), button);
    ASSERT_TRUE(PumpUntil(App(), [&] { return App()->HintWindow() && IsWindowVisible(App()->HintWindow()); }));
    EXPECT_EQ(TipText(App()->HintWindow()), L"Close and quit HTML Vexel");
}

// A window freed before the set is forgotten by it, and so is the file list
// the main window lent the runs: a run later reaches neither.
TEST_F(Windows, AFreedWindowIsForgottenWithTheListItLent) {
    MakeProgramWindows();
    EXPECT_EQ(windows->FileSelection, static_cast<TFileSelection*>(form1));
    form1->Free();
    EXPECT_EQ(windows->Form1, nullptr);
    EXPECT_EQ(windows->RunWindows().Selection, nullptr);
    // The dialogs that place themselves by the main window do without it.
    windows->Savefileto->Show();
    EXPECT_EQ(Place(windows->Savefileto), ScreenCentred(windows->Savefileto));
    windows->Conn->Free();
    EXPECT_EQ(windows->RunWindows().Conn, nullptr);
    RestoreSelected(windows->RunWindows());
    EXPECT_TRUE(messages.empty());
}

TEST_F(Windows, EscClosesTheLogTipsAndOptionsAsTheirCancelOrCloseDoes) {
    MakeWindows();
    for (TCustomForm* form : std::initializer_list<TCustomForm*>{windows->Log, windows->Form4, windows->Savefileto}) {
        form->Show();
        ASSERT_TRUE(form->Visible());
        SendMessageA(form->Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
        EXPECT_FALSE(form->Visible()) << form->Caption();
    }
    // Esc in the options dialog is its Cancel: the main window comes back.
    EXPECT_TRUE(main->Visible());
}
