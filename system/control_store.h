// Stores that keep named values in a registry key or an INI file section:
// TZelControlStore for the store-aware controls, TZelStoreData for the form
// store. Each read or write opens the medium and closes it again, so nothing
// stays open between calls and a value is in the medium once written.
//
//   auto* store = new TZelControlStore(form);
//   store->DataStore()->SetSection("HTML Vexel");
//   store->DataStore()->Registry()->SetPath("Software/Korrin/ZP");   // "\Software\Korrin\ZP"
//   bool show = store->ReadBool("Tips", true);
//   store->WriteString("tipid", "4");
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "framework/core/classes.h"
#include "system/systems_component.h"

namespace vexel {

enum TZelStdRootKey {
    hkeyClassesRoot,
    hkeyCurrentUser,
    hkeyLocalMachine,
    hkeyUsers,
    hkeyCurrentConfig,
    hkeyDynData
};
enum TZelStdDatatype { sRegistry, sIniFile };
// The data store of TZelStoreData names the same values.
using TZelRootKey = TZelStdRootKey;
using TZelDatatype = TZelStdDatatype;

// A registry place: the key Path below the root Rootkey.
class TZelCustomRegistry : public TPersistent {
public:
    TZelStdRootKey Rootkey() const { return rootkey_; }
    void SetRootkey(TZelStdRootKey Value) { rootkey_ = Value; }
    const std::string& Path() const { return path_; }
    // Forward slashes become backslashes, and a path that is not empty
    // starts with a backslash: "Software/Korrin" is kept as "\Software\Korrin".
    void SetPath(const std::string& Value);

protected:
    TZelCustomRegistry() = default;

private:
    TZelStdRootKey rootkey_ = hkeyCurrentUser;
    std::string path_ = "\\Software\\Company\\Product";
};

class TZelStdRegistry final : public TZelCustomRegistry {};
class TZelRegistry final : public TZelCustomRegistry {};

// An INI file place. A name without a folder lies in the Windows folder.
class TZelCustomIniFile : public TPersistent {
public:
    const std::string& IniFilename() const { return iniFilename_; }
    void SetIniFilename(const std::string& Value) { iniFilename_ = Value; }

protected:
    TZelCustomIniFile() = default;

private:
    std::string iniFilename_ = "MyFile.ini";
};

class TZelStdIniFile final : public TZelCustomIniFile {};
class TZelIniFile final : public TZelCustomIniFile {};

// Where a store's values live: the medium, its place and the section, and
// the one read and write of text that every typed operation of the stores
// is built on.
class TZelCustomDataStore : public TPersistent {
public:
    ~TZelCustomDataStore() override;

    // False: reads give their defaults and writes do nothing.
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool Value) { enabled_ = Value; }
    // The registry sub-key of Path, or the INI section, that holds the values.
    const std::string& Section() const { return section_; }
    void SetSection(const std::string& Value) { section_ = Value; }
    // Kept for stored forms; no read or write uses it. Empty restores the default.
    const std::string& Password() const { return password_; }
    void SetPassword(const std::string& Value);
    TZelStdDatatype Datatype() const { return datatype_; }
    void SetDatatype(TZelStdDatatype Value) { datatype_ = Value; }
    // Never fired: the stores report through their own OnError.
    TNotifyEvent OnError;

    enum class TAccess {
        Disabled,   // Enabled is false: nothing was done
        NoSection,  // Section is empty: nothing was done
        Done,       // the medium was used, or there was no file name or path to use
    };
    // Text holds the default on entry and the value read, if any, on return.
    // A registry read creates the key Path when it is missing, but not the
    // section's sub-key. Failures of the medium raise ERegistryException or
    // EIniFileException once every key the call opened is closed.
    TAccess ReadText(const std::string& Key, std::string& Text);
    TAccess WriteText(const std::string& Key, const std::string& Text);

protected:
    TZelCustomDataStore(std::unique_ptr<TZelCustomRegistry> Registry,
                        std::unique_ptr<TZelCustomIniFile> Inifile);
    TZelCustomRegistry* RegistryPlace() const { return registry_.get(); }
    TZelCustomIniFile* IniFilePlace() const { return inifile_.get(); }

private:
    bool enabled_ = true;
    std::string section_ = "MySection";
    std::string password_;
    TZelStdDatatype datatype_ = sRegistry;
    std::unique_ptr<TZelCustomRegistry> registry_;
    std::unique_ptr<TZelCustomIniFile> inifile_;
};

class TZelStdDataStore final : public TZelCustomDataStore {
public:
    TZelStdDataStore();
    TZelStdRegistry* Registry() const { return static_cast<TZelStdRegistry*>(RegistryPlace()); }
    TZelStdIniFile* Inifile() const { return static_cast<TZelStdIniFile*>(IniFilePlace()); }
};

class TZelDataStore final : public TZelCustomDataStore {
public:
    TZelDataStore();
    TZelRegistry* Registry() const { return static_cast<TZelRegistry*>(RegistryPlace()); }
    TZelIniFile* Inifile() const { return static_cast<TZelIniFile*>(IniFilePlace()); }
};

// Booleans are stored as "1" and "0"; integers as decimal text. A read whose
// text does not parse gives the default.
//
// OnError(store) fires when Section is empty (every operation, which then
// does nothing) and when a string or integer read gives back its default,
// whether the value is missing or equal to it; Boolean reads never fire it.
// A disabled store fires nothing.
//
// A component that refers to a store asks it for a free notice and may still
// read and write through it in Notification(store, opRemove): Free sends
// the notices while the store is whole.
class TZelControlStore : public TComponent {
public:
    explicit TZelControlStore(TComponent* AOwner);

    TZelStdDataStore* DataStore() const { return dataStore_.get(); }
    TNotifyEvent OnError;

    std::string ReadString(const std::string& Key, const std::string& Default);
    void WriteString(const std::string& Key, const std::string& Value);
    bool ReadBool(const std::string& Key, bool Default);
    void WriteBool(const std::string& Key, bool Value);

protected:
    ~TZelControlStore() override = default;

private:
    std::unique_ptr<TZelStdDataStore> dataStore_;
};

class TZelStoreData : public TZelSystemsComponent {
public:
    explicit TZelStoreData(TComponent* AOwner);

    TZelDataStore* DataStore() const { return dataStore_.get(); }
    TNotifyEvent OnError;

    std::string ReadString(const std::string& Key, const std::string& Default);
    void WriteString(const std::string& Key, const std::string& Value);
    int32_t ReadInteger(const std::string& Key, int32_t Default);
    void WriteInteger(const std::string& Key, int32_t Value);
    bool ReadBool(const std::string& Key, bool Default);
    void WriteBool(const std::string& Key, bool Value);

protected:
    ~TZelStoreData() override = default;

private:
    std::unique_ptr<TZelDataStore> dataStore_;
};

}  // namespace vexel
