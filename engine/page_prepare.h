// Preparing a page for the classic formats: the bytes of a page in, its head
// (up to and including the body tag, copied unchanged into the written page)
// and the encoder's input out, with the page's log lines and warnings sent
// to the host as they arise.
//
// The encoder's input is the body with the bytes a data string cannot carry
// made spaces, whitespace between tags collapsed (`RemoveUnuseful`), pairs
// of high bytes blanked (`UChar`), a filler script after a short body and the
// password prompt in front. Each byte made a space is a "Warnning" line; past
// kExactByteWarnings lines a page's further ones are counted by byte instead,
// one line each saying how many, so that a page of binary noise cannot fill
// the memory or the log.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/charset.h"
#include "engine/job_host.h"
#include "engine/page_options.h"

namespace vexel {

struct PreparedPage {
    // False when the page broke off (no body tag, or one that never closes):
    // nothing is to be written, and Head and Input are empty.
    bool Prepared = false;
    std::string Head;
    std::string Input;
    // Bytes of the page as read.
    int32_t CharCount = 0;
    // Warnings that the format will lose the page's non-ASCII text.
    int FormatWarnings = 0;
};

// Whether the classic formats would lose some of the non-ASCII text of
// `source` with `options`: pairs of high bytes blanked (`UChar`), or text in
// a multi-byte charset, which they cannot carry. A page without a body tag
// is never written, so it loses nothing.
bool ClassicLosesText(const std::string& source, const JobOptions& options);

// The log lines every page starts with: an empty line, a rule, "Openfile:".
void LogPageStart(const std::string& path, JobHost& host);

// Prepares `source`, the bytes of the page at `path` (named in the log).
// Throws IoError when the page is too large to carry, FormatError for a page
// in a multi-byte charset with non-ASCII text in its body and `UChar` off:
// the browser reads such a data string in characters, not bytes, and every
// back-reference after the first such character would copy the wrong text.
PreparedPage PrepareClassicPage(std::string source,
                                const std::string& path,
                                const JobOptions& options,
                                JobHost& host);

// `CharCount` of a page of `bytes` bytes. Throws IoError naming `path` for a
// page of 2 GiB or more, whose size the count cannot hold.
int32_t CharCountOf(std::size_t bytes, const std::string& path);

// Each page logs this many "Warnning" lines at most; further ones are counted.
constexpr int kExactByteWarnings = 1000;

// The line of a page that breaks off.
extern const char kNoBodyError[];  // "Error  <BODY> No found ! (Break)"

// The fixed texts around the page password in the prompt script.
extern const char kPasswordPrefixHead[];  // 85 bytes
extern const char kPasswordPrefixTail[];  // 38 bytes

// The password as it stands inside the prompt script's string literal.
std::string EscapePasswordForScript(const std::string& password);

// "Warnning: No support char [0xHH]! "
std::string UnsupportedCharWarning(unsigned char byte);
// The line that stands for `more` further warnings of `byte` on one page.
std::string RepeatedCharWarning(unsigned char byte, int64_t more);

// The warning of a page read in a multi-byte charset whose body holds
// non-ASCII text, which the classic formats cannot carry.
std::string CharsetWarning(const PageCharset& charset);

// The message of that FormatError.
std::string KeptHighBytesError(const std::string& path, const PageCharset& charset);

// Body tag search: 0-based index of the "<" of the first "<BODY" (any letter
// case) that starts at 1-based position 5 or later, or npos.
std::size_t FindBodyTag(const std::string& page);

// Drops runs of bytes <= 32 that lie between a ">" and a "<".
std::string CollapseBetweenTags(const std::string& text);

}  // namespace vexel
