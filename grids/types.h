// Small value types shared by the sheet model, the views and the designers:
// property identifiers and sets, property-set state flags, the packed layout
// and line values, axes and directions, and the model's event types.
#pragma once

#include <cstdint>
#include <functional>

#include "platform/color.h"
#include "platform/geometry.h"

namespace qv {

class TObject;

// Property identifiers. A set of them (TQvProps) is 16 bits wide.
enum TQvPropId : uint8_t {
    piControl = 0,
    piLayout = 1,
    piProtect = 2,
    piShowing = 3,
    piColor = 4,
    piFont = 5,
    piBorder = 6,
    piFrame = 7,
    piStyle = 8,
    piValue = 9,
    piHint = 10,
};

struct TQvProps {
    uint16_t Bits = 0;

    bool Has(int Id) const { return Id >= 0 && Id < 16 && (Bits >> Id) & 1u; }
    void Include(int Id) { if (Id >= 0 && Id < 16) Bits |= static_cast<uint16_t>(1u << Id); }
    void Exclude(int Id) { if (Id >= 0 && Id < 16) Bits &= static_cast<uint16_t>(~(1u << Id)); }
    bool IsEmpty() const { return Bits == 0; }
    friend bool operator==(TQvProps, TQvProps) = default;
};

// Flags of TQvPro::State.
enum TQvProStateFlag : uint8_t {
    psHidden = 1u << 0,        // the value is not shown (Showing is the inverse)
    psProtected = 1u << 1,     // Protect
    psEditing = 1u << 2,       // the cell is being edited in place by a grid
    psInvalidated = 1u << 3,   // a repaint was requested and not yet painted
    psAlwaysNotify = 1u << 4,  // setters notify even without a difference
    psError = 1u << 5,         // the last in-place edit could not be accepted
    psSilent = 1u << 6,        // Changed records nothing; lines are not written
    psTextDirty = 1u << 7,     // the cached display text must be rebuilt
};

enum TQvHAlign : uint8_t { haLeft = 0, haRight = 1, haCenter = 2 };
enum TQvVAlign : uint8_t { vaTop = 0, vaBottom = 1, vaCenter = 2 };
// For pictures the same values mean natural size, proportional fit, stretch.
enum TQvWrapMode : uint8_t { wmClipped = 0, wmEllipsis = 1, wmWrapWords = 2 };

// Alignment, indent and wrap mode; packs into 32 bits as
// Indent bits 0..15, HAlign 16..19, VAlign 20..23, WrapMode 24..27.
struct TQvLayout {
    uint8_t HAlign = haLeft;
    uint8_t VAlign = vaTop;
    uint16_t Indent = 0;
    uint8_t WrapMode = wmClipped;

    uint32_t Pack() const {
        return uint32_t(Indent) | (uint32_t(HAlign & 15) << 16) | (uint32_t(VAlign & 15) << 20) |
               (uint32_t(WrapMode & 15) << 24);
    }
    static TQvLayout Unpack(uint32_t V) {
        return {static_cast<uint8_t>((V >> 16) & 15), static_cast<uint8_t>((V >> 20) & 15),
                static_cast<uint16_t>(V & 0xFFFF), static_cast<uint8_t>((V >> 24) & 15)};
    }
    friend bool operator==(const TQvLayout&, const TQvLayout&) = default;
};

// Indices of line values: eight border lines, fill colour, frame style.
enum TQvLineIndex : uint8_t {
    liLeft = 0,
    liTop = 1,
    liRight = 2,
    liBottom = 3,
    liBias1 = 4,
    liBias2 = 5,
    liHInternal = 6,
    liVInternal = 7,
    liFillColor = 8,
    liFrameStyle = 9,
};

enum TQvLineStyle : uint8_t { lsNone = 0, lsSingle = 1, lsMedium = 2, lsDouble = 3 };

// Frame styles take the prefix "fr" (font styles own "fs").
enum TQvFrameStyle : uint8_t {
    frNoFrame = 0,
    frFlatUp = 1,
    frFlatDown = 2,
    frDeepUp = 3,
    frDeepDown = 4,
    frBevelUp = 5,
    frBevelDown = 6,
};

// A packed line value: 0 is no line (or no fill); otherwise bits 29..30 hold
// the line style and the other bits the colour (bit 31 = system colour).
using TQvLine = uint32_t;

struct TQvLineInfo {
    uint8_t Style = lsNone;
    TColor Color = clNone;
    friend bool operator==(const TQvLineInfo&, const TQvLineInfo&) = default;
};

// The colour bits of a line value: all but the two style bits.
constexpr uint32_t LineColorBits = 0x9FFFFFFFu;

inline TQvLine PackLine(uint8_t Style, TColor Color) {
    if (Style == lsNone || Color == clNone) return 0;
    return (static_cast<uint32_t>(Color) & LineColorBits) | (uint32_t(Style & 3) << 29);
}
// The colour of a line or fill value; a fill value's style bits are not part
// of its colour.
inline TColor LineColor(TQvLine V) { return static_cast<TColor>(V & LineColorBits); }
inline TQvLineInfo UnpackLine(TQvLine V) {
    if (V == 0) return {};
    return {static_cast<uint8_t>((V >> 29) & 3), LineColor(V)};
}

// Axes and size parts index per-axis data as [axis][part].
enum TQvAxis : uint8_t { axCols = 0, axRows = 1 };
enum TQvSizePart : uint8_t { spTitle = 0, spClient = 1 };

// Section and pane kinds: which quadrant of the sheet.
enum TQvSectionKind : uint8_t { skColTitles = 0, skRowTitles = 1, skCorner = 2, skClient = 3 };
// Every kind in that order, for walking all sections or panes.
constexpr TQvSectionKind AllSectionKinds[] = {skColTitles, skRowTitles, skCorner, skClient};

enum TQvDirection : uint8_t { dNone, dRight, dDown, dLeft, dUp };

// OnSizing(Sender, Axis, Index, Value): Index is a sheet index (client
// entries >= 0, title entries negative); the handler may change Value.
using TQvSizingEvent = std::function<void(TObject* Sender, TQvAxis Axis, int32_t Index, int32_t& Value)>;
// OnCellClick and friends: the sheet coordinate of the cell.
using TQvCellEvent = std::function<void(TObject* Sender, TPoint ACoord)>;

}  // namespace qv
