// The backup of a page, the user's only copy of the original, and the claim a
// run holds on a page while it compresses it.
//
// A backup is never partial and never overwritten: it is written to a
// temporary file beside the page, flushed, and only then given its name, and
// only if no file has that name at that moment. The run keeps the backup open
// with a lock on it until the page is written; the system drops the lock when
// the process dies. So a second run over the same pages knows a backup that
// another run is working with (locked) from one a stopped run left behind
// (unlocked), and a page beside a backup equal to it is one that a run backed
// up but never wrote: it is compressed now, with that backup.
#pragma once

#include <string>

#include "platform/file_system.h"

namespace vexel {

// How the backup of a page stands for this run.
enum class BackupState {
    Made,     // there was none; this run made it
    Resumed,  // one equal to the page was left by a run that stopped
    Handled,  // any other: the page is compressed already, or another run has it
};

class PageClaim {
public:
    PageClaim() = default;
    PageClaim(const PageClaim&) = delete;
    PageClaim& operator=(const PageClaim&) = delete;

    // Claims `page` (links already followed), whose bytes as just read are
    // `original`. Made and Resumed hold the claim until Release; with Resumed
    // `original` is read again under the claim, so it is the page as it is
    // now (and `read_as` describes it then). Throws IoError when the backup
    // cannot be made or read, and when what bears the backup's name is not a
    // regular file or is the page itself (a link or a second name of it): no
    // backup and no temporary file are left then, and nothing is done to the
    // page.
    BackupState Claim(const std::string& page, std::string& original, platform::FileInfo* read_as = nullptr);

    // Removes the backup this claim made, while the claim is still held, when
    // the page is still byte for byte its original (the page was not written).
    void TakeBackBackup();
    // Removes the backup this claim made whatever the page holds now: for a
    // page that this run did not write because another program changed it.
    void DropBackup();
    // Lets other runs have the page.
    void Release();

    const std::string& BackupPath() const { return backup_path_; }

private:
    BackupState MakeBackup(const std::string& page, const std::string& original);
    void RemoveMadeBackup();

    platform::File backup_;
    std::string backup_path_;
    bool made_ = false;
};

// Opens the backup of `page` (links already followed; `shown` is the name the
// user gave) and takes the lock compress takes, for restore and verify: a
// page that a compress run has in hand is left to it. `info` describes the
// backup. Throws IoError naming the files when there is no backup, when it is
// not a regular file of its own, or when another run holds it.
void HoldBackup(const std::string& page, const std::string& shown, platform::File& held, platform::FileInfo& info);

// What Claim would find, without making or locking anything: for a dry run.
BackupState PeekBackup(const std::string& page, const std::string& original);

}  // namespace vexel
