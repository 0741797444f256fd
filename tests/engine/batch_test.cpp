// The batch run over real files in a scratch folder: order, extensions,
// backups, the total gauge, Cancel, failures, and parallel runs that must
// look exactly like a run with one job.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>

#include "engine/batch.h"
#include "engine/file_io.h"
#include "tests/engine/test_support.h"

namespace vexel {
namespace {

namespace fs = std::filesystem;
using testing::PageWithBody;
using testing::ReadBytes;
using testing::RecordingJobHost;
using testing::ScratchDir;
using testing::WriteBytes;

// Every call of the batch on its host, as text, in order.
class RecordingBatchHost : public BatchHost {
public:
    void BeginRun() override { events.push_back("begin"); }
    void EndRun(const RunTally& tally) override {
        events.push_back("end");
        ended = tally;
    }
    void ResetForRun() override { events.push_back("reset"); }
    void SetTotalPercentage(uint8_t percent) override {
        events.push_back("total " + std::to_string(percent));
        totals.push_back(percent);
    }
    void SetPaths(const std::string& path) override { events.push_back("paths " + Name(path)); }
    void AlreadyCompressed(const std::string& path) override {
        events.push_back("File:" + Name(path) + " already compressed!");
    }
    bool CancelRequested() override { return cancel_after_pages > 0 && pages_done >= cancel_after_pages; }
    bool ContinueAfterFailure(const PageReport& report) override {
        events.push_back("failed " + Name(report.Path));
        return continue_after_failure;
    }
    void PageDone(const PageReport& report) override {
        events.push_back("done " + Name(report.Path) + " " + std::to_string(static_cast<int>(report.Outcome)));
        if (report.Outcome == PageOutcome::Written || report.Outcome == PageOutcome::BrokenOff) {
            ++pages_done;
        }
        reports.push_back(report);
    }

    static std::string Name(const std::string& path) { return fs::path(path).filename().string(); }

    std::vector<std::string> events;
    std::vector<int> totals;
    std::vector<PageReport> reports;
    RunTally ended;  // as the run's end gave it
    int cancel_after_pages = 0;
    int pages_done = 0;
    bool continue_after_failure = true;
};

std::string Body(int seed) {
    std::string body;
    for (int i = 0; i < 120; ++i) {
        body += "<tr><td>row " + std::to_string(i * seed) + "</td><td>page " + std::to_string(seed) + "</td></tr>\r\n";
    }
    return body;
}

class BatchTest : public ::testing::Test {
protected:
    std::string MakePage(const std::string& name, int seed) {
        const std::string path = dir_.Path(name);
        WriteBytes(path, PageWithBody(Body(seed)));
        return path;
    }

    RunTally Run(const std::vector<std::string>& paths, BatchSettings settings = {}) {
        std::vector<BatchItem> items;
        for (const auto& path : paths) {
            items.push_back({path, true});
        }
        return RunBatch(items, options_, settings, log_, host_);
    }

    ScratchDir dir_;
    RecordingJobHost log_;
    JobOptions options_;
    RecordingBatchHost host_;
};

TEST_F(BatchTest, TotalGaugeCountsPagesHandedToTheEngine) {
    const auto a = MakePage("a.htm", 1), b = MakePage("b.htm", 2), c = MakePage("c.htm", 3);
    Run({a, b, c});
    EXPECT_EQ(host_.totals, (std::vector<int>{33, 66, 100}));

    const auto d = MakePage("d.htm", 4), e = MakePage("e.htm", 5);
    WriteBytes(dir_.Path("notes.txt"), "text");
    host_.totals.clear();
    Run({d, dir_.Path("notes.txt"), e});
    EXPECT_EQ(host_.totals, (std::vector<int>{33, 66}));
    EXPECT_EQ(ReadBytes(dir_.Path("notes.txt")), "text");
    EXPECT_FALSE(fs::exists(dir_.Path("notes.txt_backup")));
}

TEST_F(BatchTest, PagesAreCompressedInPlaceBesideABackup) {
    const auto page = MakePage("page.HtMl", 1), other = MakePage("page.htm", 2);
    const auto shtml = MakePage("page.shtml", 3), backup_like = MakePage("x.htm_backup", 4);
    const std::string original = ReadBytes(page);
    const RunTally summary = Run({page, other, shtml, backup_like});
    EXPECT_EQ(summary.Written, 2);
    EXPECT_EQ(summary.NotPages, 2);
    EXPECT_EQ(ReadBytes(page + "_backup"), original);
    EXPECT_NE(ReadBytes(page), original);
    EXPECT_EQ(ReadBytes(page).rfind(std::string(testing::kSimpleHead) + "\r\n<SCRIPT LANGUAGE=\"JavaScript\">", 0), 0u);
    EXPECT_EQ(ReadBytes(shtml), PageWithBody(Body(3)));
    EXPECT_FALSE(fs::exists(shtml + "_backup"));
    // Each report carries its page's head, for the window that shows it.
    ASSERT_EQ(host_.reports.size(), 4u);
    EXPECT_EQ(host_.reports[0].Head, testing::kSimpleHead);
    EXPECT_EQ(host_.reports[2].Head, "");
}

TEST_F(BatchTest, VbScriptChoiceWritesTheVbScriptPage) {
    const auto page = MakePage("vb.htm", 1);
    BatchSettings settings;
    settings.Format = PageFormat::VbScript;
    Run({page}, settings);
    EXPECT_NE(ReadBytes(page).find("<SCRIPT LANGUAGE=\"VBS\"><!--"), std::string::npos);
}

TEST_F(BatchTest, ExistingBackupMeansAlreadyCompressed) {
    const auto a = MakePage("a.htm", 1), b = MakePage("b.htm", 2);
    WriteBytes(a + "_backup", "older");
    const RunTally summary = Run({a, b});
    EXPECT_EQ(summary.AlreadyCompressed, 1);
    EXPECT_EQ(ReadBytes(a), PageWithBody(Body(1)));
    EXPECT_EQ(ReadBytes(a + "_backup"), "older");
    EXPECT_EQ(host_.events[0], "begin");
    EXPECT_EQ(host_.events[1], "reset");
    EXPECT_EQ(host_.events[2], "total 50");
    EXPECT_EQ(host_.events[3], "paths a.htm");
    EXPECT_EQ(host_.events[4], "File:a.htm already compressed!");
    // The file number stays: b is still the first page handed to the engine.
    EXPECT_EQ(host_.events[6], "total 50");
    EXPECT_EQ(host_.events.back(), "end");

    // A second run finds both compressed and changes nothing.
    const std::string compressed = ReadBytes(b);
    EXPECT_EQ(Run({a, b}).AlreadyCompressed, 2);
    EXPECT_EQ(ReadBytes(b), compressed);
}

TEST_F(BatchTest, NothingSelectedOpensAndClosesTheRun) {
    const auto a = MakePage("a.htm", 1);
    const RunTally summary = RunBatch({{a, false}}, options_, {}, log_, host_);
    EXPECT_EQ(summary.Selected, 0);
    EXPECT_EQ(host_.events, (std::vector<std::string>{"begin", "reset", "end"}));
    EXPECT_TRUE(log_.lines.empty());
    EXPECT_FALSE(fs::exists(a + "_backup"));
}

TEST_F(BatchTest, CancelStopsAfterTheCurrentPage) {
    std::vector<std::string> pages;
    for (int i = 1; i <= 5; ++i) {
        pages.push_back(MakePage("p" + std::to_string(i) + ".htm", i));
    }
    host_.cancel_after_pages = 2;
    const RunTally summary = Run(pages);
    EXPECT_TRUE(summary.Cancelled);
    EXPECT_EQ(summary.Written, 2);
    EXPECT_TRUE(fs::exists(pages[1] + "_backup"));
    for (int i = 2; i < 5; ++i) {
        EXPECT_EQ(ReadBytes(pages[i]), PageWithBody(Body(i + 1)));
        EXPECT_FALSE(fs::exists(pages[i] + "_backup"));
    }
}

TEST_F(BatchTest, PageWithoutBodyTagKeepsNoBackup) {
    // No body tag, and one that never closes.
    for (const std::string page :
         {"<html><p>no body tag at all</p></html>", "<html><head></head><body onload=\"x()\""}) {
        const std::string path = dir_.Path("nobody.htm");
        WriteBytes(path, page);
        const RunTally summary = Run({path});
        EXPECT_EQ(summary.BrokenOff, 1);
        EXPECT_EQ(log_.lines.back(), "Error  <BODY> No found ! (Break)");
        EXPECT_EQ(ReadBytes(path), page);
        EXPECT_FALSE(fs::exists(path + "_backup"));
        EXPECT_EQ(Run({path}).AlreadyCompressed, 0);  // not taken for compressed next time
    }
}

TEST_F(BatchTest, FailedBackupLeavesThePageAndGoesOn) {
    const auto a = MakePage("a.htm", 1), b = MakePage("b.htm", 2);
    // A backup name that cannot be created: a link into a missing folder.
    std::error_code ec;
    fs::create_symlink(dir_.Path("missing/folder/file"), a + "_backup", ec);
    if (ec) {
        GTEST_SKIP() << "symbolic links are not available here";
    }
    const RunTally summary = Run({a, b});
    EXPECT_EQ(summary.Failed, 1);
    EXPECT_EQ(summary.Written, 1);
    EXPECT_EQ(ReadBytes(a), PageWithBody(Body(1)));
    const auto error = std::find_if(log_.lines.begin(), log_.lines.end(),
                                    [](const std::string& line) { return line.rfind("Error  ", 0) == 0; });
    ASSERT_NE(error, log_.lines.end());
    EXPECT_NE(error->find("a.htm"), std::string::npos) << *error;
    EXPECT_NE(error->find("(Skip)"), std::string::npos) << *error;
    EXPECT_GT(log_.indicator_shown, 0);
}

// Puts a folder in the page's place while the job runs, so that the page
// cannot be replaced when it is written.
class SabotagingHost : public RecordingJobHost {
public:
    void ProcessMessages() override {
        RecordingJobHost::ProcessMessages();
        if (!target.empty() && fs::is_regular_file(target)) {
            fs::remove(target);
            fs::create_directories(fs::path(target) / "blocker");
        }
    }
    std::string target;
};

TEST_F(BatchTest, PageReplacedDuringTheRunIsLeftToItsNewOwnerWithoutThisRunsBackup) {
    const auto a = MakePage("a.htm", 1), b = MakePage("b.htm", 2);
    SabotagingHost log;
    log.target = a;
    const RunTally summary = RunBatch({{a, true}, {b, true}}, options_, {}, log, host_);
    EXPECT_EQ(summary.Failed, 1);
    EXPECT_EQ(summary.Written, 1);
    // Another program put something else there: it stays, and the backup this
    // run made of the page it read goes, as if the run had never met it.
    EXPECT_TRUE(fs::is_directory(fs::path(a) / "blocker"));
    EXPECT_FALSE(fs::exists(a + "_backup"));
    EXPECT_NE(std::find(host_.events.begin(), host_.events.end(), "failed a.htm"), host_.events.end());
    ASSERT_GE(log.lines.size(), 1u);
    const auto error = std::find_if(log.lines.begin(), log.lines.end(),
                                    [](const std::string& line) { return line.rfind("Error  ", 0) == 0; });
    ASSERT_NE(error, log.lines.end());
    EXPECT_NE(error->find("a.htm"), std::string::npos);
    EXPECT_NE(error->find("changed during the run"), std::string::npos) << *error;

    // A host that ends the run gets the error thrown after the windows are restored.
    fs::remove_all(a);
    fs::remove(a + "_backup");
    WriteBytes(a, PageWithBody(Body(1)));
    fs::remove(b + "_backup");
    WriteBytes(b, PageWithBody(Body(2)));
    host_.events.clear();
    host_.continue_after_failure = false;
    EXPECT_ANY_THROW(RunBatch({{a, true}, {b, true}}, options_, {}, log, host_));
    EXPECT_EQ(host_.events.back(), "end");
    // The run ended on its first page: the host's summary counts that failure.
    EXPECT_EQ(host_.ended.Failed, 1);
    EXPECT_EQ(host_.ended.Written, 0);
    EXPECT_EQ(ReadBytes(b), PageWithBody(Body(2)));  // later pages are not processed
}

// Another program at work on the page while the job encodes it: a site
// generator that writes it anew in place, one that renames a new file over
// it, one that deletes it.
class ChangingHost : public RecordingJobHost {
public:
    void ProcessMessages() override {
        RecordingJobHost::ProcessMessages();
        if (target.empty() || done) {
            return;
        }
        done = true;
        change(target);
    }
    std::string target;
    std::function<void(const std::string&)> change;
    bool done = false;
};

TEST_F(BatchTest, PageChangedDuringTheRunKeepsTheNewContentAndLosesOnlyThisRunsBackup) {
    const std::string fresh = PageWithBody("<p>written by the generator</p>");
    const struct {
        const char* how;
        std::function<void(const std::string&)> change;
        bool gone;
    } changes[] = {
        {"edited in place", [&](const std::string& page) { WriteBytes(page, fresh); }, false},
        {"same size, renamed over it",
         [&](const std::string& page) {
             std::string same = ReadBytes(page);
             same[same.size() - 3] = 'X';
             WriteBytes(page + ".new", same);
             fs::rename(page + ".new", page);
         },
         false},
        {"deleted", [](const std::string& page) { fs::remove(page); }, true},
    };
    for (const auto& change : changes) {
        SCOPED_TRACE(change.how);
        const auto a = MakePage("a.htm", 1);
        ChangingHost log;
        log.target = a;
        log.change = change.change;
        host_.events.clear();
        const std::string before_change = ReadBytes(a);
        const RunTally summary = RunBatch({{a, true}}, JobOptions{}, {}, log, host_);
        EXPECT_EQ(summary.Failed, 1);
        EXPECT_FALSE(fs::exists(a + "_backup"));
        EXPECT_EQ(fs::exists(a), !change.gone);
        if (!change.gone) {
            const std::string now = ReadBytes(a);
            EXPECT_NE(now, before_change);
            EXPECT_EQ(now.find("<SCRIPT"), std::string::npos);  // not compressed by this run
        }
        const auto error = std::find_if(log.lines.begin(), log.lines.end(), [](const std::string& line) {
            return line.find("changed during the run") != std::string::npos;
        });
        EXPECT_NE(error, log.lines.end());
        fs::remove(a);
    }
}

TEST_F(BatchTest, PageChangedWhileResumedKeepsTheBackupThatAStoppedRunLeft) {
    const auto a = MakePage("a.htm", 1);
    const std::string original = ReadBytes(a);
    WriteBytes(a + "_backup", original);  // a run stopped between backup and page
    ChangingHost log;
    log.target = a;
    log.change = [](const std::string& page) { WriteBytes(page, PageWithBody("<p>new</p>")); };
    const RunTally summary = RunBatch({{a, true}}, JobOptions{}, {}, log, host_);
    EXPECT_EQ(summary.Failed, 1);
    EXPECT_EQ(ReadBytes(a), PageWithBody("<p>new</p>"));
    EXPECT_EQ(ReadBytes(a + "_backup"), original);
}

TEST_F(BatchTest, DryRunWritesNothing) {
    const auto a = MakePage("a.htm", 1);
    BatchSettings settings;
    settings.DryRun = true;
    const RunTally summary = Run({a}, settings);
    EXPECT_EQ(summary.Written, 1);
    EXPECT_EQ(ReadBytes(a), PageWithBody(Body(1)));
    EXPECT_FALSE(fs::exists(a + "_backup"));
    ASSERT_EQ(host_.reports.size(), 1u);
    EXPECT_EQ(host_.reports[0].Outcome, PageOutcome::WouldWrite);
    EXPECT_GT(host_.reports[0].PageBytes, 0);
    EXPECT_LT(host_.reports[0].PageBytes, host_.reports[0].SourceBytes);
}

// --- parallel runs ------------------------------------------------------------

struct RunRecord {
    std::vector<std::string> log;
    std::vector<std::string> events;
    std::vector<std::string> pages;
};

RunRecord RunInFreshFolder(int jobs) {
    ScratchDir dir;
    std::vector<BatchItem> items;
    for (int i = 0; i < 24; ++i) {
        const std::string path = dir.Path("page" + std::to_string(i) + (i % 5 == 0 ? ".HTML" : ".htm"));
        std::string body = Body(i);
        if (i % 7 == 3) {
            body += std::string("\x01\xC4\xE3", 3);  // warnings
        }
        WriteBytes(path, i == 9 ? std::string("<html>no body</html>") : PageWithBody(body));
        items.push_back({path, i != 4});
    }
    WriteBytes(dir.Path("page2.htm_backup"), "old");      // already compressed
    items.push_back({dir.Path("page6.htm"), true});        // the same page twice
    items.push_back({dir.Path("readme.txt"), true});       // not a page
    RecordingJobHost log;
    RecordingBatchHost host;
    BatchSettings settings;
    settings.Jobs = jobs;
    RunBatch(items, JobOptions{}, settings, log, host);

    RunRecord record;
    const std::string root = dir.Root().string();
    const auto relative = [&](std::string text) {
        for (std::size_t at; (at = text.find(root)) != std::string::npos;) {
            text.replace(at, root.size(), "<dir>");
        }
        return text;
    };
    for (const auto& line : log.lines) {
        record.log.push_back(relative(line));
    }
    record.events = host.events;
    for (const auto& item : items) {
        record.pages.push_back(FileExists(item.Path) ? ReadBytes(item.Path) : "<none>");
    }
    return record;
}

TEST(BatchParallel, ManyJobsGiveTheLogAndPagesOfOne) {
    const RunRecord one = RunInFreshFolder(1);
    const RunRecord four = RunInFreshFolder(4);
    EXPECT_GT(one.log.size(), 100u);
    EXPECT_EQ(one.log, four.log);
    EXPECT_EQ(one.events, four.events);
    EXPECT_EQ(one.pages, four.pages);
    EXPECT_NE(std::find(four.events.begin(), four.events.end(), "File:page6.htm already compressed!"),
              four.events.end());
}

}  // namespace
}  // namespace vexel
