// A site's shared file: the decoder that the pages of a site (a folder and
// its sub-folders) share, and the dictionary trained on their text that each
// page's LZMA stream starts its window with. It stands at the site's root,
// named by the CRC-64 of its content ("vexel-site-0123456789abcdef.js"), so
// that the file a page names never changes under it: a new dictionary is a
// new file, and an old one stays while pages name it. Each page loads it with
// a <script src> by its path from the page. It is ASCII, so any charset a
// page is read in reads it alike.
#pragma once

#include <optional>
#include <string>

#include "engine/modern_page.h"

namespace vexel {

struct SiteFile {
    std::string name;  // "vexel-site-0123456789abcdef.js"
    std::string text;  // the file's content
    std::string dictionary;
    // Which training of the site this is: the newest file at a root is the
    // one new pages use.
    unsigned generation = 1;
};

// The shared file for `dictionary`: the same bytes for the same dictionary
// and generation. Throws std::runtime_error when the build has no liblzma.
SiteFile MakeSiteFile(std::string dictionary, unsigned generation);

// True for the name of a shared file ("vexel-site-" 16 hex digits ".js").
bool IsSiteFileName(const std::string& name);

// The shared file named `name` with the content `text`. Throws DataError when
// the text is not the file of that name as this program writes it (changed,
// damaged, cut off, or another file's).
SiteFile ReadSiteFile(const std::string& name, const std::string& text);

// The newest shared file at the folder `root` (of the highest generation);
// nothing when it has none. Damaged ones are passed over. Throws IoError when
// the folder cannot be read.
std::optional<SiteFile> FindSiteFile(const std::string& root);

// Puts `file` at `root` as a new file, flushed to the disk before it has its
// name. A file of that name with the same content is left as it is; one with
// other content is never replaced (IoError).
void WriteSiteFile(const std::string& root, const SiteFile& file);

// The path a page at `pageFile` names the shared file `name` at `root` by:
// "../" for each folder below the root, then the name. Both paths are
// followed to the files they name. Throws IoError naming the page when it
// lies outside the root.
std::string SiteFileLink(const std::string& root, const std::string& pageFile, const std::string& name);

// Reads the shared file that the page at `pagePath` (links followed) names,
// beside it by the page's path, into `data.dictionary`. Nothing for a page
// of its own. Throws IoError when the file is missing or cannot be read,
// DataError when it is not the file the page names.
void LoadSiteDictionary(const std::string& pagePath, ModernPageData& data);

}  // namespace vexel
