// Turns the PATH arguments of a command into the ordered list of files it works
// on: folders give their pages sorted by name, the same file named twice is
// kept once. compress, restore and verify share the list, and the rule by
// which a link in it is followed.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace vexel {

struct PageList {
    std::vector<std::string> paths;
    // For each path, the folder argument it was found in; empty for a path
    // named on the command line.
    std::vector<std::string> folders;
    // Folders that could not be listed, each naming that folder and the reason.
    std::vector<std::string> errors;
};

// For compress: a folder gives its .htm/.html files and links to files (and,
// with `recursive`, those of its sub-folders, not following links to
// folders); any other argument is taken as given, existing or not, so the
// batch reports it like any other page.
PageList CollectPages(const std::vector<std::string>& args, bool recursive);

// For restore and verify: the list of CollectPages, where a folder gives only
// the pages that have a backup, and also (`with_lost_pages`) the pages whose
// backup is there but the page is gone.
PageList CollectBackedUpPages(const std::vector<std::string>& args, bool recursive, bool with_lost_pages = true);

// Names separated by NUL bytes, as `find -print0` writes them, the last one
// with or without its NUL. An empty name cannot be a file: it is left out,
// and its place (1-based) is listed in `emptyAt`.
struct NameList {
    std::vector<std::string> names;
    std::vector<std::size_t> emptyAt;
};
NameList SplitNulSeparatedNames(const std::string& data);

}  // namespace vexel
