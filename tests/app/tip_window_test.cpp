// The tip window against a registry key of the test's own: the cycle of tips
// from a fresh store, stored numbers out of range and not numbers at all,
// and the "Show Tips at Startup" box.
#include <gtest/gtest.h>

#include <string>

#include "app/about.h"
#include "app/tip_window.h"
#include "tests/app/app_test_support.h"

using namespace vexel;
using namespace vexel::testing;

class TipWindow : public AppTest {
protected:
    TForm4* Tips() { return windows->Form4; }

    // The tip the labels show: 1 to 6, or 0 for the design lines.
    int ShownTip() {
        TForm4* tips = Tips();
        auto shows = [&](const char* const* Lines) {
            return tips->Label1->Caption() == Lines[0] && tips->Label2->Caption() == Lines[1] &&
                   tips->Label3->Caption() == Lines[2];
        };
        for (int n = 1; n <= kTipCount; ++n)
            if (shows(kTips[n - 1]))
                return n;
        return shows(kDesignTip) ? 0 : -1;
    }
};

TEST_F(TipWindow, AFreshStoreShowsTipThreeAndNextGoesRoundFromSixToOne) {
    MakeWindows();
    EXPECT_EQ(ShownTip(), 0);
    EXPECT_EQ(Stored("tipid"), "<missing>");
    Tips()->Show();
    EXPECT_EQ(ShownTip(), 3);
    EXPECT_EQ(Stored("tipid"), "4");
    EXPECT_EQ(Tips()->Label3->Caption(), "");

    Tips()->ZelOfficeButton2->Click();
    EXPECT_EQ(ShownTip(), 4);
    Tips()->ZelOfficeButton2->Click();
    EXPECT_EQ(ShownTip(), 5);
    EXPECT_EQ(Stored("tipid"), "6");
    Tips()->ZelOfficeButton2->Click();
    EXPECT_EQ(ShownTip(), 6);
    EXPECT_EQ(Stored("tipid"), "1");
    Tips()->ZelOfficeButton2->Click();
    EXPECT_EQ(ShownTip(), 1);
    EXPECT_NE(Tips()->Label2->Caption().find(kHomePage), std::string::npos);
    EXPECT_EQ(Stored("tipid"), "2");

    // "Close" only hides; the next showing goes on with the stored number.
    Tips()->ZelOfficeButton1->Click();
    EXPECT_FALSE(Tips()->Visible());
    Tips()->Show();
    EXPECT_EQ(ShownTip(), 2);
    EXPECT_EQ(Stored("tipid"), "3");
    EXPECT_TRUE(Errors.empty());
}

TEST_F(TipWindow, AStoredNumberThatIsNoNumberStartsTheCycleAgainInsteadOfFailingForEver) {
    Store("tipid", "4x");
    MakeWindows();
    EXPECT_EQ(Tips()->tipid->Text(), "4x");
    Tips()->Show();
    EXPECT_TRUE(Errors.empty());
    EXPECT_EQ(ShownTip(), 0);  // the labels stay as they were
    EXPECT_EQ(Stored("tipid"), "1");
    Tips()->ZelOfficeButton2->Click();
    EXPECT_EQ(ShownTip(), 1);
    EXPECT_EQ(Stored("tipid"), "2");

    // Every other text that is no decimal number in 32 bits does the same.
    for (const char* text : {"", " 5", "5 ", "0x3", "+", "-", "3.0", "99999999999", "\xB3"}) {
        Tips()->tipid->SetText(text);
        Tips()->NextTip();
        EXPECT_EQ(ShownTip(), 1) << "after \"" << text << "\"";
        EXPECT_EQ(Stored("tipid"), "1") << "after \"" << text << "\"";
    }
    EXPECT_TRUE(Errors.empty());
}

TEST_F(TipWindow, NumbersOutOfRangeLeaveTheLabelsAndCountOnTowardsTipOne) {
    MakeWindows();
    const struct {
        const char* stored;
        const char* next;
    } cases[] = {{"0", "1"}, {"7", "1"}, {"2147483647", "1"}, {"-3", "-2"}, {"-2147483648", "-2147483647"},
                 {"+4", "5"}};
    for (const auto& c : cases) {
        Tips()->tipid->SetText(c.stored);
        Tips()->NextTip();
        EXPECT_EQ(Stored("tipid"), c.next) << "from " << c.stored;
    }
    EXPECT_EQ(ShownTip(), 4);  // "+4" is a number: tip 4
}

TEST_F(TipWindow, TheShowTipsBoxIsStoredAtOnceAndLoadedAtCreation) {
    Store("Tips", "0");
    MakeWindows();
    EXPECT_FALSE(Tips()->Tipsshow->Checked());
    Tips()->Tipsshow->Toggle();
    EXPECT_EQ(Stored("Tips"), "1");
    Tips()->Tipsshow->Toggle();
    EXPECT_EQ(Stored("Tips"), "0");
}
