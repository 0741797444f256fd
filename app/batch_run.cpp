#include "app/batch_run.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

#include "app/conn.h"
#include "app/options_dialog.h"
#include "app/run_host.h"
#include "engine/batch.h"
#include "engine/file_io.h"
#include "engine/own_page.h"
#include "engine/page_prepare.h"
#include "engine/restore.h"
#include "engine/verify.h"
#include "platform/file_system.h"

namespace vexel {

const char kNothingSelected[] =
    "No page is selected. Select one or more pages in the file list (Ctrl+A selects them all), then try again.";

namespace {

// The folder a page lies in, as its path names it.
std::string FolderOf(const std::string& Page) {
    std::size_t end = Page.size();
    while (end > 0 && !platform::IsSeparator(Page[end - 1]))
        --end;
    // A drive's root keeps its separator.
    if (end > 1 && !(end == 3 && Page[1] == ':'))
        --end;
    return Page.substr(0, end);
}

void Tell(TConn& Conn, const std::string& Text) {
    if (Conn.ShowMessage)
        Conn.ShowMessage(Text);
}

std::string JoinLines(const std::vector<std::string>& Lines) {
    std::string text;
    for (const std::string& line : Lines)
        text += (text.empty() ? "" : "\r\n") + line;
    return text;
}

// The compression window as the host of a restore or verify run: it shows
// the run and its Cancel, and closes on the run's log; the tally and the
// head of a compress run are not these runs' business.
class TPageRunHost : public BatchHost {
public:
    TPageRunHost(TConn& Conn, TFileSelection* Selection, std::vector<int> Items)
        : conn_(Conn), selection_(Selection), items_(std::move(Items)) {}
    void BeginRun() override { conn_.ShowRunWindow(); }
    void EndRun(const RunTally&) override { conn_.CloseRunWindow(); }
    void ResetForRun() override { conn_.ResetForRun(); }
    void SetTotalPercentage(uint8_t percent) override { conn_.SetTotalPercentage(percent); }
    // The page's item becomes the list's current one, as in a compress run.
    void SetPaths(const std::string& path) override {
        conn_.SetPaths(path);
        if (selection_ && at_ < items_.size())
            selection_->SetCurrent(items_[at_]);
    }
    bool CancelRequested() override { return conn_.CancelRequested(); }
    void PageDone(const PageReport&) override { ++at_; }

private:
    TConn& conn_;
    TFileSelection* selection_;
    std::vector<int> items_;  // the list index of each page
    std::size_t at_ = 0;
};

// A run over the selected pages on the worker thread, shown in the
// compression window (a page at a time, with Cancel between pages), its
// lines then in the log window. Work gives the lines of one page (UTF-8
// path) and whether it failed; the closing lines come from Finish, told
// whether the run was stopped.
template <class TWork, class TFinish>
void RunOverPages(const TRunWindows& Windows, TWork&& Work, TFinish&& Finish) {
    TConn* conn = Windows.Conn;
    if (!conn)
        return;
    std::vector<std::string> pages;
    std::vector<int> items;
    if (TFileSelection* selection = Windows.Selection) {
        const int count = selection->Count();
        for (int i = 0; i < count; ++i) {
            if (selection->Selected(i)) {
                pages.push_back(selection->Path(i));
                items.push_back(i);
            }
        }
    }
    if (pages.empty()) {
        Tell(*conn, kNothingSelected);
        return;
    }
    TPageRunHost pageHost(*conn, Windows.Selection, std::move(items));
    RunOnWorker(*conn, pageHost, [] { Application->ProcessMessages(); }, [&](JobHost& Log, BatchHost& Host) {
        Host.BeginRun();
        // The main window comes back also when a page's work fails.
        struct TEnd {
            BatchHost& host;
            bool ended = false;
            ~TEnd() {
                if (!ended) {
                    try {
                        host.EndRun(RunTally{});
                    } catch (...) {
                    }
                }
            }
        } end{Host};
        Host.ResetForRun();
        bool stopped = false;
        std::size_t done = 0;
        for (const std::string& page : pages) {
            ++done;
            PageReport report;
            report.Path = page;
            if (!HasPageExtension(page)) {
                Host.PageDone(report);
                continue;
            }
            Host.SetTotalPercentage(static_cast<uint8_t>(done * 100 / pages.size()));
            Host.SetPaths(page);
            Log.PageProgressUnknown();
            bool failed = false;
            for (const std::string& line : Work(page, failed))
                Log.AddLogLine(line);
            if (failed)
                Log.ShowErrorIndicator();
            Host.PageDone(report);
            if (Host.CancelRequested()) {
                stopped = true;
                break;
            }
        }
        for (const std::string& line : Finish(stopped))
            Log.AddLogLine(line);
        end.ended = true;
        Host.EndRun(RunTally{});
    });
    if (Windows.Selection)
        Windows.Selection->FilesChanged();
}

}  // namespace

std::vector<bool> PagesLosingText(const std::vector<std::string>& Pages, const JobOptions& Options) {
    std::vector<bool> losing(Pages.size(), false);
    for (std::size_t i = 0; i < Pages.size(); ++i) {
        if (!HasPageExtension(Pages[i]))
            continue;
        try {
            const std::string source = ReadWholeFile(Pages[i]);
            losing[i] = !RecognizeOwnPage(source) && ClassicLosesText(source, Options);
        } catch (const std::exception&) {
            // The run says what is wrong with it.
        }
    }
    return losing;
}

std::string LosingTextQuestion(int Losing, int Selected, PageFormat Format, bool Password) {
    const std::string format = ScriptName(Format);
    const bool one = Losing == 1;
    const std::string modern =
        std::string(one ? "a modern page" : "modern pages") + (Password ? ", encrypted with the page password" : "");
    const std::string who = Selected == 1        ? std::string("The selected page")
                            : Losing == Selected ? "All " + std::to_string(Selected) + " selected pages"
                                                 : std::to_string(Losing) + " of the " + std::to_string(Selected) +
                                                       " selected pages";
    return who + " would lose some of " + (one ? "its" : "their") + " non-ASCII text as " + format +
           " pages with these options (accented letters, other scripts).\r\n\r\n"
           "Yes: write " + (one ? "it" : "them") + " as " + modern + ", which keep" +
           (one ? "s all its" : " all their") + " text" +
           (Losing < Selected ? "; the others stay " + format + " pages" : std::string()) +
           ".\r\nNo: compress every page as chosen.\r\nCancel: back to the options.";
}

std::vector<std::string> SelectedPaths(TFileSelection& Selection) {
    std::vector<std::string> paths;
    const int count = Selection.Count();
    for (int i = 0; i < count; ++i)
        if (Selection.Selected(i))
            paths.push_back(Selection.Path(i));
    return paths;
}

void Button2Click(const TRunWindows& Windows) {
    TConn* conn = Windows.Conn;
    if (!conn)
        return;
    TFileSelection* selection = Windows.Selection;
    std::vector<std::string> pages;
    std::vector<int> items;  // the list index of each page
    if (selection) {
        const int count = selection->Count();
        for (int i = 0; i < count; ++i) {
            if (selection->Selected(i)) {
                pages.push_back(selection->Path(i));
                items.push_back(i);
            }
        }
    }
    if (pages.empty()) {
        Tell(*conn, kNothingSelected);
        return;
    }
    TRunOptions options;
    if (TSavefileto* dialog = Windows.Options) {
        options = dialog->RunOptions();
        // The file list shows one folder: the folder of every page of the run.
        if (options.SharedDecoder)
            options.SiteRoot = FolderOf(pages.front());
    }
    // Pages the classic format would lose text of may go modern instead.
    std::vector<bool> modernPages;
    if (IsClassic(options.Format)) {
        modernPages = PagesLosingText(pages, options.Job);
        const auto losing = std::count(modernPages.begin(), modernPages.end(), true);
        if (losing > 0 && conn->Ask) {
            const int answer =
                conn->Ask(LosingTextQuestion(static_cast<int>(losing), static_cast<int>(pages.size()),
                                             options.Format, options.Job.password.Enabled));
            if (answer == IDCANCEL) {
                if (Windows.Options)
                    Windows.Options->Show();
                return;
            }
            if (answer != IDYES)
                modernPages.clear();
        } else {
            modernPages.clear();
        }
    }
    struct TRefresh {
        TFileSelection* selection;
        ~TRefresh() {
            if (selection)
                selection->FilesChanged();
        }
    } refresh{selection};
    conn->RunBatch(
        pages, options,
        [&](int Page) {
            if (selection)
                selection->SetCurrent(items[static_cast<std::size_t>(Page)]);
        },
        modernPages);
    std::vector<std::string> closing = SummaryLines(conn->Tally());
    const std::string warnings = WarningsLine(conn->Tally());
    if (!warnings.empty())
        closing.push_back(warnings);
    if (options.Format == PageFormat::Modern && options.Job.password.Enabled && conn->Tally().Written > 0)
        closing.push_back("The pages written are encrypted: a browser opens them only with the password.");
    Tell(*conn, JoinLines(closing));
}

void RestoreSelected(const TRunWindows& Windows) {
    int restored = 0;
    int skipped = 0;
    int failed = 0;
    RunOverPages(
        Windows,
        [&](const std::string& page, bool& pageFailed) -> std::vector<std::string> {
            try {
                const RestoreResult result = RestorePage(page);
                if (!result.skipped.empty()) {
                    ++skipped;
                    return {"Skipped: " + result.skipped};
                }
                ++restored;
                if (!result.warning.empty())
                    return {"Restored: " + page, "warning: " + result.warning};
                return {"Restored: " + page};
            } catch (const std::exception& e) {
                ++failed;
                pageFailed = true;
                return {e.what()};
            }
        },
        [&](bool stopped) -> std::vector<std::string> {
            return {"Pages restored: " + std::to_string(restored) + ", " +
                    (skipped > 0 ? std::to_string(skipped) + " skipped (not compressed), " : std::string()) +
                    std::to_string(failed) + " failed" + (stopped ? " (stopped)" : "")};
        });
}

void VerifySelected(const TRunWindows& Windows) {
    int counts[4] = {};
    const platform::SecretText password =
        Windows.Options ? Windows.Options->TypedSeal() : platform::SecretText();
    RunOverPages(
        Windows,
        [&](const std::string& page, bool& pageFailed) -> std::vector<std::string> {
            const VerifyResult result = VerifyPage(page, password.Text().empty() ? nullptr : &password.Text());
            ++counts[static_cast<int>(result.outcome)];
            pageFailed = result.outcome == VerifyOutcome::Mismatch || result.outcome == VerifyOutcome::Failed;
            switch (result.outcome) {
                case VerifyOutcome::Match: return {page + ": OK (" + result.format + ", " + result.detail + ")"};
                case VerifyOutcome::Mismatch: return {page + ": MISMATCH (" + result.format + "): " + result.detail};
                case VerifyOutcome::NotChecked:
                    return {page + ": NOT CHECKED (" + result.format + "): " + result.detail};
                case VerifyOutcome::Failed: break;
            }
            return {result.detail};
        },
        [&](bool stopped) -> std::vector<std::string> {
            return {"Pages: " + std::to_string(counts[static_cast<int>(VerifyOutcome::Match)]) + " OK, " +
                    std::to_string(counts[static_cast<int>(VerifyOutcome::Mismatch)]) + " mismatch, " +
                    std::to_string(counts[static_cast<int>(VerifyOutcome::NotChecked)]) + " not checked, " +
                    std::to_string(counts[static_cast<int>(VerifyOutcome::Failed)]) + " failed" +
                    (stopped ? " (stopped)" : "")};
        });
}

}  // namespace vexel
