#include "system/caption_buttons.h"

#include "framework/core/sysutils.h"
#include "framework/win32/gdi.h"
#include "framework/win32/system_text.h"
#include "system/form_manager.h"

namespace vexel {

namespace {

// The text colours of a disabled caption: a white relief under grey.
constexpr COLORREF kReliefLight = 0xFFFFFF;
constexpr COLORREF kReliefShadow = 0x808080;
// A button this close to the window's left edge has been squeezed out.
constexpr int kMinimumLeft = 4;

HWND FormWindow(const TZelFormManager* Manager) {
    if (!Manager || !Manager->Form() || !Manager->Form()->HandleAllocated())
        return nullptr;
    return Manager->Form()->Handle();
}

int Metric(int Index) {
    return GetSystemMetrics(Index);
}

}  // namespace

int CaptionButtonFontSize() {
    return Round(Metric(SM_CXSIZE) / 2.0);
}

// ---- TZelCButton ----

TZelCButton::TZelCButton(TCollection* Collection) : TCollectionItem(Collection), font_(std::make_unique<TFont>()) {
    font_->OnChange = [this](TObject*) { FontChanged(); };
    fixingFont_ = true;
    font_->SetSize(CaptionButtonFontSize());
    fixingFont_ = false;
    Refresh();
}

TZelCButton::~TZelCButton() {
    TZelFormManager* manager = Manager();
    font_->OnChange = nullptr;
    // Out of the collection first: the refresh lays out and paints the
    // buttons that stay.
    SetCollection(nullptr);
    if (manager && !manager->Going())
        manager->FrameRefresh();
}

TZelFormManager* TZelCButton::Manager() const {
    auto* buttons = dynamic_cast<TZelCButtons*>(Collection());
    return buttons ? buttons->Manager() : nullptr;
}

void TZelCButton::Refresh() {
    TZelFormManager* manager = Manager();
    if (manager && !manager->Loading())
        manager->FrameRefresh();
}

void TZelCButton::SetColor(TColor Value) {
    color_ = Value;
    Refresh();
}

void TZelCButton::SetDropDownmenu(TPopupMenu* Value) {
    dropDownMenu_ = Value;
    if (Value)
        if (TZelFormManager* manager = Manager())
            Value->FreeNotification(manager);
}

void TZelCButton::SetWidth(int32_t Value) {
    if (Value >= 0)
        width_ = Value;
    Refresh();
}

void TZelCButton::SetEnabled(bool Value) {
    enabled_ = Value;
    Refresh();
}

void TZelCButton::SetVisible(bool Value) {
    visible_ = Value;
    Refresh();
}

void TZelCButton::SetCaption(const std::string& Value) {
    caption_ = Value;
    TZelFormManager* manager = Manager();
    if (!manager || manager->Loading())
        return;
    // Measured as written, ampersand included, in the form's own font.
    ScopedGetDC screen(nullptr);
    SIZE extent{};
    {
        ScopedSelect font(screen.Get(), manager->Form()->Font()->Handle());
        const std::wstring caption = ToSystem(caption_);
        GetTextExtentPoint32W(screen.Get(), caption.c_str(), static_cast<int>(caption.size()), &extent);
    }
    width_ = extent.cx + 2;
    manager->FrameRefresh();
}

void TZelCButton::FontChanged() {
    if (fixingFont_)
        return;
    fixingFont_ = true;
    font_->SetSize(CaptionButtonFontSize());
    fixingFont_ = false;
    Refresh();
}

void TZelCButton::Assign(TPersistent* Source) {
    auto* source = dynamic_cast<TZelCButton*>(Source);
    if (!source) {
        TCollectionItem::Assign(Source);
        return;
    }
    color_ = source->color_;
    if (source->dropDownMenu_)
        SetDropDownmenu(source->dropDownMenu_);
    width_ = source->width_;
    enabled_ = source->enabled_;
    visible_ = source->visible_;
    caption_ = source->caption_;
    fixingFont_ = true;
    font_->SetName(source->font_->Name());
    font_->SetStyle(source->font_->Style());
    font_->SetColor(source->font_->Color());
    fixingFont_ = false;
    OnClick = source->OnClick;
    Layout();
}

void TZelCButton::Click() {
    TZelFormManager* manager = Manager();
    if (dropDownMenu_ && manager && !manager->Designing()) {
        RECT window{};
        GetWindowRect(FormWindow(manager), &window);
        dropDownMenu_->Popup(window.left + bounds_.Left, window.top + bounds_.Bottom);
    }
    if (enabled_ && OnClick)
        OnClick(this);
}

void TZelCButton::Layout() {
    HWND window = FormWindow(Manager());
    if (!window)
        return;
    const DWORD S = static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE));
    const DWORD X = static_cast<DWORD>(GetWindowLongW(window, GWL_EXSTYLE));
    RECT outer{};
    GetWindowRect(window, &outer);
    const int W = outer.right - outer.left;

    int inset = 0, systemButton = 0, captionHeight = 0;
    if (X & WS_EX_TOOLWINDOW) {
        inset = Metric((S & WS_THICKFRAME) ? SM_CXFRAME : SM_CXDLGFRAME) + 2;
        if (S & WS_SYSMENU)
            inset += Metric(SM_CXSMSIZE) + 2;
        systemButton = Metric(SM_CXSMSIZE);
        captionHeight = Metric(SM_CYSMSIZE);
    } else {
        inset = Metric((S & WS_THICKFRAME) ? SM_CXFRAME : SM_CXDLGFRAME);
        if (S & WS_SYSMENU) {
            inset += Metric(SM_CXSIZE);  // the close box
            if (S & (WS_MAXIMIZEBOX | WS_MINIMIZEBOX))
                inset += 2 * Metric(SM_CXSIZE) - 2;  // both boxes, which always come as a pair
            else if (X & WS_EX_CONTEXTHELP)
                inset += Metric(SM_CXSIZE) - 2;
        }
        systemButton = Metric(SM_CXSIZE);
        captionHeight = Metric(SM_CYCAPTION);
    }
    int top = Metric((S & WS_THICKFRAME) ? SM_CYFRAME : SM_CYDLGFRAME) + 2;
    if ((X & WS_EX_STATICEDGE) && !(X & WS_EX_DLGMODALFRAME)) {
        --inset;
        --top;
    }
    const int bottom = captionHeight + top - 4;
    const int right = W - inset;

    const int index = Index();
    if (index <= 0) {
        bounds_.Left = right - systemButton - 1 - width_;
        bounds_.Right = right - 3;
    } else {
        auto* buttons = static_cast<TZelCButtons*>(Collection());
        int previous = buttons->Items(index - 1)->bounds_.Left;
        bounds_.Left = previous - Metric(SM_CXSIZE) - 1 - width_;
        bounds_.Right = previous - 1;
    }
    bounds_.Top = top;
    bounds_.Bottom = bottom;
}

void TZelCButton::Paint() {
    TZelFormManager* manager = Manager();
    HWND window = FormWindow(manager);
    if (!window || manager->Loading() || !visible_ || bounds_.Left <= kMinimumLeft)
        return;
    const DWORD S = static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE));
    if ((S & WS_CAPTION) != WS_CAPTION)
        return;  // no title bar to sit in
    ScopedWindowDC dc(window);
    if (dc.Get())
        PaintOn(dc.Get());
}

void TZelCButton::PaintOn(HDC DC) {
    ScopedSaveDC save(DC);
    RECT r = ToRECT(bounds_);
    DrawFrameControl(DC, &r, DFC_BUTTON, DFCS_BUTTONPUSH | (down_ ? DFCS_PUSHED : 0));
    InflateRect(&r, -2, -2);
    {
        ScopedBrush face(CreateSolidBrush(GdiColor(color_)));
        FillRect(DC, &r, face.Get());
    }
    fixingFont_ = true;
    font_->SetSize(CaptionButtonFontSize());
    fixingFont_ = false;
    ScopedSelect font(DC, font_->Handle());
    InflateRect(&r, 1, 1);
    SetBkMode(DC, TRANSPARENT);
    OffsetRect(&r, 2, 0);
    if (!down_)
        OffsetRect(&r, -1, -1);
    const UINT format = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
    const std::wstring caption = ToSystem(caption_);
    if (enabled_) {
        SetTextColor(DC, GdiColor(font_->Color()));
        DrawTextW(DC, caption.c_str(), -1, &r, format);
        return;
    }
    OffsetRect(&r, 1, 1);
    ++r.top;
    --r.bottom;
    SetTextColor(DC, kReliefLight);
    DrawTextW(DC, caption.c_str(), -1, &r, format);
    OffsetRect(&r, -1, -1);
    --r.top;
    ++r.bottom;
    SetTextColor(DC, kReliefShadow);
    DrawTextW(DC, caption.c_str(), -1, &r, format);
}

bool TZelCButton::HitTest(const TMessage& Msg) const {
    HWND window = FormWindow(Manager());
    if (!window || !visible_)
        return false;
    POINT p{static_cast<short>(LOWORD(Msg.LParam)), static_cast<short>(HIWORD(Msg.LParam))};
    if (Msg.Msg == WM_LBUTTONUP || Msg.Msg == WM_LBUTTONDBLCLK)
        ClientToScreen(window, &p);
    RECT outer{};
    GetWindowRect(window, &outer);
    p.x -= outer.left;
    p.y -= outer.top;
    RECT r = ToRECT(bounds_);
    return PtInRect(&r, p) != FALSE;
}

// ---- TZelCButtons ----

TZelCButtons::TZelCButtons(TZelFormManager* Manager)
    : TCollection(TCollection::ItemClass<TZelCButton>()), manager_(Manager) {}

void TZelCButtons::LayoutAll(bool Paint) {
    for (int i = 0; i < Count(); ++i) {
        Items(i)->Layout();
        if (Paint)
            Items(i)->Paint();
    }
}

bool TZelCButtons::Press(const TMessage& Msg) {
    bool hit = false;
    for (int i = 0; i < Count(); ++i) {
        TZelCButton* button = Items(i);
        if (!button->HitTest(Msg))
            continue;
        SetCapture(FormWindow(manager_));
        if (button->enabled_) {
            button->down_ = true;
            button->tracking_ = true;
            button->Paint();
        }
        hit = true;
    }
    return hit;
}

bool TZelCButtons::TrackPointer(const TMessage& Msg) {
    bool tracking = false;
    for (int i = 0; i < Count(); ++i) {
        TZelCButton* button = Items(i);
        if (!button->tracking_)
            continue;
        tracking = true;
        bool hit = button->HitTest(Msg);
        if (hit != button->down_) {
            button->down_ = hit;
            if (button->enabled_)
                button->Paint();
        }
    }
    return tracking;
}

void TZelCButtons::Release(const TMessage& Msg) {
    // Every press ends here, whatever a click does.
    struct TEndPresses {
        TZelCButtons& Buttons;
        ~TEndPresses() {
            for (int i = 0; i < Buttons.Count(); ++i)
                Buttons.Items(i)->tracking_ = false;
        }
    } endPresses{*this};
    for (int i = 0; i < Count(); ++i) {
        TZelCButton* button = Items(i);
        button->down_ = false;
        if (!button->tracking_)
            continue;
        if (button->HitTest(Msg)) {
            button->tracking_ = false;  // one click per press, even if it throws
            button->Click();
            if (i < Count() && Items(i) == button)
                button->Paint();
        } else if (button->enabled_) {
            button->Paint();
        }
    }
}

void TZelCButtons::MenuRemoved(TComponent* Menu) {
    for (int i = 0; i < Count(); ++i)
        if (Items(i)->dropDownMenu_ == Menu)
            Items(i)->dropDownMenu_ = nullptr;
}

}  // namespace vexel
