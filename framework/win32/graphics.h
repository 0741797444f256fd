// Drawing: fonts, pens and brushes as persistent objects that make their GDI
// handles on demand, TCanvas over any HDC, and TBitmap, a 32-bit DIB section
// with its own canvas and direct pixel access.
//
// The canvas selects its pen, brush and font into the DC for the length of
// one drawing call and restores the DC's previous objects afterwards, so a
// TFont, TPen or TBrush may change (and drop its handle) at any time and no
// handle is ever left selected. Code that draws on Canvas()->Handle() with
// raw GDI calls selects what it needs itself, with ScopedSelect (gdi.h).
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "framework/core/colors.h"
#include "framework/core/graphics_object.h"
#include "framework/core/types.h"
#include "framework/win32/gdi.h"

// We call the W functions by name; the macro would rename TCanvas::TextOut.
#undef TextOut

namespace vexel {

enum TFontStyle : uint32_t { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
using TFontStyles = uint32_t;
enum TFontPitch { fpDefault, fpVariable, fpFixed };
// fqNonAntialiased gives exact, repeatable pixels (tests of text drawing).
enum TFontQuality { fqDefault, fqDraft, fqProof, fqNonAntialiased, fqAntialiased, fqClearType };

// A logical font. Height is in pixels (negative: character height, as the
// GDI takes it); Size is in points at the screen's pixels per inch. Color is
// not part of the GDI font: the canvas sets it as the text colour.
class TFont : public TGraphicsObject {
public:
    TFont();
    void Assign(TPersistent* Source) override;

    // Made on first use after a change; the handle stays valid until a
    // property other than Color changes. Select it with ScopedSelect.
    HFONT Handle();

    const std::string& Name() const { return name_; }
    void SetName(const std::string& Value);
    int Height() const { return height_; }
    void SetHeight(int Value);
    int Size() const;
    void SetSize(int Value);
    TColor Color() const { return color_; }
    void SetColor(TColor Value);
    TFontStyles Style() const { return style_; }
    void SetStyle(TFontStyles Value);
    uint8_t Charset() const { return charset_; }
    void SetCharset(uint8_t Value);
    TFontPitch Pitch() const { return pitch_; }
    void SetPitch(TFontPitch Value);
    TFontQuality Quality() const { return quality_; }
    void SetQuality(TFontQuality Value);

    static int PixelsPerInch();

private:
    void HandleChanged();

    std::string name_ = "MS Sans Serif";
    int height_ = -11;
    TColor color_ = clWindowText;
    TFontStyles style_ = 0;
    uint8_t charset_ = DEFAULT_CHARSET;
    TFontPitch pitch_ = fpDefault;
    TFontQuality quality_ = fqDefault;
    ScopedFont handle_;
};

enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
// The raster operations of SetROP2, by their effect on the destination.
enum TPenMode {
    pmBlack,
    pmWhite,
    pmNop,
    pmNot,
    pmCopy,
    pmNotCopy,
    pmMergePenNot,
    pmMaskPenNot,
    pmMergeNotPen,
    pmMaskNotPen,
    pmMerge,
    pmNotMerge,
    pmMask,
    pmNotMask,
    pmXor,
    pmNotXor
};

class TPen : public TGraphicsObject {
public:
    void Assign(TPersistent* Source) override;
    HPEN Handle();

    TColor Color() const { return color_; }
    void SetColor(TColor Value);
    int Width() const { return width_; }
    void SetWidth(int Value);
    TPenStyle Style() const { return style_; }
    void SetStyle(TPenStyle Value);
    // Applied to the DC (SetROP2) by the canvas, not part of the handle.
    TPenMode Mode() const { return mode_; }
    void SetMode(TPenMode Value);
    int Rop2() const;

private:
    void HandleChanged();

    TColor color_ = clBlack;
    int width_ = 1;
    TPenStyle style_ = psSolid;
    TPenMode mode_ = pmCopy;
    ScopedPen handle_;
};

enum TBrushStyle { bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross };

// A brush. bsClear is the system's hollow brush; the hatch styles draw only
// their lines, because the canvas draws them in transparent background mode.
class TBrush : public TGraphicsObject {
public:
    void Assign(TPersistent* Source) override;
    HBRUSH Handle();

    TColor Color() const { return color_; }
    void SetColor(TColor Value);
    TBrushStyle Style() const { return style_; }
    void SetStyle(TBrushStyle Value);

private:
    void HandleChanged();

    TColor color_ = clWhite;
    TBrushStyle style_ = bsSolid;
    ScopedBrush handle_;
};

class TGraphic;
class TBitmap;

// Drawing on a device context. A canvas does not own its DC: bitmaps give
// their canvas a memory DC, controls bind theirs while they paint (see
// ScopedCanvasHandle and ScopedControlCanvas in controls.h). Drawing on a
// canvas without a DC raises EInvalidOperation "Canvas does not allow drawing".
class TCanvas : public TPersistent {
public:
    TCanvas();
    ~TCanvas() override;

    // The DC, or null while unbound. Nothing of the canvas stays selected in it.
    HDC Handle();
    void SetHandle(HDC Value);
    bool HandleAllocated() const { return handle_ != nullptr; }

    TFont* Font() { return &font_; }
    TPen* Pen() { return &pen_; }
    TBrush* Brush() { return &brush_; }
    // These copy the given object's settings.
    void SetFont(TFont* Value) { font_.Assign(Value); }
    void SetPen(TPen* Value) { pen_.Assign(Value); }
    void SetBrush(TBrush* Value) { brush_.Assign(Value); }

    // Raster operation of Draw, StretchDraw and CopyRect (SRCCOPY by default).
    DWORD CopyMode() const { return copyMode_; }
    void SetCopyMode(DWORD Value) { copyMode_ = Value; }

    TPoint PenPos();
    void SetPenPos(const TPoint& Value) { MoveTo(Value.X, Value.Y); }
    void MoveTo(int X, int Y);
    // The end point itself is not drawn.
    void LineTo(int X, int Y);
    void Polyline(const std::vector<TPoint>& Points);
    void Polygon(const std::vector<TPoint>& Points);
    // Pen outline and brush interior, as the GDI functions of the same names.
    void Rectangle(int X1, int Y1, int X2, int Y2);
    void Rectangle(const TRect& R) { Rectangle(R.Left, R.Top, R.Right, R.Bottom); }
    void Ellipse(int X1, int Y1, int X2, int Y2);
    void Ellipse(const TRect& R) { Ellipse(R.Left, R.Top, R.Right, R.Bottom); }
    void RoundRect(int X1, int Y1, int X2, int Y2, int X3, int Y3);
    void Arc(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4);
    // Fills with the brush: left and top edges included, right and bottom not.
    void FillRect(const TRect& R);
    // A one-pixel border in the brush.
    void FrameRect(const TRect& R);

    // Text in the font, on the brush colour unless the brush is bsClear.
    void TextOut(int X, int Y, const std::string& Text);
    // Text at (X, Y) clipped to Rect; the brush fills Rect unless bsClear.
    void TextRect(const TRect& Rect, int X, int Y, const std::string& Text);
    // The UTF-8 text drawn by DrawTextW with the given DT_xxx flags; with DT_CALCRECT it only measures
    // and updates Rect. Returns the height of the text.
    int DrawTextRect(TRect& Rect, const std::string& Text, UINT Format);
    TSize TextExtent(const std::string& Text);
    int TextWidth(const std::string& Text) { return TextExtent(Text).cx; }
    int TextHeight(const std::string& Text) { return TextExtent(Text).cy; }

    // Copies Source of Bitmap to Dest, replacing the pixels of Color by this
    // canvas's brush; with a bsClear brush those pixels are left out, so the
    // destination shows through.
    void BrushCopy(const TRect& Dest, TBitmap* Bitmap, const TRect& Source, TColor Color);
    void Draw(int X, int Y, TGraphic* Graphic);
    void StretchDraw(const TRect& Rect, TGraphic* Graphic);
    // StretchBlt from another canvas with CopyMode.
    void CopyRect(const TRect& Dest, TCanvas* Canvas, const TRect& Source);

    TColor Pixels(int X, int Y);
    void SetPixels(int X, int Y, TColor Value);
    TRect ClipRect();

    // Fired after every drawing call.
    TNotifyEvent OnChange;
    // Tells the canvas (and the bitmap it belongs to) that its pixels
    // changed; for code that draws on Handle() directly.
    virtual void Changed();

protected:
    // Called when Handle is asked for while the canvas has no DC: a subclass
    // that can make one (a bitmap's canvas) does so here.
    virtual void CreateHandle() {}
    // The DC, made on demand; raises EInvalidOperation when there is none.
    HDC RequireHandle();

private:
    class StateScope;
    TFont font_;
    TPen pen_;
    TBrush brush_;
    HDC handle_ = nullptr;
    DWORD copyMode_ = SRCCOPY;
};

// Binds a canvas to a DC for the life of the scope, then restores whatever
// it was bound to before.
class ScopedCanvasHandle {
public:
    ScopedCanvasHandle(TCanvas& canvas, HDC dc) : canvas_(canvas), old_(canvas.HandleAllocated() ? canvas.Handle() : nullptr) {
        canvas_.SetHandle(dc);
    }
    ~ScopedCanvasHandle() { canvas_.SetHandle(old_); }
    ScopedCanvasHandle(const ScopedCanvasHandle&) = delete;
    ScopedCanvasHandle& operator=(const ScopedCanvasHandle&) = delete;

private:
    TCanvas& canvas_;
    HDC old_;
};

// A picture that can draw itself on a canvas.
class TGraphic : public TPersistent {
public:
    virtual bool Empty() const = 0;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    virtual void LoadFromFile(const std::string& FileName) = 0;
    // Draws the whole picture into Rect (stretched when the sizes differ).
    virtual void Draw(TCanvas* ACanvas, const TRect& Rect) = 0;

    TNotifyEvent OnChange;

protected:
    virtual void Changed() {
        if (OnChange)
            OnChange(this);
    }
};

enum TTransparentMode { tmAuto, tmFixed };

// A 32 bits-per-pixel top-down DIB section. New pixels are white. Drawing on
// its canvas fires OnChange, like size changes, loading and Assign.
//
// A Transparent bitmap is drawn without the pixels of its transparent
// colour, which let the destination show through: with tmAuto that is the
// colour of the bottom-left pixel (where the program's pictures keep it),
// with tmFixed TransparentColor (setting one chooses tmFixed).
//
// Pixel access: ScanLine(y) gives row y as 0x00RRGGBB words (the DIB's byte
// order, blue in the low byte); PixelColor and SetPixelColor convert from and
// to TColor (0x00BBGGRR). Both flush pending GDI drawing first.
class TBitmap : public TGraphic {
public:
    TBitmap();
    TBitmap(int Width, int Height);
    ~TBitmap() override;

    bool Empty() const override { return width_ == 0 || height_ == 0; }
    int Width() const override { return width_; }
    int Height() const override { return height_; }
    void SetWidth(int Value) { SetSize(Value, height_); }
    void SetHeight(int Value) { SetSize(width_, Value); }
    // Keeps the pixels of the common top-left area; new area is white.
    void SetSize(int Width, int Height);

    TCanvas* Canvas();
    // The DIB section (null when empty). While the canvas is in use the
    // bitmap is selected into its DC; call FreeContext first when handing it
    // to something that selects it elsewhere (an image list, BM_SETIMAGE).
    HBITMAP Handle() const { return dib_.Get(); }
    // Drops the canvas's DC; the canvas makes a new one when next used.
    void FreeContext();

    // Copies another bitmap's pixels; Assign(nullptr) empties this one.
    void Assign(TPersistent* Source) override;

    // Turns the picture into a two-colour mask: pixels of TransparentColor
    // become white, all others black.
    void Mask(TColor TransparentColor);

    uint32_t* ScanLine(int Row);
    TColor PixelColor(int X, int Y);
    void SetPixelColor(int X, int Y, TColor Value);

    // .bmp files and bitmap resources. A missing file raises EFOpenError, a
    // file that is no bitmap EInvalidGraphic, a missing resource EResNotFound.
    void LoadFromFile(const std::string& FileName) override;
    void LoadFromResourceName(HINSTANCE Instance, const std::string& ResName);
    // Copies the picture of any bitmap handle (the handle stays the caller's).
    void LoadFromHandle(HBITMAP Bitmap);
    // Writes a 32-bit .bmp file; EFCreateError when it cannot be written.
    void SaveToFile(const std::string& FileName);

    void Draw(TCanvas* ACanvas, const TRect& Rect) override;

    bool Transparent() const { return transparent_; }
    void SetTransparent(bool Value);
    TTransparentMode TransparentMode() const { return transparentMode_; }
    void SetTransparentMode(TTransparentMode Value);
    // The colour left out when drawing transparent (for tmAuto, read from
    // the picture now; clNone for an empty one).
    TColor TransparentColor();
    void SetTransparentColor(TColor Value);

private:
    class TBitmapCanvas;
    void CheckPixel(int X, int Y) const;

    int width_ = 0;
    int height_ = 0;
    uint32_t* bits_ = nullptr;
    ScopedBitmap dib_;
    std::unique_ptr<TBitmapCanvas> canvas_;
    bool transparent_ = false;
    TTransparentMode transparentMode_ = tmAuto;
    TColor transparentColor_ = clNone;
};

// Draws Width nested one-pixel rings inside Rect: left and top edges in
// TopColor, right and bottom edges in BottomColor, which also takes the
// top-right and bottom-left corner pixels. On return Rect is the area inside
// the rings.
void Frame3D(TCanvas* Canvas, TRect& Rect, TColor TopColor, TColor BottomColor, int Width);

}  // namespace vexel
