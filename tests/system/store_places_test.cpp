// Places of a store: the defaults a new store starts from, Path normalising,
// and how profile files are read, which our own layer must do exactly as the
// platform's functions do.
#include <memory>
#include <string>

#include "system/control_store.h"
#include "tests/system/store_test_support.h"

using namespace vexel;
using namespace vexel::testing;

namespace {

TEST(StorePlaces, NewStoresStartFromTheirDefaults) {
    auto* control = new TZelControlStore(nullptr);
    auto* data = new TZelStoreData(nullptr);
    for (TZelCustomDataStore* place : {static_cast<TZelCustomDataStore*>(control->DataStore()),
                                       static_cast<TZelCustomDataStore*>(data->DataStore())}) {
        EXPECT_TRUE(place->Enabled());
        EXPECT_EQ(place->Section(), "MySection");
        EXPECT_EQ(place->Datatype(), sRegistry);
        EXPECT_EQ(place->Password().size(), 8u);
        const std::string password = place->Password();
        place->SetPassword("secret");
        EXPECT_EQ(place->Password(), "secret");
        place->SetPassword("");
        EXPECT_EQ(place->Password(), password) << "empty restores the default";
    }
    EXPECT_EQ(control->DataStore()->Registry()->Path(), "\\Software\\Company\\Product");
    EXPECT_EQ(data->DataStore()->Registry()->Rootkey(), hkeyCurrentUser);
    EXPECT_EQ(data->DataStore()->Inifile()->IniFilename(), "MyFile.ini");
    EXPECT_EQ(control->DataStore()->ClassName(), "TZelStdDataStore");
    EXPECT_EQ(data->DataStore()->Registry()->ClassName(), "TZelRegistry");
    EXPECT_NE(dynamic_cast<TZelSystemsComponent*>(data), nullptr);
    control->Free();
    data->Free();
}

TEST(StorePlaces, PathTakesBackslashesAndOneLeadingBackslash) {
    TZelStdRegistry registry;
    const struct {
        const char* given;
        const char* kept;
    } cases[] = {
        {"Software/Korrin/ZP", "\\Software\\Korrin\\ZP"},
        {"\\Software\\Korrin", "\\Software\\Korrin"},
        {"/Software/Korrin/", "\\Software\\Korrin\\"},
        {"Software\\Mixed/Slashes", "\\Software\\Mixed\\Slashes"},
        {"a", "\\a"},
        {"", ""},
    };
    for (const auto& c : cases) {
        registry.SetPath(c.given);
        EXPECT_EQ(registry.Path(), c.kept) << c.given;
    }
}

class StorePlacesMediaTest : public MediaTest {};

TEST_P(StorePlacesMediaTest, PathWithForwardSlashesWritesIntoTheNestedKey) {
    auto* store = new TZelStoreData(nullptr);
    store->DataStore()->Registry()->SetPath(testKey_ + "/Korrin/ZP");
    store->DataStore()->SetSection("HTML Vexel");
    store->WriteInteger("count", 3);
    EXPECT_EQ(RawValue("Korrin\\ZP\\HTML Vexel", "count"), std::string("3\0", 2));
    store->Free();
}

// A file written by hand, read through the medium: blanks, quotes, case,
// comments, keys without a value and the buffer's size.
TEST_P(StorePlacesMediaTest, ProfileFilesAreReadTheWayThePlatformReadsThem) {
    const std::string file = IniFile("hand").string();
    WriteText(file,
              "; settings written by hand\r\n"
              "[Other]\r\n"
              "key=from other\r\n"
              "\r\n"
              "[My Section]\r\n"
              "   Key   =   \"  quoted value \"   \r\n"
              "single='one'\r\n"
              "lone=\"\r\n"
              "empty=\r\n"
              "no equals sign\r\n"
              "inner = a = b\n"
              "[my section]\r\n"
              "later=second section of the same name\r\n");
    TProfileMedium& profiles = ProfileFiles();
    auto read = [&](const std::string& section, const std::string& key,
                    const std::string& fallback = "dflt") {
        return profiles.ReadString(file, section, key, fallback, 2048);
    };
    EXPECT_EQ(read("My Section", "KEY"), "  quoted value ");
    EXPECT_EQ(read("my section", "  key "), "  quoted value ");
    EXPECT_EQ(read("My Section", "single"), "one");
    EXPECT_EQ(read("My Section", "lone"), "\"");
    EXPECT_EQ(read("My Section", "empty"), "");
    EXPECT_EQ(read("My Section", "no equals sign"), "dflt");
    EXPECT_EQ(read("My Section", "inner"), "a = b");
    EXPECT_EQ(read("Other", "key"), "from other");
    EXPECT_EQ(read("My Section", "later"), "dflt") << "only the first section of a name counts";
    EXPECT_EQ(read("My Section", "missing", "fallback  "), "fallback") << "trailing blanks of the default go";
    EXPECT_EQ(read("My Section", "missing", "'quoted'"), "quoted");
    EXPECT_EQ(read("Nowhere", "key"), "dflt");
    EXPECT_EQ(profiles.ReadString(file, "Other", "key", "", 5), "from");
    EXPECT_EQ(profiles.ReadString(IniFile("absent").string(), "Other", "key", "none", 2048), "none");
}

INSTANTIATE_TEST_SUITE_P(Media, StorePlacesMediaTest, VEXEL_STORE_MEDIA, MediaName);

}  // namespace
