// Message hooks of windowed controls: order, the handled flag, calling the
// rest of the chain, exceptions, re-created and freed windows, and standard
// window classes subclassed alongside other subclassers.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "framework/core/sysutils.h"
#include "framework/win32/forms.h"
#include "framework/win32/message_hook.h"
#include "tests/framework/win32_test_support.h"

using namespace vexel;
using vexel::testing::FrameworkTest;

namespace {

constexpr UINT kProbe = WM_USER + 17;

using TLog = std::vector<std::string>;

// A hook that runs a function for kProbe and logs the rest of its calls.
class TScriptedHook : public TMessageHook {
public:
    TScriptedHook(std::string name, TLog& log) : name_(std::move(name)), log_(log) {}
    std::function<void(THookedMessage&)> OnProbe;
    HWND CreatedWindow = nullptr;
    TWinControl* DestroyingControl = nullptr;
    std::vector<UINT> Seen;

    void HookMessage(THookedMessage& call) override {
        Seen.push_back(call.Message().Msg);
        if (call.Message().Msg != kProbe)
            return;
        log_.push_back(name_ + (call.Handled() ? " (handled)" : ""));
        if (OnProbe)
            OnProbe(call);
    }
    void WindowCreated(TWinControl* control) override {
        CreatedWindow = control->Handle();
        log_.push_back(name_ + " created");
    }
    void ControlDestroying(TWinControl* control) override {
        DestroyingControl = control;
        log_.push_back(name_ + " dropped");
    }

private:
    std::string name_;
    TLog& log_;
};

// A form whose own handling of kProbe answers 42.
class TProbeForm : public TForm {
public:
    TProbeForm(TComponent* owner, TLog& log) : TForm(owner), log_(log) { SetBorderStyle(bsNone); }

protected:
    void WndProc(TMessage& message) override {
        if (message.Msg == kProbe) {
            log_.push_back("own");
            message.Result = 42;
            return;
        }
        if (message.Msg == WM_DESTROY)
            log_.push_back("own WM_DESTROY");
        TForm::WndProc(message);
    }

private:
    TLog& log_;
};

}  // namespace

class MessageHooks : public FrameworkTest {
protected:
    TLog log_;
};

TEST_F(MessageHooks, RunInOrderBeforeTheControlAndSurviveRecreateWnd) {
    auto* form = new TProbeForm(App(), log_);
    TScriptedHook first("first", log_), second("second", log_);
    form->AddMessageHook(&first);  // before the window exists
    form->AddMessageHook(&second);
    form->AddMessageHook(&first);  // already there: stays first, once
    EXPECT_EQ(form->MessageHookCount(), 2);
    HWND window = form->Handle();
    EXPECT_EQ(first.CreatedWindow, window);
    EXPECT_EQ(SendMessageA(window, kProbe, 0, 0), 42);
    EXPECT_EQ(log_, (TLog{"first created", "second created", "first", "second", "own"}));

    // The first marks it handled: the second still runs and sees that, the
    // control's own handling does not.
    first.OnProbe = [](THookedMessage& call) {
        call.Message().Result = 7;
        call.SetHandled();
    };
    log_.clear();
    EXPECT_EQ(SendMessageA(window, kProbe, 0, 0), 7);
    EXPECT_EQ(log_, (TLog{"first", "second (handled)"}));

    log_.clear();
    form->SetBorderStyle(bsDialog);  // re-creates the window
    HWND recreated = form->Handle();
    ASSERT_NE(recreated, window);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(second.CreatedWindow, recreated);
    EXPECT_EQ(SendMessageA(recreated, kProbe, 0, 0), 7);
    EXPECT_EQ(log_, (TLog{"own WM_DESTROY", "first created", "second created", "first", "second (handled)"}));
    form->RemoveMessageHook(&first);
    form->RemoveMessageHook(&second);
}

TEST_F(MessageHooks, CallNextRunsTheRestOnceAndGivesItsResult) {
    auto* form = new TProbeForm(App(), log_);
    TScriptedHook outer("outer", log_), inner("inner", log_);
    form->AddMessageHook(&outer);
    form->AddMessageHook(&inner);
    outer.OnProbe = [&](THookedMessage& call) {
        LRESULT result = call.CallNext();
        log_.push_back("outer saw " + std::to_string(result));
        log_.push_back("again " + std::to_string(call.CallNext()));
        call.Message().Result = result + 1;
    };
    EXPECT_EQ(SendMessageA(form->Handle(), kProbe, 0, 0), 43);
    EXPECT_EQ(log_, (TLog{"outer created", "inner created", "outer", "inner", "own", "outer saw 42", "again 42"}));
    form->RemoveMessageHook(&inner);
    form->RemoveMessageHook(&outer);
}

TEST_F(MessageHooks, AreRemovableInAnyOrderAlsoFromInsideAMessage) {
    auto* form = new TProbeForm(App(), log_);
    TScriptedHook a("a", log_), b("b", log_), c("c", log_);
    form->AddMessageHook(&a);
    form->AddMessageHook(&b);
    form->AddMessageHook(&c);
    HWND window = form->Handle();
    a.OnProbe = [&](THookedMessage&) { form->RemoveMessageHook(&b); };  // b is skipped at once
    c.OnProbe = [&](THookedMessage&) { form->RemoveMessageHook(&c); };
    log_.clear();
    SendMessageA(window, kProbe, 0, 0);
    EXPECT_EQ(log_, (TLog{"a", "c", "own"}));
    EXPECT_EQ(form->MessageHookCount(), 1);
    form->RemoveMessageHook(&c);  // not there any more: nothing happens
    form->RemoveMessageHook(&a);
    log_.clear();
    SendMessageA(window, kProbe, 0, 0);
    EXPECT_EQ(log_, (TLog{"own"}));
}

TEST_F(MessageHooks, AnExceptionInAHookIsReportedAndTheMessageGoesOn) {
    auto* form = new TProbeForm(App(), log_);
    TScriptedHook failing("failing", log_), next("next", log_);
    form->AddMessageHook(&failing);
    form->AddMessageHook(&next);
    failing.OnProbe = [](THookedMessage&) { throw EConvertError("'x' is not a valid integer value"); };
    EXPECT_EQ(SendMessageA(form->Handle(), kProbe, 0, 0), 42);
    EXPECT_EQ(log_, (TLog{"failing created", "next created", "failing", "next", "own"}));
    ASSERT_EQ(Errors, std::vector<std::string>{"'x' is not a valid integer value"});
    EXPECT_EQ(ErrorSenders[0], &failing);

    // Marked handled before it threw: the control's own handling stays out.
    failing.OnProbe = [](THookedMessage& call) {
        call.SetHandled();
        throw std::runtime_error("late");
    };
    log_.clear();
    EXPECT_EQ(SendMessageA(form->Handle(), kProbe, 0, 0), 0);
    EXPECT_EQ(log_, (TLog{"failing", "next (handled)"}));
    form->RemoveMessageHook(&failing);
    form->RemoveMessageHook(&next);
}

TEST_F(MessageHooks, SeeTheLastMessagesOfAFreedControlAndAreThenDropped) {
    auto* form = new TProbeForm(App(), log_);
    TScriptedHook hook("hook", log_);
    form->AddMessageHook(&hook);
    form->HandleNeeded();
    form->Free();
    EXPECT_EQ(hook.DestroyingControl, form);
    ASSERT_GE(hook.Seen.size(), 2u);
    EXPECT_EQ(hook.Seen[hook.Seen.size() - 2], static_cast<UINT>(WM_DESTROY));
    EXPECT_EQ(hook.Seen.back(), static_cast<UINT>(WM_NCDESTROY));
    EXPECT_EQ(log_.back(), "hook dropped");
}

namespace {

// A standard EDIT window under the framework's dispatch.
class TTestEdit : public TWinControl {
public:
    using TWinControl::TWinControl;

protected:
    void CreateParams(TCreateParams& params) const override {
        TWinControl::CreateParams(params);
        params.WinClassName = "EDIT";
    }
};

// Another subclasser of the same window, through the system's functions.
LRESULT CALLBACK CountingSubclass(HWND window, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR counter) {
    if (msg == WM_SETTEXT)
        ++*reinterpret_cast<int*>(counter);
    return DefSubclassProc(window, msg, wp, lp);
}

// And one that swaps the window procedure by hand.
WNDPROC g_swappedPrevious = nullptr;
int g_swappedTexts = 0;
LRESULT CALLBACK SwappingProc(HWND window, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_SETTEXT)
        ++g_swappedTexts;
    return CallWindowProcA(g_swappedPrevious, window, msg, wp, lp);
}

}  // namespace

TEST_F(MessageHooks, StandardWindowsChainWithOtherSubclassersWhicheverLeavesFirst) {
    auto* form = new TProbeForm(App(), log_);
    auto* edit = new TTestEdit(form);
    edit->SetParent(form);
    edit->SetBounds(0, 0, 80, 20);
    TScriptedHook hook("hook", log_);
    edit->AddMessageHook(&hook);
    HWND window = edit->Handle();
    auto texts = [&] { return std::count(hook.Seen.begin(), hook.Seen.end(), static_cast<UINT>(WM_SETTEXT)); };
    auto text = [&] {
        char buffer[32] = {};
        GetWindowTextA(window, buffer, sizeof(buffer));
        return std::string(buffer);
    };

    // Another subclass after ours, leaving first.
    int counted = 0;
    ASSERT_TRUE(SetWindowSubclass(window, &CountingSubclass, 1, reinterpret_cast<DWORD_PTR>(&counted)));
    SetWindowTextA(window, "one");
    EXPECT_EQ(text(), "one");
    EXPECT_EQ(counted, 1);
    EXPECT_EQ(texts(), 1);
    RemoveWindowSubclass(window, &CountingSubclass, 1);
    SetWindowTextA(window, "two");
    EXPECT_EQ(text(), "two");
    EXPECT_EQ(counted, 1);
    EXPECT_EQ(texts(), 2);

    // A hand-made swap on top, restored again.
    g_swappedPrevious =
        reinterpret_cast<WNDPROC>(SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SwappingProc)));
    SetWindowTextA(window, "three");
    EXPECT_EQ(text(), "three");
    EXPECT_EQ(g_swappedTexts, 1);
    EXPECT_EQ(texts(), 3);
    SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_swappedPrevious));
    SetWindowTextA(window, "four");
    EXPECT_EQ(g_swappedTexts, 1);
    EXPECT_EQ(texts(), 4);

    // Outside any message, default handling goes to the class itself.
    EXPECT_EQ(edit->Perform(WM_GETTEXTLENGTH, 0, 0), 4);

    // Ours leaves first: the window goes while the other subclass stays.
    counted = 0;
    ASSERT_TRUE(SetWindowSubclass(window, &CountingSubclass, 1, reinterpret_cast<DWORD_PTR>(&counted)));
    form->Free();
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(hook.Seen.back(), static_cast<UINT>(WM_NCDESTROY));
    EXPECT_EQ(hook.DestroyingControl, edit);
}
