#include "engine/password.h"

#include "engine/charset.h"

namespace vexel {

namespace {

constexpr char kByteOrderMark[] = "\xEF\xBB\xBF";

void DropByteOrderMark(std::string& text) {
    if (text.compare(0, sizeof kByteOrderMark - 1, kByteOrderMark) == 0) {
        text.erase(0, sizeof kByteOrderMark - 1);
    }
}

}  // namespace

std::string PasswordFromFile(const std::string& bytes) {
    std::string text = bytes.substr(0, bytes.find_first_of("\r\n"));
    DropByteOrderMark(text);
    return text;
}

std::string PasswordFromText(std::string text) {
    DropByteOrderMark(text);
    if (!text.empty() && text.back() == '\n') {
        text.pop_back();
    }
    if (!text.empty() && text.back() == '\r') {
        text.pop_back();
    }
    return text;
}

std::string PasswordProblem(const std::string& password) {
    if (password.empty()) {
        return "the password is empty";
    }
    if (!IsValidUtf8(password)) {
        return "the password is not UTF-8 text, so no browser could send it";
    }
    return {};
}

}  // namespace vexel
