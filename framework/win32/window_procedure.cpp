#include "framework/win32/controls.h"

#include <commctrl.h>

#include <algorithm>
#include <vector>

#include "framework/core/sysutils.h"
#include "framework/win32/control_internals.h"
#include "framework/win32/forms.h"
#include "framework/win32/guarded_call.h"

namespace vexel {

using namespace detail;

namespace {

const wchar_t kControlProp[] = L"VexelControl";
const wchar_t kWindowClass[] = L"VexelWindow";
// Our place in a standard window's subclass chain.
constexpr UINT_PTR kSubclassId = 0x5645;

// The subclassed windows whose messages this thread is dispatching right now,
// innermost last: inside such a call the default handling continues down the
// window's subclass chain (DefSubclassProc); outside one (Perform from
// program code) it goes to the class procedure itself.
thread_local std::vector<HWND> t_subclassCalls;

bool InSubclassCall(HWND Window) {
    return std::find(t_subclassCalls.rbegin(), t_subclassCalls.rend(), Window) != t_subclassCalls.rend();
}

}  // namespace

LRESULT CALLBACK StdWndProc(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam);

const wchar_t* detail::RegisterWindowClass() {
    static bool registered = false;
    if (!registered) {
        WNDCLASSW wc{};
        wc.style = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
        wc.lpfnWndProc = &StdWndProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.lpszClassName = kWindowClass;
        if (!RegisterClassW(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
            throw EOutOfResources("Error creating window class");
        registered = true;
    }
    return kWindowClass;
}

LRESULT CALLBACK StdWndProc(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam) {
    TWinControl* control = TWinControl::FindControl(Window);
    if (!control && Msg == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(LParam);
        control = static_cast<TWinControl*>(create->lpCreateParams);
        if (control)
            control->Bind(Window);
    }
    if (!control)
        return DefWindowProcW(Window, Msg, WParam, LParam);
    return control->Dispatch(Window, Msg, WParam, LParam);
}

// The framework's procedure in a standard window's subclass chain. It takes
// its place with SetWindowSubclass and leaves with RemoveWindowSubclass, so
// other subclassers before or after it chain soundly whichever leaves first.
LRESULT CALLBACK SubclassWndProc(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam, UINT_PTR Id,
                                 DWORD_PTR RefData) {
    auto* control = reinterpret_cast<TWinControl*>(RefData);
    t_subclassCalls.push_back(Window);
    LRESULT result = control->Dispatch(Window, Msg, WParam, LParam);
    t_subclassCalls.pop_back();
    // The control may be gone by now (freed from inside the message); only
    // the window and the id are used.
    if (Msg == WM_NCDESTROY)
        RemoveWindowSubclass(Window, &SubclassWndProc, Id);
    return result;
}

void TWinControl::Subclass(HWND Window) {
    auto classProc = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(Window, GWLP_WNDPROC));
    if (!SetWindowSubclass(Window, &SubclassWndProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this)))
        throw EOutOfResources("Error creating window");
    defWndProc_ = classProc;
    Bind(Window);
}

TWinControl* TWinControl::FindControl(HWND Window) {
    return Window ? static_cast<TWinControl*>(GetPropW(Window, kControlProp)) : nullptr;
}

void TWinControl::Bind(HWND Window) {
    handle_ = Window;
    SetPropW(Window, kControlProp, this);
}

LRESULT TWinControl::Dispatch(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam) {
    TMessage message{Msg, WParam, LParam, 0};
    if (hooks_.empty()) {
        GuardedCall(this, [&] { WndProc(message); });
    } else {
        THookedMessage call(*this, message, hooks_);
        call.CallNext();
    }
    if (Msg == WM_NCDESTROY) {
        RemovePropW(Window, kControlProp);
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
                             ? DefWindowProcW(parent->handle_, Message.Msg - CN_BASE, Message.WParam, Message.LParam)
                             : 0;
        return;
    }
    if (!handle_) {
        Message.Result = 0;
        return;
    }
    if (defWndProc_ != &DefWindowProcW && InSubclassCall(handle_))
        Message.Result = DefSubclassProc(handle_, Message.Msg, Message.WParam, Message.LParam);
    else
        Message.Result = CallWindowProcW(defWndProc_, handle_, Message.Msg, Message.WParam, Message.LParam);
}

// ---- Message hooks ----

LRESULT THookedMessage::CallNext() {
    while (next_ < slots_.size()) {
        TMessageHook* hook = slots_[next_++]->Hook;
        if (hook)
            GuardedCall(hook, [&] { hook->HookMessage(*this); });
    }
    if (!ownHandlingDone_) {
        ownHandlingDone_ = true;
        if (!handled_)
            GuardedCall(control_, [&] { control_->WndProc(message_); });
    }
    return message_.Result;
}

void TWinControl::AddMessageHook(TMessageHook* Hook) {
    if (!Hook)
        return;
    for (const auto& slot : hooks_)
        if (slot->Hook == Hook)
            return;
    hooks_.push_back(std::make_shared<THookedMessage::TSlot>(THookedMessage::TSlot{Hook}));
}

void TWinControl::RemoveMessageHook(TMessageHook* Hook) {
    for (auto it = hooks_.begin(); it != hooks_.end(); ++it) {
        if ((*it)->Hook == Hook) {
            (*it)->Hook = nullptr;  // messages under way skip it from now on
            hooks_.erase(it);
            return;
        }
    }
}

void TWinControl::NotifyWindowCreated() {
    THookedMessage::TSlots slots = hooks_;
    for (const auto& slot : slots)
        if (TMessageHook* hook = slot->Hook)
            GuardedCall(hook, [&] { hook->WindowCreated(this); });
}

void TWinControl::DropMessageHooks() {
    THookedMessage::TSlots slots = std::move(hooks_);
    hooks_.clear();
    for (const auto& slot : slots) {
        if (TMessageHook* hook = slot->Hook) {
            slot->Hook = nullptr;
            GuardedCall(hook, [&] { hook->ControlDestroying(this); });
        }
    }
}

}  // namespace vexel
