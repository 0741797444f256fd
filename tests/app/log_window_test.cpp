// The log window: a copy of the compression window's log taken when it goes
// from hidden to shown, never a link to it.
#include <gtest/gtest.h>

#include "app/conn.h"
#include "app/log_window.h"
#include "tests/app/app_test_support.h"

using namespace vexel;
using namespace vexel::testing;

using LogWindow = AppTest;

TEST_F(LogWindow, CopiesTheLogOnlyWhenItGoesFromHiddenToShown) {
    MakeWindows();
    TConn* conn = windows->Conn;
    TLog* log = windows->Log;
    conn->AddLogLine("Openfile:C:\\a.htm");
    conn->AddLogLine("\tRate=1Byte /2Byte");
    log->Show();
    EXPECT_EQ(log->Memo1->Text(), conn->Memo1->Text());
    EXPECT_EQ(log->Memo1->Lines()->Count(), 2);
    EXPECT_EQ(log->Memo1->Lines()->Strings(1), "\tRate=1Byte /2Byte");

    // A run while the window stays open shows it again: it keeps its copy.
    conn->Memo1->Lines()->Clear();
    conn->AddLogLine("Openfile:C:\\b.htm");
    log->Show();
    EXPECT_EQ(log->Memo1->Lines()->Count(), 2);
    EXPECT_EQ(log->Memo1->Lines()->Strings(0), "Openfile:C:\\a.htm");

    log->ZelButton1->Click();  // "&Canel" hides it
    EXPECT_FALSE(log->Visible());
    log->Show();
    EXPECT_EQ(log->Memo1->Text(), conn->Memo1->Text());
    EXPECT_EQ(log->Memo1->Lines()->Strings(0), "Openfile:C:\\b.htm");
}
