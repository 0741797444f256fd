#include "widgets/drawing_base.h"

#include <algorithm>
#include <optional>

#include "framework/core/sysutils.h"
#include "framework/win32/gdi.h"
#include "framework/win32/system_text.h"
#include "widgets/background.h"

namespace vexel {

namespace {

// Draws copies of one text in one font, each at its own rectangle and colour,
// with a clear brush and a transparent background. The DC's state comes back
// when the painter goes.
class TTextPainter {
public:
    TTextPainter(HDC DC, TFont* Font, UINT Format, const std::string& Text)
        : dc_(DC), save_(DC), format_(Format | DT_NOCLIP), text_(ToSystem(Text)) {
        // A clear brush (white, as brushes start) with the complement of its
        // colour as background colour, in transparent mode: only the glyphs
        // of the text are drawn.
        brush_.emplace(DC, GetStockObject(NULL_BRUSH));
        SetBkColor(DC, ~GdiColor(clWhite) & 0x00FFFFFF);
        SetBkMode(DC, TRANSPARENT);
        if (Font)
            font_.emplace(DC, Font->Handle());
    }

    // A copy in clNone is left out: the GDI would draw it white.
    void Draw(const TRect& R, TColor Color) {
        if (Color == clNone)
            return;
        SetTextColor(dc_, GdiColor(Color));
        RECT r = ToRECT(R);
        // Without DT_MODIFYSTRING the text is only read; length -1 draws up
        // to the terminating NUL.
        DrawTextExW(dc_, &text_[0], -1, &r, format_, nullptr);
    }

private:
    HDC dc_;
    ScopedSaveDC save_;
    std::optional<ScopedSelect> brush_;
    std::optional<ScopedSelect> font_;
    UINT format_;
    std::wstring text_;
};

bool TwoCopyStyle(TZelStyle3D Style) {
    return Style == fontRaised || Style == fontInset || Style == fontOnlyShadow || Style == fontOnlyHighlight;
}

// The highlight and shadow copies around the face (or the shadow outline),
// leaving R where the face goes. Shared by both text painters.
void DrawCopies(TTextPainter& Painter, TZelFont3D& Font3D, TRect& R) {
    int offset = Font3D.Offset();
    TZelStyle3D style = Font3D.Style3D();
    if (TwoCopyStyle(style)) {
        TColor first = (style == fontInset || style == fontOnlyShadow) ? Font3D.Shadow() : Font3D.Highlight();
        R.Offset(-offset, -offset);
        if (style != fontOnlyShadow)
            Painter.Draw(R, first);
        TColor second = (style == fontInset || style == fontOnlyHighlight) ? Font3D.Highlight() : Font3D.Shadow();
        R.Offset(2 * offset, 2 * offset);
        if (style != fontOnlyHighlight)
            Painter.Draw(R, second);
        R.Offset(-offset, -offset);
    } else if (style == fontOutLineShadow) {
        TColor shadow = Font3D.Shadow();
        R.Offset(-1, -1);
        Painter.Draw(R, shadow);
        R.Offset(2, 0);
        Painter.Draw(R, shadow);
        R.Offset(0, 2);
        Painter.Draw(R, shadow);
        R.Offset(-2, 0);
        Painter.Draw(R, shadow);
        R.Offset(1, -1);
    }
}

// One ring with inclusive corners: left and top in TopLeft, right and bottom
// in BottomRight (which takes the top-right and bottom-left corners).
void DrawRing(HDC DC, const TRect& Ring, HPEN TopLeft, HPEN BottomRight, TZelEdges Edges) {
    int l = Ring.Left, t = Ring.Top, r = Ring.Right, b = Ring.Bottom;
    if (TopLeft) {
        ScopedSelect pen(DC, TopLeft);
        if (Edges & EdgeLeft) {
            MoveToEx(DC, l, b, nullptr);
            LineTo(DC, l, t);
        }
        if (Edges & EdgeTop) {
            MoveToEx(DC, l, t, nullptr);
            LineTo(DC, r, t);
        }
    }
    if (BottomRight) {
        ScopedSelect pen(DC, BottomRight);
        if (Edges & EdgeRight) {
            MoveToEx(DC, r, t, nullptr);
            LineTo(DC, r, b);
        }
        if (Edges & EdgeBottom) {
            MoveToEx(DC, r, b, nullptr);
            LineTo(DC, l - 1, b);
        }
    }
}

ScopedPen MakePen(TColor Color) {
    if (Color == clNone)
        return ScopedPen();
    ScopedPen pen(CreatePen(PS_SOLID, 1, GdiColor(Color)));
    if (!pen)
        throw EOutOfResources("Out of system resources");
    return pen;
}

}  // namespace

// ---- TZelDrawingObject ----

void TZelDrawingObject::Changed() {
    if (auto* control = dynamic_cast<TControl*>(owner_))
        control->Invalidate();
    TGraphicsObject::Changed();
}

// ---- TZelFont3D ----

void TZelFont3D::Assign(TPersistent* Source) {
    auto* source = dynamic_cast<TZelFont3D*>(Source);
    if (!source) {
        TZelDrawingObject::Assign(Source);
        return;
    }
    if (source == this)
        return;
    threeDimensional_ = source->threeDimensional_;
    maskFont_ = source->maskFont_;
    highlight_ = source->highlight_;
    shadow_ = source->shadow_;
    repetitionColor_ = source->repetitionColor_;
    repetition_ = source->repetition_;
    repetitionwidth_ = source->repetitionwidth_;
    offset_ = source->offset_;
    style3D_ = source->style3D_;
    Changed();
}

void TZelFont3D::SetThreeDimensional(bool Value) {
    threeDimensional_ = Value;
    Changed();
}

void TZelFont3D::SetMaskFont(bool Value) {
    maskFont_ = Value;
    Changed();
}

void TZelFont3D::SetHighlight(TColor Value) {
    highlight_ = Value;
    Changed();
}

void TZelFont3D::SetShadow(TColor Value) {
    shadow_ = Value;
    Changed();
}

void TZelFont3D::SetRepetitionColor(TColor Value) {
    repetitionColor_ = Value;
    Changed();
}

void TZelFont3D::SetRepetition(TZelRepeat Value) {
    repetition_ = Value;
    Changed();
}

void TZelFont3D::SetRepetitionwidth(uint8_t Value) {
    if (repetitionwidth_ == Value)
        return;
    repetitionwidth_ = Value;
    Changed();
}

void TZelFont3D::SetOffset(uint8_t Value) {
    if (Value != 0)
        offset_ = Value;
    Changed();
}

void TZelFont3D::SetStyle3D(TZelStyle3D Value) {
    style3D_ = Value;
    Changed();
}

// ---- TZelFrame ----

void TZelFrame::Assign(TPersistent* Source) {
    auto* source = dynamic_cast<TZelFrame*>(Source);
    if (!source) {
        TZelDrawingObject::Assign(Source);
        return;
    }
    if (source == this)
        return;
    frameStyle_ = source->frameStyle_;
    edges_ = source->edges_;
    highlight_ = source->highlight_;
    shadow_ = source->shadow_;
    solid_ = source->solid_;
    frameWidth_ = source->frameWidth_;
    Changed();
}

void TZelFrame::SetFrameStyle(TZelFrameStyle Value) {
    frameStyle_ = Value;
    Changed();
}

void TZelFrame::SetEdges(TZelEdges Value) {
    edges_ = Value & kAllEdges;
    Changed();
}

void TZelFrame::SetHighlight(TColor Value) {
    highlight_ = Value;
    Changed();
}

void TZelFrame::SetShadow(TColor Value) {
    shadow_ = Value;
    Changed();
}

void TZelFrame::SetSolid(TColor Value) {
    solid_ = Value;
    Changed();
}

void TZelFrame::SetFrameWidth(uint8_t Value) {
    if (Value == 0)
        return;
    frameWidth_ = Value;
    Changed();
}

// ---- TZelGlyph ----

void TZelGlyph::Assign(TPersistent* Source) {
    auto* source = dynamic_cast<TZelGlyph*>(Source);
    if (!source) {
        TZelDrawingObject::Assign(Source);
        return;
    }
    if (source == this)
        return;
    visible_ = source->visible_;
    bitmap_.Assign(&source->bitmap_);
    numGlyphs_ = source->numGlyphs_;
    transparent_ = source->transparent_;
    transparentColor_ = source->transparentColor_;
    Changed();
}

void TZelGlyph::SetVisible(bool Value) {
    if (visible_ == Value)
        return;
    visible_ = Value;
    Changed();
}

void TZelGlyph::SetBitmap(TBitmap* Value) {
    if (Value == &bitmap_)
        return;
    bitmap_.Assign(Value);
    // A designer drops in a strip; guess how it is cut and which colour is
    // the ground. Running programs keep what was stored.
    TComponent* owner = Owner();
    if (owner && (owner->ComponentState() & csDesigning) && !bitmap_.Empty()) {
        int width = bitmap_.Width(), height = bitmap_.Height();
        if (width % height == 0) {
            int count = width / height;
            numGlyphs_ = static_cast<uint8_t>(count > 4 ? 1 : count);
        }
        transparentColor_ = bitmap_.PixelColor(0, height - 1);
    }
    Changed();
}

void TZelGlyph::SetNumGlyphs(uint8_t Value) {
    if (Value < 1 || Value > 4 || numGlyphs_ == Value)
        return;
    numGlyphs_ = Value;
    Changed();
}

void TZelGlyph::SetTransparent(bool Value) {
    if (transparent_ == Value)
        return;
    transparent_ = Value;
    Changed();
}

void TZelGlyph::SetTransparentColor(TColor Value) {
    if (transparentColor_ == Value)
        return;
    transparentColor_ = Value;
    Changed();
}

int TZelGlyph::GlyphWidth() const {
    if (bitmap_.Empty() || numGlyphs_ == 0)
        return 0;
    return Round(static_cast<double>(bitmap_.Width()) / numGlyphs_);
}

int TZelGlyph::GlyphHeight() const {
    return bitmap_.Empty() ? 0 : bitmap_.Height();
}

// ---- Text ----

void DrawText3D(TZelFont3D* Font3D, TFont* Font, HDC DC, bool Enabled, UINT Format, const std::string& Text,
                const TRect& Rect) {
    TTextPainter painter(DC, Font, Format, Text);
    TRect r = Rect;
    const TColor face = Font ? Font->Color() : static_cast<TColor>(GetTextColor(DC));
    TColor color = face;
    if (!Enabled) {
        // The disabled look ignores the 3-D settings: an engraved grey copy.
        painter.Draw(r, clBtnHighlight);
        r.Offset(-1, -1);
        color = clGrayText;
    } else if (Font3D && Font3D->ThreeDimensional()) {
        int width = Font3D->Repetitionwidth();
        int offset = Font3D->Offset();
        TZelRepeat repetition = Font3D->Repetition();
        if (repetition != repeatNone) {
            r.Inflate(-width, -width);
            color = Font3D->RepetitionColor();
            int step = repetition == repeatOnHighLight ? 1 : -1;
            r.Offset(-step * offset, -step * offset);
            for (int i = 0; i < width; ++i) {
                painter.Draw(r, color);
                r.Offset(step, step);
            }
        }
        DrawCopies(painter, *Font3D, r);
        color = face;
    }
    painter.Draw(r, color);
}

void DrawBackgroundText(TZelBackground* Background, TZelFont3D* Font3D, TFont* Font, UINT Format,
                        const std::string& Text, const TRect& Rect, TCanvas* Canvas) {
    int w = Rect.Width(), h = Rect.Height();
    if (w <= 0 || h <= 0)
        return;
    HDC target = Canvas->Handle();
    if (!target)
        throw EInvalidOperation("Canvas does not allow drawing");
    const TColor face = Font ? Font->Color() : clWindowText;

    TBitmap work(w, h);
    HDC workDC = work.Canvas()->Handle();
    BitBlt(workDC, 0, 0, w, h, target, 0, 0, SRCCOPY);

    TRect r = Rect;
    int width = Font3D ? Font3D->Repetitionwidth() : 0;
    r.Left += width;
    r.Right -= width;
    if (Font3D && Font3D->ThreeDimensional()) {
        TTextPainter painter(workDC, Font, Format, Text);
        TZelRepeat repetition = Font3D->Repetition();
        if (repetition == repeatOnHighLight) {
            for (int i = 0; i < width; ++i) {
                painter.Draw(r, Font3D->RepetitionColor());
                r.Offset(1, 1);
            }
        } else if (repetition == repeatOnShadow) {
            r.Offset(width, width);
            for (int i = 0; i < width; ++i) {
                painter.Draw(r, Font3D->RepetitionColor());
                r.Offset(-1, -1);
            }
        }
        DrawCopies(painter, *Font3D, r);
    }

    if (!Background) {
        TTextPainter(workDC, Font, Format, Text).Draw(r, face);
    } else {
        // The face: the text shape cut out of the background (A), laid over
        // the work copy with A's ground as the transparent colour.
        TBitmap ground(w, h);
        Background->PaintBackground(ground.Canvas()->Handle(), w, h, true);
        TBitmap shape(w, h);
        TTextPainter(shape.Canvas()->Handle(), Font, Format, Text).Draw(r, face);
        TColor shapeColor = face;
        if (!Font3D || Font3D->MaskFont()) {
            // The mask turns the text white and everything else black, so
            // the text is now white, whatever colour the font had.
            shape.Mask(face);
            shapeColor = clWhite;
        }
        DrawMasked(ground.Canvas(), &shape, 0, 0, shapeColor);
        DrawMasked(work.Canvas(), &ground, 0, 0, ground.PixelColor(0, 0));
    }
    BitBlt(target, 0, 0, w, h, workDC, 0, 0, SRCCOPY);
    Canvas->Changed();
}

// ---- Frames ----

int TotalWidth(const TZelFrame* Frame) {
    switch (Frame->FrameStyle()) {
    case frameNone:
        return 0;
    case frameSolid:
    case frameRaised:
    case frameLowered:
        return Frame->FrameWidth();
    default:
        return 2 * Frame->FrameWidth();
    }
}

void DrawFrame(TZelFrame* Frame, HDC DC, TRect& Rect) {
    struct Group {
        TColor topLeft;
        TColor bottomRight;
    };
    const TColor hi = Frame->Highlight(), sh = Frame->Shadow(), solid = Frame->Solid();
    Group groups[2];
    int count = 0;
    switch (Frame->FrameStyle()) {
    case frameSolid: groups[count++] = {solid, solid}; break;
    case frameRaised: groups[count++] = {hi, sh}; break;
    case frameLowered: groups[count++] = {sh, hi}; break;
    case frameNone: break;
    case frameFramedUp:
        groups[count++] = {hi, sh};
        groups[count++] = {sh, hi};
        break;
    case frameFramedDown:
        groups[count++] = {sh, hi};
        groups[count++] = {hi, sh};
        break;
    case framePanelUp:
        groups[count++] = {hi, clBlack};
        groups[count++] = {clNone, sh};
        break;
    case framePanelDown:
        groups[count++] = {sh, clNone};
        groups[count++] = {clBlack, hi};
        break;
    case frameLightBordered:
        groups[count++] = {clNone, sh};
        groups[count++] = {hi, hi};
        break;
    }
    if (count == 0)
        return;

    ScopedSaveDC save(DC);
    SetROP2(DC, R2_COPYPEN);
    const TZelEdges edges = Frame->Edges();
    for (int g = 0; g < count; ++g) {
        ScopedPen topLeft = MakePen(groups[g].topLeft);
        ScopedPen bottomRight = MakePen(groups[g].bottomRight);
        // Rings take inclusive corners.
        --Rect.Right;
        --Rect.Bottom;
        for (int i = 0; i < Frame->FrameWidth(); ++i) {
            DrawRing(DC, Rect, topLeft.Get(), bottomRight.Get(), edges);
            Rect.Inflate(-1, -1);
        }
        ++Rect.Right;
        ++Rect.Bottom;
    }
}

// ---- Glyphs ----

void RecolorGlyph(TBitmap* Bitmap, TColor TransparentColor, int Factor) {
    if (Bitmap->Empty())
        return;
    // clNone keys nothing: every pixel is recoloured.
    const uint32_t key = TransparentColor == clNone ? 0xFF000000u : DibPixel(TransparentColor);
    const uint32_t face = DibPixel(clBtnFace);
    const uint32_t highlight = DibPixel(clBtnHighlight);
    const uint32_t shadow = DibPixel(clBtnShadow);
    for (int y = 0; y < Bitmap->Height(); ++y) {
        uint32_t* row = Bitmap->ScanLine(y);
        for (int x = 0; x < Bitmap->Width(); ++x) {
            uint32_t pixel = row[x] & 0x00FFFFFF;
            if (pixel == key)
                continue;
            int sum = static_cast<int>((pixel & 0xFF) + ((pixel >> 8) & 0xFF) + ((pixel >> 16) & 0xFF));
            if (sum > 535 * Factor)
                row[x] = face;
            else if (sum > 274 * Factor)
                row[x] = highlight;
            else if (sum > 55 * Factor)
                row[x] = shadow;
            else
                row[x] = 0;
        }
    }
}

void DrawGlyph(TZelGlyph* Glyph, TCanvas* Canvas, int X, int Y, bool Enabled, bool Down, bool Dimmed) {
    TBitmap* strip = Glyph->Bitmap();
    if (strip->Empty() || !Glyph->Visible())
        return;
    const int count = Glyph->NumGlyphs();
    const int width = Glyph->GlyphWidth(), height = Glyph->GlyphHeight();
    if (width <= 0)
        return;
    int image = 1;
    if (!Enabled)
        image = count;
    else if (Down && count >= 3)
        image = 2;

    TBitmap work(width, height);
    HDC workDC = work.Canvas()->Handle();
    HDC stripDC = strip->Canvas()->Handle();
    // A strip whose width does not divide evenly may end short of the last image.
    auto copyImage = [&](int k) {
        int left = (k - 1) * width;
        int columns = std::min(width, strip->Width() - left);
        if (columns > 0)
            BitBlt(workDC, 0, 0, columns, height, stripDC, left, 0, SRCCOPY);
    };
    copyImage(image);
    if (!Enabled || image > count)
        RecolorGlyph(&work, Glyph->TransparentColor(), 2);
    if (Enabled && Dimmed) {
        copyImage(1);
        RecolorGlyph(&work, Glyph->TransparentColor(), 1);
    }

    // A clNone key would reach the image list as white; such a strip has
    // nothing transparent.
    if (Glyph->Transparent() && Glyph->TransparentColor() != clNone) {
        DrawMasked(Canvas, &work, X, Y, Glyph->TransparentColor());
    } else {
        HDC dc = Canvas->Handle();
        if (!dc)
            throw EInvalidOperation("Canvas does not allow drawing");
        BitBlt(dc, X, Y, width, height, workDC, 0, 0, SRCCOPY);
        Canvas->Changed();
    }
}

}  // namespace vexel
