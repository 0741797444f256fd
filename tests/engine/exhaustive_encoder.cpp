#include "tests/engine/exhaustive_encoder.h"

#include <algorithm>
#include <cstdint>

namespace vexel::testing {

std::string EncodeExhaustive(std::string_view input, int window) {
    // 1-based positions, as the format describes them: P(i) is byte i.
    const auto P = [&](int64_t i) { return static_cast<unsigned char>(input[static_cast<std::size_t>(i - 1)]); };
    const int64_t n = static_cast<int64_t>(input.size());
    std::string out;
    int64_t a = 1;
    while (a <= n) {
        int64_t best_k = 0;
        int64_t best_d = 0;
        if (50 < a && a < n - 40) {
            const int64_t M = std::min<int64_t>(a - 10, window);
            for (int64_t d = 5; d <= M; ++d) {
                const int64_t l_max = std::min<int64_t>(d, 21);
                int64_t k = 0;
                while (k < l_max && P(a + k) == P(a - d + k)) {
                    ++k;
                }
                if (k > best_k) {
                    best_k = k;
                    best_d = d;
                }
            }
        }
        if (best_k >= 4) {
            out.push_back(static_cast<char>(best_k + 10));
            out.push_back(static_cast<char>(best_d % 90 + 35));
            out.push_back(static_cast<char>(best_d / 90 + 35));
            a += best_k;
        } else {
            const unsigned char b = P(a);
            out.push_back(static_cast<char>(b >= 41 && b <= 126 ? b + 1 : b));
            ++a;
        }
    }
    return out;
}

}  // namespace vexel::testing
