// Deliberately wrong includes of the system layer: the layer check must report exactly
// the lines marked as breaches.
#pragma once

#include <windows.h>
#include "widgets/background.h"
#include "framework/win32/forms.h"
#include "app/main_window.h"  // breach
#include "engine/batch.h"  // breach
