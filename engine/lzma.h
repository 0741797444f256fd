// Raw LZMA streams (no container): what the denser of the two modern page
// formats carries, written and read by liblzma, expanded in the browser by the
// page's own decoder (engine/lzma_script.h). The stream's parameters are fixed,
// so that the page's decoder needs none of them: three literal context bits, no
// literal or match position bits, and the end marker after the data.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace vexel {

constexpr int kLzmaLiteralContextBits = 3;

// Whether this build writes and reads LZMA streams (built with liblzma).
bool HaveLzma();

// The stream for `data`, at liblzma's best preset with a window as large as
// the data (up to 8 MiB). With `preset` (a site's dictionary) the window
// starts with those bytes, which the data's matches may reach back into; the
// reader must give the same ones. Throws std::runtime_error when liblzma
// fails or is not built in.
std::string LzmaCompress(std::string_view data, std::string_view preset = {});

// The CRC-64 of `data` (liblzma's, as in .xz files), which names a site's
// shared file by its content. Throws std::runtime_error without liblzma.
uint64_t LzmaCrc64(std::string_view data);

// The `size` bytes back. Throws DataError when the stream is damaged, cut off,
// has bytes after its end marker or does not hold `size` bytes, or when `size`
// is above `limit`.
std::string LzmaExpand(std::string_view compressed, std::size_t size, std::size_t limit,
                       std::string_view preset = {});

}  // namespace vexel
