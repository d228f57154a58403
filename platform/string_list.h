// Lists of text lines, each line carrying an optional object pointer.
//
// TStrings is the abstract list that editors and pickers can implement over
// their own storage; it provides everything built from the primitives
// (Add, IndexOf, Text, CommaText, Assign, streams, files, OnChange).
// TStringList stores the lines itself and adds sorting and duplicate rules.
//
// Text form: every line is followed by carriage return + line feed, the
// last one included; reading text accepts CR, LF or CR LF as a line end,
// and a final line end does not start an extra empty line.
//
// Index errors raise EListError "List index out of bounds (<i>)".
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/compact_string.h"
#include "platform/events.h"
#include "platform/persistent.h"

namespace qv {

class TStream;

class TStrings : public TPersistent {
    QV_CLASS(TStrings)
public:
    // --- primitives of a concrete list ---
    virtual int Count() const = 0;
    virtual std::string Strings(int Index) const = 0;
    virtual void Put(int Index, const std::string& S) = 0;
    virtual TObject* Objects(int Index) const = 0;
    virtual void PutObject(int Index, TObject* AObject) = 0;
    // Index may equal Count (appends).
    virtual void InsertObject(int Index, const std::string& S, TObject* AObject) = 0;
    virtual void Delete(int Index) = 0;
    virtual void Clear() = 0;

    // --- built on the primitives ---
    // Returns the index the line went to.
    virtual int Add(const std::string& S) { return AddObject(S, nullptr); }
    virtual int AddObject(const std::string& S, TObject* AObject);
    void Insert(int Index, const std::string& S) { InsertObject(Index, S, nullptr); }
    void AddStrings(const TStrings& Source);
    // First line equal to S (ignoring case unless CaseSensitive), or -1.
    virtual int IndexOf(const std::string& S) const;
    int IndexOfObject(const TObject* AObject) const;

    virtual std::string Text() const;
    void SetText(const std::string& Value);
    // Lines separated by commas; a line that is empty or holds a space, a
    // control character, a comma or a double quote is written in double
    // quotes with inner quotes doubled. Reading also accepts spaces as
    // separators outside quotes.
    std::string CommaText() const;
    void SetCommaText(const std::string& Value);

    // Same count and the same lines in the same order (case-sensitive);
    // objects are not compared.
    bool Equals(const TStrings& Other) const;

    // Assigning another TStrings copies its lines and their object
    // pointers (the objects themselves are shared, not copied).
    void Assign(const TPersistent* Source) override;

    // Text files and streams hold the Text form. Loading reads from the
    // position to the end and drops a leading UTF-8 byte order mark.
    void LoadFromStream(TStream& Stream);
    void SaveToStream(TStream& Stream) const;
    void LoadFromFile(const std::string& FileName);
    void SaveToFile(const std::string& FileName) const;

    // Nested; OnChange is held back until the outermost EndUpdate, which
    // fires it once when anything changed inside.
    void BeginUpdate();
    void EndUpdate();
    int UpdateCount() const { return FUpdateCount; }

    bool CaseSensitive() const { return FCaseSensitive; }
    virtual void SetCaseSensitive(bool Value) { FCaseSensitive = Value; }

    TNotifyEvent OnChange;

protected:
    // A hint before N more lines are added, so that a list of many lines
    // can take its room at once; the base ignores it.
    virtual void Reserve(size_t /*N*/) {}
    // Adds the lines of a text (SetText after clearing); the base adds them
    // one by one.
    virtual void AddText(const std::string& Value);
    // Concrete lists call Changed after every modification.
    void Changed();
    [[noreturn]] static void IndexError(int Index);
    // <0, 0, >0 under the list's case rule.
    int CompareStrings(std::string_view A, std::string_view B) const;

private:
    int FUpdateCount = 0;
    bool FChangedWhileUpdating = false;
    bool FCaseSensitive = false;
};

enum TDuplicates { dupIgnore, dupAccept, dupError };

class TStringList : public TStrings {
    QV_CLASS(TStringList)
public:
    TStringList() = default;
    // An owning list deletes the objects of lines it deletes or clears and
    // all of them when destroyed; overwriting an object with PutObject
    // hands the old one back to the caller without deleting it.
    explicit TStringList(bool AOwnsObjects) : FOwnsObjects(AOwnsObjects) {}
    ~TStringList() override;

    int Count() const override { return static_cast<int>(FLines.size() + FPendingCount); }
    std::string Text() const override;
    std::string Strings(int Index) const override;
    // Raises EListError on a sorted list.
    void Put(int Index, const std::string& S) override;
    TObject* Objects(int Index) const override;
    void PutObject(int Index, TObject* AObject) override;
    // Raises EListError on a sorted list.
    void InsertObject(int Index, const std::string& S, TObject* AObject) override;
    void Delete(int Index) override;
    void Clear() override;

    // In a sorted list the line goes to its place (after equal lines);
    // a duplicate is then ignored (returns the existing index), accepted,
    // or refused with EListError, as Duplicates says.
    int AddObject(const std::string& S, TObject* AObject) override;
    int IndexOf(const std::string& S) const override;
    // Binary search of a sorted list: true when S is present, Index is then
    // the first equal line; otherwise Index is where S would be inserted.
    // On an unsorted list it searches linearly.
    bool Find(const std::string& S, int& Index) const;

    // Stable, ignoring case unless CaseSensitive; objects move with lines.
    void Sort();
    bool Sorted() const { return FSorted; }
    void SetSorted(bool Value);
    TDuplicates Duplicates() const { return FDuplicates; }
    void SetDuplicates(TDuplicates Value) { FDuplicates = Value; }
    void SetCaseSensitive(bool Value) override;
    bool OwnsObjects() const { return FOwnsObjects; }
    void SetOwnsObjects(bool Value) { FOwnsObjects = Value; }

    // Atomic: the new content is built first, so a refused duplicate or an
    // unsuitable source leaves the list as it was. An owning list refuses
    // lines that carry objects (they would be deleted twice).
    void Assign(const TPersistent* Source) override;

protected:
    void Reserve(size_t N) override;
    void AddText(const std::string& Value) override;

private:
    // Lines and objects side by side. A line costs eight bytes plus its
    // characters (an empty line none), and the objects take room only once
    // a line carries one, so a text of many short lines stays within a
    // small multiple of its size.
    void CheckIndex(int Index) const;
    TObject* ObjectAt(size_t I) const { return FObjects.empty() ? nullptr : FObjects[I]; }
    void InsertAt(size_t I, const std::string& S, TObject* AObject);
    void FreeObjects(std::vector<TObject*>& Objects) const;
    // Applies the sorted/duplicates rule; returns the index for S, or -1
    // when the line is to be ignored (Found then holds the existing one).
    int SortedInsertIndex(const std::string& S, int& Found) const;
    int CompareAt(size_t I, const std::string& S) const;

    // A text given whole to an empty list is kept whole, with its line count,
    // and split into lines only when a line is asked for: a list loaded from
    // a file of millions of lines costs the text and nothing per line until
    // then. Every operation on lines splits it first.
    void Split() const;

    mutable std::vector<TCompactString> FLines;
    mutable std::vector<TObject*> FObjects;  // empty, or one per line
    mutable std::string FPendingText;
    mutable size_t FPendingCount = 0;
    bool FSorted = false;
    TDuplicates FDuplicates = dupIgnore;
    bool FOwnsObjects = false;
};

}  // namespace qv
