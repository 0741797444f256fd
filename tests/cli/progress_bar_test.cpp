// The progress bar's text and its drawing in place.
#include <gtest/gtest.h>

#include <sstream>

#include "cli/progress_bar.h"

namespace vexel::cli {
namespace {

TEST(ProgressBar, ShowsPagesBytesRateAndTimeLeft) {
    EXPECT_EQ(ProgressBar::Format(1, 4, 512 * 1024, 1024 * 1024, 0.1),
              "[##########----------] 1/4 pages  512.0 KB / 1.0 MB");
    // Half done after 2 s at 256 KB/s: 2 s to go.
    EXPECT_EQ(ProgressBar::Format(2, 4, 512 * 1024, 1024 * 1024, 2.0),
              "[##########----------] 2/4 pages  512.0 KB / 1.0 MB  256.0 KB/s  0:02 left");
    EXPECT_EQ(ProgressBar::Format(0, 0, 0, 0, 0), "[####################] 0/0 pages  0 B / 0 B");
    EXPECT_EQ(ProgressBar::FormatBytes(1023), "1023 B");
    EXPECT_EQ(ProgressBar::FormatBytes(3 * 1024 * 1024 + 512 * 1024), "3.5 MB");
}

TEST(ProgressBar, RedrawsInPlaceAtMostTenTimesASecond) {
    std::ostringstream out;
    double now = 0;
    ProgressBar bar(out, true, [&now] { return now; });
    bar.Start(2, 2000);
    bar.Update(0, 0);
    bar.Update(0, 500);  // too soon: not drawn
    now = 0.2;
    bar.Update(1, 1000);
    EXPECT_EQ(out.str(), "\r[--------------------] 0/2 pages  0 B / 2.0 KB"
                         "\r[##########----------] 1/2 pages  1000 B / 2.0 KB");
    bar.Erase();
    EXPECT_FALSE(bar.Visible());
    EXPECT_EQ(out.str().substr(out.str().size() - 2), " \r");
}

TEST(ProgressBar, DisabledWritesNothing) {
    std::ostringstream out;
    ProgressBar bar(out, false);
    bar.Start(1, 10);
    bar.Update(1, 10, true);
    bar.Erase();
    EXPECT_TRUE(out.str().empty());
}

}  // namespace
}  // namespace vexel::cli
