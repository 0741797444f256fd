#include "app/main_window.h"

#include <windows.h>

#include <algorithm>
#include <utility>

#include "app/about.h"
#include "app/closing_note.h"
#include "app/options_dialog.h"
#include "app/page_choice.h"
#include "app/window_parts.h"
#include "engine/batch.h"
#include "engine/file_io.h"
#include "engine/preview_text.h"
#include "framework/win32/system_text.h"

namespace vexel {

namespace {

// The file list shows every kind of entry the mask matches, sub-folders too.
constexpr TFileType kAllEntries =
    ftReadOnly | ftHidden | ftSystem | ftVolumeID | ftDirectory | ftArchive | ftNormal;

// The file panel's column: the lists end here, and so does the row of the
// drive and file-type boxes above them, which keep a gap between them.
constexpr int kFileColumnRight = 201;
constexpr int kComboGap = 7;
// A combo box's frame and the room around its text, beside the button.
constexpr int kComboFrame = 10;
// The caret's width beside the text of an edit.
constexpr int kCaretRoom = 2;

const TFontSpec kToolCaption{"", 0, 0, clBlue};
const TFontSpec kLinkCaption{"", 0, fsBold | fsUnderline, clNavy};

}  // namespace

std::string WithoutFaultingMarks(std::string Text) {
    // Wine's text layout (8.0) faults on spacing modifier letters (U+02B0 to
    // U+02FF: the small tilde, the double acute accent, the small h and more)
    // that start a run of text: a line, after a tab or a replacement mark. A
    // page's carried data read in the system's code page is full of them. The
    // edit shows the whole block as look-alikes, wherever they stand.
    std::string out;
    out.reserve(Text.size());
    for (std::size_t at = 0; at < Text.size(); ++at) {
        const auto lead = static_cast<unsigned char>(Text[at]);
        const auto next = at + 1 < Text.size() ? static_cast<unsigned char>(Text[at + 1]) : 0;
        const bool modifier = (lead == 0xCA && next >= 0xB0 && next <= 0xBF) || (lead == 0xCB && next >= 0x80 && next <= 0xBF);
        if (!modifier) {
            out.push_back(Text[at]);
            continue;
        }
        const unsigned code = ((lead & 0x1Fu) << 6) | (next & 0x3Fu);
        switch (code) {
        case 0x2DC: out.push_back('~'); break;
        case 0x2C6: out.push_back('^'); break;
        case 0x2BA: case 0x2DD: out.push_back('"'); break;
        case 0x2D0: out.push_back(':'); break;
        default: out.push_back('\''); break;  // primes, apostrophes, accents
        }
        ++at;
    }
    return out;
}

std::string MaskForFileType(const std::string& BoxText, const std::string& Current) {
    if (BoxText == "*.HTM;*.HTML")
        return "*.htm?";
    if (BoxText == "*.*")
        return "*.*";
    if (BoxText == "*.JPG;*.JPEG;*.HTM;*.HTML")
        return "*.jp*;*.htm?";
    if (BoxText == "*.JPG;*.JPEG")
        return "*.jp*";
    return Current;
}

TForm1::TForm1(TComponent* AOwner, TMainWindowTies Ties) : TForm(AOwner), ties_(std::move(Ties)) {
    SetCaption(MainWindowCaption());
    SetBorderStyle(bsNone);
    SetClientWidth(634);
    SetClientHeight(450);
    UseWindowFont(this);

    ZelAppStarter1 = new TZelAppStarter(this);
    for (const std::string& file :
         {std::string(kHomePage), std::string("mailto:") + kMailAddress, std::string("help.chm")})
        ZelAppStarter1->Programs()->Add()->SetExeFile(file);
    StartProgram = [this](int Index) { ZelAppStarter1->StartProgram(Index); };

    BuildFrame();
    BuildFileSelection();
    BuildPreview();

    ZelFormManager1 = new TZelFormManager(this);
    ZelFormManager1->SetProperties(ZelFormManager1->Properties().With(wsexAcceptFiles));
    ZelFormManager1->OnDropFiles = [this](TObject* Sender, int X, int Y, TStringList* Files, int FileCount) {
        ZelFormManager1DropFiles(Sender, X, Y, Files, FileCount);
    };
    ShowNotice = [](const std::string& Text) {
        Application->MessageBox(Text, Application->Title(), MB_OK | MB_ICONWARNING);
    };

    // The pages first, as a run goes: where, which, Start, the preview; then
    // the tool buttons and the links, left to right.
    SetTabSequence({panel5, ZelButton1, panel2, ZelIEButton1, ZelIEButton2, ZelIEButton3, ZelIEButton7,
                    ZelIEButton4, ZelIEButton8});

    OnCreate = [this](TObject* Sender) { FormCreate(Sender); };
    OnShow = [this](TObject* Sender) { FormShow(Sender); };
    OnClose = [this](TObject* Sender, TCloseAction& Action) { FormClose(Sender, Action); };
}

TZelIEButton* TForm1::ToolButton(int Left, const char* Caption, const char* Glyph) {
    auto* button = new TZelIEButton(this);
    button->SetParent(this);
    button->SetBounds(Left, 23, 48, 54);
    button->SetCaption(Caption);
    ApplyFont(button, kToolCaption);
    button->SetCursor(crHandPoint);
    button->SetDesignTimeFrame(false);
    // Normal, pressed, hot and disabled looks side by side.
    TBitmap strip;
    LoadPicture(strip, Glyph);
    button->Glyph()->SetBitmap(&strip);
    button->Glyph()->SetNumGlyphs(4);
    button->Glyph()->SetTransparentColor(kPictureKey);
    button->SetOptions(0);
    return button;
}

TZelIEButton* TForm1::LinkButton(int Left, int Top, const std::string& Caption) {
    auto* button = new TZelIEButton(this);
    button->SetParent(this);
    button->SetBounds(Left, Top, 161, 21);
    button->SetCaption(Caption);
    ApplyFont(button, kLinkCaption);
    button->SetCursor(crHandPoint);
    button->SetDesignTimeFrame(false);
    button->SetOptions(opTextonly);
    return button;
}

void TForm1::BuildFrame() {
    Image4 = new TImage(this);
    Image4->SetParent(this);
    Image4->SetAutoSize(true);
    Image4->SetLeft(0);
    Image4->SetTop(0);
    Image4->Picture()->LoadFromResourceName(GetModuleHandleW(nullptr), "SKIN");
    Image4->OnMouseDown = [this](TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y) {
        Image4MouseDown(Sender, Button, Shift, X, Y);
    };
    Image4->OnMouseMove = [this](TObject* Sender, TShiftState Shift, int X, int Y) {
        Image4MouseMove(Sender, Shift, X, Y);
    };
    Image4->OnMouseUp = [this](TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y) {
        Image4MouseUp(Sender, Button, Shift, X, Y);
    };

    ZelLabel6 = MakeLabel(this, 71, 10, ShortVersion(), {"", 0, fsBold, clGray});

    ZelIEButton1 = ToolButton(371, "Help", "GLYPH_HELP");
    ZelIEButton2 = ToolButton(419, "Tips", "GLYPH_TIPS");
    ZelIEButton3 = ToolButton(515, "LOGs", "GLYPH_LOG");
    ZelIEButton7 = ToolButton(563, "Exit", "GLYPH_EXIT");
    ZelIEButton1->OnClick = [this](TObject* Sender) { ZelIEButton1Click(Sender); };
    ZelIEButton2->OnClick = [this](TObject* Sender) { ZelIEButton2Click(Sender); };
    ZelIEButton3->OnClick = [this](TObject* Sender) { ZelIEButton3Click(Sender); };
    ZelIEButton7->OnClick = [this](TObject* Sender) { ZelIEButton7Click(Sender); };

    Image6 = new TImage(this);
    Image6->SetParent(this);
    Image6->SetAutoSize(true);
    Image6->SetLeft(616);
    Image6->SetTop(2);
    Image6->Picture()->LoadFromResourceName(GetModuleHandleW(nullptr), "CLOSE");
    Image6->SetCursor(crHandPoint);
    Image6->OnClick = [this](TObject* Sender) { ZelIEButton7Click(Sender); };

    ZelIEButton4 = LinkButton(256, 422, "Home page");
    ZelIEButton8 = LinkButton(440, 421, "Write to us");
    ZelIEButton4->SetHint(kHomePage);
    ZelIEButton8->SetHint(kMailAddress);
    ZelIEButton4->OnClick = [this](TObject* Sender) { ZelIEButton4Click(Sender); };
    ZelIEButton8->OnClick = [this](TObject* Sender) { ZelIEButton8Click(Sender); };

    PopupMenu1 = new TPopupMenu(this);
    auto item = [this](const char* Caption, std::function<void(TObject*)> Click) {
        auto* menuItem = new TMenuItem(this);
        menuItem->SetCaption(Caption);
        menuItem->OnClick = std::move(Click);
        PopupMenu1->Items()->Add(menuItem);
        return menuItem;
    };
    ViewLog1 = item("ViewLog", [this](TObject* Sender) { ZelIEButton3Click(Sender); });
    item("-", nullptr);
    Help1 = item("Help", [this](TObject* Sender) { ZelIEButton1Click(Sender); });
    Tops1 = item("Tops", [this](TObject* Sender) { ZelIEButton2Click(Sender); });
    item("-", nullptr);
    Aboutus1 = item("About us", [this](TObject* Sender) { Aboutus1Click(Sender); });
    item("-", nullptr);
    Restore1 = item("&Restore selected pages", [this](TObject* Sender) { Restore1Click(Sender); });
    Verify1 = item("&Verify selected pages", [this](TObject* Sender) { Verify1Click(Sender); });
    item("-", nullptr);
    Exit1 = item("Exit", [this](TObject* Sender) { ZelIEButton7Click(Sender); });
    Image4->SetPopupMenu(PopupMenu1);
}

void TForm1::BuildFileSelection() {
    panel5 = new TZelPanel(this);
    panel5->SetParent(this);
    panel5->SetBounds(18, 32, 209, 406);
    panel5->FrameInner()->SetFrameStyle(frameNone);
    panel5->FrameOuter()->SetFrameStyle(frameNone);
    panel5->SetBackground(ties_.Grounds.Panels);
    panel5->SetShowHint(false);

    DriveComboBox1 = new TDriveComboBox(this);
    DriveComboBox1->SetParent(panel5);
    DriveComboBox1->SetBounds(8, 10, 97, 19);
    DriveComboBox1->SetTextCase(tcUpperCase);
    DriveComboBox1->SetHint("Choose the drive.");

    ComboBox1 = new TComboBox(this);
    ComboBox1->SetParent(panel5);
    ComboBox1->SetBounds(112, 9, 89, 21);
    ComboBox1->Items()->Add("*.HTM;*.HTML");
    ComboBox1->Items()->Add("*.*");
    ComboBox1->SetText("*.HTM;*.HTML");
    ComboBox1->SetHint("Choose what file extend would list in \r\nbelow filelistbox.");

    LayOutDriveAndFileType();

    DirectoryListBox1 = new TDirectoryListBox(this);
    DirectoryListBox1->SetParent(panel5);
    DirectoryListBox1->SetBounds(8, 32, 193, 129);
    DirectoryListBox1->SetItemHeight(16);
    DirectoryListBox1->SetHint("Choose the folder.");

    ZelExplorerView1 = new TZelExplorerView(this);
    ZelExplorerView1->SetParent(panel5);
    ZelExplorerView1->SetBounds(8, 164, 193, 237);
    ZelExplorerView1->SetMultiSelect(true);
    ZelExplorerView1->SetItemHeight(20);
    ZelExplorerView1->SetShowGlyphs(true);
    ZelExplorerView1->SetColor(clWhite);
    ZelExplorerView1->SetFileType(kAllEntries);
    // A backup's short name ("PAGEHT~1.HTM") would match the page mask.
    ZelExplorerView1->SetMatchShortNames(false);
    ZelExplorerView1->SetMask("*.htm?");
    ZelExplorerView1->SetDirectory(DirectoryListBox1->Directory());
    ZelExplorerView1->SetHint(
        "Choose what files you want to compress.\r\nYou can use [Ctrl] and [Shift] key to select\r\nmore "
        "than one "
        "files.");

    // None of the four shows its hint.
    for (TControl* control :
         {static_cast<TControl*>(DriveComboBox1), static_cast<TControl*>(ComboBox1),
          static_cast<TControl*>(DirectoryListBox1), static_cast<TControl*>(ZelExplorerView1)})
        control->SetShowHint(false);

    DriveComboBox1->OnChange = [this](TObject* Sender) { DriveComboBox1Change(Sender); };
    DirectoryListBox1->OnChange = [this](TObject* Sender) { DirectoryListBox1Change(Sender); };
    ComboBox1->OnChange = [this](TObject* Sender) { ComboBox1Change(Sender); };
    ZelExplorerView1->OnClick = [this](TObject* Sender) { ZelExplorerView1Click(Sender); };
    ZelExplorerView1->OnKeyDown = [this](TObject* Sender, WORD& Key, TShiftState Shift) {
        ZelExplorerView1KeyDown(Sender, Key, Shift);
    };

    PopupMenu2 = new TPopupMenu(this);
    auto item = [this](const char* Caption, std::function<void(TObject*)> Click) {
        auto* menuItem = new TMenuItem(this);
        menuItem->SetCaption(Caption);
        menuItem->OnClick = std::move(Click);
        PopupMenu2->Items()->Add(menuItem);
    };
    item("&Compress selected pages...", [this](TObject* Sender) { ZelButton1Click(Sender); });
    item("&Restore selected pages", [this](TObject* Sender) { Restore1Click(Sender); });
    item("&Verify selected pages", [this](TObject* Sender) { Verify1Click(Sender); });
    item("-", nullptr);
    item("Select &all\tCtrl+A", [this](TObject*) { ZelExplorerView1->SelectAll(); });
    ZelExplorerView1->SetPopupMenu(PopupMenu2);
}

void TForm1::LayOutDriveAndFileType() {
    // The file-type box takes the width its longest text needs in its own
    // font (with the drop-down button and the frame), whatever the system's
    // fonts; the drive box has the rest of the row.
    int text = 0;
    for (int i = 0; i < ComboBox1->Items()->Count(); ++i)
        text = std::max(text, TextSizeIn(ComboBox1, ComboBox1->Items()->Strings(i)).cx);
    const int right = kFileColumnRight;
    int width = text + GetSystemMetrics(SM_CXVSCROLL) + kComboFrame;
    // Once the box has its window, its edit says what room the text gets
    // inside its margins; the caret at the end of the text must fit too, or
    // the edit scrolls the first "*" away when it takes the focus.
    COMBOBOXINFO info{};
    info.cbSize = sizeof(info);
    if (ComboBox1->HandleAllocated() && GetComboBoxInfo(ComboBox1->Handle(), &info) && info.hwndItem) {
        RECT client{};
        GetClientRect(info.hwndItem, &client);
        const auto margins = static_cast<DWORD>(SendMessageW(info.hwndItem, EM_GETMARGINS, 0, 0));
        const int room = client.right - LOWORD(margins) - HIWORD(margins);
        width = ComboBox1->Width() + text + kCaretRoom - room;
    }
    ComboBox1->SetBounds(right - width, ComboBox1->Top(), width, ComboBox1->Height());
    DriveComboBox1->SetWidth(ComboBox1->Left() - kComboGap - DriveComboBox1->Left());
}

void TForm1::BuildPreview() {
    panel2 = new TZelPanel(this);
    panel2->SetParent(this);
    panel2->SetBounds(230, 224, 387, 193);
    panel2->FrameInner()->SetFrameStyle(frameNone);
    panel2->FrameOuter()->SetFrameStyle(frameLowered);
    panel2->SetBackground(ties_.Grounds.Panels);

    Image3 = new TImage(this);
    Image3->SetParent(panel2);
    Image3->SetAlign(alClient);
    Image3->SetCenter(true);
    Image3->SetTransparent(true);
    Image3->Picture()->LoadFromResourceName(GetModuleHandleW(nullptr), "IDLE");
    Image3->Picture()->Bitmap()->SetTransparentColor(kPictureKey);

    Web = new TPanel(this);
    Web->SetParent(panel2);
    Web->SetAlign(alClient);
    Web->SetBevelOuter(bvNone);
    Web->SetVisible(false);

    Sourcecode = new TMemo(this);
    Sourcecode->SetParent(Web);
    Sourcecode->SetAlign(alClient);
    Sourcecode->SetReadOnly(true);
    Sourcecode->SetColor(clWhite);
    Sourcecode->SetScrollBars(ssBoth);

    ZelButton1 = MakeDialogButton(this, Bounds(248, 176, 99, 41), "Start", ties_.Grounds.Buttons);
    ZelButton1->OnClick = [this](TObject* Sender) { ZelButton1Click(Sender); };
}

void TForm1::FormCreate(TObject*) {
    SetBounds((Screen->Width() - Width()) / 2, (Screen->Height() - Height()) / 2 + 30, Width(), Height());
}

void TForm1::FormClose(TObject*, TCloseAction&) {
    Hide();
    TIMessage* note = ties_.ClosingNote ? ties_.ClosingNote() : nullptr;
    if (!note)
        return;
    note->Show();
    // Each pass handles what is waiting, then sleeps until the next message
    // comes: the note's button hides itself inside one of them. A program
    // ended by other means (the splash closed) stops waiting too.
    while (note->ZelButton1->Visible() && !Application->Terminated())
        Application->HandleMessage();
}

void TForm1::Image4MouseDown(TObject*, TMouseButton, TShiftState, int X, int Y) {
    dragging_ = 1;
    startX_ = X;
    startY_ = Y;
}

void TForm1::Image4MouseMove(TObject*, TShiftState, int X, int Y) {
    if (dragging_ != 1)
        return;
    // The picture moves with the window, so the start point stays where the
    // pointer took hold of it.
    const int dx = startX_ - X;
    if (dx != 0)
        SetLeft(Left() - dx);
    const int dy = startY_ - Y;
    if (dy != 0)
        SetTop(Top() - dy);
}

void TForm1::Image4MouseUp(TObject*, TMouseButton, TShiftState, int, int) {
    dragging_ = 0;
}

void TForm1::ZelIEButton1Click(TObject*) {
    ZelAppStarter1->Programs()->Items(2)->SetExeFile(HelpFilePath());
    StartProgram(2);
}

void TForm1::ZelIEButton2Click(TObject*) {
    if (ties_.ShowTips)
        ties_.ShowTips();
}

void TForm1::ZelIEButton3Click(TObject*) {
    if (ties_.ShowLog)
        ties_.ShowLog();
}

void TForm1::ZelIEButton7Click(TObject*) {
    Close();
}

void TForm1::ZelIEButton4Click(TObject*) {
    StartProgram(0);
}

void TForm1::ZelIEButton8Click(TObject*) {
    StartProgram(1);
}

void TForm1::Aboutus1Click(TObject*) {
    ShowAbout();
}

void TForm1::DriveComboBox1Change(TObject*) {
    DirectoryListBox1->SetDrive(DriveComboBox1->Drive());
}

void TForm1::DirectoryListBox1Change(TObject*) {
    ZelExplorerView1->SetDirectory(DirectoryListBox1->Directory());
}

void TForm1::ComboBox1Change(TObject*) {
    // Every key typed in the box lands here: only a new mask reads the
    // list again, and the pages selected stay selected.
    const std::string mask = MaskForFileType(ComboBox1->Text(), ZelExplorerView1->Mask());
    if (mask == ZelExplorerView1->Mask())
        return;
    const std::vector<std::string> names = SelectedNames();
    ZelExplorerView1->SetMask(mask);
    Reselect(names);
}

std::vector<std::string> TForm1::SelectedNames() {
    std::vector<std::string> names;
    for (int i = 0; i < ZelExplorerView1->Count(); ++i)
        if (ZelExplorerView1->Selected(i))
            names.push_back(ZelExplorerView1->Items()->Strings(i));
    return names;
}

void TForm1::Reselect(const std::vector<std::string>& Names) {
    for (const std::string& name : Names) {
        const int index = ZelExplorerView1->Items()->IndexOf(name);
        if (index >= 0)
            ZelExplorerView1->SetSelected(index, true);
    }
}

void TForm1::FilesChanged() {
    const int itemIndex = ZelExplorerView1->ItemIndex();
    const std::vector<std::string> names = SelectedNames();
    ZelExplorerView1->ReadFileNames();
    Reselect(names);
    if (itemIndex >= 0 && itemIndex < ZelExplorerView1->Count())
        ZelExplorerView1->SetItemIndex(itemIndex);
    // The preview shows the page as the run left it.
    if (previewed_.empty() || !Web->Visible())
        return;
    try {
        ShowSource(previewed_);
    } catch (const std::exception&) {
        Sourcecode->Lines()->Clear();
    }
}

void TForm1::ShowSource(const std::string& File) {
    // Read through the engine's wide, long-path file access; a page that
    // cannot be read raises an error naming it, and the memo keeps what it
    // showed.
    std::string bytes;
    try {
        bytes = ReadWholeFile(File);
    } catch (const std::exception& e) {
        throw EFOpenError(e.what());
    }
    // Text only: an edit control handed a page's carried bytes, or a whole
    // large page, is more than the system's text layout can bear.
    Sourcecode->Lines()->SetText(WithoutFaultingMarks(PreviewText(File, bytes)));
}

void TForm1::Restore1Click(TObject*) {
    if (ties_.RunWindows)
        RestoreSelected(ties_.RunWindows());
}

void TForm1::Verify1Click(TObject*) {
    if (ties_.RunWindows)
        VerifySelected(ties_.RunWindows());
}

void TForm1::ZelExplorerView1KeyDown(TObject*, WORD& Key, TShiftState Shift) {
    if (Key == 'A' && (Shift & ssCtrl) && !(Shift & ssAlt)) {
        ZelExplorerView1->SelectAll();
        Key = 0;
    }
}

void TForm1::ZelExplorerView1Click(TObject*) {
    const std::string file = ZelExplorerView1->FileName();
    if (!HasPageExtension(file))
        return;
    // The source view covers the idle picture from now on.
    Web->Show();
    ZelButton1->SetEnabled(true);
    ShowSource(file);
    previewed_ = file;
}

void TForm1::ZelButton1Click(TObject*) {
    TSavefileto* dialog = ties_.RunWindows ? ties_.RunWindows().Options : nullptr;
    if (!dialog)
        return;
    if (ZelExplorerView1->SelCount() == 0) {
        if (ShowNotice)
            ShowNotice(kNothingSelected);
        return;
    }
    // Shown already: only brought to the front, not placed again.
    dialog->Show();
    if (dialog->HandleAllocated())
        SetForegroundWindow(dialog->Handle());
}

namespace {

std::string NotTakenText(const std::vector<std::string>& Refused) {
    std::string text = "Not selected:";
    for (const std::string& line : Refused)
        text += "\r\n" + line;
    return text;
}

}  // namespace

std::vector<std::string> TForm1::SelectPaths(const std::vector<std::string>& Paths) {
    TPageChoice choice = ChoosePages(Paths);
    if (choice.Folder.empty())
        return choice.Refused;
    const std::string folder = choice.Folder;
    DirectoryListBox1->SetDirectory(folder);
    if (folder.size() >= 2 && folder[1] == ':')
        DriveComboBox1->SetDrive(DirectoryListBox1->Drive());
    if (ZelExplorerView1->Directory() != DirectoryListBox1->Directory())
        ZelExplorerView1->SetDirectory(DirectoryListBox1->Directory());
    ZelExplorerView1->ClearSelection();
    int first = -1;
    for (const std::string& name : choice.Names) {
        const std::string shown = name;
        for (int i = 0; i < ZelExplorerView1->Count(); ++i) {
            if (CompareTextIgnoringCase(ZelExplorerView1->Items()->Strings(i), shown) != 0)
                continue;
            ZelExplorerView1->SetSelected(i, true);
            if (first < 0 || i < first)
                first = i;
        }
    }
    if (first >= 0) {
        ZelExplorerView1->SetItemIndex(first);
        // A page that cannot be shown is still selected; the box says why.
        try {
            ZelExplorerView1Click(ZelExplorerView1);
        } catch (const std::exception& e) {
            choice.Refused.push_back(e.what());
        }
    }
    return choice.Refused;
}

void TForm1::SelectAtStart(const std::vector<std::string>& Paths) {
    const std::vector<std::string> refused = SelectPaths(Paths);
    if (!refused.empty())
        startNotice_ = NotTakenText(refused);
}

void TForm1::FormShow(TObject*) {
    LayOutDriveAndFileType();
    if (startNotice_.empty())
        return;
    // A modal box inside the show would run in the middle of the splash's
    // hand-over; it comes right after it instead.
    if (!noticeTimer_) {
        noticeTimer_ = new TTimer(this);
        noticeTimer_->SetEnabled(false);
        noticeTimer_->SetInterval(10);
        noticeTimer_->OnTimer = [this](TObject*) {
            noticeTimer_->SetEnabled(false);
            const std::string text = std::move(startNotice_);
            startNotice_.clear();
            if (ShowNotice && !text.empty())
                ShowNotice(text);
        };
    }
    noticeTimer_->SetEnabled(true);
}

void TForm1::ZelFormManager1DropFiles(TObject*, int, int, TStringList* Files, int) {
    std::vector<std::string> paths;
    for (int i = 0; i < Files->Count(); ++i)
        paths.push_back(Files->Strings(i));
    const std::vector<std::string> refused = SelectPaths(paths);
    if (!refused.empty() && ShowNotice)
        ShowNotice(NotTakenText(refused));
}

int TForm1::Count() {
    return ZelExplorerView1->Count();
}

bool TForm1::Selected(int Index) {
    return ZelExplorerView1->Selected(Index);
}

std::string TForm1::Path(int Index) {
    // FileName names the current item, and only while it is selected, as
    // every item the batch asks for is.
    ZelExplorerView1->SetItemIndex(Index);
    return ZelExplorerView1->FileName();
}

void TForm1::SetCurrent(int Index) {
    ZelExplorerView1->SetItemIndex(Index);
}

}  // namespace vexel
