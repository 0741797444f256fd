// The encoder's search written out literally: every distance from 5 to M at
// every searched position. Far too slow for use; the reference the fast
// encoder must agree with byte for byte.
#pragma once

#include <string>
#include <string_view>

namespace vexel::testing {

std::string EncodeExhaustive(std::string_view input, int window);

}  // namespace vexel::testing
