// The one size limit of the tool: the largest file any command reads (a page,
// a backup, a data file) and the largest text any of them writes or expands,
// so that whatever the tool writes it can also read back and expand. Below
// 2 GiB, which 32-bit sizes and the byte counts of the log can carry.
#pragma once

#include <cstddef>

namespace vexel {

constexpr std::size_t kPageSizeLimit = std::size_t{1} << 30;

}  // namespace vexel
