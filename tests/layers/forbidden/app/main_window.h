// Deliberately wrong includes of the desktop program: the layer check must report exactly
// the lines marked as breaches.
#pragma once

#include <windows.h>
#include "system/form_manager.h"
#include "widgets/gauge.h"
#include "engine/batch.h"
#include "app/about.h"
#include "app/window_set.h"  // breach
#include "cli/vexel.h"  // breach
#include "devtools/gallery.h"  // breach
#include <gtest/gtest.h>  // breach
