#include "engine/restore.h"

#include "engine/backup.h"
#include "engine/errors.h"
#include "engine/file_io.h"
#include "platform/file_system.h"
#include "platform/ascii.h"

namespace vexel {

namespace {

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

}  // namespace

bool HasBackup(const std::string& page) {
    return IsRegularFile(ResolveFileLinks(page) + kBackupSuffix);
}

RestoreResult RestorePage(const std::string& page) {
    const std::string target = ResolveFileLinks(page);
    const std::string backup = target + kBackupSuffix;
    if (!IsRegularFile(backup)) {
        throw IoError(Quoted(page) + " has no backup to restore (no " + Quoted(backup) + ")");
    }
    RestoreResult result;
    platform::Status status = platform::RenameReplacing(backup, target);
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
    status = platform::Remove(backup);
    if (!status.Ok()) {
        result.warning =
            "Restored " + Quoted(page) + ", but cannot remove " + Quoted(backup) + ": " + status.Reason();
    }
    return result;
}

}  // namespace vexel
