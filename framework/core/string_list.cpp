#include "framework/core/string_list.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "framework/core/sysutils.h"
#include "platform/ascii.h"

namespace vexel {

namespace {

bool SameString(const std::string& a, const std::string& b, bool caseSensitive) {
    if (caseSensitive)
        return a == b;
    return EqualsIgnoringAsciiCase(a, b);
}

}  // namespace

// ---- TStrings ----

// File names are UTF-8; through a path the streams open them with the
// system's wide calls on Windows, so a name in any script opens.
void TStrings::LoadFromFile(const std::string& FileName) {
    std::ifstream file(std::filesystem::u8path(FileName), std::ios::binary);
    if (!file)
        throw EFOpenError("Cannot open file \"" + FileName + "\". " + std::strerror(errno));
    std::ostringstream content;
    content << file.rdbuf();
    if (file.bad())
        throw EFOpenError("Cannot open file \"" + FileName + "\". " + std::strerror(errno));
    SetText(content.str());
}

void TStrings::SaveToFile(const std::string& FileName) const {
    std::ofstream file(std::filesystem::u8path(FileName), std::ios::binary | std::ios::trunc);
    if (!file)
        throw EFCreateError("Cannot create file \"" + FileName + "\". " + std::strerror(errno));
    std::string text = Text();
    file.write(text.data(), static_cast<std::streamsize>(text.size()));
    file.close();
    if (!file)
        throw EFCreateError("Cannot create file \"" + FileName + "\". " + std::strerror(errno));
}

void TStrings::IndexError(int Index) {
    throw EStringListError("List index out of bounds (" + std::to_string(Index) + ")");
}

void TStrings::SetStrings(int Index, const std::string& S) {
    TObject* object = Objects(Index);
    Delete(Index);
    InsertObject(Index, S, object);
}

TObject* TStrings::Objects(int Index) const {
    if (Index < 0 || Index >= Count())
        IndexError(Index);
    return nullptr;
}

void TStrings::SetObjects(int Index, TObject* AObject) {
    (void)AObject;
    if (Index < 0 || Index >= Count())
        IndexError(Index);
}

int TStrings::Add(const std::string& S) {
    int index = Count();
    Insert(index, S);
    return index;
}

int TStrings::AddObject(const std::string& S, TObject* AObject) {
    int index = Add(S);
    SetObjects(index, AObject);
    return index;
}

void TStrings::InsertObject(int Index, const std::string& S, TObject* AObject) {
    Insert(Index, S);
    SetObjects(Index, AObject);
}

void TStrings::AddStrings(const TStrings* Strings) {
    BeginUpdate();
    for (int i = 0; i < Strings->Count(); ++i)
        AddObject(Strings->Strings(i), Strings->Objects(i));
    EndUpdate();
}

int TStrings::IndexOf(const std::string& S) const {
    for (int i = 0; i < Count(); ++i)
        if (SameString(Strings(i), S, caseSensitive_))
            return i;
    return -1;
}

int TStrings::IndexOfObject(const TObject* AObject) const {
    for (int i = 0; i < Count(); ++i)
        if (Objects(i) == AObject)
            return i;
    return -1;
}

std::string TStrings::Text() const {
    std::string text;
    for (int i = 0; i < Count(); ++i) {
        text += Strings(i);
        text += "\r\n";
    }
    return text;
}

void TStrings::SetText(const std::string& Value) {
    BeginUpdate();
    Clear();
    size_t pos = 0;
    while (pos < Value.size()) {
        size_t end = Value.find_first_of("\r\n", pos);
        if (end == std::string::npos)
            end = Value.size();
        Add(Value.substr(pos, end - pos));
        pos = end;
        if (pos < Value.size() && Value[pos] == '\r')
            ++pos;
        if (pos < Value.size() && Value[pos] == '\n')
            ++pos;
    }
    EndUpdate();
}

void TStrings::Assign(TPersistent* Source) {
    auto* source = dynamic_cast<TStrings*>(Source);
    if (!source) {
        TPersistent::Assign(Source);
        return;
    }
    if (source == this)
        return;
    BeginUpdate();
    Clear();
    AddStrings(source);
    EndUpdate();
}

void TStrings::BeginUpdate() {
    if (updateCount_++ == 0)
        SetUpdateState(true);
}

void TStrings::EndUpdate() {
    if (updateCount_ > 0 && --updateCount_ == 0)
        SetUpdateState(false);
}

// ---- TStringList ----

void TStringList::CheckIndex(int Index) const {
    if (Index < 0 || Index >= Count())
        IndexError(Index);
}

std::string TStringList::Strings(int Index) const {
    CheckIndex(Index);
    return items_[static_cast<size_t>(Index)].first;
}

void TStringList::SetStrings(int Index, const std::string& S) {
    CheckIndex(Index);
    items_[static_cast<size_t>(Index)].first = S;
    Changed();
}

TObject* TStringList::Objects(int Index) const {
    CheckIndex(Index);
    return items_[static_cast<size_t>(Index)].second;
}

void TStringList::SetObjects(int Index, TObject* AObject) {
    CheckIndex(Index);
    items_[static_cast<size_t>(Index)].second = AObject;
    Changed();
}

void TStringList::Insert(int Index, const std::string& S) {
    if (Index < 0 || Index > Count())
        IndexError(Index);
    items_.insert(items_.begin() + Index, {S, nullptr});
    Changed();
}

void TStringList::Delete(int Index) {
    CheckIndex(Index);
    items_.erase(items_.begin() + Index);
    Changed();
}

void TStringList::Clear() {
    if (items_.empty())
        return;
    items_.clear();
    Changed();
}

void TStringList::Exchange(int Index1, int Index2) {
    CheckIndex(Index1);
    CheckIndex(Index2);
    std::swap(items_[static_cast<size_t>(Index1)], items_[static_cast<size_t>(Index2)]);
    Changed();
}

void TStringList::SetUpdateState(bool Updating) {
    if (Updating) {
        changedWhileUpdating_ = false;
    } else if (changedWhileUpdating_) {
        changedWhileUpdating_ = false;
        Changed();
    }
}

void TStringList::Changed() {
    if (UpdateCount() > 0) {
        changedWhileUpdating_ = true;
        return;
    }
    if (OnChange)
        OnChange(this);
}

}  // namespace vexel
