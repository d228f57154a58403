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
    void ForEachStored(F&& Fn) const;

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
void TQvRow::ForEachStored(F&& Fn) const {
    size_t k = 0;
    const auto packedBefore = [&](int64_t End) {
        for (; k < FPacked.Slots() && FPacked[k].Col < End; ++k)
            if (FPacked.Live(k)) Fn(FPacked[k].Col, static_cast<TObject*>(nullptr), &FPacked[k]);
    };
    TObjectSList::ForEach([&](int32_t Col, TObject* Obj) {
        packedBefore(Col);
        Fn(Col, Obj, static_cast<const TQvPackedCell*>(nullptr));
        return false;
    });
    packedBefore(INT64_MAX);
}

}  // namespace qv
