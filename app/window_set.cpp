#include "app/window_set.h"

#include <utility>

#include "app/closing_note.h"
#include "app/conn.h"
#include "app/log_window.h"
#include "app/main_window.h"
#include "app/options_dialog.h"
#include "app/splash.h"
#include "app/tip_window.h"

namespace vexel {

const char kStorePath[] = "\\Software\\Korrin\\ZP";

namespace {

constexpr TColor kButtonTop = clWhite;
constexpr TColor kButtonBottom = static_cast<TColor>(0xF0D8C8);  // ice blue

// A window of the set, tied to the others: its creation handler runs now
// that it is whole.
template <class TWindow>
TWindow* Created(TWindow* Window) {
    Window->DoCreate();
    return Window;
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
    if (AComponent == selectionHolder_) {
        FileSelection = nullptr;
        selectionHolder_ = nullptr;
    }
}

void TWindowSet::SetFileSelection(TFileSelection* Selection, TComponent* Holder) {
    FileSelection = Selection;
    selectionHolder_ = Holder;
}

TMainWindowLink TWindowSet::MainWindowLink() {
    return [this]() -> TCustomForm* { return Form1; };
}

void TWindowSet::ShowMainWindow() {
    if (Form1)
        Form1->Show();
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

    TComponent* owner = windows->Owner();
    const TDialogGrounds grounds = windows->Grounds();
    const TMainWindowLink main = windows->MainWindowLink();

    auto* conn = new TConn(owner, grounds, main);
    conn->OnRunWindowShow = [windows] {
        if (windows->Savefileto)
            windows->Savefileto->Hide();
    };
    conn->OnRunWindowClose = [windows] { windows->ShowRunLog(); };
    windows->Conn = Created(conn);

    auto* options = new TSavefileto(owner, grounds, windows->StorePath(), main);
    options->OnRun = [windows] { Button2Click(windows->RunWindows()); };
    windows->Savefileto = Created(options);

    windows->Form4 = Created(new TForm4(owner, grounds, windows->StorePath()));

    auto* log = new TLog(owner, grounds, main);
    log->RunLog = [windows] { return windows->Conn ? windows->Conn->Memo1->Text() : std::string(); };
    windows->Log = Created(log);

    auto* note = new TIMessage(owner, grounds, main);
    note->OnEndProgram = [windows] { windows->CloseMainForm(); };
    windows->IMessage = Created(note);
    return windows;
}

Ttoplogo* MakeProgramSplash(TWindowSet& Windows) {
    Ttoplogo* splash = nullptr;
    Application->CreateForm(splash);
    splash->ShowMainWindow = [&Windows] { Windows.ShowMainWindow(); };
    splash->ShowStartupTips = [&Windows] {
        if (Windows.Form4 && Windows.Form4->ShowAtStartup())
            Windows.ShowTips();
    };
    return splash;
}

TForm1* MakeProgramMainWindow(TWindowSet& Windows) {
    TMainWindowTies ties;
    ties.Grounds = Windows.Grounds();
    ties.RunWindows = [&Windows] { return Windows.RunWindows(); };
    ties.ClosingNote = [&Windows] { return Windows.IMessage; };
    ties.ShowTips = [&Windows] { Windows.ShowTips(); };
    ties.ShowLog = [&Windows] { Windows.ShowLog(); };
    auto* main = new TForm1(Application, std::move(ties));
    Windows.SetFileSelection(main, main);
    return Created(main);
}

}  // namespace vexel
