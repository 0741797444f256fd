#include "engine/file_io.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "engine/errors.h"

namespace vexel {
namespace fs = std::filesystem;

namespace {

std::string Reason(int error) {
    return error != 0 ? std::string(std::strerror(error)) : std::string("input/output error");
}

std::string Quoted(const std::string& path) {
    return "\"" + path + "\"";
}

// A name beside `path` that no other file has yet.
std::string TemporaryNameBeside(const std::string& path) {
    static std::atomic<unsigned> counter{0};
    static const unsigned salt = std::random_device{}();
    for (;;) {
        std::ostringstream name;
        name << path << ".vexel-" << std::hex << salt << '-' << counter.fetch_add(1) << ".tmp";
        std::error_code ec;
        if (!fs::exists(fs::path(name.str()), ec)) {
            return name.str();
        }
    }
}

}  // namespace

std::string ReadWholeFile(const std::string& path, bool writable) {
    errno = 0;
    std::ios::openmode mode = std::ios::in | std::ios::binary;
    if (writable) {
        mode |= std::ios::out;
    }
    std::fstream file(path, mode);
    if (!file) {
        throw IoError("Cannot open file " + Quoted(path) + ": " + Reason(errno));
    }
    std::ostringstream content;
    content << file.rdbuf();
    if (file.bad()) {
        throw IoError("Cannot read file " + Quoted(path) + ": " + Reason(errno));
    }
    return content.str();
}

void WriteFileReplacing(const std::string& path, const std::string& data) {
    const std::string temporary = TemporaryNameBeside(path);
    errno = 0;
    {
        std::ofstream file(temporary, std::ios::out | std::ios::binary | std::ios::trunc);
        if (!file) {
            throw IoError("Cannot create file " + Quoted(path) + ": " + Reason(errno));
        }
        file.write(data.data(), static_cast<std::streamsize>(data.size()));
        file.close();
        if (!file) {
            const int error = errno;
            RemoveFileQuietly(temporary);
            throw IoError("Cannot write file " + Quoted(path) + ": " + Reason(error));
        }
    }
    std::error_code ec;
    const fs::file_status old = fs::status(fs::path(path), ec);
    if (!ec && fs::exists(old)) {
        fs::permissions(fs::path(temporary), old.permissions(), ec);
    }
    fs::rename(fs::path(temporary), fs::path(path), ec);
    if (ec) {
        RemoveFileQuietly(temporary);
        throw IoError("Cannot replace file " + Quoted(path) + ": " + ec.message());
    }
}

void CopyFileReplacing(const std::string& from, const std::string& to) {
    std::error_code ec;
    fs::copy_file(fs::path(from), fs::path(to), fs::copy_options::overwrite_existing, ec);
    if (ec) {
        throw IoError("Cannot copy file " + Quoted(from) + " to " + Quoted(to) + ": " + ec.message());
    }
}

bool FileExists(const std::string& path) {
    std::error_code ec;
    return fs::exists(fs::path(path), ec);
}

bool RemoveFileQuietly(const std::string& path) {
    std::error_code ec;
    return fs::remove(fs::path(path), ec);
}

}  // namespace vexel
