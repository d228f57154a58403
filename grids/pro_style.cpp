#include "grids/pro_style.h"

#include <cstring>

#include "grids/manager.h"
#include "platform/exceptions.h"
#include "platform/stream.h"
#include "platform/string_list.h"

namespace qv {

QV_ABSTRACT_CLASS_IMPL(TQvProStyle, TQvPro)

namespace {
constexpr int LineCount = 10;
constexpr int64_t LineBlockSize = LineCount * 4;
}  // namespace

TQvProStyle::TQvProStyle(TObject* Owner) : TQvPro(Owner) {
    IncludeState(psAlwaysNotify);
    TQvManager& M = QvManager();
    FCellClass = M.ClassCount() > 0 ? M.ClassAt(0) : nullptr;
    // The proposed format is a construction default, not a change: it is
    // stored without notification so that a new style owns nothing.
    if (TStringList* Formats = M.Formats(FCellClass); Formats && Formats->Count() > 0)
        FFormat = TCompactString(Formats->Strings(0));
}

void TQvProStyle::SetCellClass(TClass Cls) {
    if (Cls == FCellClass) return;
    FCellClass = Cls;
    FEditorIndex = 0;
    Changed(piControl);
}

TQvLine TQvProStyle::GetLine(int Index, bool& IsAssigned) const {
    IsAssigned = true;
    if (Index < 0 || Index >= LineCount) return 0;
    return FLines[Index];
}

void TQvProStyle::SetLine(int Index, TQvLine Value) {
    if (Index < 0 || Index >= LineCount || FLines[Index] == Value) return;
    FLines[Index] = Value;
    Changed(Index < liFillColor ? piBorder : Index == liFillColor ? piColor : piFrame);
}

void TQvProStyle::ReadFromStream(TStream& Stream) {
    TQvPro::ReadFromStream(Stream);
    if (Assigned().Has(piColor)) SetColor(static_cast<TColor>(Stream.ReadInt32()));
    if (Assigned().Has(piBorder)) {
        // Read the whole block first so that a block cut short leaves the
        // lines as they were.
        if (Stream.Remaining() < LineBlockSize)
            throw EReadError("Style record: line block needs " + std::to_string(LineBlockSize) +
                             " bytes, " + std::to_string(Stream.Remaining()) + " remain");
        TQvLine Block[LineCount];
        for (TQvLine& L : Block) L = Stream.ReadUInt32();
        std::memcpy(FLines, Block, sizeof FLines);
    }
}

void TQvProStyle::WriteToStream(TStream& Stream) {
    // The frame style travels only in the line block, which the record
    // carries when Border is assigned. A style with its own frame but no own
    // border would lose the frame, so its record also marks Border: readers
    // then get the frame back (and the style's lines, as they were).
    const TQvProps Own = Assigned();
    TQvProps Written = Own;
    if (Own.Has(piFrame)) Written.Include(piBorder);
    SetAssigned(Written);
    try {
        TQvPro::WriteToStream(Stream);
    } catch (...) {
        SetAssigned(Own);
        throw;
    }
    SetAssigned(Own);
    if (Written.Has(piColor)) Stream.WriteInt32(static_cast<int32_t>(Color()));
    if (Written.Has(piBorder))
        for (TQvLine L : FLines) Stream.WriteUInt32(L);
}

}  // namespace qv
