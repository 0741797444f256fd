#include "framework/core/sysutils.h"

#include <cmath>
#include <cstdio>

#include "platform/ascii.h"

namespace vexel {

void Abort() {
    throw EAbort();
}

std::string IntToStr(int64_t value) {
    return std::to_string(value);
}

std::string IntToHex(uint64_t value, int digits) {
    std::string s;
    do {
        s.insert(s.begin(), HexDigitOf(static_cast<unsigned>(value)));
        value >>= 4;
    } while (value != 0);
    while (static_cast<int>(s.size()) < digits)
        s.insert(s.begin(), '0');
    return s;
}

bool TryStrToInt(const std::string& s, int32_t& value) {
    size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        negative = s[i] == '-';
        ++i;
    }
    bool hex = false;
    if (i < s.size() && s[i] == '$') {
        hex = true;
        ++i;
    } else if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
        hex = true;
        i += 2;
    }
    if (i == s.size())
        return false;
    uint64_t magnitude = 0;
    for (; i < s.size(); ++i) {
        int d = hex ? HexDigitValue(s[i]) : (s[i] >= '0' && s[i] <= '9' ? s[i] - '0' : -1);
        if (d < 0)
            return false;
        magnitude = magnitude * (hex ? 16 : 10) + static_cast<uint64_t>(d);
        if (magnitude > 0xFFFFFFFFull)
            return false;
    }
    if (hex) {
        uint32_t bits = static_cast<uint32_t>(magnitude);
        if (negative)
            bits = 0u - bits;
        value = static_cast<int32_t>(bits);
        return true;
    }
    int64_t signedValue = negative ? -static_cast<int64_t>(magnitude) : static_cast<int64_t>(magnitude);
    if (signedValue < INT32_MIN || signedValue > INT32_MAX)
        return false;
    value = static_cast<int32_t>(signedValue);
    return true;
}

int32_t StrToInt(const std::string& s) {
    int32_t value = 0;
    if (!TryStrToInt(s, value))
        throw EConvertError("'" + s + "' is not a valid integer value");
    return value;
}

int32_t StrToIntDef(const std::string& s, int32_t defaultValue) {
    int32_t value = 0;
    return TryStrToInt(s, value) ? value : defaultValue;
}

int32_t MulDiv(int32_t a, int32_t b, int32_t c) {
    if (c == 0)
        return -1;
    int64_t product = static_cast<int64_t>(a) * b;
    int64_t divisor = c;
    if (divisor < 0) {
        product = -product;
        divisor = -divisor;
    }
    // Round half away from zero: move the product half a divisor away from
    // zero before the truncating division.
    int64_t result = product >= 0 ? (product + divisor / 2) / divisor : (product - divisor / 2) / divisor;
    if (result > INT32_MAX || result < -INT32_MAX)
        return -1;
    return static_cast<int32_t>(result);
}

int Round(double value) {
    double floor = std::floor(value);
    double fraction = value - floor;
    double result = floor;
    if (fraction > 0.5)
        result = floor + 1;
    else if (fraction == 0.5)
        result = std::fmod(floor, 2.0) == 0 ? floor : floor + 1;
    return static_cast<int>(result);
}

}  // namespace vexel
