#include "grids/packed_cells.h"

#include <algorithm>
#include <cstring>

#include "grids/manager.h"
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

int FindOrMakeForm(TClass Cls, std::string_view Control);

}  // namespace

uint8_t RegisterPackedForm(TClass Cls, bool (*IsCanonical)(std::string_view Body)) {
    const int known = PackedFormOf(Cls);
    if (known >= 0) return static_cast<uint8_t>(known);
    if (Forms().size() >= TQvPackedCells::GoneForm) throw EQvGridError("Too many packed cell forms");
    Forms().push_back({Cls, IsCanonical, {}});
    return static_cast<uint8_t>(Forms().size() - 1);
}

int PackedFormOf(TClass Cls, std::string_view Control) {
    auto& forms = Forms();
    // Loads ask for the same few forms cell after cell.
    struct TSeen {
        TClass Cls = nullptr;
        int Form = -1;
    };
    thread_local TSeen seen[16];
    TSeen& slot = seen[((reinterpret_cast<uintptr_t>(Cls) >> 4) ^ Control.size()) & 15];
    if (slot.Cls == Cls && slot.Form >= 0 && static_cast<size_t>(slot.Form) < forms.size() &&
        forms[static_cast<size_t>(slot.Form)].Class == Cls && forms[static_cast<size_t>(slot.Form)].Control == Control)
        return slot.Form;
    const int found = FindOrMakeForm(Cls, Control);
    if (found >= 0) slot = {Cls, found};
    return found;
}

namespace {

int FindOrMakeForm(TClass Cls, std::string_view Control) {
    auto& forms = Forms();
    int plain = -1;
    for (size_t i = 0; i < forms.size(); ++i)
        if (forms[i].Class == Cls) {
            if (forms[i].Control == Control) return static_cast<int>(i);
            if (forms[i].Control.empty()) plain = static_cast<int>(i);
        }
    if (plain < 0 || forms.size() >= TQvPackedCells::GoneForm) return -1;
    forms.push_back({Cls, forms[static_cast<size_t>(plain)].IsCanonical, std::string(Control)});
    return static_cast<int>(forms.size() - 1);
}

int32_t Int32At(std::string_view S, size_t At) {
    int32_t v;
    std::memcpy(&v, S.data() + At, sizeof v);
    return v;
}

// The length of the control part at the start of Rest, as TQvPro writes
// it for a cell (editor index, format index, the format when it has no
// index), or 0 when the part is damaged or would be written otherwise: an
// editor the class lacks, a format index it lacks or that is not the first
// of its text, or a text of its own that one of its formats matches.
size_t CanonicalControl(TClass Cls, std::string_view Rest) {
    if (Rest.size() < 8) return 0;
    const int32_t editor = Int32At(Rest, 0), index = Int32At(Rest, 4);
    if (editor < 0 || editor >= QvManager().EditorCount(Cls)) return 0;
    const TStringList* formats = QvManager().Formats(Cls);
    const int count = formats ? formats->Count() : 0;
    if (index >= 0) {
        if (index >= count) return 0;
        const std::string text = formats->Strings(index);
        for (int i = 0; i < index; ++i)
            if (formats->Strings(i) == text) return 0;
        return 8;
    }
    if (index != -1 || Rest.size() < 12) return 0;
    const int32_t length = Int32At(Rest, 8);
    if (length < 0 || size_t(length) > Rest.size() - 12) return 0;
    const std::string_view text = Rest.substr(12, static_cast<size_t>(length));
    for (int i = 0; i < count; ++i)
        if (formats->Strings(i) == text) return 0;
    return 12 + static_cast<size_t>(length);
}

}  // namespace

bool ParsePackedRecord(TClass Cls, std::string_view Record, int& Form, uint16_t& Bits, std::string_view& Body) {
    if (!Cls || Record.size() < 2) return false;
    std::memcpy(&Bits, Record.data(), sizeof Bits);
    if (!IsPackedPropertySet(Bits)) return false;
    std::string_view rest = Record.substr(2);
    size_t control = 0;
    if (Bits & PackedControlBit) {
        control = CanonicalControl(Cls, rest);
        if (control == 0) return false;
    }
    Form = PackedFormOf(Cls, rest.substr(0, control));
    if (Form < 0) return false;
    Body = rest.substr(control);
    return Body.size() <= TQvPackedCells::MaxBody && PackedForm(static_cast<uint8_t>(Form)).IsCanonical(Body);
}

void WritePackedRecord(TStream& Stream, const TQvPackedCell& Cell) {
    Stream.WriteUInt16(Cell.PropertyBits());
    const std::string& control = PackedForm(Cell.Form).Control;
    if (!control.empty()) Stream.WriteBuffer(control.data(), static_cast<int64_t>(control.size()));
    const std::string_view body = Cell.Body();
    Stream.WriteBuffer(body.data(), static_cast<int64_t>(body.size()));
}

size_t PackedRecordSize(const TQvPackedCell& Cell) { return 2 + PackedForm(Cell.Form).Control.size() + Cell.Size; }

size_t CopyPackedRecord(const TQvPackedCell& Cell, char* Out, size_t Room) {
    const std::string& control = Forms()[Cell.Form].Control;
    const size_t n = 2 + control.size() + Cell.Size;
    if (n > Room) return 0;
    const uint16_t bits = Cell.PropertyBits();
    std::memcpy(Out, &bits, 2);
    std::memcpy(Out + 2, control.data(), control.size());
    std::memcpy(Out + 2 + control.size(), Cell.Body().data(), Cell.Size);
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
