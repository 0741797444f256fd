// A form manager's stored placement and its window background, on real
// windows and the system's registry (in a key of the test's own): what a
// close writes, what loading reads back and when, and which background
// styles answer WM_ERASEBKGND and with what paint.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "framework/win32/gdi.h"
#include "system/form_manager.h"
#include "tests/framework/win32_test_support.h"
#include "tests/system/form_test_support.h"

using namespace vexel;
using vexel::testing::Fill;
using vexel::testing::FormManagerTest;
using vexel::testing::TProbeForm;
using vexel::testing::TWatchHook;

namespace {

// A form made as a stored form is: loading from its creation to EndLoading,
// with a manager whose store is bound while loading.
struct TLoadedForm {
    TProbeForm* Form;
    TZelFormManager* Manager;
};

}  // namespace

class FormStoreTest : public FormManagerTest {
protected:
    // Size, location and state kept under "Place" in the test's key.
    TLoadedForm LoadForm(const std::string& name, bool visible = false) {
        TProbeForm* form = NewForm(name);
        form->BeginLoading();
        auto* manager = new TZelFormManager(form);
        TZelStoreData* store = NewStore(form);
        // Set while there is no store yet: nothing is written by these.
        manager->FormStore()->SetSize(true);
        manager->FormStore()->SetLocation(true);
        manager->FormStore()->SetState(true);
        manager->FormStore()->SetVisible(visible);
        manager->FormStore()->SetStore(store);
        manager->FormStore()->SetStoreKey("Place");
        form->EndLoading();
        return {form, manager};
    }

    void Put(const std::string& name, const std::string& value) {
        TZelStoreData* store = NewStore(nullptr);
        store->WriteString(name, value);
        store->Free();
    }
};

TEST_F(FormStoreTest, AClosingFormWritesWhatIsKeptAndTheMarker) {
    // Nothing stored yet: loading leaves the form as made, and writes nothing.
    TLoadedForm first = LoadForm("Placed");
    EXPECT_EQ(first.Form->Left(), 60);
    EXPECT_EQ(first.Form->Width(), 400);
    EXPECT_EQ(Stored("Place"), "<missing>");

    first.Form->SetBounds(70, 80, 420, 330);
    SendMessageA(first.Form->Handle(), WM_CLOSE, 0, 0);
    EXPECT_EQ(Stored("PlacePlaced_Width"), "420");
    EXPECT_EQ(Stored("PlacePlaced_Height"), "330");
    EXPECT_EQ(Stored("PlacePlaced_Top"), "80");
    EXPECT_EQ(Stored("PlacePlaced_Left"), "70");
    EXPECT_EQ(Stored("PlacePlaced_WindowState"), "2");
    EXPECT_EQ(Stored("PlacePlaced_Visible"), "<missing>");
    EXPECT_EQ(Stored("Place"), "Place");

    // Maximized, only the state is written: the normal bounds stay stored.
    first.Form->SetWindowState(wsMaximized);
    first.Form->SetBounds(0, 0, 900, 700);
    SendMessageA(first.Form->Handle(), WM_CLOSE, 0, 0);
    EXPECT_EQ(Stored("PlacePlaced_WindowState"), "3");
    EXPECT_EQ(Stored("PlacePlaced_Width"), "420");
    EXPECT_EQ(Stored("PlacePlaced_Left"), "70");
    first.Form->Free();

    // The next form of that name comes back maximized, with those bounds.
    TLoadedForm second = LoadForm("Placed");
    EXPECT_EQ(second.Form->WindowState(), wsMaximized);
    EXPECT_EQ(second.Form->Left(), 70);
    EXPECT_EQ(second.Form->Top(), 80);
    EXPECT_EQ(second.Form->Width(), 420);
    EXPECT_EQ(second.Form->Height(), 330);
    // A form of another name has its own keys, none of them stored.
    TLoadedForm other = LoadForm("Other");
    EXPECT_EQ(other.Form->Width(), 400);
    EXPECT_EQ(other.Form->WindowState(), wsNormal);
}

TEST_F(FormStoreTest, LoadingNeedsTheMarkerAndKeepsWhatIsNotStored) {
    Put("PlacePlaced_Top", "6");
    TLoadedForm unmarked = LoadForm("Placed");
    EXPECT_EQ(unmarked.Form->Top(), 60) << "read without the marker";
    // Its store goes with it, and saves the form once more on the way.
    unmarked.Form->Free();
    EXPECT_EQ(Stored("PlacePlaced_Top"), "60");
    EXPECT_EQ(Stored("Place"), "Place");

    // With the marker, a top and an unreadable width, but no left: only
    // what is there and readable is taken.
    Put("PlaceFresh_Top", "6");
    Put("PlaceFresh_Width", "wide");
    Put("PlaceFresh_WindowState", "7");
    TLoadedForm marked = LoadForm("Fresh");
    EXPECT_EQ(marked.Form->Top(), 6);
    EXPECT_EQ(marked.Form->Left(), 60);
    EXPECT_EQ(marked.Form->Width(), 400);
    EXPECT_EQ(marked.Form->Height(), 300);
    EXPECT_EQ(marked.Form->WindowState(), wsNormal);
}

TEST_F(FormStoreTest, TurningAFlagOnSavesAtOnceAndAGoingStoreGetsTheLastValues) {
    auto* manager = new TZelFormManager(form_);
    TZelStoreData* store = NewStore(nullptr);
    TZelFormStore* place = manager->FormStore();
    place->SetStore(store);
    place->SetStoreKey("K");
    place->SetVisible(false);
    EXPECT_EQ(Stored("K"), "<missing>") << "turning a flag off saves nothing";
    place->SetVisible(true);
    EXPECT_EQ(Stored("KSample_Visible"), "0");
    EXPECT_EQ(Stored("KSample_Width"), "<missing>");
    EXPECT_EQ(Stored("K"), "K");
    place->SetSize(true);
    EXPECT_EQ(Stored("KSample_Width"), "400");

    // Freeing the store saves once more through it, then lets it go.
    form_->SetWidth(444);
    store->Free();
    EXPECT_EQ(Stored("KSample_Width"), "444");
    EXPECT_EQ(place->Store(), nullptr);
    SendMessageA(form_->Handle(), WM_CLOSE, 0, 0);  // nothing to write to now
}

TEST_F(FormStoreTest, OnlyAPaintingStyleAnswersTheEraseMessage) {
    auto* manager = new TZelFormManager(form_);
    TZelFormBackground* ground = manager->Background();
    form_->SetColor(0x00336699);
    TWatchHook watch;
    form_->AddMessageHook(&watch);
    // The ground covers the form's outer size, larger than its client area.
    const int W = form_->Width(), H = form_->Height();
    TBitmap canvas(W, H);
    auto erase = [&] {
        Fill(canvas, clBlack);
        form_->Own.clear();
        return SendMessageA(form_->Handle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(canvas.Canvas()->Handle()), 0);
    };

    // bNormal: the form erases with its own colour.
    EXPECT_EQ(ground->BackgroundStyle(), TZelFormBackStyle::bNormal);
    erase();
    EXPECT_EQ(form_->OwnCount(WM_ERASEBKGND), 1);
    EXPECT_EQ(watch.LastHandled(WM_ERASEBKGND), 0);

    // A gradient from the begin colour at the top to the end colour below.
    ground->Gradient()->SetBeginColor(clRed);
    ground->Gradient()->SetEndColor(clBlue);
    ground->Gradient()->SetFillStyle(TZelFillStyle::Vertical);
    ground->SetBackgroundStyle(TZelFormBackStyle::bGradient);
    EXPECT_EQ(erase(), 1);
    EXPECT_EQ(form_->OwnCount(WM_ERASEBKGND), 0);
    EXPECT_EQ(watch.LastHandled(WM_ERASEBKGND), 1);
    auto red = [&](int x, int y) { return GetRValue(canvas.PixelColor(x, y)); };
    auto blue = [&](int x, int y) { return GetBValue(canvas.PixelColor(x, y)); };
    EXPECT_GT(red(0, 0), 200);
    EXPECT_LT(blue(0, 0), 40);
    EXPECT_LT(red(W - 1, H - 1), 60);
    EXPECT_GT(blue(W - 1, H - 1), 180);

    // A texture without a picture paints nothing; with one it does.
    ground->SetBackgroundStyle(TZelFormBackStyle::bTexture);
    erase();
    EXPECT_EQ(form_->OwnCount(WM_ERASEBKGND), 1);
    TBitmap tile(4, 4);
    Fill(tile, clLime);
    ground->Texture()->SetImage(&tile);
    EXPECT_EQ(erase(), 1);
    EXPECT_EQ(form_->OwnCount(WM_ERASEBKGND), 0);
    EXPECT_EQ(canvas.PixelColor(W - 1, H - 1), clLime);

    // A clear brush on the form's colour is a plain fill in that colour.
    ground->BrushFill()->SetBrushStyle(bsClear);
    ground->BrushFill()->SetBrushColor(clWhite);
    ground->SetBackgroundStyle(TZelFormBackStyle::bBrushFillFormColor);
    EXPECT_EQ(erase(), 1);
    EXPECT_EQ(canvas.PixelColor(0, 0), 0x00336699);
    EXPECT_EQ(canvas.PixelColor(W - 1, H - 1), 0x00336699);
    // The current colours: a cross hatch in the brush colour.
    ground->BrushFill()->SetBrushStyle(bsCross);
    ground->BrushFill()->SetBrushColor(clBlue);
    ground->SetBackgroundStyle(TZelFormBackStyle::bBrushFillUseCurrent);
    EXPECT_EQ(erase(), 1);
    int hatched = 0;
    for (int x = 0; x < 40; ++x)
        hatched += canvas.PixelColor(x, 20) == clBlue;
    EXPECT_GT(hatched, 3);
    EXPECT_LT(hatched, 40);
    form_->RemoveMessageHook(&watch);
}

TEST_F(FormStoreTest, EveryChangeOfTheBackgroundRepaintsTheForm) {
    auto* manager = new TZelFormManager(form_);
    TZelFormBackground* ground = manager->Background();
    TWatchHook watch;
    form_->AddMessageHook(&watch);
    const int live = gdi::LiveObjects();
    auto erasures = [&watch] {
        int n = 0;
        for (const auto& seen : watch.Seen)
            n += seen.Msg == WM_ERASEBKGND;
        watch.Seen.clear();
        return n;
    };

    ground->SetBackgroundStyle(TZelFormBackStyle::bGradient);
    EXPECT_EQ(erasures(), 1);
    ground->Gradient()->SetBeginColor(clGreen);
    EXPECT_EQ(erasures(), 1);
    ground->Gradient()->SetColorCount(300);  // refused, but still a change notice
    ground->BrushFill()->SetBrushColor(clRed);
    ground->Texture()->SetImageStyle(isCenter);
    EXPECT_GE(erasures(), 2);
    EXPECT_EQ(gdi::LiveObjects(), live) << "the window's DC was kept";

    // Whole sub-objects cannot be assigned.
    try {
        ground->SetGradient(ground->Gradient());
        FAIL() << "a gradient was assigned";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "Cannot assign a TZelFormGradient to a TZelFormGradient");
    }
    form_->RemoveMessageHook(&watch);
}
