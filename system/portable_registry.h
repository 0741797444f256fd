// A registry of our own for systems that have none: keys below the six
// roots, typed values, names compared without regard to case, the name
// limits of the platform's registry. It lives in memory and, when given a
// file, is read from it at the start and written back after every change.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "system/store_media.h"

namespace vexel {

// The folder that holds this user's settings outside Windows:
// $XDG_CONFIG_HOME/vexel, else $HOME/.config/vexel; empty when neither is set.
std::string PortableSettingsFolder();

// The file holds one line per key, "[HKEY_CURRENT_USER\Software\Korrin]",
// followed by its values, "Name"="text" for strings and "Name"=hex(4):05,00,00,00
// for other types; "@" names the key's unnamed value. Inside quotes a
// backslash escapes a quote, a backslash or two hexadecimal digits (\x0a);
// in key names a percent sign escapes two hexadecimal digits.
//
// A file that cannot be read back is never overwritten: the registry keeps
// what it could read, opens keys for reading only and refuses every change.
class TPortableRegistry : public TRegistryMedium {
public:
    // An empty FileName keeps the registry in memory only.
    explicit TPortableRegistry(std::string FileName = std::string());
    ~TPortableRegistry() override;

    const std::string& FileName() const { return fileName_; }
    // False when the file could not be read back; changes are refused then.
    bool Writable() const { return !broken_; }

    TRegKeyHandle RootKey(TRegRoot Root) override;
    TRegQuery QueryValue(TRegKeyHandle Key,
                         const std::string& Name,
                         uint32_t& Type,
                         std::string& Data) override;
    bool SetValue(TRegKeyHandle Key,
                  const std::string& Name,
                  uint32_t Type,
                  const std::string& Data) override;
    bool DeleteTree(TRegKeyHandle Parent, const std::string& SubKey) override;

protected:
    TRegKeyHandle DoOpenKey(TRegKeyHandle Parent, const std::string& SubKey, TRegAccess Access) override;
    void DoCloseKey(TRegKeyHandle Key) override;

private:
    struct TValue {
        std::string name;
        uint32_t type;
        std::string data;
    };
    struct TNode {
        std::string name;
        TNode* parent = nullptr;
        std::vector<std::shared_ptr<TNode>> children;
        std::vector<TValue> values;
        bool deleted = false;

        std::shared_ptr<TNode> Child(const std::string& Name) const;
        TValue* Value(const std::string& Name);
    };
    struct TOpen {
        std::shared_ptr<TNode> node;
        bool writable;
    };

    // The key behind a handle; nullptr for an unknown handle or a deleted key.
    TOpen* Resolve(TRegKeyHandle Key);
    void Load();
    bool ParseLine(const std::string& Line, TNode*& Current);
    // Writes the whole tree to the file (nothing to do without one); false
    // when it could not be written.
    bool Save();
    std::string Serialize() const;

    std::string fileName_;
    bool broken_ = false;
    std::shared_ptr<TNode> roots_[6];
    std::map<TRegKeyHandle, TOpen> handles_;
    TRegKeyHandle nextHandle_ = 0x100;
};

}  // namespace vexel
