// Deliberately wrong includes of the desktop program's tests: the layer check must report exactly
// the lines marked as breaches.
#pragma once

#include <gtest/gtest.h>
#include "app/main_window.h"
#include "tests/system/store_support.h"
#include "tests/framework/win32_test_support.h"
#include "devtools/viewer.h"  // breach
