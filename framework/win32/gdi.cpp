#include "framework/win32/gdi.h"

#include <atomic>

namespace vexel {

namespace {
// Atomic: a worker thread may draw into a bitmap of its own while the GUI
// thread paints.
std::atomic<int> g_live{0};
std::atomic<int> g_failedDeletes{0};
}  // namespace

namespace gdi {

int LiveObjects() {
    return g_live;
}

int FailedDeletes() {
    return g_failedDeletes;
}

void Created() {
    ++g_live;
}

void Deleted(HGDIOBJ handle, BOOL ok) {
    --g_live;
    // A deleted object's handle stops naming anything at once; one that is
    // still selected somewhere lives on (Wine defers the delete, Windows refuses).
    if (!ok || GetObjectType(handle) != 0)
        ++g_failedDeletes;
}

}  // namespace gdi

AutoDeleteDC::AutoDeleteDC(HDC compatible) : dc_(CreateCompatibleDC(compatible)) {
    if (dc_)
        gdi::Created();
}

AutoDeleteDC::~AutoDeleteDC() {
    if (dc_)
        gdi::Deleted(dc_, DeleteDC(dc_));
}

ScopedGetDC::ScopedGetDC(HWND window) : window_(window), dc_(GetDC(window)) {
    if (dc_)
        gdi::Created();
}

ScopedGetDC::~ScopedGetDC() {
    if (dc_) {
        --g_live;
        if (!ReleaseDC(window_, dc_))
            ++g_failedDeletes;
    }
}

ScopedWindowDC::ScopedWindowDC(HWND window) : window_(window), dc_(GetWindowDC(window)) {
    if (dc_)
        gdi::Created();
}

ScopedWindowDC::~ScopedWindowDC() {
    if (dc_) {
        --g_live;
        if (!ReleaseDC(window_, dc_))
            ++g_failedDeletes;
    }
}

ScopedPaint::ScopedPaint(HWND window) : window_(window), ps_{} {
    if (BeginPaint(window_, &ps_))
        gdi::Created();
}

ScopedPaint::~ScopedPaint() {
    if (ps_.hdc) {
        --g_live;
        EndPaint(window_, &ps_);
    }
}

}  // namespace vexel
