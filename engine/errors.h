// Failures of the engine: file input/output, corrupt data strings and pages,
// and passwords. Each message names the file and the reason, ready to be shown
// to the user.
#pragma once

#include <stdexcept>
#include <string>

namespace vexel {

// A file could not be opened, read, written, copied or replaced.
class IoError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A data string that the encoder cannot have made (a distance before the start
// of the text, a back-reference cut off by the end of the data), or a modern
// page whose data is damaged.
class DataError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A page that the chosen format cannot carry: written so, it would not show
// in a browser as it is.
class FormatError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// An encrypted page opened without its password, or with another one.
class PasswordError : public std::runtime_error {
public:
    enum class Kind { Missing, Wrong };
    PasswordError(Kind kind, const std::string& message) : std::runtime_error(message), kind_(kind) {}
    Kind Reason() const { return kind_; }

private:
    Kind kind_;
};

}  // namespace vexel
