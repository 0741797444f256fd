#include "framework/win32/application.h"

#include <commctrl.h>

#include "framework/win32/forms.h"
#include "framework/win32/guarded_call.h"
#include "platform/wide_text.h"

namespace vexel {

TApplication* Application = nullptr;
TScreen* Screen = nullptr;

namespace {

// Ids of the utility window's own timers; the timer registry's start above.
constexpr UINT_PTR kHintShowTimer = 1;
constexpr UINT_PTR kHintHideTimer = 2;
constexpr UINT_PTR kFirstTimerId = 100;
// Posted to the utility window when a call was queued for the GUI thread.
constexpr UINT kRunQueuedCalls = WM_APP + 1;

std::string ModuleTitle() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    std::string name = platform::Narrow(path);
    size_t slash = name.find_last_of("\\/");
    if (slash != std::string::npos)
        name = name.substr(slash + 1);
    size_t dot = name.rfind('.');
    if (dot != std::string::npos)
        name = name.substr(0, dot);
    return name;
}

}  // namespace

// ---- TApplication ----

TApplication::TApplication(TComponent* AOwner)
    : TComponent(AOwner), title_(ModuleTitle()), guiThread_(GetCurrentThreadId()) {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    // Made now, on the GUI thread: other threads post to it from the start.
    utility_ = std::make_unique<TUtilityWindow>(
        [this](HWND w, UINT msg, WPARAM wp, LPARAM lp) { return UtilityMessage(w, msg, wp, lp); }, this);
    HWND window = utility_->Handle();
    calls_ = std::make_shared<TCallQueue>([window] { PostMessageW(window, kRunQueuedCalls, 0, 0); });
    timers_ = std::make_shared<TTimerRegistry>(window, kFirstTimerId);
}

HWND TApplication::Handle() const {
    return utility_ ? utility_->Handle() : nullptr;
}

TApplication::~TApplication() {
    Shutdown();
    if (hintWindow_)
        DestroyWindow(hintWindow_);
    utility_.reset();
}

void TApplication::BeforeDestruction() {
    TComponent::BeforeDestruction();
    Shutdown();
}

void TApplication::Shutdown() {
    if (shutDown_)
        return;
    shutDown_ = true;
    calls_->Close();
    CancelHint();
    // Forms first, while the hint window and utility window still exist.
    DestroyComponents();
    // Timers of no form: stopped here, freed whenever their holder likes.
    timers_->Close();
    threads_.EndAll();
}

void TApplication::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == mainForm_)
        mainForm_ = nullptr;
}

void TApplication::FormCreated(TCustomForm* Form) {
    if (!mainForm_)
        mainForm_ = Form;
    Form->DoCreate();
}

bool TApplication::ProcessMessage() {
    MSG msg;
    if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
        return false;
    if (msg.message == WM_QUIT) {
        terminated_ = true;
    } else if (!IsKeyMsg(msg)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return true;
}

bool TApplication::IsKeyMsg(const MSG& Msg) {
    switch (Msg.message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_CHAR:
    case WM_SYSCHAR: break;
    default: return false;
    }
    for (HWND window = Msg.hwnd; window; window = GetParent(window)) {
        if (TWinControl::FindControl(window))
            return SendMessageW(window, CN_BASE + Msg.message, Msg.wParam, Msg.lParam) != 0;
        if (!(GetWindowLongW(window, GWL_STYLE) & WS_CHILD))
            break;
    }
    return false;
}

void TApplication::ProcessMessages() {
    while (ProcessMessage()) {
    }
}

void TApplication::HandleMessage() {
    if (!ProcessMessage())
        WaitMessage();
}

void TApplication::Run() {
    if (mainForm_ && showMainForm_)
        mainForm_->Show();
    while (!terminated_)
        GuardedCall(this, [this] { HandleMessage(); });
}

void TApplication::Terminate() {
    PostQuitMessage(0);
}

void TApplication::HandleException(TObject* Sender) {
    std::exception_ptr current = std::current_exception();
    if (!current)
        return;
    auto report = [&](const Exception& e) {
        if (!OnException) {
            ShowException(e);
            return;
        }
        try {
            OnException(Sender, e);
        } catch (...) {
            ShowException(e);
        }
    };
    try {
        std::rethrow_exception(current);
    } catch (const EAbort&) {
    } catch (const Exception& e) {
        report(e);
    } catch (const std::exception& e) {
        report(Exception(e.what()));
    } catch (...) {
        report(Exception("Unknown exception"));
    }
}

void TApplication::ShowException(const Exception& E) {
    std::string text = E.Message();
    if (!text.empty() && static_cast<unsigned char>(text.back()) > '.')
        text += '.';
    MessageBox(text, title_, MB_OK | MB_ICONSTOP);
}

int TApplication::MessageBox(const std::string& Text, const std::string& Caption, UINT Flags) {
    return MessageBoxW(GetActiveWindow(), platform::Widen(Text).c_str(), platform::Widen(Caption).c_str(), Flags);
}

LRESULT TApplication::UtilityMessage(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam) {
    if (Msg == kRunQueuedCalls) {
        calls_->RunPending([this](const TThreadProc& Proc) { GuardedCall(this, Proc); });
        return 0;
    }
    if (Msg != WM_TIMER)
        return DefWindowProcW(Window, Msg, WParam, LParam);
    if (WParam == kHintShowTimer) {
        KillTimer(Window, WParam);
        ShowHintWindow();
    } else if (WParam == kHintHideTimer) {
        KillTimer(Window, WParam);
        CancelHint();
    } else if (timers_->Owns(WParam)) {
        timers_->Tick(WParam);
    }
    return 0;
}

bool TApplication::InGuiThread() const {
    return GetCurrentThreadId() == guiThread_;
}

void TApplication::Queue(TThreadProc Proc, const void* Tag) {
    calls_->Queue(std::move(Proc), Tag);
}

bool TApplication::Synchronize(TThreadProc Proc, const void* Tag, const std::atomic<bool>* Cancelled) {
    if (InGuiThread()) {
        if (Cancelled && Cancelled->load())
            return false;
        Proc();
        return true;
    }
    // Only the shared queue is touched from here on: the application may be
    // freed while this thread waits.
    std::shared_ptr<TCallQueue> calls = calls_;
    return calls->Wait(std::move(Proc), Tag, Cancelled);
}

void TApplication::RemoveQueued(const void* Tag) {
    calls_->Remove(Tag);
}

void TApplication::SetShowHint(bool Value) {
    showHint_ = Value;
    if (!Value)
        CancelHint();
}

void TApplication::HintMouseEnter(TControl* Control) {
    if (Control == hintControl_)
        return;
    CancelHint();
    if (!showHint_ || !Control->ShowHint() || Control->Hint().empty())
        return;
    hintControl_ = Control;
    SetTimer(utility_->Handle(), kHintShowTimer, static_cast<UINT>(hintPause_), nullptr);
}

void TApplication::HintMouseLeave(TControl* Control) {
    if (Control == hintControl_)
        CancelHint();
}

void TApplication::ControlDestroying(TControl* Control) {
    if (Control == hintControl_)
        CancelHint();
}

namespace {
TTTOOLINFOW HintTool(HWND owner, const wchar_t* text) {
    TTTOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.uFlags = TTF_TRACK | TTF_ABSOLUTE;
    tool.hwnd = owner;
    tool.uId = 1;
    tool.lpszText = const_cast<wchar_t*>(text);
    return tool;
}
}  // namespace

void TApplication::CancelHint() {
    hintControl_ = nullptr;
    if (!utility_)
        return;
    KillTimer(utility_->Handle(), kHintShowTimer);
    KillTimer(utility_->Handle(), kHintHideTimer);
    if (hintWindow_) {
        TTTOOLINFOW tool = HintTool(utility_->Handle(), L"");
        SendMessageW(hintWindow_, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&tool));
    }
}

void TApplication::ShowHintWindow() {
    if (!hintControl_)
        return;
    HWND owner = utility_->Handle();
    if (!hintWindow_) {
        hintWindow_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                                      CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr,
                                      GetModuleHandleW(nullptr), nullptr);
        if (!hintWindow_)
            return;  // no hint is better than no program
        TTTOOLINFOW tool = HintTool(owner, L"");
        SendMessageW(hintWindow_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
    std::wstring text = platform::Widen(hintControl_->Hint());
    TTTOOLINFOW tool = HintTool(owner, text.c_str());
    SendMessageW(hintWindow_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
    POINT cursor{};
    GetCursorPos(&cursor);
    // Below the pointer, clear of the arrow.
    SendMessageW(hintWindow_, TTM_TRACKPOSITION, 0, MAKELPARAM(cursor.x, cursor.y + 20));
    SendMessageW(hintWindow_, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&tool));
    SetTimer(owner, kHintHideTimer, static_cast<UINT>(hintHidePause_), nullptr);
}

// ---- ScopedApplication ----

ScopedApplication::ScopedApplication() : savedApplication_(Application), savedScreen_(Screen) {
    application_ = new TApplication(nullptr);
    screen_ = new TScreen(nullptr);
    Application = application_;
    Screen = screen_;
}

ScopedApplication::~ScopedApplication() {
    // Application stays set while its forms go, so that their windows'
    // last messages still reach the application's exception report.
    application_->Free();
    Application = savedApplication_;
    screen_->Free();
    Screen = savedScreen_;
}

// ---- TScreen ----

void TScreen::SetCursor(TCursor Value) {
    cursor_ = Value;
    if (Value != crDefault) {
        ::SetCursor(CursorHandle(Value));
    } else {
        // Let the window under the pointer choose again.
        POINT p{};
        if (GetCursorPos(&p))
            SetCursorPos(p.x, p.y);
    }
}

}  // namespace vexel
