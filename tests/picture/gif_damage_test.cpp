// The GIF decoder on files that are not GIFs, are cut short, damaged, or ask
// for more than the limits allow: each is refused with a GifError that says
// why, and nothing else escapes.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "picture/gif_decoder.h"
#include "tests/picture/gif_writer.h"
#include "tests/picture/picture_test_support.h"

namespace vexel {
namespace {

using testing::Colour;
using testing::GifSpec;
using testing::ReadData;
using testing::WriteGif;

// The message of the GifError that decoding `bytes` throws; empty when it
// decodes. Any other exception fails the test.
std::string Refusal(const std::string& bytes, const GifLimits& limits = {}) {
    // A copy of exactly the given size, so that a read past its end is a
    // read past a heap block (which the sanitizer builds report).
    const std::unique_ptr<char[]> exact(new char[bytes.size() + (bytes.empty() ? 1 : 0)]);
    std::copy(bytes.begin(), bytes.end(), exact.get());
    try {
        DecodeGif(std::string_view(exact.get(), bytes.size()), limits);
    } catch (const GifError& e) {
        return e.what();
    }
    return "";
}

GifSpec SmallSpec() {
    GifSpec spec;
    spec.Width = 5;
    spec.Height = 3;
    spec.GlobalTable = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {9, 9, 9}};
    spec.Indices = {0, 1, 2, 3, 0, 1, 2, 3, 0, 1, 2, 3, 0, 1, 2};
    return spec;
}

// The offset of the byte that holds the LZW minimum code size.
size_t CodeSizeAt(const std::string& gif) {
    const size_t at = gif.find(',', 13);
    EXPECT_NE(at, std::string::npos);
    return at + 10;
}

TEST(GifDamage, NotAGifFile) {
    for (const std::string& bytes :
         {std::string(), std::string("GIF8"), std::string("GIF88a\0\0\0\0", 10),
          std::string("\x89PNG\r\n\x1A\n", 8), std::string("BM") + std::string(60, 'x')}) {
        EXPECT_EQ(Refusal(bytes), "GIF: not a GIF file");
    }
}

TEST(GifDamage, EveryCutBeforeTheEndOfTheFirstImageIsRefused) {
    for (const std::string name :
         {"depth1", "depth8", "interlaced-87", "transparent-16", "animation", "offset"}) {
        SCOPED_TRACE(name);
        const std::string gif = ReadData(name + ".gif");
        const size_t end = testing::FirstImageEnd(gif);
        for (size_t length = 0; length < end; ++length) {
            const std::string message = Refusal(gif.substr(0, length));
            ASSERT_FALSE(message.empty()) << "a cut to " << length << " of " << end << " bytes was accepted";
            ASSERT_EQ(message.rfind("GIF: ", 0), 0u) << message;
        }
        EXPECT_EQ(Refusal(gif.substr(0, end)), "");
    }
}

TEST(GifDamage, CutsNameWhatWasBeingRead) {
    const std::string gif = WriteGif(SmallSpec());
    EXPECT_EQ(Refusal(gif.substr(0, 8)), "GIF: truncated screen descriptor");
    EXPECT_EQ(Refusal(gif.substr(0, 20)), "GIF: truncated global colour table");
    EXPECT_EQ(Refusal(gif.substr(0, 25)), "GIF: truncated file before the first image");
    EXPECT_EQ(Refusal(gif.substr(0, 30)), "GIF: truncated image descriptor");
    EXPECT_EQ(Refusal(gif.substr(0, gif.size() - 3)), "GIF: truncated image data");

    GifSpec transparent = SmallSpec();
    transparent.TransparentIndex = 1;
    EXPECT_EQ(Refusal(WriteGif(transparent).substr(0, 28)), "GIF: truncated graphic control extension");
    GifSpec local = SmallSpec();
    local.LocalTable = local.GlobalTable;
    local.GlobalTable.clear();
    EXPECT_EQ(Refusal(WriteGif(local).substr(0, 25)), "GIF: truncated local colour table");
}

TEST(GifDamage, DamagedCodeStreams) {
    const std::string gif = WriteGif(SmallSpec());
    const size_t dataAt = CodeSizeAt(gif) + 2;  // after the code size and the block length

    // Clear (4), then code 7, which no entry defines yet: 3-bit codes, LSB first.
    std::string bad = gif;
    bad[dataAt] = static_cast<char>((4 | 7 << 3) & 0xFF);
    EXPECT_EQ(Refusal(bad), "GIF: damaged image data (a code before its table entry)");

    // Clear, a literal, then code 7 where the next entry is 6.
    bad[dataAt] = static_cast<char>((4 | 1 << 3 | 7 << 6) & 0xFF);
    bad[dataAt + 1] = static_cast<char>(7 >> 2);
    EXPECT_EQ(Refusal(bad), "GIF: damaged image data (a code before its table entry)");

    // Clear, a literal, then the end code with pixels still to come.
    bad[dataAt] = static_cast<char>((4 | 1 << 3 | 5 << 6) & 0xFF);
    bad[dataAt + 1] = static_cast<char>(5 >> 2);
    EXPECT_EQ(Refusal(bad), "GIF: image data ends before the last pixel");

    // Sound sub-blocks that hold too few codes.
    std::string lying = gif;
    lying[CodeSizeAt(gif) - 3] = 4;  // the descriptor's height
    EXPECT_EQ(Refusal(lying), "GIF: image data ends before the last pixel");
}

TEST(GifDamage, CodeSizesOutsideOneToEight) {
    const std::string gif = WriteGif(SmallSpec());
    for (const int size : {0, 9, 12, 255}) {
        std::string bad = gif;
        bad[CodeSizeAt(gif)] = static_cast<char>(size);
        EXPECT_EQ(Refusal(bad), "GIF: damaged image data (LZW code size " + std::to_string(size) + ")");
    }
}

TEST(GifDamage, BlocksThatDoNotBelong) {
    const std::string gif = WriteGif(SmallSpec());
    const size_t imageAt = gif.find(',', 13);
    std::string unknown = gif;
    unknown[imageAt] = '\x42';
    EXPECT_EQ(Refusal(unknown), "GIF: damaged file (unknown block at byte " + std::to_string(imageAt) + ")");

    std::string noImage = gif.substr(0, imageAt) + ";";
    EXPECT_EQ(Refusal(noImage), "GIF: the file holds no image");

    GifSpec noTable = SmallSpec();
    noTable.GlobalTable.clear();
    EXPECT_EQ(Refusal(WriteGif(noTable)), "GIF: the image has no colour table");

    GifSpec nothing = SmallSpec();
    nothing.Width = nothing.Height = 0;
    nothing.Indices.clear();
    nothing.ScreenWidth = 0;
    nothing.ScreenHeight = 0;
    std::string empty = WriteGif(nothing);
    EXPECT_EQ(Refusal(empty), "GIF: the picture has no pixels");
}

TEST(GifDamage, PicturesBeyondTheLimitsAreRefusedBeforeAnythingIsAllocated) {
    GifSpec wide = SmallSpec();
    wide.ScreenWidth = 16385;
    EXPECT_EQ(Refusal(WriteGif(wide)), "GIF: picture too large (16385 x 3)");
    wide.ScreenWidth = 16384;
    EXPECT_EQ(Refusal(WriteGif(wide)), "");

    // A frame far out on the screen makes the picture grow, within limits too.
    GifSpec far = SmallSpec();
    far.Left = 65000;
    far.Top = 65000;
    far.ScreenWidth = 1;
    far.ScreenHeight = 1;
    EXPECT_EQ(Refusal(WriteGif(far)), "GIF: picture too large (65005 x 65003)");

    // Both sides allowed, the area not: 5000 x 5000 is 25 million pixels.
    GifSpec square = SmallSpec();
    square.ScreenWidth = 5000;
    square.ScreenHeight = 5000;
    EXPECT_EQ(Refusal(WriteGif(square)), "GIF: picture too large (5000 x 5000)");
    EXPECT_EQ(Refusal(WriteGif(SmallSpec()), GifLimits{4, 100}), "GIF: picture too large (5 x 3)");
    EXPECT_EQ(Refusal(WriteGif(SmallSpec()), GifLimits{5, 14}), "GIF: picture too large (5 x 3)");
    EXPECT_EQ(Refusal(WriteGif(SmallSpec()), GifLimits{5, 15}), "");
}

TEST(GifDamage, FlippedBytesAreDecodedOrRefusedButNeverEscape) {
    // Whatever a flipped byte does, the result is a picture of a sane size or
    // a GifError; a crash, another exception or a huge picture fails.
    std::mt19937 random(2024);
    for (const std::string name : {"depth3", "depth8", "interlaced-h17", "transparent-256", "noise-2"}) {
        SCOPED_TRACE(name);
        const std::string gif = ReadData(name + ".gif");
        std::uniform_int_distribution<size_t> where(0, gif.size() - 1);
        std::uniform_int_distribution<int> bit(0, 7);
        int refused = 0;
        for (int round = 0; round < 300; ++round) {
            std::string bad = gif;
            for (int flips = 0; flips < 3; ++flips) {
                bad[where(random)] ^= static_cast<char>(1 << bit(random));
            }
            try {
                const GifImage image = DecodeGif(bad);
                EXPECT_EQ(image.Pixels.size(), size_t(image.Width) * image.Height * 4);
                EXPECT_LE(int64_t(image.Width) * image.Height, GifLimits{}.MaxPixels);
            } catch (const GifError& e) {
                EXPECT_EQ(std::string(e.what()).rfind("GIF: ", 0), 0u);
                ++refused;
            }
        }
        EXPECT_GT(refused, 0);
    }
}

}  // namespace
}  // namespace vexel
