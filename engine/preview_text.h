// What the desktop program's preview shows for a file: always text, never the
// file's raw bytes. A page this program wrote is named (its format, codec,
// sizes, encrypted or not) and, unless it is sealed, shown as the original it
// expands to; any other file as text in the charset a browser reads it in.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vexel {

// The most bytes of a text the preview shows: enough to see what a page
// is, little enough for an edit control to lay out at once.
constexpr std::size_t kPreviewBytes = 64 * 1024;

// The preview of the file at `path` (which finds a site page's shared file)
// whose content is `bytes`, as UTF-8 text.
std::string PreviewText(const std::string& path, const std::string& bytes, std::size_t limit = kPreviewBytes);

// `bytes` as UTF-8 text: decoded in the charset a browser reads them in
// (bytes that charset maps to nothing as U+FFFD), every control character
// but tab, CR and LF as a visible mark (U+2400 and on for C0, U+2421 for
// DEL, U+FFFD for C1), and only the first `limit` bytes, followed by a line
// that says how many are not shown.
std::string ReadableText(std::string_view bytes, std::size_t limit = kPreviewBytes);

}  // namespace vexel
