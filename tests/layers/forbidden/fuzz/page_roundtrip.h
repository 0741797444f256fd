// Deliberately wrong includes of a fuzz target: the layer check must report exactly
// the lines marked as breaches.
#pragma once

#include "cli/options.h"
#include "tests/engine/exhaustive_encoder.h"
#include "tests/cli/cli_support.h"  // breach
#include <benchmark/benchmark.h>  // breach
