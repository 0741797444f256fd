// The modern page: the whole original page, every byte, raw-deflated or
// LZMA-compressed (and, for an encrypted page, sealed with AES-256-GCM under a
// key derived from a password), carried as text (engine/carrier_text.h) in a
// comment at the start of a small script that the browser's own
// DecompressionStream (or the page's LZMA decoder), TextDecoder and WebCrypto
// expand and that writes the original back with document.open(), write() and
// close().
//
// The page declares the charset the original is read in (engine/charset.h),
// so that the browser gives it the same document.characterSet, which the
// script decodes the original with, and forms submit in the original's
// charset. Only an original in UTF-16, which no <meta> can declare, names its
// charset in the script instead. Pages whose charset browsers read
// differently are refused.
//
// Around the script the page carries the original's language, title,
// description and viewport, so that a browser without JavaScript, the tab
// while the page expands, and search engines see what the page is; an
// encrypted page carries none of them.
//
// Encrypted data: 16 bytes of salt, 12 bytes of IV, then the sealed data and
// its 16-byte tag; the key is PBKDF2-HMAC-SHA256 of the password's UTF-8
// bytes with the iteration count written in the script.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/crypto.h"

namespace vexel {

constexpr uint32_t kDefaultIterations = 600000;
// Readers refuse more: a page could keep a browser busy for hours.
constexpr uint32_t kMaxIterations = 100000000;
constexpr std::size_t kSaltBytes = 16;
// The largest original a reader expands, so that a crafted page cannot fill
// the memory.
constexpr std::size_t kMaxExpandedBytes = std::size_t{1} << 30;

// How an encrypted page is sealed.
struct PageSeal {
    std::string password;
    uint32_t iterations = kDefaultIterations;

    // The password's copy is wiped when the seal goes.
    ~PageSeal() { platform::SecureWipe(password); }
};

// How a page's payload is compressed: raw deflate, which the browser expands
// itself, or LZMA (engine/lzma.h), smaller on all but small pages, which the
// page's own decoder expands.
enum class ModernCodec { Deflate, Lzma };

// What a page is written with besides its original and payload.
struct ModernPageOptions {
    bool encrypted = false;
    uint32_t iterations = kDefaultIterations;  // key iterations of an encrypted page
    ModernCodec codec = ModernCodec::Deflate;
    // A page of a site (LZMA, never encrypted): the path from the page to the
    // site's shared file (engine/site_file.h), which holds the decoder and the
    // dictionary its payload was compressed with. Empty: a page of its own.
    std::string siteFile = {};
};

// The bytes the page carries for `original`: compressed, and sealed when
// `seal` is given, with a salt and an IV from the system's random source.
// Throws std::runtime_error when the cryptography fails.
std::string ModernPayload(std::string_view original,
                          const PageSeal* seal,
                          ModernCodec codec = ModernCodec::Deflate);
// The original compressed in `codec`, what a payload is made of; in LZMA
// with a site's dictionary as `preset`.
std::string CompressOriginal(std::string_view original, ModernCodec codec, std::string_view preset = {});
// The compressed original sealed (when `seal` is given) into a payload.
std::string SealPayload(std::string compressed, const PageSeal* seal);
// The same with the salt (16 bytes) and IV (12 bytes) given.
std::string ModernPayload(std::string_view original,
                          const PageSeal* seal,
                          const std::string& salt,
                          const std::string& iv,
                          ModernCodec codec = ModernCodec::Deflate);

// The page for `original` around `payload` (what ModernPayload made of it,
// or what ReadModernPage found in a page): the same bytes for the same
// inputs, so that a page can be checked by writing it again. Throws
// DataError, saying why, for an original in a charset modern pages refuse.
std::string RenderModernPage(std::string_view original,
                             std::string_view payload,
                             const ModernPageOptions& options);

// The size of the fixed text of a page (for an original without title,
// description or charset): what it adds besides its payload.
std::size_t ModernDecoderSize(bool encrypted, ModernCodec codec = ModernCodec::Deflate);

struct ModernPageData {
    bool encrypted = false;
    uint32_t iterations = 0;
    std::string payload;  // the carried bytes, decoded from their text
    // Written by an earlier version of the program (base91 text in a string):
    // its data can be checked, its script cannot be written again.
    bool earlier = false;
    ModernCodec codec = ModernCodec::Deflate;
    std::size_t expandedSize = 0;  // of an LZMA page: the original's size, as its script says
    // A page of a site: the path to its shared file, as the page names it, and
    // (once the caller has read that file) the dictionary it holds.
    std::string siteFile;
    std::optional<std::string> dictionary;

    ModernPageOptions Options() const {
        return {encrypted, encrypted ? iterations : kDefaultIterations, codec, siteFile};
    }
};

// The data and options of a page the modern writer made; nothing when the
// page is not one. Throws DataError when it is one whose data is damaged.
std::optional<ModernPageData> ReadModernPage(std::string_view page);

// The original page. Throws PasswordError for an encrypted page without
// `password` or with a wrong one, DataError when the data is damaged or would
// expand beyond `limit`, or for a page of a site whose dictionary was not read.
std::string ExpandModernPage(const ModernPageData& data,
                             const std::string* password,
                             std::size_t limit = kMaxExpandedBytes);

}  // namespace vexel
