// Deliberately wrong includes of the painted controls: the layer check must report exactly
// the lines marked as breaches.
#pragma once

#include "framework/win32/graphics.h"
#include "picture/gif_decoder.h"
#include "system/form_manager.h"  // breach
