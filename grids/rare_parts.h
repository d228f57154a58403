// TQvRareParts: the parts of a property set that most sets do without: a
// font of its own, the display text cached for painting, and for cells a
// hint and a named style. A set holds them in one block made when the first
// of them is set, so a cell that has none costs one pointer for all four.
#pragma once

#include "grids/shared_font.h"
#include "platform/compact_string.h"
#include "platform/small_memory.h"

namespace qv {

class TQvStyle;

struct TQvRareParts {
    TQvSharedFont Font;
    // Only the cells a pane painted hold their text; see TQvValue.
    TCompactString Text;
    TCompactString Hint;
    TQvStyle* Style = nullptr;

    static void* operator new(size_t Size) { return AllocateSmallObject(Size); }
    static void operator delete(void* P, size_t Size) noexcept { FreeSmallObject(P, Size); }
};

}  // namespace qv
