// Page preparation, the encoder and both page writers, followed by the
// reader: the text the written page expands to is the prepared input, byte
// for byte, the head is the page up to its body tag, and the data line holds
// nothing that would end the script in a browser. The first byte holds
// the options, the next eight (when the password bit is set) the password.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "engine/page_reader.h"
#include "engine/classic_page.h"
#include "engine/errors.h"
#include "engine/data_format.h"
#include "engine/page_prepare.h"

namespace {

constexpr std::size_t kLargestPage = 1 << 16;
constexpr std::size_t kPasswordBytes = 8;

class SilentHost : public vexel::JobHost {
public:
    void AddLogLine(const std::string&) override {}
};

[[noreturn]] void Fail() {
    std::abort();
}

// What the job must hand the encoder, worked out step by step from the page:
// the bytes the data string cannot carry become spaces, whitespace between
// tags goes, the body after the body tag gets the filler when short, pairs of
// high bytes are blanked, and the password prompt comes first.
bool ExpectedInput(std::string page,
                   const vexel::JobOptions& options,
                   std::string& head,
                   std::string& input) {
    for (char& c : page) {
        const auto b = static_cast<unsigned char>(c);
        if (b <= 8 || (b >= 14 && b <= 31) || b == 127) {
            c = ' ';
        }
    }
    if (options.RemoveUnuseful) {
        page = vexel::CollapseBetweenTags(page);
    }
    const std::size_t tag = vexel::FindBodyTag(page);
    if (tag == std::string::npos) {
        return false;
    }
    const std::size_t close = page.find('>', tag);
    if (close == std::string::npos) {
        return false;  // a body tag that never closes is none
    }
    const std::size_t head_end = close + 1;
    head = page.substr(0, head_end);
    std::string body = page.substr(head_end);
    if (body.size() < 1024) {
        body += "<script>" + std::string(1000, ' ') + "</script>";
    }
    if (options.UChar) {
        for (std::size_t i = 0; i + 1 < body.size(); ++i) {
            if (static_cast<unsigned char>(body[i]) >= 128 &&
                static_cast<unsigned char>(body[i + 1]) >= 129) {
                body[i] = body[i + 1] = ' ';
            }
        }
    }
    input.clear();
    if (options.password.Enabled) {
        input = vexel::kPasswordPrefixHead + vexel::EscapePasswordForScript(options.password.Text) +
                vexel::kPasswordPrefixTail;
    }
    input += body;
    return true;
}

std::string Expand(const std::string& data) {
    std::string text;
    vexel::ExpandData(data, vexel::Literals::Unshift, text);
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, std::size_t size) {
    if (size == 0 || size > kLargestPage) {
        return 0;
    }
    const uint8_t flags = bytes[0];
    std::size_t at = 1;
    vexel::JobOptions options;
    options.RemoveUnuseful = (flags & 1) != 0;
    options.UChar = (flags & 2) != 0;
    options.highspeed = (flags & 4) != 0;
    const bool javascript = (flags & 8) != 0;
    if ((flags & 16) != 0) {
        options.password.Enabled = true;
        const std::size_t length = std::min(kPasswordBytes, size - at);
        options.password.Text.assign(reinterpret_cast<const char*>(bytes + at), length);
        at += length;
    }
    const std::string page(reinterpret_cast<const char*>(bytes + at), size - at);

    SilentHost host;
    std::string head;
    std::string input;
    const bool expected = ExpectedInput(page, options, head, input);
    vexel::PreparedPage prepared;
    try {
        prepared = vexel::PrepareClassicPage(page, "fuzz.htm", options, host);
    } catch (const vexel::FormatError&) {
        // Refused only with high bytes kept, for a page in a multi-byte
        // charset whose body is not ASCII.
        if (options.UChar) {
            Fail();
        }
        return 0;
    }
    if (prepared.Prepared != expected) {
        Fail();
    }
    if (!expected) {
        return 0;
    }
    const std::string data = vexel::EncodeDataString(prepared.Input, options.highspeed, host);
    if (prepared.Head != head || Expand(data) != input) {
        Fail();
    }

    const std::string written =
        vexel::RenderClassicPage(javascript ? vexel::PageFormat::JavaScript : vexel::PageFormat::VbScript,
                                 prepared.Head, data)
            .Text;
    // The head is written as it is and ends in the body tag's ">", so the
    // data line is found whatever scripts the head holds.
    const auto found = vexel::FindPageData(written);
    if (!found || found->breaksInBrowser || written.compare(0, head.size(), head) != 0 ||
        Expand(found->data) != input) {
        Fail();
    }
    return 0;
}
