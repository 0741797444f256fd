// Deliberately wrong includes of the system services' tests: the layer check must report exactly
// the lines marked as breaches.
#pragma once

#include <openssl/evp.h>
#include "platform/file_system.h"
#include "engine/errors.h"  // breach
