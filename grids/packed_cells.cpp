#include "grids/packed_cells.h"

#include <algorithm>
#include <cstring>
#include <unordered_map>

#include "grids/manager.h"
#include "grids/pro.h"
#include "platform/font.h"
#include "platform/exceptions.h"
#include "platform/stream.h"
#include "platform/string_list.h"

namespace qv {

namespace {

// Registered once, when the cell classes are; read on every load.
std::vector<TQvPackedForm>& Forms() {
    static std::vector<TQvPackedForm> forms;
    return forms;
}

int FindOrMakeForm(TClass Cls, uint16_t Bits, std::string_view Prefix);
std::unordered_map<std::string, int>& FormIndex();
std::string FormKey(TClass Cls, uint16_t Bits, std::string_view Prefix);

}  // namespace

uint8_t RegisterPackedForm(TClass Cls, bool (*IsCanonical)(std::string_view Body)) {
    const int known = PackedFormOf(Cls);
    if (known >= 0) return static_cast<uint8_t>(known);
    if (Forms().size() >= TQvPackedCells::GoneForm) throw EQvGridError("Too many packed cell forms");
    Forms().push_back({Cls, IsCanonical, 0, {}});
    FormIndex().emplace(FormKey(Cls, 0, {}), static_cast<int>(Forms().size() - 1));
    return static_cast<uint8_t>(Forms().size() - 1);
}

int PackedFormOf(TClass Cls, uint16_t Bits, std::string_view Prefix) {
    auto& forms = Forms();
    // Loads ask for the same few forms cell after cell.
    struct TSeen {
        TClass Cls = nullptr;
        int Form = -1;
    };
    thread_local TSeen seen[16];
    TSeen& slot = seen[((reinterpret_cast<uintptr_t>(Cls) >> 4) ^ Prefix.size() ^ Bits) & 15];
    if (slot.Cls == Cls && slot.Form >= 0 && static_cast<size_t>(slot.Form) < forms.size()) {
        const TQvPackedForm& f = forms[static_cast<size_t>(slot.Form)];
        if (f.Class == Cls && f.Bits == Bits && f.Prefix == Prefix) return slot.Form;
    }
    const int found = FindOrMakeForm(Cls, Bits, Prefix);
    if (found >= 0) slot = {Cls, found};
    return found;
}

namespace {

int32_t Int32At(std::string_view S, size_t At) {
    int32_t v;
    std::memcpy(&v, S.data() + At, sizeof v);
    return v;
}

// The length of a string as TStream writes it at the start of Rest
// (a length, then its bytes; none for a length of 0 or less), or 0 when
// Rest is too short.
size_t StringLength(std::string_view Rest) {
    if (Rest.size() < 4) return 0;
    const int32_t n = Int32At(Rest, 0);
    const size_t total = 4 + static_cast<size_t>(std::max(n, 0));
    return total <= Rest.size() ? total : 0;
}

// Splits the parts Bits names off the start of Rest, in the order a
// property record writes them; false when Rest is too short for them.
bool SplitParts(uint16_t Bits, std::string_view Rest, TQvFormParts& Parts, size_t& Length) {
    size_t at = 0;
    const auto take = [&](std::string_view& Part, size_t N) {
        if (N == 0 || N > Rest.size() - at) return false;
        Part = Rest.substr(at, N);
        at += N;
        return true;
    };
    if ((Bits & PackedLayoutBit) && !take(Parts.Layout, 4)) return false;
    if (Bits & PackedFontBit) {
        const size_t name = StringLength(Rest.substr(at));
        if (name == 0 || !take(Parts.Font, name + 16)) return false;
    }
    if ((Bits & PackedProtectBit) && !take(Parts.Protect, 1)) return false;
    if (Bits & PackedControlBit) {
        if (Rest.size() - at < 8) return false;
        size_t n = 8;
        if (Int32At(Rest, at + 4) < 0) {
            const size_t text = StringLength(Rest.substr(at + 8));
            if (text == 0) return false;
            n += text;
        }
        if (!take(Parts.Control, n)) return false;
    }
    Length = at;
    return true;
}

// Whether Control is the control part as TQvPro writes it for a cell of
// Cls (editor index, format index, the format when it has no index): not
// when it names an editor the class lacks, a format index it lacks or that
// is not the first of its text, or a text of its own that one of its
// formats matches.
bool CanonicalControl(TClass Cls, std::string_view Control) {
    const int32_t editor = Int32At(Control, 0), index = Int32At(Control, 4);
    if (editor < 0 || editor >= QvManager().EditorCount(Cls)) return false;
    const TStringList* formats = QvManager().Formats(Cls);
    const int count = formats ? formats->Count() : 0;
    if (index >= 0) {
        if (index >= count) return false;
        const std::string text = formats->Strings(index);
        for (int i = 0; i < index; ++i)
            if (formats->Strings(i) == text) return false;
        return Control.size() == 8;
    }
    if (index != -1 || Control.size() < 12 || Int32At(Control, 8) < 0) return false;
    const std::string_view text = Control.substr(12);
    for (int i = 0; i < count; ++i)
        if (formats->Strings(i) == text) return false;
    return true;
}

// Whether Font is what a property record writes for the font it reads.
bool CanonicalFont(std::string_view Font) {
    try {
        TMemoryStream in{std::string(Font)};
        TFont f;
        ReadFontRecord(in, f);
        TMemoryStream out;
        WriteFontRecord(out, f);
        return in.Remaining() == 0 && out.Bytes() == Font;
    } catch (const Exception&) {
        return false;
    }
}

// The forms by class, parts and prefix, so that a file of many different
// parts costs a lookup a cell, not a search of the table.
std::unordered_map<std::string, int>& FormIndex() {
    static std::unordered_map<std::string, int> index;
    return index;
}

std::string FormKey(TClass Cls, uint16_t Bits, std::string_view Prefix) {
    std::string key(sizeof Cls + sizeof Bits, '\0');
    std::memcpy(key.data(), &Cls, sizeof Cls);
    std::memcpy(key.data() + sizeof Cls, &Bits, sizeof Bits);
    key += Prefix;
    return key;
}

// Each part is checked once, when the first cell of its form is met.
int FindOrMakeForm(TClass Cls, uint16_t Bits, std::string_view Prefix) {
    auto& forms = Forms();
    std::string key = FormKey(Cls, Bits, Prefix);
    if (auto it = FormIndex().find(key); it != FormIndex().end()) return it->second;
    int plain = -1;
    for (size_t i = 0; i < forms.size(); ++i)
        if (forms[i].Class == Cls && forms[i].Bits == 0) plain = static_cast<int>(i);
    if (plain < 0 || forms.size() >= TQvPackedCells::GoneForm || (Bits & ~PackedFormBits)) return -1;
    TQvFormParts parts;
    size_t length = 0;
    if (!SplitParts(Bits, Prefix, parts, length) || length != Prefix.size()) return -1;
    if (!parts.Font.empty() && !CanonicalFont(parts.Font)) return -1;
    if (!parts.Protect.empty() && static_cast<uint8_t>(parts.Protect[0]) > 1) return -1;
    if (!parts.Control.empty() && !CanonicalControl(Cls, parts.Control)) return -1;
    forms.push_back({Cls, forms[static_cast<size_t>(plain)].IsCanonical, Bits, std::string(Prefix)});
    const int made = static_cast<int>(forms.size() - 1);
    FormIndex().emplace(std::move(key), made);
    return made;
}

}  // namespace

TQvFormParts SplitPackedForm(const TQvPackedForm& Form) {
    TQvFormParts parts;
    size_t length = 0;
    SplitParts(Form.Bits, Form.Prefix, parts, length);
    return parts;
}

int PackedFormWith(const TQvPackedForm& Form, const TQvFormParts& Parts) {
    uint16_t bits = 0;
    std::string prefix;
    const auto add = [&](std::string_view Part, uint16_t Bit) {
        if (Part.empty()) return;
        bits |= Bit;
        prefix += Part;
    };
    add(Parts.Layout, PackedLayoutBit);
    add(Parts.Font, PackedFontBit);
    add(Parts.Protect, PackedProtectBit);
    add(Parts.Control, PackedControlBit);
    return PackedFormOf(Form.Class, bits, prefix);
}

bool ParsePackedRecord(TClass Cls, std::string_view Record, int& Form, uint16_t& Bits, std::string_view& Body) {
    if (!Cls || Record.size() < 2) return false;
    std::memcpy(&Bits, Record.data(), sizeof Bits);
    if (!IsPackedPropertySet(Bits)) return false;
    const std::string_view rest = Record.substr(2);
    TQvFormParts parts;
    size_t prefix = 0;
    if (!SplitParts(Bits & PackedFormBits, rest, parts, prefix)) return false;
    Form = PackedFormOf(Cls, Bits & PackedFormBits, rest.substr(0, prefix));
    if (Form < 0) return false;
    Body = rest.substr(prefix);
    return Body.size() <= TQvPackedCells::MaxBody && PackedForm(static_cast<uint8_t>(Form)).IsCanonical(Body);
}

void WritePackedRecord(TStream& Stream, const TQvPackedCell& Cell) {
    Stream.WriteUInt16(Cell.PropertyBits());
    const std::string& prefix = PackedForm(Cell.Form).Prefix;
    if (!prefix.empty()) Stream.WriteBuffer(prefix.data(), static_cast<int64_t>(prefix.size()));
    const std::string_view body = Cell.Body();
    Stream.WriteBuffer(body.data(), static_cast<int64_t>(body.size()));
}

size_t PackedRecordSize(const TQvPackedCell& Cell) { return 2 + PackedForm(Cell.Form).Prefix.size() + Cell.Size; }

size_t CopyPackedRecord(const TQvPackedCell& Cell, char* Out, size_t Room) {
    const std::string& prefix = Forms()[Cell.Form].Prefix;
    const size_t n = 2 + prefix.size() + Cell.Size;
    if (n > Room) return 0;
    const uint16_t bits = Cell.PropertyBits();
    std::memcpy(Out, &bits, 2);
    std::memcpy(Out + 2, prefix.data(), prefix.size());
    std::memcpy(Out + 2 + prefix.size(), Cell.Body().data(), Cell.Size);
    return n;
}

const TQvPackedForm& PackedForm(uint8_t Form) { return Forms().at(Form); }

size_t TQvPackedCells::LowerBound(int32_t Col) const {
    return static_cast<size_t>(
        std::lower_bound(FCells.begin(), FCells.end(), Col, [](const TQvPackedCell& C, int32_t X) { return C.Col < X; }) -
        FCells.begin());
}

int TQvPackedCells::Find(int32_t Col) const {
    if (FCells.empty() || Col > FCells.back().Col) return -1;
    const size_t i = LowerBound(Col);
    return i < FCells.size() && FCells[i].Col == Col && Live(i) ? static_cast<int>(i) : -1;
}

void TQvPackedCells::Put(int32_t Col, uint8_t Form, bool ValueSet, std::string_view Body) {
    if (Body.size() > MaxBody) throw EQvGridError("A packed cell body of " + std::to_string(Body.size()) + " bytes");
    TQvPackedCell c;
    c.Col = Col;
    c.Form = Form;
    c.ValueSet = ValueSet ? 1 : 0;
    c.Size = static_cast<uint16_t>(Body.size());
    if (Body.size() <= sizeof(c.Short)) {
        std::memset(c.Short, 0, sizeof(c.Short));
        std::memcpy(c.Short, Body.data(), Body.size());
    } else {
        c.Long = new char[Body.size()];
        std::memcpy(c.Long, Body.data(), Body.size());
    }
    try {
        if (FCells.empty() || Col > FCells.back().Col) {
            FCells.push_back(c);
            return;
        }
        const size_t i = LowerBound(Col);
        if (i < FCells.size() && FCells[i].Col == Col) {
            if (!Live(i)) --FGone;
            Free(FCells[i]);
            FCells[i] = c;
        } else {
            FCells.insert(FCells.begin() + static_cast<std::ptrdiff_t>(i), c);
        }
    } catch (...) {
        Free(c);
        throw;
    }
}

void TQvPackedCells::Free(TQvPackedCell& C) {
    if (C.Form != GoneForm && C.Size > sizeof(C.Short)) delete[] C.Long;
    C.Size = 0;
    C.Form = GoneForm;
}

void TQvPackedCells::Erase(size_t First, size_t Last) {
    for (size_t i = First; i < Last && i < FCells.size(); ++i) {
        if (!Live(i)) continue;
        Free(FCells[i]);
        ++FGone;
    }
    Tidy();
}

void TQvPackedCells::Tidy() {
    while (!FCells.empty() && !Live(FCells.size() - 1)) {
        FCells.pop_back();
        --FGone;
    }
    if (FGone > 0 && FGone * 2 >= FCells.size()) {
        FCells.erase(
            std::remove_if(FCells.begin(), FCells.end(), [](const TQvPackedCell& C) { return C.Form == GoneForm; }),
            FCells.end());
        FGone = 0;
    }
    // A row whose packed cells all went gives their room back.
    if (FCells.empty()) std::vector<TQvPackedCell>().swap(FCells);
}

void TQvPackedCells::InsertSpace(int32_t At, int32_t N) {
    if (N <= 0 || At < 0) return;
    for (size_t i = LowerBound(At); i < FCells.size(); ++i) FCells[i].Col += N;
}

void TQvPackedCells::DeleteRange(int32_t At, int32_t N) {
    if (N <= 0 || At < 0) return;
    const int64_t end = int64_t(At) + N;  // first column that stays
    const size_t first = LowerBound(At);
    size_t last = first;
    while (last < FCells.size() && FCells[last].Col < end) ++last;
    for (size_t i = first; i < last; ++i)
        if (!Live(i)) --FGone;
        else Free(FCells[i]);
    FCells.erase(FCells.begin() + static_cast<std::ptrdiff_t>(first), FCells.begin() + static_cast<std::ptrdiff_t>(last));
    for (size_t i = first; i < FCells.size(); ++i) FCells[i].Col -= N;
    Tidy();
}

void TQvPackedCells::Clear() {
    for (auto& c : FCells) Free(c);
    std::vector<TQvPackedCell>().swap(FCells);
    FGone = 0;
}


}  // namespace qv
