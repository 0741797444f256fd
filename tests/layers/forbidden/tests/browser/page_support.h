// Deliberately wrong includes of the browser tests: the layer check must report exactly
// the lines marked as breaches.
#pragma once

#include "cli/options.h"  // breach
