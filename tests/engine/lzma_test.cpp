// The LZMA format of modern pages: liblzma's streams and their checks, the
// page's own JavaScript decoder against liblzma on whole, cut and damaged
// streams, the pages and their reader, and the choice of the smaller page.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <random>

#include "engine/errors.h"
#include "engine/loader_script.h"
#include "engine/lzma.h"
#include "engine/lzma_script.h"
#include "engine/modern_page.h"
#include "engine/page_compression.h"
#include "tests/engine/test_support.h"

namespace vexel {
namespace {

using testing::Fingerprint;
using testing::RandomBytes;
using testing::RecordingJobHost;
using testing::ScratchDir;
using testing::WriteBytes;

// Text with long and short repeats at many distances, so that every kind of
// packet (literals after matches, repeats of each of the last four
// distances, long distances) appears.
std::string Markup(std::size_t size, unsigned seed) {
    std::mt19937 random(seed);
    const char* const words[] = {"<td class=\"price\">", "</td>", "<tr>", "caf\xC3\xA9", "table", " ", "\r\n",
                                 "<a href=\"/item/", "\">", "</a>", "&amp;", "\xE6\x97\xA5"};
    std::string text;
    while (text.size() < size) {
        const unsigned pick = random() % 16;
        if (pick < 12) {
            text += words[pick];
        } else if (pick < 14) {
            text += std::to_string(random() % 100000);
        } else if (text.size() > 300) {
            text += text.substr(random() % (text.size() - 200), random() % 200);
        }
    }
    text.resize(size);
    return text;
}

// Samples of every shape the decoder must expand: empty, one byte, runs,
// random bytes (literals only), markup of many sizes.
std::vector<std::string> Samples() {
    std::vector<std::string> samples = {"", "a", std::string(1, '\0'), std::string(5000, 'x'),
                                        std::string(70000, '\xFF')};
    for (unsigned seed = 0; seed < 4; ++seed) {
        samples.push_back(RandomBytes(1 + seed * 3000, seed));
    }
    for (const std::size_t size : {10u, 100u, 1000u, 30000u, 300000u}) {
        samples.push_back(Markup(size, static_cast<unsigned>(size)));
    }
    return samples;
}

class LzmaTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!HaveLzma()) {
            GTEST_SKIP() << "built without liblzma";
        }
    }
};

TEST_F(LzmaTest, StreamsComeBackAndShrinkMarkup) {
    for (const std::string& sample : Samples()) {
        const std::string stream = LzmaCompress(sample);
        ASSERT_GE(stream.size(), 5u);
        EXPECT_EQ(stream[0], '\0');  // what every range coder's stream opens with
        EXPECT_EQ(LzmaExpand(stream, sample.size(), sample.size()), sample) << sample.size();
    }
    const std::string markup = Markup(300000, 1);
    EXPECT_LT(LzmaCompress(markup).size(), markup.size() / 4);
}

// The Linux, Windows and 32-bit builds write a page in the same bytes: each
// build must give these streams (liblzma 5.4.1 at our settings).
TEST_F(LzmaTest, EveryBuildWritesTheSameStream) {
    const std::string markup = Markup(300000, 5);
    const std::string mixed = Markup(20000, 6) + RandomBytes(50000, 7) + Markup(100000, 8);
    const std::string markupStream = LzmaCompress(markup);
    const std::string mixedStream = LzmaCompress(mixed);
    EXPECT_EQ(markupStream.size(), 26722u);
    EXPECT_EQ(Fingerprint(markupStream), 16079736667290598866ull);
    EXPECT_EQ(mixedStream.size(), 62022u);
    EXPECT_EQ(Fingerprint(mixedStream), 13367105482433308956ull);
}

TEST_F(LzmaTest, CutLongerWrongSizeAndTooLargeStreamsAreRefused) {
    const std::string sample = Markup(20000, 3);
    const std::string stream = LzmaCompress(sample);
    for (std::size_t cut = 0; cut < stream.size(); cut += 1 + cut / 8) {
        EXPECT_THROW(LzmaExpand(stream.substr(0, cut), sample.size(), sample.size()), DataError) << cut;
    }
    EXPECT_THROW(LzmaExpand(stream + "x", sample.size(), sample.size()), DataError);
    EXPECT_THROW(LzmaExpand(stream, sample.size() - 1, sample.size()), DataError);
    EXPECT_THROW(LzmaExpand(stream, sample.size() + 1, sample.size() + 1), DataError);
    EXPECT_THROW(LzmaExpand(stream, sample.size(), sample.size() - 1), DataError);
}

// The decoder the pages carry, run by Node.js on streams liblzma wrote: whole
// ones give their bytes; cut ones, ones with a byte changed and random bytes
// give an error or (a changed byte the stream does not depend on) the same
// bytes liblzma gives, and never hang.
constexpr char kDecoderHarness[] = R"JS(
const fs = require('fs');
const [decoderFile, dir, count] = process.argv.slice(2);
// The check and the decoder as the page holds them, in the script's function.
const L = new Function('C', 'self', fs.readFileSync(decoderFile, 'latin1') + ';return L')(
  { write: () => fail('the check finds TextDecoder missing') }, { TextDecoder });
const fail = (why) => { console.error(why); process.exit(1); };
const expand = (stream, size) => {
  try { return Buffer.from(L(stream, size)); } catch (e) {
    if (e !== 'bad LZMA data') fail('not the decoder\'s error: ' + e);
    return null;
  }
};
let refused = 0, cases = 0;
for (let i = 0; i < +count; i++) {
  const stream = fs.readFileSync(`${dir}/${i}.lzma`);
  const original = fs.readFileSync(`${dir}/${i}.bin`);
  const whole = expand(stream.buffer.slice(stream.byteOffset, stream.byteOffset + stream.length), original.length);
  if (!whole || !whole.equals(original)) fail(`sample ${i} (${original.length} bytes) does not come back`);
  if (expand(new Uint8Array(stream), original.length + 1) || (original.length && expand(new Uint8Array(stream), original.length - 1)))
    fail(`sample ${i} expands to a size it does not hold`);
  for (let cut = 0; cut < stream.length; cut += 1 + (cut >> 3)) {
    if (expand(new Uint8Array(stream.subarray(0, cut)), original.length)) fail(`sample ${i} cut at ${cut} expands`);
  }
  const longer = new Uint8Array(stream.length + 1); longer.set(stream);
  if (expand(longer, original.length)) fail(`sample ${i} with a byte after its end expands`);
  // Damage at each place liblzma was asked about: its verdict is in the name.
  for (const name of fs.readdirSync(dir).filter((n) => n.startsWith(`${i}.damaged.`))) {
    const [, , at, verdict] = name.split('.');
    const damaged = new Uint8Array(stream); damaged[+at] ^= 0x5A;
    const got = expand(damaged, original.length);
    cases++;
    if (got === null) { refused++; continue; }
    const expected = verdict === 'ok' ? fs.readFileSync(`${dir}/${name}`) : original;
    if (!got.equals(expected)) fail(`sample ${i} damaged at ${at}: expands to other bytes than liblzma's (${verdict})`);
  }
}
for (let seed = 1; seed <= 200; seed++) {
  const junk = new Uint8Array(seed * 7).map((_, j) => (j * 2654435761 + seed * 40503) >>> 13 & 255);
  junk[0] = 0;
  expand(junk, seed * 50);
}
if (refused < cases * 0.8) fail(`only ${refused} of ${cases} damaged streams refused`);
console.log(`${refused} of ${cases} damaged streams refused`);
)JS";

TEST_F(LzmaTest, PagesDecoderAgreesWithLiblzmaOnWholeCutAndDamagedStreams) {
#ifdef _WIN32
    GTEST_SKIP() << "Node.js runs in the native build";
#else
    ASSERT_EQ(std::system("node --version > /dev/null 2>&1"), 0) << "Node.js is needed for this test";
    ScratchDir dir;
    WriteBytes(dir.Path("harness.js"), kDecoderHarness);
    WriteBytes(dir.Path("decoder.js"), kLzmaDecoderScript);
    const std::vector<std::string> samples = Samples();
    std::mt19937 random(7);
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const std::string name = dir.Path(std::to_string(i));
        const std::string stream = LzmaCompress(samples[i]);
        WriteBytes(name + ".lzma", stream);
        WriteBytes(name + ".bin", samples[i]);
        for (int damage = 0; damage < 30; ++damage) {
            const std::size_t at = random() % stream.size();
            std::string damaged = stream;
            damaged[at] = static_cast<char>(damaged[at] ^ 0x5A);
            std::string verdict = "refused";
            std::string expanded;
            try {
                expanded = LzmaExpand(damaged, samples[i].size(), samples[i].size());
                verdict = "ok";
            } catch (const DataError&) {
            }
            WriteBytes(name + ".damaged." + std::to_string(at) + "." + verdict, expanded);
        }
    }
    const std::string command = "node \"" + dir.Path("harness.js") + "\" \"" + dir.Path("decoder.js") + "\" \"" +
                                dir.Root().string() + "\" " + std::to_string(samples.size());
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
#endif
}

std::string LzmaPage(const std::string& original, const PageSeal* seal = nullptr) {
    ModernPageOptions options{seal != nullptr, seal != nullptr ? seal->iterations : kDefaultIterations,
                              ModernCodec::Lzma};
    return RenderModernPage(
        original, ModernPayload(original, seal, std::string(16, 's'), std::string(12, 'i'), ModernCodec::Lzma),
        options);
}

TEST_F(LzmaTest, PageIsReadBackWithItsCodecAndSize) {
    const std::string original = "<meta charset=utf-8><title>T</title>" + Markup(50000, 5);
    const std::string page = LzmaPage(original);
    const auto data = ReadModernPage(page);
    ASSERT_TRUE(data.has_value());
    EXPECT_EQ(data->codec, ModernCodec::Lzma);
    EXPECT_EQ(data->expandedSize, original.size());
    EXPECT_EQ(ExpandModernPage(*data, nullptr), original);
    // Written again from its original and payload, it is the same page.
    EXPECT_EQ(RenderModernPage(original, data->payload, data->Options()), page);
    EXPECT_THROW(ExpandModernPage(*data, nullptr, original.size() - 1), DataError);

    // Nothing in the decoder ends the script or its data early.
    const std::size_t script = page.find("<script>/*");
    const std::size_t code = page.find("*/", script);
    for (const char* breaking : {"<!", "</", "*/"}) {
        EXPECT_EQ(page.find(breaking, code + 2), breaking == std::string("</") ? page.size() - 9 : std::string::npos)
            << breaking;
    }

    // The size the script names is the size the data must expand to.
    std::string changed = page;
    const std::string call = std::string(kLzmaLoader.expand) + std::to_string(original.size());
    changed.replace(changed.find(call), call.size(), std::string(kLzmaLoader.expand) + "12");
    const auto wrong = ReadModernPage(changed);
    ASSERT_TRUE(wrong.has_value());
    EXPECT_THROW(ExpandModernPage(*wrong, nullptr), DataError);
    changed.replace(changed.find(std::string(kLzmaLoader.expand) + "12"), std::strlen(kLzmaLoader.expand) + 2,
                    std::string(kLzmaLoader.expand) + "x");
    EXPECT_THROW(ReadModernPage(changed), DataError);
}

TEST_F(LzmaTest, EncryptedPageOpensOnlyWithItsPassword) {
    const PageSeal seal{"pa55", 1000};
    const std::string original = Markup(40000, 9);
    const auto data = ReadModernPage(LzmaPage(original, &seal));
    ASSERT_TRUE(data.has_value());
    EXPECT_TRUE(data->encrypted);
    EXPECT_EQ(data->codec, ModernCodec::Lzma);
    const std::string right = "pa55";
    const std::string wrong = "pass";
    EXPECT_EQ(ExpandModernPage(*data, &right), original);
    EXPECT_THROW(ExpandModernPage(*data, &wrong), PasswordError);
}

class CodecChoiceTest : public LzmaTest {
protected:
    ModernCodec WrittenCodec(const std::string& original) {
        const CompressedPage compressed = CompressPage(original, "p.htm", options_, PageFormat::Modern, host_);
        const auto data = ReadModernPage(compressed.Text);
        EXPECT_TRUE(data.has_value());
        EXPECT_EQ(ExpandModernPage(*data, options_.password.Enabled ? &options_.password.Text : nullptr), original);
        return data ? data->codec : ModernCodec::Deflate;
    }

    RecordingJobHost host_;
    JobOptions options_;
};

TEST_F(CodecChoiceTest, TheSmallerPageWinsUnlessOneIsAskedFor) {
    // A small page does not pay for the decoder; a large one does.
    const std::string small = Markup(3000, 2);
    const std::string large = Markup(300000, 2);
    EXPECT_EQ(WrittenCodec(small), ModernCodec::Deflate);
    EXPECT_EQ(WrittenCodec(large), ModernCodec::Lzma);
    ModernPageOptions lzma;
    lzma.codec = ModernCodec::Lzma;
    const std::size_t chosen = CompressPage(large, "p.htm", options_, PageFormat::Modern, host_).Text.size();
    EXPECT_LT(chosen, RenderModernPage(large, ModernPayload(large, nullptr), {}).size());
    EXPECT_EQ(chosen, RenderModernPage(large, ModernPayload(large, nullptr, ModernCodec::Lzma), lzma).size());

    options_.Codec = CodecChoice::Lzma;
    EXPECT_EQ(WrittenCodec(small), ModernCodec::Lzma);
    options_.Codec = CodecChoice::Deflate;
    EXPECT_EQ(WrittenCodec(large), ModernCodec::Deflate);

    // An encrypted page is chosen the same way and sealed once.
    options_.Codec = CodecChoice::Smaller;
    options_.password = {true, "pw"};
    options_.Iterations = 1000;
    EXPECT_EQ(WrittenCodec(large), ModernCodec::Lzma);
    EXPECT_EQ(WrittenCodec(small), ModernCodec::Deflate);
}

}  // namespace
}  // namespace vexel
