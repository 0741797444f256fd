// Deliberately wrong includes of a folder in no layer: the layer check must report exactly
// the lines marked as breaches.
#pragma once

#include "engine/errors.h"
