// Helpers of the vexel command tests: a scratch folder per test, whole-file
// reads and writes, and RunVexel with captured output.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "cli/vexel.h"

namespace vexel::cli::support {

namespace fs = std::filesystem;

inline std::string ReadBytes(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    EXPECT_TRUE(file.good()) << "cannot read " << path.string();
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// A text file the program wrote, with its line ends as "\n" (the log file has
// the system's own line ends: CR LF on Windows).
inline std::string ReadText(const fs::path& path) {
    std::string text;
    for (char c : ReadBytes(path))
        if (c != '\r')
            text += c;
    return text;
}

inline void WriteBytes(const fs::path& path, const std::string& data) {
    fs::create_directories(path.parent_path());
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(data.data(), static_cast<std::streamsize>(data.size()));
    ASSERT_TRUE(file.good()) << "cannot write " << path.string();
}

// Every file under `root`, by path relative to it, with its bytes.
inline std::map<std::string, std::string> Snapshot(const fs::path& root) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(root))
        if (entry.is_regular_file())
            files[fs::relative(entry.path(), root).generic_string()] = ReadBytes(entry.path());
    return files;
}

inline fs::path ExamplesDir() {
    const char* source = std::getenv("VEXEL_SOURCE_DIR");
    EXPECT_NE(source, nullptr) << "VEXEL_SOURCE_DIR is not set";
    return fs::path(source != nullptr ? source : ".") / "examples";
}

// A fresh folder under the system's temporary folder, removed at the end.
class ScratchDir {
public:
    ScratchDir() {
        static std::atomic<unsigned> counter{0};
        std::random_device random;
        const auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
        std::ostringstream name;
        name << "vexel-cli-test-" << std::hex << random() << '-' << ticks << '-' << counter++;
        path_ = fs::temp_directory_path() / name.str();
        fs::create_directories(path_);
    }
    ~ScratchDir() {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const fs::path& Path() const { return path_; }
    // A path inside the folder, as a native string (backslashes on Windows).
    std::string operator/(const std::string& relative) const { return (path_ / relative).string(); }

    // A copy of the examples folder inside this one.
    fs::path CopyExamples(const std::string& name = "examples") const {
        const fs::path to = path_ / name;
        fs::copy(ExamplesDir(), to, fs::copy_options::recursive);
        return to;
    }

private:
    fs::path path_;
};

struct RunResult {
    int status = -1;
    std::string out;
    std::string err;
};

inline RunResult Vexel(const std::vector<std::string>& args, const Console& console = {}) {
    std::ostringstream out;
    std::ostringstream err;
    RunResult result;
    result.status = RunVexel(args, out, err, console);
    result.out = out.str();
    result.err = err.str();
    return result;
}

inline bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// The lines of a log, without their line ends.
inline std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// The paths of the "Openfile:" lines of a log, in order.
inline std::vector<std::string> OpenedFiles(const std::string& log) {
    std::vector<std::string> files;
    for (const std::string& line : Lines(log))
        if (line.rfind("Openfile:", 0) == 0)
            files.push_back(line.substr(9));
    return files;
}

}  // namespace vexel::cli::support
