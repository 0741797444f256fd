#include "engine/modern_page.h"

#include <algorithm>
#include <stdexcept>

#include "engine/base91.h"
#include "engine/deflate.h"
#include "engine/errors.h"
#include "platform/crypto.h"

namespace vexel {

namespace {

constexpr std::size_t kHeaderBytes = kSaltBytes + platform::kGcmIvBytes;

// The page, piece by piece. The script is ES5 up to the DecompressionStream
// check, so that an old browser reaches the check and shows its message; the
// payload is the argument `d` of a function, so the original's scripts find
// no global of ours. Nothing here may hold "</script", "<!--" or "<script"
// but the script's own tags.
constexpr char kNoScript[] = "<noscript>This page needs JavaScript.</noscript>";
constexpr char kPasswordForm[] =
    "<form>This page is encrypted. Password: <input type=password autofocus> <output></output></form>";
constexpr char kScriptStart[] = "<script>(function(d){var Z=self.DecompressionStream,";
// X inflates the original, decodes it and writes it over the page.
constexpr char kDecoderHead[] =
    "C=document,y=\"deflate-raw\",a,n=0,b=0,k=0,v=-1,i=0,c;"
    "function X(t){new Response(new Response(t).body.pipeThrough(new Z(y))).arrayBuffer()"
    ".then(function(t){C.open();C.write(new TextDecoder(";
constexpr char kDocumentCharset[] = "C.characterSet";
constexpr char kDecoderBase91[] =
    ").decode(t));C.close()},function(e){C.write(\"Damaged page: \"+e)})}"
    "try{new Z(y)}catch(e){"
    "return C.write(\"This compressed page needs a newer browser.\")}"
    "a=new Uint8Array(d.length);"
    "for(;c=d.charCodeAt(i++);){c-=33+(c>34)+(c>60)+(c>92);if(v<0)v=c;"
    "else{v+=c*91;b|=v<<k;k+=(v&8191)>88?13:14;do{a[n++]=b;b>>=8;k-=8}while(k>7);v=-1}}"
    "if(v>=0)a[n++]=b|v<<k;a=a.subarray(0,n);";
constexpr char kPlainTail[] = "X(a)";
constexpr char kSealedTailHead[] =
    "var s=self.crypto&&crypto.subtle,f=C.forms[0],p=f[0];"
    "if(!s)return C.write(\"This browser decrypts pages only when they come over https or from the disk.\");"
    "f.onsubmit=function(){f[1].value=\"\";"
    "s.importKey(\"raw\",new TextEncoder().encode(p.value),\"PBKDF2\",!1,[\"deriveKey\"]).then(function(k){"
    "return s.deriveKey({name:\"PBKDF2\",salt:a.subarray(0,16),iterations:";
constexpr char kSealedTailEnd[] =
    ",hash:\"SHA-256\"},k,{name:\"AES-GCM\",length:256},!1,[\"decrypt\"])}).then(function(k){"
    "return s.decrypt({name:\"AES-GCM\",iv:a.subarray(16,28)},k,a.subarray(28))})"
    ".then(X,function(){f[1].value=\"wrong password\";p.select()});return!1}";
constexpr char kPayloadStart[] = "})(\"";
constexpr char kPayloadEnd[] = "\")</script>";
constexpr char kPageEnd[] = "\r\n";
constexpr char kIterationsKey[] = "iterations:";

// A label as it may stand in the page; anything else is left out, and the
// page is read in the browser's default charset.
bool IsPlainLabel(const std::string& label) {
    return !label.empty() && label.size() <= 40 && std::all_of(label.begin(), label.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_' || c == '.' ||
               c == ':';
    });
}

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

std::string DecoderText(const PageCharset& charset, const PageSeal* seal) {
    std::string text = kScriptStart;
    text += kDecoderHead;
    // A UTF-16 original is written in a page that declares UTF-8 (forms submit
    // in UTF-8 from a UTF-16 page too); its text is decoded as what it is.
    if (charset.source == PageCharset::Source::Bom && IsUtf16Charset(charset.label)) {
        text += "\"" + charset.label + "\"";
    } else {
        text += kDocumentCharset;
    }
    text += kDecoderBase91;
    if (seal != nullptr) {
        text += kSealedTailHead + std::to_string(seal->iterations) + kSealedTailEnd;
    } else {
        text += kPlainTail;
    }
    return text;
}

std::string MetaFor(const PageCharset& charset) {
    if (charset.source == PageCharset::Source::Default) {
        return {};
    }
    const std::string label =
        charset.source == PageCharset::Source::Bom && IsUtf16Charset(charset.label) ? "utf-8" : charset.label;
    return IsPlainLabel(label) ? "<meta charset=" + label + ">" : std::string();
}

// The iteration count written after "iterations:" at `at`.
uint32_t ReadIterations(std::string_view page, std::size_t at) {
    uint64_t value = 0;
    std::size_t i = at;
    while (i < page.size() && page[i] >= '0' && page[i] <= '9' && i - at < 12) {
        value = value * 10 + static_cast<uint64_t>(page[i] - '0');
        ++i;
    }
    if (i == at || value == 0 || value > kMaxIterations) {
        throw DataError("the page asks for " +
                        std::string(page.substr(at, std::min<std::size_t>(i - at + 1, 12))) +
                        " key iterations, not a count this program writes");
    }
    return static_cast<uint32_t>(value);
}

}  // namespace

std::string ModernPayload(std::string_view original, const PageSeal* seal) {
    if (seal == nullptr) {
        return DeflateRaw(original);
    }
    return ModernPayload(original, seal, RandomString(kSaltBytes), RandomString(platform::kGcmIvBytes));
}

std::string ModernPayload(std::string_view original,
                          const PageSeal* seal,
                          const std::string& salt,
                          const std::string& iv) {
    std::string compressed = DeflateRaw(original);
    if (seal == nullptr) {
        return compressed;
    }
    if (salt.size() != kSaltBytes || iv.size() != platform::kGcmIvBytes) {
        throw std::invalid_argument("salt or IV of a wrong size");
    }
    platform::AesKey key;
    CheckCrypto(platform::DeriveKeyPbkdf2Sha256(seal->password, salt, seal->iterations, key.Bytes()));
    std::string sealed;
    CheckCrypto(platform::EncryptAes256Gcm(key.Bytes(), iv, compressed, sealed));
    return salt + iv + sealed;
}

std::string ModernPageText(const PageCharset& charset, std::string_view carried, const PageSeal* seal) {
    std::string page;
    page.reserve(carried.size() + 2048);
    page += MetaFor(charset);
    page += kNoScript;
    if (seal != nullptr) {
        page += kPasswordForm;
    }
    page += DecoderText(charset, seal);
    page += kPayloadStart;
    page += carried;
    page += kPayloadEnd;
    page += kPageEnd;
    return page;
}

std::size_t ModernDecoderSize(bool encrypted) {
    const PageSeal seal;
    return ModernPageText(PageCharset{}, {}, encrypted ? &seal : nullptr).size();
}

std::optional<ModernPageData> ReadModernPage(std::string_view page) {
    const std::size_t script = page.find(kScriptStart);
    if (script == std::string_view::npos) {
        return std::nullopt;
    }
    // The payload holds no quotation mark: the last opening of the call is ours.
    const std::size_t start = page.rfind(kPayloadStart);
    if (start == std::string_view::npos || start < script) {
        return std::nullopt;
    }
    const std::size_t text = start + sizeof kPayloadStart - 1;
    const std::size_t end = page.find('"', text);
    if (end == std::string_view::npos || page.compare(end, sizeof kPayloadEnd - 1, kPayloadEnd) != 0) {
        return std::nullopt;
    }
    ModernPageData data;
    const std::string_view decoder = page.substr(script, start - script);
    const std::size_t iterations = decoder.find(kIterationsKey);
    if (iterations != std::string_view::npos) {
        data.encrypted = true;
        data.iterations = ReadIterations(page, script + iterations + sizeof kIterationsKey - 1);
    }
    if (!Base91Decode(page.substr(text, end - text), data.payload)) {
        throw DataError("the page's data holds a character its encoding does not use");
    }
    if (data.encrypted && data.payload.size() < kHeaderBytes + platform::kGcmTagBytes) {
        throw DataError("the page's encrypted data is too short to hold its salt, IV and tag");
    }
    return data;
}

std::string ExpandModernPage(const ModernPageData& data, const std::string* password, std::size_t limit) {
    if (!data.encrypted) {
        return InflateRaw(data.payload, limit);
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
    return InflateRaw(compressed, limit);
}

}  // namespace vexel
