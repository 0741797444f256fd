#include "framework/win32/controls.h"

#include "framework/core/sysutils.h"
#include "framework/win32/control_internals.h"
#include "framework/win32/forms.h"
#include "framework/win32/guarded_call.h"

namespace vexel {

using namespace detail;

namespace {

const char kControlProp[] = "VexelControl";
const char kWindowClass[] = "VexelWindow";

}  // namespace

LRESULT CALLBACK StdWndProc(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam);

const char* detail::RegisterWindowClass() {
    static bool registered = false;
    if (!registered) {
        WNDCLASSA wc{};
        wc.style = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
        wc.lpfnWndProc = &StdWndProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        wc.lpszClassName = kWindowClass;
        if (!RegisterClassA(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
            throw EOutOfResources("Error creating window class");
        registered = true;
    }
    return kWindowClass;
}

LRESULT CALLBACK StdWndProc(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam) {
    TWinControl* control = TWinControl::FindControl(Window);
    if (!control && Msg == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(LParam);
        control = static_cast<TWinControl*>(create->lpCreateParams);
        if (control)
            control->Bind(Window);
    }
    if (!control)
        return DefWindowProcA(Window, Msg, WParam, LParam);
    return control->Dispatch(Window, Msg, WParam, LParam);
}

TWinControl* TWinControl::FindControl(HWND Window) {
    return Window ? static_cast<TWinControl*>(GetPropA(Window, kControlProp)) : nullptr;
}

void TWinControl::Bind(HWND Window) {
    handle_ = Window;
    SetPropA(Window, kControlProp, this);
}

LRESULT TWinControl::Dispatch(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam) {
    TMessage message{Msg, WParam, LParam, 0};
    GuardedCall(this, [&] { WndProc(message); });
    if (Msg == WM_NCDESTROY) {
        RemovePropA(Window, kControlProp);
        if (handle_ == Window)
            handle_ = nullptr;
        trackingLeave_ = false;
        if (g_mouseControl && (g_mouseControl == this || g_mouseControl->parent_ == this))
            g_mouseControl = nullptr;
    }
    return message.Result;
}

void TWinControl::DefaultHandler(TMessage& Message) {
    if (Message.Msg >= CN_BASE && Message.Msg < CN_BASE + 0x400) {
        // A child's notice that the child did not handle: the parent's
        // default answer.
        TWinControl* parent = Parent();
        Message.Result = parent && parent->handle_
                             ? DefWindowProcA(parent->handle_, Message.Msg - CN_BASE, Message.WParam, Message.LParam)
                             : 0;
        return;
    }
    if (!handle_) {
        Message.Result = 0;
        return;
    }
    Message.Result = CallWindowProcA(defWndProc_, handle_, Message.Msg, Message.WParam, Message.LParam);
}

}  // namespace vexel
