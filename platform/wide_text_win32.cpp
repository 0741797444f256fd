// UTF-8 and UTF-16 conversions and error texts for the Windows side.
#include "platform/wide_text.h"

#include <windows.h>

#include "platform/ascii.h"

namespace vexel::platform {

std::wstring Widen(const std::string& utf8) {
    if (utf8.empty()) {
        return {};
    }
    const int size = static_cast<int>(utf8.size());
    const int needed = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(needed), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, wide.data(), needed);
    return wide;
}

std::string Narrow(const std::wstring& utf16) {
    if (utf16.empty()) {
        return {};
    }
    const int size = static_cast<int>(utf16.size());
    const int needed = WideCharToMultiByte(CP_UTF8, 0, utf16.data(), size, nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<std::size_t>(needed), '\0');
    WideCharToMultiByte(CP_UTF8, 0, utf16.data(), size, narrow.data(), needed, nullptr, nullptr);
    return narrow;
}

namespace {

// The text with every byte that is not part of a UTF-8 sequence written as
// \xNN, so that a message can name it.
std::string Shown(const std::string& utf8) {
    std::string shown;
    for (std::size_t i = 0; i < utf8.size();) {
        const unsigned char lead = static_cast<unsigned char>(utf8[i]);
        const int length = lead < 0x80 ? 1 : (lead & 0xE0) == 0xC0 ? 2 : (lead & 0xF0) == 0xE0 ? 3 : (lead & 0xF8) == 0xF0 ? 4 : 0;
        if (length > 0 && i + static_cast<std::size_t>(length) <= utf8.size() &&
            MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data() + i, length, nullptr, 0) > 0) {
            shown.append(utf8, i, static_cast<std::size_t>(length));
            i += static_cast<std::size_t>(length);
            continue;
        }
        shown += "\\x";
        shown += HexDigitOf(lead >> 4);
        shown += HexDigitOf(lead);
        ++i;
    }
    return shown;
}

}  // namespace

std::wstring WidenExact(const std::string& utf8) {
    if (utf8.empty()) {
        return {};
    }
    const int size = static_cast<int>(utf8.size());
    const int needed = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), size, nullptr, 0);
    if (needed <= 0) {
        throw TextConversionError("\"" + Shown(utf8) + "\" is not valid UTF-8 text");
    }
    std::wstring wide(static_cast<std::size_t>(needed), L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), size, wide.data(), needed);
    return wide;
}

namespace {

bool HasLoneSurrogate(const std::wstring& utf16) {
    for (std::size_t i = 0; i < utf16.size(); ++i) {
        const wchar_t unit = utf16[i];
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 && utf16[i + 1] <= 0xDFFF) {
            ++i;
        } else if (unit >= 0xD800 && unit <= 0xDFFF) {
            return true;
        }
    }
    return false;
}

}  // namespace

std::string NarrowExact(const std::wstring& utf16) {
    if (!HasLoneSurrogate(utf16)) {
        return Narrow(utf16);
    }
    std::string shown;
    for (std::size_t i = 0; i < utf16.size(); ++i) {
        const wchar_t unit = utf16[i];
        const bool high = unit >= 0xD800 && unit <= 0xDBFF;
        const bool low = unit >= 0xDC00 && unit <= 0xDFFF;
        if (high && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 && utf16[i + 1] <= 0xDFFF) {
            shown += Narrow(utf16.substr(i, 2));
            ++i;
        } else if (high || low) {
            shown += "<U+";
            for (int shift = 12; shift >= 0; shift -= 4)
                shown += HexDigitOf(static_cast<unsigned>(unit) >> shift);
            shown += '>';
        } else {
            shown += Narrow(std::wstring(1, unit));
        }
    }
    throw TextConversionError("\"" + shown + "\" holds a lone surrogate and cannot be converted to UTF-8");
}

std::string SystemMessage(unsigned long error) {
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::string message;
    if (length > 0 && text != nullptr) {
        message = Narrow(std::wstring(text, length));
    }
    LocalFree(text);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == ' ' ||
                                message.back() == '.')) {
        message.pop_back();
    }
    if (message.empty()) {
        message = "system error " + std::to_string(error);
    }
    return message;
}

}  // namespace vexel::platform
