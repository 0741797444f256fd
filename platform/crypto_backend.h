// What each system's cryptography library provides behind platform/crypto.h.
// The arguments are checked once, in crypto.cpp, before any of these runs:
// sizes fit an int, the IV has 12 bytes, the iteration count is 1 to INT_MAX,
// sealed data holds at least its tag.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/crypto.h"

namespace vexel::platform::backend {

Status RandomBytes(void* out, std::size_t size);
Status DeriveKey(const std::string& password, const std::string& salt, uint32_t iterations,
                 unsigned char (&key)[kAesKeyBytes]);
Status Encrypt(const unsigned char (&key)[kAesKeyBytes], const std::string& iv, const std::string& plain,
               std::string& sealed);
// False in `authentic` when the tag does not match.
Status Decrypt(const unsigned char (&key)[kAesKeyBytes], const std::string& iv, const std::string& sealed,
               std::string& plain, bool& authentic);
// Overwrites memory through the library's own wipe, which the compiler
// cannot leave out as a dead store.
void Wipe(void* data, std::size_t size);

}  // namespace vexel::platform::backend
