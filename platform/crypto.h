// The cryptography of encrypted pages, from a well-kept implementation rather
// than code of our own: OpenSSL's libcrypto on POSIX systems, the system's own
// CNG (bcrypt) on Windows. Random bytes come from the system's secure source.
//
// The page format fixes the algorithms: PBKDF2-HMAC-SHA256 for the key,
// AES-256-GCM with a 12-byte IV and a 16-byte tag for the data. Both
// implementations give the same bytes for the same inputs; the browser's
// WebCrypto reads them back.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/file_system.h"

namespace vexel::platform {

constexpr std::size_t kAesKeyBytes = 32;
constexpr std::size_t kGcmIvBytes = 12;
constexpr std::size_t kGcmTagBytes = 16;

// Fills `out` with `size` bytes from the system's secure random source.
Status RandomBytes(void* out, std::size_t size);

// PBKDF2 with HMAC-SHA256 over the bytes of `password`; `key` receives
// kAesKeyBytes bytes.
Status DeriveKeyPbkdf2Sha256(const std::string& password,
                             const std::string& salt,
                             uint32_t iterations,
                             unsigned char (&key)[kAesKeyBytes]);

// AES-256-GCM without additional data. `sealed` receives the ciphertext
// followed by the 16-byte tag.
Status EncryptAes256Gcm(const unsigned char (&key)[kAesKeyBytes],
                        const std::string& iv,
                        const std::string& plain,
                        std::string& sealed);

// The reverse; `authentic` is false (and `plain` empty) when the tag does not
// match: a wrong key, or data changed since it was sealed. A failure of the
// library itself is a failed Status.
Status DecryptAes256Gcm(const unsigned char (&key)[kAesKeyBytes],
                        const std::string& iv,
                        const std::string& sealed,
                        std::string& plain,
                        bool& authentic);

}  // namespace vexel::platform
