// The main window: the file-type box's masks, the preview's rules, the drag
// by the background picture, the tool and link buttons, Start, and the close
// sequence that waits for the closing note.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/about.h"
#include "app/closing_note.h"
#include "app/log_window.h"
#include "app/main_window.h"
#include "app/options_dialog.h"
#include "framework/win32/system_text.h"
#include "app/tip_window.h"
#include "engine/preview_text.h"
#include "framework/win32/timer.h"
#include "tests/app/app_test_support.h"

using namespace vexel;
using namespace vexel::testing;

TEST(FileTypeBox, MapsItsFourTextsExactlyAndLeavesTheMaskForAnyOther) {
    EXPECT_EQ(MaskForFileType("*.HTM;*.HTML", "x"), "*.htm?");
    EXPECT_EQ(MaskForFileType("*.*", "x"), "*.*");
    EXPECT_EQ(MaskForFileType("*.JPG;*.JPEG;*.HTM;*.HTML", "x"), "*.jp*;*.htm?");
    EXPECT_EQ(MaskForFileType("*.JPG;*.JPEG", "x"), "*.jp*");
    for (const char* other : {"*.jpg;*.jpeg", "*.htm;*.html", "*.HTM", " *.*", "*.* ", ""})
        EXPECT_EQ(MaskForFileType(other, "*.htm?"), "*.htm?") << '"' << other << '"';
}

class MainWindow : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        MakeProgramWindows();
        for (const char* name : {"page.htm", "page.HTML", "page.htmx", "notes.txt", "photo.jpg"})
            WriteBytes(dir.Path(name), std::string("<html><body>") + name + "</body></html>\r\n");
        std::filesystem::create_directory(dir.Root() / "old.htm");
        form1->DirectoryListBox1->SetDirectory(dir.Root().string());
    }

    TZelExplorerView* Files() { return form1->ZelExplorerView1; }
    int IndexOf(const std::string& Name) { return Files()->Items()->IndexOf(Name); }

    std::vector<std::string> Listed() {
        std::vector<std::string> names;
        for (int i = 0; i < Files()->Count(); ++i)
            names.push_back(Files()->Items()->Strings(i));
        return names;
    }

    // A click on an item as the list reports it: the item focused, its
    // selection as given.
    void ClickItem(const std::string& Name, bool Select = true) {
        const int index = IndexOf(Name);
        ASSERT_GE(index, 0) << Name;
        Files()->SetItemIndex(index);
        Files()->SetSelected(index, Select);
        form1->ZelExplorerView1Click(Files());
    }

    ScratchDir dir;
};

TEST_F(MainWindow, TheFolderListLeadsTheFileListAndTheFileTypeBoxSetsItsMask) {
    EXPECT_EQ(Files()->Directory(), dir.Root().string());
    // Pages, page.htmx (which "*.htm?" matches too) and the folder named
    // like a page.
    EXPECT_EQ(Listed(), (std::vector<std::string>{"[old.htm]", "page.htm", "page.HTML", "page.htmx"}));
    EXPECT_EQ(form1->ComboBox1->Text(), "*.HTM;*.HTML");

    form1->ComboBox1->SetText("*.JPG;*.JPEG");
    form1->ComboBox1Change(form1->ComboBox1);
    EXPECT_EQ(Listed(), (std::vector<std::string>{"photo.jpg"}));
    form1->ComboBox1->SetText("*.htm;*.html");  // lower case: the mask stays
    form1->ComboBox1Change(form1->ComboBox1);
    EXPECT_EQ(Files()->Mask(), "*.jp*");
    form1->ComboBox1->SetText("*.*");
    form1->ComboBox1Change(form1->ComboBox1);
    EXPECT_EQ(Listed().size(), 6u);
}

TEST_F(MainWindow, PreviewsOnlySelectedPagesAndKeepsTheLastOne) {
    EXPECT_TRUE(form1->Image3->Visible());
    EXPECT_FALSE(form1->Web->Visible());

    // Not pages: nothing changes, not even the preview's first showing.
    ClickItem("page.htmx");
    ClickItem("[old.htm]");
    EXPECT_FALSE(form1->Web->Visible());

    ClickItem("page.htm");
    EXPECT_TRUE(form1->Web->Visible());
    EXPECT_EQ(form1->Sourcecode->Text(), "<html><body>page.htm</body></html>\r\n");
    ClickItem("page.HTML");
    EXPECT_EQ(form1->Sourcecode->Text(), "<html><body>page.HTML</body></html>\r\n");

    // A Ctrl+click that deselects a page sees no file name: the preview stays.
    ClickItem("page.htm", false);
    EXPECT_EQ(form1->Sourcecode->Text(), "<html><body>page.HTML</body></html>\r\n");

    form1->ComboBox1->SetText("*.*");
    form1->ComboBox1Change(form1->ComboBox1);
    ClickItem("notes.txt");
    EXPECT_EQ(form1->Sourcecode->Text(), "<html><body>page.HTML</body></html>\r\n");

    // A page another program holds without sharing: the open error names
    // it, and the preview keeps what it showed.
    const std::string held = dir.Path("page.htm");
    const HANDLE holder = CreateFileA(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    std::string error;
    try {
        ClickItem("page.htm");
    } catch (const Exception& e) {
        error = e.Message();
    }
    CloseHandle(holder);
    EXPECT_EQ(error.rfind("Cannot open file \"" + held + "\"", 0), 0u) << error;
    EXPECT_EQ(form1->Sourcecode->Text(), "<html><body>page.HTML</body></html>\r\n");
}

TEST_F(MainWindow, StartsWhereItBelongsAndIsDraggedByItsBackgroundPicture) {
    EXPECT_EQ(form1->Left(), (Screen->Width() - 634) / 2);
    EXPECT_EQ(form1->Top(), (Screen->Height() - 450) / 2 + 30);
    EXPECT_EQ(form1->Image4->Width(), 636);
    form1->SetBounds(100, 200, form1->Width(), form1->Height());
    form1->Show();

    // Through the window's own mouse messages, at a point where only the
    // picture is; any button holds it.
    const HWND window = form1->Handle();
    SendMessageA(window, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(300, 120));
    EXPECT_TRUE(form1->Dragging());
    SendMessageA(window, WM_MOUSEMOVE, MK_RBUTTON, MAKELPARAM(312, 113));
    EXPECT_EQ(form1->Left(), 112);
    EXPECT_EQ(form1->Top(), 193);
    form1->Image4MouseUp(form1->Image4, mbRight, 0, 312, 113);
    EXPECT_FALSE(form1->Dragging());
    SendMessageA(window, WM_MOUSEMOVE, 0, MAKELPARAM(350, 150));
    EXPECT_EQ(form1->Left(), 112);

    // A press on the panels is no drag.
    SendMessageA(form1->panel5->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(100, 5));
    SendMessageA(form1->panel5->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(100, 5));
    EXPECT_FALSE(form1->Dragging());
}

TEST_F(MainWindow, ButtonsOpenHelpFromTheProgramFolderTheLinksTipsLogAndOptions) {
    // What the app starter would hand the shell for each launch.
    std::vector<std::string> launched;
    form1->StartProgram = [&](int Index) {
        launched.push_back(FromSystem(form1->ZelAppStarter1->LaunchInfo(Index).Info.lpFile));
    };
    // Started from another working folder: the help is the program's.
    SetCurrentDirectoryA(dir.Root().string().c_str());
    form1->ZelIEButton1->Click();
    form1->Help1->Click();
    form1->ZelIEButton4->Click();
    form1->ZelIEButton8->Click();
    EXPECT_EQ(launched,
              (std::vector<std::string>{ProgramFolder() + "\\help.chm", ProgramFolder() + "\\help.chm",
                                        kHomePage, std::string("mailto:") + kMailAddress}));

    form1->SetBounds(100, 200, form1->Width(), form1->Height());
    form1->Show();
    form1->ZelIEButton3->Click();
    EXPECT_TRUE(windows->Log->Visible());
    form1->Tops1->Click();
    EXPECT_TRUE(windows->Form4->Visible());

    ClickItem("page.htm");
    form1->ZelButton1->Click();  // Start
    TSavefileto* options = windows->Savefileto;
    EXPECT_TRUE(options->Visible());
    EXPECT_EQ(options->Left(), 100 + (form1->Width() - options->Width()) / 2);
    // Start again while it shows: brought forward, not placed again.
    options->SetBounds(5, 6, options->Width(), options->Height());
    form1->ZelButton1->Click();
    EXPECT_EQ(options->Left(), 5);
    EXPECT_TRUE(Errors.empty());
}

TEST_F(MainWindow, ClosingShowsTheNoteAndWaitsForItsButtonHandlingMessagesMeanwhile) {
    form1->Show();
    bool mainHiddenMeanwhile = false;
    bool noteShownMeanwhile = false;
    // The user clicks "&Close" a little later: the close handler must sleep
    // until that message comes, not return before it.
    auto* later = new TTimer(form1);
    later->SetInterval(300);
    later->OnTimer = [&](TObject*) {
        later->SetEnabled(false);
        mainHiddenMeanwhile = !form1->Visible();
        noteShownMeanwhile = windows->IMessage->Visible();
        windows->IMessage->ZelButton1->Click();
    };
    form1->Exit1->Click();
    EXPECT_TRUE(mainHiddenMeanwhile);
    EXPECT_TRUE(noteShownMeanwhile);
    EXPECT_FALSE(form1->Visible());
    EXPECT_FALSE(windows->IMessage->ZelButton1->Visible());
    // The splash, the application's main form, was closed: the program ends.
    App()->ProcessMessages();
    EXPECT_TRUE(App()->Terminated());
}

TEST_F(MainWindow, ListsNoBackupThroughItsShortNameAndKeepsTheSelectionWhileTheUserTypes) {
    WriteBytes(dir.Path("page.htm_backup"), "the original");
    form1->ZelExplorerView1->ReadFileNames();
    EXPECT_EQ(IndexOf("page.htm_backup"), -1);
    for (const std::string& name : Listed())
        EXPECT_NE(name.find('~'), 0u) << name;
    EXPECT_EQ(Listed(), (std::vector<std::string>{"[old.htm]", "page.htm", "page.HTML", "page.htmx"}));

    ClickItem("page.htm");
    Files()->SetSelected(IndexOf("page.HTML"), true);
    // Each key typed reaches the change handler; texts the box does not
    // know leave the list and its selection alone, a known one keeps the
    // pages that stay listed selected.
    for (const char* typed : {"*", "*.", "*.H", "*.HTM;*.HTML"}) {
        form1->ComboBox1->SetText(typed);
        form1->ComboBox1Change(form1->ComboBox1);
        EXPECT_EQ(Files()->SelCount(), 2) << typed;
    }
    form1->ComboBox1->SetText("*.*");
    form1->ComboBox1Change(form1->ComboBox1);
    EXPECT_TRUE(Files()->Selected(IndexOf("page.htm")));
    EXPECT_TRUE(Files()->Selected(IndexOf("page.HTML")));
    EXPECT_FALSE(Files()->Selected(IndexOf("notes.txt")));
}

TEST_F(MainWindow, StartWithNothingSelectedSaysSoAndCtrlASelectsEveryItem) {
    std::vector<std::string> notices;
    form1->ShowNotice = [&](const std::string& Text) { notices.push_back(Text); };
    form1->ZelButton1Click(form1->ZelButton1);
    EXPECT_EQ(notices, (std::vector<std::string>{kNothingSelected}));
    EXPECT_FALSE(windows->Savefileto->Visible());

    WORD key = 'A';
    form1->ZelExplorerView1KeyDown(Files(), key, ssCtrl);
    EXPECT_EQ(key, 0);
    EXPECT_EQ(Files()->SelCount(), Files()->Count());
    form1->ZelButton1Click(form1->ZelButton1);
    EXPECT_TRUE(windows->Savefileto->Visible());
    EXPECT_EQ(notices.size(), 1u);
}

TEST_F(MainWindow, ThePreviewShowsThePageAsARunLeftIt) {
    ClickItem("page.htm");
    EXPECT_EQ(form1->Sourcecode->Text(), "<html><body>page.htm</body></html>\r\n");
    WriteBytes(dir.Path("page.htm"), "<html><body>rewritten</body></html>\r\n");
    form1->FilesChanged();
    EXPECT_EQ(form1->Sourcecode->Text(), "<html><body>rewritten</body></html>\r\n");
    EXPECT_TRUE(Files()->Selected(IndexOf("page.htm")));
}

// Every kind of file the program writes or may meet, shown in the window as
// the user sees it: text only, a page of ours named, and never more than a
// bounded share of a large one. The edit control painting a page's carried
// bytes brought the program down.
TEST_F(MainWindow, ThePreviewShowsEveryKindOfFileAsTextAndOnlyItsFirstBytes) {
    std::string rows;
    for (int i = 0; rows.size() < 40000; ++i)
        rows += "<p>Row " + std::to_string(i) + " caf\xC3\xA9</p>";
    const std::string original =
        "<html><head><meta charset=\"utf-8\"><title>t</title></head><body>\r\n" + rows + "\r\n</body></html>\r\n";
    // 50 MB in lines of about 64 KB: the original of a modern page.
    std::string large = "<html><head><title>large</title></head><body>\r\n";
    large.reserve(50u << 20);
    while (large.size() < (50u << 20))
        large += rows + "\r\n";

    JobOptions classic;
    const JobOptions deflate = vexel::testing::CodecOptions(CodecChoice::Deflate);
    const JobOptions lzma = vexel::testing::CodecOptions(CodecChoice::Lzma);
    const JobOptions sealed = vexel::testing::CodecOptions(CodecChoice::Deflate, true);
    const struct {
        const char* name;
        const std::string& page;
        PageFormat format;
        JobOptions options;
        const char* shows;
    } written[] = {
        {"js.htm", original, PageFormat::JavaScript, classic, "Compressed page: JavaScript, classic\r\n"},
        {"vbs.htm", original, PageFormat::VbScript, classic, "Compressed page: VBScript, classic\r\n"},
        {"deflate.htm", original, PageFormat::Modern, deflate, "Compressed page: modern, deflate, not encrypted\r\n"},
        {"lzma.htm", original, PageFormat::Modern, lzma, "Compressed page: modern, LZMA, not encrypted\r\n"},
        {"sealed.htm", original, PageFormat::Modern, sealed, "Compressed page: modern, deflate, encrypted (AES-256-GCM, 1000 key iterations)\r\n"},
        {"large.htm", large, PageFormat::Modern, deflate, "Compressed page: modern, deflate, not encrypted\r\n"},
    };
    for (const auto& page : written) {
        const std::string path = dir.Path(page.name);
        WriteBytes(path, page.page);
        BatchSettings settings;
        settings.Format = page.format;
        RecordingJobHost log;
        BatchHost host;
        ASSERT_EQ(RunBatch({{path, true}}, page.options, settings, log, host).Written, 1) << page.name;
    }
    large.clear();
    large.shrink_to_fit();
    WriteBytes(dir.Path("empty.htm"), "");
    WriteBytes(dir.Path("random.htm"), RandomBytes(200000, 7));
    // Spacing accents where a line starts: Wine's text layout faults on them.
    WriteBytes(dir.Path("accents.htm"), "<meta charset=utf-8>\r\n\xCB\x9C tilde\r\n\t\xCB\x9D\r\n\xCA\xB1\xCA\xB7 h w");
    form1->ZelExplorerView1->ReadFileNames();
    form1->Show();

    std::vector<std::pair<std::string, std::string>> kinds;
    for (const auto& page : written)
        kinds.emplace_back(page.name, page.shows);
    kinds.emplace_back("empty.htm", "[An empty file.]");
    kinds.emplace_back("random.htm", "");
    kinds.emplace_back("accents.htm", "<meta charset=utf-8>\r\n~ tilde\r\n\t\"\r\n'' h w");
    for (const auto& [name, shows] : kinds) {
        ClickItem(name);
        // Laid out and painted, where the system shapes the text.
        UpdateWindow(form1->Sourcecode->Handle());
        App()->ProcessMessages();
        const std::string text = form1->Sourcecode->Text();
        EXPECT_EQ(text.rfind(shows, 0), 0u) << name << ": " << text.substr(0, 120);
        // Each byte shown takes three at most (a mark, a euro sign).
        EXPECT_LE(text.size(), 3 * kPreviewBytes + 1024) << name;
        EXPECT_EQ(text.find('\0'), std::string::npos) << name;
    }
    ClickItem("sealed.htm");
    EXPECT_EQ(form1->Sourcecode->Text().find("Row 1 "), std::string::npos);
    ClickItem("large.htm");
    EXPECT_NE(form1->Sourcecode->Text().find("<p>Row 1 caf\xC3\xA9</p>"), std::string::npos);
    EXPECT_NE(form1->Sourcecode->Text().find(" are not shown.]"), std::string::npos);
    EXPECT_TRUE(Errors.empty());
}
