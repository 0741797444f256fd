// TZelButton on real windows: its drawing read back from the control (edges,
// the pushed shift, the disabled caption that never looks pushed, glyph and
// ground), the mouse, Enter and Esc with the focus on it, on another
// TZelButton and on a control of another kind, and GDI objects kept flat
// over many paints and re-created windows.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "framework/win32/edits.h"
#include "framework/win32/forms.h"
#include "tests/framework/win32_input.h"
#include "tests/widgets/widget_pixels.h"
#include "widgets/background.h"
#include "widgets/zel_button.h"

using namespace vexel;
using vexel::testing::CountColor;
using vexel::testing::FrameworkTest;
using vexel::testing::kInk;
using vexel::testing::MousePos;
using vexel::testing::PressKey;
using vexel::testing::SharpFont;
using vexel::testing::TypeChar;

namespace {

constexpr TColor kKey = clFuchsia;

struct TInkBox {
    int left = 1 << 20, top = 1 << 20, right = -1, bottom = -1;
    int count = 0;
};

// Where the pixels of one colour lie.
TInkBox InkOf(TBitmap& image, TColor color) {
    TInkBox box;
    for (int y = 0; y < image.Height(); ++y)
        for (int x = 0; x < image.Width(); ++x)
            if (image.PixelColor(x, y) == color) {
                box.left = std::min(box.left, x);
                box.top = std::min(box.top, y);
                box.right = std::max(box.right, x);
                box.bottom = std::max(box.bottom, y);
                ++box.count;
            }
    return box;
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

// A 10 x 10 strip of one blue square with a transparent rim.
void MakeGlyph(TBitmap& glyph) {
    glyph.SetSize(10, 10);
    glyph.Canvas()->Brush()->SetColor(kKey);
    glyph.Canvas()->FillRect({0, 0, 10, 10});
    glyph.Canvas()->Brush()->SetColor(clBlue);
    glyph.Canvas()->FillRect({2, 2, 8, 8});
}

class TButtonCase {
public:
    explicit TButtonCase(TApplication* app) {
        form = new TForm(app);
        form->SetBorderStyle(bsSingle);
        form->SetBounds(40, 40, 360, 200);
    }

    TZelButton* Add(const std::string& caption, int left, int top) {
        auto* button = new TZelButton(form);
        button->SetParent(form);
        button->SetBounds(left, top, 90, 28);
        button->SetCaption(caption);
        SharpFont(*button->Font(), kInk);
        button->OnClick = [this, caption](TObject*) { clicks.push_back(caption); };
        return button;
    }

    // The button's own drawing, as the system asks for it.
    static TBitmap& Render(TZelButton* button, TBitmap& image) {
        image.SetSize(0, 0);
        image.SetSize(button->Width(), button->Height());
        button->PaintTo(image.Canvas()->Handle(), 0, 0);
        return image;
    }

    TForm* form;
    std::vector<std::string> clicks;
};

}  // namespace

class ZelButton : public FrameworkTest {};

TEST_F(ZelButton, DrawsRaisedEdgesAndShiftsTheCaptionWhenPushed) {
    TButtonCase c(App());
    TZelButton* ok = c.Add("OK", 10, 10);
    ok->Font3D()->SetThreeDimensional(false);
    EXPECT_EQ(GetWindowLongA(ok->Handle(), GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);
    EXPECT_EQ(ok->TextFormat(), static_cast<UINT>(0x8025));
    ok->SetWordWrap(true);
    EXPECT_EQ(ok->TextFormat(), static_cast<UINT>(0x15));
    ok->SetWordWrap(false);

    TBitmap up, down;
    TButtonCase::Render(ok, up);
    const TColor light = ColorToRGB(clBtnHighlight), face = ColorToRGB(clBtnFace);
    EXPECT_EQ(up.PixelColor(0, 0), light);  // raised: light top-left
    EXPECT_NE(up.PixelColor(89, 27), light);
    EXPECT_EQ(up.PixelColor(20, 14), face);
    TInkBox text = InkOf(up, kInk);
    ASSERT_GT(text.count, 0);

    SendMessageA(ok->Handle(), BM_SETSTATE, TRUE, 0);
    TButtonCase::Render(ok, down);
    EXPECT_NE(down.PixelColor(0, 0), light);  // sunken
    TInkBox pushed = InkOf(down, kInk);
    EXPECT_EQ(pushed.count, text.count);
    EXPECT_EQ(pushed.left, text.left + 1);
    EXPECT_EQ(pushed.top, text.top + 1);

    // An extra sunken edge around a raised one, two pixels in.
    SendMessageA(ok->Handle(), BM_SETSTATE, FALSE, 0);
    HWND window = ok->Handle();
    ok->SetButtonSunk(true);
    EXPECT_NE(ok->Handle(), window);  // made again
    TBitmap sunk;
    TButtonCase::Render(ok, sunk);
    EXPECT_NE(sunk.PixelColor(0, 0), light);
    EXPECT_EQ(sunk.PixelColor(2, 2), light);
    EXPECT_EQ(InkOf(sunk, kInk).left, text.left);
}

TEST_F(ZelButton, ADisabledButtonNeverLooksPushedAndGreysItsCaptionWhatever3DSays) {
    TButtonCase c(App());
    TZelButton* cancel = c.Add("Cancel", 10, 10);
    cancel->Font3D()->SetThreeDimensional(true);
    cancel->Font3D()->SetStyle3D(fontRaised);
    cancel->SetEnabled(false);
    TBitmap up, down;
    TButtonCase::Render(cancel, up);
    SendMessageA(cancel->Handle(), BM_SETSTATE, TRUE, 0);
    EXPECT_TRUE(SendMessageA(cancel->Handle(), BM_GETSTATE, 0, 0) & BST_PUSHED);
    TButtonCase::Render(cancel, down);
    EXPECT_TRUE(SameImage(up, down));
    EXPECT_EQ(up.PixelColor(0, 0), ColorToRGB(clBtnHighlight));
    // The disabled look: grey text over a highlight copy, no font colour.
    EXPECT_EQ(CountColor(up, kInk), 0);
    TBitmap face;  // inside the edges
    face.SetSize(82, 20);
    BitBlt(face.Canvas()->Handle(), 0, 0, 82, 20, up.Canvas()->Handle(), 4, 4, SRCCOPY);
    TInkBox grey = InkOf(face, ColorToRGB(clGrayText));
    EXPECT_GT(grey.count, 0);
    EXPECT_GT(
        CountColor(up, ColorToRGB(clBtnHighlight), {grey.left, grey.top, grey.right + 2, grey.bottom + 2}),
        0);

    // Enabled again, in the font colour.
    cancel->SetEnabled(true);
    TBitmap enabled;
    TButtonCase::Render(cancel, enabled);
    EXPECT_GT(CountColor(enabled, kInk), 0);
}

TEST_F(ZelButton, PlacesTheGlyphBesideTheCaptionOverItsBackground) {
    TButtonCase c(App());
    TZelButton* apply = c.Add("Apply", 10, 10);
    auto* ground = new TZelBackground(c.form);
    ground->SetBackgroundStyle(bSolidcolor);
    ground->SetSolidColor(clYellow);
    apply->SetBackground(ground);
    TBitmap glyph;
    MakeGlyph(glyph);
    apply->Glyph()->SetBitmap(&glyph);
    apply->Glyph()->SetTransparentColor(kKey);

    TBitmap image;
    TButtonCase::Render(apply, image);
    TInkBox blue = InkOf(image, clBlue);
    // Left edge 3 + 1, then 2 more; centred from top to bottom.
    EXPECT_EQ(blue.left, 6 + 2);
    EXPECT_EQ(blue.top, Round((28 - 10) / 2.0) + 2);
    EXPECT_EQ(blue.count, 36);
    EXPECT_EQ(image.PixelColor(6, 12), clYellow);  // the glyph's rim shows the ground
    EXPECT_EQ(image.PixelColor(80, 5), clYellow);
    EXPECT_GT(InkOf(image, kInk).left, blue.right);  // the caption starts after it

    SendMessageA(apply->Handle(), BM_SETSTATE, TRUE, 0);
    TButtonCase::Render(apply, image);
    TInkBox pushed = InkOf(image, clBlue);
    EXPECT_EQ(pushed.left, blue.left + 1);
    EXPECT_EQ(pushed.top, blue.top + 1);

    // Without a caption the glyph is centred.
    SendMessageA(apply->Handle(), BM_SETSTATE, FALSE, 0);
    apply->SetCaption("");
    TButtonCase::Render(apply, image);
    EXPECT_EQ(InkOf(image, clBlue).left, Round((90 - 10) / 2.0) + 1 + 2 + 2);

    // The background going away leaves the plain face.
    ground->Free();
    EXPECT_EQ(apply->Background(), nullptr);
    TButtonCase::Render(apply, image);
    EXPECT_EQ(image.PixelColor(80, 5), ColorToRGB(clBtnFace));
}

TEST_F(ZelButton, TheMouseClicksItAndItsFormLearnsTheModalResult) {
    TButtonCase c(App());
    TZelButton* ok = c.Add("OK", 10, 10);
    ok->SetModalResult(mrOk);
    HWND window = ok->Handle();
    SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MousePos(5, 5));
    EXPECT_TRUE(SendMessageA(window, BM_GETSTATE, 0, 0) & BST_PUSHED);
    SendMessageA(window, WM_MOUSEMOVE, MK_LBUTTON, MousePos(200, 5));  // dragged off: up again
    EXPECT_FALSE(SendMessageA(window, BM_GETSTATE, 0, 0) & BST_PUSHED);
    SendMessageA(window, WM_MOUSEMOVE, MK_LBUTTON, MousePos(6, 6));
    SendMessageA(window, WM_LBUTTONUP, 0, MousePos(6, 6));
    EXPECT_EQ(c.clicks, std::vector<std::string>{"OK"});
    EXPECT_EQ(c.form->ModalResult(), mrOk);
}

TEST_F(ZelButton, EnterAndEscFollowTheFocus) {
    TButtonCase c(App());
    auto* edit = new TEdit(c.form);
    edit->SetParent(c.form);
    edit->SetBounds(10, 10, 100, 21);
    TZelButton* start = c.Add("&Start", 10, 50);
    start->SetDefault(true);
    TZelButton* other = c.Add("Other", 110, 50);
    TZelButton* cancel = c.Add("&Canel", 210, 50);
    cancel->SetCancel(true);
    c.form->Show();
    App()->ProcessMessages();

    // A control of another kind: the Default button takes Enter.
    edit->SetFocus();
    EXPECT_TRUE(start->ActiveDefault());
    PressKey(App(), edit->Handle(), VK_RETURN);
    PressKey(App(), edit->Handle(), VK_ESCAPE);
    EXPECT_EQ(c.clicks, (std::vector<std::string>{"&Start", "&Canel"}));

    // Another TZelButton: it takes Enter itself, the Default one ignores it.
    other->SetFocus();
    EXPECT_FALSE(start->ActiveDefault());
    c.clicks.clear();
    PressKey(App(), other->Handle(), VK_RETURN);
    EXPECT_EQ(c.clicks, std::vector<std::string>{"Other"});
    // Still so once its window is made again, and for a new Default button.
    other->SetButtonSunk(true);
    ASSERT_TRUE(other->Focused());
    auto* late = new TZelButton(c.form);
    late->SetDefault(true);
    late->SetParent(c.form);  // its window is made at once
    ASSERT_TRUE(late->HandleAllocated());
    EXPECT_FALSE(late->ActiveDefault());
    PressKey(App(), other->Handle(), VK_RETURN);
    EXPECT_EQ(c.clicks, (std::vector<std::string>{"Other", "Other"}));
    late->Free();

    // The Default button focused; Esc still reaches the cancel button.
    start->SetFocus();
    c.clicks.clear();
    PressKey(App(), start->Handle(), VK_RETURN);
    PressKey(App(), start->Handle(), VK_ESCAPE);
    EXPECT_EQ(c.clicks, (std::vector<std::string>{"&Start", "&Canel"}));

    // Its letter clicks it, from anywhere on the form.
    c.clicks.clear();
    TypeChar(App(), edit->Handle(), 'c', true);
    EXPECT_EQ(c.clicks, std::vector<std::string>{"&Canel"});
    // Never with the shift keys down.
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    PressKey(App(), start->Handle(), VK_RETURN);
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
    EXPECT_EQ(c.clicks.size(), 1u);
    c.form->Hide();
}

TEST_F(ZelButton, RepaintsAndNewWindowsLeakNoGdiObjects) {
    TButtonCase c(App());
    TZelButton* button = c.Add("Compress", 10, 10);
    auto* ground = new TZelBackground(c.form);
    button->SetBackground(ground);
    TBitmap glyph;
    MakeGlyph(glyph);
    button->Glyph()->SetBitmap(&glyph);
    TBitmap image;
    TButtonCase::Render(button, image);  // warms the font and the caches
    const int live = gdi::LiveObjects(), failed = gdi::FailedDeletes();
    for (int i = 0; i < 100; ++i) {
        SendMessageA(button->Handle(), BM_SETSTATE, i % 2, 0);
        TButtonCase::Render(button, image);
        if (i % 10 == 0)
            button->SetButtonSunk(!button->ButtonSunk());
    }
    SendMessageA(button->Handle(), BM_SETSTATE, FALSE, 0);
    App()->ProcessMessages();
    EXPECT_EQ(gdi::LiveObjects(), live);
    EXPECT_EQ(gdi::FailedDeletes(), failed);
}
