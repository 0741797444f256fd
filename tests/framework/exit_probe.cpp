// A program that returns from WinMain with its forms, their timers, a queued
// call and a timer of no owner still alive. It writes what reaches it on the
// way out to standard output; the application tests run it and read that.
#include <windows.h>

#include <cstring>
#include <string>

#include "framework/win32/forms.h"
#include "framework/win32/timer.h"

namespace {

using namespace vexel;

void Say(const std::string& text) {
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), text.data(), static_cast<DWORD>(text.size()), &written,
              nullptr);
}

class TLoggingForm : public TForm {
public:
    explicit TLoggingForm(TComponent* owner) : TForm(owner) { SetBorderStyle(bsNone); }
    std::string Label;

protected:
    void WndProc(TMessage& message) override {
        if (message.Msg == WM_DESTROY)
            Say("WM_DESTROY " + Label + "\n");
        TForm::WndProc(message);
    }
};

class TLoggingTimer : public TTimer {
public:
    using TTimer::TTimer;

protected:
    ~TLoggingTimer() override { Say("free stray timer\n"); }
};

// Freed with the program's static objects, long after the application.
ScopedFree<TLoggingTimer> g_strayTimer;
int g_ticks = 0;

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    ScopedApplication application;
    TLoggingForm* mainForm = nullptr;
    Application->CreateForm(mainForm);
    mainForm->Label = "main";
    mainForm->HandleNeeded();  // a window, though never shown
    auto* second = new TLoggingForm(Application);
    second->Label = "second";
    second->Show();
    auto* timer = new TTimer(mainForm);
    timer->SetInterval(10);
    timer->OnTimer = [](TObject*) { ++g_ticks; };
    g_strayTimer.reset(new TLoggingTimer(nullptr));
    g_strayTimer->SetInterval(10);
    while (g_ticks < 2)
        Application->HandleMessage();
    Application->Queue([] { Say("queued call ran\n"); });
    Say("leaving WinMain\n");
    return 0;
}
