#include "system/form_store.h"

#include "system/form_manager.h"

namespace vexel {

namespace {

int32_t StateCode(TWindowState State) {
    switch (State) {
        case wsMinimized: return TZelFormStore::ssMinimized;
        case wsMaximized: return TZelFormStore::ssMaximized;
        case wsNormal: break;
    }
    return TZelFormStore::ssNormal;
}

}  // namespace

void TZelFormStore::SetStore(TZelStoreData* Value) {
    store_ = Value;
    if (Value)
        Value->FreeNotification(manager_);
}

void TZelFormStore::SetSize(bool Value) {
    size_ = Value;
    if (Value)
        SaveToStore();
}

void TZelFormStore::SetLocation(bool Value) {
    location_ = Value;
    if (Value)
        SaveToStore();
}

void TZelFormStore::SetState(bool Value) {
    state_ = Value;
    if (Value)
        SaveToStore();
}

void TZelFormStore::SetVisible(bool Value) {
    visible_ = Value;
    if (Value)
        SaveToStore();
}

std::string TZelFormStore::Key(const char* Suffix) const {
    return storeKey_ + manager_->Form()->Name() + Suffix;
}

bool TZelFormStore::Active() const {
    return store_ && !manager_->Designing() && manager_->Form();
}

void TZelFormStore::SaveToStore() {
    if (!Active())
        return;
    TWinControl* form = manager_->Form();
    TCustomForm* asForm = manager_->OwnerForm();
    const TWindowState windowState = asForm ? asForm->WindowState() : wsNormal;
    const bool normalBounds = !state_ || windowState == wsNormal;
    if (size_ && normalBounds) {
        store_->WriteInteger(Key("_Width"), form->Width());
        store_->WriteInteger(Key("_Height"), form->Height());
    }
    if (location_ && normalBounds) {
        store_->WriteInteger(Key("_Top"), form->Top());
        store_->WriteInteger(Key("_Left"), form->Left());
    }
    if (visible_)
        store_->WriteBool(Key("_Visible"), form->Visible());
    if (state_)
        store_->WriteInteger(Key("_WindowState"), StateCode(windowState));
    store_->WriteString(storeKey_, storeKey_);
}

void TZelFormStore::LoadFromStore() {
    if (!Active())
        return;
    TWinControl* form = manager_->Form();
    if (size_) {
        form->SetWidth(store_->ReadInteger(Key("_Width"), form->Width()));
        form->SetHeight(store_->ReadInteger(Key("_Height"), form->Height()));
    }
    if (location_) {
        form->SetTop(store_->ReadInteger(Key("_Top"), form->Top()));
        form->SetLeft(store_->ReadInteger(Key("_Left"), form->Left()));
    }
    if (visible_)
        form->SetVisible(store_->ReadBool(Key("_Visible"), form->Visible()));
    if (state_) {
        TCustomForm* asForm = manager_->OwnerForm();
        const int32_t current = StateCode(asForm ? asForm->WindowState() : wsNormal);
        switch (store_->ReadInteger(Key("_WindowState"), current)) {
            case ssMinimized:
                if (asForm)
                    asForm->SetWindowState(wsMinimized);
                break;
            case ssNormal:
                if (asForm)
                    asForm->SetWindowState(wsNormal);
                break;
            case ssMaximized:
                if (asForm)
                    asForm->SetWindowState(wsMaximized);
                break;
            default: break;  // not a state: left as it is
        }
    }
}

}  // namespace vexel
