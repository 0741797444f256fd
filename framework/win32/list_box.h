// The system's list box: a list of strings with one or many selected, drawn
// by the system or item by item by the control.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/core/string_list.h"
#include "framework/win32/controls.h"

namespace vexel {

enum TListBoxStyle { lbStandard, lbOwnerDrawFixed };

enum TOwnerDrawStateFlag : uint32_t {
    odSelected = ODS_SELECTED,
    odGrayed = ODS_GRAYED,
    odDisabled = ODS_DISABLED,
    odChecked = ODS_CHECKED,
    odFocused = ODS_FOCUS,
};
using TOwnerDrawState = uint32_t;

class TCustomListBox;
using TDrawItemEvent =
    std::function<void(TCustomListBox* Control, int Index, const TRect& Rect, TOwnerDrawState State)>;

class TListBoxStrings;

// A list box over the system "LISTBOX" class. Items, the selection and the
// focused item are kept by the window while it exists and by the control
// otherwise, so they survive a re-created window (a change of MultiSelect,
// Style, Sorted or Columns re-creates it).
//
// OnClick fires when the user changes the selection (mouse or keys), with
// the new selection already in place; OnDblClick on a double click on an
// item. With MultiSelect the user picks several items as the system does it:
// a click selects one item, Ctrl+click adds or removes one, Shift+click
// selects the run from the anchor (ExtendedSelect, the default); without
// ExtendedSelect every click toggles an item.
//
// With Style lbOwnerDrawFixed the control draws each item with DrawItem
// (OnDrawItem when assigned), on Canvas() bound to the system's DC and
// prepared for the item's state: the control's font, and the control's
// colour as the brush, or clHighlight and clHighlightText for a selected
// item. The focus rectangle is drawn afterwards.
class TCustomListBox : public TWinControl {
  public:
    explicit TCustomListBox(TComponent* AOwner);

    TStrings* Items() const;
    void SetItems(TStrings* Value);
    int Count() const;
    void Clear();

    // The item with the focus: with MultiSelect the focused one whether
    // selected or not, else the selected one; -1 for none or an empty list.
    int ItemIndex() const;
    // Selects the item (and only it) without MultiSelect; with MultiSelect
    // moves the focus there and leaves the selection as it is. -1 clears
    // the selection of a single-selection list.
    void SetItemIndex(int Value);
    bool Selected(int Index) const;
    void SetSelected(int Index, bool Value);
    int SelCount() const;
    void ClearSelection();
    void SelectAll();

    bool MultiSelect() const { return multiSelect_; }
    void SetMultiSelect(bool Value);
    bool ExtendedSelect() const { return extendedSelect_; }
    void SetExtendedSelect(bool Value);
    TListBoxStyle Style() const { return style_; }
    void SetStyle(TListBoxStyle Value);
    // The height of an owner-drawn item (the system's own for lbStandard).
    int ItemHeight() const;
    void SetItemHeight(int Value);
    // 0 or 1: one column scrolled up and down; more: that many columns side
    // by side across the width, scrolled sideways.
    int Columns() const { return columns_; }
    void SetColumns(int Value);
    // Items kept in the system's order (case-insensitive). Changing it
    // clears the selection.
    bool Sorted() const { return sorted_; }
    void SetSorted(bool Value);
    int TopIndex() const;
    void SetTopIndex(int Value);

    // The item at P (client coordinates); with Existing, -1 when P is below
    // the last item, else the index one past the last.
    int ItemAtPos(const TPoint& P, bool Existing) const;
    // The item's rectangle in client coordinates (empty when it is not shown).
    TRect ItemRect(int Index) const;

    TCanvas* Canvas() { return &canvas_; }
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

    TDrawItemEvent OnDrawItem;

  protected:
    ~TCustomListBox() override;
    void CreateParams(TCreateParams& Params) const override;
    void CreateHandle() override;
    void DestroyHandle() override;
    void WndProc(TMessage& Message) override;
    TCanvas* ControlCanvas() override { return &canvas_; }
    // Draws one item of an owner-drawn list on Canvas(); the default fills
    // Rect with the brush and writes the item's text 2 pixels in.
    virtual void DrawItem(int Index, const TRect& Rect, TOwnerDrawState State);

  private:
    friend class TListBoxStrings;
    HWND Window() const;
    void DrawItemMessage(const DRAWITEMSTRUCT& Item);
    void ApplyColumnWidth();
    void CheckIndex(int Index) const;

    std::unique_ptr<TListBoxStrings> items_;
    TCanvas canvas_;
    bool multiSelect_ = false;
    bool extendedSelect_ = true;
    TListBoxStyle style_ = lbStandard;
    int itemHeight_ = 16;
    int columns_ = 0;
    bool sorted_ = false;
    int itemIndex_ = -1;  // while there is no window
    int topIndex_ = 0;    // while there is no window
};

class TListBox : public TCustomListBox {
  public:
    using TCustomListBox::TCustomListBox;

  protected:
    ~TListBox() override = default;
};

// A list box's items: the window's list while it exists, a list of the
// control's own (with each item's selected flag) before and between windows.
class TListBoxStrings : public TStrings {
  public:
    explicit TListBoxStrings(TCustomListBox& ListBox) : listBox_(ListBox) {}

    int Count() const override;
    std::string Strings(int Index) const override;
    void Insert(int Index, const std::string& S) override;
    int Add(const std::string& S) override;
    void Delete(int Index) override;
    void Clear() override;

  protected:
    void SetUpdateState(bool Updating) override;

  private:
    friend class TCustomListBox;
    struct TSavedItem {
        std::string Text;
        bool Selected = false;
    };
    // Where a new item goes in a sorted list without a window.
    int SortedPlace(const std::string& S) const;

    TCustomListBox& listBox_;
    std::vector<TSavedItem> saved_;
};

}  // namespace vexel
