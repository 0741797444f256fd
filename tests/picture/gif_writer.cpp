#include "tests/picture/gif_writer.h"

#include <algorithm>
#include <map>
#include <stdexcept>
#include <utility>

namespace vexel::testing {
namespace {

constexpr int kMaxCodes = 4096;

class BitWriter {
  public:
    void Put(int code, int width) {
        buffer_ |= static_cast<uint32_t>(code) << bits_;
        bits_ += width;
        while (bits_ >= 8) {
            out_.push_back(static_cast<char>(buffer_ & 0xFF));
            buffer_ >>= 8;
            bits_ -= 8;
        }
    }
    std::string Finish() {
        if (bits_ > 0) {
            out_.push_back(static_cast<char>(buffer_ & 0xFF));
        }
        return out_;
    }

  private:
    std::string out_;
    uint32_t buffer_ = 0;
    int bits_ = 0;
};

void PutWord(std::string& out, uint16_t value) {
    out.push_back(static_cast<char>(value & 0xFF));
    out.push_back(static_cast<char>(value >> 8));
}

}  // namespace

std::string LzwEncode(const std::vector<uint8_t>& indices, const LzwOptions& options) {
    const int clearCode = 1 << options.MinCodeSize;
    const int endCode = clearCode + 1;
    BitWriter writer;

    // The code width follows the decoder's own state, which lags one entry
    // behind the encoder's table: it adds no entry for the first code after a
    // clear, and widens once its next entry would not fit.
    int decoderNext = 0;
    int width = 0;
    bool fresh = true;
    auto reset = [&] {
        decoderNext = clearCode + 2;
        width = options.MinCodeSize + 1;
        fresh = true;
    };
    auto putCode = [&](int code) {
        writer.Put(code, width);
        if (!fresh && decoderNext < kMaxCodes) {
            ++decoderNext;
        }
        fresh = false;
        if (decoderNext == (1 << width) && width < 12) {
            ++width;
        }
    };
    auto putClear = [&] {
        writer.Put(clearCode, width);
        reset();
    };

    std::map<std::pair<int, int>, int> table;
    int next = clearCode + 2;
    reset();
    putClear();
    int current = -1;
    for (const uint8_t index : indices) {
        if (current < 0) {
            current = index;
            continue;
        }
        const auto found = table.find({current, index});
        if (found != table.end()) {
            current = found->second;
            continue;
        }
        putCode(current);
        if (next < kMaxCodes) {
            table[{current, index}] = next++;
        } else if (options.ClearWhenFull) {
            putClear();
            table.clear();
            next = clearCode + 2;
        }
        current = index;
    }
    if (current >= 0) {
        putCode(current);
    }
    if (options.EndCode) {
        writer.Put(endCode, width);
    }
    return writer.Finish();
}

std::string SubBlocks(const std::string& data, size_t blockSize) {
    std::string out;
    for (size_t at = 0; at < data.size(); at += blockSize) {
        const size_t n = std::min(blockSize, data.size() - at);
        out.push_back(static_cast<char>(n));
        out.append(data, at, n);
    }
    out.push_back('\0');
    return out;
}

int TableSizeField(size_t entries) {
    int field = 0;
    while ((size_t{2} << field) < entries) {
        ++field;
    }
    return field;
}

std::string TableBytes(const std::vector<Colour>& table) {
    const size_t padded = size_t{2} << TableSizeField(table.size());
    std::string out;
    for (size_t i = 0; i < padded; ++i) {
        const Colour c = i < table.size() ? table[i] : Colour{};
        out.push_back(static_cast<char>(c.Red));
        out.push_back(static_cast<char>(c.Green));
        out.push_back(static_cast<char>(c.Blue));
    }
    return out;
}

std::string WriteGif(const GifSpec& spec) {
    if (spec.Indices.size() != size_t{spec.Width} * spec.Height) {
        throw std::invalid_argument("WriteGif: Indices must hold Width * Height entries");
    }
    std::string out = spec.Signature;
    PutWord(out, spec.ScreenWidth != 0 ? spec.ScreenWidth : static_cast<uint16_t>(spec.Left + spec.Width));
    PutWord(out, spec.ScreenHeight != 0 ? spec.ScreenHeight : static_cast<uint16_t>(spec.Top + spec.Height));
    if (spec.GlobalTable.empty()) {
        out.push_back('\0');
    } else {
        out.push_back(static_cast<char>(0x80 | 0x70 | TableSizeField(spec.GlobalTable.size())));
    }
    out.push_back('\0');  // background colour index
    out.push_back('\0');  // aspect ratio
    if (!spec.GlobalTable.empty()) {
        out += TableBytes(spec.GlobalTable);
    }

    if (spec.TransparentIndex >= 0) {
        out += std::string("\x21\xF9\x04\x01\x00\x00", 6);
        out.push_back(static_cast<char>(spec.TransparentIndex));
        out.push_back('\0');
    }
    out += spec.BeforeImage;

    out.push_back(',');
    PutWord(out, spec.Left);
    PutWord(out, spec.Top);
    PutWord(out, spec.Width);
    PutWord(out, spec.Height);
    int flags = spec.Interlaced ? 0x40 : 0;
    if (!spec.LocalTable.empty()) {
        flags |= 0x80 | TableSizeField(spec.LocalTable.size());
    }
    out.push_back(static_cast<char>(flags));
    if (!spec.LocalTable.empty()) {
        out += TableBytes(spec.LocalTable);
    }

    std::vector<uint8_t> stream;
    stream.reserve(spec.Indices.size());
    std::vector<int> rows;
    if (spec.Interlaced) {
        for (const auto& [start, step] :
             {std::pair{0, 8}, std::pair{4, 8}, std::pair{2, 4}, std::pair{1, 2}}) {
            for (int y = start; y < spec.Height; y += step) {
                rows.push_back(y);
            }
        }
    } else {
        for (int y = 0; y < spec.Height; ++y) {
            rows.push_back(y);
        }
    }
    for (const int y : rows) {
        const auto row = spec.Indices.begin() + static_cast<ptrdiff_t>(y) * spec.Width;
        stream.insert(stream.end(), row, row + spec.Width);
    }
    out.push_back(static_cast<char>(spec.Lzw.MinCodeSize));
    out += SubBlocks(LzwEncode(stream, spec.Lzw));
    out += spec.AfterImage;
    return out;
}

}  // namespace vexel::testing
