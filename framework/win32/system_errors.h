// The system's error texts, for exception messages.
#pragma once

#include <windows.h>

#include <string>

namespace vexel {

// The text of a system error code, without the trailing period and line break.
std::string SysErrorMessage(DWORD ErrorCode);
// Raises EOSError "System Error.  Code: <n>.\r\n<text>" for GetLastError().
[[noreturn]] void RaiseLastOSError();

}  // namespace vexel
