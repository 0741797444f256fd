#include <windows.h>

#include <vector>

#include "platform/wide_text.h"
#include "system/windows_media.h"

namespace vexel {

namespace {

// The file's sections, keys and values are UTF-8 here and go through the W
// functions.
std::wstring Wide(const std::string& Text) {
    return platform::WidenExact(Text);
}

// The W functions write a file in the ANSI code page, losing what it cannot
// hold, unless the file starts with a UTF-16 byte order mark: a new file
// gets one. An existing file is left as it is.
void StartUnicodeFile(const std::wstring& Path) {
    HANDLE file = CreateFileW(Path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;  // there already, or not to be made: the write reports that
    const unsigned char mark[] = {0xFF, 0xFE};
    DWORD written = 0;
    WriteFile(file, mark, sizeof mark, &written, nullptr);
    CloseHandle(file);
}

}  // namespace

std::string TWindowsProfiles::ReadString(const std::string& FileName,
                                         const std::string& Section,
                                         const std::string& Key,
                                         const std::string& Default,
                                         size_t BufferSize) {
    if (BufferSize == 0)
        return std::string();
    std::vector<wchar_t> buffer(BufferSize);
    DWORD length = GetPrivateProfileStringW(Wide(Section).c_str(), Wide(Key).c_str(), Wide(Default).c_str(),
                                            buffer.data(), static_cast<DWORD>(BufferSize),
                                            platform::SystemPath(FileName).c_str());
    return platform::Narrow(std::wstring(buffer.data(), length));
}

bool TWindowsProfiles::WriteString(const std::string& FileName,
                                   const std::string& Section,
                                   const std::string& Key,
                                   const std::string& Value) {
    const std::wstring path = platform::SystemPath(FileName);
    // A bare name is a file of the Windows folder to the profile functions,
    // not of the working folder.
    const bool bare = FileName.find_first_of("\\/:") == std::string::npos;
    StartUnicodeFile(bare ? platform::SystemPath(WindowsFolder() + "\\" + FileName) : path);
    return WritePrivateProfileStringW(Wide(Section).c_str(), Wide(Key).c_str(), Wide(Value).c_str(), path.c_str()) !=
           FALSE;
}

std::string TWindowsProfiles::WindowsFolder() {
    wchar_t folder[MAX_PATH + 1] = {};
    UINT length = GetWindowsDirectoryW(folder, ARRAYSIZE(folder));
    return length && length < ARRAYSIZE(folder) ? platform::Narrow(std::wstring(folder, length)) : std::string();
}

}  // namespace vexel
