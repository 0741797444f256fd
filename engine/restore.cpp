#include "engine/restore.h"

#include "engine/backup.h"
#include "engine/errors.h"
#include "engine/file_io.h"
#include "engine/own_page.h"
#include "engine/page_names.h"
#include "platform/file_system.h"
#include "platform/ascii.h"

namespace vexel {

namespace {

[[noreturn]] void Refuse(const std::string& page, const std::string& why) {
    throw IoError("Cannot restore " + Quoted(page) + ": " + why + "; the page is left as it is");
}

// When the backup cannot take the page's name (a folder that forbids renames
// but lets the page be written), its bytes are written into the page itself;
// the backup stays until that has worked.
void CopyIntoPage(const std::string& backup, const std::string& page, const std::string& shown) {
    const std::string original = ReadWholeFile(backup);
    platform::File file;
    platform::Status status = file.Open(page, platform::OpenMode::WriteExisting);
    if (status.Ok()) {
        status = file.Write(original.data(), original.size());
    }
    if (status.Ok()) {
        status = file.Sync();
    }
    if (status.Ok()) {
        status = file.Close();
    }
    if (!status.Ok()) {
        throw IoError("Cannot restore " + Quoted(shown) + " from " + Quoted(backup) + ": " + status.Reason());
    }
}

// No backup beside a page that is a regular file and no compressed page of
// ours. Anything else is left to the checks that name what is wrong.
bool NeverCompressed(const std::string& page, const std::string& backup) {
    platform::FileInfo info;
    if (!platform::Inspect(backup, /*follow_links=*/false, info).Ok() || info.kind != platform::FileKind::Missing) {
        return false;
    }
    if (!platform::Inspect(page, /*follow_links=*/true, info).Ok() || info.kind != platform::FileKind::Regular) {
        return false;
    }
    try {
        return !RecognizeOwnPage(ReadWholeFile(page));
    } catch (const IoError&) {
        return false;
    }
}

}  // namespace

RestoreResult RestorePage(const std::string& page, const RestoreOptions& options) {
    const std::string target = FollowPageLink(page, options.Links);
    const std::string backup = target + kBackupSuffix;
    if (NeverCompressed(target, backup)) {
        RestoreResult result;
        result.skipped = Quoted(page) + " is not a compressed page and has no backup (never compressed, or "
                         "restored already): nothing to restore";
        return result;
    }
    platform::File held;
    platform::FileInfo backup_info;
    HoldBackup(target, page, held, backup_info);

    platform::FileInfo page_info;
    platform::Status status = platform::Inspect(target, /*follow_links=*/true, page_info);
    if (!status.Ok()) {
        throw IoError("Cannot open file " + Quoted(page) + ": " + status.Reason());
    }
    const bool page_exists = page_info.kind != platform::FileKind::Missing;
    if (page_exists) {
        if (page_info.kind != platform::FileKind::Regular) {
            Refuse(page, "it is not a regular file");
        }
        if (backup_info.identity == page_info.identity) {
            Refuse(page, Quoted(backup) + " is the page itself under a second name");
        }
        const std::string content = ReadWholeFile(target, /*writable=*/false, &page_info);
        if (!options.Force && !RecognizeOwnPage(content)) {
            Refuse(page, "it is not a compressed page (was it made again since it was compressed?); --force puts "
                         "the backup over it");
        }
    }
    RestoreResult result;
    if (options.DryRun) {
        return result;
    }
    // A page that is gone must still be gone.
    CheckUnchanged(target, page, page_info);
    status = platform::RenameReplacing(backup, target);
    if (status.Ok()) {
        status = platform::SyncFolderOf(target);
        if (!status.Ok()) {
            result.warning =
                "Restored " + Quoted(page) + ", but cannot flush its folder to the disk: " + status.Reason();
        }
        return result;
    }
    if (!IsRegularFile(target) && FileExists(target)) {
        throw IoError("Cannot restore " + Quoted(page) + " from " + Quoted(backup) + ": " + status.Reason());
    }
    if (!FileExists(target)) {
        WriteFileReplacing(target, ReadWholeFile(backup));
    } else {
        CopyIntoPage(backup, target, page);
    }
    status = held.RemoveName(backup);
    if (!status.Ok()) {
        result.warning =
            "Restored " + Quoted(page) + ", but cannot remove " + Quoted(backup) + ": " + status.Reason();
    }
    return result;
}

}  // namespace vexel
