// The object model every component derives from: objects with a class name,
// persistent objects that copy with Assign, components with an owner that
// frees them and free notifications between components, pointer lists and
// collections of items.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace vexel {

class TObject;

// Events of the framework: std::function members named OnXxx, empty when
// unassigned. The first argument is always the sender.
using TNotifyEvent = std::function<void(TObject* Sender)>;

class TObject {
public:
    TObject() = default;
    TObject(const TObject&) = delete;
    TObject& operator=(const TObject&) = delete;
    virtual ~TObject() = default;

    // The unqualified C++ class name of the object's dynamic type, for
    // example "TBitmap". Inside a base destructor it names that base.
    std::string ClassName() const;

    // Runs BeforeDestruction while the object still has its full type, then
    // deletes it. The one way to free a component (their destructors are not
    // public), so that free notifications go out and windows are destroyed
    // before any part of the object is gone.
    void Free();

protected:
    // Work that needs the whole object: free notices, destroying windows,
    // freeing owned components. Runs once, from Free.
    virtual void BeforeDestruction() {}
};

// Frees through Free(): the deleter of a std::unique_ptr that holds an object
// no owner frees, such as a component made for the length of a function.
struct TFreeDeleter {
    void operator()(TObject* Object) const {
        if (Object)
            Object->Free();
    }
};

//     ScopedFree<TImageList> list(new TImageList(nullptr));
//     list->AddMasked(bitmap, clFuchsia);  // freed with Free on every path
template <class T>
using ScopedFree = std::unique_ptr<T, TFreeDeleter>;

// Deletes the object through Free and clears the pointer; a null pointer is fine.
template <class T>
void FreeAndNil(T*& object) {
    if (object) {
        T* doomed = object;
        object = nullptr;
        doomed->Free();
    }
}

// An object that can copy its state from another one with Assign. A class
// copies either by overriding Assign (it knows the source type) or AssignTo
// (it knows the destination type); when neither knows the pair, Assign fails
// with EConvertError "Cannot assign a <source class> to a <destination class>".
class TPersistent : public TObject {
public:
    virtual void Assign(TPersistent* Source);

protected:
    virtual void AssignTo(TPersistent* Dest);
    [[noreturn]] void AssignError(TPersistent* Source);
};

// Component state flags, combined in TComponentState.
enum TComponentStateFlag : uint32_t {
    csLoading = 1u << 0,           // between BeginLoading and Loaded
    csDesigning = 1u << 1,         // edited in a designer, not running
    csDestroying = 1u << 2,        // being freed; do no more work
    csFreeNotification = 1u << 3,  // another component asked for a free notice
};
using TComponentState = uint32_t;

enum TOperation { opInsert, opRemove };

// A component has an owner (or none) that frees it, a Name unique among its
// owner's components, and a Tag. When a component is freed, every component
// that asked for it with FreeNotification, and the owner with all its other
// components, receive Notification(component, opRemove) so they can clear
// their references to it. Components are always created with new and freed
// with Free (directly, through their owner, or through a ScopedFree): their
// destructors are protected, so a plain delete or a component on the stack
// does not compile. A class of the program's own declares its destructor
// protected too.
class TComponent : public TPersistent {
public:
    explicit TComponent(TComponent* AOwner);

    TComponent* Owner() const { return owner_; }
    const std::string& Name() const { return name_; }
    // Raises EComponentError when the owner already has a component of that
    // name (names compare without regard to ASCII case) or when the name is
    // not an identifier.
    virtual void SetName(const std::string& NewName);
    intptr_t Tag() const { return tag_; }
    void SetTag(intptr_t Value) { tag_ = Value; }

    int ComponentCount() const { return static_cast<int>(components_.size()); }
    TComponent* Components(int Index) const;
    int ComponentIndex() const;
    // The owned component with that name, or nullptr.
    TComponent* FindComponent(const std::string& AName) const;
    void InsertComponent(TComponent* AComponent);
    void RemoveComponent(TComponent* AComponent);

    TComponentState ComponentState() const { return state_; }

    // Asks for Notification(AComponent, opRemove) when AComponent is freed,
    // and tells AComponent likewise about this one. Not needed between
    // components of the same owner: they hear of each other through it.
    void FreeNotification(TComponent* AComponent);
    void RemoveFreeNotification(TComponent* AComponent);

    // Marks this component and everything it owns as being loaded (csLoading);
    // EndLoading runs Loaded on the owned components, in order, then on this one.
    void BeginLoading();
    void EndLoading();
    // Sets or clears csDesigning on this component and everything it owns.
    void SetDesigning(bool Value);

    // Frees the owned components, last created first. Owners whose window or
    // other resources the components still use call it from their
    // BeforeDestruction (windowed controls do); otherwise it runs in
    // ~TComponent.
    void DestroyComponents();
    // Sets csDestroying on this component and everything it owns.
    void Destroying();

protected:
    // Without a Free (a class of the program's own whose destructor is public,
    // deleted outright) the free notices still go out from here, but only
    // after the derived parts are gone.
    ~TComponent() override;

    // Removal (opRemove) or insertion (opInsert) of AComponent. The base
    // version forwards the notice to every owned component; overrides must
    // call it. A notice may arrive while AComponent is being destroyed: only
    // compare the pointer, never call into it or cast it. opInsert arrives
    // from TComponent's constructor, before the new component's own
    // constructor has run.
    virtual void Notification(TComponent* AComponent, TOperation Operation);
    // Called once the stored properties of the component have been set.
    virtual void Loaded();
    void BeforeDestruction() override;

    void SetComponentState(TComponentState flags, bool on);

private:
    void Insert(TComponent* AComponent);
    void Remove(TComponent* AComponent);
    void SendFreeNotifications();

    TComponent* owner_ = nullptr;
    std::string name_;
    intptr_t tag_ = 0;
    TComponentState state_ = 0;
    std::vector<TComponent*> components_;
    std::vector<TComponent*> freeNotifies_;
    bool notified_ = false;
};

// A list of untyped pointers. Index errors raise EListError "List index out of
// bounds (<index>)".
class TList : public TObject {
public:
    int Add(void* Item);
    void Insert(int Index, void* Item);
    void Delete(int Index);
    // Removes the first occurrence; returns its former index or -1.
    int Remove(void* Item);
    int IndexOf(void* Item) const;
    void Clear() { items_.clear(); }
    void Exchange(int Index1, int Index2);
    void Move(int CurIndex, int NewIndex);
    int Count() const { return static_cast<int>(items_.size()); }
    void* Items(int Index) const;
    void SetItems(int Index, void* Item);
    void* First() const { return Items(0); }
    void* Last() const { return Items(Count() - 1); }

private:
    void CheckIndex(int Index) const;
    std::vector<void*> items_;
};

class TCollection;

// An item of a collection. Creating it with a collection adds it there;
// freeing it (delete) takes it out.
class TCollectionItem : public TPersistent {
public:
    explicit TCollectionItem(TCollection* Collection);
    ~TCollectionItem() override;

    TCollection* Collection() const { return collection_; }
    void SetCollection(TCollection* Value);
    // Position in the collection, -1 when it is in none.
    int Index() const;
    void SetIndex(int Value);
    // Unique within the collection, never reused.
    int ID() const { return id_; }
    virtual std::string DisplayName() const { return ClassName(); }

protected:
    // Tells the collection that this item (AllItems false) or the whole
    // collection (AllItems true) changed.
    void Changed(bool AllItems);

private:
    friend class TCollection;
    TCollection* collection_ = nullptr;
    int id_ = 0;
};

// An owned, ordered set of items of one class. Subclasses give the factory
// that makes their items (TCollection::ItemClass<TMyItem>()) and override
// Update to react to changes.
class TCollection : public TPersistent {
public:
    using TItemFactory = std::function<TCollectionItem*(TCollection*)>;

    template <class T>
    static TItemFactory ItemClass() {
        return [](TCollection* c) -> TCollectionItem* { return new T(c); };
    }

    explicit TCollection(TItemFactory ItemFactory);
    ~TCollection() override;

    TCollectionItem* Add();
    TCollectionItem* Insert(int Index);
    void Delete(int Index);
    void Clear();
    int Count() const { return static_cast<int>(items_.size()); }
    TCollectionItem* Items(int Index) const;
    TCollectionItem* FindItemID(int ID) const;

    // Replaces the items by copies of Source's items (each copied with the
    // item's Assign); other sources fail as in TPersistent.
    void Assign(TPersistent* Source) override;

    void BeginUpdate() { ++updateCount_; }
    void EndUpdate();
    int UpdateCount() const { return updateCount_; }

protected:
    // Item changed (nullptr: the whole collection: items added, removed,
    // moved or replaced). Not called while updates are pending.
    virtual void Update(TCollectionItem* Item) { (void)Item; }
    void Changed();

private:
    friend class TCollectionItem;
    void InsertItem(TCollectionItem* Item);
    void RemoveItem(TCollectionItem* Item);
    void MoveItem(TCollectionItem* Item, int NewIndex);

    TItemFactory factory_;
    std::vector<TCollectionItem*> items_;
    int nextId_ = 0;
    int updateCount_ = 0;
};

}  // namespace vexel
