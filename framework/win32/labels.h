// Labels: windowless text.
#pragma once

#include "framework/win32/controls.h"

namespace vexel {

enum TTextLayout { tlTop, tlCenter, tlBottom };

// Caption in Font, on Color unless Transparent. With AutoSize (the default)
// the label takes the size of its text whenever caption or font change;
// "&" marks an accelerator unless ShowAccelChar is off; typing it (with Alt,
// or alone where the focused control takes no characters) focuses
// FocusControl. A disabled label is
// drawn twice: clBtnHighlight one pixel down and right, clBtnShadow on top.
class TCustomLabel : public TGraphicControl {
public:
    explicit TCustomLabel(TComponent* AOwner);

    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment Value);
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool Value);
    TTextLayout Layout() const { return layout_; }
    void SetLayout(TTextLayout Value);
    bool ShowAccelChar() const { return showAccelChar_; }
    void SetShowAccelChar(bool Value);
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool Value);
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool Value);
    // The control a click on the label's accelerator focuses; cleared when
    // that control is freed.
    TWinControl* FocusControl() const { return focusControl_; }
    void SetFocusControl(TWinControl* Value);

protected:
    ~TCustomLabel() override = default;
    void Paint() override;
    // Draws (or with DT_CALCRECT measures) the caption in Rect on Canvas().
    virtual void DoDrawText(TRect& Rect, UINT Flags);
    // Resizes to the text when AutoSize is on.
    virtual void AdjustBounds();
    void TextChanged() override;
    void FontChanged() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void Loaded() override;
    // The caption's "&" letter focuses FocusControl.
    void WndProc(TMessage& Message) override;
    UINT TextFlags() const;

private:
    TAlignment alignment_ = taLeftJustify;
    bool autoSize_ = true;
    TTextLayout layout_ = tlTop;
    bool showAccelChar_ = true;
    bool transparent_ = false;
    bool wordWrap_ = false;
    TWinControl* focusControl_ = nullptr;
};

class TLabel : public TCustomLabel {
public:
    using TCustomLabel::TCustomLabel;

protected:
    ~TLabel() override = default;
};

}  // namespace vexel
