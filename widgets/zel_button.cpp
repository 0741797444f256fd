#include "widgets/zel_button.h"

#include "framework/core/sysutils.h"
#include "framework/win32/gdi.h"

namespace vexel {

namespace {

constexpr UINT kSingleLine = DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS;
constexpr UINT kWrapped = DT_CENTER | DT_VCENTER | DT_WORDBREAK;

// Edges are drawn as two halves, the top-left one first.
void DrawEdges(HDC DC, const TRect& R, UINT Edge) {
    RECT r = ToRECT(R);
    DrawEdge(DC, &r, Edge, BF_SOFT | BF_LEFT | BF_TOP);
    r = ToRECT(R);
    DrawEdge(DC, &r, Edge, BF_SOFT | BF_RIGHT | BF_BOTTOM);
}

}  // namespace

TZelButton::TZelButton(TComponent* AOwner)
    : TCustomButton(AOwner),
      font3D_(std::make_unique<TZelFont3D>(this)),
      glyph_(std::make_unique<TZelGlyph>(this)),
      background_(*this) {
    SetBounds(0, 0, 75, 25);
    SetTabStop(true);
}

TZelButton::~TZelButton() = default;

void TZelButton::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomButton::Notification(AComponent, Operation);
    background_.Notification(AComponent, Operation);
}

UINT TZelButton::TextFormat() const {
    return wordWrap_ ? kWrapped : kSingleLine;
}

void TZelButton::SetWordWrap(bool Value) {
    wordWrap_ = Value;
    Invalidate();
}

void TZelButton::SetButtonSunk(bool Value) {
    if (buttonSunk_ == Value)
        return;
    buttonSunk_ = Value;
    RecreateWnd();
}

void TZelButton::EnabledChanged() {
    TCustomButton::EnabledChanged();
    Repaint();
}

void TZelButton::WndProc(TMessage& Message) {
    if (Message.Msg == WM_ERASEBKGND) {
        // The system fills the ground; DrawItem paints all of it anyway.
        DefaultHandler(Message);
        return;
    }
    TCustomButton::WndProc(Message);
}

void TZelButton::DrawItem(const DRAWITEMSTRUCT& Item) {
    const int w = Item.rcItem.right - Item.rcItem.left, h = Item.rcItem.bottom - Item.rcItem.top;
    HDC dc = Item.hDC;
    ScopedSaveDC save(dc);
    ScopedCanvasHandle bind(canvas_, dc);

    canvas_.Brush()->SetStyle(bsSolid);
    canvas_.Brush()->SetColor(clBtnFace);
    canvas_.FillRect({0, 0, w, h});
    if (TZelBackground* background = Background())
        background->PaintBackground(dc, w, h, true);

    // A disabled button never looks pushed.
    const bool selected = (Item.itemState & ODS_SELECTED) != 0;
    const bool pushed = selected && Enabled();
    TRect r{0, 0, w, h};
    if (pushed)
        r = {1, 1, w + 1, h + 1};
    r = {r.Left + 3, r.Top + 3, r.Right - 3, r.Bottom - 3};

    const std::string caption = Caption();
    const int gw = glyph_->GlyphWidth(), gh = glyph_->GlyphHeight();
    const int x = caption.empty() ? Round((w - gw) / 2.0) + 1 : r.Left + 1;
    DrawGlyph(glyph_.get(), &canvas_, x + 2, Round((h - gh) / 2.0) + (pushed ? 1 : 0), Enabled(), selected,
              false);

    r.Left += gw + 2;
    // Disabled, DrawText3D draws the disabled look whatever the 3-D settings.
    if (!caption.empty())
        DrawText3D(font3D_.get(), Font(), dc, Enabled(), TextFormat(), caption, r);

    TRect edge{0, 0, w, h};
    if (buttonSunk_) {
        DrawEdges(dc, edge, EDGE_SUNKEN);
        edge = {2, 2, w - 2, h - 2};
    }
    DrawEdges(dc, edge, pushed ? EDGE_SUNKEN : EDGE_RAISED);

    // The keyboard's place, as the system's buttons show it (once the
    // keyboard is in use).
    if ((Item.itemState & ODS_FOCUS) && !(Item.itemState & ODS_NOFOCUSRECT)) {
        RECT frame{4, 4, w - 4, h - 4};
        SetTextColor(dc, RGB(0, 0, 0));
        SetBkColor(dc, RGB(255, 255, 255));
        DrawFocusRect(dc, &frame);
    }
}

}  // namespace vexel
