// Raw deflate (no zlib or gzip wrapper): what modern pages carry and the
// browser's DecompressionStream("deflate-raw") reads. Written by libdeflate
// where the build has it, else by zlib at its best level; read by zlib.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vexel {

// libdeflate's level. On the bench set its level 9 is a little smaller than
// zlib's 9 (0.996) and faster than gzip -9; its near-optimal levels 10 to 12
// are 5 % smaller still but write at under 0.4 times gzip -9's speed. Where
// the writer chooses between deflate and LZMA (which takes far longer than
// either), level 12 on pages below kSmallPageBytes makes the 16-64 KB pages
// of the bench set 4 % smaller (1.219 to 1.171 of gzip -9) at little cost to
// the run; deflate alone is written at level 9, faster than gzip -9.
constexpr int kDeflateLevel = 9;
constexpr int kSmallPageLevel = 12;
constexpr std::size_t kSmallPageBytes = 64 * 1024;

// How hard deflate works: level 9 throughout, or level 12 on small pages.
enum class DeflateEffort { Fast, SmallPagesFinest };

// The page is compressed once and opened many times.
std::string DeflateRaw(std::string_view data, DeflateEffort effort = DeflateEffort::SmallPagesFinest);

// zlib's best level, what builds without libdeflate write with.
std::string ZlibDeflateRaw(std::string_view data);

// "libdeflate" or "zlib": what this build writes with.
const char* DeflaterName();

// The data back. Throws DataError when the stream is corrupt, cut off, has
// bytes after its end, or would expand to more than `limit` bytes.
std::string InflateRaw(std::string_view compressed, std::size_t limit);

}  // namespace vexel
