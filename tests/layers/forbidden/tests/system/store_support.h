// Deliberately wrong includes of the system layer's tests: the layer check must report exactly
// the lines marked as breaches.
#pragma once

#include "system/form_manager.h"
#include "tests/framework/win32_test_support.h"
#include "tests/app/window_test_support.h"  // breach
