#include "engine/page_list.h"

#include <algorithm>
#include <set>
#include <utility>

#include "engine/backup.h"
#include "engine/batch.h"
#include "engine/file_io.h"
#include "platform/file_system.h"

namespace vexel {

namespace {

bool EndsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// A file found in a folder: its path and, for sorting, the names that lead to
// it from the folder given, so that "a/b.htm" sorts before "a-c.htm" as
// "a" sorts before "a-c".
struct Found {
    std::vector<std::string> names;
    std::string path;
};

// Collects the files under `folder` for which `take` gives a path to keep.
// Every folder that cannot be listed is named in the errors; the others are
// still listed.
template <typename Take>
void ListFolder(const std::string& folder,
                std::vector<std::string>& names,
                bool recursive,
                Take& take,
                std::vector<Found>& found,
                PageList& list) {
    std::vector<platform::FolderEntry> entries;
    const platform::Status status = platform::ListFolder(folder, entries);
    if (!status.Ok()) {
        list.errors.push_back(folder + ": cannot list the folder: " + status.Reason());
    }
    for (const platform::FolderEntry& entry : entries) {
        const std::string path = platform::JoinPath(folder, entry.name);
        names.push_back(entry.name);
        if (entry.kind == platform::FileKind::Regular) {
            std::string kept;
            if (take(path, kept)) {
                found.push_back({names, kept});
            }
        } else if (entry.kind == platform::FileKind::Directory && recursive && !entry.link) {
            ListFolder(path, names, recursive, take, found, list);
        }
        names.pop_back();
    }
}

void DropDuplicates(PageList& list) {
    std::set<std::string> seen;
    std::vector<std::string> unique;
    for (std::string& path : list.paths) {
        if (seen.insert(SameFileKey(path)).second) {
            unique.push_back(std::move(path));
        }
    }
    list.paths = std::move(unique);
}

bool IsFolder(const std::string& path) {
    platform::FileInfo info;
    return platform::Inspect(path, /*follow_links=*/true, info).Ok() &&
           info.kind == platform::FileKind::Directory;
}

template <typename Take>
PageList Collect(const std::vector<std::string>& args, bool recursive, Take take) {
    PageList list;
    for (const std::string& arg : args) {
        if (!IsFolder(arg)) {
            list.paths.push_back(arg);
            continue;
        }
        std::vector<Found> found;
        std::vector<std::string> names;
        ListFolder(arg, names, recursive, take, found, list);
        std::sort(found.begin(), found.end(),
                  [](const Found& a, const Found& b) { return a.names < b.names; });
        for (Found& file : found) {
            list.paths.push_back(std::move(file.path));
        }
    }
    DropDuplicates(list);
    return list;
}

}  // namespace

PageList CollectPages(const std::vector<std::string>& args, bool recursive) {
    return Collect(args, recursive, [](const std::string& file, std::string& kept) {
        kept = file;
        return HasPageExtension(kept);
    });
}

PageList CollectBackedUpPages(const std::vector<std::string>& args, bool recursive) {
    const std::string suffix = kBackupSuffix;
    return Collect(args, recursive, [&suffix](const std::string& file, std::string& kept) {
        if (!EndsWith(file, suffix)) {
            return false;
        }
        kept = file.substr(0, file.size() - suffix.size());
        return HasPageExtension(kept);
    });
}

NameList SplitNulSeparatedNames(const std::string& data) {
    NameList list;
    std::size_t start = 0;
    std::size_t place = 1;
    while (start < data.size()) {
        std::size_t end = data.find('\0', start);
        if (end == std::string::npos) {
            end = data.size();
        }
        if (end == start) {
            list.emptyAt.push_back(place);
        } else {
            list.names.emplace_back(data, start, end - start);
        }
        start = end + 1;
        ++place;
    }
    return list;
}

}  // namespace vexel
