// Puts a compressed page back from the backup the batch made of it.
#pragma once

#include <string>

namespace vexel {

struct RestoreResult {
    // The page holds its original again, but something was left undone (the
    // backup could not be removed, the folder not flushed): what, naming the
    // file. Empty when all went well.
    std::string warning;
};

// The backup of `page` replaces it and is removed; a link to a page restores
// the page it points to and stays a link. Throws IoError naming the file and
// the reason when the page could not be put back (also when it has no backup).
RestoreResult RestorePage(const std::string& page);

// True when `page` (links followed) has a backup that RestorePage can use.
bool HasBackup(const std::string& page);

}  // namespace vexel
