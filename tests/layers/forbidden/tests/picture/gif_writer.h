// Deliberately wrong includes of the picture decoder's tests: the layer check must report exactly
// the lines marked as breaches.
#pragma once

#include "picture/gif_decoder.h"
#include "framework/core/classes.h"  // breach
