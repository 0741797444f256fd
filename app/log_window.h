// The log window: a copy of the compression window's log list, taken each
// time the window is shown.
#pragma once

#include "framework/win32/edits.h"
#include "app/window_parts.h"
#include "framework/win32/forms.h"
#include "widgets/panels.h"
#include "widgets/zel_button.h"

namespace vexel {

class TWindowSet;

class TLog : public TDialogForm {
public:
    TLog(TComponent* AOwner, TWindowSet& Windows);

    TZelPanel* ZelPanel1 = nullptr;
    TMemo* Memo1 = nullptr;
    TZelButton* ZelButton1 = nullptr;

    void FormCreate(TObject* Sender);
    // Copies the log (only when the window goes from hidden to shown), then
    // places the window 50 pixels right of and below the main window.
    void FormShow(TObject* Sender);
    void ZelButton1Click(TObject* Sender);

protected:
    ~TLog() override = default;

private:
    TWindowSet& windows_;
};

}  // namespace vexel
