#include "framework/win32/picture.h"

#include <set>

#include "framework/core/sysutils.h"
#include "framework/win32/system_errors.h"
#include "framework/win32/system_text.h"
#include "picture/gif_decoder.h"

namespace vexel {

namespace {

// A colour no opaque pixel of the picture has: magenta, the program's usual
// key, unless the picture uses it.
uint32_t UnusedDibColour(const GifImage& Image) {
    std::set<uint32_t> used;
    for (size_t i = 0; i + 3 < Image.Pixels.size(); i += 4) {
        if (Image.Pixels[i + 3] == 0)
            continue;
        used.insert(Image.Pixels[i] | (Image.Pixels[i + 1] << 8) |
                    (static_cast<uint32_t>(Image.Pixels[i + 2]) << 16));
    }
    // A frame has at most 256 colours, so one of 257 candidates is free.
    for (uint32_t step = 0; step <= 256; ++step) {
        uint32_t candidate = DibPixel(clFuchsia) - step * 0x010001u;
        if (!used.count(candidate))
            return candidate;
    }
    return DibPixel(clFuchsia);
}

std::string ReadWholeFile(const std::string& FileName) {
    HANDLE file = CreateFileW(platform::SystemPath(FileName).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        throw EFOpenError("Cannot open file \"" + FileName + "\". " + SysErrorMessage(GetLastError()));
    std::string bytes;
    char buffer[65536];
    DWORD read = 0;
    BOOL ok;
    while ((ok = ReadFile(file, buffer, sizeof(buffer), &read, nullptr)) && read > 0)
        bytes.append(buffer, read);
    DWORD error = GetLastError();
    CloseHandle(file);
    if (!ok)
        throw EFOpenError("Cannot read file \"" + FileName + "\". " + SysErrorMessage(error));
    return bytes;
}

}  // namespace

void LoadGifToBitmap(TBitmap& Bitmap, std::string_view Bytes) {
    GifImage image;
    try {
        image = DecodeGif(Bytes);
    } catch (const GifError& e) {
        throw EInvalidGraphic(e.what());
    }
    uint32_t key = UnusedDibColour(image);
    TBitmap decoded(image.Width, image.Height);
    for (int32_t y = 0; y < image.Height; ++y) {
        uint32_t* row = decoded.ScanLine(y);
        const uint8_t* source =
            image.Pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(image.Width) * 4;
        for (int32_t x = 0; x < image.Width; ++x, source += 4)
            row[x] = source[3] == 0 ? key
                                    : source[0] | (source[1] << 8) | (static_cast<uint32_t>(source[2]) << 16);
    }
    decoded.Canvas()->Changed();
    Bitmap.Assign(&decoded);
    Bitmap.SetTransparentColor(DibPixelColor(key));
    Bitmap.SetTransparent(image.HasTransparency);
}

// ---- TPicture ----

TPicture::TPicture() = default;
TPicture::~TPicture() = default;

TGraphic* TPicture::Graphic() const {
    return bitmap_ && !bitmap_->Empty() ? bitmap_.get() : nullptr;
}

TBitmap* TPicture::Bitmap() {
    if (!bitmap_)
        Take(std::make_unique<TBitmap>());
    return bitmap_.get();
}

bool TPicture::Empty() const {
    return !bitmap_ || bitmap_->Empty();
}

int TPicture::Width() const {
    return bitmap_ ? bitmap_->Width() : 0;
}

int TPicture::Height() const {
    return bitmap_ ? bitmap_->Height() : 0;
}

void TPicture::Take(std::unique_ptr<TBitmap> Bitmap) {
    bitmap_ = std::move(Bitmap);
    if (bitmap_)
        bitmap_->OnChange = [this](TObject*) { Changed(); };
    Changed();
}

void TPicture::Changed() {
    if (OnChange)
        OnChange(this);
}

void TPicture::LoadFromFile(const std::string& FileName) {
    std::string bytes = ReadWholeFile(FileName);
    auto bitmap = std::make_unique<TBitmap>();
    try {
        if (IsGif(bytes))
            LoadGifToBitmap(*bitmap, bytes);
        else if (bytes.size() >= 2 && bytes[0] == 'B' && bytes[1] == 'M')
            bitmap->LoadFromFile(FileName);
        else
            throw EInvalidGraphic("it is neither a BMP nor a GIF picture");
    } catch (const EInvalidGraphic& e) {
        throw EInvalidGraphic("Cannot load the picture \"" + FileName + "\": " + e.Message());
    }
    Take(std::move(bitmap));
}

void TPicture::LoadFromResourceName(HINSTANCE Instance, const std::string& ResName) {
    auto bitmap = std::make_unique<TBitmap>();
    const std::wstring name = ToSystem(ResName);
    if (FindResourceW(Instance, name.c_str(), RT_BITMAP)) {
        bitmap->LoadFromResourceName(Instance, ResName);
    } else {
        HRSRC resource = FindResourceW(Instance, name.c_str(), RT_RCDATA);
        HGLOBAL loaded = resource ? LoadResource(Instance, resource) : nullptr;
        const void* data = loaded ? LockResource(loaded) : nullptr;
        if (!data)
            throw EResNotFound("Resource " + ResName + " not found");
        std::string_view bytes(static_cast<const char*>(data), SizeofResource(Instance, resource));
        try {
            LoadGifToBitmap(*bitmap, bytes);
        } catch (const EInvalidGraphic& e) {
            throw EInvalidGraphic("Cannot load the picture resource " + ResName + ": " + e.Message());
        }
    }
    Take(std::move(bitmap));
}

void TPicture::Assign(TPersistent* Source) {
    if (!Source) {
        Take(nullptr);
        return;
    }
    if (auto* picture = dynamic_cast<TPicture*>(Source)) {
        if (picture == this)
            return;
        if (!picture->bitmap_) {
            Take(nullptr);
            return;
        }
        Source = picture->bitmap_.get();
    }
    if (auto* bitmap = dynamic_cast<TBitmap*>(Source)) {
        if (bitmap == bitmap_.get())
            return;
        auto copy = std::make_unique<TBitmap>();
        copy->Assign(bitmap);
        Take(std::move(copy));
        return;
    }
    TPersistent::Assign(Source);
}

}  // namespace vexel
