#include "app/window_parts.h"

#include <windows.h>

#include "framework/win32/gdi.h"
#include "framework/win32/system_text.h"
#include "framework/win32/messages.h"
#include "widgets/background.h"

namespace vexel {

void UseWindowFont(TForm* Form) {
    Form->Font()->SetName("Tahoma");
    Form->Font()->SetHeight(-11);
}

void ApplyFont(TControl* Control, const TFontSpec& Spec) {
    Control->SetParentFont(false);
    TFont* font = Control->Font();
    if (!Spec.Name.empty())
        font->SetName(Spec.Name);
    if (Spec.Height != 0)
        font->SetHeight(-Spec.Height);
    font->SetStyle(Spec.Style);
    font->SetColor(Spec.Color);
}

TSize TextSizeIn(TControl* Control, const std::string& Text) {
    AutoDeleteDC dc;
    SIZE size{};
    ScopedSelect font(dc.Get(), Control->Font()->Handle());
    const std::wstring text = ToSystem(Text);
    GetTextExtentPoint32W(dc.Get(), text.c_str(), static_cast<int>(text.size()), &size);
    return {size.cx, size.cy};
}

void SetLabelText(TZelLabel* Label, const std::string& Caption) {
    Label->SetCaption(Caption);
    // The label does not size itself: measure the text in its font, and
    // leave room for the 3-D copies and the frame's line above and below.
    const TSize size = TextSizeIn(Label, Caption.empty() ? std::string(" ") : Caption);
    const int extra = Label->Font3D()->DrawingWidth() + 2;
    Label->SetBounds(Label->Left(), Label->Top(), size.cx + extra, size.cy + extra);
}

TZelLabel* MakeLabel(TWinControl* Parent, int X, int Y, const std::string& Caption, const TFontSpec& Font) {
    auto* label = new TZelLabel(Parent);
    label->SetParent(Parent);
    ApplyFont(label, Font);
    label->SetTransparent(true);
    label->SetLeft(X);
    label->SetTop(Y);
    SetLabelText(label, Caption);
    return label;
}

void TDialogForm::WndProc(TMessage& Message) {
    const bool escape = (Message.Msg == CM_DIALOGKEY || Message.Msg == WM_KEYDOWN) && Message.WParam == VK_ESCAPE;
    if (!escape) {
        TForm::WndProc(Message);
        if (Message.Msg == CM_DIALOGKEY && Message.WParam == VK_RETURN && Message.Result == 0 && OnEnterKey) {
            Message.Result = 1;
            OnEnterKey();
        }
        return;
    }
    Message.Result = 1;
    if (OnEscape)
        OnEscape();
    else
        Close();
}

TZelPanel* MakeClientPanel(TWinControl* Parent, TZelBackground* Background) {
    auto* panel = new TZelPanel(Parent);
    panel->SetParent(Parent);
    panel->SetAlign(alClient);
    panel->SetBackground(Background);
    panel->SetShowHint(false);
    return panel;
}

TZelButton* MakeDialogButton(TWinControl* Parent,
                             const TRect& Bounds,
                             const std::string& Caption,
                             TZelBackground* Ground) {
    auto* button = new TZelButton(Parent);
    button->SetParent(Parent);
    button->SetBoundsRect(Bounds);
    button->SetCaption(Caption);
    ApplyFont(button, {"", 0, fsBold, clWindowText});
    button->SetBackground(Ground);
    return button;
}

void SetTabSequence(std::initializer_list<TControl*> Controls) {
    for (TControl* control : Controls) {
        auto* windowed = dynamic_cast<TWinControl*>(control);
        if (auto* graphic = dynamic_cast<TGraphicControl*>(control)) {
            graphic->SetTabStop(true);
            windowed = graphic->KeyStop();
        }
        windowed->SetTabOrder(-1);  // last of its parent's
    }
}

void LoadPicture(TBitmap& Picture, const std::string& ResourceName) {
    Picture.LoadFromResourceName(GetModuleHandleW(nullptr), ResourceName);
}

void TPictureSpot::LoadPicture(const std::string& ResourceName) {
    vexel::LoadPicture(picture_, ResourceName);
    SetBounds(Left(), Top(), picture_.Width(), picture_.Height());
    Invalidate();
}

void TPictureSpot::Paint() {
    if (!picture_.Empty())
        DrawMasked(Canvas(), &picture_, 0, 0, kPictureKey);
}

void CentreOnScreen(TCustomForm* Form) {
    Form->SetBounds((Screen->Width() - Form->Width()) / 2, (Screen->Height() - Form->Height()) / 2,
                    Form->Width(), Form->Height());
}

void CentreOnMainWindow(TCustomForm* Form, const TCustomForm* Main) {
    if (!Main) {
        CentreOnScreen(Form);
        return;
    }
    Form->SetBounds(Main->Left() + (Main->Width() - Form->Width()) / 2,
                    Main->Top() + (Main->Height() - Form->Height()) / 2, Form->Width(), Form->Height());
}

}  // namespace vexel
