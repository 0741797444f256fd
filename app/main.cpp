// HtmlVexel.exe: the desktop program. Makes the seven windows once, hidden,
// in their order (the splash first, so that it is the application's main
// form, and the main window before the windows that paint with its
// backgrounds), then runs the message loop, which shows the splash.
#include <windows.h>

#include "app/main_window.h"
#include "app/page_choice.h"
#include "app/splash.h"
#include "app/window_set.h"

namespace vexel {
namespace {

constexpr char kApplicationTitle[] = "Html Vexel compression";

// The program's icon on every window's frame and taskbar entry.
void GiveIcon(TCustomForm* Form) {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    const auto big = reinterpret_cast<LPARAM>(LoadIconW(instance, L"MAINICON"));
    const auto small =
        reinterpret_cast<LPARAM>(LoadImageW(instance, L"MAINICON", IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                            GetSystemMetrics(SM_CYSMICON), LR_SHARED));
    SendMessageW(Form->Handle(), WM_SETICON, ICON_BIG, big);
    SendMessageW(Form->Handle(), WM_SETICON, ICON_SMALL, small);
}

}  // namespace
}  // namespace vexel

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    using namespace vexel;
    ScopedApplication application;
    Application->SetTitle(kApplicationTitle);

    TWindowSetOptions options;
    options.MakeSplash = MakeProgramSplash;
    options.MakeMainWindow = MakeProgramMainWindow;
    TWindowSet* windows = CreateWindowSet(options);
    // Pages and folders named on the command line (shortcuts, "Send to",
    // the shell's verbs) are selected before the main window first shows.
    if (auto* main = dynamic_cast<TForm1*>(windows->Form1))
        main->SelectAtStart(ProgramArguments());
    for (TCustomForm* form : windows->Forms())
        GiveIcon(form);
    Application->Run();
    return 0;
}
