// The options dialog: its fresh start and what a run makes of it, the
// password sync of its two boxes, and changes that outlast Cancel.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/options_dialog.h"
#include "app/window_parts.h"
#include "app/window_set.h"
#include "engine/verify.h"
#include "tests/app/app_test_support.h"

using namespace vexel;
using namespace vexel::testing;

class OptionsDialog : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        MakeWindows();
        dialog = windows->Savefileto;
    }

    // A page in the scratch folder, selected in the main window's list.
    std::string SelectPage(const std::string& Name, const std::string& Source) {
        const std::string path = dir.Path(Name);
        WriteBytes(path, Source);
        selection.Add(path);
        return path;
    }

    TSavefileto* dialog = nullptr;
    ScratchDir dir;
};

TEST_F(OptionsDialog, AFreshStartGivesJavaScriptPagesWithBothCleanUpsAndNoPrompt) {
    const TRunOptions run = dialog->RunOptions();
    EXPECT_EQ(run.Format, PageFormat::JavaScript);
    const JobOptions& job = run.Job;
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

TEST_F(OptionsDialog, UsePasswordGivesTheRunTheClassicPromptAndTheModernPageItsSeal) {
    dialog->Show();
    dialog->ZelCheckbox1->Toggle();  // "Use password" on
    EXPECT_TRUE(dialog->Edit1->Enabled());
    EXPECT_TRUE(dialog->RunOptions().Job.password.Enabled);
    EXPECT_EQ(dialog->RunOptions().Job.password.Text, "4826");

    dialog->ZelCheckbox1->Toggle();  // off again
    EXPECT_FALSE(dialog->Edit1->Enabled());
    EXPECT_FALSE(dialog->RunOptions().Job.password.Enabled);

    // Clearing the password while it is in use gives the job an empty one.
    dialog->ZelCheckbox1->Toggle();
    dialog->Edit1->SetText("");
    EXPECT_TRUE(dialog->RunOptions().Job.password.Enabled);
    EXPECT_EQ(dialog->RunOptions().Job.password.Text, "");

    // A modern page is sealed with the password typed twice, never with the
    // prompt's; the clean-ups come along whatever the format.
    dialog->ModernChoose->SetFocus();
    dialog->ZelCheckbox2->Toggle();
    EXPECT_FALSE(dialog->RunOptions().Job.password.Enabled);
    dialog->ZelCheckbox4->SetChecked(true);
    dialog->SealPassword->SetText("Pässwört");
    dialog->SealAgain->SetText("Pässwört");
    TRunOptions sealed = dialog->RunOptions();
    EXPECT_EQ(sealed.Format, PageFormat::Modern);
    EXPECT_TRUE(sealed.Job.password.Enabled);
    EXPECT_EQ(sealed.Job.password.Text, "Pässwört");
    EXPECT_TRUE(sealed.Job.highspeed);
    dialog->ZelCheckbox4->SetChecked(false);
    dialog->ZelCheckbox2->Toggle();

    // The classic prompt means nothing to a modern page.
    dialog->ModernChoose->SetFocus();
    EXPECT_TRUE(dialog->Modern());
    EXPECT_FALSE(dialog->ZelCheckbox1->Enabled());
    EXPECT_FALSE(dialog->Edit1->Enabled());
    dialog->JavaChoose->SetFocus();
    EXPECT_TRUE(dialog->ZelCheckbox1->Enabled());
    EXPECT_TRUE(dialog->Edit1->Enabled());
}

TEST(SealState, EncryptsOnlyTheModernPageWithAPasswordTypedTwiceOrShown) {
    EXPECT_FALSE(SealStateOf(false, true, "pw", "pw", false).Encrypts);
    EXPECT_FALSE(SealStateOf(true, false, "pw", "pw", false).Encrypts);
    EXPECT_FALSE(SealStateOf(true, true, "", "", false).Encrypts);
    EXPECT_FALSE(SealStateOf(true, true, "pw", "pW", false).Encrypts);
    EXPECT_TRUE(SealStateOf(true, true, "pw", "pW", true).Encrypts);  // shown: typed once
    EXPECT_TRUE(SealStateOf(true, true, "pw", "pw", false).Encrypts);
    // Every case says in words what will happen.
    EXPECT_EQ(SealStateOf(true, true, "", "", false).Note, "No password: the pages will not be encrypted.");
    EXPECT_EQ(SealStateOf(true, true, "a", "b", false).Note,
              "The two passwords differ: the pages will not be encrypted.");
    EXPECT_NE(SealStateOf(true, false, "a", "a", false).Note.find("modern"), std::string::npos);
}

TEST_F(OptionsDialog, EncryptionSealsTheModernPageWithThePasswordAndSaysSoBeforeARunWithout) {
    const std::string source = SamplePage(1);
    const std::string path = SelectPage("secret.htm", source);
    dialog->Show();
    dialog->ModernChoose->SetFocus();
    dialog->ZelCheckbox4->Toggle();
    EXPECT_TRUE(dialog->SealPassword->Enabled());
    EXPECT_NE(dialog->SealNote->Caption().find("No password"), std::string::npos);

    // Ticked without a password: the user is asked first, and "No" runs nothing.
    std::vector<std::string> asked;
    dialog->AskToRun = [&](const std::string& Text) {
        asked.push_back(Text);
        return false;
    };
    dialog->ZelButton2->Click();
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].rfind("No password: the pages will not be encrypted.", 0), 0u) << asked[0];
    EXPECT_EQ(ReadBytes(path), source);
    EXPECT_TRUE(dialog->Visible());

    dialog->SealPassword->SetText("open sesame");
    dialog->SealAgain->SetText("open sesame!");
    EXPECT_TRUE(dialog->Seal().Text().empty());
    EXPECT_NE(dialog->SealNote->Caption().find("differ"), std::string::npos);
    dialog->SealAgain->SetText("open sesame");
    EXPECT_EQ(dialog->Seal().Text(), "open sesame");
    EXPECT_EQ(dialog->SealNote->Caption().rfind("Encrypted", 0), 0u);
    dialog->ZelButton2->Click();
    EXPECT_EQ(asked.size(), 1u);

    const std::string password = "open sesame";
    const std::string wrong = "open";
    EXPECT_EQ(VerifyPage(path, &password).outcome, VerifyOutcome::Match);
    EXPECT_EQ(VerifyPage(path, &password).format, "encrypted modern page");
    EXPECT_EQ(VerifyPage(path, &wrong).outcome, VerifyOutcome::NotChecked);
    EXPECT_EQ(VerifyPage(path, nullptr).outcome, VerifyOutcome::NotChecked);
    EXPECT_EQ(ReadBytes(path).find("<p>"), std::string::npos);  // nothing of the page in clear
    EXPECT_FALSE(dialog->Visible());
}

// The shared decoder file: modern pages only, its root the folder of the
// run, and pages that verify with it.
TEST_F(OptionsDialog, SharedDecoderFileMakesThePagesOfTheFolderOneSite) {
    const std::vector<std::string> pages = {SelectPage("a.htm", SamplePage(1)), SelectPage("b.htm", SamplePage(2))};
    dialog->Show();
    EXPECT_FALSE(dialog->SiteFile->Enabled());
    dialog->ModernChoose->SetFocus();
    ASSERT_TRUE(dialog->SiteFile->Enabled());
    dialog->SiteFile->Toggle();
    // Encrypted pages share no file: the box says so while encryption is ticked.
    dialog->ZelCheckbox4->Toggle();
    EXPECT_FALSE(dialog->SiteFile->Enabled());
    dialog->ZelCheckbox4->Toggle();
    EXPECT_TRUE(dialog->SiteFile->Enabled());
    dialog->ZelButton2->Click();

    std::vector<std::string> shared;
    for (const auto& entry : std::filesystem::directory_iterator(dir.Root()))
        if (entry.path().filename().string().rfind("vexel-site-", 0) == 0)
            shared.push_back(entry.path().filename().string());
    ASSERT_EQ(shared.size(), 1u);
    for (const std::string& page : pages) {
        EXPECT_NE(ReadBytes(page).find("src=\"" + shared[0] + "\""), std::string::npos) << page;
        EXPECT_EQ(VerifyPage(page, nullptr).outcome, VerifyOutcome::Match) << VerifyPage(page, nullptr).detail;
    }
}

TEST_F(OptionsDialog, ChoicesOutlastTheProgramButPasswordsDoNot) {
    dialog->Show();
    dialog->VbChoose->SetFocus();
    dialog->ZelCheckbox3->Toggle();  // "Remove Unuseful Characters" off
    dialog->ZelCheckbox4->Toggle();  // encrypt on
    dialog->SiteFile->Toggle();      // kept, though only modern pages use it
    dialog->SealPassword->SetText("never stored");
    dialog->Hide();

    // The next start reads them back into the dialog and the run it gives.
    auto* next = new TSavefileto(App(), windows->Grounds(), windows->StorePath(), windows->MainWindowLink());
    EXPECT_TRUE(next->VbChoose->Checked());
    EXPECT_FALSE(next->JavaChoose->Checked());
    EXPECT_FALSE(next->ZelCheckbox3->Checked());
    EXPECT_TRUE(next->ZelCheckbox4->Checked());
    EXPECT_TRUE(next->SiteFile->Checked());
    EXPECT_TRUE(next->UChar->Checked());
    EXPECT_EQ(next->SealPassword->Text(), "");
    EXPECT_FALSE(next->RunOptions().Job.RemoveUnuseful);
}

// Every box shows its whole caption in the font it draws with, and no two
// controls of a group cover each other, whatever the system's fonts.
TEST_F(OptionsDialog, EveryCaptionFitsItsControlAndNothingOverlaps) {
    dialog->Show();
    for (TWinControl* group : {static_cast<TWinControl*>(dialog->ZelPanel4), static_cast<TWinControl*>(dialog->ZelPanel5),
                               static_cast<TWinControl*>(dialog->ZelPanel3)}) {
        std::vector<TControl*> shown;
        for (int i = 0; i < group->ControlCount(); ++i)
            if (group->Controls(i)->Visible())
                shown.push_back(group->Controls(i));
        for (TControl* control : shown) {
            EXPECT_LE(control->Left() + control->Width(), group->Width() - 2) << control->Caption();
            EXPECT_LE(control->Top() + control->Height(), group->Height() - 2) << control->Caption();
            if (auto* box = dynamic_cast<TZelCheckbox*>(control)) {
                const TRect room = box->CaptionRect(box->Width(), box->Height());
                EXPECT_GE(room.Right - room.Left, TextSizeIn(box, box->Caption()).cx + box->Font3D()->DrawingWidth())
                    << box->Caption();
            }
            if (auto* radio = dynamic_cast<TZelRadiobutton*>(control)) {
                const TRect room = radio->CaptionRect(radio->Width(), radio->Height());
                EXPECT_GE(room.Right - room.Left,
                          TextSizeIn(radio, radio->Caption()).cx + radio->Font3D()->DrawingWidth())
                    << radio->Caption();
            }
        }
        for (std::size_t i = 0; i < shown.size(); ++i)
            for (std::size_t j = i + 1; j < shown.size(); ++j) {
                const TRect a = shown[i]->BoundsRect();
                const TRect b = shown[j]->BoundsRect();
                const bool apart = a.Right <= b.Left || b.Right <= a.Left || a.Bottom <= b.Top || b.Bottom <= a.Top;
                EXPECT_TRUE(apart) << shown[i]->Caption() << " / " << shown[j]->Caption();
            }
    }
}

TEST_F(OptionsDialog, ChangesMadeBeforeCancelHoldForTheNextRun) {
    dialog->Show();
    dialog->ZelCheckbox3->Toggle();  // "Remove Unuseful Characters" off
    dialog->UChar->Toggle();         // "Remove Extend(>128) Characters" off
    dialog->VbChoose->SetFocus();    // as a click or the arrow keys do: focused and chosen
    EXPECT_TRUE(dialog->VbChoose->Checked());
    EXPECT_FALSE(dialog->JavaChoose->Checked());
    EXPECT_FALSE(dialog->RunOptions().Job.RemoveUnuseful);
    EXPECT_FALSE(dialog->RunOptions().Job.UChar);
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
