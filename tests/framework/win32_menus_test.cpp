// Popup menus: the item tree, the system menu they show (read back from the
// open menu window, which a timer then closes or answers with a key), the
// chosen item's OnClick, free notices, and controls' right-click menus.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "framework/core/sysutils.h"
#include "framework/win32/controls.h"
#include "framework/win32/forms.h"
#include "framework/win32/menus.h"
#include "framework/win32/panels.h"
#include "framework/win32/timer.h"
#include "tests/framework/menu_watcher.h"
#include "tests/framework/win32_test_support.h"

using namespace vexel;
using vexel::testing::CloseMenu;
using vexel::testing::FrameworkTest;
using vexel::testing::MousePos;
using vexel::testing::TMenuWatcher;

namespace {

struct TMenuEntry {
    std::string text;
    UINT state;
    bool subMenu;
};

std::vector<TMenuEntry> ReadMenu(HMENU menu) {
    std::vector<TMenuEntry> entries;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        char text[64] = {};
        GetMenuStringA(menu, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
        UINT state = GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION);
        entries.push_back(
            {text, state & (MF_SEPARATOR | MF_GRAYED | MF_CHECKED), GetSubMenu(menu, i) != nullptr});
    }
    return entries;
}

TMenuItem* NewItem(TComponent* owner, TMenuItem* parent, const std::string& caption) {
    auto* item = new TMenuItem(owner);
    item->SetCaption(caption);
    if (parent)
        parent->Add(item);
    return item;
}

}  // namespace

class Menus : public FrameworkTest {};

TEST_F(Menus, ItemsFormATreeThatFreesItsSubItems) {
    ScopedFree<TComponent> owner(new TComponent(nullptr));
    ScopedFree<TPopupMenu> menu(new TPopupMenu(nullptr));
    TMenuItem* root = menu->Items();
    TMenuItem* file = NewItem(owner.get(), root, "&File");
    TMenuItem* help = NewItem(owner.get(), nullptr, "&Help");
    root->Insert(0, help);
    EXPECT_EQ(root->Count(), 2);
    EXPECT_EQ(root->Items(0), help);
    EXPECT_EQ(root->IndexOf(file), 1);
    EXPECT_EQ(file->Parent(), root);
    EXPECT_THROW(root->Items(2), EMenuError);
    EXPECT_THROW(root->Insert(3, NewItem(owner.get(), nullptr, "x")), EMenuError);
    EXPECT_THROW(root->Add(file), EMenuError);  // already there
    EXPECT_THROW(file->Add(root), EMenuError);  // would hold itself

    TMenuItem* open = NewItem(owner.get(), file, "&Open");
    NewItem(owner.get(), open, "Recent");
    help->Add(open);  // moves
    EXPECT_EQ(file->Count(), 0);
    EXPECT_EQ(open->Parent(), help);

    // Freeing an item takes it out of its parent and frees what it holds.
    const int owned = owner->ComponentCount();
    help->Free();
    EXPECT_EQ(root->Count(), 1);
    EXPECT_EQ(root->Items(0), file);
    EXPECT_EQ(owner->ComponentCount(), owned - 3);
    root->Clear();
    EXPECT_EQ(root->Count(), 0);
    EXPECT_EQ(owner->ComponentCount(), owned - 4);
}

TEST_F(Menus, PopupShowsTheItemsAtThePointAndRunsTheChosenOnClick) {
    ScopedFree<TPopupMenu> menu(new TPopupMenu(nullptr));
    TMenuItem* root = menu->Items();
    std::vector<std::string> log;
    auto logged = [&log](const std::string& name) { return [&log, name](TObject*) { log.push_back(name); }; };
    TMenuItem* alpha = NewItem(menu.get(), root, "&Alpha");
    alpha->SetChecked(true);
    alpha->OnClick = logged("Alpha");
    NewItem(menu.get(), root, "-");
    TMenuItem* bravo = NewItem(menu.get(), root, "&Bravo");
    bravo->SetEnabled(false);
    bravo->OnClick = logged("Bravo");
    TMenuItem* hidden = NewItem(menu.get(), root, "&Hidden");
    hidden->SetVisible(false);
    TMenuItem* more = NewItem(menu.get(), root, "&More");
    NewItem(menu.get(), more, "Inner");
    TMenuItem* charlie = NewItem(menu.get(), root, "&Charlie");
    charlie->OnClick = [&log](TObject*) {
        log.push_back("Charlie");
        throw EConvertError("'tipid' is not a valid integer value");
    };
    menu->OnPopup = logged("popup");

    std::vector<TMenuEntry> shown;
    TMenuWatcher watcher([&](HWND window) {
        auto handle = reinterpret_cast<HMENU>(SendMessageA(window, MN_GETHMENU, 0, 0));
        shown = ReadMenu(handle);
        PostMessageA(window, WM_CHAR, 'c', 0);
    });
    menu->Popup(60, 70);
    log.push_back("returned");

    ASSERT_TRUE(watcher.Acted());
    EXPECT_EQ(watcher.MenuRect().TopLeft(), Point(60, 70));
    ASSERT_EQ(shown.size(), 5u);  // the hidden item is left out
    EXPECT_EQ(shown[0].text, "&Alpha");
    EXPECT_EQ(shown[0].state, static_cast<UINT>(MF_CHECKED));
    EXPECT_TRUE(shown[1].state & MF_SEPARATOR);  // the system may add MF_GRAYED
    EXPECT_EQ(shown[2].text, "&Bravo");
    EXPECT_EQ(shown[2].state, static_cast<UINT>(MF_GRAYED));
    EXPECT_EQ(shown[3].text, "&More");
    EXPECT_TRUE(shown[3].subMenu);
    EXPECT_EQ(shown[4].text, "&Charlie");
    EXPECT_EQ(shown[4].state, 0u);

    // OnPopup first, the chosen item's OnClick before Popup returns; its
    // exception went to the application with the item as sender.
    EXPECT_EQ(log, (std::vector<std::string>{"popup", "Charlie", "returned"}));
    ASSERT_EQ(Errors.size(), 1u);
    EXPECT_EQ(Errors[0], "'tipid' is not a valid integer value");
    EXPECT_EQ(ErrorSenders[0], charlie);
}

TEST_F(Menus, AMenuClosedWithoutAChoiceClicksNothing) {
    ScopedFree<TPopupMenu> menu(new TPopupMenu(nullptr));
    int clicks = 0;
    TMenuItem* item = NewItem(menu.get(), menu->Items(), "&Exit");
    item->OnClick = [&clicks](TObject*) { ++clicks; };
    TMenuWatcher watcher(CloseMenu);
    menu->Popup(10, 10);
    EXPECT_TRUE(watcher.Acted());
    EXPECT_EQ(clicks, 0);

    // With every item hidden there is nothing to show.
    item->SetVisible(false);
    TMenuWatcher idle(CloseMenu);
    menu->Popup(10, 10);
    EXPECT_FALSE(idle.Acted());
}

TEST_F(Menus, ReferencesToAMenuOrItsPopupComponentAreClearedWhenTheyAreFreed) {
    // Owners differ, so only the free notices can tell.
    ScopedFree<TComponent> menus(new TComponent(nullptr));
    auto* form = new TForm(App());
    auto* menu = new TPopupMenu(menus.get());
    auto* panel = new TPanel(form);
    panel->SetPopupMenu(menu);
    auto* other = new TPanel(form);
    other->SetPopupMenu(menu);
    menu->SetPopupComponent(panel);
    EXPECT_EQ(panel->PopupMenu(), menu);

    panel->Free();
    EXPECT_EQ(menu->PopupComponent(), nullptr);
    menu->Free();
    EXPECT_EQ(other->PopupMenu(), nullptr);
    form->Free();
}

TEST_F(Menus, ARightClickShowsTheMenuOfTheControlUnderIt) {
    auto* form = new TForm(App());
    form->SetBorderStyle(bsNone);
    form->SetBounds(40, 50, 200, 120);
    auto* formMenu = new TPopupMenu(form);
    NewItem(form, formMenu->Items(), "Form");
    form->SetPopupMenu(formMenu);
    auto* graphicMenu = new TPopupMenu(form);
    NewItem(form, graphicMenu->Items(), "Graphic");
    auto* graphic = new TGraphicControl(form);
    graphic->SetParent(form);
    graphic->SetBounds(10, 10, 40, 30);
    graphic->SetPopupMenu(graphicMenu);
    auto* bare = new TGraphicControl(form);
    bare->SetParent(form);
    bare->SetBounds(100, 10, 40, 30);
    auto* panelMenu = new TPopupMenu(form);
    NewItem(form, panelMenu->Items(), "Panel");
    auto* panel = new TPanel(form);
    panel->SetParent(form);
    panel->SetBounds(10, 60, 60, 40);
    panel->SetPopupMenu(panelMenu);
    HWND window = form->Handle();

    // Which menu opened, and where.
    std::string opened;
    auto rightClick = [&](HWND target, int x, int y) {
        opened.clear();
        TMenuWatcher watcher([&](HWND menu) {
            auto handle = reinterpret_cast<HMENU>(SendMessageA(menu, MN_GETHMENU, 0, 0));
            opened = ReadMenu(handle).at(0).text;
            EndMenu();
        });
        SendMessageA(target, WM_RBUTTONDOWN, MK_RBUTTON, MousePos(x, y));
        SendMessageA(target, WM_RBUTTONUP, 0, MousePos(x, y));
        POINT screen{x, y};
        ClientToScreen(target, &screen);
        if (watcher.Acted()) {
            EXPECT_EQ(watcher.MenuRect().TopLeft(), Point(screen.x, screen.y)) << opened;
        }
        return opened;
    };
    EXPECT_EQ(rightClick(window, 15, 20), "Graphic");
    EXPECT_EQ(graphicMenu->PopupComponent(), graphic);
    EXPECT_EQ(rightClick(window, 110, 20), "Form");  // no menu of its own: the parent's
    EXPECT_EQ(rightClick(panel->Handle(), 5, 5), "Panel");
    panel->SetPopupMenu(nullptr);
    EXPECT_EQ(rightClick(panel->Handle(), 5, 5), "Form");
    form->SetPopupMenu(nullptr);
    EXPECT_EQ(rightClick(window, 180, 100), "");
    form->Free();
}
