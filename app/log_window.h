// The log window: a copy of the compression window's log list, taken each
// time the window is shown.
#pragma once

#include <functional>
#include <string>

#include "app/window_parts.h"
#include "framework/win32/edits.h"
#include "framework/win32/forms.h"
#include "widgets/panels.h"
#include "widgets/zel_button.h"

namespace vexel {

class TLog : public TDialogForm {
public:
    TLog(TComponent* AOwner, const TDialogGrounds& Grounds, TMainWindowLink MainWindow);

    TZelPanel* ZelPanel1 = nullptr;
    TMemo* Memo1 = nullptr;
    TZelButton* ZelButton1 = nullptr;

    void FormCreate(TObject* Sender);
    // Copies the log (only when the window goes from hidden to shown), then
    // places the window 50 pixels right of and below the main window.
    void FormShow(TObject* Sender);
    void ZelButton1Click(TObject* Sender);

    // The compression window's log, the text copied at a show.
    std::function<std::string()> RunLog;

protected:
    ~TLog() override = default;

private:
    TMainWindowLink mainWindow_;
};

}  // namespace vexel
