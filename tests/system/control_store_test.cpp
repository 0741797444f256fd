// The two stores against the registry and INI files: what a fresh key gives
// and creates, disabled stores, the roots, the text formats of integers and
// Booleans, when OnError fires, and the runtime's errors of the medium.
#include <memory>
#include <string>

#ifdef _WIN32
#include <windows.h>

#include "platform/wide_text.h"
#endif
#include "system/control_store.h"
#include "tests/system/store_test_support.h"

using namespace vexel;
using namespace vexel::testing;

namespace {

// Counts OnError calls and checks each names its store as the sender.
struct ErrorCount {
    int count = 0;
    template <class Store>
    void Watch(Store* store) {
        store->OnError = [this, store](TObject* sender) {
            EXPECT_EQ(sender, store);
            ++count;
        };
    }
};

class ControlStoreTest : public MediaTest {
  protected:
    template <class Store>
    std::unique_ptr<Store, void (*)(Store*)> Make(const std::string& section) {
        auto* store = new Store(nullptr);
        store->DataStore()->SetSection(section);
        store->DataStore()->Registry()->SetPath(StorePath("Korrin\\ZP"));
        store->DataStore()->Inifile()->SetIniFilename(IniFile().string());
        errors.Watch(store);
        return {store, [](Store* s) { s->Free(); }};
    }

    ErrorCount errors;
};

TEST_P(ControlStoreTest, FreshKeyGivesDefaultsCreatesThePathOnFirstReadAndTheSectionOnFirstWrite) {
    auto store = Make<TZelControlStore>("HTML Vexel");
    ASSERT_FALSE(KeyExists("Korrin\\ZP"));

    EXPECT_EQ(store->ReadString("tipid", "ERROR"), "ERROR");
    EXPECT_EQ(errors.count, 1);
    EXPECT_TRUE(KeyExists("Korrin\\ZP"));
    EXPECT_FALSE(KeyExists("Korrin\\ZP\\HTML Vexel"));
    EXPECT_TRUE(store->ReadBool("Tips", true));
    EXPECT_FALSE(store->ReadBool("Tips", false));
    EXPECT_EQ(errors.count, 1) << "Boolean reads never report";
    EXPECT_FALSE(KeyExists("Korrin\\ZP\\HTML Vexel"));

    store->WriteString("tipid", "4");
    uint32_t type = rdNone;
    EXPECT_EQ(RawValue("Korrin\\ZP\\HTML Vexel", "tipid", &type), std::string("4\0", 2));
    EXPECT_EQ(type, rdString);
    EXPECT_EQ(store->ReadString("tipid", "ERROR"), "4");

    store->WriteBool("Tips", false);
    EXPECT_EQ(RawValue("Korrin\\ZP\\HTML Vexel", "Tips"), std::string("0\0", 2));
    EXPECT_FALSE(store->ReadBool("Tips", true));
    store->WriteBool("Tips", true);
    EXPECT_EQ(RawValue("Korrin\\ZP\\HTML Vexel", "Tips"), std::string("1\0", 2));
    EXPECT_TRUE(store->ReadBool("TIPS", false)) << "value names ignore case";
    EXPECT_EQ(errors.count, 1);
}

TEST_P(ControlStoreTest, DisabledStoreReadsDefaultsWritesNothingAndReportsNothing) {
    for (TZelStdDatatype medium : {sRegistry, sIniFile}) {
        auto store = Make<TZelControlStore>("HTML Vexel");
        store->DataStore()->SetDatatype(medium);
        store->DataStore()->SetEnabled(false);
        store->WriteBool("Tips", false);
        store->WriteString("tipid", "5");
        EXPECT_TRUE(store->ReadBool("Tips", true));
        EXPECT_EQ(store->ReadString("tipid", "3"), "3");
        store->DataStore()->SetSection("");
        store->WriteString("tipid", "5");
        EXPECT_EQ(store->ReadString("tipid", "3"), "3");
        EXPECT_FALSE(KeyExists("Korrin")) << "not even the path is created";
        EXPECT_FALSE(std::filesystem::exists(store->DataStore()->Inifile()->IniFilename()));
        EXPECT_EQ(errors.count, 0);
    }
}

TEST_P(ControlStoreTest, LocalMachineRootHoldsTheKeyAndSectionLikeTheCurrentUser) {
    auto store = Make<TZelStoreData>("Section");
    store->DataStore()->Registry()->SetRootkey(hkeyLocalMachine);
    store->WriteString("name", "machine");
    EXPECT_EQ(RawValue("Korrin\\ZP\\Section", "name", nullptr, rrLocalMachine), std::string("machine\0", 8));
    EXPECT_FALSE(KeyExists("Korrin"));
    EXPECT_EQ(store->ReadString("name", ""), "machine");

    store->DataStore()->Registry()->SetRootkey(hkeyCurrentUser);
    EXPECT_EQ(store->ReadString("name", "none"), "none");
}

TEST_P(ControlStoreTest, IniFileHoldsKeyValueLinesUnderTheSection) {
    auto store = Make<TZelControlStore>("HTML Vexel");
    store->DataStore()->SetDatatype(sIniFile);
    const std::string file = store->DataStore()->Inifile()->IniFilename();

    EXPECT_EQ(store->ReadString("tipid", "ERROR"), "ERROR");
    EXPECT_EQ(errors.count, 1);
    EXPECT_FALSE(std::filesystem::exists(file)) << "a read creates no file";

    store->WriteString("tipid", "4");
    store->WriteBool("Tips", true);
    store->WriteString("tipid", "5");
    std::string text = ReadText(file);
    EXPECT_NE(text.find("[HTML Vexel]"), std::string::npos) << text;
    EXPECT_NE(text.find("tipid=5"), std::string::npos) << text;
    EXPECT_NE(text.find("Tips=1"), std::string::npos) << text;
    EXPECT_EQ(text.find("tipid=4"), std::string::npos) << "a write replaces the value: " << text;
    EXPECT_EQ(store->ReadString("tipid", "ERROR"), "5");
    EXPECT_TRUE(store->ReadBool("Tips", false));
    EXPECT_FALSE(KeyExists("Korrin")) << "nothing goes to the registry";
    EXPECT_EQ(errors.count, 1);
}

// Names and values in any script come back as they were written, from the
// registry and from a profile file alike.
TEST_P(ControlStoreTest, TextInAnyScriptComesBackWhole) {
    const std::string folder = "C:\\Users\\Jos\xC3\xA9\\\xD0\xBA\xD0\xB0\xD1\x80\xD1\x82\xD0\xB0 \xE6\x97\xA5\xF0\x9F\x98\x80";
    std::string iniFile;
    for (TZelStdDatatype medium : {sRegistry, sIniFile}) {
        auto store = Make<TZelControlStore>("Gr\xC3\xBC\xC3\x9F""e");
        store->DataStore()->SetDatatype(medium);
        store->WriteString("Ordner \xC3\xA4", folder);
        EXPECT_EQ(store->ReadString("Ordner \xC3\xA4", ""), folder) << medium;
        if (medium == sIniFile) {
            iniFile = store->DataStore()->Inifile()->IniFilename();
            const std::string text = ReadText(iniFile);
            EXPECT_NE(text.find("Ordner \xC3\xA4=" + folder), std::string::npos) << text;
        }
    }
    EXPECT_EQ(errors.count, 0);
#ifdef _WIN32
    if (GetParam() != TMedia::Platform)
        return;
    // Other programs (the registry editor, a text editor) see the same text.
    using platform::Widen;
    wchar_t seen[256] = {};
    DWORD size = sizeof(seen);
    EXPECT_EQ(RegGetValueW(HKEY_CURRENT_USER, Widen(KeyPath("Korrin\\ZP\\Gr\xC3\xBC\xC3\x9F""e")).c_str(),
                           L"Ordner \u00e4", RRF_RT_REG_SZ, nullptr, seen, &size),
              ERROR_SUCCESS);
    EXPECT_EQ(std::wstring(seen), Widen(folder));
    GetPrivateProfileStringW(L"Gr\u00fc\u00dfe", L"Ordner \u00e4", L"", seen, 256, Widen(iniFile).c_str());
    EXPECT_EQ(std::wstring(seen), Widen(folder));
#endif
}

TEST_P(ControlStoreTest, IniReadsStopAt2047CharactersWhileTheRegistryKeepsAll) {
    const std::string longText(3000, 'x');
    auto store = Make<TZelControlStore>("Long");
    store->WriteString("text", longText);
    EXPECT_EQ(store->ReadString("text", ""), longText);

    store->DataStore()->SetDatatype(sIniFile);
    store->WriteString("text", longText + "y");
    EXPECT_EQ(store->ReadString("text", ""), longText.substr(0, 2047));
    store->WriteString("short", std::string(2047, 'z'));
    EXPECT_EQ(store->ReadString("short", ""), std::string(2047, 'z'));
}

TEST_P(ControlStoreTest, BareIniFileNameLivesInTheWindowsFolder) {
    const std::string name = "VexelTest" + RandomDigits() + ".ini";
    const std::filesystem::path where = std::filesystem::path(ProfileFiles().WindowsFolder()) / name;
    auto store = Make<TZelControlStore>("Section");
    store->DataStore()->SetDatatype(sIniFile);
    store->DataStore()->Inifile()->SetIniFilename(name);
    store->WriteString("key", "value");
    EXPECT_TRUE(std::filesystem::exists(where)) << where.string();
    EXPECT_NE(ReadText(where).find("key=value"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::current_path() / name)) << "nothing in the working folder";
    std::error_code error;
    std::filesystem::remove(where, error);
}

TEST_P(ControlStoreTest, IntegersAndBooleansAreDecimalTextAndUnparsableTextGivesTheDefault) {
    for (TZelStdDatatype medium : {sRegistry, sIniFile}) {
        SCOPED_TRACE(medium == sRegistry ? "registry" : "INI file");
        auto store = Make<TZelStoreData>("Numbers");
        store->DataStore()->SetDatatype(medium);

        store->WriteInteger("n", -123);
        EXPECT_EQ(store->ReadString("n", ""), "-123");
        EXPECT_EQ(store->ReadInteger("n", 0), -123);
        store->WriteInteger("n", INT32_MIN);
        EXPECT_EQ(store->ReadInteger("n", 0), INT32_MIN);
        store->WriteBool("b", true);
        EXPECT_EQ(store->ReadString("b", ""), "1");
        store->WriteBool("b", false);
        EXPECT_EQ(store->ReadString("b", ""), "0");

        struct {
            const char* text;
            int32_t asInteger;  // read with the default 7
            bool asBoolean;     // read with the default true
        } const cases[] = {
            {"2", 2, true},     {"0", 0, false},         {"-1", -1, true},
            {"0x1F", 31, true}, {"abc", 7, true},        {"12abc", 7, true},
            {"", 7, true},      {"4294967296", 7, true}, {"2147483647", 2147483647, true},
        };
        for (const auto& c : cases) {
            store->WriteString("v", c.text);
            EXPECT_EQ(store->ReadInteger("v", 7), c.asInteger) << '"' << c.text << '"';
            EXPECT_EQ(store->ReadBool("v", true), c.asBoolean) << '"' << c.text << '"';
        }
        store->WriteString("v", "abc");
        EXPECT_FALSE(store->ReadBool("v", false));
    }
}

TEST_P(ControlStoreTest, OnErrorFiresForAnEmptySectionAndForReadsThatGiveTheirDefault) {
    for (TZelStdDatatype medium : {sRegistry, sIniFile}) {
        SCOPED_TRACE(medium == sRegistry ? "registry" : "INI file");
        auto store = Make<TZelStoreData>("");
        store->DataStore()->SetDatatype(medium);
        errors.count = 0;

        // Every operation reports an empty section once and does nothing.
        store->WriteString("s", "x");
        store->WriteInteger("i", 1);
        store->WriteBool("b", true);
        EXPECT_EQ(store->ReadString("s", "d"), "d");
        EXPECT_EQ(store->ReadInteger("i", 5), 5);
        EXPECT_TRUE(store->ReadBool("b", true));
        EXPECT_EQ(errors.count, 6);
        if (medium == sRegistry) {
            EXPECT_FALSE(KeyExists("Korrin"));
        }
        EXPECT_FALSE(std::filesystem::exists(store->DataStore()->Inifile()->IniFilename()));

        store->DataStore()->SetSection("Errors");
        errors.count = 0;
        store->WriteString("s", "same");
        store->WriteInteger("i", 5);
        store->WriteString("junk", "junk");
        EXPECT_EQ(errors.count, 0) << "writes never report";

        EXPECT_EQ(store->ReadString("missing", "d"), "d");
        EXPECT_EQ(errors.count, 1);
        EXPECT_EQ(store->ReadString("s", "same"), "same");
        EXPECT_EQ(errors.count, 2) << "a stored value equal to the default reports too";
        EXPECT_EQ(store->ReadString("s", "other"), "same");
        EXPECT_EQ(store->ReadInteger("missing", 9), 9);
        EXPECT_EQ(store->ReadInteger("i", 5), 5);
        EXPECT_EQ(store->ReadInteger("junk", 3), 3);
        EXPECT_EQ(errors.count, 5);
        EXPECT_EQ(store->ReadInteger("i", 6), 5);
        store->ReadBool("missing", true);
        store->ReadBool("junk", false);
        store->ReadBool("i", false);
        EXPECT_EQ(errors.count, 5) << "Boolean reads never report";
    }
}

TEST_P(ControlStoreTest, AStoreWithoutPathOrFileNameReadsDefaultsAndTouchesNothing) {
    auto store = Make<TZelControlStore>("Section");
    store->DataStore()->Registry()->SetPath("");
    store->WriteString("k", "v");
    EXPECT_EQ(store->ReadString("k", "d"), "d");
    EXPECT_EQ(errors.count, 1) << "the read still gives its default";

    store->DataStore()->SetDatatype(sIniFile);
    store->DataStore()->Inifile()->SetIniFilename("");
    store->WriteString("k", "v");
    EXPECT_EQ(store->ReadString("k", "d"), "d");
    EXPECT_EQ(errors.count, 2);
    EXPECT_TRUE(std::filesystem::is_empty(folder_));
}

TEST_P(ControlStoreTest, NonStringRegistryValueRaisesInvalidDataType) {
    auto store = Make<TZelStoreData>("Typed");
    PutValue("Korrin\\ZP\\Typed", "n", rdInteger, std::string("\x05\0\0\0", 4));
    PutValue("Korrin\\ZP\\Typed", "expand", rdExpandString, std::string("%TEMP%\\x\0", 9));
    PutValue("Korrin\\ZP\\Typed", "empty", rdBinary, "");

    for (auto read : {+[](TZelStoreData* s) { s->ReadString("n", ""); },
                      +[](TZelStoreData* s) { s->ReadInteger("n", 0); },
                      +[](TZelStoreData* s) { s->ReadBool("n", false); }}) {
        try {
            read(store.get());
            ADD_FAILURE() << "no exception";
        } catch (const ERegistryException& e) {
            EXPECT_EQ(e.Message(), "Invalid data type for 'n'");
        }
        EXPECT_EQ(Registry().OpenKeyCount(), 0) << "keys are closed before the error is raised";
    }
    EXPECT_EQ(store->ReadString("expand", ""), "%TEMP%\\x") << "read as it is, not expanded";
    EXPECT_EQ(store->ReadString("empty", "d"), "") << "no data reads as empty text";
}

TEST_P(ControlStoreTest, MediumFailuresRaiseTheRuntimeTextsAfterClosingTheirKeys) {
    auto store = Make<TZelControlStore>("Section");
    auto expectFailure = [&](auto operation, const std::string& message) {
        try {
            operation();
            ADD_FAILURE() << "no exception, expected " << message;
        } catch (const ERegistryException& e) {
            EXPECT_EQ(e.Message(), message);
        } catch (const EIniFileException& e) {
            EXPECT_EQ(e.Message(), message);
        }
        EXPECT_EQ(Registry().OpenKeyCount(), 0);
    };

    const std::string longName(300, 'L');
    store->DataStore()->SetSection(longName);
    expectFailure([&] { store->WriteString("k", "v"); }, "Failed to create key " + longName);
    EXPECT_EQ(store->ReadString("k", "d"), "d") << "a section that cannot exist is simply missing";

    store->DataStore()->SetSection("Section");
    const std::string longKey(17000, 'K');
    expectFailure([&] { store->WriteString(longKey, "v"); }, "Failed to set data for '" + longKey + "'");

    store->DataStore()->Registry()->SetPath(StorePath(longName));
    expectFailure([&] { store->WriteBool("k", true); }, "Failed to create key " + StorePath(longName));
    EXPECT_EQ(store->ReadString("k", "d"), "d");

    store->DataStore()->SetDatatype(sIniFile);
    const std::string file = (folder_ / "no such folder" / "my.ini").string();
    store->DataStore()->Inifile()->SetIniFilename(file);
    expectFailure([&] { store->WriteString("k", "v"); }, "Unable to write to " + file);
    EXPECT_EQ(store->ReadString("k", "d"), "d");
}

// What the store-aware controls do when their store goes: write once more
// through it from the removal notice.
class TLastWriter : public TComponent {
  public:
    TLastWriter(TZelControlStore* store, std::string value)
        : TComponent(nullptr), Store(store), value_(value) {
        FreeNotification(store);
    }
    TZelControlStore* Store;

  protected:
    void Notification(TComponent* AComponent, TOperation Operation) override {
        TComponent::Notification(AComponent, Operation);
        if (Operation == opRemove && AComponent == Store) {
            Store->WriteString("last", value_);
            Store = nullptr;
        }
    }

  private:
    std::string value_;
};

TEST_P(ControlStoreTest, ReferringComponentsWriteThroughTheStoreAtItsRemovalNotice) {
    auto* form = new TComponent(nullptr);
    auto* owned = new TZelControlStore(form);
    owned->DataStore()->Registry()->SetPath(StorePath());
    owned->DataStore()->SetSection("Owned");
    auto* alone = new TZelControlStore(nullptr);
    alone->DataStore()->Registry()->SetPath(StorePath());
    alone->DataStore()->SetSection("Deleted");
    auto* first = new TLastWriter(owned, "freed with its owner");
    auto* second = new TLastWriter(alone, "freed alone");

    form->Free();
    alone->Free();
    EXPECT_EQ(first->Store, nullptr);
    EXPECT_EQ(second->Store, nullptr);
    first->Free();
    second->Free();
    EXPECT_EQ(RawValue("Owned", "last"), std::string("freed with its owner\0", 21));
    EXPECT_EQ(RawValue("Deleted", "last"), std::string("freed alone\0", 12));
}

INSTANTIATE_TEST_SUITE_P(Media, ControlStoreTest, VEXEL_STORE_MEDIA, MediaName);

}  // namespace
