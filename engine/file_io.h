// File access of the engine: whole-file reads, a write that replaces a file
// only once the new content is complete, the backup copy. Failures throw
// IoError with a message that names the file and the reason.
#pragma once

#include <string>

namespace vexel {

// Reads a whole file. `writable`: open it with read and write access, as the
// job opens a page it will rewrite, so that a read-only page fails here,
// before anything is done to it.
std::string ReadWholeFile(const std::string& path, bool writable = false);

// Writes `data` to a temporary file beside `path` and then puts it in the
// place of `path`: a failure part-way leaves `path` as it was.
void WriteFileReplacing(const std::string& path, const std::string& data);

// Copies `from` to `to`, replacing `to` when it exists.
void CopyFileReplacing(const std::string& from, const std::string& to);

bool FileExists(const std::string& path);

// Removes a file; false (and no exception) when it could not be removed.
bool RemoveFileQuietly(const std::string& path);

}  // namespace vexel
