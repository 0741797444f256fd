// The compression window's handlers, one page at a time on its fields:
// CompressClick, SaveJClick and SaveClick give the engine's page, the
// working string follows each step, and the raw data buttons ask for a file.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/conn.h"
#include "engine/classic_page.h"
#include "tests/app/app_test_support.h"

using namespace vexel;
using namespace vexel::testing;

namespace {

constexpr char kNoBody[] = "Error  <BODY> No found ! (Break)";
constexpr char kHead[] = "<html><head></head><body bgcolor=white>";

// "[" is the literal that the data string carries as a backslash.
const std::string kBody = "<p>a [b] c</p>" + std::string(1100, 'x');

}  // namespace

class ConnHandlers : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        MakeWindows();
        conn = windows->Conn;
        conn->ChooseFile = [this](FileDialog Dialog, std::string& Path) {
            asked.push_back(Dialog);
            if (answer.empty())
                return false;
            Path = answer;
            return true;
        };
    }

    // Puts `Bytes` in a page and names it in both path fields.
    std::string Page(const std::string& Bytes) {
        const std::string path = dir.Path("page.htm");
        WriteBytes(path, Bytes);
        conn->Openfile->SetText(path);
        conn->Savefile->SetText(path);
        return path;
    }

    TConn* conn = nullptr;
    ScratchDir dir;
    std::string answer;  // the file the dialogs give; empty: cancelled
    std::vector<FileDialog> asked;
};

TEST_F(ConnHandlers, CompressThenSaveWritesTheEnginesPage) {
    const std::string source = kHead + kBody;
    const std::string path = Page(source);
    ASSERT_TRUE(conn->CompressClick());
    EXPECT_EQ(conn->Edit1->Text(), kHead);
    EXPECT_EQ(conn->CharCount(), static_cast<int32_t>(source.size()));
    const std::string data = conn->WorkText();
    ASSERT_NE(data.find('\\'), std::string::npos);

    conn->SaveJClick();
    EXPECT_EQ(ReadBytes(path), EnginePage(source, JobOptions{}, true));
    // The working string keeps its backslashes doubled, as the JavaScript
    // page holds it; a VBScript page written next carries it so.
    EXPECT_EQ(conn->WorkText(), DoubleBackslashes(data));
    const std::vector<std::string> lines = Lines(conn->Memo1->Lines());
    ASSERT_GE(lines.size(), 5u);
    EXPECT_EQ(lines[2], "Openfile:" + path);
    EXPECT_EQ(lines[lines.size() - 2], "Compresssed to:" + path);
    EXPECT_EQ(lines.back(), "  Rate=" + std::to_string(source.size()) + "Byte /" +
                                std::to_string(std::string(kHead).size() + DoubleBackslashes(data).size()) +
                                "Byte");

    Page(source);
    ASSERT_TRUE(conn->CompressClick());
    conn->SaveClick();
    EXPECT_EQ(ReadBytes(path), EnginePage(source, JobOptions{}, false));
    EXPECT_EQ(conn->WorkText(), data);
    EXPECT_TRUE(Errors.empty());
}

TEST_F(ConnHandlers, PageWithoutBodyTagKeepsTheHeadBefore) {
    Page(kHead + kBody);
    ASSERT_TRUE(conn->CompressClick());
    const std::string path = Page("<html>no tag here</html>");
    EXPECT_FALSE(conn->CompressClick());
    EXPECT_EQ(conn->Edit1->Text(), kHead);
    EXPECT_EQ(Lines(conn->Memo1->Lines()).back(), kNoBody);
    EXPECT_TRUE(conn->haveError->Visible());
    EXPECT_EQ(ReadBytes(path), "<html>no tag here</html>");
}

TEST_F(ConnHandlers, EmptySourceFieldReadsNothingAndUnreadableSourceLogsNothing) {
    conn->Openfile->SetText("");
    EXPECT_FALSE(conn->CompressClick());
    EXPECT_EQ(Lines(conn->Memo1->Lines()), std::vector<std::string>{kNoBody});
    EXPECT_EQ(conn->CharCount(), 0);
    EXPECT_TRUE(conn->haveError->Visible());

    conn->Memo1->Lines()->Clear();
    conn->Openfile->SetText(dir.Path("missing.htm"));
    try {
        conn->CompressClick();
        FAIL() << "no error";
    } catch (const EInOutError& e) {
        EXPECT_NE(std::string(e.Message()).find("missing.htm"), std::string::npos) << e.Message();
    }
    EXPECT_EQ(conn->Memo1->Lines()->Count(), 0);
}

TEST_F(ConnHandlers, EmptyDestinationFieldWritesAndLogsNothing) {
    const std::string path = Page(kHead + kBody);
    ASSERT_TRUE(conn->CompressClick());
    const std::string data = conn->WorkText();
    const int lines = conn->Memo1->Lines()->Count();
    conn->Savefile->SetText("");
    conn->SaveClick();
    conn->SaveJClick();
    EXPECT_EQ(conn->Memo1->Lines()->Count(), lines);
    EXPECT_EQ(ReadBytes(path), kHead + kBody);
    EXPECT_EQ(conn->WorkText(), DoubleBackslashes(data));
}

TEST_F(ConnHandlers, RawDataButtonsAskForAFile) {
    Page(kHead + kBody);
    ASSERT_TRUE(conn->CompressClick());
    const std::string data = conn->WorkText();

    answer = dir.Path("data.raw");
    conn->Button3->Click();
    EXPECT_EQ(ReadBytes(answer), data);
    conn->Button4->Click();
    ASSERT_GE(conn->WorkText().size(), kBody.size());
    EXPECT_EQ(conn->WorkText().substr(0, 4), "=q?b");  // "<p>a" with its literals raised by one
    EXPECT_EQ(asked, (std::vector<FileDialog>{FileDialog::Save, FileDialog::Open}));

    // Cancelled: Button4 empties the working string all the same, Button3
    // writes nothing.
    answer.clear();
    conn->Button4->Click();
    EXPECT_EQ(conn->WorkText(), "");
    std::filesystem::remove(dir.Path("data.raw"));
    conn->Button3->Click();
    EXPECT_FALSE(std::filesystem::exists(dir.Path("data.raw")));
    EXPECT_TRUE(Errors.empty());
}
