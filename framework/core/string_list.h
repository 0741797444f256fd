// Lists of byte strings: the abstract TStrings (what a memo's lines or a list
// box's items offer) and TStringList, the plain in-memory list.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "framework/core/classes.h"

namespace vexel {

// A list of strings, each with an optional object pointer (not owned).
// Subclasses provide storage through the pure virtual primitives; everything
// else is built on them. Index errors raise EStringListError
// "List index out of bounds (<index>)".
class TStrings : public TPersistent {
public:
    virtual int Count() const = 0;
    virtual std::string Strings(int Index) const = 0;
    virtual void SetStrings(int Index, const std::string& S);
    virtual TObject* Objects(int Index) const;
    virtual void SetObjects(int Index, TObject* AObject);
    virtual void Insert(int Index, const std::string& S) = 0;
    virtual void Delete(int Index) = 0;
    virtual void Clear() = 0;

    // Appends S and returns its index.
    virtual int Add(const std::string& S);
    int AddObject(const std::string& S, TObject* AObject);
    void InsertObject(int Index, const std::string& S, TObject* AObject);
    void AddStrings(const TStrings* Strings);
    // The first index of S, -1 when absent. Compares without regard to ASCII
    // case unless CaseSensitive is set.
    virtual int IndexOf(const std::string& S) const;
    int IndexOfObject(const TObject* AObject) const;

    // Every line followed by CR LF.
    std::string Text() const;
    // Replaces the lines: the text is split at CR LF, CR or LF; a break at the
    // very end does not add an empty line.
    virtual void SetText(const std::string& Value);

    // The file's bytes as Text (EFOpenError "Cannot open file ..." when it
    // cannot be read); SaveToFile writes Text (EFCreateError when it cannot
    // be written).
    void LoadFromFile(const std::string& FileName);
    void SaveToFile(const std::string& FileName) const;

    bool CaseSensitive() const { return caseSensitive_; }
    void SetCaseSensitive(bool Value) { caseSensitive_ = Value; }

    // Copies the lines and objects of another TStrings.
    void Assign(TPersistent* Source) override;

    // Batches changes: subclasses hear SetUpdateState(true) on the first
    // BeginUpdate and SetUpdateState(false) on the last EndUpdate.
    void BeginUpdate();
    void EndUpdate();

protected:
    virtual void SetUpdateState(bool Updating) { (void)Updating; }
    int UpdateCount() const { return updateCount_; }
    [[noreturn]] static void IndexError(int Index);

private:
    int updateCount_ = 0;
    bool caseSensitive_ = false;
};

// The in-memory string list. OnChange fires after every change, once per
// BeginUpdate/EndUpdate batch.
class TStringList : public TStrings {
public:
    TStringList() = default;

    int Count() const override { return static_cast<int>(items_.size()); }
    std::string Strings(int Index) const override;
    void SetStrings(int Index, const std::string& S) override;
    TObject* Objects(int Index) const override;
    void SetObjects(int Index, TObject* AObject) override;
    void Insert(int Index, const std::string& S) override;
    void Delete(int Index) override;
    void Clear() override;
    void Exchange(int Index1, int Index2);

    TNotifyEvent OnChange;

protected:
    void SetUpdateState(bool Updating) override;
    virtual void Changed();

private:
    void CheckIndex(int Index) const;
    std::vector<std::pair<std::string, TObject*>> items_;
    bool changedWhileUpdating_ = false;
};

}  // namespace vexel
