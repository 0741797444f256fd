// The suite's labels: the 3-D label's text rectangle, frame, background,
// transparency and background-faced letters; the sticky label beside its
// control, following it through moves, sizes and re-created windows, letting
// go of replaced and freed controls, alongside other watchers.
#include <gtest/gtest.h>

#include "framework/core/sysutils.h"
#include "framework/win32/forms.h"
#include "framework/win32/panels.h"
#include "tests/widgets/widget_pixels.h"
#include "widgets/background.h"
#include "widgets/labels.h"

using namespace vexel;
using vexel::testing::CountColor;
using vexel::testing::Fill;
using vexel::testing::FrameworkTest;
using vexel::testing::kInk;
using vexel::testing::SharpFont;

namespace {

constexpr TColor kLabelGround = 0x40C040;
constexpr TColor kLabelColor = clSilver;

TZelLabel* NewLabel(TForm* form) {
    auto* label = new TZelLabel(form);
    label->SetParent(form);
    label->SetBounds(0, 0, 100, 30);
    label->SetColor(kLabelColor);
    SharpFont(*label->Font(), kInk);
    label->Font3D()->SetThreeDimensional(false);
    label->SetCaption("Vexel");
    return label;
}

void Render(TControl* control, TBitmap& image) {
    image.SetSize(0, 0);
    image.SetSize(control->Width(), control->Height());
    Fill(image, kLabelGround);
    control->PaintTo(image.Canvas()->Handle(), 0, 0);
}

// Whether the label's text pixels are exactly where DrawText3D puts the
// caption at Rect (top-aligned, left-justified).
::testing::AssertionResult TextAt(TZelLabel* label, TBitmap& image, const TRect& rect) {
    TBitmap expected(image.Width(), image.Height());
    Fill(expected, kLabelColor);
    DrawText3D(label->Font3D(), label->Font(), expected.Canvas()->Handle(), true, DT_EXPANDTABS | DT_LEFT,
               label->Caption(), rect);
    int differ = 0, ink = 0;
    for (int y = 0; y < image.Height(); ++y)
        for (int x = 0; x < image.Width(); ++x) {
            bool want = expected.PixelColor(x, y) == kInk;
            ink += want;
            differ += want != (image.PixelColor(x, y) == kInk);
        }
    if (ink == 0)
        return ::testing::AssertionFailure() << "no text expected at all";
    if (differ)
        return ::testing::AssertionFailure() << differ << " text pixels differ";
    return ::testing::AssertionSuccess();
}

struct LabelForm {
    TForm* form;
    explicit LabelForm(TComponent* owner) : form(new TForm(owner)) {
        form->SetBorderStyle(bsNone);
        form->SetBounds(0, 0, 400, 300);
        form->HandleNeeded();  // moves and sizes are the windows' messages
    }
    TPanel* NewTarget(int left, int top, int width, int height) {
        auto* panel = new TPanel(form);
        panel->SetParent(form);
        panel->SetBounds(left, top, width, height);
        return panel;
    }
    TZelStickyLabel* NewSticky(TComponent* owner = nullptr) {
        auto* label = new TZelStickyLabel(owner ? owner : form);
        label->SetParent(form);
        label->SetCaption("Name:");
        return label;
    }
};

}  // namespace

class Label : public FrameworkTest {};

TEST_F(Label, TheTextRectangleLosesTheFrameWidthAtTopAndBottomEvenWithoutAFrame) {
    LabelForm f(App());
    TZelLabel* label = NewLabel(f.form);
    EXPECT_FALSE(label->AutoSize());
    EXPECT_EQ(label->Frame()->FrameStyle(), frameNone);
    EXPECT_EQ(label->TextRect(), Rect(0, 1, 100, 29));
    TBitmap image;
    Render(label, image);
    EXPECT_TRUE(TextAt(label, image, {0, 1, 100, 29}));
    EXPECT_FALSE(TextAt(label, image, {0, 0, 100, 30}));  // one pixel lower than a plain label
    EXPECT_EQ(image.PixelColor(0, 0), kLabelColor);

    // t = TotalWidth, f = FrameWidth: (t, t + f, W - 2t, H - t - f).
    label->Frame()->SetFrameStyle(frameRaised);
    label->Frame()->SetFrameWidth(2);
    EXPECT_EQ(label->TextRect(), Rect(2, 4, 96, 26));
    Render(label, image);
    EXPECT_TRUE(TextAt(label, image, {2, 4, 96, 26}));
    EXPECT_EQ(image.PixelColor(0, 15), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(image.PixelColor(1, 15), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(image.PixelColor(99, 15), ColorToRGB(clBtnShadow));
    label->Frame()->SetFrameStyle(frameFramedUp);
    label->Frame()->SetFrameWidth(1);
    EXPECT_EQ(label->TextRect(), Rect(2, 3, 96, 27));

    // Word wrap breaks the caption inside the rectangle.
    TZelFrame none(nullptr);
    none.SetFrameStyle(frameNone);
    label->SetFrame(&none);
    EXPECT_EQ(label->Frame()->FrameStyle(), frameNone);
    label->SetCaption("Show Tips at Startup");
    label->SetWordWrap(true);
    label->SetWidth(60);
    label->SetHeight(50);
    Render(label, image);
    int rows = 0;
    for (int y = 0; y < 50; ++y)
        rows += CountColor(image, kInk, {0, y, 60, y + 1}) > 0;
    EXPECT_GT(rows, 20);  // more than one line of 13-pixel text
}

TEST_F(Label, ATransparentLabelIgnoresItsBackground) {
    LabelForm f(App());
    TZelLabel* label = NewLabel(f.form);
    label->Frame()->SetFrameStyle(frameSolid);
    label->Frame()->SetSolid(clNavy);
    auto* ground = new TZelBackground(f.form);
    ground->SetBackgroundStyle(bSolidcolor);
    ground->SetSolidColor(clBlue);
    label->SetBackground(ground);
    TBitmap image;
    Render(label, image);
    EXPECT_EQ(image.PixelColor(90, 20), clBlue);
    label->SetTransparent(true);
    Render(label, image);
    EXPECT_EQ(image.PixelColor(90, 20), kLabelGround);
    EXPECT_EQ(CountColor(image, clBlue), 0);
    EXPECT_TRUE(TextAt(label, image, label->TextRect()));
    EXPECT_EQ(image.PixelColor(0, 15), clNavy);  // the frame still
    EXPECT_EQ(image.PixelColor(99, 29), clNavy);
}

TEST_F(Label, AFontBackgroundFillsTheLetters) {
    LabelForm f(App());
    TZelLabel* label = NewLabel(f.form);
    auto* face = new TZelBackground(f.form);
    face->SetBackgroundStyle(bSolidcolor);
    face->SetSolidColor(clLime);
    label->SetFontBackground(face);
    TBitmap image;
    Render(label, image);
    EXPECT_EQ(CountColor(image, kInk), 0);
    EXPECT_GT(CountColor(image, clLime), 20);
    EXPECT_EQ(image.PixelColor(95, 25), kLabelColor);
}

TEST_F(Label, BothBackgroundsAreLetGoWhenFreedEvenWhenTheyAreOne) {
    LabelForm f(App());
    TZelLabel* label = NewLabel(f.form);
    ScopedFree<TComponent> elsewhere(new TComponent(nullptr));  // another owner: only free notices tell
    auto* shared = new TZelBackground(elsewhere.get());
    label->SetBackground(shared);
    label->SetFontBackground(shared);
    label->SetBackground(nullptr);
    label->SetBackground(shared);
    label->SetFontBackground(nullptr);
    label->SetFontBackground(shared);
    shared->Free();
    EXPECT_EQ(label->Background(), nullptr);
    EXPECT_EQ(label->FontBackground(), nullptr);
    TBitmap image;
    Render(label, image);
    EXPECT_EQ(image.PixelColor(90, 20), kLabelColor);
}

class StickyLabel : public FrameworkTest {};

TEST_F(StickyLabel, SitsBesideItsControlAndFollowsMovesAndSizes) {
    LabelForm f(App());
    TPanel* edit = f.NewTarget(100, 80, 60, 30);
    TZelStickyLabel* label = f.NewSticky();
    const int w = label->Width(), h = label->Height();
    ASSERT_GT(w, 0);
    EXPECT_EQ(label->Position(), pLeft);
    EXPECT_EQ(label->Space(), 5);
    label->SetPosition(pTop);
    label->SetAttachToControl(edit);
    EXPECT_EQ(label->BoundsRect(), Bounds(100, 80 - h - 5, w, h));

    edit->SetBounds(120, 100, 60, 30);  // through the framework
    EXPECT_EQ(label->BoundsRect(), Bounds(120, 100 - h - 5, w, h));
    SetWindowPos(edit->Handle(), nullptr, 140, 110, 60, 30, SWP_NOZORDER);  // behind its back
    EXPECT_EQ(label->BoundsRect(), Bounds(140, 110 - h - 5, w, h));

    label->SetPosition(pRight);
    EXPECT_EQ(label->BoundsRect(), Bounds(140 + 60 + 5, 110, w, h));
    edit->SetWidth(90);  // a size change alone
    EXPECT_EQ(label->Left(), 140 + 90 + 5);
    label->SetPosition(pBottom);
    label->SetSpace(8);
    EXPECT_EQ(label->BoundsRect(), Bounds(140, 110 + 30 + 8, w, h));
    label->SetPosition(pLeft);
    EXPECT_EQ(label->BoundsRect(), Bounds(140 - w - 8, 110, w, h));

    // The watch lasts through a new window.
    edit->RecreateWnd();
    edit->SetTop(20);
    EXPECT_EQ(label->Top(), 20);
}

TEST_F(StickyLabel, ReplacingTheControlLeavesTheFirstOneUnwatched) {
    LabelForm f(App());
    TPanel* first = f.NewTarget(100, 80, 60, 30);
    TPanel* second = f.NewTarget(200, 150, 60, 30);
    TZelStickyLabel* label = f.NewSticky();
    label->SetAttachToControl(first);
    EXPECT_EQ(first->MessageHookCount(), 1);
    label->SetAttachToControl(second);
    EXPECT_EQ(first->MessageHookCount(), 0);
    EXPECT_EQ(second->MessageHookCount(), 1);
    EXPECT_EQ(label->Top(), 150);
    first->SetBounds(10, 10, 60, 30);
    EXPECT_EQ(label->Top(), 150);
    second->SetTop(170);
    EXPECT_EQ(label->Top(), 170);
    label->SetAttachToControl(nullptr);
    EXPECT_EQ(second->MessageHookCount(), 0);
    second->SetTop(190);
    EXPECT_EQ(label->Top(), 170);
}

TEST_F(StickyLabel, TwoWatchersComeOffInEitherOrder) {
    LabelForm f(App());
    TPanel* edit = f.NewTarget(100, 80, 60, 30);
    for (bool firstGoesFirst : {true, false}) {
        TZelStickyLabel* a = f.NewSticky();
        TZelStickyLabel* b = f.NewSticky();
        a->SetAttachToControl(edit);
        b->SetAttachToControl(edit);
        b->SetPosition(pRight);
        ASSERT_EQ(edit->MessageHookCount(), 2);
        TZelStickyLabel* leaving = firstGoesFirst ? a : b;
        TZelStickyLabel* staying = firstGoesFirst ? b : a;
        leaving->Free();
        EXPECT_EQ(edit->MessageHookCount(), 1);
        edit->SetLeft(edit->Left() + 10);
        const int expected = staying == a ? edit->Left() - a->Width() - 5 : edit->Left() + 60 + 5;
        EXPECT_EQ(staying->Left(), expected) << firstGoesFirst;
        staying->Free();
        EXPECT_EQ(edit->MessageHookCount(), 0);
    }
    edit->SetLeft(0);  // nobody left to call
}

TEST_F(StickyLabel, LetsGoOfAControlThatIsFreed) {
    LabelForm f(App());
    // Same owner, and a label of another owner.
    TPanel* edit = f.NewTarget(100, 80, 60, 30);
    TZelStickyLabel* mine = f.NewSticky();
    ScopedFree<TComponent> elsewhere(new TComponent(nullptr));
    TZelStickyLabel* theirs = f.NewSticky(elsewhere.get());
    mine->SetAttachToControl(edit);
    theirs->SetAttachToControl(edit);
    edit->Free();
    EXPECT_EQ(mine->AttachToControl(), nullptr);
    EXPECT_EQ(theirs->AttachToControl(), nullptr);
    mine->SetPosition(pTop);  // nothing to follow, nothing to fail
    theirs->Free();
}

TEST_F(StickyLabel, WhileDesignedItAttachesToTheControlItIsDroppedOn) {
    LabelForm f(App());
    TPanel* edit = f.NewTarget(100, 80, 60, 30);
    TZelStickyLabel* label = f.NewSticky();
    label->SetDesigning(true);
    label->SetBounds(10, 10, label->Width(), label->Height());  // on nothing
    EXPECT_EQ(label->AttachToControl(), nullptr);
    label->SetBounds(110, 85, label->Width(), label->Height());
    EXPECT_EQ(label->AttachToControl(), edit);
    EXPECT_EQ(label->FocusControl(), edit);
    EXPECT_EQ(label->BoundsRect(), Bounds(100 - label->Width() - 5, 80, label->Width(), label->Height()));
}
