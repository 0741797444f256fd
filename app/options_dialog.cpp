#include "app/options_dialog.h"

#include "app/about.h"
#include "app/batch_run.h"
#include "app/conn.h"
#include "app/window_parts.h"
#include "app/window_set.h"

namespace vexel {

namespace {

constexpr TColor kFrameColor = static_cast<TColor>(8421440);  // teal grey
const TFontSpec kHeading{"", 0, fsBold, clBlue};
const TFontSpec kPlain{"", 0, 0, clWindowText};
const TFontSpec kNote{"Arial", 11, 0, clGray};

const char kLanguageHint[] =
    "Choose a JavaScript or VBScript self\r\nuncompression insert to destination\r\nHTML files.\r\n"
    "JavaScript will supported all IE and Netscape\r\nBrowse.\r\nVBScript self uncompression will have \r\n"
    "smaller size than JavaScript.";
const char kLockHint[] = "Lock the destination HTML files use a \r\npassword.";
const char kPasswordBoxHint[] =
    "Lock the destination HTML files.\r\nIf checked , a self unlock Script should\r\ninsert to destination "
    "files.";

}  // namespace

TSavefileto::TSavefileto(TComponent* AOwner, TWindowSet& Windows) : TForm(AOwner), windows_(Windows) {
    SetCaption("HTML page options...");
    SetBorderStyle(bsNone);
    SetClientWidth(499);
    SetClientHeight(296);
    UseWindowFont(this);
    // No hint of this window is ever shown.
    SetShowHint(false);

    ZelPanel1 = MakeClientPanel(this, windows_.ZelBackground3);
    ZelPanel1->FrameOuter()->SetFrameStyle(frameLowered);
    ZelPanel1->FrameOuter()->SetFrameWidth(2);
    ZelPanel1->FrameOuter()->SetShadow(kFrameColor);
    ZelPanel1->FrameInner()->SetShadow(kFrameColor);
    ZelPanel1->FrameInner()->SetFrameStyle(frameLowered);
    ZelPanel1->SetBorderwidth(3);

    auto* groupGround = new TZelBackground(this);
    groupGround->Gradient()->SetBeginColor(clYellow);
    groupGround->Gradient()->SetEndColor(clWhite);
    BuildCompressOptions(groupGround);
    BuildProtectOptions(groupGround);

    ZelButton2 = MakeDialogButton(ZelPanel1, Bounds(328, 248, 75, 25), "&OK", windows_.ZelBackground1);
    ZelButton2->SetHint(
        "Agree all options , and begin compress\r\nall select HTML file and create it to \r\nspecified "
        "folder.");
    ZelButton1 = MakeDialogButton(ZelPanel1, Bounds(408, 248, 75, 25), "&Canel", windows_.ZelBackground1);
    ZelButton1->SetHint("Canel and return to upper window.");

    ZelControlStore1 = new TZelControlStore(this);
    ZelControlStore1->DataStore()->SetSection("Tips");
    ZelControlStore1->DataStore()->Registry()->SetPath(windows_.StorePath());

    ZelFormManager1 = new TZelFormManager(this);
    ZelFormManager1->SetTopMost(true);
    TZelCButton* help = ZelFormManager1->Buttons()->Add();
    help->SetCaption("&Help");
    help->SetWidth(30);
    help->Font()->SetName("MS Sans Serif");
    help->Font()->SetStyle(fsBold);
    help->Font()->SetColor(clBlue);
    help->OnClick = [this](TObject* Sender) { ZelFormManager1Buttons0Click(Sender); };

    // The start states above equal the job fields' own, so nothing is
    // copied until the user changes something.
    BindHandlers();
}

TZelPanel* TSavefileto::GroupPanel(int Top, int Height, const char* Heading, TZelBackground* Ground) {
    auto* panel = new TZelPanel(this);
    panel->SetParent(ZelPanel1);
    panel->SetBounds(16, Top, 473, Height);
    panel->FrameInner()->SetFrameStyle(frameFramedDown);
    panel->SetBackground(Ground);
    MakeLabel(panel, 8, 3, Heading, kHeading);
    return panel;
}

template <class TBox>
TBox* TSavefileto::Box(TWinControl* Parent, int X, int Y, int Width, const char* Caption, bool Checked) {
    auto* box = new TBox(this);
    box->SetParent(Parent);
    box->SetBounds(X, Y, Width, 17);
    box->SetCaption(Caption);
    box->SetChecked(Checked);
    return box;
}

void TSavefileto::BuildCompressOptions(TZelBackground* GroupGround) {
    ZelPanel4 = GroupPanel(16, 105, "Compress options:", GroupGround);
    ZelPanel4->SetHint("Choose compress option");
    MakeLabel(ZelPanel4, 32, 20, "HTML insert self uncompression type:", kPlain);
    JavaChoose = Box<TZelRadiobutton>(ZelPanel4, 217, 19, 72, "JavaScript", true);
    VbChoose = Box<TZelRadiobutton>(ZelPanel4, 289, 19, 80, "VBScript", false);
    JavaChoose->SetHint(kLanguageHint);
    VbChoose->SetHint(kLanguageHint);
    MakeLabel(ZelPanel4, 144, 38, "Auto optimize:", kPlain);
    UChar = Box<TZelCheckbox>(ZelPanel4, 218, 36, 240, "Remove Extend(>128) Characters", true);
    MakeLabel(ZelPanel4, 249, 55, "[Disable it for French and German]", kNote);
    ZelCheckbox3 = Box<TZelCheckbox>(ZelPanel4, 218, 73, 190, "Remove Unuseful Characters", true);
    ZelCheckbox3->SetHint("Remove all unuseful char \r\nfrom chr(1) - chr(32).");
    MakeLabel(ZelPanel4, 249, 87, "[Compress to smaller size]", kNote);
    ZelCheckbox2 = Box<TZelCheckbox>(ZelPanel4, 377, 5, 90, "High speed", false);
    ZelCheckbox2->SetHint("|Remove char from chr(1) - chr(32)");
    ZelCheckbox2->SetVisible(false);
}

void TSavefileto::BuildProtectOptions(TZelBackground* GroupGround) {
    ZelPanel5 = GroupPanel(123, 52, "Encrypt options:", GroupGround);
    ZelPanel5->SetHint(kLockHint);
    ZelCheckbox4 = Box<TZelCheckbox>(ZelPanel5, 33, 18, 200, "Use 3DES encrypt HTML page", true);
    ZelCheckbox4->SetHint(kPasswordBoxHint);

    ZelPanel3 = GroupPanel(177, 52, "Protect options:", GroupGround);
    ZelPanel3->SetHint(kLockHint);
    ZelCheckbox1 = Box<TZelCheckbox>(ZelPanel3, 33, 18, 110, "Use password", false);
    ZelCheckbox1->SetHint(kPasswordBoxHint);
    MakeLabel(ZelPanel3, 152, 21, "Password:", kPlain);
    Edit1 = new TEdit(this);
    Edit1->SetParent(ZelPanel3);
    Edit1->SetBounds(208, 19, 121, 21);
    Edit1->SetText("4826");
    Edit1->SetEnabled(false);
    Edit1->SetHint("Enter the password to lock the destination\r\nHTML files.");
}

void TSavefileto::BindHandlers() {
    OnShow = [this](TObject* Sender) { FormShow(Sender); };
    OnHide = [this](TObject* Sender) { FormHide(Sender); };
    ZelCheckbox1->OnClick = [this](TObject* Sender) { ZelCheckbox1Click(Sender); };
    ZelCheckbox4->OnClick = [this](TObject* Sender) { ZelCheckbox1Click(Sender); };
    Edit1->OnChange = [this](TObject* Sender) { Edit1Change(Sender); };
    ZelCheckbox2->OnClick = [this](TObject* Sender) { ZelCheckbox2Click(Sender); };
    ZelCheckbox3->OnClick = [this](TObject* Sender) { ZelCheckbox3Click(Sender); };
    UChar->OnClick = [this](TObject* Sender) { UCharClick(Sender); };
    ZelButton2->OnClick = [this](TObject* Sender) { ZelButton2Click(Sender); };
    ZelButton1->OnClick = [this](TObject* Sender) { ZelButton1Click(Sender); };
}

void TSavefileto::FormShow(TObject*) {
    CentreOnMainWindow(this, windows_.Form1);
}

void TSavefileto::FormHide(TObject*) {
    windows_.ShowMainWindow();
}

void TSavefileto::ZelCheckbox1Click(TObject*) {
    const bool locked = ZelCheckbox1->Checked();
    Edit1->SetEnabled(locked);
    if (TConn* conn = windows_.Conn) {
        conn->password->SetEnabled(locked);
        conn->password->SetText(Edit1->Text());
    }
}

void TSavefileto::Edit1Change(TObject*) {
    if (TConn* conn = windows_.Conn)
        conn->password->SetText(Edit1->Text());
}

void TSavefileto::ZelCheckbox2Click(TObject*) {
    if (TConn* conn = windows_.Conn)
        conn->highspeed->SetChecked(ZelCheckbox2->Checked());
}

void TSavefileto::ZelCheckbox3Click(TObject*) {
    if (TConn* conn = windows_.Conn)
        conn->RemoveUnuseful->SetChecked(ZelCheckbox3->Checked());
}

void TSavefileto::UCharClick(TObject*) {
    if (TConn* conn = windows_.Conn)
        conn->UChar->SetChecked(UChar->Checked());
}

void TSavefileto::ZelButton2Click(TObject*) {
    Hide();
    Button2Click(windows_);
}

void TSavefileto::ZelButton1Click(TObject*) {
    windows_.ShowMainWindow();
    Hide();
}

void TSavefileto::ZelFormManager1Buttons0Click(TObject*) {
    OpenHelp();
}

}  // namespace vexel
