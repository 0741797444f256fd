// Focus and keys: the tab order of windowed controls, which control of a
// form has the focus, and the keys a form handles for its controls before
// the focused window sees them (Tab and the arrows, Enter and Esc for the
// default and cancel buttons, accelerator characters).
//
// The road of a key: the message loop (TApplication::IsKeyMsg) sends the
// control the key is for CN_KEYDOWN or CN_CHAR first. A key the window does
// not ask for (WM_GETDLGCODE) goes to the form as CM_DIALOGKEY, a character
// as CM_DIALOGCHAR; the form moves the focus for Tab and the arrows and
// offers everything else to its controls, children before grandchildren,
// until one takes it. Only keys nobody took reach the window.
#include <algorithm>

#include "framework/core/sysutils.h"
#include "framework/win32/control_internals.h"
#include "framework/win32/controls.h"
#include "framework/win32/forms.h"
#include "framework/win32/system_text.h"

namespace vexel {

namespace {

const char kCannotFocus[] = "Cannot focus a disabled or invisible window";

bool Contains(const TWinControl* Container, const TControl* Control) {
    for (const TControl* c = Control; c; c = c->Parent())
        if (c == Container)
            return true;
    return false;
}

}  // namespace

bool IsAccel(unsigned Char, const std::string& Caption) {
    for (size_t i = Caption.find('&'); i != std::string::npos && i + 1 < Caption.size();
         i = Caption.find('&', i)) {
        if (Caption[i + 1] == '&') {
            i += 2;  // "&&": a plain ampersand
            continue;
        }
        // The marked character, upper-cased as the system does, against the
        // typed one (a UTF-16 unit of the key message).
        std::wstring marked = ToSystem(Caption.substr(i + 1, 4));
        if (marked.empty())
            return false;
        wchar_t letters[2] = {marked[0], static_cast<wchar_t>(Char & 0xFFFF)};
        CharUpperBuffW(letters, 2);
        return letters[0] == letters[1];
    }
    return false;
}

// ---- Tab order ----

int TWinControl::TabOrder() const {
    if (!Parent())
        return -1;
    const auto& list = Parent()->tabList_;
    auto it = std::find(list.begin(), list.end(), this);
    return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

void TWinControl::SetTabOrder(int Value) {
    if (!Parent())
        return;
    auto& list = Parent()->tabList_;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    if (Value < 0 || Value >= static_cast<int>(list.size()))
        list.push_back(this);
    else
        list.insert(list.begin() + Value, this);
}

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& List) const {
    for (TWinControl* control : tabList_) {
        List.push_back(control);
        control->GetTabOrderList(List);
    }
}

TWinControl* TWinControl::FindNextControl(TWinControl* CurControl,
                                          bool GoForward,
                                          bool CheckTabStop,
                                          bool CheckParent) const {
    std::vector<TWinControl*> list;
    GetTabOrderList(list);
    if (list.empty())
        return nullptr;
    const int count = static_cast<int>(list.size());
    auto it = std::find(list.begin(), list.end(), CurControl);
    int start = it != list.end() ? static_cast<int>(it - list.begin()) : (GoForward ? count - 1 : 0);
    int i = start;
    do {
        i = GoForward ? (i + 1) % count : (i + count - 1) % count;
        TWinControl* candidate = list[static_cast<size_t>(i)];
        if (candidate->CanFocus() && (!CheckTabStop || candidate->TabStop()) &&
            (!CheckParent || candidate->Parent() == this))
            return candidate;
    } while (i != start);
    return nullptr;
}

void TWinControl::SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop) {
    if (TWinControl* next = FindNextControl(CurControl, GoForward, CheckTabStop, !CheckTabStop))
        next->SetFocus();
}

// ---- Focus ----

bool TWinControl::CanFocus() const {
    TCustomForm* form = GetParentForm(const_cast<TWinControl*>(this));
    if (!form)
        return false;
    for (const TControl* c = this; c != form; c = c->Parent())
        if (!c->Visible() || !c->Enabled())
            return false;
    return true;
}

bool TWinControl::Focused() const {
    return handle_ && GetFocus() == handle_;
}

void TWinControl::SetFocus() {
    TCustomForm* form = GetParentForm(this);
    if (!form) {
        if (HWND window = Handle())
            ::SetFocus(window);
        return;
    }
    if (form == this) {
        if (HWND window = Handle())
            ::SetFocus(window);
        return;
    }
    if (!CanFocus())
        throw EInvalidOperation(kCannotFocus);
    form->SetActiveControl(this);
    // A form that is not showing focuses it when it is activated.
    if (form->HandleAllocated() && IsWindowVisible(form->Handle()) && Handle() && GetFocus() != handle_)
        ::SetFocus(handle_);
}

void TCustomForm::SetActiveControl(TWinControl* Control) {
    if (Control == activeControl_)
        return;
    if (Control && (Control == this || GetParentForm(Control) != this ||
                    (!(ComponentState() & csLoading) && !Control->CanFocus())))
        throw EInvalidOperation(kCannotFocus);
    activeControl_ = Control;
    if (Control && active_ && Control->Handle() && GetFocus() != Control->Handle())
        ::SetFocus(Control->Handle());
}

void TCustomForm::SetFocusedControl(TWinControl* Control) {
    if (IsDestroying())
        return;
    if (Control && Control != this)
        activeControl_ = Control;
    if (Control == focusedControl_)
        return;
    focusedControl_ = Control;
    Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(Control));
}

void TCustomForm::DefocusControl(TWinControl* Control, bool Removing) {
    if (Removing && focusedControl_ && Contains(Control, focusedControl_))
        focusedControl_ = Control->Parent();
    if (activeControl_ && Contains(Control, activeControl_))
        activeControl_ = nullptr;
}

void TCustomForm::FocusActiveControl() {
    if (!activeControl_ || !activeControl_->CanFocus())
        activeControl_ = FindNextControl(nullptr, true, true, false);
    if (activeControl_) {
        if (HWND window = activeControl_->Handle())
            ::SetFocus(window);
    }
}

void TCustomForm::ShowFocusCues() {
    if (HandleAllocated())
        SendMessageW(Handle(), WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
}

// ---- Keys ----

bool TWinControl::DialogKey(WORD Key, LPARAM KeyData) {
    UINT wanted = 0;
    switch (Key) {
        case VK_TAB: wanted = DLGC_WANTTAB; break;
        case VK_LEFT:
        case VK_RIGHT:
        case VK_UP:
        case VK_DOWN: wanted = DLGC_WANTARROWS; break;
        case VK_RETURN:
        case VK_ESCAPE:
        case VK_EXECUTE:
        case VK_CANCEL: wanted = DLGC_WANTALLKEYS; break;
        default: return false;
    }
    if (static_cast<UINT>(Perform(WM_GETDLGCODE, 0, 0)) & wanted)
        return false;
    TCustomForm* form = GetParentForm(this);
    return form && form->Perform(CM_DIALOGKEY, Key, KeyData) != 0;
}

LRESULT TWinControl::Broadcast(UINT Msg, WPARAM WParam, LPARAM LParam, bool StopWhenHandled) {
    // A handler may add or free controls: go over a copy, skipping any that
    // left meanwhile.
    std::vector<TControl*> children = controls_;
    for (TControl* child : children) {
        if (std::find(controls_.begin(), controls_.end(), child) == controls_.end())
            continue;
        LRESULT result = child->Perform(Msg, WParam, LParam);
        if (StopWhenHandled && result)
            return result;
    }
    return 0;
}

}  // namespace vexel
