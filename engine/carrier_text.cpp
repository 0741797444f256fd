#include "engine/carrier_text.h"

#include <algorithm>
#include <cstdint>

namespace vexel {

namespace {

constexpr uint32_t kThirteenBits = (1u << 13) - 1;
constexpr uint32_t kFourteenBits = (1u << 14) - 1;

bool NotInRadixAlphabet(int c) {
    return c < 1 || c > 126 || c == '\r' || (c >= 26 && c <= 28) || c == '*' || c == '<';
}

void PushPair(std::string& text, uint32_t value) {
    text.push_back(RadixDigit(static_cast<int>(value % kRadix)));
    text.push_back(RadixDigit(static_cast<int>(value / kRadix)));
}

// The bytes that may never stand for themselves.
void Unsafe(const bool (&holes)[256], unsigned char escape, bool (&unsafe)[256]) {
    for (int b = 0; b < 256; ++b) {
        unsafe[b] = holes[b] || b == 0 || b == '\r' || b == escape;
    }
}

}  // namespace

char RadixDigit(int value) {
    // The page's script undoes this with c - 1 - (c > 13) - 3 * (c > 28) - (c > 42) - (c > 60).
    int c = value + 1;
    for (const int skipped : {13, 26, 27, 28, 42, 60}) {
        if (c >= skipped) {
            ++c;
        }
    }
    return static_cast<char>(c);
}

int RadixValue(unsigned char c) {
    if (NotInRadixAlphabet(c)) {
        return -1;
    }
    return c - 1 - (c > 13) - 3 * (c > 28) - (c > 42) - (c > 60);
}

std::string RadixEncode(std::string_view data) {
    std::string text;
    text.reserve(data.size() + data.size() / 6 + 4);
    uint32_t queue = 0;  // bits not yet written, least significant first
    int bits = 0;
    const auto pair = [&] {
        uint32_t value = queue & kThirteenBits;
        if (value > kRadixThirteenBitLimit) {
            queue >>= 13;
            bits -= 13;
        } else {
            value = queue & kFourteenBits;
            queue >>= 14;
            bits -= 14;
        }
        PushPair(text, value);
    };
    for (const char ch : data) {
        queue |= static_cast<uint32_t>(static_cast<unsigned char>(ch)) << bits;
        bits += 8;
        if (bits >= 14) {
            pair();
        }
    }
    // The last bits, padded with zeros to a pair; the reader knows the size.
    if (bits > 0) {
        pair();
    }
    return text;
}

std::optional<std::string> RadixDecode(std::string_view text, std::size_t size) {
    std::string data;
    // What the text can give at most, whatever size it claims.
    data.reserve(std::min(size, text.size()));
    uint32_t queue = 0;
    int bits = 0;
    for (std::size_t i = 0; i + 1 < text.size() && data.size() < size; i += 2) {
        const int low = RadixValue(static_cast<unsigned char>(text[i]));
        const int high = RadixValue(static_cast<unsigned char>(text[i + 1]));
        if (low < 0 || high < 0) {
            return std::nullopt;
        }
        const auto value = static_cast<uint32_t>(low + high * kRadix);
        queue |= value << bits;
        bits += (value & kThirteenBits) > kRadixThirteenBitLimit ? 13 : 14;
        for (; bits > 7 && data.size() < size; bits -= 8) {
            data.push_back(static_cast<char>(queue & 255));
            queue >>= 8;
        }
    }
    if (data.size() != size) {
        return std::nullopt;
    }
    return data;
}

std::optional<ByteEscape> ChooseByteEscape(const bool (&holes)[256]) {
    // The escape: a byte the charset maps to a character, and none that
    // "<", "*" or "!" would make special after it.
    ByteEscape chosen;
    chosen.escape = '=';
    if (holes[chosen.escape]) {
        return std::nullopt;
    }
    bool unsafe[256];
    Unsafe(holes, chosen.escape, unsafe);
    // Every byte that may need escaping ("/" and "!" after "<" or "*" too)
    // must move onto one that may stand for itself.
    const auto mayNeedEscaping = [&](int b) { return unsafe[b] || b == '/' || b == '!'; };
    for (int offset = 1; offset < 256; ++offset) {
        bool fits = true;
        for (int b = 0; b < 256 && fits; ++b) {
            fits = !mayNeedEscaping(b) || !unsafe[(b + offset) & 255];
        }
        if (fits) {
            chosen.offset = static_cast<unsigned char>(offset);
            return chosen;
        }
    }
    return std::nullopt;
}

std::string ByteEncode(std::string_view data, const bool (&holes)[256], ByteEscape escape) {
    bool unsafe[256];
    Unsafe(holes, escape.escape, unsafe);
    std::string text;
    text.reserve(data.size() + data.size() / 50 + 4);
    char last = 0;
    for (const char ch : data) {
        const auto b = static_cast<unsigned char>(ch);
        const bool escaped = unsafe[b] || (b == '/' && (last == '<' || last == '*')) || (b == '!' && last == '<');
        if (escaped) {
            text.push_back(static_cast<char>(escape.escape));
            text.push_back(static_cast<char>((b + escape.offset) & 255));
        } else {
            text.push_back(ch);
        }
        last = text.back();
    }
    return text;
}

std::optional<std::string> ByteDecode(std::string_view text, ByteEscape escape) {
    std::string data;
    data.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c != escape.escape) {
            data.push_back(static_cast<char>(c));
        } else if (++i < text.size()) {
            data.push_back(static_cast<char>((static_cast<unsigned char>(text[i]) - escape.offset) & 255));
        } else {
            return std::nullopt;
        }
    }
    return data;
}

}  // namespace vexel
