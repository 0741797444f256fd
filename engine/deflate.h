// Raw deflate (no zlib or gzip wrapper) through zlib: what modern pages carry
// and the browser's DecompressionStream("deflate-raw") reads.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vexel {

// The highest level zlib has, with its largest window and memory: the page is
// compressed once and opened many times.
std::string DeflateRaw(std::string_view data);

// The data back. Throws DataError when the stream is corrupt, cut off, has
// bytes after its end, or would expand to more than `limit` bytes.
std::string InflateRaw(std::string_view compressed, std::size_t limit);

}  // namespace vexel
