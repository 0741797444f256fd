// The LZMA decoder a modern page of the LZMA format carries: JavaScript of our
// own, small and in linear time, since browsers expand no LZMA themselves.
#pragma once

#include <string>

namespace vexel {

// The check of the LZMA pages' script (engine/loader_script.h), with the
// decoder: L(a, N) gives the N bytes the raw LZMA stream in the Uint8Array or
// ArrayBuffer a expands to, and throws "bad LZMA data" when the stream is
// damaged or cut off.
extern const char kLzmaDecoderScript[];

// The decoder of a site's shared file, without the check: L(a, N, K) gives the
// N bytes the stream in `a` expands to with its window started by the bytes
// of the Uint8Array K (the site's dictionary; empty for none).
std::string SiteLzmaDecoderScript();

}  // namespace vexel
