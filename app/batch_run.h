// The runs of the desktop program over the pages selected in the main
// window's file list: the batch that compresses them in place, with the
// compression window showing the run and the log window its lines
// afterwards, and the restore and verify runs, whose lines go to the log
// window too.
#pragma once

#include <string>
#include <vector>

#include "engine/page_format.h"
#include "engine/page_options.h"

namespace vexel {

class TConn;
class TSavefileto;

// The main window's file list as the runs see it.
class TFileSelection {
public:
    virtual ~TFileSelection() = default;

    virtual int Count() = 0;
    virtual bool Selected(int Index) = 0;
    // The full path of item Index (the list's folder joined with its name),
    // in UTF-8.
    virtual std::string Path(int Index) = 0;
    // Makes item Index the list's current item; the selection stays.
    virtual void SetCurrent(int Index) = 0;
    // A run changed the folder's files: the list and the preview read
    // them again, the selection kept.
    virtual void FilesChanged() {}
};

// The windows a run uses, each null when it is gone: the compression
// window, which shows the run; the options dialog, whose choices a compress
// run takes; and the main window's file list, whose selected pages it runs
// over.
struct TRunWindows {
    TConn* Conn = nullptr;
    TSavefileto* Options = nullptr;
    TFileSelection* Selection = nullptr;
};

// The texts of the boxes the runs show.
extern const char kNothingSelected[];

// The main window's Button2Click, which the options dialog's OK calls: hides
// the main window and the options dialog, shows the compression window, runs
// the engine's batch over the selected items with the options the
// compression window holds and the page format the dialog has, then
// shows the main window and the log window again and a box with the run's
// summary. A page that cannot be read or written ends the run with its
// error, after the windows are restored. Without a selected item it only
// says so.
void Button2Click(const TRunWindows& Windows);

// The selected pages put back from their backups, or checked against them
// (an encrypted page with the password the options dialog holds); a line
// for each page and a count at the end, in the log window.
void RestoreSelected(const TRunWindows& Windows);
void VerifySelected(const TRunWindows& Windows);

// For each of Pages, whether the classic formats would lose some of its text
// with Options (a file that is no page, cannot be read or is compressed
// already: no).
std::vector<bool> PagesLosingText(const std::vector<std::string>& Pages, const JobOptions& Options);
// The question before such a run, offering the modern page for them.
std::string LosingTextQuestion(int Losing, int Selected, PageFormat Format, bool Password);

// The full paths of the selected items, in list order.
std::vector<std::string> SelectedPaths(TFileSelection& Selection);

}  // namespace vexel
