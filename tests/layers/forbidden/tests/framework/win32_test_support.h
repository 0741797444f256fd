// Deliberately wrong includes of the framework's tests: the layer check must report exactly
// the lines marked as breaches.
#pragma once

#include <windows.h>
#include "framework/win32/forms.h"
#include "widgets/gauge.h"  // breach
