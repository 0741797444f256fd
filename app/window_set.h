// The program's windows, made once in a fixed order and living until the
// program ends; the two backgrounds the dialogs share; where each window
// places itself; and the link from the batch run to the main window's file
// list.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "framework/win32/forms.h"
#include "widgets/background.h"

namespace vexel {

class TConn;
class TSavefileto;
class TForm4;
class TLog;
class TIMessage;
class TFileSelection;

// Where the tip window keeps its values, below HKEY_CURRENT_USER.
extern const char kStorePath[];

class TWindowSet;

struct TWindowSetOptions {
    // A test gives a key of its own, so that it never touches the user's.
    std::string StorePath = kStorePath;
    // The splash and the main window come from the program entry. The splash
    // is made first, so that it is the application's main form; the main
    // window second, before the windows that paint with its backgrounds.
    // Each maker gets the set, whose backgrounds and windows the window
    // uses later.
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

    // The main window's file list, set by the main window; without one a
    // batch run has no pages.
    TFileSelection* FileSelection = nullptr;

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

    void ShowMainWindow();
    void HideMainWindow();
    // Closes the application's main form (the splash), which ends the program.
    void CloseMainForm();

protected:
    ~TWindowSet() override = default;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    std::string storePath_;
};

// Makes the set and its seven windows under Application, hidden, in their
// order, each window's creation handler running as it is made.
TWindowSet* CreateWindowSet(const TWindowSetOptions& Options);

// Placements; "div" truncates toward zero.
// Left := (Screen width - width) div 2, Top := (Screen height - height) div 2.
void CentreOnScreen(TCustomForm* Form);
// Left := main Left + (main width - width) div 2, and so for Top. Without a
// main window the form is centred on the screen.
void CentreOnMainWindow(TCustomForm* Form, const TCustomForm* Main);

}  // namespace vexel
