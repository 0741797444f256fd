#include "system/portable_registry.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/ascii.h"

namespace vexel {

namespace {

// The platform's limits: a key name of at most 255 characters, a value name
// of at most 16383.
constexpr size_t kMaxKeyName = 255;
constexpr size_t kMaxValueName = 16383;

constexpr TRegKeyHandle kRootHandleBase = 0x80000000u;

const char* const kRootNames[] = {"HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER",   "HKEY_LOCAL_MACHINE",
                                  "HKEY_USERS",        "HKEY_CURRENT_CONFIG", "HKEY_DYN_DATA"};

bool NeedsEscape(unsigned char c) {
    return c < 0x20 || c == 0x7F;
}

// Splits a key path at its backslashes. A single trailing backslash is
// allowed; any other empty name, or one longer than the limit, fails.
bool SplitPath(const std::string& Path, std::vector<std::string>& Names) {
    Names.clear();
    if (Path.empty())
        return true;
    std::string path = Path.back() == '\\' ? Path.substr(0, Path.size() - 1) : Path;
    size_t start = 0;
    for (;;) {
        size_t end = path.find('\\', start);
        std::string name = path.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (name.empty() || name.size() > kMaxKeyName)
            return false;
        Names.push_back(name);
        if (end == std::string::npos)
            return true;
        start = end + 1;
    }
}

std::string QuoteText(const std::string& Text) {
    std::string out = "\"";
    for (unsigned char c : Text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (NeedsEscape(c)) {
            out += "\\x";
            out += HexDigitOf(c >> 4, true);
            out += HexDigitOf(c, true);
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

// Reads a quoted text starting at Line[Pos]; Pos ends after the closing quote.
bool UnquoteText(const std::string& Line, size_t& Pos, std::string& Text) {
    if (Pos >= Line.size() || Line[Pos] != '"')
        return false;
    Text.clear();
    for (++Pos; Pos < Line.size(); ++Pos) {
        char c = Line[Pos];
        if (c == '"') {
            ++Pos;
            return true;
        }
        if (c != '\\') {
            Text += c;
            continue;
        }
        if (++Pos >= Line.size())
            return false;
        c = Line[Pos];
        if (c == '"' || c == '\\') {
            Text += c;
        } else if (c == 'x' && Pos + 2 < Line.size() && HexByteValue(Line[Pos + 1], Line[Pos + 2]) >= 0) {
            Text += static_cast<char>(HexByteValue(Line[Pos + 1], Line[Pos + 2]));
            Pos += 2;
        } else {
            return false;
        }
    }
    return false;
}

std::string EscapeKeyName(const std::string& Name) {
    std::string out;
    for (unsigned char c : Name) {
        if (c == '%' || c == ']' || NeedsEscape(c)) {
            out += '%';
            out += HexDigitOf(c >> 4, true);
            out += HexDigitOf(c, true);
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

bool UnescapeKeyName(const std::string& Text, std::string& Name) {
    Name.clear();
    for (size_t i = 0; i < Text.size(); ++i) {
        if (Text[i] != '%') {
            Name += Text[i];
            continue;
        }
        const int byte = i + 2 < Text.size() ? HexByteValue(Text[i + 1], Text[i + 2]) : -1;
        if (byte < 0)
            return false;
        Name += static_cast<char>(byte);
        i += 2;
    }
    return true;
}

// A string value that reads back as the same text: one terminating zero and
// no other zero inside.
bool IsPlainString(uint32_t Type, const std::string& Data) {
    return (Type == rdString || Type == rdExpandString) && !Data.empty() && Data.back() == '\0' &&
           Data.find('\0') == Data.size() - 1;
}

}  // namespace

std::string PortableSettingsFolder() {
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && *config)
        return std::string(config) + "/vexel";
    if (const char* home = std::getenv("HOME"); home && *home)
        return std::string(home) + "/.config/vexel";
    return std::string();
}

// ---- nodes ----

std::shared_ptr<TPortableRegistry::TNode> TPortableRegistry::TNode::Child(const std::string& Name) const {
    for (const auto& child : children)
        if (EqualsIgnoringAsciiCase(child->name, Name))
            return child;
    return nullptr;
}

TPortableRegistry::TValue* TPortableRegistry::TNode::Value(const std::string& Name) {
    for (TValue& value : values)
        if (EqualsIgnoringAsciiCase(value.name, Name))
            return &value;
    return nullptr;
}

// ---- the registry ----

TPortableRegistry::TPortableRegistry(std::string FileName) : fileName_(std::move(FileName)) {
    for (int i = 0; i < 6; ++i) {
        roots_[i] = std::make_shared<TNode>();
        roots_[i]->name = kRootNames[i];
        handles_[kRootHandleBase + static_cast<TRegKeyHandle>(i)] = TOpen{roots_[i], true};
    }
    if (!fileName_.empty())
        Load();
}

TPortableRegistry::~TPortableRegistry() = default;

TRegKeyHandle TPortableRegistry::RootKey(TRegRoot Root) {
    return kRootHandleBase + static_cast<TRegKeyHandle>(Root);
}

TPortableRegistry::TOpen* TPortableRegistry::Resolve(TRegKeyHandle Key) {
    auto it = handles_.find(Key);
    if (it == handles_.end() || it->second.node->deleted)
        return nullptr;
    return &it->second;
}

TRegKeyHandle TPortableRegistry::DoOpenKey(TRegKeyHandle Parent,
                                           const std::string& SubKey,
                                           TRegAccess Access) {
    TOpen* parent = Resolve(Parent);
    std::vector<std::string> names;
    // A registry that refuses changes opens nothing for writing, as the
    // platform's refuses a key the user may only read.
    if (!parent || !SplitPath(SubKey, names) || (Access == raCreate && broken_))
        return 0;
    std::shared_ptr<TNode> node = parent->node;
    std::shared_ptr<TNode> firstCreated;
    for (const std::string& name : names) {
        std::shared_ptr<TNode> child = node->Child(name);
        if (!child) {
            // Creating below a key needs a key opened for writing.
            if (Access != raCreate || !parent->writable)
                return 0;
            child = std::make_shared<TNode>();
            child->name = name;
            child->parent = node.get();
            node->children.push_back(child);
            if (!firstCreated)
                firstCreated = child;
        }
        node = child;
    }
    if (firstCreated && !Save()) {
        auto& siblings = firstCreated->parent->children;
        siblings.erase(std::find(siblings.begin(), siblings.end(), firstCreated));
        return 0;
    }
    TRegKeyHandle handle = nextHandle_;
    nextHandle_ += 4;
    handles_[handle] = TOpen{node, Access == raCreate};
    return handle;
}

void TPortableRegistry::DoCloseKey(TRegKeyHandle Key) {
    if (Key >= kRootHandleBase && Key < kRootHandleBase + 6)
        return;
    handles_.erase(Key);
}

TRegQuery TPortableRegistry::QueryValue(TRegKeyHandle Key,
                                        const std::string& Name,
                                        uint32_t& Type,
                                        std::string& Data) {
    TOpen* open = Resolve(Key);
    if (!open)
        return TRegQuery::Failed;
    TValue* value = open->node->Value(Name);
    if (!value)
        return TRegQuery::Missing;
    Type = value->type;
    Data = value->data;
    return TRegQuery::Found;
}

bool TPortableRegistry::SetValue(TRegKeyHandle Key,
                                 const std::string& Name,
                                 uint32_t Type,
                                 const std::string& Data) {
    TOpen* open = Resolve(Key);
    if (!open || !open->writable || Name.size() > kMaxValueName)
        return false;
    TNode& node = *open->node;
    if (TValue* value = node.Value(Name)) {
        TValue before = *value;
        value->type = Type;
        value->data = Data;
        if (Save())
            return true;
        *value = before;
        return false;
    }
    node.values.push_back(TValue{Name, Type, Data});
    if (Save())
        return true;
    node.values.pop_back();
    return false;
}

bool TPortableRegistry::DeleteTree(TRegKeyHandle Parent, const std::string& SubKey) {
    TOpen* parent = Resolve(Parent);
    std::vector<std::string> names;
    if (!parent || !parent->writable || !SplitPath(SubKey, names) || names.empty())
        return false;
    std::shared_ptr<TNode> node = parent->node;
    for (const std::string& name : names) {
        node = node->Child(name);
        if (!node)
            return false;
    }
    auto& siblings = node->parent->children;
    auto at = std::find(siblings.begin(), siblings.end(), node);
    size_t index = static_cast<size_t>(at - siblings.begin());
    siblings.erase(at);
    if (!Save()) {
        siblings.insert(siblings.begin() + static_cast<std::ptrdiff_t>(index), node);
        return false;
    }
    // Handles still open on the removed keys fail from now on.
    std::vector<TNode*> pending{node.get()};
    while (!pending.empty()) {
        TNode* doomed = pending.back();
        pending.pop_back();
        doomed->deleted = true;
        for (const auto& child : doomed->children)
            pending.push_back(child.get());
    }
    return true;
}

// ---- the file ----

std::string TPortableRegistry::Serialize() const {
    std::ostringstream out;
    out << "; vexel registry\n";
    struct TStep {
        const TNode* node;
        std::string path;
    };
    for (const auto& root : roots_) {
        std::vector<TStep> pending{{root.get(), root->name}};
        while (!pending.empty()) {
            TStep step = pending.back();
            pending.pop_back();
            // Every key is written, even an empty one: a created key stays.
            if (step.node->parent || !step.node->values.empty()) {
                out << "\n[" << step.path << "]\n";
                for (const TValue& value : step.node->values) {
                    out << (value.name.empty() ? "@" : QuoteText(value.name)) << '=';
                    if (value.type == rdString && IsPlainString(value.type, value.data)) {
                        out << QuoteText(value.data.substr(0, value.data.size() - 1));
                    } else {
                        out << "hex(" << std::hex << value.type << std::dec << "):";
                        for (size_t i = 0; i < value.data.size(); ++i) {
                            unsigned char c = static_cast<unsigned char>(value.data[i]);
                            out << (i ? "," : "") << HexDigitOf(c >> 4, true) << HexDigitOf(c, true);
                        }
                    }
                    out << '\n';
                }
            }
            for (auto it = step.node->children.rbegin(); it != step.node->children.rend(); ++it)
                pending.push_back({it->get(), step.path + "\\" + EscapeKeyName((*it)->name)});
        }
    }
    return out.str();
}

bool TPortableRegistry::Save() {
    if (broken_)
        return false;
    if (fileName_.empty())
        return true;
    namespace fs = std::filesystem;
    std::error_code error;
    fs::path target(fileName_);
    if (target.has_parent_path())
        fs::create_directories(target.parent_path(), error);
    fs::path temporary = target;
    temporary += ".new";
    {
        std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
        if (!file)
            return false;
        file << Serialize();
        file.flush();
        if (!file) {
            file.close();
            fs::remove(temporary, error);
            return false;
        }
    }
    fs::rename(temporary, target, error);
    if (error) {
        fs::remove(temporary, error);
        return false;
    }
    return true;
}

void TPortableRegistry::Load() {
    std::ifstream file(fileName_, std::ios::binary);
    if (!file) {
        // No file yet is a fresh registry; one we cannot open must not be replaced.
        std::error_code error;
        broken_ = std::filesystem::exists(fileName_, error) || error;
        return;
    }
    TNode* current = nullptr;
    std::string line;
    while (std::getline(file, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!ParseLine(line, current))
            broken_ = true;
    }
    if (file.bad())
        broken_ = true;
}

bool TPortableRegistry::ParseLine(const std::string& Line, TNode*& Current) {
    if (Line.empty() || Line[0] == ';')
        return true;
    if (Line[0] == '[') {
        if (Line.back() != ']')
            return false;
        std::string path = Line.substr(1, Line.size() - 2);
        std::vector<std::string> parts;
        size_t start = 0;
        for (;;) {
            size_t end = path.find('\\', start);
            parts.push_back(path.substr(start, end == std::string::npos ? std::string::npos : end - start));
            if (end == std::string::npos)
                break;
            start = end + 1;
        }
        auto root = std::find_if(std::begin(roots_), std::end(roots_),
                                 [&](const std::shared_ptr<TNode>& r) { return r->name == parts[0]; });
        if (root == std::end(roots_))
            return false;
        std::shared_ptr<TNode> node = *root;
        for (size_t i = 1; i < parts.size(); ++i) {
            std::string name;
            if (!UnescapeKeyName(parts[i], name) || name.empty() || name.size() > kMaxKeyName)
                return false;
            std::shared_ptr<TNode> child = node->Child(name);
            if (!child) {
                child = std::make_shared<TNode>();
                child->name = name;
                child->parent = node.get();
                node->children.push_back(child);
            }
            node = child;
        }
        Current = node.get();
        return true;
    }
    if (!Current)
        return false;
    size_t pos = 0;
    std::string name;
    if (Line[0] == '@')
        pos = 1;
    else if (!UnquoteText(Line, pos, name))
        return false;
    if (pos >= Line.size() || Line[pos] != '=')
        return false;
    ++pos;
    TValue value{name, rdString, std::string()};
    if (pos < Line.size() && Line[pos] == '"') {
        if (!UnquoteText(Line, pos, value.data) || pos != Line.size())
            return false;
        value.data += '\0';
    } else if (Line.compare(pos, 4, "hex(") == 0) {
        size_t close = Line.find("):", pos);
        if (close == std::string::npos)
            return false;
        std::string type = Line.substr(pos + 4, close - pos - 4);
        char* end = nullptr;
        value.type = static_cast<uint32_t>(std::strtoul(type.c_str(), &end, 16));
        if (type.empty() || *end)
            return false;
        for (pos = close + 2; pos < Line.size();) {
            const int byte = pos + 1 < Line.size() ? HexByteValue(Line[pos], Line[pos + 1]) : -1;
            if (byte < 0)
                return false;
            value.data += static_cast<char>(byte);
            pos += 2;
            if (pos < Line.size() && Line[pos++] != ',')
                return false;
        }
    } else {
        return false;
    }
    if (TValue* existing = Current->Value(name))
        *existing = value;
    else
        Current->values.push_back(value);
    return true;
}

}  // namespace vexel
