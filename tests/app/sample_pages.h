// Pages for the desktop program's tests, in and out of process.
#pragma once

#include <string>

namespace vexel::testing {

// A page that gives every option something to do: whitespace between tags,
// pairs of high bytes in the body, a control byte and a script in the head.
inline std::string SamplePage(int Seed) {
    std::string body;
    for (int i = 0; i < 40; ++i)
        body +=
            "<tr>\r\n\t<td>row " + std::to_string(i * Seed) + "</td>  <td>\xC4\xE3 caf\xE9</td>\r\n</tr>\r\n";
    body += "\x0E</body></html>\r\n";
    return "<html><head><script>var a=" + std::to_string(Seed) +
           ";</script></head>\r\n<body bgcolor=white>\r\n" + body;
}

}  // namespace vexel::testing
