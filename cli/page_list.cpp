// Folder expansion and duplicate removal for the PATH arguments.
#include "cli/page_list.h"

#include <algorithm>
#include <filesystem>
#include <set>
#include <system_error>

#include "engine/batch.h"

namespace fs = std::filesystem;

namespace vexel::cli {

namespace {

bool EndsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// Collects the files of `folder` for which `take` gives a path to keep, sorted
// element by element so that the order does not depend on the file system.
template <typename Take>
void ListFolder(const fs::path& folder, bool recursive, Take take, PageList& list) {
    std::vector<fs::path> found;
    std::error_code ec;
    auto consider = [&](const fs::directory_entry& entry) {
        std::error_code typeError;
        if (!entry.is_regular_file(typeError))
            return;
        std::string kept;
        if (take(entry.path(), kept))
            found.emplace_back(kept);
    };
    if (recursive) {
        fs::recursive_directory_iterator it(folder, fs::directory_options::skip_permission_denied, ec);
        for (; !ec && it != fs::recursive_directory_iterator(); it.increment(ec))
            consider(*it);
    } else {
        fs::directory_iterator it(folder, fs::directory_options::skip_permission_denied, ec);
        for (; !ec && it != fs::directory_iterator(); it.increment(ec))
            consider(*it);
    }
    if (ec)
        list.errors.push_back(folder.string() + ": cannot list the folder: " + ec.message());
    std::sort(found.begin(), found.end());
    for (const fs::path& p : found)
        list.paths.push_back(p.string());
}

void DropDuplicates(PageList& list) {
    std::set<std::string> seen;
    std::vector<std::string> unique;
    for (std::string& path : list.paths)
        if (seen.insert(PathKey(path)).second)
            unique.push_back(std::move(path));
    list.paths = std::move(unique);
}

template <typename Take>
PageList Collect(const std::vector<std::string>& args, bool recursive, Take take) {
    PageList list;
    for (const std::string& arg : args) {
        std::error_code ec;
        if (fs::is_directory(arg, ec))
            ListFolder(fs::path(arg), recursive, take, list);
        else
            list.paths.push_back(arg);
    }
    DropDuplicates(list);
    return list;
}

}  // namespace

std::string PathKey(const std::string& path) {
    std::error_code ec;
    fs::path full = fs::weakly_canonical(fs::absolute(path, ec), ec);
    if (ec)
        full = fs::path(path).lexically_normal();
    std::string key = full.generic_string();
#ifdef _WIN32
    // Windows file names ignore letter case.
    std::transform(key.begin(), key.end(), key.begin(),
                   [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; });
#endif
    return key;
}

PageList CollectPages(const std::vector<std::string>& args, bool recursive) {
    return Collect(args, recursive, [](const fs::path& file, std::string& kept) {
        kept = file.string();
        return HasPageExtension(kept);
    });
}

PageList CollectBackedUpPages(const std::vector<std::string>& args, bool recursive) {
    const std::string suffix = kBackupSuffix;
    return Collect(args, recursive, [&suffix](const fs::path& file, std::string& kept) {
        const std::string name = file.string();
        if (!EndsWith(name, suffix))
            return false;
        kept = name.substr(0, name.size() - suffix.size());
        return HasPageExtension(kept);
    });
}

}  // namespace vexel::cli
