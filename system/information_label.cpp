#include "system/information_label.h"

#include <windows.h>

#include <string>

#include "framework/win32/system_text.h"

namespace vexel {

namespace {

constexpr uint64_t kKilo = 1024;
constexpr uint64_t kMega = 1024 * 1024;

// Where the setup of the system keeps who it is registered to and where it
// lies. Systems of the NT line keep some of it in a key of their own only.
const wchar_t* const kSetupKeys[] = {
    L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion",
    L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion",
};

// The names are the system's own (an organisation "Müller & Söhne"), so
// they are read as UTF-16 and kept as UTF-8.
std::string RegistryText(const wchar_t* KeyName, const wchar_t* ValueName) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, KeyName, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return {};
    std::wstring text;
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExW(key, ValueName, nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
        (type == REG_SZ || type == REG_EXPAND_SZ) && size > 0) {
        std::wstring buffer(size / sizeof(wchar_t) + 1, L'\0');
        if (RegQueryValueExW(key, ValueName, nullptr, &type, reinterpret_cast<BYTE*>(&buffer[0]), &size) ==
            ERROR_SUCCESS) {
            buffer.resize(size / sizeof(wchar_t));
            text = buffer.c_str();  // up to the terminating zero, if the value has one
        }
    }
    RegCloseKey(key);
    return FromSystem(text);
}

std::string SetupValue(const wchar_t* ValueName) {
    for (const wchar_t* key : kSetupKeys) {
        std::string text = RegistryText(key, ValueName);
        if (!text.empty())
            return text;
    }
    return {};
}

std::string ProcessorName() {
    SYSTEM_INFO info{};
    GetSystemInfo(&info);
    switch (info.dwProcessorType) {
        case 386:
            return "Intel 386";
        case 486:
            return "Intel 486";
        case 586:
            return "Intel Pentium";
        case 686:
            return "Intel Pentium II";
        case 786:
            return "Intel Pentium III";
        default:
            return {};
    }
}

OSVERSIONINFOW Version() {
    OSVERSIONINFOW version{};
    version.dwOSVersionInfoSize = sizeof(version);
    GetVersionExW(&version);
    return version;
}

std::string PlatformName() {
    switch (Version().dwPlatformId) {
        case VER_PLATFORM_WIN32s:
            return "Windows 3.1";
        case VER_PLATFORM_WIN32_WINDOWS:
            return "Windows 95";
        case VER_PLATFORM_WIN32_NT:
            return "Windows NT";
        default:
            return {};
    }
}

MEMORYSTATUSEX MemoryStatus() {
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof(status);
    GlobalMemoryStatusEx(&status);
    return status;
}

std::string Kilobytes(uint64_t Bytes) {
    return std::to_string(Bytes / kKilo) + " KB";
}

// The size or free space of the current folder's drive, in whole megabytes;
// empty when the drive does not tell.
std::string CurrentDiskMegabytes(bool Free) {
    ULARGE_INTEGER available{}, total{}, totalFree{};
    if (!GetDiskFreeSpaceExW(nullptr, &available, &total, &totalFree))
        return {};
    return std::to_string((Free ? available.QuadPart : total.QuadPart) / kMega) + " MB";
}

template <class TGetName>
std::string NameOf(TGetName GetName) {
    wchar_t buffer[257] = {};
    DWORD size = 256;
    if (!GetName(buffer, &size))
        return {};
    return FromSystem(buffer);
}

std::string KeyState(int Key) {
    return (GetKeyState(Key) & 1) ? "On" : "Off";
}

std::string CurrentTime() {
    wchar_t buffer[128] = {};
    // No format: the user's own, with hours, minutes and seconds.
    if (!GetTimeFormatW(LOCALE_USER_DEFAULT, 0, nullptr, nullptr, buffer, ARRAYSIZE(buffer)))
        return {};
    return FromSystem(buffer);
}

std::string CurrentDate() {
    wchar_t buffer[128] = {};
    if (!GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, nullptr, nullptr, buffer, ARRAYSIZE(buffer)))
        return {};
    return FromSystem(buffer);
}

}  // namespace

std::string SwapFileUsageText(uint64_t Available, uint64_t Total) {
    if (Total == 0)
        return {};
    // The available share is cut off to whole percents before it is taken
    // from 100, so a file just short of full shows 100 %.
    auto availablePercent = static_cast<long long>(Available * 100 / Total);
    return std::to_string(100 - availablePercent) + " %";
}

std::string InformationValue(TZelInformation Info) {
    switch (Info) {
        case iOrganisationName:
            return SetupValue(L"RegisteredOrganization");
        case iOwnerName:
            return SetupValue(L"RegisteredOwner");
        case iProgramFilesDir:
            return SetupValue(L"ProgramFilesDir");
        case iSystemRoot:
            return SetupValue(L"SystemRoot");
        case iProcessorType:
            return ProcessorName();
        case iPlatformName:
            return PlatformName();
        case iPlatformVersion: {
            OSVERSIONINFOW version = Version();
            return std::to_string(version.dwMajorVersion) + "." + std::to_string(version.dwMinorVersion);
        }
        case iBuildNumber:
            return std::to_string(Version().dwBuildNumber & 0xFFFF);
        case iTotalPhysicalMemory:
            return Kilobytes(MemoryStatus().ullTotalPhys);
        case iCurrentDiskSize:
            return CurrentDiskMegabytes(false);
        case iScreenHeight:
            return std::to_string(GetSystemMetrics(SM_CYSCREEN));
        case iScreenWidth:
            return std::to_string(GetSystemMetrics(SM_CXSCREEN));
        case iUserName:
            return NameOf([](wchar_t* buffer, DWORD* size) { return GetUserNameW(buffer, size); });
        case iComputerName:
            return NameOf([](wchar_t* buffer, DWORD* size) { return GetComputerNameW(buffer, size); });
        case iMemoryLoad:
            return std::to_string(MemoryStatus().dwMemoryLoad) + " Percent";
        case iAvailablePhysicalMemory:
            return Kilobytes(MemoryStatus().ullAvailPhys);
        case iUsedPhysicalMemory: {
            MEMORYSTATUSEX status = MemoryStatus();
            return std::to_string(status.ullTotalPhys / kKilo - status.ullAvailPhys / kKilo) + " KB";
        }
        case iNumLock:
            return KeyState(VK_NUMLOCK);
        case iCapsLock:
            return KeyState(VK_CAPITAL);
        case iScrollLock:
            return KeyState(VK_SCROLL);
        case iCurrentDiskFree:
            return CurrentDiskMegabytes(true);
        case iCurrentTime:
            return CurrentTime();
        case iCurrentDate:
            return CurrentDate();
        case iSwapFileSettings:
            return Kilobytes(MemoryStatus().ullTotalPageFile);
        case iSwapFileSize: {
            MEMORYSTATUSEX status = MemoryStatus();
            return Kilobytes(status.ullTotalPageFile - status.ullAvailPageFile);
        }
        case iSwapFileUsage: {
            MEMORYSTATUSEX status = MemoryStatus();
            return SwapFileUsageText(status.ullAvailPageFile, status.ullTotalPageFile);
        }
    }
    return {};
}

TZelInformationLabel::TZelInformationLabel(TComponent* AOwner) : TLabel(AOwner) {}

void TZelInformationLabel::SetInfoType(TZelInformation Value) {
    infoType_ = Value;
    captionValue_ = InformationValue(infoType_);
    RefreshCaption();
}

void TZelInformationLabel::SetCaptionValue(const std::string& Value) {
    (void)Value;
    captionValue_ = InformationValue(infoType_);
    RefreshCaption();
}

void TZelInformationLabel::SetCaptionLabel(const std::string& Value) {
    captionLabel_ = Value;
    RefreshCaption();
}

void TZelInformationLabel::Loaded() {
    TLabel::Loaded();
    RefreshCaption();
}

void TZelInformationLabel::RefreshCaption() {
    SetCaption(captionLabel_ + captionValue_);
}

}  // namespace vexel
