// Pages handed to the desktop program from outside it: on its command line
// (shortcuts, "Send to", the Explorer verbs) or dropped on the main window.
// The main window shows one folder at a time, so what they select is the
// pages of one folder.
#pragma once

#include <string>
#include <vector>

namespace vexel {

// The arguments of a command line as the system splits it, without the
// program's own name, in UTF-8.
std::vector<std::string> ArgumentsOf(const std::wstring& CommandLine);
// The arguments this process was started with.
std::vector<std::string> ProgramArguments();

struct TPageChoice {
    // The folder the main window opens (UTF-8, absolute); empty when nothing
    // given could be used.
    std::string Folder;
    // Names in Folder to select, as given.
    std::vector<std::string> Names;
    // What was not taken, each naming the path and the reason.
    std::vector<std::string> Refused;
};

// The first path that exists decides the folder: a folder is opened itself,
// a page opens its own folder. A folder given selects its pages (.htm and
// .html files; its sub-folders are shown, not descended into); a page
// selects itself. Paths in another folder, files that are not pages and
// backups are refused with their reason.
TPageChoice ChoosePages(const std::vector<std::string>& Paths);

}  // namespace vexel
