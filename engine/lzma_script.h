// The LZMA decoder a modern page of the LZMA format carries: JavaScript of our
// own, small and in linear time, since browsers expand no LZMA themselves.
#pragma once

namespace vexel {

// The decoder, one parameter of the page's script: L(a, N) gives the N bytes
// the raw LZMA stream in the Uint8Array or ArrayBuffer a expands to, and throws
// when the stream is damaged or cut off.
extern const char kLzmaDecoderScript[];

// How the page's script expands its bytes `a`: this, the size, ")".
constexpr char kLzmaExpandCall[] = "L(a,";

}  // namespace vexel
