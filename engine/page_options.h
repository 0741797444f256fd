// The switches a page is compressed with, with their defaults at program
// start: the same for every page of a run.
#pragma once

#include <cstdint>
#include <string>
#include <utility>

#include "engine/modern_page.h"
#include "platform/crypto.h"

namespace vexel {

// The page password: enabled means the page gets a password prompt (a modern
// page is encrypted with it instead).
// Every copy wipes its text when it goes or is given another, and what a
// move into it leaves behind is wiped too.
struct PasswordField {
    bool Enabled = false;
    std::string Text;

    PasswordField() = default;
    PasswordField(bool enabled, std::string text) : Enabled(enabled), Text(std::move(text)) {
        platform::SecureWipe(text);
    }
    PasswordField(const PasswordField&) = default;
    PasswordField& operator=(const PasswordField& other) {
        if (this != &other) {
            platform::SecureWipe(Text);
            Enabled = other.Enabled;
            Text = other.Text;
        }
        return *this;
    }
    ~PasswordField() { platform::SecureWipe(Text); }
};

// The codec of a modern page: whichever gives the smaller page, or the one
// asked for.
enum class CodecChoice { Smaller, Deflate, Lzma };

struct JobOptions {
    PasswordField password;
    bool highspeed = false;      // search window 360 instead of 8100
    bool RemoveUnuseful = true;  // collapse whitespace between tags
    bool UChar = true;           // blank pairs of high bytes in the body
    // Key iterations of an encrypted modern page; more make guessing slower
    // and opening the page slower too.
    uint32_t Iterations = kDefaultIterations;
    CodecChoice Codec = CodecChoice::Smaller;
};

}  // namespace vexel
