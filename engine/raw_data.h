// The raw data commands: a bare data string (as the encoder writes it, its
// literals kept as read) expanded from a file, and a text saved to one.
#pragma once

#include <string>

namespace vexel {

// Expands the data string in the file at `path` into `text` (emptied first).
// Throws IoError when the file cannot be read, DataError naming the file on
// corrupt data, with what was expanded up to the fault left in `text`.
void OpenRawData(const std::string& path, std::string& text);

// Writes `text` to `path` unchanged. Throws IoError.
void SaveRawData(const std::string& path, const std::string& text);

}  // namespace vexel
