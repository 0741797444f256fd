// Hooks through which a form manager sees every message of its form's window
// before the form does, and the one list of them that brings them back after
// the window is re-created.
//
// A hook rides on the control's message hooks (framework/win32/message_hook.h)
// and keeps the contract of a window-procedure subclass: the handler may mark
// a message handled (then nothing after it sees the message), may call the
// previous procedure itself, and the newest hook on a window comes first. At
// WM_DESTROY of a window that is not going for good the hook leaves and asks
// the list, by a posted message, to put it back once the control has its new
// window; a listed hook returns, a hook whose manager went in the meantime
// does not.
//
//     TZelHookClass* hook = HookList().AddHook(manager, form, false);
//     hook->BeforeMessage = [](TMessage& msg, bool& handled) {
//         if (msg.Msg == WM_ERASEBKGND) { msg.Result = 1; handled = true; }
//     };
//     ...
//     HookList().RemoveManagerHooks(manager);  // uninstalls and frees them
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "framework/core/classes.h"
#include "framework/win32/controls.h"
#include "framework/win32/forms.h"
#include "framework/win32/message_hook.h"

namespace vexel {

// Posted to the list's window with the serial number of the hook to put back
// (low half in wParam, high half in lParam): an address could by then belong
// to another hook made in a freed one's memory.
constexpr UINT ZelRehookMessage = 0xB1F6;

using TZelHookMsg = std::function<void(TMessage& Msg, bool& Handled)>;

class TZelHookClass : public TMessageHook {
public:
    // Hooks Control's window at once (the MDI client window is asked for
    // with Client, and the control's own window serves when it has none).
    TZelHookClass(TComponent* Manager, bool Client, TWinControl* Control);
    ~TZelHookClass() override;

    TWinControl* Control() const { return control_; }
    TComponent* Manager() const { return manager_; }
    bool Client() const { return client_; }
    // The window hooked, or last hooked.
    HWND Window() const { return window_; }
    bool Installed() const { return installed_; }
    // Grows with every installation of any hook: the newest runs first.
    uint64_t InstallOrder() const { return installOrder_; }
    // Unique among all hooks the program ever made.
    uint64_t Serial() const { return serial_; }

    // Takes its place in front of the hooks of this kind already on the
    // control, so the hook installed last sees a message first.
    void InstallHook();
    void RemoveHook();
    // BeforeReload, then InstallHook on the control's current window, then
    // OnReloadHook.
    void ReloadHook();

    // From inside BeforeMessage: runs the rest of the chain behind this hook
    // (later hooks, then the control's own handling) once, and returns the
    // result, which is also left in the message.
    LRESULT CallPrevious();

    TZelHookMsg BeforeMessage;
    TNotifyEvent BeforeReload;
    TNotifyEvent OnReloadHook;

    void HookMessage(THookedMessage& Call) override;
    void ControlDestroying(TWinControl* Control) override;

private:
    bool OwnersGoing() const;
    void ComputeWindow();

    TWinControl* control_;
    TComponent* manager_;
    bool client_;
    HWND window_ = nullptr;
    bool installed_ = false;
    uint64_t installOrder_ = 0;
    uint64_t serial_;
    THookedMessage* current_ = nullptr;  // the message under way, while BeforeMessage runs
};

// The hooks of every form manager of the program, and the hidden window that
// receives the re-hook message.
class TZelHookList {
public:
    TZelHookList();
    ~TZelHookList();
    TZelHookList(const TZelHookList&) = delete;
    TZelHookList& operator=(const TZelHookList&) = delete;

    // Makes a hook, which installs itself, and lists it.
    TZelHookClass* AddHook(TComponent* Manager, TWinControl* Control, bool Client);
    // Uninstalls and frees every hook of Manager, the newest first.
    void RemoveManagerHooks(TComponent* Manager);

    int Count() const { return static_cast<int>(hooks_.size()); }
    TZelHookClass* Items(int Index) const { return hooks_.at(static_cast<size_t>(Index)).get(); }
    bool Contains(const TZelHookClass* Hook) const;
    HWND Handle() const { return window_ ? window_->Handle() : nullptr; }

    // The hooks of this kind on Control, in the order the control runs them.
    std::vector<TZelHookClass*> InstalledOn(TWinControl* Control) const;

private:
    LRESULT WindowMessage(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam);

    std::vector<std::unique_ptr<TZelHookClass>> hooks_;
    std::unique_ptr<TUtilityWindow> window_;
};

// The one list of the program, made on first use.
TZelHookList& HookList();

}  // namespace vexel
