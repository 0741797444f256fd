// The options dialog: its fresh start and what a run makes of it, the
// password sync of its two boxes, and changes that outlast Cancel.
#include <gtest/gtest.h>

#include "app/conn.h"
#include "app/options_dialog.h"
#include "app/window_set.h"
#include "tests/app/app_test_support.h"

using namespace vexel;
using namespace vexel::testing;

class OptionsDialog : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        MakeWindows();
        dialog = windows->Savefileto;
        conn = windows->Conn;
    }

    // A page in the scratch folder, selected in the main window's list.
    std::string SelectPage(const std::string& Name, const std::string& Source) {
        const std::string path = dir.Path(Name);
        WriteBytes(path, Source);
        selection.Add(path);
        return path;
    }

    TSavefileto* dialog = nullptr;
    TConn* conn = nullptr;
    ScratchDir dir;
};

TEST_F(OptionsDialog, AFreshStartGivesJavaScriptPagesWithBothCleanUpsAndNoPrompt) {
    const JobOptions job = conn->OptionsFromFields();
    EXPECT_FALSE(job.password.Enabled);
    EXPECT_EQ(job.password.Text, "");
    EXPECT_TRUE(job.RemoveUnuseful);
    EXPECT_TRUE(job.UChar);
    EXPECT_FALSE(job.highspeed);
    EXPECT_FALSE(dialog->Edit1->Enabled());
    EXPECT_EQ(dialog->Edit1->Text(), "4826");

    const std::string source = SamplePage(1);
    const std::string path = SelectPage("index.htm", source);
    dialog->Show();
    dialog->ZelButton2->Click();  // OK

    JobOptions defaults;
    const std::string expected = EnginePage(source, defaults, true);
    EXPECT_EQ(ReadBytes(path), expected);
    // The page is one where each of these options would have shown.
    JobOptions keepWhitespace, keepHighBytes, prompt;
    keepWhitespace.RemoveUnuseful = false;
    keepHighBytes.UChar = false;
    prompt.password = {true, "4826"};
    EXPECT_NE(EnginePage(source, keepWhitespace, true), expected);
    EXPECT_NE(EnginePage(source, keepHighBytes, true), expected);
    EXPECT_NE(EnginePage(source, prompt, true), expected);
    EXPECT_NE(EnginePage(source, defaults, false), expected);
    EXPECT_FALSE(dialog->Visible());
    EXPECT_TRUE(main->Visible());
}

TEST_F(OptionsDialog, UsePasswordAndTheEncryptBoxSyncThePasswordFromUsePasswordOnly) {
    dialog->ZelCheckbox1->Toggle();  // "Use password" on
    EXPECT_TRUE(dialog->Edit1->Enabled());
    EXPECT_TRUE(conn->password->Enabled());
    EXPECT_EQ(conn->password->Text(), "4826");

    dialog->ZelCheckbox1->Toggle();  // off again: the copied text stays
    EXPECT_FALSE(dialog->Edit1->Enabled());
    EXPECT_FALSE(conn->password->Enabled());
    EXPECT_EQ(conn->password->Text(), "4826");

    // "Use 3DES encrypt HTML page" toggles its own mark and re-applies
    // "Use password", whatever its own state.
    dialog->Edit1->SetText("s3cret");
    dialog->ZelCheckbox4->Toggle();
    EXPECT_FALSE(dialog->ZelCheckbox4->Checked());
    EXPECT_FALSE(dialog->Edit1->Enabled());
    EXPECT_FALSE(conn->password->Enabled());
    EXPECT_EQ(conn->password->Text(), "s3cret");
    dialog->ZelCheckbox1->Toggle();
    dialog->ZelCheckbox4->Toggle();
    EXPECT_TRUE(dialog->ZelCheckbox4->Checked());
    EXPECT_TRUE(dialog->Edit1->Enabled());
    EXPECT_TRUE(conn->password->Enabled());

    // Clearing the password while it is in use gives the job an empty one.
    dialog->Edit1->SetText("");
    const JobOptions job = conn->OptionsFromFields();
    EXPECT_TRUE(job.password.Enabled);
    EXPECT_EQ(job.password.Text, "");
}

TEST_F(OptionsDialog, ChangesMadeBeforeCancelHoldForTheNextRun) {
    dialog->Show();
    dialog->ZelCheckbox3->Toggle();  // "Remove Unuseful Characters" off
    dialog->UChar->Toggle();         // "Remove Extend(>128) Characters" off
    dialog->VbChoose->SetFocus();    // as a click or the arrow keys do: focused and chosen
    EXPECT_TRUE(dialog->VbChoose->Checked());
    EXPECT_FALSE(dialog->JavaChoose->Checked());
    EXPECT_FALSE(conn->RemoveUnuseful->Checked());
    EXPECT_FALSE(conn->UChar->Checked());
    dialog->ZelButton1->Click();  // Cancel
    EXPECT_FALSE(dialog->Visible());
    EXPECT_TRUE(main->Visible());

    const std::string source = SamplePage(2);
    const std::string path = SelectPage("page.html", source);
    dialog->Show();
    dialog->ZelButton2->Click();
    JobOptions kept;
    kept.RemoveUnuseful = false;
    kept.UChar = false;
    EXPECT_EQ(ReadBytes(path), EnginePage(source, kept, false));
}
