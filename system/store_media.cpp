#include "system/store_media.h"

#include <memory>

#ifdef _WIN32
#include "system/windows_media.h"
#else
#include "system/portable_profiles.h"
#include "system/portable_registry.h"
#endif

namespace vexel {

TRegKeyHandle TRegistryMedium::OpenKey(TRegKeyHandle Parent, const std::string& SubKey, TRegAccess Access) {
    TRegKeyHandle key = DoOpenKey(Parent, SubKey, Access);
    if (key)
        ++openKeys_;
    return key;
}

void TRegistryMedium::CloseKey(TRegKeyHandle Key) {
    if (!Key)
        return;
    DoCloseKey(Key);
    --openKeys_;
}

namespace {

// The platform's media, made on first use and kept for the whole run.
TRegistryMedium& PlatformRegistry() {
#ifdef _WIN32
    static TWindowsRegistry registry;
#else
    static TPortableRegistry registry(
        PortableSettingsFolder().empty() ? std::string() : PortableSettingsFolder() + "/registry");
#endif
    return registry;
}

TProfileMedium& PlatformProfiles() {
#ifdef _WIN32
    static TWindowsProfiles profiles;
#else
    static TPortableProfiles profiles(PortableSettingsFolder().empty() ? std::string(".")
                                                                       : PortableSettingsFolder());
#endif
    return profiles;
}

TRegistryMedium* installedRegistry = nullptr;
TProfileMedium* installedProfiles = nullptr;

}  // namespace

TRegistryMedium& Registry() {
    return installedRegistry ? *installedRegistry : PlatformRegistry();
}

TRegistryMedium* SetRegistryMedium(TRegistryMedium* Medium) {
    TRegistryMedium* previous = installedRegistry;
    installedRegistry = Medium;
    return previous;
}

TProfileMedium& ProfileFiles() {
    return installedProfiles ? *installedProfiles : PlatformProfiles();
}

TProfileMedium* SetProfileMedium(TProfileMedium* Medium) {
    TProfileMedium* previous = installedProfiles;
    installedProfiles = Medium;
    return previous;
}

}  // namespace vexel
