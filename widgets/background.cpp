#include "widgets/background.h"

#include <algorithm>
#include <string>
#include <utility>

#include "framework/core/sysutils.h"
#include "framework/win32/image_list.h"

namespace vexel {

namespace {

struct TRgb {
    int R;
    int G;
    int B;
};

TRgb Channels(TColor Color) {
    COLORREF c = GdiColor(Color);
    return {GetRValue(c), GetGValue(c), GetBValue(c)};
}

// One channel of band i of N between c0 and c1.
int Blend(int c0, int c1, int i, int N) {
    if (N < 2)
        return c0;
    return c0 + MulDiv(i, c1 - c0, N - 1);
}

// A rectangle given by its corners, filled with the DC's brush. Corners in
// the wrong order give PatBlt negative extents, which it fills mirrored from
// the first corner; the bands near the middle of late segments rely on that.
void PatRect(HDC DC, int X1, int Y1, int X2, int Y2) {
    PatBlt(DC, X1, Y1, X2 - X1, Y2 - Y1, PATCOPY);
}

void Line(HDC DC, int X1, int Y1, int X2, int Y2) {
    MoveToEx(DC, X1, Y1, nullptr);
    LineTo(DC, X2, Y2);
}

// Everything the shapes of one gradient need besides the band colour.
struct TGradientGeometry {
    int W;
    int H;
    int N;   // bands per segment
    int hs;  // segment height and width, one pixel more than the share
    int ws;
    int hz;  // the share itself
    int wz;
};

// The fan of Circle and Spectral: lines through the centre, first from the
// top edge to the bottom edge, then from the left edge to the right edge.
// PenFor picks the pen of a line by its loop coordinate.
template <class PenFor>
void DrawFan(HDC DC, const TGradientGeometry& g, int r, int i, PenFor&& penFor) {
    int xo = r * g.ws, yo = r * g.hs;
    for (int x = MulDiv(i, g.ws, g.N); x <= MulDiv(i + 2, g.ws, g.N); ++x) {
        penFor(x);
        Line(DC, x + xo, 0, g.W - x - xo, g.H);
    }
    for (int y = MulDiv(i, g.hs, g.N); y <= MulDiv(i + 2, g.hs, g.N); ++y) {
        penFor(y);
        Line(DC, 0, y + yo, g.W, g.H - y - yo);
    }
}

// Band i of segment r; the band's pen and brush are selected into DC. Mirror
// is the spectral partner pen, used by Spectral only.
void DrawBand(HDC DC, TZelFillStyle Style, const TGradientGeometry& g, int r, int i, HPEN Band, HPEN Mirror) {
    const int W = g.W, H = g.H, N = g.N;
    switch (Style) {
        case TZelFillStyle::Circle:
            DrawFan(DC, g, r, i, [](int) {});
            break;
        case TZelFillStyle::Spectral:
            DrawFan(DC, g, r, i, [&](int c) { SelectObject(DC, (c % 2 != 0) ? Band : Mirror); });
            break;
        case TZelFillStyle::Horizontal: {
            int yo = r * g.hs;
            PatRect(DC, 0, yo + MulDiv(i, g.hs, N), W, yo + MulDiv(i + 2, g.hs, N));
            break;
        }
        case TZelFillStyle::Vertical: {
            int xo = r * g.ws;
            PatRect(DC, xo + MulDiv(i, g.ws, N), 0, xo + MulDiv(i + 2, g.ws, N), H);
            break;
        }
        case TZelFillStyle::LeftBottom: {
            int xo = r * g.ws, yo = r * g.hs;
            PatRect(DC, xo + MulDiv(i, g.ws, N), yo + MulDiv(i, g.hs, N), W, H);
            break;
        }
        case TZelFillStyle::RoundMiddle: {
            int xo = Round(g.ws / 2.0 * r) + 1, yo = Round(g.hs / 2.0 * r) + 1;
            int a = MulDiv(i, Round(g.ws / 2.0) + 1, N), b = MulDiv(i, Round(g.hs / 2.0) + 1, N);
            Ellipse(DC, xo + a, yo + b, W - a - xo, H - b - yo);
            break;
        }
        case TZelFillStyle::SquareMiddle: {
            int xo = Round(g.wz / 2.0 * r), yo = Round(g.hz / 2.0 * r);
            int a = MulDiv(i, Round(g.wz / 2.0), N), b = MulDiv(i, Round(g.hz / 2.0), N);
            PatRect(DC, xo + a, yo + b, W - a - xo, H - b - yo);
            break;
        }
        case TZelFillStyle::DoppelFlash: {
            int xo = r * g.ws + 1, yo = r * g.hs + 1;
            int a = MulDiv(i, g.ws, N), b = MulDiv(i, g.hs, N);
            Ellipse(DC, xo + a, yo + b, W, H);
            Ellipse(DC, W - a - xo, H - b - yo, 0, 0);
            break;
        }
        case TZelFillStyle::Singleflash: {
            int xo = r * g.wz, yo = r * g.hz;
            Ellipse(DC, xo + MulDiv(i, g.wz, N), yo + MulDiv(i, g.hz, N), W, H);
            break;
        }
        case TZelFillStyle::MiddleHBar: {
            int yo = Round(g.hs / 2.0 * r) + 1, p = Round(g.hs / 2.0);
            PatRect(DC, 0, H - yo - MulDiv(i + 2, p + 1, N), W, H - yo - MulDiv(i, p + 1, N));
            PatRect(DC, 0, yo + MulDiv(i, p, N), W, yo + MulDiv(i + 2, p, N) + 1);
            break;
        }
        case TZelFillStyle::MiddleVBar: {
            int xo = Round(g.ws / 2.0 * r) + 1, p = Round(g.ws / 2.0);
            PatRect(DC, W - xo - MulDiv(i + 2, p + 1, N), 0, W - xo - MulDiv(i, p + 1, N), H);
            PatRect(DC, xo + MulDiv(i, p, N), 0, xo + MulDiv(i + 2, p, N) + 1, H);
            break;
        }
        case TZelFillStyle::VerticalDoppelBar: {
            int xo = Round(g.ws / 3.0 * r) + 1, t = Round(g.ws / 3.0) + 1, T = Round(W / 3.0);
            int a = MulDiv(i, t, N), b = MulDiv(i + 1, t, N);
            for (int left : {xo + a, 2 * T - b - xo, 2 * T + xo + a})
                PatRect(DC, left, 0, left + (b - a), H);
            break;
        }
        case TZelFillStyle::HorizontalDoppelBar: {
            int yo = Round(g.hs / 3.0 * r) + 1, t = Round(g.hs / 3.0) + 1, T = Round(H / 3.0);
            int a = MulDiv(i, t, N), b = MulDiv(i + 1, t, N);
            for (int top : {yo + a, 2 * T - b - yo, 2 * T + yo + a})
                PatRect(DC, 0, top, W, top + (b - a));
            break;
        }
    }
}

// Silences a string list's change event for the life of the scope.
class MutedList {
public:
    explicit MutedList(TStringList& list) : list_(list), saved_(std::move(list.OnChange)) {
        list_.OnChange = nullptr;
    }
    ~MutedList() { list_.OnChange = std::move(saved_); }
    MutedList(const MutedList&) = delete;
    MutedList& operator=(const MutedList&) = delete;

private:
    TStringList& list_;
    TNotifyEvent saved_;
};

}  // namespace

// ---- TZelGradient ----

TZelGradient::TZelGradient() {
    colorsInBetween_.OnChange = [this](TObject*) { Changed(); };
}

TZelGradient::~TZelGradient() {
    colorsInBetween_.OnChange = nullptr;
}

TColor TZelGradient::BeginColor() const {
    return beginColor_;
}

void TZelGradient::SetBeginColor(TColor Value) {
    beginColor_ = Value;
    Changed();
}

TColor TZelGradient::EndColor() const {
    return endColor_;
}

void TZelGradient::SetEndColor(TColor Value) {
    endColor_ = Value;
    Changed();
}

TZelFillStyle TZelGradient::FillStyle() const {
    return fillStyle_;
}

void TZelGradient::SetFillStyle(TZelFillStyle Value) {
    fillStyle_ = Value;
    Changed();
}

int32_t TZelGradient::ColorCount() const {
    return colorCount_;
}

void TZelGradient::SetColorCount(int32_t Value) {
    if (Value >= 2 && Value <= 255)
        colorCount_ = Value;
    Changed();
}

TStringList* TZelGradient::ColorsInBetween() {
    return &colorsInBetween_;
}

void TZelGradient::SetColorsInBetween(TStrings* Value) {
    // One change notice for the whole copy, also when the lines are the same.
    {
        MutedList mute(colorsInBetween_);
        if (Value)
            colorsInBetween_.Assign(Value);
        else
            colorsInBetween_.Clear();
    }
    Changed();
}

void TZelGradient::PaintGradient(HDC DC, int Width, int Height, bool Forward, TColor GroundColor) {
    // The ground would only show where the bands do not reach, and the first
    // colour covers the whole bitmap before any band is drawn.
    (void)GroundColor;

    // The colour list travels as colour texts, as stored; a line that is no
    // colour raises EConvertError here, before anything is drawn.
    std::vector<std::string> texts;
    texts.reserve(static_cast<size_t>(colorsInBetween_.Count()) + 2);
    texts.push_back(ColorToString(Forward ? beginColor_ : endColor_));
    for (int k = 0; k < colorsInBetween_.Count(); ++k)
        texts.push_back(colorsInBetween_.Strings(k));
    texts.push_back(ColorToString(Forward ? endColor_ : beginColor_));
    std::vector<TColor> colors;
    colors.reserve(texts.size());
    for (const std::string& text : texts)
        colors.push_back(StringToColor(text));

    if (Width <= 0 || Height <= 0)
        return;

    // Bands are drawn off screen and copied in one go, so no partial
    // gradient ever shows.
    TBitmap work(Width, Height);
    HDC dc = work.Canvas()->Handle();
    SetROP2(dc, R2_COPYPEN);
    {
        ScopedBrush first(CreateSolidBrush(GdiColor(colors[0])));
        ScopedSelect select(dc, first.Get());
        PatBlt(dc, 0, 0, Width, Height, PATCOPY);
    }

    const int S = static_cast<int>(colors.size()) - 1;
    const int N = colorCount_;
    TGradientGeometry g{Width,
                        Height,
                        N,
                        Round(static_cast<double>(Height) / S) + 1,
                        Round(static_cast<double>(Width) / S) + 1,
                        Round(static_cast<double>(Height) / S),
                        Round(static_cast<double>(Width) / S)};
    const bool spectral = fillStyle_ == TZelFillStyle::Spectral;
    for (int r = 0; r < S; ++r) {
        TRgb c0 = Channels(colors[static_cast<size_t>(r)]);
        TRgb c1 = Channels(colors[static_cast<size_t>(r) + 1]);
        for (int i = 0; i < N; ++i) {
            // Black is the suite's usual mask colour (glyphs, text faces), so
            // no band channel is ever 0.
            auto band = [&](int a, int b) { return std::max(Blend(a, b, i, N), 1); };
            COLORREF color = RGB(band(c0.R, c1.R), band(c0.G, c1.G), band(c0.B, c1.B));
            ScopedPen pen(CreatePen(PS_SOLID, 1, color));
            ScopedBrush brush(CreateSolidBrush(color));
            ScopedPen mirror;
            if (spectral) {
                int m = N - 1 - i;
                mirror.Reset(CreatePen(
                    PS_SOLID, 1,
                    RGB(Blend(c0.R, c1.R, m, N), Blend(c0.G, c1.G, m, N), Blend(c0.B, c1.B, m, N))));
            }
            if (!pen || !brush || (spectral && !mirror))
                throw EOutOfResources("Out of system resources");
            ScopedSelect selectPen(dc, pen.Get());
            ScopedSelect selectBrush(dc, brush.Get());
            DrawBand(dc, fillStyle_, g, r, i, pen.Get(), mirror.Get());
        }
    }
    BitBlt(DC, 0, 0, Width, Height, dc, 0, 0, SRCCOPY);
}

// ---- TZelTexture ----

TZelTexture::TZelTexture() = default;
TZelTexture::~TZelTexture() = default;

TBitmap* TZelTexture::Image() {
    return &image_;
}

void TZelTexture::SetImage(TBitmap* Value) {
    if (Value != &image_)
        image_.Assign(Value);
    Changed();
}

TZelImageStyle TZelTexture::ImageStyle() const {
    return imageStyle_;
}

void TZelTexture::SetImageStyle(TZelImageStyle Value) {
    imageStyle_ = Value;
    Changed();
}

TColor TZelTexture::TransparentColor() const {
    return transparentColor_;
}

void TZelTexture::SetTransparentColor(TColor Value) {
    transparentColor_ = Value;
    Changed();
}

TColor TZelTexture::TransparentBackground() const {
    return transparentBackground_;
}

void TZelTexture::SetTransparentBackground(TColor Value) {
    transparentBackground_ = Value;
    Changed();
}

void TZelTexture::PaintTexture(HDC DC, int Width, int Height, TColor GroundColor) {
    if (image_.Empty())
        return;
    const int iw = image_.Width(), ih = image_.Height();
    const TRect whole{0, 0, iw, ih};

    // P: the picture with its transparent pixels in TransparentBackground.
    TBitmap replaced;
    TBitmap* source = &image_;
    if (transparentColor_ != clNone) {
        replaced.SetSize(iw, ih);
        TCanvas* canvas = replaced.Canvas();
        canvas->Brush()->SetStyle(bsSolid);
        canvas->Brush()->SetColor(transparentBackground_);
        canvas->FillRect(whole);
        canvas->BrushCopy(whole, &image_, whole, transparentColor_);
        source = &replaced;
    }
    HDC src = source->Canvas()->Handle();

    switch (imageStyle_) {
        case isTile:
            // Both bounds inclusive, so the partial last tile is drawn too.
            for (int c = 0; c <= Width / iw; ++c)
                for (int r = 0; r <= Height / ih; ++r)
                    BitBlt(DC, c * iw, r * ih, iw, ih, src, 0, 0, SRCCOPY);
            break;
        case isStretched:
            StretchBlt(DC, 0, 0, Width, Height, src, 0, 0, iw, ih, SRCCOPY);
            break;
        case isCenter: {
            SetBkColor(DC, GdiColor(GroundColor));
            SetBkMode(DC, OPAQUE);
            int x = iw < Width ? (Width - iw) / 2 : 0;
            int y = ih < Height ? (Height - ih) / 2 : 0;
            BitBlt(DC, x, y, iw, ih, src, 0, 0, SRCCOPY);
            break;
        }
    }
}

// ---- TZelBrushFill ----

TBrushStyle TZelBrushFill::BrushStyle() const {
    return brushStyle_;
}

void TZelBrushFill::SetBrushStyle(TBrushStyle Value) {
    brushStyle_ = Value;
    Changed();
}

TColor TZelBrushFill::BrushColor() const {
    return brushColor_;
}

void TZelBrushFill::SetBrushColor(TColor Value) {
    brushColor_ = Value;
    Changed();
}

void TZelBrushFill::PaintBrushFill(HDC DC, int Width, int Height, std::optional<TColor> Ground) {
    if (Width <= 0 || Height <= 0)
        return;
    const TRect all{0, 0, Width, Height};
    TBitmap a(Width, Height), b(Width, Height);
    TCanvas* ca = a.Canvas();
    TCanvas* cb = b.Canvas();
    // A: the brush on white; hatch brushes draw their lines only.
    ca->Brush()->SetStyle(brushStyle_);
    ca->Brush()->SetColor(brushColor_);
    ca->FillRect(all);
    // B: the same pattern in black, whose pixels then take A's brush.
    cb->Brush()->SetStyle(brushStyle_);
    cb->Brush()->SetColor(clBlack);
    cb->FillRect(all);
    ca->BrushCopy(all, &b, all, clBlack);
    if (Ground) {
        // The white between the lines becomes the ground.
        cb->Brush()->SetStyle(bsSolid);
        cb->Brush()->SetColor(*Ground);
        cb->FillRect(all);
        cb->BrushCopy(all, &a, all, clWhite);
        BitBlt(ca->Handle(), 0, 0, Width, Height, cb->Handle(), 0, 0, SRCCOPY);
    }
    BitBlt(DC, 0, 0, Width, Height, ca->Handle(), 0, 0, SRCCOPY);
}

// ---- TZelBackground ----

TZelBackground::TZelBackground(TComponent* AOwner)
    : TComponent(AOwner),
      texture_(std::make_unique<TZelTexture>()),
      gradient_(std::make_unique<TZelGradient>()),
      brushFill_(std::make_unique<TZelBrushFill>()) {
    auto changed = [this](TObject* Sender) { BackgroundChanged(Sender); };
    texture_->OnChange = changed;
    gradient_->OnChange = changed;
    brushFill_->OnChange = changed;
}

TZelBackground::~TZelBackground() {
    texture_->OnChange = nullptr;
    gradient_->OnChange = nullptr;
    brushFill_->OnChange = nullptr;
    controls_.clear();
}

TZelTexture* TZelBackground::Texture() {
    return texture_.get();
}

void TZelBackground::SetTexture(TPersistent* Value) {
    texture_->Assign(Value);
    BackgroundChanged(this);
}

TZelGradient* TZelBackground::Gradient() {
    return gradient_.get();
}

void TZelBackground::SetGradient(TPersistent* Value) {
    gradient_->Assign(Value);
    BackgroundChanged(this);
}

TZelBrushFill* TZelBackground::BrushFill() {
    return brushFill_.get();
}

void TZelBackground::SetBrushFill(TPersistent* Value) {
    brushFill_->Assign(Value);
    BackgroundChanged(this);
}

TColor TZelBackground::SolidColor() const {
    return solidColor_;
}

void TZelBackground::SetSolidColor(TColor Value) {
    solidColor_ = Value;
    BackgroundChanged(this);
}

TZelBackStyle TZelBackground::BackgroundStyle() const {
    return backgroundStyle_;
}

void TZelBackground::SetBackgroundStyle(TZelBackStyle Value) {
    backgroundStyle_ = Value;
    BackgroundChanged(this);
}

void TZelBackground::PaintBackground(HDC DC, int Width, int Height, bool Forward) {
    switch (backgroundStyle_) {
        case bGradient:
            gradient_->PaintGradient(DC, Width, Height, Forward, solidColor_);
            break;
        case bTexture:
            texture_->PaintTexture(DC, Width, Height, solidColor_);
            break;
        case bSolidcolor: {
            ScopedBrush brush(CreateSolidBrush(GdiColor(solidColor_)));
            if (!brush)
                throw EOutOfResources("Out of system resources");
            RECT r{0, 0, Width, Height};
            FillRect(DC, &r, brush.Get());
            break;
        }
        case bBrushFillUseCurrent:
        case bBrushFillSolidColor:
            brushFill_->PaintBrushFill(DC, Width, Height,
                                       backgroundStyle_ == bBrushFillSolidColor ? std::optional<TColor>(solidColor_)
                                                                                : std::nullopt);
            break;
    }
}

void TZelBackground::PaintBehind(TCanvas* Canvas,
                                 int Width,
                                 int Height,
                                 TColor TransparentColor,
                                 bool Forward) {
    if (Width <= 0 || Height <= 0)
        return;
    HDC dc = Canvas->Handle();
    if (!dc)
        throw EInvalidOperation("Canvas does not allow drawing");
    TBitmap ground(Width, Height), picture(Width, Height);
    PaintBackground(ground.Canvas()->Handle(), Width, Height, Forward);
    BitBlt(picture.Canvas()->Handle(), 0, 0, Width, Height, dc, 0, 0, SRCCOPY);
    DrawMasked(ground.Canvas(), &picture, 0, 0, TransparentColor);
    BitBlt(dc, 0, 0, Width, Height, ground.Canvas()->Handle(), 0, 0, SRCCOPY);
    Canvas->Changed();
}

void TZelBackground::RegisterControl(TControl* Control) {
    controls_.push_back(Control);
}

void TZelBackground::UnregisterControl(TControl* Control) {
    auto it = std::find(controls_.begin(), controls_.end(), Control);
    if (it != controls_.end())
        controls_.erase(it);
}

void TZelBackground::BackgroundChanged(TObject* Sender) {
    (void)Sender;
    // A copy: an Invalidate handler may register or unregister controls.
    std::vector<TControl*> controls = controls_;
    for (TControl* control : controls)
        control->Invalidate();
    if (OnChanged)
        OnChanged(this);
}

// ---- DrawMasked ----

void DrawMasked(TCanvas* Canvas, TBitmap* Bitmap, int X, int Y, TColor MaskColor) {
    if (!Bitmap || Bitmap->Empty())
        return;
    ScopedFree<TImageList> list(new TImageList(nullptr));
    list->SetSize(Bitmap->Width(), Bitmap->Height());
    list->AddMasked(Bitmap, MaskColor);
    list->Draw(Canvas, X, Y, 0);
}

// ---- TZelBackgroundLink ----

TZelBackgroundLink::TZelBackgroundLink(TControl& Control) : control_(Control) {}

TZelBackgroundLink::~TZelBackgroundLink() {
    if (background_) {
        background_->UnregisterControl(&control_);
        control_.RemoveFreeNotification(background_);
    }
}

TZelBackground* TZelBackgroundLink::Get() const {
    return background_;
}

void TZelBackgroundLink::Set(TZelBackground* Value) {
    if (background_) {
        background_->UnregisterControl(&control_);
        control_.RemoveFreeNotification(background_);
    }
    if (Value) {
        Value->RegisterControl(&control_);
        control_.FreeNotification(Value);
    }
    background_ = Value;
    if (!(control_.ComponentState() & csDestroying))
        control_.Invalidate();
}

void TZelBackgroundLink::Notification(TComponent* AComponent, TOperation Operation) {
    // Free sends the removal notice while the background is still whole, so
    // unregistering from it is safe.
    if (Operation == opRemove && AComponent && AComponent == background_)
        Set(nullptr);
}

}  // namespace vexel
