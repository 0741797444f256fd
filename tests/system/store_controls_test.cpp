// The store-aware edit and check box against the system's registry, in a key
// of the test's own below HKEY_CURRENT_USER that is removed afterwards:
// loading, writing on every change, writing at destruction and at the
// store's removal, a failing medium at destruction, "ERROR" never applied.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "framework/win32/forms.h"
#include "system/control_store.h"
#include "system/store_controls.h"
#include "system/store_media.h"
#include "tests/framework/win32_input.h"
#include "tests/framework/win32_test_support.h"
#include "tests/system/store_test_support.h"

using namespace vexel;
using vexel::testing::FrameworkTest;
using vexel::testing::MousePos;
using vexel::testing::RandomDigits;
using vexel::testing::TypeChar;

namespace {
const char kSection[] = "HTML Vexel";
const char kMissing[] = "<missing>";
}  // namespace

class StoreControls : public FrameworkTest {
  protected:
    void SetUp() override {
        FrameworkTest::SetUp();
        key_ = "Software\\VexelTest" + RandomDigits();
        form_ = new TForm(App());
        form_->SetBounds(40, 40, 300, 200);
        store_ = NewStore(form_);
    }

    void TearDown() override {
        FrameworkTest::TearDown();  // frees the forms, whose controls write once more
        Registry().DeleteTree(Registry().RootKey(rrCurrentUser), key_);
        EXPECT_EQ(Registry().OpenKeyCount(), 0);
    }

    TZelControlStore* NewStore(TComponent* owner) {
        auto* store = new TZelControlStore(owner);
        store->DataStore()->SetSection(kSection);
        store->DataStore()->Registry()->SetPath(key_);
        return store;
    }

    // The stored text of a value, read straight from the registry.
    std::string Stored(const std::string& name) const {
        TRegistryMedium& registry = Registry();
        TRegKeyHandle key = registry.OpenKey(registry.RootKey(rrCurrentUser), key_ + "\\" + kSection, raRead);
        std::string data = kMissing;
        uint32_t type = rdNone;
        if (!key || registry.QueryValue(key, name, type, data) != TRegQuery::Found)
            data = kMissing;
        registry.CloseKey(key);
        while (!data.empty() && data.back() == '\0')
            data.pop_back();
        return data;
    }

    void Put(const std::string& name, const std::string& value) {
        ScopedFree<TZelControlStore> writer(NewStore(nullptr));
        writer->WriteString(name, value);
    }

    bool KeyExists(const std::string& path) const {
        TRegistryMedium& registry = Registry();
        TRegKeyHandle key = registry.OpenKey(registry.RootKey(rrCurrentUser), path, raRead);
        registry.CloseKey(key);
        return key != 0;
    }

    // An edit made as a stored window makes it: its design text set while
    // it loads, its store resolved at the end.
    TZelStoreEdit* LoadEdit(const std::string& designText, TZelControlStore* store) {
        auto* edit = new TZelStoreEdit(form_);
        edit->BeginLoading();
        edit->SetParent(form_);
        edit->SetText(designText);
        edit->SetStore(store);
        edit->SetStoreKey("tipid");
        edit->EndLoading();
        return edit;
    }

    TZelStoreCheckbox* LoadBox(bool designState, TZelControlStore* store) {
        auto* box = new TZelStoreCheckbox(form_);
        box->BeginLoading();
        box->SetParent(form_);
        box->SetChecked(designState);
        box->SetStore(store);
        box->SetStoreKey("Tips");
        box->EndLoading();
        return box;
    }

    std::string key_;
    TForm* form_ = nullptr;
    TZelControlStore* store_ = nullptr;
};

TEST_F(StoreControls, AnEditLoadsTheStoredTextAndWritesEveryChange) {
    Put("tipid", "4");
    std::vector<std::string> changes;
    auto* edit = new TZelStoreEdit(form_);
    edit->OnChange = [&](TObject*) { changes.push_back(edit->Text()); };
    edit->BeginLoading();
    edit->SetParent(form_);
    edit->SetText("3");  // the design text: noted, not written
    edit->SetStore(store_);
    edit->SetStoreKey("tipid");
    EXPECT_EQ(Stored("tipid"), "4");
    edit->EndLoading();
    EXPECT_EQ(edit->Text(), "4");
    EXPECT_EQ(changes, (std::vector<std::string>{"3", "4"}));
    EXPECT_EQ(Stored("tipid"), "4");

    edit->SetText("5");
    EXPECT_EQ(Stored("tipid"), "5");
    edit->SetSelStart(1);
    TypeChar(App(), edit->Handle(), '1');
    EXPECT_EQ(Stored("tipid"), "51");

    // Freed, it writes its last text once more.
    Put("tipid", "changed behind its back");
    edit->Free();
    EXPECT_EQ(Stored("tipid"), "51");
}

TEST_F(StoreControls, AFreshMachineKeepsTheDesignTextAndTheFirstChangeMakesTheSection) {
    TZelStoreEdit* edit = LoadEdit("3", store_);
    EXPECT_EQ(edit->Text(), "3");  // the read gave "ERROR"
    EXPECT_TRUE(KeyExists(key_));  // the read made the key
    EXPECT_FALSE(KeyExists(key_ + "\\" + kSection));
    edit->SetText("2");
    EXPECT_TRUE(KeyExists(key_ + "\\" + kSection));
    EXPECT_EQ(Stored("tipid"), "2");
}

TEST_F(StoreControls, AStoredErrorIsNeverApplied) {
    Put("tipid", "ERROR");
    int changes = 0;
    TZelStoreEdit* edit = LoadEdit("3", store_);
    edit->OnChange = [&](TObject*) { ++changes; };
    EXPECT_EQ(edit->Text(), "3");
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(Stored("tipid"), "ERROR");
}

TEST_F(StoreControls, TheStoresRemovalGetsTheLastValueWrittenThroughIt) {
    TZelControlStore* other = NewStore(App());  // another owner, as the dialogs share the main window's
    TZelStoreEdit* edit = LoadEdit("3", other);
    TZelStoreCheckbox* box = LoadBox(false, other);
    edit->SetText("6");
    box->SetChecked(true);
    Put("tipid", "0");
    Put("Tips", "0");
    other->Free();
    EXPECT_EQ(edit->Store(), nullptr);
    EXPECT_EQ(box->Store(), nullptr);
    EXPECT_EQ(Stored("tipid"), "6");
    EXPECT_EQ(Stored("Tips"), "1");

    // Without a store, nothing is written any more.
    edit->SetText("7");
    Put("Tips", "0");
    box->Free();
    edit->Free();
    EXPECT_EQ(Stored("tipid"), "6");
    EXPECT_EQ(Stored("Tips"), "0");
    EXPECT_TRUE(Errors.empty());
}

TEST_F(StoreControls, AFailingMediumAtDestructionIsReportedNotThrown) {
    TZelControlStore* broken = NewStore(form_);
    broken->DataStore()->SetDatatype(sIniFile);
    broken->DataStore()->Inifile()->SetIniFilename("C:\\vexel-no-such-folder-" + RandomDigits() +
                                                   "\\tips.ini");
    auto* edit = new TZelStoreEdit(form_);
    edit->SetParent(form_);
    edit->SetStore(broken);
    edit->SetStoreKey("tipid");
    auto* box = new TZelStoreCheckbox(form_);
    box->SetParent(form_);
    box->SetStore(broken);
    box->SetStoreKey("Tips");
    EXPECT_THROW(edit->SetText("5"), EIniFileException);  // a change reports to its caller
    Errors.clear();

    edit->Free();
    box->Free();
    ASSERT_EQ(Errors.size(), 2u);
    EXPECT_EQ(Errors[0].rfind("Unable to write to ", 0), 0u) << Errors[0];
    EXPECT_EQ(ErrorSenders[0], static_cast<TObject*>(edit));
}

TEST_F(StoreControls, ACheckBoxLoadsItsStateAndWritesEveryClick) {
    Put("Tips", "1");
    std::vector<bool> clicks;
    auto* box = new TZelStoreCheckbox(form_);
    box->OnClick = [&](TObject*) { clicks.push_back(box->Checked()); };
    box->BeginLoading();
    box->SetParent(form_);
    box->SetStore(store_);
    box->SetStoreKey("Tips");
    box->EndLoading();
    EXPECT_TRUE(box->Checked());
    EXPECT_EQ(clicks, std::vector<bool>{true});
    EXPECT_EQ(Stored("Tips"), "1");

    HWND window = box->Handle();
    SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MousePos(4, 4));
    SendMessageA(window, WM_LBUTTONUP, 0, MousePos(4, 4));
    EXPECT_FALSE(box->Checked());
    EXPECT_EQ(Stored("Tips"), "0");
    vexel::testing::PressKey(App(), window, VK_SPACE);
    EXPECT_EQ(Stored("Tips"), "1");

    Put("Tips", "0");
    box->Free();
    EXPECT_EQ(Stored("Tips"), "1");
}

TEST_F(StoreControls, NothingStoredOrADisabledStoreKeepsTheDesignState) {
    TZelStoreCheckbox* fresh = LoadBox(true, store_);
    EXPECT_TRUE(fresh->Checked());
    EXPECT_EQ(Stored("Tips"), kMissing);  // no change, nothing written yet

    Put("Tips", "0");
    TZelControlStore* disabled = NewStore(form_);
    disabled->DataStore()->SetEnabled(false);
    TZelStoreCheckbox* box = LoadBox(true, disabled);
    EXPECT_TRUE(box->Checked());
    box->SetChecked(false);
    box->Free();
    EXPECT_EQ(Stored("Tips"), "0");
    fresh->Free();
    EXPECT_EQ(Stored("Tips"), "1");  // the design state, written as it went
}
