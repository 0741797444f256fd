// Which files are pages and which are backups, by name, and the file a name
// stands for when it is a link: the rules every command shares (the batch,
// the page lists, restore and verify, the desktop program's file list).
#pragma once

#include <string>

namespace vexel {

// The suffix that names a page's backup: "index.htm" -> "index.htm_backup".
inline constexpr char kBackupSuffix[] = "_backup";

// True for ".htm" and ".html" in any letter case.
bool HasPageExtension(const std::string& path);

// The page whose backup `path` is by its name ("a.htm_backup" -> "a.htm"),
// or empty when the name is no backup's.
std::string PageOfBackup(const std::string& path);

// When a link is followed to the file it stands for.
struct LinkRule {
    // The folder the link was found in (empty for a path named on the
    // command line): the page it leads to must lie inside it.
    std::string Folder;
    // Lift the folder's bounds; the target must still be a page by name.
    bool Anywhere = false;
};

// The file `path` stands for: itself, or the file its links lead to when
// that is a page by name (.htm, .html) and, for a link found in a folder,
// lies inside that folder. Throws IoError naming the link and the reason
// otherwise: a run over a tree of others' files never rewrites a file
// outside it or one that is no page.
std::string FollowPageLink(const std::string& path, const LinkRule& rule);

// True when `page` (links followed) has a backup that restore and verify
// can use: a regular file by the backup's name.
bool HasBackup(const std::string& page);

}  // namespace vexel
