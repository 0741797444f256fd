// The form manager: a component dropped on a form that changes how the form's
// window behaves without the form's own code taking part: frame and caption
// styles, top-most, tracking limits, caption buttons, a painted background,
// stored placement, docking into a panel, dropped files and system commands.
//
//     auto* manager = new TZelFormManager(form);     // at most one per form
//     manager->SetTopMost(true);
//     manager->Constraints()->SetMinWidth(300);
//     manager->Background()->SetBackgroundStyle(TZelFormBackStyle::bGradient);
//     TZelCButton* help = manager->Buttons()->Add();
//     help->SetCaption("&Help");
//     help->OnClick = [](TObject*) { ShowHelp(); };
//
// It sees the form's messages through two hooks (system/hook_list.h): the
// client handler first, then the frame handler, then the form itself. Every
// event takes the manager as its sender; an exception from one goes to
// Application->HandleException. Free the manager or its form from inside one
// of its events only through the form's Release.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>

#include "framework/core/graphics_object.h"
#include "framework/core/string_list.h"
#include "framework/core/sysutils.h"
#include "framework/win32/forms.h"
#include "framework/win32/panels.h"
#include "system/caption_buttons.h"
#include "system/form_background.h"
#include "system/form_store.h"
#include "system/hook_list.h"
#include "system/systems_component.h"

namespace vexel {

// A second manager on a form.
class EZelDuplicateError : public Exception {
    using Exception::Exception;
};
// A manager whose owner has no window.
class EZelOwnerFormNeeded : public Exception {
    using Exception::Exception;
};

// Frame and caption styles of the form's window, by bit number.
enum TZelFormProperties {
    dsgnPreview,  // in a designer: show the styles there too
    wsDlgFrame,
    wsThickframe,
    wsBorder,
    wsCaption,
    wsMinimizeBox,
    wsMaximizeBox,
    wsSysMenu,
    wsexAppWindow,
    wsexClientEdge,
    wsexDlgModalFrame,
    wsexStaticEdge,
    wsexToolwindow,
    wsexContextHelp,
    wsexTransparent,
    wsexAcceptFiles,
};

class TZelFormPropertySet {
public:
    constexpr TZelFormPropertySet() = default;
    constexpr TZelFormPropertySet(std::initializer_list<TZelFormProperties> Elements) {
        for (TZelFormProperties e : Elements)
            bits_ = static_cast<uint16_t>(bits_ | Bit(e));
    }
    static constexpr TZelFormPropertySet FromBits(uint16_t Bits) {
        TZelFormPropertySet set;
        set.bits_ = Bits;
        return set;
    }
    constexpr uint16_t Bits() const { return bits_; }
    constexpr bool Contains(TZelFormProperties Element) const { return (bits_ & Bit(Element)) != 0; }
    constexpr TZelFormPropertySet With(TZelFormProperties Element) const { return FromBits(bits_ | Bit(Element)); }
    constexpr TZelFormPropertySet Without(TZelFormProperties Element) const {
        return FromBits(static_cast<uint16_t>(bits_ & ~Bit(Element)));
    }
    constexpr bool operator==(const TZelFormPropertySet& Other) const { return bits_ == Other.bits_; }
    constexpr bool operator!=(const TZelFormPropertySet& Other) const { return bits_ != Other.bits_; }

private:
    static constexpr uint16_t Bit(TZelFormProperties Element) { return static_cast<uint16_t>(1u << Element); }
    uint16_t bits_ = 0;
};

// The stored default: wsDlgFrame to wsSysMenu.
constexpr TZelFormPropertySet ZelDefaultFormProperties = TZelFormPropertySet::FromBits(0xFE);

// Tracking-size limits; 0 or less is no limit. Every setter signals a change,
// also when the value stays.
class TZelFormConstraints : public TGraphicsObject {
public:
    int32_t MinWidth() const { return minWidth_; }
    void SetMinWidth(int32_t Value);
    int32_t MinHeight() const { return minHeight_; }
    void SetMinHeight(int32_t Value);
    int32_t MaxWidth() const { return maxWidth_; }
    void SetMaxWidth(int32_t Value);
    int32_t MaxHeight() const { return maxHeight_; }
    void SetMaxHeight(int32_t Value);

private:
    friend class TZelFormManager;  // hands the fields to OnGetConstraints
    int32_t minWidth_ = 0;
    int32_t minHeight_ = 0;
    int32_t maxWidth_ = 0;
    int32_t maxHeight_ = 0;
};

using TZelOnFormDropFile =
    std::function<void(TObject* Sender, int X, int Y, TStringList* Files, int FileCount)>;
using TZelFormGetFile = std::function<void(TObject* Sender, const std::string& FileAndPath)>;
using TZelFormOnSysMemLow = std::function<void(TObject* Sender, int CompactRatio)>;
using TZelFormMessage = std::function<void(TObject* Sender, TMessage& WndMessage)>;
using TZelFormGetConstraints =
    std::function<void(TObject* Sender, int32_t& MinWidth, int32_t& MaxWidth, int32_t& MinHeight, int32_t& MaxHeight)>;

class TZelFormManager : public TZelSystemsComponent {
public:
    // EZelOwnerFormNeeded when AOwner is no windowed control, EZelDuplicateError
    // when it already has a manager. Makes the owner's window.
    explicit TZelFormManager(TComponent* AOwner);

    TZelCButtons* Buttons() const { return buttons_.get(); }
    // Copies the given buttons.
    void SetButtons(TZelCButtons* Value);
    TZelFormBackground* Background() const { return background_.get(); }
    TZelFormStore* FormStore() const { return formStore_.get(); }
    bool TopMost() const { return topMost_; }
    void SetTopMost(bool Value);
    TZelFormConstraints* Constraints() const { return constraints_.get(); }
    // The panel the form is docked into, or null.
    TCustomPanel* Parent() const { return parent_; }
    void SetParent(TCustomPanel* Value);
    TAlign ParentAlign() const { return parentAlign_; }
    void SetParentAlign(TAlign Value);
    // Read from the window when the manager is made.
    TZelFormPropertySet Properties() const { return properties_; }
    void SetProperties(TZelFormPropertySet Value);

    // Files dropped on the form: their names (UTF-8) as the system gives
    // them, long ones too, and the count the drop holds.
    TZelOnFormDropFile OnDropFiles;
    TZelFormGetFile OnEachDroppedFile;
    TZelFormOnSysMemLow OnSysMemLow;
    TZelFormMessage OnMessage;
    TZelFormGetConstraints OnGetConstraints;
    TNotifyEvent OnMove;
    TNotifyEvent OnSysClose;
    TNotifyEvent OnSysMove;
    TNotifyEvent OnSysMaximize;
    TNotifyEvent OnSysMinimize;
    TNotifyEvent OnSysHotkey;
    TNotifyEvent OnSysContextHelp;
    TNotifyEvent OnSysDefault;
    TNotifyEvent OnSysMonitorPower;
    TNotifyEvent OnSysNextWindow;
    TNotifyEvent OnSysPrevWindow;
    TNotifyEvent OnSysRestore;
    TNotifyEvent OnSysScreenSave;
    TNotifyEvent OnSysSize;
    TNotifyEvent OnSysTasklist;
    TNotifyEvent OnSysOther;

    // What the owned objects work on.
    TWinControl* Form() const { return form_; }
    // The owner as a form, or null when it is another windowed control.
    TCustomForm* OwnerForm() const;
    // The window the background is painted in.
    HWND PaintWindow() const { return paintWindow_; }
    // Has the system recalculate and repaint the form's frame.
    void FrameRefresh();
    bool Loading() const { return (ComponentState() & csLoading) != 0; }
    bool Designing() const { return (ComponentState() & csDesigning) != 0; }
    bool Going() const { return (ComponentState() & csDestroying) != 0; }
    TZelHookClass* FrameHook() const { return frameHook_; }
    TZelHookClass* ClientHook() const { return clientHook_; }

protected:
    ~TZelFormManager() override;
    // Restores the stored placement when the store holds this form's marker,
    // then applies Properties to the window.
    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void BeforeDestruction() override;

private:
    void ClientMessage(TMessage& Msg, bool& Handled);
    void FrameMessage(TMessage& Msg, bool& Handled);
    void DropFiles(TMessage& Msg, bool& Handled);
    void SystemCommand(WPARAM Command);
    void GetMinMaxInfo(MINMAXINFO& Info);
    void ReleaseButtons(TZelHookClass& Hook, TMessage& Msg, bool& Handled);
    void ApplyProperties(TZelFormPropertySet Value);
    void ComputePaintWindow();
    void BackgroundChanged();
    void ClientReloaded();
    void FrameReloaded();
    void Teardown();
    // Sends Msg to Window with a DC of the form's window as wParam.
    void SendWithFormDC(HWND Window, UINT Msg);

    TWinControl* form_ = nullptr;
    HWND paintWindow_ = nullptr;
    std::unique_ptr<TZelCButtons> buttons_;
    std::unique_ptr<TZelFormStore> formStore_;
    std::unique_ptr<TZelFormConstraints> constraints_;
    std::unique_ptr<TZelFormBackground> background_;
    TZelHookClass* frameHook_ = nullptr;   // listed in HookList()
    TZelHookClass* clientHook_ = nullptr;
    bool topMost_ = false;
    TCustomPanel* parent_ = nullptr;
    TAlign parentAlign_ = alNone;
    TZelFormPropertySet properties_ = ZelDefaultFormProperties;
    bool tornDown_ = false;
};

}  // namespace vexel
