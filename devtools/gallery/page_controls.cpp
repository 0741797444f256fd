// The gallery's "controls" page: the dialogs' push button in its states and
// settings, check boxes and radio buttons in every setting, and the system's
// edit, memo, combo box and buttons as the framework shows them.
#include <windows.h>

#include <string>

#include "framework/win32/buttons.h"
#include "framework/win32/combo_box.h"
#include "framework/win32/edits.h"
#include "framework/win32/forms.h"
#include "framework/win32/labels.h"
#include "framework/win32/panels.h"
#include "widgets/background.h"
#include "widgets/check_buttons.h"
#include "widgets/drawing_base.h"
#include "devtools/gallery/gallery_pages.h"
#include "widgets/zel_button.h"

namespace vexel {
namespace {

constexpr int kMargin = 12;
constexpr int kGap = 10;
constexpr int kHeadingHeight = 20;
constexpr int kNoteHeight = 28;
constexpr TColor kKey = clFuchsia;

// A 16 x 16 strip of three: a green tick, the same tick pressed (one pixel
// down and right), and a grey one, on the transparent colour.
void MakeTickStrip(TBitmap& Strip) {
    Strip.SetSize(48, 16);
    TCanvas* c = Strip.Canvas();
    c->Brush()->SetColor(kKey);
    c->FillRect({0, 0, 48, 16});
    const struct {
        int left, shift;
        TColor color;
    } ticks[] = {{0, 0, RGBColor(0, 140, 0)}, {16, 1, RGBColor(0, 100, 0)}, {32, 0, RGBColor(128, 128, 128)}};
    for (const auto& t : ticks) {
        c->Pen()->SetColor(t.color);
        c->Pen()->SetWidth(3);
        int x = t.left + t.shift, y = t.shift;
        c->Polyline({{x + 2, y + 8}, {x + 6, y + 12}, {x + 13, y + 3}});
    }
}

class TControlsPage : public TForm {
public:
    explicit TControlsPage(TComponent* AOwner) : TForm(AOwner) {
        SetUpGalleryPage(this, "controls", 1000, 660);
        SetShowHint(true);
        MakeTickStrip(ticks_);

        ground_ = new TZelBackground(this);
        ground_->Gradient()->SetBeginColor(RGBColor(150, 180, 230));
        ground_->Gradient()->SetEndColor(RGBColor(245, 248, 255));
        ground_->Gradient()->SetFillStyle(TZelFillStyle::Vertical);
        hatch_ = new TZelBackground(this);
        hatch_->SetBackgroundStyle(bBrushFillSolidColor);
        hatch_->SetSolidColor(RGBColor(255, 244, 200));
        hatch_->BrushFill()->SetBrushStyle(bsDiagCross);
        hatch_->BrushFill()->SetBrushColor(RGBColor(230, 200, 120));

        int y = kMargin;
        y = AddButtons(y);
        y = AddCheckBoxes(y);
        y = AddRadioButtons(y);
        AddSystemControls(y);
    }

protected:
    ~TControlsPage() override = default;

    // The pressed looks need windows, so they are set once the page shows.
    void DoShow() override {
        TForm::DoShow();
        SendMessageW(pressed_->Handle(), BM_SETSTATE, TRUE, 0);
        SendMessageW(pressedDisabled_->Handle(), BM_SETSTATE, TRUE, 0);
    }

private:
    int Heading(int Top, const std::string& Text) {
        return AddGalleryHeading(this, kMargin, Top, 600, kHeadingHeight, Text);
    }

    void Note(TWinControl* Parent, int X, int Y, int W, const std::string& Text) {
        auto* label = new TLabel(this);
        label->SetParent(Parent);
        label->SetAutoSize(false);
        label->SetWordWrap(true);
        label->SetAlignment(taCenter);
        label->SetCaption(Text);
        label->SetBounds(X, Y, W, kNoteHeight);
    }

    TZelButton* Button(int X, int Y, int W, int H, const std::string& Caption, const std::string& NoteText) {
        auto* button = new TZelButton(this);
        button->SetParent(this);
        button->SetBounds(X, Y, W, H);
        button->SetCaption(Caption);
        Note(this, X - 4, Y + H + 3, W + 8, NoteText);
        return button;
    }

    int AddButtons(int Top) {
        int y = Heading(Top, "TZelButton");
        const int w = 100, h = 30, rowHeight = 44 + kNoteHeight;
        int x = kMargin;
        // Left to right, a second row when the first is full.
        auto place = [&](int Width, int Height, const std::string& Caption, const std::string& NoteText) {
            if (x + Width > ClientWidth() - kMargin) {
                x = kMargin;
                y += rowHeight;
            }
            TZelButton* button = Button(x, y, Width, Height, Caption, NoteText);
            x += Width + kGap + 14;
            return button;
        };
        place(w, h, "&OK", "normal");
        place(w, h, "&Start", "Default")->SetDefault(true);
        place(w, h, "&Cancel", "disabled")->SetEnabled(false);
        auto* glyph = place(w, h, "&Apply", "with glyph");
        glyph->Glyph()->SetBitmap(&ticks_);
        glyph->Glyph()->SetNumGlyphs(3);
        glyph->Glyph()->SetTransparentColor(kKey);
        place(40, h, "", "glyph only")->SetGlyph(glyph->Glyph());
        auto* glyphOff = place(w, h, "&Done", "glyph, disabled");
        glyphOff->SetGlyph(glyph->Glyph());
        glyphOff->SetEnabled(false);
        place(w, h, "C&lose", "ButtonSunk")->SetButtonSunk(true);
        place(w, 44, "Compress the selected pages", "WordWrap")->SetWordWrap(true);
        pressed_ = place(w, h, "&Next", "pressed");
        pressedDisabled_ = place(w, h, "&Back", "pressed, disabled");
        pressedDisabled_->SetEnabled(false);
        place(w, h, "&Help", "with background")->SetBackground(ground_);
        auto* raised = place(w, h, "Lo&g", "fontRaised, hint");
        raised->Font3D()->SetStyle3D(fontRaised);
        raised->SetHint("Shows the log of the last run");
        auto* bold = place(w + 20, h, "&Tips", "bold, glyph, background");
        bold->SetParentFont(false);
        bold->Font()->Assign(Font());
        bold->Font()->SetStyle(fsBold);
        bold->Font()->SetColor(clNavy);
        bold->SetGlyph(glyph->Glyph());
        bold->SetBackground(hatch_);
        return y + rowHeight;
    }

    template <class T>
    T* CheckButton(TWinControl* Parent,
                   int X,
                   int Y,
                   int W,
                   int H,
                   const std::string& Caption,
                   const std::string& NoteText) {
        auto* box = new T(this);
        box->SetParent(Parent);
        box->SetBounds(X, Y, W, H);
        box->SetCaption(Caption);
        Note(Parent, X - 4, Y + H + 2, W + 8, NoteText);
        return box;
    }

    // The settings shown for both kinds; each radio button sits in a group
    // of its own so that several can be checked at once.
    template <class T>
    int AddCheckButtons(int Top, const char* Kind, const char* Caption) {
        int y = Heading(Top, Kind);
        const int w = 140, h = 24;
        struct TSetting {
            const char* note;
            bool checked, right, asButton, sunk, wrap, disabled;
            TZelBackground* ground;
            TAlignment alignment;
        };
        const TSetting settings[] = {
            {"default", false, false, false, true, false, false, nullptr, taLeftJustify},
            {"checked", true, false, false, true, false, false, nullptr, taLeftJustify},
            {"AlignButton right", true, true, false, true, false, false, nullptr, taLeftJustify},
            {"Alignment right", true, false, false, true, false, false, nullptr, taRightJustify},
            {"disabled, checked", true, false, false, true, false, true, nullptr, taLeftJustify},
            {"background", true, false, false, true, false, false, ground_, taLeftJustify},
            {"AsButton", false, false, true, true, false, false, nullptr, taCenter},
            {"AsButton, checked", true, false, true, true, false, false, nullptr, taCenter},
            {"AsButton, not sunk", true, false, true, false, false, false, nullptr, taCenter},
            {"AsButton, background", true, false, true, true, false, false, hatch_, taCenter},
            {"WordWrap", true, false, false, true, true, false, nullptr, taLeftJustify},
            {"no WordWrap", true, false, false, true, false, false, nullptr, taLeftJustify},
        };
        const int perRow = 6;
        int i = 0;
        for (const TSetting& s : settings) {
            int x = kMargin + (i % perRow) * (w + kGap + 12);
            int top = y + (i / perRow) * (h + 12 + kNoteHeight);
            bool wide = s.wrap || std::string(s.note) == "no WordWrap";
            std::string caption = wide ? "Clean whitespace between the tags" : Caption;
            auto* group = new TPanel(this);
            group->SetParent(this);
            group->SetBevelOuter(bvNone);
            group->SetBounds(x, top, w + 8, h + 12 + kNoteHeight);
            auto* box = CheckButton<T>(group, 4, 2, w, wide ? h + 8 : h, caption, s.note);
            box->SetAlignButton(s.right ? taRightJustify : taLeftJustify);
            box->SetAlignment(s.alignment);
            box->SetAsButton(s.asButton);
            box->SetButtonSunk(s.sunk);
            box->SetWordWrap(s.wrap);
            box->SetChecked(s.checked);
            box->SetEnabled(!s.disabled);
            box->SetBackground(s.ground);
            ++i;
        }
        return y + 2 * (h + 12 + kNoteHeight) + 4;
    }

    int AddCheckBoxes(int Top) { return AddCheckButtons<TZelCheckbox>(Top, "TZelCheckbox", "Show &Tips"); }
    int AddRadioButtons(int Top) {
        return AddCheckButtons<TZelRadiobutton>(Top, "TZelRadiobutton", "&JavaScript");
    }

    void AddSystemControls(int Top) {
        int y = Heading(Top, "The system's controls: edit, memo, combo box, buttons");
        auto* edit = new TEdit(this);
        edit->SetParent(this);
        edit->SetBounds(kMargin, y, 160, 21);
        edit->SetText("C:\\My Pages\\index.htm");
        edit->SetHint("An edit box with a hint");
        auto* disabled = new TEdit(this);
        disabled->SetParent(this);
        disabled->SetBounds(kMargin, y + 28, 160, 21);
        disabled->SetText("disabled");
        disabled->SetEnabled(false);
        auto* combo = new TComboBox(this);
        combo->SetParent(this);
        combo->SetBounds(kMargin, y + 56, 160, 21);
        for (const char* filter : {"*.htm;*.html", "*.htm", "*.html", "*.*"})
            combo->Items()->Add(filter);
        combo->SetItemIndex(0);

        auto* memo = new TMemo(this);
        memo->SetParent(this);
        memo->SetBounds(kMargin + 180, y, 380, 110);
        memo->SetScrollBars(ssBoth);
        memo->SetReadOnly(true);
        memo->Lines()->Add("Source:\tC:\\My Pages\\index.htm");
        memo->Lines()->Add("Warnning:\tcharacter 0x01 at 1320 replaced by a space");
        memo->Lines()->Add("Compresssed to:\tC:\\My Pages\\index.htm");
        memo->Lines()->Add("Rate=52%");

        const int x = kMargin + 580;
        auto* button = new TButton(this);
        button->SetParent(this);
        button->SetBounds(x, y, 90, 25);
        button->SetCaption("&Browse...");
        auto* box = new TCheckBox(this);
        box->SetParent(this);
        box->SetBounds(x, y + 32, 160, 20);
        box->SetCaption("Show Tips at Startup");
        box->SetChecked(true);
        auto* radio = new TRadioButton(this);
        radio->SetParent(this);
        radio->SetBounds(x, y + 56, 160, 20);
        radio->SetCaption("VBScript");
        radio->SetChecked(true);
        auto* radio2 = new TRadioButton(this);
        radio2->SetParent(this);
        radio2->SetBounds(x, y + 78, 160, 20);
        radio2->SetCaption("JavaScript");
    }

    TBitmap ticks_;
    TZelBackground* ground_ = nullptr;
    TZelBackground* hatch_ = nullptr;
    TZelButton* pressed_ = nullptr;
    TZelButton* pressedDisabled_ = nullptr;
};

}  // namespace

VEXEL_GALLERY_PAGE("controls", TControlsPage);

}  // namespace vexel
