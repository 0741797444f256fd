#include "engine/modern_page.h"

#include <algorithm>
#include <stdexcept>

#include "engine/base91.h"
#include "engine/carrier_text.h"
#include "engine/charset.h"
#include "engine/deflate.h"
#include "engine/errors.h"
#include "engine/lzma.h"
#include "engine/lzma_script.h"
#include "platform/crypto.h"

namespace vexel {

namespace {

constexpr std::size_t kHeaderBytes = kSaltBytes + platform::kGcmIvBytes;

// The page, piece by piece. The payload's text is the comment the script
// opens with; the script reads it from its own text before anything waits, so
// that the original's scripts find no global of ours. Nothing here may hold
// "</script", "<!--" or "*/" but where the page means them.
constexpr char kNoScript[] = "<noscript>This page is compressed and needs JavaScript to open.</noscript>";
constexpr char kPasswordForm[] =
    "<form>This page is encrypted. Password: <input type=password autofocus> <output></output></form>";
constexpr char kScriptStart[] = "<script>/*";
// X inflates the original, decodes it, writes it over the page and keeps the
// scroll position for a reload or a way back, which a page written after its
// load does not get from the browser.
constexpr char kLoaderHead[] =
    "*/(async(C,Z,t=C.currentScript.text,a=new Uint8Array(";
constexpr char kLoaderState[] = "),n=0,b=0,k=0,i=2,v,D,S,K=\"v\"+location.pathname,";
// Between them, the codec's expansion of the bytes a (an LZMA page defines
// its decoder before).
constexpr char kLoaderExpandHead[] = "X=async a=>{try{a=";
constexpr char kDeflateExpand[] =
    "await new Response(new Response(a).body.pipeThrough(new Z(\"deflate-raw\"))).arrayBuffer()";
constexpr char kLoaderExpandEnd[] =
    "}catch(e){return C.write((Z?\"Damaged page: \":\"This page needs a newer browser. \")+e)}C.open();C.write("
    "new TextDecoder(";
constexpr char kDocumentCharset[] = "C.characterSet";
constexpr char kLoaderWrite[] =
    ").decode(a));C.close();try{S=sessionStorage;addEventListener(\"pagehide\",_=>S[K]=[scrollX,scrollY]);"
    "S[K]&&performance.navigation.type&&scrollTo(...S[K].split(\",\"))}catch(e){}})=>{";
constexpr char kRadixDecoder[] =
    "for(D=c=>c-1-(c>13)-(c>28)*3-(c>42)-(c>60);(v=t.charCodeAt(i))!=42;i+=2)for(v=D(v)+120*D(t.charCodeAt(i+"
    "1)),b|=v<<k,k+=(v&8191)>6207?13:14;k>7;k-=8)a[n++]=b,b>>=8;";
// The byte of each character, from the browser's own decoder of the page's
// charset.
constexpr char kByteDecoderHead[] =
    "for(D=new Uint8Array(65536),v=new TextDecoder(C.characterSet).decode(Uint8Array.from(Array(256).keys()));"
    "k<256;k++)D[v.charCodeAt(k)]=k;for(k=t.indexOf(\"*/\");i<k;)b=D[t.charCodeAt(i++)],a[n++]=b==";
constexpr char kByteDecoderMiddle[] = "?D[t.charCodeAt(i++)]-";
constexpr char kByteDecoderEnd[] = ":b;";
constexpr char kPlainTail[] = "X(a)";
constexpr char kSealedTailHead[] =
    "let s=self.crypto&&crypto.subtle,f=C.forms[0],p=f[0];"
    "if(!s)return C.write(\"This browser decrypts pages only when they come over https or from the disk.\");"
    "f.onsubmit=_=>{f[1].value=\"\";"
    "s.importKey(\"raw\",new TextEncoder().encode(p.value),\"PBKDF2\",!1,[\"deriveKey\"]).then(k=>"
    "s.deriveKey({name:\"PBKDF2\",salt:a.subarray(0,16),iterations:";
constexpr char kSealedTailEnd[] =
    ",hash:\"SHA-256\"},k,{name:\"AES-GCM\",length:256},!1,[\"decrypt\"])).then(k=>"
    "s.decrypt({name:\"AES-GCM\",iv:a.subarray(16,28)},k,a.subarray(28)))"
    ".then(X,_=>{f[1].value=\"wrong password\";p.select()});return!1}";
constexpr char kScriptEnd[] = "})(document,self.DecompressionStream)</script>";
constexpr char kIterationsKey[] = "iterations:";

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

char Lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\f' || c == '\r';
}

std::size_t FindIgnoringCase(std::string_view text, std::string_view word, std::size_t from) {
    for (std::size_t at = text.find('<', from); at != std::string_view::npos; at = text.find('<', at + 1)) {
        if (text.size() - at >= word.size() &&
            std::equal(word.begin(), word.end(), text.begin() + static_cast<std::ptrdiff_t>(at),
                       [](char w, char t) { return w == Lower(t); })) {
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
        while (i < head.size() && !IsSpace(head[i]) && head[i] != '>' && head[i] != '/') {
            tag.push_back(Lower(head[i++]));
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
                std::transform(value.begin(), value.end(), value.begin(), Lower);
                metaName = value;
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

// How the payload stands in a page for `charset`: the denser of the two
// encodings the charset allows.
struct CarriedText {
    std::string text;
    std::optional<ByteEscape> escape;  // byte for byte; else radix 120
};

CarriedText CarryPayload(const PageCharset& charset, std::string_view payload) {
    CarriedText carried{RadixEncode(payload), std::nullopt};
    bool holes[256];
    if (charset.source != PageCharset::Source::Default && IsSingleByteEncoding(charset.label, &holes)) {
        if (const std::optional<ByteEscape> escape = ChooseByteEscape(holes)) {
            std::string bytes = ByteEncode(payload, holes, *escape);
            if (bytes.size() < carried.text.size()) {
                carried = {std::move(bytes), escape};
            }
        }
    }
    return carried;
}

bool IsUtf16Original(const PageCharset& charset) {
    return charset.source == PageCharset::Source::Bom && IsUtf16Charset(charset.label);
}

std::string PageText(const PageCharset& charset,
                     const std::string& head,
                     const CarriedText& carried,
                     std::size_t payloadSize,
                     std::size_t expandedSize,
                     const ModernPageOptions& options) {
    std::string page;
    page.reserve(carried.text.size() + 2048);
    if (charset.source != PageCharset::Source::Default) {
        page += "<meta charset=" + std::string(IsUtf16Original(charset) ? "utf-8" : charset.label) + ">";
    }
    page += head;
    page += kNoScript;
    if (options.encrypted) {
        page += kPasswordForm;
    }
    page += kScriptStart;
    page += carried.text;
    page += kLoaderHead;
    page += std::to_string(payloadSize);
    page += kLoaderState;
    if (options.codec == ModernCodec::Lzma) {
        page += kLzmaDecoderScript;
    }
    page += kLoaderExpandHead;
    if (options.codec == ModernCodec::Lzma) {
        page += kLzmaExpandCall + std::to_string(expandedSize) + ")";
    } else {
        page += kDeflateExpand;
    }
    page += kLoaderExpandEnd;
    // A UTF-16 original is written in a page that declares UTF-8 (forms submit
    // in UTF-8 from a UTF-16 page too); its text is decoded as what it is.
    page += IsUtf16Original(charset) ? "\"" + charset.label + "\"" : std::string(kDocumentCharset);
    page += kLoaderWrite;
    if (carried.escape) {
        page += kByteDecoderHead;
        page += std::to_string(carried.escape->escape);
        page += kByteDecoderMiddle;
        page += std::to_string(carried.escape->offset);
        page += kByteDecoderEnd;
    } else {
        page += kRadixDecoder;
    }
    if (options.encrypted) {
        page += kSealedTailHead + std::to_string(options.iterations) + kSealedTailEnd;
    } else {
        page += kPlainTail;
    }
    page += kScriptEnd;
    return page;
}

// The decimal number at `at`, of at most `digits` digits; nothing when none.
std::optional<uint64_t> NumberAt(std::string_view page, std::size_t at, std::size_t digits, std::size_t& end) {
    uint64_t value = 0;
    end = at;
    while (end < page.size() && page[end] >= '0' && page[end] <= '9' && end - at < digits) {
        value = value * 10 + static_cast<uint64_t>(page[end] - '0');
        ++end;
    }
    if (end == at) {
        return std::nullopt;
    }
    return value;
}

void ReadIterations(std::string_view code, ModernPageData& data) {
    const std::size_t key = code.find(kIterationsKey);
    if (key == std::string_view::npos) {
        return;
    }
    data.encrypted = true;
    const std::size_t at = key + sizeof kIterationsKey - 1;
    std::size_t end = 0;
    const std::optional<uint64_t> value = NumberAt(code, at, 12, end);
    if (!value || *value == 0 || *value > kMaxIterations) {
        throw DataError("the page asks for " + std::string(code.substr(at, std::min<std::size_t>(end - at + 1, 12))) +
                        " key iterations, not a count this program writes");
    }
    data.iterations = static_cast<uint32_t>(*value);
}

// An LZMA page names the size its data expands to in its call of the decoder.
void ReadCodec(std::string_view code, ModernPageData& data) {
    const std::size_t call = code.find(std::string(kLoaderExpandHead) + kLzmaExpandCall);
    if (call == std::string_view::npos) {
        return;
    }
    std::size_t end = 0;
    const std::optional<uint64_t> size =
        NumberAt(code, call + sizeof kLoaderExpandHead - 1 + sizeof kLzmaExpandCall - 1, 12, end);
    if (!size || *size > kMaxExpandedBytes) {
        throw DataError("the page's script does not say how many bytes its data expands to");
    }
    data.codec = ModernCodec::Lzma;
    data.expandedSize = static_cast<std::size_t>(*size);
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

std::string CompressOriginal(std::string_view original, ModernCodec codec) {
    return codec == ModernCodec::Lzma ? LzmaCompress(original) : DeflateRaw(original);
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
    // An encrypted page shows nothing of its original, not even its title.
    const std::string head =
        IsUtf16Original(charset) || options.encrypted ? std::string() : CarriedHead(original);
    return PageText(charset, head, CarryPayload(charset, payload), payload.size(), original.size(), options);
}

std::size_t ModernDecoderSize(bool encrypted, ModernCodec codec) {
    ModernPageOptions options;
    options.encrypted = encrypted;
    options.codec = codec;
    return PageText(PageCharset{}, {}, CarriedText{}, 0, 0, options).size();
}

std::optional<ModernPageData> ReadModernPage(std::string_view page) {
    const std::size_t script = page.find(kScriptStart);
    if (script == std::string_view::npos) {
        return ReadEarlierPage(page);
    }
    const std::size_t text = script + sizeof kScriptStart - 1;
    const std::size_t loader = page.find(kLoaderHead, text);
    if (loader == std::string_view::npos) {
        return ReadEarlierPage(page);
    }
    ModernPageData data;
    const std::string_view code = page.substr(loader);
    std::size_t end = 0;
    const std::optional<uint64_t> size = NumberAt(code, sizeof kLoaderHead - 1, 12, end);
    if (!size || *size > kMaxExpandedBytes) {
        throw DataError("the page's script does not say how many bytes its data holds");
    }
    ReadIterations(code, data);
    ReadCodec(code, data);
    const std::string_view carried = page.substr(text, loader - text);
    std::optional<std::string> payload;
    const std::size_t byteDecoder = code.find(kByteDecoderHead);
    if (byteDecoder != std::string_view::npos) {
        std::size_t at = byteDecoder + sizeof kByteDecoderHead - 1;
        const std::optional<uint64_t> escape = NumberAt(code, at, 3, at);
        std::size_t offsetAt = at + sizeof kByteDecoderMiddle - 1;
        const std::optional<uint64_t> offset = NumberAt(code, offsetAt, 3, offsetAt);
        if (!escape || !offset || *escape > 255 || *offset > 255 ||
            code.compare(at, sizeof kByteDecoderMiddle - 1, kByteDecoderMiddle) != 0) {
            throw DataError("the page's script names no escape for its data");
        }
        payload = ByteDecode(carried, {static_cast<unsigned char>(*escape), static_cast<unsigned char>(*offset)});
        if (payload && payload->size() != *size) {
            payload.reset();
        }
    } else {
        payload = RadixDecode(carried, *size);
    }
    if (!payload) {
        throw DataError("the page's data holds a character its encoding does not use, or is cut off");
    }
    data.payload = std::move(*payload);
    if (data.encrypted && data.payload.size() < kHeaderBytes + platform::kGcmTagBytes) {
        throw DataError("the page's encrypted data is too short to hold its salt, IV and tag");
    }
    return data;
}

std::string ExpandModernPage(const ModernPageData& data, const std::string* password, std::size_t limit) {
    const auto expand = [&](std::string_view compressed) {
        return data.codec == ModernCodec::Lzma ? LzmaExpand(compressed, data.expandedSize, limit)
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
