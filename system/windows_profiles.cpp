#include <windows.h>

#include <vector>

#include "system/windows_media.h"

namespace vexel {

std::string TWindowsProfiles::ReadString(const std::string& FileName,
                                         const std::string& Section,
                                         const std::string& Key,
                                         const std::string& Default,
                                         size_t BufferSize) {
    if (BufferSize == 0)
        return std::string();
    std::vector<char> buffer(BufferSize);
    DWORD length = GetPrivateProfileStringA(Section.c_str(), Key.c_str(), Default.c_str(), buffer.data(),
                                            static_cast<DWORD>(BufferSize), FileName.c_str());
    return std::string(buffer.data(), length);
}

bool TWindowsProfiles::WriteString(const std::string& FileName,
                                   const std::string& Section,
                                   const std::string& Key,
                                   const std::string& Value) {
    return WritePrivateProfileStringA(Section.c_str(), Key.c_str(), Value.c_str(), FileName.c_str()) != FALSE;
}

std::string TWindowsProfiles::WindowsFolder() {
    char folder[MAX_PATH + 1] = {};
    UINT length = GetWindowsDirectoryA(folder, sizeof folder);
    return length && length < sizeof folder ? std::string(folder, length) : std::string();
}

}  // namespace vexel
