// Deliberately wrong includes of the command line: the layer check must report exactly
// the lines marked as breaches.
#pragma once

#include "engine/batch.h"
#include "platform/file_system.h"
#include <unistd.h>  // breach
#include "framework/core/classes.h"  // breach
