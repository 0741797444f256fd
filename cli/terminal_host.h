// The surroundings of a batch run on the command line: the log goes to standard
// output (and a log file), errors and progress to standard error.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <ostream>
#include <string>
#include <vector>

#include "cli/progress_bar.h"
#include "engine/batch.h"
#include "engine/job_host.h"

namespace vexel::cli {

// A line of text output with the control characters of hostile file names
// made visible: CR, LF and tab as \r, \n and \t, other control bytes as
// \xHH and the C1 controls of UTF-8 as \uHHHH, so that a name can neither
// move the terminal's cursor nor forge a line. Other text stays as it is.
std::string ShownText(const std::string& text);

class TerminalHost : public JobHost, public BatchHost {
public:
    // `log` may be null (--quiet), as may `logFile`. `pageSizes` gives the size
    // of each page of the run by path, for the progress bar.
    TerminalHost(std::ostream* log, std::ostream* logFile, std::ostream& err, ProgressBar& bar,
                 std::function<int()> stopSignal);

    void StartProgress(const std::map<std::string, int64_t>& pageSizes);

    // JobHost. With parallel jobs the engine may call from its workers; every
    // call takes the lock so that lines and the bar never interleave.
    void AddLogLine(const std::string& line) override;
    // With --quiet and no log file the lines go nowhere: the batch keeps none.
    bool WantsLogLines() const override { return log_ != nullptr || logFile_ != nullptr; }
    void SetPagePercentage(uint8_t percent) override;
    // Called while the batch waits for parallel pages: keeps rate and time left current.
    void ProcessMessages() override;

    // BatchHost
    void EndRun(const RunTally& tally) override;
    void SetPaths(const std::string& path) override;
    void AlreadyCompressed(const std::string& path) override;
    bool CancelRequested() override;
    bool ContinueAfterFailure(const PageReport& report) override;
    void PageDone(const PageReport& report) override;

    // Writes "vexel: " + message on standard error, clear of the bar.
    virtual void Error(const std::string& message);

private:
    void WriteLine(const std::string& line);
    void DrawBar(bool force);

    std::ostream* log_;
    std::ostream* logFile_;
    std::ostream& err_;
    ProgressBar& bar_;
    std::function<int()> stopSignal_;

    mutable std::mutex mutex_;
    std::map<std::string, int64_t> pageSizes_;
    std::map<std::string, bool> reportedFailures_;
    int pagesDone_ = 0;
    int64_t bytesDone_ = 0;
    int64_t currentPageBytes_ = 0;
    int currentPercent_ = 0;
};

}  // namespace vexel::cli
