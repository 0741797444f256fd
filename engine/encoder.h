// The back-reference encoder: turns the encoder's input into the (unescaped)
// data stream, the longest match within the window at every searched position,
// the nearest one among equals.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace vexel {

// Called with the 1-based position at the encoder's progress points: every
// multiple of 500 that is visited, and each of the last 50 positions.
using EncodeProgress = std::function<void(int64_t position)>;

// Positions 1..kNoSearchHead and the last kNoSearchTail + 1 are never searched.
constexpr int64_t kNoSearchHead = 50;
constexpr int64_t kNoSearchTail = 40;
constexpr int64_t kProgressStep = 500;
constexpr int64_t kProgressTail = 50;

// Encodes `input` with a search window of `window` distances (8100 or 360).
// The result is byte for byte what the exhaustive search over every distance
// gives, found through an index instead. Not yet escaped.
std::string Encode(std::string_view input, int window, const EncodeProgress& progress = {});

}  // namespace vexel
