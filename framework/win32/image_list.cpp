#include "framework/win32/image_list.h"

#include "framework/core/sysutils.h"

namespace vexel {

TImageList::TImageList(TComponent* AOwner) : TComponent(AOwner) {}

TImageList::~TImageList() {
    FreeHandle();
}

void TImageList::FreeHandle() {
    if (handle_) {
        ImageList_Destroy(handle_);
        handle_ = nullptr;
    }
}

HIMAGELIST TImageList::Handle() {
    if (!handle_) {
        // 24-bit colour keeps every colour exact and leaves no alpha channel
        // for the list to blend with instead of using the mask.
        handle_ = ImageList_Create(width_, height_, ILC_COLOR24 | ILC_MASK, 1, 4);
        if (!handle_)
            throw EOutOfResources("Out of system resources");
    }
    return handle_;
}

void TImageList::SetSize(int Width, int Height) {
    if (Width == width_ && Height == height_)
        return;
    FreeHandle();
    width_ = Width;
    height_ = Height;
}

int TImageList::Count() const {
    return handle_ ? ImageList_GetImageCount(handle_) : 0;
}

int TImageList::AddMasked(TBitmap* Image, TColor MaskColor) {
    if (!Image || Image->Empty())
        throw EInvalidOperation("Invalid image");
    // The list wants a bitmap selected nowhere and may blacken its masked
    // pixels, so it gets a private copy.
    TBitmap copy;
    copy.Assign(Image);
    copy.FreeContext();
    int index = ImageList_AddMasked(Handle(), copy.Handle(), GdiColor(MaskColor));
    if (index < 0)
        throw EInvalidOperation("Failed to add image");
    return index;
}

void TImageList::Draw(TCanvas* Canvas, int X, int Y, int Index) {
    if (!handle_ || Index < 0 || Index >= Count())
        throw EInvalidOperation("Invalid ImageList Index");
    HDC dc = Canvas->Handle();
    if (!dc)
        throw EInvalidOperation("Canvas does not allow drawing");
    ImageList_Draw(handle_, Index, dc, X, Y, ILD_NORMAL);
    Canvas->Changed();
}

void TImageList::Clear() {
    if (handle_)
        ImageList_Remove(handle_, -1);
}

}  // namespace vexel
