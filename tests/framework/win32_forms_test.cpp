// Forms and the application: main form, message loop, show/hide/close
// events, client size, timers and the exception report.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <type_traits>
#include <vector>

#include "framework/core/sysutils.h"
#include "framework/win32/forms.h"
#include "framework/win32/timer.h"
#include "tests/framework/win32_test_support.h"

using namespace vexel;
using vexel::testing::FrameworkTest;

class Forms : public FrameworkTest {};

namespace {

class TCountingForm : public TForm {
public:
    explicit TCountingForm(TComponent* owner) : TForm(owner) {
        SetBorderStyle(bsNone);
        OnCreate = [this](TObject*) { ++Creates; };
        OnShow = [this](TObject*) {
            ++Shows;
            VisibleInOnShow = Visible();
        };
        OnHide = [this](TObject*) { ++Hides; };
    }
    int Creates = 0, Shows = 0, Hides = 0;
    bool VisibleInOnShow = false;
};

}  // namespace

TEST_F(Forms, TheFirstFormCreatedIsTheMainForm) {
    TCountingForm* splash = nullptr;
    TCountingForm* main = nullptr;
    App()->CreateForm(splash);
    App()->CreateForm(main);
    EXPECT_EQ(App()->MainForm(), splash);
    EXPECT_EQ(splash->Owner(), App());
    EXPECT_EQ(splash->Creates, 1);
    EXPECT_EQ(main->Creates, 1);
    EXPECT_FALSE(splash->Visible());
    EXPECT_FALSE(splash->HandleAllocated() && IsWindowVisible(splash->Handle()));
    splash->Free();
    EXPECT_EQ(App()->MainForm(), nullptr);
}

TEST_F(Forms, ClosingAnotherFormHidesItButClosingTheMainFormEndsRun) {
    TCountingForm* splash = nullptr;
    TCountingForm* main = nullptr;
    App()->CreateForm(splash);
    App()->CreateForm(main);
    std::vector<std::string> log;
    main->OnClose = [&](TObject*, TCloseAction& action) {
        log.push_back("main closes");
        EXPECT_EQ(action, caHide);
    };
    splash->OnClose = [&](TObject*, TCloseAction&) { log.push_back("splash closes"); };

    App()->SetShowMainForm(false);
    main->Show();
    PostMessageA(main->Handle(), WM_CLOSE, 0, 0);
    PostMessageA(splash->Handle(), WM_CLOSE, 0, 0);
    App()->Run();  // returns once the main form closed
    EXPECT_TRUE(App()->Terminated());
    EXPECT_EQ(log, (std::vector<std::string>{"main closes", "splash closes"}));
    EXPECT_FALSE(main->Visible());
    EXPECT_EQ(main->Hides, 1);
    EXPECT_TRUE(IsWindow(main->Handle()));  // hidden, not destroyed
}

TEST_F(Forms, CloseQueryAndCaNoneKeepTheFormOpen) {
    TCountingForm* form = nullptr;
    TCountingForm* other = nullptr;
    App()->CreateForm(other);
    App()->CreateForm(form);
    form->Show();
    bool allow = false;
    form->OnCloseQuery = [&](TObject*, bool& canClose) { canClose = allow; };
    form->Close();
    EXPECT_TRUE(form->Visible());
    allow = true;
    form->OnClose = [](TObject*, TCloseAction& action) { action = caNone; };
    form->Close();
    EXPECT_TRUE(form->Visible());
    form->OnClose = [](TObject*, TCloseAction& action) { action = caFree; };
    bool destroyed = false;
    form->OnDestroy = [&](TObject*) { destroyed = true; };
    form->Close();
    App()->ProcessMessages();  // the form goes once its queued messages are done
    EXPECT_TRUE(destroyed);
    EXPECT_EQ(App()->ComponentCount(), 1);
}

TEST_F(Forms, ShowAndHideFireOnlyOnChanges) {
    TCountingForm* form = nullptr;
    App()->CreateForm(form);
    form->Show();
    form->Show();
    EXPECT_EQ(form->Shows, 1);
    EXPECT_TRUE(form->VisibleInOnShow);
    EXPECT_TRUE(IsWindowVisible(form->Handle()));
    form->Hide();
    form->Hide();
    EXPECT_EQ(form->Hides, 1);
    EXPECT_FALSE(IsWindowVisible(form->Handle()));
    form->Show();
    EXPECT_EQ(form->Shows, 2);
    form->Hide();
}

TEST_F(Forms, ClientSizeIsTheAreaInsideTheFrame) {
    auto* framed = new TForm(App());
    framed->SetBorderStyle(bsSingle);
    framed->SetBorderIcons(biSystemMenu);
    framed->SetClientWidth(347);
    framed->SetClientHeight(233);
    EXPECT_EQ(framed->ClientWidth(), 347);
    EXPECT_GT(framed->Width(), 347);
    RECT client{};
    GetClientRect(framed->Handle(), &client);
    EXPECT_EQ(client.right, 347);
    EXPECT_EQ(client.bottom, 233);
    LONG style = GetWindowLongA(framed->Handle(), GWL_STYLE);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_FALSE(style & WS_MINIMIZEBOX);

    auto* borderless = new TForm(App());
    borderless->SetBorderStyle(bsNone);
    borderless->SetClientWidth(334);
    borderless->SetClientHeight(175);
    EXPECT_EQ(borderless->Width(), 334);
    EXPECT_EQ(borderless->Height(), 175);
    EXPECT_FALSE(GetWindowLongA(borderless->Handle(), GWL_STYLE) & WS_CAPTION);
}

TEST_F(Forms, BoundsFollowMovesMadeByTheSystem) {
    auto* form = new TForm(App());
    form->SetBorderStyle(bsNone);
    form->SetBounds(10, 20, 100, 50);
    int resizes = 0;
    form->OnResize = [&](TObject*) { ++resizes; };
    MoveWindow(form->Handle(), 40, 60, 150, 70, FALSE);
    EXPECT_EQ(form->BoundsRect(), Bounds(40, 60, 150, 70));
    EXPECT_EQ(resizes, 1);
    form->SetLeft(5);
    RECT r{};
    GetWindowRect(form->Handle(), &r);
    EXPECT_EQ(r.left, 5);
}

TEST_F(Forms, CaptionIsTheWindowText) {
    auto* form = new TForm(App());
    form->SetCaption("Tip of the day");
    char text[64] = {};
    GetWindowTextA(form->Handle(), text, sizeof(text));
    EXPECT_STREQ(text, "Tip of the day");
    SetWindowTextA(form->Handle(), "Log");
    EXPECT_EQ(form->Caption(), "Log");
}

TEST_F(Forms, TimersTickThroughTheMessageLoop) {
    auto* timer = new TTimer(App());
    timer->SetInterval(10);
    int ticks = 0;
    timer->OnTimer = [&](TObject* sender) {
        EXPECT_EQ(sender, timer);
        if (++ticks == 2)
            timer->SetEnabled(false);
    };
    for (DWORD start = GetTickCount(); ticks < 2 && GetTickCount() - start < 10000;)
        App()->HandleMessage();
    EXPECT_EQ(ticks, 2);
    EXPECT_FALSE(timer->Enabled());
}

TEST_F(Forms, AnExceptionInATimerGoesToTheApplication) {
    auto* timer = new TTimer(App());
    timer->SetInterval(10);
    timer->OnTimer = [&](TObject*) {
        timer->SetEnabled(false);
        throw std::runtime_error("Cannot open file");
    };
    for (DWORD start = GetTickCount(); Errors.empty() && GetTickCount() - start < 10000;)
        App()->HandleMessage();
    ASSERT_EQ(Errors, std::vector<std::string>{"Cannot open file"});
    EXPECT_EQ(ErrorSenders[0], timer);
}

TEST_F(Forms, HandleExceptionReportsEveryKindAndIgnoresAbort) {
    auto raise = [&](auto thrower) {
        try {
            thrower();
        } catch (...) {
            App()->HandleException(App());
        }
    };
    raise([] { throw EConvertError("'x' is not a valid integer value"); });
    raise([] { throw std::logic_error("plain"); });
    raise([] { throw 42; });
    raise([] { Abort(); });
    EXPECT_EQ(Errors, (std::vector<std::string>{"'x' is not a valid integer value", "plain", "Unknown exception"}));
}

namespace {

// The text and caption of the message box on screen, which it then closes.
struct TMessageBoxReader {
    std::string Text, Caption;
    bool Closed = false;

    static BOOL CALLBACK FindText(HWND child, LPARAM self) {
        char cls[32] = {}, text[256] = {};
        GetClassNameA(child, cls, sizeof(cls));
        GetWindowTextA(child, text, sizeof(text));
        auto* reader = reinterpret_cast<TMessageBoxReader*>(self);
        if (lstrcmpiA(cls, "Static") == 0 && text[0])
            reader->Text = text;
        return TRUE;
    }
    static BOOL CALLBACK FindBox(HWND window, LPARAM self) {
        char cls[32] = {};
        GetClassNameA(window, cls, sizeof(cls));
        if (std::string(cls) != "#32770" || !IsWindowVisible(window))
            return TRUE;
        auto* reader = reinterpret_cast<TMessageBoxReader*>(self);
        char caption[256] = {};
        GetWindowTextA(window, caption, sizeof(caption));
        reader->Caption = caption;
        EnumChildWindows(window, &FindText, self);
        PostMessageA(window, WM_COMMAND, IDOK, 0);
        reader->Closed = true;
        return FALSE;
    }
};

}  // namespace

TEST_F(Forms, TheDefaultReportIsAMessageBoxEndingInAPeriod) {
    App()->OnException = nullptr;
    App()->SetTitle("Html Vexel compression");
    TMessageBoxReader reader;
    // The message box runs its own loop, which still delivers timer ticks.
    auto* timer = new TTimer(App());
    timer->SetInterval(50);
    timer->OnTimer = [&](TObject*) {
        if (!reader.Closed)
            EnumThreadWindows(GetCurrentThreadId(), &TMessageBoxReader::FindBox, reinterpret_cast<LPARAM>(&reader));
    };
    try {
        throw EConvertError("'abc' is not a valid integer value");
    } catch (...) {
        App()->HandleException(App());
    }
    EXPECT_TRUE(reader.Closed);
    EXPECT_EQ(reader.Caption, "Html Vexel compression");
    EXPECT_EQ(reader.Text, "'abc' is not a valid integer value.");
}

TEST_F(Forms, ProcessMessagesRunsPostedWorkAndNoticesQuit) {
    auto* form = new TForm(App());
    int clicks = 0;
    form->OnClick = [&](TObject*) { ++clicks; };
    PostMessageA(form->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(1, 1));
    PostMessageA(form->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(1, 1));
    App()->ProcessMessages();
    EXPECT_EQ(clicks, 1);
    EXPECT_FALSE(App()->Terminated());
    App()->Terminate();
    App()->ProcessMessages();
    EXPECT_TRUE(App()->Terminated());
}

TEST_F(Forms, ParentFormIsTheTopmostForm) {
    auto* form = new TForm(App());
    auto* inner = new TForm(App());
    auto* label = new TForm(App());
    inner->SetParent(form);
    label->SetParent(inner);
    EXPECT_EQ(GetParentForm(label), form);
    EXPECT_EQ(GetParentForm(form), form);
    EXPECT_EQ(GetParentForm(nullptr), nullptr);
}

namespace {

// Counts the WM_DESTROY its own WndProc override sees.
template <class TBase>
class TDestroyCounter : public TBase {
public:
    explicit TDestroyCounter(TComponent* owner, int* destroys) : TBase(owner), destroys_(destroys) {}

protected:
    void WndProc(TMessage& message) override {
        if (message.Msg == WM_DESTROY)
            ++*destroys_;
        TBase::WndProc(message);
    }

private:
    int* destroys_;
};

// A component that looks at its owner as it goes.
class TOwnerWatcher : public TComponent {
public:
    TOwnerWatcher(TComponent* owner, bool* ownerWasWindowed) : TComponent(owner), seen_(ownerWasWindowed) {}

protected:
    ~TOwnerWatcher() override { *seen_ = dynamic_cast<TWinControl*>(Owner()) != nullptr; }

private:
    bool* seen_;
};

}  // namespace

// Every component class of the framework is freed with Free only.
static_assert(!std::is_destructible_v<TComponent> && !std::is_destructible_v<TControl> &&
              !std::is_destructible_v<TWinControl> && !std::is_destructible_v<TForm> &&
              !std::is_destructible_v<TApplication> && !std::is_destructible_v<TTimer>);

TEST_F(Forms, FreeDestroysTheWindowsWhileTheFormAndItsControlsAreWhole) {
    int formDestroys = 0, childDestroys = 0;
    bool ownerWasWindowed = false;
    auto* form = new TDestroyCounter<TForm>(App(), &formDestroys);
    auto* child = new TDestroyCounter<TWinControl>(form, &childDestroys);
    child->SetParent(form);
    new TOwnerWatcher(form, &ownerWasWindowed);
    HWND window = form->Handle();
    HWND childWindow = child->Handle();
    ASSERT_TRUE(IsWindow(childWindow));
    form->Free();
    EXPECT_EQ(formDestroys, 1);
    EXPECT_EQ(childDestroys, 1);
    EXPECT_TRUE(ownerWasWindowed);  // owned components go before the form's own destructor
    EXPECT_FALSE(IsWindow(window));
    EXPECT_FALSE(IsWindow(childWindow));

    // Released from inside its own message: the same.
    auto* released = new TDestroyCounter<TForm>(App(), &formDestroys);
    released->Release();
    App()->ProcessMessages();
    EXPECT_EQ(formDestroys, 2);
}

TEST_F(Forms, TheScreenReportsTheDisplaySize) {
    ASSERT_NE(Screen, nullptr);
    EXPECT_EQ(Screen->Width(), GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(Screen->Height(), GetSystemMetrics(SM_CYSCREEN));
    EXPECT_GT(Screen->Width(), 0);
}

TEST(SystemMulDiv, MatchesTheWindowsFunction) {
    const int values[] = {0, 1, -1, 2, -2, 3, 5, -5, 7, 10, 31, 255, -255, 1000, 2000000000, -2000000000};
    for (int a : values)
        for (int b : values)
            for (int c : values)
                ASSERT_EQ(vexel::MulDiv(a, b, c), ::MulDiv(a, b, c)) << a << " * " << b << " / " << c;
}
