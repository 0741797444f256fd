#include "app/closing_note.h"

#include <utility>

#include "app/window_parts.h"

namespace vexel {

TIMessage::TIMessage(TComponent* AOwner, const TDialogGrounds& Grounds, TMainWindowLink MainWindow)
    : TDialogForm(AOwner), mainWindow_(std::move(MainWindow)) {
    SetCaption("IMessage");
    SetBorderStyle(bsNone);
    SetClientWidth(427);
    SetClientHeight(95);
    UseWindowFont(this);
    SetShowHint(true);

    ZelPanel1 = MakeClientPanel(this, Grounds.Panels);
    ZelPanel1->SetShowHint(true);
    TZelFrame* inner = ZelPanel1->FrameInner();
    inner->SetFrameStyle(frameLowered);
    inner->SetShadow(clNavy);
    inner->SetHighlight(clBlue);
    inner->SetFrameWidth(2);
    TZelFrame* outer = ZelPanel1->FrameOuter();
    outer->SetHighlight(clBlue);
    outer->SetShadow(clNavy);
    outer->SetFrameWidth(2);
    ZelPanel1->SetBorderwidth(5);

    MakeLabel(ZelPanel1, 16, 8, "Note:", {"Arial", 16, fsBold, clRed});
    MakeLabel(ZelPanel1, 16, 32, "FTP the  HTML files to Http-server please use BINARY mode.",
              {"Arial", 11, fsBold, clBlue});
    MakeLabel(ZelPanel1, 16, 61, "Html Vexel Pro", {"Arial", 16, fsBold | fsItalic, clBlack});

    ZelButton1 = MakeDialogButton(ZelPanel1, Bounds(336, 56, 75, 25), "&Close", Grounds.Buttons);
    ZelButton1->SetHint("Close and quit HTML Vexel");
    ZelButton1->SetShowHint(true);
    ZelButton1->SetDefault(true);
    ZelButton1->SetCancel(true);

    ZelFormManager1 = new TZelFormManager(this);
    ZelFormManager1->SetTopMost(true);

    OnCreate = [this](TObject* Sender) { FormCreate(Sender); };
    OnShow = [this](TObject* Sender) { FormShow(Sender); };
    // However the note goes (Alt+F4, Esc, the button), the program ends
    // with it: nothing else is left on screen to end it.
    OnClose = [this](TObject*, TCloseAction& Action) {
        Action = caHide;
        if (ZelButton1->Visible())
            ZelButton1Click(ZelButton1);
    };
    OnEscape = [this] { Close(); };
    ZelButton1->OnClick = [this](TObject* Sender) { ZelButton1Click(Sender); };
}

void TIMessage::FormCreate(TObject*) {
    CentreOnScreen(this);
}

void TIMessage::FormShow(TObject*) {
    // The main window is hidden by now; its last place still counts.
    CentreOnMainWindow(this, mainWindow_());
}

void TIMessage::ZelButton1Click(TObject*) {
    ZelButton1->Hide();
    if (OnEndProgram)
        OnEndProgram();
}

}  // namespace vexel
