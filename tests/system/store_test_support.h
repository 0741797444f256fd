// A fixture that runs a store test against each medium this system has: our
// own registry and profile files everywhere, and the platform's on Windows.
// Every test works in a registry key and a folder of its own, both removed
// afterwards, so no real setting is ever touched.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <ostream>
#include <random>
#include <sstream>
#include <string>

#include "system/portable_profiles.h"
#include "system/portable_registry.h"
#include "system/store_media.h"

namespace vexel::testing {

enum class TMedia { Own, Platform };

inline std::ostream& operator<<(std::ostream& out, TMedia media) {
    return out << (media == TMedia::Own ? "our own layer" : "the platform's media");
}

inline std::string MediaName(const ::testing::TestParamInfo<TMedia>& info) {
    return info.param == TMedia::Own ? "OwnLayer" : "Platform";
}

inline std::string RandomDigits() {
    std::random_device device;
    return std::to_string(std::uniform_int_distribution<uint32_t>(100000000, 999999999)(device));
}

// A file's text as UTF-8: a file that starts with the UTF-16 byte order
// mark (as the system's profile functions keep a file in any script) is
// decoded.
inline std::string ReadText(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    const std::string bytes = text.str();
    if (bytes.size() < 2 || bytes[0] != '\xFF' || bytes[1] != '\xFE')
        return bytes;
    std::string utf8;
    for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
        uint32_t c = static_cast<uint8_t>(bytes[i]) | static_cast<uint8_t>(bytes[i + 1]) << 8;
        if (c >= 0xD800 && c < 0xDC00 && i + 3 < bytes.size()) {
            const uint32_t low = static_cast<uint8_t>(bytes[i + 2]) | static_cast<uint8_t>(bytes[i + 3]) << 8;
            c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
            i += 2;
        }
        if (c < 0x80) {
            utf8 += static_cast<char>(c);
        } else if (c < 0x800) {
            utf8 += static_cast<char>(0xC0 | c >> 6);
            utf8 += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            utf8 += static_cast<char>(0xE0 | c >> 12);
            utf8 += static_cast<char>(0x80 | (c >> 6 & 0x3F));
            utf8 += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            utf8 += static_cast<char>(0xF0 | c >> 18);
            utf8 += static_cast<char>(0x80 | (c >> 12 & 0x3F));
            utf8 += static_cast<char>(0x80 | (c >> 6 & 0x3F));
            utf8 += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return utf8;
}

inline void WriteText(const std::filesystem::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

class MediaTest : public ::testing::TestWithParam<TMedia> {
protected:
    void SetUp() override {
        const std::string tag = RandomDigits();
        testKey_ = "Software\\VexelTest" + tag;
        folder_ = std::filesystem::temp_directory_path() / ("vexel-store-" + tag);
        std::filesystem::create_directories(folder_);
        if (GetParam() == TMedia::Own) {
            ownRegistry_ = std::make_unique<TPortableRegistry>();
            ownProfiles_ = std::make_unique<TPortableProfiles>(folder_.string());
            SetRegistryMedium(ownRegistry_.get());
            SetProfileMedium(ownProfiles_.get());
        } else {
            SetRegistryMedium(nullptr);
            SetProfileMedium(nullptr);
        }
    }

    void TearDown() override {
        for (TRegRoot root : {rrCurrentUser, rrLocalMachine})
            Registry().DeleteTree(Registry().RootKey(root), testKey_);
        EXPECT_EQ(Registry().OpenKeyCount(), 0) << "a key was left open";
        SetRegistryMedium(nullptr);
        SetProfileMedium(nullptr);
        std::error_code error;
        std::filesystem::remove_all(folder_, error);
    }

    // The test's own key below a root, as a store's Path writes it.
    std::string StorePath(const std::string& below = "") const {
        return "\\" + testKey_ + (below.empty() ? "" : "\\" + below);
    }
    std::string KeyPath(const std::string& below = "") const {
        return testKey_ + (below.empty() ? "" : "\\" + below);
    }

    bool KeyExists(const std::string& below, TRegRoot root = rrCurrentUser) const {
        TRegistryMedium& registry = Registry();
        TRegKeyHandle key = registry.OpenKey(registry.RootKey(root), KeyPath(below), raRead);
        registry.CloseKey(key);
        return key != 0;
    }

    // The raw bytes of a value, or "<missing>".
    std::string RawValue(const std::string& below,
                         const std::string& name,
                         uint32_t* type = nullptr,
                         TRegRoot root = rrCurrentUser) const {
        TRegistryMedium& registry = Registry();
        TRegKeyHandle key = registry.OpenKey(registry.RootKey(root), KeyPath(below), raRead);
        std::string data = "<missing>";
        uint32_t found = rdNone;
        if (key && registry.QueryValue(key, name, found, data) != TRegQuery::Found)
            data = "<missing>";
        registry.CloseKey(key);
        if (type)
            *type = found;
        return data;
    }

    void PutValue(const std::string& below,
                  const std::string& name,
                  uint32_t type,
                  const std::string& data) const {
        TRegistryMedium& registry = Registry();
        TRegKeyHandle key = registry.OpenKey(registry.RootKey(rrCurrentUser), KeyPath(below), raCreate);
        ASSERT_NE(key, 0u);
        EXPECT_TRUE(registry.SetValue(key, name, type, data));
        registry.CloseKey(key);
    }

    // A fresh file name in the test's folder. The platform's profile
    // functions remember files they have seen, so no name is used twice.
    std::filesystem::path IniFile(const std::string& stem = "settings") {
        return folder_ / (stem + std::to_string(++files_) + ".ini");
    }

    std::string testKey_;
    std::filesystem::path folder_;

private:
    std::unique_ptr<TPortableRegistry> ownRegistry_;
    std::unique_ptr<TPortableProfiles> ownProfiles_;
    int files_ = 0;
};

#ifdef _WIN32
#define VEXEL_STORE_MEDIA ::testing::Values(TMedia::Platform, TMedia::Own)
#else
#define VEXEL_STORE_MEDIA ::testing::Values(TMedia::Own)
#endif

}  // namespace vexel::testing
