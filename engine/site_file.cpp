#include "engine/site_file.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "engine/deflate.h"
#include "engine/errors.h"
#include "engine/file_io.h"
#include "engine/loader_script.h"
#include "engine/lzma.h"
#include "platform/ascii.h"
#include "platform/file_system.h"

namespace vexel {

namespace {

constexpr char kNamePrefix[] = "vexel-site-";
constexpr char kNameSuffix[] = ".js";
constexpr std::size_t kHashDigits = 16;
constexpr char kHeaderStart[] = "/*Html Vexel site file, generation ";
constexpr char kHeaderEnd[] =
    ": the decoder of the compressed pages in this folder and below it, and the dictionary they were "
    "compressed with. The pages name this file by its content: keep it as it is while they do.*/\n";
// A dictionary is at most some hundred kilobytes; a file that says more is
// not one of ours.
constexpr std::size_t kLargestDictionary = std::size_t{16} << 20;

std::string HexName(uint64_t hash) {
    char digits[kHashDigits + 1];
    std::snprintf(digits, sizeof digits, "%016llx", static_cast<unsigned long long>(hash));
    return kNamePrefix + std::string(digits) + kNameSuffix;
}

std::string FolderOf(const std::string& path) {
    std::size_t end = path.size();
    while (end > 0 && !platform::IsSeparator(path[end - 1])) {
        --end;
    }
    return path.substr(0, end);
}

std::string Canonical(const std::string& path) {
    std::string canonical;
    const platform::Status status = platform::CanonicalPath(path, canonical);
    if (!status.Ok()) {
        throw IoError("Cannot find \"" + path + "\": " + status.Reason());
    }
    return canonical;
}

constexpr char kBase64[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

// Base64 with padding, as a data: address carries bytes.
std::string Base64(std::string_view bytes) {
    std::string text;
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        uint32_t group = static_cast<uint32_t>(static_cast<unsigned char>(bytes[i])) << 16;
        if (i + 1 < bytes.size()) {
            group |= static_cast<uint32_t>(static_cast<unsigned char>(bytes[i + 1])) << 8;
        }
        if (i + 2 < bytes.size()) {
            group |= static_cast<unsigned char>(bytes[i + 2]);
        }
        text += kBase64[group >> 18];
        text += kBase64[(group >> 12) & 63];
        text += i + 1 < bytes.size() ? kBase64[(group >> 6) & 63] : '=';
        text += i + 2 < bytes.size() ? kBase64[group & 63] : '=';
    }
    return text;
}

// The bytes back; nothing for text Base64 does not write.
std::optional<std::string> FromBase64(std::string_view text) {
    if (text.size() % 4 != 0) {
        return std::nullopt;
    }
    std::string bytes;
    for (std::size_t i = 0; i < text.size(); i += 4) {
        uint32_t group = 0;
        int padding = 0;
        for (std::size_t k = i; k < i + 4; ++k) {
            const char c = text[k];
            if (c == '=' && i + 4 == text.size() && k >= i + 2) {
                ++padding;
                group <<= 6;
                continue;
            }
            const char* digit = c != '\0' ? std::strchr(kBase64, c) : nullptr;
            if (digit == nullptr || padding > 0) {
                return std::nullopt;
            }
            group = group << 6 | static_cast<uint32_t>(digit - kBase64);
        }
        bytes += static_cast<char>(group >> 16);
        if (padding < 2) {
            bytes += static_cast<char>((group >> 8) & 255);
        }
        if (padding < 1) {
            bytes += static_cast<char>(group & 255);
        }
    }
    return bytes;
}

bool SameName(const std::string& a, const std::string& b) {
    return platform::NamesIgnoreCase() ? UpperAscii(a) == UpperAscii(b) : a == b;
}

}  // namespace

SiteFile MakeSiteFile(std::string dictionary, unsigned generation) {
    const std::string stream = DeflateRaw(dictionary);
    SiteFile file;
    file.text = SiteFileScript(kHeaderStart + std::to_string(generation) + kHeaderEnd, Base64(stream));
    file.name = HexName(LzmaCrc64(file.text));
    file.dictionary = std::move(dictionary);
    file.generation = generation;
    return file;
}

bool IsSiteFileName(const std::string& name) {
    const std::size_t prefix = sizeof kNamePrefix - 1;
    const std::size_t suffix = sizeof kNameSuffix - 1;
    if (name.size() != prefix + kHashDigits + suffix || name.compare(0, prefix, kNamePrefix) != 0 ||
        name.compare(prefix + kHashDigits, suffix, kNameSuffix) != 0) {
        return false;
    }
    for (std::size_t i = prefix; i < prefix + kHashDigits; ++i) {
        if (!((name[i] >= '0' && name[i] <= '9') || (name[i] >= 'a' && name[i] <= 'f'))) {
            return false;
        }
    }
    return true;
}

SiteFile ReadSiteFile(const std::string& name, const std::string& text) {
    const std::optional<SiteFileParts> parts = ReadSiteFileScript(text);
    if (!parts || parts->header.substr(0, sizeof kHeaderStart - 1) != kHeaderStart ||
        parts->streamText.size() > kLargestDictionary) {
        throw DataError("\"" + name + "\" is not a site file of this program, or it was changed");
    }
    std::size_t at = sizeof kHeaderStart - 1;
    unsigned generation = 0;
    while (at < parts->header.size() && parts->header[at] >= '0' && parts->header[at] <= '9' && generation < 100000000) {
        generation = generation * 10 + static_cast<unsigned>(parts->header[at++] - '0');
    }
    const std::optional<std::string> stream = FromBase64(parts->streamText);
    if (!stream || generation == 0) {
        throw DataError("\"" + name + "\" is damaged: its dictionary cannot be read");
    }
    SiteFile file;
    try {
        file.dictionary = InflateRaw(*stream, kLargestDictionary);
    } catch (const DataError&) {
        throw DataError("\"" + name + "\" is damaged: its dictionary cannot be read");
    }
    // Written again around the same stream it must be the same file, of the
    // same name: so the decoder and the dictionary are the ones the pages
    // were written for. (The stream itself is not written again: a build
    // with another deflater would write other bytes.)
    file.text = SiteFileScript(std::string(parts->header), parts->streamText);
    file.name = HexName(LzmaCrc64(file.text));
    file.generation = generation;
    if (file.text != text || file.name != name) {
        throw DataError("\"" + name + "\" is not the site file of that name: it was changed since it was written");
    }
    return file;
}

std::optional<SiteFile> FindSiteFile(const std::string& root) {
    std::vector<platform::FolderEntry> entries;
    const platform::Status listed = platform::ListFolder(root, entries);
    if (!listed.Ok()) {
        throw IoError("Cannot read the folder \"" + root + "\": " + listed.Reason());
    }
    std::optional<SiteFile> newest;
    for (const platform::FolderEntry& entry : entries) {
        if (entry.kind != platform::FileKind::Regular || !IsSiteFileName(entry.name)) {
            continue;
        }
        try {
            SiteFile file = ReadSiteFile(entry.name, ReadWholeFile(platform::JoinPath(root, entry.name)));
            if (!newest || file.generation > newest->generation ||
                (file.generation == newest->generation && file.name > newest->name)) {
                newest = std::move(file);
            }
        } catch (const DataError&) {
            // Not a file pages can use; it stays as it is.
        }
    }
    return newest;
}

void WriteSiteFile(const std::string& root, const SiteFile& file) {
    const std::string path = platform::JoinPath(root, file.name);
    const auto checkExisting = [&] {
        if (ReadWholeFile(path) != file.text) {
            throw IoError("Cannot write the site file \"" + path +
                          "\": a file of that name with other content is there; it is left as it is");
        }
    };
    if (FileExists(path)) {
        checkExisting();
        return;
    }
    std::string temporary;
    platform::File out;
    for (;;) {
        temporary = TemporaryNameBeside(path);
        const platform::Status created = out.CreateNew(temporary);
        if (created.Ok()) {
            break;
        }
        if (created.Error() != platform::Status::Kind::Exists) {
            throw IoError("Cannot write the site file \"" + path + "\": " + created.Reason());
        }
    }
    platform::Status status = out.Write(file.text.data(), file.text.size());
    if (status.Ok()) {
        status = out.Sync();
    }
    if (status.Ok()) {
        status = out.Close();
    }
    if (status.Ok()) {
        status = platform::RenameExclusive(temporary, path);
        if (status.Error() == platform::Status::Kind::Exists) {
            // Another run wrote it first.
            platform::Remove(temporary);
            checkExisting();
            return;
        }
    }
    if (!status.Ok()) {
        out.Close();
        platform::Remove(temporary);
        throw IoError("Cannot write the site file \"" + path + "\": " + status.Reason());
    }
    platform::SyncFolderOf(path);
}

std::string SiteFileLink(const std::string& root, const std::string& pageFile, const std::string& name) {
    const std::string base = Canonical(root);
    const std::string page = Canonical(pageFile);
    std::size_t start = base.size();
    if (start > 0 && platform::IsSeparator(base[start - 1])) {
        --start;  // a root of the file system
    }
    if (page.size() <= start + 1 || !SameName(page.substr(0, start), base.substr(0, start)) ||
        !platform::IsSeparator(page[start])) {
        throw IoError("Cannot compress \"" + pageFile + "\" as a page of the site at \"" + root +
                      "\": it lies outside that folder");
    }
    std::string link;
    for (std::size_t i = start + 1; i < page.size(); ++i) {
        if (platform::IsSeparator(page[i])) {
            link += "../";
        }
    }
    return link + name;
}

void LoadSiteDictionary(const std::string& pagePath, ModernPageData& data) {
    if (data.siteFile.empty()) {
        return;
    }
    const std::string name = data.siteFile.substr(data.siteFile.rfind('/') + 1);
    if (!IsSiteFileName(name)) {
        // Nothing but a site file is read for a page.
        throw DataError("the page names \"" + data.siteFile + "\" as its site's file, which is no site file's name");
    }
    std::string link = data.siteFile;
    if (platform::IsSeparator('\\')) {
        // The system's own separator: a long path's form takes no other.
        std::replace(link.begin(), link.end(), '/', '\\');
    }
    const std::string path = FolderOf(ResolveFileLinks(pagePath)) + link;
    if (!FileExists(path)) {
        throw IoError("\"" + pagePath + "\" needs its site's file \"" + path + "\", which is missing");
    }
    data.dictionary = ReadSiteFile(name, ReadWholeFile(path)).dictionary;
}

}  // namespace vexel
