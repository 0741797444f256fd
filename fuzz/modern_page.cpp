// The modern page on any bytes, two ways. As a page: the reader finds its
// data or says it is none, and expanding it gives a page or a DataError or
// PasswordError, never a crash. As an original: the page written for it
// (plain, and encrypted with one key iteration; deflated, and in LZMA where
// the build has it) gives back every byte, is written again the same from
// its payload, and its script holds nothing that would end it early.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "engine/errors.h"
#include "engine/lzma.h"
#include "engine/modern_page.h"

namespace {

constexpr std::size_t kLargestPage = 1 << 16;
// A page may ask for up to 100 million key iterations; a fuzzer cannot wait for them.
constexpr uint32_t kMostIterations = 16;

[[noreturn]] void Fail() {
    std::abort();
}

void ReadAsPage(std::string_view page) {
    try {
        const auto data = vexel::ReadModernPage(page);
        if (!data || data->iterations > kMostIterations) {
            return;
        }
        const std::string password = "pw";
        vexel::ExpandModernPage(*data, &password, kLargestPage * 4);
    } catch (const vexel::DataError&) {
    } catch (const vexel::PasswordError&) {
    }
}

void WriteAndReadBack(std::string_view original, vexel::ModernCodec codec) {
    const vexel::PageSeal seal{"pw", 1};
    for (const vexel::PageSeal* sealed : {static_cast<const vexel::PageSeal*>(nullptr), &seal}) {
        const vexel::ModernPageOptions options{sealed != nullptr, 1, codec};
        std::string page;
        try {
            page = vexel::RenderModernPage(
                original,
                vexel::ModernPayload(original, sealed, std::string(16, 's'), std::string(12, 'i'), codec),
                options);
        } catch (const vexel::DataError&) {
            continue;  // a charset modern pages refuse
        }
        // The data ends at the first "*/", which the loader follows; nothing
        // in the script ends it or escapes it early.
        const std::size_t script = page.find("<script>/*");
        const std::size_t end = script == std::string::npos ? script : page.find("*/", script + 10);
        if (end == std::string::npos || page.compare(end, 12, "*/(function(") != 0 ||
            page.find("</", script) != page.size() - 9 || page.find("<!", script) != std::string::npos ||
            page.find('\0', script) != std::string::npos || page.find('\r', script) != std::string::npos) {
            Fail();
        }
        const auto data = vexel::ReadModernPage(page);
        if (!data || data->encrypted != (sealed != nullptr) || data->codec != codec ||
            vexel::ExpandModernPage(*data, &seal.password, kLargestPage) != original ||
            vexel::RenderModernPage(original, data->payload, data->Options()) != page) {
            Fail();
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, std::size_t size) {
    if (size > kLargestPage) {
        return 0;
    }
    const std::string_view input(reinterpret_cast<const char*>(bytes), size);
    ReadAsPage(input);
    WriteAndReadBack(input, vexel::ModernCodec::Deflate);
    if (vexel::HaveLzma()) {
        WriteAndReadBack(input, vexel::ModernCodec::Lzma);
    }
    return 0;
}
