// The file operations on Windows: the wide functions with paths converted from
// UTF-8 at each call, long ones given the \\?\ prefix; renames written through.
#include "platform/file_system.h"

#include <windows.h>

#include "platform/wide_text.h"

namespace vexel::platform {

namespace {

// Below this length every function takes a plain path; above it (the limit
// of a folder name is MAX_PATH - 12) only a \\?\ path gets through.
constexpr std::size_t kPlainPathLimit = 240;

// A lock far past the end of any file, so that it keeps nobody from reading.
constexpr DWORD kLockOffsetHigh = 0x7FFFFFFF;

Status FromError(DWORD error) {
    Status::Kind kind = Status::Kind::Other;
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND || error == ERROR_INVALID_NAME) {
        kind = Status::Kind::NotFound;
    } else if (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS) {
        kind = Status::Kind::Exists;
    }
    return Status::Failed(kind, SystemMessage(error));
}

Status LastError() {
    return FromError(GetLastError());
}

HANDLE Handle(intptr_t handle) {
    return reinterpret_cast<HANDLE>(handle);
}

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// The attributes a user gives a page, which a replaced page keeps.
constexpr DWORD kKeptAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                  FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

// Identity, size, last write and names of an open file; its kind from the
// handle, since devices and pipes have attributes too.
Status DescribeHandle(HANDLE h, FileInfo& info) {
    const DWORD type = GetFileType(h);
    if (type != FILE_TYPE_DISK) {
        info.kind = FileKind::Special;
        info.pipe = type == FILE_TYPE_PIPE;
        return {};
    }
    BY_HANDLE_FILE_INFORMATION data;
    if (!GetFileInformationByHandle(h, &data)) {
        return LastError();
    }
    info.kind = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? FileKind::Directory : FileKind::Regular;
    info.size = static_cast<int64_t>((static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow);
    info.identity = {data.dwVolumeSerialNumber,
                     (static_cast<uint64_t>(data.nFileIndexHigh) << 32) | data.nFileIndexLow};
    // 100-nanosecond ticks.
    info.modified = static_cast<int64_t>(
        ((static_cast<uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime) *
        100);
    info.links = data.nNumberOfLinks;
    return {};
}

// The \\?\ path the system gives for an open handle, links followed; short
// ones read better without the prefix.
Status FinalPathOf(HANDLE h, std::string& path) {
    std::wstring target(MAX_PATH, L'\0');
    DWORD length = GetFinalPathNameByHandleW(h, target.data(), static_cast<DWORD>(target.size()), 0);
    if (length >= target.size()) {
        target.resize(length + 1);
        length = GetFinalPathNameByHandleW(h, target.data(), static_cast<DWORD>(target.size()), 0);
    }
    if (length == 0) {
        return LastError();
    }
    target.resize(length);
    if (target.size() < kPlainPathLimit) {
        if (target.rfind(L"\\\\?\\UNC\\", 0) == 0) {
            target = L"\\\\" + target.substr(8);
        } else if (target.rfind(L"\\\\?\\", 0) == 0) {
            target = target.substr(4);
        }
    }
    path = Narrow(target);
    return {};
}

}  // namespace

std::wstring SystemPath(const std::string& path) {
    std::wstring wide = Widen(path);
    if (wide.size() < kPlainPathLimit || wide.rfind(L"\\\\?\\", 0) == 0) {
        return wide;
    }
    const DWORD needed = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    if (needed == 0) {
        return wide;
    }
    std::wstring full(needed, L'\0');
    const DWORD length = GetFullPathNameW(wide.c_str(), needed, full.data(), nullptr);
    full.resize(length);
    if (full.rfind(L"\\\\", 0) == 0) {
        return L"\\\\?\\UNC\\" + full.substr(2);
    }
    return L"\\\\?\\" + full;
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
    if (handle_ != -1) {
        CloseHandle(Handle(handle_));
        handle_ = -1;
    }
}

bool File::IsOpen() const {
    return handle_ != -1;
}

Status File::Open(const std::string& path, OpenMode mode) {
    Release();
    DWORD access = GENERIC_READ;
    DWORD disposition = OPEN_EXISTING;
    if (mode == OpenMode::ReadWrite) {
        access |= GENERIC_WRITE;
    } else if (mode == OpenMode::WriteExisting) {
        access = GENERIC_WRITE;
    }
    const HANDLE h = CreateFileW(SystemPath(path).c_str(), access, kShareAll, nullptr, disposition,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        return LastError();
    }
    handle_ = reinterpret_cast<intptr_t>(h);
    // A read-only page is kept as it is, also where the system would let it
    // be opened for writing (an administrator, Wine over a user's files).
    if (mode == OpenMode::ReadWrite && GetFileType(h) == FILE_TYPE_DISK) {
        BY_HANDLE_FILE_INFORMATION data;
        if (GetFileInformationByHandle(h, &data) && (data.dwFileAttributes & FILE_ATTRIBUTE_READONLY)) {
            Release();
            return Status::Failed(Status::Kind::Other, "the file is read-only");
        }
    }
    // Written from its start: only a file on the disk, emptied first.
    if (mode == OpenMode::WriteExisting) {
        if (GetFileType(h) != FILE_TYPE_DISK) {
            Release();
            return Status::Failed(Status::Kind::Other, "not a regular file (a FIFO, socket or device)");
        }
        if (!SetEndOfFile(h)) {
            const Status status = LastError();
            Release();
            return status;
        }
    }
    return {};
}

Status File::CreateNew(const std::string& path) {
    Release();
    const HANDLE h = CreateFileW(SystemPath(path).c_str(), GENERIC_READ | GENERIC_WRITE, kShareAll, nullptr,
                                 CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        return LastError();
    }
    handle_ = reinterpret_cast<intptr_t>(h);
    return {};
}

Status File::Read(char* buffer, std::size_t size, std::size_t& got) {
    got = 0;
    const DWORD chunk = size > 0x40000000 ? 0x40000000 : static_cast<DWORD>(size);
    DWORD n = 0;
    if (!ReadFile(Handle(handle_), buffer, chunk, &n, nullptr)) {
        // A pipe whose writer has gone is the end of the data.
        if (GetLastError() == ERROR_BROKEN_PIPE) {
            return {};
        }
        return LastError();
    }
    got = n;
    return {};
}

Status File::Write(const char* data, std::size_t size) {
    while (size > 0) {
        const DWORD chunk = size > 0x40000000 ? 0x40000000 : static_cast<DWORD>(size);
        DWORD n = 0;
        if (!WriteFile(Handle(handle_), data, chunk, &n, nullptr)) {
            return LastError();
        }
        if (n == 0) {
            return FromError(ERROR_WRITE_FAULT);
        }
        data += n;
        size -= n;
    }
    return {};
}

Status File::Sync() {
    if (!FlushFileBuffers(Handle(handle_))) {
        return LastError();
    }
    return {};
}

Status File::CopyPermissionsFrom(const std::string& path) {
    // A new file takes the folder's permissions, as the page had; the
    // attributes the user gave the page (hidden, system, ...) it takes from
    // the page. Never read-only: such a page is never rewritten, and the
    // file must stay one that can be renamed and removed.
    const DWORD attributes = GetFileAttributesW(SystemPath(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return LastError();
    }
    FILE_BASIC_INFO basic = {};
    if (!GetFileInformationByHandleEx(Handle(handle_), FileBasicInfo, &basic, sizeof basic)) {
        return LastError();
    }
    const DWORD kept = attributes & kKeptAttributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY);
    const DWORD wanted = (basic.FileAttributes & ~kKeptAttributes) | kept;
    basic.FileAttributes = wanted != 0 ? wanted : FILE_ATTRIBUTE_NORMAL;
    if (!SetFileInformationByHandle(Handle(handle_), FileBasicInfo, &basic, sizeof basic)) {
        return LastError();
    }
    return {};
}

Status File::TryLock(bool& locked) {
    locked = false;
    OVERLAPPED at = {};
    at.OffsetHigh = kLockOffsetHigh;
    if (LockFileEx(Handle(handle_), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at)) {
        locked = true;
        return {};
    }
    const DWORD error = GetLastError();
    if (error == ERROR_LOCK_VIOLATION || error == ERROR_IO_PENDING) {
        return {};
    }
    if (error == ERROR_NOT_SUPPORTED || error == ERROR_INVALID_FUNCTION) {
        locked = true;
        return {};
    }
    return FromError(error);
}

Status File::Identity(FileIdentity& identity) const {
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(Handle(handle_), &info)) {
        return LastError();
    }
    identity = {info.dwVolumeSerialNumber,
                (static_cast<uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
    return {};
}

Status File::Inspect(FileInfo& info) const {
    info = {};
    return DescribeHandle(Handle(handle_), info);
}

Status File::RemoveName(const std::string& path) {
    // The name is marked for removal through a second handle, opened for
    // that alone, while this one still holds the lock; asking for DELETE
    // access on the first handle would keep every other program from opening
    // the file the whole time.
    const HANDLE remover = CreateFileW(SystemPath(path).c_str(), DELETE, kShareAll, nullptr, OPEN_EXISTING,
                                       FILE_ATTRIBUTE_NORMAL, nullptr);
    bool marked = false;
    if (remover != INVALID_HANDLE_VALUE) {
        BY_HANDLE_FILE_INFORMATION mine;
        BY_HANDLE_FILE_INFORMATION named;
        // The same file: the index is enough within one folder.
        if (GetFileInformationByHandle(Handle(handle_), &mine) &&
            GetFileInformationByHandle(remover, &named) && mine.nFileIndexHigh == named.nFileIndexHigh &&
            mine.nFileIndexLow == named.nFileIndexLow) {
            FILE_DISPOSITION_INFO dispose = {};
            dispose.DeleteFile = TRUE;
            marked = SetFileInformationByHandle(remover, FileDispositionInfo, &dispose, sizeof dispose);
        }
        CloseHandle(remover);
    }
    Release();
    if (!marked) {
        return Remove(path);
    }
    return {};
}

Status File::Close() {
    if (handle_ == -1) {
        return {};
    }
    const HANDLE h = Handle(handle_);
    handle_ = -1;
    if (!CloseHandle(h)) {
        return LastError();
    }
    return {};
}

FolderScope::~FolderScope() = default;

Status FolderScope::Enter(const std::string&, const std::string&) {
    return {};
}

Status Inspect(const std::string& path, bool follow_links, FileInfo& info) {
    info = {};
    const std::wstring wide = SystemPath(path);
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(wide.c_str(), GetFileExInfoStandard, &data)) {
        const DWORD error = GetLastError();
        // Devices (NUL, CON) have no attributes; a handle shows what they are.
        const HANDLE device = CreateFileW(wide.c_str(), 0, kShareAll, nullptr, OPEN_EXISTING, 0, nullptr);
        if (device != INVALID_HANDLE_VALUE) {
            info.kind = GetFileType(device) == FILE_TYPE_DISK ? FileKind::Regular : FileKind::Special;
            CloseHandle(device);
            return {};
        }
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND || error == ERROR_INVALID_NAME) {
            return {};
        }
        return FromError(error);
    }
    const bool reparse = (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    if (reparse && !follow_links) {
        info.kind = FileKind::Link;
        return {};
    }
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        info.kind = FileKind::Directory;
        return {};
    }
    info.kind = FileKind::Regular;
    info.size = static_cast<int64_t>((static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow);
    // Devices (NUL, CON) and pipes have attributes too; only the handle tells.
    const HANDLE h =
        CreateFileW(wide.c_str(), 0, kShareAll, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
        FileInfo described;
        if (DescribeHandle(h, described).Ok()) {
            info = described;
        }
        CloseHandle(h);
    }
    return {};
}

Status IdentityOf(const std::string& path, FileIdentity& identity) {
    const HANDLE h = CreateFileW(SystemPath(path).c_str(), 0, kShareAll, nullptr, OPEN_EXISTING,
                                 FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        return LastError();
    }
    BY_HANDLE_FILE_INFORMATION info;
    const BOOL ok = GetFileInformationByHandle(h, &info);
    const DWORD error = GetLastError();
    CloseHandle(h);
    if (!ok) {
        return FromError(error);
    }
    identity = {info.dwVolumeSerialNumber,
                (static_cast<uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
    return {};
}

Status RenameReplacing(const std::string& from, const std::string& to) {
    const std::wstring wide_from = SystemPath(from);
    const std::wstring wide_to = SystemPath(to);
    const DWORD attributes = GetFileAttributesW(wide_to.c_str());
    const bool replacing = attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
    bool replaced = false;
    if (replacing) {
        // The file that is replaced keeps its security descriptor, attributes,
        // creation time and short name, which a rename would give up for the
        // new file's. Where the call fails (a file system without it, a new
        // file held open, or after it took the old file away) a plain rename
        // follows.
        replaced = ReplaceFileW(wide_to.c_str(), wide_from.c_str(), nullptr,
                                REPLACEFILE_IGNORE_MERGE_ERRORS | REPLACEFILE_IGNORE_ACL_ERRORS, nullptr, nullptr);
        if (replaced) {
            // ReplaceFile offers no write-through: the new names are flushed
            // through a handle on the file that now bears the name.
            const HANDLE h = CreateFileW(wide_to.c_str(), GENERIC_WRITE, kShareAll, nullptr, OPEN_EXISTING,
                                         FILE_ATTRIBUTE_NORMAL, nullptr);
            if (h != INVALID_HANDLE_VALUE) {
                FlushFileBuffers(h);
                CloseHandle(h);
            }
        }
    }
    if (!replaced &&
        !MoveFileExW(wide_from.c_str(), wide_to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return LastError();
    }
    if (replacing) {
        // Not every ReplaceFile keeps them (Wine's does not), and a rename never does.
        const DWORD kept = attributes & kKeptAttributes;
        const DWORD now = GetFileAttributesW(wide_to.c_str());
        if (now != INVALID_FILE_ATTRIBUTES && (now & kKeptAttributes) != kept) {
            const DWORD wanted = (now & ~kKeptAttributes) | kept;
            SetFileAttributesW(wide_to.c_str(), wanted != 0 ? wanted : FILE_ATTRIBUTE_NORMAL);
        }
    }
    return {};
}

Status RenameExclusive(const std::string& from, const std::string& to) {
    // Without MOVEFILE_REPLACE_EXISTING the move fails when `to` exists.
    if (!MoveFileExW(SystemPath(from).c_str(), SystemPath(to).c_str(), MOVEFILE_WRITE_THROUGH)) {
        return LastError();
    }
    return {};
}

Status Remove(const std::string& path) {
    if (!DeleteFileW(SystemPath(path).c_str())) {
        return LastError();
    }
    return {};
}

Status SyncFolderOf(const std::string& path) {
    (void)path;  // renames are written through (MOVEFILE_WRITE_THROUGH)
    return {};
}

Status ResolveLinks(const std::string& path, std::string& resolved) {
    resolved = path;
    const std::wstring wide = SystemPath(path);
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        return {};
    }
    const HANDLE h =
        CreateFileW(wide.c_str(), 0, kShareAll, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        return LastError();
    }
    const Status status = FinalPathOf(h, resolved);
    CloseHandle(h);
    if (!status.Ok()) {
        resolved = path;
    }
    return status;
}

Status CanonicalPath(const std::string& path, std::string& canonical) {
    const HANDLE h = CreateFileW(SystemPath(path).c_str(), 0, kShareAll, nullptr, OPEN_EXISTING,
                                 FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        return LastError();
    }
    const Status status = FinalPathOf(h, canonical);
    CloseHandle(h);
    return status;
}

Status ListFolder(const std::string& path, std::vector<FolderEntry>& entries) {
    entries.clear();
    WIN32_FIND_DATAW found;
    const HANDLE find = FindFirstFileExW(SystemPath(JoinPath(path, "*")).c_str(), FindExInfoBasic, &found,
                                         FindExSearchNameMatch, nullptr, 0);
    if (find == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_NO_MORE_FILES ? Status() : FromError(error);
    }
    Status status;
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") {
            continue;
        }
        FolderEntry entry;
        entry.name = Narrow(name);
        entry.link = (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
        entry.kind =
            (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? FileKind::Directory : FileKind::Regular;
        entries.push_back(std::move(entry));
    } while (FindNextFileW(find, &found));
    const DWORD error = GetLastError();
    if (error != ERROR_NO_MORE_FILES) {
        status = FromError(error);
    }
    FindClose(find);
    return status;
}

Status CreateFolder(const std::string& path) {
    if (!CreateDirectoryW(SystemPath(path).c_str(), nullptr)) {
        return LastError();
    }
    return {};
}

Status CreateFileLink(const std::string& target, const std::string& link) {
    // Without developer mode the flag is refused on older systems; the plain
    // call then needs the right to create links.
    constexpr DWORD kUnprivileged = 0x2;  // SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE
    if (CreateSymbolicLinkW(SystemPath(link).c_str(), SystemPath(target).c_str(), kUnprivileged)) {
        return {};
    }
    if (GetLastError() == ERROR_INVALID_PARAMETER &&
        CreateSymbolicLinkW(SystemPath(link).c_str(), SystemPath(target).c_str(), 0)) {
        return {};
    }
    return LastError();
}

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

std::string JoinPath(const std::string& folder, const std::string& name) {
    if (folder.empty() || IsSeparator(folder.back()) || folder.back() == ':') {
        return folder + name;
    }
    return folder + "\\" + name;
}

std::string AbsolutePath(const std::string& path) {
    const std::wstring wide = Widen(path);
    const DWORD needed = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    if (needed == 0) {
        return path;
    }
    std::wstring full(needed, L'\0');
    const DWORD length = GetFullPathNameW(wide.c_str(), needed, full.data(), nullptr);
    full.resize(length);
    return Narrow(full);
}

bool NamesIgnoreCase() {
    return true;
}

}  // namespace vexel::platform
