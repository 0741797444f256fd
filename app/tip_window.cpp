#include "app/tip_window.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <limits>

#include "app/about.h"

namespace vexel {

namespace {

constexpr TColor kBandColor = static_cast<TColor>(16760199);  // sky blue
constexpr TColor kBandFade = static_cast<TColor>(15789286);   // ice white

const std::string kCheckLine = std::string("Check ") + kHomePage;
const std::string kCheckLineTip = kCheckLine + " regulary and get ";

}  // namespace

const char* const kTips[kTipCount][3] = {
    {"You can see more examples of HTML Vexel on our web site!", kCheckLineTip.c_str(), "good idea!"},
    {"HTML Vexel Use the Vexel algorithm coding to compress HTML ", "data. Reduce the HTML file size to 20%!",
     ""},
    {"HTML Vexel support password ! You can enter a password", "insert to compressed HTML files.", ""},
    {"Before you compress or protect or encrypt the HTML file, ",
     "you must select all files into files list . ", "Click [Start] to process the files."},
    {"Do not process the HTML files twice. It will destroy", "the source HTML files.", ""},
    {"HTML Vexel can create VBScript and JavaScript uncompression.",
     "VBScript can run in all Internet explorer browse.", "JavaScript can run in all browse."},
};

const char* const kDesignTip[3] = {"You can see more examples of RUDI Radaz on our web site!",
                                   kCheckLine.c_str(), "regulary and get good idea!"};

bool ParseTipNumber(const std::string& Text, int32_t& Number) {
    std::size_t digits = (!Text.empty() && (Text[0] == '-' || Text[0] == '+')) ? 1 : 0;
    if (digits == Text.size())
        return false;
    for (std::size_t i = digits; i < Text.size(); ++i)
        if (Text[i] < '0' || Text[i] > '9')
            return false;
    errno = 0;
    const long long value = std::strtoll(Text.c_str(), nullptr, 10);
    if (errno == ERANGE || value < std::numeric_limits<int32_t>::min() ||
        value > std::numeric_limits<int32_t>::max())
        return false;
    Number = static_cast<int32_t>(value);
    return true;
}

TForm4::TForm4(TComponent* AOwner, const TDialogGrounds& Grounds, const std::string& StorePath)
    : TDialogForm(AOwner) {
    SetCaption("Tip of the day");
    SetBorderStyle(bsSingle);
    SetBorderIcons(biSystemMenu);
    SetColor(clWhite);
    SetClientWidth(347);
    SetClientHeight(233);
    UseWindowFont(this);

    ZelControlStore1 = new TZelControlStore(this);
    TZelStdDataStore* data = ZelControlStore1->DataStore();
    data->SetSection("HTML Vexel");
    data->SetDatatype(sRegistry);
    data->Registry()->SetRootkey(hkeyCurrentUser);
    data->Registry()->SetPath(StorePath);
    data->Inifile()->SetIniFilename("MyFile.ini");

    ZelFormManager1 = new TZelFormManager(this);
    ZelFormManager1->SetTopMost(true);
    ZelFormManager1->Background()->BrushFill()->SetBrushStyle(bsClear);
    ZelFormManager1->Background()->SetBackgroundStyle(TZelFormBackStyle::bBrushFillFormColor);

    // Windowless controls paint in the order they are made: the bands first.
    BuildBands(Grounds);
    BuildTipArea(Grounds);
    BuildStoredControls();
    SetTabSequence({Tipsshow, ZelOfficeButton2, ZelOfficeButton1});

    OnCreate = [this](TObject* Sender) { FormCreate(Sender); };
    OnShow = [this](TObject* Sender) { FormShow(Sender); };
    ZelOfficeButton2->OnClick = [this](TObject* Sender) { ZelOfficeButton2Click(Sender); };
    ZelOfficeButton1->OnClick = [this](TObject* Sender) { ZelOfficeButton1Click(Sender); };
    // Close is the default: Enter on the check box closes the window.
    OnEnterKey = [this] { ZelOfficeButton1Click(ZelOfficeButton1); };
}

void TForm4::BuildBands(const TDialogGrounds& Grounds) {
    auto band = [this](TAlign Align, int Height, TZelBackground* Ground) {
        auto* presentation = new TZelPresentation(this);
        presentation->SetParent(this);
        presentation->SetHeight(Height);
        presentation->SetAlign(Align);
        presentation->SetBackground(Ground);
        return presentation;
    };
    auto* top = new TZelBackground(this);
    top->Gradient()->SetBeginColor(kBandColor);
    top->Gradient()->SetEndColor(kBandFade);
    top->Gradient()->SetFillStyle(TZelFillStyle::Vertical);
    top->Gradient()->SetColorCount(128);
    ZelPresentation2 = band(alTop, 33, top);
    // A gradient of one colour: the band is plain.
    auto* bottom = new TZelBackground(this);
    bottom->Gradient()->SetBeginColor(kBandColor);
    bottom->Gradient()->SetEndColor(kBandColor);
    ZelPresentation1 = band(alBottom, 34, bottom);
    ZelPresentation3 = band(alClient, 0, Grounds.Panels);

    ZelLabel1 = MakeLabel(this, 16, 4, "HTML Vexel Pro v" + ShortVersion(), {"Andy", 27, fsBold | fsItalic, clWhite});
    ZelLabel1->Font3D()->SetStyle3D(fontOnlyShadow);
}

void TForm4::BuildTipArea(const TDialogGrounds& Grounds) {
    Image3 = new TPictureSpot(this);
    Image3->SetParent(this);
    Image3->SetBounds(8, 40, 325, 35);
    Image3->LoadPicture("TIP_TITLE");

    TLabel** lines[] = {&Label1, &Label2, &Label3};
    for (int i = 0; i < 3; ++i) {
        auto* label = new TLabel(this);
        label->SetParent(this);
        label->SetLeft(16);
        label->SetTop(88 + 16 * i);
        label->SetTransparent(true);
        label->SetCaption(kDesignTip[i]);
        label->SetVisible(false);
        *lines[i] = label;
    }
    TipText = new TLabel(this);
    TipText->SetParent(this);
    TipText->SetTransparent(true);
    TipText->SetAutoSize(false);
    TipText->SetWordWrap(true);
    TipText->SetBounds(16, 86, 318, 54);
    ShowTipText();

    // Right-aligned at 337, 73 wide or as wide as the caption beside the
    // lamp needs in the font of the system at hand.
    auto officeButton = [this, &Grounds](int Right, const char* Caption) {
        auto* button = new TZelOfficeButton(this);
        button->SetParent(this);
        button->SetCaption(Caption);
        const int width = std::max(73, TextSizeIn(button, Caption).cx + TZelOfficeButton::kCaptionLeft +
                                           TZelOfficeButton::kCaptionRightRoom);
        button->SetBounds(Right - width, 168, width, 25);
        button->SetBackground(Grounds.Buttons);
        return button;
    };
    ZelOfficeButton1 = officeButton(337, "Close");
    ZelOfficeButton2 = officeButton(ZelOfficeButton1->Left() - 7, "Next Tips");

    Image1 = new TPictureSpot(this);
    Image1->SetParent(this);
    Image1->SetBounds(-11, 166, 96, 67);
    Image1->LoadPicture("TIP_CORNER");

    ZelInformationLabel1 = new TZelInformationLabel(this);
    ZelInformationLabel1->SetParent(this);
    ZelInformationLabel1->SetLeft(88);
    ZelInformationLabel1->SetTop(192);
    // It sits where the tip area meets the bottom band: both show through.
    ZelInformationLabel1->SetTransparent(true);
    ZelInformationLabel1->SetInfoType(iOrganisationName);
}

void TForm4::BuildStoredControls() {
    // Both take their stored values once they are loaded, and write every
    // change from then on.
    Tipsshow = new TZelStoreCheckbox(this);
    Tipsshow->BeginLoading();
    Tipsshow->SetParent(this);
    Tipsshow->SetBounds(16, 141, 193, 17);
    Tipsshow->SetCaption("Show Tips at Startup");
    ApplyFont(Tipsshow, {"", 0, fsBold, clWindowText});
    // On the textured tip area, not on a square of the form's white.
    Tipsshow->SetParentBackground(true);
    Tipsshow->SetChecked(true);
    Tipsshow->SetStore(ZelControlStore1);
    Tipsshow->SetStoreKey("Tips");
    Tipsshow->EndLoading();

    tipid = new TZelStoreEdit(this);
    tipid->BeginLoading();
    tipid->SetParent(this);
    tipid->SetBounds(144, 176, 121, 21);
    tipid->SetVisible(false);
    tipid->SetText("3");
    tipid->SetStore(ZelControlStore1);
    tipid->SetStoreKey("tipid");
    tipid->EndLoading();
}

void TForm4::FormCreate(TObject*) {
    CentreOnScreen(this);
}

void TForm4::FormShow(TObject*) {
    CentreOnScreen(this);
    NextTip();
}

void TForm4::ZelOfficeButton2Click(TObject*) {
    NextTip();
}

void TForm4::ZelOfficeButton1Click(TObject*) {
    Close();
}

void TForm4::ShowTipText() {
    std::string text;
    for (TLabel* line : {Label1, Label2, Label3}) {
        std::string part = line->Caption();
        while (!part.empty() && part.back() == ' ')
            part.pop_back();
        if (!part.empty())
            text += (text.empty() ? "" : " ") + part;
    }
    TipText->SetCaption(text);
}

void TForm4::NextTip() {
    int32_t n = 0;
    if (!ParseTipNumber(tipid->Text(), n))
        n = 0;  // no number: out of range, like 0
    if (n >= 1 && n <= kTipCount) {
        const char* const* tip = kTips[n - 1];
        Label1->SetCaption(tip[0]);
        Label2->SetCaption(tip[1]);
        Label3->SetCaption(tip[2]);
        ShowTipText();
    }
    // Changing the text stores it at once.
    tipid->SetText(std::to_string(n < kTipCount ? n + 1 : 1));
}

}  // namespace vexel
