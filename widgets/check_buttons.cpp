#include "widgets/check_buttons.h"

#include "framework/win32/gdi.h"

namespace vexel {

namespace {

// Left and right, the caption keeps this far from the picture's edges.
constexpr int kSideInset = 6;
// Of the room the caption keeps beside the box, this much is still shown:
// the rest is the box's strip, which the system paints.
constexpr int kShownMargin = 2;
// The system's frame of the push-button look.
constexpr int kFrameWidth = 2;
// The creation style bits the control decides itself.
constexpr DWORD kPlacementBits = BS_LEFTTEXT | BS_LEFT | BS_RIGHT | BS_TOP | BS_BOTTOM;

}  // namespace

template <class TBase>
TZelCheckButton<TBase>::TZelCheckButton(TComponent* AOwner)
    : TBase(AOwner), font3D_(std::make_unique<TZelFont3D>(this)), background_(*this) {
    this->SetBounds(0, 0, 120, 22);
    this->SetControlStyle(this->ControlStyle() | csSetCaption);
}

template <class TBase>
TZelCheckButton<TBase>::~TZelCheckButton() = default;

template <class TBase>
void TZelCheckButton<TBase>::Notification(TComponent* AComponent, TOperation Operation) {
    TBase::Notification(AComponent, Operation);
    background_.Notification(AComponent, Operation);
}

template <class TBase>
void TZelCheckButton<TBase>::SetAlignment(TAlignment Value) {
    if (alignment_ == Value)
        return;
    alignment_ = Value;
    this->Invalidate();
}

template <class TBase>
void TZelCheckButton<TBase>::SetAlignButton(TAlignment Value) {
    if (alignButton_ == Value)
        return;
    alignButton_ = Value;
    this->RecreateWnd();
}

template <class TBase>
void TZelCheckButton<TBase>::SetAsButton(bool Value) {
    if (asButton_ == Value)
        return;
    asButton_ = Value;
    this->RecreateWnd();
}

template <class TBase>
void TZelCheckButton<TBase>::SetButtonSunk(bool Value) {
    if (buttonSunk_ == Value)
        return;
    buttonSunk_ = Value;
    this->RecreateWnd();
}

template <class TBase>
void TZelCheckButton<TBase>::SetWordWrap(bool Value) {
    if (wordWrap_ == Value)
        return;
    wordWrap_ = Value;
    this->Invalidate();
}

template <class TBase>
void TZelCheckButton<TBase>::CreateParams(typename TBase::TCreateParams& Params) const {
    TBase::CreateParams(Params);
    Params.Style = (Params.Style & ~kPlacementBits) | BS_VCENTER;
    if (asButton_)
        Params.Style |= BS_PUSHLIKE | BS_CENTER;
    Params.Style |= alignButton_ == taRightJustify ? (BS_LEFTTEXT | BS_LEFT) : BS_RIGHT;
    if (wordWrap_)
        Params.Style |= BS_MULTILINE;
    if (asButton_ && buttonSunk_)
        Params.ExStyle |= WS_EX_CLIENTEDGE;
    // The system shows the image instead of the text.
    Params.Style |= BS_BITMAP;
}

template <class TBase>
TRect TZelCheckButton<TBase>::CaptionRect(int ClientWidth, int ClientHeight) const {
    TRect r{kSideInset, CaptionInset(), ClientWidth - kSideInset, ClientHeight - CaptionInset()};
    if (!asButton_) {
        if (alignButton_ == taRightJustify)
            r.Right -= BoxGap();
        else
            r.Left += BoxGap();
    }
    return r;
}

template <class TBase>
UINT TZelCheckButton<TBase>::CaptionFormat() const {
    UINT format = (wordWrap_ ? DT_WORDBREAK : DT_SINGLELINE) | DT_EXPANDTABS | DT_END_ELLIPSIS | DT_VCENTER;
    switch (alignment_) {
        case taLeftJustify: format |= DT_LEFT; break;
        case taRightJustify: format |= DT_RIGHT; break;
        case taCenter: format |= DT_CENTER; break;
    }
    return format;
}

template <class TBase>
TRect TZelCheckButton<TBase>::ShownPart(int ClientWidth, int ClientHeight) const {
    if (asButton_)
        return {kFrameWidth, kFrameWidth, ClientWidth - kFrameWidth, ClientHeight - kFrameWidth};
    const int strip = kSideInset + BoxGap() - kShownMargin;
    if (alignButton_ == taRightJustify)
        return {0, 0, ClientWidth - strip, ClientHeight};
    return {strip, 0, ClientWidth, ClientHeight};
}

template <class TBase>
void TZelCheckButton<TBase>::RenderCaption() {
    const TRect client = this->ClientRect();
    const int w = client.Width(), h = client.Height();
    picture_.SetSize(w, h);
    if (!picture_.Empty()) {
        TCanvas* canvas = picture_.Canvas();
        canvas->Brush()->SetStyle(bsSolid);
        canvas->Brush()->SetColor(this->Color());
        canvas->FillRect({0, 0, w, h});
        // The picture holds only Color yet, so all of it becomes background.
        if (TZelBackground* background = Background())
            background->PaintBehind(canvas, this->Width(), this->Height(), this->Color(), true);
        // The system greys a disabled control's box; the caption keeps its look.
        DrawText3D(font3D_.get(), this->Font(), canvas->Handle(), true, CaptionFormat(), this->Caption(),
                   CaptionRect(w, h));
        canvas->Changed();
    }
    const TRect part = ShownPart(w, h);
    shown_.SetSize(part.Width(), part.Height());
    if (!shown_.Empty())
        BitBlt(shown_.Canvas()->Handle(), 0, 0, part.Width(), part.Height(), picture_.Canvas()->Handle(),
               part.Left, part.Top, SRCCOPY);
    // The window draws the picture with a DC of its own.
    picture_.FreeContext();
    shown_.FreeContext();
    SendMessageW(this->Handle(), BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(shown_.Handle()));
}

template <class TBase>
void TZelCheckButton<TBase>::DrawOverSystemImage(HDC DC) {
    if (shown_.Empty())
        return;
    // Where the system puts an image: against the side away from the box
    // (one pixel in), or centred in the push-button look (one pixel down and
    // right while pressed); centred from top to bottom.
    const TRect client = this->ClientRect();
    const int w = shown_.Width(), h = shown_.Height();
    int x = 0;
    if (asButton_) {
        x = (client.Width() - w) / 2;
    } else if (alignButton_ == taRightJustify) {
        x = 1;
    } else {
        x = client.Width() - 1 - w;
    }
    int y = (client.Height() - h) / 2;
    if (asButton_ && (SendMessageW(this->Handle(), BM_GETSTATE, 0, 0) & BST_PUSHED)) {
        ++x;
        ++y;
    }
    BitBlt(DC, x, y, w, h, shown_.Canvas()->Handle(), 0, 0, SRCCOPY);
    shown_.FreeContext();
}

template <class TBase>
void TZelCheckButton<TBase>::WndProc(TMessage& Message) {
    if (Message.Msg != WM_PAINT || !this->HandleAllocated() || this->IsDestroying()) {
        TBase::WndProc(Message);
        return;
    }
    RenderCaption();
    TBase::WndProc(Message);
    if (this->Enabled())
        return;
    if (HDC given = reinterpret_cast<HDC>(Message.WParam)) {
        DrawOverSystemImage(given);
    } else {
        ScopedGetDC dc(this->Handle());
        DrawOverSystemImage(dc.Get());
    }
}

template class TZelCheckButton<TCheckBox>;
template class TZelCheckButton<TRadioButton>;

}  // namespace vexel
