// TZelCheckbox and TZelRadiobutton on real windows: the creation style bits
// of every setting, new windows for AsButton, AlignButton and ButtonSunk,
// the caption picture (its ground, the box gap, word wrap, the enabled look
// of a disabled control) and the part of it handed to the window, clicks by
// mouse and keys, and GDI objects kept flat over paints and new windows.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "framework/win32/forms.h"
#include "tests/framework/win32_input.h"
#include "tests/widgets/widget_pixels.h"
#include "widgets/background.h"
#include "widgets/check_buttons.h"

using namespace vexel;
using vexel::testing::CountColor;
using vexel::testing::FrameworkTest;
using vexel::testing::kInk;
using vexel::testing::MousePos;
using vexel::testing::PressKey;
using vexel::testing::SharpFont;

namespace {

constexpr TColor kCheckGround = clAqua;  // the controls' Color

TForm* MakeForm(TApplication* app) {
    auto* form = new TForm(app);
    form->SetBorderStyle(bsSingle);
    form->SetBounds(40, 40, 400, 300);
    return form;
}

template <class T>
T* MakeBox(TForm* form, const std::string& caption, int top = 10) {
    auto* box = new T(form);
    box->SetParent(form);
    box->SetBounds(10, top, 200, 24);
    box->SetCaption(caption);
    box->SetColor(kCheckGround);
    SharpFont(*box->Font(), kInk);
    box->Font3D()->SetThreeDimensional(false);
    return box;
}

// Lets the control paint (rendering its picture) into a bitmap of its size.
template <class T>
void Paint(T* box, TBitmap& image) {
    image.SetSize(0, 0);
    image.SetSize(box->Width(), box->Height());
    box->PaintTo(image.Canvas()->Handle(), 0, 0);
}

// The rightmost and leftmost columns holding ink of the colour.
int RightInk(TBitmap& image, TColor color) {
    for (int x = image.Width() - 1; x >= 0; --x)
        if (CountColor(image, color, {x, 0, x + 1, image.Height()}))
            return x;
    return -1;
}
int LeftInk(TBitmap& image, TColor color) {
    for (int x = 0; x < image.Width(); ++x)
        if (CountColor(image, color, {x, 0, x + 1, image.Height()}))
            return x;
    return -1;
}
int InkRows(TBitmap& image, TColor color) {
    int rows = 0;
    for (int y = 0; y < image.Height(); ++y)
        rows += CountColor(image, color, {0, y, image.Width(), y + 1}) > 0;
    return rows;
}

bool SameImage(TBitmap& a, TBitmap& b) {
    if (a.Width() != b.Width() || a.Height() != b.Height())
        return false;
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x)
            if (a.PixelColor(x, y) != b.PixelColor(x, y))
                return false;
    return true;
}

constexpr DWORD kPlacement = 0x3FA0;  // left text, bitmap, alignments, push-like, multi-line

}  // namespace

class ZelCheckButtons : public FrameworkTest {};

TEST_F(ZelCheckButtons, CreationStyleBitsFollowEverySetting) {
    struct TCase {
        bool right, asButton, sunk, wrap;
        DWORD style;
        bool clientEdge;
    };
    const TCase cases[] = {
        {false, false, true, false, BS_VCENTER | BS_RIGHT | BS_BITMAP, false},
        {true, false, true, false, BS_VCENTER | BS_LEFTTEXT | BS_LEFT | BS_BITMAP, false},
        {false, true, true, false, BS_VCENTER | BS_PUSHLIKE | BS_CENTER | BS_BITMAP, true},
        {false, true, false, false, BS_VCENTER | BS_PUSHLIKE | BS_CENTER | BS_BITMAP, false},
        {true, true, true, false, BS_VCENTER | BS_PUSHLIKE | BS_CENTER | BS_LEFTTEXT | BS_BITMAP, true},
        {false, false, true, true, BS_VCENTER | BS_RIGHT | BS_MULTILINE | BS_BITMAP, false},
        {false, false, false, false, BS_VCENTER | BS_RIGHT | BS_BITMAP,
         false},  // sunk only counts as a button
    };
    for (const TCase& c : cases) {
        TForm* form = MakeForm(App());  // no window yet: the settings are part of the creation
        auto* box = MakeBox<TZelCheckbox>(form, "Show Tips");
        auto* radio = MakeBox<TZelRadiobutton>(form, "VBScript", 40);
        box->SetAlignButton(c.right ? taRightJustify : taLeftJustify);
        box->SetAsButton(c.asButton);
        box->SetButtonSunk(c.sunk);
        box->SetWordWrap(c.wrap);
        radio->SetAlignButton(c.right ? taRightJustify : taLeftJustify);
        radio->SetAsButton(c.asButton);
        radio->SetButtonSunk(c.sunk);
        radio->SetWordWrap(c.wrap);
        for (TWinControl* control : {static_cast<TWinControl*>(box), static_cast<TWinControl*>(radio)}) {
            DWORD style = static_cast<DWORD>(GetWindowLongA(control->Handle(), GWL_STYLE));
            DWORD ex = static_cast<DWORD>(GetWindowLongA(control->Handle(), GWL_EXSTYLE));
            EXPECT_EQ(style & kPlacement, c.style)
                << control->ClassName() << " right " << c.right << " button " << c.asButton << " sunk "
                << c.sunk << " wrap " << c.wrap;
            EXPECT_EQ((ex & WS_EX_CLIENTEDGE) != 0, c.clientEdge);
        }
        EXPECT_EQ(GetWindowLongA(box->Handle(), GWL_STYLE) & BS_TYPEMASK, BS_3STATE);
        EXPECT_EQ(GetWindowLongA(radio->Handle(), GWL_STYLE) & BS_TYPEMASK, BS_RADIOBUTTON);
    }
}

TEST_F(ZelCheckButtons, StyleChangesMakeANewWindowThatKeepsTheState) {
    TForm* form = MakeForm(App());
    auto* box = MakeBox<TZelCheckbox>(form, "Show Tips");
    box->SetChecked(true);
    int clicks = 0;
    box->OnClick = [&](TObject*) { ++clicks; };
    HWND first = box->Handle();

    box->SetAsButton(true);
    HWND second = box->Handle();
    EXPECT_NE(second, first);
    EXPECT_FALSE(IsWindow(first));
    EXPECT_TRUE(GetWindowLongA(second, GWL_STYLE) & BS_PUSHLIKE);
    EXPECT_EQ(SendMessageA(second, BM_GETCHECK, 0, 0), BST_CHECKED);  // pressed while checked
    EXPECT_EQ(box->Caption(), "Show Tips");

    box->SetButtonSunk(false);
    HWND third = box->Handle();
    EXPECT_NE(third, second);
    EXPECT_FALSE(GetWindowLongA(third, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    box->SetAlignButton(taRightJustify);
    EXPECT_NE(box->Handle(), third);
    box->SetAsButton(true);  // unchanged: the same window
    HWND fourth = box->Handle();
    box->SetAlignButton(taRightJustify);
    EXPECT_EQ(box->Handle(), fourth);
    box->SetWordWrap(true);  // repaints only
    EXPECT_EQ(box->Handle(), fourth);
    EXPECT_EQ(clicks, 0);
    EXPECT_TRUE(box->Checked());
}

TEST_F(ZelCheckButtons, TheCaptionPictureLeavesTheGapOnTheBoxSide) {
    TForm* form = MakeForm(App());
    for (int kind = 0; kind < 2; ++kind) {
        const int gap = 12;  // the check box and the radio button alike
        auto render = [&](TAlignment alignButton, TBitmap& out) {
            TWinControl* control = nullptr;
            TBitmap* picture = nullptr;
            TBitmap image;
            if (kind == 0) {
                auto* box = MakeBox<TZelCheckbox>(form, "WWWWWWWWWWWWWWWWWWWW");
                box->SetAlignment(taRightJustify);
                box->SetAlignButton(alignButton);
                Paint(box, image);
                picture = box->CaptionPicture();
                control = box;
            } else {
                auto* radio = MakeBox<TZelRadiobutton>(form, "WWWWWWWWWWWWWWWWWWWW");
                radio->SetAlignment(taRightJustify);
                radio->SetAlignButton(alignButton);
                Paint(radio, image);
                picture = radio->CaptionPicture();
                control = radio;
            }
            out.Assign(picture);
            control->Free();
        };
        TBitmap boxLeft, boxRight;
        render(taLeftJustify, boxLeft);
        render(taRightJustify, boxRight);
        ASSERT_EQ(boxLeft.Width(), 200);
        // A caption too long for the room ends in "..." at the rectangle's right edge.
        EXPECT_LE(RightInk(boxLeft, kInk), 200 - 6 - 1);
        EXPECT_GE(RightInk(boxLeft, kInk), 200 - 6 - 4);
        EXPECT_EQ(RightInk(boxLeft, kInk) - RightInk(boxRight, kInk), gap) << "radio " << kind;
        EXPECT_GE(LeftInk(boxLeft, kInk), 6 + gap);
        EXPECT_GE(LeftInk(boxRight, kInk), 6);
        EXPECT_LT(LeftInk(boxRight, kInk), 6 + gap);
    }
}

TEST_F(ZelCheckButtons, ThePictureGroundIsTheColourOrTheBackground) {
    TForm* form = MakeForm(App());
    auto* plain = MakeBox<TZelCheckbox>(form, "Show Tips");
    TBitmap image;
    Paint(plain, image);
    TBitmap& picture = *plain->CaptionPicture();
    ASSERT_EQ(picture.Width(), 200);
    ASSERT_EQ(picture.Height(), 24);
    EXPECT_EQ(CountColor(picture, kCheckGround) + CountColor(picture, kInk), 200 * 24);
    EXPECT_GT(CountColor(picture, kInk), 0);

    auto* grounded = MakeBox<TZelRadiobutton>(form, "VBScript", 40);
    auto* ground = new TZelBackground(form);
    ground->SetBackgroundStyle(bSolidcolor);
    ground->SetSolidColor(clYellow);
    grounded->SetBackground(ground);
    Paint(grounded, image);
    TBitmap& withGround = *grounded->CaptionPicture();
    EXPECT_EQ(CountColor(withGround, kCheckGround), 0);
    EXPECT_EQ(CountColor(withGround, clYellow) + CountColor(withGround, kInk), 200 * 24);

    // The window holds the picture but for the box's strip, and shows it.
    auto shown = reinterpret_cast<HBITMAP>(SendMessageA(grounded->Handle(), BM_GETIMAGE, IMAGE_BITMAP, 0));
    ASSERT_TRUE(shown);
    TBitmap held;
    held.LoadFromHandle(shown);
    TRect part = grounded->ShownPart(200, 24);
    EXPECT_EQ(part, Rect(6 + 12 - 2, 0, 200, 24));
    ASSERT_EQ(held.Width(), part.Width());
    for (int x = 0; x < held.Width(); x += 7)
        EXPECT_EQ(held.PixelColor(x, 12), withGround.PixelColor(part.Left + x, 12));
    EXPECT_EQ(RightInk(image, kInk), RightInk(withGround, kInk) - 1);  // the system draws it one pixel in
    EXPECT_EQ(image.PixelColor(190, 2), clYellow);

    ground->Free();
    EXPECT_EQ(grounded->Background(), nullptr);
    Paint(grounded, image);
    EXPECT_EQ(CountColor(*grounded->CaptionPicture(), clYellow), 0);
}

TEST_F(ZelCheckButtons, WordWrapBreaksLongCaptionsIntoLines) {
    TForm* form = MakeForm(App());
    const std::string caption = "Clean whitespace between the tags of the page";
    auto* oneLine = MakeBox<TZelCheckbox>(form, caption);
    oneLine->SetBounds(10, 10, 160, 44);
    auto* wrapped = MakeBox<TZelCheckbox>(form, caption, 60);
    wrapped->SetBounds(10, 60, 160, 44);
    wrapped->SetWordWrap(true);
    TBitmap image;
    Paint(oneLine, image);
    Paint(wrapped, image);
    int singleRows = InkRows(*oneLine->CaptionPicture(), kInk);
    int wrappedRows = InkRows(*wrapped->CaptionPicture(), kInk);
    EXPECT_GT(singleRows, 5);
    EXPECT_GT(wrappedRows, singleRows + 5);
    EXPECT_EQ(wrapped->CaptionFormat() & (DT_WORDBREAK | DT_SINGLELINE), static_cast<UINT>(DT_WORDBREAK));
    EXPECT_TRUE(oneLine->CaptionFormat() & DT_END_ELLIPSIS);
}

TEST_F(ZelCheckButtons, ADisabledControlKeepsTheEnabledLookOfItsCaption) {
    TForm* form = MakeForm(App());
    auto* enabled = MakeBox<TZelCheckbox>(form, "Show Tips");
    auto* disabled = MakeBox<TZelCheckbox>(form, "Show Tips", 40);
    disabled->Font3D()->SetThreeDimensional(true);
    enabled->Font3D()->SetThreeDimensional(true);
    disabled->SetChecked(true);
    disabled->SetEnabled(false);
    TBitmap shownEnabled, shownDisabled;
    Paint(enabled, shownEnabled);
    Paint(disabled, shownDisabled);
    EXPECT_TRUE(SameImage(*enabled->CaptionPicture(), *disabled->CaptionPicture()));
    EXPECT_GT(CountColor(*disabled->CaptionPicture(), kInk), 0);
    EXPECT_EQ(CountColor(*disabled->CaptionPicture(), ColorToRGB(clGrayText)), 0);
    // On the window too, beside the box the system greys.
    TRect part = disabled->ShownPart(200, 24);
    for (int y = 0; y < 24; ++y)
        for (int x = part.Left; x < 198; ++x)
            ASSERT_EQ(shownDisabled.PixelColor(x, y), shownEnabled.PixelColor(x, y)) << x << "," << y;
}

TEST_F(ZelCheckButtons, ClicksByMouseAndSpaceToggleAndGroupAsTheSystemsDo) {
    TForm* form = MakeForm(App());
    auto* box = MakeBox<TZelCheckbox>(form, "Show Tips");
    auto* java = MakeBox<TZelRadiobutton>(form, "JavaScript", 40);
    auto* vb = MakeBox<TZelRadiobutton>(form, "VBScript", 70);
    std::vector<std::string> log;
    box->OnClick = [&](TObject*) { log.push_back(box->Checked() ? "tips on" : "tips off"); };
    java->OnClick = [&](TObject*) { log.push_back("java"); };
    vb->OnClick = [&](TObject*) { log.push_back("vb"); };
    vb->SetAsButton(true);  // the push-button look groups all the same

    SendMessageA(box->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MousePos(5, 5));
    SendMessageA(box->Handle(), WM_LBUTTONUP, 0, MousePos(5, 5));
    PressKey(App(), box->Handle(), VK_SPACE);
    SendMessageA(java->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MousePos(5, 5));
    SendMessageA(java->Handle(), WM_LBUTTONUP, 0, MousePos(5, 5));
    PressKey(App(), vb->Handle(), VK_SPACE);
    EXPECT_EQ(log, (std::vector<std::string>{"tips on", "tips off", "java", "vb"}));
    EXPECT_TRUE(vb->Checked());
    EXPECT_FALSE(java->Checked());
    EXPECT_EQ(SendMessageA(java->Handle(), BM_GETCHECK, 0, 0), BST_UNCHECKED);
}

TEST_F(ZelCheckButtons, PaintsAndNewWindowsLeakNoGdiObjects) {
    TForm* form = MakeForm(App());
    auto* box = MakeBox<TZelCheckbox>(form, "Show Tips");
    auto* radio = MakeBox<TZelRadiobutton>(form, "VBScript", 40);
    auto* ground = new TZelBackground(form);
    box->SetBackground(ground);
    radio->SetBackground(ground);
    form->Show();
    App()->ProcessMessages();
    TBitmap image;
    Paint(box, image);
    Paint(radio, image);
    const int live = gdi::LiveObjects(), failed = gdi::FailedDeletes();
    for (int i = 0; i < 60; ++i) {
        Paint(box, image);
        Paint(radio, image);
        RedrawWindow(form->Handle(), nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        if (i % 6 == 0) {
            box->SetAsButton(!box->AsButton());
            radio->SetAlignButton(radio->AlignButton() == taLeftJustify ? taRightJustify : taLeftJustify);
            box->SetEnabled(!box->Enabled());
        }
    }
    App()->ProcessMessages();
    EXPECT_EQ(gdi::LiveObjects(), live);
    EXPECT_EQ(gdi::FailedDeletes(), failed);
    form->Hide();
}
