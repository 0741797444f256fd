// The file operations of the system that the engine needs, behind one small
// interface: open, read, write, flush, exclusive naming, locks, listing.
//
// Paths are UTF-8 throughout the program. The Windows side converts them to
// UTF-16 at each call and uses the wide functions (with the \\?\ prefix for
// long paths), so a name in any script works whatever the code page.
//
// This is a library of its own that the engine links, chosen at build time
// (file_system_posix.cpp or file_system_win32.cpp), rather than an interface
// handed to the engine at run time: there is one implementation per system,
// and the fault-injection tests work below it, in the C library, so nothing
// needs to swap it. This header names no type of the system, which keeps
// engine/ free of OS headers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace vexel::platform {

// What became of a call: nothing to report, or the reason the system gave
// ("No space left on device") with its kind where a caller acts on it.
class Status {
public:
    enum class Kind { Ok, NotFound, Exists, Other };

    Status() = default;
    static Status Failed(Kind kind, std::string reason) { return Status(kind, std::move(reason)); }

    bool Ok() const { return kind_ == Kind::Ok; }
    Kind Error() const { return kind_; }
    const std::string& Reason() const { return reason_; }

private:
    Status(Kind kind, std::string reason) : kind_(kind), reason_(std::move(reason)) {}

    Kind kind_ = Kind::Ok;
    std::string reason_;
};

// Tells two names of one file apart from two files (links, "a/../a.htm").
struct FileIdentity {
    uint64_t volume = 0;
    uint64_t file = 0;

    bool operator==(const FileIdentity& other) const { return volume == other.volume && file == other.file; }
    bool operator!=(const FileIdentity& other) const { return !(*this == other); }
    bool operator<(const FileIdentity& other) const {
        return volume != other.volume ? volume < other.volume : file < other.file;
    }
};

enum class FileKind {
    Missing,
    Regular,
    Directory,
    Link,     // only when links are not followed
    Special,  // device, FIFO, socket: written through, never replaced
};

struct FileInfo {
    FileKind kind = FileKind::Missing;
    int64_t size = 0;
    // Filled for a file that is there: which file it is, when its content
    // last changed (nanoseconds, of the system's own epoch) and how many
    // names it has. Together with `size` they tell whether a file is still
    // the one that was read.
    FileIdentity identity;
    int64_t modified = 0;
    uint64_t links = 0;
    // A FIFO or a socket (a pipe on Windows): what may be read to its end
    // where a pipe is allowed. Other special files are devices.
    bool pipe = false;
};

enum class OpenMode {
    Read,
    ReadWrite,      // a page that is to be rewritten: a read-only one fails here (no
                    // write permission bit; the read-only attribute on Windows),
                    // whoever runs the program
    WriteExisting,  // a regular file, emptied; anything else fails at once, never waits
};

// An open file, closed when the object goes. Move-only.
class File {
public:
    File() = default;
    ~File();
    File(File&& other) noexcept;
    File& operator=(File&& other) noexcept;
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    // Read and ReadWrite never wait: a FIFO or a device is opened without
    // blocking (the caller asks Inspect what it got and refuses what it does
    // not read); reading one then waits in steps that a stop signal ends.
    Status Open(const std::string& path, OpenMode mode);
    // Creates a file that must not exist yet (Kind::Exists when it does).
    Status CreateNew(const std::string& path);

    // Reads up to `size` bytes; `got` is 0 at the end of the file.
    Status Read(char* buffer, std::size_t size, std::size_t& got);
    // Writes all of `size` bytes.
    Status Write(const char* data, std::size_t size);
    // Puts what was written on the disk (fsync, FlushFileBuffers).
    Status Sync();
    // Gives the file the permission bits of `path`; on Windows its hidden,
    // system, archive and not-indexed attributes (never read-only).
    Status CopyPermissionsFrom(const std::string& path);
    // An exclusive lock that other processes can test, held until Close and
    // given up by the system when the process dies. `locked` is false when
    // another open file holds it. Reading and writing are not affected.
    Status TryLock(bool& locked);
    Status Identity(FileIdentity& identity) const;
    // What the open file is (the file itself, never a name's link).
    Status Inspect(FileInfo& info) const;
    // Removes the name `path`, which must name this file, while the file and
    // its lock are still held.
    Status RemoveName(const std::string& path);
    Status Close();

    bool IsOpen() const;

private:
    void Release();

    intptr_t handle_ = -1;
};

// While it lasts, on the thread that made it, every call on a name directly
// inside `folder` reaches it through a handle on that folder, opened once
// from `root` down, each folder below `root` as a folder and never through a
// link: a folder swapped for a link meanwhile cannot lead a write elsewhere.
// Paths in other folders work as always. One scope per thread. (POSIX; on
// Windows nothing is held.)
class FolderScope {
public:
    FolderScope() = default;
    ~FolderScope();
    FolderScope(const FolderScope&) = delete;
    FolderScope& operator=(const FolderScope&) = delete;

    // `folder` must be `root` or lie below it by name; a folder on the way
    // that is a link now fails with the reason. Nothing for an empty root.
    Status Enter(const std::string& root, const std::string& folder);

private:
    intptr_t fd_ = -1;
};

// Kind and size of what `path` names; a missing file is no error.
// `follow_links`: describe the file a link points to instead of the link.
Status Inspect(const std::string& path, bool follow_links, FileInfo& info);
Status IdentityOf(const std::string& path, FileIdentity& identity);

// The path of `path` with every link on the way followed and "." and ".."
// resolved: two paths of one place give one text. The file must exist.
Status CanonicalPath(const std::string& path, std::string& canonical);

// Gives `from` the name `to` in one step, replacing a file of that name; the
// new name is on the disk when the call returns on Windows (write-through).
Status RenameReplacing(const std::string& from, const std::string& to);
// Gives `from` the name `to` only if no file has that name at that moment
// (Kind::Exists otherwise). `from` keeps no name of its own afterwards.
Status RenameExclusive(const std::string& from, const std::string& to);
Status Remove(const std::string& path);
// Puts the names in the folder of `path` on the disk (fsync of the folder; on
// Windows the renames are written through already, so nothing).
Status SyncFolderOf(const std::string& path);

// The path of the file that `path` names once links in its last part are
// followed (a link to a page gives the page); other paths come back as given.
Status ResolveLinks(const std::string& path, std::string& resolved);

struct FolderEntry {
    std::string name;
    FileKind kind = FileKind::Missing;  // of the file a link points to
    bool link = false;
};

// The entries of a folder but "." and "..", in no particular order.
Status ListFolder(const std::string& path, std::vector<FolderEntry>& entries);

// Creates the folder `path` (its parent must exist); Kind::Exists when
// anything already has that name.
Status CreateFolder(const std::string& path);
// Creates `link`, a symbolic link that points to `target` (on Windows a file
// link, which needs the right to create links or developer mode).
Status CreateFileLink(const std::string& target, const std::string& link);

// `name` inside `folder`, with the system's separator unless `folder` ends in one.
std::string JoinPath(const std::string& folder, const std::string& name);
// True for the separators of the system ('/'; '\\' and '/' on Windows).
bool IsSeparator(char c);
// The absolute form of `path` with "." and ".." resolved by name only.
std::string AbsolutePath(const std::string& path);
// Windows compares names regardless of letter case.
bool NamesIgnoreCase();

}  // namespace vexel::platform
