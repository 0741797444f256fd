// The system's edit windows: the one-line edit box and the memo, whose lines
// are a TStrings kept in step with the window.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "framework/core/string_list.h"
#include "framework/win32/controls.h"
#include "platform/crypto.h"

namespace vexel {

enum TBorderStyle { bsNoBorder, bsSingleBorder };
enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };

// An edit box over the system "EDIT" class. OnChange fires after every
// change of the text: typing, pasting, and setting Text from the program.
class TCustomEdit : public TWinControl {
public:
    explicit TCustomEdit(TComponent* AOwner);

    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool Value);
    // The longest text the user may type; 0: no limit.
    int MaxLength() const { return maxLength_; }
    void SetMaxLength(int Value);
    TBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TBorderStyle Value);
    // Whether the user changed the text since the program last set it.
    bool Modified() const;
    void SetModified(bool Value);

    int SelStart() const;
    void SetSelStart(int Value);
    int SelLength() const;
    void SetSelLength(int Value);
    std::string SelText() const;
    // The text, read so that no copy of it is left behind: a password's.
    platform::SecretText SecretText() const;
    // A secret edit (a password's) keeps its text in its window, and while
    // it has none in a holder that wipes it, never in a plain copy.
    bool Secret() const { return secret_; }
    void SetSecret(bool Value);
    void SetSelText(const std::string& Value);
    void SelectAll();
    void Clear() { SetText(""); }

    TNotifyEvent OnChange;

protected:
    ~TCustomEdit() override;
    void CreateParams(TCreateParams& Params) const override;
    void CreateHandle() override;
    void DestroyHandle() override;
    void WndProc(TMessage& Message) override;
    void TextChanged() override;
    std::string GetText() const override;
    void SetTextValue(const std::string& Value) override;
    // Fires OnChange; runs after every change of the text.
    virtual void Change();

private:
    // A secret's text into the window, wiping the copy made for the system.
    void PutSecretText(const std::string& Value);

    bool readOnly_ = false;
    int maxLength_ = 0;
    TBorderStyle borderStyle_ = bsSingleBorder;
    bool modified_ = false;
    bool secret_ = false;
    platform::SecretText kept_;  // a secret's text while it has no window
    bool keeping_ = false;       // its window is going, its text kept already
    bool restoring_ = false;     // its text goes back into a new window
};

class TEdit : public TCustomEdit {
public:
    using TCustomEdit::TCustomEdit;

protected:
    ~TEdit() override = default;
};

class TMemoStrings;

// A multi-line edit. Lines reads and edits the text line by line, also
// while the user edits it; tabs in the text show as tabs. WantReturns
// (default on) keeps Enter in the memo instead of clicking the default
// button; WantTabs (default off) types tabs instead of moving the focus.
class TCustomMemo : public TCustomEdit {
public:
    explicit TCustomMemo(TComponent* AOwner);

    TStrings* Lines() const;
    // Copies the lines of another list.
    void SetLines(TStrings* Value);
    TScrollStyle ScrollBars() const { return scrollBars_; }
    void SetScrollBars(TScrollStyle Value);
    // Long lines break at the right edge (no effect with a horizontal bar).
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool Value);
    bool WantReturns() const { return wantReturns_; }
    void SetWantReturns(bool Value) { wantReturns_ = Value; }
    bool WantTabs() const { return wantTabs_; }
    void SetWantTabs(bool Value) { wantTabs_ = Value; }

protected:
    ~TCustomMemo() override;
    void CreateParams(TCreateParams& Params) const override;
    void WndProc(TMessage& Message) override;
    void Change() override;

private:
    friend class TMemoStrings;
    std::unique_ptr<TMemoStrings> lines_;
    TScrollStyle scrollBars_ = ssNone;
    bool wordWrap_ = true;
    bool wantReturns_ = true;
    bool wantTabs_ = false;
};

class TMemo : public TCustomMemo {
public:
    using TCustomMemo::TCustomMemo;

protected:
    ~TMemo() override = default;
};

// A memo's lines: the memo's text split at its line breaks, each line
// followed by CR LF in the window, so that the text the window holds is
// always the list's Text. Reads take the text from the window once after
// each change; edits replace only the part of the window's text they touch.
class TMemoStrings : public TStrings {
public:
    explicit TMemoStrings(TCustomMemo& Memo) : memo_(Memo) {}

    int Count() const override;
    std::string Strings(int Index) const override;
    void Insert(int Index, const std::string& S) override;
    void Delete(int Index) override;
    void Clear() override;
    void SetText(const std::string& Value) override;

    // The memo's text changed: unless this list made the change itself, it
    // reads the text again when next asked.
    void TextChanged() {
        if (!editing_)
            valid_ = false;
    }

private:
    // Reads the lines and where each starts, unless they are known.
    void Update() const;
    void CheckIndex(int Index) const;
    // Replaces the characters Start..End of the memo's text.
    void Replace(int Start, int End, const std::string& Text);

    TCustomMemo& memo_;
    mutable std::vector<std::string> lines_;
    mutable std::vector<int> starts_;  // offset of each line in the text
    mutable int length_ = 0;           // of the whole text
    mutable bool endsWithBreak_ = false;
    mutable bool valid_ = false;
    bool editing_ = false;
};

}  // namespace vexel
