// The system's combo box: an edit box (or a fixed text) with a list that
// drops down below it.
#pragma once

#include <memory>
#include <string>

#include "framework/core/string_list.h"
#include "framework/win32/controls.h"

namespace vexel {

enum TComboBoxStyle { csDropDown, csSimple, csDropDownList };

class TComboBoxStrings;

// A combo box over the system "COMBOBOX" class. Items are kept by the
// window while it exists and by the control otherwise, so they survive a
// re-created window. OnChange fires after each edit the user types and each
// pick from the list (by mouse or keys), with Text already the new one.
class TCustomComboBox : public TWinControl {
public:
    explicit TCustomComboBox(TComponent* AOwner);

    TStrings* Items() const;
    void SetItems(TStrings* Value);
    // The selected item, -1 for none. Setting it shows that item's text.
    int ItemIndex() const;
    void SetItemIndex(int Value);
    // csDropDown (the default) lets the user type; csDropDownList only pick.
    TComboBoxStyle Style() const { return style_; }
    void SetStyle(TComboBoxStyle Value);
    // Items the dropped-down list shows without scrolling.
    int DropDownCount() const { return dropDownCount_; }
    void SetDropDownCount(int Value);
    bool DroppedDown() const;
    void SetDroppedDown(bool Value);
    // The longest text the user may type; 0: no limit.
    int MaxLength() const { return maxLength_; }
    void SetMaxLength(int Value);

    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

    TNotifyEvent OnChange;
    TNotifyEvent OnDropDown;

protected:
    ~TCustomComboBox() override;
    void CreateParams(TCreateParams& Params) const override;
    void CreateHandle() override;
    void DestroyHandle() override;
    void WndProc(TMessage& Message) override;
    virtual void Change();

private:
    friend class TComboBoxStrings;
    // Height of the dropped-down list, which the system counts in the
    // window's height.
    int DropDownHeight();

    std::unique_ptr<TComboBoxStrings> items_;
    TComboBoxStyle style_ = csDropDown;
    int dropDownCount_ = 8;
    int maxLength_ = 0;
    int itemIndex_ = -1;  // while there is no window
};

class TComboBox : public TCustomComboBox {
public:
    using TCustomComboBox::TCustomComboBox;

protected:
    ~TComboBox() override = default;
};

// A combo box's items: the window's list while it exists, a list of the
// control's own before and between windows.
class TComboBoxStrings : public TStrings {
public:
    explicit TComboBoxStrings(TCustomComboBox& Combo) : combo_(Combo) {}

    int Count() const override;
    std::string Strings(int Index) const override;
    void Insert(int Index, const std::string& S) override;
    void Delete(int Index) override;
    void Clear() override;

private:
    friend class TCustomComboBox;
    HWND Window() const;
    void CheckIndex(int Index) const;

    TCustomComboBox& combo_;
    TStringList saved_;  // the items while there is no window
};

}  // namespace vexel
