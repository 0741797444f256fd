#include "framework/win32/system_errors.h"

#include "framework/core/sysutils.h"
#include "framework/win32/system_text.h"

namespace vexel {

std::string SysErrorMessage(DWORD ErrorCode) {
    wchar_t* buffer = nullptr;
    DWORD length = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                      FORMAT_MESSAGE_IGNORE_INSERTS,
                                  nullptr, ErrorCode, 0, reinterpret_cast<LPWSTR>(&buffer), 0, nullptr);
    std::string text = length && buffer ? FromSystem(std::wstring(buffer, length)) : std::string();
    if (buffer)
        LocalFree(buffer);
    while (!text.empty() && (static_cast<unsigned char>(text.back()) <= ' ' || text.back() == '.'))
        text.pop_back();
    return text;
}

void RaiseLastOSError() {
    DWORD code = GetLastError();
    throw EOSError("System Error.  Code: " + std::to_string(code) + ".\r\n" + SysErrorMessage(code), code);
}

}  // namespace vexel
