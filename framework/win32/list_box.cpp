#include "framework/win32/list_box.h"

#include <algorithm>

#include "framework/core/sysutils.h"
#include "framework/win32/owner_draw.h"

namespace vexel {

// ---- TCustomListBox ----

TCustomListBox::TCustomListBox(TComponent* AOwner)
    : TWinControl(AOwner), items_(std::make_unique<TListBoxStrings>(*this)) {
    // The system tracks the mouse and reports changes of the selection.
    controlStyle_ = csSetCaption | csDoubleClicks;
    SetParentColor(false);
    SetColor(clWindow);
    SetTabStop(true);
    SetBounds(0, 0, 121, 97);
}

TCustomListBox::~TCustomListBox() = default;

HWND TCustomListBox::Window() const {
    return HandleAllocated() ? const_cast<TCustomListBox*>(this)->Handle() : nullptr;
}

TStrings* TCustomListBox::Items() const {
    return items_.get();
}

void TCustomListBox::SetItems(TStrings* Value) {
    items_->Assign(Value);
}

int TCustomListBox::Count() const {
    return items_->Count();
}

void TCustomListBox::Clear() {
    items_->Clear();
}

void TCustomListBox::CheckIndex(int Index) const {
    if (Index < 0 || Index >= Count())
        throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
}

void TCustomListBox::CreateParams(TCreateParams& Params) const {
    TWinControl::CreateParams(Params);
    Params.WinClassName = "LISTBOX";
    Params.Style |= WS_VSCROLL | LBS_NOTIFY | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT;
    Params.ExStyle |= WS_EX_CLIENTEDGE;
    if (style_ == lbOwnerDrawFixed)
        Params.Style |= LBS_OWNERDRAWFIXED;
    if (multiSelect_)
        Params.Style |= extendedSelect_ ? LBS_EXTENDEDSEL : LBS_MULTIPLESEL;
    if (sorted_)
        Params.Style |= LBS_SORT;
    if (columns_ > 1)
        Params.Style |= LBS_MULTICOLUMN | WS_HSCROLL;
}

void TCustomListBox::CreateHandle() {
    TWinControl::CreateHandle();
    HWND window = Window();
    if (!window)
        return;
    ApplyColumnWidth();
    // The items the control kept move into the window's list, with their
    // selection and the focus.
    std::vector<TListBoxStrings::TSavedItem> saved = std::move(items_->saved_);
    items_->saved_.clear();
    SendMessageA(window, WM_SETREDRAW, FALSE, 0);
    for (const auto& item : saved)
        SendMessageA(window, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.Text.c_str()));
    for (size_t i = 0; i < saved.size(); ++i)
        if (saved[i].Selected)
            SetSelected(static_cast<int>(i), true);
    if (itemIndex_ >= 0 && itemIndex_ < Count())
        SetItemIndex(itemIndex_);
    SendMessageA(window, LB_SETTOPINDEX, static_cast<WPARAM>(topIndex_), 0);
    SendMessageA(window, WM_SETREDRAW, TRUE, 0);
}

void TCustomListBox::DestroyHandle() {
    if (HandleAllocated()) {
        int count = Count();
        std::vector<TListBoxStrings::TSavedItem> saved;
        saved.reserve(static_cast<size_t>(count));
        for (int i = 0; i < count; ++i)
            saved.push_back({items_->Strings(i), Selected(i)});
        itemIndex_ = ItemIndex();
        topIndex_ = TopIndex();
        items_->saved_ = std::move(saved);
    }
    TWinControl::DestroyHandle();
}

int TCustomListBox::ItemIndex() const {
    HWND window = Window();
    if (!window)
        return itemIndex_ < Count() ? itemIndex_ : -1;
    if (Count() == 0)
        return -1;
    LRESULT index = SendMessageA(window, multiSelect_ ? LB_GETCARETINDEX : LB_GETCURSEL, 0, 0);
    return index == LB_ERR ? -1 : static_cast<int>(index);
}

void TCustomListBox::SetItemIndex(int Value) {
    if (Value < -1 || Value >= Count())
        Value = -1;
    HWND window = Window();
    if (!window) {
        itemIndex_ = Value;
        if (!multiSelect_)
            for (size_t i = 0; i < items_->saved_.size(); ++i)
                items_->saved_[i].Selected = static_cast<int>(i) == Value;
        return;
    }
    if (multiSelect_) {
        if (Value >= 0)
            SendMessageA(window, LB_SETCARETINDEX, static_cast<WPARAM>(Value), FALSE);
    } else {
        SendMessageA(window, LB_SETCURSEL, static_cast<WPARAM>(Value), 0);
    }
}

bool TCustomListBox::Selected(int Index) const {
    CheckIndex(Index);
    HWND window = Window();
    if (!window)
        return items_->saved_[static_cast<size_t>(Index)].Selected;
    return SendMessageA(window, LB_GETSEL, static_cast<WPARAM>(Index), 0) > 0;
}

void TCustomListBox::SetSelected(int Index, bool Value) {
    CheckIndex(Index);
    HWND window = Window();
    if (!window) {
        if (!multiSelect_ && Value)
            for (auto& item : items_->saved_)
                item.Selected = false;
        items_->saved_[static_cast<size_t>(Index)].Selected = Value;
        if (!multiSelect_)
            itemIndex_ = Value ? Index : (itemIndex_ == Index ? -1 : itemIndex_);
        return;
    }
    if (multiSelect_) {
        SendMessageA(window, LB_SETSEL, Value, static_cast<LPARAM>(Index));
    } else if (Value) {
        SendMessageA(window, LB_SETCURSEL, static_cast<WPARAM>(Index), 0);
    } else if (ItemIndex() == Index) {
        SendMessageA(window, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    }
}

int TCustomListBox::SelCount() const {
    int count = 0;
    for (int i = 0; i < Count(); ++i)
        if (Selected(i))
            ++count;
    return count;
}

void TCustomListBox::ClearSelection() {
    for (int i = 0; i < Count(); ++i)
        if (Selected(i))
            SetSelected(i, false);
}

void TCustomListBox::SelectAll() {
    if (!multiSelect_)
        return;
    if (HWND window = Window()) {
        SendMessageA(window, LB_SETSEL, TRUE, -1);
        return;
    }
    for (auto& item : items_->saved_)
        item.Selected = true;
}

void TCustomListBox::SetMultiSelect(bool Value) {
    if (multiSelect_ == Value)
        return;
    multiSelect_ = Value;
    RecreateWnd();
}

void TCustomListBox::SetExtendedSelect(bool Value) {
    if (extendedSelect_ == Value)
        return;
    extendedSelect_ = Value;
    RecreateWnd();
}

void TCustomListBox::SetStyle(TListBoxStyle Value) {
    if (style_ == Value)
        return;
    style_ = Value;
    RecreateWnd();
}

int TCustomListBox::ItemHeight() const {
    HWND window = Window();
    if (window && style_ == lbStandard)
        return static_cast<int>(SendMessageA(window, LB_GETITEMHEIGHT, 0, 0));
    return itemHeight_;
}

void TCustomListBox::SetItemHeight(int Value) {
    if (Value <= 0 || Value == itemHeight_)
        return;
    itemHeight_ = Value;
    if (HWND window = Window(); window && style_ == lbOwnerDrawFixed) {
        SendMessageA(window, LB_SETITEMHEIGHT, 0, MAKELPARAM(Value, 0));
        Invalidate();
    }
}

void TCustomListBox::SetColumns(int Value) {
    Value = std::max(0, Value);
    if (columns_ == Value)
        return;
    bool wasMulti = columns_ > 1, isMulti = Value > 1;
    columns_ = Value;
    if (wasMulti != isMulti)
        RecreateWnd();
    else
        ApplyColumnWidth();
}

void TCustomListBox::ApplyColumnWidth() {
    if (HWND window = Window(); window && columns_ > 1)
        SendMessageA(window, LB_SETCOLUMNWIDTH, static_cast<WPARAM>(std::max(1, ClientWidth() / columns_)),
                     0);
}

void TCustomListBox::SetSorted(bool Value) {
    if (sorted_ == Value)
        return;
    sorted_ = Value;
    // The items may move, and their selection would not go with them.
    ClearSelection();
    if (Value && !HandleAllocated()) {
        auto& saved = items_->saved_;
        std::stable_sort(saved.begin(), saved.end(), [](const auto& a, const auto& b) {
            return lstrcmpiA(a.Text.c_str(), b.Text.c_str()) < 0;
        });
    }
    RecreateWnd();
}

int TCustomListBox::TopIndex() const {
    if (HWND window = Window())
        return static_cast<int>(SendMessageA(window, LB_GETTOPINDEX, 0, 0));
    return topIndex_;
}

void TCustomListBox::SetTopIndex(int Value) {
    if (HWND window = Window())
        SendMessageA(window, LB_SETTOPINDEX, static_cast<WPARAM>(std::max(0, Value)), 0);
    else
        topIndex_ = std::max(0, Value);
}

int TCustomListBox::ItemAtPos(const TPoint& P, bool Existing) const {
    HWND window = Window();
    int count = Count();
    LRESULT result =
        window ? SendMessageA(window, LB_ITEMFROMPOINT, 0, MAKELPARAM(P.X, P.Y)) : MAKELRESULT(0, 1);
    // The high word says P is outside every item (below the last one).
    if (HIWORD(result) != 0 || LOWORD(result) >= count)
        return Existing ? -1 : count;
    return LOWORD(result);
}

TRect TCustomListBox::ItemRect(int Index) const {
    HWND window = Window();
    RECT r{};
    if (!window || SendMessageA(window, LB_GETITEMRECT, static_cast<WPARAM>(Index),
                                reinterpret_cast<LPARAM>(&r)) == LB_ERR)
        return {};
    return FromRECT(r);
}

void TCustomListBox::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    TWinControl::SetBounds(ALeft, ATop, AWidth, AHeight);
    ApplyColumnWidth();
}

void TCustomListBox::WndProc(TMessage& Message) {
    switch (Message.Msg) {
        case CN_COMMAND:
            switch (HIWORD(Message.WParam)) {
                case LBN_SELCHANGE:
                    Click();
                    return;
                case LBN_DBLCLK:
                    DblClick();
                    return;
                default:
                    break;
            }
            break;
        case CN_MEASUREITEM: {
            auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(Message.LParam);
            item->itemHeight = static_cast<UINT>(itemHeight_);
            Message.Result = TRUE;
            return;
        }
        case CN_DRAWITEM:
            DrawItemMessage(*reinterpret_cast<DRAWITEMSTRUCT*>(Message.LParam));
            Message.Result = TRUE;
            return;
        default:
            break;
    }
    TWinControl::WndProc(Message);
}

void TCustomListBox::DrawItemMessage(const DRAWITEMSTRUCT& Item) {
    DrawOwnerDrawItem(canvas_, Item, Font(), Color(), Count(), [&](int Index, const TRect& Rect) {
        DrawItem(Index, Rect, Item.itemState & 0xFFFF);
    });
}

void TCustomListBox::DrawItem(int Index, const TRect& Rect, TOwnerDrawState State) {
    if (OnDrawItem) {
        OnDrawItem(this, Index, Rect, State);
        return;
    }
    canvas_.FillRect(Rect);
    canvas_.TextOut(Rect.Left + 2, Rect.Top, items_->Strings(Index));
}

// ---- TListBoxStrings ----

int TListBoxStrings::Count() const {
    if (HWND window = listBox_.Window())
        return static_cast<int>(SendMessageA(window, LB_GETCOUNT, 0, 0));
    return static_cast<int>(saved_.size());
}

std::string TListBoxStrings::Strings(int Index) const {
    if (Index < 0 || Index >= Count())
        IndexError(Index);
    HWND window = listBox_.Window();
    if (!window)
        return saved_[static_cast<size_t>(Index)].Text;
    LRESULT length = SendMessageA(window, LB_GETTEXTLEN, static_cast<WPARAM>(Index), 0);
    if (length <= 0)
        return {};
    std::string text(static_cast<size_t>(length) + 1, '\0');
    LRESULT copied =
        SendMessageA(window, LB_GETTEXT, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(&text[0]));
    text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
    return text;
}

int TListBoxStrings::SortedPlace(const std::string& S) const {
    auto place =
        std::upper_bound(saved_.begin(), saved_.end(), S, [](const std::string& s, const TSavedItem& item) {
            return lstrcmpiA(s.c_str(), item.Text.c_str()) < 0;
        });
    return static_cast<int>(place - saved_.begin());
}

int TListBoxStrings::Add(const std::string& S) {
    HWND window = listBox_.Window();
    if (!window) {
        int index = listBox_.Sorted() ? SortedPlace(S) : static_cast<int>(saved_.size());
        saved_.insert(saved_.begin() + index, TSavedItem{S, false});
        return index;
    }
    LRESULT result = SendMessageA(window, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(S.c_str()));
    if (result == LB_ERR || result == LB_ERRSPACE)
        throw EOutOfResources("Insufficient space to store the items");
    return static_cast<int>(result);
}

void TListBoxStrings::Insert(int Index, const std::string& S) {
    if (Index < 0 || Index > Count())
        IndexError(Index);
    HWND window = listBox_.Window();
    if (!window) {
        saved_.insert(saved_.begin() + Index, TSavedItem{S, false});
        return;
    }
    LRESULT result = SendMessageA(window, LB_INSERTSTRING, static_cast<WPARAM>(Index),
                                  reinterpret_cast<LPARAM>(S.c_str()));
    if (result == LB_ERR || result == LB_ERRSPACE)
        throw EOutOfResources("Insufficient space to store the items");
}

void TListBoxStrings::Delete(int Index) {
    if (Index < 0 || Index >= Count())
        IndexError(Index);
    if (HWND window = listBox_.Window()) {
        SendMessageA(window, LB_DELETESTRING, static_cast<WPARAM>(Index), 0);
        return;
    }
    saved_.erase(saved_.begin() + Index);
}

void TListBoxStrings::Clear() {
    if (HWND window = listBox_.Window()) {
        SendMessageA(window, LB_RESETCONTENT, 0, 0);
        return;
    }
    saved_.clear();
    listBox_.itemIndex_ = -1;
    listBox_.topIndex_ = 0;
}

void TListBoxStrings::SetUpdateState(bool Updating) {
    HWND window = listBox_.Window();
    if (!window)
        return;
    SendMessageA(window, WM_SETREDRAW, !Updating, 0);
    if (!Updating)
        InvalidateRect(window, nullptr, TRUE);
}

}  // namespace vexel
