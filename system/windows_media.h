// The platform's own media on Windows: the registry through advapi32 and
// profile files through the kernel's profile functions. Built only for
// Windows; the declarations need no system headers.
#pragma once

#include "system/store_media.h"

namespace vexel {

class TWindowsRegistry : public TRegistryMedium {
public:
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
};

class TWindowsProfiles : public TProfileMedium {
public:
    std::string ReadString(const std::string& FileName,
                           const std::string& Section,
                           const std::string& Key,
                           const std::string& Default,
                           size_t BufferSize) override;
    bool WriteString(const std::string& FileName,
                     const std::string& Section,
                     const std::string& Key,
                     const std::string& Value) override;
    std::string WindowsFolder() override;
};

}  // namespace vexel
