// The arguments of the page cryptography checked once for both back ends,
// and the wipes of keys and passwords.
#include "platform/crypto.h"

#include <climits>

#include "platform/crypto_backend.h"

namespace vexel::platform {

namespace {

// Both libraries count bytes in an int (OpenSSL) or a ULONG (CNG): the
// smaller of the two holds for both, so that they refuse the same inputs.
bool FitsInt(std::size_t size) {
    return size <= static_cast<std::size_t>(INT_MAX);
}

}  // namespace

Status RandomBytes(void* out, std::size_t size) {
    if (!FitsInt(size)) {
        return Status::Failed(Status::Kind::Other, "Cannot get so many random bytes at once");
    }
    return backend::RandomBytes(out, size);
}

Status DeriveKeyPbkdf2Sha256(const std::string& password,
                             const std::string& salt,
                             uint32_t iterations,
                             unsigned char (&key)[kAesKeyBytes]) {
    if (!FitsInt(password.size()) || !FitsInt(salt.size()) || iterations == 0 ||
        iterations > static_cast<uint32_t>(INT_MAX)) {
        return Status::Failed(Status::Kind::Other,
                              "Cannot derive a key: password, salt or iteration count out of range");
    }
    const Status status = backend::DeriveKey(password, salt, iterations, key);
    if (!status.Ok()) {
        SecureWipe(key, kAesKeyBytes);
    }
    return status;
}

Status EncryptAes256Gcm(const unsigned char (&key)[kAesKeyBytes],
                        const std::string& iv,
                        const std::string& plain,
                        std::string& sealed) {
    sealed.clear();
    if (iv.size() != kGcmIvBytes || !FitsInt(plain.size()) ||
        plain.size() > static_cast<std::size_t>(INT_MAX) - kGcmTagBytes) {
        return Status::Failed(Status::Kind::Other, "Cannot encrypt: IV or data of a wrong size");
    }
    Status status = backend::Encrypt(key, iv, plain, sealed);
    if (!status.Ok()) {
        sealed.clear();
    }
    return status;
}

Status DecryptAes256Gcm(const unsigned char (&key)[kAesKeyBytes],
                        const std::string& iv,
                        const std::string& sealed,
                        std::string& plain,
                        bool& authentic) {
    plain.clear();
    authentic = false;
    if (sealed.size() < kGcmTagBytes) {
        return {};  // too short to hold a tag: nobody sealed it
    }
    if (iv.size() != kGcmIvBytes || !FitsInt(sealed.size())) {
        return Status::Failed(Status::Kind::Other, "Cannot decrypt: IV or data of a wrong size");
    }
    const Status status = backend::Decrypt(key, iv, sealed, plain, authentic);
    if (!status.Ok() || !authentic) {
        // Whatever was decrypted before the failure is not the page.
        SecureWipe(plain);
        authentic = false;
    }
    return status;
}

void SecureWipe(void* data, std::size_t size) {
    if (data != nullptr && size > 0) {
        backend::Wipe(data, size);
    }
}

void SecureWipe(std::string& text) {
    // The whole buffer, past the size too: a shorter text may have stood in
    // a longer one's place.
    text.resize(text.capacity());
    SecureWipe(text.data(), text.size());
    text.clear();
}

AesKey::~AesKey() {
    SecureWipe(bytes_, sizeof bytes_);
}

SecretText::~SecretText() {
    SecureWipe(text_);
}

}  // namespace vexel::platform
