#include "framework/win32/text_encoding.h"

#include <windows.h>

namespace vexel {

namespace {

std::wstring ToWide(UINT CodePage, const std::string& Text) {
    if (Text.empty())
        return {};
    int length = MultiByteToWideChar(CodePage, 0, Text.data(), static_cast<int>(Text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CodePage, 0, Text.data(), static_cast<int>(Text.size()), &wide[0], length);
    return wide;
}

std::string FromWide(UINT CodePage, const std::wstring& Wide, bool* UsedDefault) {
    if (UsedDefault)
        *UsedDefault = false;
    if (Wide.empty())
        return {};
    // The UTF-8 code page takes no default-character argument.
    BOOL usedDefault = FALSE;
    BOOL* usedDefaultArg = CodePage == CP_UTF8 ? nullptr : &usedDefault;
    int length = WideCharToMultiByte(CodePage, 0, Wide.data(), static_cast<int>(Wide.size()), nullptr, 0,
                                     nullptr, usedDefaultArg);
    std::string text(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CodePage, 0, Wide.data(), static_cast<int>(Wide.size()), &text[0], length, nullptr,
                        usedDefaultArg);
    if (UsedDefault)
        *UsedDefault = usedDefault != FALSE;
    return text;
}

}  // namespace

std::string AnsiToUtf8(const std::string& Text) {
    return FromWide(CP_UTF8, ToWide(CP_ACP, Text), nullptr);
}

std::string Utf8ToAnsi(const std::string& Text, bool* UsedDefault) {
    return FromWide(CP_ACP, ToWide(CP_UTF8, Text), UsedDefault);
}

}  // namespace vexel
