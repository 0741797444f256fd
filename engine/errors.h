// Failures of the engine: file input/output and corrupt data strings. Each
// message names the file and the reason, ready to be shown to the user.
#pragma once

#include <stdexcept>
#include <string>

namespace vexel {

// A file could not be opened, read, written, copied or replaced.
class IoError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A data string that the encoder cannot have made: a distance before the start
// of the text, or a back-reference cut off by the end of the data.
class DataError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace vexel
