// A small GIF writer for the decoder tests: files with the choices ImageMagick
// never makes (an LZW minimum code size of 1, a table left full without a
// clear code, local tables on the first frame), and raw pieces to build
// damaged files from.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vexel::testing {

struct Colour {
    uint8_t Red = 0;
    uint8_t Green = 0;
    uint8_t Blue = 0;
};

// One LZW code stream, before it is cut into sub-blocks.
struct LzwOptions {
    int MinCodeSize = 2;
    bool ClearWhenFull = true;  // false: keep coding with the full table
    bool EndCode = true;        // false: the stream just stops
};
std::string LzwEncode(const std::vector<uint8_t>& indices, const LzwOptions& options);

// The data as sub-blocks of at most `blockSize` bytes, with the terminator.
std::string SubBlocks(const std::string& data, size_t blockSize = 255);

struct GifSpec {
    std::string Signature = "GIF89a";
    uint16_t ScreenWidth = 0;  // 0: the frame's right and bottom edge
    uint16_t ScreenHeight = 0;
    uint16_t Left = 0;
    uint16_t Top = 0;
    uint16_t Width = 0;
    uint16_t Height = 0;
    std::vector<Colour> GlobalTable;  // padded with black to a power of two
    std::vector<Colour> LocalTable;
    bool Interlaced = false;
    int TransparentIndex = -1;     // -1: no graphic control extension
    std::string BeforeImage;       // raw blocks put in front of the image
    std::vector<uint8_t> Indices;  // Width * Height, in row order
    LzwOptions Lzw;
    std::string AfterImage = ";";  // what follows the image's data
};

// A whole file as `spec` asks. Interlaced images get their rows reordered.
std::string WriteGif(const GifSpec& spec);

// A colour table with its size field: the packed bits and the padded bytes.
int TableSizeField(size_t entries);
std::string TableBytes(const std::vector<Colour>& table);

}  // namespace vexel::testing
