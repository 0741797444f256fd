// Puts a compressed page back from the backup the batch made of it.
#pragma once

#include <string>

#include "engine/page_names.h"

namespace vexel {

struct RestoreOptions {
    // Put the backup back over a page that is not a compressed page of ours.
    bool Force = false;
    // Make every check, change nothing.
    bool DryRun = false;
    // When a link is followed to the page it stands for.
    LinkRule Links;
};

struct RestoreResult {
    // The page holds its original again, but something was left undone (the
    // backup could not be removed, the folder not flushed): what, naming the
    // file. Empty when all went well.
    std::string warning;
    // Nothing was done, as nothing was to be done: a page that was never
    // compressed (no backup, and not a compressed page). Says so, naming the
    // page; empty when the page was restored.
    std::string skipped;
};

// The backup of `page` replaces it and is removed; a link to a page restores
// the page it points to and stays a link. The backup is locked as compress
// locks it, so a page that another run has in hand is left to it. Only a
// compressed page of ours is replaced (or a page that is gone), unless
// `Force`; a page is replaced only if it is still the file that was looked
// at. A page with no backup that is not a compressed page was never
// compressed: it is skipped (`skipped` says so). Throws IoError naming the
// file and the reason when the page was not put back: no backup for a
// compressed page, a backup that is not a regular file of its own, another
// run at work on it, a page that is not ours or that changed meanwhile.
RestoreResult RestorePage(const std::string& page, const RestoreOptions& options = {});

}  // namespace vexel
