// Caption buttons: push buttons with a text caption drawn into a form's title
// bar, left of the system buttons, pressed with the mouse like them, that
// fire OnClick or open a drop-down menu. They are the Buttons of a form
// manager, whose frame handler lays them out, paints them and passes them
// the mouse (system/form_manager.h).
//
//     TZelCButton* menu = manager->Buttons()->Add();   // index 0: nearest the system buttons
//     menu->SetCaption("&View");                        // the width follows the text
//     menu->SetDropDownmenu(viewMenu);                  // a TPopupMenu, not owned
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "framework/core/classes.h"
#include "framework/core/colors.h"
#include "framework/core/types.h"
#include "framework/win32/graphics.h"
#include "framework/win32/menus.h"
#include "framework/win32/messages.h"

namespace vexel {

class TZelFormManager;
class TZelCButtons;

class TZelCButton : public TCollectionItem {
public:
    explicit TZelCButton(TCollection* Collection);
    ~TZelCButton() override;

    TColor Color() const { return color_; }
    void SetColor(TColor Value);
    // Opened below the button when it is clicked; cleared when the menu goes.
    TPopupMenu* DropDownmenu() const { return dropDownMenu_; }
    void SetDropDownmenu(TPopupMenu* Value);
    // Pixels added to the system button width; negative values are ignored.
    int32_t Width() const { return width_; }
    void SetWidth(int32_t Value);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool Value);
    // A hidden button is neither drawn nor hit, but keeps its place.
    bool Visible() const { return visible_; }
    void SetVisible(bool Value);
    // "&" underlines the next character. Setting it at run time makes Width
    // the text's width in the form's font, plus 2.
    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& Value);
    // Its size is always half the system caption-button width.
    TFont* Font() const { return font_.get(); }
    void SetFont(TFont* Value) { font_->Assign(Value); }

    TNotifyEvent OnClick;

    // Copies another caption button; anything else as TPersistent does.
    void Assign(TPersistent* Source) override;
    // Opens the drop-down menu (returning once it closes), then fires OnClick.
    virtual void Click();

    // In window coordinates: the origin is the window's top-left corner,
    // frame included.
    TRect BoundsRect() const { return bounds_; }
    bool Down() const { return down_; }
    bool Tracking() const { return tracking_; }

    // Places the button after the one before it, from the window's styles
    // and the system metrics.
    void Layout();
    // Draws the button into the window's frame.
    void Paint();
    // Draws the button on DC, a DC of the whole window.
    void PaintOn(HDC DC);
    // Whether the mouse message's point lies on the button.
    bool HitTest(const TMessage& Msg) const;

    TZelFormManager* Manager() const;

private:
    friend class TZelCButtons;
    void FontChanged();
    void Refresh();

    TColor color_ = clBtnFace;
    TPopupMenu* dropDownMenu_ = nullptr;
    int32_t width_ = 0;
    bool enabled_ = true;
    bool visible_ = true;
    std::string caption_;
    std::unique_ptr<TFont> font_;
    TRect bounds_;
    bool tracking_ = false;
    bool down_ = false;
    bool fixingFont_ = false;
};

class TZelCButtons : public TCollection {
public:
    explicit TZelCButtons(TZelFormManager* Manager);

    TZelCButton* Add() { return static_cast<TZelCButton*>(TCollection::Add()); }
    TZelCButton* Items(int Index) const { return static_cast<TZelCButton*>(TCollection::Items(Index)); }
    TZelFormManager* Manager() const { return manager_; }

    // Lays out and (with Paint) draws every button in index order.
    void LayoutAll(bool Paint);
    // A press on the frame: takes the capture for a button hit; true when
    // one was hit.
    bool Press(const TMessage& Msg);
    // A move over the frame: true when a button was being pressed.
    bool TrackPointer(const TMessage& Msg);
    // A release: clicks the pressed button under the pointer and ends every
    // press, also when a click throws.
    void Release(const TMessage& Msg);
    // Forgets Menu wherever a button opens it.
    void MenuRemoved(TComponent* Menu);

private:
    TZelFormManager* manager_;
};

// The system caption-button width and the size the buttons' font keeps:
// half of it, rounded to even.
int CaptionButtonFontSize();

}  // namespace vexel
