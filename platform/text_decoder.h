// Text in a charset of the web read into UTF-8 by the system's own
// converters: the code pages on Windows, iconv elsewhere. For text that is
// only shown: bytes the charset maps to no character become U+FFFD.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vexel::platform {

// `encoding` is an encoding's name as browsers give it ("windows-1251",
// "shift_jis", "gbk"); nothing when this system has no converter for it.
std::optional<std::string> DecodeText(std::string_view encoding, std::string_view bytes);

}  // namespace vexel::platform
