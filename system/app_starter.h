// The app starter: a list of documents, programs and addresses that the
// program hands to the shell by number (its home page, a mail to its maker,
// its help file).
//
//     auto* starter = new TZelAppStarter(form);
//     TZelStartableItem* help = starter->Programs()->Add();
//     help->SetExeFile(folder + "\\help.chm");
//     starter->StartProgram(0);
#pragma once

#include <windows.h>

#include <shellapi.h>

#include <cstdint>
#include <memory>
#include <string>

#include "framework/core/classes.h"
#include "framework/win32/forms.h"
#include "system/systems_component.h"

namespace vexel {

// The shell verb an item is started with.
enum TZelExeStyle {
    osDefault,  // the shell's default action: no verb
    osOpen,
    osPrint,
    osExplore,
    osNew,
    osInstall,
    osEdit,
    osFind,
    osTest,
    osConfigure,  // opens, like osOpen
    osPlay,
};

// One thing to start, and how.
class TZelStartableItem : public TCollectionItem {
  public:
    explicit TZelStartableItem(TCollection* Collection);

    // A file, program, document or address (anything the shell can open).
    const std::string& ExeFile() const { return exeFile_; }
    void SetExeFile(const std::string& Value) { exeFile_ = Value; }
    const std::string& Parameters() const { return parameters_; }
    void SetParameters(const std::string& Value) { parameters_ = Value; }
    TZelExeStyle Style() const { return style_; }
    void SetStyle(TZelExeStyle Value);
    // The working folder of the started program; empty for ours.
    const std::string& DefaultPath() const { return defaultPath_; }
    void SetDefaultPath(const std::string& Value) { defaultPath_ = Value; }
    // Block until the started process ends.
    bool Wait() const { return wait_; }
    void SetWait(bool Value) { wait_ = Value; }
    TWindowState Windowstate() const { return windowState_; }
    void SetWindowstate(TWindowState Value);

    // The verb the shell is given; empty for none.
    const std::string& Verb() const { return verb_; }
    // How the started program's window is shown (SW_SHOWNORMAL, ...).
    uint16_t ShowCommand() const { return showCommand_; }

    // "<verb> <ExeFile>", or "Program not configured" without an ExeFile.
    std::string DisplayName() const override;
    // From another item: every property, Style and Windowstate through
    // their setters; anything else as the base copies it.
    void Assign(TPersistent* Source) override;

  private:
    std::string exeFile_;
    std::string parameters_;
    TZelExeStyle style_ = osDefault;
    std::string defaultPath_;
    bool wait_ = false;
    TWindowState windowState_ = wsNormal;
    std::string verb_;
    uint16_t showCommand_ = SW_SHOWNORMAL;
};

// The shell's record of one launch (the W function's, so that a file or
// folder of any name gets there intact), with the texts it points into.
// It stays where it was made: the record points into it.
struct TLaunchInfo {
    TLaunchInfo(const TZelStartableItem& Item, HWND Owner);
    TLaunchInfo(const TLaunchInfo&) = delete;
    TLaunchInfo& operator=(const TLaunchInfo&) = delete;

    const std::wstring Verb, File, Parameters, Directory;
    SHELLEXECUTEINFOW Info{};
};

class TZelAppStarter;

class TZelStartItems : public TCollection {
  public:
    explicit TZelStartItems(TZelAppStarter* Owner);
    TZelAppStarter* Owner() const { return owner_; }
    TZelStartableItem* Items(int Index) const {
        return static_cast<TZelStartableItem*>(TCollection::Items(Index));
    }
    TZelStartableItem* Add() { return static_cast<TZelStartableItem*>(TCollection::Add()); }

  private:
    TZelAppStarter* owner_;
};

class TZelAppStarter : public TZelSystemsComponent {
  public:
    explicit TZelAppStarter(TComponent* AOwner);

    TZelStartItems* Programs() const { return programs_.get(); }
    // Copies the items of Value.
    void SetPrograms(TZelStartItems* Value) { programs_->Assign(Value); }

    // Hands item Index to the shell, then with Wait blocks until the started
    // process ends. What the shell cannot start is silent (the shell may
    // report it itself); the result is always true. No handle of the
    // started process is kept: it is closed once the launch, and the wait,
    // are over. An Index out of range raises EListError.
    bool StartProgram(int Index);

    // The record StartProgram gives the shell for item Index: the
    // application's own window as the owner, the item's verb (none when it
    // is empty), file, parameters, folder and show command, asking for the
    // process handle.
    TLaunchInfo LaunchInfo(int Index) const;

  protected:
    ~TZelAppStarter() override;

  private:
    std::unique_ptr<TZelStartItems> programs_;
};

}  // namespace vexel
