#include "system/form_manager.h"

#include <shellapi.h>

#include <vector>

#include "framework/win32/gdi.h"
#include "framework/win32/guarded_call.h"
#include "framework/win32/system_text.h"

namespace vexel {

namespace {

// SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE: a change of the z-order band only.
constexpr UINT kZOrderOnly = SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE;
// ... | SWP_NOZORDER | SWP_FRAMECHANGED: the frame is recalculated and repainted.
constexpr UINT kFrameChanged = SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED;
// The extended styles a designer shows its forms without.
constexpr DWORD kDesignerExStyles = WS_EX_APPWINDOW | WS_EX_STATICEDGE | WS_EX_CONTEXTHELP | WS_EX_CLIENTEDGE |
                                    WS_EX_TOOLWINDOW | WS_EX_TRANSPARENT | WS_EX_DLGMODALFRAME;
// Caption, system menu, thick frame, minimize and maximize boxes.
constexpr DWORD kDesignerStyles = 0x00CF0000;

// The window style bits, in the order the setter applies them: caption
// first, so that border and dialog frame alone decide the caption bits.
struct TStyleBit {
    TZelFormProperties Element;
    DWORD Bits;
};
const TStyleBit kStyles[] = {
    {wsCaption, WS_CAPTION},         {wsBorder, WS_BORDER},           {wsDlgFrame, WS_DLGFRAME},
    {wsMinimizeBox, WS_MINIMIZEBOX}, {wsMaximizeBox, WS_MAXIMIZEBOX}, {wsSysMenu, WS_SYSMENU},
    {wsThickframe, WS_THICKFRAME},
};
const TStyleBit kExStyles[] = {
    {wsexAppWindow, WS_EX_APPWINDOW},     {wsexClientEdge, WS_EX_CLIENTEDGE},
    {wsexContextHelp, WS_EX_CONTEXTHELP}, {wsexDlgModalFrame, WS_EX_DLGMODALFRAME},
    {wsexStaticEdge, WS_EX_STATICEDGE},   {wsexToolwindow, WS_EX_TOOLWINDOW},
    {wsexTransparent, WS_EX_TRANSPARENT}, {wsexAcceptFiles, WS_EX_ACCEPTFILES},
};

TZelFormPropertySet ReadProperties(HWND Window) {
    const DWORD S = static_cast<DWORD>(GetWindowLongW(Window, GWL_STYLE));
    const DWORD X = static_cast<DWORD>(GetWindowLongW(Window, GWL_EXSTYLE));
    TZelFormPropertySet set;
    for (const TStyleBit& bit : kStyles) {
        // Either caption bit counts as a caption.
        if (S & bit.Bits)
            set = set.With(bit.Element);
    }
    for (const TStyleBit& bit : kExStyles)
        if (X & bit.Bits)
            set = set.With(bit.Element);
    return set;
}

DWORD SetOrClear(DWORD Value, DWORD Bits, bool On) {
    return On ? (Value | Bits) : (Value & ~Bits);
}

bool IsInside(TControl* Control, TWinControl* Container) {
    for (TControl* c = Control; c; c = c->Parent())
        if (c->Parent() == Container)
            return true;
    return false;
}

}  // namespace

// ---- TZelFormConstraints ----

void TZelFormConstraints::SetMinWidth(int32_t Value) {
    minWidth_ = Value;
    Changed();
}

void TZelFormConstraints::SetMinHeight(int32_t Value) {
    minHeight_ = Value;
    Changed();
}

void TZelFormConstraints::SetMaxWidth(int32_t Value) {
    maxWidth_ = Value;
    Changed();
}

void TZelFormConstraints::SetMaxHeight(int32_t Value) {
    maxHeight_ = Value;
    Changed();
}

// ---- TZelFormManager ----

TZelFormManager::TZelFormManager(TComponent* AOwner) : TZelSystemsComponent(AOwner) {
    form_ = dynamic_cast<TWinControl*>(AOwner);
    if (!form_)
        throw EZelOwnerFormNeeded(ClassName() + " needs to reside on a TCustomForm descendant");
    for (int i = 0; i < AOwner->ComponentCount(); ++i) {
        TComponent* other = AOwner->Components(i);
        if (other != this && dynamic_cast<TZelFormManager*>(other))
            throw EZelDuplicateError("You can have one and only one \r\n" + ClassName() +
                                     " Component \r\nper form in your project");
    }
    try {
        ComputePaintWindow();
        buttons_ = std::make_unique<TZelCButtons>(this);
        formStore_ = std::make_unique<TZelFormStore>(this);
        constraints_ = std::make_unique<TZelFormConstraints>();
        constraints_->OnChange = [this](TObject*) {
            // The form takes its limits on its next size check.
            if (form_->HandleAllocated())
                PostMessageW(form_->Handle(), WM_SIZE, 0, 0);
        };
        if (HWND window = form_->Handle())
            properties_ = ReadProperties(window);
        background_ = std::make_unique<TZelFormBackground>(this);
        background_->OnChanged = [this](TObject*) { BackgroundChanged(); };

        frameHook_ = HookList().AddHook(this, form_, false);
        frameHook_->BeforeMessage = [this](TMessage& msg, bool& handled) { FrameMessage(msg, handled); };
        frameHook_->OnReloadHook = [this](TObject*) { FrameReloaded(); };
        // Installed last, so it sees every message first.
        clientHook_ = HookList().AddHook(this, form_, true);
        clientHook_->BeforeMessage = [this](TMessage& msg, bool& handled) { ClientMessage(msg, handled); };
        clientHook_->OnReloadHook = [this](TObject*) { ClientReloaded(); };
    } catch (...) {
        Teardown();
        throw;
    }
}

TZelFormManager::~TZelFormManager() {
    Teardown();
}

void TZelFormManager::BeforeDestruction() {
    TZelSystemsComponent::BeforeDestruction();
    Teardown();
}

void TZelFormManager::Teardown() {
    if (tornDown_)
        return;
    tornDown_ = true;
    const bool formStays = form_ && (form_->ComponentState() & csDestroying) == 0 && form_->HandleAllocated();
    HWND window = formStays ? form_->Handle() : nullptr;
    if (Designing() && window) {
        // Back to the look the designer gives every form.
        DWORD X = static_cast<DWORD>(GetWindowLongW(window, GWL_EXSTYLE));
        DWORD S = static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE));
        SetWindowLongW(window, GWL_EXSTYLE, static_cast<LONG>((X & ~kDesignerExStyles) | WS_EX_CONTROLPARENT));
        SetWindowLongW(window, GWL_STYLE, static_cast<LONG>(S | kDesignerStyles));
        SetWindowPos(window, nullptr, 0, 0, 0, 0, kFrameChanged);
    }
    HookList().RemoveManagerHooks(this);  // the client hook first: it is the newer
    frameHook_ = nullptr;
    clientHook_ = nullptr;
    if (window)
        InvalidateRect(window, nullptr, TRUE);
    if (!Designing() && window && topMost_ && OwnerForm())
        SetWindowPos(window, HWND_NOTOPMOST, 0, 0, 0, 0, kZOrderOnly);
    topMost_ = false;
    const bool hadButtons = buttons_ && buttons_->Count() > 0;
    buttons_.reset();
    formStore_.reset();
    if (background_)
        background_->OnChanged = nullptr;
    background_.reset();
    if (constraints_)
        constraints_->OnChange = nullptr;
    constraints_.reset();
    if (window) {
        // The form paints itself again, and its frame without our buttons.
        SendWithFormDC(window, WM_ERASEBKGND);
        if (hadButtons)
            SetWindowPos(window, nullptr, 0, 0, 0, 0, kFrameChanged);
    }
}

TCustomForm* TZelFormManager::OwnerForm() const {
    return dynamic_cast<TCustomForm*>(form_);
}

void TZelFormManager::ComputePaintWindow() {
    // No MDI frames in this framework: the form's own window is painted.
    paintWindow_ = form_ ? form_->Handle() : nullptr;
}

void TZelFormManager::SendWithFormDC(HWND Window, UINT Msg) {
    if (!Window || !form_ || !form_->HandleAllocated())
        return;
    ScopedGetDC dc(form_->Handle());
    if (dc.Get())
        SendMessageW(Window, Msg, reinterpret_cast<WPARAM>(dc.Get()), 0);
}

void TZelFormManager::FrameRefresh() {
    if (form_ && form_->HandleAllocated())
        SetWindowPos(form_->Handle(), nullptr, 0, 0, 0, 0, kFrameChanged);
}

void TZelFormManager::SetButtons(TZelCButtons* Value) {
    buttons_->Assign(Value);
}

void TZelFormManager::SetTopMost(bool Value) {
    topMost_ = Value;
    if (Designing() || !OwnerForm())
        return;
    if (HWND window = form_->Handle())
        SetWindowPos(window, Value ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, kZOrderOnly);
}

void TZelFormManager::SetProperties(TZelFormPropertySet Value) {
    ApplyProperties(Value);
}

void TZelFormManager::ApplyProperties(TZelFormPropertySet Value) {
    if (!form_->HandleAllocated()) {
        properties_ = Value;  // applied with the next window
        return;
    }
    HWND window = form_->Handle();
    DWORD S = static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE));
    DWORD X = static_cast<DWORD>(GetWindowLongW(window, GWL_EXSTYLE));
    X |= WS_EX_CONTROLPARENT;
    for (const TStyleBit& bit : kStyles)
        S = SetOrClear(S, bit.Bits, Value.Contains(bit.Element));
    for (const TStyleBit& bit : kExStyles)
        X = SetOrClear(X, bit.Bits, Value.Contains(bit.Element));
    if (parent_)
        S &= ~static_cast<DWORD>(WS_DLGFRAME);  // a docked form has no caption
    const bool preview = Value.Contains(dsgnPreview);
    if (Designing() && !preview && properties_.Contains(dsgnPreview)) {
        X = (X & ~kDesignerExStyles) | WS_EX_CONTROLPARENT;
        S |= kDesignerStyles;
        SetWindowLongW(window, GWL_EXSTYLE, static_cast<LONG>(X));
        SetWindowLongW(window, GWL_STYLE, static_cast<LONG>(S));
        SetWindowPos(window, nullptr, 0, 0, 0, 0, kFrameChanged);
    }
    properties_ = Value;
    if (!Designing() || preview) {
        SetWindowLongW(window, GWL_EXSTYLE, static_cast<LONG>(X));
        SetWindowLongW(window, GWL_STYLE, static_cast<LONG>(S));
        SetWindowPos(window, nullptr, 0, 0, 0, 0, kFrameChanged);
        if (TCustomForm* form = OwnerForm(); form && form->Active())
            SendWithFormDC(window, WM_PAINT);
    }
    DragAcceptFiles(window, Value.Contains(wsexAcceptFiles));
}

void TZelFormManager::SetParent(TCustomPanel* Value) {
    if (frameHook_)
        frameHook_->RemoveHook();
    const bool running = !Designing();
    if (Value) {
        if (!IsInside(Value, form_)) {
            if (parent_ && parent_ != Value)
                parent_->RemoveFreeNotification(this);
            parent_ = Value;
            if (running) {
                form_->SetParent(Value);
                form_->HandleNeeded();  // the styles go onto the child window at once
            }
            ApplyProperties(properties_);
            Value->FreeNotification(this);
        }
    } else {
        if (running && form_->Parent()) {
            form_->SetParent(nullptr);
            form_->HandleNeeded();  // a top-level window again, at once
        }
        if (parent_)
            parent_->RemoveFreeNotification(this);
        parent_ = nullptr;
        ApplyProperties(properties_);
    }
    if (parent_)
        form_->SetAlign(parentAlign_);
    if (frameHook_)
        frameHook_->InstallHook();
    if (clientHook_)
        clientHook_->ReloadHook();
}

void TZelFormManager::SetParentAlign(TAlign Value) {
    parentAlign_ = Value;
    if (parent_)
        form_->SetAlign(Value);
}

void TZelFormManager::Loaded() {
    TZelSystemsComponent::Loaded();
    if (TZelStoreData* store = formStore_->Store()) {
        const std::string& key = formStore_->StoreKey();
        if (store->ReadString(key, "") == key)
            formStore_->LoadFromStore();
    }
    ApplyProperties(properties_);
}

void TZelFormManager::Notification(TComponent* AComponent, TOperation Operation) {
    if (Operation == opRemove && !tornDown_) {
        if (buttons_)
            buttons_->MenuRemoved(AComponent);
        if (formStore_ && AComponent == formStore_->Store()) {
            // The last values still reach the store on its way out.
            formStore_->SaveToStore();
            formStore_->Forget();
        }
    }
    TZelSystemsComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == parent_)
        parent_ = nullptr;
}

void TZelFormManager::BackgroundChanged() {
    if (!form_ || Going())
        return;
    form_->Invalidate();
    if (form_->HandleAllocated())
        SendWithFormDC(paintWindow_, WM_ERASEBKGND);
}

void TZelFormManager::ClientReloaded() {
    if (Going())
        return;
    ComputePaintWindow();
    SendWithFormDC(paintWindow_, WM_ERASEBKGND);
}

void TZelFormManager::FrameReloaded() {
    if (Going())
        return;
    ApplyProperties(properties_);
    // A new window starts outside the top-most band.
    if (topMost_)
        SetTopMost(true);
    if (form_->HandleAllocated())
        SendMessageW(form_->Handle(), WM_NCPAINT, 1, 0);
}

void TZelFormManager::ClientMessage(TMessage& Msg, bool& Handled) {
    GuardedCall(this, [&] {
        if (OnMessage)
            OnMessage(this, Msg);
        switch (Msg.Msg) {
            case WM_MOVE:
                if (OnMove)
                    OnMove(this);
                break;
            case WM_SIZE:
            case WM_WINDOWPOSCHANGED:
                if (properties_.Contains(dsgnPreview) || (!Designing() && Msg.Msg == WM_SIZE && paintWindow_))
                    InvalidateRect(paintWindow_, nullptr, TRUE);
                break;
            case WM_CLOSE: formStore_->SaveToStore(); break;
            case WM_ERASEBKGND:
                if (background_->PaintBackground(reinterpret_cast<HDC>(Msg.WParam), form_->Width(),
                                                 form_->Height())) {
                    Msg.Result = 1;
                    Handled = true;
                }
                break;
            case WM_COMPACTING:
                if (OnSysMemLow)
                    OnSysMemLow(this, static_cast<int>(Msg.WParam));
                break;
            case WM_HSCROLL:
            case WM_VSCROLL: InvalidateRect(paintWindow_, nullptr, FALSE); break;
            case WM_DROPFILES: DropFiles(Msg, Handled); break;
            case WM_PALETTECHANGED: InvalidateRect(paintWindow_, nullptr, TRUE); break;
            default: break;
        }
    });
}

void TZelFormManager::FrameMessage(TMessage& Msg, bool& Handled) {
    TZelHookClass* hook = frameHook_;
    GuardedCall(this, [&] {
        if (OnMessage)
            OnMessage(this, Msg);
        switch (Msg.Msg) {
            case WM_MOVE:
                if (OnMove)
                    OnMove(this);
                break;
            case WM_SIZE:
            case WM_WINDOWPOSCHANGED:
                if (Going())
                    break;
                hook->CallPrevious();
                buttons_->LayoutAll(false);
                SendMessageW(form_->Handle(), WM_NCPAINT, 1, 0);
                Handled = true;
                break;
            case WM_CLOSE: formStore_->SaveToStore(); break;
            case WM_SETTINGCHANGE:
            case WM_NCPAINT:
            case WM_NCACTIVATE:
                hook->CallPrevious();
                buttons_->LayoutAll(true);
                Handled = true;
                break;
            case WM_GETMINMAXINFO: GetMinMaxInfo(*reinterpret_cast<MINMAXINFO*>(Msg.LParam)); break;
            case WM_COMPACTING:
                if (OnSysMemLow)
                    OnSysMemLow(this, static_cast<int>(Msg.WParam));
                break;
            case WM_NCMOUSEMOVE:
                if (buttons_->TrackPointer(Msg)) {
                    Msg.Result = 1;
                    Handled = true;
                }
                break;
            case WM_NCLBUTTONDOWN:
            case WM_NCLBUTTONDBLCLK: Handled = buttons_->Press(Msg); break;
            case WM_SYSCOMMAND:
                if (TCustomForm* form = OwnerForm(); form && form->Active())
                    SystemCommand(Msg.WParam & 0xFFF0);
                break;
            case WM_LBUTTONUP:
            case WM_LBUTTONDBLCLK: ReleaseButtons(*hook, Msg, Handled); break;
            case WM_DROPFILES: DropFiles(Msg, Handled); break;
            default: break;
        }
    });
}

void TZelFormManager::ReleaseButtons(TZelHookClass& Hook, TMessage& Msg, bool& Handled) {
    // The capture goes on every release, also when a click throws (the
    // message then goes on to the form unhandled).
    struct TCaptureRelease {
        ~TCaptureRelease() { ReleaseCapture(); }
    } release;
    buttons_->Release(Msg);
    Hook.CallPrevious();
    Handled = true;
}

void TZelFormManager::GetMinMaxInfo(MINMAXINFO& Info) {
    TZelFormConstraints& c = *constraints_;
    if (OnGetConstraints)
        OnGetConstraints(this, c.minWidth_, c.maxWidth_, c.minHeight_, c.maxHeight_);
    if (c.minWidth_ > 0)
        Info.ptMinTrackSize.x = c.minWidth_;
    if (c.maxWidth_ > 0)
        Info.ptMaxTrackSize.x = c.maxWidth_;
    if (c.minHeight_ > 0)
        Info.ptMinTrackSize.y = c.minHeight_;
    if (c.maxHeight_ > 0)
        Info.ptMaxTrackSize.y = c.maxHeight_;
}

void TZelFormManager::SystemCommand(WPARAM Command) {
    TNotifyEvent* event = &OnSysOther;
    switch (Command) {
        case SC_SIZE: event = &OnSysSize; break;
        case SC_MOVE: event = &OnSysMove; break;
        case SC_MINIMIZE: event = &OnSysMinimize; break;
        case SC_MAXIMIZE: event = &OnSysMaximize; break;
        case SC_NEXTWINDOW: event = &OnSysNextWindow; break;
        case SC_PREVWINDOW: event = &OnSysPrevWindow; break;
        case SC_CLOSE: event = &OnSysClose; break;
        case SC_RESTORE: event = &OnSysRestore; break;
        case SC_TASKLIST: event = &OnSysTasklist; break;
        case SC_SCREENSAVE: event = &OnSysScreenSave; break;
        case SC_HOTKEY: event = &OnSysHotkey; break;
        case SC_DEFAULT: event = &OnSysDefault; break;
        case SC_MONITORPOWER: event = &OnSysMonitorPower; break;
        case SC_CONTEXTHELP: event = &OnSysContextHelp; break;
        default: break;
    }
    if (*event)
        (*event)(this);
}

void TZelFormManager::DropFiles(TMessage& Msg, bool& Handled) {
    auto drop = reinterpret_cast<HDROP>(Msg.WParam);
    if (Designing() || !drop)
        return;
    // From here the drop is ours: it goes back to the system however this
    // ends, and nothing behind us may use it again.
    struct TDropRelease {
        HDROP Drop;
        ~TDropRelease() { DragFinish(Drop); }
    } release{drop};
    Handled = true;
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    if (static_cast<int>(count) <= 0)
        return;
    POINT at{};
    DragQueryPoint(drop, &at);
    TStringList files;
    // Every name as the system gives it, of any length: these are the
    // user's paths, opened and shown as they are.
    for (UINT i = 0; i < count; ++i) {
        const UINT length = DragQueryFileW(drop, i, nullptr, 0);
        std::vector<wchar_t> name(length + 1, L'\0');
        DragQueryFileW(drop, i, name.data(), length + 1);
        files.Add(FromSystem(std::wstring(name.data(), length)));
    }
    if (OnDropFiles)
        OnDropFiles(this, at.x, at.y, &files, static_cast<int>(count));
    if (OnEachDroppedFile)
        for (int i = 0; i < files.Count(); ++i)
            OnEachDroppedFile(this, files.Strings(i));
}

}  // namespace vexel
