// Folders and files for the tests of file lists, dialogs and the shell: a
// fresh folder under the system's temporary folder, removed with everything
// in it (whatever its attributes) when the test ends.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

namespace vexel::testing {

class TTempFolder {
  public:
    TTempFolder() {
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        char name[MAX_PATH];
        GetTempFileNameA(temp, "vx", 0, name);  // makes the name unique by making a file
        DeleteFileA(name);
        path_ = name;
        EXPECT_TRUE(CreateDirectoryA(path_.c_str(), nullptr)) << path_;
    }
    ~TTempFolder() { Remove(path_); }
    TTempFolder(const TTempFolder&) = delete;
    TTempFolder& operator=(const TTempFolder&) = delete;

    const std::string& Path() const { return path_; }
    std::string operator/(const std::string& Name) const { return path_ + "\\" + Name; }

    // A file with the given text and attributes, in this folder.
    std::string File(const std::string& Name, DWORD Attributes = 0, const std::string& Text = "x") const {
        std::string path = *this / Name;
        HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        EXPECT_NE(file, INVALID_HANDLE_VALUE) << path;
        DWORD written = 0;
        WriteFile(file, Text.data(), static_cast<DWORD>(Text.size()), &written, nullptr);
        CloseHandle(file);
        if (Attributes)
            SetFileAttributesA(path.c_str(), Attributes);
        return path;
    }

    std::string Folder(const std::string& Name) const {
        std::string path = *this / Name;
        EXPECT_TRUE(CreateDirectoryA(path.c_str(), nullptr)) << path;
        return path;
    }

  private:
    static void Remove(const std::string& Path) {
        WIN32_FIND_DATAA data{};
        HANDLE find = FindFirstFileA((Path + "\\*").c_str(), &data);
        if (find != INVALID_HANDLE_VALUE) {
            do {
                std::string name = data.cFileName;
                if (name == "." || name == "..")
                    continue;
                std::string child = Path + "\\" + name;
                SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
                if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                    Remove(child);
                else
                    DeleteFileA(child.c_str());
            } while (FindNextFileA(find, &data));
            FindClose(find);
        }
        RemoveDirectoryA(Path.c_str());
    }

    std::string path_;
};

// The items of a list as one string, "a|b|c", for readable comparisons.
template <class TList>
std::string ItemsOf(TList* List) {
    std::string joined;
    for (int i = 0; i < List->Items()->Count(); ++i)
        joined += (i ? "|" : "") + List->Items()->Strings(i);
    return joined;
}

}  // namespace vexel::testing
