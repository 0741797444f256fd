// Deliberately wrong includes of the object model: the layer check must report exactly
// the lines marked as breaches.
#pragma once

#include <cstdint>
#  include <Windows.h>  // breach
#include "framework/win32/forms.h"  // breach
#include "engine/page_reader.h"  // breach
#include "platform/ascii.h"
