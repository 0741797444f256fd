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
#include <utility>

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

// Overwrites `size` bytes at `data` with zeros through the library's own
// wipe (OpenSSL's cleanse, SecureZeroMemory), which the compiler cannot leave
// out because nothing reads the memory afterwards.
void SecureWipe(void* data, std::size_t size);
// Wipes the whole buffer of `text` and empties it.
void SecureWipe(std::string& text);

// A key that wipes itself when it goes, on every path out of its scope.
class AesKey {
public:
    AesKey() = default;
    ~AesKey();
    AesKey(const AesKey&) = delete;
    AesKey& operator=(const AesKey&) = delete;

    unsigned char (&Bytes())[kAesKeyBytes] { return bytes_; }
    const unsigned char (&Bytes() const)[kAesKeyBytes] { return bytes_; }

private:
    unsigned char bytes_[kAesKeyBytes] = {};
};

// A password or other secret text, wiped when it goes. Moving a text in or
// out wipes what the move leaves behind (a short text is copied, not taken
// over), so no copy is left by the move.
class SecretText {
public:
    SecretText() = default;
    explicit SecretText(std::string text) : text_(std::move(text)) { SecureWipe(text); }
    SecretText(SecretText&& other) noexcept : text_(std::move(other.text_)) { SecureWipe(other.text_); }
    SecretText& operator=(SecretText&& other) noexcept {
        if (this != &other) {
            SecureWipe(text_);
            text_ = std::move(other.text_);
            SecureWipe(other.text_);
        }
        return *this;
    }
    ~SecretText();
    SecretText(const SecretText&) = delete;
    SecretText& operator=(const SecretText&) = delete;

    const std::string& Text() const { return text_; }
    std::string& Text() { return text_; }

private:
    std::string text_;
};

}  // namespace vexel::platform
