#include "framework/win32/combo_box.h"

#include <algorithm>

#include "framework/core/sysutils.h"
#include "framework/win32/forms.h"
#include "framework/win32/system_text.h"

namespace vexel {

namespace {
// The height of a list item before there is a window to ask.
constexpr int kDefaultItemHeight = 16;
}  // namespace

// ---- TCustomComboBox ----

TCustomComboBox::TCustomComboBox(TComponent* AOwner)
    : TWinControl(AOwner), items_(std::make_unique<TComboBoxStrings>(*this)) {
    controlStyle_ = csSetCaption | csDoubleClicks;
    SetParentColor(false);
    SetColor(clWindow);
    SetTabStop(true);
    SetBounds(0, 0, 145, 21);
}

TCustomComboBox::~TCustomComboBox() = default;

TStrings* TCustomComboBox::Items() const {
    return items_.get();
}

void TCustomComboBox::SetItems(TStrings* Value) {
    items_->Assign(Value);
}

void TCustomComboBox::CreateParams(TCreateParams& Params) const {
    TWinControl::CreateParams(Params);
    Params.WinClassName = "COMBOBOX";
    Params.Style |= WS_VSCROLL | CBS_AUTOHSCROLL;
    switch (style_) {
        case csDropDown: Params.Style |= CBS_DROPDOWN; break;
        case csSimple: Params.Style |= CBS_SIMPLE; break;
        case csDropDownList: Params.Style |= CBS_DROPDOWNLIST; break;
    }
    if (style_ != csSimple)
        Params.Height += const_cast<TCustomComboBox*>(this)->DropDownHeight();
}

void TCustomComboBox::CreateHandle() {
    TWinControl::CreateHandle();
    if (!HandleAllocated())
        return;
    HWND window = Handle();
    SendMessageW(window, CB_LIMITTEXT, static_cast<WPARAM>(maxLength_), 0);
    // The items the control kept move into the window's list; the text set
    // at creation may be lost by selecting, so it is set again.
    std::string text = text_;
    TStringList& saved = items_->saved_;
    for (int i = 0; i < saved.Count(); ++i)
        SendMessageW(window, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(ToSystem(saved.Strings(i)).c_str()));
    saved.Clear();
    if (itemIndex_ >= 0)
        SendMessageW(window, CB_SETCURSEL, static_cast<WPARAM>(itemIndex_), 0);
    if (style_ != csDropDownList)
        SetWindowTextW(window, ToSystem(text).c_str());
}

void TCustomComboBox::DestroyHandle() {
    if (HandleAllocated()) {
        HWND window = Handle();
        itemIndex_ = static_cast<int>(SendMessageW(window, CB_GETCURSEL, 0, 0));
        TStringList& saved = items_->saved_;
        saved.Clear();
        int count = static_cast<int>(SendMessageW(window, CB_GETCOUNT, 0, 0));
        for (int i = 0; i < count; ++i)
            saved.Add(items_->Strings(i));
    }
    TWinControl::DestroyHandle();
}

int TCustomComboBox::DropDownHeight() {
    int itemHeight = kDefaultItemHeight;
    if (HandleAllocated())
        itemHeight = std::max(1, static_cast<int>(SendMessageW(Handle(), CB_GETITEMHEIGHT, 0, 0)));
    return itemHeight * std::max(1, dropDownCount_) + 2;
}

void TCustomComboBox::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    if (!HandleAllocated() || style_ == csSimple) {
        TWinControl::SetBounds(ALeft, ATop, AWidth, AHeight);
        return;
    }
    // The system sizes the closed box itself; the height given is the list's.
    SetWindowPos(Handle(), nullptr, ALeft, ATop, std::max(0, AWidth), std::max(0, AHeight) + DropDownHeight(),
                 SWP_NOZORDER | SWP_NOACTIVATE);
    UpdateBounds();
}

int TCustomComboBox::ItemIndex() const {
    if (HandleAllocated())
        return static_cast<int>(
            SendMessageW(const_cast<TCustomComboBox*>(this)->Handle(), CB_GETCURSEL, 0, 0));
    return itemIndex_;
}

void TCustomComboBox::SetItemIndex(int Value) {
    if (Value < -1 || Value >= items_->Count())
        Value = -1;
    if (HandleAllocated()) {
        SendMessageW(Handle(), CB_SETCURSEL, static_cast<WPARAM>(Value), 0);
        return;
    }
    itemIndex_ = Value;
    text_ = Value >= 0 ? items_->Strings(Value) : std::string();
}

void TCustomComboBox::SetStyle(TComboBoxStyle Value) {
    if (style_ == Value)
        return;
    style_ = Value;
    RecreateWnd();
}

void TCustomComboBox::SetDropDownCount(int Value) {
    dropDownCount_ = std::max(1, Value);
    if (HandleAllocated())
        SetBounds(Left(), Top(), Width(), Height());
}

bool TCustomComboBox::DroppedDown() const {
    return HandleAllocated() &&
           SendMessageW(const_cast<TCustomComboBox*>(this)->Handle(), CB_GETDROPPEDSTATE, 0, 0) != 0;
}

void TCustomComboBox::SetDroppedDown(bool Value) {
    if (HWND window = Handle())
        SendMessageW(window, CB_SHOWDROPDOWN, Value, 0);
}

void TCustomComboBox::SetMaxLength(int Value) {
    maxLength_ = std::max(0, Value);
    if (HandleAllocated())
        SendMessageW(Handle(), CB_LIMITTEXT, static_cast<WPARAM>(maxLength_), 0);
}

void TCustomComboBox::Change() {
    if (OnChange)
        OnChange(this);
}

void TCustomComboBox::WndProc(TMessage& Message) {
    switch (Message.Msg) {
        case CN_COMMAND:
            switch (HIWORD(Message.WParam)) {
                case CBN_EDITCHANGE: Change(); return;
                case CBN_SELCHANGE: {
                    // The edit shows the pick only after this notice; the handler
                    // should see it already.
                    int index = ItemIndex();
                    if (index >= 0 && style_ != csDropDownList)
                        SetWindowTextW(Handle(), ToSystem(items_->Strings(index)).c_str());
                    Click();
                    Change();
                    return;
                }
                case CBN_DROPDOWN:
                    if (OnDropDown)
                        OnDropDown(this);
                    return;
                case CBN_SETFOCUS:
                    // The focus may go straight to the edit inside; the form still
                    // has to know the combo box holds it.
                    if (TCustomForm* form = GetParentForm(this))
                        form->SetFocusedControl(this);
                    return;
                default: break;
            }
            break;
        case WM_GETDLGCODE:
            TWinControl::WndProc(Message);
            // While the list is down, Enter and Esc close it instead of
            // clicking the default or cancel button.
            if (DroppedDown())
                Message.Result |= DLGC_WANTALLKEYS;
            return;
        default: break;
    }
    TWinControl::WndProc(Message);
}

// ---- TComboBoxStrings ----

HWND TComboBoxStrings::Window() const {
    return combo_.HandleAllocated() ? combo_.Handle() : nullptr;
}

int TComboBoxStrings::Count() const {
    if (HWND window = Window())
        return static_cast<int>(SendMessageW(window, CB_GETCOUNT, 0, 0));
    return saved_.Count();
}

void TComboBoxStrings::CheckIndex(int Index) const {
    if (Index < 0 || Index >= Count())
        IndexError(Index);
}

std::string TComboBoxStrings::Strings(int Index) const {
    HWND window = Window();
    if (!window)
        return saved_.Strings(Index);
    CheckIndex(Index);
    LRESULT length = SendMessageW(window, CB_GETLBTEXTLEN, static_cast<WPARAM>(Index), 0);
    if (length <= 0)
        return {};
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    LRESULT copied =
        SendMessageW(window, CB_GETLBTEXT, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(&text[0]));
    text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
    return FromSystem(text);
}

void TComboBoxStrings::Insert(int Index, const std::string& S) {
    HWND window = Window();
    if (!window) {
        saved_.Insert(Index, S);
        return;
    }
    if (Index < 0 || Index > Count())
        IndexError(Index);
    LRESULT result = SendMessageW(window, CB_INSERTSTRING, static_cast<WPARAM>(Index),
                                  reinterpret_cast<LPARAM>(ToSystem(S).c_str()));
    if (result == CB_ERR || result == CB_ERRSPACE)
        throw EOutOfResources("Insufficient space to store the items");
}

void TComboBoxStrings::Delete(int Index) {
    HWND window = Window();
    if (!window) {
        saved_.Delete(Index);
        return;
    }
    CheckIndex(Index);
    SendMessageW(window, CB_DELETESTRING, static_cast<WPARAM>(Index), 0);
}

void TComboBoxStrings::Clear() {
    if (HWND window = Window()) {
        SendMessageW(window, CB_RESETCONTENT, 0, 0);
        return;
    }
    saved_.Clear();
}

}  // namespace vexel
