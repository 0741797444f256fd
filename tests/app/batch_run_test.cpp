// Batch runs through the compression window over real pages in a scratch
// folder: the pages and log lines the engine gives for the same options,
// files skipped and pages already compressed, the current list item
// following the run, Cancel between pages, and a page that cannot be
// written still bringing the main window back.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "app/conn.h"
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

    Button2Click(*windows);

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
    Button2Click(*windows);
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
        Button2Click(*windows);
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
        run(*windows);
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
    Button2Click(*windows);  // kept and bare compressed, with backups
    const std::string compressed = ReadBytes(kept);
    ASSERT_NE(compressed, SamplePage(1));
    // bare loses its backup: neither restore nor verify can use it.
    ASSERT_TRUE(DeleteFileA((bare + "_backup").c_str()));
    windows->Log->Hide();

    VerifySelected(*windows);
    std::vector<std::string> log = Lines(conn->Memo1->Lines());
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[0].rfind(kept + ": OK (JavaScript page", 0), 0u) << log[0];
    EXPECT_NE(log[1].find(bare), std::string::npos) << log[1];
    EXPECT_EQ(log[2], "Pages: 1 OK, 0 mismatch, 0 not checked, 1 failed");
    EXPECT_TRUE(windows->Log->Visible());
    EXPECT_EQ(Lines(windows->Log->Memo1->Lines()), log);

    RestoreSelected(*windows);
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
    Button2Click(*windows);
    EXPECT_TRUE(windows->Log->Visible());
    EXPECT_EQ(Lines(windows->Log->Memo1->Lines()), Lines(conn->Memo1->Lines()));
    EXPECT_EQ(Lines(windows->Log->Memo1->Lines()).back().rfind("Time: ", 0), 0u);
}
