// The page cryptography through Windows' own CNG (bcrypt.dll).
#include "platform/crypto_backend.h"

#include <windows.h>

#include <bcrypt.h>

#include <cstdio>
#include <limits>

namespace vexel::platform::backend {

namespace {

constexpr NTSTATUS kAuthTagMismatch = static_cast<NTSTATUS>(0xC000A002L);

bool Succeeded(NTSTATUS status) {
    return status >= 0;
}

Status CngError(const std::string& what, NTSTATUS status) {
    char code[16];
    std::snprintf(code, sizeof code, "0x%08lX", static_cast<unsigned long>(status));
    return Status::Failed(Status::Kind::Other, what + " (CNG status " + code + ")");
}

PUCHAR Bytes(const std::string& text) {
    // CNG takes input buffers through non-const pointers but does not write them.
    return reinterpret_cast<PUCHAR>(const_cast<char*>(text.data()));
}

// An algorithm provider, closed when it goes.
class Algorithm {
public:
    Algorithm(LPCWSTR name, ULONG flags) {
        status_ = BCryptOpenAlgorithmProvider(&handle_, name, nullptr, flags);
    }
    ~Algorithm() {
        if (handle_ != nullptr) {
            BCryptCloseAlgorithmProvider(handle_, 0);
        }
    }
    Algorithm(const Algorithm&) = delete;
    Algorithm& operator=(const Algorithm&) = delete;

    NTSTATUS Opened() const { return status_; }
    BCRYPT_ALG_HANDLE Handle() const { return handle_; }

private:
    BCRYPT_ALG_HANDLE handle_ = nullptr;
    NTSTATUS status_ = 0;
};

// An AES-256 key in GCM mode, destroyed when it goes.
class GcmKey {
public:
    explicit GcmKey(const unsigned char (&key)[kAesKeyBytes]) : aes_(BCRYPT_AES_ALGORITHM, 0) {
        status_ = aes_.Opened();
        if (!Succeeded(status_)) {
            return;
        }
        status_ = BCryptSetProperty(aes_.Handle(), BCRYPT_CHAINING_MODE,
                                    reinterpret_cast<PUCHAR>(const_cast<wchar_t*>(BCRYPT_CHAIN_MODE_GCM)),
                                    sizeof BCRYPT_CHAIN_MODE_GCM, 0);
        if (!Succeeded(status_)) {
            return;
        }
        status_ = BCryptGenerateSymmetricKey(aes_.Handle(), &handle_, nullptr, 0,
                                             const_cast<PUCHAR>(static_cast<const unsigned char*>(key)),
                                             kAesKeyBytes, 0);
    }
    ~GcmKey() {
        if (handle_ != nullptr) {
            BCryptDestroyKey(handle_);
        }
    }
    GcmKey(const GcmKey&) = delete;
    GcmKey& operator=(const GcmKey&) = delete;

    NTSTATUS Made() const { return status_; }
    BCRYPT_KEY_HANDLE Handle() const { return handle_; }

private:
    Algorithm aes_;
    BCRYPT_KEY_HANDLE handle_ = nullptr;
    NTSTATUS status_ = 0;
};

BCRYPT_AUTHENTICATED_CIPHER_MODE_INFO AuthInfo(const std::string& iv, unsigned char* tag) {
    BCRYPT_AUTHENTICATED_CIPHER_MODE_INFO info;
    BCRYPT_INIT_AUTH_MODE_INFO(info);
    info.pbNonce = Bytes(iv);
    info.cbNonce = static_cast<ULONG>(iv.size());
    info.pbTag = tag;
    info.cbTag = kGcmTagBytes;
    return info;
}

}  // namespace

Status RandomBytes(void* out, std::size_t size) {
    const NTSTATUS status = BCryptGenRandom(nullptr, static_cast<PUCHAR>(out), static_cast<ULONG>(size),
                                            BCRYPT_USE_SYSTEM_PREFERRED_RNG);
    if (!Succeeded(status)) {
        return CngError("Cannot get random bytes from the system", status);
    }
    return {};
}

Status DeriveKey(const std::string& password,
                 const std::string& salt,
                 uint32_t iterations,
                 unsigned char (&key)[kAesKeyBytes]) {
    Algorithm hmac(BCRYPT_SHA256_ALGORITHM, BCRYPT_ALG_HANDLE_HMAC_FLAG);
    if (!Succeeded(hmac.Opened())) {
        return CngError("Cannot open HMAC-SHA256", hmac.Opened());
    }
    // An empty password still needs a buffer to point at.
    unsigned char none = 0;
    PUCHAR passwordBytes = password.empty() ? &none : Bytes(password);
    const NTSTATUS status =
        BCryptDeriveKeyPBKDF2(hmac.Handle(), passwordBytes, static_cast<ULONG>(password.size()), Bytes(salt),
                              static_cast<ULONG>(salt.size()), iterations, key, kAesKeyBytes, 0);
    if (!Succeeded(status)) {
        return CngError("Cannot derive a key from the password", status);
    }
    return {};
}

Status Encrypt(const unsigned char (&key)[kAesKeyBytes],
               const std::string& iv,
               const std::string& plain,
               std::string& sealed) {
    GcmKey gcm(key);
    if (!Succeeded(gcm.Made())) {
        return CngError("Cannot set up AES-256-GCM", gcm.Made());
    }
    sealed.resize(plain.size() + kGcmTagBytes);
    auto* out = reinterpret_cast<unsigned char*>(sealed.data());
    BCRYPT_AUTHENTICATED_CIPHER_MODE_INFO info = AuthInfo(iv, out + plain.size());
    ULONG written = 0;
    const NTSTATUS status = BCryptEncrypt(gcm.Handle(), Bytes(plain), static_cast<ULONG>(plain.size()), &info,
                                          nullptr, 0, out, static_cast<ULONG>(plain.size()), &written, 0);
    if (!Succeeded(status) || written != plain.size()) {
        sealed.clear();
        return CngError("Cannot encrypt the page", status);
    }
    return {};
}

Status Decrypt(const unsigned char (&key)[kAesKeyBytes],
               const std::string& iv,
               const std::string& sealed,
               std::string& plain,
               bool& authentic) {
    GcmKey gcm(key);
    if (!Succeeded(gcm.Made())) {
        return CngError("Cannot set up AES-256-GCM", gcm.Made());
    }
    const std::size_t body = sealed.size() - kGcmTagBytes;
    std::string tag = sealed.substr(body);
    BCRYPT_AUTHENTICATED_CIPHER_MODE_INFO info = AuthInfo(iv, reinterpret_cast<unsigned char*>(tag.data()));
    plain.resize(body);
    ULONG written = 0;
    const NTSTATUS status =
        BCryptDecrypt(gcm.Handle(), Bytes(sealed), static_cast<ULONG>(body), &info, nullptr, 0,
                      reinterpret_cast<PUCHAR>(plain.data()), static_cast<ULONG>(body), &written, 0);
    if (status == kAuthTagMismatch) {
        plain.clear();
        return {};
    }
    if (!Succeeded(status)) {
        plain.clear();
        return CngError("Cannot decrypt the page", status);
    }
    plain.resize(written);
    authentic = true;
    return {};
}

void Wipe(void* data, std::size_t size) {
    SecureZeroMemory(data, size);
}

}  // namespace vexel::platform::backend
