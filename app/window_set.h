// The program's windows, made once in a fixed order and living until the
// program ends, and the two backgrounds the dialogs share. The set is the
// one place that knows every window: it gives each window, as it makes it,
// only the few things that window uses of the others.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "app/batch_run.h"
#include "app/window_parts.h"
#include "framework/win32/forms.h"
#include "widgets/background.h"

namespace vexel {

class TConn;
class TSavefileto;
class TForm4;
class TLog;
class TIMessage;
class TForm1;
class Ttoplogo;

// Where the tip window keeps its values, below HKEY_CURRENT_USER.
extern const char kStorePath[];

class TWindowSet;

struct TWindowSetOptions {
    // A test gives a key of its own, so that it never touches the user's.
    std::string StorePath = kStorePath;
    // The splash and the main window come from the program entry. The splash
    // is made first, so that it is the application's main form; the main
    // window second, before the windows that paint with its backgrounds.
    // Each maker gets the set, to tie the window it makes to the others.
    std::function<TForm*(TWindowSet& Windows)> MakeSplash;
    std::function<TForm*(TWindowSet& Windows)> MakeMainWindow;
};

// Owned by the application and made before any window, so that it goes
// after all of them. A window that is freed is forgotten here.
class TWindowSet : public TComponent {
public:
    TWindowSet(TComponent* AOwner, const TWindowSetOptions& Options);

    // In creation order. The splash and the main window are null when the
    // options had no maker for them; every window copes with that.
    TForm* toplogo = nullptr;
    TForm* Form1 = nullptr;
    TConn* Conn = nullptr;
    TSavefileto* Savefileto = nullptr;
    TForm4* Form4 = nullptr;
    TLog* Log = nullptr;
    TIMessage* IMessage = nullptr;

    // The texture behind every dialog's panels, and the ground of their
    // buttons (stored as "Form1.ZelBackground3" and "Form1.ZelBackground1").
    TZelBackground* ZelBackground3 = nullptr;
    TZelBackground* ZelBackground1 = nullptr;

    // The main window's file list; without one a batch run has no pages.
    TFileSelection* FileSelection = nullptr;
    // Makes Selection the file list until Holder, the window it belongs
    // to, is freed.
    void SetFileSelection(TFileSelection* Selection, TComponent* Holder);

    // The tip window, shown at the splash's tick when its "Show Tips at
    // Startup" box is ticked, and by the main window's "Tips" entries.
    void ShowTips();
    void ShowLog();
    // The log at the end of a run: shown with this run's lines, also when
    // it stayed open since an earlier run (it copies the log when it goes
    // from hidden to shown).
    void ShowRunLog();

    const std::string& StorePath() const { return storePath_; }
    // The windows there are, in creation order.
    std::vector<TCustomForm*> Forms() const;
    // What the windows share, and the windows a run uses, as they are now.
    TDialogGrounds Grounds() const { return {ZelBackground3, ZelBackground1}; }
    TMainWindowLink MainWindowLink();
    TRunWindows RunWindows() const { return {Conn, Savefileto, FileSelection}; }

    void ShowMainWindow();
    // Closes the application's main form (the splash), which ends the program.
    void CloseMainForm();

protected:
    ~TWindowSet() override = default;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    std::string storePath_;
    TComponent* selectionHolder_ = nullptr;
};

// Makes the set and its seven windows under Application, hidden, in their
// order, each window's creation handler running as it is made.
TWindowSet* CreateWindowSet(const TWindowSetOptions& Options);

// The program's own splash (made through the application, so that it is its
// main form) and main window (its creation handler run, its file list the
// set's), tied to the set: the makers of TWindowSetOptions.
Ttoplogo* MakeProgramSplash(TWindowSet& Windows);
TForm1* MakeProgramMainWindow(TWindowSet& Windows);

}  // namespace vexel
