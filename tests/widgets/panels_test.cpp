// The suite's panel: where its children go and where its frames are drawn,
// the border width rule, the dialog rim, the background and the caption,
// re-creation, and GDI objects over many paints and re-creations.
#include <gtest/gtest.h>

#include "framework/core/sysutils.h"
#include "framework/win32/forms.h"
#include "tests/widgets/widget_pixels.h"
#include "widgets/background.h"
#include "widgets/labels.h"
#include "widgets/panels.h"

using namespace vexel;
using vexel::testing::CountColor;
using vexel::testing::Fill;
using vexel::testing::FrameworkTest;
using vexel::testing::kInk;
using vexel::testing::SharpFont;

namespace {

constexpr TColor kFace = clTeal;

struct PanelForm {
    TForm* form;
    TZelPanel* panel;
    TGraphicControl* child;
    explicit PanelForm(TComponent* owner) : form(new TForm(owner)) {
        form->SetBorderStyle(bsNone);
        form->SetBounds(0, 0, 200, 160);
        panel = new TZelPanel(form);
        panel->SetParent(form);
        panel->SetBounds(10, 10, 100, 80);
        panel->SetColor(kFace);
        SharpFont(*panel->Font(), kInk);
        panel->Font3D()->SetThreeDimensional(false);
        child = new TGraphicControl(form);  // paints nothing
        child->SetParent(panel);
        child->SetAlign(alClient);
    }
    TBitmap& Render() {
        image.SetSize(0, 0);
        image.SetSize(panel->Width(), panel->Height());
        panel->PaintTo(image.Canvas()->Handle(), 0, 0);
        return image;
    }
    TColor At(int x, int y) { return image.PixelColor(x, y); }
    TBitmap image;
};

TColor Resolved(TColor c) {
    return ColorToRGB(c);
}

}  // namespace

class Panel : public FrameworkTest {};

TEST_F(Panel, ChildrenGoNinePixelsInsideWhileTheInnerFrameStartsAtEight) {
    PanelForm p(App());
    p.panel->SetBorderwidth(5);
    p.panel->FrameOuter()->SetFrameWidth(2);
    p.panel->FrameInner()->SetFrameWidth(2);
    EXPECT_EQ(p.child->BoundsRect(), Rect(9, 9, 91, 71));

    p.Render();
    for (int x : {0, 1, 8, 9})  // both rings of each frame, raised
        EXPECT_EQ(p.At(x, 40), Resolved(clBtnHighlight)) << x;
    for (int x : {99, 98, 91, 90})
        EXPECT_EQ(p.At(x, 40), Resolved(clBtnShadow)) << x;
    for (int x : {2, 7, 10, 89})
        EXPECT_EQ(p.At(x, 40), kFace) << x;
    EXPECT_EQ(p.At(40, 8), Resolved(clBtnHighlight));
    EXPECT_EQ(p.At(40, 71), Resolved(clBtnShadow));

    // 0 or less keeps the width; a frameNone frame takes no room.
    p.panel->SetBorderwidth(0);
    p.panel->SetBorderwidth(-3);
    EXPECT_EQ(p.panel->Borderwidth(), 5);
    EXPECT_EQ(p.child->BoundsRect(), Rect(9, 9, 91, 71));
    p.panel->FrameInner()->SetFrameStyle(frameNone);
    EXPECT_EQ(p.child->BoundsRect(), Rect(7, 7, 93, 73));
    p.panel->SetBorderwidth(1);
    EXPECT_EQ(p.child->BoundsRect(), Rect(3, 3, 97, 77));
    p.panel->FrameOuter()->SetFrameStyle(framePanelUp);  // counts FrameWidth, not both groups
    EXPECT_EQ(p.child->BoundsRect(), Rect(3, 3, 97, 77));
}

TEST_F(Panel, PaintsTheBackgroundThenTheDialogRimThenTheFrames) {
    PanelForm p(App());
    auto* ground = new TZelBackground(p.form);
    ground->SetBackgroundStyle(bSolidcolor);
    ground->SetSolidColor(clAqua);
    p.panel->SetBackground(ground);
    p.panel->SetDlgFrame(true);
    p.Render();
    EXPECT_EQ(p.At(50, 40), clAqua);
    EXPECT_EQ(CountColor(p.image, kFace), 0);
    // The rim: (highlight, black), (face, shadow), (face, face); then the
    // outer frame and, with Borderwidth 0 leaving no space, the inner one.
    const TColor leftEdge[] = {clBtnHighlight, clBtnFace, clBtnFace, clBtnHighlight, clBtnHighlight, clAqua};
    const TColor rightEdge[] = {clBlack, clBtnShadow, clBtnFace, clBtnShadow, clBtnShadow, clAqua};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(p.At(i, 40), Resolved(leftEdge[i])) << i;
        EXPECT_EQ(p.At(99 - i, 40), Resolved(rightEdge[i])) << i;
    }
    EXPECT_EQ(p.At(40, 0), Resolved(clBtnHighlight));
    EXPECT_EQ(p.At(40, 79), clBlack);
    // The rim is drawn over the children's area: they start inside the frames only.
    EXPECT_EQ(p.child->BoundsRect(), Rect(2, 2, 98, 78));

    ground->Free();
    EXPECT_EQ(p.panel->Background(), nullptr);
    p.Render();
    EXPECT_EQ(p.At(50, 40), kFace);
}

TEST_F(Panel, TheCaptionSitsInsideTheFramesByAlignment) {
    PanelForm p(App());
    p.panel->SetBorderwidth(3);
    p.panel->SetCaption("Compressing");
    // Inside: 1 (outer) + 3 + 1 (space) + 1 (inner) = 6 on every side.
    const TRect inside{6, 6, 94, 74};
    const UINT alignments[] = {DT_LEFT, DT_RIGHT, DT_CENTER};
    for (TAlignment alignment : {taLeftJustify, taRightJustify, taCenter}) {
        p.panel->SetAlignment(alignment);
        p.Render();
        TBitmap expected(100, 80);
        Fill(expected, kFace);
        DrawText3D(p.panel->Font3D(), p.panel->Font(), expected.Canvas()->Handle(), true,
                   DT_SINGLELINE | DT_VCENTER | DT_EXPANDTABS | alignments[alignment], "Compressing", inside);
        int differ = 0;
        for (int y = 6; y < 74; ++y)
            for (int x = 6; x < 94; ++x)
                differ += (p.At(x, y) == kInk) != (expected.PixelColor(x, y) == kInk);
        EXPECT_EQ(differ, 0) << alignment;
        EXPECT_GT(CountColor(p.image, kInk), 20);
    }
    // One caption only: the plain panel's own is not drawn under it.
    p.panel->SetAlignment(taLeftJustify);
    p.Render();
    EXPECT_EQ(CountColor(p.image, kInk, {0, 0, 6, 80}), 0);
}

TEST_F(Panel, AFont3DChangeRecreatesTheWindowAndKeepsTheChildren) {
    PanelForm p(App());
    HWND before = p.panel->Handle();
    auto* look = new TZelFont3D(nullptr);
    look->SetStyle3D(fontRaised);
    p.panel->SetFont3D(look);
    delete look;
    EXPECT_EQ(p.panel->Font3D()->Style3D(), fontRaised);
    EXPECT_TRUE(p.panel->HandleAllocated());
    EXPECT_NE(p.panel->Handle(), before);
    EXPECT_EQ(p.child->Parent(), p.panel);
}

TEST_F(Panel, ManyPaintsAndRecreationsLeakNothing) {
    PanelForm p(App());
    auto* ground = new TZelBackground(p.form);
    ground->Gradient()->SetFillStyle(TZelFillStyle::Circle);
    ground->Gradient()->SetColorCount(8);
    p.panel->SetBackground(ground);
    p.panel->SetDlgFrame(true);
    p.panel->SetCaption("Options");
    auto* label = new TZelLabel(p.form);
    label->SetParent(p.panel);
    label->SetBounds(5, 5, 60, 20);
    label->SetCaption("&Password");
    label->SetBackground(ground);
    label->Frame()->SetFrameStyle(frameFramedUp);
    auto* faced = new TZelLabel(p.form);
    faced->SetParent(p.panel);
    faced->SetBounds(5, 40, 60, 20);
    faced->SetCaption("Vexel");
    faced->SetFontBackground(ground);
    auto* sticky = new TZelStickyLabel(p.form);
    sticky->SetParent(p.form);
    sticky->SetCaption("Panel:");
    sticky->SetAttachToControl(p.panel);
    TBitmap image(200, 160);
    p.form->PaintTo(image.Canvas()->Handle(), 0, 0);
    const int live = gdi::LiveObjects(), failed = gdi::FailedDeletes();
    auto* look = new TZelFont3D(nullptr);
    for (int i = 0; i < 100; ++i) {
        p.form->PaintTo(image.Canvas()->Handle(), 0, 0);
        look->SetOffset(static_cast<uint8_t>(1 + i % 2));
        p.panel->SetFont3D(look);  // a new window each time
        p.panel->SetLeft(10 + i % 3);
    }
    delete look;
    EXPECT_EQ(gdi::LiveObjects(), live);
    EXPECT_EQ(gdi::FailedDeletes(), failed);
    EXPECT_EQ(sticky->Left(), p.panel->Left() - sticky->Width() - 5);
}
