// The options dialog between the main window's Start button and the batch
// run: the script language of the pages, the two clean-ups and the page
// password. Every change is copied at once into the compression window's
// job fields; only the script language stays here, read by the batch run.
#pragma once

#include "framework/win32/edits.h"
#include "framework/win32/forms.h"
#include "system/control_store.h"
#include "system/form_manager.h"
#include "widgets/check_buttons.h"
#include "widgets/panels.h"
#include "widgets/zel_button.h"

namespace vexel {

class TWindowSet;

class TSavefileto : public TForm {
public:
    TSavefileto(TComponent* AOwner, TWindowSet& Windows);

    TZelPanel* ZelPanel1 = nullptr;
    TZelPanel* ZelPanel4 = nullptr;
    TZelRadiobutton* JavaChoose = nullptr;
    TZelRadiobutton* VbChoose = nullptr;
    TZelCheckbox* UChar = nullptr;
    TZelCheckbox* ZelCheckbox3 = nullptr;
    TZelCheckbox* ZelCheckbox2 = nullptr;
    TZelPanel* ZelPanel5 = nullptr;
    TZelCheckbox* ZelCheckbox4 = nullptr;
    TZelPanel* ZelPanel3 = nullptr;
    TZelCheckbox* ZelCheckbox1 = nullptr;
    TEdit* Edit1 = nullptr;
    TZelButton* ZelButton2 = nullptr;
    TZelButton* ZelButton1 = nullptr;
    // Linked to no control, so it stores nothing.
    TZelControlStore* ZelControlStore1 = nullptr;
    // Top-most; its "&Help" caption button has no title bar to sit in.
    TZelFormManager* ZelFormManager1 = nullptr;

    void FormShow(TObject* Sender);
    void FormHide(TObject* Sender);
    // The password sync, for "Use password" and "Use 3DES encrypt HTML page"
    // alike; it reads "Use password" only.
    void ZelCheckbox1Click(TObject* Sender);
    void Edit1Change(TObject* Sender);
    void ZelCheckbox2Click(TObject* Sender);
    void ZelCheckbox3Click(TObject* Sender);
    void UCharClick(TObject* Sender);
    // OK: hide, then run the batch over the main window's selection.
    void ZelButton2Click(TObject* Sender);
    // Cancel: back to the main window; changes already made stay.
    void ZelButton1Click(TObject* Sender);
    // The "&Help" caption button's handler (the borderless window never
    // shows the button).
    void ZelFormManager1Buttons0Click(TObject* Sender);

protected:
    ~TSavefileto() override = default;

private:
    void BuildCompressOptions(TZelBackground* GroupGround);
    void BuildProtectOptions(TZelBackground* GroupGround);
    TZelPanel* GroupPanel(int Top, int Height, const char* Heading, TZelBackground* Ground);
    template <class TBox>
    TBox* Box(TWinControl* Parent, int X, int Y, int Width, const char* Caption, bool Checked);
    void BindHandlers();

    TWindowSet& windows_;
};

}  // namespace vexel
