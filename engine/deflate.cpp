#include "engine/deflate.h"

#include <zlib.h>

#include <algorithm>
#include <climits>
#include <stdexcept>

#include "engine/errors.h"

namespace vexel {

namespace {

// Negative window bits ask zlib for a raw stream.
constexpr int kRawWindowBits = -15;
constexpr int kMaxMemoryLevel = 9;
// zlib counts in unsigned int: large inputs go in slices.
constexpr std::size_t kSlice = 1u << 30;

Bytef* In(std::string_view data) {
    return reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
}

}  // namespace

std::string DeflateRaw(std::string_view data) {
    z_stream stream{};
    if (deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, kRawWindowBits, kMaxMemoryLevel,
                     Z_DEFAULT_STRATEGY) != Z_OK) {
        throw std::runtime_error("Cannot start zlib's deflate");
    }
    std::string out;
    out.resize(deflateBound(&stream, static_cast<uLong>(std::min(data.size(), kSlice))) +
               (data.size() > kSlice ? data.size() : 0));
    std::size_t fed = 0;
    int status = Z_OK;
    do {
        const std::size_t slice = std::min(data.size() - fed, kSlice);
        stream.next_in = In(data.substr(fed, slice));
        stream.avail_in = static_cast<uInt>(slice);
        fed += slice;
        const int flush = fed == data.size() ? Z_FINISH : Z_NO_FLUSH;
        do {
            if (stream.total_out == out.size()) {
                out.resize(out.size() * 2 + 64);
            }
            stream.next_out = reinterpret_cast<Bytef*>(out.data()) + stream.total_out;
            stream.avail_out =
                static_cast<uInt>(std::min<std::size_t>(out.size() - stream.total_out, UINT_MAX));
            status = deflate(&stream, flush);
        } while (stream.avail_out == 0 || (flush == Z_FINISH && status == Z_OK));
    } while (fed < data.size());
    out.resize(stream.total_out);
    deflateEnd(&stream);
    if (status != Z_STREAM_END) {
        throw std::runtime_error("zlib's deflate did not finish");
    }
    return out;
}

std::string InflateRaw(std::string_view compressed, std::size_t limit) {
    z_stream stream{};
    if (inflateInit2(&stream, kRawWindowBits) != Z_OK) {
        throw std::runtime_error("Cannot start zlib's inflate");
    }
    std::string out;
    out.resize(std::min<std::size_t>(limit, compressed.size() * 4 + 1024));
    std::size_t fed = 0;
    int status = Z_OK;
    for (;;) {
        if (stream.avail_in == 0 && fed < compressed.size()) {
            const std::size_t slice = std::min(compressed.size() - fed, kSlice);
            stream.next_in = In(compressed.substr(fed, slice));
            stream.avail_in = static_cast<uInt>(slice);
            fed += slice;
        }
        if (stream.total_out == out.size()) {
            if (out.size() >= limit) {
                inflateEnd(&stream);
                throw DataError("the compressed data expands to more than " + std::to_string(limit) +
                                " bytes");
            }
            out.resize(std::min(limit, out.size() * 2 + 1024));
        }
        stream.next_out = reinterpret_cast<Bytef*>(out.data()) + stream.total_out;
        stream.avail_out = static_cast<uInt>(std::min<std::size_t>(out.size() - stream.total_out, UINT_MAX));
        status = inflate(&stream, Z_NO_FLUSH);
        if (status == Z_STREAM_END) {
            break;
        }
        if (status == Z_BUF_ERROR && stream.avail_in == 0 && fed == compressed.size()) {
            status = Z_DATA_ERROR;  // no more input, no end: cut off
            break;
        }
        if (status != Z_OK && status != Z_BUF_ERROR) {
            break;
        }
    }
    const bool trailing = status == Z_STREAM_END && (stream.avail_in != 0 || fed != compressed.size());
    const std::string reason = stream.msg != nullptr ? stream.msg : "";
    out.resize(stream.total_out);
    inflateEnd(&stream);
    if (status != Z_STREAM_END) {
        throw DataError("the compressed data is corrupt or cut off" +
                        (reason.empty() ? "" : " (" + reason + ")"));
    }
    if (trailing) {
        throw DataError("bytes follow the end of the compressed data");
    }
    return out;
}

}  // namespace vexel
