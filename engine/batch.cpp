#include "engine/batch.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <map>
#include <mutex>
#include <new>
#include <optional>
#include <set>
#include <thread>
#include <utility>

#include "engine/backup.h"
#include "engine/errors.h"
#include "engine/file_io.h"
#include "engine/own_page.h"
#include "engine/site_dictionary.h"
#include "engine/site_file.h"
#include "engine/tree.h"
#include "platform/ascii.h"

namespace vexel {

namespace {

uint8_t TotalPercent(int64_t file_number, int64_t selected) {
    return static_cast<uint8_t>(std::clamp<int64_t>(file_number * 100 / selected, 0, 100));
}

// The site a run writes its modern pages as pages of: its root and shared file.
struct SiteState {
    std::string root;
    SiteFile file;
};

// What became of one page handed to the engine.
struct PageResult {
    PageReport report;
    std::exception_ptr error;  // the failure, for a host that stops the run
    bool backup_failed = false;
};

// The file of a page: links followed by the rule, and a regular file (a FIFO
// or a device named .htm would block the run or be replaced by a regular
// file).
std::string PageFile(const std::string& path, const std::string& folder, const BatchSettings& settings) {
    const std::string file = FollowPageLink(path, LinkRule{folder, settings.FollowLinksAnywhere});
    if (FileExists(file) && !IsRegularFile(file)) {
        throw IoError("Cannot open file \"" + path + "\": not a regular file");
    }
    return file;
}

// The run's failure of a page that was not written: its message, and the
// backup made for it in this run taken back, since it would only mislead.
// Never throws: whatever goes wrong here, the page stays as it is and the
// message says why.
void FailPage(PageResult& result, PageClaim& claim, std::exception_ptr error) {
    result.report.Outcome = PageOutcome::Failed;
    result.error = error;
    try {
        try {
            std::rethrow_exception(error);
        } catch (const std::bad_alloc&) {
            result.report.Error = "Cannot compress \"" + result.report.Path + "\": not enough memory";
        } catch (const std::exception& e) {
            result.report.Error = e.what();
        } catch (...) {
            result.report.Error = "Cannot compress \"" + result.report.Path + "\": unknown failure";
        }
    } catch (...) {
        // Too short to need memory of its own.
        result.report.Error = "out of memory";
    }
    try {
        try {
            std::rethrow_exception(error);
        } catch (const FileChangedError&) {
            // Another program's page now stands there: the backup of the page
            // this run read belongs to nothing.
            claim.DropBackup();
        } catch (...) {
            claim.TakeBackBackup();
        }
    } catch (...) {
        // The backup stays: a backup too many never loses a page.
    }
}

// The log of a page compressed into an output tree: the line that names
// where the page was written names its output, not the source.
class TreeLog : public JobHost {
public:
    TreeLog(JobHost& inner, const std::string& source, const std::string& output)
        : inner_(inner), written_(std::string(kWrittenTo) + source), output_(output) {}

    void AddLogLine(const std::string& line) override {
        inner_.AddLogLine(line == written_ ? std::string(kWrittenTo) + output_ : line);
    }
    bool WantsLogLines() const override { return inner_.WantsLogLines(); }
    void ShowErrorIndicator() override { inner_.ShowErrorIndicator(); }
    void SetPagePercentage(uint8_t percent) override { inner_.SetPagePercentage(percent); }
    void ProcessMessages() override { inner_.ProcessMessages(); }

private:
    static constexpr const char* kWrittenTo = "Compresssed to:";
    JobHost& inner_;
    const std::string written_;
    const std::string& output_;
};

// The page of a source tree compressed into its output: read, never written;
// no backup; a page left as it is goes to the output as it is. Never throws.
PageResult ProcessTreePage(const BatchItem& item, const JobOptions& options, const BatchSettings& settings,
                           JobHost& log, const SiteState* site) noexcept {
    PageResult result;
    PageClaim none;
    try {
        result.report.Path = item.Path;
        result.report.Output = item.Output;
        const std::string file = PageFile(item.Path, item.Folder, settings);
        std::optional<PageSite> pageSite;
        if (site != nullptr && settings.Format == PageFormat::Modern && !options.password.Enabled) {
            // The output mirrors the source: the page's depth below the root
            // is that of its output below the output's root.
            std::string link;
            for (std::size_t i = site->root.size() + 1; i < item.Output.size(); ++i) {
                if (platform::IsSeparator(item.Output[i])) {
                    link += "../";
                }
            }
            pageSite = PageSite{link + site->file.name, site->file.dictionary};
        }
        std::string source = ReadWholeFile(file);
        std::string written;
        if (const std::optional<PageFormat> own = RecognizeOwnPage(source)) {
            log.AddLogLine(std::string("Information:    ") + item.Path + " is a compressed " +
                           PageFormatName(*own) + " already; it is copied as it is.");
            result.report.Outcome = PageOutcome::AlreadyCompressed;
            written = std::move(source);
        } else {
            TreeLog treeLog(log, file, item.Output);
            CompressedPage page =
                CompressPage(source, file, options, settings.Format, treeLog, pageSite ? &*pageSite : nullptr);
            result.report.SourceBytes = page.CharCount;
            result.report.Head = std::move(page.Head);
            if (page.Prepared) {
                result.report.PageBytes = static_cast<int64_t>(page.Text.size());
                result.report.FormatWarning = page.FormatWarnings > 0;
                result.report.Outcome = settings.DryRun ? PageOutcome::WouldWrite : PageOutcome::Written;
                written = std::move(page.Text);
            } else {
                result.report.Outcome = page.LeftAsItIs ? PageOutcome::LeftAsItIs : PageOutcome::BrokenOff;
                written = std::move(source);
            }
        }
        if (!settings.DryRun) {
            WriteTreeFile(item.Output, written, file);
        }
    } catch (...) {
        FailPage(result, none, std::current_exception());
    }
    return result;
}

// Backup, compress, write: one page. Never throws.
PageResult ProcessPage(const BatchItem& item, const JobOptions& options, const BatchSettings& settings,
                       JobHost& log, const SiteState* site) noexcept {
    if (!item.Output.empty()) {
        return ProcessTreePage(item, options, settings, log, site);
    }
    PageResult result;
    // Declared before the claim, so that the claim's files are let go first.
    platform::FolderScope folder;
    PageClaim claim;
    platform::FileInfo read_as;
    try {
        const std::string& path = item.Path;
        result.report.Path = path;
        // A page found in a folder is worked on through a handle on its own
        // folder, reached from the folder named without following a link: a
        // folder swapped for a link during the run cannot redirect a write.
        if (!item.Folder.empty()) {
            std::size_t slash = path.size();
            while (slash > 0 && !platform::IsSeparator(path[slash - 1])) {
                --slash;
            }
            const platform::Status entered =
                folder.Enter(item.Folder, path.substr(0, slash > 1 ? slash - 1 : slash));
            if (!entered.Ok()) {
                throw FileChangedError(Quoted(path) + ": changed during the run (" + entered.Reason() +
                                       "); left as it is");
            }
        }
        const std::string file = PageFile(path, item.Folder, settings);
        // A page of the site names the shared file by its path from the page;
        // one outside the site's root fails before anything is done to it.
        const PageFormat format = item.Modern ? PageFormat::Modern : settings.Format;
        std::optional<PageSite> pageSite;
        if (site != nullptr && format == PageFormat::Modern && !options.password.Enabled) {
            pageSite = PageSite{SiteFileLink(site->root, file, site->file.name), site->file.dictionary};
        }
        // Read once, with write access, before any backup is made: a page that
        // cannot be read or rewritten gets none.
        std::string source = ReadWholeFile(file, /*writable=*/true, &read_as);
        if (read_as.links > 1) {
            // Renaming the new page over one name would part it from the
            // others, which would keep the original under a name of their own.
            throw IoError("Cannot compress \"" + path + "\": the file has " + std::to_string(read_as.links) +
                          " names (hard links), which a new page would part; the page is left as it is");
        }
        if (const std::optional<PageFormat> own = RecognizeOwnPage(source)) {
            // Compressed again it would show garbage. Beside its backup it is
            // the usual already compressed page; without one, the log says why.
            if (!FileExists(file + kBackupSuffix)) {
                log.AddLogLine(std::string("Information:    ") + path + " is a compressed " +
                               PageFormatName(*own) + " already (without its backup); it is left as it is.");
            }
            result.report.Outcome = PageOutcome::AlreadyCompressed;
            return result;
        }
        BackupState backup = BackupState::Made;
        if (settings.DryRun) {
            backup = PeekBackup(file, source);
        } else {
            try {
                backup = claim.Claim(file, source, &read_as);
            } catch (...) {
                result.backup_failed = true;
                throw;
            }
        }
        if (backup == BackupState::Handled) {
            result.report.Outcome = PageOutcome::AlreadyCompressed;
            return result;
        }
        result.report.Resumed = backup == BackupState::Resumed;
        CompressedPage page =
            CompressPage(std::move(source), file, options, format, log, pageSite ? &*pageSite : nullptr);
        result.report.SourceBytes = page.CharCount;
        result.report.Head = std::move(page.Head);
        if (!page.Prepared) {
            // Nothing was written: the backup made for it goes again, so that
            // no copy is left beside a page the run did not touch.
            claim.TakeBackBackup();
            result.report.Outcome = page.LeftAsItIs ? PageOutcome::LeftAsItIs : PageOutcome::BrokenOff;
            return result;
        }
        result.report.PageBytes = static_cast<int64_t>(page.Text.size());
        result.report.FormatWarning = page.FormatWarnings > 0;
        if (!settings.DryRun) {
            WriteFileReplacing(file, page.Text, &read_as);
        }
        result.report.Outcome = settings.DryRun ? PageOutcome::WouldWrite : PageOutcome::Written;
    } catch (...) {
        FailPage(result, claim, std::current_exception());
    }
    return result;
}

// Keeps a worker's log lines, each with whether the error indicator was lit
// right after it, until its page's turn comes in list order; or only the
// count of indicators when the lines would be thrown away.
class RecordingHost : public JobHost {
public:
    explicit RecordingHost(bool keep_lines = true) : keep_lines_(keep_lines) {}

    void AddLogLine(const std::string& line) override {
        if (keep_lines_) {
            lines_.push_back({line, 0});
        }
    }
    void ShowErrorIndicator() override {
        if (lines_.empty()) {
            ++leading_indicators_;
        } else {
            ++lines_.back().indicators;
        }
    }

    void ReplayTo(JobHost& host) const {
        for (int i = 0; i < leading_indicators_; ++i) {
            host.ShowErrorIndicator();
        }
        for (const Line& line : lines_) {
            host.AddLogLine(line.text);
            for (int i = 0; i < line.indicators; ++i) {
                host.ShowErrorIndicator();
            }
        }
    }

private:
    struct Line {
        std::string text;
        int indicators;
    };
    bool keep_lines_;
    int leading_indicators_ = 0;
    std::vector<Line> lines_;
};

// Pages compressed ahead by worker threads, handed out in list order.
class WorkerPool {
public:
    WorkerPool(std::vector<BatchItem> items, const JobOptions& options, const BatchSettings& settings,
               const SiteState* site, bool keep_lines, int threads)
        : items_(std::move(items)),
          options_(options),
          settings_(settings),
          site_(site),
          keep_lines_(keep_lines),
          slots_(items_.size()),
          sizes_(items_.size()) {
        // Enough pages ahead to keep every thread busy, few enough that the
        // pages waiting for their turn do not pile up.
        lookahead_ = static_cast<std::size_t>(threads) * 4;
        int64_t largest = 0;
        for (std::size_t i = 0; i < items_.size(); ++i) {
            sizes_[i] = std::max<int64_t>(FileSize(items_[i].Path), 0);
            largest = std::max(largest, sizes_[i]);
        }
        budget_ = InFlightBudget(largest);
        for (int t = 0; t < threads; ++t) {
            threads_.emplace_back([this] { Work(); });
        }
    }

    ~WorkerPool() { Stop(); }

    // Waits for task i, letting `host` run its message queue meanwhile.
    std::pair<PageResult, RecordingHost> Take(std::size_t i, JobHost& host) {
        std::unique_lock<std::mutex> lock(mutex_);
        while (!slots_[i].done) {
            lock.unlock();
            host.ProcessMessages();
            lock.lock();
            ready_.wait_for(lock, std::chrono::milliseconds(100), [&] { return slots_[i].done; });
        }
        taken_ = i + 1;
        room_.notify_all();
        return {std::move(slots_[i].result), std::move(slots_[i].log)};
    }

    // No new page is started; pages under way are finished.
    void Stop() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            stopping_ = true;
        }
        room_.notify_all();
        for (auto& t : threads_) {
            if (t.joinable()) {
                t.join();
            }
        }
    }

    // After Stop: the finished pages that were not taken yet, in order.
    std::vector<std::pair<PageResult, RecordingHost>> TakeFinished() {
        std::vector<std::pair<PageResult, RecordingHost>> finished;
        for (std::size_t i = taken_; i < slots_.size(); ++i) {
            if (slots_[i].done) {
                finished.emplace_back(std::move(slots_[i].result), std::move(slots_[i].log));
            }
        }
        return finished;
    }

private:
    struct Slot {
        bool done = false;
        PageResult result;
        RecordingHost log;
    };

    void Work() {
        for (;;) {
            std::size_t i;
            {
                std::unique_lock<std::mutex> lock(mutex_);
                room_.wait(lock, [&] {
                    return stopping_ || next_ >= slots_.size() ||
                           (next_ < taken_ + lookahead_ &&
                            (in_flight_ == 0 || in_flight_ + sizes_[next_] <= budget_));
                });
                if (stopping_ || next_ >= slots_.size()) {
                    return;
                }
                i = next_++;
                in_flight_ += sizes_[i];
            }
            RecordingHost log(keep_lines_);
            PageResult result = ProcessPage(items_[i], options_, settings_, log, site_);
            {
                std::lock_guard<std::mutex> lock(mutex_);
                slots_[i].result = std::move(result);
                slots_[i].log = std::move(log);
                slots_[i].done = true;
                in_flight_ -= sizes_[i];
            }
            ready_.notify_all();
            room_.notify_all();
        }
    }

    const std::vector<BatchItem> items_;
    const JobOptions options_;
    const BatchSettings settings_;
    const SiteState* site_;
    const bool keep_lines_;
    std::vector<Slot> slots_;
    std::vector<std::thread> threads_;
    std::mutex mutex_;
    std::condition_variable ready_;
    std::condition_variable room_;
    std::size_t next_ = 0;
    std::size_t taken_ = 0;
    std::size_t lookahead_ = 1;
    bool stopping_ = false;
    // Bytes of the pages under way, and how many may be.
    std::vector<int64_t> sizes_;
    int64_t in_flight_ = 0;
    int64_t budget_ = 0;
};

class BatchRun {
public:
    BatchRun(const std::vector<BatchItem>& items, const JobOptions& options, const BatchSettings& settings,
             JobHost& log, BatchHost& host)
        : items_(items), options_(options), settings_(settings), log_(log), host_(host) {}

    RunTally Run() {
        started_ = std::chrono::steady_clock::now();
        host_.BeginRun();
        for (const auto& item : items_) {
            summary_.Selected += item.Selected ? 1 : 0;
        }
        host_.ResetForRun();
        if (summary_.Selected > 0) {
            try {
                FindCaseClashes();
                PrepareSite();
            } catch (...) {
                End();
                throw;
            }
            if (settings_.Jobs > 1) {
                StartWorkers();
            }
            try {
                Loop();
            } catch (...) {
                FinishWorkers();
                End();
                throw;
            }
            FinishWorkers();
        }
        End();
        return summary_;
    }

private:
    void End() {
        summary_.Seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started_).count();
        host_.EndRun(summary_);
    }

    // Every page that no earlier item names goes to the workers; the others
    // are decided at their turn, once the earlier one is done.
    void StartWorkers() {
        std::vector<BatchItem> paths;
        std::set<std::string> seen;
        task_of_.assign(items_.size(), -1);
        for (std::size_t i = 0; i < items_.size(); ++i) {
            const auto& item = items_[i];
            if (!item.Selected || !HasPageExtension(item.Path) || clashes_.count(i) != 0) {
                continue;
            }
            if (!seen.insert(SameFileKey(item.Path)).second) {
                continue;
            }
            task_of_[i] = static_cast<int>(paths.size());
            paths.push_back(item);
        }
        if (paths.empty()) {
            return;
        }
        const int threads = std::min<int>(settings_.Jobs, static_cast<int>(paths.size()));
        pool_.emplace(std::move(paths), options_, settings_, site_ ? &*site_ : nullptr, log_.WantsLogLines(),
                      threads);
    }

    // Where the file system takes names regardless of letter case, two pages
    // of the run whose backups would be one file ("A.htm" and "a.htm" in a
    // folder that tells them apart) are both refused before anything is done
    // to either: one backup would stand for both, and one page's original
    // would be lost. Two names of one file are no clash.
    void FindCaseClashes() {
        if (!platform::NamesIgnoreCase()) {
            return;
        }
        std::map<std::string, std::map<std::string, std::vector<std::size_t>>> by_backup;
        for (std::size_t i = 0; i < items_.size(); ++i) {
            const auto& item = items_[i];
            if (!item.Selected || !HasPageExtension(item.Path)) {
                continue;
            }
            std::string file = item.Path;
            try {
                file = ResolveFileLinks(item.Path);
            } catch (const IoError&) {
                // Reported at the page's turn.
            }
            by_backup[LowerAscii(platform::AbsolutePath(file) + kBackupSuffix)][SameFileKey(file)].push_back(i);
        }
        for (const auto& [backup, files] : by_backup) {
            if (files.size() < 2) {
                continue;
            }
            std::vector<std::size_t> all;
            for (const auto& [key, indexes] : files) {
                all.insert(all.end(), indexes.begin(), indexes.end());
            }
            for (const std::size_t i : all) {
                std::string others;
                for (const std::size_t j : all) {
                    if (items_[j].Path != items_[i].Path && others.find(Quoted(items_[j].Path)) == std::string::npos) {
                        others += (others.empty() ? "" : ", ") + Quoted(items_[j].Path);
                    }
                }
                clashes_[i] = "Cannot compress " + Quoted(items_[i].Path) + ": its backup would be the same file as "
                              "that of " + others + " (names that differ only in letter case); both are left as "
                              "they are";
            }
        }
    }

    // A run of site pages: the newest shared file at the root serves, unless
    // there is none or a new one is asked for; then one is trained on the
    // pages of the run and written at the root (not in a dry run). Encrypted
    // pages never get here: nothing of them is in a dictionary.
    void PrepareSite() {
        if (settings_.Format != PageFormat::Modern || settings_.SiteRoot.empty() || options_.password.Enabled) {
            return;
        }
        // A dry run into an output folder that is not made yet finds none.
        std::optional<SiteFile> existing = settings_.DryRun && !FileExists(settings_.SiteRoot)
                                               ? std::nullopt
                                               : FindSiteFile(settings_.SiteRoot);
        const std::string root = settings_.SiteRoot;
        if (existing && !settings_.Retrain) {
            log_.AddLogLine("Site file: " + platform::JoinPath(root, existing->name) + " (in use)");
            site_ = SiteState{root, std::move(*existing)};
            return;
        }
        int pages = 0;
        const std::vector<std::string> samples = SiteSamples(pages);
        if (samples.empty()) {
            if (existing) {
                site_ = SiteState{root, std::move(*existing)};
            }
            return;
        }
        SiteFile made = MakeSiteFile(TrainSiteDictionary(samples), existing ? existing->generation + 1 : 1);
        if (!settings_.DryRun) {
            WriteSiteFile(root, made);
        }
        log_.AddLogLine("Site file: " + platform::JoinPath(root, made.name) + ", a dictionary of " +
                        std::to_string(made.dictionary.size()) + " bytes trained on " + std::to_string(pages) +
                        (pages == 1 ? " page" : " pages") + (settings_.DryRun ? " (not written: dry run)" : ""));
        site_ = SiteState{root, std::move(made)};
    }

    // Text of the pages of the run to train on: pages spread over the run,
    // each from its start (where a site's frame stands), up to
    // kSiteSampleBytes in all. Pages that cannot be read, lie outside the
    // site or are compressed pages already are left to their turn.
    std::vector<std::string> SiteSamples(int& pages) {
        std::vector<const BatchItem*> candidates;
        std::vector<int64_t> sizes;
        std::set<std::string> seen;
        for (const BatchItem& item : items_) {
            if (item.Selected && HasPageExtension(item.Path) && seen.insert(SameFileKey(item.Path)).second) {
                candidates.push_back(&item);
                sizes.push_back(FileSize(item.Path));
            }
        }
        std::vector<std::string> samples;
        for (const std::size_t i : PickSamples(sizes)) {
            log_.ProcessMessages();
            try {
                const std::string file = PageFile(candidates[i]->Path, candidates[i]->Folder, settings_);
                if (candidates[i]->Output.empty()) {
                    SiteFileLink(settings_.SiteRoot, file, {});  // a page outside the site fails at its turn
                }
                std::string text = ReadWholeFile(file);
                if (RecognizeOwnPage(text)) {
                    continue;
                }
                text.resize(std::min(text.size(), kLongestSample));
                samples.push_back(std::move(text));
                ++pages;
            } catch (const std::exception&) {
                // Reported at the page's turn.
            }
        }
        return samples;
    }

    void FinishWorkers() {
        if (!pool_) {
            return;
        }
        pool_->Stop();
        // Pages finished ahead of a stop were written: report them too.
        for (auto& [result, log] : pool_->TakeFinished()) {
            log.ReplayTo(log_);
            Report(result);
        }
        pool_.reset();
    }

    void Loop() {
        int64_t file_number = 1;
        for (std::size_t i = 0; i < items_.size(); ++i) {
            const auto& item = items_[i];
            if (!item.Selected) {
                continue;
            }
            HandleItem(i, item, file_number);
            if (host_.CancelRequested()) {
                summary_.Cancelled = true;
                return;
            }
        }
    }

    void HandleItem(std::size_t i, const BatchItem& item, int64_t& file_number) {
        const std::string& path = item.Path;
        if (!HasPageExtension(path)) {
            ++summary_.NotPages;
            // A backup chosen with the pages would otherwise vanish from the
            // run without a word.
            const std::string page = PageOfBackup(path);
            if (!page.empty()) {
                log_.AddLogLine("Information:    " + path + " is the backup of " + page +
                                ", not a page; it is left as it is.");
            }
            PageReport report;
            report.Path = path;
            report.Outcome = PageOutcome::NotAPage;
            host_.PageDone(report);
            return;
        }
        host_.SetTotalPercentage(TotalPercent(file_number, summary_.Selected));
        host_.SetPaths(path);
        if (const auto clash = clashes_.find(i); clash != clashes_.end()) {
            PageResult refused;
            refused.report.Path = path;
            refused.report.Outcome = PageOutcome::Failed;
            refused.report.Error = clash->second;
            refused.backup_failed = true;  // nothing was touched: the run goes on
            ++file_number;
            Report(refused);
            return;
        }
        const bool queued = pool_ && !task_of_.empty() && task_of_[i] >= 0;
        PageResult result;
        if (queued) {
            auto [taken, log] = pool_->Take(static_cast<std::size_t>(task_of_[i]), log_);
            log.ReplayTo(log_);
            result = std::move(taken);
        } else {
            result = ProcessPage(item, options_, settings_, log_, site_ ? &*site_ : nullptr);
        }
        // A page already compressed was not handed to the engine: the file
        // number stays.
        if (result.report.Outcome != PageOutcome::AlreadyCompressed) {
            ++file_number;
        }
        const bool go_on = Report(result);
        if (!go_on) {
            std::rethrow_exception(result.error);
        }
    }

    // Logs a failure, counts the outcome and tells the host. False when the
    // host ends the run on this failure.
    bool Report(const PageResult& result) {
        const PageReport& report = result.report;
        bool go_on = true;
        switch (report.Outcome) {
            case PageOutcome::Written:
            case PageOutcome::WouldWrite:
                ++summary_.Written;
                summary_.BytesBefore += report.SourceBytes;
                summary_.BytesAfter += report.PageBytes;
                summary_.FormatWarnings += report.FormatWarning ? 1 : 0;
                break;
            case PageOutcome::BrokenOff: ++summary_.BrokenOff; break;
            case PageOutcome::LeftAsItIs: ++summary_.LeftAsItIs; break;
            case PageOutcome::AlreadyCompressed:
                host_.AlreadyCompressed(report.Path);
                ++summary_.AlreadyCompressed;
                break;
            case PageOutcome::Failed: {
                ++summary_.Failed;
                // A failed backup never stops the run: the page was not touched.
                go_on = result.backup_failed || host_.ContinueAfterFailure(report);
                log_.AddLogLine("Error  " + report.Error + (go_on ? " (Skip)" : " (Break)"));
                log_.ShowErrorIndicator();
                break;
            }
            default: break;
        }
        host_.PageDone(report);
        return go_on;
    }

    const std::vector<BatchItem>& items_;
    const JobOptions options_;
    const BatchSettings settings_;
    JobHost& log_;
    BatchHost& host_;
    RunTally summary_;
    std::chrono::steady_clock::time_point started_;
    std::vector<int> task_of_;
    // Pages refused before the run, by item, with their error.
    std::map<std::size_t, std::string> clashes_;
    std::optional<SiteState> site_;
    std::optional<WorkerPool> pool_;
};

}  // namespace

int64_t InFlightBudget(int64_t largestPage) {
    constexpr int64_t kFloor = int64_t{4} << 20;
    return std::max(largestPage * 4, kFloor);
}

RunTally RunBatch(const std::vector<BatchItem>& items,
                      const JobOptions& options,
                      const BatchSettings& settings,
                      JobHost& log,
                      BatchHost& host) {
    return BatchRun(items, options, settings, log, host).Run();
}

}  // namespace vexel
