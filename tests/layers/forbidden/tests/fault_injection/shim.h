// Deliberately wrong includes of the fault-injection library: the layer check must report exactly
// the lines marked as breaches.
#pragma once

#include <dlfcn.h>
#include "engine/errors.h"  // breach
