#include "engine/loader_script.h"

#include <algorithm>

#include "engine/errors.h"
#include "engine/lzma_script.h"

namespace vexel {

namespace {

// The script's function, called with the document and the counters n, k and
// i (the data starts after the comment's "/*"). The names of an encrypted
// page's password flow come last.
constexpr char kHead[] = "*/(function(C,n,k,i,t,a,b,v,X,D";
constexpr char kSealedNames[] = ",f,p,s,G";
constexpr char kHeadEnd[] = "){";
constexpr char kRead[] = "t=C.currentScript.text;a=new Uint8Array(";
constexpr char kReadEnd[] = ");";
// Radix 120 (engine/carrier_text.h): D gives the next digit.
constexpr char kRadixReader[] =
    "function D(c){return(c=t.charCodeAt(i++))-1-(c>13)-(c>28)*3-(c>42)-(c>60)}"
    "for(;n<a.length;)for(v=D()+120*D(),b|=v<<k,k+=(v&8191)>6207?13:14;k>7;k-=8)a[n++]=b,b>>=8;";
// Byte for byte: D maps each character back to its byte through the
// browser's own decoder of the page's charset.
constexpr char kBytesHead[] =
    "for(D=new Uint8Array(65536),v=new TextDecoder(C.characterSet).decode(Uint8Array.from(Array(256).keys()));"
    "k<256;)D[v.charCodeAt(k)]=k++;for(;n<a.length;)b=D[t.charCodeAt(i++)],a[n++]=b==";
constexpr char kBytesMiddle[] = "?D[t.charCodeAt(i++)]-";
constexpr char kBytesEnd[] = ":b;";
// W writes the original and keeps the scroll position for a reload or a way
// back (a page written after its load does not get it from the browser),
// under the address the page has when it is left.
constexpr char kWriterHead[] = "function W(a,S){C.open().write(new TextDecoder(";
constexpr char kDocumentCharset[] = "C.characterSet";
constexpr char kWriterEnd[] =
    ").decode(a));C.close();try{S=sessionStorage;addEventListener(\"pagehide\",function(){S[\"v\"+C.URL]=[scrollX,"
    "scrollY]});performance.navigation.type&&scrollTo.apply(self,S[\"v\"+C.URL].split(\",\"))}catch(e){}}";
// The password form's submit derives the key, decrypts and expands; a wrong
// password is said in the form's output, and the page is not reloaded.
constexpr char kSealedHead[] =
    "function Y(a){";
constexpr char kSealedBody[] =
    "}f=C.forms[0];p=f[0];s=crypto.subtle;if(!s)return C.write(\"This page opens only over https or from a "
    "disk.\");f.onsubmit=function(){f[1].value=\"\";s.importKey(\"raw\",new TextEncoder().encode(p.value),"
    "\"PBKDF2\",!1,[\"deriveKey\"]).then(function(k){return s.deriveKey({name:\"PBKDF2\",salt:a.subarray(0,16),"
    "iterations:";
constexpr char kSealedEnd[] =
    ",hash:\"SHA-256\"},k,{name:G=\"AES-GCM\",length:256},!1,[\"decrypt\"])}).then(function(k){return "
    "s.decrypt({name:G,iv:a.subarray(16,28)},k,a.subarray(28))}).then(Y,function(){f[1].value=\"wrong password\";"
    "p.select()});return!1}";
constexpr char kEnd[] = "})(document,0,0,2)";

// A site's page hands its data to the function of the shared file its
// <script src> loaded, which takes it away from the global object at once, or
// says which file it misses: vexelSite(C, payload size, expanded size, and
// for bytes carried byte for byte the escape and the offset, for a text in
// another charset than the page's (-1, 0 and) its label).
constexpr char kSiteHead[] = "*/self.vexelSite?vexelSite(document,";
constexpr char kSiteMissing[] = "):document.write(\"This compressed page needs its site's file ";
constexpr char kSiteEnd[] = ", which is missing.\")";
// The shared file: as soon as it is loaded, the dictionary's deflate stream
// is taken from the base64 text of Y's comment as a data: address and
// inflated, both by the browser itself and while the page goes on loading
// (an LZMA dictionary expanded by the script took a page's first opening some
// 100 ms more). The page's function then reads the page's data (radix 120 by
// R, or byte for byte), expands the original with the dictionary once the
// stream's promise has come back (the script has ended: document.open()
// during the parse would be ignored), and writes it by W.
constexpr char kSiteFileHead[] =
    "(function(Y){var s=String(Y),P=self.fetch&&self.DecompressionStream&&fetch(\"data:;base64,\"+s.slice(s."
    "indexOf(\"/*\")+2,-3)).then(function(r){return new Response(r.body.pipeThrough(new DecompressionStream(\""
    "deflate-raw\"))).arrayBuffer()});self.vexelSite=function(C,m,N,e,o,T){delete self.vexelSite;var t=C."
    "currentScript.text,a=new Uint8Array(m),n=0,i=2,b,D;if(!P||!self.TextDecoder)return C.write(\"This page needs "
    "a newer browser.\");";
constexpr char kSiteFileRead[] =
    "if(!(e>=0))R(t,2,a);else{for(D=new Uint8Array(65536),b=new TextDecoder(C.characterSet).decode(Uint8Array.from("
    "Array(256).keys()));n<256;)D[b.charCodeAt(n)]=n++;for(n=0;n<m;)b=D[t.charCodeAt(i++)],a[n++]=b==e?D[t."
    "charCodeAt(i++)]-o:b}P.then(function(K){try{K=L(a,N,new Uint8Array(K))}catch(x){return C.write(\"Damaged "
    "page: \"+x)}W(K)},function(x){C.write(\"Damaged page: \"+x)});";
constexpr char kSiteFunctionEnd[] = "};";
// Radix 120 as the pages' own reader reads it, the digits' function inlined.
constexpr char kSiteRadix[] =
    "function R(t,i,a){for(var n=0,k=0,b=0,v,c;n<a.length;)for(c=t.charCodeAt(i++),v=c-1-(c>13)-(c>28)*3-(c>42)-(c>"
    "60),c=t.charCodeAt(i++),v+=120*(c-1-(c>13)-(c>28)*3-(c>42)-(c>60)),b|=v<<k,k+=(v&8191)>6207?13:14;k>7;k-=8)a[n"
    "++]=b,b>>=8;return a}";
constexpr char kSiteDictionaryHead[] = "})(function Y(){/*";
constexpr char kSiteFileEnd[] = "*/});\n";
// Where the key iterations stand, in this script and in earlier ones.
constexpr char kIterationsKey[] = "iterations:";

// The decimal number at `at`, of at most `digits` digits; nothing when none.
std::optional<uint64_t> NumberAt(std::string_view text, std::size_t& at, std::size_t digits) {
    uint64_t value = 0;
    const std::size_t start = at;
    while (at < text.size() && text[at] >= '0' && text[at] <= '9' && at - start < digits) {
        value = value * 10 + static_cast<uint64_t>(text[at++] - '0');
    }
    if (at == start) {
        return std::nullopt;
    }
    return value;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool StartsWith(std::string_view text, std::size_t at, std::string_view piece) {
    return text.compare(at, piece.size(), piece) == 0;
}

}  // namespace

const LoaderFormat kDeflateLoader = {
    "try{X=new DecompressionStream(\"deflate-raw\")}catch(e){return C.write(\"This page needs a newer browser.\")}",
    "new Response(new Response(a).body.pipeThrough(X)).arrayBuffer().then(W,function(e){C.write(\"Damaged page: "
    "\"+e)})",
};

// The decoder runs once the script has ended: document.open() called while
// the parser runs the script would be ignored.
const LoaderFormat kLzmaLoader = {kLzmaDecoderScript, "setTimeout(function(){try{v=L(a,",
                                  ")}catch(e){return C.write(\"Damaged page: \"+e)}W(v)})"};

namespace {

std::string SiteScript(const LoaderSettings& settings) {
    std::string script = kSiteHead + std::to_string(settings.payloadSize) + "," + std::to_string(settings.expandedSize);
    if (settings.escape) {
        script += "," + std::to_string(settings.escape->escape) + "," + std::to_string(settings.escape->offset);
    } else if (!settings.textCharset.empty()) {
        script += ",-1,0";
    }
    if (!settings.textCharset.empty()) {
        script += ",\"" + settings.textCharset + "\"";
    }
    return script + kSiteMissing + settings.siteFile + kSiteEnd;
}

// A site file's path as a page names it: "../" as often as the page lies
// below the site's root, then the file's name of lower-case letters, digits,
// "-" and ".".
bool PlainSiteLink(std::string_view link) {
    while (StartsWith(link, 0, "../")) {
        link.remove_prefix(3);
    }
    return !link.empty() && link.size() <= 64 && link.front() != '.' &&
           std::all_of(link.begin(), link.end(), [](char c) {
               return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.';
           });
}

std::optional<LoaderSettings> ReadSiteScript(std::string_view script) {
    LoaderSettings settings;
    settings.format = &kLzmaLoader;
    std::size_t at = sizeof kSiteHead - 1;
    const std::optional<uint64_t> payload = NumberAt(script, at, 12);
    std::optional<uint64_t> expanded;
    if (payload && StartsWith(script, at, ",")) {
        ++at;
        expanded = NumberAt(script, at, 12);
    }
    if (!expanded) {
        throw DataError("the page's script does not say how many bytes its data holds and expands to");
    }
    settings.payloadSize = static_cast<std::size_t>(*payload);
    settings.expandedSize = static_cast<std::size_t>(*expanded);
    if (StartsWith(script, at, ",-1,0")) {
        at += 5;
    } else if (StartsWith(script, at, ",")) {
        ++at;
        const std::optional<uint64_t> escape = NumberAt(script, at, 3);
        std::optional<uint64_t> offset;
        if (escape && StartsWith(script, at, ",")) {
            ++at;
            offset = NumberAt(script, at, 3);
        }
        if (!offset || *escape > 255 || *offset > 255) {
            throw DataError("the page's script names no escape for its data");
        }
        settings.escape = ByteEscape{static_cast<unsigned char>(*escape), static_cast<unsigned char>(*offset)};
    }
    if (StartsWith(script, at, ",\"")) {
        const std::size_t end = script.find('"', at + 2);
        if (end == std::string_view::npos || end - at > 40) {
            throw DataError("the page's script names its text's charset in a way this program does not write");
        }
        settings.textCharset = std::string(script.substr(at + 2, end - at - 2));
        at = end + 1;
    }
    std::size_t linkEnd = std::string_view::npos;
    if (StartsWith(script, at, kSiteMissing)) {
        at += sizeof kSiteMissing - 1;
        linkEnd = script.find(kSiteEnd, at);
    }
    if (linkEnd == std::string_view::npos || !PlainSiteLink(script.substr(at, linkEnd - at))) {
        throw DataError("the page's script names its site's file in a way this program does not write");
    }
    settings.siteFile = std::string(script.substr(at, linkEnd - at));
    return settings;
}

}  // namespace

std::string SiteFileScript(const std::string& header, std::string_view streamText) {
    std::string script = header + kSiteFileHead + kSiteFileRead;
    script += std::string(kWriterHead) + "T||" + kDocumentCharset + kWriterEnd + kSiteFunctionEnd;
    script += kSiteRadix + SiteLzmaDecoderScript();
    script += kSiteDictionaryHead;
    script += streamText;
    script += kSiteFileEnd;
    return script;
}

std::optional<SiteFileParts> ReadSiteFileScript(std::string_view script) {
    const std::size_t head = script.find(kSiteFileHead);
    const std::size_t text = script.find(kSiteDictionaryHead);
    const std::size_t end = script.size() - (sizeof kSiteFileEnd - 1);
    if (head == std::string_view::npos || text == std::string_view::npos || text < head ||
        script.size() < sizeof kSiteFileEnd || script.substr(end) != std::string_view(kSiteFileEnd)) {
        return std::nullopt;
    }
    SiteFileParts parts;
    parts.header = script.substr(0, head);
    const std::size_t start = text + sizeof kSiteDictionaryHead - 1;
    parts.streamText = script.substr(start, end - start);
    return parts;
}

std::string LoaderScript(const LoaderSettings& settings) {
    if (!settings.siteFile.empty()) {
        return SiteScript(settings);
    }
    std::string script = kHead;
    if (settings.iterations) {
        script += kSealedNames;
    }
    script += kHeadEnd;
    script += settings.format->check;
    script += kRead + std::to_string(settings.payloadSize) + kReadEnd;
    if (settings.escape) {
        script += kBytesHead + std::to_string(settings.escape->escape) + kBytesMiddle +
                  std::to_string(settings.escape->offset) + kBytesEnd;
    } else {
        script += kRadixReader;
    }
    script += kWriterHead;
    // A UTF-16 original stands in a page that declares UTF-8: its text is
    // decoded as what it is.
    script += settings.textCharset.empty() ? kDocumentCharset : "\"" + settings.textCharset + "\"";
    script += kWriterEnd;
    std::string expand = settings.format->expand;
    if (settings.format->expandEnd != nullptr) {
        expand += std::to_string(settings.expandedSize) + settings.format->expandEnd;
    }
    if (settings.iterations) {
        script += kSealedHead + expand + kSealedBody + std::to_string(*settings.iterations) + kSealedEnd;
    } else {
        script += expand;
    }
    script += kEnd;
    return script;
}

std::optional<LoaderSettings> ReadLoaderScript(std::string_view script) {
    if (StartsWith(script, 0, kSiteHead)) {
        return ReadSiteScript(script);
    }
    if (!StartsWith(script, 0, kHead)) {
        return std::nullopt;
    }
    LoaderSettings settings;
    std::size_t at = script.find(kHeadEnd);
    if (at == std::string_view::npos) {
        return std::nullopt;
    }
    at += sizeof kHeadEnd - 1;
    const LoaderFormat* const formats[] = {&kDeflateLoader, &kLzmaLoader};
    settings.format = nullptr;
    for (const LoaderFormat* format : formats) {
        if (StartsWith(script, at, format->check)) {
            settings.format = format;
            at += std::char_traits<char>::length(format->check);
        }
    }
    if (settings.format == nullptr) {
        return std::nullopt;
    }
    std::optional<uint64_t> size;
    if (StartsWith(script, at, kRead)) {
        at += sizeof kRead - 1;
        size = NumberAt(script, at, 12);
    }
    if (!size || !StartsWith(script, at, kReadEnd)) {
        throw DataError("the page's script does not say how many bytes its data holds");
    }
    settings.payloadSize = static_cast<std::size_t>(*size);
    at += sizeof kReadEnd - 1;
    if (StartsWith(script, at, kBytesHead)) {
        at += sizeof kBytesHead - 1;
        const std::optional<uint64_t> escape = NumberAt(script, at, 3);
        std::optional<uint64_t> offset;
        if (StartsWith(script, at, kBytesMiddle)) {
            at += sizeof kBytesMiddle - 1;
            offset = NumberAt(script, at, 3);
        }
        if (!escape || !offset || *escape > 255 || *offset > 255) {
            throw DataError("the page's script names no escape for its data");
        }
        settings.escape = ByteEscape{static_cast<unsigned char>(*escape), static_cast<unsigned char>(*offset)};
    } else if (!StartsWith(script, at, kRadixReader)) {
        throw DataError("the page's script reads its data in a way this program does not write");
    }
    if (settings.format->expandEnd != nullptr) {
        std::size_t expand = script.find(settings.format->expand, at);
        std::optional<uint64_t> expanded;
        if (expand != std::string_view::npos) {
            expand += std::char_traits<char>::length(settings.format->expand);
            expanded = NumberAt(script, expand, 12);
        }
        if (!expanded || !StartsWith(script, expand, settings.format->expandEnd)) {
            throw DataError("the page's script does not say how many bytes its data expands to");
        }
        settings.expandedSize = static_cast<std::size_t>(*expanded);
    }
    return settings;
}

std::optional<uint32_t> ReadIterationCount(std::string_view script, uint32_t most) {
    const std::size_t key = script.find(kIterationsKey);
    if (key == std::string_view::npos) {
        return std::nullopt;
    }
    std::size_t at = key + sizeof kIterationsKey - 1;
    const std::size_t start = at;
    const std::optional<uint64_t> value = NumberAt(script, at, 12);
    if (!value || *value == 0 || *value > most || (at < script.size() && IsDigit(script[at]))) {
        // The message shows the count as the page spells it: all its digits
        // (a few at most), or the text found where a count belongs.
        std::size_t end = start;
        while (end < script.size() && end - start < 24 && IsDigit(script[end])) {
            ++end;
        }
        const bool number = end > start;
        if (!number) {
            end = std::min(script.size(), start + 12);
        }
        const std::string shown(script.substr(start, end - start));
        throw DataError("the page asks for " + (number ? shown : "\"" + shown + "\" as its") +
                        " key iterations, not a count this program writes");
    }
    return static_cast<uint32_t>(*value);
}

}  // namespace vexel
