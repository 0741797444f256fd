// The charsets of the web through iconv, by the names it knows them by.
#include <iconv.h>

#include <cerrno>

#include "platform/text_decoder.h"

namespace vexel::platform {

namespace {

// Where iconv's name differs from the one browsers give.
struct Alias {
    const char* encoding;
    const char* iconvName;
};

constexpr Alias kAliases[] = {
    {"x-mac-cyrillic", "MAC-CYRILLIC"}, {"iso-8859-8-i", "ISO-8859-8"}, {"windows-874", "CP874"},
    {"macintosh", "MACINTOSH"},
};

class Converter {
public:
    explicit Converter(const std::string& name) : cd_(iconv_open("UTF-8", name.c_str())) {}
    ~Converter() {
        if (Open()) {
            iconv_close(cd_);
        }
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;
    bool Open() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
    iconv_t Handle() const { return cd_; }

private:
    iconv_t cd_;
};

}  // namespace

std::optional<std::string> DecodeText(std::string_view encoding, std::string_view bytes) {
    std::string name(encoding);
    for (const Alias& alias : kAliases) {
        if (encoding == alias.encoding) {
            name = alias.iconvName;
        }
    }
    Converter converter(name);
    if (!converter.Open()) {
        return std::nullopt;
    }
    std::string out;
    char buffer[4096];
    char* in = const_cast<char*>(bytes.data());
    std::size_t left = bytes.size();
    while (left > 0) {
        char* to = buffer;
        std::size_t room = sizeof buffer;
        const std::size_t done = iconv(converter.Handle(), &in, &left, &to, &room);
        out.append(buffer, static_cast<std::size_t>(to - buffer));
        if (done != static_cast<std::size_t>(-1) || errno == E2BIG) {
            continue;
        }
        // A byte the charset maps to nothing, or a character cut off at the
        // end: one mark, and on after it.
        out += "\xEF\xBF\xBD";
        ++in;
        --left;
        iconv(converter.Handle(), nullptr, nullptr, nullptr, nullptr);
    }
    char* to = buffer;
    std::size_t room = sizeof buffer;
    iconv(converter.Handle(), nullptr, nullptr, &to, &room);
    out.append(buffer, static_cast<std::size_t>(to - buffer));
    return out;
}

}  // namespace vexel::platform
