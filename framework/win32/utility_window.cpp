#include "framework/win32/utility_window.h"

#include "framework/core/sysutils.h"
#include "framework/win32/guarded_call.h"

namespace vexel {

TUtilityWindow::TUtilityWindow(THandler Handler, TObject* Sender) : handler_(std::move(Handler)), sender_(Sender) {
    static const wchar_t kClass[] = L"VexelUtilityWindow";
    static bool registered = false;
    if (!registered) {
        WNDCLASSW wc{};
        wc.lpfnWndProc = &TUtilityWindow::WindowProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = kClass;
        if (!RegisterClassW(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
            throw EOutOfResources("Error creating window class");
        registered = true;
    }
    handle_ = CreateWindowExW(0, kClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleW(nullptr), this);
    if (!handle_)
        throw EOutOfResources("Error creating window");
}

TUtilityWindow::~TUtilityWindow() {
    if (handle_)
        DestroyWindow(handle_);
}

LRESULT CALLBACK TUtilityWindow::WindowProc(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam) {
    if (Msg == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(LParam);
        SetWindowLongPtrW(Window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<TUtilityWindow*>(GetWindowLongPtrW(Window, GWLP_USERDATA));
    if (!self || !self->handler_ || Msg == WM_NCDESTROY)
        return DefWindowProcW(Window, Msg, WParam, LParam);
    LRESULT result = 0;
    GuardedCall(self->sender_, [&] { result = self->handler_(Window, Msg, WParam, LParam); });
    return result;
}

}  // namespace vexel
