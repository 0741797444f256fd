#include "app/options_dialog.h"

#include <windows.h>

#include <algorithm>
#include <utility>

#include "app/about.h"
#include "app/window_parts.h"
#include "engine/password.h"

namespace vexel {

namespace {

constexpr TColor kFrameColor = static_cast<TColor>(8421440);  // teal grey
const TFontSpec kHeading{"", 0, fsBold, clBlue};
const TFontSpec kPlain{"", 0, 0, clWindowText};
const TFontSpec kNote{"Arial", 11, 0, clGray};
const TFontSpec kSealed{"", 0, fsBold, clGreen};
const TFontSpec kUnsealed{"", 0, fsBold, clMaroon};

// Room beside a box's caption: the system's box, the gap to the caption
// and the insets of the caption picture, with a few pixels to spare for
// fonts that draw wider than they measure.
constexpr int kBoxRoom = 40;
constexpr int kRowHeight = 17;
constexpr int kGroupLeft = 16;
constexpr int kGap = 8;

const char kLanguageHint[] =
    "Choose a JavaScript or VBScript self\r\nuncompression insert to destination\r\nHTML files.\r\n"
    "JavaScript will supported all IE and Netscape\r\nBrowse.\r\nVBScript self uncompression will have \r\n"
    "smaller size than JavaScript.";
const char kLockHint[] = "Lock the destination HTML files use a \r\npassword.";
const char kPasswordBoxHint[] =
    "Lock the destination HTML files.\r\nIf checked , a self unlock Script should\r\ninsert to destination "
    "files.";

// The store's names and the format's texts there.
const char kSection[] = "Options";
const char kFormatKey[] = "Format";
const char kJavaScript[] = "JavaScript";
const char kVbScript[] = "VBScript";
const char kModern[] = "Modern";

const char* StoredFormatName(PageFormat Format) {
    switch (Format) {
        case PageFormat::VbScript: return kVbScript;
        case PageFormat::Modern: return kModern;
        case PageFormat::JavaScript: break;
    }
    return kJavaScript;
}

// Anything but the two other names is the default, JavaScript.
PageFormat StoredFormat(const std::string& Name) {
    return Name == kVbScript ? PageFormat::VbScript : Name == kModern ? PageFormat::Modern : PageFormat::JavaScript;
}

int RightOf(TControl* Control) {
    return Control->Left() + Control->Width();
}

int RightBelow(TControl* Control) {
    return Control->Top() + Control->Height();
}

}  // namespace

void TPasswordEdit::SetMasked(bool Value) {
    if (masked_ == Value)
        return;
    masked_ = Value;
    if (HandleAllocated()) {
        SendMessageW(Handle(), EM_SETPASSWORDCHAR, masked_ ? L'*' : 0, 0);
        Invalidate();
    }
}

void TPasswordEdit::CreateParams(TCreateParams& Params) const {
    TEdit::CreateParams(Params);
    if (masked_)
        Params.Style |= ES_PASSWORD;
}

TSealState SealStateOf(bool Ticked, bool Modern, const std::string& Password, const std::string& Again, bool Shown) {
    if (!Ticked)
        return {false, "Not ticked: the pages are not encrypted."};
    if (!Modern)
        return {false, "Only the modern page can be encrypted: these pages will not be."};
    if (Password.empty())
        return {false, "No password: the pages will not be encrypted."};
    if (!Shown && Password != Again)
        return {false, "The two passwords differ: the pages will not be encrypted."};
    return {true, "Encrypted: a browser opens the page only with this password."};
}

TSavefileto::TSavefileto(TComponent* AOwner,
                         const TDialogGrounds& Grounds,
                         const std::string& StorePath,
                         TMainWindowLink MainWindow)
    : TDialogForm(AOwner), mainWindow_(std::move(MainWindow)) {
    SetCaption("HTML page options...");
    SetBorderStyle(bsNone);
    SetClientWidth(499);
    SetClientHeight(396);
    UseWindowFont(this);
    // No hint of this window is ever shown.
    SetShowHint(false);

    ZelPanel1 = MakeClientPanel(this, Grounds.Panels);
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
    BuildEncryptOptions(groupGround);
    BuildProtectOptions(groupGround);

    ZelButton2 = MakeDialogButton(ZelPanel1, Bounds(328, 358, 75, 25), "&OK", Grounds.Buttons);
    ZelButton2->SetHint(
        "Agree all options , and begin compress\r\nall select HTML file and create it to \r\nspecified "
        "folder.");
    ZelButton1 = MakeDialogButton(ZelPanel1, Bounds(408, 358, 75, 25), "&Canel", Grounds.Buttons);
    ZelButton1->SetHint("Canel and return to upper window.");
    ZelButton2->SetDefault(true);
    ZelButton1->SetCancel(true);
    OnEscape = [this] { ZelButton1Click(ZelButton1); };

    ZelControlStore1 = new TZelControlStore(this);
    ZelControlStore1->DataStore()->SetSection(kSection);
    ZelControlStore1->DataStore()->Registry()->SetPath(StorePath);

    ZelFormManager1 = new TZelFormManager(this);
    ZelFormManager1->SetTopMost(true);
    TZelCButton* help = ZelFormManager1->Buttons()->Add();
    help->SetCaption("&Help");
    help->SetWidth(30);
    help->Font()->SetName("MS Sans Serif");
    help->Font()->SetStyle(fsBold);
    help->Font()->SetColor(clBlue);
    help->OnClick = [this](TObject* Sender) { ZelFormManager1Buttons0Click(Sender); };

    AskToRun = [](const std::string& Text) {
        return Application->MessageBox(Text, Application->Title(), MB_YESNO | MB_ICONWARNING) == IDYES;
    };

    BindHandlers();
    LoadChoices();
}

TZelPanel* TSavefileto::GroupPanel(int Top, int Height, const char* Heading, TZelBackground* Ground) {
    auto* panel = new TZelPanel(this);
    panel->SetParent(ZelPanel1);
    panel->SetBounds(16, Top, 467, Height);
    panel->FrameInner()->SetFrameStyle(frameFramedDown);
    panel->SetBackground(Ground);
    MakeLabel(panel, 8, 3, Heading, kHeading);
    return panel;
}

template <class TBox>
TBox* TSavefileto::Box(TWinControl* Parent, int X, int Y, const char* Caption, bool Checked) {
    auto* box = new TBox(this);
    box->SetParent(Parent);
    box->SetCaption(Caption);
    box->SetBounds(X, Y, TextSizeIn(box, Caption).cx + box->Font3D()->DrawingWidth() + kBoxRoom, kRowHeight);
    box->SetChecked(Checked);
    return box;
}

void TSavefileto::BuildCompressOptions(TZelBackground* GroupGround) {
    ZelPanel4 = GroupPanel(12, 154, "Compress options:", GroupGround);
    ZelPanel4->SetHint("Choose compress option");
    MakeLabel(ZelPanel4, kGroupLeft, 22, "HTML insert self uncompression type:", kPlain);
    JavaChoose = Box<TZelRadiobutton>(ZelPanel4, 2 * kGroupLeft, 40, "JavaScript", true);
    VbChoose = Box<TZelRadiobutton>(ZelPanel4, RightOf(JavaChoose) + kGap, 40, "VBScript", false);
    ModernChoose = Box<TZelRadiobutton>(ZelPanel4, RightOf(VbChoose) + kGap, 40, "Modern page", false);
    JavaChoose->SetHint(kLanguageHint);
    VbChoose->SetHint(kLanguageHint);
    ModernChoose->SetHint("Deflated page, expanded by the browser itself; it can be encrypted.");
    // Modern pages as pages of a site whose root is the folder of the run.
    SiteFile = Box<TZelCheckbox>(ZelPanel4, 2 * kGroupLeft, 60,
                                 "Pages of a folder share one decoder file: smaller", false);

    TZelLabel* optimize = MakeLabel(ZelPanel4, kGroupLeft, 84, "Auto optimize:", kPlain);
    const int boxLeft = RightOf(optimize) + kGap;
    UChar = Box<TZelCheckbox>(ZelPanel4, boxLeft, 82, "Remove Extend(>128) Characters", true);
    TZelLabel* french = MakeLabel(ZelPanel4, boxLeft + 18, 99, "[Disable it for French and German]", kNote);
    ZelCheckbox3 = Box<TZelCheckbox>(ZelPanel4, boxLeft, french->Top() + french->Height(),
                                     "Remove Unuseful Characters", true);
    ZelCheckbox3->SetHint("Remove all unuseful char \r\nfrom chr(1) - chr(32).");
    MakeLabel(ZelPanel4, boxLeft + 18, RightBelow(ZelCheckbox3), "[Compress to smaller size]", kNote);
    ZelCheckbox2 = Box<TZelCheckbox>(ZelPanel4, 360, 3, "High speed", false);
    ZelCheckbox2->SetHint("|Remove char from chr(1) - chr(32)");
    ZelCheckbox2->SetVisible(false);
}

void TSavefileto::BuildEncryptOptions(TZelBackground* GroupGround) {
    ZelPanel5 = GroupPanel(172, 92, "Encrypt options:", GroupGround);
    ZelPanel5->SetHint(kLockHint);
    ZelCheckbox4 =
        Box<TZelCheckbox>(ZelPanel5, kGroupLeft, 22, "Encrypt the modern page with a password (AES-256-GCM)", false);
    ZelCheckbox4->SetHint(kPasswordBoxHint);

    TZelLabel* password = MakeLabel(ZelPanel5, 2 * kGroupLeft, 47, "Password:", kPlain);
    SealPassword = new TPasswordEdit(this);
    SealPassword->SetParent(ZelPanel5);
    SealPassword->SetBounds(RightOf(password) + 4, 44, 110, 21);
    TZelLabel* again = MakeLabel(ZelPanel5, RightOf(SealPassword) + kGap, 47, "Again:", kPlain);
    SealAgain = new TPasswordEdit(this);
    SealAgain->SetParent(ZelPanel5);
    SealAgain->SetBounds(RightOf(again) + 4, 44, 110, 21);
    SealShow = Box<TZelCheckbox>(ZelPanel5, RightOf(SealAgain) + kGap, 46, "Show", false);
    SealNote = MakeLabel(ZelPanel5, 2 * kGroupLeft, 70, "", kUnsealed);
}

void TSavefileto::BuildProtectOptions(TZelBackground* GroupGround) {
    ZelPanel3 = GroupPanel(270, 80, "Protect options:", GroupGround);
    ZelPanel3->SetHint(kLockHint);
    ZelCheckbox1 = Box<TZelCheckbox>(ZelPanel3, kGroupLeft, 22, "Use password", false);
    ZelCheckbox1->SetHint(kPasswordBoxHint);
    TZelLabel* label = MakeLabel(ZelPanel3, RightOf(ZelCheckbox1) + kGap, 25, "Password:", kPlain);
    Edit1 = new TEdit(this);
    Edit1->SetSecret(true);
    Edit1->SetParent(ZelPanel3);
    Edit1->SetBounds(RightOf(label) + 4, 22, 121, 21);
    Edit1->SetText("4826");
    Edit1->SetEnabled(false);
    Edit1->SetHint("Enter the password to lock the destination\r\nHTML files.");
    TZelLabel* clear =
        MakeLabel(ZelPanel3, 2 * kGroupLeft, 44, "Classic pages only. The page holds this password in clear text:", kNote);
    MakeLabel(ZelPanel3, 2 * kGroupLeft, RightBelow(clear), "it stops a casual look, not a reader.", kNote);
}

void TSavefileto::BindHandlers() {
    OnShow = [this](TObject* Sender) { FormShow(Sender); };
    OnHide = [this](TObject* Sender) { FormHide(Sender); };
    ZelCheckbox1->OnClick = [this](TObject* Sender) { ZelCheckbox1Click(Sender); };
    ZelCheckbox2->OnClick = [this](TObject* Sender) { ZelCheckbox2Click(Sender); };
    ZelCheckbox3->OnClick = [this](TObject* Sender) { ZelCheckbox3Click(Sender); };
    UChar->OnClick = [this](TObject* Sender) { UCharClick(Sender); };
    for (TZelRadiobutton* format : {JavaChoose, VbChoose, ModernChoose})
        format->OnClick = [this](TObject* Sender) { FormatClick(Sender); };
    SiteFile->OnClick = [this](TObject*) { SaveChoices(); };
    ZelCheckbox4->OnClick = [this](TObject* Sender) { SealChange(Sender); };
    SealShow->OnClick = [this](TObject* Sender) { SealChange(Sender); };
    SealPassword->OnChange = [this](TObject* Sender) { SealChange(Sender); };
    SealAgain->OnChange = [this](TObject* Sender) { SealChange(Sender); };
    ZelButton2->OnClick = [this](TObject* Sender) { ZelButton2Click(Sender); };
    ZelButton1->OnClick = [this](TObject* Sender) { ZelButton1Click(Sender); };
}

void TSavefileto::ShowMainWindow() {
    if (TCustomForm* main = mainWindow_())
        main->Show();
}

void TSavefileto::FormShow(TObject*) {
    CentreOnMainWindow(this, mainWindow_());
}

void TSavefileto::FormHide(TObject*) {
    SaveChoices();
    ShowMainWindow();
}

void TSavefileto::ZelCheckbox1Click(TObject*) {
    Edit1->SetEnabled(ZelCheckbox1->Checked() && !Modern());
    SaveChoices();
}

void TSavefileto::ZelCheckbox2Click(TObject*) {
    SaveChoices();
}

void TSavefileto::ZelCheckbox3Click(TObject*) {
    SaveChoices();
}

void TSavefileto::UCharClick(TObject*) {
    SaveChoices();
}

void TSavefileto::FormatClick(TObject* Sender) {
    // The classic password means nothing to a modern page, and encryption
    // nothing to a classic one.
    const bool modern = Modern();
    ZelCheckbox1->SetEnabled(!modern);
    Edit1->SetEnabled(!modern && ZelCheckbox1->Checked());
    SealChange(Sender);
}

void TSavefileto::SealChange(TObject*) {
    const bool ticked = ZelCheckbox4->Checked();
    const bool usable = ticked && Modern();
    // An encrypted page keeps its decoder to itself: no shared file then.
    SiteFile->SetEnabled(Modern() && !ticked);
    SealPassword->SetEnabled(usable);
    SealShow->SetEnabled(usable);
    SealPassword->SetMasked(!SealShow->Checked());
    SealAgain->SetMasked(true);
    SealAgain->SetEnabled(usable && !SealShow->Checked());
    const TSealState state = SealState();
    ApplyFont(SealNote, state.Encrypts ? kSealed : kUnsealed);
    SetLabelText(SealNote, state.Note);
    SaveChoices();
}

PageFormat TSavefileto::Format() const {
    return Modern() ? PageFormat::Modern : VbChoose->Checked() ? PageFormat::VbScript : PageFormat::JavaScript;
}

TRunOptions TSavefileto::RunOptions() const {
    TRunOptions options;
    options.Format = Format();
    options.Job.highspeed = ZelCheckbox2->Checked();
    options.Job.RemoveUnuseful = ZelCheckbox3->Checked();
    options.Job.UChar = UChar->Checked();
    options.SharedDecoder = Modern() && SiteFile->Checked();
    // A modern page has no prompt: its password is the one that seals it.
    if (Modern()) {
        platform::SecretText seal = Seal();
        const bool sealed = !seal.Text().empty();
        options.Job.password = {sealed, PasswordFromText(std::move(seal.Text()))};
    } else if (ZelCheckbox1->Checked()) {  // a prompt not asked for carries no password
        platform::SecretText prompt = Edit1->SecretText();
        options.Job.password = {true, PasswordFromText(std::move(prompt.Text()))};
    }
    return options;
}

TSealState TSavefileto::SealState() const {
    const platform::SecretText typed = SealPassword->SecretText();
    const platform::SecretText again = SealAgain->SecretText();
    return SealStateOf(ZelCheckbox4->Checked(), Modern(), typed.Text(), again.Text(), SealShow->Checked());
}

platform::SecretText TSavefileto::Seal() const {
    return SealState().Encrypts ? SealPassword->SecretText() : platform::SecretText();
}

platform::SecretText TSavefileto::TypedSeal() const {
    return SealPassword->SecretText();
}

void TSavefileto::SaveChoices() {
    if (loading_)
        return;
    ZelControlStore1->WriteString(kFormatKey, StoredFormatName(Format()));
    ZelControlStore1->WriteBool("SiteFile", SiteFile->Checked());
    ZelControlStore1->WriteBool("RemoveExtended", UChar->Checked());
    ZelControlStore1->WriteBool("RemoveUnuseful", ZelCheckbox3->Checked());
    ZelControlStore1->WriteBool("Encrypt", ZelCheckbox4->Checked());
    ZelControlStore1->WriteBool("UsePassword", ZelCheckbox1->Checked());
}

void TSavefileto::LoadChoices() {
    loading_ = true;
    struct TDone {
        bool& flag;
        ~TDone() { flag = false; }
    } done{loading_};
    const PageFormat format = StoredFormat(ZelControlStore1->ReadString(kFormatKey, kJavaScript));
    JavaChoose->SetChecked(format == PageFormat::JavaScript);
    VbChoose->SetChecked(format == PageFormat::VbScript);
    ModernChoose->SetChecked(format == PageFormat::Modern);
    SiteFile->SetChecked(ZelControlStore1->ReadBool("SiteFile", false));
    UChar->SetChecked(ZelControlStore1->ReadBool("RemoveExtended", true));
    ZelCheckbox3->SetChecked(ZelControlStore1->ReadBool("RemoveUnuseful", true));
    ZelCheckbox4->SetChecked(ZelControlStore1->ReadBool("Encrypt", false));
    ZelCheckbox1->SetChecked(ZelControlStore1->ReadBool("UsePassword", false));
    SyncJobFields();
}

void TSavefileto::SyncJobFields() {
    // The job's password stays as it starts until "Use password" is ticked.
    if (ZelCheckbox1->Checked())
        ZelCheckbox1Click(ZelCheckbox1);
    ZelCheckbox3Click(ZelCheckbox3);
    UCharClick(UChar);
    FormatClick(ModernChoose);
}

void TSavefileto::ZelButton2Click(TObject*) {
    const TSealState state = SealState();
    if (ZelCheckbox4->Checked() && !state.Encrypts) {
        if (AskToRun && !AskToRun(state.Note + "\r\n\r\nCompress the pages without encryption?"))
            return;
    }
    Hide();
    if (OnRun)
        OnRun();
}

void TSavefileto::ZelButton1Click(TObject*) {
    ShowMainWindow();
    Hide();
}

void TSavefileto::ZelFormManager1Buttons0Click(TObject*) {
    OpenHelp();
}

}  // namespace vexel
