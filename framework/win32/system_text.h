// The framework's text at the system's edge: UTF-8 inside the program, UTF-16
// for the W functions, through the platform's one converter.
#pragma once

#include <windows.h>

#include <string>

#include "platform/wide_text.h"

namespace vexel {

inline std::wstring ToSystem(const std::string& Text) {
    return platform::Widen(Text);
}
inline std::string FromSystem(const std::wstring& Text) {
    return platform::Narrow(Text);
}
inline std::string FromSystem(const wchar_t* Text) {
    return Text ? platform::Narrow(Text) : std::string();
}
// lstrcmpi over the texts as the system compares them: what a sorted list
// box of the system does.
inline int CompareTextIgnoringCase(const std::string& A, const std::string& B) {
    return lstrcmpiW(ToSystem(A).c_str(), ToSystem(B).c_str());
}
// The text of any window, whatever its class.
std::string WindowText(HWND Window);

}  // namespace vexel
