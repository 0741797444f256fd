#include "engine/tree.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <set>
#include <sstream>

#include "engine/errors.h"
#include "engine/file_io.h"
#include "engine/page_names.h"
#include "platform/ascii.h"

namespace vexel {

namespace {

constexpr std::size_t kCopyChunk = std::size_t{1} << 20;
constexpr const char* kManifestHeader = "vexel-tree 1";

[[noreturn]] void Fail(const std::string& what, const std::string& path, const platform::Status& status) {
    throw IoError(what + " " + Quoted(path) + ": " + status.Reason());
}

std::string Join(const std::string& root, const std::string& relative) {
    return relative.empty() ? root : platform::JoinPath(root, relative);
}

// Where `path` is, links followed: its canonical path, or for a path that
// does not exist yet, that of the nearest folder above it that does,
// followed by the rest of the path.
std::string PlaceOf(const std::string& path) {
    std::string place = platform::AbsolutePath(path);
    std::vector<std::string> rest;
    for (;;) {
        std::string canonical;
        if (platform::CanonicalPath(place, canonical).Ok()) {
            for (auto part = rest.rbegin(); part != rest.rend(); ++part) {
                canonical = platform::JoinPath(canonical, *part);
            }
            return canonical;
        }
        std::size_t cut = place.size();
        while (cut > 0 && !platform::IsSeparator(place[cut - 1])) {
            --cut;
        }
        if (cut == 0 || cut == place.size()) {
            return platform::AbsolutePath(path);  // nothing above exists: names alone decide
        }
        rest.push_back(place.substr(cut));
        place.resize(cut);
        // Keep the separator only where it is the root ("/", "C:\").
        if (place.size() > 1 && place[place.size() - 2] != ':') {
            place.pop_back();
        }
    }
}

// `inner` is `outer` or lies inside it.
bool Within(std::string inner, std::string outer) {
    if (platform::NamesIgnoreCase()) {
        inner = LowerAscii(std::move(inner));
        outer = LowerAscii(std::move(outer));
    }
    if (inner.size() < outer.size() || inner.compare(0, outer.size(), outer) != 0) {
        return false;
    }
    return inner.size() == outer.size() || platform::IsSeparator(inner[outer.size()]) ||
           (!outer.empty() && platform::IsSeparator(outer.back()));
}

void AddFile(const std::string& source, const std::string& output, const std::string& relative,
             TreeListing& listing) {
    const std::string path = Join(source, relative);
    if (relative == kTreeManifestName) {
        listing.errors.push_back(Quoted(path) + ": its name is that of the output folder's manifest; left out");
        return;
    }
    TreeFile file;
    file.relative = relative;
    file.source = path;
    file.output = Join(output, relative);
    file.page = HasPageExtension(relative);
    const platform::Status status = platform::Inspect(path, /*follow_links=*/true, file.found);
    if (!status.Ok()) {
        listing.errors.push_back("Cannot read file " + Quoted(path) + ": " + status.Reason());
        return;
    }
    if (file.found.kind == platform::FileKind::Missing) {
        platform::FileInfo name;
        platform::Inspect(path, /*follow_links=*/false, name);
        listing.errors.push_back(name.kind == platform::FileKind::Link
                                     ? Quoted(path) + ": a link that leads nowhere; left out"
                                     : "Cannot open file " + Quoted(path) + ": no such file");
        return;
    }
    if (file.found.kind != platform::FileKind::Regular) {
        listing.errors.push_back(Quoted(path) + ": not a regular file (a FIFO, socket or device); left out");
        return;
    }
    listing.files.push_back(std::move(file));
}

void Walk(const std::string& source, const std::string& output, const std::string& relative,
          TreeListing& listing) {
    const std::string folder = Join(source, relative);
    std::vector<platform::FolderEntry> entries;
    const platform::Status status = platform::ListFolder(folder, entries);
    if (!status.Ok()) {
        listing.errors.push_back("Cannot list folder " + Quoted(folder) + ": " + status.Reason());
        return;
    }
    std::sort(entries.begin(), entries.end(),
              [](const platform::FolderEntry& a, const platform::FolderEntry& b) { return a.name < b.name; });
    for (const platform::FolderEntry& entry : entries) {
        const std::string inner = Join(relative, entry.name);
        if (entry.kind == platform::FileKind::Directory) {
            if (!entry.link) {
                listing.folders.push_back(inner);
                Walk(source, output, inner, listing);
            }
        } else {
            AddFile(source, output, inner, listing);
        }
    }
}

void AddFolderAndParents(const std::string& relative, std::set<std::string>& folders) {
    for (std::size_t i = 0; i <= relative.size(); ++i) {
        if (i == relative.size() || platform::IsSeparator(relative[i])) {
            folders.insert(relative.substr(0, i));
        }
    }
}

std::string EscapeName(const std::string& text) {
    std::string escaped;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte <= 0x20 || byte == '%' || byte == 0x7f) {
            char code[4];
            std::snprintf(code, sizeof code, "%%%02X", byte);
            escaped += code;
        } else {
            escaped += c;
        }
    }
    return escaped;
}

bool UnescapeName(const std::string& text, std::string& name) {
    name.clear();
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            name += text[i];
            continue;
        }
        if (i + 2 >= text.size() || !std::isxdigit(static_cast<unsigned char>(text[i + 1])) ||
            !std::isxdigit(static_cast<unsigned char>(text[i + 2]))) {
            return false;
        }
        name += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
        i += 2;
    }
    return true;
}

// Writes a new temporary file beside `path` with what `fill` writes to it,
// flushes it and renames it over `path`. The temporary file is gone again
// whatever fails.
template <typename Fill>
void ReplaceThroughTemporary(const std::string& path, const std::string& permissionsFrom, Fill fill) {
    std::string temporary;
    platform::File file;
    for (;;) {
        temporary = TemporaryNameBeside(path);
        const platform::Status created = file.CreateNew(temporary);
        if (created.Ok()) {
            break;
        }
        if (created.Error() != platform::Status::Kind::Exists) {
            Fail("Cannot create file", path, created);
        }
    }
    try {
        fill(file);
        platform::Status status = file.Sync();
        if (!status.Ok()) {
            Fail("Cannot write file", path, status);
        }
        if (!permissionsFrom.empty()) {
            file.CopyPermissionsFrom(permissionsFrom);  // best effort: the content matters more
        }
        status = file.Close();
        if (!status.Ok()) {
            Fail("Cannot write file", path, status);
        }
        status = platform::RenameReplacing(temporary, path);
        if (!status.Ok()) {
            Fail("Cannot replace file", path, status);
        }
    } catch (...) {
        file.Close();
        platform::Remove(temporary);
        throw;
    }
    const platform::Status status = platform::SyncFolderOf(path);
    if (!status.Ok()) {
        throw IoError("Wrote file " + Quoted(path) + ", but cannot flush its folder to the disk: " +
                      status.Reason());
    }
}

}  // namespace

std::string TreeFoldersProblem(const std::string& source, const std::string& output) {
    platform::FileInfo info;
    if (!platform::Inspect(source, /*follow_links=*/true, info).Ok() ||
        info.kind != platform::FileKind::Directory) {
        return "the source " + Quoted(source) + " is not a folder";
    }
    const std::string from = PlaceOf(source);
    const std::string to = PlaceOf(output);
    if (Within(to, from) && Within(from, to)) {
        return "the output folder " + Quoted(output) + " is the source folder " + Quoted(source);
    }
    if (Within(to, from)) {
        return "the output folder " + Quoted(output) + " lies inside the source folder " + Quoted(source) +
               ": a second run would take its pages for the source's";
    }
    if (Within(from, to)) {
        return "the source folder " + Quoted(source) + " lies inside the output folder " + Quoted(output) +
               ": the output would be written over its own source";
    }
    return {};
}

bool PathWithin(const std::string& path, const std::string& folder) {
    return Within(PlaceOf(path), PlaceOf(folder));
}

TreeListing ListTree(const std::string& source, const std::string& output) {
    TreeListing listing;
    Walk(source, output, "", listing);
    return listing;
}

TreeListing ListTreeNames(const std::string& source, const std::vector<std::string>& names,
                          const std::string& output) {
    TreeListing listing;
    const std::string root = platform::AbsolutePath(source);
    std::set<std::string> folders;
    std::set<std::string> files;
    for (const std::string& name : names) {
        const std::string path = platform::AbsolutePath(name);
        if (!Within(path, root)) {
            listing.errors.push_back(Quoted(name) + " lies outside the source folder " + Quoted(source) +
                                     "; left out");
            continue;
        }
        std::size_t start = root.size();
        while (start < path.size() && platform::IsSeparator(path[start])) {
            ++start;
        }
        const std::string relative = path.substr(start);
        platform::FileInfo info;
        platform::Inspect(path, /*follow_links=*/true, info);
        if (info.kind == platform::FileKind::Directory) {
            TreeListing inner;
            if (!relative.empty()) {
                AddFolderAndParents(relative, folders);
            }
            Walk(source, output, relative, inner);
            folders.insert(inner.folders.begin(), inner.folders.end());
            for (TreeFile& file : inner.files) {
                if (files.insert(file.relative).second) {
                    listing.files.push_back(std::move(file));
                }
            }
            listing.errors.insert(listing.errors.end(), inner.errors.begin(), inner.errors.end());
            continue;
        }
        if (relative.empty() || !files.insert(relative).second) {
            continue;
        }
        std::size_t cut = relative.size();
        while (cut > 0 && !platform::IsSeparator(relative[cut - 1])) {
            --cut;
        }
        if (cut > 1) {
            AddFolderAndParents(relative.substr(0, cut - 1), folders);
        }
        AddFile(source, output, relative, listing);
    }
    folders.erase("");
    listing.folders.assign(folders.begin(), folders.end());
    std::sort(listing.files.begin(), listing.files.end(),
              [](const TreeFile& a, const TreeFile& b) { return a.relative < b.relative; });
    return listing;
}

void MakeTreeFolders(const std::string& output, const std::vector<std::string>& folders) {
    // The output folder itself, with the folders above it that are missing.
    std::vector<std::string> missing;
    std::string place = output;
    for (;;) {
        platform::FileInfo info;
        if (platform::Inspect(place, /*follow_links=*/true, info).Ok() &&
            info.kind != platform::FileKind::Missing) {
            break;
        }
        missing.push_back(place);
        std::size_t cut = place.size();
        while (cut > 0 && platform::IsSeparator(place[cut - 1])) {
            --cut;
        }
        while (cut > 0 && !platform::IsSeparator(place[cut - 1])) {
            --cut;
        }
        if (cut == 0) {
            break;
        }
        place.resize(cut);
    }
    for (auto folder = missing.rbegin(); folder != missing.rend(); ++folder) {
        const platform::Status status = platform::CreateFolder(*folder);
        if (!status.Ok() && status.Error() != platform::Status::Kind::Exists) {
            Fail("Cannot create folder", *folder, status);
        }
    }
    for (const std::string& relative : folders) {
        const std::string folder = platform::JoinPath(output, relative);
        const platform::Status status = platform::CreateFolder(folder);
        if (status.Ok()) {
            continue;
        }
        // A folder there is fine; a link to one is not: what is written
        // into it would land wherever it leads, the source too.
        platform::FileInfo info;
        platform::Inspect(folder, /*follow_links=*/false, info);
        if (info.kind == platform::FileKind::Link) {
            throw IoError("Cannot write into folder " + Quoted(folder) +
                          ": it is a link in the output folder, which the output is never written through");
        }
        if (info.kind != platform::FileKind::Directory) {
            Fail("Cannot create folder", folder, status);
        }
    }
}

namespace {

// A name TemporaryNameBeside gives: ".vexel-", hex digits, '-', hex digits, ".tmp".
bool IsTemporaryName(const std::string& name) {
    const std::size_t mark = name.rfind(".vexel-");
    constexpr std::size_t kMark = 7;
    if (mark == std::string::npos || name.size() < mark + kMark + 4 || name.compare(name.size() - 4, 4, ".tmp") != 0) {
        return false;
    }
    const std::string middle = name.substr(mark + kMark, name.size() - 4 - mark - kMark);
    const std::size_t dash = middle.find('-');
    if (dash == std::string::npos || dash == 0 || dash + 1 == middle.size()) {
        return false;
    }
    for (std::size_t i = 0; i < middle.size(); ++i) {
        if (i != dash && !std::isxdigit(static_cast<unsigned char>(middle[i]))) {
            return false;
        }
    }
    return true;
}

}  // namespace

int RemoveTreeTemporaries(const std::string& output, const std::vector<std::string>& folders) {
    int removed = 0;
    std::vector<std::string> places = {output};
    for (const std::string& relative : folders) {
        places.push_back(platform::JoinPath(output, relative));
    }
    for (const std::string& place : places) {
        std::vector<platform::FolderEntry> entries;
        if (!platform::ListFolder(place, entries).Ok()) {
            continue;
        }
        for (const platform::FolderEntry& entry : entries) {
            if (!entry.link && entry.kind == platform::FileKind::Regular && IsTemporaryName(entry.name) &&
                platform::Remove(platform::JoinPath(place, entry.name)).Ok()) {
                ++removed;
            }
        }
    }
    return removed;
}

void WriteTreeFile(const std::string& path, const std::string& data, const std::string& permissionsFrom) {
    ReplaceThroughTemporary(path, permissionsFrom, [&](platform::File& file) {
        const platform::Status status = file.Write(data.data(), data.size());
        if (!status.Ok()) {
            Fail("Cannot write file", path, status);
        }
    });
}

void CopyTreeFile(const TreeFile& tree) {
    platform::File source;
    platform::Status status = source.Open(tree.source, platform::OpenMode::Read);
    if (!status.Ok()) {
        Fail("Cannot open file", tree.source, status);
    }
    // Copied in steps: other files (pictures, films) may be larger than any page.
    ReplaceThroughTemporary(tree.output, tree.source, [&](platform::File& file) {
        std::string buffer(kCopyChunk, '\0');
        for (;;) {
            std::size_t got = 0;
            platform::Status step = source.Read(buffer.data(), buffer.size(), got);
            if (!step.Ok()) {
                Fail("Cannot read file", tree.source, step);
            }
            if (got == 0) {
                return;
            }
            step = file.Write(buffer.data(), got);
            if (!step.Ok()) {
                Fail("Cannot write file", tree.output, step);
            }
        }
    });
}

void LinkTreeFile(const TreeFile& tree) {
    const std::string target = platform::AbsolutePath(tree.source);
    std::string temporary;
    for (;;) {
        temporary = TemporaryNameBeside(tree.output);
        const platform::Status made = platform::CreateFileLink(target, temporary);
        if (made.Ok()) {
            break;
        }
        if (made.Error() != platform::Status::Kind::Exists) {
            Fail("Cannot create link", tree.output, made);
        }
    }
    const platform::Status status = platform::RenameReplacing(temporary, tree.output);
    if (!status.Ok()) {
        platform::Remove(temporary);
        Fail("Cannot replace file", tree.output, status);
    }
}

void TreeManifest::Load(const std::string& output, const std::string& settings) {
    path_ = platform::JoinPath(output, kTreeManifestName);
    settings_ = settings;
    entries_.clear();
    if (!FileExists(path_)) {
        return;
    }
    std::string text;
    try {
        text = ReadWholeFile(path_);
    } catch (const IoError&) {
        return;  // all is written again, and the manifest with it
    }
    std::istringstream lines(text);
    std::string line;
    if (!std::getline(lines, line) || line != kManifestHeader || !std::getline(lines, line) ||
        line != "settings " + EscapeName(settings)) {
        return;
    }
    std::map<std::string, Entry> entries;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        Entry entry;
        std::string escaped;
        std::string name;
        if (!(fields >> entry.sourceSize >> entry.sourceTime >> entry.outputSize >> entry.outputTime >> escaped) ||
            !UnescapeName(escaped, name)) {
            return;
        }
        entries[name] = entry;
    }
    entries_ = std::move(entries);
}

bool TreeManifest::UpToDate(const TreeFile& file) const {
    const auto found = entries_.find(file.relative);
    if (found == entries_.end()) {
        return false;
    }
    const Entry& entry = found->second;
    platform::FileInfo output;
    if (!platform::Inspect(file.output, /*follow_links=*/false, output).Ok() ||
        (output.kind != platform::FileKind::Regular && output.kind != platform::FileKind::Link)) {
        return false;
    }
    return entry.sourceSize == file.found.size && entry.sourceTime == file.found.modified &&
           entry.outputSize == output.size && entry.outputTime == output.modified;
}

void TreeManifest::Record(const TreeFile& file) {
    platform::FileInfo output;
    if (!platform::Inspect(file.output, /*follow_links=*/false, output).Ok() ||
        output.kind == platform::FileKind::Missing) {
        entries_.erase(file.relative);
        return;
    }
    entries_[file.relative] = Entry{file.found.size, file.found.modified, output.size, output.modified};
}

void TreeManifest::Forget(const TreeFile& file) {
    entries_.erase(file.relative);
}

void TreeManifest::Save(const std::vector<TreeFile>& keep, bool keepOthers) const {
    std::set<std::string> kept;
    for (const TreeFile& file : keep) {
        kept.insert(file.relative);
    }
    std::string text = std::string(kManifestHeader) + "\nsettings " + EscapeName(settings_) + "\n";
    for (const auto& [relative, e] : entries_) {
        if (keepOthers || kept.count(relative) != 0) {
            text += std::to_string(e.sourceSize) + ' ' + std::to_string(e.sourceTime) + ' ' +
                    std::to_string(e.outputSize) + ' ' + std::to_string(e.outputTime) + ' ' +
                    EscapeName(relative) + '\n';
        }
    }
    WriteTreeFile(path_, text, {});
}

}  // namespace vexel
