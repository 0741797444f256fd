// The application's lifetime and its guarded edge: the order in which a
// program ends, exceptions from the system's callbacks, timers that outlive
// their application, and work handed to the GUI thread from other threads.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "framework/core/sysutils.h"
#include "framework/win32/forms.h"
#include "framework/win32/gdi.h"
#include "framework/win32/guarded_call.h"
#include "framework/win32/timer.h"
#include "tests/framework/win32_test_support.h"

using namespace vexel;
using vexel::testing::FrameworkTest;
using vexel::testing::PumpUntil;
using vexel::testing::TakeWakeUp;

namespace {

// The output and exit code of a program run to its end.
struct TRunResult {
    DWORD ExitCode = 0;
    std::string Output, Errors;
    bool Finished = false;
};

std::string ReadAll(HANDLE pipe) {
    std::string text;
    char buffer[512];
    DWORD got = 0;
    while (ReadFile(pipe, buffer, sizeof(buffer), &got, nullptr) && got > 0)
        text.append(buffer, got);
    return text;
}

TRunResult RunProgram(const std::string& path) {
    TRunResult result;
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    HANDLE outRead = nullptr, outWrite = nullptr, errRead = nullptr, errWrite = nullptr;
    if (!CreatePipe(&outRead, &outWrite, &inherit, 0) || !CreatePipe(&errRead, &errWrite, &inherit, 0))
        return result;
    SetHandleInformation(outRead, HANDLE_FLAG_INHERIT, 0);
    SetHandleInformation(errRead, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = outWrite;
    startup.hStdError = errWrite;
    PROCESS_INFORMATION process{};
    std::string command = "\"" + path + "\"";
    BOOL started =
        CreateProcessA(nullptr, &command[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process);
    CloseHandle(outWrite);
    CloseHandle(errWrite);
    if (started) {
        // Read both pipes on their own threads so that neither can fill up.
        std::thread errReader([&] { result.Errors = ReadAll(errRead); });
        result.Output = ReadAll(outRead);
        errReader.join();
        result.Finished = WaitForSingleObject(process.hProcess, 60000) == WAIT_OBJECT_0;
        GetExitCodeProcess(process.hProcess, &result.ExitCode);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    CloseHandle(outRead);
    CloseHandle(errRead);
    return result;
}

std::string ProgramBeside(const char* name) {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder = path;
    folder.erase(folder.find_last_of("\\/") + 1);
    return folder + name;
}

}  // namespace

TEST(ApplicationLifetime, AProgramReturningWithFormsAndTimersAliveEndsCleanly) {
    TRunResult run = RunProgram(ProgramBeside("framework_exit_probe.exe"));
    ASSERT_TRUE(run.Finished);
    EXPECT_EQ(run.ExitCode, 0u);
    EXPECT_EQ(run.Errors, "");
    // The forms go last made first, each window destroyed while its form is
    // whole; the queued call is dropped; the stray timer is freed after
    // WinMain without touching the application that is gone.
    EXPECT_EQ(run.Output,
              "leaving WinMain\n"
              "WM_DESTROY second\n"
              "WM_DESTROY main\n"
              "free stray timer\n");
}

TEST(ApplicationLifetime, ScopesNestAndPutThePreviousObjectsBack) {
    EXPECT_EQ(Application, nullptr);
    EXPECT_EQ(Screen, nullptr);
    {
        ScopedApplication outer;
        TApplication* first = Application;
        ASSERT_NE(first, nullptr);
        ASSERT_NE(Screen, nullptr);
        EXPECT_EQ(Screen->Width(), GetSystemMetrics(SM_CXSCREEN));
        {
            ScopedApplication inner;
            EXPECT_NE(Application, first);
            EXPECT_EQ(Application, inner.Get());
        }
        EXPECT_EQ(Application, first);
    }
    EXPECT_EQ(Application, nullptr);
    EXPECT_EQ(Screen, nullptr);
}

TEST(ApplicationLifetime, ATimerOutlivingItsApplicationIsStoppedAndCanStillBeFreed) {
    TTimer* stray = nullptr;
    int ticks = 0;
    {
        ScopedApplication application;
        stray = new TTimer(nullptr);
        stray->SetInterval(10);
        stray->OnTimer = [&](TObject*) { ++ticks; };
        ASSERT_TRUE(PumpUntil(Application, [&] { return ticks > 0; }));
    }
    int ticksAtShutdown = ticks;
    MSG msg;
    for (int i = 0; i < 5; ++i) {
        Sleep(20);
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
    }
    EXPECT_EQ(ticks, ticksAtShutdown);
    EXPECT_TRUE(stray->Enabled());
    stray->SetEnabled(false);
    try {
        stray->SetEnabled(true);  // nothing left to run it
        FAIL() << "a timer started without an application";
    } catch (const EInvalidOperation& e) {
        EXPECT_EQ(e.Message(), "Timer needs an application object");
    }
    stray->Free();
}

class GuardedEdge : public FrameworkTest {};

TEST_F(GuardedEdge, AnExceptionInTheUtilityWindowReachesOnException) {
    auto* sender = new TComponent(App());
    TUtilityWindow window(
        [](HWND, UINT msg, WPARAM, LPARAM) -> LRESULT {
            if (msg == WM_USER)
                throw EConvertError("'x' is not a valid integer value");
            return 7;
        },
        sender);
    EXPECT_EQ(SendMessageA(window.Handle(), WM_USER, 0, 0), 0);
    EXPECT_EQ(SendMessageA(window.Handle(), WM_USER + 1, 0, 0), 7);
    ASSERT_EQ(Errors, std::vector<std::string>{"'x' is not a valid integer value"});
    EXPECT_EQ(ErrorSenders[0], sender);
}

TEST_F(GuardedEdge, GuardedCallReportsWithItsSenderAndSaysWhetherTheWorkThrew) {
    auto* sender = new TComponent(App());
    int runs = 0;
    EXPECT_TRUE(GuardedCall(sender, [&] { ++runs; }));
    EXPECT_FALSE(GuardedCall(sender, [&] {
        ++runs;
        throw std::runtime_error("Disk full");
    }));
    EXPECT_FALSE(GuardedCall(sender, [] { Abort(); }));  // silent, but still a failure
    EXPECT_EQ(runs, 2);
    ASSERT_EQ(Errors, std::vector<std::string>{"Disk full"});
    EXPECT_EQ(ErrorSenders[0], sender);
}

namespace {

// Closes the first message box another thread shows, keeping its text.
class TMessageBoxCloser {
public:
    explicit TMessageBoxCloser(DWORD thread) : thread_(thread), worker_([this] { Watch(); }) {}
    ~TMessageBoxCloser() {
        stop_ = true;
        if (worker_.joinable())
            worker_.join();
    }
    std::string Text() {
        if (worker_.joinable())
            worker_.join();
        return text_;
    }

private:
    static BOOL CALLBACK FindText(HWND child, LPARAM self) {
        char cls[32] = {}, text[256] = {};
        GetClassNameA(child, cls, sizeof(cls));
        GetWindowTextA(child, text, sizeof(text));
        if (lstrcmpiA(cls, "Static") == 0 && text[0])
            reinterpret_cast<TMessageBoxCloser*>(self)->text_ = text;
        return TRUE;
    }
    static BOOL CALLBACK FindBox(HWND window, LPARAM self) {
        char cls[32] = {}, caption[64] = {};
        GetClassNameA(window, cls, sizeof(cls));
        GetWindowTextA(window, caption, sizeof(caption));
        if (std::string(cls) != "#32770" || !IsWindowVisible(window))
            return TRUE;
        auto* closer = reinterpret_cast<TMessageBoxCloser*>(self);
        closer->caption_ = caption;
        EnumChildWindows(window, &FindText, self);
        PostMessageA(window, WM_COMMAND, IDOK, 0);
        closer->found_ = true;
        return FALSE;
    }
    void Watch() {
        for (int i = 0; i < 1000 && !found_ && !stop_; ++i) {
            EnumThreadWindows(thread_, &FindBox, reinterpret_cast<LPARAM>(this));
            Sleep(10);
        }
        if (found_)
            text_ = caption_ + ": " + text_;
    }

    DWORD thread_;
    std::atomic<bool> stop_{false}, found_{false};
    std::string caption_, text_;
    std::thread worker_;
};

}  // namespace

TEST(GuardedEdgeWithoutApplication, FallsBackToAMessageBoxAndNeverLetsTheExceptionOut) {
    ASSERT_EQ(Application, nullptr);
    TMessageBoxCloser closer(GetCurrentThreadId());
    bool completed = GuardedCall(nullptr, [] { throw EConvertError("'abc' is not a valid integer value"); });
    EXPECT_FALSE(completed);
    EXPECT_EQ(closer.Text(), "Error: 'abc' is not a valid integer value");
}

class GuiThreadWork : public FrameworkTest {};

TEST_F(GuiThreadWork, QueueFromAnotherThreadRunsInOrderOnTheGuiThreadInsideProcessMessages) {
    const DWORD gui = GetCurrentThreadId();
    std::vector<int> order;
    std::vector<DWORD> threads;
    auto queueThree = [&] {
        for (int i = 1; i <= 3; ++i)
            App()->Queue([&order, &threads, i] {
                order.push_back(i);
                threads.push_back(GetCurrentThreadId());
            });
    };
    std::thread before(queueThree);
    before.join();
    EXPECT_TRUE(order.empty());  // nothing runs before the GUI thread handles messages
    App()->ProcessMessages();
    EXPECT_EQ(order, (std::vector<int>{1, 2, 3}));

    // Queued while the GUI thread is busy in a loop that lets messages run.
    std::atomic<bool> pumping{false};
    std::thread during([&] {
        while (!pumping)
            Sleep(1);
        queueThree();
    });
    pumping = true;
    EXPECT_TRUE(PumpUntil(App(), [&] { return order.size() == 6; }));
    during.join();
    EXPECT_EQ(order, (std::vector<int>{1, 2, 3, 1, 2, 3}));
    EXPECT_EQ(threads, std::vector<DWORD>(6, gui));
}

TEST_F(GuiThreadWork, SynchronizeWaitsForTheGuiThreadAndCarriesExceptionsBack) {
    const DWORD gui = GetCurrentThreadId();
    std::atomic<bool> workerDone{false};
    DWORD ranOn = 0;
    bool returned = false;
    bool ranBeforeReturn = false;
    std::string workerError;
    std::thread worker([&] {
        returned = App()->Synchronize([&] { ranOn = GetCurrentThreadId(); });
        ranBeforeReturn = ranOn != 0;
        try {
            App()->Synchronize([] { throw EInOutError("File not found", 2); });
        } catch (const Exception& e) {
            workerError = e.Message();
        }
        workerDone = true;
    });
    ASSERT_TRUE(PumpUntil(App(), [&] { return workerDone.load(); }));
    worker.join();
    EXPECT_TRUE(returned);
    EXPECT_TRUE(ranBeforeReturn);
    EXPECT_EQ(ranOn, gui);
    EXPECT_EQ(workerError, "File not found");
    EXPECT_TRUE(Errors.empty());  // the waiting thread had it, not the report

    // On the GUI thread itself it runs at once.
    int runs = 0;
    EXPECT_TRUE(App()->Synchronize([&] { ++runs; }));
    EXPECT_EQ(runs, 1);
}

TEST_F(GuiThreadWork, AnExceptionInQueuedWorkGoesToTheApplication) {
    std::thread worker([&] { App()->Queue([] { throw std::runtime_error("Access denied"); }); });
    worker.join();
    App()->ProcessMessages();
    ASSERT_EQ(Errors, std::vector<std::string>{"Access denied"});
    EXPECT_EQ(ErrorSenders[0], App());
}

TEST_F(GuiThreadWork, RemoveQueuedReleasesTheWaitersOfThatTagOnly) {
    int tag = 0, otherTag = 0;
    std::atomic<bool> removedResult{true}, keptResult{false};
    int removedRuns = 0, keptRuns = 0;
    std::thread removed([&] { removedResult = App()->Synchronize([&] { ++removedRuns; }, &tag); });
    TakeWakeUp();
    std::thread kept([&] { keptResult = App()->Synchronize([&] { ++keptRuns; }, &otherTag); });
    MSG wakeUp = TakeWakeUp();
    App()->RemoveQueued(&tag);
    removed.join();
    EXPECT_FALSE(removedResult);
    DispatchMessageA(&wakeUp);
    kept.join();
    EXPECT_TRUE(keptResult);
    EXPECT_EQ(keptRuns, 1);
    EXPECT_EQ(removedRuns, 0);
}

TEST(GuiThreadShutdown, AThreadWaitingInSynchronizeIsReleasedWhenTheApplicationGoes) {
    std::optional<ScopedApplication> application(std::in_place);
    TApplication* app = application->Get();
    std::atomic<bool> result{true};
    int runs = 0;
    std::thread worker([&] { result = app->Synchronize([&] { ++runs; }); });
    TakeWakeUp();  // the worker waits now
    application.reset();
    worker.join();
    EXPECT_FALSE(result);
    EXPECT_EQ(runs, 0);
}

TEST(GdiTally, CountsExactlyWhenManyThreadsMakeAndDeleteObjects) {
    int live = gdi::LiveObjects();
    std::vector<std::thread> workers;
    for (int t = 0; t < 4; ++t)
        workers.emplace_back([] {
            for (int i = 0; i < 5000; ++i) {
                ScopedBrush brush(CreateSolidBrush(RGB(i & 0xFF, 0, 0)));
            }
        });
    for (std::thread& worker : workers)
        worker.join();
    EXPECT_EQ(gdi::LiveObjects(), live);
}
