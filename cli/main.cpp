// The vexel program: the process around RunVexel (UTF-8 arguments, standard
// streams, stop signals).
#include <cerrno>
#include <cstring>
#include <iostream>
#include <streambuf>
#include <string>
#include <vector>

#include "cli/vexel.h"
#include "platform/process.h"

namespace {

// Standard output as it is, keeping the reason of its first failed write
// (a full disk, a closed pipe) for the error the run ends with.
class CheckedOutput : public std::streambuf {
public:
    explicit CheckedOutput(std::streambuf* inner) : inner_(inner) {}
    const std::string& Error() const { return error_; }
    std::streambuf* Inner() const { return inner_; }

protected:
    int_type overflow(int_type c) override {
        if (traits_type::eq_int_type(c, traits_type::eof()))
            return traits_type::not_eof(c);
        if (traits_type::eq_int_type(inner_->sputc(traits_type::to_char_type(c)), traits_type::eof()))
            return Failed(traits_type::eof());
        return c;
    }
    std::streamsize xsputn(const char* data, std::streamsize size) override {
        const std::streamsize written = inner_->sputn(data, size);
        return written < size ? Failed(written) : written;
    }
    int sync() override { return inner_->pubsync() != 0 ? Failed(-1) : 0; }

private:
    template <typename T>
    T Failed(T result) {
        if (error_.empty())
            error_ = errno != 0 ? std::strerror(errno) : "write failed";
        return result;
    }

    std::streambuf* inner_;
    std::string error_;
};

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args = vexel::platform::CommandLineArguments(argc, argv);
    vexel::cli::Console console;
    console.errIsTerminal = vexel::platform::StandardErrorIsTerminal();
    console.stopSignal = [] { return vexel::platform::StopSignal(); };
    console.rawOutput = [] {
        // Expanded text is bytes: no CR may be added before an LF.
        std::cout.flush();
        vexel::platform::SetStandardOutputBinary();
    };
    console.in = &std::cin;
    console.readInput = [](std::string& data, std::string& error) {
        return vexel::platform::ReadStandardInput(data, error);
    };
    CheckedOutput checked(std::cout.rdbuf());
    std::cout.rdbuf(&checked);
    console.outputError = [&checked] { return checked.Error(); };
    vexel::platform::SetStandardInputBinary();
    vexel::platform::UseUtf8Console();
    vexel::platform::WatchStopSignals();
    const int status = vexel::cli::RunVexel(args, std::cout, std::cerr, console);
    std::cout.rdbuf(checked.Inner());
    return status;
}
