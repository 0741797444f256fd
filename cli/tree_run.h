// compress and verify with --output-dir: a source folder compressed into an
// output folder (engine/tree.h), and the output checked against its source.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "cli/options.h"
#include "cli/terminal_host.h"
#include "engine/batch.h"
#include "engine/tree.h"

namespace vexel::cli {

// One compress run into an output folder. Prepare, then Start before the
// batch (the pages that changed become its items) and Finish after it.
class TreeCompress {
public:
    explicit TreeCompress(const Invocation& inv);
    ~TreeCompress();

    // The folders checked against each other and the tree listed. A usage
    // problem (the output inside the source, ...) comes back as its message.
    std::string Prepare();
    // Creates the output folders and lists the pages to write as `items`;
    // false (the error reported) when the output folders cannot be made.
    bool Start(TerminalHost& host, std::vector<BatchItem>& items, std::map<std::string, int64_t>& sizes);
    // The site root the batch writes the shared file to: in the output tree.
    const std::string& SiteRoot() const { return inv_.outputDir; }
    // Records the pages written, copies or links the other files (not after
    // a stop) and saves the manifest; gives back the run's summary line of
    // the output folder.
    std::string Finish(TerminalHost& host, RunTally& summary, const std::function<int()>& stopSignal);
    // Files other than pages (and the manifest) that failed: the run failed.
    // (The names that could not be listed count with the pages.)
    int OthersFailed() const { return othersFailed_; }

    // The batch's host, passed through, keeping each page's outcome.
    BatchHost& Host(BatchHost& inner);

private:
    class Recorder;

    const Invocation& inv_;
    std::string source_;
    TreeListing listing_;
    TreeManifest manifest_;
    std::map<std::string, PageOutcome> outcomes_;  // by source path
    std::unique_ptr<Recorder> recorder_;
    int pagesUpToDate_ = 0;
    int othersFailed_ = 0;
};

// verify --output-dir: every page of the output checked against its source,
// the other files against theirs as --other-files put them there.
int VerifyTree(const Invocation& inv, std::ostream& out, std::ostream& err, const std::function<int()>& stopSignal);

// The source folder of a run with --output-dir: its PATH, or with
// --files0-from the current folder.
std::string TreeSource(const Invocation& inv);

}  // namespace vexel::cli
