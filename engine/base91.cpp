#include "engine/base91.h"

#include <cstdint>

namespace vexel {

namespace {

// Of 13 bits, values above this one leave room to carry 14 bits in two digits.
constexpr uint32_t kThirteenBitLimit = 88;
constexpr uint32_t kThirteenBits = (1u << 13) - 1;
constexpr uint32_t kFourteenBits = (1u << 14) - 1;

}  // namespace

char Base91Digit(int value) {
    // "!" (33) on, skipping '"' (34), '<' (60) and '\\' (92); the decoder in the
    // page undoes this with c - 33 - (c > 34) - (c > 60) - (c > 92).
    int c = value + 33;
    if (c >= 34) {
        ++c;
    }
    if (c >= 60) {
        ++c;
    }
    if (c >= 92) {
        ++c;
    }
    return static_cast<char>(c);
}

int Base91Value(unsigned char c) {
    if (c < 33 || c > 126 || c == 34 || c == 60 || c == 92) {
        return -1;
    }
    return c - 33 - (c > 34) - (c > 60) - (c > 92);
}

std::string Base91Encode(std::string_view data) {
    std::string text;
    text.reserve(data.size() + data.size() / 4 + 4);
    uint32_t queue = 0;  // bits not yet written, least significant first
    int bits = 0;
    for (const char ch : data) {
        queue |= static_cast<uint32_t>(static_cast<unsigned char>(ch)) << bits;
        bits += 8;
        if (bits > 13) {
            uint32_t value = queue & kThirteenBits;
            if (value > kThirteenBitLimit) {
                queue >>= 13;
                bits -= 13;
            } else {
                value = queue & kFourteenBits;
                queue >>= 14;
                bits -= 14;
            }
            text.push_back(Base91Digit(static_cast<int>(value % kBase91Radix)));
            text.push_back(Base91Digit(static_cast<int>(value / kBase91Radix)));
        }
    }
    if (bits > 0) {
        text.push_back(Base91Digit(static_cast<int>(queue % kBase91Radix)));
        if (bits > 7 || queue > 90) {
            text.push_back(Base91Digit(static_cast<int>(queue / kBase91Radix)));
        }
    }
    return text;
}

bool Base91Decode(std::string_view text, std::string& data) {
    data.clear();
    data.reserve(text.size() * 7 / 8 + 1);
    uint32_t queue = 0;
    int bits = 0;
    int low = -1;  // the first digit of a pair, until its second comes
    for (const char ch : text) {
        const int digit = Base91Value(static_cast<unsigned char>(ch));
        if (digit < 0) {
            return false;
        }
        if (low < 0) {
            low = digit;
            continue;
        }
        const uint32_t value = static_cast<uint32_t>(low + digit * kBase91Radix);
        queue |= value << bits;
        bits += (value & kThirteenBits) > kThirteenBitLimit ? 13 : 14;
        do {
            data.push_back(static_cast<char>(queue & 255));
            queue >>= 8;
            bits -= 8;
        } while (bits > 7);
        low = -1;
    }
    if (low >= 0) {
        data.push_back(static_cast<char>((queue | static_cast<uint32_t>(low) << bits) & 255));
    }
    return true;
}

}  // namespace vexel
