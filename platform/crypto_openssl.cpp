// The page cryptography through OpenSSL's libcrypto (EVP), on POSIX systems.
#include "platform/crypto_backend.h"

#include <openssl/crypto.h>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/rand.h>

#include <climits>
#include <memory>

namespace vexel::platform::backend {

namespace {

// OpenSSL's own words for what went wrong last, after our description.
Status LibraryError(const std::string& what) {
    const unsigned long code = ERR_get_error();
    std::string reason = what;
    if (code != 0) {
        char text[256];
        ERR_error_string_n(code, text, sizeof text);
        reason += " (" + std::string(text) + ")";
    }
    ERR_clear_error();
    return Status::Failed(Status::Kind::Other, reason);
}

struct ContextFree {
    void operator()(EVP_CIPHER_CTX* context) const { EVP_CIPHER_CTX_free(context); }
};
using Context = std::unique_ptr<EVP_CIPHER_CTX, ContextFree>;

const unsigned char* Bytes(const std::string& text) {
    return reinterpret_cast<const unsigned char*>(text.data());
}

// The cipher set up for `key` and the 12-byte `iv`, in either direction.
Context GcmContext(const unsigned char (&key)[kAesKeyBytes], const std::string& iv, bool encrypt) {
    Context context(EVP_CIPHER_CTX_new());
    if (!context) {
        return context;
    }
    const EVP_CIPHER* cipher = EVP_aes_256_gcm();
    const int init = encrypt ? EVP_EncryptInit_ex(context.get(), cipher, nullptr, nullptr, nullptr)
                             : EVP_DecryptInit_ex(context.get(), cipher, nullptr, nullptr, nullptr);
    if (init != 1 || EVP_CIPHER_CTX_ctrl(context.get(), EVP_CTRL_GCM_SET_IVLEN, static_cast<int>(iv.size()),
                                         nullptr) != 1) {
        context.reset();
        return context;
    }
    const int keyed = encrypt ? EVP_EncryptInit_ex(context.get(), nullptr, nullptr, key, Bytes(iv))
                              : EVP_DecryptInit_ex(context.get(), nullptr, nullptr, key, Bytes(iv));
    if (keyed != 1) {
        context.reset();
    }
    return context;
}

}  // namespace

Status RandomBytes(void* out, std::size_t size) {
    if (RAND_bytes(static_cast<unsigned char*>(out), static_cast<int>(size)) != 1) {
        return LibraryError("Cannot get random bytes from the system");
    }
    return {};
}

Status DeriveKey(const std::string& password,
                 const std::string& salt,
                 uint32_t iterations,
                 unsigned char (&key)[kAesKeyBytes]) {
    if (PKCS5_PBKDF2_HMAC(password.data(), static_cast<int>(password.size()), Bytes(salt),
                          static_cast<int>(salt.size()), static_cast<int>(iterations), EVP_sha256(),
                          kAesKeyBytes, key) != 1) {
        return LibraryError("Cannot derive a key from the password");
    }
    return {};
}

Status Encrypt(const unsigned char (&key)[kAesKeyBytes],
               const std::string& iv,
               const std::string& plain,
               std::string& sealed) {
    Context context = GcmContext(key, iv, /*encrypt=*/true);
    if (!context) {
        return LibraryError("Cannot set up AES-256-GCM");
    }
    sealed.resize(plain.size() + kGcmTagBytes);
    auto* out = reinterpret_cast<unsigned char*>(sealed.data());
    int written = 0;
    int tail = 0;
    if (EVP_EncryptUpdate(context.get(), out, &written, Bytes(plain), static_cast<int>(plain.size())) != 1 ||
        EVP_EncryptFinal_ex(context.get(), out + written, &tail) != 1 ||
        EVP_CIPHER_CTX_ctrl(context.get(), EVP_CTRL_GCM_GET_TAG, kGcmTagBytes, out + written + tail) != 1) {
        sealed.clear();
        return LibraryError("Cannot encrypt the page");
    }
    sealed.resize(static_cast<std::size_t>(written + tail) + kGcmTagBytes);
    return {};
}

Status Decrypt(const unsigned char (&key)[kAesKeyBytes],
               const std::string& iv,
               const std::string& sealed,
               std::string& plain,
               bool& authentic) {
    Context context = GcmContext(key, iv, /*encrypt=*/false);
    if (!context) {
        return LibraryError("Cannot set up AES-256-GCM");
    }
    const std::size_t body = sealed.size() - kGcmTagBytes;
    std::string tag = sealed.substr(body);
    plain.resize(body);
    auto* out = reinterpret_cast<unsigned char*>(plain.data());
    int written = 0;
    if (EVP_DecryptUpdate(context.get(), out, &written, Bytes(sealed), static_cast<int>(body)) != 1 ||
        EVP_CIPHER_CTX_ctrl(context.get(), EVP_CTRL_GCM_SET_TAG, kGcmTagBytes, tag.data()) != 1) {
        plain.clear();
        return LibraryError("Cannot decrypt the page");
    }
    int tail = 0;
    if (EVP_DecryptFinal_ex(context.get(), out + written, &tail) != 1) {
        // The tag did not match: not an error of the library.
        ERR_clear_error();
        plain.clear();
        return {};
    }
    plain.resize(static_cast<std::size_t>(written + tail));
    authentic = true;
    return {};
}

void Wipe(void* data, std::size_t size) {
    OPENSSL_cleanse(data, size);
}

}  // namespace vexel::platform::backend
