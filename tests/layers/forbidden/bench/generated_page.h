// Deliberately wrong includes of a benchmark: the layer check must report exactly
// the lines marked as breaches.
#pragma once

#include <sys/wait.h>
#include <benchmark/benchmark.h>
#include "tests/engine/exhaustive_encoder.h"
#include "widgets/gauge.h"  // breach
