// The raw data commands: saving a data string and expanding a bare one,
// including data the encoder cannot have made.
#include <gtest/gtest.h>

#include <filesystem>

#include "engine/classic_page.h"
#include "engine/data_format.h"
#include "engine/errors.h"
#include "engine/page_prepare.h"
#include "engine/raw_data.h"
#include "tests/engine/test_support.h"

namespace vexel {
namespace {

using testing::PageWithBody;
using testing::ReadBytes;
using testing::RecordingJobHost;
using testing::ScratchDir;
using testing::WriteBytes;

std::string RaisedBetween41And126(std::string text) {
    for (char& c : text) {
        const auto b = static_cast<unsigned char>(c);
        if (b >= 41 && b <= 126) {
            c = static_cast<char>(b + 1);
        }
    }
    return text;
}

TEST(RawData, SavedDataStringExpandsToTheRaisedInput) {
    ScratchDir dir;
    RecordingJobHost host;
    std::string body;
    for (int i = 0; i < 300; ++i) {
        body += "<li class=\"item\">Item " + std::to_string(i) + "\t(\"quoted\")</li>\r\n";
    }
    JobOptions options;
    options.RemoveUnuseful = false;
    const PreparedPage prepared = PrepareClassicPage(PageWithBody(body), "p.htm", options, host);
    ASSERT_TRUE(prepared.Prepared);
    const std::string data = EncodeDataString(prepared.Input, false, host);

    SaveRawData(dir.Path("data.raw"), data);
    EXPECT_EQ(ReadBytes(dir.Path("data.raw")), data);

    std::string text = "old";
    OpenRawData(dir.Path("data.raw"), text);
    EXPECT_EQ(text, RaisedBetween41And126(body));

    WriteBytes(dir.Path("empty.raw"), "");
    OpenRawData(dir.Path("empty.raw"), text);
    EXPECT_EQ(text, "");
}

TEST(RawData, CorruptDataStopsWithAnErrorAndKeepsWhatWasExpanded) {
    ScratchDir dir;
    std::string text;
    // "abcdef", then a back-reference of distance 7 with only 6 bytes before it.
    const std::string reaching_back = std::string("abcdef") + char(14) + char(42) + char(35) + "zz";
    WriteBytes(dir.Path("back.raw"), reaching_back);
    try {
        OpenRawData(dir.Path("back.raw"), text);
        FAIL() << "no error";
    } catch (const DataError& e) {
        const std::string message = e.what();
        EXPECT_NE(message.find("back.raw"), std::string::npos) << message;
        EXPECT_NE(message.find("distance 7"), std::string::npos) << message;
    }
    EXPECT_EQ(text, "abcdef");

    // A back-reference whose distance bytes are cut off by the end of the file.
    WriteBytes(dir.Path("cut.raw"), std::string("abcdefgh") + char(14) + char(40));
    EXPECT_THROW(OpenRawData(dir.Path("cut.raw"), text), DataError);
    EXPECT_EQ(text, "abcdefgh");

    // Distance 0 and negative distances name no earlier byte either.
    std::string out;
    EXPECT_THROW(ExpandData(std::string("abcdefgh") + char(14) + char(35) + char(35), Literals::Shifted, out),
                 DataError);
    out.clear();
    EXPECT_THROW(ExpandData(std::string("abcdefgh") + char(14) + char(36) + char(0), Literals::Shifted, out),
                 DataError);
}

TEST(RawData, ReaderAndPageDecodersDifferOnlyInTheShift) {
    // Literals, the four escapes, and a copy of distance 8 and length 4.
    const std::string data = std::string("bcd\x01\x02\x03\x04\x7F\xE9", 9) + char(14) + char(43) + char(35);
    std::string raw;
    ExpandData(data, Literals::Shifted, raw);
    EXPECT_EQ(raw, std::string("bcd\t\n\r\"\x7F\xE9", 9) + "cd\t\n");
    std::string page;
    ExpandData(data, Literals::Unshift, page);
    EXPECT_EQ(page, std::string("abc\t\n\r\"\x7E\xE9", 9) + "bc\t\n");
}

TEST(RawData, ReaderReadsAMissingFileAsAnInputOutputError) {
    ScratchDir dir;
    std::string text;
    EXPECT_THROW(OpenRawData(dir.Path("nothing.raw"), text), IoError);
}

}  // namespace
}  // namespace vexel
