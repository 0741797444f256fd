// Reads a compressed page back: the data string of a classic (JavaScript or
// VBScript) page, or the data of a modern one, for `vexel decode`, `expand`
// and `verify`.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "engine/page_format.h"

namespace vexel {

struct PageData {
    // JavaScript or VBScript.
    PageFormat format = PageFormat::JavaScript;
    // The data string as the encoder left it: the JavaScript page's doubled
    // backslashes and both pages' breaks after a "<" are undone.
    std::string data;
    // Where the script the writer put after the head begins: the head and its
    // line end stand before it.
    std::size_t scriptStart = 0;
    // The data line as it stands holds "</script", "<script" or "<!--": a
    // browser ends or escapes the script there (a page written before the
    // writers guarded against it).
    bool breaksInBrowser = false;
};

// The data string of a page written by either classic writer, or nothing when
// the page is not one (no decoder script, or a data line the writers cannot
// have made). Line ends may have been changed since the page was written.
std::optional<PageData> FindPageData(const std::string& page);

// The head the writer put before its script, without the line end it added.
std::string PageHead(const std::string& page, const PageData& found);

}  // namespace vexel
