// Text in any script through the framework's windows: window text, list and
// combo items, the file list over names in four scripts inside a folder with
// a non-ASCII name, and a folder deeper than MAX_PATH.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "framework/win32/combo_box.h"
#include "framework/win32/edits.h"
#include "framework/win32/file_controls.h"
#include "framework/win32/forms.h"
#include "framework/win32/list_box.h"
#include "framework/win32/system_text.h"
#include "platform/wide_text.h"
#include "tests/framework/win32_test_support.h"

using namespace vexel;
using vexel::testing::FrameworkTest;

namespace {

const std::vector<std::string> kNames = {"Grüße.html", "карта.htm", "日本語.htm", "😀 smile.htm"};

// A fresh folder named in two scripts, made and removed with the wide
// functions.
class TWideFolder {
public:
    TWideFolder() {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        path_ = FromSystem(temp) + "vexel Ordner ü " + std::to_string(GetCurrentProcessId()) + " " +
                std::to_string(GetTickCount());
        EXPECT_TRUE(CreateDirectoryW(platform::SystemPath(path_).c_str(), nullptr)) << path_;
    }
    ~TWideFolder() { Remove(path_); }
    const std::string& Path() const { return path_; }

    static std::string MakeFile(const std::string& Path, const std::string& Text) {
        HANDLE file = CreateFileW(platform::SystemPath(Path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        EXPECT_NE(file, INVALID_HANDLE_VALUE) << Path;
        DWORD written = 0;
        WriteFile(file, Text.data(), static_cast<DWORD>(Text.size()), &written, nullptr);
        CloseHandle(file);
        return Path;
    }

private:
    static void Remove(const std::string& Path) {
        WIN32_FIND_DATAW data{};
        HANDLE find = FindFirstFileW(platform::SystemPath(Path + "\\*").c_str(), &data);
        if (find != INVALID_HANDLE_VALUE) {
            do {
                std::wstring name = data.cFileName;
                if (name == L"." || name == L"..")
                    continue;
                std::string child = Path + "\\" + FromSystem(name);
                if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                    Remove(child);
                else
                    DeleteFileW(platform::SystemPath(child).c_str());
            } while (FindNextFileW(find, &data));
            FindClose(find);
        }
        RemoveDirectoryW(platform::SystemPath(Path).c_str());
    }
    std::string path_;
};

class Unicode : public FrameworkTest {
protected:
    TForm* NewForm() {
        auto* form = new TForm(App());
        form->SetBounds(40, 40, 400, 300);
        return form;
    }
};

TEST_F(Unicode, WindowTextAndItemsKeepEveryScript) {
    TForm* form = NewForm();
    const std::string caption = "Größe — карта 日本語 😀";
    form->SetCaption(caption);
    form->HandleNeeded();
    EXPECT_EQ(form->Caption(), caption);
    EXPECT_EQ(WindowText(form->Handle()), caption);
    // The system holds the text as UTF-16, not as bytes of a code page.
    wchar_t held[64] = {};
    GetWindowTextW(form->Handle(), held, 64);
    EXPECT_EQ(std::wstring(held), platform::Widen(caption));

    auto* list = new TListBox(form);
    list->SetParent(form);
    auto* combo = new TComboBox(form);
    combo->SetParent(form);
    auto* memo = new TMemo(form);
    memo->SetParent(form);
    for (const std::string& name : kNames) {
        list->Items()->Add(name);
        combo->Items()->Add(name);
        memo->Lines()->Add(name);
    }
    for (size_t i = 0; i < kNames.size(); ++i) {
        EXPECT_EQ(list->Items()->Strings(static_cast<int>(i)), kNames[i]);
        EXPECT_EQ(combo->Items()->Strings(static_cast<int>(i)), kNames[i]);
        EXPECT_EQ(memo->Lines()->Strings(static_cast<int>(i)), kNames[i]);
    }
    EXPECT_EQ(list->Items()->IndexOf("日本語.htm"), 2);
}

TEST_F(Unicode, TheFileListShowsRealNamesInsideANonAsciiFolderAndBeyondMaxPath) {
    TWideFolder folder;
    for (const std::string& name : kNames)
        TWideFolder::MakeFile(folder.Path() + "\\" + name, "<html>" + name + "</html>");
    TForm* form = NewForm();
    auto* files = new TFileListBox(form);
    files->SetParent(form);
    files->SetMask("*.htm;*.html");
    files->SetDirectory(folder.Path());
    ASSERT_EQ(files->Count(), static_cast<int>(kNames.size()));
    for (const std::string& name : kNames)
        EXPECT_GE(files->Items()->IndexOf(name), 0) << name;
    EXPECT_EQ(files->Items()->IndexOf("?????.htm"), -1);

    // A folder whose path is longer than MAX_PATH: its page is still listed.
    std::string deep = folder.Path();
    while (deep.size() < 300) {
        deep += "\\ein sehr langer Ordnername ü";
        ASSERT_TRUE(CreateDirectoryW(platform::SystemPath(deep).c_str(), nullptr)) << deep.size();
    }
    TWideFolder::MakeFile(deep + "\\tief.htm", "<html></html>");
    files->SetDirectory(deep);
    EXPECT_EQ(files->Directory(), deep);
    ASSERT_EQ(files->Count(), 1);
    EXPECT_EQ(files->Items()->Strings(0), "tief.htm");
}

}  // namespace
