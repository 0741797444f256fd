// The splash: made first, so the application's main form; centred when
// shown; its one tick hands over to the main window and, when wanted, tips.
#include <gtest/gtest.h>

#include "app/about.h"
#include "app/main_window.h"
#include "app/splash.h"
#include "app/tip_window.h"
#include "tests/app/app_test_support.h"
#include "vexel_version.h"

using namespace vexel;
using namespace vexel::testing;

using Splash = AppTest;

TEST_F(Splash, IsTheMainFormCentredWithAThreeSecondTimerFromItsCreation) {
    MakeProgramWindows();
    EXPECT_EQ(App()->MainForm(), toplogo);
    EXPECT_EQ(toplogo->Caption(), "toplogo");
    EXPECT_EQ(toplogo->ClientWidth(), 334);
    EXPECT_EQ(toplogo->ClientHeight(), 175);
    EXPECT_EQ(toplogo->Timer1->Interval(), 3000u);
    EXPECT_EQ(toplogo->Image1->Picture()->Width(), 330);
    EXPECT_EQ(toplogo->Image1->Picture()->Height(), 172);
    // Its window and the main window come before the other five.
    EXPECT_LT(toplogo->ComponentIndex(), form1->ComponentIndex());
    EXPECT_LT(form1->ComponentIndex(), windows->Conn->ComponentIndex());

    toplogo->Show();
    EXPECT_EQ(toplogo->Left(), Screen->Width() / 2 - toplogo->Width() / 2);
    EXPECT_EQ(toplogo->Top(), Screen->Height() / 2 - toplogo->Height() / 2);
}

TEST_F(Splash, TheTickShowsTheMainWindowHidesTheSplashAndShowsTipsOnlyWhenWanted) {
    Store("Tips", "0");
    MakeProgramWindows();
    toplogo->Show();
    toplogo->Timer1->SetEnabled(true);
    toplogo->Timer1Timer(toplogo->Timer1);
    EXPECT_TRUE(form1->Visible());
    EXPECT_FALSE(toplogo->Visible());
    EXPECT_FALSE(toplogo->Timer1->Enabled());
    EXPECT_FALSE(windows->Form4->Visible());

    // Ticked again: the next start's tick shows them.
    windows->Form4->Tipsshow->Toggle();
    toplogo->Timer1Timer(toplogo->Timer1);
    EXPECT_TRUE(windows->Form4->Visible());
}

TEST_F(Splash, SplashTipsMainWindowAndAboutShowTheOneVersionOfTheProject) {
    MakeProgramWindows();
    const std::string version = std::to_string(VEXEL_VERSION_MAJOR) + "." + std::to_string(VEXEL_VERSION_MINOR);
    EXPECT_EQ(ShortVersion(), version);
    EXPECT_EQ(toplogo->VersionLabel->Caption(), "Version " + version);
    EXPECT_EQ(form1->Caption(), "Html Vexel Pro v" + version);
    EXPECT_EQ(form1->ZelLabel6->Caption(), version);
    EXPECT_EQ(windows->Form4->ZelLabel1->Caption(), "HTML Vexel Pro v" + version);
    EXPECT_EQ(AboutText().rfind(std::string(kProductName) + " " + VEXEL_VERSION + "\r\n", 0), 0u) << AboutText();

    // The version sits on the picture's band, right of its text and inside
    // the splash.
    const TRect label = toplogo->VersionLabel->BoundsRect();
    EXPECT_LE(label.Right, toplogo->ZelPanel1->ClientWidth() - 4);
    EXPECT_GE(label.Left, 200);
    EXPECT_GE(label.Top, 172 - 34 + 2);
    EXPECT_LE(label.Bottom, 172);
}
