// Generated HTML pages for the benchmarks: a catalogue of tables, lists,
// headings and paragraphs from a small vocabulary, the same for the same seed.
#pragma once

#include <cstddef>
#include <string>

namespace vexel::bench {

std::string GeneratePage(std::size_t size, unsigned seed = 20261208);

// A page of running text in UTF-8 (declared by a <meta>), with words made of
// syllables, some with accented letters: less repetitive than the catalogue,
// closer to an article or a manual.
std::string GenerateProsePage(std::size_t size, unsigned seed = 20261208);

}  // namespace vexel::bench
