// The presentation: its slides and settings, slides composed from text and
// pictures over the ground, effects 0 and 55, the tick logic driven by the
// slide timer, being freed in the middle of a transition, and slides reaching
// a shown window.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "framework/core/sysutils.h"
#include "framework/win32/forms.h"
#include "tests/widgets/widget_pixels.h"
#include "widgets/background.h"
#include "widgets/presentation.h"

using namespace vexel;
using vexel::testing::CountColor;
using vexel::testing::Fill;
using vexel::testing::FrameworkTest;
using vexel::testing::kInk;
using vexel::testing::LooksLike;
using vexel::testing::PumpFor;
using vexel::testing::PumpUntil;
using vexel::testing::SharpFont;
using vexel::testing::TTextShape;

namespace {

constexpr TColor kScreen = 0x030201;  // what the screen showed before
constexpr TColor kStageGround = clYellow;

// A presentation of its own size drawing onto an off-screen "screen": its
// canvas is bound to the bitmap, as while the control paints.
struct PresentationStage {
    TZelPresentation* p;
    TBitmap screen;

    PresentationStage(int width, int height) : p(new TZelPresentation(nullptr)), screen(width, height) {
        p->SetBounds(0, 0, width, height);
        p->SetColor(kStageGround);
        SharpFont(*p->Font(), kInk);
        Fill(screen, kScreen);
    }
    ~PresentationStage() { p->Free(); }

    TZelSlide* Add(int32_t style, int32_t effect = 1) {
        TZelSlide* slide = p->Slides()->Add();
        slide->SetStyle(style);
        slide->SetEffect(effect);
        return slide;
    }
    TBitmap& Show(int index) {
        ScopedCanvasHandle bind(*p->Canvas(), screen.Canvas()->Handle());
        p->ShowSlide(index);
        return screen;
    }
    TBitmap& Paint() {
        p->PaintTo(screen.Canvas()->Handle(), 0, 0);
        return screen;
    }
};

// A picture whose pixels all differ.
void Picture(TBitmap& bitmap, int width, int height) {
    bitmap.SetSize(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            bitmap.SetPixelColor(x, y, RGBColor(30 + 50 * x, 200 - 60 * y, 90));
}

TZelBackground* SolidBackground(TColor color) {
    auto* background = new TZelBackground(nullptr);
    background->SetBackgroundStyle(bSolidcolor);
    background->SetSolidColor(color);
    return background;
}

// Records the slides the timer asks for instead of showing them.
class TRecordingPresentation : public TZelPresentation {
public:
    using TZelPresentation::TZelPresentation;
    void ShowSlide(int Index) override { Shown.push_back(Index); }
    std::vector<int> Shown;

protected:
    ~TRecordingPresentation() override = default;
};

}  // namespace

class Presentation : public FrameworkTest {};

TEST_F(Presentation, StartsStoppedWithEmptySlidesAndTheListedDefaults) {
    auto* p = new TZelPresentation(nullptr);
    EXPECT_EQ(p->Speed(), 1000);
    EXPECT_FALSE(p->KeepLooping());
    EXPECT_FALSE(p->AutoSize());
    EXPECT_EQ(p->Background(), nullptr);
    EXPECT_EQ(p->FontBackground(), nullptr);
    EXPECT_EQ(p->Font3D()->Style3D(), fontOnlyHighlight);
    EXPECT_EQ(p->Slides()->Count(), 0);
    EXPECT_EQ(p->Slides()->Presentation(), p);
    EXPECT_EQ(p->SlideIndex(), 0);
    EXPECT_FALSE(p->Running());
    EXPECT_EQ(p->SlideTimer()->Interval(), 1000);
    EXPECT_FALSE(p->SlideTimer()->Running());
    EXPECT_EQ(p->ControlStyle() & csSetCaption, 0u);
    p->Free();
}

TEST_F(Presentation, SlidesCopyEverythingButStretch) {
    PresentationStage a(10, 10), b(10, 10);
    TZelSlide* source = a.Add(kPictureSlide, 7);
    Picture(*source->Bitmap(), 3, 2);
    source->SetText("Did you know?");
    source->SetID("tip-1");
    source->SetStretch(true);

    TZelSlide* copy = b.Add(0, 0);
    copy->Assign(source);
    EXPECT_EQ(copy->Style(), kPictureSlide);
    EXPECT_EQ(copy->Effect(), 7);
    EXPECT_EQ(copy->Text(), "Did you know?");
    EXPECT_EQ(copy->ID(), "tip-1");
    EXPECT_FALSE(copy->Stretch());
    ASSERT_EQ(copy->Bitmap()->Width(), 3);
    EXPECT_EQ(copy->Bitmap()->PixelColor(2, 1), source->Bitmap()->PixelColor(2, 1));
    EXPECT_NE(copy->Bitmap(), source->Bitmap());  // a picture of its own

    a.Add(kTextSlide, 3)->SetText("second");
    b.p->SetSlides(a.p->Slides());
    ASSERT_EQ(b.p->Slides()->Count(), 2);
    EXPECT_EQ(b.p->Slides()->Items(1)->Text(), "second");
    EXPECT_EQ(b.p->Slides()->Presentation(), b.p);

    TBitmap notASlide;  // (the copy above went with the assignment of all slides)
    EXPECT_THROW(b.p->Slides()->Items(0)->Assign(&notASlide), EConvertError);
}

TEST_F(Presentation, SpeedSetsTheSlideIntervalUnlessNegative) {
    PresentationStage s(10, 10);
    s.p->SetSpeed(250);
    EXPECT_EQ(s.p->SlideTimer()->Interval(), 250);
    s.p->SetSpeed(-1);
    EXPECT_EQ(s.p->Speed(), -1);
    EXPECT_EQ(s.p->SlideTimer()->Interval(), 250);
    s.p->SetSpeed(0);
    EXPECT_EQ(s.p->SlideTimer()->Interval(), 0);
    s.p->SetSpeed(100000);  // beyond what the timer holds: its longest
    EXPECT_EQ(s.p->SlideTimer()->Interval(), 65535);
}

TEST_F(Presentation, WithoutSlidesItShowsItsBackgroundOrItsCaptionOnColor) {
    PresentationStage s(60, 24);
    s.p->SetCaption("Tips");
    TBitmap& plain = s.Paint();
    EXPECT_GT(CountColor(plain, kInk), 10);
    EXPECT_EQ(CountColor(plain, kStageGround) + CountColor(plain, kInk), 60 * 24);

    TZelBackground* teal = SolidBackground(clTeal);
    s.p->SetBackground(teal);
    EXPECT_EQ(CountColor(s.Paint(), clTeal), 60 * 24);  // no caption over it

    Fill(s.screen, kScreen);
    s.Show(0);  // there is no slide 0
    EXPECT_EQ(CountColor(s.screen, kScreen), 60 * 24);
    s.p->SetBackground(nullptr);
    teal->Free();
}

TEST_F(Presentation, TextSlidesAreDrawnIn3DWrappedAndAligned) {
    const int W = 70, H = 40;
    const std::string text = "Many tips here";
    PresentationStage s(W, H);
    s.Add(kTextSlide)->SetText(text);
    s.p->SetAlignment(taCenter);
    // The default look: one highlight copy up and left of the face.
    TTextShape centred(W, H, *s.p->Font(), text, {0, 0, W, H}, DT_CENTER | DT_WORDBREAK | DT_EXPANDTABS);
    EXPECT_TRUE(LooksLike(s.Show(0), centred, kStageGround, {{-1, -1, clBtnHighlight}, {0, 0, kInk}}));
    TTextShape oneLine(W, H, *s.p->Font(), text, {0, 0, W, H}, DT_CENTER | DT_SINGLELINE);
    ASSERT_NE(centred.Count(), 0);
    ASSERT_FALSE(LooksLike(s.screen, oneLine, kStageGround, {{-1, -1, clBtnHighlight}, {0, 0, kInk}}));

    s.p->SetAlignment(taRightJustify);
    TTextShape right(W, H, *s.p->Font(), text, {0, 0, W, H}, DT_RIGHT | DT_WORDBREAK | DT_EXPANDTABS);
    EXPECT_TRUE(LooksLike(s.Show(0), right, kStageGround, {{-1, -1, clBtnHighlight}, {0, 0, kInk}}));

    // A disabled presentation draws its text in the disabled look.
    s.p->SetEnabled(false);
    EXPECT_TRUE(LooksLike(s.Show(0), right, kStageGround, {{0, 0, clBtnHighlight}, {-1, -1, clGrayText}}));
}

TEST_F(Presentation, TextSlidesWithAFontBackgroundHaveFacesOfThatBackground) {
    const int W = 70, H = 40;
    PresentationStage s(W, H);
    s.Add(kTextSlide)->SetText("Faced");
    s.p->SetAlignment(taCenter);
    s.p->Font3D()->SetThreeDimensional(false);
    TZelBackground* face = SolidBackground(clLime);
    s.p->SetFontBackground(face);
    TTextShape shape(W, H, *s.p->Font(), "Faced", {0, 0, W, H}, DT_CENTER | DT_WORDBREAK | DT_EXPANDTABS);
    EXPECT_TRUE(LooksLike(s.Show(0), shape, kStageGround, {{0, 0, clLime}}));
    face->Free();  // not owned by a common owner: the link hears of it all the same
    EXPECT_EQ(s.p->FontBackground(), nullptr);
    EXPECT_TRUE(LooksLike(s.Show(0), shape, kStageGround, {{0, 0, kInk}}));
}

TEST_F(Presentation, PictureSlidesAreCentredOrStretchedOverTheGround) {
    // 11 x 9 with a 5 x 3 picture: x = Round(5.5) - Round(2.5) = 6 - 2 and
    // y = Round(4.5) - Round(1.5) = 4 - 2, halves going to even.
    PresentationStage s(11, 9);
    TZelSlide* slide = s.Add(kPictureSlide);
    Picture(*slide->Bitmap(), 5, 3);
    TBitmap& centred = s.Show(0);
    int wrong = 0;
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 11; ++x) {
            bool inside = x >= 4 && x < 9 && y >= 2 && y < 5;
            TColor expected = inside ? slide->Bitmap()->PixelColor(x - 4, y - 2) : kStageGround;
            wrong += centred.PixelColor(x, y) != expected;
        }
    EXPECT_EQ(wrong, 0);

    // Stretched, each picture pixel becomes a block.
    PresentationStage t(12, 9);
    TZelSlide* stretched = t.Add(kPictureSlide);
    Picture(*stretched->Bitmap(), 4, 3);
    stretched->SetStretch(true);
    TBitmap& big = t.Show(0);
    wrong = 0;
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 12; ++x)
            wrong += big.PixelColor(x, y) != stretched->Bitmap()->PixelColor(x / 3, y / 3);
    EXPECT_EQ(wrong, 0);

    // Larger than the area: from the top-left corner, cut off.
    Picture(*stretched->Bitmap(), 4, 3);
    stretched->SetStretch(false);
    TBitmap huge(30, 20);
    Picture(huge, 30, 20);
    stretched->SetBitmap(&huge);
    EXPECT_EQ(t.Show(0).PixelColor(2, 1), huge.PixelColor(2, 1));
}

TEST_F(Presentation, OtherStylesAndEmptyPicturesShowTheBackgroundAlone) {
    PresentationStage s(12, 9);
    TZelBackground* teal = SolidBackground(clTeal);
    s.p->SetBackground(teal);
    s.Add(0)->SetText("not shown");
    s.Add(kPictureSlide);  // no picture
    s.Add(kTextSlide + 10)->SetText("not shown either");
    for (int i = 0; i < 3; ++i) {
        Fill(s.screen, kScreen);
        EXPECT_EQ(CountColor(s.Show(i), clTeal), 12 * 9) << "slide " << i;
    }
    s.p->SetBackground(nullptr);
    teal->Free();
}

TEST_F(Presentation, EffectsAboveFiftyFourAndIndicesOutOfRangeLeaveTheScreenAlone) {
    PresentationStage s(12, 9);
    int steps = 0;
    s.p->OnTransitionStep = [&](TObject*, int, int) { ++steps; };
    s.Add(kTextSlide, 55)->SetText("never");
    s.Add(kTextSlide, 1000)->SetText("never");
    s.Add(kTextSlide, 1)->SetText("shown");
    for (int index : {0, 1, -1, 3})
        EXPECT_EQ(CountColor(s.Show(index), kScreen), 12 * 9) << "slide " << index;
    EXPECT_EQ(steps, 0);
    EXPECT_EQ(CountColor(s.Show(2), kScreen), 0);
    EXPECT_EQ(steps, 1);
}

TEST_F(Presentation, EffectZeroDrawsAnotherEffectEachTime) {
    PresentationStage s(1, 1);
    s.Add(kTextSlide, 0);
    std::set<int> effects;
    int firstStepsOfAShow = 0;
    s.p->OnTransitionStep = [&](TObject* sender, int effect, int step) {
        EXPECT_EQ(sender, s.p);
        effects.insert(effect);
        firstStepsOfAShow += step == 1;
    };
    for (int i = 0; i < 800; ++i)
        s.Show(0);
    EXPECT_EQ(firstStepsOfAShow, 800);
    ASSERT_EQ(effects.size(), 54u);
    EXPECT_EQ(*effects.begin(), 1);
    EXPECT_EQ(*effects.rbegin(), 54);
}

TEST_F(Presentation, TheShowStopsAfterTheLastSlideUnlessItKeepsLooping) {
    auto* p = new TRecordingPresentation(nullptr);
    for (int i = 0; i < 3; ++i)
        p->Slides()->Add();
    p->SetSpeed(5);
    int slidesDone = 0, loopsDone = 0;
    p->OnSlideDone = [&](TObject*) { ++slidesDone; };
    p->OnLoopDone = [&](TObject*) { ++loopsDone; };
    p->Start();
    EXPECT_TRUE(p->Running());
    ASSERT_TRUE(PumpUntil(App(), [&] { return loopsDone > 0; }));
    PumpFor(App(), 60);
    EXPECT_EQ(p->Shown, (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(slidesDone, 3);
    EXPECT_EQ(loopsDone, 1);
    EXPECT_FALSE(p->Running());
    EXPECT_EQ(p->SlideIndex(), 0);

    p->Shown.clear();
    p->SetKeepLooping(true);
    p->Start();
    ASSERT_TRUE(PumpUntil(App(), [&] { return p->Shown.size() >= 5; }));
    p->Stop();
    EXPECT_FALSE(p->Running());
    std::vector<int> seen = p->Shown;
    EXPECT_EQ(std::vector<int>(seen.begin(), seen.begin() + 5), (std::vector<int>{0, 1, 2, 0, 1}));
    EXPECT_GE(loopsDone, 2);
    PumpFor(App(), 60);
    EXPECT_EQ(p->Shown, seen);  // stopped means stopped
    // Starting again goes on from the slide that was next.
    const int next = p->SlideIndex();
    EXPECT_EQ(next, (seen.back() + 1) % 3);
    p->Start();
    ASSERT_TRUE(PumpUntil(App(), [&] { return p->Shown.size() > seen.size(); }));
    EXPECT_EQ(p->Shown[seen.size()], next);
    p->Free();
}

TEST_F(Presentation, AShowWithoutSlidesEndsItsLoopAtTheFirstTick) {
    auto* p = new TRecordingPresentation(nullptr);
    p->SetSpeed(5);
    int loopsDone = 0;
    p->OnLoopDone = [&](TObject*) { ++loopsDone; };
    p->Start();
    ASSERT_TRUE(PumpUntil(App(), [&] { return loopsDone > 0; }));
    PumpFor(App(), 40);
    EXPECT_EQ(loopsDone, 1);
    EXPECT_EQ(p->Shown, std::vector<int>{0});
    EXPECT_FALSE(p->Running());
    p->Free();
}

TEST_F(Presentation, FreedInTheMiddleOfATransitionItStopsThere) {
    // Freed by a message handled between two steps, first when shown
    // directly, then inside a tick of its timer.
    for (bool byTimer : {false, true}) {
        auto* p = new TZelPresentation(nullptr);
        p->SetBounds(0, 0, 40, 30);
        TZelSlide* slide = p->Slides()->Add();
        slide->SetStyle(kTextSlide);
        slide->SetEffect(2);  // 1200 steps
        TBitmap screen(40, 30);
        // Bound for good: nothing may restore the canvas of a freed control.
        p->Canvas()->SetHandle(screen.Canvas()->Handle());
        int lastStep = 0, slidesDone = 0;
        bool freed = false;
        p->OnSlideDone = [&](TObject*) { ++slidesDone; };
        p->OnTransitionStep = [&](TObject*, int, int step) {
            lastStep = step;
            if (step == 10)
                App()->Queue([&] {
                    p->Free();
                    freed = true;
                });
        };
        if (byTimer) {
            p->SetSpeed(5);
            p->Start();
            ASSERT_TRUE(PumpUntil(App(), [&] { return freed; }));
            PumpFor(App(), 40);
        } else {
            p->ShowSlide(0);
        }
        EXPECT_TRUE(freed);
        EXPECT_EQ(lastStep, 10);
        EXPECT_EQ(slidesDone, 0);
        EXPECT_TRUE(Errors.empty());
    }
}

TEST_F(Presentation, SlidesReachTheWindowAndARepaintShowsTheGroundAgain) {
    TForm* form = new TForm(nullptr);
    form->SetBorderStyle(bsNone);
    form->SetBounds(60, 60, 120, 80);
    form->SetColor(clWhite);
    auto* p = new TZelPresentation(form);
    p->SetParent(form);
    p->SetBounds(10, 10, 40, 30);
    TZelBackground* teal = SolidBackground(clTeal);
    p->SetBackground(teal);
    TZelSlide* slide = p->Slides()->Add();
    slide->SetStyle(kPictureSlide);
    slide->SetStretch(true);
    slide->Bitmap()->SetSize(2, 2);
    Fill(*slide->Bitmap(), clLime);
    slide->SetEffect(38);
    int steps = 0;
    p->OnTransitionStep = [&](TObject*, int, int) { ++steps; };
    form->Show();
    App()->ProcessMessages();
    HWND window = form->Handle();
    auto pixel = [&](int x, int y) {
        ScopedGetDC dc(window);
        return GetPixel(dc.Get(), x, y);
    };
    EXPECT_EQ(pixel(20, 20), RGB(0, 0x80, 0x80));

    p->ShowSlide(0);
    EXPECT_EQ(steps, 40 * 30);
    for (auto [x, y] : {std::pair{10, 10}, {49, 10}, {10, 39}, {49, 39}, {30, 25}})
        EXPECT_EQ(pixel(x, y), RGB(0, 0xFF, 0)) << x << "," << y;
    EXPECT_EQ(pixel(9, 9), RGB(0xFF, 0xFF, 0xFF));  // nothing outside the control
    EXPECT_EQ(pixel(50, 40), RGB(0xFF, 0xFF, 0xFF));

    p->Invalidate();
    App()->ProcessMessages();
    EXPECT_EQ(pixel(30, 25), RGB(0, 0x80, 0x80));

    // A hidden presentation composes its slides but shows nothing.
    p->Hide();
    App()->ProcessMessages();
    steps = 0;
    p->ShowSlide(0);
    EXPECT_EQ(steps, 0);
    EXPECT_EQ(pixel(30, 25), RGB(0xFF, 0xFF, 0xFF));

    form->Hide();
    form->Free();
    teal->Free();
}
