#include "app/page_choice.h"

#include <windows.h>

#include <shellapi.h>

#include <algorithm>

#include "engine/page_names.h"
#include "platform/file_system.h"
#include "platform/wide_text.h"

namespace vexel {

namespace {

// The folder part of an absolute path, without its final separator except
// for a drive's root ("C:\").
std::string FolderOf(const std::string& Path) {
    std::size_t end = Path.size();
    while (end > 0 && !platform::IsSeparator(Path[end - 1]))
        --end;
    if (end == 0)
        return std::string();
    std::string folder = Path.substr(0, end);
    if (folder.size() > 3 && platform::IsSeparator(folder.back()))
        folder.pop_back();
    return folder;
}

std::string NameOf(const std::string& Path) {
    std::size_t start = Path.size();
    while (start > 0 && !platform::IsSeparator(Path[start - 1]))
        --start;
    return Path.substr(start);
}

std::string WithoutFinalSeparator(std::string Path) {
    while (Path.size() > 3 && platform::IsSeparator(Path.back()))
        Path.pop_back();
    return Path;
}

// Two paths of one folder, letter case ignored as the system ignores it.
bool SameFolder(const std::string& A, const std::string& B) {
    return A.size() == B.size() &&
           CompareStringOrdinal(platform::Widen(A).c_str(), -1, platform::Widen(B).c_str(), -1, TRUE) ==
               CSTR_EQUAL;
}

}  // namespace

std::vector<std::string> ArgumentsOf(const std::wstring& CommandLine) {
    std::vector<std::string> arguments;
    // An empty line would make the system split the program's own path.
    if (CommandLine.empty())
        return arguments;
    int count = 0;
    LPWSTR* parts = CommandLineToArgvW(CommandLine.c_str(), &count);
    if (!parts)
        return arguments;
    for (int i = 1; i < count; ++i)
        arguments.push_back(platform::Narrow(parts[i]));
    LocalFree(parts);
    return arguments;
}

std::vector<std::string> ProgramArguments() {
    return ArgumentsOf(GetCommandLineW());
}

TPageChoice ChoosePages(const std::vector<std::string>& Paths) {
    TPageChoice choice;
    for (const std::string& given : Paths) {
        if (given.empty())
            continue;
        const std::string path = WithoutFinalSeparator(platform::AbsolutePath(given));
        platform::FileInfo info;
        const platform::Status status = platform::Inspect(path, true, info);
        if (!status.Ok() || info.kind == platform::FileKind::Missing) {
            choice.Refused.push_back("\"" + given + "\": " +
                                     (status.Ok() ? std::string("no such file or folder") : status.Reason()));
            continue;
        }
        const bool folder = info.kind == platform::FileKind::Directory;
        if (choice.Folder.empty())
            choice.Folder = folder ? path : FolderOf(path);
        if (folder) {
            if (!SameFolder(path, choice.Folder)) {
                choice.Refused.push_back("\"" + given + "\": not the folder shown, \"" + choice.Folder + "\"");
                continue;
            }
            std::vector<platform::FolderEntry> entries;
            const platform::Status listed = platform::ListFolder(path, entries);
            if (!listed.Ok()) {
                choice.Refused.push_back("\"" + given + "\": " + listed.Reason());
                continue;
            }
            std::vector<std::string> pages;
            for (const platform::FolderEntry& entry : entries)
                if (entry.kind == platform::FileKind::Regular && HasPageExtension(entry.name))
                    pages.push_back(entry.name);
            std::sort(pages.begin(), pages.end());
            choice.Names.insert(choice.Names.end(), pages.begin(), pages.end());
            continue;
        }
        if (!SameFolder(FolderOf(path), choice.Folder)) {
            choice.Refused.push_back("\"" + given + "\": not in the folder shown, \"" + choice.Folder + "\"");
        } else if (info.kind != platform::FileKind::Regular || !HasPageExtension(path)) {
            choice.Refused.push_back("\"" + given + "\": not a page (.htm or .html)");
        } else {
            choice.Names.push_back(NameOf(path));
        }
    }
    return choice;
}

}  // namespace vexel
