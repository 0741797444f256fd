// The main window: a skinned borderless window dragged by its background
// picture, its tool and link buttons and popup menu, and the pages it
// offers to the batch run: a drive box, a folder list, a file list with its
// file-type box, and a preview of the clicked page as text.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "app/batch_run.h"
#include "app/window_parts.h"
#include "framework/win32/combo_box.h"
#include "framework/win32/edits.h"
#include "framework/win32/file_controls.h"
#include "framework/win32/forms.h"
#include "framework/win32/image.h"
#include "framework/win32/menus.h"
#include "framework/win32/panels.h"
#include "framework/win32/timer.h"
#include "system/app_starter.h"
#include "system/explorer_view.h"
#include "system/form_manager.h"
#include "widgets/buttons.h"
#include "widgets/labels.h"
#include "widgets/panels.h"
#include "widgets/zel_button.h"

namespace vexel {

class TIMessage;

// What the main window uses of the windows around it, given by their maker.
struct TMainWindowTies {
    TDialogGrounds Grounds;
    // The windows of the runs the main window starts: the options dialog,
    // which Start shows, and those of the restore and verify runs.
    std::function<TRunWindows()> RunWindows;
    // The closing note, which the main window waits on as it closes; null
    // without one.
    std::function<TIMessage*()> ClosingNote;
    std::function<void()> ShowTips;
    std::function<void()> ShowLog;
};

// The file list's mask for a text of the file-type box: the four texts it
// knows, compared exactly; any other text leaves Current as it is.
std::string MaskForFileType(const std::string& BoxText, const std::string& Current);

// Preview text as an edit control can show it: the spacing accents that
// fault the system's text layout where they start a run, as look-alikes.
std::string WithoutFaultingMarks(std::string Text);

class TForm1 : public TForm, public TFileSelection {
public:
    TForm1(TComponent* AOwner, TMainWindowTies Ties);

    // The frame.
    TImage* Image4 = nullptr;
    TZelLabel* ZelLabel6 = nullptr;
    TZelIEButton* ZelIEButton1 = nullptr;  // Help
    TZelIEButton* ZelIEButton2 = nullptr;  // Tips
    TZelIEButton* ZelIEButton3 = nullptr;  // LOGs
    TZelIEButton* ZelIEButton7 = nullptr;  // Exit
    TImage* Image6 = nullptr;              // the small close picture
    TZelIEButton* ZelIEButton4 = nullptr;  // home page
    TZelIEButton* ZelIEButton8 = nullptr;  // mail
    TPopupMenu* PopupMenu1 = nullptr;
    TMenuItem* ViewLog1 = nullptr;
    TMenuItem* Help1 = nullptr;
    TMenuItem* Tops1 = nullptr;
    TMenuItem* Aboutus1 = nullptr;
    TMenuItem* Exit1 = nullptr;
    TMenuItem* Restore1 = nullptr;
    TMenuItem* Verify1 = nullptr;
    // The file list's own menu: compress, restore, verify, select all.
    TPopupMenu* PopupMenu2 = nullptr;
    // Home page, mail to us, and the help file (its full path set before
    // each launch).
    TZelAppStarter* ZelAppStarter1 = nullptr;

    // File selection and preview.
    TZelPanel* panel5 = nullptr;
    TDriveComboBox* DriveComboBox1 = nullptr;
    TComboBox* ComboBox1 = nullptr;
    TDirectoryListBox* DirectoryListBox1 = nullptr;
    TZelExplorerView* ZelExplorerView1 = nullptr;
    TZelPanel* panel2 = nullptr;
    TImage* Image3 = nullptr;
    TPanel* Web = nullptr;
    TMemo* Sourcecode = nullptr;
    TZelButton* ZelButton1 = nullptr;  // Start
    // Takes pages and folders dropped from the shell.
    TZelFormManager* ZelFormManager1 = nullptr;

    // Handlers.
    void FormCreate(TObject* Sender);
    // The close sequence: hides the window, shows the closing note and
    // waits, handling messages, until the note's button has gone.
    void FormClose(TObject* Sender, TCloseAction& Action);
    void Image4MouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void Image4MouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
    void Image4MouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void ZelIEButton1Click(TObject* Sender);  // and Help1Click
    void ZelIEButton2Click(TObject* Sender);  // and Tops1Click
    void ZelIEButton3Click(TObject* Sender);  // and ViewLog1Click
    void ZelIEButton7Click(TObject* Sender);  // and Image6Click, Exit1Click
    void ZelIEButton4Click(TObject* Sender);
    void ZelIEButton8Click(TObject* Sender);
    void Aboutus1Click(TObject* Sender);
    void DriveComboBox1Change(TObject* Sender);
    void DirectoryListBox1Change(TObject* Sender);
    void ComboBox1Change(TObject* Sender);
    // The preview of the clicked item, when it is a selected page.
    void ZelExplorerView1Click(TObject* Sender);
    // Start: shows the options dialog.
    void ZelButton1Click(TObject* Sender);
    void FormShow(TObject* Sender);
    void Restore1Click(TObject* Sender);
    void Verify1Click(TObject* Sender);
    // Ctrl+A in the file list selects every item.
    void ZelExplorerView1KeyDown(TObject* Sender, WORD& Key, TShiftState Shift);
    void ZelFormManager1DropFiles(TObject* Sender, int X, int Y, TStringList* Files, int FileCount);

    // Opens the folder of the given pages (UTF-8 paths, or a folder) and
    // selects them (a folder: its pages); gives back what was not taken,
    // each naming the path and the reason.
    std::vector<std::string> SelectPaths(const std::vector<std::string>& Paths);
    // Pages from the command line: selected now, and what was not taken
    // is shown in a box when the window first shows.
    void SelectAtStart(const std::vector<std::string>& Paths);
    // The box that names paths not taken; a test records it instead.
    std::function<void(const std::string& Text)> ShowNotice;

    // The file list as the batch run reads it.
    int Count() override;
    bool Selected(int Index) override;
    // Makes item Index the current one and gives the list's FileName.
    std::string Path(int Index) override;
    void SetCurrent(int Index) override;
    void FilesChanged() override;

    // Where the buttons and menu items hand an item of ZelAppStarter1 to
    // the shell; a test watches the launches here instead.
    std::function<void(int Index)> StartProgram;

    // Whether the background picture is being dragged.
    bool Dragging() const { return dragging_ != 0; }

protected:
    ~TForm1() override = default;

private:
    void BuildFrame();
    void BuildFileSelection();
    void BuildPreview();
    void LayOutDriveAndFileType();
    TZelIEButton* ToolButton(int Left, const char* Caption, const char* Glyph);
    TZelIEButton* LinkButton(int Left, int Top, const std::string& Caption);
    // The names of the selected items, and selecting them again after the
    // list was read anew.
    std::vector<std::string> SelectedNames();
    void Reselect(const std::vector<std::string>& Names);
    // Shows a page in the preview: as text, a page of ours named and expanded.
    void ShowSource(const std::string& File);

    TMainWindowTies ties_;
    std::string startNotice_;
    // The page the preview shows.
    std::string previewed_;
    // Shows startNotice_ once the show that asked for it is over.
    TTimer* noticeTimer_ = nullptr;
    // The drag of the background picture: a flag and the point pressed.
    int dragging_ = 0;
    int startX_ = 0;
    int startY_ = 0;
};

}  // namespace vexel
