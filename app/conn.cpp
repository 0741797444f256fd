#include "app/conn.h"

#include <windows.h>

#include <cstdio>
#include <utility>

#include "app/run_host.h"
#include "app/window_parts.h"
#include "engine/errors.h"
#include "engine/password.h"

namespace vexel {

namespace {

constexpr TColor kLabelBlue = clBlue;
constexpr TColor kInformationGround = static_cast<TColor>(8454143);  // light yellow
constexpr TColor kErrorFrom = static_cast<TColor>(8421631);          // light red
constexpr TColor kGaugeFrom = static_cast<TColor>(0xF0D8B0);         // pale sky blue

const TFontSpec kBoldBlue{"", 0, fsBold, kLabelBlue};

// The Cancel button's glyph: a red cross on the transparent colour.
void MakeCancelGlyph(TBitmap& Glyph) {
    Glyph.SetSize(14, 14);
    TCanvas* c = Glyph.Canvas();
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(kPictureKey);
    c->FillRect({0, 0, 14, 14});
    c->Pen()->SetWidth(3);
    c->Pen()->SetColor(RGBColor(200, 30, 30));
    c->MoveTo(3, 3);
    c->LineTo(11, 11);
    c->MoveTo(10, 3);
    c->LineTo(2, 11);
}

}  // namespace

std::vector<std::string> SummaryLines(const RunTally& Tally) {
    char ratio[32] = "-";
    if (Tally.BytesBefore > 0)
        std::snprintf(ratio, sizeof ratio, "%.1f%%",
                      100.0 * static_cast<double>(Tally.BytesAfter) / static_cast<double>(Tally.BytesBefore));
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.1f s", Tally.Seconds);
    return {"Pages: " + std::to_string(Tally.Written) + " written, " + std::to_string(Tally.NotPages) +
                " skipped, " + std::to_string(Tally.AlreadyCompressed) + " already compressed, " +
                std::to_string(Tally.BrokenOff) + " broken off, " + std::to_string(Tally.Failed) + " failed" +
                (Tally.LeftAsItIs > 0 ? ", " + std::to_string(Tally.LeftAsItIs) + " left as they were (not smaller)"
                                      : std::string()) +
                (Tally.Cancelled ? " (stopped)" : ""),
            "Bytes: " + std::to_string(Tally.BytesBefore) + " before, " + std::to_string(Tally.BytesAfter) +
                " after (" + ratio + ")",
            std::string("Time: ") + seconds};
}

std::string WarningsLine(const RunTally& Tally) {
    if (Tally.FormatWarnings == 0)
        return {};
    return "Warnings: " + std::to_string(Tally.FormatWarnings) +
           " page(s) will open slowly or lose non-ASCII text in their format (see the log); modern pages do not";
}

TConn::TConn(TComponent* AOwner, const TDialogGrounds& Grounds, TMainWindowLink MainWindow)
    : TForm(AOwner), mainWindow_(std::move(MainWindow)) {
    SetCaption("Compressing ...");
    SetBorderStyle(bsNone);
    SetClientWidth(475);
    SetClientHeight(350);
    SetShowHint(true);
    UseWindowFont(this);
    BuildPanels(Grounds);
    ZelFormManager1 = new TZelFormManager(this);
    ZelFormManager1->SetTopMost(true);
    ShowMessage = [](const std::string& Text) { Application->MessageBox(Text, Application->Title(), MB_OK); };
    Ask = [](const std::string& Text) {
        return Application->MessageBox(Text, Application->Title(), MB_YESNOCANCEL | MB_ICONQUESTION);
    };
    OnShow = [this](TObject* Sender) { FormShow(Sender); };
}

void TConn::BuildPanels(const TDialogGrounds& Grounds) {
    ZelPanel1 = MakeClientPanel(this, Grounds.Panels);
    ZelPanel1->FrameInner()->SetFrameStyle(frameLowered);
    ZelPanel1->SetShowHint(true);

    InformationLabel = MakeLabel(ZelPanel1, 24, 8, "Information list:", kBoldBlue);
    haveError = new TZelRoundButton(this);
    haveError->SetParent(ZelPanel1);
    // Beside the heading, never over it, whatever the font makes its width.
    haveError->SetBounds(InformationLabel->Left() + InformationLabel->Width() + 4, 5, 17, 17);
    auto* errorGround = new TZelBackground(this);
    errorGround->Gradient()->SetBeginColor(kErrorFrom);
    errorGround->Gradient()->SetEndColor(clRed);
    errorGround->Gradient()->SetFillStyle(TZelFillStyle::Circle);
    haveError->SetBackground(errorGround);
    haveError->SetVisible(false);

    Memo1 = new TMemo(this);
    Memo1->SetParent(ZelPanel1);
    Memo1->SetBounds(16, 24, 449, 113);
    Memo1->SetReadOnly(true);
    Memo1->SetScrollBars(ssBoth);
    Memo1->SetHint("Show all Log information.");

    ZelPanel2 = new TZelPanel(this);
    ZelPanel2->SetParent(ZelPanel1);
    ZelPanel2->SetBounds(16, 144, 449, 161);
    ZelPanel2->FrameOuter()->SetFrameStyle(frameLowered);
    auto* information = new TZelBackground(this);
    information->Gradient()->SetBeginColor(kInformationGround);
    information->Gradient()->SetEndColor(clWhite);
    ZelPanel2->SetBackground(information);

    auto* gaugeGround = new TZelBackground(this);
    gaugeGround->Gradient()->SetBeginColor(kGaugeFrom);
    gaugeGround->Gradient()->SetEndColor(clWhite);
    MakeLabel(ZelPanel2, 18, 6, "Total:", kBoldBlue);
    TotalGauge = new TZelGauge(this);
    TotalGauge->SetParent(ZelPanel2);
    TotalGauge->SetBounds(18, 24, 71, 113);
    TotalGauge->SetKind(kVertical);
    TotalGauge->SetBackground(gaugeGround);
    TotalGauge->SetHint("Gauge for all selected HTML files.");

    MakeLabel(ZelPanel2, 104, 4, "Source file:", kBoldBlue);
    Openfile = new TEdit(this);
    Openfile->SetParent(ZelPanel2);
    Openfile->SetBounds(104, 20, 329, 21);
    Openfile->SetReadOnly(true);
    MakeLabel(ZelPanel2, 104, 60, "Processed file:", kBoldBlue);
    Savefile = new TEdit(this);
    Savefile->SetParent(ZelPanel2);
    Savefile->SetBounds(104, 76, 329, 21);
    Savefile->SetReadOnly(true);
    Gauge = new TZelGauge(this);
    Gauge->SetParent(ZelPanel2);
    Gauge->SetBounds(104, 105, 329, 25);
    Gauge->SetKind(kHorizontal);
    Gauge->SetBackground(gaugeGround);
    Gauge->SetHint("Gauge for pressing HTML file.");
    NoProgress = MakeLabel(ZelPanel2, 104, 110, "Working on the page: this step shows no progress ...", kBoldBlue);
    NoProgress->SetVisible(false);
    // White figures with a dark outline read on the bars and beside them.
    for (TZelGauge* gauge : {TotalGauge, Gauge}) {
        ApplyFont(gauge, {"", 0, fsBold, clWhite});
        gauge->Font3D()->SetStyle3D(fontOutLineShadow);
        gauge->Font3D()->SetShadow(clNavy);
    }

    ZelButton1 = MakeDialogButton(ZelPanel1, Bounds(368, 312, 75, 22), "&Canel", Grounds.Buttons);
    ZelButton1->SetHint("Break compress.");
    TBitmap glyph;
    MakeCancelGlyph(glyph);
    ZelButton1->Glyph()->SetBitmap(&glyph);
    ZelButton1->Glyph()->SetTransparentColor(kPictureKey);
    ZelButton1->OnClick = [this](TObject* Sender) { ZelButton1Click(Sender); };
}

void TConn::FormShow(TObject*) {
    CentreOnMainWindow(this, mainWindow_());
}

void TConn::ZelButton1Click(TObject*) {
    cancelled_ = true;
    // Gone once clicked: the page in hand is finished, then the run stops.
    ZelButton1->Hide();
}

// The engine's failures become the framework's exceptions, for the report.
template <class TWork>
auto TConn::EngineCall(TWork&& Work) -> decltype(Work()) {
    try {
        return Work();
    } catch (const IoError& e) {
        throw EInOutError(e.what(), 0);
    } catch (const DataError& e) {
        throw EConvertError(e.what());
    }
}


RunTally TConn::RunBatch(const std::vector<std::string>& Pages,
                        const TRunOptions& Options,
                        std::function<void(int Index)> ItemStarted,
                        const std::vector<bool>& ModernPages) {
    std::vector<BatchItem> items;
    items.reserve(Pages.size());
    for (std::size_t i = 0; i < Pages.size(); ++i) {
        items.push_back({Pages[i], true});
        items.back().Modern = i < ModernPages.size() && ModernPages[i];
    }
    const JobOptions& options = Options.Job;
    BatchSettings settings;
    settings.Format = Options.Format;
    settings.SiteRoot = Options.Format == PageFormat::Modern ? Options.SiteRoot : std::string();
    if (options.password.Enabled) {
        const std::string problem = PasswordProblem(options.password.Text);
        if (!problem.empty())
            throw Exception("Cannot compress: " + problem);
    }
    itemStarted_ = std::move(ItemStarted);
    runItem_ = 0;
    runPages_ = static_cast<int>(Pages.size());
    tally_ = RunTally{};
    struct TForget {
        std::function<void(int)>& started;
        ~TForget() { started = nullptr; }
    } forget{itemStarted_};
    // EndRun brings the main window back also when a page fails part-way.
    return EngineCall([&] {
        RunTally tally;
        RunOnWorker(*this, *this, [] { Application->ProcessMessages(); },
                    [&](JobHost& Log, BatchHost& Host) { tally = vexel::RunBatch(items, options, settings, Log, Host); });
        return tally;
    });
}

// ---- JobHost ----

void TConn::AddLogLine(const std::string& line) {
    Memo1->Lines()->Add(line);
}

void TConn::ShowErrorIndicator() {
    haveError->Show();
}

void TConn::SetPagePercentage(uint8_t percent) {
    NoProgress->Hide();
    Gauge->Show();
    Gauge->SetPercentage(percent);
}

void TConn::PageProgressUnknown() {
    // A bar standing still at any figure would say something untrue.
    Gauge->Hide();
    NoProgress->Show();
}

void TConn::ProcessMessages() {
    Application->ProcessMessages();
}


// ---- BatchHost ----

void TConn::ShowRunWindow() {
    // Cancel is live from the moment the window shows: a click before the
    // first page still stops the run.
    cancelled_ = false;
    ZelButton1->Show();
    if (TCustomForm* main = mainWindow_())
        main->Hide();
    if (OnRunWindowShow)
        OnRunWindowShow();
    Show();
}

void TConn::CloseRunWindow() {
    Hide();
    if (TCustomForm* main = mainWindow_())
        main->Show();
    if (OnRunWindowClose)
        OnRunWindowClose();
}

void TConn::BeginRun() {
    ShowRunWindow();
}

void TConn::EndRun(const RunTally& tally) {
    tally_ = tally;
    for (const std::string& line : SummaryLines(tally_))
        Memo1->Lines()->Add(line);
    CloseRunWindow();
}

void TConn::ResetForRun() {
    haveError->Hide();
    Memo1->Lines()->Clear();
    TotalGauge->SetPercentage(0);
    SetPagePercentage(0);
}

void TConn::SetTotalPercentage(uint8_t percent) {
    TotalGauge->SetPercentage(percent);
}

void TConn::SetPaths(const std::string& path) {
    if (itemStarted_)
        itemStarted_(runItem_);
    Openfile->SetText(path);
    Savefile->SetText(path);
    // A new page: the last one's 100 % says nothing of it.
    SetPagePercentage(0);
}

void TConn::AlreadyCompressed(const std::string& path) {
    const std::string text = "File:" + path + " already compressed!";
    // One box per page would stop a run over a site at every such page.
    if (runPages_ > 1)
        Memo1->Lines()->Add(text);
    else if (ShowMessage)
        ShowMessage(text);
}

bool TConn::CancelRequested() {
    return cancelled_;
}

bool TConn::ContinueAfterFailure(const PageReport&) {
    // A page that cannot be read or written ends the run; the error is
    // reported once the windows are back.
    return false;
}

void TConn::PageDone(const PageReport& report) {
    // A file that is not a page got no SetPaths: it becomes the current item
    // all the same, as every selected item does in its turn.
    if (report.Outcome == PageOutcome::NotAPage && itemStarted_)
        itemStarted_(runItem_);
    ++runItem_;
}

}  // namespace vexel
