// Popup menus: TMenuItem trees (captions, "-" separators, enabled, checked,
// visible, sub-menus) and TPopupMenu, which shows its items at a point of
// the screen as the system's own menu and runs the chosen item's OnClick.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "framework/core/classes.h"
#include "framework/core/sysutils.h"

namespace vexel {

class EMenuError : public Exception {
    using Exception::Exception;
};

// One entry of a menu, and the parent of a sub-menu when it has items of its
// own. Items are components, usually owned by the form, and belong to the
// tree of one menu: freeing an item takes it out of its parent item and
// frees its own sub-items with it.
//
//     auto* help = new TMenuItem(this);
//     help->SetCaption("&Help");
//     help->OnClick = [this](TObject*) { ShowHelp(); };
//     PopupMenu1->Items()->Add(help);
class TMenuItem : public TComponent {
public:
    explicit TMenuItem(TComponent* AOwner);

    // "-" makes the item a separator line; "&" marks the accelerator letter.
    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& Value) { caption_ = Value; }
    bool IsLine() const { return caption_ == "-"; }
    // A disabled item is shown greyed and cannot be chosen.
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool Value) { enabled_ = Value; }
    // A check mark beside the caption.
    bool Checked() const { return checked_; }
    void SetChecked(bool Value) { checked_ = Value; }
    // A hidden item (and its sub-menu) is left out of the menu.
    bool Visible() const { return visible_; }
    void SetVisible(bool Value) { visible_ = Value; }

    // The sub-items, in menu order. Adding an item that belongs to another
    // parent moves it here. Index errors raise EMenuError.
    int Count() const { return static_cast<int>(items_.size()); }
    TMenuItem* Items(int Index) const;
    int IndexOf(const TMenuItem* Item) const;
    void Add(TMenuItem* Item);
    void Insert(int Index, TMenuItem* Item);
    // Takes the item out of this one without freeing it.
    void Remove(TMenuItem* Item);
    // Frees every sub-item.
    void Clear();
    TMenuItem* Parent() const { return parent_; }

    // Fires OnClick; the menu calls it for the chosen item.
    virtual void Click();

    TNotifyEvent OnClick;

protected:
    ~TMenuItem() override;
    void BeforeDestruction() override;

private:
    std::string caption_;
    bool enabled_ = true;
    bool checked_ = false;
    bool visible_ = true;
    std::vector<TMenuItem*> items_;  // not owned in the component sense: freed with this item
    TMenuItem* parent_ = nullptr;
};

// A menu shown on demand. Components that keep a pointer to one (a control's
// PopupMenu, a button's drop-down menu) ask it for a free notice and forget
// it on Notification(menu, opRemove).
class TPopupMenu : public TComponent {
public:
    explicit TPopupMenu(TComponent* AOwner);

    // The root of the item tree; its sub-items are the menu's entries.
    TMenuItem* Items() const { return items_; }

    // Shows the menu with its top-left corner at (X, Y) on the screen and
    // returns once it closes. The chosen item's OnClick has run by then,
    // inside the guarded edge: an exception it throws goes to
    // Application->HandleException with the item as sender. OnPopup fires
    // first. A menu whose items are all hidden shows nothing.
    virtual void Popup(int X, int Y);

    // The component the menu was last shown for (set by the controls that
    // show it); cleared when that component is freed.
    TComponent* PopupComponent() const { return popupComponent_; }
    void SetPopupComponent(TComponent* Value);

    TNotifyEvent OnPopup;

protected:
    ~TPopupMenu() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    TMenuItem* items_;  // owned, as a component of the menu
    TComponent* popupComponent_ = nullptr;
};

}  // namespace vexel
