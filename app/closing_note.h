// The closing note, the last window the user sees: a reminder about
// uploading the pages, and the button that ends the program.
#pragma once

#include <functional>

#include "app/window_parts.h"
#include "framework/win32/forms.h"
#include "system/form_manager.h"
#include "widgets/labels.h"
#include "widgets/panels.h"
#include "widgets/zel_button.h"

namespace vexel {

class TIMessage : public TDialogForm {
public:
    TIMessage(TComponent* AOwner, const TDialogGrounds& Grounds, TMainWindowLink MainWindow);

    TZelPanel* ZelPanel1 = nullptr;
    TZelButton* ZelButton1 = nullptr;
    TZelFormManager* ZelFormManager1 = nullptr;  // top-most

    void FormCreate(TObject* Sender);
    void FormShow(TObject* Sender);
    // Hides the button (the main window's close handler waits for that),
    // then ends the program through OnEndProgram.
    void ZelButton1Click(TObject* Sender);

    // Closes the application's main form, which ends the program.
    std::function<void()> OnEndProgram;

protected:
    ~TIMessage() override = default;

private:
    TMainWindowLink mainWindow_;
};

}  // namespace vexel
