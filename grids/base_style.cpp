#include "grids/base_style.h"

#include "grids/section.h"
#include "grids/sheet.h"
#include "platform/brush.h"
#include "platform/stream.h"

namespace qv {

QV_ABSTRACT_CLASS_IMPL(TQvBaseStyle, TQvProStyle)

namespace {
// Every property but Frame: a base style supplies all of them to its cells.
constexpr uint16_t BaseAssigned = 0x077F;
}  // namespace

TQvBaseStyle::TQvBaseStyle(TQvSheet* Sheet, bool IsClient)
    : TQvProStyle(Sheet), FBrush(std::make_unique<TBrush>()), FIsClient(IsClient) {
    SetAssigned(TQvProps{BaseAssigned});
    IncludeState(psSilent);
    FErrorColor = 255;
    // The defaults are written straight into the lines: a sheet under
    // construction is neither modified nor ready to repaint.
    if (IsClient) {
        FBrush->SetColor(clWindow);
        FGridColor = clBtnFace;
    } else {
        FLines[liFrameStyle] = frFlatUp;
        FBrush->SetColor(clBtnFace);
        FGridColor = clBlack;
    }
    FLines[liFillColor] = PackLine(lsSingle, FBrush->Color());
    FBrush->OnChange = [this](TObject*) { BrushChanged(); };
}

TQvBaseStyle::~TQvBaseStyle() { FBrush->OnChange = nullptr; }

TQvSheet* TQvBaseStyle::Sheet() const { return static_cast<TQvSheet*>(FOwner); }

template <typename F>
void TQvBaseStyle::ForServedSections(F&& Fn) const {
    TQvSheet* S = Sheet();
    if (!S) return;
    if (FIsClient) {
        if (TQvSection* Sec = S->Sections(skClient)) Fn(Sec);
    } else {
        for (TQvSectionKind K : {skColTitles, skRowTitles, skCorner})
            if (TQvSection* Sec = S->Sections(K)) Fn(Sec);
    }
}

void TQvBaseStyle::SyncBrush() {
    FSyncingBrush = true;
    FBrush->SetColor(Color());
    FSyncingBrush = false;
}

void TQvBaseStyle::BrushChanged() {
    if (FSyncingBrush) return;
    // The brush is another way to set the fill colour: take its colour into
    // the line value rather than pushing the old line back into the brush.
    if (PackLine(lsSingle, FBrush->Color()) != FLines[liFillColor])
        SetColor(FBrush->Color());
    else
        Changed(piColor);
}

void TQvBaseStyle::Changed(int Id) {
    if (TQvSheet* S = Sheet()) S->SetModified(true);
    switch (Id) {
        case piColor:
            SyncBrush();
            ForServedSections([](TQvSection* Sec) { Sec->InvalidateAll(); });
            break;
        case piFrame:
            // Per-cell frames fall back to the new default frame.
            ForServedSections([](TQvSection* Sec) {
                if (TListSList* T = Sec->Tables(tbFrames)) T->Clear();
                Sec->InvalidateAll();
            });
            break;
        default:
            ForServedSections([Id](TQvSection* Sec) { Sec->StyleChanged(nullptr, static_cast<uint8_t>(Id)); });
            break;
    }
}

void TQvBaseStyle::Assign(const TPersistent* Source) {
    TQvProStyle::Assign(Source);
    // Assign empties Assigned; a base style supplies every property whatever
    // was copied, so its fixed set comes back.
    SetAssigned(TQvProps{BaseAssigned});
}

void TQvBaseStyle::SetErrorColor(TColor C) {
    if (C == FErrorColor) return;
    FErrorColor = C;
    ForServedSections([](TQvSection* Sec) { Sec->InvalidateAll(); });
}

void TQvBaseStyle::SetGridColor(TColor C) {
    if (C == FGridColor) return;
    FGridColor = C;
    ForServedSections([](TQvSection* Sec) { Sec->InvalidateAll(); });
}

void TQvBaseStyle::ReadFromStream(TStream& Stream) {
    try {
        TQvProStyle::ReadFromStream(Stream);
        FErrorColor = Stream.ReadInt32();
        FGridColor = Stream.ReadInt32();
    } catch (...) {
        Restore();
        throw;
    }
    Restore();
}

void TQvBaseStyle::Restore() {
    // The record overwrites Assigned and may copy the line block straight
    // into the lines; the fixed set and the brush follow the lines again.
    SetAssigned(TQvProps{BaseAssigned});
    SyncBrush();
}

void TQvBaseStyle::WriteToStream(TStream& Stream) {
    TQvProStyle::WriteToStream(Stream);
    Stream.WriteInt32(FErrorColor);
    Stream.WriteInt32(FGridColor);
}

std::string TQvBaseStyle::GetNamePath() const {
    std::string Path = Sheet() ? Sheet()->GetNamePath() : std::string();
    return Path + (FIsClient ? ".BaseClientStyle" : ".BaseTitleStyle");
}

}  // namespace qv
