// The runtime's exception classes, with the message texts users see, and the
// small number helpers the painters rely on (integer conversion, MulDiv,
// Round with halves to even).
#pragma once

#include <cstdint>
#include <exception>
#include <string>

namespace vexel {

// Base of every failure the framework and the program raise on purpose. The
// message is the text the default exception report shows.
class Exception : public std::exception {
public:
    explicit Exception(std::string message) : message_(std::move(message)) {}
    const std::string& Message() const { return message_; }
    void SetMessage(const std::string& message) { message_ = message; }
    const char* what() const noexcept override { return message_.c_str(); }

private:
    std::string message_;
};

// A silent exception: it unwinds like any other but is never reported.
class EAbort : public Exception {
public:
    EAbort() : Exception("Operation aborted") {}
};

class EConvertError : public Exception {
    using Exception::Exception;
};

// A file operation failed; ErrorCode is the system's error number.
class EInOutError : public Exception {
public:
    EInOutError(std::string message, int errorCode) : Exception(std::move(message)), errorCode_(errorCode) {}
    int ErrorCode() const { return errorCode_; }

private:
    int errorCode_;
};

class EListError : public Exception {
    using Exception::Exception;
};
class EStringListError : public Exception {
    using Exception::Exception;
};
class EComponentError : public Exception {
    using Exception::Exception;
};
class EInvalidOperation : public Exception {
    using Exception::Exception;
};
class EOutOfResources : public Exception {
    using Exception::Exception;
};
class EInvalidGraphic : public Exception {
    using Exception::Exception;
};
class EInvalidGraphicOperation : public Exception {
    using Exception::Exception;
};
class EFOpenError : public Exception {
    using Exception::Exception;
};
class EFCreateError : public Exception {
    using Exception::Exception;
};
class EResNotFound : public Exception {
    using Exception::Exception;
};
class EOSError : public Exception {
public:
    EOSError(std::string message, uint32_t errorCode) : Exception(std::move(message)), errorCode_(errorCode) {}
    uint32_t ErrorCode() const { return errorCode_; }

private:
    uint32_t errorCode_;
};

// Raises EAbort.
[[noreturn]] void Abort();

std::string IntToStr(int64_t value);
// Upper-case hexadecimal, at least `digits` digits wide.
std::string IntToHex(uint64_t value, int digits);

// Decimal with an optional sign, or hexadecimal after "$" or "0x"; leading
// blanks are skipped, anything after the number is an error. Hexadecimal
// takes the full 32 bits (so "$FFFFFFFF" is -1); decimal must fit a signed
// 32-bit integer. Failure raises EConvertError "'<s>' is not a valid integer
// value".
int32_t StrToInt(const std::string& s);
int32_t StrToIntDef(const std::string& s, int32_t defaultValue);
bool TryStrToInt(const std::string& s, int32_t& value);

// a * b / c computed in 64 bits and rounded to the nearest integer, halves
// away from zero, as the Windows function does; -1 when c is 0 or the result
// does not fit 32 bits.
int32_t MulDiv(int32_t a, int32_t b, int32_t c);

// Rounds to the nearest integer; a value exactly halfway goes to the even
// neighbour (2.5 -> 2, 3.5 -> 4, -2.5 -> -2).
int Round(double value);

}  // namespace vexel
