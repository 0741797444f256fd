// A framed form carrying a form manager, for checking it by eye and in
// screenshots: two caption buttons (one opens a menu), a gradient window
// background, tracking limits, and a placement kept in an INI file of the
// temporary folder between runs.
//
//     vexel-form-demo.exe            the form, until it is closed
//     vexel-form-demo.exe --fresh    forgets the kept placement first
#include <windows.h>

#include <cstring>
#include <string>

#include "framework/win32/forms.h"
#include "framework/win32/labels.h"
#include "framework/win32/menus.h"
#include "framework/win32/system_text.h"
#include "system/control_store.h"
#include "system/form_manager.h"

namespace vexel {
namespace {

constexpr char kTitle[] = "Html Vexel form demo";
constexpr char kIniName[] = "vexel-form-demo.ini";

std::string IniPath() {
    wchar_t folder[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, folder);
    return FromSystem(folder) + kIniName;
}

class TDemoForm : public TForm {
public:
    explicit TDemoForm(TComponent* AOwner) : TForm(AOwner) {
        BeginLoading();
        SetName("FormDemo");
        SetCaption(kTitle);
        SetBounds(120, 90, 460, 300);
        SetColor(clWhite);

        store_ = new TZelStoreData(this);
        store_->DataStore()->SetDatatype(sIniFile);
        store_->DataStore()->Inifile()->SetIniFilename(IniPath());
        store_->DataStore()->SetSection("FormDemo");

        view_ = new TPopupMenu(this);
        for (const char* caption : {"&Gradient", "&Hatch", "&Plain"}) {
            auto* item = new TMenuItem(this);
            item->SetCaption(caption);
            item->OnClick = [this, caption](TObject*) { ChooseGround(caption); };
            view_->Items()->Add(item);
        }

        manager_ = new TZelFormManager(this);
        manager_->Constraints()->SetMinWidth(320);
        manager_->Constraints()->SetMinHeight(200);
        TZelFormBackground* ground = manager_->Background();
        ground->Gradient()->SetBeginColor(0x00603010);  // deep blue
        ground->Gradient()->SetEndColor(0x00F0D8B0);    // pale sky
        ground->Gradient()->SetFillStyle(TZelFillStyle::Vertical);
        ground->Gradient()->SetColorCount(64);
        ground->BrushFill()->SetBrushStyle(bsDiagCross);
        ground->BrushFill()->SetBrushColor(0x00C08040);
        ground->SetBackgroundStyle(TZelFormBackStyle::bGradient);

        auto* note = new TLabel(this);
        note->SetParent(this);
        note->SetTransparent(true);
        note->Font()->SetColor(clWhite);
        note->Font()->SetStyle(fsBold);
        note->SetBounds(16, 16, 400, 20);
        note->SetCaption("A form manager paints this ground and the two caption buttons.");

        FormStore()->SetStore(store_);
        FormStore()->SetStoreKey("Demo");
        EndLoading();  // the kept placement comes back here
        // Made at run time, so each caption sets its button's width.
        TZelCButton* help = manager_->Buttons()->Add();
        help->SetCaption("&Help");
        help->Font()->SetStyle(fsBold);
        help->Font()->SetColor(clBlue);
        help->OnClick = [this](TObject*) {
            Application->MessageBox("The caption buttons sit left of the system buttons.", kTitle,
                                    MB_OK | MB_ICONINFORMATION);
        };
        TZelCButton* view = manager_->Buttons()->Add();
        view->SetCaption("&View");
        view->SetDropDownmenu(view_);

        FormStore()->SetSize(true);
        FormStore()->SetLocation(true);
        FormStore()->SetState(true);
    }

protected:
    ~TDemoForm() override = default;

private:
    TZelFormStore* FormStore() const { return manager_->FormStore(); }

    void ChooseGround(const std::string& caption) {
        TZelFormBackground* ground = manager_->Background();
        if (caption == "&Gradient")
            ground->SetBackgroundStyle(TZelFormBackStyle::bGradient);
        else if (caption == "&Hatch")
            ground->SetBackgroundStyle(TZelFormBackStyle::bBrushFillFormColor);
        else
            ground->SetBackgroundStyle(TZelFormBackStyle::bNormal);
    }

    TZelStoreData* store_ = nullptr;
    TPopupMenu* view_ = nullptr;
    TZelFormManager* manager_ = nullptr;
};

}  // namespace
}  // namespace vexel

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR CommandLine, int) {
    using namespace vexel;
    if (CommandLine && std::strstr(CommandLine, "--fresh"))
        DeleteFileW(ToSystem(IniPath()).c_str());
    ScopedApplication application;
    Application->SetTitle(kTitle);
    TDemoForm* form = nullptr;
    Application->CreateForm(form);
    Application->Run();
    return 0;
}
