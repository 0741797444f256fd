// Deliberately wrong includes of the engine's tests: the layer check must report exactly
// the lines marked as breaches.
#pragma once

#include <zlib.h>
#include "engine/page_reader.h"
#include "cli/options.h"  // breach
