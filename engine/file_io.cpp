#include "engine/file_io.h"

#include <algorithm>
#include <atomic>
#include <random>
#include <sstream>

#include "engine/errors.h"
#include "platform/file_system.h"
#include "platform/ascii.h"

namespace vexel {

namespace {

constexpr std::size_t kReadChunk = 1 << 16;
// A temporary name adds about 25 bytes; a file name longer than this would
// pass the systems' limit of 255.
constexpr std::size_t kLongestNameForTemporary = 200;

[[noreturn]] void Fail(const std::string& what, const std::string& path, const platform::Status& status) {
    throw IoError(what + " " + Quoted(path) + ": " + status.Reason());
}

std::size_t NameStart(const std::string& path) {
    for (std::size_t i = path.size(); i > 0; --i) {
        if (platform::IsSeparator(path[i - 1])) {
            return i;
        }
    }
    return 0;
}

[[noreturn]] void FailTooLarge(const std::string& path) {
    throw IoError("Cannot read file " + Quoted(path) + ": larger than " + std::to_string(kPageSizeLimit >> 20) +
                  " MB, the most any command reads");
}

// Opens `path` for reading without waiting on it; `info` says what it is.
void OpenForReading(platform::File& file,
                    const std::string& path,
                    bool writable,
                    bool pipe_allowed,
                    platform::FileInfo& info) {
    platform::Status status = file.Open(path, writable ? platform::OpenMode::ReadWrite : platform::OpenMode::Read);
    if (!status.Ok()) {
        platform::FileInfo seen;
        if (platform::Inspect(path, /*follow_links=*/true, seen).Ok() &&
            seen.kind == platform::FileKind::Directory) {
            throw IoError("Cannot read file " + Quoted(path) + ": it is a folder");
        }
        Fail("Cannot open file", path, status);
    }
    status = file.Inspect(info);
    if (!status.Ok()) {
        Fail("Cannot read file", path, status);
    }
    if (info.kind == platform::FileKind::Directory) {
        throw IoError("Cannot read file " + Quoted(path) + ": it is a folder");
    }
    if (info.kind != platform::FileKind::Regular && !(pipe_allowed && info.pipe)) {
        throw IoError("Cannot read file " + Quoted(path) + ": not a regular file (a FIFO, socket or device)");
    }
    if (info.kind == platform::FileKind::Regular && static_cast<uint64_t>(info.size) > kPageSizeLimit) {
        FailTooLarge(path);
    }
}

// Writes `data` to a new temporary file beside `target` and renames it over
// `target`; `shown` is the name the user gave, for the messages.
void ReplaceRegularFile(const std::string& target,
                        const std::string& shown,
                        const std::string& data,
                        bool existed,
                        const platform::FileInfo* unchanged) {
    std::string temporary;
    platform::File file;
    for (;;) {
        temporary = TemporaryNameBeside(target);
        const platform::Status created = file.CreateNew(temporary);
        if (created.Ok()) {
            break;
        }
        if (created.Error() != platform::Status::Kind::Exists) {
            Fail("Cannot create file", shown, created);
        }
    }
    const auto give_up = [&](const char* what, const platform::Status& status) {
        file.Close();
        platform::Remove(temporary);
        Fail(what, shown, status);
    };
    platform::Status status = file.Write(data.data(), data.size());
    if (!status.Ok()) {
        give_up("Cannot write file", status);
    }
    status = file.Sync();
    if (!status.Ok()) {
        give_up("Cannot write file", status);
    }
    if (existed) {
        file.CopyPermissionsFrom(target);  // best effort: the content matters more
    }
    status = file.Close();
    if (!status.Ok()) {
        give_up("Cannot write file", status);
    }
    if (unchanged != nullptr) {
        try {
            CheckUnchanged(target, shown, *unchanged);
        } catch (const IoError&) {
            platform::Remove(temporary);
            throw;
        }
    }
    status = platform::RenameReplacing(temporary, target);
    if (!status.Ok()) {
        platform::Remove(temporary);
        Fail("Cannot replace file", shown, status);
    }
    status = platform::SyncFolderOf(target);
    if (!status.Ok()) {
        throw IoError("Wrote file " + Quoted(shown) +
                      ", but cannot flush its folder to the disk: " + status.Reason());
    }
}

}  // namespace

std::string ReadWholeFile(const std::string& path, bool writable, platform::FileInfo* read_as) {
    platform::File file;
    platform::FileInfo info;
    OpenForReading(file, path, writable, /*pipe_allowed=*/false, info);
    if (read_as != nullptr) {
        *read_as = info;
    }
    return ReadToEnd(file, path, static_cast<std::size_t>(info.size));
}

std::string ReadFileOrPipe(const std::string& path) {
    platform::File file;
    platform::FileInfo info;
    OpenForReading(file, path, /*writable=*/false, /*pipe_allowed=*/true, info);
    return ReadToEnd(file, path, info.kind == platform::FileKind::Regular ? static_cast<std::size_t>(info.size) : 0);
}

void CheckUnchanged(const std::string& file, const std::string& shown, const platform::FileInfo& read_as) {
    platform::FileInfo now;
    const platform::Status status = platform::Inspect(file, /*follow_links=*/true, now);
    if (!status.Ok() || now.kind != read_as.kind || now.identity != read_as.identity || now.size != read_as.size ||
        now.modified != read_as.modified) {
        throw FileChangedError(Quoted(shown) + ": changed during the run (replaced, edited or removed by another "
                               "program); left as it is");
    }
}

std::string ReadToEnd(platform::File& file, const std::string& path, std::size_t expected) {
    if (expected > kPageSizeLimit) {
        FailTooLarge(path);
    }
    // Room for the whole file and one byte more, so that the end shows
    // without growing the string; a file that grows meanwhile is read on.
    std::string content(expected > 0 ? expected + 1 : kReadChunk, '\0');
    std::size_t size = 0;
    for (;;) {
        if (size == content.size()) {
            if (size > kPageSizeLimit) {
                FailTooLarge(path);
            }
            content.resize(size + std::max(kReadChunk, size / 2));
        }
        std::size_t got = 0;
        const platform::Status status = file.Read(content.data() + size, content.size() - size, got);
        if (!status.Ok()) {
            Fail("Cannot read file", path, status);
        }
        if (got == 0) {
            break;
        }
        size += got;
    }
    if (size > kPageSizeLimit) {
        FailTooLarge(path);
    }
    content.resize(size);
    return content;
}

void WriteFileReplacing(const std::string& path, const std::string& data, const platform::FileInfo* unchanged) {
    const std::string target = ResolveFileLinks(path);
    platform::FileInfo info;
    const platform::Status status = platform::Inspect(target, /*follow_links=*/true, info);
    if (!status.Ok()) {
        Fail("Cannot write file", path, status);
    }
    if (unchanged != nullptr && info.kind != platform::FileKind::Regular) {
        CheckUnchanged(target, path, *unchanged);
    }
    if (info.kind == platform::FileKind::Special) {
        // Opening a FIFO waits for a reader, and a device is nothing a
        // temporary file can be renamed over.
        throw IoError("Cannot write file " + Quoted(path) + ": not a regular file (a FIFO, socket or device)");
    }
    ReplaceRegularFile(target, path, data, info.kind == platform::FileKind::Regular, unchanged);
}

std::string TemporaryNameBeside(const std::string& path) {
    static std::atomic<unsigned> counter{0};
    static const unsigned salt = std::random_device{}();
    const std::size_t name_start = NameStart(path);
    std::ostringstream name;
    if (path.size() - name_start > kLongestNameForTemporary) {
        name << path.substr(0, name_start) << ".vexel";
    } else {
        name << path;
    }
    name << ".vexel-" << std::hex << salt << '-' << counter.fetch_add(1) << ".tmp";
    return name.str();
}

struct OutputFile::State {
    platform::File file;
    std::string path;
};

OutputFile::OutputFile() : state_(std::make_unique<State>()) {}
OutputFile::~OutputFile() = default;

void OutputFile::Create(const std::string& path) {
    state_->path = path;
    const std::string target = ResolveFileLinks(path);
    platform::Status status = state_->file.CreateNew(target);
    if (status.Error() == platform::Status::Kind::Exists) {
        status = state_->file.Open(target, platform::OpenMode::WriteExisting);
    }
    if (!status.Ok()) {
        Fail("Cannot create file", path, status);
    }
}

void OutputFile::Write(const char* data, std::size_t size) {
    const platform::Status status = state_->file.Write(data, size);
    if (!status.Ok()) {
        Fail("Cannot write file", state_->path, status);
    }
}

void OutputFile::Close() {
    const platform::Status status = state_->file.Close();
    if (!status.Ok()) {
        Fail("Cannot write file", state_->path, status);
    }
}

int64_t FileSize(const std::string& path) {
    platform::FileInfo info;
    if (!platform::Inspect(path, /*follow_links=*/true, info).Ok() ||
        info.kind != platform::FileKind::Regular) {
        return 0;
    }
    return info.size;
}

bool FileExists(const std::string& path) {
    platform::FileInfo info;
    const platform::Status status = platform::Inspect(path, /*follow_links=*/false, info);
    // What cannot even be looked at stands in the way all the same.
    return !status.Ok() || info.kind != platform::FileKind::Missing;
}

bool IsRegularFile(const std::string& path) {
    platform::FileInfo info;
    return platform::Inspect(path, /*follow_links=*/true, info).Ok() &&
           info.kind == platform::FileKind::Regular;
}

bool RemoveFileQuietly(const std::string& path) {
    return platform::Remove(path).Ok();
}

std::string ResolveFileLinks(const std::string& path) {
    std::string resolved;
    const platform::Status status = platform::ResolveLinks(path, resolved);
    if (!status.Ok()) {
        Fail("Cannot follow the link", path, status);
    }
    return resolved;
}

std::string SameFileKey(const std::string& path) {
    platform::FileIdentity identity;
    if (platform::IdentityOf(path, identity).Ok()) {
        return "file " + std::to_string(identity.volume) + ":" + std::to_string(identity.file);
    }
    std::string key = "path " + platform::AbsolutePath(path);
    return platform::NamesIgnoreCase() ? LowerAscii(std::move(key)) : key;
}

}  // namespace vexel
