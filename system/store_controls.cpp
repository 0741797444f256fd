#include "system/store_controls.h"

#include "framework/win32/guarded_call.h"

namespace vexel {

namespace {
// What a read gives when nothing usable is stored; never shown in the edit.
const char kNoText[] = "ERROR";
}  // namespace

// ---- TZelStoreReference ----

void TZelStoreReference::Set(TZelControlStore* Value) {
    if (store_ == Value)
        return;
    if (store_)
        control_.RemoveFreeNotification(store_);
    store_ = Value;
    if (Value)
        control_.FreeNotification(Value);
}

bool TZelStoreReference::Writable() const {
    return store_ && !(control_.ComponentState() & (csLoading | csDestroying));
}

// ---- TZelStoreEdit ----

TZelStoreEdit::TZelStoreEdit(TComponent* AOwner) : TEdit(AOwner), store_(*this) {}

TZelStoreEdit::~TZelStoreEdit() = default;

void TZelStoreEdit::Loaded() {
    TEdit::Loaded();
    if (TZelControlStore* store = Store()) {
        std::string text = store->ReadString(StoreKey(), kNoText);
        // Becoming the text runs Change, which writes it straight back.
        if (text != kNoText)
            SetText(text);
    }
}

void TZelStoreEdit::Change() {
    TEdit::Change();
    cached_ = Text();
    if (store_.Writable())
        Store()->WriteString(StoreKey(), cached_);
}

void TZelStoreEdit::WriteCached(TZelControlStore* Store) {
    GuardedCall(this, [&] { Store->WriteString(StoreKey(), cached_); });
}

void TZelStoreEdit::BeforeDestruction() {
    if (TZelControlStore* store = Store())
        WriteCached(store);
    TEdit::BeforeDestruction();
}

void TZelStoreEdit::Notification(TComponent* AComponent, TOperation Operation) {
    TEdit::Notification(AComponent, Operation);
    if (store_.IsRemoval(AComponent, Operation)) {
        WriteCached(Store());
        store_.Forget();
    }
}

// ---- TZelStoreCheckbox ----

TZelStoreCheckbox::TZelStoreCheckbox(TComponent* AOwner) : TCheckBox(AOwner), store_(*this) {}

TZelStoreCheckbox::~TZelStoreCheckbox() = default;

void TZelStoreCheckbox::Loaded() {
    TCheckBox::Loaded();
    // A change of state runs Click, which writes it straight back.
    if (TZelControlStore* store = Store())
        SetChecked(store->ReadBool(StoreKey(), Checked()));
}

void TZelStoreCheckbox::Click() {
    TCheckBox::Click();
    cached_ = Checked();
    if (store_.Writable())
        Store()->WriteBool(StoreKey(), cached_);
}

void TZelStoreCheckbox::WriteCached(TZelControlStore* Store) {
    GuardedCall(this, [&] { Store->WriteBool(StoreKey(), cached_); });
}

void TZelStoreCheckbox::BeforeDestruction() {
    if (TZelControlStore* store = Store())
        WriteCached(store);
    TCheckBox::BeforeDestruction();
}

void TZelStoreCheckbox::Notification(TComponent* AComponent, TOperation Operation) {
    TCheckBox::Notification(AComponent, Operation);
    if (store_.IsRemoval(AComponent, Operation)) {
        WriteCached(Store());
        store_.Forget();
    }
}

}  // namespace vexel
