// The backup and the claim on a page: made whole or not at all, never over
// another, and a run's claim seen by every other run until it lets go.
#include <gtest/gtest.h>

#include <filesystem>

#include "engine/backup.h"
#include "engine/batch.h"
#include "engine/errors.h"
#include "engine/restore.h"
#include "engine/verify.h"
#include "tests/engine/test_support.h"

namespace vexel {
namespace {

namespace fs = std::filesystem;
using testing::PageWithBody;
using testing::ReadBytes;
using testing::RecordingJobHost;
using testing::ScratchDir;
using testing::WriteBytes;

std::vector<std::string> Names(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

class BackupTest : public ::testing::Test {
protected:
    BackupTest() { WriteBytes(page_, original_); }

    ScratchDir dir_;
    const std::string page_ = dir_.Path("page.htm");
    const std::string original_ = PageWithBody(std::string(3000, 'x'));
};

TEST_F(BackupTest, ClaimMakesAWholeBackupAndHoldsThePageUntilReleased) {
    std::string bytes = original_;
    PageClaim first;
    ASSERT_EQ(first.Claim(page_, bytes), BackupState::Made);
    EXPECT_EQ(ReadBytes(page_ + "_backup"), original_);
    EXPECT_EQ(Names(dir_.Root()), (std::vector<std::string>{"page.htm", "page.htm_backup"}));

    // Another run meets the claim: the page is in other hands.
    std::string seen = original_;
    PageClaim second;
    EXPECT_EQ(second.Claim(page_, seen), BackupState::Handled);

    // The first run stops before writing the page: the page beside its equal
    // backup is taken up again.
    first.Release();
    PageClaim third;
    EXPECT_EQ(third.Claim(page_, seen), BackupState::Resumed);
    EXPECT_EQ(seen, original_);
    third.Release();

    // Once the page is written, its backup means "already compressed".
    WriteBytes(page_, "compressed");
    std::string now = "compressed";
    PageClaim fourth;
    EXPECT_EQ(fourth.Claim(page_, now), BackupState::Handled);
    EXPECT_EQ(ReadBytes(page_ + "_backup"), original_);
}

TEST_F(BackupTest, ABackupOfOtherBytesIsNeverReplaced) {
    WriteBytes(page_ + "_backup", "the user's only copy");
    std::string bytes = original_;
    PageClaim claim;
    EXPECT_EQ(claim.Claim(page_, bytes), BackupState::Handled);
    EXPECT_EQ(ReadBytes(page_ + "_backup"), "the user's only copy");
    EXPECT_EQ(PeekBackup(page_, original_), BackupState::Handled);
}

TEST_F(BackupTest, TakingBackABackupOnlyWhileThePageIsItsOriginal) {
    std::string bytes = original_;
    PageClaim claim;
    ASSERT_EQ(claim.Claim(page_, bytes), BackupState::Made);
    claim.TakeBackBackup();
    EXPECT_FALSE(fs::exists(page_ + "_backup"));

    // A page changed since (written, or replaced by another program) keeps it.
    ASSERT_EQ(claim.Claim(page_, bytes), BackupState::Made);
    WriteBytes(page_, "written");
    claim.TakeBackBackup();
    EXPECT_EQ(ReadBytes(page_ + "_backup"), original_);

    // A backup this run did not make is never taken back.
    claim.Release();
    WriteBytes(page_, original_);
    ASSERT_EQ(claim.Claim(page_, bytes), BackupState::Resumed);
    claim.TakeBackBackup();
    EXPECT_EQ(ReadBytes(page_ + "_backup"), original_);
}

TEST_F(BackupTest, DryRunSeesWhatAClaimWouldFind) {
    EXPECT_EQ(PeekBackup(page_, original_), BackupState::Made);
    WriteBytes(page_ + "_backup", original_);
    EXPECT_EQ(PeekBackup(page_, original_), BackupState::Resumed);
    EXPECT_EQ(Names(dir_.Root()), (std::vector<std::string>{"page.htm", "page.htm_backup"}));
}

class CountingBatchHost : public BatchHost {
public:
    void AlreadyCompressed(const std::string& path) override { already.push_back(path); }
    void PageDone(const PageReport& report) override { reports.push_back(report); }
    std::vector<std::string> already;
    std::vector<PageReport> reports;
};

TEST_F(BackupTest, BatchCompressesAPageBesideAnEqualBackupWithThatBackup) {
    WriteBytes(page_ + "_backup", original_);
    const std::string other = dir_.Path("other.htm");
    WriteBytes(other, original_);
    WriteBytes(other + "_backup", "an older original");

    RecordingJobHost log;
    CountingBatchHost host;
    const RunTally summary = RunBatch({{page_, true}, {other, true}}, JobOptions{}, {}, log, host);
    EXPECT_EQ(summary.Written, 1);
    EXPECT_EQ(summary.AlreadyCompressed, 1);
    EXPECT_EQ(host.already, std::vector<std::string>{other});
    ASSERT_EQ(host.reports.size(), 2u);
    EXPECT_TRUE(host.reports[0].Resumed);
    EXPECT_NE(ReadBytes(page_), original_);
    EXPECT_EQ(ReadBytes(page_ + "_backup"), original_);
    EXPECT_EQ(ReadBytes(other + "_backup"), "an older original");
}

// A host that throws its log lines away.
class QuietHost : public RecordingJobHost {
public:
    bool WantsLogLines() const override { return false; }
};

TEST_F(BackupTest, RestoreAndVerifyLeaveAPageThatARunHoldsToThatRun) {
    RecordingJobHost log;
    BatchHost host;
    ASSERT_EQ(RunBatch({{page_, true}}, JobOptions{}, {}, log, host).Written, 1);
    const std::string compressed = ReadBytes(page_);

    // Another run holds the backup, as compress does while it has the page.
    platform::File held;
    ASSERT_TRUE(held.Open(page_ + "_backup", platform::OpenMode::Read).Ok());
    bool locked = false;
    ASSERT_TRUE(held.TryLock(locked).Ok());
    ASSERT_TRUE(locked);
    try {
        RestorePage(page_);
        ADD_FAILURE() << "restored a page another run holds";
    } catch (const IoError& e) {
        EXPECT_NE(std::string(e.what()).find("another run is working on it"), std::string::npos) << e.what();
    }
    const VerifyResult verified = VerifyPage(page_, nullptr);
    EXPECT_EQ(verified.outcome, VerifyOutcome::Failed);
    EXPECT_NE(verified.detail.find("another run is working on it"), std::string::npos) << verified.detail;
    EXPECT_EQ(ReadBytes(page_), compressed);
    EXPECT_EQ(ReadBytes(page_ + "_backup"), original_);

    held.Close();
    EXPECT_EQ(VerifyPage(page_, nullptr).outcome, VerifyOutcome::Match);
    EXPECT_TRUE(RestorePage(page_).warning.empty());
    EXPECT_EQ(ReadBytes(page_), original_);
}

TEST_F(BackupTest, BatchSkipsACompressedPageWhoseBackupIsGoneWithALogLine) {
    RecordingJobHost log;
    BatchHost host;
    ASSERT_EQ(RunBatch({{page_, true}}, JobOptions{}, {}, log, host).Written, 1);
    const std::string compressed = ReadBytes(page_);
    fs::remove(page_ + "_backup");
    log.lines.clear();
    for (const bool modern : {false, true}) {
        BatchSettings settings;
        settings.Format = modern ? PageFormat::Modern : PageFormat::JavaScript;
        const RunTally summary = RunBatch({{page_, true}}, JobOptions{}, settings, log, host);
        EXPECT_EQ(summary.AlreadyCompressed, 1);
        EXPECT_EQ(summary.Written, 0);
        EXPECT_EQ(ReadBytes(page_), compressed);
        EXPECT_FALSE(fs::exists(page_ + "_backup"));
    }
    ASSERT_EQ(log.lines.size(), 2u);
    EXPECT_NE(log.lines[0].find("is a compressed JavaScript page already"), std::string::npos) << log.lines[0];
}

TEST(BatchMemory, PagesDoneAheadKeepNoLinesForAHostThatWantsNone) {
    ScratchDir dir;
    std::vector<BatchItem> items;
    for (int i = 0; i < 12; ++i) {
        const std::string path = dir.Path("p" + std::to_string(i) + ".htm");
        // Control bytes: a warning line each.
        WriteBytes(path, PageWithBody(std::string(2000, 'a') + std::string(50, '\x01')));
        items.push_back({path, true});
    }
    QuietHost log;
    CountingBatchHost host;
    BatchSettings settings;
    settings.Jobs = 4;
    EXPECT_EQ(RunBatch(items, JobOptions{}, settings, log, host).Written, 12);
    EXPECT_TRUE(log.lines.empty());
    EXPECT_EQ(log.indicator_shown, 12 * 50);
}

}  // namespace
}  // namespace vexel
