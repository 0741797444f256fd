// vexel-windows: shows one window of the desktop program by name, filled as
// it looks during use, for looking at it and for screenshots
// (scripts/app-screenshot.sh). The splash stays until it is closed.
#include <windows.h>

#include <string>

#include "app/about.h"
#include "app/closing_note.h"
#include "app/conn.h"
#include "app/log_window.h"
#include "app/main_window.h"
#include "app/options_dialog.h"
#include "app/splash.h"
#include "app/tip_window.h"
#include "app/window_set.h"
#include "framework/win32/system_text.h"

namespace vexel {
namespace {

// clang-format off
const char* const kSampleLog[] = {
    "",
    "--------------------------------------------------------------------------------------------------------------",
    "Openfile:C:\\Sites\\shop\\index.htm",
    "Information:    Have some <SCRIPT> in <HEAD></HEAD>.",
    "Compresssed to:C:\\Sites\\shop\\index.htm",
    "  Rate=18431Byte /6120Byte",
    "",
    "--------------------------------------------------------------------------------------------------------------",
    "Openfile:C:\\Sites\\shop\\news.html",
    "Warnning: No support char [0x0E]! ",
    "Compresssed to:C:\\Sites\\shop\\news.html",
    "  Rate=9270Byte /3384Byte",
    "",
    "--------------------------------------------------------------------------------------------------------------",
    "Openfile:C:\\Sites\\shop\\contact.html",
};
// clang-format on

void FillSampleRun(TConn* Conn) {
    for (const char* line : kSampleLog)
        Conn->AddLogLine(line);
    Conn->haveError->Show();
    Conn->Openfile->SetText("C:\\Sites\\shop\\contact.html");
    Conn->Savefile->SetText("C:\\Sites\\shop\\contact.html");
}

// The window a name stands for, or null.
TForm* Pick(TWindowSet& Windows, const std::string& Name) {
    if (Name == "splash")
        return Windows.toplogo;
    if (Name == "main")
        return Windows.Form1;
    if (Name == "compression")
        return Windows.Conn;
    if (Name == "options")
        return Windows.Savefileto;
    if (Name == "tips")
        return Windows.Form4;
    if (Name == "log")
        return Windows.Log;
    if (Name == "note")
        return Windows.IMessage;
    return nullptr;
}

}  // namespace
}  // namespace vexel

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR CommandLine, int) {
    using namespace vexel;
    ScopedApplication application;
    Application->SetTitle("Html Vexel compression");
    Application->SetShowMainForm(false);
    std::string wanted = CommandLine ? CommandLine : "";
    wanted.erase(0, wanted.find_first_not_of(" \t\""));
    wanted.erase(wanted.find_last_not_of(" \t\"") + 1);

    TWindowSetOptions options;
    options.StorePath = std::string(kStorePath) + "\\Window viewer";
    options.MakeSplash = [](TWindowSet& Windows) {
        Ttoplogo* splash = MakeProgramSplash(Windows);
        // Shown for as long as it is looked at.
        splash->Timer1->SetEnabled(false);
        return splash;
    };
    options.MakeMainWindow = MakeProgramMainWindow;
    TWindowSet* windows = CreateWindowSet(options);

    if (wanted == "about") {
        ShowAbout();
        return 0;
    }
    TForm* window = Pick(*windows, wanted);
    if (!window) {
        MessageBoxW(
            nullptr,
            ToSystem("No window \"" + wanted + "\"; windows: splash main compression options tips log note about")
                .c_str(),
            L"Html Vexel windows", MB_ICONSTOP);
        return 2;
    }
    FillSampleRun(windows->Conn);
    if (window == windows->Conn) {
        windows->Conn->TotalGauge->SetPercentage(66);
        windows->Conn->Gauge->SetPercentage(40);
    }
    // Closing or hiding the window ends the program.
    window->OnHide = [](TObject*) { Application->Terminate(); };
    window->Show();
    Application->Run();
    return 0;
}
