#include "system/control_store.h"

#include "framework/core/sysutils.h"
#include "system/store_media.h"

namespace vexel {

namespace {

// Root keys go to the medium by ordinal.
static_assert(static_cast<int>(hkeyClassesRoot) == rrClassesRoot &&
              static_cast<int>(hkeyDynData) == rrDynData &&
              static_cast<int>(hkeyLocalMachine) == rrLocalMachine);

// INI values are read into a buffer of this many characters, so at most one
// less comes back.
constexpr size_t kIniBufferSize = 2048;

const char kDefaultPassword[] = "Zelsuite";

// An open registry key, closed when it goes out of scope, so that a failing
// operation releases what it opened before its exception reaches the caller.
class TOpenKey {
public:
    TOpenKey(TRegistryMedium& Medium, TRegKeyHandle Key) : medium_(Medium), key_(Key) {}
    TOpenKey(const TOpenKey&) = delete;
    TOpenKey& operator=(const TOpenKey&) = delete;
    ~TOpenKey() { medium_.CloseKey(key_); }

    explicit operator bool() const { return key_ != 0; }
    TRegKeyHandle Handle() const { return key_; }
    void Reset(TRegKeyHandle Key) {
        medium_.CloseKey(key_);
        key_ = Key;
    }

private:
    TRegistryMedium& medium_;
    TRegKeyHandle key_;
};

// Path is kept with a leading backslash, which names the root; the registry
// wants the path below it.
std::string BelowRoot(const std::string& Path) {
    return !Path.empty() && Path[0] == '\\' ? Path.substr(1) : Path;
}

// The typed operations both stores offer, on top of the data store's one
// read and write of text.
class TTypedAccess {
public:
    TTypedAccess(TZelCustomDataStore& Place, TObject* Store, const TNotifyEvent& OnError)
        : place_(Place), store_(Store), onError_(OnError) {}

    std::string ReadString(const std::string& Key, const std::string& Default) {
        std::string text = Default;
        if (Reached(place_.ReadText(Key, text)) && text == Default)
            Fire();
        return text;
    }

    int32_t ReadInteger(const std::string& Key, int32_t Default) {
        std::string text;
        if (!Reached(place_.ReadText(Key, text)))
            return Default;
        int32_t value = StrToIntDef(text, Default);
        if (value == Default)
            Fire();
        return value;
    }

    bool ReadBool(const std::string& Key, bool Default) {
        std::string text;
        if (!Reached(place_.ReadText(Key, text)))
            return Default;
        return StrToIntDef(text, Default ? 1 : 0) != 0;
    }

    void WriteString(const std::string& Key, const std::string& Value) {
        Reached(place_.WriteText(Key, Value));
    }

private:
    // Whether the operation got as far as the medium; an empty section is
    // reported here, once per operation.
    bool Reached(TZelCustomDataStore::TAccess Access) {
        if (Access == TZelCustomDataStore::TAccess::NoSection)
            Fire();
        return Access == TZelCustomDataStore::TAccess::Done;
    }

    void Fire() {
        // A copy: the handler may assign a new one while it runs.
        TNotifyEvent handler = onError_;
        if (handler)
            handler(store_);
    }

    TZelCustomDataStore& place_;
    TObject* store_;
    const TNotifyEvent& onError_;
};

}  // namespace

// ---- places ----

void TZelCustomRegistry::SetPath(const std::string& Value) {
    std::string path = Value;
    for (char& c : path)
        if (c == '/')
            c = '\\';
    if (!path.empty() && path[0] != '\\')
        path.insert(path.begin(), '\\');
    path_ = path;
}

// ---- data stores ----

TZelCustomDataStore::TZelCustomDataStore(std::unique_ptr<TZelCustomRegistry> Registry,
                                         std::unique_ptr<TZelCustomIniFile> Inifile)
    : password_(kDefaultPassword), registry_(std::move(Registry)), inifile_(std::move(Inifile)) {}

TZelCustomDataStore::~TZelCustomDataStore() = default;

void TZelCustomDataStore::SetPassword(const std::string& Value) {
    password_ = Value.empty() ? kDefaultPassword : Value;
}

TZelCustomDataStore::TAccess TZelCustomDataStore::ReadText(const std::string& Key, std::string& Text) {
    if (!enabled_)
        return TAccess::Disabled;
    if (section_.empty())
        return TAccess::NoSection;

    if (datatype_ == sIniFile) {
        const std::string& file = inifile_->IniFilename();
        if (!file.empty())
            Text = ProfileFiles().ReadString(file, section_, Key, Text, kIniBufferSize);
        return TAccess::Done;
    }

    const std::string& path = registry_->Path();
    if (path.empty())
        return TAccess::Done;
    TRegistryMedium& registry = Registry();
    TRegKeyHandle root = registry.RootKey(static_cast<TRegRoot>(registry_->Rootkey()));
    TOpenKey base(registry, registry.OpenKey(root, BelowRoot(path), raCreate));
    // A key this user may read but not create (another user's machine-wide
    // settings) is still read.
    if (!base)
        base.Reset(registry.OpenKey(root, BelowRoot(path), raRead));
    if (!base)
        return TAccess::Done;
    TOpenKey section(registry, registry.OpenKey(base.Handle(), section_, raRead));
    if (!section)
        return TAccess::Done;

    uint32_t type = rdNone;
    std::string data;
    switch (registry.QueryValue(section.Handle(), Key, type, data)) {
        case TRegQuery::Missing:
            return TAccess::Done;
        case TRegQuery::Failed:
            throw ERegistryException("Failed to get data for '" + Key + "'");
        case TRegQuery::Found:
            break;
    }
    // A value without data reads as empty text, whatever its type.
    if (data.empty()) {
        Text.clear();
        return TAccess::Done;
    }
    if (type != rdString && type != rdExpandString)
        throw ERegistryException("Invalid data type for '" + Key + "'");
    Text = data.substr(0, data.find('\0'));
    return TAccess::Done;
}

TZelCustomDataStore::TAccess TZelCustomDataStore::WriteText(const std::string& Key, const std::string& Text) {
    if (!enabled_)
        return TAccess::Disabled;
    if (section_.empty())
        return TAccess::NoSection;

    if (datatype_ == sIniFile) {
        const std::string& file = inifile_->IniFilename();
        if (!file.empty() && !ProfileFiles().WriteString(file, section_, Key, Text))
            throw EIniFileException("Unable to write to " + file);
        return TAccess::Done;
    }

    const std::string& path = registry_->Path();
    if (path.empty())
        return TAccess::Done;
    TRegistryMedium& registry = Registry();
    TRegKeyHandle root = registry.RootKey(static_cast<TRegRoot>(registry_->Rootkey()));
    TOpenKey base(registry, registry.OpenKey(root, BelowRoot(path), raCreate));
    if (!base)
        throw ERegistryException("Failed to create key " + path);
    TOpenKey section(registry, registry.OpenKey(base.Handle(), section_, raCreate));
    if (!section)
        throw ERegistryException("Failed to create key " + section_);
    std::string data = Text;
    data += '\0';
    if (!registry.SetValue(section.Handle(), Key, rdString, data))
        throw ERegistryException("Failed to set data for '" + Key + "'");
    return TAccess::Done;
}

TZelStdDataStore::TZelStdDataStore()
    : TZelCustomDataStore(std::make_unique<TZelStdRegistry>(), std::make_unique<TZelStdIniFile>()) {}

TZelDataStore::TZelDataStore()
    : TZelCustomDataStore(std::make_unique<TZelRegistry>(), std::make_unique<TZelIniFile>()) {}

// ---- stores ----

TZelControlStore::TZelControlStore(TComponent* AOwner)
    : TComponent(AOwner), dataStore_(std::make_unique<TZelStdDataStore>()) {}

std::string TZelControlStore::ReadString(const std::string& Key, const std::string& Default) {
    return TTypedAccess(*dataStore_, this, OnError).ReadString(Key, Default);
}

void TZelControlStore::WriteString(const std::string& Key, const std::string& Value) {
    TTypedAccess(*dataStore_, this, OnError).WriteString(Key, Value);
}

bool TZelControlStore::ReadBool(const std::string& Key, bool Default) {
    return TTypedAccess(*dataStore_, this, OnError).ReadBool(Key, Default);
}

void TZelControlStore::WriteBool(const std::string& Key, bool Value) {
    TTypedAccess(*dataStore_, this, OnError).WriteString(Key, Value ? "1" : "0");
}

TZelStoreData::TZelStoreData(TComponent* AOwner)
    : TZelSystemsComponent(AOwner), dataStore_(std::make_unique<TZelDataStore>()) {}

std::string TZelStoreData::ReadString(const std::string& Key, const std::string& Default) {
    return TTypedAccess(*dataStore_, this, OnError).ReadString(Key, Default);
}

void TZelStoreData::WriteString(const std::string& Key, const std::string& Value) {
    TTypedAccess(*dataStore_, this, OnError).WriteString(Key, Value);
}

int32_t TZelStoreData::ReadInteger(const std::string& Key, int32_t Default) {
    return TTypedAccess(*dataStore_, this, OnError).ReadInteger(Key, Default);
}

void TZelStoreData::WriteInteger(const std::string& Key, int32_t Value) {
    TTypedAccess(*dataStore_, this, OnError).WriteString(Key, IntToStr(Value));
}

bool TZelStoreData::ReadBool(const std::string& Key, bool Default) {
    return TTypedAccess(*dataStore_, this, OnError).ReadBool(Key, Default);
}

void TZelStoreData::WriteBool(const std::string& Key, bool Value) {
    TTypedAccess(*dataStore_, this, OnError).WriteString(Key, Value ? "1" : "0");
}

}  // namespace vexel
