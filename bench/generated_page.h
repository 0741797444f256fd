// Generated HTML pages for the benchmarks: a catalogue of tables, lists,
// headings and paragraphs from a small vocabulary, the same for the same seed.
#pragma once

#include <cstddef>
#include <string>

namespace vexel::bench {

std::string GeneratePage(std::size_t size, unsigned seed = 20261208);

}  // namespace vexel::bench
