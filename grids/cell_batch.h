// TQvCellBatch: many new cells for one section, made at a fraction of
// NeedCellOfClass's cost (imports, pastes, generated sheets).
//
// Each cell inherits what placing copies from its supplier (format, editor
// index, layout, protection, visibility); the batch works that out once per
// cell class, using the first cell of the class as the model, and copies it
// into the rest. The cells' repaints are gathered into one request for the
// rectangle they span, made when the batch ends.
//
// A position already holding a cell, or inside a merged range, takes the
// ordinary way (NeedCellOfClass), so the batch is never wrong, only slower
// there. While a batch lives, the section's base style and rows must not be
// changed other than through the batch; the cells it hands out, and merged
// ranges, may be changed freely.
#pragma once

#include <string_view>
#include <vector>

#include "grids/cell.h"
#include "platform/geometry.h"
#include "platform/stream.h"

namespace qv {

class TQvRow;
class TQvSection;

class TQvCellBatch {
public:
    explicit TQvCellBatch(TQvSection& Section);
    ~TQvCellBatch();
    TQvCellBatch(const TQvCellBatch&) = delete;
    TQvCellBatch& operator=(const TQvCellBatch&) = delete;

    // A cell of class Cls at local point P, as NeedCellOfClass gives it;
    // null where NeedCellOfClass gives null (P outside the section).
    TQvCell* Add(TPoint P, TQvCellClass Cls);
    // A plain cell of class Cls at P, kept packed in its row from the record
    // body its object would write (see TQvRow::PutPacked); ValueSet tells
    // whether that record marks the value as set. False, with nothing done,
    // where the cell cannot be packed (a class without a packed form, a
    // position holding a cell or in a merged range, outside the section):
    // the caller then takes Add.
    bool AddPlain(TPoint P, TQvCellClass Cls, bool ValueSet, std::string_view Body);
    // The same with a form learnt from a cell Pack packed (PackedForm()).
    bool AddPacked(TPoint P, int Form, bool ValueSet, std::string_view Body);
    // Turns a cell the batch made, once set, into a packed entry when its
    // record allows (a value, perhaps an editor and format of its own, and
    // nothing else; see ParsePackedRecord); the cell is released then.
    // Returns whether it was.
    bool Pack(TQvCell* Cell);
    // The form of the last cell Pack packed, or -1.
    int PackedForm() const { return FPackedForm; }

    // For tests of what a failed import or paste leaves behind: once
    // FailAfter more cells were asked for (over every batch of the thread),
    // the next Add raises std::bad_alloc, and the count stops. Negative, as
    // it starts: never.
    static thread_local int64_t FailAfter;

private:
    struct TModel {
        TQvCellClass Cls;
        TQvCell::TPlacedProps Props;
    };
    const TModel* ModelOf(TQvCellClass Cls) const;
    TQvRow* RowAt(int32_t Y);
    void Include(TPoint P);

    TQvSection& FSection;
    std::vector<TModel> FModels;
    TQvRow* FRow = nullptr;
    int32_t FRowIndex = -1;
    TRect FArea{};  // spans every cell made the fast way; empty at first
    TMemoryStream FRecord;  // Pack's scratch record
    int FPackedForm = -1;
};

}  // namespace qv
