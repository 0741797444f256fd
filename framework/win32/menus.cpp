#include "framework/win32/menus.h"

#include <algorithm>

#include "framework/win32/guarded_call.h"
#include "framework/win32/system_text.h"

namespace vexel {

namespace {

// A menu handle; destroying a menu destroys the sub-menus appended to it.
class ScopedMenu {
public:
    explicit ScopedMenu(HMENU Menu) : menu_(Menu) {
        if (!menu_)
            throw EOutOfResources("Out of system resources");
    }
    ~ScopedMenu() { DestroyMenu(menu_); }
    ScopedMenu(const ScopedMenu&) = delete;
    ScopedMenu& operator=(const ScopedMenu&) = delete;
    HMENU Get() const { return menu_; }

private:
    HMENU menu_;
};

// The window that owns a menu while it is shown. The system wants a window
// of this thread; a hidden one of our own keeps the menu's notices away
// from the program's forms.
class ScopedMenuOwner {
public:
    ScopedMenuOwner() {
        static const wchar_t kClass[] = L"VexelMenuOwner";
        static bool registered = false;
        if (!registered) {
            WNDCLASSW wc{};
            wc.lpfnWndProc = &DefWindowProcW;
            wc.hInstance = GetModuleHandleW(nullptr);
            wc.lpszClassName = kClass;
            if (!RegisterClassW(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
                throw EOutOfResources("Error creating window class");
            registered = true;
        }
        handle_ = CreateWindowExW(WS_EX_TOOLWINDOW, kClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
        if (!handle_)
            throw EOutOfResources("Error creating window");
    }
    ~ScopedMenuOwner() { DestroyWindow(handle_); }
    ScopedMenuOwner(const ScopedMenuOwner&) = delete;
    ScopedMenuOwner& operator=(const ScopedMenuOwner&) = delete;
    HWND Handle() const { return handle_; }

private:
    HWND handle_ = nullptr;
};

// Appends the visible sub-items of Parent to Menu. Commands receives the
// items that can be chosen; an item's command id is its place there plus 1
// (0 means that nothing was chosen).
void AppendItems(HMENU Menu, const TMenuItem* Parent, std::vector<TMenuItem*>& Commands) {
    for (int i = 0; i < Parent->Count(); ++i) {
        TMenuItem* item = Parent->Items(i);
        if (!item->Visible())
            continue;
        if (item->IsLine()) {
            AppendMenuW(Menu, MF_SEPARATOR, 0, nullptr);
            continue;
        }
        UINT flags =
            MF_STRING | (item->Enabled() ? MF_ENABLED : MF_GRAYED) | (item->Checked() ? MF_CHECKED : 0);
        if (item->Count() > 0) {
            HMENU sub = CreatePopupMenu();
            if (!sub)
                throw EOutOfResources("Out of system resources");
            if (!AppendMenuW(Menu, flags | MF_POPUP, reinterpret_cast<UINT_PTR>(sub),
                             ToSystem(item->Caption()).c_str())) {
                DestroyMenu(sub);
                throw EOutOfResources("Out of system resources");
            }
            AppendItems(sub, item, Commands);  // Menu owns sub from here on
        } else {
            Commands.push_back(item);
            AppendMenuW(Menu, flags, Commands.size(), ToSystem(item->Caption()).c_str());
        }
    }
}

bool InTree(const TMenuItem* Root, const TMenuItem* Item) {
    for (int i = 0; i < Root->Count(); ++i)
        if (Root->Items(i) == Item || InTree(Root->Items(i), Item))
            return true;
    return false;
}

}  // namespace

// ---- TMenuItem ----

TMenuItem::TMenuItem(TComponent* AOwner) : TComponent(AOwner) {}

TMenuItem::~TMenuItem() {
    // Free has done this already, while the item was whole.
    Clear();
    if (parent_)
        parent_->Remove(this);
}

void TMenuItem::BeforeDestruction() {
    TComponent::BeforeDestruction();
    Clear();
    if (parent_)
        parent_->Remove(this);
}

TMenuItem* TMenuItem::Items(int Index) const {
    if (Index < 0 || Index >= Count())
        throw EMenuError("Menu index out of range");
    return items_[static_cast<size_t>(Index)];
}

int TMenuItem::IndexOf(const TMenuItem* Item) const {
    auto it = std::find(items_.begin(), items_.end(), Item);
    return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

void TMenuItem::Add(TMenuItem* Item) {
    Insert(Count(), Item);
}

void TMenuItem::Insert(int Index, TMenuItem* Item) {
    if (!Item)
        return;
    if (Item->parent_ == this)
        throw EMenuError("Menu inserted twice");
    for (const TMenuItem* p = this; p; p = p->parent_)
        if (p == Item)
            throw EMenuError("Menu cannot hold itself");
    if (Index < 0 || Index > Count())
        throw EMenuError("Menu index out of range");
    if (Item->parent_)
        Item->parent_->Remove(Item);
    items_.insert(items_.begin() + Index, Item);
    Item->parent_ = this;
}

void TMenuItem::Remove(TMenuItem* Item) {
    auto it = std::find(items_.begin(), items_.end(), Item);
    if (it == items_.end())
        return;
    items_.erase(it);
    Item->parent_ = nullptr;
}

void TMenuItem::Clear() {
    while (!items_.empty())
        items_.back()->Free();  // it takes itself out of items_
}

void TMenuItem::Click() {
    if (OnClick)
        OnClick(this);
}

// ---- TPopupMenu ----

TPopupMenu::TPopupMenu(TComponent* AOwner) : TComponent(AOwner), items_(new TMenuItem(this)) {}

TPopupMenu::~TPopupMenu() = default;

void TPopupMenu::SetPopupComponent(TComponent* Value) {
    if (popupComponent_ == Value)
        return;
    if (popupComponent_)
        RemoveFreeNotification(popupComponent_);
    popupComponent_ = Value;
    if (Value)
        FreeNotification(Value);
}

void TPopupMenu::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    if (AComponent == popupComponent_)
        popupComponent_ = nullptr;
    if (AComponent == items_)
        items_ = nullptr;  // the root goes last, with the menu
}

void TPopupMenu::Popup(int X, int Y) {
    if (OnPopup)
        OnPopup(this);
    if (!items_)
        return;
    std::vector<TMenuItem*> commands;
    UINT chosen = 0;
    {
        ScopedMenu menu(CreatePopupMenu());
        AppendItems(menu.Get(), items_, commands);
        if (GetMenuItemCount(menu.Get()) <= 0)
            return;
        ScopedMenuOwner owner;
        // With TPM_RETURNCMD the choice comes back here instead of as a
        // WM_COMMAND, so the menu needs no window that knows its items.
        chosen = static_cast<UINT>(TrackPopupMenuEx(
            menu.Get(), TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD | TPM_NONOTIFY, X, Y,
            owner.Handle(), nullptr));
    }
    if (chosen == 0 || chosen > commands.size())
        return;
    TMenuItem* item = commands[chosen - 1];
    // The menu's loop handled the program's messages meanwhile, which may
    // have freed the item: click it only while it is still in the tree.
    if (!items_ || !InTree(items_, item))
        return;
    GuardedCall(item, [item] { item->Click(); });
}

}  // namespace vexel
