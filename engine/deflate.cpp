#include "engine/deflate.h"

#include <zlib.h>

#include <algorithm>
#include <climits>
#include <memory>
#include <stdexcept>

#if VEXEL_HAVE_LIBDEFLATE
#include <libdeflate.h>
#endif

#include "engine/errors.h"

namespace vexel {

namespace {

// Negative window bits ask zlib for a raw stream.
constexpr int kRawWindowBits = -15;
constexpr int kMaxMemoryLevel = 9;
// zlib counts in unsigned int: large inputs go in slices, and the bytes made
// are counted here in size_t (its own total_out is 32 bits on Windows).
constexpr std::size_t kSlice = 1u << 30;

Bytef* In(std::string_view data) {
    return reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
}

// A z_stream that ends itself, on every way out.
class ZStream {
public:
    enum class Kind { Deflate, Inflate };

    explicit ZStream(Kind kind) : kind_(kind) {
        const int status = kind == Kind::Deflate
                               ? deflateInit2(&stream_, Z_BEST_COMPRESSION, Z_DEFLATED, kRawWindowBits,
                                              kMaxMemoryLevel, Z_DEFAULT_STRATEGY)
                               : inflateInit2(&stream_, kRawWindowBits);
        if (status != Z_OK) {
            throw std::runtime_error(kind == Kind::Deflate ? "Cannot start zlib's deflate"
                                                           : "Cannot start zlib's inflate");
        }
    }
    ~ZStream() {
        if (kind_ == Kind::Deflate) {
            deflateEnd(&stream_);
        } else {
            inflateEnd(&stream_);
        }
    }
    ZStream(const ZStream&) = delete;
    ZStream& operator=(const ZStream&) = delete;

    z_stream* operator->() { return &stream_; }
    z_stream* get() { return &stream_; }

private:
    z_stream stream_{};
    Kind kind_;
};

// Points the stream's output at `out` from `made` on, growing `out` when full.
void NextOutput(z_stream& stream, std::string& out, std::size_t made) {
    if (made == out.size()) {
        out.resize(out.size() * 2 + 64);
    }
    stream.next_out = reinterpret_cast<Bytef*>(out.data()) + made;
    stream.avail_out = static_cast<uInt>(std::min<std::size_t>(out.size() - made, UINT_MAX));
}

}  // namespace

std::string ZlibDeflateRaw(std::string_view data) {
    ZStream stream(ZStream::Kind::Deflate);
    std::string out;
    out.resize(deflateBound(stream.get(), static_cast<uLong>(std::min(data.size(), kSlice))) +
               (data.size() > kSlice ? data.size() : 0));
    std::size_t fed = 0;
    std::size_t made = 0;
    int status = Z_OK;
    do {
        const std::size_t slice = std::min(data.size() - fed, kSlice);
        stream->next_in = In(data.substr(fed, slice));
        stream->avail_in = static_cast<uInt>(slice);
        fed += slice;
        const int flush = fed == data.size() ? Z_FINISH : Z_NO_FLUSH;
        do {
            NextOutput(*stream.get(), out, made);
            const uInt room = stream->avail_out;
            status = deflate(stream.get(), flush);
            made += room - stream->avail_out;
        } while (stream->avail_out == 0 || (flush == Z_FINISH && status == Z_OK));
    } while (fed < data.size());
    if (status != Z_STREAM_END) {
        throw std::runtime_error("zlib's deflate did not finish");
    }
    out.resize(made);
    return out;
}

#if VEXEL_HAVE_LIBDEFLATE
std::string DeflateRaw(std::string_view data, DeflateEffort effort) {
    const bool finest = effort == DeflateEffort::SmallPagesFinest && data.size() < kSmallPageBytes;
    const std::unique_ptr<libdeflate_compressor, void (*)(libdeflate_compressor*)> compressor(
        libdeflate_alloc_compressor(finest ? kSmallPageLevel : kDeflateLevel),
        libdeflate_free_compressor);
    if (!compressor) {
        throw std::runtime_error("Cannot start libdeflate's compressor");
    }
    std::string out(libdeflate_deflate_compress_bound(compressor.get(), data.size()), '\0');
    const std::size_t made =
        libdeflate_deflate_compress(compressor.get(), data.data(), data.size(), out.data(), out.size());
    if (made == 0) {
        throw std::runtime_error("libdeflate's compressor found no room for its output");
    }
    out.resize(made);
    return out;
}
#else
std::string DeflateRaw(std::string_view data, DeflateEffort) {
    return ZlibDeflateRaw(data);
}
#endif

const char* DeflaterName() {
#if VEXEL_HAVE_LIBDEFLATE
    return "libdeflate";
#else
    return "zlib";
#endif
}

std::string InflateRaw(std::string_view compressed, std::size_t limit) {
    ZStream stream(ZStream::Kind::Inflate);
    std::string out;
    out.resize(std::min<std::size_t>(limit, compressed.size() * 4 + 1024));
    std::size_t fed = 0;
    std::size_t made = 0;
    int status = Z_OK;
    for (;;) {
        if (stream->avail_in == 0 && fed < compressed.size()) {
            const std::size_t slice = std::min(compressed.size() - fed, kSlice);
            stream->next_in = In(compressed.substr(fed, slice));
            stream->avail_in = static_cast<uInt>(slice);
            fed += slice;
        }
        if (made == out.size()) {
            if (out.size() >= limit) {
                throw DataError("the compressed data expands to more than " + std::to_string(limit) + " bytes");
            }
            out.resize(std::min(limit, out.size() * 2 + 1024));
        }
        stream->next_out = reinterpret_cast<Bytef*>(out.data()) + made;
        stream->avail_out = static_cast<uInt>(std::min<std::size_t>(out.size() - made, UINT_MAX));
        const uInt room = stream->avail_out;
        status = inflate(stream.get(), Z_NO_FLUSH);
        made += room - stream->avail_out;
        if (status == Z_STREAM_END) {
            break;
        }
        if (status == Z_BUF_ERROR && stream->avail_in == 0 && fed == compressed.size()) {
            status = Z_DATA_ERROR;  // no more input, no end: cut off
            break;
        }
        if (status != Z_OK && status != Z_BUF_ERROR) {
            break;
        }
    }
    const bool trailing = status == Z_STREAM_END && (stream->avail_in != 0 || fed != compressed.size());
    const std::string reason = stream->msg != nullptr ? stream->msg : "";
    out.resize(made);
    if (status != Z_STREAM_END) {
        throw DataError("the compressed data is corrupt or cut off" + (reason.empty() ? "" : " (" + reason + ")"));
    }
    if (trailing) {
        throw DataError("bytes follow the end of the compressed data");
    }
    return out;
}

}  // namespace vexel
