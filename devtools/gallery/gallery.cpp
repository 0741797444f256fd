// The gallery's first page, "painting": every look of the painted ground
// (gradient styles, textures, brush fills, frames, 3-D text, glyph states and
// gauges), for checking them by eye and in screenshots; and the program that
// opens the page named on its command line.
#include <windows.h>

#include <functional>
#include <string>
#include <utility>

#include "framework/core/sysutils.h"
#include "framework/win32/forms.h"
#include "framework/win32/gdi.h"
#include "framework/win32/labels.h"
#include "framework/win32/system_text.h"
#include "widgets/background.h"
#include "widgets/drawing_base.h"
#include "devtools/gallery/gallery_pages.h"
#include "widgets/gauge.h"

namespace vexel {
namespace {

constexpr int kMargin = 12;
constexpr int kGap = 6;
constexpr int kCaptionHeight = 16;
constexpr int kHeadingHeight = 18;
constexpr TColor kSampleGround = 0xEBD7C8;  // pale blue: shows white highlights and grey shadows
constexpr TColor kKey = clFuchsia;          // transparent colour of the pictures made here

// A windowless tile of the gallery: a picture painted by a function over the
// top of the tile, and its caption in the strip below.
class TSample : public TGraphicControl {
public:
    using TPainter = std::function<void(TCanvas* Canvas, int Width, int Height)>;

    TSample(TWinControl* Parent, const TRect& Bounds, std::string Caption, TPainter Painter)
        : TGraphicControl(Parent), caption_(std::move(Caption)), painter_(std::move(Painter)) {
        SetParent(Parent);
        SetBoundsRect(Bounds);
    }

protected:
    void Paint() override {
        TCanvas* canvas = Canvas();
        const int h = Height() - kCaptionHeight;
        canvas->Brush()->SetStyle(bsSolid);
        canvas->Brush()->SetColor(clBtnFace);
        canvas->FillRect({0, 0, Width(), Height()});
        {
            // Tiles and DT_NOCLIP text may reach past the picture area.
            ScopedSaveDC save(canvas->Handle());
            IntersectClipRect(canvas->Handle(), 0, 0, Width(), h);
            painter_(canvas, Width(), h);
        }
        canvas->Font()->Assign(Font());
        canvas->Brush()->SetStyle(bsClear);
        TRect caption{0, h, Width(), Height()};
        canvas->DrawTextRect(caption, caption_, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS);
    }

private:
    std::string caption_;
    TPainter painter_;
};

// The texture picture: a blue diamond with a red centre on sand, with a
// fuchsia corner that the transparent-colour sample replaces.
void MakeTexture(TBitmap& Picture) {
    Picture.SetSize(24, 24);
    TCanvas* c = Picture.Canvas();
    c->Brush()->SetColor(RGBColor(236, 222, 180));
    c->FillRect({0, 0, 24, 24});
    c->Brush()->SetColor(kKey);
    c->FillRect({0, 0, 7, 7});
    c->Pen()->SetColor(RGBColor(20, 40, 140));
    c->Brush()->SetColor(RGBColor(70, 110, 210));
    c->Polygon({{12, 3}, {21, 12}, {12, 21}, {3, 12}});
    c->Brush()->SetColor(clRed);
    c->Pen()->SetColor(clMaroon);
    c->Ellipse(9, 9, 16, 16);
}

// A strip of three 24 x 24 images on fuchsia: a green lamp, the same lamp
// pressed in (darker, one pixel down and right), and a grey one.
void MakeStrip(TBitmap& Strip) {
    Strip.SetSize(72, 24);
    TCanvas* c = Strip.Canvas();
    c->Brush()->SetColor(kKey);
    c->FillRect({0, 0, 72, 24});
    const struct {
        int left;
        int shift;
        TColor rim;
        TColor face;
        TColor spot;
    } lamps[] = {
        {0, 0, RGBColor(0, 90, 0), RGBColor(40, 190, 40), RGBColor(210, 255, 210)},
        {24, 1, RGBColor(0, 60, 0), RGBColor(20, 130, 20), RGBColor(150, 220, 150)},
        {48, 0, RGBColor(60, 60, 60), RGBColor(150, 150, 150), RGBColor(235, 235, 235)},
    };
    for (const auto& lamp : lamps) {
        int x = lamp.left + lamp.shift, y = lamp.shift;
        c->Pen()->SetColor(lamp.rim);
        c->Brush()->SetColor(lamp.face);
        c->Ellipse(x + 3, y + 3, x + 21, y + 21);
        c->Pen()->SetColor(lamp.spot);
        c->Brush()->SetColor(lamp.spot);
        c->Ellipse(x + 7, y + 7, x + 12, y + 12);
    }
}

const char* FillStyleName(TZelFillStyle Style) {
    static const char* const kNames[] = {"Circle",      "Horizontal",  "Vertical",          "LeftBottom",
                                         "RoundMiddle", "SquareMiddle", "Spectral",          "DoppelFlash",
                                         "Singleflash", "MiddleHBar",  "MiddleVBar",        "VerticalDoppelBar",
                                         "HorizontalDoppelBar"};
    return kNames[static_cast<int>(Style)];
}

class TGalleryForm : public TForm {
public:
    explicit TGalleryForm(TComponent* AOwner) : TForm(AOwner) {
        SetUpGalleryPage(this, "painting", 1190, 676);
        MakeTexture(texture_);
        MakeStrip(strip_);
        int y = kMargin;
        y = AddGradients(y);
        y = AddTexturesAndFills(y);
        y = AddFrames(y);
        y = AddText(y);
        y = AddGlyphs(y);
        AddGauges(y);
    }

private:
    // A section heading; returns the top of the section's content.
    int Heading(int Top, const std::string& Text) {
        return AddGalleryHeading(this, kMargin, Top, 400, kHeadingHeight, Text);
    }

    TZelBackground* NewBackground() { return new TZelBackground(this); }

    TSample* Sample(int X, int Y, int W, int H, const std::string& Caption, TSample::TPainter Painter) {
        return new TSample(this, Bounds(X, Y, W, H), Caption, std::move(Painter));
    }

    // A tile that shows a background filling its picture area.
    void BackgroundSample(int X, int Y, int W, int H, const std::string& Caption, TZelBackground* Background) {
        Sample(X, Y, W, H, Caption, [Background](TCanvas* c, int w, int h) {
            Background->PaintBackground(c->Handle(), w, h, true);
        });
    }

    int AddGradients(int Top) {
        int y = Heading(Top, "Gradients (FillStyle), three colours");
        const int w = 84, h = 56 + kCaptionHeight;
        for (int i = 0; i <= static_cast<int>(TZelFillStyle::HorizontalDoppelBar); ++i) {
            auto style = static_cast<TZelFillStyle>(i);
            TZelBackground* b = NewBackground();
            b->Gradient()->SetBeginColor(RGBColor(10, 40, 120));
            b->Gradient()->SetEndColor(RGBColor(235, 240, 255));
            b->Gradient()->ColorsInBetween()->Add("$0000C0FF");  // amber
            b->Gradient()->SetFillStyle(style);
            BackgroundSample(kMargin + i * (w + kGap), y, w, h, FillStyleName(style), b);
        }
        return y + h + kGap;
    }

    int AddTexturesAndFills(int Top) {
        int y = Heading(Top, "Textures (ImageStyle) and brush fills");
        const int h = 50 + kCaptionHeight;
        int x = kMargin;
        const struct {
            TZelImageStyle style;
            bool transparent;
            const char* caption;
        } textures[] = {
            {isTile, false, "isTile"},
            {isCenter, false, "isCenter"},
            {isStretched, false, "isStretched"},
            {isTile, true, "isTile, transparent"},
        };
        for (const auto& t : textures) {
            TZelBackground* b = NewBackground();
            b->SetBackgroundStyle(bTexture);
            b->SetSolidColor(clBtnFace);
            b->Texture()->SetImage(&texture_);
            b->Texture()->SetImageStyle(t.style);
            if (t.transparent) {
                b->Texture()->SetTransparentColor(kKey);
                b->Texture()->SetTransparentBackground(RGBColor(255, 250, 235));
            }
            BackgroundSample(x, y, 110, h, t.caption, b);
            x += 110 + kGap;
        }

        TZelBackground* solid = NewBackground();
        solid->SetBackgroundStyle(bSolidcolor);
        solid->SetSolidColor(RGBColor(0, 128, 128));
        BackgroundSample(x, y, 68, h, "bSolidcolor", solid);
        x += 68 + kGap;

        const struct {
            TBrushStyle style;
            const char* name;
        } hatches[] = {{bsSolid, "bsSolid"},       {bsHorizontal, "bsHorizontal"}, {bsVertical, "bsVertical"},
                       {bsFDiagonal, "bsFDiagonal"}, {bsBDiagonal, "bsBDiagonal"},   {bsCross, "bsCross"},
                       {bsDiagCross, "bsDiagCross"}};
        // Hatches on white (the current ground) above, on a solid colour below.
        const int half = (h - kGap) / 2;
        for (const auto& hatch : hatches) {
            for (int row = 0; row < 2; ++row) {
                TZelBackground* b = NewBackground();
                b->SetBackgroundStyle(row == 0 ? bBrushFillUseCurrent : bBrushFillSolidColor);
                b->SetSolidColor(RGBColor(255, 236, 140));
                b->BrushFill()->SetBrushStyle(hatch.style);
                b->BrushFill()->SetBrushColor(row == 0 ? clNavy : clMaroon);
                BackgroundSample(x, y + row * (half + kGap), 70, half, row == 0 ? hatch.name : "on colour", b);
            }
            x += 70 + kGap;
        }
        return y + h + kGap;
    }

    int AddFrames(int Top) {
        int y = Heading(Top, "Frames (FrameStyle), FrameWidth 2");
        const int w = 124, h = 40 + kCaptionHeight;
        static const char* const kNames[] = {"frameSolid",      "frameRaised",   "frameLowered",
                                             "frameNone",       "frameFramedUp", "frameFramedDown",
                                             "framePanelUp",    "framePanelDown", "frameLightBordered"};
        for (int i = 0; i <= frameLightBordered; ++i) {
            auto* frame = new TZelFrame(this);
            frames_[i].reset(frame);
            frame->SetFrameStyle(static_cast<TZelFrameStyle>(i));
            frame->SetFrameWidth(2);
            frame->SetSolid(clNavy);
            Sample(kMargin + i * (w + kGap), y, w, h, kNames[i], [frame](TCanvas* c, int cw, int ch) {
                c->Brush()->SetColor(kSampleGround);
                c->FillRect({0, 0, cw, ch});
                TRect r{6, 4, cw - 6, ch - 4};
                DrawFrame(frame, c->Handle(), r);
            });
        }
        return y + h + kGap;
    }

    int AddText(int Top) {
        int y = Heading(Top, "3-D text (Style3D): plain, then with a repetition");
        const int w = 158, h = 40 + kCaptionHeight;
        textFont_.SetName("Arial");
        textFont_.SetHeight(-24);
        textFont_.SetStyle(fsBold);
        textFont_.SetColor(RGBColor(20, 50, 150));
        static const char* const kNames[] = {"fontRaised", "fontInset", "fontOnlyShadow", "fontOnlyHighlight",
                                             "fontOutLineShadow"};
        for (int row = 0; row < 2; ++row) {
            for (int i = 0; i <= fontOutLineShadow; ++i) {
                auto* font3D = new TZelFont3D(this);
                fonts3D_[row * 5 + i].reset(font3D);
                font3D->SetStyle3D(static_cast<TZelStyle3D>(i));
                std::string caption = kNames[i];
                if (row == 1) {
                    bool onShadow = i != fontInset;
                    font3D->SetRepetition(onShadow ? repeatOnShadow : repeatOnHighLight);
                    font3D->SetRepetitionwidth(4);
                    font3D->SetRepetitionColor(RGBColor(90, 90, 110));
                    caption += onShadow ? " + repeatOnShadow" : " + repeatOnHighLight";
                }
                TextSample(kMargin + i * (w + kGap), y + row * (h + kGap), w, h, caption, font3D, true);
            }
        }
        // Last column: the disabled look, and text faced with a gradient.
        const int x = kMargin + 5 * (w + kGap);
        auto* raised = new TZelFont3D(this);
        fonts3D_[10].reset(raised);
        raised->SetStyle3D(fontRaised);
        TextSample(x, y, w, h, "disabled", raised, false);

        faceGround_ = NewBackground();
        faceGround_->Gradient()->SetBeginColor(clRed);
        faceGround_->Gradient()->SetEndColor(clYellow);
        faceGround_->Gradient()->SetFillStyle(TZelFillStyle::Vertical);
        auto* faced = new TZelFont3D(this);
        fonts3D_[11].reset(faced);
        faced->SetStyle3D(fontRaised);
        faced->SetShadow(clBlack);
        Sample(x, y + h + kGap, w, h, "background-faced", [this, faced](TCanvas* c, int cw, int ch) {
            c->Brush()->SetColor(kSampleGround);
            c->FillRect({0, 0, cw, ch});
            DrawBackgroundText(faceGround_, faced, &textFont_, DT_CENTER | DT_VCENTER | DT_SINGLELINE, "Vexel",
                               {0, 0, cw, ch}, c);
        });
        return y + 2 * (h + kGap);
    }

    void TextSample(int X, int Y, int W, int H, const std::string& Caption, TZelFont3D* Font3D, bool Enabled) {
        Sample(X, Y, W, H, Caption, [this, Font3D, Enabled](TCanvas* c, int cw, int ch) {
            c->Brush()->SetColor(kSampleGround);
            c->FillRect({0, 0, cw, ch});
            DrawText3D(Font3D, &textFont_, c->Handle(), Enabled, DT_CENTER | DT_VCENTER | DT_SINGLELINE, "Vexel",
                       {0, 0, cw, ch});
        });
    }

    int AddGlyphs(int Top) {
        int y = Heading(Top, "Glyph strip of three and its states");
        const int w = 96, h = 34 + kCaptionHeight;
        glyph_ = std::make_unique<TZelGlyph>(this);
        glyph_->SetBitmap(&strip_);
        glyph_->SetNumGlyphs(3);
        glyph_->SetTransparentColor(kKey);
        Sample(kMargin, y, w, h, "the strip", [this](TCanvas* c, int cw, int ch) {
            BitBlt(c->Handle(), (cw - strip_.Width()) / 2, (ch - strip_.Height()) / 2, strip_.Width(), strip_.Height(),
                   strip_.Canvas()->Handle(), 0, 0, SRCCOPY);
        });
        const struct {
            const char* caption;
            bool enabled, down, dimmed;
        } states[] = {
            {"normal", true, false, false},
            {"pressed", true, true, false},
            {"disabled", false, false, false},
            {"dimmed", true, false, true},
        };
        int x = kMargin + w + kGap;
        for (const auto& s : states) {
            Sample(x, y, w, h, s.caption, [this, s](TCanvas* c, int cw, int ch) {
                c->Brush()->SetColor(kSampleGround);
                c->FillRect({0, 0, cw, ch});
                DrawGlyph(glyph_.get(), c, (cw - glyph_->GlyphWidth()) / 2, (ch - glyph_->GlyphHeight()) / 2,
                          s.enabled, s.down, s.dimmed);
            });
            x += w + kGap;
        }
        return y + h + kGap;
    }

    void AddGauges(int Top) {
        int y = Heading(Top, "Gauges at 0, 33, 50 and 100 %");
        TZelBackground* ground = NewBackground();
        ground->Gradient()->SetBeginColor(RGBColor(120, 140, 190));
        ground->Gradient()->SetEndColor(RGBColor(225, 232, 250));
        ground->Gradient()->SetFillStyle(TZelFillStyle::Horizontal);
        const int percents[] = {0, 33, 50, 100};
        for (int i = 0; i < 4; ++i) {
            auto* gauge = new TZelGauge(this);
            gauge->SetParent(this);
            gauge->SetBounds(kMargin + (i % 2) * 246, y + (i / 2) * 44, 240, 36);
            gauge->SetBackground(ground);
            gauge->Font()->SetStyle(fsBold);
            gauge->SetPercentage(percents[i]);
        }
        // Wider gaps, and a picture beside the bar.
        auto* gapped = new TZelGauge(this);
        gapped->SetParent(this);
        gapped->SetBounds(kMargin, y + 88, 240, 36);
        gapped->SetSegmentWidth(6);
        gapped->SetSegmentGap(5);
        gapped->SetSegmentColor(RGBColor(0, 120, 0));
        gapped->SetPercentage(66);
        auto* pictured = new TZelGauge(this);
        pictured->SetParent(this);
        pictured->SetBounds(kMargin + 246, y + 88, 240, 40);
        pictured->SetBackground(ground);
        pictured->Glyph()->Assign(glyph_.get());
        pictured->SetPercentage(75);

        for (int i = 0; i < 4; ++i) {
            auto* gauge = new TZelGauge(this);
            gauge->SetParent(this);
            gauge->SetKind(kVertical);
            gauge->SetBounds(kMargin + 520 + i * 70, y, 60, 150);
            gauge->SetBackground(ground);
            gauge->SetPercentage(percents[i]);
        }
        auto* disabled = new TZelGauge(this);
        disabled->SetParent(this);
        disabled->SetBounds(kMargin + 820, y, 200, 36);
        disabled->SetEnabled(false);
        disabled->SetPercentage(40);
    }

    TBitmap texture_;
    TBitmap strip_;
    TFont textFont_;
    TZelBackground* faceGround_ = nullptr;
    std::unique_ptr<TZelFrame> frames_[9];
    std::unique_ptr<TZelFont3D> fonts3D_[12];
    std::unique_ptr<TZelGlyph> glyph_;
};

VEXEL_GALLERY_PAGE("painting", TGalleryForm);

}  // namespace

void SetUpGalleryPage(TForm* Page, const std::string& Name, int ClientWidth, int ClientHeight) {
    Page->SetCaption(GalleryCaption(Name));
    Page->SetBorderStyle(bsSingle);
    Page->SetBorderIcons(biSystemMenu | biMinimize);
    Page->Font()->SetName("Tahoma");
    Page->Font()->SetHeight(-11);
    Page->SetClientWidth(ClientWidth);
    Page->SetClientHeight(ClientHeight);
    Page->SetLeft(8);
    Page->SetTop(8);
}

int AddGalleryHeading(TForm* Page, int Left, int Top, int Width, int Height, const std::string& Text) {
    auto* label = new TLabel(Page);
    label->SetParent(Page);
    label->SetParentFont(false);
    label->Font()->Assign(Page->Font());
    label->Font()->SetStyle(fsBold);
    label->SetCaption(Text);
    label->SetBounds(Left, Top, Width, Height);
    return Top + Height;
}

std::vector<TGalleryPage>& GalleryPages() {
    static std::vector<TGalleryPage> pages;
    return pages;
}

}  // namespace vexel

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR CommandLine, int) {
    using namespace vexel;
    ScopedApplication application;
    Application->SetTitle("Html Vexel gallery");
    std::string wanted = CommandLine ? CommandLine : "";
    wanted.erase(0, wanted.find_first_not_of(" \t\""));
    wanted.erase(wanted.find_last_not_of(" \t\"") + 1);
    if (wanted.empty())
        wanted = "painting";
    for (const TGalleryPage& page : GalleryPages()) {
        if (page.Name == wanted) {
            page.Create();
            Application->Run();
            return 0;
        }
    }
    std::string names;
    for (const TGalleryPage& page : GalleryPages())
        names += " " + page.Name;
    MessageBoxW(nullptr, ToSystem("No gallery page \"" + wanted + "\"; pages:" + names).c_str(), L"Html Vexel gallery",
                MB_ICONSTOP);
    return 2;
}
