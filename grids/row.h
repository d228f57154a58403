// TQvRow: the cells of one row of a section, keyed by local column.
//
// A row holds its cells two ways: as objects in its sparse list, and as
// packed entries (grids/packed_cells.h) for the plain cells a load or an
// import brought that nothing has asked for yet. The list's own lookups and
// walks are hidden here by versions that see both: Cells, GetItem, ForEach
// and ForEachIn make the objects of the packed cells they reach first, so a
// caller always gets objects, and Last, IsEmpty and the moves count both.
// Making an object of a packed cell is not a change of the sheet: it marks
// nothing modified and repaints nothing. Only the writers read packed cells
// as they are (ForEachStored).
#pragma once

#include <climits>
#include <string_view>
#include <utility>

#include "grids/packed_cells.h"
#include "lists/object_slist.h"
#include "platform/small_memory.h"

namespace qv {

class TQvCell;
class TQvSection;

class TQvRow : public TObjectSList {
    QV_CLASS(TQvRow)
public:
    TQvRow(TQvSection* Section, int32_t Index);
    ~TQvRow() override;
    static void* operator new(size_t Size) { return AllocateSmallObject(Size); }
    static void operator delete(void* P, size_t Size) noexcept { FreeSmallObject(P, Size); }

    // The local row number; -1 while the row is being cleared or destroyed,
    // so that departing cells do not take themselves out of it one by one.
    // After rows were inserted or removed above it, a row learns its new
    // number from its section's record of the moves when first asked.
    int32_t Index() const;
    void SetIndex(int32_t I);
    TQvSection* Section() const { return FSection; }
    // The cell at Col; a packed one becomes an object first.
    TQvCell* Cells(int32_t Col) const;
    TObject* GetItem(int32_t Col) const;
    // An object stored at Col replaces a packed cell there.
    void SetItem(int32_t Col, TObject* Value) {
        if (!FPacked.Empty()) FreePacked(Col, Col);
        TObjectSList::SetItem(Col, Value);
    }
    template <typename T>
    T* ItemAs(int32_t Col) const { return static_cast<T*>(GetItem(Col)); }

    // The walks of the list over objects only, after the packed cells of
    // the span became objects.
    template <typename F>
    bool ForEach(F&& Fn) const {
        Unpack(0, INT32_MAX);
        return TObjectSList::ForEach(std::forward<F>(Fn));
    }
    template <typename F>
    bool ForEachIn(int32_t From, int32_t To, F&& Fn) const {
        Unpack(From, To);
        return TObjectSList::ForEachIn(From, To, std::forward<F>(Fn));
    }
    // Every stored cell in column order without making objects:
    // Fn(Col, Object, Packed) with exactly one of Object and Packed set.
    template <typename F>
    void ForEachStored(F&& Fn) const { ForEachStoredIn(0, INT32_MAX, std::forward<F>(Fn)); }
    // The same for the columns From .. To.
    template <typename F>
    void ForEachStoredIn(int32_t From, int32_t To, F&& Fn) const;

    int32_t Last() const;
    bool IsEmpty() const { return TObjectSList::IsEmpty() && FPacked.Empty(); }
    bool CanInsertSpace(int32_t At, int32_t N) const;
    bool InsertSpace(int32_t At, int32_t N);
    void DeleteRange(int32_t At, int32_t N);

    // Stores a plain cell of packed form Form at Col from its record's
    // property set (IsPackedPropertySet) and body,
    // releasing what stood there. The caller checked the body with the
    // form's IsCanonical and that Col lies in no merged range.
    void PutPacked(int32_t Col, uint8_t Form, uint16_t PropertyBits, std::string_view Body);
    const TQvPackedCells& Packed() const { return FPacked; }
    // Ends a row's loading: the packed entries keep no spare capacity.
    void TrimPacked() noexcept { FPacked.Trim(); }
    // Makes the objects of the packed cells in [From, To].
    void Unpack(int32_t From, int32_t To) const;
    // Gives each packed cell in [From, To] the form Map(form) returns: one
    // of the same class, or -1 to make the cell an object instead. Cache
    // (256 entries, -2 for "not asked") keeps Map's answers. Returns
    // whether a form changed.
    template <typename F>
    bool ReformPacked(int32_t From, int32_t To, int16_t* Cache, F&& Map);
    // Releases the packed cells in [From, To] without making objects.
    void FreePacked(int32_t From, int32_t To);

    // Stamps each present cell in [From, To] with its index as its column.
    void Reindex(int32_t From, int32_t To) override;
    // Index := -1, then releases every cell.
    void Clear() override;

private:
    // Makes the objects of the packed entries [First, Last) and drops the
    // entries; on failure the entries not yet made stay packed.
    void UnpackEntries(size_t First, size_t Last) const;

    mutable int32_t FIndex;
    // The section's move count FIndex was last brought up to.
    mutable uint32_t FEpoch = 0;
    TQvSection* FSection;
    mutable TQvPackedCells FPacked;
};

template <typename F>
bool TQvRow::ReformPacked(int32_t From, int32_t To, int16_t* Cache, F&& Map) {
    if (FPacked.Empty() || From > To) return false;
    bool changed = false;
    int32_t objects[16];
    int n = 0;
    for (size_t i = FPacked.LowerBound(From); i < FPacked.Slots() && FPacked[i].Col <= To; ++i) {
        if (!FPacked.Live(i)) continue;
        const uint8_t form = FPacked[i].Form;
        if (Cache[form] == -2) Cache[form] = static_cast<int16_t>(Map(form));
        const int16_t to = Cache[form];
        if (to >= 0 && to != form) {
            FPacked.SetForm(i, static_cast<uint8_t>(to));
            changed = true;
        } else if (to < 0) {
            if (n == 16) break;  // the rest on the next call
            objects[n++] = FPacked[i].Col;
        }
    }
    for (int k = 0; k < n; ++k) Unpack(objects[k], objects[k]);
    if (n == 16) return ReformPacked(objects[15] + 1, To, Cache, std::forward<F>(Map)) || changed;
    return changed;
}

template <typename F>
void TQvRow::ForEachStoredIn(int32_t From, int32_t To, F&& Fn) const {
    if (From > To) return;
    size_t k = FPacked.LowerBound(From);
    const auto packedBefore = [&](int64_t End) {
        for (; k < FPacked.Slots() && FPacked[k].Col < End; ++k)
            if (FPacked.Live(k)) Fn(FPacked[k].Col, static_cast<TObject*>(nullptr), &FPacked[k]);
    };
    TObjectSList::ForEachIn(From, To, [&](int32_t Col, TObject* Obj) {
        packedBefore(Col);
        Fn(Col, Obj, static_cast<const TQvPackedCell*>(nullptr));
        return false;
    });
    packedBefore(int64_t(To) + 1);
}

}  // namespace qv
