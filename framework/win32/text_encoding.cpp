#include "framework/win32/text_encoding.h"

#include <windows.h>

namespace vexel {

namespace {

std::wstring ToWide(UINT CodePage, const std::string& Text) {
    if (Text.empty())
        return {};
    const int size = static_cast<int>(Text.size());
    const int needed = MultiByteToWideChar(CodePage, 0, Text.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(needed), L'\0');
    MultiByteToWideChar(CodePage, 0, Text.data(), size, wide.data(), needed);
    return wide;
}

std::string FromWide(UINT CodePage, const std::wstring& Wide) {
    if (Wide.empty())
        return {};
    const int size = static_cast<int>(Wide.size());
    const int needed = WideCharToMultiByte(CodePage, 0, Wide.data(), size, nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<std::size_t>(needed), '\0');
    WideCharToMultiByte(CodePage, 0, Wide.data(), size, text.data(), needed, nullptr, nullptr);
    return text;
}

}  // namespace

std::string AnsiToUtf8(const std::string& Ansi) {
    return FromWide(CP_UTF8, ToWide(CP_ACP, Ansi));
}

std::string Utf8ToAnsi(const std::string& Utf8) {
    return FromWide(CP_ACP, ToWide(CP_UTF8, Utf8));
}

}  // namespace vexel
