#include "cli/tree_run.h"

#include <cstdio>
#include <memory>

#include "cli/vexel.h"
#include "engine/errors.h"
#include "engine/file_io.h"
#include "engine/verify.h"
#include "platform/ascii.h"
#include "vexel_version.h"

namespace vexel::cli {

namespace {

// A classic page's password stands in the page; its hash tells two runs
// apart without keeping it. (The password of --encrypt is not kept at all:
// a new one alone does not write the pages again.)
std::string Fnv1a(const std::string& text) {
    uint64_t hash = 14695981039346656037ull;
    for (const char c : text) {
        hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    }
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(hash));
    return hex;
}

// Everything of a run that shapes its output files: a run with other
// settings (or another version of the program) writes everything again.
std::string RunSettings(const Invocation& inv) {
    std::string text = std::string("vexel ") + VEXEL_VERSION;
    text += inv.modern ? " modern" : inv.vbscript ? " vbscript" : " javascript";
    if (inv.modern) {
        text += " codec=" + (inv.codec.empty() ? std::string("smaller") : inv.codec);
        text += inv.encrypt ? " encrypt iterations=" + std::to_string(inv.iterations) : "";
        text += inv.site.empty() ? "" : " site";
    } else {
        text += inv.keepWhitespace ? " keep-whitespace" : "";
        text += inv.keepHighBytes ? " keep-high-bytes" : "";
        text += inv.highSpeed ? " high-speed" : "";
        text += inv.passwordSet ? " password=" + Fnv1a(inv.password) : "";
    }
    text += " other-files=" + inv.otherFiles;
    return text;
}

OtherFiles OtherFilesMode(const Invocation& inv) {
    return inv.otherFiles == "link" ? OtherFiles::Link : inv.otherFiles == "skip" ? OtherFiles::Skip : OtherFiles::Copy;
}

std::string SourceProblem(const Invocation& inv, const std::string& source) {
    std::string problem = TreeFoldersProblem(source, inv.outputDir);
    if (problem.empty() && !inv.logFile.empty() &&
        (PathWithin(inv.logFile, source) || PathWithin(inv.logFile, inv.outputDir))) {
        // Created or emptied at the start, it could be a file of either tree.
        problem = "--log " + Quoted(inv.logFile) + " lies inside the source or the output folder";
    }
    if (problem.empty() && !inv.site.empty() && SameFileKey(inv.site) != SameFileKey(source)) {
        problem = "with --output-dir, --site names the source folder " + Quoted(source) +
                  " (its shared file goes to the top of the output folder)";
    }
    return problem;
}

TreeListing List(const Invocation& inv, const std::string& source) {
    return inv.filesFrom.empty() ? ListTree(source, inv.outputDir) : ListTreeNames(source, inv.paths, inv.outputDir);
}

}  // namespace

std::string TreeSource(const Invocation& inv) {
    return inv.filesFrom.empty() && !inv.paths.empty() ? inv.paths.front() : std::string(".");
}

// Passes every call on, and keeps the outcome of each page.
class TreeCompress::Recorder : public BatchHost {
public:
    Recorder(BatchHost& inner, std::map<std::string, PageOutcome>& outcomes) : inner_(inner), outcomes_(outcomes) {}

    void BeginRun() override { inner_.BeginRun(); }
    void EndRun(const RunTally& tally) override { inner_.EndRun(tally); }
    void ResetForRun() override { inner_.ResetForRun(); }
    void SetTotalPercentage(uint8_t percent) override { inner_.SetTotalPercentage(percent); }
    void SetPaths(const std::string& path) override { inner_.SetPaths(path); }
    void AlreadyCompressed(const std::string& path) override { inner_.AlreadyCompressed(path); }
    bool CancelRequested() override { return inner_.CancelRequested(); }
    bool ContinueAfterFailure(const PageReport& report) override { return inner_.ContinueAfterFailure(report); }
    void PageDone(const PageReport& report) override {
        outcomes_[report.Path] = report.Outcome;
        inner_.PageDone(report);
    }

private:
    BatchHost& inner_;
    std::map<std::string, PageOutcome>& outcomes_;
};

TreeCompress::TreeCompress(const Invocation& inv) : inv_(inv), source_(TreeSource(inv)) {}
TreeCompress::~TreeCompress() = default;

std::string TreeCompress::Prepare() {
    const std::string problem = SourceProblem(inv_, source_);
    if (!problem.empty()) {
        return problem;
    }
    listing_ = List(inv_, source_);
    // --retrain makes a new dictionary for every page: nothing is up to date.
    manifest_.Load(inv_.outputDir, inv_.retrain ? std::string("retrain") : RunSettings(inv_));
    return {};
}

bool TreeCompress::Start(TerminalHost& host, std::vector<BatchItem>& items, std::map<std::string, int64_t>& sizes) {
    for (const std::string& error : listing_.errors) {
        host.Error(error);
    }
    if (!inv_.dryRun) {
        try {
            MakeTreeFolders(inv_.outputDir, listing_.folders);
            RemoveTreeTemporaries(inv_.outputDir, listing_.folders);
        } catch (const IoError& e) {
            host.Error(e.what());
            return false;
        }
    }
    for (const TreeFile& file : listing_.files) {
        if (!file.page) {
            continue;
        }
        if (manifest_.UpToDate(file)) {
            ++pagesUpToDate_;
            continue;
        }
        items.push_back(BatchItem{file.source, true, source_, file.output});
        sizes[file.source] = file.found.size;
    }
    return true;
}

BatchHost& TreeCompress::Host(BatchHost& inner) {
    recorder_ = std::make_unique<Recorder>(inner, outcomes_);
    return *recorder_;
}

std::string TreeCompress::Finish(TerminalHost& host, RunTally& summary, const std::function<int()>& stopSignal) {
    int written = 0;
    int upToDate = 0;
    // A name that could not be listed failed as a page named on the command
    // line does.
    summary.Failed += static_cast<int>(listing_.errors.size());
    int failed = 0;
    const OtherFiles mode = OtherFilesMode(inv_);
    for (const TreeFile& file : listing_.files) {
        if (file.page) {
            const auto outcome = outcomes_.find(file.source);
            if (outcome == outcomes_.end()) {
                continue;  // up to date, or not reached before a stop
            }
            if (outcome->second == PageOutcome::Failed) {
                manifest_.Forget(file);
            } else if (!inv_.dryRun) {
                manifest_.Record(file);
            }
            continue;
        }
        if (mode == OtherFiles::Skip) {
            continue;
        }
        if (summary.Cancelled || (stopSignal && stopSignal() != 0)) {
            summary.Cancelled = true;
            break;
        }
        if (manifest_.UpToDate(file)) {
            ++upToDate;
            continue;
        }
        if (inv_.dryRun) {
            ++written;
            continue;
        }
        try {
            if (mode == OtherFiles::Link) {
                LinkTreeFile(file);
            } else {
                CopyTreeFile(file);
            }
            manifest_.Record(file);
            ++written;
        } catch (const IoError& e) {
            manifest_.Forget(file);
            host.Error(e.what());
            ++failed;
        }
    }
    if (!inv_.dryRun) {
        try {
            manifest_.Save(listing_.files, /*keepOthers=*/!inv_.filesFrom.empty());
        } catch (const IoError& e) {
            host.Error(e.what());
            ++failed;
        }
    }
    othersFailed_ = failed;
    return "Output " + Quoted(inv_.outputDir) + ": " + std::to_string(pagesUpToDate_) +
           " page(s) up to date; other files: " + std::to_string(written) + (inv_.dryRun ? " would be " : " ") +
           (mode == OtherFiles::Skip ? "skipped" : mode == OtherFiles::Link ? "linked" : "copied") + ", " +
           std::to_string(upToDate) + " up to date, " + std::to_string(failed) + " failed\n";
}

int VerifyTree(const Invocation& inv, std::ostream& out, std::ostream& err, const std::function<int()>& stopSignal) {
    const std::string source = TreeSource(inv);
    const std::string problem = SourceProblem(inv, source);
    if (!problem.empty()) {
        err << "vexel: " << problem << "\nTry 'vexel verify --help'.\n";
        return kExitUsage;
    }
    const TreeListing listing = List(inv, source);
    int status = listing.errors.empty() ? kExitOk : kExitFailed;
    for (const std::string& error : listing.errors) {
        err << "vexel: " << error << '\n';
    }
    const OtherFiles mode = OtherFilesMode(inv);
    int counts[4] = {};
    int signal = 0;
    for (const TreeFile& file : listing.files) {
        if (!file.page && mode == OtherFiles::Skip) {
            continue;
        }
        signal = stopSignal ? stopSignal() : 0;
        if (signal != 0) {
            break;
        }
        VerifyResult result;
        result.outcome = VerifyOutcome::Match;
        platform::FileInfo output;
        platform::Inspect(file.output, /*follow_links=*/false, output);
        const bool linked = !file.page && mode == OtherFiles::Link;
        if (output.kind == platform::FileKind::Missing) {
            result = {VerifyOutcome::Mismatch, file.page ? "page" : "file", "missing from the output"};
        } else if (linked) {
            result.format = "link";
            result.detail = "leads to its source";
            if (output.kind != platform::FileKind::Link || SameFileKey(file.output) != SameFileKey(file.source)) {
                result = {VerifyOutcome::Mismatch, "link", "not a link to " + Quoted(file.source)};
            }
        } else if (output.kind != platform::FileKind::Regular) {
            result = {VerifyOutcome::Mismatch, file.page ? "page" : "file", "not a regular file"};
        } else {
            try {
                const std::string original = ReadWholeFile(file.source);
                const std::string written = ReadWholeFile(file.output);
                if (written == original) {
                    result.format = file.page ? "page" : "file";
                    result.detail = file.page ? "its source as it is (not compressed)" : "a copy byte for byte";
                } else if (!file.page) {
                    result = {VerifyOutcome::Mismatch, "file", "differs from " + Quoted(file.source)};
                } else {
                    result = VerifyAgainst(file.output, original, inv.passwordSet ? &inv.password : nullptr);
                    // The engine's words are for a page beside its backup; here the
                    // original is the source.
                    for (std::size_t at; (at = result.detail.find("backup")) != std::string::npos;)
                        result.detail.replace(at, 6, "source");
                }
            } catch (const IoError& e) {
                result = {VerifyOutcome::Failed, "", e.what()};
            }
        }
        ++counts[static_cast<int>(result.outcome)];
        switch (result.outcome) {
            case VerifyOutcome::Match:
                if (!inv.quiet)
                    out << file.output << ": OK (" << result.format << ", " << result.detail << ")\n";
                break;
            case VerifyOutcome::Mismatch:
                out << file.output << ": MISMATCH (" << result.format << "): " << result.detail << '\n';
                break;
            case VerifyOutcome::NotChecked:
                out << file.output << ": NOT CHECKED (" << result.format << "): " << result.detail << '\n';
                break;
            case VerifyOutcome::Failed:
                out.flush();
                err << "vexel: " << result.detail << '\n';
                break;
        }
        if (result.outcome != VerifyOutcome::Match)
            status = kExitFailed;
    }
    out.flush();
    err << "Files: " << counts[static_cast<int>(VerifyOutcome::Match)] << " OK, "
        << counts[static_cast<int>(VerifyOutcome::Mismatch)] << " mismatch, "
        << counts[static_cast<int>(VerifyOutcome::NotChecked)] << " not checked, "
        << counts[static_cast<int>(VerifyOutcome::Failed)] << " failed" << (signal != 0 ? " (stopped)" : "")
        << '\n';
    return signal != 0 ? kExitSignalBase + signal : status;
}

}  // namespace vexel::cli
