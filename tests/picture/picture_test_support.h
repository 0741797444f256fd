// Shared pieces of the picture tests: the GIF files ImageMagick made with its
// decoding of each (made by data/make-gifs.sh), and pixel helpers.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "picture/gif_decoder.h"
#include "tests/picture/gif_writer.h"

namespace vexel::testing {

inline std::filesystem::path PictureDataDir() {
    const char* source = std::getenv("VEXEL_SOURCE_DIR");
    EXPECT_NE(source, nullptr) << "VEXEL_SOURCE_DIR is not set";
    return std::filesystem::path(source != nullptr ? source : ".") / "tests" / "picture" / "data";
}

inline std::string ReadData(const std::string& name) {
    std::ifstream file(PictureDataDir() / name, std::ios::binary);
    EXPECT_TRUE(file.good()) << "cannot open " << (PictureDataDir() / name).string();
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

// One line of data/index.txt: where ImageMagick put the first frame.
struct Sample {
    std::string Name;
    int32_t ScreenWidth = 0;
    int32_t ScreenHeight = 0;
    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Width = 0;
    int32_t Height = 0;
};

inline std::vector<Sample> Samples() {
    std::istringstream index(ReadData("index.txt"));
    std::vector<Sample> samples;
    Sample s;
    while (index >> s.Name >> s.ScreenWidth >> s.ScreenHeight >> s.Left >> s.Top >> s.Width >> s.Height) {
        samples.push_back(s);
    }
    return samples;
}

inline Sample FindSample(const std::string& name) {
    for (const Sample& s : Samples()) {
        if (s.Name == name) {
            return s;
        }
    }
    ADD_FAILURE() << "no sample " << name << " in index.txt";
    return {};
}

// The offset just past the first image's data (its empty sub-block), found
// by walking the blocks of a sound file.
inline size_t FirstImageEnd(const std::string& gif) {
    auto byte = [&](size_t at) { return static_cast<uint8_t>(gif.at(at)); };
    auto skipBlocks = [&](size_t at) {
        while (byte(at) != 0) {
            at += byte(at) + 1;
        }
        return at + 1;
    };
    size_t at = 13;
    if (byte(10) & 0x80) {
        at += 3 * (size_t{2} << (byte(10) & 7));
    }
    while (byte(at) == 0x21) {
        at = skipBlocks(at + 2);
    }
    EXPECT_EQ(byte(at), 0x2C);
    const uint8_t flags = byte(at + 9);
    at += 10;
    if (flags & 0x80) {
        at += 3 * (size_t{2} << (flags & 7));
    }
    return skipBlocks(at + 1);
}

// 0xAARRGGBB as the decoder's Pixel gives it; every transparent pixel is 0.
inline uint32_t Argb(uint8_t r, uint8_t g, uint8_t b, uint8_t a = 0xFF) {
    return a == 0 ? 0u
                  : static_cast<uint32_t>(a) << 24 | static_cast<uint32_t>(r) << 16 |
                        static_cast<uint32_t>(g) << 8 | b;
}

inline uint32_t Argb(const Colour& c) {
    return Argb(c.Red, c.Green, c.Blue);
}

// Compares the frame's rectangle of `image` with ImageMagick's RGBA bytes of
// the frame, pixel for pixel; reports the count and the first difference.
inline ::testing::AssertionResult FrameMatches(const GifImage& image,
                                               const Sample& s,
                                               const std::string& rgba) {
    if (rgba.size() != static_cast<size_t>(s.Width) * s.Height * 4) {
        return ::testing::AssertionFailure() << "expected pixels of " << s.Name << " have the wrong size";
    }
    int64_t wrong = 0;
    std::ostringstream first;
    for (int32_t y = 0; y < s.Height; ++y) {
        for (int32_t x = 0; x < s.Width; ++x) {
            const auto* p = reinterpret_cast<const uint8_t*>(rgba.data()) + (size_t(y) * s.Width + x) * 4;
            // ImageMagick keeps the palette colour of a transparent pixel; the
            // decoder gives transparent black.
            const uint32_t want = Argb(p[0], p[1], p[2], p[3] == 0 ? 0 : 0xFF);
            const uint32_t got = image.Pixel(s.Left + x, s.Top + y);
            if (p[3] != 0 && p[3] != 0xFF) {
                return ::testing::AssertionFailure() << "ImageMagick gave partial alpha at " << x << "," << y;
            }
            if (want != got && wrong++ == 0) {
                first << std::hex << "first at " << std::dec << x << "," << y << ": want 0x" << std::hex
                      << want << ", got 0x" << got;
            }
        }
    }
    if (wrong != 0) {
        return ::testing::AssertionFailure() << s.Name << ": " << wrong << " pixels differ, " << first.str();
    }
    return ::testing::AssertionSuccess();
}

}  // namespace vexel::testing
