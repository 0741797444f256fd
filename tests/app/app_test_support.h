// Shared pieces of the desktop program's tests: the whole window set made
// under a test application, with stand-ins for the splash and the main
// window, a registry key of the test's own for the tip window, a recorded
// "already compressed" box, and a file list the test fills.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "app/batch_run.h"
#include "app/conn.h"
#include "app/main_window.h"
#include "app/splash.h"
#include "app/window_set.h"
#include "engine/batch.h"
#include "engine/page_compression.h"
#include "system/store_media.h"
#include "tests/app/sample_pages.h"
#include "tests/engine/test_support.h"
#include "tests/framework/win32_test_support.h"
#include "tests/system/store_test_support.h"

namespace vexel::testing {

// The main window's file list: items with their paths and selection, and
// the current items in the order the run made them current.
class TestSelection : public TFileSelection {
public:
    void Add(const std::string& Path, bool IsSelected = true) {
        paths.push_back(Path);
        selected.push_back(IsSelected);
    }
    int Count() override { return static_cast<int>(paths.size()); }
    bool Selected(int Index) override { return selected.at(static_cast<std::size_t>(Index)); }
    std::string Path(int Index) override { return paths.at(static_cast<std::size_t>(Index)); }
    void SetCurrent(int Index) override {
        current.push_back(Index);
        if (OnCurrent)
            OnCurrent(Index);
    }

    std::vector<std::string> paths;
    std::vector<bool> selected;
    std::vector<int> current;
    std::function<void(int Index)> OnCurrent;
};

// The page the engine itself writes for Source with these options.
inline std::string EnginePage(const std::string& Source, const JobOptions& Options, bool JavaScript) {
    RecordingJobHost host;
    const CompressedPage page = CompressPage(Source, "page.htm", Options,
                                             JavaScript ? PageFormat::JavaScript : PageFormat::VbScript, host);
    return page.Prepared ? page.Text : Source;
}

class AppTest : public FrameworkTest {
protected:
    // Where the stand-in main window sits.
    static constexpr int kMainLeft = 120;
    static constexpr int kMainTop = 90;

    void SetUp() override {
        FrameworkTest::SetUp();
        storeKey_ = "Software\\VexelAppTest" + RandomDigits();
    }

    void TearDown() override {
        FrameworkTest::TearDown();  // frees the windows; the tip window writes once more
        Registry().DeleteTree(Registry().RootKey(rrCurrentUser), storeKey_);
    }

    // Makes the windows; a test that needs stored values puts them first.
    void MakeWindows() {
        TWindowSetOptions options;
        options.StorePath = "\\" + storeKey_;
        options.MakeSplash = [this](TWindowSet&) {
            App()->CreateForm(splash);
            return splash;
        };
        options.MakeMainWindow = [this](TWindowSet&) {
            main = new TForm(App());
            main->SetBorderStyle(bsNone);
            main->SetBounds(kMainLeft, kMainTop, 634, 450);
            return main;
        };
        windows = CreateWindowSet(options);
        windows->FileSelection = &selection;
        windows->Conn->ShowMessage = [this](const std::string& Text) { messages.push_back(Text); };
        windows->Conn->Ask = [this](const std::string& Text) {
            questions.push_back(Text);
            return answer;
        };
    }

    // Makes the windows with the program's own splash and main window.
    void MakeProgramWindows() {
        TWindowSetOptions options;
        options.StorePath = "\\" + storeKey_;
        options.MakeSplash = [this](TWindowSet& Windows) {
            toplogo = MakeProgramSplash(Windows);
            toplogo->Timer1->SetEnabled(false);  // a test ticks it itself
            return toplogo;
        };
        options.MakeMainWindow = [this](TWindowSet& Windows) { return form1 = MakeProgramMainWindow(Windows); };
        windows = CreateWindowSet(options);
        splash = toplogo;
        main = form1;
        form1->ShowNotice = [this](const std::string& Text) { messages.push_back(Text); };
        windows->Conn->ShowMessage = [this](const std::string& Text) { messages.push_back(Text); };
        windows->Conn->Ask = [this](const std::string& Text) {
            questions.push_back(Text);
            return answer;
        };
    }

    // A value of the tip window's store, read straight from the registry.
    std::string Stored(const std::string& Name) const {
        TRegistryMedium& registry = Registry();
        TRegKeyHandle key =
            registry.OpenKey(registry.RootKey(rrCurrentUser), storeKey_ + "\\HTML Vexel", raRead);
        std::string data = "<missing>";
        uint32_t type = rdNone;
        if (!key || registry.QueryValue(key, Name, type, data) != TRegQuery::Found)
            data = "<missing>";
        registry.CloseKey(key);
        while (!data.empty() && data.back() == '\0')
            data.pop_back();
        return data;
    }

    void Store(const std::string& Name, const std::string& Value) const {
        TRegistryMedium& registry = Registry();
        TRegKeyHandle key =
            registry.OpenKey(registry.RootKey(rrCurrentUser), storeKey_ + "\\HTML Vexel", raCreate);
        ASSERT_NE(key, 0u);
        EXPECT_TRUE(registry.SetValue(key, Name, rdString, Value + std::string(1, '\0')));
        registry.CloseKey(key);
    }

    Ttoplogo* toplogo = nullptr;  // the program's own windows, when made
    TForm1* form1 = nullptr;
    TForm* splash = nullptr;
    TForm* main = nullptr;
    TWindowSet* windows = nullptr;
    TestSelection selection;
    std::vector<std::string> messages;  // "already compressed" boxes shown
    std::vector<std::string> questions;  // questions asked, each given `answer`
    int answer = IDNO;

private:
    std::string storeKey_;
};

// The lines of a string list (a log, a file list) as plain strings.
inline std::vector<std::string> Lines(TStrings* Strings) {
    std::vector<std::string> lines;
    for (int i = 0; i < Strings->Count(); ++i)
        lines.push_back(Strings->Strings(i));
    return lines;
}

}  // namespace vexel::testing
