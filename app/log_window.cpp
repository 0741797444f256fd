#include "app/log_window.h"

#include <utility>

#include "app/window_parts.h"

namespace vexel {

TLog::TLog(TComponent* AOwner, const TDialogGrounds& Grounds, TMainWindowLink MainWindow)
    : TDialogForm(AOwner), mainWindow_(std::move(MainWindow)) {
    SetCaption("Log");
    SetBorderStyle(bsNone);
    SetClientWidth(526);
    SetClientHeight(393);
    UseWindowFont(this);
    SetShowHint(false);

    ZelPanel1 = MakeClientPanel(this, Grounds.Panels);
    ZelPanel1->FrameInner()->SetFrameStyle(frameLowered);
    ZelPanel1->FrameOuter()->SetFrameWidth(2);
    MakeLabel(ZelPanel1, 24, 12, "Information list:", {"", 0, fsBold, clWindowText});

    Memo1 = new TMemo(this);
    Memo1->SetParent(ZelPanel1);
    Memo1->SetBounds(13, 32, 497, 313);
    Memo1->SetReadOnly(true);
    Memo1->SetScrollBars(ssBoth);
    // The lines are read only: Enter and Esc are the window's (its button
    // closes it), also while the list has the focus, as it has after a run.
    Memo1->SetWantReturns(false);
    // Tab leaves the list for the button; Ctrl+A selects every line.
    Memo1->OnKeyDown = [this](TObject*, WORD& Key, TShiftState Shift) {
        if (Key == 'A' && (Shift & ssCtrl) && !(Shift & ssAlt)) {
            Memo1->SelectAll();
            Key = 0;
        }
    };
    Memo1->SetHint("Show all of compressing log information.");

    ZelButton1 = MakeDialogButton(ZelPanel1, Bounds(424, 352, 75, 25), "&Canel", Grounds.Buttons);
    ZelButton1->SetHint("Canel and return to upper window.");
    ZelButton1->SetDefault(true);
    ZelButton1->SetCancel(true);

    OnCreate = [this](TObject* Sender) { FormCreate(Sender); };
    OnShow = [this](TObject* Sender) { FormShow(Sender); };
    ZelButton1->OnClick = [this](TObject* Sender) { ZelButton1Click(Sender); };
}

void TLog::FormCreate(TObject*) {
    CentreOnScreen(this);
}

void TLog::FormShow(TObject*) {
    if (RunLog)
        Memo1->SetText(RunLog());
    if (TCustomForm* main = mainWindow_())
        SetBounds(main->Left() + 50, main->Top() + 50, Width(), Height());
}

void TLog::ZelButton1Click(TObject*) {
    Close();
}

}  // namespace vexel
