// The slide presentation: a windowless surface that composes text and
// picture slides over its background off-screen and brings each onto the
// screen with one of the transition effects (transitions.h), driven by the
// suite's thread timer.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <random>
#include <string>

#include "framework/core/classes.h"
#include "framework/win32/graphics.h"
#include "framework/win32/labels.h"
#include "widgets/background.h"
#include "widgets/drawing_base.h"
#include "widgets/enhanced_timer.h"

namespace vexel {

class TZelPresentation;

// Slide kinds (TZelSlide::Style); any other value shows the bare background.
constexpr int32_t kTextSlide = 1;
constexpr int32_t kPictureSlide = 2;

class TZelSlide : public TCollectionItem {
public:
    explicit TZelSlide(TCollection* Collection);

    // Copies the picture, Style, Effect, Text and ID of another slide; Stretch
    // stays as it is.
    void Assign(TPersistent* Source) override;

    // The owned picture of a picture slide.
    TBitmap* Bitmap() { return &bitmap_; }
    void SetBitmap(TBitmap* Value);  // copies; nullptr empties it
    int32_t Style() const { return style_; }
    void SetStyle(int32_t Value) { style_ = Value; }
    // The transition number: 1 to 54, 0 for a random one each time, 55 and
    // above to compose the slide without showing it.
    int32_t Effect() const { return effect_; }
    void SetEffect(int32_t Value) { effect_ = Value; }
    const std::string& Text() const { return text_; }
    void SetText(const std::string& Value) { text_ = Value; }
    // A free identifier for the program's own use (not the collection's
    // numeric ID, which TCollectionItem::ID still gives).
    const std::string& ID() const { return id_; }
    void SetID(const std::string& Value) { id_ = Value; }
    // Stretch the picture over the whole area instead of centring it.
    bool Stretch() const { return stretch_; }
    void SetStretch(bool Value) { stretch_ = Value; }

private:
    TBitmap bitmap_;
    int32_t style_ = 0;
    int32_t effect_ = 0;
    std::string text_;
    std::string id_;
    bool stretch_ = false;
};

class TZelSlides : public TCollection {
public:
    explicit TZelSlides(TZelPresentation* Presentation);
    TZelPresentation* Presentation() const { return presentation_; }
    TZelSlide* Items(int Index) const { return static_cast<TZelSlide*>(TCollection::Items(Index)); }
    TZelSlide* Add() { return static_cast<TZelSlide*>(TCollection::Add()); }

private:
    TZelPresentation* presentation_;
};

// Fired after every step of a transition: the effect being run (after a
// random pick) and the steps taken so far.
using TTransitionStepEvent = std::function<void(TObject* Sender, int Effect, int Step)>;

// Paints its Background (or, without one, its caption in Font on Color, as
// a label does); slides appear only through ShowSlide, so a repaint of the
// window shows the ground again.
//
// The slide show: Start runs the slide timer, which every Speed ms shows the
// next slide (the first after Speed ms), fires OnSlideDone, and after the
// last slide fires OnLoopDone and starts over at the first slide, stopping
// there unless KeepLooping. Stop halts it where it is; the next Start goes on
// from the slide that was next. The timer runs a worker thread only while the
// show runs.
//
// Transitions copy the frame to the screen step by step and let the message
// queue run after every step, so the program stays responsive while a slide
// comes in. A transition stops early when the presentation is freed or its
// window destroyed meanwhile, or when the program is terminating.
class TZelPresentation : public TCustomLabel {
public:
    explicit TZelPresentation(TComponent* AOwner);

    TZelSlides* Slides() const { return slides_.get(); }
    void SetSlides(TZelSlides* Value) { slides_->Assign(Value); }
    // The slide interval in ms, up to 65535; a negative value is stored but
    // leaves the interval as it was.
    int32_t Speed() const { return speed_; }
    void SetSpeed(int32_t Value);
    bool KeepLooping() const { return keepLooping_; }
    void SetKeepLooping(bool Value) { keepLooping_ = Value; }
    // The ground of the control and of every slide.
    TZelBackground* Background() const { return background_.Get(); }
    void SetBackground(TZelBackground* Value);
    // Fills the face of the letters of text slides; without it text slides
    // are drawn in Font with the 3-D look of Font3D.
    TZelBackground* FontBackground() const { return fontBackground_.Get(); }
    void SetFontBackground(TZelBackground* Value);
    TZelFont3D* Font3D() const { return font3D_.get(); }
    void SetFont3D(TZelFont3D* Value);  // copies

    TNotifyEvent OnSlideDone;
    TNotifyEvent OnLoopDone;
    TTransitionStepEvent OnTransitionStep;

    // Composes slide Index and shows it with its transition; an index out of
    // range does nothing. Draws on the canvas when it is bound to a DC (the
    // control is painting), else straight onto the parent window.
    virtual void ShowSlide(int Index);

    void Start();
    void Stop();
    bool Running() const { return timer_->Enabled(); }
    // The slide the next tick shows.
    int SlideIndex() const { return index_; }
    const TZelEnhancedTimer32* SlideTimer() const { return timer_; }

protected:
    ~TZelPresentation() override;
    void BeforeDestruction() override;
    void Paint() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    // Composes the slide in Frame (Width x Height).
    void Compose(TZelSlide* Slide, TBitmap& Frame);
    void Tick();

    std::unique_ptr<TZelSlides> slides_;
    int32_t speed_ = 1000;
    bool keepLooping_ = false;
    TZelBackgroundLink background_;
    TZelBackgroundLink fontBackground_;
    std::unique_ptr<TZelFont3D> font3D_;
    int index_ = 0;
    TZelEnhancedTimer32* timer_ = nullptr;
    std::mt19937 random_;
    // Cleared when the presentation is freed: code that let messages run
    // checks it before touching the object again.
    std::shared_ptr<bool> alive_;
};

}  // namespace vexel
