#include "system/app_starter.h"

#include <iterator>

#include "framework/core/sysutils.h"
#include "framework/win32/system_text.h"

namespace vexel {

namespace {

// The verb of each TZelExeStyle, in the order of the enumeration. The
// letter case is the one the shell has always been given; verbs compare
// without it.
const char* const kVerbs[] = {
    "", "open", "Print", "explore", "new", "Install", "edit", "find", "Test", "open", "Play",
};
static_assert(std::size(kVerbs) == osPlay + 1, "a verb for every style");

uint16_t ShowCommandOf(TWindowState State) {
    switch (State) {
        case wsMinimized:
            return SW_SHOWMINIMIZED;
        case wsMaximized:
            return SW_SHOWMAXIMIZED;
        case wsNormal:
            break;
    }
    return SW_SHOWNORMAL;
}

}  // namespace

// ---- TZelStartableItem ----

TZelStartableItem::TZelStartableItem(TCollection* Collection) : TCollectionItem(Collection) {}

void TZelStartableItem::SetStyle(TZelExeStyle Value) {
    style_ = Value;
    verb_ = Value >= osDefault && Value <= osPlay ? kVerbs[Value] : "";
}

void TZelStartableItem::SetWindowstate(TWindowState Value) {
    if (windowState_ == Value)
        return;
    windowState_ = Value;
    showCommand_ = ShowCommandOf(Value);
}

std::string TZelStartableItem::DisplayName() const {
    if (exeFile_.empty())
        return "Program not configured";
    return verb_ + " " + exeFile_;
}

void TZelStartableItem::Assign(TPersistent* Source) {
    auto* item = dynamic_cast<TZelStartableItem*>(Source);
    if (!item) {
        TCollectionItem::Assign(Source);
        return;
    }
    exeFile_ = item->exeFile_;
    parameters_ = item->parameters_;
    SetStyle(item->style_);
    defaultPath_ = item->defaultPath_;
    wait_ = item->wait_;
    SetWindowstate(item->windowState_);
}

// ---- TZelStartItems ----

TZelStartItems::TZelStartItems(TZelAppStarter* Owner)
    : TCollection(ItemClass<TZelStartableItem>()), owner_(Owner) {}

// ---- TZelAppStarter ----

TZelAppStarter::TZelAppStarter(TComponent* AOwner)
    : TZelSystemsComponent(AOwner), programs_(std::make_unique<TZelStartItems>(this)) {}

TZelAppStarter::~TZelAppStarter() = default;

TLaunchInfo::TLaunchInfo(const TZelStartableItem& Item, HWND Owner)
    : Verb(ToSystem(Item.Verb())),
      File(ToSystem(Item.ExeFile())),
      Parameters(ToSystem(Item.Parameters())),
      Directory(ToSystem(Item.DefaultPath())) {
    Info.cbSize = sizeof(Info);
    Info.fMask = SEE_MASK_NOCLOSEPROCESS;
    Info.hwnd = Owner;
    Info.lpVerb = Verb.empty() ? nullptr : Verb.c_str();
    Info.lpFile = File.c_str();
    Info.lpParameters = Parameters.c_str();
    Info.lpDirectory = Directory.c_str();
    Info.nShow = Item.ShowCommand();
}

TLaunchInfo TZelAppStarter::LaunchInfo(int Index) const {
    return TLaunchInfo(*programs_->Items(Index), Application ? Application->Handle() : nullptr);
}

bool TZelAppStarter::StartProgram(int Index) {
    TLaunchInfo launch = LaunchInfo(Index);
    SHELLEXECUTEINFOW& info = launch.Info;
    bool wait = programs_->Items(Index)->Wait();
    // The shell reports what it cannot start in its own message box.
    ShellExecuteExW(&info);
    if (info.hProcess) {
        // A document opened by a program that was running already, or by
        // DDE, has no process of its own: then there is nothing to wait for.
        if (wait)
            WaitForSingleObject(info.hProcess, INFINITE);
        CloseHandle(info.hProcess);
    }
    return true;
}

}  // namespace vexel
