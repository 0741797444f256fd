// The splash: the first window made, and so the application's main form,
// which ends the program when it closes. Three seconds after it is made it
// hands over to the main window (and the tip window, when the user wants
// tips at start-up) and hides for good.
#pragma once

#include <functional>

#include "framework/win32/forms.h"
#include "framework/win32/image.h"
#include "framework/win32/timer.h"
#include "system/form_manager.h"
#include "widgets/labels.h"
#include "widgets/panels.h"

namespace vexel {

// How long the splash shows, counted from its creation.
constexpr unsigned kSplashMilliseconds = 3000;
// The splash picture's bottom band, in the splash's panel: where its
// version text ends on the right and the band's middle line; and the
// colour of the band's text.
constexpr int kBandTextRight = 318;
constexpr int kBandMiddle = 157;
constexpr TColor kBandTextColor = 0xFFDCC8;

class Ttoplogo : public TForm {
public:
    explicit Ttoplogo(TComponent* AOwner);

    TZelPanel* ZelPanel1 = nullptr;
    TImage* Image1 = nullptr;
    TZelLabel* Label1 = nullptr;
    // "Version 2.5", on the picture's band.
    TZelLabel* VersionLabel = nullptr;
    TTimer* Timer1 = nullptr;
    TZelFormManager* ZelFormManager1 = nullptr;

    // What the tick hands over to, given by the maker of the windows: the
    // main window, and the tip window when the user wants tips at start-up.
    std::function<void()> ShowMainWindow;
    std::function<void()> ShowStartupTips;

    // Left := Screen width div 2 - width div 2, and so for Top.
    void FormShow(TObject* Sender);
    // Shows the main window, hides the splash, stops the timer and shows the
    // tips when they are wanted. Runs once.
    void Timer1Timer(TObject* Sender);

protected:
    ~Ttoplogo() override = default;
};

}  // namespace vexel
