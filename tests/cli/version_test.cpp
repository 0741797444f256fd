// One version for the whole project: what `vexel --version` prints, and on
// Windows the version information that vexel.exe and HtmlVexel.exe carry.
#include <gtest/gtest.h>

#include <cstdlib>
#include <regex>
#include <sstream>
#include <string>

#include "cli/options.h"
#include "cli/vexel.h"
#include "vexel_version.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace vexel::cli {
namespace {

TEST(Version, IsThreeNumbersMatchingItsParts) {
    const std::string version = VEXEL_VERSION;
    EXPECT_TRUE(std::regex_match(version, std::regex("[0-9]+\\.[0-9]+\\.[0-9]+"))) << version;
    EXPECT_EQ(version, std::to_string(VEXEL_VERSION_MAJOR) + "." + std::to_string(VEXEL_VERSION_MINOR) + "." +
                           std::to_string(VEXEL_VERSION_PATCH));
}

TEST(Version, PrintedByBothSpellingsOnStandardOutput) {
    for (const char* option : {"--version", "-V"}) {
        std::ostringstream out, err;
        EXPECT_EQ(RunVexel({option}, out, err), kExitOk) << option;
        EXPECT_EQ(out.str(), std::string("vexel ") + VEXEL_VERSION + "\n") << option;
        EXPECT_TRUE(err.str().empty()) << err.str();
    }
}

#ifdef _WIN32
// The fixed part of the version resource and its "FileVersion" and
// "ProductVersion" strings, read the way Explorer's property sheet reads them.
struct ResourceVersion {
    bool found = false;
    DWORD fileMs = 0, fileLs = 0;
    std::string fileVersion, productVersion, originalName;
};

ResourceVersion ReadResourceVersion(const std::string& path) {
    ResourceVersion result;
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &handle);
    if (size == 0)
        return result;
    std::string block(size, '\0');
    if (!GetFileVersionInfoA(path.c_str(), 0, size, block.data()))
        return result;
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length) && fixed != nullptr) {
        result.found = true;
        result.fileMs = fixed->dwFileVersionMS;
        result.fileLs = fixed->dwFileVersionLS;
    }
    auto text = [&](const char* name) {
        char* value = nullptr;
        UINT chars = 0;
        const std::string key = std::string("\\StringFileInfo\\040904B0\\") + name;
        if (VerQueryValueA(block.data(), key.c_str(), reinterpret_cast<void**>(&value), &chars) && value)
            return std::string(value);
        return std::string();
    };
    result.fileVersion = text("FileVersion");
    result.productVersion = text("ProductVersion");
    result.originalName = text("OriginalFilename");
    return result;
}

TEST(Version, ProgramFilesCarryTheProjectVersion) {
    const char* binary = std::getenv("VEXEL_BINARY_DIR");
    ASSERT_NE(binary, nullptr);
    for (const std::string name : {"cli/vexel.exe", "app/HtmlVexel.exe"}) {
        const std::string path = std::string(binary) + "/" + name;
        if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
            // HtmlVexel.exe is built with the desktop program; vexel.exe always.
            ASSERT_NE(name, "cli/vexel.exe") << path << " is missing";
            continue;
        }
        const ResourceVersion version = ReadResourceVersion(path);
        ASSERT_TRUE(version.found) << path << " has no version resource";
        EXPECT_EQ(HIWORD(version.fileMs), VEXEL_VERSION_MAJOR) << path;
        EXPECT_EQ(LOWORD(version.fileMs), VEXEL_VERSION_MINOR) << path;
        EXPECT_EQ(HIWORD(version.fileLs), VEXEL_VERSION_PATCH) << path;
        EXPECT_EQ(version.fileVersion, VEXEL_VERSION) << path;
        EXPECT_EQ(version.productVersion, VEXEL_VERSION) << path;
        EXPECT_EQ(version.originalName, name.substr(name.find('/') + 1)) << path;
    }
}
#endif

}  // namespace
}  // namespace vexel::cli
