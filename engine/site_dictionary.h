// The dictionary of a site's pages: the text they share (head, navigation,
// sidebar, footer, vocabulary), trained on samples of them, which each page's
// LZMA stream starts its window with (engine/site_file.h carries it).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace vexel {

// The size of a site's dictionary. On the bench site (240 pages sharing a
// frame, bench/format_bench.cpp --compare-dictionaries) the site took 0.746,
// 0.713 and 0.693 of gzip -9 with dictionaries of 32, 64 and 128 KB, the
// shared file counted once (then carrying its dictionary in LZMA).
constexpr std::size_t kSiteDictionaryBytes = 128 * 1024;
// How much text of a site's pages is read to train on: some hundred times
// the trained half of the dictionary, as zstd's trainer asks, spread over the
// site.
constexpr std::size_t kSiteSampleBytes = 100 * kSiteDictionaryBytes / 2;

// The longest text of one page trained on: its start, where a site's frame
// (head, navigation, sidebar) stands.
constexpr std::size_t kLongestSample = 128 * 1024;

// Which of pages of `sizes` bytes to train on: pages spread evenly over the
// list, each counted up to kLongestSample, about kSiteSampleBytes in all.
std::vector<std::size_t> PickSamples(const std::vector<int64_t>& sizes);

// Whether this build trains dictionaries (built with libzstd).
bool HaveDictionaryTrainer();

// A dictionary of at most `size` bytes for pages like `samples`. Its far half
// is the content zstd's trainer (libzstd's ZDICT_trainFromBuffer, the fast
// COVER algorithm) selects from the samples, without the header and tables
// of zstd's own format: the phrases and vocabulary the pages share. Its near
// half (closest to the pages, so cheapest to reach) is the samples' last
// text, whole pages, where the site's frame stands as one long match: on the
// bench site the trainer alone gave 0.711 of gzip -9, the pages' text alone
// 0.697, the two halves 0.693. Where the trainer finds too little to work
// on, the samples' last text fills it all. The same samples give the same
// dictionary.
std::string TrainSiteDictionary(const std::vector<std::string>& samples, std::size_t size = kSiteDictionaryBytes);

}  // namespace vexel
