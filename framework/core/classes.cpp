#include "framework/core/classes.h"

#include <cxxabi.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <typeinfo>

#include "framework/core/sysutils.h"
#include "platform/ascii.h"

namespace vexel {

namespace {

bool IsValidIdent(const std::string& s) {
    auto alpha = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; };
    if (s.empty() || !alpha(s[0]))
        return false;
    return std::all_of(s.begin() + 1, s.end(), [&](char c) { return alpha(c) || (c >= '0' && c <= '9'); });
}

[[noreturn]] void ListIndexError(int index) {
    throw EListError("List index out of bounds (" + std::to_string(index) + ")");
}

}  // namespace

// ---- TObject ----

std::string TObject::ClassName() const {
    const char* mangled = typeid(*this).name();
    int status = 0;
    std::unique_ptr<char, void (*)(void*)> demangled(abi::__cxa_demangle(mangled, nullptr, nullptr, &status),
                                                     std::free);
    std::string name = status == 0 && demangled ? demangled.get() : mangled;
    // Drop the namespaces, but not "::" inside template arguments.
    size_t end = name.find('<');
    size_t colon = name.rfind("::", end == std::string::npos ? std::string::npos : end);
    return colon == std::string::npos ? name : name.substr(colon + 2);
}

void TObject::Free() {
    BeforeDestruction();
    delete this;
}

// ---- TPersistent ----

void TPersistent::Assign(TPersistent* Source) {
    if (Source)
        Source->AssignTo(this);
    else
        AssignError(nullptr);
}

void TPersistent::AssignTo(TPersistent* Dest) {
    Dest->AssignError(this);
}

void TPersistent::AssignError(TPersistent* Source) {
    std::string sourceName = Source ? Source->ClassName() : "nil";
    throw EConvertError("Cannot assign a " + sourceName + " to a " + ClassName());
}

// ---- TComponent ----

TComponent::TComponent(TComponent* AOwner) {
    if (AOwner)
        AOwner->InsertComponent(this);
}

TComponent::~TComponent() {
    Destroying();
    if (!notified_) {
        notified_ = true;
        SendFreeNotifications();
        if (owner_)
            owner_->Notification(this, opRemove);
    }
    DestroyComponents();
    if (owner_)
        owner_->Remove(this);
}

void TComponent::BeforeDestruction() {
    Destroying();
    if (notified_)
        return;
    notified_ = true;
    SendFreeNotifications();
    if (owner_)
        owner_->Notification(this, opRemove);
}

void TComponent::SendFreeNotifications() {
    while (!freeNotifies_.empty()) {
        TComponent* other = freeNotifies_.back();
        freeNotifies_.pop_back();
        auto& theirs = other->freeNotifies_;
        theirs.erase(std::remove(theirs.begin(), theirs.end(), this), theirs.end());
        other->Notification(this, opRemove);
    }
}

void TComponent::SetName(const std::string& NewName) {
    if (NewName == name_)
        return;
    if (!NewName.empty() && !IsValidIdent(NewName))
        throw EComponentError("'" + NewName + "' is not a valid component name");
    if (owner_ && !NewName.empty()) {
        TComponent* other = owner_->FindComponent(NewName);
        if (other && other != this)
            throw EComponentError("A component named " + NewName + " already exists");
    }
    name_ = NewName;
}

TComponent* TComponent::Components(int Index) const {
    if (Index < 0 || Index >= ComponentCount())
        ListIndexError(Index);
    return components_[static_cast<size_t>(Index)];
}

int TComponent::ComponentIndex() const {
    if (!owner_)
        return -1;
    auto& list = owner_->components_;
    auto it = std::find(list.begin(), list.end(), this);
    return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

TComponent* TComponent::FindComponent(const std::string& AName) const {
    if (AName.empty())
        return nullptr;
    for (TComponent* c : components_)
        if (EqualsIgnoringAsciiCase(c->name_, AName))
            return c;
    return nullptr;
}

void TComponent::InsertComponent(TComponent* AComponent) {
    if (!AComponent->name_.empty() && FindComponent(AComponent->name_))
        throw EComponentError("A component named " + AComponent->name_ + " already exists");
    if (AComponent->owner_)
        AComponent->owner_->RemoveComponent(AComponent);
    Insert(AComponent);
    if (state_ & csDesigning)
        AComponent->SetDesigning(true);
    if (state_ & csLoading)
        AComponent->BeginLoading();
    Notification(AComponent, opInsert);
}

void TComponent::RemoveComponent(TComponent* AComponent) {
    Notification(AComponent, opRemove);
    Remove(AComponent);
}

void TComponent::Insert(TComponent* AComponent) {
    components_.push_back(AComponent);
    AComponent->owner_ = this;
}

void TComponent::Remove(TComponent* AComponent) {
    components_.erase(std::remove(components_.begin(), components_.end(), AComponent), components_.end());
    AComponent->owner_ = nullptr;
}

void TComponent::Notification(TComponent* AComponent, TOperation Operation) {
    if (Operation == opRemove && AComponent)
        RemoveFreeNotification(AComponent);
    // A receiver may free any of its siblings during its notice: walk a copy,
    // and skip those no longer owned, so that each is told once at most.
    const std::vector<TComponent*> owned = components_;
    for (auto it = owned.rbegin(); it != owned.rend(); ++it)
        if (std::find(components_.begin(), components_.end(), *it) != components_.end())
            (*it)->Notification(AComponent, Operation);
}

void TComponent::FreeNotification(TComponent* AComponent) {
    if (!AComponent || AComponent == this)
        return;
    if (!owner_ || AComponent->owner_ != owner_) {
        if (std::find(freeNotifies_.begin(), freeNotifies_.end(), AComponent) == freeNotifies_.end()) {
            freeNotifies_.push_back(AComponent);
            AComponent->FreeNotification(this);
        }
    }
    state_ |= csFreeNotification;
}

void TComponent::RemoveFreeNotification(TComponent* AComponent) {
    auto unlink = [](std::vector<TComponent*>& list, TComponent* c) {
        list.erase(std::remove(list.begin(), list.end(), c), list.end());
    };
    unlink(freeNotifies_, AComponent);
    unlink(AComponent->freeNotifies_, this);
}

void TComponent::BeginLoading() {
    state_ |= csLoading;
    for (TComponent* c : components_)
        c->BeginLoading();
}

void TComponent::EndLoading() {
    // Copy: a Loaded handler may create or free components.
    std::vector<TComponent*> owned = components_;
    for (TComponent* c : owned)
        if (std::find(components_.begin(), components_.end(), c) != components_.end())
            c->EndLoading();
    if (state_ & csLoading)
        Loaded();
}

void TComponent::Loaded() {
    state_ &= ~static_cast<TComponentState>(csLoading);
}

void TComponent::SetDesigning(bool Value) {
    SetComponentState(csDesigning, Value);
    for (TComponent* c : components_)
        c->SetDesigning(Value);
}

void TComponent::SetComponentState(TComponentState flags, bool on) {
    if (on)
        state_ |= flags;
    else
        state_ &= ~flags;
}

void TComponent::Destroying() {
    if (state_ & csDestroying)
        return;
    state_ |= csDestroying;
    for (TComponent* c : components_)
        c->Destroying();
}

void TComponent::DestroyComponents() {
    while (!components_.empty()) {
        TComponent* last = components_.back();
        last->Free();  // its destructor takes it out of components_
    }
}

// ---- TList ----

void TList::CheckIndex(int Index) const {
    if (Index < 0 || Index >= Count())
        ListIndexError(Index);
}

int TList::Add(void* Item) {
    items_.push_back(Item);
    return Count() - 1;
}

void TList::Insert(int Index, void* Item) {
    if (Index < 0 || Index > Count())
        ListIndexError(Index);
    items_.insert(items_.begin() + Index, Item);
}

void TList::Delete(int Index) {
    CheckIndex(Index);
    items_.erase(items_.begin() + Index);
}

int TList::Remove(void* Item) {
    int index = IndexOf(Item);
    if (index >= 0)
        Delete(index);
    return index;
}

int TList::IndexOf(void* Item) const {
    auto it = std::find(items_.begin(), items_.end(), Item);
    return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

void TList::Exchange(int Index1, int Index2) {
    CheckIndex(Index1);
    CheckIndex(Index2);
    std::swap(items_[static_cast<size_t>(Index1)], items_[static_cast<size_t>(Index2)]);
}

void TList::Move(int CurIndex, int NewIndex) {
    if (CurIndex == NewIndex)
        return;
    CheckIndex(CurIndex);
    CheckIndex(NewIndex);
    void* item = items_[static_cast<size_t>(CurIndex)];
    items_.erase(items_.begin() + CurIndex);
    items_.insert(items_.begin() + NewIndex, item);
}

void* TList::Items(int Index) const {
    CheckIndex(Index);
    return items_[static_cast<size_t>(Index)];
}

void TList::SetItems(int Index, void* Item) {
    CheckIndex(Index);
    items_[static_cast<size_t>(Index)] = Item;
}

// ---- TCollectionItem ----

TCollectionItem::TCollectionItem(TCollection* Collection) {
    if (Collection)
        Collection->InsertItem(this);
}

TCollectionItem::~TCollectionItem() {
    if (collection_)
        collection_->RemoveItem(this);
}

void TCollectionItem::SetCollection(TCollection* Value) {
    if (Value == collection_)
        return;
    if (collection_)
        collection_->RemoveItem(this);
    if (Value)
        Value->InsertItem(this);
}

int TCollectionItem::Index() const {
    if (!collection_)
        return -1;
    auto& items = collection_->items_;
    return static_cast<int>(std::find(items.begin(), items.end(), this) - items.begin());
}

void TCollectionItem::SetIndex(int Value) {
    if (collection_ && Value != Index())
        collection_->MoveItem(this, Value);
}

void TCollectionItem::Changed(bool AllItems) {
    if (collection_ && collection_->updateCount_ == 0)
        collection_->Update(AllItems ? nullptr : this);
}

// ---- TCollection ----

TCollection::TCollection(TItemFactory ItemFactory) : factory_(std::move(ItemFactory)) {}

TCollection::~TCollection() {
    ++updateCount_;  // no Update calls into a half-destroyed subclass
    while (!items_.empty())
        delete items_.back();
}

TCollectionItem* TCollection::Add() {
    return factory_(this);
}

TCollectionItem* TCollection::Insert(int Index) {
    if (Index < 0 || Index > Count())
        ListIndexError(Index);
    TCollectionItem* item = Add();
    item->SetIndex(Index);
    return item;
}

void TCollection::Delete(int Index) {
    delete Items(Index);
}

void TCollection::Clear() {
    if (items_.empty())
        return;
    BeginUpdate();
    while (!items_.empty())
        delete items_.back();
    EndUpdate();
}

TCollectionItem* TCollection::Items(int Index) const {
    if (Index < 0 || Index >= Count())
        ListIndexError(Index);
    return items_[static_cast<size_t>(Index)];
}

TCollectionItem* TCollection::FindItemID(int ID) const {
    for (TCollectionItem* item : items_)
        if (item->id_ == ID)
            return item;
    return nullptr;
}

void TCollection::Assign(TPersistent* Source) {
    auto* source = dynamic_cast<TCollection*>(Source);
    if (!source) {
        TPersistent::Assign(Source);
        return;
    }
    if (source == this)
        return;
    struct UpdateGuard {
        TCollection* c;
        ~UpdateGuard() { c->EndUpdate(); }
    } guard{this};
    BeginUpdate();
    Clear();
    for (TCollectionItem* item : source->items_)
        Add()->Assign(item);
}

void TCollection::EndUpdate() {
    if (updateCount_ > 0 && --updateCount_ == 0)
        Changed();
}

void TCollection::Changed() {
    if (updateCount_ == 0)
        Update(nullptr);
}

void TCollection::InsertItem(TCollectionItem* Item) {
    items_.push_back(Item);
    Item->collection_ = this;
    Item->id_ = nextId_++;
    Changed();
}

void TCollection::RemoveItem(TCollectionItem* Item) {
    items_.erase(std::remove(items_.begin(), items_.end(), Item), items_.end());
    Item->collection_ = nullptr;
    Changed();
}

void TCollection::MoveItem(TCollectionItem* Item, int NewIndex) {
    if (NewIndex < 0 || NewIndex >= Count())
        ListIndexError(NewIndex);
    items_.erase(std::remove(items_.begin(), items_.end(), Item), items_.end());
    items_.insert(items_.begin() + NewIndex, Item);
    Changed();
}

}  // namespace vexel
