// The compression window: the progress window of a batch run and the holder
// of the compression job's fields. It is the engine's host: the pages' log
// lines, warnings and page progress come to its controls, and the batch's
// total progress, paths, "already compressed" notices and Cancel button too.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "app/run_options.h"
#include "app/window_parts.h"
#include "engine/batch.h"
#include "engine/classic_page.h"
#include "engine/job_host.h"
#include "engine/page_options.h"
#include "framework/win32/buttons.h"
#include "framework/win32/edits.h"
#include "framework/win32/forms.h"
#include "system/form_manager.h"
#include "widgets/buttons.h"
#include "widgets/check_buttons.h"
#include "widgets/gauge.h"
#include "widgets/labels.h"
#include "widgets/panels.h"
#include "widgets/zel_button.h"

namespace vexel {

// The summary lines of a run: pages, bytes with their ratio, time.
std::vector<std::string> SummaryLines(const RunTally& Tally);
// The closing box's line for the pages with format warnings; empty without.
std::string WarningsLine(const RunTally& Tally);

class TConn : public TForm, public JobHost, public BatchHost {
public:
    // The window of a run shows in the main window's stead.
    TConn(TComponent* AOwner, const TDialogGrounds& Grounds, TMainWindowLink MainWindow);

    // What the user sees.
    TZelPanel* ZelPanel1 = nullptr;
    TZelLabel* InformationLabel = nullptr;
    TZelRoundButton* haveError = nullptr;
    TMemo* Memo1 = nullptr;
    TZelPanel* ZelPanel2 = nullptr;
    TZelGauge* TotalGauge = nullptr;
    TEdit* Openfile = nullptr;
    TEdit* Savefile = nullptr;
    TZelGauge* Gauge = nullptr;
    // In the page gauge's place while a step gives no progress.
    TZelLabel* NoProgress = nullptr;
    TZelButton* ZelButton1 = nullptr;
    TZelFormManager* ZelFormManager1 = nullptr;  // top-most

    // Handlers.
    void FormShow(TObject* Sender);
    void ZelButton1Click(TObject* Sender);

    // The batch over the pages of the list (full paths in UTF-8, every
    // one selected, in list order). ItemStarted(i) tells the
    // list that item i is the current one. A page that cannot be read or
    // written ends the run; the windows are restored and the failure is
    // thrown on. A run over one
    // page shows its "already compressed" box at once; a run over several
    // logs one line for each such page. The summary lines end the log.
    // The pages marked in ModernPages (when given, one mark a page) are
    // written as modern pages whatever the format.
    RunTally RunBatch(const std::vector<std::string>& Pages,
                      const TRunOptions& Options,
                      std::function<void(int Index)> ItemStarted,
                      const std::vector<bool>& ModernPages = {});
    // What the last run did, as the engine counted it.
    const RunTally& Tally() const { return tally_; }

    // Shows a box (the "File:" ... " already compressed!" box, the end of
    // a run) and waits for the user; a test puts its own answer here.
    std::function<void(const std::string& Text)> ShowMessage;
    // Asks a question with Yes, No and Cancel; gives IDYES, IDNO or
    // IDCANCEL. A test puts its own answer here.
    std::function<int(const std::string& Text)> Ask;

    // JobHost
    void AddLogLine(const std::string& line) override;
    void ShowErrorIndicator() override;
    void SetPagePercentage(uint8_t percent) override;
    void PageProgressUnknown() override;
    void ProcessMessages() override;


    // The window of a run: shown in the main window's stead, and closed
    // with the main window and the run's log shown again.
    void ShowRunWindow();
    void CloseRunWindow();
    // As the window of a run shows: the windows that stand in its way go.
    std::function<void()> OnRunWindowShow;
    // Once it closed: the run's log shows.
    std::function<void()> OnRunWindowClose;

    // BatchHost
    void BeginRun() override;
    void EndRun(const RunTally& tally) override;
    void ResetForRun() override;
    void SetTotalPercentage(uint8_t percent) override;
    void SetPaths(const std::string& path) override;
    void AlreadyCompressed(const std::string& path) override;
    bool CancelRequested() override;
    bool ContinueAfterFailure(const PageReport& report) override;
    void PageDone(const PageReport& report) override;

protected:
    ~TConn() override = default;

private:
    void BuildPanels(const TDialogGrounds& Grounds);
    // Runs an engine call, giving its failures the framework's exception types.
    template <class TWork>
    auto EngineCall(TWork&& Work) -> decltype(Work());

    TMainWindowLink mainWindow_;
    // The run under way: the item each page report belongs to.
    std::function<void(int Index)> itemStarted_;
    int runItem_ = 0;
    int runPages_ = 0;
    RunTally tally_;
    bool cancelled_ = false;
};

}  // namespace vexel
