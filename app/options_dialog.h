// The options dialog between the main window's Start button and the batch
// run: the page format (classic JavaScript, classic VBScript or the modern
// page), the two clean-ups, the modern page's encryption and the classic
// page's password, which come to one value the run takes. The choices (never
// the passwords) are kept in the program's registry key between runs.
#pragma once

#include <functional>
#include <string>

#include "app/run_options.h"
#include "app/window_parts.h"
#include "framework/win32/edits.h"
#include "framework/win32/forms.h"
#include "platform/crypto.h"
#include "system/control_store.h"
#include "system/form_manager.h"
#include "widgets/check_buttons.h"
#include "widgets/labels.h"
#include "widgets/panels.h"
#include "widgets/zel_button.h"

namespace vexel {

// An edit box that shows its text as stars until told otherwise.
class TPasswordEdit : public TEdit {
public:
    explicit TPasswordEdit(TComponent* AOwner) : TEdit(AOwner) { SetSecret(true); }
    bool Masked() const { return masked_; }
    void SetMasked(bool Value);

protected:
    ~TPasswordEdit() override = default;
    void CreateParams(TCreateParams& Params) const override;

private:
    bool masked_ = true;
};

// What the encryption choices come to, in the words the dialog shows.
struct TSealState {
    bool Encrypts = false;
    std::string Note;
};
TSealState SealStateOf(bool Ticked, bool Modern, const std::string& Password, const std::string& Again, bool Shown);

class TSavefileto : public TDialogForm {
public:
    // The choices are kept under StorePath; the dialog shows over the main
    // window and gives way to it again.
    TSavefileto(TComponent* AOwner,
                const TDialogGrounds& Grounds,
                const std::string& StorePath,
                TMainWindowLink MainWindow);

    TZelPanel* ZelPanel1 = nullptr;
    TZelPanel* ZelPanel4 = nullptr;
    TZelRadiobutton* JavaChoose = nullptr;
    TZelRadiobutton* VbChoose = nullptr;
    TZelRadiobutton* ModernChoose = nullptr;
    // Modern pages of the run's folder share one decoder file there.
    TZelCheckbox* SiteFile = nullptr;
    TZelCheckbox* UChar = nullptr;
    TZelCheckbox* ZelCheckbox3 = nullptr;
    TZelCheckbox* ZelCheckbox2 = nullptr;
    // Encryption of the modern page.
    TZelPanel* ZelPanel5 = nullptr;
    TZelCheckbox* ZelCheckbox4 = nullptr;
    TPasswordEdit* SealPassword = nullptr;
    TPasswordEdit* SealAgain = nullptr;
    TZelCheckbox* SealShow = nullptr;
    TZelLabel* SealNote = nullptr;
    // The classic page's password prompt.
    TZelPanel* ZelPanel3 = nullptr;
    TZelCheckbox* ZelCheckbox1 = nullptr;
    TEdit* Edit1 = nullptr;
    TZelButton* ZelButton2 = nullptr;
    TZelButton* ZelButton1 = nullptr;
    // The dialog's choices, under the program's key.
    TZelControlStore* ZelControlStore1 = nullptr;
    // Top-most; its "&Help" caption button has no title bar to sit in.
    TZelFormManager* ZelFormManager1 = nullptr;

    void FormShow(TObject* Sender);
    void FormHide(TObject* Sender);
    // "Use password" enables the classic password.
    void ZelCheckbox1Click(TObject* Sender);
    void ZelCheckbox2Click(TObject* Sender);
    void ZelCheckbox3Click(TObject* Sender);
    void UCharClick(TObject* Sender);
    // The format or any encryption control changed: what is enabled, and
    // the note saying whether the pages will be encrypted.
    void FormatClick(TObject* Sender);
    void SealChange(TObject* Sender);
    // OK: hide, then OnRun. When encryption is ticked but cannot happen,
    // the user is asked first.
    void ZelButton2Click(TObject* Sender);
    // Cancel: back to the main window; changes already made stay.
    void ZelButton1Click(TObject* Sender);
    // The "&Help" caption button's handler (the borderless window never
    // shows the button).
    void ZelFormManager1Buttons0Click(TObject* Sender);

    bool Modern() const { return ModernChoose->Checked(); }
    // The format the three buttons choose.
    PageFormat Format() const;
    // The run these choices ask for.
    TRunOptions RunOptions() const;
    // The password the pages are encrypted with; empty: not encrypted.
    platform::SecretText Seal() const;
    // The password typed in the encryption box, whatever the format: the one
    // verify opens encrypted pages with.
    platform::SecretText TypedSeal() const;
    // The question asked when encryption is ticked but will not happen;
    // a test answers it instead. True: run all the same.
    std::function<bool(const std::string& Text)> AskToRun;
    // The batch over the main window's selection with these choices.
    std::function<void()> OnRun;

    // Kept in the store: the format and the ticks.
    void SaveChoices();
    void LoadChoices();

protected:
    ~TSavefileto() override = default;

private:
    void BuildCompressOptions(TZelBackground* GroupGround);
    void BuildEncryptOptions(TZelBackground* GroupGround);
    void BuildProtectOptions(TZelBackground* GroupGround);
    TZelPanel* GroupPanel(int Top, int Height, const char* Heading, TZelBackground* Ground);
    // A box sized to its caption in its own font.
    template <class TBox>
    TBox* Box(TWinControl* Parent, int X, int Y, const char* Caption, bool Checked);
    void BindHandlers();
    // What the encryption controls come to now.
    TSealState SealState() const;
    // Copies every option into the job fields.
    void SyncJobFields();

    void ShowMainWindow();

    TMainWindowLink mainWindow_;
    bool loading_ = false;
};

}  // namespace vexel
