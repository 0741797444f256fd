#include "framework/win32/edits.h"

#include <algorithm>

#include "framework/core/sysutils.h"
#include "framework/win32/system_text.h"

namespace vexel {

// ---- TCustomEdit ----

TCustomEdit::TCustomEdit(TComponent* AOwner) : TWinControl(AOwner) {
    controlStyle_ = csSetCaption | csDoubleClicks;
    SetParentColor(false);
    SetColor(clWindow);
    SetTabStop(true);
    SetBounds(0, 0, 121, 21);
}

TCustomEdit::~TCustomEdit() = default;

void TCustomEdit::CreateParams(TCreateParams& Params) const {
    TWinControl::CreateParams(Params);
    Params.WinClassName = "EDIT";
    Params.Style |= ES_AUTOHSCROLL | ES_AUTOVSCROLL;
    if (readOnly_)
        Params.Style |= ES_READONLY;
    if (borderStyle_ == bsSingleBorder)
        Params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TCustomEdit::CreateHandle() {
    TWinControl::CreateHandle();
    if (!HandleAllocated())
        return;
    // 0 lifts the system's default limit of typed text.
    SendMessageW(Handle(), EM_LIMITTEXT, static_cast<WPARAM>(maxLength_), 0);
    SendMessageW(Handle(), EM_SETMODIFY, modified_, 0);
    if (secret_ && !kept_.Text().empty()) {
        // The window is made without it (its caption would be a plain copy).
        restoring_ = true;
        PutSecretText(kept_.Text());
        restoring_ = false;
        platform::SecureWipe(kept_.Text());
    }
}

void TCustomEdit::DestroyHandle() {
    if (HandleAllocated()) {
        modified_ = Modified();
        if (secret_)
            kept_ = SecretText();
    }
    keeping_ = secret_;
    TWinControl::DestroyHandle();
    keeping_ = false;
}

void TCustomEdit::SetSecret(bool Value) {
    if (secret_ == Value)
        return;
    secret_ = Value;
    if (secret_) {
        if (!HandleAllocated())
            kept_ = platform::SecretText(std::move(text_));
        platform::SecureWipe(text_);
    } else {
        if (!HandleAllocated())
            text_ = kept_.Text();
        platform::SecureWipe(kept_.Text());
    }
}

std::string TCustomEdit::GetText() const {
    if (!secret_)
        return TWinControl::GetText();
    // The window's text, read as it goes to be kept: kept already.
    if (keeping_)
        return {};
    return HandleAllocated() ? TWinControl::GetText() : kept_.Text();
}

void TCustomEdit::SetTextValue(const std::string& Value) {
    if (!secret_)
        TWinControl::SetTextValue(Value);
    else if (HandleAllocated())
        PutSecretText(Value);
    else
        kept_ = platform::SecretText(Value);
}

void TCustomEdit::PutSecretText(const std::string& Value) {
    std::wstring wide = ToSystem(Value);
    SetWindowTextW(Handle(), wide.c_str());
    platform::SecureWipe(&wide[0], wide.capacity() * sizeof(wchar_t));
}

void TCustomEdit::SetReadOnly(bool Value) {
    readOnly_ = Value;
    if (HandleAllocated())
        SendMessageW(Handle(), EM_SETREADONLY, Value, 0);
}

void TCustomEdit::SetMaxLength(int Value) {
    maxLength_ = std::max(0, Value);
    if (HandleAllocated())
        SendMessageW(Handle(), EM_LIMITTEXT, static_cast<WPARAM>(maxLength_), 0);
}

void TCustomEdit::SetBorderStyle(TBorderStyle Value) {
    if (borderStyle_ == Value)
        return;
    borderStyle_ = Value;
    RecreateWnd();
}

bool TCustomEdit::Modified() const {
    if (HandleAllocated())
        return SendMessageW(const_cast<TCustomEdit*>(this)->Handle(), EM_GETMODIFY, 0, 0) != 0;
    return modified_;
}

void TCustomEdit::SetModified(bool Value) {
    modified_ = Value;
    if (HandleAllocated())
        SendMessageW(Handle(), EM_SETMODIFY, Value, 0);
}

int TCustomEdit::SelStart() const {
    auto* self = const_cast<TCustomEdit*>(this);
    if (!self->HandleAllocated())
        return 0;
    DWORD start = 0, end = 0;
    SendMessageW(self->Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return static_cast<int>(start);
}

void TCustomEdit::SetSelStart(int Value) {
    SendMessageW(Handle(), EM_SETSEL, static_cast<WPARAM>(Value), static_cast<LPARAM>(Value));
}

int TCustomEdit::SelLength() const {
    auto* self = const_cast<TCustomEdit*>(this);
    if (!self->HandleAllocated())
        return 0;
    DWORD start = 0, end = 0;
    SendMessageW(self->Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return static_cast<int>(end - start);
}

void TCustomEdit::SetSelLength(int Value) {
    int start = SelStart();
    SendMessageW(Handle(), EM_SETSEL, static_cast<WPARAM>(start), static_cast<LPARAM>(start + Value));
}

std::string TCustomEdit::SelText() const {
    std::string text = Text();
    int start = std::min(SelStart(), static_cast<int>(text.size()));
    return text.substr(static_cast<size_t>(start), static_cast<size_t>(SelLength()));
}

platform::SecretText TCustomEdit::SecretText() const {
    if (!HandleAllocated())
        return platform::SecretText(Text());
    auto* self = const_cast<TCustomEdit*>(this);
    const int length = GetWindowTextLengthW(self->Handle());
    std::wstring wide(static_cast<size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(self->Handle(), &wide[0], length + 1);
    wide.resize(static_cast<size_t>(std::max(0, copied)));
    platform::SecretText text(FromSystem(wide));
    platform::SecureWipe(&wide[0], wide.capacity() * sizeof(wchar_t));
    return text;
}

void TCustomEdit::SetSelText(const std::string& Value) {
    SendMessageW(Handle(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(ToSystem(Value).c_str()));
}

void TCustomEdit::SelectAll() {
    if (HandleAllocated())
        SendMessageW(Handle(), EM_SETSEL, 0, -1);
}

void TCustomEdit::TextChanged() {
    TWinControl::TextChanged();
    // The window reports its own changes, except a multi-line one's new
    // text as a whole; without a window nobody does.
    if (!HandleAllocated() || (GetWindowLongW(Handle(), GWL_STYLE) & ES_MULTILINE))
        Change();
}

void TCustomEdit::Change() {
    if (OnChange && !restoring_)
        OnChange(this);
}

void TCustomEdit::WndProc(TMessage& Message) {
    if (Message.Msg == CN_COMMAND && HIWORD(Message.WParam) == EN_CHANGE) {
        Change();
        return;
    }
    TWinControl::WndProc(Message);
}

// ---- TCustomMemo ----

TCustomMemo::TCustomMemo(TComponent* AOwner)
    : TCustomEdit(AOwner), lines_(std::make_unique<TMemoStrings>(*this)) {
    SetBounds(0, 0, 185, 89);
}

TCustomMemo::~TCustomMemo() = default;

TStrings* TCustomMemo::Lines() const {
    return lines_.get();
}

void TCustomMemo::SetLines(TStrings* Value) {
    lines_->Assign(Value);
}

void TCustomMemo::SetScrollBars(TScrollStyle Value) {
    if (scrollBars_ == Value)
        return;
    scrollBars_ = Value;
    RecreateWnd();
}

void TCustomMemo::SetWordWrap(bool Value) {
    if (wordWrap_ == Value)
        return;
    wordWrap_ = Value;
    RecreateWnd();
}

void TCustomMemo::CreateParams(TCreateParams& Params) const {
    TCustomEdit::CreateParams(Params);
    Params.Style |= ES_MULTILINE;
    if (wordWrap_)
        Params.Style &= ~static_cast<DWORD>(ES_AUTOHSCROLL);
    if (scrollBars_ == ssHorizontal || scrollBars_ == ssBoth)
        Params.Style |= WS_HSCROLL;
    if (scrollBars_ == ssVertical || scrollBars_ == ssBoth)
        Params.Style |= WS_VSCROLL;
}

void TCustomMemo::WndProc(TMessage& Message) {
    if (Message.Msg == WM_GETDLGCODE) {
        TCustomEdit::WndProc(Message);
        if (wantTabs_)
            Message.Result |= DLGC_WANTTAB;
        else
            Message.Result &= ~static_cast<LRESULT>(DLGC_WANTTAB);
        if (!wantReturns_)
            Message.Result &= ~static_cast<LRESULT>(DLGC_WANTALLKEYS);
        return;
    }
    TCustomEdit::WndProc(Message);
}

void TCustomMemo::Change() {
    lines_->TextChanged();
    TCustomEdit::Change();
}

// ---- TMemoStrings ----

void TMemoStrings::Update() const {
    if (valid_)
        return;
    const std::string text = memo_.Text();
    lines_.clear();
    starts_.clear();
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find_first_of("\r\n", pos);
        if (end == std::string::npos)
            end = text.size();
        starts_.push_back(static_cast<int>(pos));
        lines_.push_back(text.substr(pos, end - pos));
        pos = end;
        if (pos < text.size() && text[pos] == '\r')
            ++pos;
        if (pos < text.size() && text[pos] == '\n')
            ++pos;
    }
    length_ = static_cast<int>(text.size());
    endsWithBreak_ = !text.empty() && (text.back() == '\r' || text.back() == '\n');
    valid_ = true;
}

int TMemoStrings::Count() const {
    Update();
    return static_cast<int>(lines_.size());
}

void TMemoStrings::CheckIndex(int Index) const {
    if (Index < 0 || Index >= Count())
        IndexError(Index);
}

std::string TMemoStrings::Strings(int Index) const {
    CheckIndex(Index);
    return lines_[static_cast<size_t>(Index)];
}

void TMemoStrings::Replace(int Start, int End, const std::string& Text) {
    struct Guard {
        bool& flag;
        ~Guard() { flag = false; }
    } guard{editing_};
    editing_ = true;
    if (memo_.HandleAllocated()) {
        HWND window = memo_.Handle();
        SendMessageW(window, EM_SETSEL, static_cast<WPARAM>(Start), static_cast<LPARAM>(End));
        SendMessageW(window, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(ToSystem(Text).c_str()));
    } else {
        std::string text = memo_.Text();
        memo_.SetText(text.substr(0, static_cast<size_t>(Start)) + Text +
                      text.substr(static_cast<size_t>(End)));
    }
}

void TMemoStrings::Insert(int Index, const std::string& S) {
    int count = Count();
    if (Index < 0 || Index > count)
        IndexError(Index);
    const size_t at = static_cast<size_t>(Index);
    if (Index == count) {
        // At the end: after a break, putting one in first when the text
        // does not end with one.
        const bool needBreak = count > 0 && !endsWithBreak_;
        const std::string text = (needBreak ? "\r\n" : "") + S + "\r\n";
        const int start = length_ + (needBreak ? 2 : 0);
        Replace(length_, length_, text);
        lines_.push_back(S);
        starts_.push_back(start);
        length_ += static_cast<int>(text.size());
        endsWithBreak_ = true;
        return;
    }
    const std::string text = S + "\r\n";
    const int start = starts_[at];
    Replace(start, start, text);
    const int shift = static_cast<int>(text.size());
    lines_.insert(lines_.begin() + Index, S);
    starts_.insert(starts_.begin() + Index, start);
    for (size_t i = at + 1; i < starts_.size(); ++i)
        starts_[i] += shift;
    length_ += shift;
}

void TMemoStrings::Delete(int Index) {
    CheckIndex(Index);
    const size_t at = static_cast<size_t>(Index);
    const bool last = at + 1 == lines_.size();
    const int start = starts_[at];
    const int end = last ? length_ : starts_[at + 1];
    Replace(start, end, "");
    const int shift = end - start;
    lines_.erase(lines_.begin() + Index);
    starts_.erase(starts_.begin() + Index);
    for (size_t i = at; i < starts_.size(); ++i)
        starts_[i] -= shift;
    length_ -= shift;
    if (last)
        endsWithBreak_ = length_ > 0;
}

void TMemoStrings::Clear() {
    memo_.SetText("");
    valid_ = false;
}

void TMemoStrings::SetText(const std::string& Value) {
    TStringList list;
    list.SetText(Value);
    memo_.SetText(list.Text());
    valid_ = false;
}

}  // namespace vexel
