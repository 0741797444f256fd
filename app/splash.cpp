#include "app/splash.h"

#include <windows.h>

#include "app/about.h"
#include "app/window_parts.h"

namespace vexel {

Ttoplogo::Ttoplogo(TComponent* AOwner) : TForm(AOwner) {
    SetCaption("toplogo");
    SetBorderStyle(bsNone);
    SetClientWidth(334);
    SetClientHeight(175);
    UseWindowFont(this);

    ZelPanel1 = new TZelPanel(this);
    ZelPanel1->SetParent(this);
    ZelPanel1->SetAlign(alClient);
    ZelPanel1->FrameInner()->SetFrameStyle(frameFramedUp);
    ZelPanel1->FrameInner()->SetFrameWidth(2);
    ZelPanel1->FrameOuter()->SetFrameStyle(frameLowered);
    ZelPanel1->FrameOuter()->SetFrameWidth(2);

    Image1 = new TImage(this);
    Image1->SetParent(ZelPanel1);
    Image1->SetAlign(alClient);
    Image1->Picture()->LoadFromResourceName(GetModuleHandleW(nullptr), "SPLASH");

    Label1 = MakeLabel(ZelPanel1, 8, 8, "Bulid 0415", {"", 0, 0, clWindowText});

    // The picture leaves the right of its bottom band free for the version,
    // which comes from the program's version resource like every window's.
    VersionLabel = MakeLabel(ZelPanel1, 0, 0, "Version " + ShortVersion(), {"", 0, 0, kBandTextColor});
    VersionLabel->SetLeft(kBandTextRight - VersionLabel->Width());
    VersionLabel->SetTop(kBandMiddle - VersionLabel->Height() / 2);

    // Running from creation: the other windows are made before the message
    // loop starts, and their making counts towards the three seconds.
    Timer1 = new TTimer(this);
    Timer1->SetInterval(kSplashMilliseconds);
    Timer1->OnTimer = [this](TObject* Sender) { Timer1Timer(Sender); };

    ZelFormManager1 = new TZelFormManager(this);
    ZelFormManager1->SetTopMost(true);

    OnShow = [this](TObject* Sender) { FormShow(Sender); };
}

void Ttoplogo::FormShow(TObject*) {
    SetBounds(Screen->Width() / 2 - Width() / 2, Screen->Height() / 2 - Height() / 2, Width(), Height());
}

void Ttoplogo::Timer1Timer(TObject*) {
    if (ShowMainWindow)
        ShowMainWindow();
    Hide();
    Timer1->SetEnabled(false);
    if (ShowStartupTips)
        ShowStartupTips();
}

}  // namespace vexel
