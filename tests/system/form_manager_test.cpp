// The form manager on real windows: its two failures, styles from Properties,
// top-most, tracking limits, system commands, dropped files, the order of its
// handlers, hooks that come back after the window is re-created, docking,
// exceptions from events, and nothing left behind once it goes.
#include <gtest/gtest.h>
#include <windows.h>

#include <shlobj.h>

#include <cstring>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "framework/win32/gdi.h"
#include "framework/win32/panels.h"
#include "system/form_manager.h"
#include "tests/system/form_test_support.h"

using namespace vexel;
using vexel::testing::FormManagerTest;
using vexel::testing::PumpUntil;
using vexel::testing::TProbeForm;
using vexel::testing::TWatchHook;

namespace {

// A drop of the shell: a DROPFILES block followed by the ANSI names, each
// ended by a zero, and one more zero at the end.
HGLOBAL MakeDrop(const std::vector<std::string>& names, POINT at) {
    size_t size = sizeof(DROPFILES) + 1;
    for (const std::string& name : names)
        size += name.size() + 1;
    HGLOBAL memory = GlobalAlloc(GHND, size);
    auto* block = static_cast<DROPFILES*>(GlobalLock(memory));
    block->pFiles = sizeof(DROPFILES);
    block->pt = at;
    block->fNC = FALSE;
    block->fWide = FALSE;
    char* text = reinterpret_cast<char*>(block) + sizeof(DROPFILES);
    for (const std::string& name : names) {
        std::memcpy(text, name.c_str(), name.size() + 1);
        text += name.size() + 1;
    }
    GlobalUnlock(memory);
    return memory;
}

bool StillAllocated(HGLOBAL memory) {
    return GlobalFlags(memory) != GMEM_INVALID_HANDLE && GlobalSize(memory) != 0;
}

MINMAXINFO SystemLimits() {
    MINMAXINFO info{};
    info.ptMinTrackSize = {112, 27};
    info.ptMaxTrackSize = {1292, 1036};
    return info;
}

}  // namespace

TEST_F(FormManagerTest, OneManagerPerWindowedOwnerAndFailuresLeaveNothingBehind) {
    auto* manager = new TZelFormManager(form_);
    EXPECT_EQ(HookList().Count(), hooksBefore_ + 2);
    EXPECT_EQ(manager->Form(), form_);

    try {
        new TZelFormManager(form_);
        FAIL() << "a second manager was made";
    } catch (const EZelDuplicateError& e) {
        EXPECT_EQ(e.Message(),
                  "You can have one and only one \r\nTZelFormManager Component \r\nper form in your project");
    }
    EXPECT_EQ(form_->ComponentCount(), 1);
    EXPECT_EQ(HookList().Count(), hooksBefore_ + 2);
    EXPECT_EQ(form_->MessageHookCount(), 2);

    ScopedFree<TZelStoreData> windowless(new TZelStoreData(nullptr));
    for (TComponent* owner :
         {static_cast<TComponent*>(windowless.get()), static_cast<TComponent*>(nullptr)}) {
        try {
            new TZelFormManager(owner);
            FAIL() << "a manager without a window was made";
        } catch (const EZelOwnerFormNeeded& e) {
            EXPECT_EQ(e.Message(), "TZelFormManager needs to reside on a TCustomForm descendant");
        }
    }
    EXPECT_EQ(windowless->ComponentCount(), 0);
    EXPECT_EQ(HookList().Count(), hooksBefore_ + 2);
}

TEST_F(FormManagerTest, PropertiesAreReadFromTheWindowAndDecideItsStyles) {
    // A sizeable form reads back as the stored default.
    auto* sizeable = new TZelFormManager(form_);
    EXPECT_EQ(sizeable->Properties(), ZelDefaultFormProperties);
    TProbeForm* dialog = NewForm("Dialog", bsDialog);
    auto* manager = new TZelFormManager(dialog);
    EXPECT_TRUE(manager->Properties().Contains(wsexDlgModalFrame));
    EXPECT_FALSE(manager->Properties().Contains(wsThickframe));
    EXPECT_FALSE(manager->Properties().Contains(dsgnPreview));

    HWND window = dialog->Handle();
    // Border and dialog frame alone make the caption...
    manager->SetProperties({wsBorder, wsDlgFrame, wsexAcceptFiles});
    EXPECT_EQ(Style(window) & WS_CAPTION, static_cast<DWORD>(WS_CAPTION));
    EXPECT_TRUE(ExStyle(window) & WS_EX_CONTROLPARENT);
    EXPECT_TRUE(ExStyle(window) & WS_EX_ACCEPTFILES);
    EXPECT_FALSE(ExStyle(window) & WS_EX_DLGMODALFRAME);
    EXPECT_FALSE(Style(window) & (WS_SYSMENU | WS_THICKFRAME));
    // ... and the caption element alone makes none.
    manager->SetProperties({wsCaption, wsSysMenu, wsexToolwindow});
    EXPECT_EQ(Style(window) & WS_CAPTION, 0u);
    EXPECT_TRUE(Style(window) & WS_SYSMENU);
    EXPECT_TRUE(ExStyle(window) & WS_EX_TOOLWINDOW);
    EXPECT_FALSE(ExStyle(window) & WS_EX_ACCEPTFILES);
    EXPECT_EQ(manager->Properties(), (TZelFormPropertySet{wsCaption, wsSysMenu, wsexToolwindow}));

    // Loading applies the set once more, over whatever the window has now.
    SetWindowLongA(window, GWL_STYLE, static_cast<LONG>(Style(window) | WS_THICKFRAME));
    dialog->BeginLoading();
    dialog->EndLoading();
    EXPECT_FALSE(Style(window) & WS_THICKFRAME);
}

TEST_F(FormManagerTest, TopMostMovesTheFormInAndOutOfTheTopMostBand) {
    auto* manager = new TZelFormManager(form_);
    HWND window = form_->Handle();
    EXPECT_FALSE(ExStyle(window) & WS_EX_TOPMOST);
    manager->SetTopMost(true);
    EXPECT_TRUE(ExStyle(window) & WS_EX_TOPMOST);
    manager->SetTopMost(false);
    EXPECT_FALSE(ExStyle(window) & WS_EX_TOPMOST);

    // Going, the manager takes the form out of the band.
    manager->SetTopMost(true);
    manager->Free();
    EXPECT_FALSE(ExStyle(window) & WS_EX_TOPMOST);
}

TEST_F(FormManagerTest, ConstraintsOverrideTheTrackingLimitsTheyGive) {
    auto* manager = new TZelFormManager(form_);
    HWND window = form_->Handle();
    MSG pending;
    while (PeekMessageA(&pending, window, WM_SIZE, WM_SIZE, PM_REMOVE)) {
    }
    manager->Constraints()->SetMinWidth(300);
    // Every change asks the form to check its size, a repeated value too.
    EXPECT_TRUE(PeekMessageA(&pending, window, WM_SIZE, WM_SIZE, PM_REMOVE));
    EXPECT_EQ(pending.wParam, 0u);
    EXPECT_EQ(pending.lParam, 0);
    manager->Constraints()->SetMinWidth(300);
    EXPECT_TRUE(PeekMessageA(&pending, window, WM_SIZE, WM_SIZE, PM_REMOVE));

    MINMAXINFO info = SystemLimits();
    SendMessageA(window, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.ptMinTrackSize.x, 300);
    EXPECT_EQ(info.ptMinTrackSize.y, 27);
    EXPECT_EQ(info.ptMaxTrackSize.x, 1292);  // MaxWidth 0: the system's own
    EXPECT_EQ(info.ptMaxTrackSize.y, 1036);

    // The handler gets the fields themselves, and its changes stay.
    int calls = 0;
    manager->OnGetConstraints = [&](TObject* sender, int32_t& minW, int32_t& maxW, int32_t& minH,
                                    int32_t& maxH) {
        ++calls;
        EXPECT_EQ(sender, manager);
        EXPECT_EQ(minW, 300);
        EXPECT_EQ(maxW, 0);
        minH = 200;
        maxH = -1;  // no limit either
    };
    info = SystemLimits();
    SendMessageA(window, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(info.ptMinTrackSize.y, 200);
    EXPECT_EQ(info.ptMaxTrackSize.y, 1036);
    EXPECT_EQ(manager->Constraints()->MinHeight(), 200);
    manager->OnGetConstraints = nullptr;
    manager->Constraints()->SetMaxWidth(640);
    info = SystemLimits();
    SendMessageA(window, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.ptMinTrackSize.y, 200);
    EXPECT_EQ(info.ptMaxTrackSize.x, 640);
}

TEST_F(FormManagerTest, SystemCommandsFireTheirEventsOnlyWhileTheFormIsActive) {
    auto* manager = new TZelFormManager(form_);
    std::vector<std::string> fired;
    auto note = [&fired](const char* name) { return [&fired, name](TObject*) { fired.push_back(name); }; };
    manager->OnSysSize = note("size");
    manager->OnSysMove = note("move");
    manager->OnSysMinimize = note("minimize");
    manager->OnSysMaximize = note("maximize");
    manager->OnSysNextWindow = note("next");
    manager->OnSysPrevWindow = note("previous");
    manager->OnSysClose = note("close");
    manager->OnSysRestore = note("restore");
    manager->OnSysTasklist = note("tasklist");
    manager->OnSysScreenSave = note("screensave");
    manager->OnSysHotkey = note("hotkey");
    manager->OnSysDefault = note("default");
    manager->OnSysMonitorPower = note("monitorpower");
    manager->OnSysContextHelp = note("contexthelp");
    manager->OnSysOther = note("other");
    // Behind the manager: keeps the system from acting on the commands.
    TWatchHook watch;
    watch.Swallow = {WM_SYSCOMMAND};
    form_->AddMessageHook(&watch);
    HWND window = form_->Handle();

    SendMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(fired.empty()) << "an inactive form fired " << fired.front();
    EXPECT_EQ(watch.LastHandled(WM_SYSCOMMAND), 0);  // the command goes on

    form_->Show();
    ASSERT_TRUE(PumpUntil(App(), [&] { return form_->Active(); }));
    const std::pair<WPARAM, const char*> commands[] = {
        {SC_SIZE, "size"},
        {SC_MOVE | 2, "move"},
        {SC_MINIMIZE, "minimize"},
        {SC_MAXIMIZE, "maximize"},
        {SC_NEXTWINDOW, "next"},
        {SC_PREVWINDOW, "previous"},
        {SC_CLOSE, "close"},
        {SC_RESTORE, "restore"},
        {SC_TASKLIST, "tasklist"},
        {SC_SCREENSAVE, "screensave"},
        {SC_HOTKEY, "hotkey"},
        {SC_DEFAULT, "default"},
        {SC_MONITORPOWER, "monitorpower"},
        {SC_CONTEXTHELP, "contexthelp"},
        {SC_KEYMENU, "other"},
        {SC_ARRANGE, "other"},
    };
    for (const auto& [command, name] : commands) {
        fired.clear();
        SendMessageA(window, WM_SYSCOMMAND, command, 0);
        EXPECT_EQ(fired, std::vector<std::string>{name}) << std::hex << command;
    }
    form_->RemoveMessageHook(&watch);
}

TEST_F(FormManagerTest, DroppedFilesAreListedAsTheyAreNamedLongOnesTooAndTheDropIsHandedBack) {
    auto* manager = new TZelFormManager(form_);
    TWatchHook watch;
    form_->AddMessageHook(&watch);
    struct TDropped {
        int X, Y, Count;
        std::vector<std::string> Files;
    };
    std::vector<TDropped> drops;
    std::vector<std::string> each;
    manager->OnDropFiles = [&](TObject* sender, int x, int y, TStringList* files, int count) {
        EXPECT_EQ(sender, manager);
        TDropped drop{x, y, count, {}};
        for (int i = 0; i < files->Count(); ++i)
            drop.Files.push_back(files->Strings(i));
        drops.push_back(drop);
    };
    manager->OnEachDroppedFile = [&](TObject*, const std::string& name) { each.push_back(name); };

    const std::string longName = "C:\\" + std::string(296, 'x') + ".htm";
    ASSERT_EQ(longName.size(), 303u);
    HGLOBAL drop = MakeDrop({"C:\\Pages\\index.htm", longName, "D:\\site\\Tips.html"}, {12, 34});
    SendMessageA(form_->Handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
    ASSERT_EQ(drops.size(), 1u) << "one drop, one event, however many handlers see it";
    EXPECT_EQ(drops[0].X, 12);
    EXPECT_EQ(drops[0].Y, 34);
    EXPECT_EQ(drops[0].Count, 3);
    // Names keep their letters' case (a folder may tell them apart) and
    // their length (a page deep in a site is still a page).
    const std::vector<std::string> expected{"C:\\Pages\\index.htm", longName, "D:\\site\\Tips.html"};
    EXPECT_EQ(drops[0].Files, expected);
    EXPECT_EQ(each, expected);
    EXPECT_FALSE(StillAllocated(drop)) << "the drop was not handed back to the system";
    EXPECT_EQ(watch.LastHandled(WM_DROPFILES), 1);
    EXPECT_EQ(form_->OwnCount(WM_DROPFILES), 0);

    // No drop at all goes on to the form.
    SendMessageA(form_->Handle(), WM_DROPFILES, 0, 0);
    EXPECT_EQ(watch.LastHandled(WM_DROPFILES), 0);
    EXPECT_EQ(form_->OwnCount(WM_DROPFILES), 1);

    // A throwing handler still leaves the drop released and the message answered.
    manager->OnDropFiles = [](TObject*, int, int, TStringList*, int) {
        throw std::runtime_error("bad drop");
    };
    HGLOBAL third = MakeDrop({"C:\\a.htm"}, {1, 1});
    SendMessageA(form_->Handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(third), 0);
    EXPECT_FALSE(StillAllocated(third));
    EXPECT_EQ(Errors.size(), 1u);
    EXPECT_EQ(form_->OwnCount(WM_DROPFILES), 1);
    form_->RemoveMessageHook(&watch);
}

TEST_F(FormManagerTest, TheClientHandlerComesFirstThenTheFrameHandlerThenTheForm) {
    auto* manager = new TZelFormManager(form_);
    TWatchHook watch;
    form_->AddMessageHook(&watch);
    std::vector<UINT> seen;
    manager->OnMessage = [&](TObject* sender, TMessage& msg) {
        EXPECT_EQ(sender, manager);
        seen.push_back(msg.Msg);
    };
    auto count = [&seen](UINT msg) { return std::count(seen.begin(), seen.end(), msg); };
    TBitmap canvas(40, 30);
    auto erase = [&] {
        return SendMessageA(form_->Handle(), WM_ERASEBKGND,
                            reinterpret_cast<WPARAM>(canvas.Canvas()->Handle()), 0);
    };

    // Unanswered, a message passes both handlers and reaches the form.
    EXPECT_EQ(erase(), 1);
    EXPECT_EQ(count(WM_ERASEBKGND), 2);
    EXPECT_EQ(form_->OwnCount(WM_ERASEBKGND), 1);
    // Answered by the client handler, it reaches neither the frame handler
    // nor the form: so the client handler came first.
    seen.clear();
    manager->Background()->SetBackgroundStyle(TZelFormBackStyle::bGradient);
    seen.clear();
    EXPECT_EQ(erase(), 1);
    EXPECT_EQ(count(WM_ERASEBKGND), 1);
    EXPECT_EQ(form_->OwnCount(WM_ERASEBKGND), 1);
    EXPECT_EQ(watch.LastHandled(WM_ERASEBKGND), 1);

    // Events both handlers fire come twice.
    int moves = 0;
    manager->OnMove = [&moves](TObject*) { ++moves; };
    SendMessageA(form_->Handle(), WM_MOVE, 0, MAKELPARAM(70, 80));
    EXPECT_EQ(moves, 2);
    int compacting = 0;
    manager->OnSysMemLow = [&compacting](TObject*, int ratio) { compacting += ratio; };
    SendMessageA(form_->Handle(), WM_COMPACTING, 0x2000, 0);
    EXPECT_EQ(compacting, 0x4000);
    form_->RemoveMessageHook(&watch);
}

TEST_F(FormManagerTest, AnExceptionFromAnEventIsReportedAndTheMessageGoesOn) {
    auto* manager = new TZelFormManager(form_);
    constexpr UINT kProbe = WM_USER + 40;
    manager->OnMessage = [](TObject*, TMessage& msg) {
        if (msg.Msg == kProbe)
            throw EConvertError("not a colour");
    };
    SendMessageA(form_->Handle(), kProbe, 0, 0);
    ASSERT_EQ(Errors.size(), 2u);  // once in each handler
    EXPECT_EQ(Errors[0], "not a colour");
    EXPECT_EQ(ErrorSenders[0], manager);
    EXPECT_EQ(form_->OwnCount(kProbe), 1);
}

TEST_F(FormManagerTest, HooksComeBackOnceTheWindowIsRecreated) {
    auto* manager = new TZelFormManager(form_);
    manager->SetProperties(ZelDefaultFormProperties.With(wsexToolwindow));
    manager->Background()->SetBackgroundStyle(TZelFormBackStyle::bGradient);
    manager->SetTopMost(true);
    TZelCButton* button = manager->Buttons()->Add();
    HWND old = form_->Handle();

    form_->SetBorderStyle(bsSingle);  // a new window
    HWND fresh = form_->Handle();
    ASSERT_NE(fresh, old);
    // Gone with the old window; back by a posted message.
    EXPECT_FALSE(manager->FrameHook()->Installed());
    EXPECT_FALSE(manager->ClientHook()->Installed());
    EXPECT_FALSE(ExStyle(fresh) & WS_EX_TOOLWINDOW);
    ASSERT_TRUE(PumpUntil(
        App(), [&] { return manager->FrameHook()->Installed() && manager->ClientHook()->Installed(); }));
    EXPECT_EQ(manager->FrameHook()->Window(), fresh);
    EXPECT_EQ(manager->PaintWindow(), fresh);
    EXPECT_TRUE(ExStyle(fresh) & WS_EX_TOOLWINDOW);
    EXPECT_TRUE(Style(fresh) & WS_THICKFRAME) << "the set, not the border style, decides";
    EXPECT_TRUE(ExStyle(fresh) & WS_EX_TOPMOST);
    EXPECT_EQ(HookList().InstalledOn(form_),
              (std::vector<TZelHookClass*>{manager->ClientHook(), manager->FrameHook()}));
    form_->Own.clear();
    TBitmap canvas(10, 10);
    EXPECT_EQ(SendMessageA(fresh, WM_ERASEBKGND, reinterpret_cast<WPARAM>(canvas.Canvas()->Handle()), 0), 1);
    EXPECT_EQ(form_->OwnCount(WM_ERASEBKGND), 0);
    // The caption buttons follow the new window's size again.
    const int left = button->BoundsRect().Left;
    form_->SetWidth(form_->Width() + 30);
    EXPECT_EQ(button->BoundsRect().Left, left + 30);

    // A manager that goes before the re-hook message arrives is not called back.
    form_->RecreateWnd();
    manager->Free();
    App()->ProcessMessages();
    EXPECT_EQ(HookList().Count(), hooksBefore_);
    EXPECT_EQ(form_->MessageHookCount(), 0);
}

TEST_F(FormManagerTest, AReHookForAHookThatWentNeverReachesANewHookAtTheSameAddress) {
    // The re-hook message is posted as the window goes; the hook may be
    // freed, and another made in its memory, before the message arrives.
    TProbeForm* other = NewForm("Other");
    other->HandleNeeded();
    int reused = 0;
    for (int attempt = 0; attempt < 20 && reused < 3; ++attempt) {
        ScopedFree<TComponent> gone(new TComponent(nullptr));
        ScopedFree<TComponent> next(new TComponent(nullptr));
        TZelHookClass* old = HookList().AddHook(gone.get(), form_, false);
        form_->RecreateWnd();  // posts the re-hook for old
        HookList().RemoveManagerHooks(gone.get());
        TZelHookClass* fresh = HookList().AddHook(next.get(), other, false);
        int reloads = 0;
        fresh->BeforeReload = [&](TObject*) { ++reloads; };
        if (fresh == old)
            ++reused;
        App()->ProcessMessages();
        EXPECT_EQ(reloads, 0) << "a re-hook meant for another hook reloaded this one";
        EXPECT_EQ(HookList().InstalledOn(other), std::vector<TZelHookClass*>{fresh});
        HookList().RemoveManagerHooks(next.get());
    }
    if (reused == 0)
        GTEST_SKIP() << "the allocator never gave a freed hook's memory to the next one";
}

TEST_F(FormManagerTest, ADockedFormIsAChildOfThePanelWithoutADialogFrame) {
    TProbeForm* host = NewForm("Host");
    auto* panel = new TPanel(host);
    panel->SetParent(host);
    panel->SetBounds(10, 10, 200, 150);
    auto* manager = new TZelFormManager(form_);
    manager->SetParentAlign(alClient);

    manager->SetParent(panel);
    EXPECT_EQ(manager->Parent(), panel);
    EXPECT_EQ(form_->Parent(), panel);
    EXPECT_EQ(form_->Align(), alClient);
    form_->Show();  // only visible controls are aligned
    HWND docked = form_->Handle();
    EXPECT_TRUE(Style(docked) & WS_CHILD);
    EXPECT_FALSE(Style(docked) & WS_DLGFRAME);
    EXPECT_TRUE(Style(docked) & WS_BORDER);
    EXPECT_EQ(form_->Width(), panel->ClientWidth() - 2 * panel->BevelWidth());  // inside the bevel
    manager->SetProperties({wsDlgFrame, wsBorder, wsCaption});
    EXPECT_FALSE(Style(docked) & WS_DLGFRAME);
    App()->ProcessMessages();
    EXPECT_EQ(HookList().InstalledOn(form_),
              (std::vector<TZelHookClass*>{manager->ClientHook(), manager->FrameHook()}));

    // A panel of the form's own is no place to dock into.
    auto* inner = new TPanel(form_);
    inner->SetParent(form_);
    manager->SetParent(inner);
    EXPECT_EQ(manager->Parent(), panel);

    manager->SetParent(nullptr);
    EXPECT_EQ(manager->Parent(), nullptr);
    EXPECT_EQ(form_->Parent(), nullptr);
    HWND undocked = form_->Handle();
    EXPECT_FALSE(Style(undocked) & WS_CHILD);
    EXPECT_EQ(Style(undocked) & WS_CAPTION, static_cast<DWORD>(WS_CAPTION));
    App()->ProcessMessages();
    EXPECT_TRUE(manager->FrameHook()->Installed());
    EXPECT_TRUE(manager->ClientHook()->Installed());
}

TEST_F(FormManagerTest, NothingIsLeftOnceTheManagerOrItsFormGoes) {
    auto systemCount = [] { return GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS); };
    form_->Show();
    App()->ProcessMessages();
    form_->Font()->Handle();  // the form's own, kept while it lives; a caption is measured in it
    const int live = gdi::LiveObjects(), failed = gdi::FailedDeletes();
    const DWORD system = systemCount();
    for (int round = 0; round < 3; ++round) {
        auto* manager = new TZelFormManager(form_);
        manager->Background()->SetBackgroundStyle(TZelFormBackStyle::bGradient);
        manager->Background()->BrushFill()->SetBrushStyle(bsCross);
        manager->Background()->SetBackgroundStyle(TZelFormBackStyle::bBrushFillFormColor);
        TZelCButton* button = manager->Buttons()->Add();
        button->SetCaption("&Help");
        button->SetEnabled(round != 1);
        SendMessageA(form_->Handle(), WM_NCPAINT, 1, 0);
        form_->Repaint();
        App()->ProcessMessages();
        manager->Free();
        App()->ProcessMessages();
        EXPECT_EQ(gdi::LiveObjects(), live) << "round " << round;
        EXPECT_EQ(HookList().Count(), hooksBefore_);
        EXPECT_EQ(form_->MessageHookCount(), 0);
    }
    if (system != 0) {  // Wine does not count
        EXPECT_EQ(systemCount(), system);
    }
    EXPECT_EQ(gdi::FailedDeletes(), failed);

    // Freeing the form frees its manager and the manager's hooks.
    TProbeForm* other = NewForm("Other");
    new TZelFormManager(other);
    EXPECT_EQ(HookList().Count(), hooksBefore_ + 2);
    other->Free();
    EXPECT_EQ(HookList().Count(), hooksBefore_);
}
