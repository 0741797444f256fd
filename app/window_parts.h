// Pieces the program's windows are built from: fonts, labels sized to their
// text, framed panels, the dialogs' push buttons, and the pictures built
// into the program.
#pragma once

#include <functional>
#include <initializer_list>
#include <string>

#include "framework/win32/forms.h"
#include "framework/win32/graphics.h"
#include "widgets/labels.h"
#include "widgets/panels.h"
#include "widgets/zel_button.h"

namespace vexel {

// The pictures' transparent colour: magenta.
constexpr TColor kPictureKey = clFuchsia;

struct TFontSpec {
    std::string Name;  // empty: the control's default
    int Height = 0;    // pixels; 0: the default
    TFontStyles Style = 0;
    TColor Color = clWindowText;
};

// The windows' font: Tahoma, 11 pixels. It keeps the proportions of the
// small dialog font the windows were laid out for on every system, where
// "MS Sans Serif" is a different font from one system to the next.
void UseWindowFont(TForm* Form);

// Gives Control a font of its own.
void ApplyFont(TControl* Control, const TFontSpec& Spec);

// A transparent label at (X, Y), as large as its text in its font.
TZelLabel* MakeLabel(TWinControl* Parent, int X, int Y, const std::string& Caption, const TFontSpec& Font);
// A new caption for such a label, which takes its size again.
void SetLabelText(TZelLabel* Label, const std::string& Caption);
// The size of Text in the font Control draws with.
TSize TextSizeIn(TControl* Control, const std::string& Text);

// A panel with the given background filling its parent.
TZelPanel* MakeClientPanel(TWinControl* Parent, TZelBackground* Background);

// A dialog push button with a bold caption on the shared button ground.
TZelButton* MakeDialogButton(TWinControl* Parent,
                             const TRect& Bounds,
                             const std::string& Caption,
                             TZelBackground* Ground);

// The two grounds the windows share, made once by the maker of the windows:
// the texture behind every dialog's panels, and the ground of their buttons
// (stored as "Form1.ZelBackground3" and "Form1.ZelBackground1").
struct TDialogGrounds {
    TZelBackground* Panels = nullptr;
    TZelBackground* Buttons = nullptr;
};

// The main window that a window places itself by, asked each time it is
// needed: null while there is none.
using TMainWindowLink = std::function<TCustomForm*()>;

// Placements; "div" truncates toward zero.
// Left := (Screen width - width) div 2, Top := (Screen height - height) div 2.
void CentreOnScreen(TCustomForm* Form);
// Left := main Left + (main width - width) div 2, and so for Top. Without a
// main window the form is centred on the screen.
void CentreOnMainWindow(TCustomForm* Form, const TCustomForm* Main);

// A secondary window that Esc closes as its Cancel or Close button does,
// whether the key reaches one of its controls or the window itself, and
// where Enter does what its default button does.
class TDialogForm : public TForm {
public:
    using TForm::TForm;
    // What Esc does; without it the window closes (hides).
    std::function<void()> OnEscape;
    // What Enter does when the control in hand leaves it to the window (a
    // check box) and no default button takes it: the default button's work.
    std::function<void()> OnEnterKey;

protected:
    ~TDialogForm() override = default;
    void WndProc(TMessage& Message) override;
};

// Tab goes through Controls in the order given, after any others of their
// parents; a windowless control is made a tab stop for it (its key stop
// takes its place).
void SetTabSequence(std::initializer_list<TControl*> Controls);

// Loads a picture built into the program (resources/pictures.rc).
void LoadPicture(TBitmap& Picture, const std::string& ResourceName);

// A windowless picture drawn with the pictures' transparent colour left out,
// sized to its picture.
class TPictureSpot : public TGraphicControl {
public:
    explicit TPictureSpot(TComponent* AOwner) : TGraphicControl(AOwner) {}
    TBitmap* Picture() { return &picture_; }
    // Loads the picture and takes its size.
    void LoadPicture(const std::string& ResourceName);

protected:
    ~TPictureSpot() override = default;
    void Paint() override;

private:
    TBitmap picture_;
};

}  // namespace vexel
