// The formats a page is written in: the two classic pages, whose script
// expands the printable data string (JavaScript or VBScript), and the modern
// page. One type for the writers, the readers, the batch and the windows.
#pragma once

namespace vexel {

enum class PageFormat { JavaScript, VbScript, Modern };

inline bool IsClassic(PageFormat format) {
    return format != PageFormat::Modern;
}

// "JavaScript page", "VBScript page", "modern page", as the logs name them.
inline const char* PageFormatName(PageFormat format) {
    switch (format) {
        case PageFormat::VbScript: return "VBScript page";
        case PageFormat::Modern: return "modern page";
        case PageFormat::JavaScript: break;
    }
    return "JavaScript page";
}

}  // namespace vexel
