// Deliberately wrong includes of the test programs' support: the layer check
// must report exactly the lines marked as breaches.
#pragma once

#include <gtest/gtest.h>
#include "engine/batch.h"  // breach
