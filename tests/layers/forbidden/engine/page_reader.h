// Deliberately wrong includes of the engine: the layer check must report exactly
// the lines marked as breaches.
#pragma once

#include <string>
#include <windows.h>  // breach
#include <unistd.h>  // breach
#include <zlib.h>
#include <openssl/evp.h>  // breach
#include "platform/file_system.h"
#include "framework/core/classes.h"  // breach
#include "cli/options.h"  // breach
#include "engine/errors.h"
#include "engine/batch.h"  // breach
#include "page_writer.h"
