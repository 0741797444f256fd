// The GIF decoder: the first frame of a GIF87a or GIF89a file as 32-bit
// pixels, composed on the file's logical screen the way a browser shows it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string_view>
#include <vector>

namespace vexel {

// A file that is not a GIF, or a GIF that is damaged, truncated or too large.
// The message starts with "GIF: " and says what is wrong.
class GifError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Bounds on the picture a file may ask for, so that a few header bytes cannot
// make the decoder allocate gigabytes. The defaults hold any picture a window
// of this program shows many times over.
struct GifLimits {
    int32_t MaxSide = 16384;               // width and height each
    int64_t MaxPixels = int64_t{1} << 24;  // width * height: 64 MB of pixels
};

// A decoded picture. Rows run top-down, 4 bytes a pixel in the order blue,
// green, red, alpha: the layout of a top-down 32-bit DIB. Alpha is 255 or 0;
// a pixel with alpha 0 has all four bytes 0.
//
// The picture is the logical screen. Screen area that the first frame does
// not cover is transparent, as browsers show it (the header's background
// colour index is not used). A first frame that reaches beyond the screen
// makes the picture grow to hold it, again as browsers do.
struct GifImage {
    int32_t Width = 0;
    int32_t Height = 0;
    std::vector<uint8_t> Pixels;
    bool HasTransparency = false;  // some pixel has alpha 0

    // The pixel at (x, y) as 0xAARRGGBB.
    uint32_t Pixel(int32_t x, int32_t y) const;
};

// Whether the bytes start with a GIF signature ("GIF87a" or "GIF89a").
bool IsGif(std::string_view bytes);

// Decodes the first image of the file. Extensions other than the graphic
// control extension are skipped, and nothing after the first image's data is
// read, so the later frames of an animation are never looked at. Throws
// GifError for a file that is not a GIF, is damaged or truncated anywhere up
// to the end of the first image, or exceeds `limits`; never reads outside
// `bytes`.
GifImage DecodeGif(std::string_view bytes, const GifLimits& limits = {});

}  // namespace vexel
