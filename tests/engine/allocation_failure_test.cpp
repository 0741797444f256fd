// Pages whose handling fails in any way, running out of memory included, end
// as that page's error: the run goes on with the next page, and nothing
// escapes the batch (from a worker thread it would end the whole program).
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <new>

#include "engine/batch.h"
#include "engine/carrier_text.h"
#include "engine/errors.h"
#include "engine/lzma.h"
#include "tests/engine/test_support.h"

namespace {

// While not 0, every allocation larger than this many bytes fails.
std::atomic<std::size_t> g_failAbove{0};

}  // namespace

void* operator new(std::size_t size) {
    const std::size_t limit = g_failAbove.load();
    if (limit != 0 && size > limit) {
        throw std::bad_alloc();
    }
    if (void* memory = std::malloc(size != 0 ? size : 1)) {
        return memory;
    }
    throw std::bad_alloc();
}

// GCC takes the free() of memory from this operator new, inlined, for a
// mismatch; both sides are malloc's here.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif
void operator delete(void* memory) noexcept {
    std::free(memory);
}

void operator delete(void* memory, std::size_t) noexcept {
    std::free(memory);
}
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif

namespace vexel {
namespace {

namespace fs = std::filesystem;
using testing::PageWithBody;
using testing::ReadBytes;
using testing::RecordingJobHost;
using testing::ScratchDir;
using testing::WriteBytes;

constexpr std::size_t kBigPage = 3 << 20;

// Large allocations fail from the moment the first page is under way (its
// backup made) until that page is reported: preparing it fails, and so does
// reading its backup back to take it away.
class StarvingHost : public RecordingJobHost {
public:
    void ProcessMessages() override {
        RecordingJobHost::ProcessMessages();
        if (!armed_) {
            armed_ = true;
            g_failAbove = 1 << 20;
        }
    }

private:
    bool armed_ = false;
};

class Reports : public BatchHost {
public:
    void PageDone(const PageReport& report) override {
        g_failAbove = 0;
        reports.push_back(report);
    }
    std::vector<PageReport> reports;
};

TEST(BatchFailures, RunningOutOfMemoryIsThePagesError) {
    ScratchDir dir;
    const std::string big = dir.Path("big.htm");
    const std::string small = dir.Path("small.htm");
    const std::string original = PageWithBody(std::string(kBigPage, 'b'));
    WriteBytes(big, original);
    WriteBytes(small, PageWithBody("<p>small</p>"));
    StarvingHost log;
    Reports host;
    RunTally summary;
    EXPECT_NO_THROW(summary = RunBatch({{big, true}, {small, true}}, JobOptions{}, {}, log, host));
    g_failAbove = 0;
    EXPECT_EQ(summary.Failed, 1);
    EXPECT_EQ(summary.Written, 1);
    ASSERT_EQ(host.reports.size(), 2u);
    EXPECT_EQ(host.reports[0].Outcome, PageOutcome::Failed);
    EXPECT_NE(host.reports[0].Error.find("big.htm"), std::string::npos) << host.reports[0].Error;
    EXPECT_NE(host.reports[0].Error.find("memory"), std::string::npos) << host.reports[0].Error;
    // The page is untouched; its backup, which could not be read back to
    // take it away, stays: one copy too many never loses a page.
    EXPECT_EQ(ReadBytes(big), original);
    EXPECT_EQ(host.reports[1].Outcome, PageOutcome::Written);
}

// A host whose gauge throws something that is no std::exception.
class ThrowingHost : public RecordingJobHost {
public:
    void SetPagePercentage(uint8_t percent) override {
        RecordingJobHost::SetPagePercentage(percent);
        if (throws_left > 0) {
            --throws_left;
            throw 42;
        }
    }
    int throws_left = 1;
};

TEST(BatchFailures, AFailureOfAnyTypeIsThePagesError) {
    ScratchDir dir;
    const std::string a = dir.Path("a.htm");
    const std::string b = dir.Path("b.htm");
    WriteBytes(a, PageWithBody("<p>a</p>"));
    WriteBytes(b, PageWithBody("<p>b</p>"));
    ThrowingHost log;
    Reports host;
    RunTally summary;
    EXPECT_NO_THROW(summary = RunBatch({{a, true}, {b, true}}, JobOptions{}, {}, log, host));
    EXPECT_EQ(summary.Failed, 1);
    EXPECT_EQ(summary.Written, 1);
    ASSERT_EQ(host.reports.size(), 2u);
    EXPECT_NE(host.reports[0].Error.find("a.htm"), std::string::npos) << host.reports[0].Error;
    EXPECT_EQ(ReadBytes(a), PageWithBody("<p>a</p>"));
    EXPECT_FALSE(fs::exists(a + "_backup"));  // taken back: the page was not written
}

// A few bytes that claim a gigabyte take memory for what they give, not for
// what they claim, before they are found out.
TEST(ClaimedSizes, AreNotReservedBeforeTheDataGivesThem) {
    constexpr std::size_t kClaimed = std::size_t{1} << 30;
    const std::string stream = HaveLzma() ? LzmaCompress("<p>a few bytes</p>") : std::string();
    g_failAbove = 8 << 20;
    if (HaveLzma()) {
        EXPECT_THROW(LzmaExpand(stream, kClaimed, kClaimed), DataError);
    }
    std::optional<std::string> radix;
    EXPECT_NO_THROW(radix = RadixDecode("abcdef", kClaimed));
    g_failAbove = 0;
}

}  // namespace
}  // namespace vexel
