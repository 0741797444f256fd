// Deliberately wrong includes of the picture decoder: the layer check must report exactly
// the lines marked as breaches.
#pragma once

#include <vector>
#include <sys/mman.h>  // breach
#include "framework/core/classes.h"  // breach
