#include "view/cell_text.h"

#include "grids/cell.h"
#include "grids/types.h"
#include "platform/font.h"

namespace qv {

TRect FrameInset(const TRect& Q, int32_t Frame) {
    switch (Frame) {
        case frFlatUp:
        case frFlatDown: return {Q.Left + 1, Q.Top + 1, Q.Right - 1, Q.Bottom - 1};
        case frDeepUp:
        case frDeepDown:
        case frBevelUp:
        case frBevelDown: return {Q.Left + 2, Q.Top + 2, Q.Right - 2, Q.Bottom - 2};
        default: return {Q.Left, Q.Top, Q.Right - 1, Q.Bottom - 1};
    }
}

const TFont& CellFont(TQvCell* Cell) {
    static const TFont fallback;
    if (Cell->HasFont()) return *Cell->Font();
    if (TQvPro* source = Cell->FindSource(piFont); source && source != Cell) return *source->Font();
    return fallback;
}

}  // namespace qv
