// Raw deflate (no zlib or gzip wrapper): what modern pages carry and the
// browser's DecompressionStream("deflate-raw") reads. Written by libdeflate
// where the build has it (its near-optimal parsing makes pages 5 to 7 %
// smaller than zlib's best level), else by zlib at its best level; read by
// zlib.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vexel {

// libdeflate's level: 10 is the first of its near-optimal levels, and the
// fastest of them.
constexpr int kDeflateLevel = 10;

// The page is compressed once and opened many times.
std::string DeflateRaw(std::string_view data);

// zlib's best level, what builds without libdeflate write with.
std::string ZlibDeflateRaw(std::string_view data);

// "libdeflate" or "zlib": what this build writes with.
const char* DeflaterName();

// The data back. Throws DataError when the stream is corrupt, cut off, has
// bytes after its end, or would expand to more than `limit` bytes.
std::string InflateRaw(std::string_view compressed, std::size_t limit);

}  // namespace vexel
