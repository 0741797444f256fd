// Deliberately wrong includes of the painted controls' tests: the layer check must report exactly
// the lines marked as breaches.
#pragma once

#include "widgets/gauge.h"
#include "system/form_manager.h"  // breach
