// Tells a page this program wrote (either classic format or the modern one)
// from any other page: a compressed page is never compressed again, and a
// backup goes back only over a page of ours.
#pragma once

#include <optional>
#include <string>

#include "engine/page_format.h"

namespace vexel {

// The format of a page written by this program, or nothing. A modern page
// whose data is damaged still counts as ours: only the writer makes its script.
std::optional<PageFormat> RecognizeOwnPage(const std::string& page);

}  // namespace vexel
