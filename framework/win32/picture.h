// Pictures loaded from files and resources: TPicture holds one as a TBitmap,
// from a .bmp or a .gif (the first frame, through the program's own GIF
// decoder).
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <string_view>

#include "framework/win32/graphics.h"

namespace vexel {

// Puts the first frame of a GIF file's bytes into Bitmap. Transparent pixels
// get a colour the frame does not use, which becomes the bitmap's fixed
// transparent colour, and the bitmap is Transparent when the picture has
// any; every other pixel has the decoder's colour. A file that is no GIF or
// is damaged raises EInvalidGraphic with the decoder's reason; Bitmap is
// then unchanged.
void LoadGifToBitmap(TBitmap& Bitmap, std::string_view Bytes);

// A picture of a window: empty, or one bitmap. OnChange fires whenever the
// picture changes (loaded, assigned, drawn on).
class TPicture : public TPersistent {
  public:
    TPicture();
    ~TPicture() override;

    // The picture, or null while it is empty.
    TGraphic* Graphic() const;
    // The picture as a bitmap; an empty one is made when there is none, so
    // a program can draw its own picture on it.
    TBitmap* Bitmap();
    void SetBitmap(TBitmap* Value) { Assign(Value); }
    bool Empty() const;
    int Width() const;
    int Height() const;

    // A .bmp or .gif file, told apart by its first bytes, whatever its name.
    // A missing file raises EFOpenError, anything else that is no such
    // picture EInvalidGraphic; both name the file. The picture is unchanged
    // after a failure.
    void LoadFromFile(const std::string& FileName);
    // A BITMAP resource, or an RCDATA resource holding a GIF file.
    // EResNotFound when there is neither.
    void LoadFromResourceName(HINSTANCE Instance, const std::string& ResName);

    // From another TPicture or a TBitmap (copied); null empties the picture.
    void Assign(TPersistent* Source) override;

    TNotifyEvent OnChange;

  private:
    void Take(std::unique_ptr<TBitmap> Bitmap);
    void Changed();

    std::unique_ptr<TBitmap> bitmap_;
};

}  // namespace vexel
