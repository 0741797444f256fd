// The indexed encoder against the exhaustive search on small inputs: the same
// data stream byte for byte. The first byte picks the window.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "engine/data_format.h"
#include "engine/encoder.h"
#include "tests/engine/exhaustive_encoder.h"

namespace {

// The exhaustive search costs about n * window * 21 steps: keep inputs small
// enough for thousands of runs a second.
constexpr std::size_t kLargestInput = 1200;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, std::size_t size) {
    if (size == 0 || size > kLargestInput + 1) {
        return 0;
    }
    const int window = (bytes[0] & 1) != 0 ? vexel::kHighSpeedWindow : vexel::kWideWindow;
    const std::string_view input(reinterpret_cast<const char*>(bytes + 1), size - 1);
    if (vexel::Encode(input, window) != vexel::testing::EncodeExhaustive(input, window)) {
        std::abort();
    }
    return 0;
}
