#include "app/about.h"

#include <windows.h>

#include <shellapi.h>

#include "framework/win32/forms.h"
#include "framework/win32/system_text.h"
#include "vexel_version.h"

namespace vexel {

const char kProductName[] = "Html Vexel";
const char kLicence[] = "Released under the MIT License.";
const char kHomePage[] = "https://htmlvexel.example.org/";
const char kMailAddress[] = "team@htmlvexel.example.org";

std::string ProductVersion() {
    // The program file's own version resource is the one the system shows;
    // a program built without one (a test) has the build's version.
    HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(VS_VERSION_INFO), RT_VERSION);
    HGLOBAL loaded = found ? LoadResource(nullptr, found) : nullptr;
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data)
        return VEXEL_VERSION;
    // VerQueryValue may write into the block: it gets a copy.
    std::string block(static_cast<const char*>(data), SizeofResource(nullptr, found));
    VS_FIXEDFILEINFO* info = nullptr;
    UINT size = 0;
    if (!VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&info), &size) || !info ||
        size < sizeof(VS_FIXEDFILEINFO))
        return VEXEL_VERSION;
    return std::to_string(HIWORD(info->dwProductVersionMS)) + "." + std::to_string(LOWORD(info->dwProductVersionMS)) +
           "." + std::to_string(HIWORD(info->dwProductVersionLS));
}

std::string ShortVersion() {
    const std::string full = ProductVersion();
    const std::size_t second = full.find('.', full.find('.') + 1);
    return second == std::string::npos ? full : full.substr(0, second);
}

std::string MainWindowCaption() {
    return "Html Vexel Pro v" + ShortVersion();
}

std::string BuildDate() {
    return __DATE__;
}

std::string ProgramFolder() {
    // The program may lie in a folder of any name, deeper than MAX_PATH.
    std::wstring path(MAX_PATH, L'\0');
    DWORD length = 0;
    for (;;) {
        length = GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size()));
        if (length < path.size())
            break;
        path.resize(path.size() * 2);
    }
    path.resize(length);
    std::string folder = FromSystem(path);
    const std::size_t slash = folder.find_last_of('\\');
    if (slash == std::string::npos)
        return folder;
    // "C:\" keeps its backslash; "C:\Tools" does not get one.
    return folder.substr(0, slash > 0 && folder[slash - 1] == ':' ? slash + 1 : slash);
}

std::string HelpFilePath() {
    std::string folder = ProgramFolder();
    if (folder.empty() || folder.back() != '\\')
        folder += '\\';
    return folder + "help.chm";
}

void OpenHelp() {
    ShellExecuteW(nullptr, L"open", ToSystem(HelpFilePath()).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

std::string AboutText() {
    return std::string(kProductName) + " " + ProductVersion() + "\r\n" +
           "Shrinks HTML pages in place into self-expanding pages.\r\n\r\n" + "Built " + BuildDate() +
           "\r\n" + kLicence + "\r\n\r\n" + "Help: " + HelpFilePath() + "\r\n" + "Home page: " + kHomePage +
           "\r\n" + "Mail: " + kMailAddress;
}

void ShowAbout() {
    const std::string caption = std::string("About ") + kProductName;
    if (Application)
        Application->MessageBox(AboutText(), caption, MB_OK | MB_ICONINFORMATION);
    else
        MessageBoxW(nullptr, ToSystem(AboutText()).c_str(), ToSystem(caption).c_str(), MB_OK | MB_ICONINFORMATION);
}

}  // namespace vexel
