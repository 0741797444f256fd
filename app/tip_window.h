// The tip window: one of six tips, the next one each time it is shown, with
// the number of the next tip and the "Show Tips at Startup" box kept in the
// registry through a control store.
#pragma once

#include <cstdint>
#include <string>

#include "app/window_parts.h"
#include "framework/win32/forms.h"
#include "framework/win32/labels.h"
#include "system/control_store.h"
#include "system/form_manager.h"
#include "system/information_label.h"
#include "system/store_controls.h"
#include "widgets/buttons.h"
#include "widgets/labels.h"
#include "widgets/presentation.h"

namespace vexel {

constexpr int kTipCount = 6;
// The three lines of tip n (1 to 6) are kTips[n - 1].
extern const char* const kTips[kTipCount][3];
// The lines the labels hold until a tip is shown.
extern const char* const kDesignTip[3];

// The stored tip number, read as a decimal integer: an optional sign and
// digits, within 32 bits. False for anything else.
bool ParseTipNumber(const std::string& Text, int32_t& Number);

class TForm4 : public TDialogForm {
public:
    // The tip number and the box are kept under StorePath.
    TForm4(TComponent* AOwner, const TDialogGrounds& Grounds, const std::string& StorePath);

    TZelPresentation* ZelPresentation2 = nullptr;  // top band
    TZelPresentation* ZelPresentation1 = nullptr;  // bottom band
    TZelPresentation* ZelPresentation3 = nullptr;  // the area between
    TZelLabel* ZelLabel1 = nullptr;
    TPictureSpot* Image3 = nullptr;
    TLabel* Label1 = nullptr;
    TLabel* Label2 = nullptr;
    TLabel* Label3 = nullptr;
    // The three lines hold the tip as it is written; this label shows it,
    // wrapped to the window's width, since some lines are wider than it.
    TLabel* TipText = nullptr;
    TZelStoreCheckbox* Tipsshow = nullptr;
    TZelOfficeButton* ZelOfficeButton2 = nullptr;
    TZelOfficeButton* ZelOfficeButton1 = nullptr;
    TPictureSpot* Image1 = nullptr;
    // The organisation the computer is registered to, under the corner picture.
    TZelInformationLabel* ZelInformationLabel1 = nullptr;
    TZelStoreEdit* tipid = nullptr;
    TZelControlStore* ZelControlStore1 = nullptr;
    // Top-most; paints the form with a clear brush over its colour.
    TZelFormManager* ZelFormManager1 = nullptr;

    // Whether "Show Tips at Startup" is ticked.
    bool ShowAtStartup() const { return Tipsshow->Checked(); }

    void FormCreate(TObject* Sender);
    // Centres the window on the screen, then shows the next tip.
    void FormShow(TObject* Sender);
    void ZelOfficeButton2Click(TObject* Sender);
    void ZelOfficeButton1Click(TObject* Sender);

    // Shows tip `tipid` when it is 1 to 6 and stores the number of the one
    // after it: n + 1 below 6, else 1. A stored text that is no number is
    // taken as out of range, so the next showing starts again at tip 1.
    void NextTip();

protected:
    ~TForm4() override = default;

private:
    void BuildBands(const TDialogGrounds& Grounds);
    void BuildTipArea(const TDialogGrounds& Grounds);
    void BuildStoredControls();

    void ShowTipText();
};

}  // namespace vexel
