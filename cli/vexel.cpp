// The commands of the vexel tool: argument parsing hands over to the engine's
// batch (compress), the data readers (expand, decode) or the backups (restore).
#include "cli/vexel.h"

#include <cstdio>
#include <iterator>
#include <memory>
#include <map>
#include <set>
#include <thread>

#include "cli/json_report.h"
#include "cli/log_file.h"
#include "cli/options.h"
#include "cli/progress_bar.h"
#include "cli/terminal_host.h"
#include "cli/tree_run.h"
#include "engine/batch.h"
#include "engine/charset.h"
#include "engine/data_format.h"
#include "engine/errors.h"
#include "engine/file_io.h"
#include "engine/modern_page.h"
#include "engine/page_list.h"
#include "engine/page_names.h"
#include "engine/page_reader.h"
#include "engine/password.h"
#include "engine/raw_data.h"
#include "engine/restore.h"
#include "engine/site_file.h"
#include "engine/verify.h"
#include "platform/crypto.h"
#include "platform/file_system.h"
#include "platform/ascii.h"

namespace vexel::cli {

namespace {

void PrintError(std::ostream& err, const std::string& message) {
    err << "vexel: " << ShownText(message) << '\n' << std::flush;
}

// Writes the result of expand and decode to OUT or standard output.
int WriteResult(const std::string& output, const std::string& data, std::ostream& out, std::ostream& err,
                const Console& console) {
    if (output.empty()) {
        if (console.rawOutput)
            console.rawOutput();
        out.write(data.data(), static_cast<std::streamsize>(data.size()));
        out.flush();
        // A failed write is reported once, when the command ends.
        return out ? kExitOk : kExitFailed;
    }
    try {
        WriteFileReplacing(output, data);
    } catch (const IoError& e) {
        PrintError(err, e.what());
        return kExitFailed;
    }
    return kExitOk;
}

// -o must not name the file the command reads nor any page's backup (the only
// copy of an original), also through a link or a second name: the result
// would take its place. Usage status with the error printed, or kExitOk.
int CheckOutput(const Invocation& inv, std::ostream& err) {
    if (inv.output.empty())
        return kExitOk;
    const std::string& input = inv.paths.front();
    std::set<std::string> taken = {SameFileKey(input)};
    std::string backup = input;
    try {
        backup = ResolveFileLinks(input);
    } catch (const IoError&) {
    }
    taken.insert(SameFileKey(backup + kBackupSuffix));
    std::string output = inv.output;
    try {
        output = ResolveFileLinks(inv.output);
    } catch (const IoError&) {
    }
    if (taken.count(SameFileKey(inv.output)) == 0 && PageOfBackup(output).empty() &&
        PageOfBackup(inv.output).empty())
        return kExitOk;
    PrintError(err, "-o " + Quoted(inv.output) + " names the file this command reads or a page's backup");
    err << "Try 'vexel " << CommandName(inv.command) << " --help'.\n";
    return kExitUsage;
}

// The password of the command, given or read from --password-file, by the
// engine's password rule. kExitFailed when the file cannot be read, kExitUsage
// when the password breaks the rule, with the error printed.
int ReadPassword(Invocation& inv, std::ostream& err) {
    try {
        if (!inv.passwordFile.empty()) {
            inv.password = PasswordFromFile(ReadFileOrPipe(inv.passwordFile));
            inv.passwordSet = true;
        } else if (inv.passwordSet) {
            inv.password = PasswordFromText(inv.password);
        }
    } catch (const IoError& e) {
        PrintError(err, e.what());
        return kExitFailed;
    }
    const std::string problem = inv.passwordSet ? PasswordProblem(inv.password) : std::string();
    if (problem.empty())
        return kExitOk;
    PrintError(err, problem + (inv.passwordFile.empty() ? "" : " (in " + Quoted(inv.passwordFile) + ")"));
    err << "Try 'vexel " << CommandName(inv.command) << " --help'.\n";
    return kExitUsage;
}

// The original of a modern page, written to OUT or standard output.
int ExpandModern(const Invocation& inv,
                 const std::string& path,
                 const ModernPageData& data,
                 std::ostream& out,
                 std::ostream& err,
                 const Console& console) {
    std::string original;
    try {
        original = ExpandModernPage(data, inv.passwordSet ? &inv.password : nullptr);
    } catch (const PasswordError& e) {
        PrintError(
            err,
            Quoted(path) + ": " + e.what() +
                (e.Reason() == PasswordError::Kind::Missing ? " (give --password or --password-file)" : ""));
        return kExitFailed;
    } catch (const DataError& e) {
        PrintError(err, "Corrupt data in " + Quoted(path) + ": " + e.what());
        return kExitFailed;
    }
    return WriteResult(inv.output, original, out, err, console);
}

// A modern page's data, or nothing for any other file; false when it is a
// modern page whose data is damaged, or a page of a site whose shared file
// (found by the page's path) is missing or not the one it names (the error
// is printed).
bool FindModernPage(const std::string& path,
                    const std::string& file,
                    std::optional<ModernPageData>& data,
                    std::ostream& err) {
    try {
        data = ReadModernPage(file);
        if (data) {
            LoadSiteDictionary(path, *data);
        }
    } catch (const DataError& e) {
        PrintError(err, "Corrupt data in " + Quoted(path) + ": " + e.what());
        return false;
    } catch (const IoError& e) {
        PrintError(err, e.what());
        return false;
    }
    return true;
}

int Expand(const Invocation& inv, std::ostream& out, std::ostream& err, const Console& console) {
    if (const int status = CheckOutput(inv, err); status != kExitOk)
        return status;
    {
        // A modern page is its own data: its original is what it expands to.
        std::string file;
        try {
            file = ReadWholeFile(inv.paths.front());
        } catch (const IoError& e) {
            PrintError(err, e.what());
            return kExitFailed;
        }
        std::optional<ModernPageData> modern;
        if (!FindModernPage(inv.paths.front(), file, modern, err))
            return kExitFailed;
        if (modern)
            return ExpandModern(inv, inv.paths.front(), *modern, out, err, console);
    }
    std::string text;
    int status = kExitOk;
    try {
        OpenRawData(inv.paths.front(), text);
    } catch (const DataError& e) {
        // What was expanded before the fault is still written: it shows where
        // the data went wrong.
        PrintError(err, e.what());
        status = kExitFailed;
    } catch (const std::exception& e) {
        PrintError(err, e.what());
        return kExitFailed;
    }
    const int written = WriteResult(inv.output, text, out, err, console);
    return status != kExitOk ? status : written;
}

int Decode(const Invocation& inv, std::ostream& out, std::ostream& err, const Console& console) {
    if (const int status = CheckOutput(inv, err); status != kExitOk)
        return status;
    const std::string& path = inv.paths.front();
    std::string page;
    try {
        page = ReadWholeFile(path);
    } catch (const IoError& e) {
        PrintError(err, e.what());
        return kExitFailed;
    }
    std::optional<ModernPageData> modern;
    if (!FindModernPage(path, page, modern, err))
        return kExitFailed;
    if (modern)
        return ExpandModern(inv, path, *modern, out, err, console);
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
    int skipped = 0;
    int stopSignal = 0;
    for (std::size_t i = 0; i < list.paths.size(); ++i) {
        const std::string& page = list.paths[i];
        // A stop signal ends the run between two pages, as for compress.
        stopSignal = console.stopSignal ? console.stopSignal() : 0;
        if (stopSignal != 0)
            break;
        try {
            // As compress does: the page's folder held from the folder named
            // down, so that a folder swapped for a link redirects nothing.
            platform::FolderScope folder;
            if (!list.folders[i].empty()) {
                const std::size_t slash = page.find_last_of("/\\");
                const platform::Status entered =
                    folder.Enter(list.folders[i], page.substr(0, slash == std::string::npos ? 0 : slash));
                if (!entered.Ok())
                    throw IoError(Quoted(page) + ": changed during the run (" + entered.Reason() +
                                  "); left as it is");
            }
            RestoreOptions options;
            options.Force = inv.force;
            options.DryRun = inv.dryRun;
            options.Links = LinkRule{list.folders[i], inv.followLinksAnywhere};
            const RestoreResult result = RestorePage(page, options);
            if (!result.skipped.empty()) {
                ++skipped;
                if (!inv.quiet)
                    out << "Skipped: " << result.skipped << '\n';
                continue;
            }
            ++restored;
            if (!inv.quiet)
                out << (inv.dryRun ? "Would restore: " : "Restored: ") << ShownText(page) << '\n';
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
        << (skipped > 0 ? ", " + std::to_string(skipped) + " skipped (not compressed)" : std::string())
        << (stopSignal != 0 ? " (stopped)" : "") << '\n';
    return stopSignal != 0 ? kExitSignalBase + stopSignal : status;
}

int Verify(const Invocation& inv, std::ostream& out, std::ostream& err, const Console& console) {
    if (!inv.outputDir.empty())
        return VerifyTree(inv, out, err, console.stopSignal);
    const PageList list = CollectBackedUpPages(inv.paths, inv.recursive, /*with_lost_pages=*/false);
    int status = kExitOk;
    for (const std::string& error : list.errors) {
        PrintError(err, error);
        status = kExitFailed;
    }
    int counts[4] = {};
    int stopSignal = 0;
    for (std::size_t i = 0; i < list.paths.size(); ++i) {
        const std::string& page = list.paths[i];
        stopSignal = console.stopSignal ? console.stopSignal() : 0;
        if (stopSignal != 0)
            break;
        const VerifyResult result = VerifyPage(page, inv.passwordSet ? &inv.password : nullptr,
                                               LinkRule{list.folders[i], inv.followLinksAnywhere});
        ++counts[static_cast<int>(result.outcome)];
        switch (result.outcome) {
            case VerifyOutcome::Match:
                if (!inv.quiet)
                    out << ShownText(page + ": OK (" + result.format + ", " + result.detail + ")") << '\n';
                break;
            case VerifyOutcome::Mismatch:
                out << ShownText(page + ": MISMATCH (" + result.format + "): " + result.detail) << '\n';
                break;
            case VerifyOutcome::NotChecked:
                out << ShownText(page + ": NOT CHECKED (" + result.format + "): " + result.detail) << '\n';
                break;
            case VerifyOutcome::Failed:
                out.flush();
                PrintError(err, result.detail);
                break;
        }
        if (result.outcome != VerifyOutcome::Match)
            status = kExitFailed;
    }
    out.flush();
    err << "Pages: " << counts[static_cast<int>(VerifyOutcome::Match)] << " OK, "
        << counts[static_cast<int>(VerifyOutcome::Mismatch)] << " mismatch, "
        << counts[static_cast<int>(VerifyOutcome::NotChecked)] << " not checked, "
        << counts[static_cast<int>(VerifyOutcome::Failed)] << " failed"
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

void PrintSummary(std::ostream& err, const RunTally& summary, bool dryRun) {
    err << "Pages: " << summary.Written << (dryRun ? " would be written, " : " written, ") << summary.NotPages
        << " skipped, " << summary.AlreadyCompressed << " already compressed, " << summary.BrokenOff
        << " broken off, " << summary.Failed << " failed";
    if (summary.LeftAsItIs > 0)
        err << ", " << summary.LeftAsItIs << " left as they were (not smaller)";
    if (summary.Cancelled)
        err << " (stopped)";
    err << '\n';
    err << "Bytes: " << summary.BytesBefore << " before, " << summary.BytesAfter << " after ("
        << Percent(summary.BytesAfter, summary.BytesBefore) << ")\n";
    if (summary.FormatWarnings > 0)
        err << "Warnings: " << summary.FormatWarnings
            << " page(s) will open slowly or lose non-ASCII text in their format (see the log); --modern "
               "pages do not\n";
}

int Compress(const Invocation& inv, std::ostream& out, std::ostream& err, const Console& console) {
    // --output-dir: the source tree is listed by the tree run, not here.
    std::unique_ptr<TreeCompress> tree = inv.outputDir.empty() ? nullptr : std::make_unique<TreeCompress>(inv);
    if (tree) {
        const std::string problem = tree->Prepare();
        if (!problem.empty()) {
            PrintError(err, problem);
            err << "Try 'vexel compress --help'.\n";
            return kExitUsage;
        }
    }
    const PageList list = tree ? PageList{} : CollectPages(inv.paths, inv.recursive);

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
    std::ostream* logTo = inv.logFile.empty() ? nullptr : &logFile;
    std::unique_ptr<JsonHost> json =
        inv.json ? std::make_unique<JsonHost>(out, logTo, err, bar, console.stopSignal) : nullptr;
    std::unique_ptr<TerminalHost> text =
        inv.json ? nullptr : std::make_unique<TerminalHost>(inv.quiet ? nullptr : &out, logTo, err, bar,
                                                             console.stopSignal);
    TerminalHost& host = json ? *json : *text;
    int status = kExitOk;
    for (const std::string& error : list.errors) {
        host.Error(error);
        status = kExitFailed;
    }
    // An empty name of --files0-from is a name that failed, counted as one.
    for (const std::string& error : inv.emptyNames) {
        if (json)
            json->NameFailed("", error);
        else
            host.Error(error);
    }

    std::vector<BatchItem> items;
    std::map<std::string, int64_t> sizes;
    for (std::size_t i = 0; i < list.paths.size(); ++i) {
        const std::string& path = list.paths[i];
        items.push_back(BatchItem{path, true, list.folders[i]});
        if (HasPageExtension(path))
            sizes[path] = FileSize(path);
    }
    if (tree && !tree->Start(host, items, sizes))
        return kExitFailed;

    JobOptions options;
    options.password.Enabled = inv.passwordSet;
    options.password.Text = inv.password;
    if (inv.iterations != 0)
        options.Iterations = inv.iterations;
    options.highspeed = inv.highSpeed;
    options.RemoveUnuseful = !inv.keepWhitespace;
    options.UChar = !inv.keepHighBytes;
    options.Codec = inv.codec == "deflate" ? CodecChoice::Deflate
                    : inv.codec == "lzma"  ? CodecChoice::Lzma
                                           : CodecChoice::Smaller;

    BatchSettings settings;
    settings.Format = inv.modern     ? PageFormat::Modern
                      : inv.vbscript ? PageFormat::VbScript
                                     : PageFormat::JavaScript;
    settings.DryRun = inv.dryRun;
    settings.FollowLinksAnywhere = inv.followLinksAnywhere;
    settings.SiteRoot = tree && !inv.site.empty() ? tree->SiteRoot() : inv.site;
    settings.Retrain = inv.retrain;
    settings.Jobs = inv.jobs > 0 ? inv.jobs : static_cast<int>(std::thread::hardware_concurrency());
    if (settings.Jobs < 1)
        settings.Jobs = 1;

    host.StartProgress(sizes);
    RunTally summary;
    try {
        summary = RunBatch(items, options, settings, host, tree ? tree->Host(host) : host);
    } catch (const std::exception& e) {
        host.Error(e.what());
        return kExitFailed;
    }
    summary.Failed += static_cast<int>(inv.emptyNames.size());
    const std::string treeSummary = tree ? tree->Finish(host, summary, console.stopSignal) : std::string();
    out.flush();
    if (!inv.logFile.empty()) {
        const std::string error = logFile.Close();
        if (!error.empty()) {
            PrintError(err, error);
            status = kExitFailed;
        }
    }
    PrintSummary(err, summary, inv.dryRun);
    err << treeSummary;
    if (json)
        json->WriteSummary(summary, inv.dryRun);
    if (summary.Failed > 0 || (tree && tree->OthersFailed() > 0))
        status = kExitFailed;
    // A stop asked for by a signal is what the caller most needs to know.
    if (summary.Cancelled) {
        const int signal = console.stopSignal ? console.stopSignal() : 0;
        status = signal > 0 ? kExitSignalBase + signal : kExitInterrupted;
    }
    return status;
}

// --files0-from: the PATHs from a file or standard input. An empty name is an
// error of its own, the other names are still worked on. False when the list
// cannot be read at all.
bool ReadFilesFrom(Invocation& inv, const Console& console, std::ostream& err, int& status) {
    std::string data;
    if (inv.filesFrom == "-" && console.readInput) {
        std::string error;
        if (!console.readInput(data, error)) {
            PrintError(err, "--files0-from -: cannot read standard input: " + error);
            return false;
        }
    } else if (inv.filesFrom == "-") {
        if (console.in == nullptr) {
            PrintError(err, "--files0-from -: no standard input to read");
            return false;
        }
        data.assign(std::istreambuf_iterator<char>(*console.in), std::istreambuf_iterator<char>());
        if (console.in->bad()) {
            PrintError(err, "--files0-from -: cannot read standard input");
            return false;
        }
    } else {
        try {
            data = ReadFileOrPipe(inv.filesFrom);
        } catch (const IoError& e) {
            PrintError(err, e.what());
            return false;
        }
    }
    NameList list = SplitNulSeparatedNames(data);
    const std::string source = inv.filesFrom == "-" ? "standard input" : Quoted(inv.filesFrom);
    for (std::size_t place : list.emptyAt) {
        const std::string error = source + ": name " + std::to_string(place) + " is empty (no file has an empty name)";
        if (inv.command == Command::Compress)
            inv.emptyNames.push_back(error);
        else
            PrintError(err, error);
        status = kExitFailed;
    }
    inv.paths = std::move(list.names);
    return true;
}

int RunCommand(Invocation& inv, std::ostream& out, std::ostream& err, const Console& console) {
    int status = kExitUsage;
    switch (inv.command) {
        case Command::Compress:
            status = Compress(inv, out, err, console);
            break;
        case Command::Expand:
            status = Expand(inv, out, err, console);
            break;
        case Command::Decode:
            status = Decode(inv, out, err, console);
            break;
        case Command::Restore:
            status = Restore(inv, out, err, console);
            break;
        case Command::Verify:
            status = Verify(inv, out, err, console);
            break;
        case Command::None:
            break;
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
    // The password is wiped whichever way the command ends.
    struct WipePassword {
        std::string& password;
        ~WipePassword() { platform::SecureWipe(password); }
    } wipe{inv.password};
    if (const int status = ReadPassword(inv, err); status != kExitOk) {
        // A stop signal ended the wait for a password from a pipe.
        const int signal = console.stopSignal ? console.stopSignal() : 0;
        return signal != 0 ? kExitSignalBase + signal : status;
    }
    int listStatus = kExitOk;
    if (!inv.filesFrom.empty() && !ReadFilesFrom(inv, console, err, listStatus)) {
        // A stop signal ended the wait for the list from a pipe.
        const int signal = console.stopSignal ? console.stopSignal() : 0;
        return signal != 0 ? kExitSignalBase + signal : kExitFailed;
    }
    int status = RunCommand(inv, out, err, console);
    // Output that never arrived (a full disk, a closed pipe) is a failure.
    out.flush();
    if (!out) {
        const std::string reason = console.outputError ? console.outputError() : std::string();
        PrintError(err, "Cannot write to standard output" + (reason.empty() ? "" : ": " + reason));
        if (status == kExitOk)
            status = kExitFailed;
    }
    return status == kExitOk ? listStatus : status;
}

}  // namespace vexel::cli
