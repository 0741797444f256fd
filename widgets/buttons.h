// The windowless push buttons of the suite: the flat tool button
// (TZelIEButton) with latching groups and a drop-down menu, the rounded
// button with a lamp (TZelOfficeButton), the round button
// (TZelRoundButton), and the drawing steps they share.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "framework/core/colors.h"
#include "framework/win32/menus.h"
#include "widgets/background.h"
#include "widgets/drawing_base.h"

namespace vexel {

// How many rings a tool button's border has: 1, 2 or 3.
enum TZelButtonKind { bk97, bkNormal, bkDeep };

enum TZelButtonOption : uint8_t {
    opMonoDisplay = 1,  // the glyph is greyed until the mouse is over the button
    opMenuArrow = 2,    // a small arrow shows that a drop-down menu is attached
    opTextonly = 4,     // the caption alone, no glyph
    opBitmapOnly = 8,   // the glyph alone, centred, no caption
};
using TZelButtonOptions = uint8_t;

enum TZelButtonType { btNormal, btInset };

// Draws 1, 2 or 3 nested one-pixel rings (Frame3D) into (0, 0, W, H), raised
// or sunk. From the outside in: silver and black, white and grey, then the
// system's highlight and shadow; with fewer rings the inner ones are kept and
// the right and bottom edge is left free.
void DrawButtonBorder(TCanvas* Canvas, int W, int H, bool Sunk, int Rings);

// A small downward triangle in the canvas font's colour: 7 pixels wide on row
// Y - 1, narrowing to one pixel at (X + 3, Y + 2).
void DrawMenuArrow(TCanvas* Canvas, int X, int Y);

// A flat button for tool bars: its border shows only while the mouse is over
// it, while it is pressed, or while it is latched down. Hover is tracked by
// holding the mouse capture while the pointer is over the button (and the
// button's form is active), so it needs no leave notices.
//
// Buttons of one parent with the same GroupIndex (not 0) latch: clicking one
// sets its Down and releases the others; with AllowAllUp a click on the
// latched one releases it. With a DropDownMenu, a left press shows the menu
// below the button instead of clicking it.
class TZelIEButton : public TZelGraphicControl {
public:
    explicit TZelIEButton(TComponent* AOwner);

    // Repaints even when the text stays the same.
    void SetCaption(const std::string& Value);

    TZelGlyph* Glyph() const { return glyph_.get(); }
    void SetGlyph(TZelGlyph* Value) { glyph_->Assign(Value); }
    TZelFont3D* Font3D() const { return font3D_.get(); }
    void SetFont3D(TZelFont3D* Value);
    // Side of the glyph relative to the caption.
    TZelPosition Layout() const { return layout_; }
    void SetLayout(TZelPosition Value);
    TZelButtonOptions Options() const { return options_; }
    void SetOptions(TZelButtonOptions Value);
    TZelButtonKind BevelLooks() const { return bevelLooks_; }
    void SetBevelLooks(TZelButtonKind Value);

    int32_t GroupIndex() const { return groupIndex_; }
    // 0 releases a latched button.
    void SetGroupIndex(int32_t Value);
    bool Down() const { return down_; }
    // Ignored without a group; latching one releases the other members.
    void SetDown(bool Value);
    bool AllowAllUp() const { return allowAllUp_; }
    // Shared by the whole group: setting it sets it on every member.
    void SetAllowAllUp(bool Value);

    // Not owned; forgotten when the menu is freed.
    TPopupMenu* DropDownMenu() const { return dropDownMenu_; }
    void SetDropDownMenu(TPopupMenu* Value);
    // An outline that shows the button's extent while it is designed.
    bool DesignTimeFrame() const { return designTimeFrame_; }
    void SetDesignTimeFrame(bool Value);

    // The mouse is over the button / a mouse button is held on it.
    bool Hot() const { return hot_; }
    bool Pressed() const { return pressed_; }

    TNotifyEvent OnRightMouseDown;

protected:
    ~TZelIEButton() override;
    void Paint() override;
    void WndProc(TMessage& Message) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    // A change of Enabled drops Pressed, Hot and (outside a group) Down.
    void EnabledChanged() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

    // Sets the state flags directly (for subclasses that show the states).
    void SetHot(bool Value) { hot_ = Value; }
    void SetPressed(bool Value) { pressed_ = Value; }

private:
    bool ArrowShown();
    bool ParentFormActive() const;
    void LeftPress(TMessage& Message);
    void LeftRelease(TMessage& Message);
    void RightPress(TMessage& Message);
    bool AcceleratorKey(char Key);
    // The other buttons of the group, in their parent's order.
    template <class TFunc>
    void ForEachGroupMember(TFunc Func);
    void ReleaseOthers();

    std::unique_ptr<TZelGlyph> glyph_;
    std::unique_ptr<TZelFont3D> font3D_;
    TZelPosition layout_ = pTop;
    TZelButtonOptions options_ = opMonoDisplay | opMenuArrow;
    TZelButtonKind bevelLooks_ = bk97;
    int32_t groupIndex_ = 0;
    bool down_ = false;
    bool allowAllUp_ = false;
    TPopupMenu* dropDownMenu_ = nullptr;
    bool designTimeFrame_ = true;
    bool hot_ = false;
    bool pressed_ = false;
};

// A rounded button with a small round lamp left of its caption. Hover comes
// from the framework's mouse enter and leave notices; the lamp shows
// LedNormal at rest, LedOut under the mouse and LedIn while pressed there.
// Without a Background its face is light yellow.
class TZelOfficeButton : public TZelGraphicControl {
public:
    explicit TZelOfficeButton(TComponent* AOwner);

    TColor BorderColor() const { return borderColor_; }
    void SetBorderColor(TColor Value);
    TColor LedNormal() const { return ledNormal_; }
    void SetLedNormal(TColor Value);
    // These two show at the next paint.
    TColor LedIn() const { return ledIn_; }
    void SetLedIn(TColor Value) { ledIn_ = Value; }
    TColor LedOut() const { return ledOut_; }
    void SetLedOut(TColor Value) { ledOut_ = Value; }
    // Width and height of the corner ellipses.
    int32_t RoundSize() const { return roundSize_; }
    void SetRoundSize(int32_t Value);

    TZelFont3D* Font3D() const { return font3D_.get(); }
    void SetFont3D(TZelFont3D* Value);
    TZelBackground* Background() const { return background_.Get(); }
    void SetBackground(TZelBackground* Value) { background_.Set(Value); }

    bool Hot() const { return hot_; }
    bool Pressed() const { return pressed_; }

    // The colour the face is filled with when there is no Background.
    static constexpr TColor kFaceColor = static_cast<TColor>(0xA4FFFF);
    // The lamp's left edge, and where the caption's room begins right of it
    // (the 11-pixel lamp and a gap) and how far it stays off the right edge:
    // a caption is centred between them, and a button is wide enough for
    // one of width W when it is W + kCaptionLeft + kCaptionRightRoom wide.
    static constexpr int kLedLeft = 7;
    static constexpr int kCaptionLeft = kLedLeft + 11 + 3;
    static constexpr int kCaptionRightRoom = 5;

protected:
    ~TZelOfficeButton() override;
    void Paint() override;
    void WndProc(TMessage& Message) override;
    void MouseEnter() override;
    void MouseLeave() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

    // Sets the state directly (for subclasses that show the states).
    void SetState(bool Hot, bool Pressed) {
        hot_ = Hot;
        pressed_ = Pressed;
        offset_ = Pressed ? 1 : 0;
    }

private:
    void DrawLed(TCanvas* Canvas, int X, int Y);

    TColor borderColor_ = clBlack;
    TColor ledNormal_ = static_cast<TColor>(0x800000);
    TColor ledIn_ = static_cast<TColor>(0xFFFF00);
    TColor ledOut_ = static_cast<TColor>(0x808000);
    int32_t roundSize_ = 20;
    std::unique_ptr<TZelFont3D> font3D_;
    TZelBackgroundLink background_;
    bool hot_ = false;
    bool pressed_ = false;
    int offset_ = 0;  // lamp and caption move down and right by it while pushed
};

// A round button: a disc showing the Background inside a 3-D rim, with a
// centred glyph. Only presses and releases inside the circle count, and
// OnClick fires only for clicks inside it.
class TZelRoundButton : public TZelGraphicControl {
public:
    explicit TZelRoundButton(TComponent* AOwner);

    TZelButtonType ButtonType() const { return buttonType_; }
    void SetButtonType(TZelButtonType Value);
    TZelGlyph* Glyph() const { return glyph_.get(); }
    void SetGlyph(TZelGlyph* Value) { glyph_->Assign(Value); }
    // A key colour for the disc; it must not occur in the background.
    TColor UnUsedColor() const { return unUsedColor_; }
    void SetUnUsedColor(TColor Value);
    TZelBackground* Background() const { return background_.Get(); }
    void SetBackground(TZelBackground* Value) { background_.Set(Value); }

    // Whether (X, Y) lies inside the circle, which follows the width.
    bool HitTest(int X, int Y) const;
    bool Pressed() const { return pressed_; }

protected:
    ~TZelRoundButton() override;
    void Paint() override;
    void WndProc(TMessage& Message) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

    void SetPressed(bool Value) { pressed_ = Value; }

private:
    void DrawRim(TCanvas* Canvas);
    void RedrawRim();

    TZelButtonType buttonType_ = btNormal;
    std::unique_ptr<TZelGlyph> glyph_;
    TColor unUsedColor_ = clLime;
    TZelBackgroundLink background_;
    bool pressed_ = false;
    bool tracking_ = false;
};

}  // namespace vexel
