// The windowless buttons: the border rings and the menu arrow pixel by
// pixel, the tool button's glyph and caption places and its states, the
// mouse driving each button through its parent window, latching groups, the
// drop-down menu, accelerators, the office button's face and lamp, the round
// button's circle, and GDI objects over many paints.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "framework/core/sysutils.h"
#include "framework/win32/forms.h"
#include "framework/win32/menus.h"
#include "framework/win32/panels.h"
#include "tests/framework/menu_watcher.h"
#include "tests/widgets/widget_pixels.h"
#include "widgets/background.h"
#include "widgets/buttons.h"

using namespace vexel;
using vexel::testing::CloseMenu;
using vexel::testing::CountColor;
using vexel::testing::Fill;
using vexel::testing::FrameworkTest;
using vexel::testing::kInk;
using vexel::testing::MousePos;
using vexel::testing::SharpFont;
using vexel::testing::TMenuWatcher;

namespace {

constexpr TColor kButtonGround = 0x40C040;  // green: no button draws it
constexpr TColor kGlyph = clBlue;

// A tool button whose hover and press flags a test can set, to paint them
// without a mouse.
class TStateButton : public TZelIEButton {
public:
    using TZelIEButton::TZelIEButton;
    void Force(bool hot, bool pressed) {
        SetHot(hot);
        SetPressed(pressed);
    }

protected:
    ~TStateButton() override = default;
};

// The control painted over a ground of kButtonGround.
void Render(TControl* control, TBitmap& image) {
    image.SetSize(0, 0);
    image.SetSize(control->Width(), control->Height());
    Fill(image, kButtonGround);
    control->PaintTo(image.Canvas()->Handle(), 0, 0);
}

// The smallest rectangle holding every pixel of the colour (empty if none).
TRect Extent(TBitmap& image, TColor color, TRect area = {}) {
    if (area.IsEmpty())
        area = {0, 0, image.Width(), image.Height()};
    TRect box{area.Right, area.Bottom, area.Left, area.Top};
    for (int y = area.Top; y < area.Bottom; ++y)
        for (int x = area.Left; x < area.Right; ++x)
            if (image.PixelColor(x, y) == color) {
                box.Left = std::min(box.Left, x);
                box.Top = std::min(box.Top, y);
                box.Right = std::max(box.Right, x + 1);
                box.Bottom = std::max(box.Bottom, y + 1);
            }
    return box.IsEmpty() ? TRect{} : box;
}

// Where the button's caption format puts the text in Rect.
TRect CaptionExtent(TZelIEButton* button, const TRect& rect, int width, int height) {
    TBitmap image(width, height);
    Fill(image, kButtonGround);
    DrawText3D(button->Font3D(), button->Font(), image.Canvas()->Handle(), true,
               DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS, button->Caption(), rect);
    return Extent(image, kInk);
}

// Pixel by pixel: kButtonGround with DrawButtonBorder's rings on it.
::testing::AssertionResult ShowsBorder(TBitmap& image, bool sunk, int rings) {
    TBitmap expected(image.Width(), image.Height());
    Fill(expected, kButtonGround);
    if (rings > 0)
        DrawButtonBorder(expected.Canvas(), image.Width(), image.Height(), sunk, rings);
    for (int y = 0; y < image.Height(); ++y)
        for (int x = 0; x < image.Width(); ++x)
            if (image.PixelColor(x, y) != expected.PixelColor(x, y))
                return ::testing::AssertionFailure()
                       << "(" << x << "," << y << ") is " << ColorToString(image.PixelColor(x, y)) << " not "
                       << ColorToString(expected.PixelColor(x, y));
    return ::testing::AssertionSuccess();
}

void SolidGlyph(TZelGlyph* glyph, int width, int height) {
    TBitmap picture(width, height);
    Fill(picture, kGlyph);
    glyph->SetBitmap(&picture);
    glyph->SetTransparentColor(clFuchsia);
}

struct ButtonForm {
    TForm* form;
    explicit ButtonForm(TComponent* owner) : form(new TForm(owner)) {
        form->SetBorderStyle(bsNone);
        form->SetBounds(20, 20, 260, 160);
        form->SetColor(clWhite);
    }
    TForm* operator->() { return form; }
    HWND Window() { return form->Handle(); }
    void Send(UINT msg, WPARAM keys, int x, int y) { SendMessageA(Window(), msg, keys, MousePos(x, y)); }
};

template <class T>
T* NewButton(TWinControl* parent, int left, int top, int width, int height) {
    auto* button = new T(parent);
    button->SetParent(parent);
    button->SetBounds(left, top, width, height);
    SharpFont(*button->Font(), kInk);
    return button;
}

}  // namespace

class ButtonDrawing : public FrameworkTest {};

TEST_F(ButtonDrawing, BorderRingsAndTheirRectangles) {
    // Ring rectangles by count, outermost first, with (top-left, bottom-right)
    // colours when raised.
    struct TRing {
        TRect rect;
        TColor light, dark;
    };
    const int w = 20, h = 12;
    const TRing a3{{0, 0, w, h}, clSilver, clBlack}, b3{{1, 1, w - 1, h - 1}, clWhite, clGray},
        c3{{2, 2, w - 2, h - 2}, clBtnHighlight, clBtnShadow};
    const TRing a2{{0, 0, w - 1, h - 1}, clSilver, clBlack},
        c2{{1, 1, w - 2, h - 2}, clBtnHighlight, clBtnShadow};
    const TRing c1{{0, 0, w - 1, h - 1}, clBtnHighlight, clBtnShadow};
    const std::vector<TRing> byCount[] = {{}, {c1}, {a2, c2}, {a3, b3, c3}};
    for (int rings = 1; rings <= 3; ++rings) {
        for (bool sunk : {false, true}) {
            TBitmap image(w, h);
            Fill(image, kButtonGround);
            DrawButtonBorder(image.Canvas(), w, h, sunk, rings);
            for (int y = 0; y < h; ++y) {
                for (int x = 0; x < w; ++x) {
                    TColor expected = kButtonGround;
                    for (const TRing& ring : byCount[rings]) {
                        int l = ring.rect.Left, t = ring.rect.Top, r = ring.rect.Right - 1,
                            b = ring.rect.Bottom - 1;
                        bool onRing = (x == l || x == r) ? (y >= t && y <= b)
                                                         : ((y == t || y == b) && x >= l && x <= r);
                        if (!onRing)
                            continue;
                        // The bottom-right colour takes the right and bottom
                        // edges with the top-right and bottom-left corners.
                        bool bottomRight = x == r || y == b;
                        TColor light = sunk ? ring.dark : ring.light, dark = sunk ? ring.light : ring.dark;
                        expected = ColorToRGB(bottomRight ? dark : light);
                    }
                    ASSERT_EQ(image.PixelColor(x, y), expected)
                        << rings << " rings, sunk " << sunk << ", at (" << x << "," << y << ")";
                }
            }
        }
    }
}

TEST_F(ButtonDrawing, TheMenuArrowIsSixteenPixelsInTheFontColour) {
    TBitmap image(16, 12);
    Fill(image, clWhite);
    image.Canvas()->Font()->SetColor(clMaroon);
    DrawMenuArrow(image.Canvas(), 4, 5);
    const std::vector<TPoint> expected = {{4, 4}, {5, 4}, {6, 4}, {7, 4}, {8, 4}, {9, 4}, {10, 4}, {5, 5},
                                          {6, 5}, {7, 5}, {8, 5}, {9, 5}, {6, 6}, {7, 6}, {8, 6},  {7, 7}};
    for (const TPoint& p : expected)
        EXPECT_EQ(image.PixelColor(p.X, p.Y), clMaroon) << p.X << "," << p.Y;
    EXPECT_EQ(CountColor(image, clMaroon), 16);
}

class IEButton : public FrameworkTest {};

TEST_F(IEButton, Defaults) {
    ScopedFree<TZelIEButton> button(new TZelIEButton(nullptr));
    EXPECT_EQ(button->Width(), 80);
    EXPECT_EQ(button->Height(), 21);
    EXPECT_EQ(button->Layout(), pTop);
    EXPECT_EQ(button->Options(), opMonoDisplay | opMenuArrow);
    EXPECT_EQ(button->BevelLooks(), bk97);
    EXPECT_EQ(button->GroupIndex(), 0);
    EXPECT_FALSE(button->Down());
    EXPECT_FALSE(button->AllowAllUp());
    EXPECT_EQ(button->DropDownMenu(), nullptr);
    EXPECT_TRUE(button->Glyph()->Bitmap()->Empty());
    EXPECT_EQ(button->ControlStyle(), csCaptureMouse | csClickEvents | csSetCaption);
}

TEST_F(IEButton, TheBorderShowsOnlyWhileHotPressedOrDown) {
    ButtonForm f(App());
    auto* button = NewButton<TStateButton>(f.form, 0, 0, 40, 24);
    TBitmap image;
    for (TZelButtonKind kind : {bk97, bkNormal, bkDeep}) {
        button->SetBevelLooks(kind);
        const int rings = kind + 1;
        button->Force(false, false);
        Render(button, image);
        EXPECT_TRUE(ShowsBorder(image, false, 0)) << "idle, " << rings;
        button->Force(true, false);
        Render(button, image);
        EXPECT_TRUE(ShowsBorder(image, false, rings)) << "hot, " << rings;
        button->Force(true, true);
        Render(button, image);
        EXPECT_TRUE(ShowsBorder(image, true, rings)) << "pressed, " << rings;
        button->Force(false, true);  // pressed, the mouse gone
        Render(button, image);
        EXPECT_TRUE(ShowsBorder(image, false, 0)) << "pressed outside, " << rings;
    }
    // Latched: sunk, also while hovered (the sunk rings come last).
    button->SetGroupIndex(1);
    button->SetDown(true);
    button->Force(false, false);
    Render(button, image);
    EXPECT_TRUE(ShowsBorder(image, true, 3));
    button->Force(true, false);
    Render(button, image);
    EXPECT_TRUE(ShowsBorder(image, true, 3));
    // While designed, an outline shows the button's extent.
    button->SetDown(false);
    button->Force(false, false);
    button->SetDesigning(true);
    Render(button, image);
    EXPECT_EQ(image.PixelColor(0, 0), clBlack);
    EXPECT_EQ(image.PixelColor(39, 23), clBlack);
    button->SetDesignTimeFrame(false);
    Render(button, image);
    EXPECT_TRUE(ShowsBorder(image, false, 0));
    button->SetDesigning(false);
    button->SetDown(true);

    // Disabled: no border at all, and a group member stays latched.
    button->SetEnabled(false);
    EXPECT_TRUE(button->Down());
    EXPECT_FALSE(button->Hot());
    button->Force(true, true);
    Render(button, image);
    EXPECT_TRUE(ShowsBorder(image, false, 0));
}

TEST_F(IEButton, GlyphAndCaptionPlacesForEachLayout) {
    ButtonForm f(App());
    const int w = 90, h = 50;
    auto* button = NewButton<TStateButton>(f.form, 0, 0, w, h);
    button->Font3D()->SetThreeDimensional(false);
    button->SetOptions(opMenuArrow);  // the glyph in its own colours
    button->SetCaption("Tips");
    SolidGlyph(button->Glyph(), 16, 12);
    auto* menu = new TPopupMenu(f.form);

    struct TCase {
        TZelPosition layout;
        bool withMenu;
        TRect glyph;
        TRect caption;
    };
    // Glyph 16 x 12: x = Round(45) - Round(8) = 37, y = Round(25) - Round(6) = 19.
    const TCase cases[] = {
        {pTop, false, Bounds(37, 6, 16, 12), {4, 18, w - 4, h - 4}},
        {pBottom, false, Bounds(37, h - 12 - 8, 16, 12), {4, 4, w - 4, h - 12 - 8}},
        {pLeft, false, Bounds(6, 19, 16, 12), {16 + 6, 4, w - 4, h - 4}},
        {pRight, false, Bounds(w - 16 - 6, 19, 16, 12), {4, 4, w - 16 - 6, h - 4}},
        {pRight, true, Bounds(w - 16 - 7 - 6, 19, 16, 12), {4, 4, w - 16 - 7 - 6, h - 4}},
        {pTop, true, Bounds(37, 6, 16, 12), {4, 18, w - 7 - 4, h - 4}},
    };
    TBitmap image;
    for (const TCase& c : cases) {
        button->SetLayout(c.layout);
        button->SetDropDownMenu(c.withMenu ? menu : nullptr);
        Render(button, image);
        EXPECT_EQ(Extent(image, kGlyph), c.glyph) << c.layout << " " << c.withMenu;
        // The caption, left of where the arrow may be.
        TRect text = Extent(image, kInk, {0, 0, w - 14, h});
        EXPECT_EQ(text, CaptionExtent(button, c.caption, w, h)) << c.layout << " " << c.withMenu;
        EXPECT_FALSE(text.IsEmpty());
        // The arrow only with a menu: its top row at Round(H / 2) - 3.
        EXPECT_EQ(CountColor(image, kInk, {w - 14, 0, w, h}), c.withMenu ? 16 : 0);
        if (c.withMenu) {
            EXPECT_EQ(image.PixelColor(w - 13, 22), kInk);
            EXPECT_EQ(image.PixelColor(w - 10, 25), kInk);
        }
    }

    // A menu without opMenuArrow shows no arrow and takes no room.
    button->SetOptions(0);
    Render(button, image);
    EXPECT_EQ(Extent(image, kGlyph), Bounds(37, 6, 16, 12));
    EXPECT_EQ(Extent(image, kInk), CaptionExtent(button, {4, 18, w - 4, h - 4}, w, h));

    // The glyph alone, centred; beside-layouts move it down while pressed.
    button->SetDropDownMenu(nullptr);
    button->SetOptions(opBitmapOnly);
    button->SetLayout(pLeft);
    Render(button, image);
    EXPECT_EQ(Extent(image, kGlyph), Bounds(37, 19, 16, 12));
    EXPECT_EQ(CountColor(image, kInk), 0);
    button->Force(false, true);
    Render(button, image);
    EXPECT_EQ(Extent(image, kGlyph), Bounds(37, 20, 16, 12));

    // opMonoDisplay greys the glyph until the mouse is over it.
    button->Force(false, false);
    button->SetOptions(opMonoDisplay);
    button->SetLayout(pTop);
    Render(button, image);
    EXPECT_EQ(CountColor(image, kGlyph), 0);
    EXPECT_EQ(Extent(image, ColorToRGB(clBtnShadow), {1, 1, w - 2, h - 2}), Bounds(37, 6, 16, 12));
    button->Force(true, false);
    Render(button, image);
    EXPECT_EQ(Extent(image, kGlyph), Bounds(37, 6, 16, 12));
}

TEST_F(IEButton, PushingShiftsTheCaptionOrTheGlyphByOnePixel) {
    ButtonForm f(App());
    auto* button = NewButton<TStateButton>(f.form, 0, 0, 70, 30);
    button->Font3D()->SetThreeDimensional(false);
    button->SetCaption("Exit");
    TBitmap image;
    Render(button, image);
    const TRect idle = Extent(image, kInk);
    ASSERT_FALSE(idle.IsEmpty());
    EXPECT_EQ(idle, CaptionExtent(button, {4, 4, 66, 26}, 70, 30));
    TRect shifted = idle;
    shifted.Offset(0, 1);
    button->Force(true, true);
    Render(button, image);
    EXPECT_EQ(Extent(image, kInk), shifted);
    button->Force(false, true);  // pressed but not over it: no shift
    Render(button, image);
    EXPECT_EQ(Extent(image, kInk), idle);
    button->Force(false, false);
    button->SetGroupIndex(3);
    button->SetDown(true);
    Render(button, image);
    EXPECT_EQ(Extent(image, kInk), shifted);

    // With a glyph shown and opTextonly set, the same.
    button->SetDown(false);
    SolidGlyph(button->Glyph(), 8, 8);
    button->SetOptions(opTextonly);
    button->Force(true, true);
    Render(button, image);
    EXPECT_EQ(Extent(image, kInk), shifted);
    EXPECT_EQ(CountColor(image, kGlyph), 0);

    // A glyph above the caption moves down while pressed; the caption stays.
    button->SetOptions(0);
    Render(button, image);
    EXPECT_EQ(Extent(image, kGlyph), Bounds(31, 7, 8, 8));
    button->Force(false, false);
    Render(button, image);
    EXPECT_EQ(Extent(image, kGlyph), Bounds(31, 6, 8, 8));
}

TEST_F(IEButton, TheMouseHoversPressesLeavesAndReleases) {
    ButtonForm f(App());
    auto* button = NewButton<TZelIEButton>(f.form, 30, 40, 60, 30);
    int clicks = 0, downs = 0, ups = 0;
    button->OnClick = [&clicks](TObject*) { ++clicks; };
    button->OnMouseDown = [&downs](TObject*, TMouseButton, TShiftState, int, int) { ++downs; };
    button->OnMouseUp = [&ups](TObject*, TMouseButton, TShiftState, int, int) { ++ups; };
    f->Show();
    App()->ProcessMessages();
    ASSERT_TRUE(f->Active());
    TBitmap image;

    // Hover: the capture is taken and the raised ring shows.
    f.Send(WM_MOUSEMOVE, 0, 40, 50);
    EXPECT_EQ(GetCaptureControl(), button);
    EXPECT_TRUE(button->Hot());
    Render(button, image);
    EXPECT_TRUE(ShowsBorder(image, false, 1));
    // Press, leave, come back and release inside: one click.
    f.Send(WM_LBUTTONDOWN, MK_LBUTTON, 41, 51);
    EXPECT_TRUE(button->Pressed());
    Render(button, image);
    EXPECT_TRUE(ShowsBorder(image, true, 1));
    f.Send(WM_MOUSEMOVE, MK_LBUTTON, 150, 51);  // captured: still ours
    EXPECT_FALSE(button->Hot());
    EXPECT_EQ(GetCaptureControl(), button);  // kept while pressed
    Render(button, image);
    EXPECT_TRUE(ShowsBorder(image, false, 0));
    f.Send(WM_MOUSEMOVE, MK_LBUTTON, 45, 52);
    EXPECT_TRUE(button->Hot());
    f.Send(WM_LBUTTONUP, 0, 45, 52);
    EXPECT_EQ(clicks, 1);
    EXPECT_FALSE(button->Pressed());
    EXPECT_FALSE(button->Hot());
    EXPECT_EQ(GetCaptureControl(), nullptr);
    EXPECT_EQ(downs, 1);
    EXPECT_EQ(ups, 1);

    // Released outside: no click, and the capture goes.
    f.Send(WM_MOUSEMOVE, 0, 40, 50);
    f.Send(WM_LBUTTONDOWN, MK_LBUTTON, 40, 50);
    f.Send(WM_MOUSEMOVE, MK_LBUTTON, 10, 10);
    f.Send(WM_LBUTTONUP, 0, 10, 10);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(GetCaptureControl(), nullptr);
    EXPECT_FALSE(button->Pressed());

    // Passing over: hot inside, the capture given back outside.
    f.Send(WM_MOUSEMOVE, 0, 89, 69);
    EXPECT_TRUE(button->Hot());
    f.Send(WM_MOUSEMOVE, 0, 91, 50);
    EXPECT_FALSE(button->Hot());
    EXPECT_EQ(GetCaptureControl(), nullptr);

    // Disabled buttons get no mouse: no hover, no click.
    button->SetEnabled(false);
    f.Send(WM_MOUSEMOVE, 0, 40, 50);
    f.Send(WM_LBUTTONDOWN, MK_LBUTTON, 40, 50);
    f.Send(WM_LBUTTONUP, 0, 40, 50);
    EXPECT_FALSE(button->Hot());
    EXPECT_EQ(clicks, 1);

    // An inactive form's button takes no hover, and lets go when left.
    button->SetEnabled(true);
    SendMessageA(f.Window(), WM_ACTIVATE, WA_INACTIVE, 0);
    ASSERT_FALSE(f->Active());
    f.Send(WM_MOUSEMOVE, 0, 40, 50);
    EXPECT_FALSE(button->Hot());
    f.Send(WM_MOUSEMOVE, 0, 150, 50);
    EXPECT_EQ(GetCaptureControl(), nullptr);
    f->Hide();
}

TEST_F(IEButton, GroupsLatchOneButtonAtATime) {
    ButtonForm f(App());
    TZelIEButton* members[3];
    for (int i = 0; i < 3; ++i) {
        members[i] = NewButton<TZelIEButton>(f.form, 10 + 50 * i, 10, 40, 20);
        members[i]->SetGroupIndex(1);
    }
    auto* otherGroup = NewButton<TZelIEButton>(f.form, 160, 10, 40, 20);
    otherGroup->SetGroupIndex(2);
    auto* loose = NewButton<TZelIEButton>(f.form, 210, 10, 40, 20);
    auto click = [&](TZelIEButton* b) {
        f.Send(WM_LBUTTONDOWN, MK_LBUTTON, b->Left() + 5, b->Top() + 5);
        f.Send(WM_LBUTTONUP, 0, b->Left() + 5, b->Top() + 5);
    };
    auto downs = [&] {
        std::string s;
        for (TZelIEButton* b : {members[0], members[1], members[2], otherGroup, loose})
            s += b->Down() ? '1' : '0';
        return s;
    };

    otherGroup->SetDown(true);
    click(members[0]);
    EXPECT_EQ(downs(), "10010");
    click(members[1]);
    EXPECT_EQ(downs(), "01010");
    click(members[1]);  // stays down without AllowAllUp
    EXPECT_EQ(downs(), "01010");
    members[2]->SetAllowAllUp(true);  // for the whole group, and only it
    EXPECT_TRUE(members[0]->AllowAllUp());
    EXPECT_TRUE(members[1]->AllowAllUp());
    EXPECT_FALSE(otherGroup->AllowAllUp());
    click(members[1]);
    EXPECT_EQ(downs(), "00010");

    members[2]->SetDown(true);
    members[0]->SetDown(true);  // releases the other member
    EXPECT_EQ(downs(), "10010");
    loose->SetDown(true);  // GroupIndex 0 ignores Down
    click(loose);
    EXPECT_EQ(downs(), "10010");
    members[0]->SetGroupIndex(0);  // leaving the group releases it
    EXPECT_EQ(downs(), "00010");

    // Another parent's buttons with the same index are another group.
    auto* inner = new TPanel(f.form);
    inner->SetParent(f.form);
    inner->SetBounds(0, 60, 100, 40);
    auto* stranger = NewButton<TZelIEButton>(inner, 0, 0, 40, 20);
    stranger->SetGroupIndex(2);
    stranger->SetDown(true);
    EXPECT_TRUE(otherGroup->Down());
}

TEST_F(IEButton, ADropDownMenuOpensBelowTheButtonAndNoClickFires) {
    ButtonForm f(App());
    auto* button = NewButton<TZelIEButton>(f.form, 30, 40, 60, 30);
    int clicks = 0;
    button->OnClick = [&clicks](TObject*) { ++clicks; };
    auto* menu = new TPopupMenu(nullptr);  // another owner: only the free notice tells
    auto* item = new TMenuItem(menu);
    item->SetCaption("&Help");
    menu->Items()->Add(item);
    button->SetDropDownMenu(menu);

    bool pressedWhileOpen = false;
    TMenuWatcher watcher([&](HWND) {
        pressedWhileOpen = button->Pressed() && button->Hot();
        EndMenu();
    });
    f.Send(WM_MOUSEMOVE, 0, 40, 50);
    f.Send(WM_LBUTTONDOWN, MK_LBUTTON, 40, 50);
    ASSERT_TRUE(watcher.Acted());
    EXPECT_TRUE(pressedWhileOpen);
    EXPECT_EQ(watcher.MenuRect().TopLeft(), button->ClientToScreen({0, 30}));
    EXPECT_FALSE(button->Pressed());
    EXPECT_FALSE(button->Hot());
    f.Send(WM_LBUTTONUP, 0, 40, 50);
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(menu->PopupComponent(), button);

    TBitmap image;
    Render(button, image);
    EXPECT_EQ(CountColor(image, kInk, {47, 0, 60, 30}), 16);  // the arrow
    menu->Free();
    EXPECT_EQ(button->DropDownMenu(), nullptr);
    Render(button, image);
    EXPECT_EQ(CountColor(image, kInk), 0);
    // Without the menu the same press clicks.
    f.Send(WM_LBUTTONDOWN, MK_LBUTTON, 40, 50);
    f.Send(WM_LBUTTONUP, 0, 40, 50);
    EXPECT_EQ(clicks, 1);
}

TEST_F(IEButton, ItsAcceleratorLetterClicksIt) {
    ButtonForm f(App());
    auto* help = NewButton<TZelIEButton>(f.form, 10, 10, 60, 24);
    help->SetCaption("&Help");
    help->SetGroupIndex(4);
    auto* amp = NewButton<TZelIEButton>(f.form, 80, 10, 60, 24);
    amp->SetCaption("Tips && &tricks");
    int helpClicks = 0, ampClicks = 0;
    help->OnClick = [&helpClicks](TObject*) { ++helpClicks; };
    amp->OnClick = [&ampClicks](TObject*) { ++ampClicks; };

    EXPECT_EQ(help->Perform(CM_DIALOGCHAR, 'h', 0), 1);
    EXPECT_EQ(helpClicks, 1);
    EXPECT_TRUE(help->Down());  // a click like any other
    EXPECT_FALSE(help->Pressed());
    EXPECT_EQ(help->Perform(CM_DIALOGCHAR, 'x', 0), 0);
    EXPECT_EQ(amp->Perform(CM_DIALOGCHAR, 't', 0), 1);
    EXPECT_EQ(ampClicks, 1);
    help->SetEnabled(false);
    EXPECT_EQ(help->Perform(CM_DIALOGCHAR, 'H', 0), 0);
    EXPECT_EQ(helpClicks, 1);
    EXPECT_EQ(GetCaptureControl(), nullptr);
}

TEST_F(IEButton, ARightPressFiresItsEventAndShowsTheContextMenu) {
    ButtonForm f(App());
    auto* button = NewButton<TZelIEButton>(f.form, 30, 40, 60, 30);
    std::vector<std::string> log;
    bool hotWhileOpen = false;
    button->OnRightMouseDown = [&](TObject*) { log.push_back("right " + std::to_string(button->Pressed())); };
    button->OnMouseDown = [&](TObject*, TMouseButton b, TShiftState, int, int) {
        log.push_back(b == mbRight ? "down right" : "down");
    };
    button->OnMouseUp = [&](TObject*, TMouseButton, TShiftState, int, int) { log.push_back("up"); };
    auto* menu = new TPopupMenu(f.form);
    menu->OnPopup = [&](TObject*) { log.push_back("menu"); };
    menu->Items()->Add(new TMenuItem(f.form));
    menu->Items()->Items(0)->SetCaption("About us");
    button->SetPopupMenu(menu);
    TMenuWatcher watcher([&](HWND) {
        hotWhileOpen = button->Hot();
        EndMenu();
    });
    f.Send(WM_RBUTTONDOWN, MK_RBUTTON, 40, 50);
    f.Send(WM_RBUTTONUP, 0, 40, 50);  // swallowed
    EXPECT_TRUE(watcher.Acted());
    EXPECT_TRUE(hotWhileOpen);
    EXPECT_EQ(watcher.MenuRect().TopLeft(), button->ClientToScreen({10, 10}));
    EXPECT_EQ(log, (std::vector<std::string>{"right 1", "down right", "menu"}));
    EXPECT_FALSE(button->Pressed());
    EXPECT_FALSE(button->Hot());
}

class OfficeButton : public FrameworkTest {};

TEST_F(OfficeButton, WithoutABackgroundTheFaceIsLightYellowInsideItsCorners) {
    ButtonForm f(App());
    auto* button = NewButton<TZelOfficeButton>(f.form, 10, 10, 130, 25);
    button->SetCaption("Close");
    EXPECT_EQ(button->RoundSize(), 20);
    TBitmap image;
    Render(button, image);
    EXPECT_EQ(image.PixelColor(110, 12), TZelOfficeButton::kFaceColor);
    EXPECT_EQ(image.PixelColor(30, 6), TZelOfficeButton::kFaceColor);
    EXPECT_EQ(image.PixelColor(0, 0), kButtonGround);  // the corners let the parent show
    EXPECT_EQ(image.PixelColor(129, 24), kButtonGround);
    EXPECT_EQ(image.PixelColor(2, 12), clBlack);  // the outline in BorderColor
    EXPECT_EQ(image.PixelColor(127, 12), clBlack);
    EXPECT_GT(CountColor(image, kInk), 10);
    // The lamp: LedNormal inside, its rim pixels at (7, 7) + offsets.
    const int ledY = (25 - 10) / 2;
    EXPECT_EQ(image.PixelColor(7 + 6, ledY + 6), button->LedNormal());
    EXPECT_EQ(image.PixelColor(7 + 8, ledY + 2), clSilver);
    EXPECT_EQ(image.PixelColor(7 + 10, ledY + 5), clGray);
    EXPECT_EQ(image.PixelColor(7 + 4, ledY + 4), clSilver);  // the glint

    // A background takes the face's place.
    auto* ground = new TZelBackground(f.form);
    ground->SetBackgroundStyle(bSolidcolor);
    ground->SetSolidColor(clAqua);
    button->SetBackground(ground);
    Render(button, image);
    EXPECT_EQ(image.PixelColor(110, 12), clAqua);
    EXPECT_EQ(CountColor(image, TZelOfficeButton::kFaceColor), 0);
    ground->Free();
    EXPECT_EQ(button->Background(), nullptr);
}

TEST_F(OfficeButton, EnterPressAndLeaveDriveTheLampAndThePush) {
    ButtonForm f(App());
    auto* button = NewButton<TZelOfficeButton>(f.form, 10, 10, 130, 25);
    button->SetCaption("Next Tips");
    auto* ground = new TZelBackground(f.form);
    ground->Gradient()->SetBeginColor(clBlack);
    ground->Gradient()->SetEndColor(clWhite);
    ground->Gradient()->SetFillStyle(TZelFillStyle::Vertical);
    button->SetBackground(ground);
    int clicks = 0;
    button->OnClick = [&clicks](TObject*) { ++clicks; };
    const int ledY = (25 - 10) / 2;
    auto brightness = [](TColor c) { return (c & 0xFF) + ((c >> 8) & 0xFF) + ((c >> 16) & 0xFF); };
    TBitmap image;
    Render(button, image);
    const TColor farRight = image.PixelColor(120, 12);
    EXPECT_GT(brightness(farRight), 600);  // the ramp runs dark to light

    // The framework's enter notice comes with the first move over it.
    f.Send(WM_MOUSEMOVE, 0, 20, 20);
    EXPECT_TRUE(button->Hot());
    Render(button, image);
    EXPECT_EQ(image.PixelColor(7 + 6, ledY + 6), button->LedOut());
    EXPECT_EQ(image.PixelColor(2, 12), ColorToRGB(clBtnHighlight));

    f.Send(WM_LBUTTONDOWN, MK_LBUTTON, 20, 20);
    EXPECT_TRUE(button->Pressed());
    Render(button, image);
    // Pushed: the lamp one pixel down and right, in LedIn; the ramp reversed.
    EXPECT_EQ(image.PixelColor(7 + 6 + 1, ledY + 6 + 1), button->LedIn());
    EXPECT_EQ(image.PixelColor(7 + 8 + 1, ledY + 2 + 1), clSilver);
    EXPECT_LT(brightness(image.PixelColor(120, 12)), 200);

    f.Send(WM_LBUTTONUP, 0, 20, 20);
    EXPECT_EQ(clicks, 1);
    EXPECT_FALSE(button->Pressed());
    f.Send(WM_MOUSEMOVE, 0, 200, 100);  // onto the form: the leave notice
    EXPECT_FALSE(button->Hot());
    Render(button, image);
    EXPECT_EQ(image.PixelColor(7 + 6, ledY + 6), button->LedNormal());
    EXPECT_EQ(image.PixelColor(2, 12), clBlack);
    EXPECT_EQ(image.PixelColor(120, 12), farRight);
}

class RoundButton : public FrameworkTest {};

TEST_F(RoundButton, OnlyTheCircleTakesPressesAndClicks) {
    ButtonForm f(App());
    auto* button = NewButton<TZelRoundButton>(f.form, 20, 20, 25, 25);
    int clicks = 0;
    button->OnClick = [&clicks](TObject*) { ++clicks; };
    // c = 12: inside while Round(distance from (12, 12)) <= 11.
    EXPECT_TRUE(button->HitTest(12, 12));
    EXPECT_TRUE(button->HitTest(1, 12));
    EXPECT_FALSE(button->HitTest(0, 12));
    EXPECT_TRUE(button->HitTest(4, 4));   // Round(11.31) = 11
    EXPECT_FALSE(button->HitTest(3, 3));  // Round(12.73) = 13
    EXPECT_FALSE(button->HitTest(0, 0));

    f.Send(WM_LBUTTONDOWN, MK_LBUTTON, 20, 20);  // the corner
    EXPECT_FALSE(button->Pressed());
    f.Send(WM_LBUTTONUP, 0, 20, 20);
    EXPECT_EQ(clicks, 0);
    f.Send(WM_LBUTTONDOWN, MK_LBUTTON, 32, 32);
    EXPECT_TRUE(button->Pressed());
    f.Send(WM_MOUSEMOVE, MK_LBUTTON, 21, 21);  // out of the circle
    EXPECT_FALSE(button->Pressed());
    f.Send(WM_MOUSEMOVE, MK_LBUTTON, 30, 25);  // back in
    EXPECT_TRUE(button->Pressed());
    f.Send(WM_LBUTTONUP, 0, 30, 25);
    EXPECT_FALSE(button->Pressed());
    EXPECT_EQ(clicks, 1);
    f.Send(WM_LBUTTONDOWN, MK_LBUTTON, 32, 32);
    f.Send(WM_LBUTTONUP, 0, 44, 44);  // the opposite corner
    EXPECT_FALSE(button->Pressed());
    EXPECT_EQ(clicks, 1);

    // The circle follows the width.
    button->SetWidth(41);
    EXPECT_TRUE(button->HitTest(2, 12));
    EXPECT_TRUE(button->HitTest(20, 30));
}

TEST_F(RoundButton, TheDiscShowsTheBackgroundInsideA3DRim) {
    ButtonForm f(App());
    auto* button = NewButton<TZelRoundButton>(f.form, 0, 0, 25, 25);
    auto* ground = new TZelBackground(f.form);
    ground->SetBackgroundStyle(bSolidcolor);
    ground->SetSolidColor(clYellow);
    button->SetBackground(ground);
    TBitmap image;
    Render(button, image);
    EXPECT_EQ(image.PixelColor(12, 12), clYellow);
    EXPECT_EQ(image.PixelColor(0, 0), kButtonGround);
    EXPECT_EQ(image.PixelColor(24, 24), kButtonGround);
    EXPECT_EQ(image.PixelColor(0, 12), clBlack);  // btNormal: a black outline
    // The rim: light at the upper left, shade at the lower right.
    EXPECT_EQ(image.PixelColor(1, 12), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(image.PixelColor(22, 12), ColorToRGB(clBtnShadow));
    EXPECT_EQ(CountColor(image, clLime), 0);  // the key colour never shows

    button->SetButtonType(btInset);
    Render(button, image);
    EXPECT_EQ(image.PixelColor(12, 12), clYellow);
    EXPECT_EQ(image.PixelColor(0, 12), ColorToRGB(clBtnShadow));  // an inset edge
    EXPECT_EQ(image.PixelColor(23, 12), ColorToRGB(clBtnHighlight));
}

class ButtonGdi : public FrameworkTest {};

TEST_F(ButtonGdi, ManyPaintsAndButtonsComingAndGoingLeakNothing) {
    ButtonForm f(App());
    auto* ground = new TZelBackground(f.form);
    ground->Gradient()->SetFillStyle(TZelFillStyle::RoundMiddle);
    auto* menu = new TPopupMenu(f.form);
    auto addButtons = [&](int top) {
        std::vector<TControl*> made;
        auto* ie = NewButton<TStateButton>(f.form, 0, top, 60, 40);
        ie->SetCaption("&Help");
        SolidGlyph(ie->Glyph(), 16, 16);
        ie->SetLayout(pLeft);
        ie->SetDropDownMenu(menu);
        ie->Force(true, true);
        auto* office = NewButton<TZelOfficeButton>(f.form, 70, top, 100, 25);
        office->SetCaption("Next Tips");
        office->SetBackground(ground);
        auto* round = NewButton<TZelRoundButton>(f.form, 180, top, 25, 25);
        round->SetBackground(ground);
        SolidGlyph(round->Glyph(), 8, 8);
        return std::vector<TControl*>{ie, office, round};
    };
    addButtons(0);
    TBitmap image(260, 160);
    f->PaintTo(image.Canvas()->Handle(), 0, 0);  // caches made once
    const int live = gdi::LiveObjects(), failed = gdi::FailedDeletes();
    for (int i = 0; i < 150; ++i) {
        f->PaintTo(image.Canvas()->Handle(), 0, 0);
        std::vector<TControl*> more = addButtons(60);
        f->PaintTo(image.Canvas()->Handle(), 0, 0);
        for (TControl* c : more)
            c->Free();
    }
    EXPECT_EQ(gdi::LiveObjects(), live);
    EXPECT_EQ(gdi::FailedDeletes(), failed);
}
