// `vexel restore`: the backup replaces the page.
#include "cli/restore.h"

#include <filesystem>
#include <system_error>

#include "engine/batch.h"
#include "engine/errors.h"

namespace fs = std::filesystem;

namespace vexel::cli {

void RestorePage(const std::string& page) {
    const std::string backup = page + kBackupSuffix;
    std::error_code ec;
    if (!fs::is_regular_file(backup, ec))
        throw IoError("\"" + page + "\" has no backup to restore (no \"" + backup + "\")");
    fs::rename(backup, page, ec);
    if (!ec)
        return;
    // Some systems will not rename over an existing file: copy, then remove.
    std::error_code copyError;
    fs::copy_file(backup, page, fs::copy_options::overwrite_existing, copyError);
    if (copyError)
        throw IoError("Cannot restore \"" + page + "\" from \"" + backup + "\": " + copyError.message());
    if (!fs::remove(backup, ec) || ec)
        throw IoError("Restored \"" + page + "\", but cannot remove \"" + backup + "\": " +
                      (ec ? ec.message() : std::string("not found")));
}

}  // namespace vexel::cli
