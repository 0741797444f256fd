// Checks a compressed page against its backup: the page is expanded as a
// browser would expand it (the data string read back for classic pages; the
// data inflated, and decrypted, for modern ones) and compared with the
// original it was made from.
#pragma once

#include <string>

#include "engine/page_names.h"

namespace vexel {

enum class VerifyOutcome {
    Match,       // the page gives back its original
    Mismatch,    // it does not: `detail` says where or why
    NotChecked,  // encrypted, and no password or a wrong one
    Failed,      // no backup, not a compressed page, or a file could not be read
};

struct VerifyResult {
    VerifyOutcome outcome = VerifyOutcome::Failed;
    // "JavaScript page", "VBScript page", "modern page", "encrypted modern page"
    std::string format;
    // For a match, what was compared; otherwise what went wrong, naming the file.
    std::string detail;
};

// `page` is the compressed page (links followed to its backup as the batch
// made it); `password` opens encrypted pages and may be null.
//
// A modern page must give back its backup byte for byte. A classic page gives
// back its head and the body as the compressor prepared it (whitespace
// between tags collapsed or not, pairs of high bytes blanked or not, the
// filler and the password prompt): the backup is prepared each way and one
// of them must match exactly.
// A link is followed by `links` (engine/page_names.h); the backup is held under
// the lock compress takes, so a page in another run's hands is reported, not
// checked.
VerifyResult VerifyPage(const std::string& page, const std::string* password, const LinkRule& links = {});

// The same check of the compressed page at `page` against `original`, the
// page it was made from, given rather than read from a backup (a page of an
// output tree against its source).
VerifyResult VerifyAgainst(const std::string& page, const std::string& original, const std::string* password);

}  // namespace vexel
