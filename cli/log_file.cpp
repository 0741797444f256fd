#include "cli/log_file.h"

#include "engine/errors.h"

namespace vexel::cli {

namespace {

constexpr std::size_t kFlushSize = 1 << 16;

}  // namespace

LogFile::Buffer::Buffer(OutputFile& file) : file_(file) {}

LogFile::Buffer::int_type LogFile::Buffer::overflow(int_type c) {
    if (traits_type::eq_int_type(c, traits_type::eof())) {
        return traits_type::not_eof(c);
    }
#ifdef _WIN32
    if (c == '\n') {
        pending_.push_back('\r');
    }
#endif
    pending_.push_back(traits_type::to_char_type(c));
    if (pending_.size() >= kFlushSize && !Flush()) {
        return traits_type::eof();
    }
    return c;
}

int LogFile::Buffer::sync() {
    return Flush() ? 0 : -1;
}

bool LogFile::Buffer::Flush() {
    if (!error_.empty()) {
        pending_.clear();
        return false;
    }
    try {
        file_.Write(pending_.data(), pending_.size());
    } catch (const IoError& e) {
        error_ = e.what();
    }
    pending_.clear();
    return error_.empty();
}

LogFile::LogFile() : std::ostream(nullptr), buffer_(file_) {
    rdbuf(&buffer_);
}

LogFile::~LogFile() {
    if (open_) {
        Close();
    }
}

void LogFile::Create(const std::string& path) {
    file_.Create(path);
    open_ = true;
}

std::string LogFile::Close() {
    buffer_.Flush();
    std::string error = buffer_.Error();
    if (open_) {
        open_ = false;
        try {
            file_.Close();
        } catch (const IoError& e) {
            if (error.empty()) {
                error = e.what();
            }
        }
    }
    return error;
}

}  // namespace vexel::cli
