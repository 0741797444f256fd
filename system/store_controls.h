// Store-aware controls: an edit box and a check box bound to a control store
// under a key. They load their value once they are loaded, write it on every
// change, and once more when they or their store go away, so the stored
// value stays current even if the program ends abruptly.
//
//     auto* tipId = new TZelStoreEdit(form);
//     tipId->SetStore(store);          // a TZelControlStore, not owned
//     tipId->SetStoreKey("tipid");
//     form->EndLoading();              // Loaded: the stored text, unless "ERROR"
#pragma once

#include <string>

#include "framework/win32/buttons.h"
#include "framework/win32/edits.h"
#include "system/control_store.h"

namespace vexel {

// The store reference both controls keep: cleared by the store's removal
// notice, which also gets the control's last value written through it.
class TZelStoreReference {
public:
    explicit TZelStoreReference(TComponent& Control) : control_(Control) {}
    TZelStoreReference(const TZelStoreReference&) = delete;
    TZelStoreReference& operator=(const TZelStoreReference&) = delete;

    TZelControlStore* Get() const { return store_; }
    void Set(TZelControlStore* Value);
    const std::string& Key() const { return key_; }
    void SetKey(const std::string& Value) { key_ = Value; }
    // Stores are written only once the control is loaded: while it loads,
    // its design values are not yet the user's.
    bool Writable() const;
    // For the control's Notification: true when AComponent is the store
    // going away; Write then still reaches it, and Forget drops it.
    bool IsRemoval(TComponent* AComponent, TOperation Operation) const {
        return Operation == opRemove && AComponent && AComponent == store_;
    }
    void Forget() { store_ = nullptr; }

private:
    TComponent& control_;
    TZelControlStore* store_ = nullptr;
    std::string key_;
};

class TZelStoreEdit : public TEdit {
public:
    explicit TZelStoreEdit(TComponent* AOwner);

    TZelControlStore* Store() const { return store_.Get(); }
    void SetStore(TZelControlStore* Value) { store_.Set(Value); }
    const std::string& StoreKey() const { return store_.Key(); }
    void SetStoreKey(const std::string& Value) { store_.SetKey(Value); }

protected:
    ~TZelStoreEdit() override;
    // The stored text becomes the edit's text, unless it is "ERROR".
    void Loaded() override;
    void Change() override;
    // Writes the last text once more; a failing medium is reported, never
    // thrown out of the freeing.
    void BeforeDestruction() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    void WriteCached(TZelControlStore* Store);

    TZelStoreReference store_;
    std::string cached_;  // the text as of the last change
};

class TZelStoreCheckbox : public TCheckBox {
public:
    explicit TZelStoreCheckbox(TComponent* AOwner);

    TZelControlStore* Store() const { return store_.Get(); }
    void SetStore(TZelControlStore* Value) { store_.Set(Value); }
    const std::string& StoreKey() const { return store_.Key(); }
    void SetStoreKey(const std::string& Value) { store_.SetKey(Value); }

    void Click() override;

protected:
    ~TZelStoreCheckbox() override;
    // The stored state, with the box's own as the default, becomes its state.
    void Loaded() override;
    void BeforeDestruction() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    void WriteCached(TZelControlStore* Store);

    TZelStoreReference store_;
    bool cached_ = false;  // the state as of the last click
};

}  // namespace vexel
