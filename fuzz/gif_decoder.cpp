// Fuzz target for the GIF decoder: any input is decoded or refused with a
// GifError; a decoded picture must keep the promises of GifImage.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "picture/gif_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // A smaller area than the default keeps every run quick; the checks that
    // guard the limits are the same.
    vexel::GifLimits limits;
    limits.MaxPixels = int64_t{1} << 20;
    try {
        const vexel::GifImage image =
            vexel::DecodeGif(std::string_view(reinterpret_cast<const char*>(data), size), limits);
        if (image.Width <= 0 || image.Height <= 0 || int64_t{image.Width} * image.Height > limits.MaxPixels ||
            image.Pixels.size() != static_cast<size_t>(image.Width) * image.Height * 4) {
            __builtin_trap();
        }
        bool transparent = false;
        for (size_t i = 0; i < image.Pixels.size(); i += 4) {
            const uint8_t alpha = image.Pixels[i + 3];
            if (alpha == 0) {
                transparent = true;
                if (image.Pixels[i] != 0 || image.Pixels[i + 1] != 0 || image.Pixels[i + 2] != 0) {
                    __builtin_trap();
                }
            } else if (alpha != 0xFF) {
                __builtin_trap();
            }
        }
        if (transparent != image.HasTransparency) {
            __builtin_trap();
        }
    } catch (const vexel::GifError&) {
    }
    return 0;
}
