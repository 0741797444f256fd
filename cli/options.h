// The vexel command line: what each command takes, parsed into plain values.
// No file is touched here; a bad argument becomes a UsageError.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace vexel::cli {

enum class Command { None, Compress, Expand, Decode, Restore, Verify };

// Bad usage: an unknown option, a missing argument, a bad value. `command`
// names the command whose help explains the right usage ("" for the tool).
class UsageError : public std::runtime_error {
public:
    UsageError(const std::string& message, std::string command)
        : std::runtime_error(message), command_(std::move(command)) {}
    const std::string& CommandName() const { return command_; }

private:
    std::string command_;
};

struct Invocation {
    Command command = Command::None;
    bool help = false;     // --help: of the tool, or of `command`
    bool version = false;  // --version

    std::vector<std::string> paths;  // compress, restore, verify: PATH...; expand and decode: the one input
    // compress, restore, verify: --files0-from FILE, the PATHs as NUL-separated
    // names in FILE ("-": standard input), read by the command, not here.
    std::string filesFrom;
    // compress: what is wrong with the list's empty names, each a name that
    // failed (the other commands report them as they read the list).
    std::vector<std::string> emptyNames;
    std::string output;              // expand and decode: -o OUT; empty means stdout
    // compress and verify: -O, --output-dir DIR: the pages of the one source
    // folder PATH (or of the current folder, with --files0-from) go to DIR,
    // at the same places; the source is only read. Empty: in place.
    std::string outputDir;
    std::string otherFiles = "copy";  // with --output-dir: copy, link or skip

    // compress
    bool vbscript = false;
    bool keepWhitespace = false;
    bool keepHighBytes = false;
    bool highSpeed = false;
    bool modern = false;
    bool encrypt = false;
    uint32_t iterations = 0;  // 0: the default
    std::string codec;        // --codec: "deflate" or "lzma"; empty: the smaller page
    std::string site;         // --site ROOT: pages of the site at ROOT; empty: pages of their own
    bool retrain = false;     // --retrain: a new dictionary even when ROOT has a shared file

    // compress, and for encrypted pages decode, expand and verify
    bool passwordSet = false;
    std::string password;
    std::string passwordFile;  // --password-file: read by the command, not here
    std::string logFile;
    int jobs = 0;  // 0: one per core

    // restore: put the backup over a page that is not a compressed page of ours
    bool force = false;

    // compress, restore and verify
    bool followLinksAnywhere = false;  // a link found in a folder may lead outside it
    bool recursive = false;
    bool quiet = false;
    bool dryRun = false;
    bool json = false;  // compress: --json, one JSON object per page and a summary
};

// Parses the arguments after the program name. Throws UsageError.
Invocation ParseArguments(const std::vector<std::string>& args);

// The largest --jobs accepted; more threads than this only cost memory.
constexpr int kMaxJobs = 256;

// --iterations may raise the key iterations of encrypted pages, never lower them.
constexpr uint32_t kMinIterations = 600000;

const char* CommandName(Command command);
std::string ToolHelp();
std::string CommandHelp(Command command);
std::string VersionText();

}  // namespace vexel::cli
