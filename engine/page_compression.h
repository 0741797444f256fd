// One page compressed, bytes in and page out: read page -> charset ->
// prepare -> encode -> render, with the page's log lines as the batch and the
// desktop program show them. Writing the page (and its backup before) is the
// caller's: the batch's.
#pragma once

#include <cstdint>
#include <string>

#include "engine/job_host.h"
#include "engine/modern_page.h"
#include "engine/page_options.h"

namespace vexel {

enum class PageFormat { JavaScript, VbScript, Modern };

struct CompressedPage {
    // False when the page broke off (classic formats: no body tag): nothing is
    // to be written.
    bool Prepared = false;
    // Classic formats: the head of the page, copied unchanged before the script.
    std::string Head;
    // The page to write.
    std::string Text;
    // Bytes of the page as read.
    int32_t CharCount = 0;
    // Warnings that the format will open slowly or lose non-ASCII text.
    int FormatWarnings = 0;
};

// Compresses `source`, the bytes of the page at `path` (named in the log).
// Throws IoError for a page too large to carry, std::runtime_error when the
// cryptography of an encrypted modern page fails.
CompressedPage CompressPage(std::string source,
                            const std::string& path,
                            const JobOptions& options,
                            PageFormat format,
                            JobHost& host);

// The salt and IV of an encrypted modern page, when they are given rather
// than drawn from the system's random source.
struct SealNonces {
    std::string salt;  // 16 bytes
    std::string iv;    // 12 bytes
};

// The modern page of `source` with `options` (encrypted when the password is
// enabled, with `nonces` when given): what CompressPage writes, and what
// verify writes again from a backup to compare with a page.
std::string RenderModernPage(const std::string& source, const JobOptions& options, const SealNonces* nonces);

// The options a modern page was written with, as far as the page records
// them: whether it is encrypted, and with how many iterations.
JobOptions ModernPageOptions(const ModernPageData& data);

// The log lines of a page about to be written to `path`: "Compresssed to:",
// "Rate=" with the two sizes, and the format's warning when there is one.
void LogWrittenPage(const std::string& path,
                    int32_t charCount,
                    int64_t reportedBytes,
                    const std::string& warning,
                    JobHost& host);

}  // namespace vexel
