// Our own registry and profile files: the registry's file keeps every key
// and value across runs, its rules match the platform's (names without case,
// limits, access, deleted keys), a failed save changes nothing, a file it
// cannot read is never overwritten; profile writes change one line only.
#include <filesystem>
#include <string>

#include "system/control_store.h"
#include "system/portable_profiles.h"
#include "system/portable_registry.h"
#include "tests/system/store_test_support.h"

using namespace vexel;
using namespace vexel::testing;

namespace {

class PortableMediaTest : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ = std::filesystem::temp_directory_path() / ("vexel-media-" + RandomDigits());
        std::filesystem::create_directories(folder_);
    }
    void TearDown() override {
        std::error_code error;
        std::filesystem::remove_all(folder_, error);
    }

    static TRegKeyHandle Open(TRegistryMedium& registry,
                              const std::string& path,
                              TRegAccess access = raCreate) {
        return registry.OpenKey(registry.RootKey(rrCurrentUser), path, access);
    }
    static std::string Query(TRegistryMedium& registry,
                             TRegKeyHandle key,
                             const std::string& name,
                             uint32_t* type = nullptr) {
        uint32_t found = rdNone;
        std::string data;
        TRegQuery result = registry.QueryValue(key, name, found, data);
        if (type)
            *type = found;
        return result == TRegQuery::Found ? data : result == TRegQuery::Missing ? "<missing>" : "<failed>";
    }

    std::filesystem::path folder_;
};

TEST_F(PortableMediaTest, RegistryFileKeepsEveryKeyAndValueAcrossRuns) {
    const std::string file = (folder_ / "config" / "registry").string();
    const std::string oddText =
        std::string("quote \" backslash \\ line\r\nbreak tab\t del\x7f high\xe9") + '\0';
    const std::string oddName = "name with \"quotes\" and = sign";
    {
        TPortableRegistry registry(file);
        TRegKeyHandle empty = Open(registry, "Software\\Empty key");
        TRegKeyHandle key = Open(registry, "Software\\Odd %41 [name]\\Sub");
        ASSERT_NE(key, 0u);
        EXPECT_TRUE(registry.SetValue(key, "Tips", rdString, std::string("1\0", 2)));
        EXPECT_TRUE(registry.SetValue(key, oddName, rdString, oddText));
        EXPECT_TRUE(registry.SetValue(key, "", rdString, std::string("default\0", 8)));
        EXPECT_TRUE(registry.SetValue(key, "n", rdInteger, std::string("\x05\0\0\0", 4)));
        EXPECT_TRUE(registry.SetValue(key, "x", rdExpandString, std::string("%A%\0", 4)));
        EXPECT_TRUE(registry.SetValue(key, "bare", rdString, "no zero"));
        EXPECT_TRUE(registry.SetValue(key, "none", rdBinary, ""));
        registry.CloseKey(key);
        registry.CloseKey(empty);
        EXPECT_EQ(registry.OpenKeyCount(), 0);
    }
    const std::string text = ReadText(file);
    EXPECT_NE(text.find("\"Tips\"=\"1\""), std::string::npos) << text;

    TPortableRegistry again(file);
    EXPECT_TRUE(again.Writable());
    TRegKeyHandle empty = Open(again, "software\\empty KEY", raRead);
    EXPECT_NE(empty, 0u) << "an empty key stays";
    TRegKeyHandle key = Open(again, "Software\\Odd %41 [name]\\Sub", raRead);
    ASSERT_NE(key, 0u);
    uint32_t type = rdNone;
    EXPECT_EQ(Query(again, key, "tips", &type), std::string("1\0", 2));
    EXPECT_EQ(type, rdString);
    EXPECT_EQ(Query(again, key, oddName), oddText);
    EXPECT_EQ(Query(again, key, ""), std::string("default\0", 8));
    EXPECT_EQ(Query(again, key, "n", &type), std::string("\x05\0\0\0", 4));
    EXPECT_EQ(type, rdInteger);
    EXPECT_EQ(Query(again, key, "x", &type), std::string("%A%\0", 4));
    EXPECT_EQ(type, rdExpandString);
    EXPECT_EQ(Query(again, key, "bare"), "no zero");
    EXPECT_EQ(Query(again, key, "none", &type), "");
    EXPECT_EQ(type, rdBinary);
    again.CloseKey(key);
    again.CloseKey(empty);
}

TEST_F(PortableMediaTest, RegistryFollowsThePlatformsRulesForNamesAccessAndDeletedKeys) {
    TPortableRegistry registry;
    EXPECT_EQ(Open(registry, "Software\\Missing", raRead), 0u);
    EXPECT_EQ(Open(registry, std::string(256, 'k')), 0u) << "key names stop at 255 characters";
    EXPECT_EQ(Open(registry, "a\\\\b"), 0u);
    TRegKeyHandle longest = Open(registry, std::string(255, 'k') + "\\");
    EXPECT_NE(longest, 0u);
    registry.CloseKey(longest);

    TRegKeyHandle key = Open(registry, "Software\\Case");
    EXPECT_TRUE(registry.SetValue(key, std::string(16383, 'v'), rdString, "x"));
    EXPECT_FALSE(registry.SetValue(key, std::string(16384, 'v'), rdString, "x"));
    EXPECT_TRUE(registry.SetValue(key, "Value", rdString, "first"));
    EXPECT_TRUE(registry.SetValue(key, "VALUE", rdString, "second"));
    EXPECT_EQ(Query(registry, key, "value"), "second");

    TRegKeyHandle reader = Open(registry, "SOFTWARE\\case", raRead);
    ASSERT_NE(reader, 0u);
    EXPECT_FALSE(registry.SetValue(reader, "v", rdString, "x")) << "a key opened for reading is not written";
    EXPECT_EQ(registry.OpenKey(reader, "Child", raCreate), 0u);
    EXPECT_EQ(Query(registry, reader, "Value"), "second");

    EXPECT_TRUE(registry.DeleteTree(registry.RootKey(rrCurrentUser), "software"));
    EXPECT_EQ(Query(registry, reader, "Value"), "<failed>") << "handles on deleted keys fail";
    EXPECT_FALSE(registry.SetValue(key, "v", rdString, "x"));
    EXPECT_EQ(Open(registry, "Software\\Case", raRead), 0u);
    EXPECT_FALSE(registry.DeleteTree(registry.RootKey(rrCurrentUser), "Software"));
    registry.CloseKey(reader);
    registry.CloseKey(key);
    EXPECT_EQ(registry.OpenKeyCount(), 0);
}

TEST_F(PortableMediaTest, RegistryThatCannotSaveRefusesTheChangeAndKeepsItsState) {
    // A file where a folder should be: nothing can be saved below it.
    WriteText(folder_ / "blocker", "a file");
    TPortableRegistry registry((folder_ / "blocker" / "registry").string());
    EXPECT_EQ(Open(registry, "Software\\New"), 0u);
    EXPECT_EQ(Open(registry, "Software\\New", raRead), 0u) << "the failed creation was taken back";

    TRegKeyHandle root = registry.RootKey(rrCurrentUser);
    EXPECT_FALSE(registry.SetValue(root, "v", rdString, "x"));
    EXPECT_EQ(Query(registry, root, "v"), "<missing>");
}

TEST_F(PortableMediaTest, RegistryFileItCannotReadIsNeverOverwritten) {
    const std::filesystem::path file = folder_ / "registry";
    const std::string damaged =
        "[HKEY_CURRENT_USER\\Software]\n\"ok\"=\"kept\"\nthis line makes no sense\n"
        "[HKEY_CURRENT_USER\\Software\\Section]\n\"k\"=\"v\"\n";
    WriteText(file, damaged);
    TPortableRegistry registry(file.string());
    EXPECT_FALSE(registry.Writable());
    TRegKeyHandle key = Open(registry, "Software", raRead);
    EXPECT_EQ(Query(registry, key, "ok"), std::string("kept\0", 5)) << "what could be read is there";
    EXPECT_EQ(Open(registry, "Software\\New"), 0u);
    EXPECT_EQ(Open(registry, "Software"), 0u) << "nothing opens for writing";
    registry.CloseKey(key);
    EXPECT_EQ(ReadText(file), damaged);

    // A store still reads such a key, and its writes fail with the runtime's text.
    SetRegistryMedium(&registry);
    auto* store = new TZelControlStore(nullptr);
    store->DataStore()->Registry()->SetPath("Software");
    store->DataStore()->SetSection("Section");
    EXPECT_EQ(store->ReadString("k", "d"), "v");
    EXPECT_THROW(store->WriteString("k", "w"), ERegistryException);
    store->Free();
    SetRegistryMedium(nullptr);
    EXPECT_EQ(registry.OpenKeyCount(), 0);
}

TEST_F(PortableMediaTest, ProfileWriteChangesOnlyTheLineItConcerns) {
    const std::filesystem::path file = folder_ / "hand.ini";
    WriteText(file,
              "; comment kept\r\n"
              "[First]\r\n"
              "  Name = old  \r\n"
              "other=1\r\n"
              "\r\n"
              "[Second]\n"
              "x=y");
    TPortableProfiles profiles(folder_.string());
    EXPECT_TRUE(profiles.WriteString(file.string(), "first", "NAME", "  new"));
    EXPECT_TRUE(profiles.WriteString(file.string(), "First", "added", "value"));
    EXPECT_TRUE(profiles.WriteString(file.string(), "Second", "z", "w"));
    EXPECT_TRUE(profiles.WriteString(file.string(), "Third", "k", "v"));
    EXPECT_EQ(ReadText(file),
              "; comment kept\r\n"
              "[First]\r\n"
              "Name=new\r\n"
              "other=1\r\n"
              "added=value\r\n"
              "\r\n"
              "[Second]\n"
              "x=y\r\n"
              "z=w\r\n"
              "\r\n"
              "[Third]\r\n"
              "k=v\r\n");
    EXPECT_EQ(profiles.ReadString("hand.ini", "first", "name", "", 2048), "new")
        << "a bare name is in the folder";
    EXPECT_FALSE(profiles.WriteString((folder_ / "missing" / "x.ini").string(), "S", "k", "v"));
}

}  // namespace
