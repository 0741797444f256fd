// The dictionary of a site's pages: the text they share (head, navigation,
// sidebar, footer, vocabulary), trained on samples of them, which each page's
// LZMA stream starts its window with (engine/site_file.h carries it).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace vexel {

// The size of a dictionary trained on enough text: on sites of pages sharing
// a frame, 64 KB gave smaller sites than 32 KB and 112 KB, the shared file
// counted once (bench/format_bench.cpp).
constexpr std::size_t kSiteDictionaryBytes = 64 * 1024;
// How much text of a site's pages is read to train on: some hundred times the
// dictionary, as zstd's trainer asks, spread over the site.
constexpr std::size_t kSiteSampleBytes = 100 * kSiteDictionaryBytes;

// The longest text of one page trained on: its start, where a site's frame
// (head, navigation, sidebar) stands.
constexpr std::size_t kLongestSample = 128 * 1024;

// Which of pages of `sizes` bytes to train on: pages spread evenly over the
// list, each counted up to kLongestSample, about kSiteSampleBytes in all.
std::vector<std::size_t> PickSamples(const std::vector<int64_t>& sizes);

// Whether this build trains dictionaries (built with libzstd).
bool HaveDictionaryTrainer();

// A dictionary of at most `size` bytes for pages like `samples`, the most
// useful text last (closest to the pages, so cheapest to reach): the content
// that zstd's trainer (libzstd's ZDICT_trainFromBuffer, the fast COVER
// algorithm) selects, without the header and tables of zstd's own format.
// Where the trainer finds too little to work on, the samples' last bytes.
// The same samples give the same dictionary.
std::string TrainSiteDictionary(const std::vector<std::string>& samples, std::size_t size = kSiteDictionaryBytes);

}  // namespace vexel
