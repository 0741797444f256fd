// The classic pages: the encoder's input encoded into the data string, and
// the data string written into one of the two self-expanding page templates,
// JavaScript or VBScript, after the page's head.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/job_host.h"
#include "engine/page_format.h"

namespace vexel {

// The escaped data string of a prepared page's input (engine/encoder.h,
// engine/data_format.h); the page gauge follows the encoder.
std::string EncodeDataString(std::string_view input, bool highspeed, JobHost& host);

// A page as a template writes it.
struct RenderedPage {
    std::string Text;
    // The size the log's "Rate=" line gives: the head and the data string as
    // the page's script holds it.
    int64_t ReportedBytes = 0;
    // A warning that browsers will open the page slowly; empty when none.
    std::string Warning;
};

// The page for `head` and the data string `data` (as EncodeDataString gives
// it; the JavaScript template doubles its backslashes itself), in a classic
// `format`: VBScript, or JavaScript for any other.
RenderedPage RenderClassicPage(PageFormat format, const std::string& head, const std::string& data);

// The data string as it stands in the JavaScript page's string literal.
std::string DoubleBackslashes(const std::string& text);

// The warning of a JavaScript page whose data string has `bytes` bytes, more
// than browsers expand in reasonable time.
std::string SlowPageWarning(std::size_t bytes);

}  // namespace vexel
