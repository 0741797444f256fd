// A small program the app starter tests launch through the shell. It waits
// a little, so that a launch that does not wait for it returns first, then
// writes into the file named by its first argument how it was started: the
// show command, its working folder and its command line after the program's
// name, its process id, and a last line "done".
#include <windows.h>

#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR CommandLine, int) {
    std::string arguments = CommandLine;
    // The first argument, quoted or not, names the file to write.
    std::string target;
    if (!arguments.empty() && arguments[0] == '"') {
        size_t end = arguments.find('"', 1);
        target = arguments.substr(1, end == std::string::npos ? std::string::npos : end - 1);
    } else {
        target = arguments.substr(0, arguments.find(' '));
    }
    if (target.empty())
        return 2;
    Sleep(700);
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    GetStartupInfoA(&startup);
    char folder[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, folder);
    int show = (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : -1;
    std::string report = "show=" + std::to_string(show) + "\nfolder=" + folder + "\narguments=" + arguments +
                         "\npid=" + std::to_string(GetCurrentProcessId()) + "\ndone\n";
    HANDLE file =
        CreateFileA(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 1;
    DWORD written = 0;
    WriteFile(file, report.data(), static_cast<DWORD>(report.size()), &written, nullptr);
    CloseHandle(file);
    return 0;
}
