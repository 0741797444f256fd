// The compression window: the progress window of a batch run and the holder
// of the compression job's fields. It is the engine's host: the pages' log
// lines, warnings and page progress come to its controls, and the batch's
// total progress, paths, "already compressed" notices and Cancel button too.
// Its handlers run the engine's steps one by one on the window's fields.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

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

class TWindowSet;

enum class FileDialog { Open, Save };

// The page format of a run, as the options dialog gives it.
struct TPageFormat {
    bool JavaChoose = true;  // classic: JavaScript, else VBScript
    bool Modern = false;
    // The password a modern page is encrypted with; empty: not encrypted.
    std::string Seal;
    // Modern pages as pages of a site whose root folder this is (the shared
    // decoder file stands there); empty: pages of their own.
    std::string SiteRoot;
};

// What a run did, for its last log lines and its closing box.
struct TRunTally {
    int Written = 0;
    int Skipped = 0;  // not pages
    int AlreadyCompressed = 0;
    int BrokenOff = 0;
    int NotSmaller = 0;  // modern pages that would not be smaller
    int Failed = 0;
    bool Cancelled = false;
    int64_t BytesBefore = 0;  // of the pages written
    int64_t BytesAfter = 0;
    double Seconds = 0;
};
// The summary lines of a run: pages, bytes with their ratio, time.
std::vector<std::string> SummaryLines(const TRunTally& Tally);

class TConn : public TForm, public JobHost, public BatchHost {
public:
    TConn(TComponent* AOwner, TWindowSet& Windows);

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
    TZelButton* ZelButton1 = nullptr;
    TZelFormManager* ZelFormManager1 = nullptr;  // top-most

    // The job's fields, never shown. The options dialog is the only writer
    // of the four option fields; the job takes them as a run starts.
    TEdit* Edit1 = nullptr;
    TEdit* password = nullptr;
    TCheckBox* highspeed = nullptr;
    TCheckBox* RemoveUnuseful = nullptr;
    TZelCheckbox* UChar = nullptr;
    // The raw data commands' buttons, which nothing shows.
    TButton* Button4 = nullptr;
    TButton* Button3 = nullptr;

    // Handlers.
    void FormShow(TObject* Sender);
    void ZelButton1Click(TObject* Sender);
    // One page on the window's fields. CompressClick prepares and encodes
    // Openfile: true when prepared, false when it broke off (the head stays
    // then). SaveJClick and SaveClick write the prepared page to Savefile as
    // a JavaScript or VBScript page; SaveJClick leaves the working string
    // with its backslashes doubled. Failures to read or write throw.
    bool CompressClick();
    void SaveJClick();
    void SaveClick();
    // The raw data commands: ask for a file, then expand its data string into
    // the working string (emptied also when the dialog is cancelled), or
    // save the working string to it.
    void Button4Click(TObject* Sender);
    void Button3Click(TObject* Sender);

    // The batch over the pages of the list (full paths in UTF-8, every
    // one selected, in list order). ItemStarted(i) tells the
    // list that item i is the current one. A page that cannot be read or
    // written ends the run; the windows are restored and the failure is
    // thrown on. A run over one
    // page shows its "already compressed" box at once; a run over several
    // logs one line for each such page. The summary lines end the log.
    RunTally RunBatch(const std::vector<std::string>& Pages,
                          const TPageFormat& Format,
                          std::function<void(int Index)> ItemStarted);
    // What the last run did.
    const TRunTally& Tally() const { return tally_; }

    // The job's options as the hidden fields hold them now.
    JobOptions OptionsFromFields() const;
    // The working string: the data string after CompressClick, doubled
    // backslashes after SaveJClick, the expanded text after Button4Click.
    const std::string& WorkText() const { return workText_; }
    // Bytes of the page the last CompressClick read.
    int32_t CharCount() const { return charCount_; }

    // Shows a box (the "File:" ... " already compressed!" box, the end of
    // a run) and waits for the user; a test puts its own answer here.
    std::function<void(const std::string& Text)> ShowMessage;

    // JobHost
    void AddLogLine(const std::string& line) override;
    void ShowErrorIndicator() override;
    void SetPagePercentage(uint8_t percent) override;
    void ProcessMessages() override;

    // Asks for a file name for the raw data commands; false when cancelled.
    // A test puts its own answer here.
    std::function<bool(FileDialog Dialog, std::string& Path)> ChooseFile;

    // BatchHost
    void BeginRun() override;
    void EndRun() override;
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
    void BuildPanels();
    void BuildJobFields();
    // The system's open and save dialogs.
    bool AskForFile(FileDialog dialog, std::string& path);
    // Writes the prepared page to Savefile in `Script`.
    void WritePage(PageFormat Script);
    // Copies the head to Edit1.
    void ShowHead();
    // Runs an engine call, giving its failures the framework's exception types.
    template <class TWork>
    auto EngineCall(TWork&& Work) -> decltype(Work());

    TWindowSet& windows_;
    // The job's working state: the head as the engine gave it, the working
    // string and the count of bytes read.
    std::string head_;
    std::string workText_;
    int32_t charCount_ = 0;
    // The run under way: the item each page report belongs to.
    std::function<void(int Index)> itemStarted_;
    int runItem_ = 0;
    int runPages_ = 0;
    TRunTally tally_;
    std::chrono::steady_clock::time_point runStart_;
};

}  // namespace vexel
