// The gallery's "buttons" page: every button kind in each of its states,
// panels with their frames, border and dialog rim, labels with frames,
// backgrounds, background-faced letters and transparency, and sticky labels
// around a control. States that need the mouse are set directly through
// small display subclasses.
#include <windows.h>

#include <string>
#include <vector>

#include "framework/core/sysutils.h"
#include "framework/win32/forms.h"
#include "framework/win32/labels.h"
#include "framework/win32/menus.h"
#include "widgets/background.h"
#include "widgets/buttons.h"
#include "devtools/gallery/gallery_pages.h"
#include "widgets/labels.h"
#include "widgets/panels.h"

namespace vexel {
namespace {

constexpr int kMargin = 12;
constexpr int kGap = 8;
constexpr int kHeadingHeight = 18;
constexpr int kNoteHeight = 14;
constexpr TColor kKey = clFuchsia;  // transparent colour of the pictures made here

// Tool, office and round buttons whose hover and press can be set for show.
class TShownIEButton : public TZelIEButton {
public:
    using TZelIEButton::TZelIEButton;
    void ShowState(bool Hot, bool Pressed) {
        SetHot(Hot);
        SetPressed(Pressed);
        Invalidate();
    }

protected:
    ~TShownIEButton() override = default;
};

class TShownOfficeButton : public TZelOfficeButton {
public:
    using TZelOfficeButton::TZelOfficeButton;
    void ShowState(bool Hot, bool Pressed) {
        SetState(Hot, Pressed);
        Invalidate();
    }

protected:
    ~TShownOfficeButton() override = default;
};

class TShownRoundButton : public TZelRoundButton {
public:
    using TZelRoundButton::TZelRoundButton;
    void ShowPressed() {
        SetPressed(true);
        Invalidate();
    }

protected:
    ~TShownRoundButton() override = default;
};

// A 24 x 24 question mark in a blue disc on the transparent colour.
void MakeHelpGlyph(TBitmap& Picture) {
    Picture.SetSize(24, 24);
    TCanvas* c = Picture.Canvas();
    c->Brush()->SetColor(kKey);
    c->FillRect({0, 0, 24, 24});
    c->Pen()->SetColor(RGBColor(10, 40, 130));
    c->Brush()->SetColor(RGBColor(50, 110, 220));
    c->Ellipse(1, 1, 23, 23);
    c->Font()->SetName("Arial");
    c->Font()->SetHeight(-17);
    c->Font()->SetStyle(fsBold);
    c->Font()->SetColor(clWhite);
    c->Brush()->SetStyle(bsClear);
    TRect r{0, 0, 24, 24};
    c->DrawTextRect(r, "?", DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

// A 10 x 10 green lamp for the round button.
void MakeLampGlyph(TBitmap& Picture) {
    Picture.SetSize(10, 10);
    TCanvas* c = Picture.Canvas();
    c->Brush()->SetColor(kKey);
    c->FillRect({0, 0, 10, 10});
    c->Pen()->SetColor(RGBColor(0, 90, 0));
    c->Brush()->SetColor(RGBColor(40, 200, 40));
    c->Ellipse(0, 0, 10, 10);
}

class TButtonsPage : public TForm {
public:
    explicit TButtonsPage(TComponent* AOwner) : TForm(AOwner) {
        SetUpGalleryPage(this, "buttons", 1190, 592);
        MakeHelpGlyph(helpGlyph_);
        MakeLampGlyph(lampGlyph_);
        MakeBackgrounds();
        MakeMenu();
        int y = kMargin;
        y = AddToolButtonStates(y);
        y = AddToolButtonLayouts(y);
        y = AddOfficeAndRoundButtons(y);
        y = AddPanels(y);
        AddLabels(y);
    }

private:
    void MakeBackgrounds() {
        toolGround_ = new TZelBackground(this);
        toolGround_->Gradient()->SetBeginColor(RGBColor(205, 218, 240));
        toolGround_->Gradient()->SetEndColor(RGBColor(245, 248, 255));
        toolGround_->Gradient()->SetFillStyle(TZelFillStyle::Horizontal);

        buttonGround_ = new TZelBackground(this);
        buttonGround_->Gradient()->SetBeginColor(RGBColor(255, 214, 120));
        buttonGround_->Gradient()->SetEndColor(RGBColor(255, 250, 225));
        buttonGround_->Gradient()->SetFillStyle(TZelFillStyle::Vertical);

        panelGround_ = new TZelBackground(this);
        panelGround_->Gradient()->SetBeginColor(RGBColor(40, 90, 150));
        panelGround_->Gradient()->SetEndColor(RGBColor(200, 225, 250));
        panelGround_->Gradient()->SetFillStyle(TZelFillStyle::SquareMiddle);

        texture_.SetSize(16, 16);
        TCanvas* c = texture_.Canvas();
        c->Brush()->SetColor(RGBColor(236, 226, 196));
        c->FillRect({0, 0, 16, 16});
        c->Pen()->SetColor(RGBColor(214, 200, 160));
        c->MoveTo(0, 15);
        c->LineTo(16, -1);
        textureGround_ = new TZelBackground(this);
        textureGround_->SetBackgroundStyle(bTexture);
        textureGround_->Texture()->SetImage(&texture_);

        letterGround_ = new TZelBackground(this);
        letterGround_->Gradient()->SetBeginColor(clRed);
        letterGround_->Gradient()->SetEndColor(clYellow);
        letterGround_->Gradient()->SetFillStyle(TZelFillStyle::Horizontal);
    }

    void MakeMenu() {
        menu_ = new TPopupMenu(this);
        for (const char* caption : {"ViewLog", "-", "Help", "Tops", "-", "About us", "-", "Exit"}) {
            auto* item = new TMenuItem(this);
            item->SetCaption(caption);
            menu_->Items()->Add(item);
        }
        SetPopupMenu(menu_);  // a right click on the page shows it too
    }

    int Heading(int Top, const std::string& Text) {
        return AddGalleryHeading(this, kMargin, Top, 600, kHeadingHeight, Text);
    }

    // A note under a sample, centred on it.
    void Note(TWinControl* Parent, int X, int Y, int W, const std::string& Text) {
        auto* label = new TLabel(this);
        label->SetParent(Parent);
        label->SetAutoSize(false);
        label->SetTransparent(true);
        label->SetAlignment(taCenter);
        label->SetCaption(Text);
        label->SetBounds(X, Y, W, kNoteHeight);
    }

    // A strip with a soft gradient for the flat buttons to sit on.
    TZelPanel* Strip(int Top, int Width, int Height) {
        auto* strip = new TZelPanel(this);
        strip->SetParent(this);
        strip->SetBounds(kMargin, Top, Width, Height);
        strip->SetBackground(toolGround_);
        strip->FrameOuter()->SetFrameStyle(frameLowered);
        strip->FrameInner()->SetFrameStyle(frameNone);
        return strip;
    }

    TShownIEButton*
    ToolButton(TWinControl* Parent, int X, int Y, int W, int H, const std::string& Caption, bool WithGlyph) {
        auto* button = new TShownIEButton(this);
        button->SetParent(Parent);
        button->SetBounds(X, Y, W, H);
        button->SetCaption(Caption);
        button->Font()->SetColor(clNavy);
        if (WithGlyph) {
            button->Glyph()->SetBitmap(&helpGlyph_);
            button->Glyph()->SetTransparentColor(kKey);
        }
        return button;
    }

    int AddToolButtonStates(int Top) {
        int y = Heading(
            Top, "Tool buttons (TZelIEButton): normal, hot, pressed, latched, latched and hot, disabled");
        TZelPanel* strip = Strip(y, 1166, 112);
        struct TState {
            const char* note;
            bool hot, pressed, down, enabled;
        };
        const TState states[] = {
            {"normal", false, false, false, true},     {"hot", true, false, false, true},
            {"pressed", true, true, false, true},      {"latched", false, false, true, true},
            {"latched, hot", true, false, true, true}, {"disabled", false, false, false, false},
        };
        int x = 10;
        for (const TState& s : states) {
            for (bool glyph : {true, false}) {
                TShownIEButton* b = ToolButton(strip, x, 8, glyph ? 64 : 72, glyph ? 54 : 24,
                                               glyph ? "Help" : "&Tips", glyph);
                if (!glyph)
                    b->SetTop(22);
                b->SetGroupIndex(s.down ? 10 + x : 0);
                b->SetDown(s.down);
                b->SetEnabled(s.enabled);
                b->ShowState(s.hot, s.pressed);
                Note(strip, x - 6, 66, glyph ? 76 : 84, glyph ? s.note : "");
                x += (glyph ? 64 : 72) + 10;
            }
            x += 14;
        }
        Note(strip, 10, 84, 1100, "Each pair: with a glyph above the caption (pTop), and the caption alone.");
        return y + 112 + kGap;
    }

    int AddToolButtonLayouts(int Top) {
        int y = Heading(Top, "Layouts, options, the drop-down arrow and BevelLooks (hot, then pressed)");
        TZelPanel* strip = Strip(y, 1166, 100);
        int x = 10;
        const struct {
            TZelPosition layout;
            const char* note;
            int w, h;
        } layouts[] = {{pTop, "pTop", 60, 58},
                       {pBottom, "pBottom", 60, 58},
                       {pLeft, "pLeft", 90, 36},
                       {pRight, "pRight", 90, 36}};
        for (const auto& l : layouts) {
            TShownIEButton* b = ToolButton(strip, x, 8, l.w, l.h, "Help", true);
            b->SetLayout(l.layout);
            b->ShowState(true, false);
            Note(strip, x, 70, l.w, l.note);
            x += l.w + 10;
        }
        TShownIEButton* bitmapOnly = ToolButton(strip, x, 8, 40, 40, "Help", true);
        bitmapOnly->SetOptions(opBitmapOnly);
        bitmapOnly->ShowState(true, false);
        Note(strip, x - 14, 70, 68, "BitmapOnly");
        x += 50;
        TShownIEButton* textOnly = ToolButton(strip, x, 8, 60, 40, "Help", true);
        textOnly->SetOptions(opTextonly);
        textOnly->ShowState(true, false);
        Note(strip, x, 70, 60, "Textonly");
        x += 70;
        TShownIEButton* colours = ToolButton(strip, x, 8, 60, 58, "Help", true);
        colours->SetOptions(0);
        Note(strip, x - 10, 70, 80, "full colour");
        x += 70;
        for (bool hot : {false, true}) {
            TShownIEButton* b = ToolButton(strip, x, 8, 90, 36, "Tools", true);
            b->SetLayout(pLeft);
            b->SetDropDownMenu(menu_);
            b->ShowState(hot, false);
            Note(strip, x, 70, 90, hot ? "arrow, hot" : "menu arrow");
            x += 100;
        }
        const char* kinds[] = {"bk97", "bkNormal", "bkDeep"};
        for (int kind = 0; kind < 3; ++kind) {
            for (bool pressed : {false, true}) {
                TShownIEButton* b = ToolButton(strip, x, 8, 62, 32, kinds[kind], false);
                b->SetBevelLooks(static_cast<TZelButtonKind>(kind));
                b->ShowState(true, pressed);
                x += 68;
            }
            Note(strip, x - 136, 70, 130, kinds[kind]);
            x += 6;
        }
        return y + 100 + kGap;
    }

    int AddOfficeAndRoundButtons(int Top) {
        int y = Heading(Top, "Office buttons (TZelOfficeButton) and round buttons (TZelRoundButton)");
        int x = kMargin;
        const struct {
            const char* note;
            bool hot, pressed, enabled, ground;
        } office[] = {
            {"normal, no background", false, false, true, false},
            {"hot", true, false, true, false},
            {"pressed", true, true, true, false},
            {"disabled", false, false, false, false},
            {"with a background", false, false, true, true},
            {"with it, pressed", true, true, true, true},
        };
        for (const auto& o : office) {
            auto* b = new TShownOfficeButton(this);
            b->SetParent(this);
            b->SetBounds(x, y + 4, 130, 25);
            b->SetCaption(o.ground ? "&Close" : "Next Tips");
            b->Font()->SetStyle(fsBold);
            if (o.ground)
                b->SetBackground(buttonGround_);
            b->SetEnabled(o.enabled);
            b->ShowState(o.hot, o.pressed);
            Note(this, x, y + 32, 130, o.note);
            x += 130 + kGap;
        }
        x += 16;
        const struct {
            const char* note;
            TZelButtonType type;
            bool pressed, glyph, ground;
        } rounds[] = {
            {"btNormal", btNormal, false, false, true}, {"btInset", btInset, false, false, true},
            {"pressed", btNormal, true, false, true},   {"glyph", btInset, false, true, true},
            {"plain", btNormal, false, true, false},
        };
        for (const auto& r : rounds) {
            auto* b = new TShownRoundButton(this);
            b->SetParent(this);
            b->SetBounds(x + 12, y + 2, 27, 27);
            b->SetButtonType(r.type);
            if (r.ground)
                b->SetBackground(buttonGround_);
            if (r.glyph) {
                b->Glyph()->SetBitmap(&lampGlyph_);
                b->Glyph()->SetTransparentColor(kKey);
            }
            if (r.pressed)
                b->ShowPressed();
            Note(this, x, y + 32, 52, r.note);
            x += 52 + 4;
        }
        return y + 32 + kNoteHeight + kGap;
    }

    // A panel with a child aligned to its client area, which shows where
    // the panel lays its children out.
    TZelPanel* SamplePanel(int X, int Y, const std::string& Note_) {
        auto* panel = new TZelPanel(this);
        panel->SetParent(this);
        panel->SetBounds(X, Y, 140, 100);
        auto* child = new TPanel(this);
        child->SetParent(panel);
        child->SetBevelOuter(bvNone);
        child->SetColor(RGBColor(255, 255, 200));
        child->SetAlign(alBottom);
        child->SetHeight(16);
        child->SetCaption("child, alBottom");
        child->SetParentFont(false);
        child->Font()->Assign(Font());
        Note(this, X, Y + 102, 140, Note_);
        return panel;
    }

    int AddPanels(int Top) {
        int y = Heading(
            Top,
            "Panels (TZelPanel): frames, Borderwidth, DlgFrame, background; a child aligned to the bottom");
        int x = kMargin;
        TZelPanel* plain = SamplePanel(x, y, "defaults");
        plain->SetCaption("Caption");
        x += 140 + kGap;

        TZelPanel* bordered = SamplePanel(x, y, "Borderwidth 5, frames 2");
        bordered->SetCaption("Framed");
        bordered->SetBorderwidth(5);
        bordered->FrameOuter()->SetFrameWidth(2);
        bordered->FrameInner()->SetFrameWidth(2);
        bordered->FrameInner()->SetFrameStyle(frameLowered);
        x += 140 + kGap;

        TZelPanel* dialog = SamplePanel(x, y, "DlgFrame");
        dialog->SetCaption("Options");
        dialog->SetDlgFrame(true);
        dialog->FrameInner()->SetFrameStyle(frameNone);
        x += 140 + kGap;

        TZelPanel* splash = SamplePanel(x, y, "gradient, framed up");
        splash->SetCaption("Html Vexel");
        splash->SetBackground(panelGround_);
        splash->Font()->SetColor(clWhite);
        splash->Font()->SetHeight(-16);
        splash->Font()->SetStyle(fsBold);
        splash->Font3D()->SetStyle3D(fontRaised);
        splash->Font3D()->SetShadow(clBlack);
        splash->FrameOuter()->SetFrameStyle(frameLowered);
        splash->FrameOuter()->SetFrameWidth(2);
        splash->FrameInner()->SetFrameStyle(frameFramedUp);
        splash->FrameInner()->SetFrameWidth(2);
        x += 140 + kGap;

        TZelPanel* left = SamplePanel(x, y, "texture, left");
        left->SetCaption("Left caption");
        left->SetAlignment(taLeftJustify);
        left->SetBackground(textureGround_);
        left->SetBorderwidth(2);
        x += 140 + kGap;

        TZelPanel* disabled = SamplePanel(x, y, "disabled, right");
        disabled->SetCaption("Right caption");
        disabled->SetAlignment(taRightJustify);
        disabled->SetEnabled(false);
        x += 140 + kGap + 10;

        // Sticky labels on the four sides of an edit-like control.
        auto* edit = new TPanel(this);
        edit->SetParent(this);
        edit->SetBevelOuter(bvLowered);
        edit->SetColor(clWindow);
        edit->SetAlignment(taLeftJustify);
        edit->SetCaption(" index.htm");
        edit->SetBounds(x + 40, y + 38, 110, 22);
        const struct {
            TZelPosition position;
            const char* caption;
        } sides[] = {{pLeft, "File:"}, {pTop, "pTop, 5 above"}, {pRight, "pRight"}, {pBottom, "pBottom"}};
        for (const auto& side : sides) {
            auto* sticky = new TZelStickyLabel(this);
            sticky->SetParent(this);
            sticky->SetCaption(side.caption);
            sticky->SetPosition(side.position);
            sticky->SetAttachToControl(edit);
        }
        Note(this, x - 10, y + 102, 270, "sticky labels (TZelStickyLabel)");
        return y + 102 + kNoteHeight + kGap;
    }

    TZelLabel* SampleLabel(TWinControl* Parent,
                           int X,
                           int Y,
                           int W,
                           int H,
                           const std::string& Caption,
                           const std::string& Note_) {
        auto* label = new TZelLabel(this);
        label->SetParent(Parent);
        label->SetBounds(X, Y, W, H);
        label->SetCaption(Caption);
        label->Font()->SetHeight(-14);
        label->Font()->SetStyle(fsBold);
        label->Font()->SetColor(clNavy);
        Note(Parent, X, Y + H + 2, W, Note_);
        return label;
    }

    void AddLabels(int Top) {
        int y =
            Heading(Top, "Labels (TZelLabel): frames, backgrounds, background-faced letters, transparency");
        int x = kMargin;
        const int w = 130, h = 40;
        SampleLabel(this, x, y + 4, w, h, "frameNone", "defaults");
        x += w + kGap;
        TZelLabel* framed = SampleLabel(this, x, y + 4, w, h, "frameLowered", "Frame 2, centred");
        framed->Frame()->SetFrameStyle(frameLowered);
        framed->Frame()->SetFrameWidth(2);
        framed->SetAlignment(taCenter);
        x += w + kGap;
        TZelLabel* grounded = SampleLabel(this, x, y + 4, w, h, "Background", "gradient background");
        grounded->SetBackground(toolGround_);
        grounded->Frame()->SetFrameStyle(frameFramedDown);
        x += w + kGap;
        TZelLabel* faced = SampleLabel(this, x, y + 4, w, h, "Vexel", "FontBackground");
        faced->Font()->SetName("Arial");
        faced->Font()->SetHeight(-30);
        faced->Font3D()->SetStyle3D(fontRaised);
        faced->Font3D()->SetShadow(clBlack);
        faced->SetFontBackground(letterGround_);
        x += w + kGap;
        TZelLabel* wrapped = SampleLabel(this, x, y + 4, w, h, "Show Tips at Startup", "WordWrap");
        wrapped->SetWordWrap(true);
        wrapped->Frame()->SetFrameStyle(frameSolid);
        x += w + kGap;
        TZelLabel* disabled = SampleLabel(this, x, y + 4, w, h, "&Disabled", "disabled");
        disabled->SetEnabled(false);
        x += w + kGap;

        // Over a gradient panel: transparent, and opaque with its own ground.
        auto* under = new TZelPanel(this);
        under->SetParent(this);
        under->SetBounds(x, y, 1190 - kMargin - x, 62);
        under->SetBackground(panelGround_);
        under->FrameOuter()->SetFrameStyle(frameLowered);
        TZelLabel* transparent = SampleLabel(under, 10, 6, 120, 36, "Bulid 0415", "");
        transparent->SetTransparent(true);
        transparent->SetBackground(buttonGround_);  // ignored while transparent
        transparent->Font()->SetColor(clWhite);
        transparent->Font3D()->SetStyle3D(fontOnlyShadow);
        transparent->Font3D()->SetShadow(clBlack);
        TZelLabel* opaque = SampleLabel(under, 140, 6, 120, 36, "Bulid 0415", "");
        opaque->SetBackground(buttonGround_);
        Note(under, 10, 44, 300, "transparent (its background ignored), opaque");
    }

    TBitmap helpGlyph_;
    TBitmap lampGlyph_;
    TBitmap texture_;
    TZelBackground* toolGround_ = nullptr;
    TZelBackground* buttonGround_ = nullptr;
    TZelBackground* panelGround_ = nullptr;
    TZelBackground* textureGround_ = nullptr;
    TZelBackground* letterGround_ = nullptr;
    TPopupMenu* menu_ = nullptr;
};

VEXEL_GALLERY_PAGE("buttons", TButtonsPage);

}  // namespace
}  // namespace vexel
