#include "engine/own_page.h"

#include "engine/errors.h"
#include "engine/modern_page.h"
#include "engine/page_reader.h"

namespace vexel {

OwnPageFormat RecognizeOwnPage(const std::string& page) {
    try {
        if (ReadModernPage(page)) {
            return OwnPageFormat::Modern;
        }
    } catch (const DataError&) {
        return OwnPageFormat::Modern;
    }
    if (const std::optional<PageData> classic = FindPageData(page)) {
        return classic->script == PageScript::JavaScript ? OwnPageFormat::JavaScript : OwnPageFormat::VbScript;
    }
    return OwnPageFormat::None;
}

const char* OwnPageFormatName(OwnPageFormat format) {
    switch (format) {
        case OwnPageFormat::JavaScript: return "JavaScript page";
        case OwnPageFormat::VbScript: return "VBScript page";
        case OwnPageFormat::Modern: return "modern page";
        case OwnPageFormat::None: break;
    }
    return "page";
}

}  // namespace vexel
