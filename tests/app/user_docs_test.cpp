// The help file's topics and the README's desktop sections against the
// program itself: every option of the options dialog, every menu entry and
// every value the program keeps in the registry is named in both, so that
// neither falls behind a change of the windows.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "app/options_dialog.h"
#include "app/tip_window.h"
#include "platform/wide_text.h"
#include "tests/app/app_test_support.h"

using namespace vexel;
using namespace vexel::testing;

namespace user_docs {

std::filesystem::path SourceDir() {
    const char* source = std::getenv("VEXEL_SOURCE_DIR");
    EXPECT_NE(source, nullptr) << "VEXEL_SOURCE_DIR is not set";
    return source != nullptr ? source : ".";
}

std::string ReadText(const std::filesystem::path& Path) {
    std::ifstream file(Path, std::ios::binary);
    EXPECT_TRUE(file.good()) << "cannot open " << Path.string();
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

void ReplaceAll(std::string& Text, const std::string& From, const std::string& To) {
    for (std::size_t at = Text.find(From); at != std::string::npos; at = Text.find(From, at + To.size()))
        Text.replace(at, From.size(), To);
}

// Runs of blanks and line ends as one space, so that a caption broken over
// two lines of a source is still found.
std::string Flattened(const std::string& Text) {
    std::string flat;
    for (const char c : Text) {
        const bool blank = c == ' ' || c == '\t' || c == '\r' || c == '\n';
        if (!blank)
            flat += c;
        else if (!flat.empty() && flat.back() != ' ')
            flat += ' ';
    }
    return flat;
}

// A help topic's text as a reader sees it: no tags, entities resolved.
std::string TopicText(const std::string& Name) {
    std::string html = ReadText(SourceDir() / "app" / "help" / Name);
    std::string text;
    bool inTag = false;
    for (const char c : html) {
        if (c == '<')
            inTag = true;
        else if (c == '>' && inTag)
            inTag = false;
        else if (!inTag)
            text += c;
    }
    ReplaceAll(text, "&lt;", "<");
    ReplaceAll(text, "&gt;", ">");
    ReplaceAll(text, "&quot;", "\"");
    ReplaceAll(text, "&#39;", "'");
    ReplaceAll(text, "&amp;", "&");
    return Flattened(text);
}

// The README from "## The desktop program" to the next section of its
// level, without Markdown's marks of emphasis and code.
std::string ReadmeDesktopText() {
    const std::string readme = ReadText(SourceDir() / "README.md");
    const std::size_t start = readme.find("\n## The desktop program\n");
    EXPECT_NE(start, std::string::npos) << "the README has no desktop section";
    if (start == std::string::npos)
        return {};
    const std::size_t end = readme.find("\n## ", start + 1);
    std::string text = readme.substr(start, end == std::string::npos ? std::string::npos : end - start);
    std::string plain;
    for (const char c : text)
        if (c != '*' && c != '`')
            plain += c;
    return Flattened(plain);
}

// A caption as the user reads it: without its "&" marks and the shortcut
// after a tab.
std::string Shown(std::string Caption) {
    Caption = Caption.substr(0, Caption.find('\t'));
    std::string shown;
    for (const char c : Caption)
        if (c != '&')
            shown += c;
    return shown;
}

// The names of the values under HKEY_CURRENT_USER\Key.
std::vector<std::string> ValueNames(const std::string& Key) {
    std::vector<std::string> names;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, platform::Widen(Key).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return names;
    for (DWORD i = 0;; ++i) {
        wchar_t name[256];
        DWORD length = 256;
        if (RegEnumValueW(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        names.push_back(platform::Narrow(std::wstring(name, length)));
    }
    RegCloseKey(key);
    return names;
}

}  // namespace user_docs

using namespace user_docs;

class UserDocs : public AppTest {};

TEST_F(UserDocs, TheHelpAndTheReadmeNameEveryOptionMenuEntryAndKeptValue) {
    MakeProgramWindows();
    const std::string options = TopicText("options.htm");
    std::string help;
    for (const char* topic : {"index.htm", "compress.htm", "options.htm", "restore.htm", "log.htm", "keyboard.htm"})
        help += TopicText(topic) + "\n";
    const std::string readme = ReadmeDesktopText();

    // The options the user can see in the dialog.
    TSavefileto* dialog = windows->Savefileto;
    std::vector<std::string> captions;
    for (int i = 0; i < dialog->ComponentCount(); ++i) {
        auto* control = dynamic_cast<TControl*>(dialog->Components(i));
        if (control && control->Visible() &&
            (dynamic_cast<TZelCheckbox*>(control) || dynamic_cast<TZelRadiobutton*>(control)))
            captions.push_back(Shown(control->Caption()));
    }
    EXPECT_GE(captions.size(), 7u) << "the dialog's boxes were not found";
    for (const std::string& caption : captions) {
        EXPECT_NE(options.find(caption), std::string::npos) << "options.htm does not name \"" << caption << "\"";
        EXPECT_NE(readme.find(caption), std::string::npos) << "the README does not name \"" << caption << "\"";
    }

    // The entries of the main window's two menus.
    int entries = 0;
    for (TPopupMenu* menu : {form1->PopupMenu1, form1->PopupMenu2}) {
        for (int i = 0; i < menu->Items()->Count(); ++i) {
            const std::string entry = Shown(menu->Items()->Items(i)->Caption());
            if (entry == "-")
                continue;
            ++entries;
            EXPECT_NE(help.find(entry), std::string::npos) << "no help topic names the menu entry \"" << entry << "\"";
            EXPECT_NE(readme.find(entry), std::string::npos) << "the README does not name the menu entry \"" << entry
                                                             << "\"";
        }
    }
    EXPECT_GE(entries, 10);

    // Every value the program keeps: the dialog's choices and the tip
    // window's two.
    dialog->SaveChoices();
    std::vector<std::string> kept = ValueNames(windows->StorePath().substr(1) + "\\Options");
    EXPECT_GE(kept.size(), 5u) << "the dialog's choices were not found in the registry";
    kept.push_back(windows->Form4->Tipsshow->StoreKey());
    kept.push_back(windows->Form4->tipid->StoreKey());
    for (const std::string& value : kept) {
        EXPECT_NE(options.find(value), std::string::npos) << "options.htm does not name the kept value " << value;
        EXPECT_NE(readme.find(value), std::string::npos) << "the README does not name the kept value " << value;
    }
}
