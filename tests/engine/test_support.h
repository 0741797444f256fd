// Shared pieces of the engine tests: a scratch folder, whole-file helpers and
// a host that records what a job tells its surroundings.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/batch.h"
#include "engine/job_host.h"

namespace vexel::testing {

// A fresh folder under the system's temporary folder, removed afterwards.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    std::string Path(const std::string& name) const { return (root_ / name).string(); }
    const std::filesystem::path& Root() const { return root_; }

private:
    std::filesystem::path root_;
};

void WriteBytes(const std::string& path, const std::string& bytes);

// Options of a modern page with the given codec; sealed, with the password
// "pw" at 1000 key iterations (few, for speed).
inline JobOptions CodecOptions(CodecChoice codec, bool sealed = false) {
    JobOptions options;
    options.Codec = codec;
    if (sealed) {
        options.password = {true, "pw"};
        options.Iterations = 1000;
    }
    return options;
}
std::string ReadBytes(const std::string& path);

class RecordingJobHost : public JobHost {
public:
    void AddLogLine(const std::string& line) override { lines.push_back(line); }
    void ShowErrorIndicator() override { ++indicator_shown; }
    void SetPagePercentage(uint8_t percent) override { percentages.push_back(percent); }
    void ProcessMessages() override { ++message_runs; }

    std::vector<std::string> lines;
    std::vector<int> percentages;
    int indicator_shown = 0;
    int message_runs = 0;
};

// `size` bytes of every value, the same for the same seed.
std::string RandomBytes(std::size_t size, unsigned seed);

// FNV-1a, 64 bits: enough to tell two compressed streams apart.
uint64_t Fingerprint(const std::string& bytes);

// A page of n bytes whose body holds `body`: "<html><head></head><body>" + body.
std::string PageWithBody(const std::string& body);

// The head every PageWithBody page has.
extern const char kSimpleHead[];

}  // namespace vexel::testing
