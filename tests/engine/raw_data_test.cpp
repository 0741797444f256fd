// The raw data commands: saving the working string and expanding a bare data
// string, including data the encoder cannot have made.
#include <gtest/gtest.h>

#include <filesystem>

#include "engine/compression_job.h"
#include "engine/data_format.h"
#include "engine/errors.h"
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
    CompressionJob job(host);
    std::string body;
    for (int i = 0; i < 300; ++i) {
        body += "<li class=\"item\">Item " + std::to_string(i) + "\t(\"quoted\")</li>\r\n";
    }
    WriteBytes(dir.Path("p.htm"), PageWithBody(body));
    job.Openfile = dir.Path("p.htm");
    job.Options.RemoveUnuseful = false;
    ASSERT_TRUE(job.CompressClick());
    const std::string data = job.WorkText;

    host.dialog_answer = dir.Path("data.raw");
    job.Button3Click();
    EXPECT_EQ(ReadBytes(dir.Path("data.raw")), data);

    job.Button4Click();
    EXPECT_EQ(job.WorkText, RaisedBetween41And126(body));
    EXPECT_TRUE(host.opened);
    EXPECT_TRUE(host.saved);
}

TEST(RawData, EmptyFileAndCancelledDialogs) {
    ScratchDir dir;
    RecordingJobHost host;
    CompressionJob job(host);
    WriteBytes(dir.Path("empty.raw"), "");
    job.WorkText = "old";
    host.dialog_answer = dir.Path("empty.raw");
    job.Button4Click();
    EXPECT_EQ(job.WorkText, "");

    job.WorkText = "old";
    host.dialog_answer.clear();
    job.Button4Click();  // cancelled: the working string is emptied all the same
    EXPECT_EQ(job.WorkText, "");
    job.WorkText = "keep";
    job.Button3Click();  // cancelled: nothing written
    EXPECT_TRUE(std::filesystem::is_empty(dir.Root()) ||
                std::filesystem::directory_iterator(dir.Root())->path().filename() == "empty.raw");
    EXPECT_EQ(job.WorkText, "keep");
}

TEST(RawData, CorruptDataStopsWithAnErrorAndKeepsWhatWasExpanded) {
    ScratchDir dir;
    RecordingJobHost host;
    CompressionJob job(host);
    // "abcdef", then a back-reference of distance 7 with only 6 bytes before it.
    const std::string reaching_back = std::string("abcdef") + char(14) + char(42) + char(35) + "zz";
    WriteBytes(dir.Path("back.raw"), reaching_back);
    try {
        job.OpenRawData(dir.Path("back.raw"));
        FAIL() << "no error";
    } catch (const DataError& e) {
        const std::string message = e.what();
        EXPECT_NE(message.find("back.raw"), std::string::npos) << message;
        EXPECT_NE(message.find("distance 7"), std::string::npos) << message;
    }
    EXPECT_EQ(job.WorkText, "abcdef");

    // A back-reference whose distance bytes are cut off by the end of the file.
    WriteBytes(dir.Path("cut.raw"), std::string("abcdefgh") + char(14) + char(40));
    EXPECT_THROW(job.OpenRawData(dir.Path("cut.raw")), DataError);
    EXPECT_EQ(job.WorkText, "abcdefgh");

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
    RecordingJobHost host;
    CompressionJob job(host);
    EXPECT_THROW(job.OpenRawData(dir.Path("nothing.raw")), IoError);
}

}  // namespace
}  // namespace vexel
