// The system's button windows: push buttons (in the system's look or drawn
// by the control), check boxes and radio buttons.
#pragma once

#include <windows.h>

#include "framework/win32/controls.h"
#include "framework/win32/gdi.h"

namespace vexel {

// What a button's click tells its form (the form's ModalResult).
constexpr int mrNone = 0;
constexpr int mrOk = IDOK;
constexpr int mrCancel = IDCANCEL;
constexpr int mrAbort = IDABORT;
constexpr int mrRetry = IDRETRY;
constexpr int mrIgnore = IDIGNORE;
constexpr int mrYes = IDYES;
constexpr int mrNo = IDNO;

// A control over the system "BUTTON" class. The system tracks the mouse and
// the space bar and reports a click with BN_CLICKED, which the control turns
// into its own reaction (ButtonClicked). A press on a button without the
// focus focuses it first, and what the system reports while the focus moves
// is not taken for a click of the user.
class TButtonControl : public TWinControl {
public:
    explicit TButtonControl(TComponent* AOwner);

    // The box shows what its parent paints beneath it (the parent's ground
    // and windowless controls) instead of its Color, for a check box or
    // radio button on a painted surface. Off at first.
    bool ParentBackground() const { return parentBackground_; }
    void SetParentBackground(bool Value);

protected:
    ~TButtonControl() override;
    void CreateParams(TCreateParams& Params) const override;
    void WndProc(TMessage& Message) override;
    // BN_CLICKED: the base version runs Click.
    virtual void ButtonClicked() { Click(); }
    // True while a mouse press moves the focus to the button.
    bool ClicksDisabled() const { return clicksDisabled_; }

private:
    // The brush the system fills the box with: the parent's picture beneath
    // it, which the brush keeps until the next painting asks again.
    HBRUSH ParentBackgroundBrush(HDC DC);

    bool clicksDisabled_ = false;
    bool parentBackground_ = false;
    ScopedBitmap parentPicture_;
    ScopedBrush parentBrush_;
};

// A push button. Enter clicks the active default button: the focused push
// button, or the Default one while the focus is on a control of another
// kind; Esc clicks a Cancel button; the caption's "&" letter clicks it. A
// click copies ModalResult to the form. With OwnerDraw the system leaves the
// drawing to DrawItem (BS_OWNERDRAW).
class TCustomButton : public TButtonControl {
public:
    explicit TCustomButton(TComponent* AOwner);

    bool Default() const { return default_; }
    void SetDefault(bool Value);
    bool Cancel() const { return cancel_; }
    void SetCancel(bool Value) { cancel_ = Value; }
    int ModalResult() const { return modalResult_; }
    void SetModalResult(int Value) { modalResult_ = Value; }
    // Whether Enter clicks this button now.
    bool ActiveDefault() const { return active_; }

    void Click() override;

protected:
    ~TCustomButton() override;
    void CreateParams(TCreateParams& Params) const override;
    void CreateHandle() override;
    void WndProc(TMessage& Message) override;
    // True for a button whose control draws it (fixed at creation).
    virtual bool OwnerDraw() const { return false; }
    // Draws an owner-drawn button into Item.hDC (CN_DRAWITEM).
    virtual void DrawItem(const DRAWITEMSTRUCT& Item) { (void)Item; }
    // Answers the size of the item (CN_MEASUREITEM): the control's size.
    virtual void MeasureItem(MEASUREITEMSTRUCT& Item);
    // The active default changed; the system's look shows it with its
    // default-button frame.
    virtual void ActiveDefaultChanged();

private:
    void FocusChanged(TWinControl* Focused);

    bool default_ = false;
    bool cancel_ = false;
    bool active_ = false;
    int modalResult_ = mrNone;
};

class TButton : public TCustomButton {
public:
    using TCustomButton::TCustomButton;

protected:
    ~TButton() override = default;
};

enum TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };

// The system's check box (BS_3STATE: the control, not the system, decides
// the state). Every change of the state, by mouse, space bar, accelerator or
// program, runs Click once.
class TCheckBox : public TButtonControl {
public:
    explicit TCheckBox(TComponent* AOwner);

    bool Checked() const { return state_ == cbChecked; }
    void SetChecked(bool Value) { SetState(Value ? cbChecked : cbUnchecked); }
    TCheckBoxState State() const { return state_; }
    void SetState(TCheckBoxState Value);
    // A click goes through the grey state too.
    bool AllowGrayed() const { return allowGrayed_; }
    void SetAllowGrayed(bool Value) { allowGrayed_ = Value; }
    // The next state, as a click makes it.
    virtual void Toggle();

protected:
    ~TCheckBox() override;
    void CreateParams(TCreateParams& Params) const override;
    void CreateHandle() override;
    void WndProc(TMessage& Message) override;
    void ButtonClicked() override { Toggle(); }

private:
    TCheckBoxState state_ = cbUnchecked;
    bool allowGrayed_ = false;
};

// The system's radio button (BS_RADIOBUTTON). The radio buttons of one
// parent form a group: checking one unchecks the others. Only the checked
// one is a tab stop; the arrow keys move through the group and check the
// button they reach. Checking runs Click once; unchecking runs nothing.
class TRadioButton : public TButtonControl {
public:
    explicit TRadioButton(TComponent* AOwner);

    bool Checked() const { return checked_; }
    void SetChecked(bool Value);

protected:
    ~TRadioButton() override;
    void CreateParams(TCreateParams& Params) const override;
    void CreateHandle() override;
    void WndProc(TMessage& Message) override;
    void ButtonClicked() override { SetChecked(true); }

private:
    bool checked_ = false;
};

}  // namespace vexel
