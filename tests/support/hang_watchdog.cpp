// A test that hangs (a modal box nobody closes, a wait that never ends) would
// only show as the whole program's timeout, without saying which test or
// why. This watchdog, linked into every test program, ends the program when
// one test runs longer than VEXEL_TEST_HANG_SECONDS (300 by default), after
// naming the test and, on Windows, the windows the program has open.
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

#ifdef _WIN32
BOOL CALLBACK PrintChild(HWND window, LPARAM) {
    char cls[64] = {}, text[256] = {};
    GetClassNameA(window, cls, sizeof(cls));
    GetWindowTextA(window, text, sizeof(text));
    if (text[0])
        std::fprintf(stderr, "      %s \"%s\"\n", cls, text);
    return TRUE;
}

BOOL CALLBACK PrintWindow(HWND window, LPARAM) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != GetCurrentProcessId() || !IsWindowVisible(window))
        return TRUE;
    char cls[64] = {}, text[256] = {};
    GetClassNameA(window, cls, sizeof(cls));
    GetWindowTextA(window, text, sizeof(text));
    std::fprintf(stderr, "    window %s \"%s\"\n", cls, text);
    EnumChildWindows(window, &PrintChild, 0);
    return TRUE;
}
#endif

class HangWatchdog : public testing::EmptyTestEventListener {
public:
    HangWatchdog() {
        const char* limit = std::getenv("VEXEL_TEST_HANG_SECONDS");
        seconds_ = limit && std::atoi(limit) > 0 ? std::atoi(limit) : 300;
        std::thread([this] { Watch(); }).detach();
    }

private:
    void OnTestStart(const testing::TestInfo& test) override {
        std::lock_guard<std::mutex> lock(mutex_);
        name_ = std::string(test.test_suite_name()) + "." + test.name();
        started_ = std::chrono::steady_clock::now();
        running_ = true;
    }
    void OnTestEnd(const testing::TestInfo&) override {
        std::lock_guard<std::mutex> lock(mutex_);
        running_ = false;
    }

    void Watch() {
        for (;;) {
            std::this_thread::sleep_for(std::chrono::seconds(1));
            std::lock_guard<std::mutex> lock(mutex_);
            if (!running_ || std::chrono::steady_clock::now() - started_ < std::chrono::seconds(seconds_))
                continue;
            std::fprintf(stderr, "\nHUNG: %s ran longer than %d s; ending the program.\n", name_.c_str(), seconds_);
#ifdef _WIN32
            std::fprintf(stderr, "  Its visible windows:\n");
            EnumWindows(&PrintWindow, 0);
#endif
            std::fflush(stdout);
            std::fflush(stderr);
            std::_Exit(3);
        }
    }

    std::mutex mutex_;
    std::string name_;
    std::chrono::steady_clock::time_point started_;
    bool running_ = false;
    int seconds_ = 300;
};

const bool installed = [] {
    testing::UnitTest::GetInstance()->listeners().Append(new HangWatchdog);
    return true;
}();

}  // namespace
