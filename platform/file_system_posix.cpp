// The file operations on POSIX systems: plain system calls, so that every
// failure keeps its own errno and a test can make any of them fail.
#include "platform/file_system.h"

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/process.h"

namespace vexel::platform {

namespace {

constexpr int kMaxLinkHops = 40;
// How long a read from a pipe waits before it looks for a stop signal again.
constexpr int kPollMilliseconds = 100;

Status FromErrno(int error) {
    Status::Kind kind = Status::Kind::Other;
    if (error == ENOENT || error == ENOTDIR) {
        kind = Status::Kind::NotFound;
    } else if (error == EEXIST) {
        kind = Status::Kind::Exists;
    }
    return Status::Failed(kind, std::strerror(error));
}

Status LastError() {
    return FromErrno(errno);
}

int Fd(intptr_t handle) {
    return static_cast<int>(handle);
}

FileKind KindOf(mode_t mode) {
    if (S_ISREG(mode)) {
        return FileKind::Regular;
    }
    if (S_ISDIR(mode)) {
        return FileKind::Directory;
    }
    if (S_ISLNK(mode)) {
        return FileKind::Link;
    }
    return FileKind::Special;
}

void Describe(const struct stat& st, FileInfo& info) {
    info.kind = KindOf(st.st_mode);
    info.size = static_cast<int64_t>(st.st_size);
    info.identity = {static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino)};
    info.modified = static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    info.links = static_cast<uint64_t>(st.st_nlink);
    info.pipe = S_ISFIFO(st.st_mode) || S_ISSOCK(st.st_mode);
}

Status NotRegular() {
    return Status::Failed(Status::Kind::Other, "not a regular file (a FIFO, socket or device)");
}

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

// The folder this thread's FolderScope holds: its path with a last '/', and
// its handle (-1 when there is none).
thread_local std::string scope_prefix;
thread_local int scope_fd = -1;

// A path as the *at calls take it: a name inside the held folder is reached
// through its handle, any other path as it is.
struct At {
    int dir = AT_FDCWD;
    const char* name = nullptr;
};

At Where(const std::string& path) {
    if (scope_fd >= 0 && path.size() > scope_prefix.size() && path.compare(0, scope_prefix.size(), scope_prefix) == 0 &&
        path.find('/', scope_prefix.size()) == std::string::npos) {
        return {scope_fd, path.c_str() + scope_prefix.size()};
    }
    return {AT_FDCWD, path.c_str()};
}

}  // namespace

FolderScope::~FolderScope() {
    if (fd_ >= 0) {
        ::close(static_cast<int>(fd_));
        scope_fd = -1;
        scope_prefix.clear();
    }
}

Status FolderScope::Enter(const std::string& root, const std::string& folder) {
    std::string base = root;
    while (base.size() > 1 && base.back() == '/') {
        base.pop_back();
    }
    if (fd_ >= 0 || scope_fd >= 0 || base.empty() || folder.compare(0, base.size(), base) != 0 ||
        (folder.size() > base.size() && folder[base.size()] != '/' && base != "/")) {
        return {};
    }
    // The root is what the user named (a link there is the user's choice);
    // every folder below it is opened as a folder and never as a link.
    int fd = ::open(base.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        return LastError();
    }
    std::size_t at = base.size();
    while (at < folder.size()) {
        while (at < folder.size() && folder[at] == '/') {
            ++at;
        }
        const std::size_t end = std::min(folder.find('/', at), folder.size());
        if (end == at) {
            break;
        }
        const std::string part = folder.substr(at, end - at);
        const int next = ::openat(fd, part.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        const int error = errno;
        ::close(fd);
        if (next < 0) {
            return error == ELOOP || error == ENOTDIR
                       ? Status::Failed(Status::Kind::Other, "the folder \"" + folder.substr(0, end) +
                                                                 "\" is no longer a folder (a link took its place)")
                       : FromErrno(error);
        }
        fd = next;
        at = end;
    }
    fd_ = fd;
    scope_fd = fd;
    scope_prefix = folder.empty() || folder.back() == '/' ? folder : folder + "/";
    return {};
}

File::~File() {
    Release();
}

File::File(File&& other) noexcept : handle_(other.handle_) {
    other.handle_ = -1;
}

File& File::operator=(File&& other) noexcept {
    if (this != &other) {
        Release();
        handle_ = other.handle_;
        other.handle_ = -1;
    }
    return *this;
}

void File::Release() {
    if (handle_ >= 0) {
        ::close(Fd(handle_));
        handle_ = -1;
    }
}

bool File::IsOpen() const {
    return handle_ >= 0;
}

Status File::Open(const std::string& path, OpenMode mode) {
    Release();
    int flags = O_CLOEXEC;
    switch (mode) {
        case OpenMode::Read:
            flags |= O_RDONLY | O_NONBLOCK;
            break;
        case OpenMode::ReadWrite:
            flags |= O_RDWR | O_NONBLOCK;
            break;
        case OpenMode::WriteExisting:
            // O_NONBLOCK: a FIFO that nobody reads must not hold the open.
            flags |= O_WRONLY | O_NONBLOCK | O_NOCTTY;
            break;
    }
    int fd;
    do {
        const At where = Where(path);
        fd = ::openat(where.dir, where.name, flags);
    } while (fd < 0 && errno == EINTR && StopSignal() == 0);
    if (fd < 0) {
        // A FIFO that nobody reads (or a device that is not there).
        if (mode == OpenMode::WriteExisting && errno == ENXIO) {
            return NotRegular();
        }
        return LastError();
    }
    handle_ = fd;
    if (mode == OpenMode::WriteExisting) {
        struct stat st;
        if (::fstat(fd, &st) != 0) {
            const Status failed = LastError();
            Release();
            return failed;
        }
        if (!S_ISREG(st.st_mode)) {
            Release();
            return NotRegular();
        }
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
        if (::ftruncate(fd, 0) != 0) {
            const Status failed = LastError();
            Release();
            return failed;
        }
        return {};
    }
    // A regular file reads as it always does; a pipe keeps O_NONBLOCK, so that
    // Read can wait for it in steps.
    struct stat st;
    if ((flags & O_NONBLOCK) != 0 && ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
        // A page nobody may write is kept as it is, also by a user whom
        // the system would let write it (root).
        if (mode == OpenMode::ReadWrite && (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
            Release();
            return Status::Failed(Status::Kind::Other, "the file is read-only");
        }
    }
    return {};
}

Status File::CreateNew(const std::string& path) {
    Release();
    const At where = Where(path);
    const int fd = ::openat(where.dir, where.name, O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
        return LastError();
    }
    handle_ = fd;
    return {};
}

Status File::Read(char* buffer, std::size_t size, std::size_t& got) {
    got = 0;
    // A pipe (opened without blocking) is read once it has data or its
    // writer is gone: a FIFO whose writer has not come yet would read as
    // empty at once. The wait goes in steps that a stop signal ends.
    const int flags = ::fcntl(Fd(handle_), F_GETFL);
    if (flags >= 0 && (flags & O_NONBLOCK) != 0) {
        for (;;) {
            if (StopSignal() != 0) {
                return Status::Failed(Status::Kind::Other, "stopped by a signal while waiting for data");
            }
            pollfd wait = {Fd(handle_), POLLIN, 0};
            if (::poll(&wait, 1, kPollMilliseconds) > 0) {
                break;
            }
        }
    }
    for (;;) {
        const ssize_t n = ::read(Fd(handle_), buffer, size);
        if (n >= 0) {
            got = static_cast<std::size_t>(n);
            return {};
        }
        if (errno == EAGAIN || errno == EWOULDBLOCK) {
            if (StopSignal() != 0) {
                return Status::Failed(Status::Kind::Other, "stopped by a signal while waiting for data");
            }
            pollfd wait = {Fd(handle_), POLLIN, 0};
            ::poll(&wait, 1, kPollMilliseconds);
            continue;
        }
        if (errno != EINTR) {
            return LastError();
        }
    }
}

Status File::Write(const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(Fd(handle_), data, size);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return LastError();
        }
        if (n == 0) {
            return FromErrno(EIO);
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return {};
}

Status File::Sync() {
    if (::fsync(Fd(handle_)) != 0) {
        return LastError();
    }
    return {};
}

Status File::CopyPermissionsFrom(const std::string& path) {
    struct stat from;
    const At where = Where(path);
    if (::fstatat(where.dir, where.name, &from, 0) != 0) {
        return LastError();
    }
    if (::fchmod(Fd(handle_), from.st_mode & 07777) != 0) {
        return LastError();
    }
    return {};
}

Status File::TryLock(bool& locked) {
    locked = false;
    if (::flock(Fd(handle_), LOCK_EX | LOCK_NB) == 0) {
        locked = true;
        return {};
    }
    if (errno == EWOULDBLOCK) {
        return {};
    }
    // A file system without locks: nobody else can hold one there either.
    if (errno == ENOLCK || errno == EOPNOTSUPP || errno == ENOSYS) {
        locked = true;
        return {};
    }
    return LastError();
}

Status File::Identity(FileIdentity& identity) const {
    struct stat st;
    if (::fstat(Fd(handle_), &st) != 0) {
        return LastError();
    }
    identity = {static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino)};
    return {};
}

Status File::Inspect(FileInfo& info) const {
    info = {};
    struct stat st;
    if (::fstat(Fd(handle_), &st) != 0) {
        return LastError();
    }
    Describe(st, info);
    return {};
}

Status File::RemoveName(const std::string& path) {
    const At where = Where(path);
    if (::unlinkat(where.dir, where.name, 0) != 0) {
        return LastError();
    }
    return {};
}

Status File::Close() {
    if (handle_ < 0) {
        return {};
    }
    const int fd = Fd(handle_);
    handle_ = -1;
    // After close() the descriptor is gone even when it reports an error, so
    // it is never retried.
    if (::close(fd) != 0 && errno != EINTR) {
        return LastError();
    }
    return {};
}

Status Inspect(const std::string& path, bool follow_links, FileInfo& info) {
    info = {};
    struct stat st;
    const At where = Where(path);
    const int result = ::fstatat(where.dir, where.name, &st, follow_links ? 0 : AT_SYMLINK_NOFOLLOW);
    if (result != 0) {
        if (errno == ENOENT || errno == ENOTDIR) {
            return {};
        }
        return LastError();
    }
    Describe(st, info);
    return {};
}

Status IdentityOf(const std::string& path, FileIdentity& identity) {
    struct stat st;
    const At where = Where(path);
    if (::fstatat(where.dir, where.name, &st, 0) != 0) {
        return LastError();
    }
    identity = {static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino)};
    return {};
}

Status CanonicalPath(const std::string& path, std::string& canonical) {
    char* real = ::realpath(path.c_str(), nullptr);
    if (real == nullptr) {
        return LastError();
    }
    canonical = real;
    std::free(real);
    return {};
}

Status RenameReplacing(const std::string& from, const std::string& to) {
    const At source = Where(from);
    const At target = Where(to);
    if (::renameat(source.dir, source.name, target.dir, target.name) != 0) {
        return LastError();
    }
    return {};
}

Status RenameExclusive(const std::string& from, const std::string& to) {
    // A second name for the file cannot replace anything: link() fails when
    // `to` exists. Then the first name goes.
    const At source = Where(from);
    const At target = Where(to);
    if (::linkat(source.dir, source.name, target.dir, target.name, 0) == 0) {
        ::unlinkat(source.dir, source.name, 0);
        return {};
    }
    const int link_error = errno;
    if (link_error != EPERM && link_error != EOPNOTSUPP && link_error != ENOSYS && link_error != EMLINK) {
        return FromErrno(link_error);
    }
#ifdef RENAME_NOREPLACE
    // File systems without hard links (FAT, some network shares).
    if (::renameat2(source.dir, source.name, target.dir, target.name, RENAME_NOREPLACE) == 0) {
        return {};
    }
    if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP) {
        return LastError();
    }
#endif
    // Neither is offered here: test, then rename. Another run could slip in
    // between the two steps, which only such file systems allow.
    struct stat st;
    if (::fstatat(target.dir, target.name, &st, AT_SYMLINK_NOFOLLOW) == 0) {
        return FromErrno(EEXIST);
    }
    return RenameReplacing(from, to);
}

Status Remove(const std::string& path) {
    const At where = Where(path);
    if (::unlinkat(where.dir, where.name, 0) != 0) {
        return LastError();
    }
    return {};
}

Status SyncFolderOf(const std::string& path) {
    const bool held = Where(path).dir != AT_FDCWD;
    const int fd = held ? ::dup(scope_fd) : ::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        return LastError();
    }
    Status status;
    // Some file systems cannot flush a folder (EINVAL); their names are as
    // safe as they get.
    if (::fsync(fd) != 0 && errno != EINVAL && errno != EROFS) {
        status = LastError();
    }
    ::close(fd);
    return status;
}

Status ResolveLinks(const std::string& path, std::string& resolved) {
    resolved = path;
    for (int hop = 0; hop <= kMaxLinkHops; ++hop) {
        struct stat st;
        const At where = Where(resolved);
        if (::fstatat(where.dir, where.name, &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISLNK(st.st_mode)) {
            return {};  // not a link, or missing: the caller's next call says which
        }
        std::string target(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 255) + 1, '\0');
        for (;;) {
            const ssize_t n = ::readlinkat(where.dir, where.name, target.data(), target.size());
            if (n < 0) {
                return LastError();
            }
            if (static_cast<std::size_t>(n) < target.size()) {
                target.resize(static_cast<std::size_t>(n));
                break;
            }
            target.resize(target.size() * 2);
        }
        if (!target.empty() && target[0] == '/') {
            resolved = target;
        } else {
            const std::size_t slash = resolved.find_last_of('/');
            resolved = slash == std::string::npos ? target : resolved.substr(0, slash + 1) + target;
        }
    }
    return FromErrno(ELOOP);
}

Status ListFolder(const std::string& path, std::vector<FolderEntry>& entries) {
    entries.clear();
    DIR* dir = ::opendir(path.c_str());
    if (dir == nullptr) {
        return LastError();
    }
    const int dir_fd = ::dirfd(dir);
    Status status;
    for (;;) {
        errno = 0;
        const dirent* entry = ::readdir(dir);
        if (entry == nullptr) {
            if (errno != 0) {
                status = LastError();
            }
            break;
        }
        const std::string name = entry->d_name;
        if (name == "." || name == "..") {
            continue;
        }
        FolderEntry found;
        found.name = name;
        struct stat st;
        if (::fstatat(dir_fd, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) {
            continue;  // gone since it was listed
        }
        found.link = S_ISLNK(st.st_mode);
        if (found.link) {
            // A link counts as what it points to; a broken one as missing.
            found.kind =
                ::fstatat(dir_fd, entry->d_name, &st, 0) == 0 ? KindOf(st.st_mode) : FileKind::Missing;
        } else {
            found.kind = KindOf(st.st_mode);
        }
        entries.push_back(std::move(found));
    }
    ::closedir(dir);
    return status;
}

Status CreateFolder(const std::string& path) {
    if (::mkdir(path.c_str(), 0777) != 0) {
        return LastError();
    }
    return {};
}

Status CreateFileLink(const std::string& target, const std::string& link) {
    if (::symlink(target.c_str(), link.c_str()) != 0) {
        return LastError();
    }
    return {};
}

bool IsSeparator(char c) {
    return c == '/';
}

std::string JoinPath(const std::string& folder, const std::string& name) {
    if (folder.empty() || IsSeparator(folder.back())) {
        return folder + name;
    }
    return folder + "/" + name;
}

std::string AbsolutePath(const std::string& path) {
    std::string full = path;
    if (path.empty() || path[0] != '/') {
        std::string cwd(256, '\0');
        while (::getcwd(cwd.data(), cwd.size()) == nullptr) {
            if (errno != ERANGE) {
                return path;
            }
            cwd.resize(cwd.size() * 2);
        }
        cwd.resize(std::strlen(cwd.c_str()));
        full = JoinPath(cwd, path);
    }
    // "." and ".." by name, as the shell reads them.
    std::vector<std::string> parts;
    std::size_t start = 1;
    while (start <= full.size()) {
        std::size_t end = full.find('/', start);
        if (end == std::string::npos) {
            end = full.size();
        }
        const std::string part = full.substr(start, end - start);
        if (part == "..") {
            if (!parts.empty()) {
                parts.pop_back();
            }
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        start = end + 1;
    }
    std::string normal;
    for (const std::string& part : parts) {
        normal += "/" + part;
    }
    return normal.empty() ? "/" : normal;
}

bool NamesIgnoreCase() {
    return false;
}

}  // namespace vexel::platform
