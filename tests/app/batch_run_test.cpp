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

std::vector<std::string> Lines(TStrings* Strings) {
    std::vector<std::string> lines;
    for (int i = 0; i < Strings->Count(); ++i)
        lines.push_back(Strings->Strings(i));
    return lines;
}

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

TEST_F(BatchRun, CompressesTheSelectedPagesAsTheEngineDoesAndSkipsTheRest) {
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
    const std::vector<std::string> expectedLog =
        EngineLog({"a.htm", "notes.txt", "b.HTML", "c.htm", "e.htm"});

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
    EXPECT_EQ(messages, (std::vector<std::string>{"File:" + c + " already compressed!"}));

    EXPECT_EQ(Lines(conn->Memo1->Lines()), expectedLog);
    EXPECT_EQ(Lines(windows->Log->Memo1->Lines()), expectedLog);
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
    const std::vector<std::string> log = Lines(windows->Log->Memo1->Lines());
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.back().rfind("Error  ", 0), 0u) << log.back();
    EXPECT_NE(log.back().find("(Break)"), std::string::npos) << log.back();
    EXPECT_NE(ReadBytes(first), SamplePage(1));
    EXPECT_EQ(ReadBytes(locked), SamplePage(2));
    EXPECT_EQ(GetFileAttributesA((locked + "_backup").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(ReadBytes(last), SamplePage(3));
    EXPECT_EQ(selection.current, (std::vector<int>{0, 1}));
}

TEST_F(BatchRun, NothingSelectedShowsAnEmptyLog) {
    selection.Add(Put("page.htm", SamplePage(1)), false);
    conn->AddLogLine("a line of the run before");
    Button2Click(*windows);
    EXPECT_EQ(conn->Memo1->Lines()->Count(), 0);
    EXPECT_EQ(windows->Log->Memo1->Lines()->Count(), 0);
    EXPECT_TRUE(windows->Log->Visible());
    EXPECT_TRUE(main->Visible());
    EXPECT_TRUE(selection.current.empty());
    EXPECT_EQ(ReadBytes(dir.Path("page.htm")), SamplePage(1));
}
