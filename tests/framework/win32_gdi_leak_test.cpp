// Painting many times leaks no GDI object: counted by the framework's own
// tally (Wine's GetGuiResources is a stub) and, where the system counts,
// by GetGuiResources too.
#include <gtest/gtest.h>

#include "framework/win32/controls.h"
#include "framework/win32/forms.h"
#include "framework/win32/image_list.h"
#include "framework/win32/labels.h"
#include "framework/win32/panels.h"
#include "tests/framework/win32_test_support.h"

using namespace vexel;
using vexel::testing::FrameworkTest;

namespace {

// Uses every kind of GDI object the framework makes.
class TBusyControl : public TGraphicControl {
public:
    using TGraphicControl::TGraphicControl;

protected:
    void Paint() override {
        TCanvas* c = Canvas();
        c->Brush()->SetColor(static_cast<TColor>(Tag()));  // a new brush every time
        c->Brush()->SetStyle(bsDiagCross);
        c->FillRect({0, 0, Width(), Height()});
        c->Pen()->SetColor(clNavy);
        c->Pen()->SetWidth(2);
        c->Ellipse(0, 0, Width(), Height());
        c->Font()->SetHeight(-12 - static_cast<int>(Tag() % 3));
        c->TextOut(2, 2, "12 %");
        TBitmap work(8, 8);
        work.Canvas()->Brush()->SetColor(clLime);
        work.Canvas()->FillRect({0, 0, 4, 4});
        c->BrushCopy({0, 0, 8, 8}, &work, {0, 0, 8, 8}, clLime);
        ScopedFree<TImageList> list(new TImageList(nullptr));
        list->SetSize(8, 8);
        list->AddMasked(&work, clWhite);
        list->Draw(c, 10, 10, 0);
        SetTag(Tag() + 1);
    }
};

DWORD SystemGdiCount() {
    return GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
}

}  // namespace

class GdiLeaks : public FrameworkTest {};

TEST_F(GdiLeaks, TheTallyCountsAndCatchesADeleteWhileSelected) {
    int live = gdi::LiveObjects(), failed = gdi::FailedDeletes();
    {
        ScopedBrush brush(CreateSolidBrush(RGB(1, 2, 3)));
        EXPECT_EQ(gdi::LiveObjects(), live + 1);
        AutoDeleteDC dc;
        EXPECT_EQ(gdi::LiveObjects(), live + 2);
        HGDIOBJ old = SelectObject(dc.Get(), brush.Get());
        brush.Reset();  // still selected: not really freed
        EXPECT_EQ(gdi::FailedDeletes(), failed + 1);
        SelectObject(dc.Get(), old);
    }
    EXPECT_EQ(gdi::LiveObjects(), live);
}

TEST_F(GdiLeaks, ManyPaintsLeakNothing) {
    auto* form = new TForm(App());
    form->SetBorderStyle(bsNone);
    form->SetBounds(0, 0, 200, 120);
    auto* panel = new TPanel(form);
    panel->SetParent(form);
    panel->SetAlign(alClient);
    panel->SetBevelInner(bvLowered);
    panel->SetCaption("Compressing ...");
    auto* label = new TLabel(form);
    label->SetParent(panel);
    label->SetCaption("Information list:");
    auto* busy = new TBusyControl(form);
    busy->SetParent(panel);
    busy->SetBounds(20, 30, 60, 40);
    form->SetDoubleBuffered(true);
    panel->SetDoubleBuffered(true);
    form->Show();
    App()->ProcessMessages();

    TBitmap image(200, 120);
    // Warm up caches made once per process (fonts, classes, the hint window).
    form->PaintTo(image.Canvas()->Handle(), 0, 0);
    int live = gdi::LiveObjects(), failed = gdi::FailedDeletes();
    DWORD system = SystemGdiCount();

    for (int i = 0; i < 300; ++i) {
        form->PaintTo(image.Canvas()->Handle(), 0, 0);
        RedrawWindow(form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        ScopedControlCanvas drawing(*busy);
        ASSERT_TRUE(drawing.Valid());
        busy->Canvas()->FillRect({0, 0, 5, 5});
    }
    App()->ProcessMessages();

    EXPECT_EQ(gdi::LiveObjects(), live);
    EXPECT_EQ(gdi::FailedDeletes(), failed);
    if (system != 0) {  // zero means the system does not count (Wine)
        EXPECT_EQ(SystemGdiCount(), system);
    }
    EXPECT_GE(busy->Tag(), 600);
    form->Hide();
}
