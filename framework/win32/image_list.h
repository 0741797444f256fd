// A list of same-sized images with a transparency mask, over the common
// controls' image list. Masked drawing of a bitmap goes through it: add the
// bitmap with its mask colour, draw entry 0.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include "framework/core/classes.h"
#include "framework/core/colors.h"
#include "framework/win32/graphics.h"

namespace vexel {

class TImageList : public TComponent {
public:
    // 16 x 16 images until SetSize.
    explicit TImageList(TComponent* AOwner);

    int Width() const { return width_; }
    int Height() const { return height_; }
    // Changes the image size; drops all images.
    void SetSize(int Width, int Height);
    int Count() const;

    // Adds the bitmap, cut into Width-wide images, with every pixel of
    // MaskColor transparent; returns the index of the first image added. The
    // bitmap itself is left as it was.
    int AddMasked(TBitmap* Image, TColor MaskColor);
    // Draws image Index, in its normal (enabled) look, with its top-left
    // corner at (X, Y).
    void Draw(TCanvas* Canvas, int X, int Y, int Index);
    void Clear();

    HIMAGELIST Handle();

protected:
    ~TImageList() override;

private:
    void FreeHandle();

    int width_ = 16;
    int height_ = 16;
    HIMAGELIST handle_ = nullptr;
};

}  // namespace vexel
