// Scoped ownership of GDI objects and device contexts: every brush, pen,
// font, bitmap and DC the framework makes or selects is released by one of
// these on every path, exceptions included. They also keep a tally, so tests
// can prove that painting leaks nothing even where the system cannot count
// handles (Wine's GetGuiResources is a stub). The tally may be touched from
// any thread.
#pragma once

#include <windows.h>

#include <utility>

#include "framework/core/types.h"

namespace vexel {

inline RECT ToRECT(const TRect& r) {
    return RECT{r.Left, r.Top, r.Right, r.Bottom};
}
inline TRect FromRECT(const RECT& r) {
    return TRect{r.left, r.top, r.right, r.bottom};
}

namespace gdi {

// GDI objects and DCs currently alive that were made through the wrappers
// below (DCs from GetDC and BeginPaint count until released).
int LiveObjects();
// Deletions that did not free the object at once, which on Windows and Wine
// means it was still selected into a DC: a leak in waiting.
int FailedDeletes();

// For the wrappers only.
void Created();
void Deleted(HGDIOBJ handle, BOOL ok);

}  // namespace gdi

// Owns one GDI object (brush, pen, font, bitmap, region) and deletes it.
// Never give it a stock object.
template <class H>
class ScopedGdiObject {
public:
    ScopedGdiObject() = default;
    explicit ScopedGdiObject(H handle) : handle_(handle) {
        if (handle_)
            gdi::Created();
    }
    ~ScopedGdiObject() { Reset(); }
    ScopedGdiObject(ScopedGdiObject&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
    ScopedGdiObject& operator=(ScopedGdiObject&& other) noexcept {
        if (this != &other) {
            Reset();
            handle_ = std::exchange(other.handle_, nullptr);
        }
        return *this;
    }
    ScopedGdiObject(const ScopedGdiObject&) = delete;
    ScopedGdiObject& operator=(const ScopedGdiObject&) = delete;

    H Get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }
    // Deletes the current object and takes the new one.
    void Reset(H handle = nullptr) {
        if (handle_) {
            H old = handle_;
            handle_ = nullptr;
            gdi::Deleted(old, DeleteObject(old));
        }
        handle_ = handle;
        if (handle_)
            gdi::Created();
    }

private:
    H handle_ = nullptr;
};

using ScopedBrush = ScopedGdiObject<HBRUSH>;
using ScopedPen = ScopedGdiObject<HPEN>;
using ScopedFont = ScopedGdiObject<HFONT>;
using ScopedBitmap = ScopedGdiObject<HBITMAP>;
using ScopedRegion = ScopedGdiObject<HRGN>;

// Selects an object into a DC and puts the previous one back on exit.
class ScopedSelect {
public:
    ScopedSelect(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
    ~ScopedSelect() {
        if (old_ && old_ != HGDI_ERROR)
            SelectObject(dc_, old_);
    }
    ScopedSelect(const ScopedSelect&) = delete;
    ScopedSelect& operator=(const ScopedSelect&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};

// A memory DC compatible with `compatible` (the screen when null), deleted on exit.
class AutoDeleteDC {
public:
    explicit AutoDeleteDC(HDC compatible = nullptr);
    ~AutoDeleteDC();
    AutoDeleteDC(const AutoDeleteDC&) = delete;
    AutoDeleteDC& operator=(const AutoDeleteDC&) = delete;
    HDC Get() const { return dc_; }

private:
    HDC dc_;
};

// GetDC on a window (the screen when null), released on exit.
class ScopedGetDC {
public:
    explicit ScopedGetDC(HWND window);
    ~ScopedGetDC();
    ScopedGetDC(const ScopedGetDC&) = delete;
    ScopedGetDC& operator=(const ScopedGetDC&) = delete;
    HDC Get() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// GetWindowDC on a window: its whole area, frame and caption included, for
// painting into the non-client area. Released on exit.
class ScopedWindowDC {
public:
    explicit ScopedWindowDC(HWND window);
    ~ScopedWindowDC();
    ScopedWindowDC(const ScopedWindowDC&) = delete;
    ScopedWindowDC& operator=(const ScopedWindowDC&) = delete;
    HDC Get() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// BeginPaint / EndPaint.
class ScopedPaint {
public:
    explicit ScopedPaint(HWND window);
    ~ScopedPaint();
    ScopedPaint(const ScopedPaint&) = delete;
    ScopedPaint& operator=(const ScopedPaint&) = delete;
    HDC Get() const { return ps_.hdc; }
    const RECT& PaintRect() const { return ps_.rcPaint; }

private:
    HWND window_;
    PAINTSTRUCT ps_;
};

// SaveDC / RestoreDC: origin, clipping, colours and modes come back on exit.
class ScopedSaveDC {
public:
    explicit ScopedSaveDC(HDC dc) : dc_(dc), saved_(SaveDC(dc)) {}
    ~ScopedSaveDC() {
        if (saved_)
            RestoreDC(dc_, saved_);
    }
    ScopedSaveDC(const ScopedSaveDC&) = delete;
    ScopedSaveDC& operator=(const ScopedSaveDC&) = delete;

private:
    HDC dc_;
    int saved_;
};

}  // namespace vexel
