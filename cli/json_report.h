// --json: a compress run told to scripts, one JSON object per line on standard
// output for each page and a last one for the summary. Errors and the text
// summary still go to standard error, the log lines to --log's file.
#pragma once

#include <functional>
#include <mutex>
#include <ostream>
#include <string>
#include <vector>

#include "cli/terminal_host.h"
#include "engine/batch.h"

namespace vexel::cli {

// `text` as a JSON string, quotes included. Bytes that are not UTF-8 (a file
// name on Linux may hold any) become the escapes "\udc80".."\udcff", which
// Python's surrogateescape turns back into the same bytes.
std::string JsonString(const std::string& text);

// A page's outcome as the "result" member names it.
const char* JsonResultName(PageOutcome outcome);

class JsonHost : public TerminalHost {
public:
    JsonHost(std::ostream& json, std::ostream* logFile, std::ostream& err, ProgressBar& bar,
             std::function<int()> stopSignal);

    // The job's lines go to the log file only; a line followed by the error
    // indicator is a warning of the page in hand.
    bool WantsLogLines() const override { return true; }
    void AddLogLine(const std::string& line) override;
    void ShowErrorIndicator() override;
    void PageDone(const PageReport& report) override;
    void Error(const std::string& message) override;
    // A name of the run that failed before it reached the batch (an empty
    // name in a list): its error, and a page object for it.
    void NameFailed(const std::string& path, const std::string& error);

    void WriteSummary(const RunTally& summary, bool dryRun);

private:
    void WriteObject(const std::string& object);

    std::ostream& json_;
    std::mutex jsonMutex_;
    std::string lastLine_;
    std::vector<std::string> warnings_;
};

}  // namespace vexel::cli
