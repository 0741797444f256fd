// Windowed and windowless controls inside hidden forms: painting at offsets,
// drawing at once, invalidation, mouse routing and capture, exceptions in
// handlers, alignment, panels and labels.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/core/sysutils.h"
#include "framework/win32/controls.h"
#include "framework/win32/forms.h"
#include "framework/win32/labels.h"
#include "framework/win32/panels.h"
#include "tests/framework/win32_test_support.h"

using namespace vexel;
using vexel::testing::FrameworkTest;
using vexel::testing::MousePos;

namespace {

// Paints its whole area in one colour, after trying to paint beyond it.
class TSwatch : public TGraphicControl {
public:
    TSwatch(TComponent* owner, TColor color) : TGraphicControl(owner), color_(color) { SetBounds(0, 0, 10, 10); }
    int Paints = 0;
    bool ThrowInPaint = false;
    HDC SeenDC = nullptr;
    TPoint SeenOrigin;
    TRect SeenClip;

    void DrawNow() {
        ScopedControlCanvas drawing(*this);
        Valid = drawing.Valid();
        if (Valid)
            Paint();
    }
    bool Valid = false;

protected:
    void Paint() override {
        ++Paints;
        if (ThrowInPaint)
            throw EConvertError("'clPink' is not a valid integer value");
        SeenDC = Canvas()->Handle();
        POINT origin{};
        GetViewportOrgEx(SeenDC, &origin);
        SeenOrigin = {origin.x, origin.y};
        SeenClip = Canvas()->ClipRect();
        Canvas()->Brush()->SetColor(clBlack);
        Canvas()->FillRect({-5, -5, Width() + 5, Height() + 5});  // must be clipped
        Canvas()->Brush()->SetColor(color_);
        Canvas()->FillRect({0, 0, Width(), Height()});
    }

private:
    TColor color_;
};

struct TestForm {
    TForm* form;
    explicit TestForm(TComponent* owner = nullptr) : form(new TForm(owner)) {
        form->SetBorderStyle(bsNone);
        form->SetBounds(100, 100, 120, 80);
        form->SetColor(clWhite);
    }
    ~TestForm() { form->Free(); }
    TForm* operator->() { return form; }
};

}  // namespace

class Controls : public FrameworkTest {};

TEST_F(Controls, AGraphicControlPaintsAtItsOffsetClippedToItsBounds) {
    TestForm f;
    auto* swatch = new TSwatch(f.form, clRed);
    swatch->SetParent(f.form);
    swatch->SetBounds(30, 20, 10, 5);
    TBitmap image(120, 80);
    f->PaintTo(image.Canvas()->Handle(), 0, 0);
    EXPECT_EQ(image.PixelColor(30, 20), clRed);
    EXPECT_EQ(image.PixelColor(39, 24), clRed);
    EXPECT_EQ(image.PixelColor(29, 20), clWhite);
    EXPECT_EQ(image.PixelColor(40, 24), clWhite);
    EXPECT_EQ(image.PixelColor(30, 25), clWhite);
    EXPECT_EQ(image.PixelColor(30, 19), clWhite);
    EXPECT_FALSE(swatch->Canvas()->HandleAllocated());  // unbound again after painting
}

TEST_F(Controls, TheWindowProcedurePaintsIntoADCGivenWithWmPaint) {
    TestForm f;
    auto* swatch = new TSwatch(f.form, clRed);
    swatch->SetParent(f.form);
    swatch->SetBounds(5, 6, 10, 10);
    TBitmap image(120, 80);
    SendMessageA(f->Handle(), WM_PAINT, reinterpret_cast<WPARAM>(image.Canvas()->Handle()), 0);
    EXPECT_EQ(image.PixelColor(5, 6), clRed);
    EXPECT_EQ(image.PixelColor(4, 6), clWhite);  // no erase: the bitmap's own white
    EXPECT_EQ(swatch->SeenOrigin, Point(5, 6));
    EXPECT_EQ(swatch->SeenClip, Rect(0, 0, 10, 10));
}

TEST_F(Controls, ChildrenPaintInZOrderThroughNestedParents) {
    TestForm f;
    auto* panel = new TPanel(f.form);
    panel->SetParent(f.form);
    panel->SetBevelOuter(bvNone);
    panel->SetColor(clYellow);
    panel->SetBounds(10, 10, 60, 40);
    auto* below = new TSwatch(f.form, clRed);
    below->SetParent(panel);
    below->SetBounds(5, 5, 20, 20);
    auto* above = new TSwatch(f.form, clBlue);
    above->SetParent(panel);
    above->SetBounds(15, 15, 20, 20);
    TBitmap image(120, 80);
    f->PaintTo(image.Canvas()->Handle(), 0, 0);
    EXPECT_EQ(image.PixelColor(10, 10), clYellow);
    EXPECT_EQ(image.PixelColor(16, 16), clRed);
    EXPECT_EQ(image.PixelColor(26, 26), clBlue);  // overlap: the later one wins
    EXPECT_EQ(image.PixelColor(65, 45), clYellow);
    EXPECT_EQ(image.PixelColor(75, 10), clWhite);  // beyond the panel
}

TEST_F(Controls, ScopedControlCanvasDrawsAtOnceOnTheParentsWindow) {
    TestForm f;
    auto* swatch = new TSwatch(f.form, clRed);
    swatch->SetParent(f.form);
    swatch->SetBounds(30, 20, 10, 5);
    f->Show();  // a hidden window's DC clips everything away
    App()->ProcessMessages();
    swatch->DrawNow();  // the first drawing also makes the canvas's brush
    int live = gdi::LiveObjects();
    swatch->DrawNow();
    EXPECT_TRUE(swatch->Valid);
    EXPECT_EQ(swatch->SeenOrigin, Point(30, 20));
    EXPECT_EQ(swatch->SeenClip, Rect(0, 0, 10, 5));
    EXPECT_FALSE(swatch->Canvas()->HandleAllocated());
    EXPECT_EQ(gdi::LiveObjects(), live);  // the window DC went back

    f->Hide();
    swatch->Hide();
    swatch->Paints = 0;
    swatch->DrawNow();
    EXPECT_FALSE(swatch->Valid);
    EXPECT_EQ(swatch->Paints, 0);
}

TEST_F(Controls, ScopedControlCanvasNeedsAParentWindow) {
    auto* swatch = new TSwatch(nullptr, clRed);
    swatch->DrawNow();
    EXPECT_FALSE(swatch->Valid);
    TestForm f;  // no window made yet
    swatch->SetParent(f.form);
    EXPECT_FALSE(f->HandleAllocated());
    swatch->DrawNow();
    EXPECT_FALSE(swatch->Valid);
    swatch->Free();
}

TEST_F(Controls, DrawingAtOnceReachesTheScreen) {
    TestForm f;
    auto* swatch = new TSwatch(f.form, clRed);
    swatch->SetParent(f.form);
    swatch->SetBounds(30, 20, 10, 5);
    f->Show();
    App()->ProcessMessages();
    swatch->DrawNow();
    ScopedGetDC dc(f->Handle());
    EXPECT_EQ(GetPixel(dc.Get(), 31, 21), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(dc.Get(), 29, 21), RGB(255, 255, 255));
    f->Hide();
}

TEST_F(Controls, InvalidateMarksTheControlsRectangleOfTheParent) {
    TestForm f;
    auto* swatch = new TSwatch(f.form, clRed);
    swatch->SetParent(f.form);
    swatch->SetBounds(30, 20, 10, 5);
    f->Show();  // hidden windows keep no update region
    HWND window = f->Handle();
    App()->ProcessMessages();
    ValidateRect(window, nullptr);
    swatch->Invalidate();
    RECT update{};
    ASSERT_TRUE(GetUpdateRect(window, &update, FALSE));
    EXPECT_EQ(FromRECT(update), Rect(30, 20, 40, 25));
    f->Hide();
}

TEST_F(Controls, ClicksGoToTheGraphicControlUnderThePointer) {
    TestForm f;
    auto* swatch = new TSwatch(f.form, clRed);
    swatch->SetParent(f.form);
    swatch->SetBounds(30, 20, 10, 5);
    int swatchClicks = 0, formClicks = 0;
    TPoint down{-1, -1};
    swatch->OnClick = [&](TObject*) { ++swatchClicks; };
    swatch->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int x, int y) { down = {x, y}; };
    f->OnClick = [&](TObject*) { ++formClicks; };
    HWND window = f->Handle();

    SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MousePos(33, 22));
    EXPECT_EQ(GetCaptureControl(), swatch);
    EXPECT_EQ(GetCapture(), window);
    SendMessageA(window, WM_LBUTTONUP, 0, MousePos(34, 23));
    EXPECT_EQ(down, Point(3, 2));  // in the control's own coordinates
    EXPECT_EQ(swatchClicks, 1);
    EXPECT_EQ(formClicks, 0);
    EXPECT_EQ(GetCaptureControl(), nullptr);

    SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MousePos(5, 5));
    SendMessageA(window, WM_LBUTTONUP, 0, MousePos(5, 5));
    EXPECT_EQ(formClicks, 1);
    EXPECT_EQ(swatchClicks, 1);
}

TEST_F(Controls, AReleaseOutsideAfterCaptureIsNoClick) {
    TestForm f;
    auto* swatch = new TSwatch(f.form, clRed);
    swatch->SetParent(f.form);
    swatch->SetBounds(30, 20, 10, 5);
    int clicks = 0, ups = 0;
    swatch->OnClick = [&](TObject*) { ++clicks; };
    swatch->OnMouseUp = [&](TObject*, TMouseButton, TShiftState, int, int) { ++ups; };
    HWND window = f->Handle();
    SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MousePos(33, 22));
    SendMessageA(window, WM_LBUTTONUP, 0, MousePos(90, 60));  // captured: still ours
    EXPECT_EQ(ups, 1);
    EXPECT_EQ(clicks, 0);
}

TEST_F(Controls, DisabledGraphicControlsLetTheMouseThrough) {
    TestForm f;
    auto* swatch = new TSwatch(f.form, clRed);
    swatch->SetParent(f.form);
    swatch->SetEnabled(false);
    int swatchDowns = 0, formDowns = 0;
    swatch->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { ++swatchDowns; };
    f->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { ++formDowns; };
    SendMessageA(f->Handle(), WM_RBUTTONDOWN, MK_RBUTTON, MousePos(2, 2));
    EXPECT_EQ(swatchDowns, 0);
    EXPECT_EQ(formDowns, 1);
}

TEST_F(Controls, DoubleClicksNeedTheStyle) {
    TestForm f;
    auto* swatch = new TSwatch(f.form, clRed);
    swatch->SetParent(f.form);
    int clicks = 0, doubles = 0;
    TShiftState shift = 0;
    swatch->OnClick = [&](TObject*) { ++clicks; };
    swatch->OnDblClick = [&](TObject*) { ++doubles; };
    swatch->OnMouseDown = [&](TObject*, TMouseButton, TShiftState s, int, int) { shift = s; };
    HWND window = f->Handle();
    SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MousePos(2, 2));
    SendMessageA(window, WM_LBUTTONUP, 0, MousePos(2, 2));
    SendMessageA(window, WM_LBUTTONDBLCLK, MK_LBUTTON, MousePos(2, 2));
    SendMessageA(window, WM_LBUTTONUP, 0, MousePos(2, 2));
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(doubles, 1);
    EXPECT_TRUE(shift & ssDouble);

    swatch->SetControlStyle(swatch->ControlStyle() & ~static_cast<TControlStyle>(csDoubleClicks));
    SendMessageA(window, WM_LBUTTONDBLCLK, MK_LBUTTON, MousePos(2, 2));
    SendMessageA(window, WM_LBUTTONUP, 0, MousePos(2, 2));
    EXPECT_EQ(doubles, 1);
    EXPECT_EQ(clicks, 2);  // an ordinary press and release
}

TEST_F(Controls, MouseEnterAndLeaveFollowThePointer) {
    TestForm f;
    auto* swatch = new TSwatch(f.form, clRed);
    swatch->SetParent(f.form);
    swatch->SetBounds(30, 20, 10, 5);
    swatch->SetHint("Close and quit");
    swatch->SetShowHint(true);
    std::vector<std::string> events;
    swatch->OnMouseEnter = [&](TObject*) { events.push_back("enter"); };
    swatch->OnMouseLeave = [&](TObject*) { events.push_back("leave"); };
    HWND window = f->Handle();
    SendMessageA(window, WM_MOUSEMOVE, 0, MousePos(5, 5));
    SendMessageA(window, WM_MOUSEMOVE, 0, MousePos(31, 21));
    EXPECT_EQ(GetMouseControl(), swatch);
    EXPECT_EQ(App()->HintControl(), swatch);
    SendMessageA(window, WM_MOUSEMOVE, 0, MousePos(32, 22));
    SendMessageA(window, WM_MOUSEMOVE, 0, MousePos(60, 60));
    EXPECT_EQ(events, (std::vector<std::string>{"enter", "leave"}));
    EXPECT_EQ(GetMouseControl(), f.form);
    EXPECT_EQ(App()->HintControl(), nullptr);
}

TEST_F(Controls, AnExceptionInAHandlerGoesToTheApplication) {
    TestForm f;
    auto* swatch = new TSwatch(f.form, clRed);
    swatch->SetParent(f.form);
    swatch->OnClick = [](TObject*) { throw EInOutError("File not found", 2); };
    HWND window = f->Handle();
    SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MousePos(2, 2));
    LRESULT result = SendMessageA(window, WM_LBUTTONUP, 0, MousePos(2, 2));
    EXPECT_EQ(result, 0);
    ASSERT_EQ(Errors, std::vector<std::string>{"File not found"});
    EXPECT_EQ(ErrorSenders[0], f.form);
    EXPECT_EQ(GetCaptureControl(), nullptr);  // released before the handler ran
}

TEST_F(Controls, AnExceptionWhilePaintingLeavesNothingBehind) {
    TestForm f;
    auto* swatch = new TSwatch(f.form, clRed);
    swatch->SetParent(f.form);
    swatch->ThrowInPaint = true;
    f->Show();
    UpdateWindow(f->Handle());  // the first paint also makes the form's erase brush
    ASSERT_EQ(Errors.size(), 1u);
    int live = gdi::LiveObjects();
    InvalidateRect(f->Handle(), nullptr, TRUE);
    UpdateWindow(f->Handle());
    EXPECT_EQ(swatch->Paints, 2);
    ASSERT_EQ(Errors.size(), 2u);
    EXPECT_EQ(Errors[1], "'clPink' is not a valid integer value");
    EXPECT_FALSE(swatch->Canvas()->HandleAllocated());
    RECT update{};
    EXPECT_FALSE(GetUpdateRect(f->Handle(), &update, FALSE));  // EndPaint ran: no endless repaint
    EXPECT_EQ(gdi::LiveObjects(), live);
    f->Hide();
}

TEST_F(Controls, AlignedChildrenShareTheClientArea) {
    TestForm f;
    auto* top = new TPanel(f.form);
    top->SetParent(f.form);
    top->SetHeight(30);
    top->SetAlign(alTop);
    auto* left = new TSwatch(f.form, clRed);
    left->SetParent(f.form);
    left->SetWidth(15);
    left->SetAlign(alLeft);
    auto* rest = new TPanel(f.form);
    rest->SetParent(f.form);
    rest->SetAlign(alClient);
    rest->SetBorderWidth(4);  // bevel 1 + border 4: children start 5 inside
    auto* inner = new TSwatch(f.form, clBlue);
    inner->SetParent(rest);
    inner->SetAlign(alClient);

    EXPECT_EQ(top->BoundsRect(), Rect(0, 0, 120, 30));
    EXPECT_EQ(left->BoundsRect(), Rect(0, 30, 15, 80));
    EXPECT_EQ(rest->BoundsRect(), Rect(15, 30, 120, 80));
    EXPECT_EQ(inner->BoundsRect(), Rect(5, 5, 100, 45));

    f->Handle();
    f->SetBounds(100, 100, 200, 100);  // through the window and back
    EXPECT_EQ(top->BoundsRect(), Rect(0, 0, 200, 30));
    EXPECT_EQ(rest->BoundsRect(), Rect(15, 30, 200, 100));
    EXPECT_EQ(inner->BoundsRect(), Rect(5, 5, 180, 65));
}

TEST_F(Controls, PanelsPaintTheirBevelsInSystemColours) {
    auto* panel = new TPanel(nullptr);
    panel->SetBounds(0, 0, 20, 10);
    panel->SetBevelInner(bvLowered);
    panel->SetColor(clYellow);
    TBitmap image(20, 10);
    panel->PaintTo(image.Canvas()->Handle(), 0, 0);
    TColor highlight = ColorToRGB(clBtnHighlight), shadow = ColorToRGB(clBtnShadow);
    EXPECT_EQ(image.PixelColor(0, 0), highlight);
    EXPECT_EQ(image.PixelColor(19, 9), shadow);
    EXPECT_EQ(image.PixelColor(1, 1), shadow);  // inner bevel, lowered
    EXPECT_EQ(image.PixelColor(18, 8), highlight);
    EXPECT_EQ(image.PixelColor(5, 5), clYellow);
    panel->Free();
}

TEST_F(Controls, LabelsSizeThemselvesToTheirText) {
    TestForm f;
    auto* label = new TLabel(f.form);
    label->SetParent(f.form);
    label->SetCaption("Hi");
    int shortWidth = label->Width();
    label->SetCaption("Information list:");
    EXPECT_GT(label->Width(), shortWidth);
    EXPECT_GT(label->Height(), 0);
    label->Font()->SetHeight(-30);
    EXPECT_GE(label->Height(), 30);
    label->SetAutoSize(false);
    label->SetCaption("");
    label->SetBounds(0, 0, 50, 20);
    EXPECT_EQ(label->Width(), 50);
}

TEST_F(Controls, TransparentLabelsPaintNoGround) {
    TestForm f;
    auto* label = new TLabel(f.form);
    label->SetParent(f.form);
    label->SetAutoSize(false);
    label->SetBounds(10, 10, 50, 20);
    label->SetColor(clRed);
    label->SetTransparent(true);
    TBitmap image(120, 80);
    f->PaintTo(image.Canvas()->Handle(), 0, 0);
    EXPECT_EQ(image.PixelColor(30, 20), clWhite);
    label->SetTransparent(false);
    f->PaintTo(image.Canvas()->Handle(), 0, 0);
    EXPECT_EQ(image.PixelColor(30, 20), clRed);
    EXPECT_EQ(image.PixelColor(60, 20), clWhite);
}

TEST_F(Controls, LabelsForgetAFreedFocusControl) {
    TestForm a, b;
    auto* label = new TLabel(a.form);
    auto* panel = new TPanel(b.form);
    label->SetFocusControl(panel);
    panel->Free();
    EXPECT_EQ(label->FocusControl(), nullptr);
}

TEST_F(Controls, ChildrenFollowTheParentsFontAndColourUntilSetThemselves) {
    TestForm f;
    auto* label = new TLabel(f.form);
    label->SetParent(f.form);
    EXPECT_EQ(label->Color(), clWhite);
    f->Font()->SetName("Arial");
    EXPECT_EQ(label->Font()->Name(), "Arial");
    label->Font()->SetName("Courier New");
    f->Font()->SetName("Tahoma");
    EXPECT_EQ(label->Font()->Name(), "Courier New");
    EXPECT_FALSE(label->ParentFont());
}

TEST_F(Controls, FreeingAParentFreesItsChildrenAndTheirWindows) {
    TestForm f;
    auto* panel = new TPanel(nullptr);  // owned by nobody, parented to the form
    panel->SetParent(f.form);
    auto* inner = new TPanel(nullptr);
    inner->SetParent(panel);
    HWND innerWindow = inner->Handle();
    ASSERT_TRUE(IsWindow(innerWindow));
    bool freed = false;
    struct TWatch : TComponent {
        bool* flag;
        TWatch(TComponent* o, bool* f) : TComponent(o), flag(f) {}
        ~TWatch() override { *flag = true; }
    };
    new TWatch(inner, &freed);
    panel->Free();
    EXPECT_FALSE(IsWindow(innerWindow));
    EXPECT_EQ(f->ControlCount(), 0);
    EXPECT_TRUE(freed);  // inner went with its parent, and what inner owned with it
}
