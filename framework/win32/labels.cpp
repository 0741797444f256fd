#include "framework/win32/labels.h"

namespace vexel {

TCustomLabel::TCustomLabel(TComponent* AOwner) : TGraphicControl(AOwner) {
    controlStyle_ |= csOpaque | csReplicatable;
    SetBounds(0, 0, 65, 17);
}

void TCustomLabel::SetAlignment(TAlignment Value) {
    alignment_ = Value;
    Invalidate();
}

void TCustomLabel::SetAutoSize(bool Value) {
    autoSize_ = Value;
    AdjustBounds();
}

void TCustomLabel::SetLayout(TTextLayout Value) {
    layout_ = Value;
    Invalidate();
}

void TCustomLabel::SetShowAccelChar(bool Value) {
    showAccelChar_ = Value;
    AdjustBounds();
    Invalidate();
}

void TCustomLabel::SetTransparent(bool Value) {
    transparent_ = Value;
    if (Value)
        controlStyle_ &= ~static_cast<TControlStyle>(csOpaque);
    else
        controlStyle_ |= csOpaque;
    Invalidate();
}

void TCustomLabel::SetWordWrap(bool Value) {
    wordWrap_ = Value;
    AdjustBounds();
    Invalidate();
}

void TCustomLabel::SetFocusControl(TWinControl* Value) {
    if (focusControl_)
        focusControl_->RemoveFreeNotification(this);
    focusControl_ = Value;
    if (Value)
        Value->FreeNotification(this);
}

void TCustomLabel::Notification(TComponent* AComponent, TOperation Operation) {
    TGraphicControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == static_cast<TComponent*>(focusControl_))
        focusControl_ = nullptr;
}

void TCustomLabel::WndProc(TMessage& Message) {
    if (Message.Msg == CM_DIALOGCHAR && focusControl_ && Enabled() && showAccelChar_ &&
        IsAccel(static_cast<unsigned>(Message.WParam), Caption()) && focusControl_->CanFocus()) {
        focusControl_->SetFocus();
        Message.Result = 1;
        return;
    }
    TGraphicControl::WndProc(Message);
}

UINT TCustomLabel::TextFlags() const {
    static const UINT kAlignments[] = {DT_LEFT, DT_RIGHT, DT_CENTER};
    UINT flags = DT_EXPANDTABS | kAlignments[alignment_];
    if (wordWrap_)
        flags |= DT_WORDBREAK;
    if (!showAccelChar_)
        flags |= DT_NOPREFIX;
    return flags;
}

void TCustomLabel::DoDrawText(TRect& Rect, UINT Flags) {
    std::string text = Caption();
    // An empty caption still measures one line high.
    if ((Flags & DT_CALCRECT) && (text.empty() || (showAccelChar_ && text == "&")))
        text += ' ';
    TCanvas* canvas = Canvas();
    canvas->SetFont(Font());
    if (Flags & DT_CALCRECT) {
        canvas->DrawTextRect(Rect, text, Flags);
        return;
    }
    if (!Enabled()) {
        TRect shifted = Rect;
        shifted.Offset(1, 1);
        canvas->Font()->SetColor(clBtnHighlight);
        canvas->DrawTextRect(shifted, text, Flags);
        canvas->Font()->SetColor(clBtnShadow);
    }
    canvas->DrawTextRect(Rect, text, Flags);
}

void TCustomLabel::Paint() {
    TCanvas* canvas = Canvas();
    TRect rect = ClientRect();
    if (!transparent_) {
        canvas->Brush()->SetStyle(bsSolid);
        canvas->Brush()->SetColor(Color());
        canvas->FillRect(rect);
    }
    canvas->Brush()->SetStyle(bsClear);
    if (layout_ != tlTop) {
        TRect measured = rect;
        DoDrawText(measured, TextFlags() | DT_CALCRECT);
        int offset = rect.Height() - measured.Height();
        rect.Top += layout_ == tlBottom ? offset : offset / 2;
    }
    DoDrawText(rect, TextFlags());
}

void TCustomLabel::AdjustBounds() {
    if (!autoSize_ || (ComponentState() & csLoading))
        return;
    // Measure on a screen DC: the label may have no parent window yet.
    ScopedGetDC screen(nullptr);
    ScopedCanvasHandle bind(*Canvas(), screen.Get());
    TRect rect{0, 0, wordWrap_ ? Width() : 0, 0};
    DoDrawText(rect, TextFlags() | DT_CALCRECT);
    int left = alignment_ == taRightJustify ? Left() + Width() - rect.Width() : Left();
    SetBounds(left, Top(), rect.Width(), rect.Height());
}

void TCustomLabel::TextChanged() {
    AdjustBounds();
    Invalidate();
}

void TCustomLabel::FontChanged() {
    TGraphicControl::FontChanged();
    AdjustBounds();
}

void TCustomLabel::Loaded() {
    TGraphicControl::Loaded();
    AdjustBounds();
}

}  // namespace vexel
