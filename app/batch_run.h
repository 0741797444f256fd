// The batch run of the desktop program: every selected page of the main
// window's file list compressed in place, with the compression window
// showing the run and the log window showing its lines afterwards.
#pragma once

#include <string>

namespace vexel {

class TWindowSet;

// The main window's file list as the batch run sees it.
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
};

// The main window's Button2Click, which the options dialog's OK calls: hides
// the main window and the options dialog, shows the compression window, runs
// the engine's batch over the selected items with the options the
// compression window holds and the script language the dialog has, then
// shows the main window and the log window again. A page that cannot be read
// or written ends the run with its error, after the windows are restored.
void Button2Click(TWindowSet& Windows);

}  // namespace vexel
