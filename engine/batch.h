// The batch run: every selected page of a list, in order, compressed in place
// after a backup copy beside it, with "already compressed" detection, the total
// gauge and the Cancel button tested after each page.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "engine/backup.h"
#include "engine/job_host.h"
#include "engine/page_compression.h"
#include "engine/page_names.h"
#include "engine/page_options.h"

namespace vexel {

struct BatchItem {
    BatchItem() = default;
    BatchItem(std::string path, bool selected = true, std::string folder = {}, std::string output = {})
        : Path(std::move(path)), Selected(selected), Folder(std::move(folder)), Output(std::move(output)) {}

    std::string Path;
    bool Selected = true;
    // The folder the page was found in, whose bounds a link in it keeps to;
    // empty for a page chosen by itself.
    std::string Folder;
    // Written as a modern page whatever the run's format (a page the
    // classic formats would lose text of).
    bool Modern = false;
    // Where the compressed page goes instead of over `Path` (an output tree,
    // engine/tree.h): the source is only read, no backup is made, and a page
    // that is not compressed (no body tag, not smaller, compressed already)
    // is written there as it is, so that the output tree is whole.
    std::string Output;
};

enum class PageOutcome {
    Written,            // compressed and written over the source (or to its output)
    WouldWrite,         // dry run: prepared, nothing written
    NotAPage,           // extension neither .htm nor .html: skipped silently
    AlreadyCompressed,  // a backup of another content exists, another run has it, or it is a
                        // compressed page already: left alone
    BrokenOff,          // no body tag: left alone, this run's backup removed
    LeftAsItIs,         // its modern page would not be smaller: left alone, this run's backup removed
    Failed,             // backup, read or write failed: left alone
};

struct PageReport {
    std::string Path;
    std::string Output;  // where it was written instead of over Path (an output tree); else empty
    PageOutcome Outcome = PageOutcome::NotAPage;
    int64_t SourceBytes = 0;  // size of the page as read
    int64_t PageBytes = 0;    // size of the page written (or that would be)
    std::string Error;        // for Failed: what went wrong, naming the file
    bool Resumed = false;     // compressed with the backup a stopped run left
    // The page was written in a classic format with a warning that browsers
    // will open it slowly or lose its non-ASCII text.
    bool FormatWarning = false;
    // Classic formats: the head of the page, as the page keeps it.
    std::string Head;
};

struct BatchSettings {
    PageFormat Format = PageFormat::JavaScript;
    bool DryRun = false;  // prepare and report, write nothing
    int Jobs = 1;         // pages compressed in parallel
    // Follow a link found in a folder to a page outside that folder.
    bool FollowLinksAnywhere = false;
    // Modern pages as pages of a site: the site's root folder, where the
    // shared file of the decoder and the dictionary stands (engine/site_file.h);
    // empty for pages of their own. Encrypted pages stay pages of their own.
    // For pages with an `Output`, the root in the output tree, where each
    // page's place below it is its output's.
    std::string SiteRoot;
    // Train a new dictionary on the pages of the run even when the root has a
    // shared file already (else the newest one there serves).
    bool Retrain = false;

};

// What a run did: the pages by outcome, and the bytes of those written.
struct RunTally {
    int Selected = 0;
    int Written = 0;  // or, in a dry run, would be written
    int AlreadyCompressed = 0;
    int BrokenOff = 0;
    int LeftAsItIs = 0;
    int Failed = 0;
    int NotPages = 0;  // skipped
    bool Cancelled = false;
    int64_t BytesBefore = 0;  // of the pages written
    int64_t BytesAfter = 0;
    // Pages written with a warning that their format opens slowly or loses
    // their non-ASCII text.
    int FormatWarnings = 0;
    double Seconds = 0;  // from the start of the run to its end
};

// The batch's surroundings besides those of a job.
class BatchHost {
public:
    virtual ~BatchHost() = default;

    // Before the first page (hide the main window, show the compression
    // window) and after the last one or after a stop, with what the run did
    // (up to the failure that ends it, if one does).
    virtual void BeginRun() {}
    virtual void EndRun(const RunTally& tally) { (void)tally; }
    // The list of the previous run is emptied, the error indicator hidden and
    // the Cancel button shown.
    virtual void ResetForRun() {}
    virtual void SetTotalPercentage(uint8_t percent) { (void)percent; }
    // The paths of the page about to be compressed (source and destination).
    virtual void SetPaths(const std::string& path) { (void)path; }
    // "File:" + path + " already compressed!", acknowledged by the user.
    virtual void AlreadyCompressed(const std::string& path) { (void)path; }
    // The Cancel button was clicked.
    virtual bool CancelRequested() { return false; }
    // A page could not be backed up, read or written. Returning false ends the
    // run (the error is then thrown to the caller after EndRun).
    virtual bool ContinueAfterFailure(const PageReport& report) {
        (void)report;
        return true;
    }
    // Every page handed to the engine, after its log lines.
    virtual void PageDone(const PageReport& report) { (void)report; }
};

// How many bytes of pages the workers of a run take on at once, for a run
// whose largest page has `largestPage` bytes; a page alone is always taken.
// A page needs a few times its size while it is compressed: with this many
// bytes under way, eight jobs peak at no more than about four times one job
// (bench/memory_bench.cpp), and small pages still all run in parallel.
int64_t InFlightBudget(int64_t largestPage);

// Runs the batch over `items`, every page with `options`. The pages' log lines
// reach `log` in list order, the same lines whatever the number of jobs.
RunTally RunBatch(const std::vector<BatchItem>& items,
                      const JobOptions& options,
                      const BatchSettings& settings,
                      JobHost& log,
                      BatchHost& host);

}  // namespace vexel
