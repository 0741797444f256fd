// The formats a page is written in: the two classic pages, whose script
// expands the printable data string (JavaScript or VBScript), and the modern
// page. One type for the writers, the readers, the batch and the windows.
#pragma once

#include <string>

namespace vexel {

enum class PageFormat { JavaScript, VbScript, Modern };

inline bool IsClassic(PageFormat format) {
    return format != PageFormat::Modern;
}

// The script language of a classic page: "JavaScript" or "VBScript".
inline const char* ScriptName(PageFormat format) {
    return format == PageFormat::VbScript ? "VBScript" : "JavaScript";
}

// "JavaScript page", "VBScript page", "modern page", as the logs name them.
inline std::string PageFormatName(PageFormat format) {
    return IsClassic(format) ? std::string(ScriptName(format)) + " page" : "modern page";
}

}  // namespace vexel
