// Deliberately wrong includes of the package tests: the layer check must report exactly
// the lines marked as breaches.
#pragma once

#include <windows.h>
#include "app/main_window.h"  // breach
