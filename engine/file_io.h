// File access of the engine: whole-file reads that fail on any read error, a
// durable write that replaces a file only once the new content is on the disk,
// and the questions the batch asks of a path. Failures throw IoError with a
// message that names the file and the reason the system gave. Paths are UTF-8.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "engine/errors.h"
#include "engine/size_limit.h"
#include "platform/file_system.h"

namespace vexel {

// The file was replaced, edited or removed since it was read: the message
// names it and says "changed during the run".
class FileChangedError : public IoError {
public:
    using IoError::IoError;
};

// Reads a whole regular file (links followed); a read error part-way is an
// error, never a short text. A FIFO, a device or a folder is refused without
// waiting on it, and so is a file larger than kPageSizeLimit. `writable`:
// open it with read and write access, as the job opens a page it will
// rewrite, so that a read-only page fails here, before anything is done to
// it. `read_as`, when given, receives what the file was when it was read
// (identity, size, last change) for FileChangedSince.
std::string ReadWholeFile(const std::string& path, bool writable = false, platform::FileInfo* read_as = nullptr);

// Reads a file that may also be a pipe (a password given as "<(...)", a list
// from a FIFO) to its end; waiting for its writer or its data ends at a stop
// signal. A device is refused. The same size limit.
std::string ReadFileOrPipe(const std::string& path);

// Reads an open file from where it stands to its end; `expected` is the size
// it should have, so that the text is allocated once. Throws IoError naming
// `path` on a read error or beyond kPageSizeLimit.
std::string ReadToEnd(platform::File& file, const std::string& path, std::size_t expected);

// Throws FileChangedError naming `shown` when `file` (links followed) is no
// longer the file described by `read_as`: another one, another size, another
// time of change, or gone.
void CheckUnchanged(const std::string& file, const std::string& shown, const platform::FileInfo& read_as);

// Puts `data` in the place of `path`: written to a temporary file beside it,
// flushed to the disk, given the old file's permissions, renamed over it, and
// the folder flushed. A failure part-way leaves `path` as it was and no
// temporary file. A link is followed and stays a link; a device or FIFO is
// refused (IoError naming it), never waited on nor replaced. With
// `unchanged`, the file is replaced only if it is still the one read then
// (CheckUnchanged, right before the rename); else FileChangedError.
void WriteFileReplacing(const std::string& path,
                        const std::string& data,
                        const platform::FileInfo* unchanged = nullptr);

// A name beside `path` for a temporary file; never the name of an existing one
// for long, since the caller creates it exclusively.
std::string TemporaryNameBeside(const std::string& path);

// A file written from its start as text comes (the log file): created, or
// emptied when it exists; a link is written through, a device or a FIFO
// refused.
class OutputFile {
public:
    OutputFile();
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    void Create(const std::string& path);
    void Write(const char* data, std::size_t size);
    void Close();

private:
    struct State;
    std::unique_ptr<State> state_;
};

// Size in bytes of a regular file (links followed); 0 when it has none.
int64_t FileSize(const std::string& path);

// Anything at all stands under this name (a broken link too).
bool FileExists(const std::string& path);
bool IsRegularFile(const std::string& path);

// Removes a file; false (and no exception) when it could not be removed.
bool RemoveFileQuietly(const std::string& path);

// The file a path reaches once links in its last part are followed: a link to
// a page gives the page, whose backup then stands beside it.
std::string ResolveFileLinks(const std::string& path);

// Equal for two names of one file ("a.htm", "./a.htm", a link to it); for a
// missing file, its absolute path.
std::string SameFileKey(const std::string& path);

}  // namespace vexel
