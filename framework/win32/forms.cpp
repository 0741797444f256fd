#include "framework/win32/forms.h"

#include <commctrl.h>

#include <condition_variable>
#include <deque>
#include <mutex>

#include "framework/win32/guarded_call.h"
#include "framework/win32/thread.h"
#include "framework/win32/timer.h"

namespace vexel {

TApplication* Application = nullptr;
TScreen* Screen = nullptr;

namespace {

// Ids of the utility window's timers; TTimer's start at 100.
constexpr UINT_PTR kHintShowTimer = 1;
constexpr UINT_PTR kHintHideTimer = 2;
// Posted to the utility window when a call was queued for the GUI thread.
constexpr UINT kRunQueuedCalls = WM_APP + 1;

std::string ModuleTitle() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string name = path;
    size_t slash = name.find_last_of("\\/");
    if (slash != std::string::npos)
        name = name.substr(slash + 1);
    size_t dot = name.rfind('.');
    if (dot != std::string::npos)
        name = name.substr(0, dot);
    return name;
}

}  // namespace

// ---- TCustomForm ----

TCustomForm::TCustomForm(TComponent* AOwner) : TWinControl(AOwner) {
    visible_ = false;
    controlStyle_ |= csAcceptsControls;
    width_ = 320;
    height_ = 240;
    SetParentColor(false);
    SetParentFont(false);
}

TCustomForm::~TCustomForm() = default;

void TCustomForm::BeforeDestruction() {
    if (!destroyFired_) {
        destroyFired_ = true;
        if (OnDestroy)
            OnDestroy(this);
    }
    TWinControl::BeforeDestruction();
}

void TCustomForm::CreateParams(TCreateParams& Params) const {
    TWinControl::CreateParams(Params);
    if (Parent())
        return;  // docked into another control: an ordinary child window
    Params.Style = WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
    Params.ExStyle = 0;
    switch (borderStyle_) {
    case bsNone: Params.Style |= WS_POPUP; break;
    case bsSingle: Params.Style |= WS_CAPTION; break;
    case bsSizeable: Params.Style |= WS_CAPTION | WS_THICKFRAME; break;
    case bsDialog:
        Params.Style |= WS_POPUP | WS_CAPTION;
        Params.ExStyle |= WS_EX_DLGMODALFRAME;
        break;
    case bsToolWindow:
        Params.Style |= WS_CAPTION;
        Params.ExStyle |= WS_EX_TOOLWINDOW;
        break;
    case bsSizeToolWin:
        Params.Style |= WS_CAPTION | WS_THICKFRAME;
        Params.ExStyle |= WS_EX_TOOLWINDOW;
        break;
    }
    if (borderStyle_ != bsNone) {
        if (borderIcons_ & biSystemMenu)
            Params.Style |= WS_SYSMENU;
        bool boxes = borderStyle_ == bsSingle || borderStyle_ == bsSizeable;
        if (boxes && (borderIcons_ & biMinimize))
            Params.Style |= WS_MINIMIZEBOX;
        if (boxes && (borderIcons_ & biMaximize))
            Params.Style |= WS_MAXIMIZEBOX;
        if (borderIcons_ & biHelp)
            Params.ExStyle |= WS_EX_CONTEXTHELP;
    }
    if (!Enabled())
        Params.Style |= WS_DISABLED;
}

void TCustomForm::SetBorderStyle(TFormBorderStyle Value) {
    if (borderStyle_ == Value)
        return;
    borderStyle_ = Value;
    RecreateWnd();
}

void TCustomForm::SetBorderIcons(TBorderIcons Value) {
    if (borderIcons_ == Value)
        return;
    borderIcons_ = Value;
    RecreateWnd();
}

void TCustomForm::SetVisible(bool Value) {
    if (Parent()) {
        // Docked into another control: a child window with the same events.
        if (visible_ == Value)
            return;
        if (!Value)
            DoHide();
        TWinControl::SetVisible(Value);
        if (Value)
            DoShow();
        return;
    }
    if (visible_ == Value) {
        if (Value && HandleAllocated())
            SetWindowPos(Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        return;
    }
    if (Value) {
        HandleNeeded();
        visible_ = true;
        DoShow();
        if (visible_ && HandleAllocated()) {
            int show = windowState_ == wsMaximized   ? SW_SHOWMAXIMIZED
                       : windowState_ == wsMinimized ? SW_SHOWMINIMIZED
                                                     : SW_SHOW;
            ShowWindow(Handle(), show);
        }
    } else {
        visible_ = false;
        DoHide();
        if (HandleAllocated())
            ShowWindow(Handle(), SW_HIDE);
    }
    VisibleChanged();
}

void TCustomForm::SetWindowState(TWindowState Value) {
    windowState_ = Value;
    if (Parent() || !HandleAllocated() || !IsWindowVisible(Handle()))
        return;  // shown in that state later
    ShowWindow(Handle(), Value == wsMaximized ? SW_MAXIMIZE : Value == wsMinimized ? SW_MINIMIZE : SW_RESTORE);
}

void TCustomForm::DoShow() {
    if (OnShow)
        OnShow(this);
}

void TCustomForm::DoHide() {
    if (OnHide)
        OnHide(this);
}

void TCustomForm::DoClose(TCloseAction& Action) {
    if (OnClose)
        OnClose(this, Action);
}

void TCustomForm::DoCreate() {
    if (OnCreate)
        OnCreate(this);
}

bool TCustomForm::CloseQuery() {
    bool canClose = true;
    if (OnCloseQuery)
        OnCloseQuery(this, canClose);
    return canClose;
}

void TCustomForm::Close() {
    if (!CloseQuery())
        return;
    TCloseAction action = caHide;
    DoClose(action);
    if (action == caNone)
        return;
    if (Application && Application->MainForm() == this)
        Application->Terminate();
    else if (action == caHide)
        Hide();
    else if (action == caMinimize)
        ShowWindow(Handle(), SW_MINIMIZE);
    else
        Release();
}

void TCustomForm::Release() {
    if (HWND window = Handle())
        PostMessageA(window, CM_RELEASE, 0, 0);
}

void TCustomForm::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case WM_CLOSE:
        Close();
        Message.Result = 0;
        return;
    case WM_ACTIVATE:
        DefaultHandler(Message);
        active_ = LOWORD(Message.WParam) != WA_INACTIVE;
        // The system gave the focus to the form itself; pass it on.
        if (active_ && !HIWORD(Message.WParam) && !IsDestroying())
            FocusActiveControl();
        if (!IsDestroying()) {
            if (active_ && OnActivate)
                OnActivate(this);
            else if (!active_ && OnDeactivate)
                OnDeactivate(this);
        }
        return;
    case CM_RELEASE:
        Free();  // nothing of this object may be touched after this
        return;
    case WM_SIZE:
        // The window itself tells, not wParam: a WM_SIZE posted by a program
        // may carry anything.
        if (!Parent() && IsWindowVisible(Handle()))
            windowState_ = IsIconic(Handle()) ? wsMinimized : IsZoomed(Handle()) ? wsMaximized : wsNormal;
        break;
    case CM_DIALOGKEY:
        // Tab and the arrows move the focus; every other key is offered to
        // the controls (the default and cancel buttons).
        if (GetKeyState(VK_MENU) >= 0) {
            switch (Message.WParam) {
            case VK_TAB:
                if (GetKeyState(VK_CONTROL) < 0)
                    break;
                SelectNext(activeControl_, GetKeyState(VK_SHIFT) >= 0, true);
                Message.Result = 1;
                return;
            case VK_LEFT:
            case VK_RIGHT:
            case VK_UP:
            case VK_DOWN:
                if (activeControl_ && activeControl_->Parent()) {
                    bool forward = Message.WParam == VK_RIGHT || Message.WParam == VK_DOWN;
                    activeControl_->Parent()->SelectNext(activeControl_, forward, false);
                    Message.Result = 1;
                }
                return;
            default: break;
            }
        }
        break;
    default: break;
    }
    TWinControl::WndProc(Message);
}

TCustomForm* GetParentForm(TControl* Control) {
    if (!Control)
        return nullptr;
    while (Control->Parent())
        Control = Control->Parent();
    return dynamic_cast<TCustomForm*>(Control);
}

// ---- TUtilityWindow ----

TUtilityWindow::TUtilityWindow(THandler Handler, TObject* Sender)
    : handler_(std::move(Handler)), sender_(Sender) {
    static const char kClass[] = "VexelUtilityWindow";
    static bool registered = false;
    if (!registered) {
        WNDCLASSA wc{};
        wc.lpfnWndProc = &TUtilityWindow::WindowProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = kClass;
        if (!RegisterClassA(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
            throw EOutOfResources("Error creating window class");
        registered = true;
    }
    handle_ = CreateWindowExA(0, kClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleA(nullptr), this);
    if (!handle_)
        throw EOutOfResources("Error creating window");
}

TUtilityWindow::~TUtilityWindow() {
    if (handle_)
        DestroyWindow(handle_);
}

LRESULT CALLBACK TUtilityWindow::WindowProc(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam) {
    if (Msg == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(LParam);
        SetWindowLongPtrA(Window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<TUtilityWindow*>(GetWindowLongPtrA(Window, GWLP_USERDATA));
    if (!self || !self->handler_ || Msg == WM_NCDESTROY)
        return DefWindowProcA(Window, Msg, WParam, LParam);
    LRESULT result = 0;
    GuardedCall(self->sender_, [&] { result = self->handler_(Window, Msg, WParam, LParam); });
    return result;
}

// ---- TApplication ----

// The calls waiting for the GUI thread. A synchronous call carries the state
// its waiting thread watches.
struct TApplication::TCallQueue {
    struct TWaiter {
        bool Done = false;
        bool Ran = false;
        std::exception_ptr Error;
    };
    struct TCall {
        TThreadProc Proc;
        const void* Tag;
        std::shared_ptr<TWaiter> Waiter;  // null for Queue
    };

    std::mutex Lock;
    std::condition_variable Finished;
    std::deque<TCall> Calls;
    bool Closed = false;   // the application is shutting down
    HWND Window = nullptr;  // the utility window, told of every new call

    // Appends a call unless the queue is closed or the caller was cancelled,
    // and wakes the GUI thread.
    bool Add(TCall Call, const std::atomic<bool>* Cancelled = nullptr) {
        HWND window = nullptr;
        {
            std::lock_guard<std::mutex> lock(Lock);
            if (Closed || (Cancelled && Cancelled->load()))
                return false;
            Calls.push_back(std::move(Call));
            window = Window;
        }
        // A window destroyed meanwhile makes this fail, which is fine: the
        // shutdown releases the call.
        PostMessageA(window, kRunQueuedCalls, 0, 0);
        return true;
    }

    // Under Lock: releases the waiter of a call that will not run.
    void Release(TCall& Call) {
        if (Call.Waiter)
            Call.Waiter->Done = true;
    }
};

TApplication::TApplication(TComponent* AOwner)
    : TComponent(AOwner),
      title_(ModuleTitle()),
      guiThread_(GetCurrentThreadId()),
      calls_(std::make_shared<TCallQueue>()) {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    // Made now, on the GUI thread: other threads post to it from the start.
    utility_ = std::make_unique<TUtilityWindow>(
        [this](HWND w, UINT msg, WPARAM wp, LPARAM lp) { return UtilityMessage(w, msg, wp, lp); }, this);
    calls_->Window = utility_->Handle();
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
    {
        std::lock_guard<std::mutex> lock(calls_->Lock);
        calls_->Closed = true;
        calls_->Window = nullptr;
        for (TCallQueue::TCall& call : calls_->Calls)
            calls_->Release(call);
        calls_->Calls.clear();
    }
    calls_->Finished.notify_all();
    CancelHint();
    // Forms first, while the hint window and utility window still exist.
    DestroyComponents();
    // Timers of no form: stopped here, freed whenever their holder likes.
    for (auto& [id, timer] : timers_) {
        KillTimer(utility_->Handle(), id);
        timer->application_ = nullptr;
        timer->id_ = 0;
    }
    timers_.clear();
    EndThreads();
}

void TApplication::EndThreads() {
    std::unique_lock<std::mutex> lock(threadsLock_);
    // A registered thread is still inside Execute, so its object is alive.
    // Terminating it releases whatever it waits for; it deregisters itself
    // (under this lock) on its way out, after which it never touches us.
    for (TThread* thread : threads_)
        thread->Terminate();
    threadsGone_.wait(lock, [this] { return threads_.empty(); });
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
    if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        return false;
    if (msg.message == WM_QUIT) {
        terminated_ = true;
    } else if (!IsKeyMsg(msg)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
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
            return SendMessageA(window, CN_BASE + Msg.message, Msg.wParam, Msg.lParam) != 0;
        if (!(GetWindowLongA(window, GWL_STYLE) & WS_CHILD))
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
    return MessageBoxA(GetActiveWindow(), Text.c_str(), Caption.c_str(), Flags);
}

LRESULT TApplication::UtilityMessage(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam) {
    if (Msg == kRunQueuedCalls) {
        RunQueuedCalls();
        return 0;
    }
    if (Msg != WM_TIMER)
        return DefWindowProcA(Window, Msg, WParam, LParam);
    if (WParam == kHintShowTimer) {
        KillTimer(Window, WParam);
        ShowHintWindow();
    } else if (WParam == kHintHideTimer) {
        KillTimer(Window, WParam);
        CancelHint();
    } else {
        auto it = timers_.find(WParam);
        if (it != timers_.end()) {
            TTimer* timer = it->second;
            GuardedCall(timer, [timer] { timer->Timer(); });
        } else {
            KillTimer(Window, WParam);  // stopped with its tick already queued
        }
    }
    return 0;
}

UINT_PTR TApplication::StartTimer(TTimer* Timer, UINT Interval) {
    if (shutDown_)
        return 0;
    UINT_PTR id = nextTimerId_++;
    if (!SetTimer(utility_->Handle(), id, Interval, nullptr))
        throw EOutOfResources("Not enough timers available");
    timers_[id] = Timer;
    return id;
}

void TApplication::StopTimer(UINT_PTR Id) {
    KillTimer(utility_->Handle(), Id);
    timers_.erase(Id);
}

bool TApplication::InGuiThread() const {
    return GetCurrentThreadId() == guiThread_;
}

void TApplication::Queue(TThreadProc Proc, const void* Tag) {
    calls_->Add({std::move(Proc), Tag, nullptr});
}

bool TApplication::Synchronize(TThreadProc Proc, const void* Tag, const std::atomic<bool>* Cancelled) {
    if (InGuiThread()) {
        if (Cancelled && Cancelled->load())
            return false;
        Proc();
        return true;
    }
    // From here on only the shared queue is touched: the application may be
    // freed while this thread waits.
    std::shared_ptr<TCallQueue> calls = calls_;
    auto waiter = std::make_shared<TCallQueue::TWaiter>();
    if (!calls->Add({std::move(Proc), Tag, waiter}, Cancelled))
        return false;
    std::unique_lock<std::mutex> lock(calls->Lock);
    calls->Finished.wait(lock, [&] { return waiter->Done; });
    if (waiter->Error)
        std::rethrow_exception(waiter->Error);
    return waiter->Ran;
}

void TApplication::RemoveQueued(const void* Tag) {
    {
        std::lock_guard<std::mutex> lock(calls_->Lock);
        auto& list = calls_->Calls;
        for (auto it = list.begin(); it != list.end();) {
            if (it->Tag == Tag) {
                calls_->Release(*it);
                it = list.erase(it);
            } else {
                ++it;
            }
        }
    }
    calls_->Finished.notify_all();
}

void TApplication::RunQueuedCalls() {
    // One at a time, so that a call which runs a message loop of its own
    // (ProcessMessages) leaves the rest to the nested loop in order.
    for (;;) {
        TCallQueue::TCall call;
        {
            std::lock_guard<std::mutex> lock(calls_->Lock);
            if (calls_->Calls.empty())
                return;
            call = std::move(calls_->Calls.front());
            calls_->Calls.pop_front();
        }
        if (!call.Waiter) {
            GuardedCall(this, call.Proc);
            continue;
        }
        std::exception_ptr error;
        try {
            call.Proc();
        } catch (...) {
            error = std::current_exception();
        }
        {
            std::lock_guard<std::mutex> lock(calls_->Lock);
            call.Waiter->Done = true;
            call.Waiter->Ran = true;
            call.Waiter->Error = error;
        }
        calls_->Finished.notify_all();
    }
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
TTTOOLINFOA HintTool(HWND owner, const char* text) {
    TTTOOLINFOA tool{};
    tool.cbSize = TTTOOLINFOA_V2_SIZE;
    tool.uFlags = TTF_TRACK | TTF_ABSOLUTE;
    tool.hwnd = owner;
    tool.uId = 1;
    tool.lpszText = const_cast<char*>(text);
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
        TTTOOLINFOA tool = HintTool(utility_->Handle(), "");
        SendMessageA(hintWindow_, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&tool));
    }
}

void TApplication::ShowHintWindow() {
    if (!hintControl_)
        return;
    HWND owner = utility_->Handle();
    if (!hintWindow_) {
        hintWindow_ = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                                      CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr,
                                      GetModuleHandleA(nullptr), nullptr);
        if (!hintWindow_)
            return;  // no hint is better than no program
        TTTOOLINFOA tool = HintTool(owner, "");
        SendMessageA(hintWindow_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    }
    std::string text = hintControl_->Hint();
    TTTOOLINFOA tool = HintTool(owner, text.c_str());
    SendMessageA(hintWindow_, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&tool));
    POINT cursor{};
    GetCursorPos(&cursor);
    // Below the pointer, clear of the arrow.
    SendMessageA(hintWindow_, TTM_TRACKPOSITION, 0, MAKELPARAM(cursor.x, cursor.y + 20));
    SendMessageA(hintWindow_, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&tool));
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
