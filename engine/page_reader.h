// Finds the data string in a compressed page, for `vexel decode`.
#pragma once

#include <optional>
#include <string>

namespace vexel::cli {

enum class PageScript { JavaScript, VbScript };

struct PageData {
    PageScript script = PageScript::JavaScript;
    // The data string as the encoder left it: the JavaScript page's doubled
    // backslashes are undone.
    std::string data;
};

// The data string of a page written by either page writer, or nothing when the
// page is not one (no decoder script, or a data line the writers cannot have
// made). Line ends may have been changed since the page was written.
std::optional<PageData> FindPageData(const std::string& page);

}  // namespace vexel::cli
