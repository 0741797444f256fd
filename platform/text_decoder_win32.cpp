// The charsets of the web by the Windows code page that reads them.
#include <windows.h>

#include "platform/text_decoder.h"
#include "platform/wide_text.h"

namespace vexel::platform {

namespace {

struct CodePage {
    const char* encoding;
    UINT page;
};

constexpr CodePage kCodePages[] = {
    {"ibm866", 866},          {"iso-8859-2", 28592},      {"iso-8859-3", 28593},   {"iso-8859-4", 28594},
    {"iso-8859-5", 28595},    {"iso-8859-6", 28596},      {"iso-8859-7", 28597},   {"iso-8859-8", 28598},
    {"iso-8859-8-i", 38598},  {"iso-8859-13", 28603},     {"iso-8859-15", 28605},  {"koi8-r", 20866},
    {"koi8-u", 21866},        {"macintosh", 10000},       {"windows-874", 874},    {"windows-1250", 1250},
    {"windows-1251", 1251},   {"windows-1252", 1252},     {"windows-1253", 1253},  {"windows-1254", 1254},
    {"windows-1255", 1255},   {"windows-1256", 1256},     {"windows-1257", 1257},  {"windows-1258", 1258},
    {"x-mac-cyrillic", 10007}, {"gbk", 936},              {"gb18030", 54936},      {"big5", 950},
    {"euc-jp", 20932},        {"iso-2022-jp", 50220},     {"shift_jis", 932},      {"euc-kr", 949},
};

}  // namespace

std::optional<std::string> DecodeText(std::string_view encoding, std::string_view bytes) {
    for (const CodePage& known : kCodePages) {
        if (encoding != known.encoding) {
            continue;
        }
        if (!IsValidCodePage(known.page)) {
            return std::nullopt;
        }
        if (bytes.empty()) {
            return std::string();
        }
        const int size = static_cast<int>(bytes.size());
        const int needed = MultiByteToWideChar(known.page, 0, bytes.data(), size, nullptr, 0);
        if (needed <= 0) {
            return std::nullopt;
        }
        std::wstring wide(static_cast<std::size_t>(needed), L'\0');
        MultiByteToWideChar(known.page, 0, bytes.data(), size, wide.data(), needed);
        return Narrow(wide);
    }
    return std::nullopt;
}

}  // namespace vexel::platform
