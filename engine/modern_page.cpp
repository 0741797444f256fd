#include "engine/modern_page.h"

#include <algorithm>
#include <stdexcept>

#include "engine/base91.h"
#include "engine/carrier_text.h"
#include "engine/charset.h"
#include "engine/deflate.h"
#include "engine/errors.h"
#include "engine/lzma.h"
#include "engine/loader_script.h"
#include "platform/ascii.h"
#include "platform/crypto.h"

namespace vexel {

namespace {

constexpr std::size_t kHeaderBytes = kSaltBytes + platform::kGcmIvBytes;

// The page around its script. Nothing here may hold "</script", "<!--" or
// "*/" but where the page means them.
constexpr char kNoScript[] = "<noscript>This compressed page needs JavaScript.</noscript>";
constexpr char kPasswordForm[] =
    "<form>Encrypted page. Password: <input type=password autofocus> <output></output></form>";

// What the pages of earlier versions began their script with, and put their
// base91 payload in.
constexpr char kEarlierScriptStart[] = "<script>(function(d){var Z=self.DecompressionStream,";
constexpr char kEarlierPayloadStart[] = "})(\"";
constexpr char kEarlierPayloadEnd[] = "\")</script>";

// How far into the original its title, language, description and viewport
// are looked for, and the longest of them carried.
constexpr std::size_t kHeadScanBytes = 64 * 1024;
constexpr std::size_t kLongestCarried = 1024;

std::string RandomString(std::size_t size) {
    std::string bytes(size, '\0');
    const platform::Status status = platform::RandomBytes(bytes.data(), bytes.size());
    if (!status.Ok()) {
        throw std::runtime_error(status.Reason());
    }
    return bytes;
}

void CheckCrypto(const platform::Status& status) {
    if (!status.Ok()) {
        throw std::runtime_error(status.Reason());
    }
}

std::size_t FindIgnoringCase(std::string_view text, std::string_view word, std::size_t from) {
    for (std::size_t at = text.find('<', from); at != std::string_view::npos; at = text.find('<', at + 1)) {
        if (StartsWithIgnoringAsciiCase(text, at, word)) {
            return at;
        }
    }
    return std::string_view::npos;
}

// An attribute as it may stand in the page: quoted with a mark it does not
// hold; empty when it holds both.
std::string Attribute(const char* name, const std::string& value) {
    const char quote = value.find('"') == std::string::npos ? '"' : '\'';
    if (value.find(quote) != std::string::npos) {
        return {};
    }
    return std::string(" ") + name + "=" + quote + value + quote;
}

// The original's language, title, description and viewport, as the page's
// own head carries them: bytes as they stand in the original, which the page
// is read in the charset of.
std::string CarriedHead(std::string_view original) {
    const std::string_view head = original.substr(0, kHeadScanBytes);
    std::string lang;
    std::string title;
    std::string metas;
    bool haveTitle = false;
    bool haveDescription = false;
    bool haveViewport = false;
    std::string name;
    std::string value;
    for (std::size_t at = head.find('<'); at != std::string_view::npos; at = head.find('<', at + 1)) {
        if (head.compare(at, 4, "<!--") == 0) {
            const std::size_t end = head.find("-->", at + 2);
            if (end == std::string_view::npos) {
                break;
            }
            at = end + 2;
            continue;
        }
        std::size_t i = at + 1;
        std::string tag;
        while (i < head.size() && !IsAsciiWhitespace(head[i]) && head[i] != '>' && head[i] != '/') {
            tag.push_back(AsciiLower(head[i++]));
        }
        if (tag.empty() || !((tag[0] >= 'a' && tag[0] <= 'z'))) {
            continue;
        }
        if (tag == "body") {
            break;
        }
        std::string metaName;
        std::string content;
        while (NextTagAttribute(head, i, name, value, /*lowerValue=*/false)) {
            if (tag == "html" && name == "lang" && lang.empty()) {
                lang = value;
            } else if (tag == "meta" && name == "name") {
                metaName = LowerAscii(value);
            } else if (tag == "meta" && name == "content") {
                content = value;
            }
        }
        at = std::min(i, head.size() - 1);
        if (content.size() > kLongestCarried || content.find('<') != std::string::npos) {
            content.clear();
            metaName.clear();
        }
        if (metaName == "description" && !haveDescription) {
            haveDescription = true;
            metas += "<meta name=description" + Attribute("content", content) + ">";
        } else if (metaName == "viewport" && !haveViewport) {
            haveViewport = true;
            metas += "<meta name=viewport" + Attribute("content", content) + ">";
        }
        if (tag == "title" || tag == "script" || tag == "style" || tag == "textarea" || tag == "xmp") {
            const std::size_t close = FindIgnoringCase(head, "</" + tag, at);
            if (close == std::string_view::npos) {
                break;
            }
            // Nothing carried holds a "<": the reader finds the script by its tag.
            if (tag == "title" && !haveTitle && close - at - 1 <= kLongestCarried &&
                head.substr(at + 1, close - at - 1).find('<') == std::string_view::npos) {
                haveTitle = true;
                title = "<title>" + std::string(head.substr(at + 1, close - at - 1)) + "</title>";
            }
            at = close;
        }
    }
    const bool plainLang = lang.size() <= 35 && std::all_of(lang.begin(), lang.end(), [](char c) {
                               return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                                      c == '-';
                           });
    return (!lang.empty() && plainLang ? "<html lang=" + lang + ">" : std::string()) + title + metas;
}

bool IsUtf16Original(const PageCharset& charset) {
    return charset.source == PageCharset::Source::Bom && IsUtf16Charset(charset.label);
}

// The script for `payload`, in the text that makes the smaller page of
// those the charset allows: radix 120 always, byte for byte in a charset
// that maps every byte.
std::string CarriedScript(const PageCharset& charset,
                          std::string_view payload,
                          std::size_t expandedSize,
                          const ModernPageOptions& options) {
    LoaderSettings settings;
    settings.payloadSize = payload.size();
    settings.siteFile = options.siteFile;
    if (options.codec == ModernCodec::Lzma) {
        settings.format = &kLzmaLoader;
        settings.expandedSize = expandedSize;
    }
    if (IsUtf16Original(charset)) {
        settings.textCharset = charset.label;
    }
    if (options.encrypted) {
        settings.iterations = options.iterations;
    }
    std::string script = kLoaderScriptStart + RadixEncode(payload) + LoaderScript(settings);
    bool holes[256];
    if (charset.source != PageCharset::Source::Default && IsSingleByteEncoding(charset.label, &holes)) {
        if (const std::optional<ByteEscape> escape = ChooseByteEscape(holes)) {
            settings.escape = escape;
            std::string bytes = kLoaderScriptStart + ByteEncode(payload, holes, *escape) + LoaderScript(settings);
            if (bytes.size() < script.size()) {
                script = std::move(bytes);
            }
        }
    }
    return script + kLoaderScriptEnd;
}

std::string PageText(const PageCharset& charset,
                     const std::string& head,
                     std::string_view payload,
                     std::size_t expandedSize,
                     const ModernPageOptions& options) {
    std::string page;
    if (charset.source != PageCharset::Source::Default) {
        // A UTF-16 original is written in a page that declares UTF-8 (forms
        // submit in UTF-8 from a UTF-16 page too).
        page += "<meta charset=" + std::string(IsUtf16Original(charset) ? "utf-8" : charset.label) + ">";
    }
    page += head;
    page += kNoScript;
    if (options.encrypted) {
        page += kPasswordForm;
    }
    if (!options.siteFile.empty()) {
        page += "<script src=\"" + options.siteFile + "\"></script>";
    }
    return page + CarriedScript(charset, payload, expandedSize, options);
}

void ReadIterations(std::string_view code, ModernPageData& data) {
    if (const std::optional<uint32_t> iterations = ReadIterationCount(code, kMaxIterations)) {
        data.encrypted = true;
        data.iterations = *iterations;
    }
}

std::string Seal(const std::string& compressed,
                 const PageSeal& seal,
                 const std::string& salt,
                 const std::string& iv) {
    if (salt.size() != kSaltBytes || iv.size() != platform::kGcmIvBytes) {
        throw std::invalid_argument("salt or IV of a wrong size");
    }
    platform::AesKey key;
    CheckCrypto(platform::DeriveKeyPbkdf2Sha256(seal.password, salt, seal.iterations, key.Bytes()));
    std::string sealed;
    CheckCrypto(platform::EncryptAes256Gcm(key.Bytes(), iv, compressed, sealed));
    return salt + iv + sealed;
}

std::optional<ModernPageData> ReadEarlierPage(std::string_view page) {
    const std::size_t script = page.find(kEarlierScriptStart);
    if (script == std::string_view::npos) {
        return std::nullopt;
    }
    // The payload holds no quotation mark: the last opening of the call is ours.
    const std::size_t start = page.rfind(kEarlierPayloadStart);
    if (start == std::string_view::npos || start < script) {
        return std::nullopt;
    }
    const std::size_t text = start + sizeof kEarlierPayloadStart - 1;
    const std::size_t end = page.find('"', text);
    if (end == std::string_view::npos ||
        page.compare(end, sizeof kEarlierPayloadEnd - 1, kEarlierPayloadEnd) != 0) {
        return std::nullopt;
    }
    ModernPageData data;
    data.earlier = true;
    ReadIterations(page.substr(script, start - script), data);
    if (!Base91Decode(page.substr(text, end - text), data.payload)) {
        throw DataError("the page's data holds a character its encoding does not use");
    }
    return data;
}

}  // namespace

std::string CompressOriginal(std::string_view original, ModernCodec codec, std::string_view preset) {
    return codec == ModernCodec::Lzma ? LzmaCompress(original, preset) : DeflateRaw(original);
}

std::string SealPayload(std::string compressed, const PageSeal* seal) {
    if (seal == nullptr) {
        return compressed;
    }
    return Seal(compressed, *seal, RandomString(kSaltBytes), RandomString(platform::kGcmIvBytes));
}

std::string ModernPayload(std::string_view original, const PageSeal* seal, ModernCodec codec) {
    return SealPayload(CompressOriginal(original, codec), seal);
}

std::string ModernPayload(std::string_view original,
                          const PageSeal* seal,
                          const std::string& salt,
                          const std::string& iv,
                          ModernCodec codec) {
    std::string compressed = CompressOriginal(original, codec);
    if (seal == nullptr) {
        return compressed;
    }
    return Seal(compressed, *seal, salt, iv);
}

std::string RenderModernPage(std::string_view original,
                             std::string_view payload,
                             const ModernPageOptions& options) {
    const PageCharset charset = DetectCharset(original);
    if (const std::string refused = RefusedCharsetReason(charset); !refused.empty()) {
        throw DataError("not written as a modern page: " + refused);
    }
    if (!options.siteFile.empty() && (options.encrypted || options.codec != ModernCodec::Lzma)) {
        // An encrypted page stays alone: nothing of it in a shared dictionary,
        // nothing of the others' text in its size.
        throw std::invalid_argument("a page of a site is in LZMA and not encrypted");
    }
    // An encrypted page shows nothing of its original, not even its title.
    const std::string head =
        IsUtf16Original(charset) || options.encrypted ? std::string() : CarriedHead(original);
    return PageText(charset, head, payload, original.size(), options);
}

std::size_t ModernDecoderSize(bool encrypted, ModernCodec codec) {
    ModernPageOptions options;
    options.encrypted = encrypted;
    options.codec = codec;
    return PageText(PageCharset{}, {}, {}, 0, options).size();
}

std::optional<ModernPageData> ReadModernPage(std::string_view page) {
    const std::size_t script = page.find(kLoaderScriptStart);
    if (script == std::string_view::npos) {
        return ReadEarlierPage(page);
    }
    // The data's comment ends at its first "*/", the script after it.
    const std::size_t text = script + sizeof kLoaderScriptStart - 1;
    const std::size_t loader = page.find("*/", text);
    const std::optional<LoaderSettings> settings =
        loader == std::string_view::npos ? std::nullopt : ReadLoaderScript(page.substr(loader));
    if (!settings) {
        return ReadEarlierPage(page);
    }
    if (settings->payloadSize > kMaxExpandedBytes || settings->expandedSize > kMaxExpandedBytes) {
        throw DataError("the page's script says its data holds more bytes than a page may");
    }
    ModernPageData data;
    if (settings->format == &kLzmaLoader) {
        data.codec = ModernCodec::Lzma;
        data.expandedSize = settings->expandedSize;
    }
    data.siteFile = settings->siteFile;
    ReadIterations(page.substr(loader), data);
    const std::string_view carried = page.substr(text, loader - text);
    std::optional<std::string> payload =
        settings->escape ? ByteDecode(carried, *settings->escape) : RadixDecode(carried, settings->payloadSize);
    if (!payload || payload->size() != settings->payloadSize) {
        throw DataError("the page's data holds a character its encoding does not use, or is cut off");
    }
    data.payload = std::move(*payload);
    if (data.encrypted && data.payload.size() < kHeaderBytes + platform::kGcmTagBytes) {
        throw DataError("the page's encrypted data is too short to hold its salt, IV and tag");
    }
    return data;
}

std::string ExpandModernPage(const ModernPageData& data, const std::string* password, std::size_t limit) {
    if (!data.siteFile.empty() && !data.dictionary) {
        throw DataError("the page needs its site's file " + data.siteFile + ", which was not read");
    }
    const std::string_view preset = data.siteFile.empty() ? std::string_view() : std::string_view(*data.dictionary);
    const auto expand = [&](std::string_view compressed) {
        return data.codec == ModernCodec::Lzma ? LzmaExpand(compressed, data.expandedSize, limit, preset)
                                               : InflateRaw(compressed, limit);
    };
    if (!data.encrypted) {
        return expand(data.payload);
    }
    if (password == nullptr) {
        throw PasswordError(PasswordError::Kind::Missing, "the page is encrypted: its password is needed");
    }
    platform::AesKey key;
    CheckCrypto(platform::DeriveKeyPbkdf2Sha256(*password, data.payload.substr(0, kSaltBytes), data.iterations,
                                                key.Bytes()));
    std::string compressed;
    bool authentic = false;
    CheckCrypto(platform::DecryptAes256Gcm(key.Bytes(), data.payload.substr(kSaltBytes, platform::kGcmIvBytes),
                                           data.payload.substr(kHeaderBytes), compressed, authentic));
    if (!authentic) {
        throw PasswordError(PasswordError::Kind::Wrong,
                            "wrong password (or the page's encrypted data was changed since it was written)");
    }
    return expand(compressed);
}

}  // namespace vexel
