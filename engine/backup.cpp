#include "engine/backup.h"

#include "engine/errors.h"
#include "engine/file_io.h"
#include "engine/page_names.h"
#include "platform/ascii.h"

namespace vexel {


namespace {

// A backup removed by its own run between our look and our open is looked at
// again; a name that keeps changing under us is left to the other runs.
constexpr int kAttempts = 3;

[[noreturn]] void FailCopy(const std::string& page,
                           const std::string& backup,
                           const platform::Status& status) {
    throw IoError("Cannot copy file " + Quoted(page) + " to " + Quoted(backup) + ": " + status.Reason());
}

// The backup's bytes equal `original`; a backup of another size is not read.
bool BackupEquals(platform::File& backup,
                  const std::string& path,
                  int64_t size,
                  const std::string& original) {
    if (size != static_cast<int64_t>(original.size())) {
        return false;
    }
    return ReadToEnd(backup, path, original.size()) == original;
}

[[noreturn]] void RefuseBackup(const std::string& page, const std::string& backup, const char* why) {
    throw IoError("Cannot use " + Quoted(backup) + " as the backup of " + Quoted(page) + ": " + why +
                  "; the page is left as it is");
}

// Only a regular file of its own may be a page's backup: a link or a second
// name of the page would make the page its own backup, and a FIFO or a device
// would block the run or swallow the original.
void CheckBackupKind(const std::string& page, const std::string& backup, platform::FileKind kind) {
    if (kind == platform::FileKind::Link) {
        RefuseBackup(page, backup, "it is a link, not a regular file");
    }
    if (kind != platform::FileKind::Regular) {
        RefuseBackup(page, backup, "it is not a regular file");
    }
}

void CheckNotThePage(const std::string& page,
                     const std::string& backup,
                     const platform::FileInfo& held,
                     const platform::FileInfo* page_as_read) {
    platform::FileIdentity page_identity;
    if (page_as_read != nullptr) {
        page_identity = page_as_read->identity;
    } else if (!platform::IdentityOf(page, page_identity).Ok()) {
        return;
    }
    if (held.identity == page_identity) {
        RefuseBackup(page, backup, "it is the page itself under a second name");
    }
}

}  // namespace

BackupState PageClaim::Claim(const std::string& page, std::string& original, platform::FileInfo* read_as) {
    Release();
    backup_path_ = page + kBackupSuffix;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        platform::FileInfo info;
        platform::Status status = platform::Inspect(backup_path_, /*follow_links=*/false, info);
        if (!status.Ok()) {
            FailCopy(page, backup_path_, status);
        }
        if (info.kind != platform::FileKind::Missing) {
            CheckBackupKind(page, backup_path_, info.kind);
        }
        if (info.kind == platform::FileKind::Missing) {
            const BackupState made = MakeBackup(page, original);
            if (made == BackupState::Handled && !FileExists(backup_path_)) {
                continue;  // it came and went while ours was written
            }
            return made;
        }

        platform::File backup;
        status = backup.Open(backup_path_, platform::OpenMode::Read);
        if (!status.Ok()) {
            if (status.Error() == platform::Status::Kind::NotFound && !FileExists(backup_path_)) {
                continue;
            }
            throw IoError("Cannot open file " + Quoted(backup_path_) + ": " + status.Reason());
        }
        // What was opened is what counts: the name may have changed hands
        // since it was looked at.
        platform::FileInfo held;
        status = backup.Inspect(held);
        if (!status.Ok()) {
            throw IoError("Cannot read file " + Quoted(backup_path_) + ": " + status.Reason());
        }
        CheckBackupKind(page, backup_path_, held.kind);
        CheckNotThePage(page, backup_path_, held, read_as);
        bool locked = false;
        status = backup.TryLock(locked);
        if (!status.Ok()) {
            throw IoError("Cannot lock file " + Quoted(backup_path_) + ": " + status.Reason());
        }
        if (!locked) {
            return BackupState::Handled;  // another run is compressing the page
        }
        // The lock is worth something only on the file that still bears the name.
        if (!platform::Inspect(backup_path_, /*follow_links=*/false, info).Ok() ||
            info.kind != platform::FileKind::Regular || info.identity != held.identity) {
            continue;
        }
        // Read again under the claim: a run that finished meanwhile has
        // written the page, which then differs from its backup.
        original = ReadWholeFile(page, /*writable=*/true, read_as);
        if (read_as != nullptr) {
            CheckNotThePage(page, backup_path_, held, read_as);
        }
        if (!BackupEquals(backup, backup_path_, info.size, original)) {
            return BackupState::Handled;
        }
        backup_ = std::move(backup);
        made_ = false;
        return BackupState::Resumed;
    }
    return BackupState::Handled;
}

BackupState PageClaim::MakeBackup(const std::string& page, const std::string& original) {
    std::string temporary;
    platform::File file;
    for (;;) {
        temporary = TemporaryNameBeside(backup_path_);
        const platform::Status created = file.CreateNew(temporary);
        if (created.Ok()) {
            break;
        }
        if (created.Error() != platform::Status::Kind::Exists) {
            FailCopy(page, backup_path_, created);
        }
    }
    // Locked before it has its name: no other run can see it unlocked.
    bool locked = false;
    platform::Status status = file.TryLock(locked);
    if (status.Ok()) {
        status = file.Write(original.data(), original.size());
    }
    if (status.Ok()) {
        status = file.Sync();
    }
    if (status.Ok()) {
        file.CopyPermissionsFrom(page);  // as a copy of the page would have them
        status = platform::RenameExclusive(temporary, backup_path_);
        if (status.Error() == platform::Status::Kind::Exists) {
            // Another run made it first: the page is in its hands.
            file.Close();
            platform::Remove(temporary);
            return BackupState::Handled;
        }
    }
    if (!status.Ok()) {
        file.Close();
        platform::Remove(temporary);
        FailCopy(page, backup_path_, status);
    }
    backup_ = std::move(file);
    made_ = true;
    status = platform::SyncFolderOf(backup_path_);
    if (!status.Ok()) {
        TakeBackBackup();
        FailCopy(page, backup_path_, status);
    }
    return BackupState::Made;
}

void PageClaim::TakeBackBackup() {
    if (!made_ || !backup_.IsOpen()) {
        return;
    }
    made_ = false;
    try {
        // The backup stays whenever the page may have been written.
        const std::string page = backup_path_.substr(0, backup_path_.size() - (sizeof kBackupSuffix - 1));
        if (ReadWholeFile(backup_path_) != ReadWholeFile(page)) {
            return;
        }
    } catch (const IoError&) {
        return;
    }
    RemoveMadeBackup();
}

void PageClaim::DropBackup() {
    if (!made_ || !backup_.IsOpen()) {
        return;
    }
    made_ = false;
    RemoveMadeBackup();
}

void PageClaim::RemoveMadeBackup() {
    backup_.RemoveName(backup_path_);
    Release();
}

void PageClaim::Release() {
    backup_.Close();
    made_ = false;
}

void HoldBackup(const std::string& page, const std::string& shown, platform::File& held, platform::FileInfo& info) {
    const std::string backup = page + kBackupSuffix;
    const auto refuse = [&](const std::string& why) {
        throw IoError("Cannot use " + Quoted(backup) + " as the backup of " + Quoted(shown) + ": " + why +
                      "; the page is left as it is");
    };
    platform::FileInfo named;
    platform::Status status = platform::Inspect(backup, /*follow_links=*/false, named);
    if (!status.Ok()) {
        throw IoError("Cannot open file " + Quoted(backup) + ": " + status.Reason());
    }
    if (named.kind == platform::FileKind::Missing) {
        throw IoError(Quoted(shown) + " has no backup (no " + Quoted(backup) + ")");
    }
    CheckBackupKind(shown, backup, named.kind);
    status = held.Open(backup, platform::OpenMode::Read);
    if (status.Ok()) {
        status = held.Inspect(info);
    }
    if (!status.Ok()) {
        throw IoError("Cannot open file " + Quoted(backup) + ": " + status.Reason());
    }
    if (info.kind != platform::FileKind::Regular || info.identity != named.identity) {
        refuse("it changed while it was opened");
    }
    bool locked = false;
    status = held.TryLock(locked);
    if (!status.Ok()) {
        throw IoError("Cannot lock file " + Quoted(backup) + ": " + status.Reason());
    }
    if (!locked) {
        throw IoError(Quoted(shown) + ": another run is working on it (its backup " + Quoted(backup) +
                      " is locked); it is left as it is");
    }
    // A run that finished with the page meanwhile may have taken the name back.
    if (!platform::Inspect(backup, /*follow_links=*/false, named).Ok() || named.identity != info.identity) {
        refuse("it changed while it was opened");
    }
}

BackupState PeekBackup(const std::string& page, const std::string& original) {
    const std::string backup_path = page + kBackupSuffix;
    platform::FileInfo info;
    if (!platform::Inspect(backup_path, /*follow_links=*/false, info).Ok()) {
        return BackupState::Handled;
    }
    if (info.kind == platform::FileKind::Missing) {
        return BackupState::Made;
    }
    CheckBackupKind(page, backup_path, info.kind);
    platform::File backup;
    if (!backup.Open(backup_path, platform::OpenMode::Read).Ok() || !backup.Inspect(info).Ok()) {
        return BackupState::Handled;
    }
    CheckBackupKind(page, backup_path, info.kind);
    CheckNotThePage(page, backup_path, info, nullptr);
    return BackupEquals(backup, backup_path, info.size, original) ? BackupState::Resumed
                                                                  : BackupState::Handled;
}

}  // namespace vexel
