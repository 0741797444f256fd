#include "engine/own_page.h"

#include "engine/errors.h"
#include "engine/modern_page.h"
#include "engine/page_reader.h"

namespace vexel {

std::optional<PageFormat> RecognizeOwnPage(const std::string& page) {
    try {
        if (ReadModernPage(page)) {
            return PageFormat::Modern;
        }
    } catch (const DataError&) {
        return PageFormat::Modern;
    }
    if (const std::optional<PageData> classic = FindPageData(page)) {
        return classic->format;
    }
    return std::nullopt;
}

}  // namespace vexel
