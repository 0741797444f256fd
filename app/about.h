// Who the program is: its name, version, build date, licence and addresses;
// the help file beside the program; and the About box.
#pragma once

#include <string>

namespace vexel {

extern const char kProductName[];
extern const char kLicence[];
// The project's home page and mail address: the tip window, the main
// window's link buttons and the About box show them.
extern const char kHomePage[];
extern const char kMailAddress[];

// The project's version ("2.5.0"), read from the program's version
// resource, and its first two numbers ("2.5") as the windows show it.
std::string ProductVersion();
std::string ShortVersion();
// "Html Vexel Pro v2.5": the main window's caption, which shortcuts, tests
// and tools outside the program look the window up by.
std::string MainWindowCaption();
std::string BuildDate();

// The folder of the running program file: its full path up to its last
// backslash (a drive root keeps its backslash).
std::string ProgramFolder();
// "help.chm" in the program's folder, whatever the working folder.
std::string HelpFilePath();
// Opens the help file through the shell, which reports a missing file or
// viewer itself.
void OpenHelp();

// The About box's text, and the box itself (modal).
std::string AboutText();
void ShowAbout();

}  // namespace vexel
