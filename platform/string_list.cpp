#include "platform/string_list.h"

#include <algorithm>
#include <cctype>

#include "platform/exceptions.h"
#include "platform/stream.h"

namespace qv {

QV_ABSTRACT_CLASS_IMPL(TStrings, TPersistent)
QV_CLASS_IMPL(TStringList, TStrings)

// ---------------------------------------------------------------- TStrings

void TStrings::IndexError(int Index) {
    throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
}

int TStrings::CompareStrings(std::string_view A, std::string_view B) const {
    if (FCaseSensitive) return A.compare(B) < 0 ? -1 : (A == B ? 0 : 1);
    const size_t n = std::min(A.size(), B.size());
    for (size_t i = 0; i < n; ++i) {
        const int a = std::tolower(static_cast<unsigned char>(A[i]));
        const int b = std::tolower(static_cast<unsigned char>(B[i]));
        if (a != b) return a < b ? -1 : 1;
    }
    return A.size() == B.size() ? 0 : (A.size() < B.size() ? -1 : 1);
}

void TStrings::Changed() {
    if (FUpdateCount > 0) {
        FChangedWhileUpdating = true;
        return;
    }
    if (OnChange) OnChange(this);
}

void TStrings::BeginUpdate() { ++FUpdateCount; }

void TStrings::EndUpdate() {
    if (FUpdateCount == 0) return;  // unbalanced: nothing to end
    if (--FUpdateCount == 0 && FChangedWhileUpdating) {
        FChangedWhileUpdating = false;
        Changed();
    }
}

int TStrings::AddObject(const std::string& S, TObject* AObject) {
    const int index = Count();
    InsertObject(index, S, AObject);
    return index;
}

void TStrings::AddStrings(const TStrings& Source) {
    BeginUpdate();
    try {
        const int n = Source.Count();  // fixed up front: Source may be this list
        for (int i = 0; i < n; ++i) AddObject(Source.Strings(i), Source.Objects(i));
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

int TStrings::IndexOf(const std::string& S) const {
    for (int i = 0, n = Count(); i < n; ++i)
        if (CompareStrings(Strings(i), S) == 0) return i;
    return -1;
}

int TStrings::IndexOfObject(const TObject* AObject) const {
    for (int i = 0, n = Count(); i < n; ++i)
        if (Objects(i) == AObject) return i;
    return -1;
}

std::string TStrings::Text() const {
    std::string result;
    for (int i = 0, n = Count(); i < n; ++i) {
        result += Strings(i);
        result += "\r\n";
    }
    return result;
}

namespace {

// Calls Fn(line) for every line of Value, as a view into Value; returns the
// number of lines.
template <typename F>
size_t ForEachLine(const std::string& Value, F&& Fn) {
    size_t count = 0, start = 0, i = 0;
    while (i < Value.size()) {
        const char c = Value[i];
        if (c == '\r' || c == '\n') {
            Fn(std::string_view(Value).substr(start, i - start));
            ++count;
            ++i;
            if (c == '\r' && i < Value.size() && Value[i] == '\n') ++i;
            start = i;
        } else {
            ++i;
        }
    }
    if (start < Value.size()) {
        Fn(std::string_view(Value).substr(start));
        ++count;
    }
    return count;
}

bool NeedsQuotes(const std::string& S) {
    if (S.empty()) return true;
    return std::any_of(S.begin(), S.end(), [](char c) {
        return static_cast<unsigned char>(c) <= ' ' || c == ',' || c == '"';
    });
}

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

}  // namespace

void TStrings::SetText(const std::string& Value) {
    // Lines go in one by one, with no list of copies between: a text of
    // millions of empty lines costs only the lines themselves.
    BeginUpdate();
    try {
        Clear();
        AddText(Value);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TStrings::AddText(const std::string& Value) {
    Reserve(ForEachLine(Value, [](std::string_view) {}));
    ForEachLine(Value, [this](std::string_view Line) { Add(std::string(Line)); });
}

std::string TStrings::CommaText() const {
    std::string result;
    for (int i = 0, n = Count(); i < n; ++i) {
        if (i > 0) result += ',';
        const std::string s = Strings(i);
        if (!NeedsQuotes(s)) {
            result += s;
            continue;
        }
        result += '"';
        for (char c : s) {
            if (c == '"') result += '"';
            result += c;
        }
        result += '"';
    }
    return result;
}

void TStrings::SetCommaText(const std::string& Value) {
    std::vector<std::string> items;
    size_t i = 0;
    const size_t n = Value.size();
    while (i < n && IsBlank(Value[i])) ++i;
    while (i < n) {
        std::string item;
        if (Value[i] == '"') {
            ++i;
            while (i < n) {
                if (Value[i] == '"') {
                    if (i + 1 < n && Value[i + 1] == '"') {
                        item += '"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                item += Value[i++];
            }
        } else {
            while (i < n && Value[i] != ',' && !IsBlank(Value[i])) item += Value[i++];
        }
        items.push_back(std::move(item));
        while (i < n && IsBlank(Value[i])) ++i;
        if (i < n && Value[i] == ',') {
            ++i;
            while (i < n && IsBlank(Value[i])) ++i;
            if (i == n) items.emplace_back();  // "a," ends with an empty item
        }
    }
    BeginUpdate();
    try {
        Clear();
        for (const std::string& item : items) Add(item);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

bool TStrings::Equals(const TStrings& Other) const {
    const int n = Count();
    if (n != Other.Count()) return false;
    for (int i = 0; i < n; ++i)
        if (Strings(i) != Other.Strings(i)) return false;
    return true;
}

void TStrings::Assign(const TPersistent* Source) {
    const auto* src = dynamic_cast<const TStrings*>(Source);
    if (!src) {
        TPersistent::Assign(Source);
        return;
    }
    if (src == this) return;
    BeginUpdate();
    try {
        Clear();
        AddStrings(*src);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TStrings::LoadFromStream(TStream& Stream) {
    std::string bytes = Stream.ReadBytes(Stream.Remaining());
    if (bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) bytes.erase(0, 3);
    SetText(bytes);
}

void TStrings::SaveToStream(TStream& Stream) const { Stream.WriteBytes(Text()); }

void TStrings::LoadFromFile(const std::string& FileName) {
    TMemoryStream stream(ReadWholeFile(FileName));
    LoadFromStream(stream);
}

void TStrings::SaveToFile(const std::string& FileName) const { WriteFileSafely(FileName, Text()); }

// ------------------------------------------------------------- TStringList

TStringList::~TStringList() { FreeObjects(FObjects); }

void TStringList::Reserve(size_t N) {
    Split();
    FLines.reserve(FLines.size() + N);
    if (!FObjects.empty()) FObjects.reserve(FObjects.size() + N);
}

void TStringList::AddText(const std::string& Value) {
    if (FSorted) {
        TStrings::AddText(Value);
        return;
    }
    const size_t n = ForEachLine(Value, [](std::string_view) {});
    if (n == 0) return;
    if (FLines.empty() && FPendingCount == 0 && FObjects.empty()) {
        FPendingText = Value;
        FPendingCount = n;
    } else {
        Split();
        FLines.reserve(FLines.size() + n);
        if (!FObjects.empty()) FObjects.resize(FObjects.size() + n, nullptr);
        ForEachLine(Value, [this](std::string_view Line) { FLines.emplace_back(Line); });
    }
    Changed();
}

void TStringList::Split() const {
    if (FPendingCount == 0) return;
    std::string text;
    text.swap(FPendingText);
    FPendingCount = 0;
    FLines.reserve(FLines.size() + ForEachLine(text, [](std::string_view) {}));
    ForEachLine(text, [this](std::string_view Line) { FLines.emplace_back(Line); });
}

std::string TStringList::Text() const {
    if (FPendingCount == 0) return TStrings::Text();
    std::string result;
    result.reserve(FPendingText.size() + FPendingCount + 2);
    ForEachLine(FPendingText, [&](std::string_view Line) {
        result += Line;
        result += "\r\n";
    });
    return result;
}

void TStringList::FreeObjects(std::vector<TObject*>& Objects) const {
    if (!FOwnsObjects) return;
    for (TObject*& object : Objects) {
        delete object;
        object = nullptr;
    }
}

void TStringList::CheckIndex(int Index) const {
    if (Index < 0 || Index >= Count()) IndexError(Index);
}

int TStringList::CompareAt(size_t I, const std::string& S) const {
    return CompareStrings(FLines[I].view(), S);
}

void TStringList::InsertAt(size_t I, const std::string& S, TObject* AObject) {
    Split();
    const bool withObjects = AObject || !FObjects.empty();
    if (AObject && FObjects.empty()) FObjects.assign(FLines.size(), nullptr);
    FLines.insert(FLines.begin() + static_cast<std::ptrdiff_t>(I), TCompactString(S));
    if (withObjects) FObjects.insert(FObjects.begin() + static_cast<std::ptrdiff_t>(I), AObject);
}

std::string TStringList::Strings(int Index) const {
    Split();
    CheckIndex(Index);
    return FLines[static_cast<size_t>(Index)].str();
}

void TStringList::Put(int Index, const std::string& S) {
    Split();
    if (FSorted) throw EListError("Operation not allowed on sorted list");
    CheckIndex(Index);
    FLines[static_cast<size_t>(Index)] = TCompactString(S);
    Changed();
}

TObject* TStringList::Objects(int Index) const {
    Split();
    CheckIndex(Index);
    return ObjectAt(static_cast<size_t>(Index));
}

void TStringList::PutObject(int Index, TObject* AObject) {
    Split();
    CheckIndex(Index);
    if (AObject && FObjects.empty()) FObjects.assign(FLines.size(), nullptr);
    if (!FObjects.empty()) FObjects[static_cast<size_t>(Index)] = AObject;
    Changed();
}

void TStringList::InsertObject(int Index, const std::string& S, TObject* AObject) {
    if (FSorted) throw EListError("Operation not allowed on sorted list");
    if (Index < 0 || Index > Count()) IndexError(Index);
    InsertAt(static_cast<size_t>(Index), S, AObject);
    Changed();
}

void TStringList::Delete(int Index) {
    Split();
    CheckIndex(Index);
    TObject* object = ObjectAt(static_cast<size_t>(Index));
    FLines.erase(FLines.begin() + Index);
    if (!FObjects.empty()) FObjects.erase(FObjects.begin() + Index);
    if (FOwnsObjects) delete object;
    Changed();
}

void TStringList::Clear() {
    FPendingText.clear();
    const bool had = FPendingCount > 0;
    FPendingCount = 0;
    if (FLines.empty()) {
        if (had) Changed();
        return;
    }
    std::vector<TCompactString> lines;
    std::vector<TObject*> objects;
    lines.swap(FLines);
    objects.swap(FObjects);
    FreeObjects(objects);
    Changed();
}

int TStringList::SortedInsertIndex(const std::string& S, int& Found) const {
    Found = -1;
    int index = 0;
    if (Find(S, index)) {
        switch (FDuplicates) {
            case dupIgnore:
                Found = index;
                return -1;
            case dupError:
                throw EListError("String list does not allow duplicates");
            case dupAccept:
                break;
        }
        // Keep equal lines in insertion order: go past the last equal one.
        while (index < Count() && CompareAt(static_cast<size_t>(index), S) == 0) ++index;
    }
    return index;
}

int TStringList::AddObject(const std::string& S, TObject* AObject) {
    Split();
    if (!FSorted) {
        InsertAt(FLines.size(), S, AObject);
        Changed();
        return Count() - 1;
    }
    int found = -1;
    const int index = SortedInsertIndex(S, found);
    if (index < 0) return found;
    InsertAt(static_cast<size_t>(index), S, AObject);
    Changed();
    return index;
}

bool TStringList::Find(const std::string& S, int& Index) const {
    Split();
    if (!FSorted) {
        Index = TStrings::IndexOf(S);
        return Index >= 0;
    }
    // Lower bound: the first line not less than S.
    int lo = 0, hi = Count();
    while (lo < hi) {
        const int mid = lo + (hi - lo) / 2;
        if (CompareAt(static_cast<size_t>(mid), S) < 0)
            lo = mid + 1;
        else
            hi = mid;
    }
    Index = lo;
    return lo < Count() && CompareAt(static_cast<size_t>(lo), S) == 0;
}

int TStringList::IndexOf(const std::string& S) const {
    int index = -1;
    return Find(S, index) ? index : -1;
}

void TStringList::Sort() {
    Split();
    // Sorts an order of indexes, so that objects move with their lines.
    std::vector<size_t> order(FLines.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(), [this](size_t A, size_t B) {
        return CompareStrings(FLines[A].view(), FLines[B].view()) < 0;
    });
    std::vector<TCompactString> lines(FLines.size());
    std::vector<TObject*> objects(FObjects.size());
    for (size_t i = 0; i < order.size(); ++i) {
        lines[i] = std::move(FLines[order[i]]);
        if (!objects.empty()) objects[i] = FObjects[order[i]];
    }
    FLines.swap(lines);
    FObjects.swap(objects);
    Changed();
}

void TStringList::SetSorted(bool Value) {
    if (Value == FSorted) return;
    if (Value) Sort();
    FSorted = Value;
}

void TStringList::SetCaseSensitive(bool Value) {
    if (Value == CaseSensitive()) return;
    TStrings::SetCaseSensitive(Value);
    if (FSorted) Sort();  // the order depends on the case rule
}

void TStringList::Assign(const TPersistent* Source) {
    const auto* src = dynamic_cast<const TStrings*>(Source);
    if (!src) {
        TStrings::Assign(Source);
        return;
    }
    if (src == this) return;
    const int n = src->Count();
    if (FOwnsObjects)
        for (int i = 0; i < n; ++i)
            if (src->Objects(i))
                throw EListError("Cannot assign line " + std::to_string(i) + " (\"" +
                                 src->Strings(i) +
                                 "\") with an object to a list that owns its objects");
    // Build the new content in a scratch list with the same rules, so a
    // refused duplicate changes nothing here.
    TStringList scratch;
    scratch.SetCaseSensitive(CaseSensitive());
    scratch.SetDuplicates(FDuplicates);
    scratch.SetSorted(FSorted);
    scratch.Reserve(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) scratch.AddObject(src->Strings(i), src->Objects(i));
    std::vector<TCompactString> oldLines;
    std::vector<TObject*> oldObjects;
    oldLines.swap(FLines);
    oldObjects.swap(FObjects);
    FPendingText.clear();
    FPendingCount = 0;
    scratch.Split();
    FLines.swap(scratch.FLines);
    FObjects.swap(scratch.FObjects);
    FreeObjects(oldObjects);
    Changed();
}

}  // namespace qv
