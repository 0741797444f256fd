// The program's own pictures in resources/: the sizes and formats the windows
// count on, the splash read back by our decoder, and the transparent colour
// in the bottom-left pixel of every picture drawn with one.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "picture/gif_decoder.h"
#include "tests/picture/picture_test_support.h"

namespace vexel {
namespace {

std::string ReadResource(const std::string& name) {
    const char* source = std::getenv("VEXEL_SOURCE_DIR");
    EXPECT_NE(source, nullptr) << "VEXEL_SOURCE_DIR is not set";
    const auto path = std::filesystem::path(source != nullptr ? source : ".") / "resources" / name;
    std::ifstream file(path, std::ios::binary);
    EXPECT_TRUE(file.good()) << "cannot open " << path.string();
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

uint32_t Le(const std::string& bytes, size_t at, int size) {
    uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i) {
        value = value << 8 | static_cast<uint8_t>(bytes.at(at + static_cast<size_t>(i)));
    }
    return value;
}

struct Bmp {
    int32_t Width = 0;
    int32_t Height = 0;  // positive: rows stored bottom-up
    int BitCount = 0;
    uint32_t BottomLeft = 0;  // 0xRRGGBB
};

Bmp ReadBmp(const std::string& name) {
    const std::string bytes = ReadResource(name);
    Bmp bmp;
    EXPECT_GE(bytes.size(), 58u) << name;
    if (bytes.size() < 58) {
        return bmp;
    }
    EXPECT_EQ(bytes.substr(0, 2), "BM") << name;
    EXPECT_EQ(Le(bytes, 14, 4), 40u) << name << ": not a plain BITMAPINFOHEADER bitmap";
    EXPECT_EQ(Le(bytes, 30, 4), 0u) << name << ": compressed";
    bmp.Width = static_cast<int32_t>(Le(bytes, 18, 4));
    bmp.Height = static_cast<int32_t>(Le(bytes, 22, 4));
    bmp.BitCount = static_cast<int>(Le(bytes, 28, 2));
    const size_t pixels = Le(bytes, 10, 4);
    EXPECT_GE(bytes.size(), pixels + size_t((bmp.Width * 3 + 3) / 4 * 4) * size_t(bmp.Height)) << name;
    bmp.BottomLeft = Le(bytes, pixels, 3);  // blue, green, red
    return bmp;
}

TEST(Resources, BitmapsHaveTheSizesTheWindowsPlaceThemAt) {
    struct Want {
        const char* Name;
        int32_t Width;
        int32_t Height;
    };
    for (const Want& want :
         {Want{"skin.bmp", 636, 452}, Want{"close.bmp", 17, 17}, Want{"tip-title.bmp", 325, 35},
          Want{"glyph-help.bmp", 128, 32}, Want{"glyph-tips.bmp", 128, 32}, Want{"glyph-log.bmp", 128, 32},
          Want{"glyph-exit.bmp", 128, 32}, Want{"idle.bmp", 300, 110}, Want{"tip-corner.bmp", 96, 67},
          Want{"texture.bmp", 64, 64}}) {
        SCOPED_TRACE(want.Name);
        const Bmp bmp = ReadBmp(want.Name);
        EXPECT_EQ(bmp.Width, want.Width);
        EXPECT_EQ(bmp.Height, want.Height);
        EXPECT_EQ(bmp.BitCount, 24);
    }
}

TEST(Resources, PicturesDrawnWithATransparentColourHoldItBottomLeft) {
    for (const char* name : {"glyph-help.bmp", "glyph-tips.bmp", "glyph-log.bmp", "glyph-exit.bmp",
                             "idle.bmp", "tip-title.bmp", "tip-corner.bmp"}) {
        EXPECT_EQ(ReadBmp(name).BottomLeft, 0xFF00FFu) << name;
    }
    // The skin and the close picture are drawn opaque.
    EXPECT_NE(ReadBmp("skin.bmp").BottomLeft, 0xFF00FFu);
    EXPECT_NE(ReadBmp("close.bmp").BottomLeft, 0xFF00FFu);
}

TEST(Resources, SplashIsASingleFrameGif87aOf330By172) {
    const std::string gif = ReadResource("splash.gif");
    ASSERT_TRUE(IsGif(gif));
    EXPECT_EQ(gif.substr(0, 6), "GIF87a");
    const GifImage splash = DecodeGif(gif);
    EXPECT_EQ(splash.Width, 330);
    EXPECT_EQ(splash.Height, 172);
    EXPECT_FALSE(splash.HasTransparency);
    // Nothing but the trailer after the first image: a single frame.
    EXPECT_EQ(testing::FirstImageEnd(gif), gif.size() - 1);
    EXPECT_EQ(gif.back(), ';');
}

TEST(Resources, IconHoldsSixteenThirtyTwoAndFortyEightPixels) {
    const std::string ico = ReadResource("vexel.ico");
    ASSERT_GE(ico.size(), 6u + 3 * 16);
    EXPECT_EQ(Le(ico, 0, 2), 0u);
    EXPECT_EQ(Le(ico, 2, 2), 1u);  // an icon, not a cursor
    ASSERT_EQ(Le(ico, 4, 2), 3u);
    for (size_t i = 0; i < 3; ++i) {
        const size_t entry = 6 + 16 * i;
        const uint32_t side = 16u * static_cast<uint32_t>(i + 1);
        EXPECT_EQ(Le(ico, entry, 1), side);
        EXPECT_EQ(Le(ico, entry + 1, 1), side);
        EXPECT_LE(Le(ico, entry + 12, 4) + Le(ico, entry + 8, 4), ico.size());
    }
}

}  // namespace
}  // namespace vexel
