// Argument parsing and the help texts of the vexel command line.
#include "cli/options.h"

#include <cstddef>

namespace vexel::cli {

#ifndef VEXEL_VERSION
#define VEXEL_VERSION "0.0"
#endif

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

const KnownOption kOptions[] = {
    {"vbscript", 0, false, kCompress},
    {"javascript", 0, false, kCompress},
    {"keep-whitespace", 0, false, kCompress},
    {"keep-high-bytes", 0, false, kCompress},
    {"password", 0, true, kCompress},
    {"high-speed", 0, false, kCompress},
    {"log", 0, true, kCompress},
    {"jobs", 'j', true, kCompress},
    {"recursive", 'r', false, kCompress | kRestore},
    {"quiet", 'q', false, kCompress | kRestore},
    {"dry-run", 'n', false, kCompress | kRestore},
    {"output", 'o', true, kExpandDecode},
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
    } else if (name == "high-speed")
        inv.highSpeed = true;
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
    switch (inv.command) {
        case Command::Compress:
        case Command::Restore:
            if (inv.paths.empty())
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
           "  restore PATH...        put pages back from their _backup copies\n"
           "  decode PAGE            print the text a compressed page expands to\n"
           "  expand DATAFILE        print the text a raw data file expands to\n"
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
                   "\n"
                   "Compresses .htm/.html pages in place. Each page is first copied to PATH_backup;\n"
                   "a page whose backup exists is reported as already compressed and left alone,\n"
                   "unless the backup equals the page (a run stopped before writing it): then it\n"
                   "is compressed now. A link to a page compresses the page it points to.\n"
                   "A folder stands for its .htm/.html files (any letter case), sorted by name;\n"
                   "a file is taken as given, and one that is not a page is skipped silently.\n"
                   "\n"
                   "  --vbscript             write pages that expand with VBScript\n"
                   "  --javascript           write pages that expand with JavaScript (default)\n"
                   "  --keep-whitespace      keep whitespace between tags\n"
                   "  --keep-high-bytes      keep pairs of bytes above 128 in the body\n"
                   "  --password TEXT        the page asks for this password\n"
                   "  --high-speed           search a short window: faster, less compression\n"
                   "  -r, --recursive        take the pages of sub-folders too\n"
                   "  -j, --jobs N           compress N pages in parallel (default: one per core);\n"
                   "                         the log is the same, in the same order, for any N\n"
                   "  -n, --dry-run          report what would be done and the sizes; write nothing\n"
                   "      --log FILE         write the log lines to FILE as well (not a page of the\n"
                   "                         run or a page's backup)\n"
                   "  -q, --quiet            no log on standard output\n"
                   "  -h, --help             show this help\n"
                   "\n"
                   "The log goes to standard output as it comes; a summary, errors and, when\n"
                   "standard error is a terminal, a progress bar go to standard error. When\n"
                   "standard error is not a terminal nothing but the summary and errors is\n"
                   "written there, so piped output stays plain. Ctrl+C, SIGTERM and SIGHUP stop\n"
                   "the run after the page being written (exit status 130, 143, 129); a second\n"
                   "one stops it at once; no page is ever left half-written.\n"
                   "\n"
                   "Exit status: 0 every page written or skipped by the rules (no body tag,\n"
                   "already compressed, not a page), 1 a page failed, 2 bad usage.\n";
        case Command::Expand:
            return "Usage: vexel expand [-o OUT] DATAFILE\n"
                   "\n"
                   "Expands a raw data file (a bare data string) and writes the text to standard\n"
                   "output or OUT. Literals are kept as stored, one code above the page text.\n"
                   "On corrupt data the text expanded so far is written and the exit status is 1.\n"
                   "\n"
                   "  -o, --output OUT       write to OUT instead of standard output\n"
                   "  -h, --help             show this help\n";
        case Command::Decode:
            return "Usage: vexel decode [-o OUT] PAGE\n"
                   "\n"
                   "Writes the text a compressed page (JavaScript or VBScript) expands to: the\n"
                   "body, with the password prompt and the filler script when the page has them.\n"
                   "A page that is not a compressed page is an error.\n"
                   "\n"
                   "  -o, --output OUT       write to OUT instead of standard output\n"
                   "  -h, --help             show this help\n";
        case Command::Restore:
            return "Usage: vexel restore [OPTIONS] PATH...\n"
                   "\n"
                   "Puts pages back from their PATH_backup copies: the backup replaces the page\n"
                   "and is removed. A folder restores every page in it that has a backup; a page\n"
                   "named on the command line without a backup is an error. A page put back\n"
                   "whose backup cannot be removed counts as restored, with a warning and exit\n"
                   "status 1.\n"
                   "\n"
                   "  -r, --recursive        restore in sub-folders too\n"
                   "  -n, --dry-run          list what would be restored; change nothing\n"
                   "  -q, --quiet            do not list the restored pages\n"
                   "  -h, --help             show this help\n";
        case Command::None:
            break;
    }
    return ToolHelp();
}

}  // namespace vexel::cli
