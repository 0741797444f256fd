// The --log file as a stream: the log lines written through the engine's file
// access (UTF-8 names, links and devices written through), with the system's
// own line ends.
#pragma once

#include <ostream>
#include <streambuf>
#include <string>

#include "engine/file_io.h"

namespace vexel::cli {

class LogFile : public std::ostream {
public:
    LogFile();
    ~LogFile() override;

    // Throws IoError naming the file when it cannot be created.
    void Create(const std::string& path);
    // Writes what is left; the first error of the whole file, or "".
    std::string Close();

private:
    class Buffer : public std::streambuf {
      public:
        explicit Buffer(OutputFile& file);
        bool Flush();
        const std::string& Error() const { return error_; }

      protected:
        int_type overflow(int_type c) override;
        int sync() override;

      private:
        OutputFile& file_;
        std::string pending_;
        std::string error_;
    };

    OutputFile file_;
    Buffer buffer_;
    bool open_ = false;
};

}  // namespace vexel::cli
