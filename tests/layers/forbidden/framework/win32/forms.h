// Deliberately wrong includes of the window framework: the layer check must report exactly
// the lines marked as breaches.
#pragma once

#include <commctrl.h>
#include "framework/core/classes.h"
#include "platform/wide_text.h"
#include "widgets/gauge.h"  // breach
