// A unit that has no place in the engine's unit order: the layer check must
// name it.
#pragma once

#include "engine/errors.h"
