// Message hooks: objects that see every message of a windowed control before
// the control's own handling, for components that change how another
// control's window behaves (a form manager, caption buttons) or that follow
// another control (a label that sticks to it).
//
// The contract:
// - A control runs its hooks in the order they were added, for every message
//   its window receives (sent, posted or dispatched), inside the guarded
//   edge. Perform goes straight to WndProc and passes no hook.
// - Every hook sees every message. A hook may mark it handled and set its
//   Result; the hooks after it still run and see the flag, but the control's
//   own handling (WndProc, with the window's default procedure behind it) is
//   left out.
// - CallNext runs the rest at once: the later hooks, then the control's own
//   handling unless the message is handled by then, and returns
//   Message().Result. A hook that does not call it has the rest run after it
//   returns. So a hook can act before the default processing, see its result
//   and act after it, as a window procedure does around the previous one.
// - An exception from a hook goes to Application->HandleException with the
//   hook as sender, and the message goes on (unless the hook had marked it
//   handled); one from the control's own handling is reported with the
//   control as sender. CallNext itself never throws.
// - Hooks belong to the control object, not to its window: they stay through
//   RecreateWnd and may be added before the window exists. WindowCreated
//   tells them of each new window once it is complete.
// - Hooks are not owned by the control. Remove them in any order, at any
//   time, also from inside a message (a removed hook is not called again,
//   not even for the message under way; a hook added during a message sees
//   the next one). Do not free the control from inside a hook (Release it).
//   When the control is freed, the
//   hooks still registered see its last messages (WM_DESTROY,
//   WM_NCDESTROY), then ControlDestroying, and are dropped.
//
//     class TCaptionWatcher : public TMessageHook {
//         void HookMessage(THookedMessage& Call) override {
//             if (Call.Message().Msg != WM_NCPAINT)
//                 return;                    // the rest runs after us
//             Call.CallNext();               // the default frame first
//             PaintCaptionButtons();         // then ours on top
//             Call.SetHandled();
//         }
//     };
//     form->AddMessageHook(&watcher);        // ... form->RemoveMessageHook(&watcher);
//
// The message hooks of standard window classes ("EDIT", "BUTTON", ...) see
// the messages from the end of the window's creation on, as the framework
// subclasses such windows only once they exist.
#pragma once

#include <memory>
#include <vector>

#include "framework/core/classes.h"
#include "framework/win32/messages.h"

namespace vexel {

class TWinControl;
class TMessageHook;

// One message on its way through a control's hooks; every hook of the
// message gets the same object.
class THookedMessage {
public:
    THookedMessage(const THookedMessage&) = delete;
    THookedMessage& operator=(const THookedMessage&) = delete;

    TMessage& Message() { return message_; }
    TWinControl* Control() const { return control_; }
    bool Handled() const { return handled_; }
    void SetHandled(bool Value = true) { handled_ = Value; }
    // Runs the later hooks and then, unless the message is handled, the
    // control's own handling; returns Message().Result. Runs them once: a
    // second call only returns the result.
    LRESULT CallNext();

private:
    friend class TWinControl;
    struct TSlot {
        TMessageHook* Hook;  // null once removed
    };
    using TSlots = std::vector<std::shared_ptr<TSlot>>;

    THookedMessage(TWinControl& Control, TMessage& Message, TSlots Slots)
        : control_(&Control), message_(Message), slots_(std::move(Slots)) {}

    TWinControl* control_;
    TMessage& message_;
    TSlots slots_;  // the hooks as they were when the message arrived
    size_t next_ = 0;
    bool handled_ = false;
    bool ownHandlingDone_ = false;
};

class TMessageHook : public TObject {
public:
    // Called for every message of each control the hook was added to.
    virtual void HookMessage(THookedMessage& Call) = 0;
    // The control has a new window, complete with its child windows: after
    // the first creation and after every re-creation.
    virtual void WindowCreated(TWinControl* Control) { (void)Control; }
    // The control is being freed; its window is already gone and the hook is
    // no longer registered. The control must not be used after this returns.
    virtual void ControlDestroying(TWinControl* Control) { (void)Control; }
};

}  // namespace vexel
