#include "engine/lzma.h"

#include <algorithm>
#include <stdexcept>

#if VEXEL_HAVE_LZMA
#include <lzma.h>
#endif

#include "engine/errors.h"

namespace vexel {

#if VEXEL_HAVE_LZMA

namespace {

// HTML gains nothing from position bits: its bytes do not repeat at fixed
// strides.
constexpr uint32_t kPositionBits = 0;
constexpr uint32_t kLiteralPositionBits = 0;
// The encoder takes some 12 times its dictionary in memory, one per job: a
// page larger than this is compressed with a window of this size (HTML
// repeats itself over far shorter distances). The reader takes up to the
// preset's 64 MiB.
constexpr std::size_t kLargestWriterDictionary = std::size_t{8} << 20;
// Where the output of the reader starts before it grows.
constexpr std::size_t kFirstOutput = std::size_t{64} << 10;

// An lzma_stream that ends itself on every way out.
class LzmaStream {
public:
    LzmaStream() = default;
    ~LzmaStream() { lzma_end(&stream_); }
    LzmaStream(const LzmaStream&) = delete;
    LzmaStream& operator=(const LzmaStream&) = delete;
    lzma_stream* get() { return &stream_; }

private:
    lzma_stream stream_ = LZMA_STREAM_INIT;
};

lzma_options_lzma Options(std::size_t dictionary) {
    lzma_options_lzma options;
    if (lzma_lzma_preset(&options, 9 | LZMA_PRESET_EXTREME)) {
        throw std::runtime_error("liblzma knows no preset 9");
    }
    options.lc = kLzmaLiteralContextBits;
    options.lp = kLiteralPositionBits;
    options.pb = kPositionBits;
    // A dictionary beyond the data costs memory and gains nothing.
    options.dict_size = static_cast<uint32_t>(
        std::clamp<std::size_t>(dictionary, LZMA_DICT_SIZE_MIN, options.dict_size));
    return options;
}

// The window starts with the preset, when there is one.
void SetPreset(lzma_options_lzma& options, std::string_view preset) {
    if (!preset.empty()) {
        options.preset_dict = reinterpret_cast<const uint8_t*>(preset.data());
        options.preset_dict_size = static_cast<uint32_t>(preset.size());
    }
}

}  // namespace

bool HaveLzma() {
    return true;
}

std::string LzmaCompress(std::string_view data, std::string_view preset) {
    lzma_options_lzma options = Options(std::min(data.size() + preset.size(), kLargestWriterDictionary));
    SetPreset(options, preset);
    const lzma_filter filters[] = {{LZMA_FILTER_LZMA1, &options}, {LZMA_VLI_UNKNOWN, nullptr}};
    LzmaStream stream;
    if (lzma_raw_encoder(stream.get(), filters) != LZMA_OK) {
        throw std::runtime_error("Cannot start liblzma's encoder");
    }
    std::string out(data.size() / 3 + 1024, '\0');
    lzma_stream& s = *stream.get();
    s.next_in = reinterpret_cast<const uint8_t*>(data.data());
    s.avail_in = data.size();
    for (;;) {
        if (s.total_out == out.size()) {
            out.resize(out.size() * 2);
        }
        s.next_out = reinterpret_cast<uint8_t*>(out.data()) + s.total_out;
        s.avail_out = out.size() - static_cast<std::size_t>(s.total_out);
        const lzma_ret status = lzma_code(&s, LZMA_FINISH);
        if (status == LZMA_STREAM_END) {
            break;
        }
        if (status != LZMA_OK) {
            throw std::runtime_error("liblzma's encoder failed (" + std::to_string(status) + ")");
        }
    }
    out.resize(static_cast<std::size_t>(s.total_out));
    return out;
}

uint64_t LzmaCrc64(std::string_view data) {
    return lzma_crc64(reinterpret_cast<const uint8_t*>(data.data()), data.size(), 0);
}

std::string LzmaExpand(std::string_view compressed, std::size_t size, std::size_t limit, std::string_view preset) {
    if (size > limit) {
        throw DataError("the page says its data holds " + std::to_string(size) + " bytes, more than " +
                        std::to_string(limit) + " that are read");
    }
    lzma_options_lzma options = Options(size + preset.size());
    SetPreset(options, preset);
    const lzma_filter filters[] = {{LZMA_FILTER_LZMA1, &options}, {LZMA_VLI_UNKNOWN, nullptr}};
    LzmaStream stream;
    if (lzma_raw_decoder(stream.get(), filters) != LZMA_OK) {
        throw std::runtime_error("Cannot start liblzma's decoder");
    }
    // One byte more than it should hold shows a stream that goes on. The
    // output grows as it comes: a few bytes that claim a gigabyte take memory
    // for what they really give before they are found out.
    const std::size_t most = size + 1;
    std::string out(std::min(most, std::max<std::size_t>(kFirstOutput, compressed.size() * 8)), '\0');
    lzma_stream& s = *stream.get();
    s.next_in = reinterpret_cast<const uint8_t*>(compressed.data());
    s.avail_in = compressed.size();
    lzma_ret status = LZMA_OK;
    for (;;) {
        const std::size_t done = static_cast<std::size_t>(s.total_out);
        if (done == out.size()) {
            if (out.size() == most) {
                break;
            }
            out.resize(std::min(most, out.size() * 2));
        }
        s.next_out = reinterpret_cast<uint8_t*>(out.data()) + done;
        s.avail_out = out.size() - done;
        status = lzma_code(&s, LZMA_FINISH);
        if (status != LZMA_OK) {
            break;
        }
    }
    if (status != LZMA_STREAM_END) {
        throw DataError(status == LZMA_OK || status == LZMA_BUF_ERROR
                            ? "the page's data is cut off or holds more than it says"
                            : "the page's data is damaged (liblzma: " + std::to_string(status) + ")");
    }
    if (s.total_out != size || s.avail_in != 0) {
        throw DataError("the page's data holds " + std::to_string(s.total_out) + " bytes where it says " +
                        std::to_string(size) + (s.avail_in != 0 ? ", and bytes after its end" : ""));
    }
    out.resize(size);
    return out;
}

#else

bool HaveLzma() {
    return false;
}

std::string LzmaCompress(std::string_view, std::string_view) {
    throw std::runtime_error("this build writes no LZMA pages (built without liblzma)");
}

uint64_t LzmaCrc64(std::string_view) {
    throw std::runtime_error("this build names no site files (built without liblzma)");
}

std::string LzmaExpand(std::string_view, std::size_t, std::size_t, std::string_view) {
    throw DataError("this build reads no LZMA pages (built without liblzma)");
}

#endif

}  // namespace vexel
