#include "system/hook_list.h"

#include <algorithm>
#include <cstdint>

#include "framework/win32/guarded_call.h"

namespace vexel {

namespace {

// Installation order of the hooks: the newest runs first.
uint64_t g_installCount = 0;
uint64_t g_hookCount = 0;

bool IsGoing(const TComponent* Component) {
    return (Component->ComponentState() & csDestroying) != 0;
}

}  // namespace

// ---- TZelHookClass ----

TZelHookClass::TZelHookClass(TComponent* Manager, bool Client, TWinControl* Control)
    : control_(Control), manager_(Manager), client_(Client), serial_(++g_hookCount) {
    ComputeWindow();
    InstallHook();
}

TZelHookClass::~TZelHookClass() {
    RemoveHook();
}

void TZelHookClass::ComputeWindow() {
    // The framework makes no MDI frames, so no form has a client window of
    // its own: the client hook shares the form's window with the frame hook.
    window_ = control_ ? control_->Handle() : nullptr;
}

bool TZelHookClass::OwnersGoing() const {
    return !control_ || !manager_ || IsGoing(control_) || IsGoing(manager_);
}

void TZelHookClass::InstallHook() {
    if (installed_)
        RemoveHook();
    if (!control_)
        return;
    ComputeWindow();
    if (!window_)
        return;
    control_->AddMessageHook(this);
    installed_ = true;
    installOrder_ = ++g_installCount;
    // A window procedure installed last is called first: the hooks of this
    // kind that were there before go behind this one, keeping their order.
    for (TZelHookClass* older : HookList().InstalledOn(control_)) {
        if (older == this)
            continue;
        control_->RemoveMessageHook(older);
        control_->AddMessageHook(older);
    }
}

void TZelHookClass::RemoveHook() {
    if (!installed_)
        return;
    installed_ = false;
    if (control_)
        control_->RemoveMessageHook(this);
}

void TZelHookClass::ReloadHook() {
    if (BeforeReload)
        BeforeReload(this);
    ComputeWindow();
    InstallHook();
    if (OnReloadHook)
        OnReloadHook(this);
}

LRESULT TZelHookClass::CallPrevious() {
    return current_ ? current_->CallNext() : 0;
}

void TZelHookClass::HookMessage(THookedMessage& Call) {
    // A hook in front of this one answered the message: in a chain of
    // window procedures nothing behind that one would have seen it.
    if (Call.Handled())
        return;
    TMessage& msg = Call.Message();
    try {
        if (OwnersGoing()) {
            // The manager or the form is on its way out: leave, and let the
            // form's own handling have the message (its WM_DESTROY above all).
            RemoveHook();
            return;
        }
        if (msg.Msg == WM_DESTROY) {
            // The window goes but the form stays: come back to its next one.
            RemoveHook();
            Call.CallNext();
            PostMessageW(HookList().Handle(), ZelRehookMessage, static_cast<WPARAM>(serial_ & 0xFFFFFFFFu),
                         static_cast<LPARAM>(serial_ >> 32));
            return;
        }
        bool handled = false;
        if (BeforeMessage) {
            struct TCurrent {
                THookedMessage*& Slot;
                ~TCurrent() { Slot = nullptr; }
            } current{current_};
            current_ = &Call;
            BeforeMessage(msg, handled);
        }
        if (handled)
            Call.SetHandled();
    } catch (...) {
        HandleCallbackException(this);
        Call.SetHandled();  // the message counts as processed
    }
}

void TZelHookClass::ControlDestroying(TWinControl* Control) {
    (void)Control;
    installed_ = false;
    control_ = nullptr;
    window_ = nullptr;
}

// ---- TZelHookList ----

TZelHookList::TZelHookList()
    : window_(std::make_unique<TUtilityWindow>(
          [this](HWND w, UINT msg, WPARAM wp, LPARAM lp) { return WindowMessage(w, msg, wp, lp); })) {}

TZelHookList::~TZelHookList() {
    while (!hooks_.empty()) {
        hooks_.back()->RemoveHook();
        hooks_.pop_back();
    }
}

TZelHookClass* TZelHookList::AddHook(TComponent* Manager, TWinControl* Control, bool Client) {
    auto hook = std::make_unique<TZelHookClass>(Manager, Client, Control);
    hooks_.push_back(std::move(hook));
    return hooks_.back().get();
}

void TZelHookList::RemoveManagerHooks(TComponent* Manager) {
    for (size_t i = hooks_.size(); i-- > 0;) {
        if (hooks_[i]->Manager() != Manager)
            continue;
        std::unique_ptr<TZelHookClass> hook = std::move(hooks_[i]);
        hooks_.erase(hooks_.begin() + static_cast<std::ptrdiff_t>(i));
        hook->RemoveHook();
    }
}

bool TZelHookList::Contains(const TZelHookClass* Hook) const {
    return std::any_of(hooks_.begin(), hooks_.end(), [Hook](const auto& h) { return h.get() == Hook; });
}

std::vector<TZelHookClass*> TZelHookList::InstalledOn(TWinControl* Control) const {
    std::vector<TZelHookClass*> result;
    for (const auto& hook : hooks_)
        if (hook->Installed() && hook->Control() == Control)
            result.push_back(hook.get());
    std::sort(result.begin(), result.end(),
              [](TZelHookClass* a, TZelHookClass* b) { return a->InstallOrder() > b->InstallOrder(); });
    return result;
}

LRESULT TZelHookList::WindowMessage(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam) {
    if (Msg != ZelRehookMessage)
        return DefWindowProcW(Window, Msg, WParam, LParam);
    // Only a hook still listed is touched: one whose manager went since the
    // message was posted is gone.
    const uint64_t wanted = (static_cast<uint64_t>(static_cast<uint32_t>(LParam)) << 32) | static_cast<uint32_t>(WParam);
    for (const auto& hook : hooks_) {
        if (hook->Serial() != wanted)
            continue;
        TZelHookClass* found = hook.get();
        GuardedCall(found, [&] {
            // Asking for the window makes it when the control has none yet.
            if (found->Control() && found->Control()->Handle())
                found->ReloadHook();
            else if (found->Control())
                PostMessageW(Window, ZelRehookMessage, WParam, LParam);
        });
        break;
    }
    return 0;
}

TZelHookList& HookList() {
    static TZelHookList list;
    return list;
}

}  // namespace vexel
