// The rule for a page password, the same in every front end (command line,
// desktop program): UTF-8 text, which is what a browser hands WebCrypto and
// compares a prompt with; a byte order mark in front and the line end after
// it are not part of it; and it is not empty.
#pragma once

#include <string>

namespace vexel {

// The password of a password file: its first line, without a UTF-8 byte
// order mark in front.
std::string PasswordFromFile(const std::string& bytes);

// A password given as text: a UTF-8 byte order mark in front and one line
// end at its end (CR, LF or CR LF) are taken away.
std::string PasswordFromText(std::string text);

// Why `password` cannot be a page's password ("the password is empty", "the
// password is not UTF-8 text, ..."); empty when it can.
std::string PasswordProblem(const std::string& password);

}  // namespace vexel
