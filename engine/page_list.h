// Turns the PATH arguments of a command into the ordered list of files it works
// on: folders give their pages sorted by name, the same file named twice is
// kept once.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace vexel {

struct PageList {
    std::vector<std::string> paths;
    // Folders that could not be listed, each naming that folder and the reason.
    std::vector<std::string> errors;
};

// For compress: a folder gives its .htm/.html files (and, with `recursive`,
// those of its sub-folders, not following links to folders); any other
// argument is taken as given, existing or not, so the batch reports it like
// any other page.
PageList CollectPages(const std::vector<std::string>& args, bool recursive);

// For restore: a folder gives every page in it that has a backup; any other
// argument is taken as a page.
PageList CollectBackedUpPages(const std::vector<std::string>& args, bool recursive);

// Names separated by NUL bytes, as `find -print0` writes them, the last one
// with or without its NUL. An empty name cannot be a file: it is left out,
// and its place (1-based) is listed in `emptyAt`.
struct NameList {
    std::vector<std::string> names;
    std::vector<std::size_t> emptyAt;
};
NameList SplitNulSeparatedNames(const std::string& data);

}  // namespace vexel
