// TQvRow: the cells of one row of a section, keyed by local column.
#pragma once

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
    TQvCell* Cells(int32_t Col) const;

    // Stamps each present cell in [From, To] with its index as its column.
    void Reindex(int32_t From, int32_t To) override;
    // Index := -1, then releases every cell.
    void Clear() override;

private:
    mutable int32_t FIndex;
    // The section's move count FIndex was last brought up to.
    mutable uint32_t FEpoch = 0;
    TQvSection* FSection;
};

}  // namespace qv
