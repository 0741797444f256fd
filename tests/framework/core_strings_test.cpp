// TStringList: editing, the CR LF text form, searching, copying and files.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

#include "framework/core/string_list.h"
#include "framework/core/sysutils.h"

using namespace vexel;

TEST(StringList, EditsKeepOrder) {
    TStringList list;
    EXPECT_EQ(list.Add("b"), 0);
    EXPECT_EQ(list.Add("d"), 1);
    list.Insert(0, "a");
    list.Insert(2, "c");
    list.Delete(3);
    ASSERT_EQ(list.Count(), 3);
    EXPECT_EQ(list.Strings(0), "a");
    EXPECT_EQ(list.Strings(2), "c");
    list.SetStrings(1, "B");
    EXPECT_EQ(list.Strings(1), "B");
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
}

TEST(StringList, BadIndicesRaiseListErrors) {
    TStringList list;
    list.Add("only");
    try {
        list.Strings(3);
        FAIL();
    } catch (const EStringListError& e) {
        EXPECT_EQ(e.Message(), "List index out of bounds (3)");
    }
    EXPECT_THROW(list.Delete(1), EStringListError);
    EXPECT_THROW(list.Insert(2, "x"), EStringListError);
    EXPECT_THROW(list.Strings(-1), EStringListError);
}

TEST(StringList, TextEndsEveryLineWithCrLf) {
    TStringList list;
    EXPECT_EQ(list.Text(), "");
    list.Add("one");
    list.Add("");
    list.Add("three");
    EXPECT_EQ(list.Text(), "one\r\n\r\nthree\r\n");
}

TEST(StringList, SetTextSplitsAtAnyLineBreak) {
    TStringList list;
    list.SetText("a\r\nb\nc\rd");
    EXPECT_EQ(list.Count(), 4);
    EXPECT_EQ(list.Strings(3), "d");

    list.SetText("x\r\n");  // a break at the end adds no empty line
    EXPECT_EQ(list.Count(), 1);
    list.SetText("x\r\r\ny");  // CR then CR LF: one empty line between
    ASSERT_EQ(list.Count(), 3);
    EXPECT_EQ(list.Strings(1), "");
    list.SetText("\r\n");
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(list.Strings(0), "");
    list.SetText("");
    EXPECT_EQ(list.Count(), 0);
}

TEST(StringList, IndexOfIgnoresCaseUnlessAsked) {
    TStringList list;
    list.Add("clRed");
    list.Add("Index.HTM");
    EXPECT_EQ(list.IndexOf("index.htm"), 1);
    EXPECT_EQ(list.IndexOf("clBlue"), -1);
    list.SetCaseSensitive(true);
    EXPECT_EQ(list.IndexOf("index.htm"), -1);
    EXPECT_EQ(list.IndexOf("Index.HTM"), 1);
}

TEST(StringList, AssignCopiesLinesAndObjects) {
    TStringList source, dest;
    TStringList marker;
    source.AddObject("a", &marker);
    source.Add("b");
    dest.Add("old");
    dest.Assign(&source);
    ASSERT_EQ(dest.Count(), 2);
    EXPECT_EQ(dest.Objects(0), &marker);
    source.SetStrings(0, "changed");
    EXPECT_EQ(dest.Strings(0), "a");  // a copy, not a link
}

TEST(StringList, AssignFromSomethingElseFails) {
    class TNotStrings : public TPersistent {};
    TNotStrings other;
    TStringList list;
    try {
        list.Assign(&other);
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "Cannot assign a TNotStrings to a TStringList");
    }
}

TEST(StringList, OnChangeFiresOncePerBatch) {
    TStringList list;
    int changes = 0;
    list.OnChange = [&](TObject* sender) {
        EXPECT_EQ(sender, &list);
        ++changes;
    };
    list.Add("a");
    EXPECT_EQ(changes, 1);
    list.SetText("x\r\ny\r\nz");
    EXPECT_EQ(changes, 2);
    list.BeginUpdate();
    list.Add("1");
    list.Delete(0);
    list.EndUpdate();
    EXPECT_EQ(changes, 3);
    list.BeginUpdate();
    list.EndUpdate();
    EXPECT_EQ(changes, 3);  // nothing changed, nothing fired
}

TEST(StringList, FilesLoadAsTextAndSaveWithCrLfUnderNamesInAnyScript) {
    namespace fs = std::filesystem;
    fs::path folder = fs::temp_directory_path() / ("vexel-strings-" + std::to_string(std::random_device()()));
    fs::create_directories(folder);
    // UTF-8 names, as everywhere in the program.
    std::string name = (folder / fs::u8path("Журнал 日本 😀.txt")).u8string();
    { std::ofstream(fs::u8path(name), std::ios::binary) << "Source:\tindex.htm\nRate=52%\r\n\r\nlast"; }
    TStringList list;
    list.Add("old");
    list.LoadFromFile(name);
    ASSERT_EQ(list.Count(), 4);
    EXPECT_EQ(list.Strings(0), "Source:\tindex.htm");
    EXPECT_EQ(list.Strings(2), "");
    EXPECT_EQ(list.Strings(3), "last");

    list.SaveToFile(name);
    std::ifstream file(fs::u8path(name), std::ios::binary);
    std::string saved((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    EXPECT_EQ(saved, "Source:\tindex.htm\r\nRate=52%\r\n\r\nlast\r\n");
    file.close();

    std::string missing = (folder / "missing.txt").u8string();
    try {
        list.LoadFromFile(missing);
        FAIL();
    } catch (const EFOpenError& e) {
        EXPECT_EQ(e.Message().rfind("Cannot open file \"" + missing + "\". ", 0), 0u) << e.Message();
    }
    EXPECT_EQ(list.Count(), 4);  // a failed load leaves the lines alone
    EXPECT_THROW(list.SaveToFile((folder / "no" / "such" / "dir.txt").string()), EFCreateError);
    std::error_code error;
    fs::remove_all(folder, error);
}
