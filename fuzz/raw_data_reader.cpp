// The raw data reader on any bytes: it expands them or stops with DataError,
// never reads or writes out of bounds, and both ways of reading literals agree
// on everything but the shift.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "engine/data_format.h"
#include "engine/errors.h"

namespace {

// Expands `data`; false when the reader stopped on corrupt data.
bool Expand(std::string_view data, vexel::Literals literals, std::string& out) {
    try {
        vexel::ExpandData(data, literals, out);
        return true;
    } catch (const vexel::DataError&) {
        return false;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, std::size_t size) {
    const std::string_view data(reinterpret_cast<const char*>(bytes), size);
    std::string shifted;
    std::string unshifted;
    const bool shifted_whole = Expand(data, vexel::Literals::Shifted, shifted);
    const bool unshifted_whole = Expand(data, vexel::Literals::Unshift, unshifted);
    // The shift changes literals only, never where a copy starts or ends.
    if (shifted_whole != unshifted_whole || shifted.size() != unshifted.size()) {
        std::abort();
    }
    for (std::size_t i = 0; i < shifted.size(); ++i) {
        const auto a = static_cast<unsigned char>(shifted[i]);
        const auto b = static_cast<unsigned char>(unshifted[i]);
        // The page decoders lower every literal 41..127 by one.
        if (a != b && !(a >= 41 && a <= 127 && b == a - 1)) {
            std::abort();
        }
    }
    return 0;
}
