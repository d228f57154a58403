#include "grids/union.h"

#include "grids/section.h"

namespace qv {

void TQvUnion::SetRect(const TRect& R) {
    if (R == FRect) return;
    if (FSection) FSection->Invalidate(FRect, false);
    if (FSection) FSection->FUnionIndex.Remove(this, FRect);
    FRect = R;
    if (FSection) {
        FSection->FUnionIndex.Insert(this, FRect);
        FSection->NormaliseUnion(this);
    }
}

void TQvUnion::SetCell(TQvCell* C) {
    if (C == FCell) return;
    if (FSection) {
        FSection->FUnionIndex.RemoveCell(this, FCell);
        FSection->FUnionIndex.AddCell(this, C);
    }
    FCell = C;
}

}  // namespace qv
