// Deliberately wrong includes of the system services: the layer check must report exactly
// the lines marked as breaches.
#pragma once

#include <unistd.h>
#include <windows.h>
#include <openssl/evp.h>
#include "engine/errors.h"  // breach
