// One page compressed, bytes in and page out: read page -> charset ->
// prepare -> encode -> render, with the page's log lines as the batch and the
// desktop program show them. Writing the page (and its backup before) is the
// caller's: the batch's.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/job_host.h"
#include "engine/page_format.h"
#include "engine/page_options.h"

namespace vexel {

struct CompressedPage {
    // False when the page broke off (classic formats: no body tag) or is left
    // as it is: nothing is to be written.
    bool Prepared = false;
    // The modern page would not have been smaller than the original.
    bool LeftAsItIs = false;
    // Classic formats: the head of the page, copied unchanged before the script.
    std::string Head;
    // The page to write.
    std::string Text;
    // Bytes of the page as read.
    int32_t CharCount = 0;
    // Warnings that the format will open slowly or lose non-ASCII text.
    int FormatWarnings = 0;
};

// A modern page of a site: the path from the page to the site's shared file
// and the dictionary that file holds.
struct PageSite {
    std::string link;
    std::string_view dictionary;
};

// Compresses `source`, the bytes of the page at `path` (named in the log);
// a modern page as a page of `site` when one is given and the page is not
// encrypted.
// Throws IoError for a page too large to carry, FormatError for a classic
// page the format would garble, DataError naming the page when its charset
// is one modern pages refuse, std::runtime_error when the cryptography of an
// encrypted modern page fails.
CompressedPage CompressPage(std::string source,
                            const std::string& path,
                            const JobOptions& options,
                            PageFormat format,
                            JobHost& host,
                            const PageSite* site = nullptr);

// The log lines of a page about to be written to `path`: "Compresssed to:",
// "Rate=" with the two sizes, and the format's warning when there is one.
void LogWrittenPage(const std::string& path,
                    int32_t charCount,
                    int64_t reportedBytes,
                    const std::string& warning,
                    JobHost& host);

// Throws IoError naming `path` for a page larger than any command reads back.
void CheckPageSize(const std::string& path, std::size_t size);

}  // namespace vexel
