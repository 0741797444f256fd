// Puts a compressed page back from the backup the batch made of it.
#pragma once

#include <string>

namespace vexel::cli {

// The backup of `page` replaces it and is removed. Throws IoError naming the
// file and the reason, also when the page has no backup.
void RestorePage(const std::string& page);

}  // namespace vexel::cli
