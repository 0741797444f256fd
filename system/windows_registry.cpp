#include <windows.h>

#include <cstring>
#include <vector>

#include "platform/wide_text.h"
#include "system/windows_media.h"

namespace vexel {

namespace {

HKEY AsKey(TRegKeyHandle Key) {
    return reinterpret_cast<HKEY>(Key);
}

// Names and texts are UTF-8 here and UTF-16 in the registry, so that a value
// in any script reads back as it was written; other types are raw bytes.
bool IsText(DWORD Type) {
    return Type == REG_SZ || Type == REG_EXPAND_SZ || Type == REG_MULTI_SZ;
}

std::wstring Wide(const std::string& Text) {
    return platform::WidenExact(Text);
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
        status = RegCreateKeyExW(AsKey(Parent), Wide(SubKey).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                 KEY_ALL_ACCESS, nullptr, &key, &disposition);
    } else {
        status = RegOpenKeyExW(AsKey(Parent), Wide(SubKey).c_str(), 0, KEY_READ, &key);
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
    const std::wstring name = Wide(Name);
    // The value may grow between asking its size and reading it: ask again then.
    for (;;) {
        DWORD type = 0;
        DWORD size = 0;
        LONG status = RegQueryValueExW(AsKey(Key), name.c_str(), nullptr, &type, nullptr, &size);
        if (status == ERROR_FILE_NOT_FOUND)
            return TRegQuery::Missing;
        if (status != ERROR_SUCCESS)
            return TRegQuery::Failed;
        std::vector<BYTE> buffer(size ? size : 1);
        status = RegQueryValueExW(AsKey(Key), name.c_str(), nullptr, &type, buffer.data(), &size);
        if (status == ERROR_MORE_DATA)
            continue;
        if (status == ERROR_FILE_NOT_FOUND)
            return TRegQuery::Missing;
        if (status != ERROR_SUCCESS)
            return TRegQuery::Failed;
        Type = type;
        if (IsText(type)) {
            std::wstring text(size / sizeof(wchar_t), L'\0');
            std::memcpy(&text[0], buffer.data(), text.size() * sizeof(wchar_t));
            Data = platform::Narrow(text);
        } else {
            Data.assign(reinterpret_cast<const char*>(buffer.data()), size);
        }
        return TRegQuery::Found;
    }
}

bool TWindowsRegistry::SetValue(TRegKeyHandle Key,
                                const std::string& Name,
                                uint32_t Type,
                                const std::string& Data) {
    if (IsText(Type)) {
        const std::wstring text = Wide(Data);
        return RegSetValueExW(AsKey(Key), Wide(Name).c_str(), 0, Type, reinterpret_cast<const BYTE*>(text.data()),
                              static_cast<DWORD>(text.size() * sizeof(wchar_t))) == ERROR_SUCCESS;
    }
    return RegSetValueExW(AsKey(Key), Wide(Name).c_str(), 0, Type, reinterpret_cast<const BYTE*>(Data.data()),
                          static_cast<DWORD>(Data.size())) == ERROR_SUCCESS;
}

bool TWindowsRegistry::DeleteTree(TRegKeyHandle Parent, const std::string& SubKey) {
    if (SubKey.empty())
        return false;
    return RegDeleteTreeW(AsKey(Parent), Wide(SubKey).c_str()) == ERROR_SUCCESS;
}

}  // namespace vexel
