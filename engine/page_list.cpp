#include "engine/page_list.h"

#include <algorithm>
#include <set>
#include <utility>

#include "engine/page_names.h"
#include "engine/errors.h"
#include "engine/file_io.h"
#include "platform/file_system.h"

namespace vexel {

namespace {

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
    PageList unique;
    for (std::size_t i = 0; i < list.paths.size(); ++i) {
        if (seen.insert(SameFileKey(list.paths[i])).second) {
            unique.paths.push_back(std::move(list.paths[i]));
            unique.folders.push_back(std::move(list.folders[i]));
        }
    }
    list.paths = std::move(unique.paths);
    list.folders = std::move(unique.folders);
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
            list.folders.emplace_back();
            continue;
        }
        std::vector<Found> found;
        std::vector<std::string> names;
        ListFolder(arg, names, recursive, take, found, list);
        std::sort(found.begin(), found.end(),
                  [](const Found& a, const Found& b) { return a.names < b.names; });
        for (Found& file : found) {
            list.paths.push_back(std::move(file.path));
            list.folders.push_back(arg);
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

PageList CollectBackedUpPages(const std::vector<std::string>& args, bool recursive, bool with_lost_pages) {
    PageList pages = CollectPages(args, recursive);
    PageList list;
    list.errors = std::move(pages.errors);
    for (std::size_t i = 0; i < pages.paths.size(); ++i) {
        // A page in a folder without a backup was never compressed (or was
        // restored): nothing to do. One that was named is reported.
        bool backed_up = pages.folders[i].empty();
        if (!backed_up) {
            try {
                backed_up = HasBackup(pages.paths[i]);
            } catch (const IoError&) {
                backed_up = true;  // let the command say what is wrong with it
            }
        }
        if (backed_up) {
            list.paths.push_back(std::move(pages.paths[i]));
            list.folders.push_back(std::move(pages.folders[i]));
        }
    }
    if (with_lost_pages) {
        // Backups whose page is gone, in order after the pages of the list.
        const PageList lost = Collect(args, recursive, [](const std::string& file, std::string& kept) {
            kept = PageOfBackup(file);
            return !kept.empty() && !FileExists(kept);
        });
        for (std::size_t i = 0; i < lost.paths.size(); ++i) {
            if (!lost.folders[i].empty()) {
                list.paths.push_back(lost.paths[i]);
                list.folders.push_back(lost.folders[i]);
            }
        }
    }
    return list;
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
