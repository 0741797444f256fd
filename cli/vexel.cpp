// The commands of the vexel tool: argument parsing hands over to the engine's
// batch (compress), the data readers (expand, decode) or the backups (restore).
#include "cli/vexel.h"

#include <cstdio>
#include <map>
#include <set>
#include <thread>

#include "engine/batch.h"
#include "engine/compression_job.h"
#include "engine/data_format.h"
#include "engine/errors.h"
#include "engine/file_io.h"
#include "engine/page_list.h"
#include "engine/restore.h"
#include "cli/log_file.h"
#include "cli/options.h"
#include "cli/page_decode.h"
#include "cli/progress_bar.h"
#include "cli/terminal_host.h"

namespace vexel::cli {

namespace {

// A job host for the commands that log nothing.
class SilentHost : public JobHost {
public:
    void AddLogLine(const std::string&) override {}
};

void PrintError(std::ostream& err, const std::string& message) {
    err << "vexel: " << message << '\n' << std::flush;
}

std::string Quoted(const std::string& path) {
    return "\"" + path + "\"";
}

// Writes the result of expand and decode to OUT or standard output.
int WriteResult(const std::string& output, const std::string& data, std::ostream& out, std::ostream& err,
                const Console& console) {
    if (output.empty()) {
        if (console.rawOutput)
            console.rawOutput();
        out.write(data.data(), static_cast<std::streamsize>(data.size()));
        out.flush();
        if (!out) {
            PrintError(err, "Cannot write to standard output");
            return kExitFailed;
        }
        return kExitOk;
    }
    try {
        WriteFileReplacing(output, data);
    } catch (const IoError& e) {
        PrintError(err, e.what());
        return kExitFailed;
    }
    return kExitOk;
}

int Expand(const Invocation& inv, std::ostream& out, std::ostream& err, const Console& console) {
    SilentHost host;
    CompressionJob job(host);
    int status = kExitOk;
    try {
        job.OpenRawData(inv.paths.front());
    } catch (const DataError& e) {
        // What was expanded before the fault is still written: it shows where
        // the data went wrong.
        PrintError(err, e.what());
        status = kExitFailed;
    } catch (const std::exception& e) {
        PrintError(err, e.what());
        return kExitFailed;
    }
    const int written = WriteResult(inv.output, job.WorkText, out, err, console);
    return status != kExitOk ? status : written;
}

int Decode(const Invocation& inv, std::ostream& out, std::ostream& err, const Console& console) {
    const std::string& path = inv.paths.front();
    std::string page;
    try {
        page = ReadWholeFile(path);
    } catch (const IoError& e) {
        PrintError(err, e.what());
        return kExitFailed;
    }
    const std::optional<PageData> found = FindPageData(page);
    if (!found) {
        PrintError(err, Quoted(path) + " is not a compressed page (no data line of a vexel page script)");
        return kExitFailed;
    }
    std::string text;
    int status = kExitOk;
    try {
        ExpandData(found->data, Literals::Unshift, text);
    } catch (const DataError& e) {
        PrintError(err, "Corrupt data in " + Quoted(path) + ": " + e.what());
        status = kExitFailed;
    }
    const int written = WriteResult(inv.output, text, out, err, console);
    return status != kExitOk ? status : written;
}

int Restore(const Invocation& inv, std::ostream& out, std::ostream& err, const Console& console) {
    const PageList list = CollectBackedUpPages(inv.paths, inv.recursive);
    int status = kExitOk;
    for (const std::string& error : list.errors) {
        PrintError(err, error);
        status = kExitFailed;
    }
    int restored = 0;
    int stopSignal = 0;
    for (const std::string& page : list.paths) {
        // A stop signal ends the run between two pages, as for compress.
        stopSignal = console.stopSignal ? console.stopSignal() : 0;
        if (stopSignal != 0)
            break;
        try {
            RestoreResult result;
            if (inv.dryRun) {
                if (!HasBackup(page))
                    throw IoError(Quoted(page) + " has no backup to restore (no " + Quoted(page + kBackupSuffix) +
                                  ")");
            } else {
                result = RestorePage(page);
            }
            ++restored;
            if (!inv.quiet)
                out << (inv.dryRun ? "Would restore: " : "Restored: ") << page << '\n';
            if (!result.warning.empty()) {
                // The page is back; what was left undone still needs the user.
                out.flush();
                PrintError(err, "warning: " + result.warning);
                status = kExitFailed;
            }
        } catch (const std::exception& e) {
            out.flush();
            PrintError(err, e.what());
            status = kExitFailed;
        }
    }
    out.flush();
    err << (inv.dryRun ? "Pages to restore: " : "Pages restored: ") << restored
        << (stopSignal != 0 ? " (stopped)" : "") << '\n';
    return stopSignal != 0 ? kExitSignalBase + stopSignal : status;
}

// The log file must not be a page of the run or a page's backup: creating it
// would empty the user's page or take the backup's name.
const std::string* LogFileClash(const std::string& logFile, const PageList& list) {
    std::set<std::string> taken;
    for (const std::string& path : list.paths) {
        if (!HasPageExtension(path))
            continue;
        taken.insert(SameFileKey(path));
        try {
            taken.insert(SameFileKey(ResolveFileLinks(path) + kBackupSuffix));
        } catch (const IoError&) {
            taken.insert(SameFileKey(path + kBackupSuffix));
        }
    }
    return taken.count(SameFileKey(logFile)) != 0 ? &logFile : nullptr;
}

std::string Percent(int64_t part, int64_t whole) {
    if (whole <= 0)
        return "-";
    char text[16];
    std::snprintf(text, sizeof text, "%.1f%%", 100.0 * static_cast<double>(part) / static_cast<double>(whole));
    return text;
}

void PrintSummary(std::ostream& err, const BatchSummary& summary, const RunTally& tally, bool dryRun) {
    err << "Pages: " << summary.Written << (dryRun ? " would be written, " : " written, ") << summary.NotPages
        << " skipped, " << summary.AlreadyCompressed << " already compressed, " << summary.BrokenOff
        << " broken off, " << summary.Failed << " failed";
    if (summary.Cancelled)
        err << " (stopped)";
    err << '\n';
    err << "Bytes: " << tally.bytesBefore << " before, " << tally.bytesAfter << " after ("
        << Percent(tally.bytesAfter, tally.bytesBefore) << ")\n";
}

int Compress(const Invocation& inv, std::ostream& out, std::ostream& err, const Console& console) {
    const PageList list = CollectPages(inv.paths, inv.recursive);

    LogFile logFile;
    if (!inv.logFile.empty()) {
        if (LogFileClash(inv.logFile, list) != nullptr) {
            PrintError(err, "--log " + Quoted(inv.logFile) + " names a page of this run or its backup");
            err << "Try 'vexel compress --help'.\n";
            return kExitUsage;
        }
        try {
            logFile.Create(inv.logFile);
        } catch (const IoError& e) {
            PrintError(err, e.what());
            return kExitFailed;
        }
    }

    ProgressBar bar(err, console.errIsTerminal);
    TerminalHost host(inv.quiet ? nullptr : &out, inv.logFile.empty() ? nullptr : &logFile, err, bar,
                      console.stopSignal);
    int status = kExitOk;
    for (const std::string& error : list.errors) {
        host.Error(error);
        status = kExitFailed;
    }

    std::vector<BatchItem> items;
    std::map<std::string, int64_t> sizes;
    for (const std::string& path : list.paths) {
        items.push_back(BatchItem{path, true});
        if (HasPageExtension(path))
            sizes[path] = FileSize(path);
    }

    CompressionJob job(host);
    job.Options.password.Enabled = inv.passwordSet;
    job.Options.password.Text = inv.password;
    job.Options.highspeed = inv.highSpeed;
    job.Options.RemoveUnuseful = !inv.keepWhitespace;
    job.Options.UChar = !inv.keepHighBytes;

    BatchSettings settings;
    settings.JavaChoose = !inv.vbscript;
    settings.DryRun = inv.dryRun;
    settings.Jobs = inv.jobs > 0 ? inv.jobs : static_cast<int>(std::thread::hardware_concurrency());
    if (settings.Jobs < 1)
        settings.Jobs = 1;

    host.StartProgress(sizes);
    BatchSummary summary;
    try {
        summary = RunBatch(items, job, settings, host);
    } catch (const std::exception& e) {
        host.Error(e.what());
        return kExitFailed;
    }
    out.flush();
    if (!inv.logFile.empty()) {
        const std::string error = logFile.Close();
        if (!error.empty()) {
            PrintError(err, error);
            status = kExitFailed;
        }
    }
    PrintSummary(err, summary, host.Tally(), inv.dryRun);
    if (summary.Failed > 0)
        status = kExitFailed;
    // A stop asked for by a signal is what the caller most needs to know.
    if (summary.Cancelled) {
        const int signal = console.stopSignal ? console.stopSignal() : 0;
        status = signal > 0 ? kExitSignalBase + signal : kExitInterrupted;
    }
    return status;
}

}  // namespace

int RunVexel(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, const Console& console) {
    Invocation inv;
    try {
        inv = ParseArguments(args);
    } catch (const UsageError& e) {
        PrintError(err, e.what());
        const std::string command = e.CommandName();
        err << "Try 'vexel " << (command.empty() ? "" : command + " ") << "--help'.\n";
        return kExitUsage;
    }
    if (inv.help) {
        out << (inv.command == Command::None ? ToolHelp() : CommandHelp(inv.command));
        return kExitOk;
    }
    if (inv.version) {
        out << VersionText();
        return kExitOk;
    }
    switch (inv.command) {
        case Command::Compress:
            return Compress(inv, out, err, console);
        case Command::Expand:
            return Expand(inv, out, err, console);
        case Command::Decode:
            return Decode(inv, out, err, console);
        case Command::Restore:
            return Restore(inv, out, err, console);
        case Command::None:
            break;
    }
    return kExitUsage;
}

}  // namespace vexel::cli
