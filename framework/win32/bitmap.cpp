// TBitmap: a 32-bit top-down DIB section with a canvas of its own, loaded
// from and saved to .bmp files and resources, drawn plain or transparent.
#include <algorithm>
#include <cstring>

#include "framework/core/sysutils.h"
#include "framework/win32/graphics.h"
#include "framework/win32/graphics_internals.h"
#include "framework/win32/system_errors.h"
#include "framework/win32/system_text.h"

namespace vexel {

namespace {

HBITMAP CreateDib(int Width, int Height, uint32_t** Bits) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = Width;
    info.bmiHeader.biHeight = -Height;  // top-down: row 0 first in memory
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!dib)
        throw EOutOfResources("Out of system resources");
    *Bits = static_cast<uint32_t*>(bits);
    return dib;
}

}  // namespace

void DrawThroughMask(HDC Dst, const TRect& Dest, HDC Src, const TRect& Source, HDC Mask) {
    int sw = Source.Width(), sh = Source.Height();
    // The source without the masked pixels (made black), ORed into a
    // destination whose other pixels were cleared: the masked pixels keep
    // what was there.
    TBitmap copy(sw, sh);
    HDC copyDC = copy.Canvas()->Handle();
    BitBlt(copyDC, 0, 0, sw, sh, Src, Source.Left, Source.Top, SRCCOPY);
    SetTextColor(copyDC, RGB(0, 0, 0));
    SetBkColor(copyDC, RGB(255, 255, 255));
    BitBlt(copyDC, 0, 0, sw, sh, Mask, 0, 0, 0x00220326 /* DSna */);
    StretchBlt(Dst, Dest.Left, Dest.Top, Dest.Width(), Dest.Height(), Mask, 0, 0, sw, sh, SRCAND);
    StretchBlt(Dst, Dest.Left, Dest.Top, Dest.Width(), Dest.Height(), copyDC, 0, 0, sw, sh, SRCPAINT);
}

// ---- TBitmap ----

class TBitmap::TBitmapCanvas : public TCanvas {
public:
    explicit TBitmapCanvas(TBitmap& owner) : owner_(owner) {}

    void FreeContext() {
        if (!dc_)
            return;
        SetHandle(nullptr);
        select_.reset();
        dc_.reset();
    }

protected:
    void CreateHandle() override {
        dc_.emplace(nullptr);
        if (owner_.dib_)
            select_.emplace(dc_->Get(), owner_.dib_.Get());
        SetHandle(dc_->Get());
    }
public:
    void Changed() override {
        TCanvas::Changed();
        owner_.Changed();
    }

private:
    TBitmap& owner_;
    std::optional<AutoDeleteDC> dc_;
    std::optional<ScopedSelect> select_;
};

TBitmap::TBitmap() = default;

TBitmap::TBitmap(int Width, int Height) {
    SetSize(Width, Height);
}

TBitmap::~TBitmap() {
    if (canvas_)
        canvas_->FreeContext();
}

TCanvas* TBitmap::Canvas() {
    if (!canvas_)
        canvas_ = std::make_unique<TBitmapCanvas>(*this);
    return canvas_.get();
}

void TBitmap::FreeContext() {
    if (canvas_)
        canvas_->FreeContext();
}

void TBitmap::SetSize(int Width, int Height) {
    if (Width < 0)
        Width = 0;
    if (Height < 0)
        Height = 0;
    if (Width == width_ && Height == height_)
        return;
    ScopedBitmap dib;
    uint32_t* bits = nullptr;
    if (Width > 0 && Height > 0) {
        dib.Reset(CreateDib(Width, Height, &bits));
        std::fill(bits, bits + static_cast<size_t>(Width) * static_cast<size_t>(Height), 0x00FFFFFFu);
        if (bits_) {
            GdiFlush();
            int rows = std::min(Height, height_);
            int columns = std::min(Width, width_);
            for (int y = 0; y < rows; ++y)
                std::memcpy(bits + static_cast<size_t>(y) * static_cast<size_t>(Width),
                            bits_ + static_cast<size_t>(y) * static_cast<size_t>(width_),
                            static_cast<size_t>(columns) * sizeof(uint32_t));
        }
    }
    FreeContext();
    dib_ = std::move(dib);
    bits_ = bits;
    width_ = Width;
    height_ = Height;
    Changed();
}

void TBitmap::Assign(TPersistent* Source) {
    if (!Source) {
        SetSize(0, 0);
        return;
    }
    auto* source = dynamic_cast<TBitmap*>(Source);
    if (!source) {
        TGraphic::Assign(Source);
        return;
    }
    if (source == this)
        return;
    SetSize(source->width_, source->height_);
    if (bits_) {
        GdiFlush();
        std::memcpy(bits_, source->bits_, static_cast<size_t>(width_) * static_cast<size_t>(height_) * sizeof(uint32_t));
    }
    transparent_ = source->transparent_;
    transparentMode_ = source->transparentMode_;
    transparentColor_ = source->transparentColor_;
    Changed();
}

void TBitmap::Mask(TColor TransparentColor) {
    if (!bits_)
        return;
    GdiFlush();
    uint32_t key = DibPixel(TransparentColor);
    uint32_t* end = bits_ + static_cast<size_t>(width_) * static_cast<size_t>(height_);
    for (uint32_t* p = bits_; p != end; ++p)
        *p = (*p & 0x00FFFFFF) == key ? 0x00FFFFFFu : 0u;
    Changed();
}

void TBitmap::CheckPixel(int X, int Y) const {
    if (X < 0 || Y < 0 || X >= width_ || Y >= height_)
        throw EInvalidGraphicOperation("Scan line index out of range");
}

uint32_t* TBitmap::ScanLine(int Row) {
    CheckPixel(0, Row);
    GdiFlush();
    return bits_ + static_cast<size_t>(Row) * static_cast<size_t>(width_);
}

TColor TBitmap::PixelColor(int X, int Y) {
    CheckPixel(X, Y);
    GdiFlush();
    return DibPixelColor(bits_[static_cast<size_t>(Y) * static_cast<size_t>(width_) + static_cast<size_t>(X)]);
}

void TBitmap::SetPixelColor(int X, int Y, TColor Value) {
    CheckPixel(X, Y);
    GdiFlush();
    bits_[static_cast<size_t>(Y) * static_cast<size_t>(width_) + static_cast<size_t>(X)] = DibPixel(Value);
    Changed();
}

void TBitmap::LoadFromHandle(HBITMAP Bitmap) {
    BITMAP info{};
    if (!Bitmap || !GetObjectW(Bitmap, sizeof(info), &info))
        throw EInvalidGraphic("Bitmap image is not valid");
    int width = info.bmWidth, height = info.bmHeight < 0 ? -info.bmHeight : info.bmHeight;
    FreeContext();
    SetSize(0, 0);  // a fresh white picture, not the old one's pixels
    SetSize(width, height);
    AutoDeleteDC sourceDC;
    ScopedSelect select(sourceDC.Get(), Bitmap);
    BitBlt(Canvas()->Handle(), 0, 0, width, height, sourceDC.Get(), 0, 0, SRCCOPY);
    Changed();
}

void TBitmap::LoadFromFile(const std::string& FileName) {
    if (GetFileAttributesW(platform::SystemPath(FileName).c_str()) == INVALID_FILE_ATTRIBUTES)
        throw EFOpenError("Cannot open file \"" + FileName + "\". " + SysErrorMessage(GetLastError()));
    ScopedBitmap loaded(static_cast<HBITMAP>(
        LoadImageW(nullptr, ToSystem(FileName).c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION)));
    if (!loaded)
        throw EInvalidGraphic("Bitmap image is not valid");
    LoadFromHandle(loaded.Get());
}

void TBitmap::LoadFromResourceName(HINSTANCE Instance, const std::string& ResName) {
    ScopedBitmap loaded(
        static_cast<HBITMAP>(LoadImageW(Instance, ToSystem(ResName).c_str(), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    if (!loaded)
        throw EResNotFound("Resource " + ResName + " not found");
    LoadFromHandle(loaded.Get());
}

void TBitmap::SaveToFile(const std::string& FileName) {
    HANDLE file = CreateFileW(platform::SystemPath(FileName).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        throw EFCreateError("Cannot create file \"" + FileName + "\". " + SysErrorMessage(GetLastError()));
    DWORD imageSize = static_cast<DWORD>(width_) * static_cast<DWORD>(height_) * 4;
    BITMAPFILEHEADER fileHeader{};
    BITMAPINFOHEADER infoHeader{};
    fileHeader.bfType = 0x4D42;  // "BM"
    fileHeader.bfOffBits = sizeof(fileHeader) + sizeof(infoHeader);
    fileHeader.bfSize = fileHeader.bfOffBits + imageSize;
    infoHeader.biSize = sizeof(infoHeader);
    infoHeader.biWidth = width_;
    infoHeader.biHeight = height_;  // bottom-up, which every reader accepts
    infoHeader.biPlanes = 1;
    infoHeader.biBitCount = 32;
    infoHeader.biCompression = BI_RGB;
    infoHeader.biSizeImage = imageSize;
    DWORD written = 0;
    bool ok = WriteFile(file, &fileHeader, sizeof(fileHeader), &written, nullptr) &&
              WriteFile(file, &infoHeader, sizeof(infoHeader), &written, nullptr);
    if (bits_)
        GdiFlush();
    for (int y = height_ - 1; ok && y >= 0; --y)
        ok = WriteFile(file, bits_ + static_cast<size_t>(y) * static_cast<size_t>(width_),
                       static_cast<DWORD>(width_) * 4, &written, nullptr);
    DWORD error = GetLastError();
    CloseHandle(file);
    if (!ok)
        throw EFCreateError("Cannot create file \"" + FileName + "\". " + SysErrorMessage(error));
}

void TBitmap::Draw(TCanvas* ACanvas, const TRect& Rect) {
    if (Empty())
        return;
    HDC dst = ACanvas->Handle();
    if (!dst)
        throw EInvalidOperation("Canvas does not allow drawing");
    HDC src = Canvas()->Handle();
    if (transparent_) {
        TRect source{0, 0, width_, height_};
        AutoDeleteDC maskDC;
        ScopedBitmap mask(CreateBitmap(width_, height_, 1, 1, nullptr));
        if (!mask)
            throw EOutOfResources("Out of system resources");
        ScopedSelect selectMask(maskDC.Get(), mask.Get());
        // Converting colour to monochrome maps the source's background colour to 1.
        COLORREF oldSrcBk = SetBkColor(src, GdiColor(TransparentColor()));
        BitBlt(maskDC.Get(), 0, 0, width_, height_, src, 0, 0, SRCCOPY);
        SetBkColor(src, oldSrcBk);
        COLORREF oldText = SetTextColor(dst, RGB(0, 0, 0));
        COLORREF oldBk = SetBkColor(dst, RGB(255, 255, 255));
        DrawThroughMask(dst, Rect, src, source, maskDC.Get());
        SetTextColor(dst, oldText);
        SetBkColor(dst, oldBk);
        return;
    }
    if (Rect.Width() == width_ && Rect.Height() == height_)
        BitBlt(dst, Rect.Left, Rect.Top, width_, height_, src, 0, 0, ACanvas->CopyMode());
    else
        StretchBlt(dst, Rect.Left, Rect.Top, Rect.Width(), Rect.Height(), src, 0, 0, width_, height_, ACanvas->CopyMode());
}

void TBitmap::SetTransparent(bool Value) {
    if (transparent_ == Value)
        return;
    transparent_ = Value;
    Changed();
}

void TBitmap::SetTransparentMode(TTransparentMode Value) {
    if (transparentMode_ == Value)
        return;
    transparentMode_ = Value;
    if (Value == tmAuto)
        transparentColor_ = clNone;
    Changed();
}

TColor TBitmap::TransparentColor() {
    if (transparentMode_ == tmFixed)
        return transparentColor_;
    return Empty() ? clNone : PixelColor(0, height_ - 1);
}

void TBitmap::SetTransparentColor(TColor Value) {
    transparentColor_ = Value;
    transparentMode_ = tmFixed;
    Changed();
}

}  // namespace vexel
