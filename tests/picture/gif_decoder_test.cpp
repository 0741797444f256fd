// The GIF decoder: ImageMagick's files decoded pixel for pixel as ImageMagick
// decodes them, and files written here with the choices ImageMagick never
// makes (code size 1, local tables on the first frame, a full table kept,
// odd sub-blocks, extensions of every kind in front of the image).
#include <gtest/gtest.h>

#include <random>

#include "picture/gif_decoder.h"
#include "tests/picture/gif_writer.h"
#include "tests/picture/picture_test_support.h"

namespace vexel {
namespace {

using testing::Argb;
using testing::Colour;
using testing::FindSample;
using testing::FrameMatches;
using testing::GifSpec;
using testing::ReadData;
using testing::Sample;
using testing::Samples;
using testing::WriteGif;

std::vector<uint8_t> RandomIndices(size_t count, int colours, unsigned seed) {
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> pick(0, colours - 1);
    std::vector<uint8_t> indices(count);
    for (auto& index : indices) {
        index = static_cast<uint8_t>(pick(random));
    }
    return indices;
}

std::vector<Colour> DistinctColours(int count) {
    std::vector<Colour> table;
    for (int i = 0; i < count; ++i) {
        table.push_back({static_cast<uint8_t>(i * 37 + 11), static_cast<uint8_t>(255 - i),
                         static_cast<uint8_t>((i * 101) & 0xFF)});
    }
    return table;
}

// Every pixel of a written file is the table colour of its index (or
// transparent for `transparentIndex`), at the frame's place on the screen.
::testing::AssertionResult ShowsIndices(const GifImage& image,
                                        const GifSpec& spec,
                                        const std::vector<Colour>& table,
                                        int transparentIndex = -1) {
    for (int y = 0; y < spec.Height; ++y) {
        for (int x = 0; x < spec.Width; ++x) {
            const uint8_t index = spec.Indices[size_t(y) * spec.Width + x];
            const uint32_t want = index == transparentIndex ? 0u : Argb(table.at(index));
            const uint32_t got = image.Pixel(spec.Left + x, spec.Top + y);
            if (want != got) {
                return ::testing::AssertionFailure() << "pixel " << x << "," << y << " (index " << int(index)
                                                     << "): want 0x" << std::hex << want << ", got 0x" << got;
            }
        }
    }
    return ::testing::AssertionSuccess();
}

// The file with its global colour table moved into the first image's
// descriptor, where a local table lives.
std::string WithLocalTable(const std::string& gif) {
    const auto flags = static_cast<uint8_t>(gif[10]);
    EXPECT_TRUE(flags & 0x80) << "the file has no global table to move";
    const size_t tableBytes = 3 * (size_t{2} << (flags & 7));
    std::string table = gif.substr(13, tableBytes);
    std::string out = gif.substr(0, 13) + gif.substr(13 + tableBytes);
    out[10] = static_cast<char>(flags & 0x70);
    size_t at = 13;
    while (out[at] == '!') {  // skip the extensions in front of the image
        at += 2;
        while (out[at] != 0) {
            at += static_cast<uint8_t>(out[at]) + 1;
        }
        ++at;
    }
    EXPECT_EQ(out[at], ',');
    out[at + 9] = static_cast<char>(static_cast<uint8_t>(out[at + 9]) | 0x80 | (flags & 7));
    out.insert(at + 10, table);
    return out;
}

TEST(GifDecoder, EveryImageMagickFileMatchesImageMagicksDecoding) {
    const std::vector<Sample> samples = Samples();
    ASSERT_GE(samples.size(), 30u);
    for (const Sample& s : samples) {
        SCOPED_TRACE(s.Name);
        const GifImage image = DecodeGif(ReadData(s.Name + ".gif"));
        ASSERT_EQ(image.Width, s.ScreenWidth);
        ASSERT_EQ(image.Height, s.ScreenHeight);
        ASSERT_EQ(image.Pixels.size(), size_t(s.ScreenWidth) * s.ScreenHeight * 4);
        EXPECT_TRUE(FrameMatches(image, s, ReadData(s.Name + ".rgba")));
    }
}

TEST(GifDecoder, SamplesCoverEveryDepthBothVersionsAndInterlacing) {
    // Guards the sample set itself: the match above means little if
    // make-gifs.sh stopped making what its names promise.
    for (int bits = 1; bits <= 8; ++bits) {
        const std::string gif = ReadData("depth" + std::to_string(bits) + ".gif");
        ASSERT_GT(gif.size(), 13u);
        EXPECT_EQ((static_cast<uint8_t>(gif[10]) & 7) + 1, bits);
    }
    EXPECT_EQ(ReadData("old-97x71.gif").substr(0, 6), "GIF87a");
    EXPECT_EQ(ReadData("depth8.gif").substr(0, 6), "GIF89a");
    const std::string interlaced = ReadData("interlaced-87.gif");
    const size_t descriptor = 13 + 3 * (size_t{2} << (static_cast<uint8_t>(interlaced[10]) & 7));
    ASSERT_EQ(interlaced[descriptor], ',');
    EXPECT_TRUE(static_cast<uint8_t>(interlaced[descriptor + 9]) & 0x40);
}

TEST(GifDecoder, TransparentPixelsHaveAlphaZeroAndTheRestStayOpaque) {
    for (const std::string name :
         {"transparent-2", "transparent-16", "transparent-256", "transparent-interlaced"}) {
        SCOPED_TRACE(name);
        const GifImage image = DecodeGif(ReadData(name + ".gif"));
        const std::string rgba = ReadData(name + ".rgba");
        size_t want = 0;
        for (size_t i = 3; i < rgba.size(); i += 4) {
            want += rgba[i] == 0;
        }
        size_t got = 0;
        for (size_t i = 3; i < image.Pixels.size(); i += 4) {
            got += image.Pixels[i] == 0;
        }
        EXPECT_GT(want, 0u);
        EXPECT_EQ(got, want);
        EXPECT_TRUE(image.HasTransparency);
    }
    EXPECT_FALSE(DecodeGif(ReadData("depth8.gif")).HasTransparency);
}

TEST(GifDecoder, ScreenAreaOutsideTheFirstFrameIsTransparent) {
    const Sample s = FindSample("offset");
    ASSERT_GT(s.Left, 0);
    ASSERT_GT(s.Top, 0);
    const GifImage image = DecodeGif(ReadData("offset.gif"));
    EXPECT_TRUE(FrameMatches(image, s, ReadData("offset.rgba")));
    EXPECT_TRUE(image.HasTransparency);
    for (int32_t y = 0; y < image.Height; ++y) {
        for (int32_t x = 0; x < image.Width; ++x) {
            const bool inside = x >= s.Left && x < s.Left + s.Width && y >= s.Top && y < s.Top + s.Height;
            if (!inside) {
                ASSERT_EQ(image.Pixel(x, y), 0u) << x << "," << y;
            }
        }
    }
}

TEST(GifDecoder, AnAnimationGivesItsFirstFrameAndNeverReadsTheOthers) {
    const std::string gif = ReadData("animation.gif");
    const GifImage whole = DecodeGif(gif);
    EXPECT_TRUE(FrameMatches(whole, FindSample("animation"), ReadData("animation.rgba")));

    // Cut just after the first image's data: the later frames are not needed.
    const size_t cut = testing::FirstImageEnd(gif);
    ASSERT_LT(cut + 100, gif.size());
    EXPECT_EQ(DecodeGif(gif.substr(0, cut)).Pixels, whole.Pixels);
}

TEST(GifDecoder, ALocalColourTableServesTheFirstFrameAndOverridesTheGlobalOne) {
    for (const std::string name : {"depth1", "depth5", "transparent-16", "interlaced-87", "old-97x71"}) {
        SCOPED_TRACE(name);
        const std::string local = WithLocalTable(ReadData(name + ".gif"));
        EXPECT_TRUE(FrameMatches(DecodeGif(local), FindSample(name), ReadData(name + ".rgba")));
    }

    GifSpec spec;
    spec.Width = 9;
    spec.Height = 5;
    spec.GlobalTable = std::vector<Colour>(4, Colour{1, 2, 3});
    spec.LocalTable = DistinctColours(4);
    spec.Indices = RandomIndices(45, 4, 1);
    EXPECT_TRUE(ShowsIndices(DecodeGif(WriteGif(spec)), spec, spec.LocalTable));
}

TEST(GifDecoder, EveryMinimumCodeSizeFromOneToEight) {
    // Two colours need only one bit a pixel; any wider code size must decode
    // the same, and 1 (which some encoders write) must be understood too.
    for (int codeSize = 1; codeSize <= 8; ++codeSize) {
        SCOPED_TRACE(codeSize);
        GifSpec spec;
        spec.Width = 67;
        spec.Height = 41;
        spec.GlobalTable = DistinctColours(2);
        spec.Indices = RandomIndices(67 * 41, 2, 7);
        spec.Lzw.MinCodeSize = codeSize;
        EXPECT_TRUE(ShowsIndices(DecodeGif(WriteGif(spec)), spec, spec.GlobalTable));
    }
    for (int codeSize = 2; codeSize <= 8; ++codeSize) {
        SCOPED_TRACE(codeSize);
        const int colours = 1 << codeSize;
        GifSpec spec;
        spec.Width = 50;
        spec.Height = 30;
        spec.GlobalTable = DistinctColours(colours);
        spec.Indices = RandomIndices(1500, colours, codeSize);
        spec.Lzw.MinCodeSize = codeSize;
        EXPECT_TRUE(ShowsIndices(DecodeGif(WriteGif(spec)), spec, spec.GlobalTable));
    }
}

TEST(GifDecoder, AFullCodeTableIsKeptUntilTheNextClearCode) {
    // Random 256-colour data fills the 4096 entries within a few thousand
    // pixels; one file clears the table then, the other keeps coding with it.
    for (const bool clear : {true, false}) {
        SCOPED_TRACE(clear ? "clear when full" : "keep the full table");
        GifSpec spec;
        spec.Width = 211;
        spec.Height = 97;
        spec.GlobalTable = DistinctColours(256);
        spec.Indices = RandomIndices(211 * 97, 256, 3);
        spec.Lzw.MinCodeSize = 8;
        spec.Lzw.ClearWhenFull = clear;
        EXPECT_TRUE(ShowsIndices(DecodeGif(WriteGif(spec)), spec, spec.GlobalTable));
    }
    // Long runs of one colour: strings thousands of pixels long.
    GifSpec runs;
    runs.Width = 300;
    runs.Height = 200;
    runs.GlobalTable = DistinctColours(4);
    runs.Indices.assign(300 * 200, 2);
    for (size_t i = 0; i < runs.Indices.size(); i += 7919) {
        runs.Indices[i] = 1;
    }
    EXPECT_TRUE(ShowsIndices(DecodeGif(WriteGif(runs)), runs, runs.GlobalTable));
}

TEST(GifDecoder, InterlacedRowsLandInTheirPlaceAtEveryHeight) {
    for (uint16_t height = 1; height <= 20; ++height) {
        SCOPED_TRACE(height);
        GifSpec spec;
        spec.Width = 3;
        spec.Height = height;
        spec.GlobalTable = DistinctColours(32);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < 3; ++x) {
                spec.Indices.push_back(static_cast<uint8_t>(y + x * 7 % 5));
            }
        }
        spec.Interlaced = true;
        spec.Lzw.MinCodeSize = 5;
        EXPECT_TRUE(ShowsIndices(DecodeGif(WriteGif(spec)), spec, spec.GlobalTable));
    }
}

TEST(GifDecoder, SubBlockBoundariesAndTheEndCodeDoNotMatter) {
    GifSpec spec;
    spec.Width = 40;
    spec.Height = 25;
    spec.GlobalTable = DistinctColours(16);
    spec.Indices = RandomIndices(1000, 16, 5);
    spec.Lzw.MinCodeSize = 4;
    const std::string data = testing::LzwEncode(spec.Indices, spec.Lzw);

    const std::string file = WriteGif(spec);
    const size_t dataAt = file.size() - testing::SubBlocks(data).size() - 1;
    ASSERT_EQ(file[dataAt - 1], '\x04');
    for (const size_t block : {size_t{1}, size_t{2}, size_t{254}}) {
        SCOPED_TRACE(block);
        const std::string reblocked = file.substr(0, dataAt) + testing::SubBlocks(data, block) + ";";
        EXPECT_TRUE(ShowsIndices(DecodeGif(reblocked), spec, spec.GlobalTable));
    }

    // No end code: the last pixel is enough.
    GifSpec noEnd = spec;
    noEnd.Lzw.EndCode = false;
    EXPECT_TRUE(ShowsIndices(DecodeGif(WriteGif(noEnd)), noEnd, noEnd.GlobalTable));

    // More codes than pixels: the surplus is ignored.
    GifSpec shorter = spec;
    shorter.Height = 24;
    const std::string extra = file.substr(0, 13 + 48) + std::string(",\0\0\0\0\x28\0\x18\0\0\x04", 11) +
                              testing::SubBlocks(data) + ";";
    shorter.Indices.resize(40 * 24);
    EXPECT_TRUE(ShowsIndices(DecodeGif(extra), shorter, spec.GlobalTable));
}

TEST(GifDecoder, ExtensionsInFrontOfTheImageAreSkipped) {
    GifSpec spec;
    spec.Width = 6;
    spec.Height = 4;
    spec.GlobalTable = DistinctColours(4);
    spec.Indices = RandomIndices(24, 4, 9);
    spec.BeforeImage = std::string("\x21\xFE\x05hello\x03\x61\x62\x63\x00", 13) +        // comment
                       std::string("\x21\xFF\x0BNETSCAPE2.0\x03\x01\x00\x00\x00", 19) +  // application
                       std::string("\x21\x77\x02xy\x00", 6) +                            // unknown label
                       std::string("\x21\xF9\x06\x01\x00\x00\x03\x00\x00\x00", 10);      // long control
    EXPECT_TRUE(ShowsIndices(DecodeGif(WriteGif(spec)), spec, spec.GlobalTable, 3));

    // A control extension in front of plain text belongs to the text, not to
    // the image after it.
    spec.TransparentIndex = 2;
    spec.BeforeImage = std::string("\x21\x01\x0C", 3) + std::string(12, '\0') + std::string("\x02hi\x00", 4);
    const GifImage image = DecodeGif(WriteGif(spec));
    EXPECT_TRUE(ShowsIndices(image, spec, spec.GlobalTable));
    EXPECT_FALSE(image.HasTransparency);

    spec.BeforeImage.clear();
    EXPECT_TRUE(ShowsIndices(DecodeGif(WriteGif(spec)), spec, spec.GlobalTable, 2));
}

TEST(GifDecoder, AFrameBeyondTheScreenGrowsThePictureToHoldIt) {
    GifSpec spec;
    spec.ScreenWidth = 10;
    spec.ScreenHeight = 3;
    spec.Left = 4;
    spec.Top = 2;
    spec.Width = 8;
    spec.Height = 5;
    spec.GlobalTable = DistinctColours(8);
    spec.Indices = RandomIndices(40, 8, 4);
    spec.Lzw.MinCodeSize = 3;
    const GifImage image = DecodeGif(WriteGif(spec));
    EXPECT_EQ(image.Width, 12);
    EXPECT_EQ(image.Height, 7);
    EXPECT_TRUE(ShowsIndices(image, spec, spec.GlobalTable));
    EXPECT_EQ(image.Pixel(0, 0), 0u);
    EXPECT_EQ(image.Pixel(3, 6), 0u);
    EXPECT_TRUE(image.HasTransparency);
}

TEST(GifDecoder, IndicesBeyondTheColourTableAreBlackAndAnEmptyFrameLeavesTheScreenClear) {
    GifSpec spec;
    spec.Width = 4;
    spec.Height = 1;
    spec.GlobalTable = DistinctColours(2);
    spec.Indices = {0, 3, 1, 2};
    spec.Lzw.MinCodeSize = 2;
    const GifImage image = DecodeGif(WriteGif(spec));
    EXPECT_EQ(image.Pixel(0, 0), Argb(spec.GlobalTable[0]));
    EXPECT_EQ(image.Pixel(1, 0), Argb(0, 0, 0));
    EXPECT_EQ(image.Pixel(2, 0), Argb(spec.GlobalTable[1]));
    EXPECT_EQ(image.Pixel(3, 0), Argb(0, 0, 0));
    EXPECT_FALSE(image.HasTransparency);

    GifSpec empty;
    empty.ScreenWidth = 5;
    empty.ScreenHeight = 2;
    empty.GlobalTable = DistinctColours(2);
    const GifImage clear = DecodeGif(WriteGif(empty));
    EXPECT_EQ(clear.Width, 5);
    EXPECT_EQ(clear.Height, 2);
    EXPECT_EQ(clear.Pixels, std::vector<uint8_t>(40, 0));
    EXPECT_TRUE(clear.HasTransparency);
}

TEST(GifDecoder, PixelsAreStoredBlueGreenRedAlphaTopDown) {
    GifSpec spec;
    spec.Width = 2;
    spec.Height = 2;
    spec.GlobalTable = {{0x10, 0x20, 0x30}, {0xA0, 0xB0, 0xC0}};
    spec.Indices = {0, 1, 1, 0};
    const GifImage image = DecodeGif(WriteGif(spec));
    const std::vector<uint8_t> want = {0x30, 0x20, 0x10, 0xFF, 0xC0, 0xB0, 0xA0, 0xFF,
                                       0xC0, 0xB0, 0xA0, 0xFF, 0x30, 0x20, 0x10, 0xFF};
    EXPECT_EQ(image.Pixels, want);
    EXPECT_EQ(image.Pixel(1, 0), 0xFFA0B0C0u);
}

TEST(GifDecoder, RecognisesBothSignaturesOnly) {
    EXPECT_TRUE(IsGif("GIF87a"));
    EXPECT_TRUE(IsGif(std::string("GIF89a\x01\x00", 8)));
    EXPECT_FALSE(IsGif("GIF88a"));
    EXPECT_FALSE(IsGif("gif89a"));
    EXPECT_FALSE(IsGif("GIF89"));
    EXPECT_FALSE(IsGif(""));
    EXPECT_FALSE(IsGif("\x89PNG\r\n\x1A\n"));
}

}  // namespace
}  // namespace vexel
