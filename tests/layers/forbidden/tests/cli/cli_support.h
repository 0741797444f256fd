// Deliberately wrong includes of the command line's tests: the layer check must report exactly
// the lines marked as breaches.
#pragma once

#include <unistd.h>
#include "cli/options.h"
#include "tests/engine/test_support.h"
#include "tests/app/window_test_support.h"  // breach
