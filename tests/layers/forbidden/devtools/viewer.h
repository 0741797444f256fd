// Deliberately wrong includes of a developer tool: the layer check must report exactly
// the lines marked as breaches.
#pragma once

#include <windows.h>
#include "app/main_window.h"
#include "cli/options.h"  // breach
#include "tests/engine/test_support.h"  // breach
