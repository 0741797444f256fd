#include "app/window_set.h"

#include "app/closing_note.h"
#include "app/conn.h"
#include "app/log_window.h"
#include "app/options_dialog.h"
#include "app/tip_window.h"
#include "app/window_parts.h"

namespace vexel {

const char kStorePath[] = "\\Software\\Korrin\\ZP";

namespace {

constexpr TColor kButtonTop = clWhite;
constexpr TColor kButtonBottom = static_cast<TColor>(0xF0D8C8);  // ice blue

// Makes a window of the set: its creation handler runs once it is whole.
template <class TWindow>
TWindow* MakeWindow(TWindowSet& Windows) {
    auto* window = new TWindow(Windows.Owner(), Windows);
    window->DoCreate();
    return window;
}

}  // namespace

TWindowSet::TWindowSet(TComponent* AOwner, const TWindowSetOptions& Options)
    : TComponent(AOwner), storePath_(Options.StorePath) {
    ZelBackground3 = new TZelBackground(this);
    ZelBackground3->SetBackgroundStyle(bTexture);
    LoadPicture(*ZelBackground3->Texture()->Image(), "TEXTURE");
    ZelBackground3->Texture()->SetImageStyle(isTile);

    ZelBackground1 = new TZelBackground(this);
    ZelBackground1->Gradient()->SetBeginColor(kButtonTop);
    ZelBackground1->Gradient()->SetEndColor(kButtonBottom);
    ZelBackground1->Gradient()->SetFillStyle(TZelFillStyle::Vertical);
}

void TWindowSet::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    auto forget = [AComponent](auto*& Window) {
        if (static_cast<TComponent*>(Window) == AComponent)
            Window = nullptr;
    };
    forget(toplogo);
    forget(Form1);
    forget(Conn);
    forget(Savefileto);
    forget(Form4);
    forget(Log);
    forget(IMessage);
    forget(ZelBackground3);
    forget(ZelBackground1);
}

void TWindowSet::ShowMainWindow() {
    if (Form1)
        Form1->Show();
}

void TWindowSet::HideMainWindow() {
    if (Form1)
        Form1->Hide();
}

std::vector<TCustomForm*> TWindowSet::Forms() const {
    std::vector<TCustomForm*> forms;
    for (TCustomForm* form :
         std::initializer_list<TCustomForm*>{toplogo, Form1, Conn, Savefileto, Form4, Log, IMessage})
        if (form)
            forms.push_back(form);
    return forms;
}

void TWindowSet::ShowTips() {
    if (Form4)
        Form4->Show();
}

void TWindowSet::ShowLog() {
    if (Log)
        Log->Show();
}

void TWindowSet::ShowRunLog() {
    if (!Log)
        return;
    Log->Hide();
    Log->Show();
}

void TWindowSet::CloseMainForm() {
    if (TCustomForm* main = Application ? Application->MainForm() : nullptr)
        main->Close();
    else if (toplogo)
        toplogo->Close();
}

TWindowSet* CreateWindowSet(const TWindowSetOptions& Options) {
    auto* windows = new TWindowSet(Application, Options);
    if (Options.MakeSplash)
        windows->toplogo = Options.MakeSplash(*windows);
    if (Options.MakeMainWindow)
        windows->Form1 = Options.MakeMainWindow(*windows);
    windows->Conn = MakeWindow<TConn>(*windows);
    windows->Savefileto = MakeWindow<TSavefileto>(*windows);
    windows->Form4 = MakeWindow<TForm4>(*windows);
    windows->Log = MakeWindow<TLog>(*windows);
    windows->IMessage = MakeWindow<TIMessage>(*windows);
    return windows;
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
