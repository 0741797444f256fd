#include "app/batch_run.h"

#include <vector>

#include "app/conn.h"
#include "app/options_dialog.h"
#include "app/window_set.h"
#include "engine/batch.h"
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

// A run over the selected pages whose lines go to the log list of the
// compression window, shown afterwards in the log window. Work gives the
// lines of one page (UTF-8 path) and the closing lines come from Finish.
template <class TWork, class TFinish>
void RunOverPages(TWindowSet& Windows, TWork&& Work, TFinish&& Finish) {
    TConn* conn = Windows.Conn;
    if (!conn)
        return;
    const std::vector<std::string> pages =
        Windows.FileSelection ? SelectedPaths(*Windows.FileSelection) : std::vector<std::string>();
    if (pages.empty()) {
        Tell(*conn, kNothingSelected);
        return;
    }
    conn->Memo1->Lines()->Clear();
    for (const std::string& page : pages) {
        if (!HasPageExtension(page))
            continue;
        for (const std::string& line : Work(page))
            conn->Memo1->Lines()->Add(line);
    }
    for (const std::string& line : Finish())
        conn->Memo1->Lines()->Add(line);
    if (Windows.FileSelection)
        Windows.FileSelection->FilesChanged();
    Windows.ShowRunLog();
}

}  // namespace

std::vector<std::string> SelectedPaths(TFileSelection& Selection) {
    std::vector<std::string> paths;
    const int count = Selection.Count();
    for (int i = 0; i < count; ++i)
        if (Selection.Selected(i))
            paths.push_back(Selection.Path(i));
    return paths;
}

void Button2Click(TWindowSet& Windows) {
    TConn* conn = Windows.Conn;
    if (!conn)
        return;
    TFileSelection* selection = Windows.FileSelection;
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
    TPageFormat format;
    if (TSavefileto* dialog = Windows.Savefileto) {
        format.JavaChoose = !dialog->VbChoose->Checked();
        format.Modern = dialog->Modern();
        format.Seal = dialog->Seal();
        // The file list shows one folder: the folder of every page of the run.
        if (format.Modern && dialog->SiteFile->Checked())
            format.SiteRoot = FolderOf(pages.front());
    }
    struct TRefresh {
        TFileSelection* selection;
        ~TRefresh() {
            if (selection)
                selection->FilesChanged();
        }
    } refresh{selection};
    conn->RunBatch(pages, format, [&](int Page) {
        if (selection)
            selection->SetCurrent(items[static_cast<std::size_t>(Page)]);
    });
    std::vector<std::string> closing = SummaryLines(conn->Tally());
    if (format.Modern && !format.Seal.empty() && conn->Tally().Written > 0)
        closing.push_back("The pages written are encrypted: a browser opens them only with the password.");
    Tell(*conn, JoinLines(closing));
}

void RestoreSelected(TWindowSet& Windows) {
    int restored = 0;
    int failed = 0;
    RunOverPages(
        Windows,
        [&](const std::string& page) -> std::vector<std::string> {
            try {
                const RestoreResult result = RestorePage(page);
                ++restored;
                if (!result.warning.empty())
                    return {"Restored: " + page, "warning: " + result.warning};
                return {"Restored: " + page};
            } catch (const std::exception& e) {
                ++failed;
                return {e.what()};
            }
        },
        [&]() -> std::vector<std::string> {
            return {"Pages restored: " + std::to_string(restored) + ", " + std::to_string(failed) + " failed"};
        });
}

void VerifySelected(TWindowSet& Windows) {
    int counts[4] = {};
    std::string password;
    if (Windows.Savefileto)
        password = Windows.Savefileto->SealPassword->Text();
    RunOverPages(
        Windows,
        [&](const std::string& page) -> std::vector<std::string> {
            const VerifyResult result = VerifyPage(page, password.empty() ? nullptr : &password);
            ++counts[static_cast<int>(result.outcome)];
            switch (result.outcome) {
                case VerifyOutcome::Match: return {page + ": OK (" + result.format + ", " + result.detail + ")"};
                case VerifyOutcome::Mismatch: return {page + ": MISMATCH (" + result.format + "): " + result.detail};
                case VerifyOutcome::NotChecked:
                    return {page + ": NOT CHECKED (" + result.format + "): " + result.detail};
                case VerifyOutcome::Failed: break;
            }
            return {result.detail};
        },
        [&]() -> std::vector<std::string> {
            return {"Pages: " + std::to_string(counts[static_cast<int>(VerifyOutcome::Match)]) + " OK, " +
                    std::to_string(counts[static_cast<int>(VerifyOutcome::Mismatch)]) + " mismatch, " +
                    std::to_string(counts[static_cast<int>(VerifyOutcome::NotChecked)]) + " not checked, " +
                    std::to_string(counts[static_cast<int>(VerifyOutcome::Failed)]) + " failed"};
        });
}

}  // namespace vexel
