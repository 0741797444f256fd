// Caption buttons on real windows: their places from the window's styles and
// the system metrics, their width rules, the font size they keep, pressing,
// tracking and releasing with the mouse, the drop-down menu, and how a
// disabled button is drawn.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "framework/core/sysutils.h"
#include "framework/win32/gdi.h"
#include "framework/win32/menus.h"
#include "system/caption_buttons.h"
#include "system/form_manager.h"
#include "tests/system/form_test_support.h"

using namespace vexel;
using vexel::testing::FormManagerTest;
using vexel::testing::PumpUntil;
using vexel::testing::TWatchHook;

namespace {

int M(int index) {
    return GetSystemMetrics(index);
}

int OuterWidth(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return r.right - r.left;
}

// A menu that notes where and when it would open, instead of opening.
class TNotedMenu : public TPopupMenu {
public:
    using TPopupMenu::TPopupMenu;
    std::vector<POINT> Opened;
    std::vector<std::string>* Log = nullptr;

    void Popup(int X, int Y) override {
        Opened.push_back({X, Y});
        if (Log)
            Log->push_back("menu");
    }

protected:
    ~TNotedMenu() override = default;
};

}  // namespace

class CaptionButtonsTest : public FormManagerTest {
protected:
    void SetUp() override {
        FormManagerTest::SetUp();
        manager_ = new TZelFormManager(form_);
        window_ = form_->Handle();
    }

    // A mouse message's lParam for a point given in window coordinates:
    // screen coordinates for the frame's messages, client ones for the rest.
    LPARAM At(UINT msg, int x, int y) const {
        RECT outer{};
        GetWindowRect(window_, &outer);
        POINT p{outer.left + x, outer.top + y};
        if (msg == WM_LBUTTONUP || msg == WM_LBUTTONDBLCLK)
            ScreenToClient(window_, &p);
        return MAKELPARAM(static_cast<WORD>(p.x), static_cast<WORD>(p.y));
    }
    LRESULT Mouse(UINT msg, int x, int y) {
        return SendMessageA(window_, msg, msg == WM_NCLBUTTONDOWN ? HTCAPTION : 0, At(msg, x, y));
    }
    static TPoint Middle(const TZelCButton* button) {
        TRect r = button->BoundsRect();
        return {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
    }

    TZelFormManager* manager_ = nullptr;
    HWND window_ = nullptr;
};

TEST_F(CaptionButtonsTest, ButtonsArePlacedFromTheStylesAndTheSystemMetrics) {
    TZelCButtons* buttons = manager_->Buttons();
    TZelCButton* first = buttons->Add();
    TZelCButton* second = buttons->Add();
    second->SetWidth(7);

    // A fixed dialog frame with the system menu and both boxes: laid out by
    // the frame refresh each change asks for, without a call of ours.
    manager_->SetProperties({wsBorder, wsDlgFrame, wsSysMenu, wsMinimizeBox, wsMaximizeBox});
    int W = OuterWidth(window_);
    int R = W - M(SM_CXDLGFRAME) - 3 * M(SM_CXSIZE) + 2;
    int top = M(SM_CYDLGFRAME) + 2;
    EXPECT_EQ(first->BoundsRect(), (TRect{R - M(SM_CXSIZE) - 1, top, R - 3, M(SM_CYCAPTION) + top - 4}));
    EXPECT_EQ(second->BoundsRect().Right, first->BoundsRect().Left - 1);
    EXPECT_EQ(second->BoundsRect().Left, first->BoundsRect().Left - M(SM_CXSIZE) - 1 - 7);
    EXPECT_EQ(second->BoundsRect().Top, top);

    // A thick frame, a close box and context help only.
    manager_->SetProperties({wsBorder, wsDlgFrame, wsSysMenu, wsThickframe, wsexContextHelp});
    W = OuterWidth(window_);
    R = W - M(SM_CXFRAME) - M(SM_CXSIZE) - (M(SM_CXSIZE) - 2);
    top = M(SM_CYFRAME) + 2;
    EXPECT_EQ(first->BoundsRect(), (TRect{R - M(SM_CXSIZE) - 1, top, R - 3, M(SM_CYCAPTION) + top - 4}));

    // A static edge moves everything one pixel right and up, unless the
    // window also has a modal dialog frame.
    manager_->SetProperties({wsBorder, wsDlgFrame, wsexStaticEdge});
    W = OuterWidth(window_);
    R = W - M(SM_CXDLGFRAME) + 1;
    top = M(SM_CYDLGFRAME) + 1;
    EXPECT_EQ(first->BoundsRect(), (TRect{R - M(SM_CXSIZE) - 1, top, R - 3, M(SM_CYCAPTION) + top - 4}));
    manager_->SetProperties({wsBorder, wsDlgFrame, wsexStaticEdge, wsexDlgModalFrame});
    EXPECT_EQ(first->BoundsRect().Top, M(SM_CYDLGFRAME) + 2);

    // A tool window has small system buttons; the next button still keeps
    // the full system button width.
    manager_->SetProperties({wsBorder, wsDlgFrame, wsThickframe, wsSysMenu, wsexToolwindow});
    W = OuterWidth(window_);
    R = W - (M(SM_CXFRAME) + 2) - (M(SM_CXSMSIZE) + 2);
    top = M(SM_CYFRAME) + 2;
    EXPECT_EQ(first->BoundsRect(), (TRect{R - M(SM_CXSMSIZE) - 1, top, R - 3, M(SM_CYSMSIZE) + top - 4}));
    EXPECT_EQ(second->BoundsRect().Left, first->BoundsRect().Left - M(SM_CXSIZE) - 1 - 7);

    // Resizing the form moves the buttons with its right edge.
    const int before = first->BoundsRect().Left;
    form_->SetWidth(form_->Width() + 50);
    EXPECT_EQ(first->BoundsRect().Left, before + 50);
}

TEST_F(CaptionButtonsTest, WidthCaptionVisibilityAndFontFollowTheirRules) {
    manager_->SetProperties({wsBorder, wsDlgFrame, wsSysMenu});
    TZelCButton* first = manager_->Buttons()->Add();
    TZelCButton* second = manager_->Buttons()->Add();
    const TRect secondAt = second->BoundsRect();

    // A negative width keeps the one before.
    first->SetWidth(12);
    first->SetWidth(-5);
    EXPECT_EQ(first->Width(), 12);
    EXPECT_EQ(second->BoundsRect().Right, secondAt.Right - 12);
    first->SetWidth(0);

    // A caption sets the width to its text in the form's font, ampersand and all.
    form_->Font()->SetSize(14);
    first->SetCaption("&Help");
    SIZE extent{};
    {
        ScopedGetDC screen(nullptr);
        ScopedSelect font(screen.Get(), form_->Font()->Handle());
        GetTextExtentPoint32A(screen.Get(), "&Help", 5, &extent);
    }
    EXPECT_GT(extent.cx, 20);
    EXPECT_EQ(first->Width(), extent.cx + 2);
    EXPECT_EQ(first->BoundsRect().Right - first->BoundsRect().Left, M(SM_CXSIZE) + 1 - 3 + extent.cx + 2);
    EXPECT_EQ(second->BoundsRect().Right, first->BoundsRect().Left - 1);

    // A hidden button keeps its place and is never hit.
    const TRect firstAt = first->BoundsRect(), secondNow = second->BoundsRect();
    first->SetVisible(false);
    EXPECT_EQ(first->BoundsRect(), firstAt);
    EXPECT_EQ(second->BoundsRect(), secondNow);
    TMessage press{WM_NCLBUTTONDOWN, HTCAPTION, At(WM_NCLBUTTONDOWN, Middle(first).X, Middle(first).Y), 0};
    EXPECT_FALSE(first->HitTest(press));
    first->SetVisible(true);
    EXPECT_TRUE(first->HitTest(press));
    // Left and top edges belong to the button, right and bottom ones do not.
    TMessage edge{WM_NCLBUTTONDOWN, 0, At(WM_NCLBUTTONDOWN, firstAt.Left, firstAt.Top), 0};
    EXPECT_TRUE(first->HitTest(edge));
    edge.LParam = At(WM_NCLBUTTONDOWN, firstAt.Right, firstAt.Top);
    EXPECT_FALSE(first->HitTest(edge));
    edge.LParam = At(WM_NCLBUTTONDOWN, firstAt.Left, firstAt.Bottom);
    EXPECT_FALSE(first->HitTest(edge));

    // The font keeps half the system button width, whatever is asked of it.
    const int size = Round(M(SM_CXSIZE) / 2.0);
    EXPECT_EQ(first->Font()->Size(), size);
    first->Font()->SetSize(30);
    EXPECT_EQ(first->Font()->Size(), size);
    first->Font()->SetName("Arial");
    EXPECT_EQ(first->Font()->Size(), size);

    // A copy takes the looks and the event, and is placed at once.
    int clicks = 0;
    first->SetColor(clYellow);
    first->SetEnabled(false);
    first->Font()->SetColor(clBlue);
    first->OnClick = [&clicks](TObject*) { ++clicks; };
    TZelCButton* third = manager_->Buttons()->Add();
    third->Assign(first);
    EXPECT_EQ(third->Caption(), "&Help");
    EXPECT_EQ(third->Width(), first->Width());
    EXPECT_EQ(third->Color(), clYellow);
    EXPECT_FALSE(third->Enabled());
    EXPECT_EQ(third->Font()->Color(), clBlue);
    EXPECT_EQ(third->Font()->Name(), "Arial");
    EXPECT_EQ(third->Font()->Size(), size);
    EXPECT_EQ(third->BoundsRect().Right, second->BoundsRect().Left - 1);
    third->SetEnabled(true);
    third->Click();
    EXPECT_EQ(clicks, 1);
}

TEST_F(CaptionButtonsTest, AClickNeedsThePressAndTheReleaseOnTheButton) {
    manager_->SetProperties({wsBorder, wsDlgFrame, wsSysMenu});
    std::vector<std::string> log;
    TZelCButton* button = manager_->Buttons()->Add();
    button->SetWidth(20);
    button->OnClick = [&](TObject* sender) {
        EXPECT_EQ(sender, button);
        log.push_back("click");
    };
    TWatchHook watch;
    form_->AddMessageHook(&watch);
    const TPoint on = Middle(button);
    const TPoint off{button->BoundsRect().Left - 30, on.Y};

    // Pressed, moved off and released there: nothing.
    Mouse(WM_NCLBUTTONDOWN, on.X, on.Y);
    EXPECT_TRUE(button->Down());
    EXPECT_TRUE(button->Tracking());
    EXPECT_EQ(GetCapture(), window_);
    EXPECT_EQ(watch.LastHandled(WM_NCLBUTTONDOWN), 1) << "a press on a button is not the caption's";
    EXPECT_EQ(Mouse(WM_NCMOUSEMOVE, off.X, off.Y), 1);
    EXPECT_FALSE(button->Down());
    EXPECT_TRUE(button->Tracking());
    Mouse(WM_NCMOUSEMOVE, on.X, on.Y);
    EXPECT_TRUE(button->Down());
    Mouse(WM_NCMOUSEMOVE, off.X, off.Y);
    Mouse(WM_LBUTTONUP, off.X, off.Y);
    EXPECT_TRUE(log.empty());
    EXPECT_FALSE(button->Tracking());
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(form_->OwnCount(WM_LBUTTONUP), 1) << "the release goes on to the form, once";

    // Pressed and released on it: one click.
    Mouse(WM_NCLBUTTONDOWN, on.X, on.Y);
    Mouse(WM_LBUTTONUP, on.X, on.Y);
    EXPECT_EQ(log, std::vector<std::string>{"click"});
    EXPECT_FALSE(button->Down());
    // A release without a press, or a move without one, is not ours.
    Mouse(WM_LBUTTONUP, on.X, on.Y);
    EXPECT_EQ(log.size(), 1u);
    Mouse(WM_NCMOUSEMOVE, on.X, on.Y);
    EXPECT_EQ(watch.LastHandled(WM_NCMOUSEMOVE), 0);
    // Away from every button a press is the caption's as usual.
    Mouse(WM_NCLBUTTONDOWN, off.X, off.Y);
    EXPECT_EQ(watch.LastHandled(WM_NCLBUTTONDOWN), 0);

    // A disabled button swallows the press but is never down nor clicked.
    button->SetEnabled(false);
    Mouse(WM_NCLBUTTONDOWN, on.X, on.Y);
    EXPECT_EQ(watch.LastHandled(WM_NCLBUTTONDOWN), 1);
    EXPECT_FALSE(button->Down());
    Mouse(WM_LBUTTONUP, on.X, on.Y);
    EXPECT_EQ(log.size(), 1u);
    EXPECT_EQ(GetCapture(), nullptr);

    // The menu opens below the button's left edge, and the click follows it.
    button->SetEnabled(true);
    auto* menu = new TNotedMenu(form_);
    menu->Log = &log;
    button->SetDropDownmenu(menu);
    log.clear();
    Mouse(WM_NCLBUTTONDOWN, on.X, on.Y);
    Mouse(WM_LBUTTONUP, on.X, on.Y);
    EXPECT_EQ(log, (std::vector<std::string>{"menu", "click"}));
    RECT outer{};
    GetWindowRect(window_, &outer);
    ASSERT_EQ(menu->Opened.size(), 1u);
    EXPECT_EQ(menu->Opened[0].x, outer.left + button->BoundsRect().Left);
    EXPECT_EQ(menu->Opened[0].y, outer.top + button->BoundsRect().Bottom);
    // A menu that goes is forgotten.
    menu->Free();
    EXPECT_EQ(button->DropDownmenu(), nullptr);

    // A click that throws is reported; the press still ends with the capture.
    button->OnClick = [](TObject*) { throw EConvertError("no help"); };
    Mouse(WM_NCLBUTTONDOWN, on.X, on.Y);
    Mouse(WM_LBUTTONUP, on.X, on.Y);
    EXPECT_EQ(Errors, std::vector<std::string>{"no help"});
    EXPECT_FALSE(button->Tracking());
    EXPECT_EQ(GetCapture(), nullptr);
    form_->RemoveMessageHook(&watch);
}

TEST_F(CaptionButtonsTest, ADisabledButtonShowsItsCaptionEmbossed) {
    manager_->SetProperties({wsBorder, wsDlgFrame, wsSysMenu});
    TZelCButton* enabled = manager_->Buttons()->Add();
    TZelCButton* disabled = manager_->Buttons()->Add();
    for (TZelCButton* button : {enabled, disabled}) {
        button->SetCaption("&Help");
        button->SetColor(clYellow);
        button->Font()->SetColor(clBlue);
        button->Font()->SetStyle(fsBold);
        button->Font()->SetQuality(fqNonAntialiased);
    }
    disabled->SetEnabled(false);
    form_->Show();
    ASSERT_TRUE(PumpUntil(App(), [&] { return IsWindowVisible(window_) != FALSE; }));
    App()->ProcessMessages();
    SendMessageA(window_, WM_NCPAINT, 1, 0);

    // The pixels inside each face, off its 2-pixel edge.
    struct TFace {
        int Blue = 0, White = 0, Grey = 0, GreyOverWhite = 0, Yellow = 0;
    };
    ScopedWindowDC dc(window_);
    ASSERT_NE(GetPixel(dc.Get(), 1, 1), CLR_INVALID)
        << "the frame cannot be read: Wine leaves it to the window manager unless its X11 driver "
           "value Decorated is N, as scripts/wine-ctest.sh sets it";
    auto read = [&](const TZelCButton* button) {
        TFace face;
        TRect r = button->BoundsRect();
        for (int y = r.Top + 2; y < r.Bottom - 2; ++y) {
            for (int x = r.Left + 2; x < r.Right - 2; ++x) {
                const COLORREF c = GetPixel(dc.Get(), x, y);
                face.Blue += c == RGB(0, 0, 255);
                face.White += c == RGB(255, 255, 255);
                face.Yellow += c == RGB(255, 255, 0);
                if (c == RGB(128, 128, 128)) {
                    ++face.Grey;
                    face.GreyOverWhite += GetPixel(dc.Get(), x + 1, y + 1) == RGB(255, 255, 255);
                }
            }
        }
        return face;
    };
    const TFace on = read(enabled), off = read(disabled);
    EXPECT_GT(on.Yellow, 50);
    EXPECT_GT(on.Blue, 10);
    EXPECT_EQ(on.Grey, 0);
    EXPECT_GT(off.Yellow, 50);
    EXPECT_EQ(off.Blue, 0);
    EXPECT_GT(off.Grey, 10);
    EXPECT_GT(off.White, 5);
    // The white copy lies one pixel down and right of the grey one.
    EXPECT_GT(off.GreyOverWhite, 3);

    // Without a dialog frame there is no caption, and no button is drawn in it.
    manager_->SetProperties({wsBorder, wsSysMenu});
    SendMessageA(window_, WM_NCPAINT, 1, 0);
    EXPECT_EQ(read(enabled).Yellow, 0);
}
