// Runs the real vexel program as a child process, its standard output and
// error going to files, for the tests that need a process of its own: signals,
// kill -9, fault injection, the Windows command line.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <thread>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace vexel::cli::support {

// The vexel program beside this test program's build: <build>/cli/vexel.
inline std::string VexelProgram() {
#ifdef _WIN32
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    return (std::filesystem::path(self).parent_path() / ".." / ".." / "cli" / "vexel.exe").u8string();
#else
    const char* build = std::getenv("VEXEL_BINARY_DIR");
    EXPECT_NE(build, nullptr) << "VEXEL_BINARY_DIR is not set";
    return std::string(build != nullptr ? build : ".") + "/cli/vexel";
#endif
}

class ChildRun {
public:
    using Environment = std::map<std::string, std::string>;

    // Starts `program` with `args` (UTF-8); `folder` receives out.txt and err.txt.
    // `input` (POSIX): a file or FIFO for standard input, opened for reading
    // and writing so that the opening never waits.
    ChildRun(const std::string& program,
             const std::vector<std::string>& args,
             const std::string& folder,
             const Environment& env = {},
             const std::string& input = {})
        : out_path_(folder + "/out.txt"), err_path_(folder + "/err.txt"), in_path_(input) {
        std::filesystem::create_directories(std::filesystem::u8path(folder));
        Start(program, args, env);
    }
    ~ChildRun() {
        if (running_) {
            Kill();
            Wait();
        }
    }
    ChildRun(const ChildRun&) = delete;
    ChildRun& operator=(const ChildRun&) = delete;

    // The exit status; for a process ended by a signal, 128 + its number.
    int Wait() {
        if (!running_) {
            return status_;
        }
        running_ = false;
#ifdef _WIN32
        WaitForSingleObject(process_, INFINITE);
        DWORD code = 1;
        GetExitCodeProcess(process_, &code);
        CloseHandle(process_);
        status_ = static_cast<int>(code);
#else
        int raw = 0;
        while (waitpid(pid_, &raw, 0) < 0 && errno == EINTR) {
        }
        status_ = WIFSIGNALED(raw) ? 128 + WTERMSIG(raw) : WEXITSTATUS(raw);
#endif
        return status_;
    }

    // True once the process has ended (Wait then returns at once).
    bool Finished() {
        if (!running_) {
            return true;
        }
#ifdef _WIN32
        if (WaitForSingleObject(process_, 0) != WAIT_OBJECT_0) {
            return false;
        }
        Wait();
        return true;
#else
        int raw = 0;
        const pid_t done = waitpid(pid_, &raw, WNOHANG);
        if (done != pid_) {
            return false;
        }
        running_ = false;
        status_ = WIFSIGNALED(raw) ? 128 + WTERMSIG(raw) : WEXITSTATUS(raw);
        return true;
#endif
    }

#ifndef _WIN32
    void Signal(int number) {
        ::kill(pid_, number);
    }
    void Kill() {
        Signal(SIGKILL);
    }
#else
    void Kill() {
        TerminateProcess(process_, 137);
    }
#endif

    std::string Out() const {
        return ReadAll(out_path_);
    }
    std::string Err() const {
        return ReadAll(err_path_);
    }

private:
    static std::string ReadAll(const std::string& path) {
        std::ifstream file(std::filesystem::u8path(path), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    }

#ifdef _WIN32
    static std::wstring Wide(const std::string& utf8) {
        return std::filesystem::u8path(utf8).wstring();
    }

    // The quoting CommandLineToArgvW undoes.
    static std::wstring Quote(const std::wstring& arg) {
        std::wstring quoted = L"\"";
        std::size_t backslashes = 0;
        for (const wchar_t c : arg) {
            if (c == L'\\') {
                ++backslashes;
                continue;
            }
            quoted.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
            backslashes = 0;
            quoted.push_back(c);
        }
        quoted.append(backslashes * 2, L'\\');
        return quoted + L"\"";
    }

    static HANDLE Inheritable(const std::string& path) {
        SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
        return CreateFileW(Wide(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                           CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    }

    void Start(const std::string& program, const std::vector<std::string>& args, const Environment& env) {
        for (const auto& [name, value] : env) {
            SetEnvironmentVariableW(Wide(name).c_str(), Wide(value).c_str());
        }
        std::wstring line = Quote(Wide(program));
        for (const std::string& arg : args) {
            line += L" " + Quote(Wide(arg));
        }
        STARTUPINFOW startup = {};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        startup.hStdOutput = Inheritable(out_path_);
        startup.hStdError = Inheritable(err_path_);
        PROCESS_INFORMATION info = {};
        const BOOL started = CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                                            &startup, &info);
        CloseHandle(startup.hStdOutput);
        CloseHandle(startup.hStdError);
        ASSERT_TRUE(started) << "cannot start " << program;
        CloseHandle(info.hThread);
        process_ = info.hProcess;
        running_ = true;
    }

    HANDLE process_ = nullptr;
#else
    void Start(const std::string& program, const std::vector<std::string>& args, const Environment& env) {
        std::vector<std::string> argv_text = {program};
        argv_text.insert(argv_text.end(), args.begin(), args.end());
        pid_ = fork();
        ASSERT_GE(pid_, 0) << "fork failed";
        if (pid_ == 0) {
            const int out = ::open(out_path_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            const int err = ::open(err_path_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            dup2(out, 1);
            dup2(err, 2);
            if (!in_path_.empty())
                dup2(::open(in_path_.c_str(), O_RDWR), 0);
            for (const auto& [name, value] : env) {
                setenv(name.c_str(), value.c_str(), 1);
            }
            std::vector<char*> argv;
            for (std::string& arg : argv_text) {
                argv.push_back(arg.data());
            }
            argv.push_back(nullptr);
            execv(program.c_str(), argv.data());
            _exit(127);
        }
        running_ = true;
    }

    pid_t pid_ = -1;
#endif

    std::string out_path_;
    std::string err_path_;
    std::string in_path_;
    bool running_ = false;
    int status_ = -1;
};

// Waits until `done` holds; false when `seconds` passed first.
template <typename Condition>
bool WaitUntil(Condition done, double seconds = 20) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < end) {
        if (done()) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return false;
}

}  // namespace vexel::cli::support
