// The system's modal dialogs: message boxes (ShowMessage, MessageDlg) and
// the open and save file dialogs.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "framework/core/classes.h"
#include "framework/core/string_list.h"

namespace vexel {

// ---- Message boxes ----

enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
enum TMsgDlgBtnFlag : uint32_t {
    mbYes = 1,
    mbNo = 2,
    mbOK = 4,
    mbCancel = 8,
    mbAbort = 16,
    mbRetry = 32,
    mbIgnore = 64,
};
using TMsgDlgButtons = uint32_t;
constexpr TMsgDlgButtons mbYesNoCancel = mbYes | mbNo | mbCancel;
constexpr TMsgDlgButtons mbOKCancel = mbOK | mbCancel;
constexpr TMsgDlgButtons mbAbortRetryIgnore = mbAbort | mbRetry | mbIgnore;

// Shows Msg in a message box with an OK button, captioned with the
// application's Title, and returns when the user closed it.
void ShowMessage(const std::string& Msg);

// Shows Msg with the icon and caption of its type ("Warning", "Error",
// "Information", "Confirm"; mtCustom: no icon, the application's Title) and
// the buttons asked for, which must be one of the system's sets: OK, OK and
// Cancel, Yes and No, Yes No and Cancel, Retry and Cancel, Abort Retry and
// Ignore (any other set raises EInvalidOperation). Returns the button
// clicked as mrOk, mrCancel, mrYes, ... (buttons.h).
int MessageDlg(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons);

// ---- File dialogs ----

enum TOpenOptionFlag : uint32_t {
    ofReadOnly = 1,
    ofOverwritePrompt = 2,
    ofHideReadOnly = 4,
    ofNoChangeDir = 8,
    ofAllowMultiSelect = 16,
    ofPathMustExist = 32,
    ofFileMustExist = 64,
    ofCreatePrompt = 128,
    ofNoReadOnlyReturn = 256,
    ofNoTestFileCreate = 512,
    ofEnableSizing = 1024,
};
using TOpenOptions = uint32_t;

using TCanCloseEvent = std::function<void(TObject* Sender, bool& CanClose)>;

// The system's file dialog for picking a file to open. Execute shows it
// modally over the active window and returns true when the user chose a
// file: FileName is its full path, and with ofAllowMultiSelect Files holds
// every chosen path (FileName the first). Cancelling returns false and
// leaves FileName as it was. A dialog the system cannot show raises
// EInvalidOperation with the system's error number.
//
// Filter is "Description|Pattern|Description|Pattern..." ("Pages|*.htm;*.html|
// All files|*.*"); FilterIndex counts from 1. Names are UTF-8, of any
// length the system allows.
//
// The events come from the dialog while it is open, through the framework's
// guarded edge (an exception is reported, the dialog stays): OnShow once it
// is shown (Handle() is then its window), OnSelectionChange, OnFolderChange
// and OnTypeChange as the user works, and OnCanClose when the user clicks
// the OK button (FileName is then the file the dialog would give; clearing
// CanClose keeps the dialog open). OnClose fires after it closed, in every
// case.
class TOpenDialog : public TComponent {
  public:
    explicit TOpenDialog(TComponent* AOwner);

    virtual bool Execute();

    const std::string& FileName() const { return fileName_; }
    void SetFileName(const std::string& Value) { fileName_ = Value; }
    TStrings* Files() const { return files_.get(); }
    const std::string& Filter() const { return filter_; }
    void SetFilter(const std::string& Value) { filter_ = Value; }
    int FilterIndex() const { return filterIndex_; }
    void SetFilterIndex(int Value) { filterIndex_ = Value; }
    const std::string& InitialDir() const { return initialDir_; }
    void SetInitialDir(const std::string& Value) { initialDir_ = Value; }
    const std::string& Title() const { return title_; }
    void SetTitle(const std::string& Value) { title_ = Value; }
    // Added to a typed name without an extension ("htm", with or without
    // the dot).
    const std::string& DefaultExt() const { return defaultExt_; }
    void SetDefaultExt(const std::string& Value) { defaultExt_ = Value; }
    TOpenOptions Options() const { return options_; }
    void SetOptions(TOpenOptions Value) { options_ = Value; }

    // The dialog's window while it is open, else null.
    HWND Handle() const { return handle_; }

    TNotifyEvent OnShow;
    TNotifyEvent OnClose;
    TCanCloseEvent OnCanClose;
    TNotifyEvent OnSelectionChange;
    TNotifyEvent OnFolderChange;
    TNotifyEvent OnTypeChange;

  protected:
    ~TOpenDialog() override;
    bool DoExecute(bool Save);

  private:
    static UINT_PTR CALLBACK HookProc(HWND Dialog, UINT Msg, WPARAM WParam, LPARAM LParam);
    UINT_PTR Hook(HWND Dialog, UINT Msg, LPARAM LParam);
    // The path the dialog shows right now.
    std::string CurrentPath() const;

    std::string fileName_;
    std::unique_ptr<TStringList> files_;
    std::string filter_;
    int filterIndex_ = 1;
    std::string initialDir_;
    std::string title_;
    std::string defaultExt_;
    TOpenOptions options_ = ofHideReadOnly | ofEnableSizing;
    HWND handle_ = nullptr;
};

// The system's file dialog for naming a file to save; as TOpenDialog, with
// ofOverwritePrompt asking before an existing file is chosen.
class TSaveDialog : public TOpenDialog {
  public:
    using TOpenDialog::TOpenDialog;
    bool Execute() override;

  protected:
    ~TSaveDialog() override = default;
};

}  // namespace vexel
