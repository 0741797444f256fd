// How a GIF is read here.
//
// A GIF is a header, an optional global colour table, and a series of blocks:
// extensions (0x21), images (0x2C) and the trailer (0x3B). Only the first
// image matters to us; the graphic control extension in front of it gives its
// transparent colour index. Every other extension is a chain of length-prefixed
// sub-blocks that is skipped unread.
//
// The image's pixels are colour indices packed with variable-width LZW, split
// over sub-blocks of at most 255 bytes. The sub-blocks are first joined into
// one buffer (never longer than the file), which keeps the bit reader simple
// and lets every bound check happen in one place.
//
// LZW, as GIF uses it: codes are read least significant bit first, starting
// at (minimum code size + 1) bits. Codes below 2^min are the indices
// themselves; 2^min clears the table, 2^min + 1 ends the data. Each code after
// the first adds one table entry: the previous code's string plus the first
// index of the current one (which, for the code not yet in the table, is the
// previous string's first index). The width grows by one bit when the next
// entry to be added no longer fits, up to 12 bits; a full table of 4096
// entries stays as it is until the next clear code. That rule is checked after
// every code, the first after a clear too: only a minimum code size of 1 can
// tell the difference (its first free entry, 4, already needs 3 bits), and
// checking every time is what an encoder that widens as soon as its own table
// needs it produces.
//
// Damage is refused rather than guessed at: a code that is neither in the
// table nor the next to be added, data that stops before the last pixel, or a
// file that ends early. Indices beyond the colour table are drawn black, like
// the unused entries of a table padded to its power-of-two size.

#include "picture/gif_decoder.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string>

namespace vexel {
namespace {

constexpr char kSignature87[] = "GIF87a";
constexpr char kSignature89[] = "GIF89a";
constexpr size_t kSignatureLength = 6;

constexpr uint8_t kExtensionIntroducer = 0x21;
constexpr uint8_t kImageSeparator = 0x2C;
constexpr uint8_t kTrailer = 0x3B;
constexpr uint8_t kGraphicControlLabel = 0xF9;
constexpr uint8_t kPlainTextLabel = 0x01;

// Flags of the packed bytes of the screen descriptor and the image descriptor.
constexpr uint8_t kColourTableFlag = 0x80;
constexpr uint8_t kInterlaceFlag = 0x40;
constexpr uint8_t kColourTableSizeMask = 0x07;
// Flag of the graphic control extension's packed byte.
constexpr uint8_t kTransparentFlag = 0x01;
constexpr uint8_t kGraphicControlSize = 4;

constexpr int kMaxCodeBits = 12;
constexpr int kMaxCodes = 1 << kMaxCodeBits;
// One bit a pixel still needs clear and end codes, so some encoders write a
// minimum of 1 and the format itself asks for 2; 8 covers 256 colours.
constexpr int kMinCodeSizeLow = 1;
constexpr int kMinCodeSizeHigh = 8;

struct Rgb {
    uint8_t Red = 0;
    uint8_t Green = 0;
    uint8_t Blue = 0;
};

// A bounds-checked cursor over the file; every read past the end throws with
// the name of what was being read.
class ByteReader {
  public:
    explicit ByteReader(std::string_view bytes) : bytes_(bytes) {}

    uint8_t Byte(const char* what) {
        Need(1, what);
        return static_cast<uint8_t>(bytes_[pos_++]);
    }

    uint16_t Word(const char* what) {
        Need(2, what);
        const auto low = static_cast<uint8_t>(bytes_[pos_]);
        const auto high = static_cast<uint8_t>(bytes_[pos_ + 1]);
        pos_ += 2;
        return static_cast<uint16_t>(low | (high << 8));
    }

    std::string_view Bytes(size_t count, const char* what) {
        Need(count, what);
        const std::string_view part = bytes_.substr(pos_, count);
        pos_ += count;
        return part;
    }

    size_t Position() const { return pos_; }

  private:
    void Need(size_t count, const char* what) const {
        if (bytes_.size() - pos_ < count) {
            throw GifError(std::string("GIF: truncated ") + what);
        }
    }

    std::string_view bytes_;
    size_t pos_ = 0;
};

std::vector<Rgb> ReadColourTable(ByteReader& reader, uint8_t packed, const char* what) {
    const size_t entries = size_t{2} << (packed & kColourTableSizeMask);
    const std::string_view raw = reader.Bytes(entries * 3, what);
    std::vector<Rgb> table(entries);
    for (size_t i = 0; i < entries; ++i) {
        table[i] = {static_cast<uint8_t>(raw[3 * i]), static_cast<uint8_t>(raw[3 * i + 1]),
                    static_cast<uint8_t>(raw[3 * i + 2])};
    }
    return table;
}

// Skips a chain of sub-blocks up to and including its empty terminator.
void SkipSubBlocks(ByteReader& reader, const char* what) {
    for (uint8_t length = reader.Byte(what); length != 0; length = reader.Byte(what)) {
        reader.Bytes(length, what);
    }
}

std::vector<uint8_t> JoinSubBlocks(ByteReader& reader) {
    std::vector<uint8_t> data;
    for (uint8_t length = reader.Byte("image data"); length != 0; length = reader.Byte("image data")) {
        const std::string_view part = reader.Bytes(length, "image data");
        data.insert(data.end(), part.begin(), part.end());
    }
    return data;
}

// Reads codes least significant bit first; reports the end of the data
// instead of reading past it.
class CodeReader {
  public:
    explicit CodeReader(const std::vector<uint8_t>& data) : data_(data) {}

    bool Next(int width, int& code) {
        while (bits_ < width) {
            if (pos_ == data_.size()) {
                return false;
            }
            buffer_ |= static_cast<uint32_t>(data_[pos_++]) << bits_;
            bits_ += 8;
        }
        code = static_cast<int>(buffer_ & ((1u << width) - 1));
        buffer_ >>= width;
        bits_ -= width;
        return true;
    }

  private:
    const std::vector<uint8_t>& data_;
    size_t pos_ = 0;
    uint32_t buffer_ = 0;
    int bits_ = 0;
};

// Where the rows of the image land: in order, or in the four passes of an
// interlaced image (every 8th row from 0, every 8th from 4, every 4th from 2,
// every 2nd from 1).
std::vector<int32_t> RowOrder(int32_t height, bool interlaced) {
    std::vector<int32_t> rows;
    rows.reserve(static_cast<size_t>(height));
    if (!interlaced) {
        for (int32_t y = 0; y < height; ++y) {
            rows.push_back(y);
        }
        return rows;
    }
    constexpr std::array<std::pair<int32_t, int32_t>, 4> kPasses = {{{0, 8}, {4, 8}, {2, 4}, {1, 2}}};
    for (const auto& [start, step] : kPasses) {
        for (int32_t y = start; y < height; y += step) {
            rows.push_back(y);
        }
    }
    return rows;
}

// Expands the LZW data into `count` colour indices, handing each to `put` in
// stream order. Data left after the last pixel is ignored.
template <typename Put>
void DecodeLzw(const std::vector<uint8_t>& data, int minCodeSize, int64_t count, Put put) {
    const int clearCode = 1 << minCodeSize;
    const int endCode = clearCode + 1;

    // Each entry is its prefix entry plus one index; the length lets a string
    // be written back to front without a stack.
    std::array<uint16_t, kMaxCodes> prefix{};
    std::array<uint8_t, kMaxCodes> suffix{};
    std::array<uint8_t, kMaxCodes> first{};
    std::array<uint16_t, kMaxCodes> length{};
    for (int code = 0; code < clearCode; ++code) {
        suffix[code] = static_cast<uint8_t>(code);
        first[code] = static_cast<uint8_t>(code);
        length[code] = 1;
    }

    std::array<uint8_t, kMaxCodes> string{};
    CodeReader reader(data);
    int width = minCodeSize + 1;
    int next = clearCode + 2;
    int previous = -1;
    int64_t written = 0;
    int code = 0;

    while (written < count) {
        if (!reader.Next(width, code)) {
            throw GifError("GIF: image data ends before the last pixel");
        }
        if (code == clearCode) {
            width = minCodeSize + 1;
            next = clearCode + 2;
            previous = -1;
            continue;
        }
        if (code == endCode) {
            throw GifError("GIF: image data ends before the last pixel");
        }

        if (previous < 0) {
            if (code > clearCode) {
                throw GifError("GIF: damaged image data (a code before its table entry)");
            }
        } else if (code > next) {
            throw GifError("GIF: damaged image data (a code before its table entry)");
        } else if (next < kMaxCodes) {
            // For code == next this defines the very entry about to be written.
            prefix[next] = static_cast<uint16_t>(previous);
            first[next] = first[previous];
            suffix[next] = code == next ? first[previous] : first[code];
            length[next] = static_cast<uint16_t>(length[previous] + 1);
            ++next;
        }

        const int size = length[code];
        int entry = code;
        for (int i = size - 1; i >= 0; --i) {
            string[i] = suffix[entry];
            entry = prefix[entry];
        }
        const int64_t take = std::min<int64_t>(size, count - written);
        for (int64_t i = 0; i < take; ++i) {
            put(written + i, string[i]);
        }
        written += take;

        if (next == (1 << width) && width < kMaxCodeBits) {
            ++width;
        }
        previous = code;
    }
}

}  // namespace

uint32_t GifImage::Pixel(int32_t x, int32_t y) const {
    const size_t at = (static_cast<size_t>(y) * static_cast<size_t>(Width) + static_cast<size_t>(x)) * 4;
    return static_cast<uint32_t>(Pixels[at]) | static_cast<uint32_t>(Pixels[at + 1]) << 8 |
           static_cast<uint32_t>(Pixels[at + 2]) << 16 | static_cast<uint32_t>(Pixels[at + 3]) << 24;
}

bool IsGif(std::string_view bytes) {
    const std::string_view signature = bytes.substr(0, kSignatureLength);
    return signature == kSignature87 || signature == kSignature89;
}

GifImage DecodeGif(std::string_view bytes, const GifLimits& limits) {
    if (!IsGif(bytes)) {
        throw GifError("GIF: not a GIF file");
    }
    ByteReader reader(bytes);
    reader.Bytes(kSignatureLength, "header");

    const uint16_t screenWidth = reader.Word("screen descriptor");
    const uint16_t screenHeight = reader.Word("screen descriptor");
    const uint8_t screenFlags = reader.Byte("screen descriptor");
    reader.Byte("screen descriptor");  // background colour index: browsers leave the screen transparent
    reader.Byte("screen descriptor");  // pixel aspect ratio
    std::vector<Rgb> globalTable;
    if (screenFlags & kColourTableFlag) {
        globalTable = ReadColourTable(reader, screenFlags, "global colour table");
    }

    bool transparent = false;
    uint8_t transparentIndex = 0;
    for (;;) {
        const size_t blockAt = reader.Position();
        const uint8_t introducer = reader.Byte("file before the first image");
        if (introducer == kTrailer) {
            throw GifError("GIF: the file holds no image");
        }
        if (introducer == kExtensionIntroducer) {
            const uint8_t label = reader.Byte("extension");
            if (label == kGraphicControlLabel) {
                const uint8_t size = reader.Byte("graphic control extension");
                const std::string_view body = reader.Bytes(size, "graphic control extension");
                if (size >= kGraphicControlSize) {
                    transparent = (static_cast<uint8_t>(body[0]) & kTransparentFlag) != 0;
                    transparentIndex = static_cast<uint8_t>(body[3]);
                }
                SkipSubBlocks(reader, "graphic control extension");
            } else {
                // A graphic control extension in front of plain text belongs to
                // that text, which browsers do not draw.
                if (label == kPlainTextLabel) {
                    transparent = false;
                }
                SkipSubBlocks(reader, "extension");
            }
            continue;
        }
        if (introducer != kImageSeparator) {
            throw GifError("GIF: damaged file (unknown block at byte " + std::to_string(blockAt) + ")");
        }

        const uint16_t left = reader.Word("image descriptor");
        const uint16_t top = reader.Word("image descriptor");
        const uint16_t width = reader.Word("image descriptor");
        const uint16_t height = reader.Word("image descriptor");
        const uint8_t imageFlags = reader.Byte("image descriptor");

        const int64_t canvasWidth = std::max<int64_t>(screenWidth, int64_t{left} + width);
        const int64_t canvasHeight = std::max<int64_t>(screenHeight, int64_t{top} + height);
        if (canvasWidth == 0 || canvasHeight == 0) {
            throw GifError("GIF: the picture has no pixels");
        }
        if (canvasWidth > limits.MaxSide || canvasHeight > limits.MaxSide ||
            canvasWidth * canvasHeight > limits.MaxPixels) {
            throw GifError("GIF: picture too large (" + std::to_string(canvasWidth) + " x " +
                           std::to_string(canvasHeight) + ")");
        }

        std::vector<Rgb> localTable;
        if (imageFlags & kColourTableFlag) {
            localTable = ReadColourTable(reader, imageFlags, "local colour table");
        }
        const std::vector<Rgb>& table = localTable.empty() ? globalTable : localTable;
        if (table.empty()) {
            throw GifError("GIF: the image has no colour table");
        }

        const uint8_t minCodeSize = reader.Byte("image data");
        if (minCodeSize < kMinCodeSizeLow || minCodeSize > kMinCodeSizeHigh) {
            throw GifError("GIF: damaged image data (LZW code size " + std::to_string(minCodeSize) + ")");
        }
        const std::vector<uint8_t> data = JoinSubBlocks(reader);

        GifImage image;
        image.Width = static_cast<int32_t>(canvasWidth);
        image.Height = static_cast<int32_t>(canvasHeight);
        image.Pixels.assign(static_cast<size_t>(canvasWidth * canvasHeight) * 4, 0);
        image.HasTransparency = width < canvasWidth || height < canvasHeight;

        const std::vector<int32_t> rows = RowOrder(height, (imageFlags & kInterlaceFlag) != 0);
        const int64_t count = int64_t{width} * height;
        uint8_t* const pixels = image.Pixels.data();
        bool anyTransparent = false;
        if (count > 0) {
            DecodeLzw(data, minCodeSize, count, [&](int64_t n, uint8_t index) {
                const int64_t y = top + rows[static_cast<size_t>(n / width)];
                const int64_t x = left + n % width;
                uint8_t* const out = pixels + (y * canvasWidth + x) * 4;
                if (transparent && index == transparentIndex) {
                    anyTransparent = true;
                    return;  // the canvas is already transparent black
                }
                const Rgb colour = index < table.size() ? table[index] : Rgb{};
                out[0] = colour.Blue;
                out[1] = colour.Green;
                out[2] = colour.Red;
                out[3] = 0xFF;
            });
        }
        image.HasTransparency = image.HasTransparency || anyTransparent;
        return image;
    }
}

}  // namespace vexel
