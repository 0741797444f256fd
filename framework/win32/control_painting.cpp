#include "framework/win32/controls.h"

#include "framework/core/sysutils.h"
#include "framework/win32/control_internals.h"

namespace vexel {

using namespace detail;

void TWinControl::PaintTo(HDC DC, int X, int Y) {
    if (!handle_ && Parent()) {
        // A window of a standard class paints itself, so it needs to exist.
        TCreateParams params;
        CreateParams(params);
        if (!params.WinClassName.empty())
            HandleNeeded();
    }
    ScopedSaveDC save(DC);
    OffsetViewportOrgEx(DC, X, Y, nullptr);
    TRect client = ClientRect();
    IntersectClipRect(DC, 0, 0, client.Width(), client.Height());
    Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(DC), reinterpret_cast<LPARAM>(DC));
    Perform(WM_PAINT, reinterpret_cast<WPARAM>(DC), 0);
    bool designing = (ComponentState() & csDesigning) != 0;
    for (TControl* child : controls_)
        if (auto* windowed = dynamic_cast<TWinControl*>(child))
            if (windowed->visible_ || designing)
                windowed->PaintTo(DC, windowed->left_, windowed->top_);
}

void TWinControl::PaintControls(HDC DC) {
    bool designing = (ComponentState() & csDesigning) != 0;
    std::vector<TControl*> children = controls_;
    for (TControl* child : children) {
        auto* graphic = dynamic_cast<TGraphicControl*>(child);
        if (!graphic || !(graphic->visible_ || designing))
            continue;
        RECT bounds = ToRECT(graphic->BoundsRect());
        if (!RectVisible(DC, &bounds))
            continue;
        ScopedSaveDC save(DC);
        OffsetViewportOrgEx(DC, graphic->left_, graphic->top_, nullptr);
        IntersectClipRect(DC, 0, 0, graphic->width_, graphic->height_);
        ScopedCanvasHandle bind(graphic->canvas_, DC);
        graphic->PaintWithFocus();
    }
}

void TWinControl::PaintHandler(TMessage& Message) {
    Message.Result = 0;
    if (HDC given = reinterpret_cast<HDC>(Message.WParam)) {
        // A DC handed in with the message: paint into it, no BeginPaint.
        PaintWindow(given);
        PaintControls(given);
        return;
    }
    if (!handle_)
        return;
    ScopedPaint paint(handle_);
    if (!paint.Get())
        return;
    if (!doubleBuffered_) {
        PaintWindow(paint.Get());
        PaintControls(paint.Get());
        return;
    }
    // Compose the invalid area off-screen and copy it in one go.
    const RECT& area = paint.PaintRect();
    int w = area.right - area.left, h = area.bottom - area.top;
    if (w <= 0 || h <= 0)
        return;
    AutoDeleteDC memory(paint.Get());
    ScopedBitmap buffer(CreateCompatibleBitmap(paint.Get(), w, h));
    if (!buffer)
        throw EOutOfResources("Out of system resources");
    ScopedSelect select(memory.Get(), buffer.Get());
    SetViewportOrgEx(memory.Get(), -area.left, -area.top, nullptr);
    SendMessageW(handle_, WM_ERASEBKGND, reinterpret_cast<WPARAM>(memory.Get()), reinterpret_cast<LPARAM>(memory.Get()));
    PaintWindow(memory.Get());
    PaintControls(memory.Get());
    SetViewportOrgEx(memory.Get(), 0, 0, nullptr);
    BitBlt(paint.Get(), area.left, area.top, w, h, memory.Get(), 0, 0, SRCCOPY);
}

HBRUSH TWinControl::ColorBrush() {
    if (!colorBrush_)
        colorBrush_.Reset(CreateSolidBrush(GdiColor(Color())));
    return colorBrush_.Get();
}

void TWinControl::EraseBackground(HDC DC) {
    RECT r = ToRECT(ClientRect());
    FillRect(DC, &r, ColorBrush());
}

// ---- TGraphicControl ----

TGraphicControl::TGraphicControl(TComponent* AOwner) : TControl(AOwner) {}

void TGraphicControl::PaintTo(HDC DC, int X, int Y) {
    ScopedSaveDC save(DC);
    OffsetViewportOrgEx(DC, X, Y, nullptr);
    IntersectClipRect(DC, 0, 0, width_, height_);
    ScopedCanvasHandle bind(canvas_, DC);
    PaintWithFocus();
}

// ---- TCustomControl ----

TCustomControl::TCustomControl(TComponent* AOwner) : TWinControl(AOwner) {}
TCustomControl::~TCustomControl() = default;

void TCustomControl::PaintWindow(HDC DC) {
    ScopedCanvasHandle bind(canvas_, DC);
    Paint();
}

// ---- ScopedControlCanvas ----

ScopedControlCanvas::ScopedControlCanvas(TControl& Control) {
    TCanvas* canvas = Control.ControlCanvas();
    if (!canvas)
        return;
    if (canvas->HandleAllocated()) {
        valid_ = true;  // already painting: draw on what Paint draws on
        return;
    }
    if (!Control.visible_ && !(Control.ComponentState() & csDesigning))
        return;
    if (auto* windowed = dynamic_cast<TWinControl*>(&Control)) {
        if (!windowed->HandleAllocated())
            return;
        dc_.emplace(windowed->Handle());
    } else {
        TWinControl* parent = Control.Parent();
        if (!parent || !parent->HandleAllocated())
            return;
        dc_.emplace(parent->Handle());
        if (dc_->Get()) {
            SetViewportOrgEx(dc_->Get(), Control.Left(), Control.Top(), nullptr);
            IntersectClipRect(dc_->Get(), 0, 0, Control.Width(), Control.Height());
        }
    }
    if (!dc_->Get())
        return;
    bind_.emplace(*canvas, dc_->Get());
    valid_ = true;
}

}  // namespace vexel
