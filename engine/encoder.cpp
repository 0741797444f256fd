// How the search is made fast without changing a single output byte.
//
// The format asks, at every searched position a, for the distance d in
// 5..min(a - 10, W) whose match is longest, counting at most min(d, 21) bytes,
// and for the nearest such distance among equals. A back-reference is only
// written for a match of 4 bytes or more, so any distance worth looking at
// has the same 4 bytes as position a: those distances are exactly the earlier
// occurrences of that 4-byte prefix. A hash table over 4-byte prefixes with a
// chain of earlier positions per prefix lists them; the chain runs from the
// most recent occurrence backwards, i.e. from the smallest distance upwards,
// the order of the exhaustive search, so "replace only on a strictly longer
// match" keeps the nearest distance among equals for free.
//
// Two cut-offs keep the walk short without changing its result:
//  - once a match of 21 bytes is found nothing can beat it;
//  - a candidate can only beat a best length k if it also matches the byte at
//    offset k, so that byte is compared first and most candidates fail on it.
// Distances at or below the best length are skipped too: their length is
// capped at d, so they can never be strictly longer.
//
// The chain links live in a ring of 2^14 slots, more than the widest window:
// a slot is only overwritten 16384 positions later, by which time the
// position it held has left every window, and the walk stops at the first
// link outside the window before it could follow a stale one. A link is kept
// as the gap back to the previous position (0 when there is none within the
// widest window), two bytes each, so the whole ring stays in the first-level
// cache.

#include "engine/encoder.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <stdexcept>
#include <vector>

#include "engine/data_format.h"

namespace vexel {
namespace {

constexpr int kHashBits = 16;
constexpr int kRingBits = 14;
constexpr int64_t kRingMask = (int64_t{1} << kRingBits) - 1;
constexpr int32_t kNone = -1;

// The first nine bytes are never a copy source: a distance is at most a - 10.
constexpr int64_t kSourceStartGap = 10;

static_assert((int64_t{1} << kRingBits) > kWideWindow + kMinDistance, "ring must outlast the window");

inline uint32_t Load4(const unsigned char* p) {
    uint32_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

inline uint32_t Hash4(uint32_t v) {
    return (v * 2654435761u) >> (32 - kHashBits);
}

class MatchFinder {
public:
    explicit MatchFinder(const unsigned char* text)
        : text_(text), head_(std::size_t{1} << kHashBits, kNone), gap_(std::size_t{1} << kRingBits, 0) {}

    // Makes every position up to `last` (0-based) a candidate source.
    void InsertUpTo(int64_t last) {
        for (; next_ <= last; ++next_) {
            int32_t& head = head_[Hash4(Load4(text_ + next_))];
            const int64_t gap = head == kNone ? 0 : next_ - head;
            // Links longer than any window end the chain, like no link at all.
            gap_[next_ & kRingMask] = static_cast<uint16_t>(gap <= kWideWindow ? gap : 0);
            head = static_cast<int32_t>(next_);
        }
    }

    // Longest match for 0-based position p over distances 5..max_distance;
    // returns its length (0 when below 4) and sets `distance`.
    int Find(int64_t p, int64_t max_distance, int64_t& distance) {
        InsertUpTo(p - kMinDistance);
        const unsigned char* cur = text_ + p;
        const uint32_t prefix = Load4(cur);
        const int64_t lowest = p - max_distance;
        int best = kMinMatch - 1;
        int64_t q = head_[Hash4(prefix)];
        while (q != kNone && q >= lowest) {
            const int64_t d = p - q;
            const int cap = static_cast<int>(std::min<int64_t>(d, kMaxMatch));
            const unsigned char* src = text_ + q;
            if (cap > best && src[best] == cur[best] && Load4(src) == prefix) {
                int k = kMinMatch;
                while (k < cap && src[k] == cur[k]) {
                    ++k;
                }
                if (k > best) {
                    best = k;
                    distance = d;
                    if (best == kMaxMatch) {
                        break;
                    }
                }
            }
            const uint16_t gap = gap_[q & kRingMask];
            if (gap == 0) {
                break;
            }
            q -= gap;
        }
        return best >= kMinMatch ? best : 0;
    }

private:
    const unsigned char* text_;
    std::vector<int32_t> head_;
    // Distance from each position back to the previous one with the same
    // hash, 0 for none: two bytes a link keep the ring in the fastest cache.
    std::vector<uint16_t> gap_;
    int64_t next_ = 0;
};

}  // namespace

std::string Encode(std::string_view input, int window, const EncodeProgress& progress) {
    if (input.size() > static_cast<std::size_t>(std::numeric_limits<int32_t>::max())) {
        throw std::length_error("a page of 2 GB or more cannot be encoded");
    }
    const auto* text = reinterpret_cast<const unsigned char*>(input.data());
    const int64_t n = static_cast<int64_t>(input.size());
    std::string out;
    out.reserve(input.size() / 2 + 64);
    MatchFinder finder(text);
    // Two distance digits cannot say more than 8100, and the ring relies on it.
    window = std::min(window, kWideWindow);

    // a is the 1-based position of the format; text[a - 1] is its byte.
    int64_t a = 1;
    while (a <= n) {
        if (progress && (a % kProgressStep == 0 || a > n - kProgressTail)) {
            progress(a);
        }
        if (a > kNoSearchHead && a < n - kNoSearchTail) {
            const int64_t max_distance = std::min<int64_t>(a - kSourceStartGap, window);
            int64_t distance = 0;
            const int length = finder.Find(a - 1, max_distance, distance);
            if (length >= kMinMatch) {
                out.push_back(static_cast<char>(length + kLengthBias));
                out.push_back(static_cast<char>(distance % kDistanceBase + kDistanceDigitBias));
                out.push_back(static_cast<char>(distance / kDistanceBase + kDistanceDigitBias));
                a += length;
                continue;
            }
        }
        out.push_back(static_cast<char>(ShiftLiteral(text[a - 1])));
        ++a;
    }
    return out;
}

}  // namespace vexel
