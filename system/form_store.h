// A form manager's stored placement: the form's size, position, visibility
// and window state, saved into a store component when the form closes and
// read back once when the form is loaded.
//
//     TZelFormStore* place = manager->FormStore();
//     place->SetStore(settings);        // a TZelStoreData, not owned
//     place->SetStoreKey("Main");       // values "Main<FormName>_Width", ...
//     place->SetSize(true);             // saves at once, and on every close
//     place->SetLocation(true);
#pragma once

#include <string>

#include "framework/core/classes.h"
#include "system/control_store.h"

namespace vexel {

class TZelFormManager;

class TZelFormStore : public TPersistent {
public:
    explicit TZelFormStore(TZelFormManager* Manager) : manager_(Manager) {}

    // Referenced, not owned: the manager hears of its removal and saves once
    // more through it before letting it go.
    TZelStoreData* Store() const { return store_; }
    void SetStore(TZelStoreData* Value);
    // The first part of every key, and the marker's name and value.
    const std::string& StoreKey() const { return storeKey_; }
    void SetStoreKey(const std::string& Value) { storeKey_ = Value; }
    // What is kept. Each setter saves at once when it turns something on.
    bool Size() const { return size_; }
    void SetSize(bool Value);
    bool Location() const { return location_; }
    void SetLocation(bool Value);
    bool State() const { return state_; }
    void SetState(bool Value);
    bool Visible() const { return visible_; }
    void SetVisible(bool Value);

    // Writes what is kept, then the marker. The bounds are the normal ones:
    // they are left alone while the form is minimized or maximized (when
    // the state is kept).
    void SaveToStore();
    // Reads what is kept, each with the form's current value as default.
    void LoadFromStore();
    // For the manager, when the store goes.
    void Forget() { store_ = nullptr; }

    // The window state as stored: 1 minimized, 2 normal, 3 maximized.
    enum TStoredState { ssMinimized = 1, ssNormal = 2, ssMaximized = 3 };

private:
    std::string Key(const char* Suffix) const;
    bool Active() const;

    TZelFormManager* manager_;
    TZelStoreData* store_ = nullptr;
    std::string storeKey_;
    bool size_ = false;
    bool location_ = false;
    bool state_ = false;
    bool visible_ = false;
};

}  // namespace vexel
