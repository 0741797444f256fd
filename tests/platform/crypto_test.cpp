// The page cryptography, natively (OpenSSL) and in the Windows build (CNG):
// published test vectors, and one vector computed by a third implementation
// (Node.js), so that both give the same bytes a browser reads back.
#include <gtest/gtest.h>

#include <algorithm>
#include <new>
#include <string>
#include <utility>

#include "platform/ascii.h"
#include "platform/crypto.h"

namespace vexel::platform {
namespace {

std::string FromHex(const std::string& hex) {
    std::string bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
        bytes.push_back(static_cast<char>(HexByteValue(hex[i], hex[i + 1])));
    }
    return bytes;
}

std::string ToHex(const unsigned char* bytes, std::size_t size) {
    std::string hex;
    for (std::size_t i = 0; i < size; ++i) {
        hex.push_back(HexDigitOf(bytes[i] >> 4, true));
        hex.push_back(HexDigitOf(bytes[i], true));
    }
    return hex;
}

std::string ToHex(const std::string& bytes) {
    return ToHex(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
}

std::string DerivedHex(const std::string& password, const std::string& salt, uint32_t iterations) {
    unsigned char key[kAesKeyBytes] = {};
    const Status status = DeriveKeyPbkdf2Sha256(password, salt, iterations, key);
    EXPECT_TRUE(status.Ok()) << status.Reason();
    return ToHex(key, sizeof key);
}

void KeyFromHex(const std::string& hex, unsigned char (&key)[kAesKeyBytes]) {
    const std::string bytes = FromHex(hex);
    ASSERT_EQ(bytes.size(), kAesKeyBytes);
    std::copy(bytes.begin(), bytes.end(), key);
}

TEST(Crypto, Pbkdf2Sha256GivesThePublishedKeys) {
    // The first 32 bytes of the PBKDF2-HMAC-SHA256 vectors of RFC 7914.
    EXPECT_EQ(DerivedHex("passwd", "salt", 1),
              "55ac046e56e3089fec1691c22544b605f94185216dde0465e68b9d57c20dacbc");
    EXPECT_EQ(DerivedHex("Password", "NaCl", 80000),
              "4ddcd8f60b98be21830cee5ef22701f9641a4418d04c0414aeff08876b34ab56");
}

TEST(Crypto, Aes256GcmGivesThePublishedCiphertextAndTag) {
    // Test case 15 of the published GCM test vectors: AES-256, 96-bit IV, no additional data.
    unsigned char key[kAesKeyBytes];
    KeyFromHex("feffe9928665731c6d6a8f9467308308feffe9928665731c6d6a8f9467308308", key);
    const std::string iv = FromHex("cafebabefacedbaddecaf888");
    const std::string plain = FromHex(
        "d9313225f88406e5a55909c5aff5269a86a7a9531534f7da2e4c303d8a318a721c3c0c95956809532fcf0e2449a6b525b16a"
        "edf5aa0"
        "de657ba637b391aafd255");
    std::string sealed;
    ASSERT_TRUE(EncryptAes256Gcm(key, iv, plain, sealed).Ok());
    EXPECT_EQ(ToHex(sealed),
              "522dc1f099567d07f47f37a32a84427d643a8cdcbfe5c0c97598a2bd2555d1aa8cb08e48590dbb3da7b08b10568288"
              "38c5f61e6"
              "393ba7a0abcc9f662898015ad"
              "b094dac5d93471bdec1a502270e3cc6c");

    std::string opened;
    bool authentic = false;
    ASSERT_TRUE(DecryptAes256Gcm(key, iv, sealed, opened, authentic).Ok());
    EXPECT_TRUE(authentic);
    EXPECT_EQ(opened, plain);
}

TEST(Crypto, APageSealedHereIsTheOneNodeJsSeals) {
    // A UTF-8 password, a low iteration count and a page's text; the expected
    // bytes come from Node.js's crypto module.
    unsigned char key[kAesKeyBytes] = {};
    ASSERT_TRUE(DeriveKeyPbkdf2Sha256("Gr\xC3\xBC\xC3\x9F"
                                      "e, \xD0\xBA\xD0\xBB\xD1\x8E\xD1\x87",
                                      FromHex("000102030405060708090a0b0c0d0e0f"), 1000, key)
                    .Ok());
    EXPECT_EQ(ToHex(key, sizeof key), "4acc3fbba37a80a3ef4db2e029dd85dafd9ceb626e3314b275215d8e5ad49e62");
    std::string sealed;
    ASSERT_TRUE(
        EncryptAes256Gcm(key, FromHex("a0a1a2a3a4a5a6a7a8a9aaab"), "<p>Plain text of a page</p>", sealed)
            .Ok());
    EXPECT_EQ(ToHex(sealed),
              "cae373739806f72aa93cb92d14f2bb9e47dd798dcea894b060c43b1d984a38c2edc684734553594894d7d2");
}

TEST(Crypto, AnyChangedByteOrAnotherKeyIsRefused) {
    unsigned char key[kAesKeyBytes] = {7};
    const std::string iv(kGcmIvBytes, '\x42');
    std::string sealed;
    ASSERT_TRUE(EncryptAes256Gcm(key, iv, std::string(100, 'p'), sealed).Ok());
    ASSERT_EQ(sealed.size(), 100 + kGcmTagBytes);
    for (const std::size_t at :
         {std::size_t{0}, std::size_t{57}, std::size_t{99}, std::size_t{100}, sealed.size() - 1}) {
        std::string changed = sealed;
        changed[at] = static_cast<char>(changed[at] ^ 1);
        std::string plain = "left over";
        bool authentic = true;
        ASSERT_TRUE(DecryptAes256Gcm(key, iv, changed, plain, authentic).Ok());
        EXPECT_FALSE(authentic) << "byte " << at;
        EXPECT_TRUE(plain.empty());
    }
    unsigned char other[kAesKeyBytes] = {8};
    std::string plain;
    bool authentic = true;
    ASSERT_TRUE(DecryptAes256Gcm(other, iv, sealed, plain, authentic).Ok());
    EXPECT_FALSE(authentic);
    // Too short to hold a tag.
    ASSERT_TRUE(DecryptAes256Gcm(key, iv, sealed.substr(0, 5), plain, authentic).Ok());
    EXPECT_FALSE(authentic);
}

TEST(Crypto, RandomBytesDifferFromDrawToDraw) {
    unsigned char first[32] = {};
    unsigned char second[32] = {};
    ASSERT_TRUE(RandomBytes(first, sizeof first).Ok());
    ASSERT_TRUE(RandomBytes(second, sizeof second).Ok());
    EXPECT_NE(ToHex(first, sizeof first), ToHex(second, sizeof second));
    EXPECT_NE(ToHex(first, sizeof first), std::string(64, '0'));
}

TEST(Crypto, BothBackEndsRefuseTheSameArguments) {
    unsigned char key[kAesKeyBytes] = {1};
    // Iteration counts outside 1 to INT_MAX: OpenSSL takes an int, CNG a
    // ULONG; both refuse them alike, before either library is asked.
    for (const uint32_t iterations : {0u, 2147483648u, 4294967295u}) {
        const Status status = DeriveKeyPbkdf2Sha256("pw", "salt", iterations, key);
        EXPECT_FALSE(status.Ok()) << iterations;
        EXPECT_NE(status.Reason().find("out of range"), std::string::npos) << status.Reason();
    }
    std::string sealed = "left over";
    for (const std::size_t ivSize : {0u, 11u, 13u, 16u}) {
        EXPECT_FALSE(EncryptAes256Gcm(key, std::string(ivSize, 'i'), "plain", sealed).Ok()) << ivSize;
        EXPECT_TRUE(sealed.empty());
        std::string plain = "left over";
        bool authentic = true;
        EXPECT_FALSE(DecryptAes256Gcm(key, std::string(ivSize, 'i'), std::string(40, 's'), plain, authentic).Ok());
        EXPECT_FALSE(authentic);
        EXPECT_TRUE(plain.empty());
    }
}

TEST(Crypto, WipesLeaveZerosAndKeysWipeThemselves) {
    unsigned char bytes[40];
    std::fill(std::begin(bytes), std::end(bytes), 0xA5);
    SecureWipe(bytes, sizeof bytes);
    EXPECT_EQ(ToHex(bytes, sizeof bytes), std::string(80, '0'));

    std::string secret(100, 's');
    secret.resize(10);  // what stood past the end is wiped too
    const char* buffer = secret.data();
    const std::size_t capacity = secret.capacity();
    SecureWipe(secret);
    EXPECT_TRUE(secret.empty());
    EXPECT_EQ(secret.data(), buffer);
    EXPECT_EQ(std::string(buffer, capacity), std::string(capacity, '\0'));

    // A key's storage after its holder went: read as the raw bytes it stood in.
    alignas(AesKey) unsigned char storage[sizeof(AesKey)];
    auto* key = new (storage) AesKey;
    ASSERT_TRUE(DeriveKeyPbkdf2Sha256("passwd", "salt", 1, key->Bytes()).Ok());
    EXPECT_NE(ToHex(key->Bytes(), kAesKeyBytes), std::string(64, '0'));
    key->~AesKey();
    EXPECT_EQ(ToHex(storage, sizeof storage), std::string(2 * sizeof storage, '0'));

    // A short text is copied by a move, not taken over: what the move leaves
    // behind is wiped.
    SecretText from(std::string("pw"));
    const char* left = from.Text().data();
    const std::size_t room = from.Text().capacity();
    const SecretText to(std::move(from));
    EXPECT_EQ(to.Text(), "pw");
    EXPECT_EQ(std::string(left, room), std::string(room, '\0'));
}

}  // namespace
}  // namespace vexel::platform
