#include "engine/page_names.h"

#include "engine/errors.h"
#include "engine/file_io.h"
#include "platform/ascii.h"
#include "platform/file_system.h"

namespace vexel {

namespace {

std::string Canonical(const std::string& path, const std::string& link) {
    std::string canonical;
    const platform::Status status = platform::CanonicalPath(path, canonical);
    if (!status.Ok()) {
        throw IoError("Cannot follow the link " + Quoted(link) + ": " + status.Reason());
    }
    if (platform::NamesIgnoreCase()) {
        canonical = LowerAscii(std::move(canonical));
    }
    return canonical;
}

bool Inside(const std::string& file, const std::string& folder) {
    if (file.size() <= folder.size() || file.compare(0, folder.size(), folder) != 0) {
        return false;
    }
    return platform::IsSeparator(folder.back()) || platform::IsSeparator(file[folder.size()]);
}

}  // namespace

bool HasPageExtension(const std::string& path) {
    const std::size_t name_start = path.find_last_of("/\\");
    const std::size_t dot = path.rfind('.');
    if (dot == std::string::npos || (name_start != std::string::npos && dot < name_start)) {
        return false;
    }
    const std::string extension = UpperAscii(path.substr(dot));
    return extension == ".HTM" || extension == ".HTML";
}

std::string PageOfBackup(const std::string& path) {
    const std::size_t suffix = sizeof kBackupSuffix - 1;
    if (path.size() <= suffix || path.compare(path.size() - suffix, suffix, kBackupSuffix) != 0) {
        return {};
    }
    std::string page = path.substr(0, path.size() - suffix);
    return HasPageExtension(page) ? page : std::string();
}

std::string FollowPageLink(const std::string& path, const LinkRule& rule) {
    const std::string file = ResolveFileLinks(path);
    if (file == path) {
        return file;
    }
    if (!HasPageExtension(file)) {
        throw IoError("Cannot follow the link " + Quoted(path) + ": it leads to " + Quoted(file) +
                      ", which is not a page (.htm, .html); the file is left as it is");
    }
    if (!rule.Folder.empty() && !rule.Anywhere &&
        !Inside(Canonical(file, path), Canonical(rule.Folder, path))) {
        throw IoError("Cannot follow the link " + Quoted(path) + ": it leads to " + Quoted(file) +
                      ", outside the folder " + Quoted(rule.Folder) +
                      "; the page is left as it is (--follow-links-anywhere follows it)");
    }
    return file;
}

bool HasBackup(const std::string& page) {
    return IsRegularFile(ResolveFileLinks(page) + kBackupSuffix);
}

}  // namespace vexel
