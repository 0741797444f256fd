#include "system/portable_profiles.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "platform/ascii.h"

namespace vexel {

namespace {

// The profile functions count carriage returns and the old end-of-file mark
// among the blanks.
bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r' || c == '\x1a';
}

std::string Trim(const std::string& s) {
    size_t begin = 0;
    size_t end = s.size();
    while (begin < end && IsBlank(s[begin]))
        ++begin;
    while (end > begin && IsBlank(s[end - 1]))
        --end;
    return s.substr(begin, end - begin);
}

std::string TrimLeft(const std::string& s) {
    size_t begin = 0;
    while (begin < s.size() && IsBlank(s[begin]))
        ++begin;
    return s.substr(begin);
}

// One line of the file, kept whole (with its line break) so that a write can
// put every line it does not change back as it was.
struct TLine {
    std::string text;
    std::string trimmed;
    bool isSection = false;
    std::string name;  // the section's or the key's
    bool hasValue = false;
    std::string value;
};

TLine ParseLine(std::string text) {
    TLine line;
    line.text = std::move(text);
    line.trimmed = Trim(line.text);
    if (line.trimmed.empty())
        return line;
    if (line.trimmed[0] == '[') {
        size_t close = line.trimmed.rfind(']');
        if (close != std::string::npos) {
            line.isSection = true;
            line.name = line.trimmed.substr(1, close - 1);
            return line;
        }
    }
    size_t equals = line.trimmed.find('=');
    if (equals == std::string::npos) {
        line.name = line.trimmed;
        return line;
    }
    line.name = Trim(line.trimmed.substr(0, equals));
    line.hasValue = true;
    line.value = TrimLeft(line.trimmed.substr(equals + 1));
    return line;
}

std::vector<TLine> SplitLines(const std::string& content) {
    std::vector<TLine> lines;
    size_t start = 0;
    // A marker of UTF-8 text is not part of the first line.
    if (content.compare(0, 3, "\xEF\xBB\xBF") == 0)
        start = 3;
    while (start < content.size()) {
        size_t end = content.find('\n', start);
        end = end == std::string::npos ? content.size() : end + 1;
        lines.push_back(ParseLine(content.substr(start, end - start)));
        start = end;
    }
    return lines;
}

// Index of the first section named Section, or lines.size().
size_t FindSection(const std::vector<TLine>& lines, const std::string& Section) {
    for (size_t i = 0; i < lines.size(); ++i)
        if (lines[i].isSection && EqualsIgnoringAsciiCase(lines[i].name, Section))
            return i;
    return lines.size();
}

// Index of Key within the section whose header is at sectionAt, or the
// index of the next section header (or lines.size()) when it is not there.
size_t FindKey(const std::vector<TLine>& lines,
               size_t sectionAt,
               const std::string& Key,
               size_t& sectionEnd) {
    size_t i = sectionAt + 1;
    for (; i < lines.size() && !lines[i].isSection; ++i)
        if (!lines[i].trimmed.empty() && EqualsIgnoringAsciiCase(lines[i].name, Key)) {
            sectionEnd = i;
            while (sectionEnd < lines.size() && !lines[sectionEnd].isSection)
                ++sectionEnd;
            return i;
        }
    sectionEnd = i;
    return i;
}

bool ReadFile(const std::string& path, std::string& content, bool& exists) {
    std::error_code error;
    exists = std::filesystem::exists(path, error);
    content.clear();
    if (!exists)
        return !error;
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return false;
    std::ostringstream buffer;
    buffer << file.rdbuf();
    content = buffer.str();
    return !file.bad();
}

}  // namespace

TPortableProfiles::TPortableProfiles(std::string WindowsFolder) : windowsFolder_(std::move(WindowsFolder)) {}

std::string TPortableProfiles::ResolveName(const std::string& FileName) const {
    if (FileName.find('/') == std::string::npos && FileName.find('\\') == std::string::npos &&
        !(FileName.size() >= 2 && FileName[1] == ':'))
        return (std::filesystem::path(windowsFolder_) / FileName).string();
    std::error_code error;
    std::filesystem::path full = std::filesystem::absolute(FileName, error);
    return error ? FileName : full.string();
}

std::string TPortableProfiles::ReadString(const std::string& FileName,
                                          const std::string& Section,
                                          const std::string& Key,
                                          const std::string& Default,
                                          size_t BufferSize) {
    if (BufferSize == 0 || Key.empty())
        return std::string();
    std::string result = Default;
    while (!result.empty() && result.back() == ' ')
        result.pop_back();

    std::string content;
    bool exists = false;
    if (ReadFile(ResolveName(FileName), content, exists) && exists) {
        std::vector<TLine> lines = SplitLines(content);
        size_t sectionAt = FindSection(lines, Trim(Section));
        if (sectionAt < lines.size()) {
            size_t sectionEnd = 0;
            size_t keyAt = FindKey(lines, sectionAt, Trim(Key), sectionEnd);
            if (keyAt < sectionEnd && lines[keyAt].hasValue)
                result = lines[keyAt].value;
        }
    }
    if (result.size() > 1 && (result[0] == '"' || result[0] == '\'') && result.back() == result[0])
        result = result.substr(1, result.size() - 2);
    if (result.size() > BufferSize - 1)
        result.resize(BufferSize - 1);
    return result;
}

bool TPortableProfiles::WriteString(const std::string& FileName,
                                    const std::string& Section,
                                    const std::string& Key,
                                    const std::string& Value) {
    namespace fs = std::filesystem;
    std::string path = ResolveName(FileName);
    std::string content;
    bool exists = false;
    if (!ReadFile(path, content, exists))
        return false;
    std::error_code error;
    fs::path parent = fs::path(path).parent_path();
    if (!parent.empty() && !fs::is_directory(parent, error))
        return false;

    std::vector<TLine> lines = SplitLines(content);
    const std::string value = TrimLeft(Value);
    const std::string section = Trim(Section);
    const std::string key = Trim(Key);
    size_t sectionAt = FindSection(lines, section);
    if (sectionAt == lines.size()) {
        if (!lines.empty()) {
            TLine& last = lines.back();
            if (last.text.back() != '\n')
                last.text += "\r\n";
            lines.push_back(ParseLine("\r\n"));
        }
        lines.push_back(ParseLine("[" + TrimLeft(Section) + "]\r\n"));
        lines.push_back(ParseLine(TrimLeft(Key) + "=" + value + "\r\n"));
    } else {
        size_t sectionEnd = 0;
        size_t keyAt = FindKey(lines, sectionAt, key, sectionEnd);
        if (keyAt < sectionEnd) {
            if (lines[keyAt].hasValue && lines[keyAt].value == value)
                return true;
            const std::string& old = lines[keyAt].text;
            std::string ending = old.size() >= 2 && old.compare(old.size() - 2, 2, "\r\n") == 0 ? "\r\n"
                                 : !old.empty() && old.back() == '\n'                           ? "\n"
                                                                                                : "\r\n";
            lines[keyAt] = ParseLine(lines[keyAt].name + "=" + value + ending);
        } else {
            // After the section's last line that is not blank.
            size_t at = sectionEnd;
            while (at > sectionAt + 1 && lines[at - 1].trimmed.empty())
                --at;
            TLine& previous = lines[at - 1];
            if (previous.text.back() != '\n')
                previous.text += "\r\n";
            lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at),
                         ParseLine(TrimLeft(Key) + "=" + value + "\r\n"));
        }
    }

    std::string out = content.compare(0, 3, "\xEF\xBB\xBF") == 0 ? "\xEF\xBB\xBF" : "";
    for (const TLine& line : lines)
        out += line.text;
    // The new text goes to a file of its own first, so that a failed write
    // leaves the old file whole.
    fs::path temporary = fs::path(path);
    temporary += ".new";
    {
        std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
        if (!file)
            return false;
        file << out;
        file.flush();
        if (!file) {
            file.close();
            fs::remove(temporary, error);
            return false;
        }
    }
    fs::rename(temporary, path, error);
    if (error) {
        fs::remove(temporary, error);
        return false;
    }
    return true;
}

}  // namespace vexel
