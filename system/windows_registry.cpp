#include <windows.h>

#include <vector>

#include "system/windows_media.h"

namespace vexel {

namespace {

HKEY AsKey(TRegKeyHandle Key) {
    return reinterpret_cast<HKEY>(Key);
}

}  // namespace

TRegKeyHandle TWindowsRegistry::RootKey(TRegRoot Root) {
    static const HKEY roots[] = {HKEY_CLASSES_ROOT, HKEY_CURRENT_USER,   HKEY_LOCAL_MACHINE,
                                 HKEY_USERS,        HKEY_CURRENT_CONFIG, HKEY_DYN_DATA};
    return reinterpret_cast<TRegKeyHandle>(roots[Root]);
}

TRegKeyHandle TWindowsRegistry::DoOpenKey(TRegKeyHandle Parent,
                                          const std::string& SubKey,
                                          TRegAccess Access) {
    HKEY key = nullptr;
    LONG status;
    if (Access == raCreate) {
        DWORD disposition = 0;
        status = RegCreateKeyExA(AsKey(Parent), SubKey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                 KEY_ALL_ACCESS, nullptr, &key, &disposition);
    } else {
        status = RegOpenKeyExA(AsKey(Parent), SubKey.c_str(), 0, KEY_READ, &key);
    }
    return status == ERROR_SUCCESS ? reinterpret_cast<TRegKeyHandle>(key) : 0;
}

void TWindowsRegistry::DoCloseKey(TRegKeyHandle Key) {
    RegCloseKey(AsKey(Key));
}

TRegQuery TWindowsRegistry::QueryValue(TRegKeyHandle Key,
                                       const std::string& Name,
                                       uint32_t& Type,
                                       std::string& Data) {
    // The value may grow between asking its size and reading it: ask again then.
    for (;;) {
        DWORD type = 0;
        DWORD size = 0;
        LONG status = RegQueryValueExA(AsKey(Key), Name.c_str(), nullptr, &type, nullptr, &size);
        if (status == ERROR_FILE_NOT_FOUND)
            return TRegQuery::Missing;
        if (status != ERROR_SUCCESS)
            return TRegQuery::Failed;
        std::vector<BYTE> buffer(size ? size : 1);
        status = RegQueryValueExA(AsKey(Key), Name.c_str(), nullptr, &type, buffer.data(), &size);
        if (status == ERROR_MORE_DATA)
            continue;
        if (status == ERROR_FILE_NOT_FOUND)
            return TRegQuery::Missing;
        if (status != ERROR_SUCCESS)
            return TRegQuery::Failed;
        Type = type;
        Data.assign(reinterpret_cast<const char*>(buffer.data()), size);
        return TRegQuery::Found;
    }
}

bool TWindowsRegistry::SetValue(TRegKeyHandle Key,
                                const std::string& Name,
                                uint32_t Type,
                                const std::string& Data) {
    return RegSetValueExA(AsKey(Key), Name.c_str(), 0, Type, reinterpret_cast<const BYTE*>(Data.data()),
                          static_cast<DWORD>(Data.size())) == ERROR_SUCCESS;
}

bool TWindowsRegistry::DeleteTree(TRegKeyHandle Parent, const std::string& SubKey) {
    if (SubKey.empty())
        return false;
    return RegDeleteTreeA(AsKey(Parent), SubKey.c_str()) == ERROR_SUCCESS;
}

}  // namespace vexel
