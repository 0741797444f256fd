#include "framework/win32/graphics.h"
#include "framework/win32/graphics_internals.h"

#include <cstring>

#include "framework/core/sysutils.h"
#include "framework/win32/system_errors.h"
#include "framework/win32/system_text.h"

namespace vexel {

namespace {

TColor SystemColor(int Index) {
    return static_cast<TColor>(GetSysColor(Index));
}

// System colours resolve through the live system scheme in every program
// that draws.
struct InstallSystemColors {
    InstallSystemColors() { SetSysColorFunc(&SystemColor); }
} g_installSystemColors;

}  // namespace

// ---- TFont ----

TFont::TFont() = default;

int TFont::PixelsPerInch() {
    static int ppi = [] {
        ScopedGetDC screen(nullptr);
        int value = screen.Get() ? GetDeviceCaps(screen.Get(), LOGPIXELSY) : 0;
        return value > 0 ? value : 96;
    }();
    return ppi;
}

void TFont::Assign(TPersistent* Source) {
    if (auto* font = dynamic_cast<TFont*>(Source)) {
        if (font == this)
            return;
        name_ = font->name_;
        height_ = font->height_;
        color_ = font->color_;
        style_ = font->style_;
        charset_ = font->charset_;
        pitch_ = font->pitch_;
        quality_ = font->quality_;
        HandleChanged();
        return;
    }
    TGraphicsObject::Assign(Source);
}

HFONT TFont::Handle() {
    if (!handle_) {
        LOGFONTW lf{};
        lf.lfHeight = height_;
        lf.lfWeight = (style_ & fsBold) ? FW_BOLD : FW_NORMAL;
        lf.lfItalic = (style_ & fsItalic) ? 1 : 0;
        lf.lfUnderline = (style_ & fsUnderline) ? 1 : 0;
        lf.lfStrikeOut = (style_ & fsStrikeOut) ? 1 : 0;
        lf.lfCharSet = charset_;
        lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
        lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
        static const BYTE kQualities[] = {DEFAULT_QUALITY,        DRAFT_QUALITY,       PROOF_QUALITY,
                                          NONANTIALIASED_QUALITY, ANTIALIASED_QUALITY, CLEARTYPE_QUALITY};
        lf.lfQuality = kQualities[quality_];
        static const BYTE kPitches[] = {DEFAULT_PITCH, VARIABLE_PITCH, FIXED_PITCH};
        lf.lfPitchAndFamily = kPitches[pitch_];
        wcsncpy(lf.lfFaceName, ToSystem(name_).c_str(), LF_FACESIZE - 1);
        handle_.Reset(CreateFontIndirectW(&lf));
        if (!handle_)
            throw EOutOfResources("Out of system resources");
    }
    return handle_.Get();
}

void TFont::HandleChanged() {
    handle_.Reset();
    Changed();
}

void TFont::SetName(const std::string& Value) {
    name_ = Value;
    HandleChanged();
}

void TFont::SetHeight(int Value) {
    height_ = Value;
    HandleChanged();
}

int TFont::Size() const {
    return -MulDiv(height_, 72, PixelsPerInch());
}

void TFont::SetSize(int Value) {
    SetHeight(-MulDiv(Value, PixelsPerInch(), 72));
}

void TFont::SetColor(TColor Value) {
    color_ = Value;
    Changed();
}

void TFont::SetStyle(TFontStyles Value) {
    style_ = Value;
    HandleChanged();
}

void TFont::SetCharset(uint8_t Value) {
    charset_ = Value;
    HandleChanged();
}

void TFont::SetPitch(TFontPitch Value) {
    pitch_ = Value;
    HandleChanged();
}

void TFont::SetQuality(TFontQuality Value) {
    quality_ = Value;
    HandleChanged();
}

// ---- TPen ----

void TPen::Assign(TPersistent* Source) {
    if (auto* pen = dynamic_cast<TPen*>(Source)) {
        if (pen == this)
            return;
        color_ = pen->color_;
        width_ = pen->width_;
        style_ = pen->style_;
        mode_ = pen->mode_;
        HandleChanged();
        return;
    }
    TGraphicsObject::Assign(Source);
}

HPEN TPen::Handle() {
    if (!handle_) {
        static const int kStyles[] = {PS_SOLID, PS_DASH, PS_DOT, PS_DASHDOT, PS_DASHDOTDOT, PS_NULL, PS_INSIDEFRAME};
        handle_.Reset(CreatePen(kStyles[style_], width_, GdiColor(color_)));
        if (!handle_)
            throw EOutOfResources("Out of system resources");
    }
    return handle_.Get();
}

void TPen::HandleChanged() {
    handle_.Reset();
    Changed();
}

void TPen::SetColor(TColor Value) {
    color_ = Value;
    HandleChanged();
}

void TPen::SetWidth(int Value) {
    width_ = Value;
    HandleChanged();
}

void TPen::SetStyle(TPenStyle Value) {
    style_ = Value;
    HandleChanged();
}

void TPen::SetMode(TPenMode Value) {
    mode_ = Value;
    Changed();
}

int TPen::Rop2() const {
    static const int kModes[] = {R2_BLACK,       R2_WHITE,      R2_NOP,       R2_NOT,        R2_COPYPEN,  R2_NOTCOPYPEN,
                                 R2_MERGEPENNOT, R2_MASKPENNOT, R2_MERGENOTPEN, R2_MASKNOTPEN, R2_MERGEPEN, R2_NOTMERGEPEN,
                                 R2_MASKPEN,     R2_NOTMASKPEN, R2_XORPEN,    R2_NOTXORPEN};
    return kModes[mode_];
}

// ---- TBrush ----

void TBrush::Assign(TPersistent* Source) {
    if (auto* brush = dynamic_cast<TBrush*>(Source)) {
        if (brush == this)
            return;
        color_ = brush->color_;
        style_ = brush->style_;
        HandleChanged();
        return;
    }
    TGraphicsObject::Assign(Source);
}

HBRUSH TBrush::Handle() {
    if (style_ == bsClear)
        return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    if (!handle_) {
        if (style_ == bsSolid) {
            handle_.Reset(CreateSolidBrush(GdiColor(color_)));
        } else {
            static const int kHatches[] = {0, 0, HS_HORIZONTAL, HS_VERTICAL, HS_FDIAGONAL, HS_BDIAGONAL, HS_CROSS, HS_DIAGCROSS};
            handle_.Reset(CreateHatchBrush(kHatches[style_], GdiColor(color_)));
        }
        if (!handle_)
            throw EOutOfResources("Out of system resources");
    }
    return handle_.Get();
}

void TBrush::HandleChanged() {
    handle_.Reset();
    Changed();
}

void TBrush::SetColor(TColor Value) {
    color_ = Value;
    HandleChanged();
}

void TBrush::SetStyle(TBrushStyle Value) {
    style_ = Value;
    HandleChanged();
}

// ---- TCanvas ----

// Selects what one drawing call needs and sets the DC state that goes with
// it; the previous objects return when the scope ends.
class TCanvas::StateScope {
public:
    enum { kPen = 1, kBrush = 2, kFont = 4 };

    StateScope(TCanvas& canvas, int what) : dc_(canvas.RequireHandle()) {
        if (what & kPen) {
            pen_.emplace(dc_, canvas.pen_.Handle());
            SetROP2(dc_, canvas.pen_.Rop2());
        }
        if (what & kBrush) {
            brush_.emplace(dc_, canvas.brush_.Handle());
            COLORREF color = GdiColor(canvas.brush_.Color());
            if (canvas.brush_.Style() == bsSolid) {
                SetBkColor(dc_, color);
                SetBkMode(dc_, OPAQUE);
            } else {
                // Hatches and hollow brushes draw their lines only; the
                // complement keeps the background colour from ever equalling
                // the hatch colour.
                SetBkColor(dc_, ~color & 0x00FFFFFF);
                SetBkMode(dc_, TRANSPARENT);
            }
        }
        if (what & kFont) {
            font_.emplace(dc_, canvas.font_.Handle());
            SetTextColor(dc_, GdiColor(canvas.font_.Color()));
        }
    }
    HDC dc() const { return dc_; }

private:
    HDC dc_;
    std::optional<ScopedSelect> pen_;
    std::optional<ScopedSelect> brush_;
    std::optional<ScopedSelect> font_;
};

TCanvas::TCanvas() = default;
TCanvas::~TCanvas() = default;

HDC TCanvas::Handle() {
    if (!handle_)
        CreateHandle();
    return handle_;
}

void TCanvas::SetHandle(HDC Value) {
    handle_ = Value;
}

HDC TCanvas::RequireHandle() {
    if (!handle_)
        CreateHandle();
    if (!handle_)
        throw EInvalidOperation("Canvas does not allow drawing");
    return handle_;
}

void TCanvas::Changed() {
    if (OnChange)
        OnChange(this);
}

TPoint TCanvas::PenPos() {
    POINT p{};
    GetCurrentPositionEx(RequireHandle(), &p);
    return {p.x, p.y};
}

void TCanvas::MoveTo(int X, int Y) {
    MoveToEx(RequireHandle(), X, Y, nullptr);
}

void TCanvas::LineTo(int X, int Y) {
    StateScope s(*this, StateScope::kPen | StateScope::kBrush);
    ::LineTo(s.dc(), X, Y);
    Changed();
}

namespace {
std::vector<POINT> ToPOINTs(const std::vector<TPoint>& points) {
    std::vector<POINT> result;
    result.reserve(points.size());
    for (const TPoint& p : points)
        result.push_back({p.X, p.Y});
    return result;
}
}  // namespace

void TCanvas::Polyline(const std::vector<TPoint>& Points) {
    StateScope s(*this, StateScope::kPen | StateScope::kBrush);
    std::vector<POINT> pts = ToPOINTs(Points);
    ::Polyline(s.dc(), pts.data(), static_cast<int>(pts.size()));
    Changed();
}

void TCanvas::Polygon(const std::vector<TPoint>& Points) {
    StateScope s(*this, StateScope::kPen | StateScope::kBrush);
    std::vector<POINT> pts = ToPOINTs(Points);
    ::Polygon(s.dc(), pts.data(), static_cast<int>(pts.size()));
    Changed();
}

void TCanvas::Rectangle(int X1, int Y1, int X2, int Y2) {
    StateScope s(*this, StateScope::kPen | StateScope::kBrush);
    ::Rectangle(s.dc(), X1, Y1, X2, Y2);
    Changed();
}

void TCanvas::Ellipse(int X1, int Y1, int X2, int Y2) {
    StateScope s(*this, StateScope::kPen | StateScope::kBrush);
    ::Ellipse(s.dc(), X1, Y1, X2, Y2);
    Changed();
}

void TCanvas::RoundRect(int X1, int Y1, int X2, int Y2, int X3, int Y3) {
    StateScope s(*this, StateScope::kPen | StateScope::kBrush);
    ::RoundRect(s.dc(), X1, Y1, X2, Y2, X3, Y3);
    Changed();
}

void TCanvas::Arc(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4) {
    StateScope s(*this, StateScope::kPen | StateScope::kBrush);
    ::Arc(s.dc(), X1, Y1, X2, Y2, X3, Y3, X4, Y4);
    Changed();
}

void TCanvas::FillRect(const TRect& R) {
    StateScope s(*this, StateScope::kBrush);
    RECT r = ToRECT(R);
    ::FillRect(s.dc(), &r, brush_.Handle());
    Changed();
}

void TCanvas::FrameRect(const TRect& R) {
    StateScope s(*this, StateScope::kBrush);
    RECT r = ToRECT(R);
    ::FrameRect(s.dc(), &r, brush_.Handle());
    Changed();
}

void TCanvas::TextOut(int X, int Y, const std::string& Text) {
    StateScope s(*this, StateScope::kFont | StateScope::kBrush);
    const std::wstring text = ToSystem(Text);
    int length = static_cast<int>(text.size());
    ::TextOutW(s.dc(), X, Y, text.c_str(), length);
    SIZE size{};
    GetTextExtentPoint32W(s.dc(), text.c_str(), length, &size);
    MoveToEx(s.dc(), X + size.cx, Y, nullptr);
    Changed();
}

void TCanvas::TextRect(const TRect& Rect, int X, int Y, const std::string& Text) {
    StateScope s(*this, StateScope::kFont | StateScope::kBrush);
    RECT r = ToRECT(Rect);
    UINT options = ETO_CLIPPED | (brush_.Style() == bsClear ? 0 : ETO_OPAQUE);
    const std::wstring text = ToSystem(Text);
    ExtTextOutW(s.dc(), X, Y, options, &r, text.c_str(), static_cast<UINT>(text.size()), nullptr);
    Changed();
}

int TCanvas::DrawTextRect(TRect& Rect, const std::string& Text, UINT Format) {
    StateScope s(*this, StateScope::kFont | StateScope::kBrush);
    RECT r = ToRECT(Rect);
    std::wstring text = ToSystem(Text);
    int height = DrawTextW(s.dc(), text.data(), static_cast<int>(text.size()), &r, Format);
    if (Format & DT_CALCRECT)
        Rect = FromRECT(r);
    else
        Changed();
    return height;
}

TSize TCanvas::TextExtent(const std::string& Text) {
    StateScope s(*this, StateScope::kFont);
    SIZE size{};
    const std::wstring text = ToSystem(Text);
    GetTextExtentPoint32W(s.dc(), text.c_str(), static_cast<int>(text.size()), &size);
    return {size.cx, size.cy};
}

void TCanvas::BrushCopy(const TRect& Dest, TBitmap* Bitmap, const TRect& Source, TColor Color) {
    if (!Bitmap || Bitmap->Empty())
        return;
    HDC src = Bitmap->Canvas()->Handle();
    int sw = Source.Width(), sh = Source.Height();
    int dw = Dest.Width(), dh = Dest.Height();
    if (sw <= 0 || sh <= 0)
        return;

    // Mask: 1 where the source pixel has Color. Converting colour to
    // monochrome maps the source DC's background colour to 1.
    AutoDeleteDC maskDC;
    ScopedBitmap mask(CreateBitmap(sw, sh, 1, 1, nullptr));
    if (!mask)
        throw EOutOfResources("Out of system resources");
    ScopedSelect selectMask(maskDC.Get(), mask.Get());
    COLORREF oldSrcBk = SetBkColor(src, GdiColor(Color));
    BitBlt(maskDC.Get(), 0, 0, sw, sh, src, Source.Left, Source.Top, SRCCOPY);
    SetBkColor(src, oldSrcBk);

    StateScope s(*this, StateScope::kBrush);
    HDC dst = s.dc();
    // Monochrome sources paint 1 bits in the background colour and 0 bits
    // in the text colour of the destination DC.
    COLORREF oldText = SetTextColor(dst, RGB(0, 0, 0));
    COLORREF oldBk = SetBkColor(dst, RGB(255, 255, 255));
    if (brush_.Style() == bsClear) {
        DrawThroughMask(dst, Dest, src, Source, maskDC.Get());
    } else {
        StretchBlt(dst, Dest.Left, Dest.Top, dw, dh, src, Source.Left, Source.Top, sw, sh, SRCCOPY);
        // Where the mask is 1 take the brush, elsewhere keep the copy.
        StretchBlt(dst, Dest.Left, Dest.Top, dw, dh, maskDC.Get(), 0, 0, sw, sh, 0x00E20746 /* DSPDxax */);
    }
    SetTextColor(dst, oldText);
    SetBkColor(dst, oldBk);
    Changed();
}

void TCanvas::Draw(int X, int Y, TGraphic* Graphic) {
    if (!Graphic || Graphic->Empty())
        return;
    RequireHandle();
    Graphic->Draw(this, Bounds(X, Y, Graphic->Width(), Graphic->Height()));
    Changed();
}

void TCanvas::StretchDraw(const TRect& Rect, TGraphic* Graphic) {
    if (!Graphic || Graphic->Empty())
        return;
    RequireHandle();
    Graphic->Draw(this, Rect);
    Changed();
}

void TCanvas::CopyRect(const TRect& Dest, TCanvas* Canvas, const TRect& Source) {
    HDC dst = RequireHandle();
    StretchBlt(dst, Dest.Left, Dest.Top, Dest.Width(), Dest.Height(), Canvas->RequireHandle(), Source.Left, Source.Top,
               Source.Width(), Source.Height(), copyMode_);
    Changed();
}

TColor TCanvas::Pixels(int X, int Y) {
    return static_cast<TColor>(GetPixel(RequireHandle(), X, Y));
}

void TCanvas::SetPixels(int X, int Y, TColor Value) {
    ::SetPixel(RequireHandle(), X, Y, GdiColor(Value));
    Changed();
}

TRect TCanvas::ClipRect() {
    RECT r{};
    GetClipBox(RequireHandle(), &r);
    return FromRECT(r);
}

// ---- Frame3D ----

void Frame3D(TCanvas* Canvas, TRect& Rect, TColor TopColor, TColor BottomColor, int Width) {
    Canvas->Pen()->SetWidth(1);
    --Rect.Bottom;
    --Rect.Right;
    for (; Width > 0; --Width) {
        Canvas->Pen()->SetColor(TopColor);
        Canvas->Polyline({{Rect.Left, Rect.Bottom}, {Rect.Left, Rect.Top}, {Rect.Right, Rect.Top}});
        Canvas->Pen()->SetColor(BottomColor);
        Canvas->Polyline({{Rect.Right, Rect.Top}, {Rect.Right, Rect.Bottom}, {Rect.Left - 1, Rect.Bottom}});
        Rect.Inflate(-1, -1);
    }
    ++Rect.Bottom;
    ++Rect.Right;
}

}  // namespace vexel
