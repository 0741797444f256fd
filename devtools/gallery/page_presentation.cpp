// The gallery's "presentation" page: a slide show of text and picture slides
// that runs through the transition effects one after another (from the
// effect named by VEXEL_FIRST_EFFECT, 1 unless set), a small one that picks
// its effects at random, and two presentations without slides as the tip
// window uses them.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <string>

#include "framework/core/sysutils.h"
#include "framework/win32/forms.h"
#include "framework/win32/labels.h"
#include "widgets/background.h"
#include "devtools/gallery/gallery_pages.h"
#include "widgets/presentation.h"
#include "widgets/transitions.h"

namespace vexel {
namespace {

constexpr int kMargin = 12;

const char* const kEffectNames[] = {
    "whole frame",
    "rows down",
    "rows up",
    "columns from the left",
    "columns from the right",
    "zoom from the bottom",
    "zoom from the top",
    "zoom from the right",
    "zoom from the left",
    "column pairs inwards",
    "column pairs outwards",
    "row pairs inwards",
    "row pairs outwards",
    "column comb",
    "row comb",
    "interlaced columns, left to right",
    "interlaced rows, top down",
    "interlaced columns, right to left",
    "interlaced rows, bottom up",
    "interlaced columns, there and back",
    "interlaced rows, down and up",
    "interlaced columns, back and there",
    "interlaced rows, up and down",
    "diagonal from top-left",
    "diagonal from bottom-left",
    "diagonal from top-right",
    "diagonal from bottom-right",
    "two diagonals, top-left and bottom-right",
    "two diagonals, top-right and bottom-left",
    "two upright strips",
    "two upright strips, reversed",
    "two lying strips",
    "two lying strips, reversed",
    "four upright strips",
    "four upright strips, reversed",
    "four lying strips",
    "four lying strips, reversed",
    "spiral inwards",
    "spiral outwards",
    "box closing",
    "box opening",
    "row wipe",
    "column wipe",
    "interlaced columns from the bottom",
    "interlaced rows from the right",
    "checkerboard",
    "horizontal blinds",
    "vertical blinds",
    "diamond",
    "iris opening",
    "iris closing",
    "rows snaking",
    "columns snaking",
    "clock wipe",
};

// A landscape: sky bands, a sun and two hills.
void PaintLandscape(TBitmap& Picture, int Width, int Height) {
    Picture.SetSize(Width, Height);
    TCanvas* c = Picture.Canvas();
    for (int band = 0; band < 8; ++band) {
        c->Brush()->SetColor(RGBColor(40 + band * 20, 90 + band * 18, 200 + band * 6));
        c->FillRect({0, band * Height / 8, Width, (band + 1) * Height / 8});
    }
    c->Pen()->SetColor(RGBColor(230, 120, 0));
    c->Brush()->SetColor(RGBColor(255, 200, 40));
    c->Ellipse(Width * 6 / 10, Height / 8, Width * 6 / 10 + Height / 3, Height / 8 + Height / 3);
    c->Pen()->SetColor(RGBColor(20, 90, 20));
    c->Brush()->SetColor(RGBColor(60, 150, 50));
    c->Polygon({{0, Height}, {0, Height * 6 / 10}, {Width / 3, Height * 4 / 10}, {Width * 7 / 10, Height}});
    c->Brush()->SetColor(RGBColor(40, 120, 40));
    c->Polygon(
        {{Width / 4, Height}, {Width * 7 / 10, Height / 2}, {Width, Height * 7 / 10}, {Width, Height}});
}

// A small badge: "HV" on a red disc with a white ring.
void PaintBadge(TBitmap& Picture) {
    Picture.SetSize(56, 56);
    TCanvas* c = Picture.Canvas();
    c->Brush()->SetColor(RGBColor(250, 244, 225));
    c->FillRect({0, 0, 56, 56});
    c->Pen()->SetColor(clWhite);
    c->Pen()->SetWidth(3);
    c->Brush()->SetColor(RGBColor(190, 30, 40));
    c->Ellipse(4, 4, 52, 52);
    c->Font()->SetName("Arial");
    c->Font()->SetHeight(-22);
    c->Font()->SetStyle(fsBold);
    c->Font()->SetColor(clWhite);
    c->Brush()->SetStyle(bsClear);
    TRect r{0, 0, 56, 56};
    c->DrawTextRect(r, "HV", DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

class TPresentationPage : public TForm {
public:
    explicit TPresentationPage(TComponent* AOwner) : TForm(AOwner) {
        SetUpGalleryPage(this, "presentation", 560, 250);
        if (const char* first = std::getenv("VEXEL_FIRST_EFFECT"))
            nextEffect_ = std::clamp(StrToIntDef(first, 1), 1, kTransitionEffects);

        PaintLandscape(landscape_, 160, 100);
        PaintBadge(badge_);
        AddMainShow();
        AddRandomShow();
        AddBands();
        OnShow = [this](TObject*) {
            main_->Start();
            random_->Start();
        };
    }

private:
    TLabel* Label(int X, int Y, int W, const std::string& Text, bool Bold = false) {
        auto* label = new TLabel(this);
        label->SetParent(this);
        label->SetAutoSize(false);
        label->SetParentFont(false);
        label->Font()->Assign(Font());
        if (Bold)
            label->Font()->SetStyle(fsBold);
        label->SetBounds(X, Y, W, 16);
        label->SetCaption(Text);
        return label;
    }

    TZelBackground* Gradient(TColor From, TColor To, TZelFillStyle Style) {
        auto* background = new TZelBackground(this);
        background->Gradient()->SetBeginColor(From);
        background->Gradient()->SetEndColor(To);
        background->Gradient()->SetFillStyle(Style);
        return background;
    }

    void AddMainShow() {
        Label(kMargin, 8, 216, "Every effect in turn, KeepLooping", true);
        main_ = new TZelPresentation(this);
        main_->SetParent(this);
        main_->SetBounds(kMargin, 28, 200, 124);
        main_->SetBackground(
            Gradient(RGBColor(20, 40, 110), RGBColor(200, 215, 250), TZelFillStyle::Horizontal));
        main_->SetAlignment(taCenter);
        main_->Font()->SetName("Arial");
        main_->Font()->SetHeight(-17);
        main_->Font()->SetStyle(fsBold);
        main_->Font()->SetColor(RGBColor(255, 230, 120));
        main_->Font3D()->SetStyle3D(fontRaised);
        main_->Font3D()->SetShadow(clBlack);

        main_->SetSpeed(400);
        main_->SetKeepLooping(true);

        // The stretched picture first: it stands out from the ground at once.
        TZelSlide* slide = main_->Slides()->Add();
        slide->SetStyle(kPictureSlide);
        slide->SetBitmap(&landscape_);
        slide->SetStretch(true);
        slide = main_->Slides()->Add();
        slide->SetStyle(kTextSlide);
        slide->SetText("\n\nHtml Vexel shrinks\npages in place");
        slide = main_->Slides()->Add();
        slide->SetStyle(kPictureSlide);
        slide->SetBitmap(&landscape_);
        slide = main_->Slides()->Add();
        slide->SetStyle(kTextSlide);
        slide->SetText("\n\n3-D text over\nthe background");
        slide = main_->Slides()->Add();
        slide->SetStyle(kPictureSlide);
        slide->SetBitmap(&badge_);
        main_->Slides()->Items(0)->SetEffect(nextEffect_);

        status_ = Label(kMargin, 158, 216, "Effect " + IntToStr(nextEffect_) + " comes first");
        timing_ = Label(kMargin, 176, 216, "");
        main_->OnTransitionStep = [this](TObject*, int Effect, int Step) {
            if (Step == 1) {
                started_ = std::chrono::steady_clock::now();
                status_->SetCaption("Effect " + IntToStr(Effect) + ": " + kEffectNames[Effect - 1]);
            }
            steps_ = Step;
        };
        main_->OnSlideDone = [this](TObject*) {
            auto took = std::chrono::duration_cast<std::chrono::milliseconds>(
                std::chrono::steady_clock::now() - started_);
            timing_->SetCaption("last: " + IntToStr(steps_) + " steps in " + IntToStr(took.count()) + " ms");
            // The next slide comes with the next effect.
            nextEffect_ = nextEffect_ % kTransitionEffects + 1;
            int next = (main_->SlideIndex() + 1) % main_->Slides()->Count();
            main_->Slides()->Items(next)->SetEffect(nextEffect_);
        };
    }

    void AddRandomShow() {
        const int x = 240;
        Label(x, 8, 300, "Effect 0: a random effect each time", true);
        random_ = new TZelPresentation(this);
        random_->SetParent(this);
        random_->SetBounds(x, 28, 96, 64);
        random_->SetColor(RGBColor(250, 244, 225));
        random_->SetSpeed(4000);
        random_->SetKeepLooping(true);
        random_->Font()->SetName("Arial");
        random_->Font()->SetHeight(-14);
        random_->Font()->SetStyle(fsBold);
        random_->Font()->SetColor(RGBColor(20, 60, 160));
        random_->SetAlignment(taCenter);
        random_->SetFontBackground(Gradient(clRed, clYellow, TZelFillStyle::Vertical));
        random_->Font3D()->SetStyle3D(fontOutLineShadow);
        random_->Font3D()->SetShadow(clBlack);
        TZelSlide* slide = random_->Slides()->Add();
        slide->SetStyle(kPictureSlide);
        slide->SetBitmap(&badge_);
        slide->SetEffect(0);
        slide = random_->Slides()->Add();
        slide->SetStyle(kTextSlide);
        slide->SetText("\nFaced\ntext");
        slide->SetEffect(0);
        slide = random_->Slides()->Add();
        slide->SetStyle(kPictureSlide);
        slide->SetBitmap(&landscape_);
        slide->SetStretch(true);
        slide->SetEffect(0);
        randomStatus_ = Label(x + 106, 28, 190, "");
        random_->OnTransitionStep = [this](TObject*, int Effect, int Step) {
            if (Step == 1)
                randomStatus_->SetCaption("drew effect " + IntToStr(Effect));
        };
    }

    // The tip window's use: painted bands without slides.
    void AddBands() {
        const int x = 240;
        Label(x, 108, 300, "Without slides: background, or caption on Color", true);
        auto* band = new TZelPresentation(this);
        band->SetParent(this);
        band->SetBounds(x, 128, 300, 36);
        band->SetBackground(Gradient(RGBColor(120, 0, 0), RGBColor(255, 210, 120), TZelFillStyle::Vertical));
        band->SetCaption("never drawn over a background");
        auto* plain = new TZelPresentation(this);
        plain->SetParent(this);
        plain->SetBounds(x, 172, 300, 36);
        plain->SetColor(RGBColor(255, 255, 200));
        plain->SetAlignment(taCenter);
        plain->SetLayout(tlCenter);
        plain->SetCaption("A caption on Color");
    }

    TBitmap landscape_;
    TBitmap badge_;
    TZelPresentation* main_ = nullptr;
    TZelPresentation* random_ = nullptr;
    TLabel* status_ = nullptr;
    TLabel* timing_ = nullptr;
    TLabel* randomStatus_ = nullptr;
    int nextEffect_ = 1;
    int steps_ = 0;
    std::chrono::steady_clock::time_point started_;
};

VEXEL_GALLERY_PAGE("presentation", TPresentationPage);

}  // namespace
}  // namespace vexel
