// Shared pieces of the form manager tests: a form that logs the messages its
// own handling gets, a hook that watches (and may swallow) what reaches it
// after the manager's hooks, and a fixture with a fresh form per test and a
// registry key of the test's own, removed afterwards.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "framework/win32/forms.h"
#include "framework/win32/message_hook.h"
#include "system/form_manager.h"
#include "system/store_media.h"
#include "tests/framework/win32_test_support.h"
#include "tests/system/store_test_support.h"

namespace vexel::testing {

// A form whose own handling notes every message it gets.
class TProbeForm : public TForm {
public:
    using TForm::TForm;
    std::vector<UINT> Own;

    int OwnCount(UINT msg) const { return static_cast<int>(std::count(Own.begin(), Own.end(), msg)); }

protected:
    ~TProbeForm() override = default;
    void WndProc(TMessage& message) override {
        Own.push_back(message.Msg);
        TForm::WndProc(message);
    }
};

// Sees what the hooks before it left for it; answers the messages of
// Swallow itself, so the form and the system never act on them.
class TWatchHook : public TMessageHook {
public:
    struct TSeen {
        UINT Msg;
        bool Handled;
    };
    std::vector<TSeen> Seen;
    std::set<UINT> Swallow;

    void HookMessage(THookedMessage& call) override {
        Seen.push_back({call.Message().Msg, call.Handled()});
        if (Swallow.count(call.Message().Msg)) {
            call.Message().Result = 0;
            call.SetHandled();
        }
    }
    // Whether the last Msg that arrived came marked handled; -1 when none came.
    int LastHandled(UINT msg) const {
        for (auto it = Seen.rbegin(); it != Seen.rend(); ++it)
            if (it->Msg == msg)
                return it->Handled ? 1 : 0;
        return -1;
    }
};

class FormManagerTest : public FrameworkTest {
protected:
    void SetUp() override {
        FrameworkTest::SetUp();
        hooksBefore_ = HookList().Count();
        key_ = "Software\\VexelTest" + RandomDigits();
        form_ = NewForm("Sample");
    }

    void TearDown() override {
        FrameworkTest::TearDown();  // frees the forms with their managers
        EXPECT_EQ(HookList().Count(), hooksBefore_) << "a hook outlived its manager";
        Registry().DeleteTree(Registry().RootKey(rrCurrentUser), key_);
        EXPECT_EQ(Registry().OpenKeyCount(), 0);
    }

    TProbeForm* NewForm(const std::string& name, TFormBorderStyle border = bsSizeable) {
        auto* form = new TProbeForm(App());
        form->SetName(name);
        form->SetBorderStyle(border);
        form->SetBounds(60, 60, 400, 300);
        return form;
    }

    // A store in the test's own key, section "Forms".
    TZelStoreData* NewStore(TComponent* owner) {
        auto* store = new TZelStoreData(owner);
        store->DataStore()->SetSection("Forms");
        store->DataStore()->Registry()->SetPath(key_);
        return store;
    }

    // A value of the test's key as the registry holds it, or "<missing>".
    std::string Stored(const std::string& name) const {
        TRegistryMedium& registry = Registry();
        TRegKeyHandle key = registry.OpenKey(registry.RootKey(rrCurrentUser), key_ + "\\Forms", raRead);
        std::string data = "<missing>";
        uint32_t type = rdNone;
        if (!key || registry.QueryValue(key, name, type, data) != TRegQuery::Found)
            data = "<missing>";
        registry.CloseKey(key);
        while (!data.empty() && data.back() == '\0')
            data.pop_back();
        return data;
    }

    static DWORD Style(HWND window) { return static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE)); }
    static DWORD ExStyle(HWND window) { return static_cast<DWORD>(GetWindowLongA(window, GWL_EXSTYLE)); }

    TProbeForm* form_ = nullptr;
    std::string key_;
    int hooksBefore_ = 0;
};

}  // namespace vexel::testing
