// Turns the PATH arguments of a command into the ordered list of files it works
// on: folders give their pages sorted by name, duplicates are dropped.
#pragma once

#include <string>
#include <vector>

namespace vexel::cli {

struct PageList {
    std::vector<std::string> paths;
    // Folders that could not be listed, each naming the folder and the reason.
    std::vector<std::string> errors;
};

// For compress: a folder gives its .htm/.html files (and, with `recursive`,
// those of its sub-folders); any other argument is taken as given, existing or
// not, so the batch reports it like any other page.
PageList CollectPages(const std::vector<std::string>& args, bool recursive);

// For restore: a folder gives every page in it that has a backup; any other
// argument is taken as a page.
PageList CollectBackedUpPages(const std::vector<std::string>& args, bool recursive);

// The same file named twice ("a.htm", "./a.htm") gives the same key.
std::string PathKey(const std::string& path);

}  // namespace vexel::cli
