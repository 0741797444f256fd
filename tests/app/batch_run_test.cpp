// Batch runs through the compression window over real pages in a scratch
// folder: the pages and log lines the engine gives for the same options,
// files skipped and pages already compressed, the current list item
// following the run, Cancel between pages, and a page that cannot be
// written still bringing the main window back; restore and verify on the
// worker thread; the modern page offered for pages that would lose text.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/conn.h"
#include "app/run_host.h"
#include "engine/own_page.h"
#include "app/log_window.h"
#include "app/options_dialog.h"
#include "engine/batch.h"
#include "tests/app/app_test_support.h"

using namespace vexel;
using namespace vexel::testing;

namespace {

void ReplaceAll(std::string& Text, const std::string& From, const std::string& To) {
    for (std::size_t at = Text.find(From); at != std::string::npos; at = Text.find(From, at + To.size()))
        Text.replace(at, From.size(), To);
}

}  // namespace

class BatchRun : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        MakeWindows();
        conn = windows->Conn;
    }

    // Writes a file into the scratch folder and into the engine's twin of it.
    std::string Put(const std::string& Name, const std::string& Bytes) {
        WriteBytes(twin.Path(Name), Bytes);
        const std::string path = dir.Path(Name);
        WriteBytes(path, Bytes);
        return path;
    }

    // The engine's own run over the twin folder: its log lines, with the
    // twin's folder named as the scratch folder.
    std::vector<std::string> EngineLog(const std::vector<std::string>& Names) {
        std::vector<BatchItem> items;
        for (const std::string& name : Names)
            items.push_back({twin.Path(name), true});
        RecordingJobHost host;
        BatchHost batchHost;
        RunBatch(items, JobOptions{}, BatchSettings{}, host, batchHost);
        for (std::string& line : host.lines)
            ReplaceAll(line, twin.Root().string(), dir.Root().string());
        return host.lines;
    }

    TConn* conn = nullptr;
    ScratchDir dir;
    ScratchDir twin;
};

TEST_F(BatchRun, CompressesTheSelectedPagesAsTheEngineDoesLogsThoseAlreadyDoneAndSumsUp) {
    const std::string a = Put("a.htm", SamplePage(1));
    const std::string notes = Put("notes.txt", "<body>not a page</body>");
    const std::string b = Put("b.HTML", SamplePage(2));
    const std::string c = Put("c.htm", SamplePage(3));
    Put("c.htm_backup", "an older copy");
    const std::string d = Put("d.htm", SamplePage(4));
    const std::string e = Put("e.htm", "<html><body>short</body></html>");
    for (const std::string& path : {a, notes, b, c})
        selection.Add(path);
    selection.Add(d, false);
    selection.Add(e);
    // Of several pages, one already compressed is a line of the log where
    // it came, not a box that stops the run.
    std::vector<std::string> expectedLog = EngineLog({"a.htm", "notes.txt", "b.HTML"});
    expectedLog.push_back("File:" + c + " already compressed!");
    for (const std::string& line : EngineLog({"e.htm"}))
        expectedLog.push_back(line);

    conn->AddLogLine("a line of the run before");
    windows->Savefileto->Show();
    windows->Savefileto->ZelButton2->Click();  // OK

    for (const char* name : {"a.htm", "b.HTML", "e.htm"}) {
        EXPECT_EQ(ReadBytes(dir.Path(name)), ReadBytes(twin.Path(name))) << name;
        EXPECT_NE(ReadBytes(dir.Path(name)), ReadBytes(dir.Path(std::string(name) + "_backup"))) << name;
    }
    EXPECT_EQ(ReadBytes(a + "_backup"), SamplePage(1));
    EXPECT_EQ(ReadBytes(notes), "<body>not a page</body>");
    EXPECT_EQ(ReadBytes(c), SamplePage(3));
    EXPECT_EQ(ReadBytes(c + "_backup"), "an older copy");
    EXPECT_EQ(ReadBytes(d), SamplePage(4));

    // The summary ends the log and is the one box of the run.
    std::vector<std::string> log = Lines(conn->Memo1->Lines());
    ASSERT_EQ(log.size(), expectedLog.size() + 3);
    const int64_t before = static_cast<int64_t>(SamplePage(1).size() + SamplePage(2).size() + 31);
    const int64_t after = static_cast<int64_t>(ReadBytes(a).size() + ReadBytes(b).size() + ReadBytes(e).size());
    EXPECT_EQ(log[expectedLog.size()], "Pages: 3 written, 1 skipped, 1 already compressed, 0 broken off, 0 failed");
    EXPECT_EQ(log[expectedLog.size() + 1].rfind("Bytes: " + std::to_string(before) + " before, " +
                                                    std::to_string(after) + " after (",
                                                0),
              0u)
        << log[expectedLog.size() + 1];
    EXPECT_EQ(log[expectedLog.size() + 2].rfind("Time: ", 0), 0u);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].rfind(log[expectedLog.size()] + "\r\n" + log[expectedLog.size() + 1], 0), 0u)
        << messages[0];
    EXPECT_EQ(Lines(windows->Log->Memo1->Lines()), log);
    log.resize(expectedLog.size());
    EXPECT_EQ(log, expectedLog);
    EXPECT_TRUE(conn->haveError->Visible());  // the control byte of the sample pages
    EXPECT_EQ(conn->Openfile->Text(), e);
    EXPECT_EQ(conn->Savefile->Text(), e);
    // Pages handed to the engine count; skipped and already compressed
    // files do not: a, b and e are files 1 to 3 of the five selected.
    EXPECT_EQ(conn->TotalGauge->Percentage(), 60);
    EXPECT_EQ(selection.current, (std::vector<int>{0, 1, 2, 3, 5}));

    EXPECT_FALSE(conn->Visible());
    EXPECT_FALSE(windows->Savefileto->Visible());
    EXPECT_TRUE(main->Visible());
    EXPECT_TRUE(windows->Log->Visible());
    EXPECT_TRUE(conn->ZelButton1->Visible());
    EXPECT_TRUE(Errors.empty());
}

TEST_F(BatchRun, CancelStopsTheRunOnceThePageInHandIsWritten) {
    std::vector<std::string> pages;
    for (int i = 1; i <= 5; ++i)
        pages.push_back(Put("page" + std::to_string(i) + ".htm", SamplePage(i)));
    for (const std::string& page : pages)
        selection.Add(page);
    // The user clicks Cancel while the second page is under way.
    selection.OnCurrent = [this](int Index) {
        if (Index == 1)
            conn->ZelButton1->Click();
    };
    EngineLog({"page1.htm", "page2.htm"});

    Button2Click(windows->RunWindows());

    for (int i = 0; i < 2; ++i)
        EXPECT_EQ(ReadBytes(pages[i]), ReadBytes(twin.Path("page" + std::to_string(i + 1) + ".htm")));
    for (int i = 2; i < 5; ++i) {
        EXPECT_EQ(ReadBytes(pages[i]), SamplePage(i + 1));
        EXPECT_EQ(GetFileAttributesA((pages[i] + "_backup").c_str()), INVALID_FILE_ATTRIBUTES);
    }
    EXPECT_FALSE(conn->ZelButton1->Visible());
    EXPECT_EQ(conn->TotalGauge->Percentage(), 40);
    EXPECT_TRUE(main->Visible());
    EXPECT_TRUE(windows->Log->Visible());
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].rfind("Pages: 2 written, 0 skipped, 0 already compressed, 0 broken off, 0 failed (stopped)", 0),
              0u)
        << messages[0];
}

TEST_F(BatchRun, OnePageAlreadyCompressedKeepsItsOwnBox) {
    const std::string page = Put("done.htm", SamplePage(1));
    WriteBytes(page + "_backup", "the original");
    selection.Add(page);
    Button2Click(windows->RunWindows());
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0], "File:" + page + " already compressed!");
    EXPECT_EQ(messages[1].rfind("Pages: 0 written, 0 skipped, 1 already compressed", 0), 0u) << messages[1];
    EXPECT_EQ(ReadBytes(page), SamplePage(1));
}

TEST_F(BatchRun, APageThatCannotBeWrittenEndsTheRunAndStillBringsTheMainWindowBack) {
    const std::string first = Put("first.htm", SamplePage(1));
    const std::string locked = Put("locked.htm", SamplePage(2));
    const std::string last = Put("last.htm", SamplePage(3));
    // Another program holds the page open without sharing it: a read-only
    // attribute would not do, since the tests may run with rights that
    // ignore it.
    const HANDLE holder = CreateFileA(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    for (const std::string& page : {first, locked, last})
        selection.Add(page);

    std::string error;
    try {
        Button2Click(windows->RunWindows());
    } catch (const Exception& e) {
        error = e.Message();
    }
    CloseHandle(holder);

    EXPECT_NE(error.find(locked), std::string::npos) << error;
    EXPECT_FALSE(conn->Visible());
    EXPECT_TRUE(main->Visible());
    EXPECT_TRUE(windows->Log->Visible());
    EXPECT_TRUE(conn->haveError->Visible());
    // The failure is the last line of the pages, before the summary.
    std::vector<std::string> log = Lines(windows->Log->Memo1->Lines());
    ASSERT_GE(log.size(), 4u);
    EXPECT_EQ(log[log.size() - 3], "Pages: 1 written, 0 skipped, 0 already compressed, 0 broken off, 1 failed");
    log.resize(log.size() - 3);
    EXPECT_EQ(log.back().rfind("Error  ", 0), 0u) << log.back();
    EXPECT_NE(log.back().find("(Break)"), std::string::npos) << log.back();
    EXPECT_NE(ReadBytes(first), SamplePage(1));
    EXPECT_EQ(ReadBytes(locked), SamplePage(2));
    EXPECT_EQ(GetFileAttributesA((locked + "_backup").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(ReadBytes(last), SamplePage(3));
    EXPECT_EQ(selection.current, (std::vector<int>{0, 1}));
}

TEST_F(BatchRun, NothingSelectedSaysSoAndKeepsTheLastLog) {
    selection.Add(Put("page.htm", SamplePage(1)), false);
    conn->AddLogLine("a line of the run before");
    for (auto run : {&Button2Click, &RestoreSelected, &VerifySelected}) {
        messages.clear();
        run(windows->RunWindows());
        EXPECT_EQ(messages, (std::vector<std::string>{kNothingSelected}));
        EXPECT_EQ(Lines(conn->Memo1->Lines()), (std::vector<std::string>{"a line of the run before"}));
        EXPECT_FALSE(windows->Log->Visible());
    }
    EXPECT_TRUE(selection.current.empty());
    EXPECT_EQ(ReadBytes(dir.Path("page.htm")), SamplePage(1));
}

TEST_F(BatchRun, RestoreAndVerifyGoThroughTheEnginesOwnAndLogALineForEachPage) {
    const std::string kept = Put("kept.htm", SamplePage(1));
    const std::string bare = Put("bare.htm", SamplePage(2));
    selection.Add(kept);
    selection.Add(bare);
    Button2Click(windows->RunWindows());  // kept and bare compressed, with backups
    const std::string compressed = ReadBytes(kept);
    ASSERT_NE(compressed, SamplePage(1));
    // bare loses its backup: neither restore nor verify can use it.
    ASSERT_TRUE(DeleteFileA((bare + "_backup").c_str()));
    windows->Log->Hide();

    VerifySelected(windows->RunWindows());
    std::vector<std::string> log = Lines(conn->Memo1->Lines());
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[0].rfind(kept + ": OK (JavaScript page", 0), 0u) << log[0];
    EXPECT_NE(log[1].find(bare), std::string::npos) << log[1];
    EXPECT_EQ(log[2], "Pages: 1 OK, 0 mismatch, 0 not checked, 1 failed");
    EXPECT_TRUE(windows->Log->Visible());
    EXPECT_EQ(Lines(windows->Log->Memo1->Lines()), log);

    RestoreSelected(windows->RunWindows());
    log = Lines(conn->Memo1->Lines());
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[0], "Restored: " + kept);
    EXPECT_NE(log[1].find(bare), std::string::npos) << log[1];
    EXPECT_EQ(log[2], "Pages restored: 1, 1 failed");
    EXPECT_EQ(ReadBytes(kept), SamplePage(1));
    EXPECT_EQ(GetFileAttributesA((kept + "_backup").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(Lines(windows->Log->Memo1->Lines()), log);
}

TEST_F(BatchRun, ALogWindowLeftOpenShowsTheLinesOfTheRunJustEnded) {
    conn->AddLogLine("a line of an earlier run");
    windows->Log->Show();
    ASSERT_EQ(Lines(windows->Log->Memo1->Lines()), std::vector<std::string>{"a line of an earlier run"});
    selection.Add(Put("page.htm", SamplePage(1)));
    Button2Click(windows->RunWindows());
    EXPECT_TRUE(windows->Log->Visible());
    EXPECT_EQ(Lines(windows->Log->Memo1->Lines()), Lines(conn->Memo1->Lines()));
    EXPECT_EQ(Lines(windows->Log->Memo1->Lines()).back().rfind("Time: ", 0), 0u);
}

// What the job's surroundings see of a run on the worker thread.
class TThreadHost : public JobHost, public BatchHost {
public:
    void AddLogLine(const std::string& line) override {
        if (line == "throw")
            throw std::runtime_error("refused here");
        lines.push_back(line);
        threads.push_back(GetCurrentThreadId());
    }
    bool CancelRequested() override {
        threads.push_back(GetCurrentThreadId());
        return true;
    }
    std::vector<std::string> lines;
    std::vector<DWORD> threads;
};

TEST(RunOnWorker, TheJobRunsOffThisThreadItsCallsAreMadeHereAndTheQueueRunsMeanwhile) {
    TThreadHost host;
    const DWORD here = GetCurrentThreadId();
    DWORD worker = here;
    std::atomic<int> pumps{0};
    int pumpsWhileWorking = 0;
    RunOnWorker(host, host, [&] { ++pumps; }, [&](JobHost& Log, BatchHost& Batch) {
        worker = GetCurrentThreadId();
        Log.AddLogLine("one");
        // A long step: the queue keeps running while it lasts.
        for (int i = 0; i < 5000 && pumps < 3; ++i)
            Sleep(1);
        pumpsWhileWorking = pumps;
        EXPECT_TRUE(Batch.CancelRequested());
        // A call that fails here fails in the job, which goes on.
        try {
            Log.AddLogLine("throw");
            ADD_FAILURE() << "the call's failure was lost";
        } catch (const std::runtime_error& e) {
            EXPECT_STREQ(e.what(), "refused here");
        }
        Log.AddLogLine("two");
    });
    EXPECT_NE(worker, here);
    EXPECT_GE(pumpsWhileWorking, 3);
    EXPECT_EQ(host.lines, (std::vector<std::string>{"one", "two"}));
    EXPECT_EQ(host.threads, std::vector<DWORD>(3, here));
    // A failure of the job is thrown on here, once it has ended.
    EXPECT_THROW(RunOnWorker(host, host, nullptr, [](JobHost&, BatchHost&) { throw std::logic_error("broken"); }),
                 std::logic_error);
}

TEST_F(BatchRun, VerifyAndRestoreShowEachPageInTheCompressionWindowAndStopOnCancel) {
    std::vector<std::string> pages;
    for (int i = 1; i <= 4; ++i)
        pages.push_back(Put("page" + std::to_string(i) + ".htm", SamplePage(i)));
    const std::string plain = Put("plain.htm", "<html><body>never compressed</body></html>");
    for (const std::string& page : pages)
        selection.Add(page);
    Button2Click(windows->RunWindows());
    selection.Add(plain);
    messages.clear();

    // The user clicks Cancel while the second page is under way.
    std::vector<bool> shown;
    std::vector<int> totals;
    selection.current.clear();
    selection.OnCurrent = [&](int Index) {
        shown.push_back(conn->Visible() && !main->Visible());
        totals.push_back(conn->TotalGauge->Percentage());
        if (Index == 1)
            conn->ZelButton1->Click();
    };
    VerifySelected(windows->RunWindows());
    std::vector<std::string> log = Lines(conn->Memo1->Lines());
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[1].rfind(pages[1] + ": OK (JavaScript page", 0), 0u) << log[1];
    EXPECT_EQ(log[2], "Pages: 2 OK, 0 mismatch, 0 not checked, 0 failed (stopped)");
    EXPECT_EQ(shown, std::vector<bool>(2, true));
    EXPECT_EQ(totals, (std::vector<int>{20, 40}));
    EXPECT_EQ(selection.current, (std::vector<int>{0, 1}));
    // The step has no progress to show: no bar stands still at a figure.
    EXPECT_FALSE(conn->Gauge->Visible());
    EXPECT_TRUE(conn->NoProgress->Visible());
    EXPECT_FALSE(conn->Visible());
    EXPECT_TRUE(main->Visible());
    EXPECT_TRUE(windows->Log->Visible());
    EXPECT_EQ(Lines(windows->Log->Memo1->Lines()), log);

    RestoreSelected(windows->RunWindows());
    EXPECT_EQ(Lines(conn->Memo1->Lines()),
              (std::vector<std::string>{"Restored: " + pages[0], "Restored: " + pages[1],
                                        "Pages restored: 2, 0 failed (stopped)"}));
    EXPECT_EQ(ReadBytes(pages[1]), SamplePage(2));
    EXPECT_NE(ReadBytes(pages[2]), SamplePage(3));

    // Without Cancel the run goes on to the end; a page that was never
    // compressed is a skip with its line, not a failure.
    selection.OnCurrent = nullptr;
    RestoreSelected(windows->RunWindows());
    log = Lines(conn->Memo1->Lines());
    ASSERT_EQ(log.size(), 6u);
    for (int i : {0, 1})
        EXPECT_EQ(log[i].rfind("Skipped: \"" + pages[i] + "\" is not a compressed page and has no backup", 0), 0u)
            << log[i];
    EXPECT_EQ(log[2], "Restored: " + pages[2]);
    EXPECT_EQ(log[4], "Skipped: \"" + plain +
                          "\" is not a compressed page and has no backup (never compressed, or restored already): "
                          "nothing to restore");
    EXPECT_EQ(log[5], "Pages restored: 2, 3 skipped (not compressed), 0 failed");
    EXPECT_EQ(ReadBytes(pages[3]), SamplePage(4));
    EXPECT_TRUE(messages.empty());
}

TEST_F(BatchRun, PagesThatWouldLoseTextAreOfferedTheModernPageAndTheBoxCountsWarnings) {
    const std::string accented = Put("accented.htm", SamplePage(1));
    const std::string ascii = Put("ascii.htm", "<html><head></head><body>" + std::string(600, 'a') + "</body></html>");
    const std::string backup = Put("gone.htm_backup", SamplePage(2));
    for (const std::string& path : {accented, ascii, backup})
        selection.Add(path);

    // Cancel: back to the options, nothing written.
    answer = IDCANCEL;
    windows->Savefileto->Show();
    windows->Savefileto->ZelButton2->Click();
    ASSERT_EQ(questions.size(), 1u);
    EXPECT_EQ(questions[0].rfind("1 of the 3 selected pages would lose some of its non-ASCII text as JavaScript "
                                 "pages",
                                 0),
              0u)
        << questions[0];
    EXPECT_NE(questions[0].find("Yes: write it as a modern page, which keeps all its text; the others stay "
                                "JavaScript pages."),
              std::string::npos)
        << questions[0];
    EXPECT_TRUE(windows->Savefileto->Visible());
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(ReadBytes(accented), SamplePage(1));

    // Yes: that page is a modern page, the other one stays classic.
    answer = IDYES;
    windows->Savefileto->ZelButton2->Click();
    EXPECT_EQ(RecognizeOwnPage(ReadBytes(accented)), PageFormat::Modern);
    EXPECT_EQ(RecognizeOwnPage(ReadBytes(ascii)), PageFormat::JavaScript);
    EXPECT_EQ(ReadBytes(backup), SamplePage(2));
    const std::vector<std::string> log = Lines(conn->Memo1->Lines());
    EXPECT_NE(std::find(log.begin(), log.end(),
                        "Information:    " + backup + " is the backup of " + dir.Path("gone.htm") +
                            ", not a page; it is left as it is."),
              log.end());
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].rfind("Pages: 2 written, 1 skipped,", 0), 0u) << messages[0];
    EXPECT_EQ(messages[0].find("Warnings:"), std::string::npos) << messages[0];

    // No: compressed as chosen, and the closing box says how many lost text.
    RestoreSelected(windows->RunWindows());
    messages.clear();
    answer = IDNO;
    Button2Click(windows->RunWindows());
    EXPECT_EQ(ReadBytes(accented), EnginePage(SamplePage(1), JobOptions{}, true));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find("\r\nWarnings: 1 page(s) will open slowly or lose non-ASCII text"), std::string::npos)
        << messages[0];
    EXPECT_EQ(questions.size(), 3u);
}
