// Argument parsing and the help texts of the vexel command line.
#include "cli/options.h"

#include <cstddef>

#include "engine/lzma.h"
#include "engine/modern_page.h"
#include "vexel_version.h"

namespace vexel::cli {

namespace {

// An option of the command line: its names, whether it takes a value, and
// which commands accept it.
struct KnownOption {
    const char* longName;
    char shortName;  // 0: none
    bool takesValue;
    unsigned commands;  // bit set of CommandBit()
};

constexpr unsigned CommandBit(Command c) { return 1u << static_cast<unsigned>(c); }
constexpr unsigned kCompress = CommandBit(Command::Compress);
constexpr unsigned kRestore = CommandBit(Command::Restore);
constexpr unsigned kExpandDecode = CommandBit(Command::Expand) | CommandBit(Command::Decode);
constexpr unsigned kVerify = CommandBit(Command::Verify);
constexpr unsigned kPasswordUsers = kCompress | kExpandDecode | kVerify;

const KnownOption kOptions[] = {
    {"vbscript", 0, false, kCompress},
    {"javascript", 0, false, kCompress},
    {"keep-whitespace", 0, false, kCompress},
    {"keep-high-bytes", 0, false, kCompress},
    {"password", 0, true, kPasswordUsers},
    {"password-file", 0, true, kPasswordUsers},
    {"high-speed", 0, false, kCompress},
    {"modern", 0, false, kCompress},
    {"encrypt", 0, false, kCompress},
    {"iterations", 0, true, kCompress},
    {"codec", 0, true, kCompress},
    {"site", 0, true, kCompress},
    {"retrain", 0, false, kCompress},
    {"log", 0, true, kCompress},
    {"jobs", 'j', true, kCompress},
    {"recursive", 'r', false, kCompress | kRestore | kVerify},
    {"quiet", 'q', false, kCompress | kRestore | kVerify},
    {"dry-run", 'n', false, kCompress | kRestore},
    {"force", 'f', false, kRestore},
    {"follow-links-anywhere", 0, false, kCompress | kRestore | kVerify},
    {"output", 'o', true, kExpandDecode},
    {"output-dir", 'O', true, kCompress | kVerify},
    {"other-files", 0, true, kCompress | kVerify},
    {"files0-from", 0, true, kCompress | kRestore | kVerify},
    {"json", 0, false, kCompress},
    {"help", 'h', false, ~0u},
};

Command CommandFromName(const std::string& name) {
    if (name == "compress")
        return Command::Compress;
    if (name == "expand")
        return Command::Expand;
    if (name == "decode")
        return Command::Decode;
    if (name == "restore")
        return Command::Restore;
    if (name == "verify")
        return Command::Verify;
    return Command::None;
}

int ParseJobs(const std::string& text, const std::string& command) {
    const std::string bad = "bad --jobs value '" + text + "': expected a whole number from 1 to " +
                            std::to_string(kMaxJobs);
    if (text.empty() || text.size() > 4)
        throw UsageError(bad, command);
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            throw UsageError(bad, command);
        value = value * 10 + (c - '0');
    }
    if (value < 1 || value > kMaxJobs)
        throw UsageError(bad, command);
    return value;
}

uint32_t ParseIterations(const std::string& text, const std::string& command) {
    const std::string bad = "bad --iterations value '" + text + "': expected a whole number from " +
                            std::to_string(kMinIterations) + " to " + std::to_string(kMaxIterations);
    if (text.empty() || text.size() > 9)
        throw UsageError(bad, command);
    uint64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            throw UsageError(bad, command);
        value = value * 10 + static_cast<uint64_t>(c - '0');
    }
    if (value < kMinIterations || value > kMaxIterations)
        throw UsageError(bad, command);
    return static_cast<uint32_t>(value);
}

// Options that cannot go together, once all are read.
void CheckCombinations(const Invocation& inv) {
    const std::string command = CommandName(inv.command);
    if (inv.passwordSet && !inv.passwordFile.empty())
        throw UsageError("give --password or --password-file, not both", command);
    if (inv.otherFiles != "copy" && inv.outputDir.empty())
        throw UsageError("--other-files goes with --output-dir DIR", command);
    if (!inv.outputDir.empty() && inv.filesFrom.empty() && inv.paths.size() > 1)
        throw UsageError("--output-dir takes one source folder PATH (or --files0-from with names below the "
                         "current folder)",
                         command);
    if (inv.command != Command::Compress)
        return;
    const bool password = inv.passwordSet || !inv.passwordFile.empty();
    if (inv.encrypt && !inv.modern)
        throw UsageError("--encrypt needs --modern: classic pages cannot be encrypted", command);
    if (inv.encrypt && !password)
        throw UsageError("--encrypt needs --password TEXT or --password-file FILE", command);
    if (inv.iterations != 0 && !inv.encrypt)
        throw UsageError("--iterations goes with --encrypt", command);
    if (!inv.codec.empty() && !inv.modern)
        throw UsageError("--codec goes with --modern", command);
    if (!inv.site.empty() && !inv.modern)
        throw UsageError("--site goes with --modern", command);
    if (inv.retrain && inv.site.empty())
        throw UsageError("--retrain goes with --site ROOT", command);
    if (!inv.site.empty() && inv.codec == "deflate")
        throw UsageError("--site writes LZMA pages (a shared dictionary needs the site's own decoder): leave out "
                         "--codec deflate",
                         command);
    if (!inv.site.empty() && inv.encrypt)
        throw UsageError("--site and --encrypt: an encrypted page stays a page of its own, so that nothing of it "
                         "goes into a dictionary others read; leave out one of them",
                         command);
    if (inv.modern && password && !inv.encrypt)
        throw UsageError("a modern page asks for no password: add --encrypt to encrypt it with the password",
                         command);
    if (inv.modern) {
        const char* classic = inv.vbscript         ? "--vbscript"
                              : inv.keepWhitespace ? "--keep-whitespace"
                              : inv.keepHighBytes  ? "--keep-high-bytes"
                              : inv.highSpeed      ? "--high-speed"
                                                   : nullptr;
        if (classic != nullptr)
            throw UsageError(
                std::string(classic) + " is for the classic pages; --modern keeps every byte of a page",
                command);
    }
}

void Apply(Invocation& inv, const KnownOption& option, const std::string& value) {
    const std::string name = option.longName;
    const std::string command = CommandName(inv.command);
    if (name == "help")
        inv.help = true;
    else if (name == "vbscript")
        inv.vbscript = true;
    else if (name == "javascript")
        inv.vbscript = false;
    else if (name == "keep-whitespace")
        inv.keepWhitespace = true;
    else if (name == "keep-high-bytes")
        inv.keepHighBytes = true;
    else if (name == "password") {
        inv.passwordSet = true;
        inv.password = value;
    } else if (name == "password-file") {
        if (value.empty())
            throw UsageError("--password-file needs a file name", command);
        inv.passwordFile = value;
    } else if (name == "high-speed")
        inv.highSpeed = true;
    else if (name == "modern")
        inv.modern = true;
    else if (name == "encrypt")
        inv.encrypt = true;
    else if (name == "iterations")
        inv.iterations = ParseIterations(value, command);
    else if (name == "codec") {
        if (value != "deflate" && value != "lzma")
            throw UsageError("bad --codec value '" + value + "': expected deflate or lzma", command);
        if (value == "lzma" && !HaveLzma())
            throw UsageError("--codec lzma: this build writes no LZMA pages (built without liblzma)", command);
        inv.codec = value;
    }
    else if (name == "site") {
        if (value.empty())
            throw UsageError("--site needs the site's root folder", command);
        if (!HaveLzma())
            throw UsageError("--site: this build writes no LZMA pages (built without liblzma)", command);
        inv.site = value;
    } else if (name == "retrain")
        inv.retrain = true;
    else if (name == "log") {
        if (value.empty())
            throw UsageError("--log needs a file name", command);
        inv.logFile = value;
    } else if (name == "jobs")
        inv.jobs = ParseJobs(value, command);
    else if (name == "recursive")
        inv.recursive = true;
    else if (name == "quiet")
        inv.quiet = true;
    else if (name == "dry-run")
        inv.dryRun = true;
    else if (name == "force")
        inv.force = true;
    else if (name == "follow-links-anywhere")
        inv.followLinksAnywhere = true;
    else if (name == "json")
        inv.json = true;
    else if (name == "files0-from") {
        if (value.empty())
            throw UsageError("--files0-from needs a file name ('-' for standard input)", command);
        inv.filesFrom = value;
    }
    else if (name == "output-dir") {
        if (value.empty())
            throw UsageError("--output-dir needs a folder name", command);
        inv.outputDir = value;
    } else if (name == "other-files") {
        if (value != "copy" && value != "link" && value != "skip")
            throw UsageError("bad --other-files value '" + value + "': expected copy, link or skip", command);
        inv.otherFiles = value;
    }
    else if (name == "output") {
        if (value.empty())
            throw UsageError("-o needs a file name", command);
        inv.output = value;
    }
}

const KnownOption* FindLong(const std::string& name, Command command) {
    for (const KnownOption& option : kOptions)
        if (name == option.longName && (option.commands & CommandBit(command)))
            return &option;
    return nullptr;
}

const KnownOption* FindShort(char name, Command command) {
    for (const KnownOption& option : kOptions)
        if (option.shortName != 0 && name == option.shortName && (option.commands & CommandBit(command)))
            return &option;
    return nullptr;
}

}  // namespace

const char* CommandName(Command command) {
    switch (command) {
        case Command::Compress:
            return "compress";
        case Command::Expand:
            return "expand";
        case Command::Decode:
            return "decode";
        case Command::Restore:
            return "restore";
        case Command::Verify:
            return "verify";
        case Command::None:
            break;
    }
    return "";
}

Invocation ParseArguments(const std::vector<std::string>& args) {
    Invocation inv;
    std::size_t i = 0;

    // Before the command only the tool's own options may stand.
    for (; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h") {
            inv.help = true;
        } else if (arg == "--version" || arg == "-V") {
            inv.version = true;
        } else if (arg == "help") {
            // "vexel help [COMMAND]" reads like "vexel [COMMAND] --help".
            inv.help = true;
            if (i + 1 < args.size()) {
                inv.command = CommandFromName(args[i + 1]);
                if (inv.command == Command::None)
                    throw UsageError("unknown command '" + args[i + 1] + "'", "");
            }
            if (i + 2 < args.size())
                throw UsageError("too many arguments for help", "");
            return inv;
        } else if (!arg.empty() && arg[0] == '-') {
            throw UsageError("unknown option '" + arg + "'", "");
        } else {
            inv.command = CommandFromName(arg);
            if (inv.command == Command::None)
                throw UsageError("unknown command '" + arg + "'", "");
            ++i;
            break;
        }
    }
    if (inv.command == Command::None) {
        if (!inv.help && !inv.version)
            throw UsageError("no command given", "");
        return inv;
    }

    const std::string command = CommandName(inv.command);
    bool optionsEnded = false;
    for (; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            inv.paths.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        const KnownOption* option = nullptr;
        std::string value;
        bool hasValue = false;
        if (arg[1] == '-') {
            std::string name = arg.substr(2);
            const std::size_t eq = name.find('=');
            if (eq != std::string::npos) {
                value = name.substr(eq + 1);
                name.resize(eq);
                hasValue = true;
            }
            option = FindLong(name, inv.command);
            if (option == nullptr)
                throw UsageError("unknown option '--" + name + "' for " + command, command);
            if (hasValue && !option->takesValue)
                throw UsageError("option '--" + name + "' takes no value", command);
        } else {
            option = FindShort(arg[1], inv.command);
            if (option == nullptr)
                throw UsageError("unknown option '" + arg.substr(0, 2) + "' for " + command, command);
            if (arg.size() > 2) {
                // "-j4", "-oOUT"; switches are not bundled.
                if (!option->takesValue)
                    throw UsageError("unknown option '" + arg + "' for " + command, command);
                value = arg.substr(2);
                hasValue = true;
            }
        }
        if (option->takesValue && !hasValue) {
            if (i + 1 >= args.size())
                throw UsageError("option '" + arg + "' needs a value", command);
            value = args[++i];
        }
        Apply(inv, *option, value);
    }

    if (inv.help)
        return inv;
    CheckCombinations(inv);
    switch (inv.command) {
        case Command::Compress:
        case Command::Restore:
        case Command::Verify:
            if (!inv.filesFrom.empty() && !inv.paths.empty())
                throw UsageError("PATH arguments cannot be combined with --files0-from", command);
            if (inv.paths.empty() && inv.filesFrom.empty())
                throw UsageError("no PATH given", command);
            break;
        case Command::Expand:
        case Command::Decode:
            if (inv.paths.empty())
                throw UsageError(std::string("no ") + (inv.command == Command::Expand ? "DATAFILE" : "PAGE") +
                                     " given",
                                 command);
            if (inv.paths.size() > 1)
                throw UsageError("too many arguments: " + command + " takes one file", command);
            break;
        case Command::None:
            break;
    }
    return inv;
}

std::string VersionText() {
    return std::string("vexel ") + VEXEL_VERSION + "\n";
}

std::string ToolHelp() {
    return "Usage: vexel COMMAND [OPTIONS] ARGUMENTS\n"
           "\n"
           "Shrinks HTML pages in place into pages that expand themselves in the browser.\n"
           "\n"
           "Commands:\n"
           "  compress PATH...       compress pages in place, keeping a PATH_backup copy of each\n"
           "  compress -O OUT SRC    compress the folder SRC into the folder OUT, SRC untouched\n"
           "  restore PATH...        put pages back from their _backup copies\n"
           "  verify PATH...         check that compressed pages give back their _backup copies\n"
           "  verify -O OUT SRC      check the folder OUT against its source folder SRC\n"
           "  decode PAGE            print the text a compressed page expands to\n"
           "  expand DATAFILE        print the text a raw data file (or a modern page) expands to\n"
           "  help [COMMAND]         show this help, or a command's\n"
           "\n"
           "  -h, --help             show this help; 'vexel COMMAND --help' shows a command's\n"
           "  -V, --version          show the version\n"
           "\n"
           "Exit status: 0 success, 1 a page or file failed, 2 bad usage; a run stopped by\n"
           "Ctrl+C, SIGTERM or SIGHUP: 130, 143, 129.\n";
}

std::string CommandHelp(Command command) {
    switch (command) {
        case Command::Compress:
            return "Usage: vexel compress [OPTIONS] PATH...\n"
                   "       vexel compress [OPTIONS] --files0-from FILE\n"
                   "       vexel compress [OPTIONS] -O OUT SRC\n"
                   "\n"
                   "Compresses .htm/.html pages in place. Each page is first copied to PATH_backup;\n"
                   "a page whose backup exists is reported as already compressed and left alone,\n"
                   "unless the backup equals the page (a run stopped before writing it): then it\n"
                   "is compressed now. A page that is a compressed page already (of either\n"
                   "format) is skipped with a line in the log. A page that another program\n"
                   "changes while it is compressed is left as it is (\"changed during the run\").\n"
                   "A folder stands for its .htm/.html files (any letter case), sorted by name;\n"
                   "a file is taken as given; one that is not a page is skipped silently, a backup\n"
                   "(PAGE_backup) with a line saying so.\n"
                   "A link to a page compresses the page it points to, when that is a page by\n"
                   "name (.htm, .html) and, for a link found in a folder, lies in that folder.\n"
                   "\n"
                   "Classic pages (the default): the body is encoded into a script string that a\n"
                   "JavaScript or VBScript decoder expands; byte-based charsets only.\n"
                   "  --vbscript             write pages that expand with VBScript\n"
                   "  --javascript           write pages that expand with JavaScript (default)\n"
                   "  --keep-whitespace      keep whitespace between tags\n"
                   "  --keep-high-bytes      keep pairs of bytes above 128 in the body\n"
                   "  --password TEXT        the page asks for this password (it stands in the page:\n"
                   "                         it keeps nobody out)\n"
                   "  --high-speed           search a short window: faster, less compression\n"
                   "\n"
                   "Modern pages: the whole page, every byte, compressed and expanded by the browser\n"
                   "(Chrome and Edge 103, Firefox 113, Safari 16.4 on): deflated and expanded by its\n"
                   "DecompressionStream, or in LZMA, smaller, expanded by a decoder in the page.\n"
                   "  --modern               write modern pages\n"
                   "  --codec NAME           deflate or lzma (default: whichever page is smaller)\n"
                   "  --encrypt              encrypt them (AES-256-GCM); the page asks for the\n"
                   "                         password in a form and holds neither it nor the text\n"
                   "  --password TEXT        the password of --encrypt (or of a classic page)\n"
                   "  --password-file FILE   read the password from the first line of FILE instead\n"
                   "  --iterations N         key iterations of --encrypt (default and least:\n"
                   "                         600000; more make guessing and opening slower)\n"
                   "  --site ROOT            pages of the site whose root folder is ROOT share one\n"
                   "                         file there, the decoder and a dictionary trained on\n"
                   "                         the site's pages: smaller pages, in LZMA, that show\n"
                   "                         only beside that file (not with --encrypt)\n"
                   "  --retrain              with --site: train a new dictionary on the pages of\n"
                   "                         this run even when ROOT has a shared file already\n"
                   "\n"
                   "Into an output folder, for build pipelines: the source is only read.\n"
                   "  -O, --output-dir OUT   compress the pages of the folder SRC (and its\n"
                   "                         sub-folders) into OUT, each at its place there, so\n"
                   "                         links between pages still work; no backups. A page\n"
                   "                         left as it is (no body tag, not smaller, compressed\n"
                   "                         already) is copied. OUT is made where missing and\n"
                   "                         may not be SRC, lie inside it or hold it. A next run\n"
                   "                         writes only the files whose source changed (size or\n"
                   "                         time of change) or whose output was changed since,\n"
                   "                         as the manifest OUT/.vexel-tree records; a run with\n"
                   "                         other options writes all again. Every file is written\n"
                   "                         to a temporary file first, renamed when complete.\n"
                   "                         With --files0-from the names are files and folders\n"
                   "                         below the current folder, which is then SRC. With\n"
                   "                         --site, ROOT is SRC; the shared file goes into OUT.\n"
                   "      --other-files MODE copy (default), link or skip the files that are not\n"
                   "                         pages: copies make OUT stand alone; links (symbolic,\n"
                   "                         to the files in SRC) save room\n"
                   "\n"
                   "  -r, --recursive        take the pages of sub-folders too\n"
                   "      --follow-links-anywhere\n"
                   "                         follow a link found in a folder to a page outside it\n"
                   "  -j, --jobs N           compress N pages in parallel (default: one per core);\n"
                   "                         the log is the same, in the same order, for any N\n"
                   "  -n, --dry-run          report what would be done and the sizes; write nothing\n"
                   "      --log FILE         write the log lines to FILE as well (not a page of the\n"
                   "                         run or a page's backup)\n"
                   "  -q, --quiet            no log on standard output\n"
                   "      --json             instead of the log, one JSON object per line on standard\n"
                   "                         output for each page (path, result, sizes, warnings)\n"
                   "                         and a summary\n"
                   "      --files0-from FILE take the PATHs from FILE ('-': standard input), each\n"
                   "                         ended by a NUL byte, as 'find -print0' writes them\n"
                   "  -h, --help             show this help\n"
                   "\n"
                   "The log goes to standard output as it comes; a summary, errors and, when\n"
                   "standard error is a terminal, a progress bar go to standard error. When\n"
                   "standard error is not a terminal nothing but the summary and errors is\n"
                   "written there, so piped output stays plain. Ctrl+C, SIGTERM and SIGHUP stop\n"
                   "the run after the page being written (exit status 130, 143, 129); a second\n"
                   "one stops it at once; no page is ever left half-written.\n"
                   "\n"
                   "A classic page that browsers will open slowly (a JavaScript page with more\n"
                   "than 256 KB of data) or whose non-ASCII text will not survive (a page in UTF-8\n"
                   "or another multi-byte charset) is written with a warning in the log, counted\n"
                   "in the summary; --modern has neither problem.\n"
                   "\n"
                   "Exit status: 0 every page written or skipped by the rules (no body tag,\n"
                   "already compressed, not a page), 1 a page failed, 2 bad usage.\n";
        case Command::Expand:
            return "Usage: vexel expand [-o OUT] DATAFILE\n"
                   "\n"
                   "Expands a raw data file (a bare data string) and writes the text to standard\n"
                   "output or OUT. Literals are kept as stored, one code above the page text.\n"
                   "On corrupt data the text expanded so far is written and the exit status is 1.\n"
                   "A modern page given as DATAFILE gives back the original page (a page of a\n"
                   "site with its site's file, found by the page's path).\n"
                   "\n"
                   "  -o, --output OUT       write to OUT instead of standard output\n"
                   "  --password TEXT        the password of an encrypted modern page\n"
                   "  --password-file FILE   read it from the first line of FILE\n"
                   "  -h, --help             show this help\n";
        case Command::Decode:
            return "Usage: vexel decode [-o OUT] PAGE\n"
                   "\n"
                   "Writes the text a compressed page expands to: for a classic page (JavaScript\n"
                   "or VBScript) the body, with the password prompt and the filler script when\n"
                   "the page has them; for a modern page the original page, every byte (a page\n"
                   "of a site with its site's file, found by the page's path).\n"
                   "A page that is not a compressed page is an error.\n"
                   "\n"
                   "  -o, --output OUT       write to OUT instead of standard output\n"
                   "  --password TEXT        the password of an encrypted modern page\n"
                   "  --password-file FILE   read it from the first line of FILE\n"
                   "  -h, --help             show this help\n";
        case Command::Verify:
            return "Usage: vexel verify [OPTIONS] PATH...\n"
                   "       vexel verify [OPTIONS] --files0-from FILE\n"
                   "       vexel verify [OPTIONS] -O OUT SRC\n"
                   "\n"
                   "Expands each compressed page as a browser would and compares it with its\n"
                   "PATH_backup: a modern page must give back the backup byte for byte, a classic\n"
                   "page its head and the body as the compressor prepared it (whitespace and\n"
                   "high bytes as the page was made, filler, password prompt); a page of a site\n"
                   "must find its site's file by its path, unchanged. Prints one line\n"
                   "per page ('PAGE: OK', 'PAGE: MISMATCH', 'PAGE: NOT CHECKED') and a summary.\n"
                   "A folder stands for its pages that have a backup, the same pages (and links\n"
                   "to pages) that compress takes. A page that a compress run has in hand is\n"
                   "reported and left to it.\n"
                   "\n"
                   "  -O, --output-dir OUT   check the folder OUT that 'compress -O OUT SRC' wrote\n"
                   "                         against the source folder SRC: each page of SRC must\n"
                   "                         be in OUT, compressed from it (or as it is); each other\n"
                   "                         file a copy of it (lines name the files of OUT)\n"
                   "      --other-files MODE as compress put them there: copy (default), link or\n"
                   "                         skip\n"
                   "  --password TEXT        the password of encrypted modern pages\n"
                   "  --password-file FILE   read it from the first line of FILE\n"
                   "  -r, --recursive        take the pages of sub-folders too\n"
                   "      --follow-links-anywhere\n"
                   "                         follow a link found in a folder to a page outside it\n"
                   "  -q, --quiet            list only the pages that are not OK\n"
                   "      --files0-from FILE take the PATHs from FILE ('-': standard input), each\n"
                   "                         ended by a NUL byte\n"
                   "  -h, --help             show this help\n"
                   "\n"
                   "Exit status: 0 every page matches, 1 a page does not, could not be checked\n"
                   "(encrypted, no password) or could not be read, 2 bad usage.\n";
        case Command::Restore:
            return "Usage: vexel restore [OPTIONS] PATH...\n"
                   "       vexel restore [OPTIONS] --files0-from FILE\n"
                   "\n"
                   "Puts pages back from their PATH_backup copies: the backup replaces the page\n"
                   "and is removed. A folder restores every page in it that has a backup (the\n"
                   "same pages, and links to pages, that compress takes, and a backup whose page\n"
                   "is gone). A page named on the command line that has no backup and is not a\n"
                   "compressed page was never compressed: it is skipped with a line saying so; a\n"
                   "compressed page named without its backup is an error.\n"
                   "Only a compressed page of ours is replaced: a page made again since it was\n"
                   "compressed is reported and kept (--force puts the backup over it). A page that\n"
                   "a compress run has in hand is reported and left to it. A page put back whose\n"
                   "backup cannot be removed counts as restored, with a warning and exit status 1.\n"
                   "\n"
                   "  -r, --recursive        restore in sub-folders too\n"
                   "      --follow-links-anywhere\n"
                   "                         follow a link found in a folder to a page outside it\n"
                   "  -f, --force            put the backup back over any page, ours or not\n"
                   "  -n, --dry-run          list what would be restored; change nothing\n"
                   "  -q, --quiet            do not list the restored pages\n"
                   "      --files0-from FILE take the PATHs from FILE ('-': standard input), each\n"
                   "                         ended by a NUL byte\n"
                   "  -h, --help             show this help\n";
        case Command::None:
            break;
    }
    return ToolHelp();
}

}  // namespace vexel::cli
