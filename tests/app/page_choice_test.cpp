// Pages handed to the program from outside: its command line split as the
// system splits it, and what a list of paths (command line or drop) selects
// in the main window.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "app/page_choice.h"
#include "tests/app/app_test_support.h"

using namespace vexel;
using namespace vexel::testing;

TEST(CommandLine, SplitsAsTheSystemDoesAndKeepsEveryCharacterInUtf8) {
    EXPECT_TRUE(ArgumentsOf(std::wstring()).empty());
    EXPECT_TRUE(ArgumentsOf(L"HtmlVexel.exe").empty());
    EXPECT_EQ(ArgumentsOf(L"\"C:\\Program Files\\HtmlVexel.exe\" \"C:\\my site\\a.htm\" b.html"),
              (std::vector<std::string>{"C:\\my site\\a.htm", "b.html"}));
    // Gr\u00fc\u00dfe and \u65e5\u672c: names no Western code page holds both of.
    EXPECT_EQ(ArgumentsOf(L"x.exe \"C:\\Gr\u00fc\u00dfe\\\u65e5\u672c.htm\""),
              (std::vector<std::string>{"C:\\Gr\xc3\xbc\xc3\x9f" "e\\\xe6\x97\xa5\xe6\x9c\xac.htm"}));
}

class PageChoice : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"b.htm", "a.HTML", "notes.txt", "a.HTML_backup"})
            WriteBytes(dir.Path(name), "<html><body>x</body></html>");
        std::filesystem::create_directory(dir.Root() / "sub");
        std::filesystem::create_directory(dir.Root() / "folder.htm");
        WriteBytes((dir.Root() / "sub" / "inner.htm").string(), "<html><body>y</body></html>");
    }
    std::string Root() const { return dir.Root().string(); }
    ScratchDir dir;
};

TEST_F(PageChoice, AFolderSelectsItsOwnPagesOnlyNeitherBackupsNorSubFolders) {
    const TPageChoice choice = ChoosePages({Root() + "\\"});
    EXPECT_EQ(choice.Folder, Root());
    EXPECT_EQ(choice.Names, (std::vector<std::string>{"a.HTML", "b.htm"}));
    EXPECT_TRUE(choice.Refused.empty());
}

TEST_F(PageChoice, PagesOpenTheFolderOfTheFirstAndWhatCannotBeTakenIsNamedWithItsReason) {
    const TPageChoice choice =
        ChoosePages({dir.Path("missing.htm"), dir.Path("b.htm"), dir.Path("notes.txt"), dir.Path("a.HTML_backup"),
                     (dir.Root() / "sub" / "inner.htm").string(), (dir.Root() / "sub").string(), dir.Path("a.HTML")});
    EXPECT_EQ(choice.Folder, Root());
    EXPECT_EQ(choice.Names, (std::vector<std::string>{"b.htm", "a.HTML"}));
    ASSERT_EQ(choice.Refused.size(), 5u);
    EXPECT_EQ(choice.Refused[0], "\"" + dir.Path("missing.htm") + "\": no such file or folder");
    EXPECT_EQ(choice.Refused[1], "\"" + dir.Path("notes.txt") + "\": not a page (.htm or .html)");
    EXPECT_EQ(choice.Refused[2], "\"" + dir.Path("a.HTML_backup") + "\": not a page (.htm or .html)");
    EXPECT_NE(choice.Refused[3].find("not in the folder shown"), std::string::npos) << choice.Refused[3];
    EXPECT_NE(choice.Refused[4].find("not the folder shown"), std::string::npos) << choice.Refused[4];

    const TPageChoice nothing = ChoosePages({dir.Path("gone"), ""});
    EXPECT_TRUE(nothing.Folder.empty());
    EXPECT_TRUE(nothing.Names.empty());
    EXPECT_EQ(nothing.Refused.size(), 1u);
}

class PagesFromOutside : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        MakeProgramWindows();
        form1->ShowNotice = [this](const std::string& Text) { notices.push_back(Text); };
        for (const char* name : {"one.htm", "two.html", "three.htm"})
            WriteBytes(dir.Path(name), std::string("<html><body>") + name + "</body></html>");
    }

    std::vector<std::string> SelectedNames() {
        std::vector<std::string> names;
        TZelExplorerView* files = form1->ZelExplorerView1;
        for (int i = 0; i < files->Count(); ++i)
            if (files->Selected(i))
                names.push_back(files->Items()->Strings(i));
        return names;
    }

    ScratchDir dir;
    std::vector<std::string> notices;
};

TEST_F(PagesFromOutside, TheCommandLineOpensTheFolderSelectsThePagesAndTellsWhatItLeftOnFirstShow) {
    form1->SelectAtStart({dir.Path("three.htm"), dir.Path("one.htm"), dir.Path("nowhere.htm")});
    EXPECT_EQ(form1->DirectoryListBox1->Directory(), dir.Root().string());
    EXPECT_EQ(form1->ZelExplorerView1->Directory(), dir.Root().string());
    EXPECT_EQ(SelectedNames(), (std::vector<std::string>{"one.htm", "three.htm"}));
    // The first selected page is previewed.
    EXPECT_TRUE(form1->Web->Visible());
    EXPECT_NE(form1->Sourcecode->Lines()->Text().find("one.htm"), std::string::npos);
    EXPECT_TRUE(notices.empty());
    form1->Show();
    // Right after the show, not inside it.
    EXPECT_TRUE(notices.empty());
    for (int i = 0; i < 500 && notices.empty(); ++i) {
        Sleep(10);
        App()->ProcessMessages();
    }
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_NE(notices[0].find("nowhere.htm\": no such file or folder"), std::string::npos) << notices[0];
    form1->Hide();
    form1->Show();
    Sleep(50);
    App()->ProcessMessages();
    EXPECT_EQ(notices.size(), 1u);
}

TEST_F(PagesFromOutside, ADroppedFolderSelectsItsPagesAndADropOfNothingUsableSaysWhy) {
    TStringList dropped;
    dropped.Add(dir.Root().string());
    form1->ZelFormManager1DropFiles(form1->ZelFormManager1, 10, 10, &dropped, 1);
    EXPECT_EQ(SelectedNames(), (std::vector<std::string>{"one.htm", "three.htm", "two.html"}));
    EXPECT_TRUE(notices.empty());

    TStringList again;
    again.Add(dir.Path("two.html"));
    form1->ZelFormManager1DropFiles(form1->ZelFormManager1, 10, 10, &again, 1);
    EXPECT_EQ(SelectedNames(), (std::vector<std::string>{"two.html"}));

    TStringList bad;
    bad.Add(dir.Path("nothing-here"));
    form1->ZelFormManager1DropFiles(form1->ZelFormManager1, 10, 10, &bad, 1);
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(SelectedNames(), (std::vector<std::string>{"two.html"}));
}
