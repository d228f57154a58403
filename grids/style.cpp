#include "grids/style.h"

#include "grids/cell.h"
#include "grids/pro_cell.h"
#include "grids/section.h"
#include "grids/sheet.h"
#include "grids/styler.h"
#include "platform/exceptions.h"
#include "platform/stream.h"

namespace qv {

QV_ABSTRACT_CLASS_IMPL(TQvStyle, TQvProStyle)

namespace {
// Calls Fn for each section of each sheet connected to Styler.
template <typename F>
void ForConnectedSections(const TQvStyler* Styler, F&& Fn) {
    if (!Styler) return;
    for (int I = 0; I < Styler->SheetCount(); ++I)
        if (TQvSheet* Sh = Styler->Sheets(I))
            for (TQvSectionKind K : AllSectionKinds)
                if (TQvSection* Sec = Sh->Sections(K)) Fn(Sec);
}
}  // namespace

TQvStyle::TQvStyle(TQvStyler* Styler) : TQvProStyle(Styler) {
    if (Styler) Styler->InsertStyle(this);
}

TQvStyle::~TQvStyle() {
    if (TQvStyler* S = Styler()) {
        S->RemoveStyle(this);
        ForConnectedSections(S, [this](TQvSection* Sec) { Sec->DetachStyle(this); });
        S->Changed();
    }
}

TQvStyler* TQvStyle::Styler() const { return static_cast<TQvStyler*>(FOwner); }

void TQvStyle::SetName(const std::string& S) {
    if (S == FName) return;
    TQvStyler* Owner = Styler();
    if (Owner && Owner->FindStyle(S)) throw EQvGridError("Style named " + S + " already exists!");
    FName = S;
    if (Owner) Owner->Changed();
}

void TQvStyle::Changed(int Id) {
    TQvProStyle::Changed(Id);
    TQvStyler* S = Styler();
    ForConnectedSections(S, [this, Id](TQvSection* Sec) { Sec->StyleChanged(this, static_cast<uint8_t>(Id)); });
    if (S) S->Changed();
}

void TQvStyle::ReadFromStream(TStream& Stream) {
    TQvProStyle::ReadFromStream(Stream);
    SetName(Stream.ReadString());
}

void TQvStyle::WriteToStream(TStream& Stream) {
    TQvProStyle::WriteToStream(Stream);
    Stream.WriteString(FName);
}

std::string TQvStyle::GetNamePath() const {
    const TQvStyler* S = Styler();
    if (!S) return TQvProStyle::GetNamePath();
    return S->GetNamePath() + ".Styles[" + std::to_string(S->IndexOf(this)) + "]";
}

void ApplyStyle(TQvProCell& Target, TQvStyle* Style) {
    Target.SetStyle(Style);
    TQvSection* section = Target.Section();
    if (!Style || !section) return;
    const TQvProps assigned = Style->Assigned();
    if (!assigned.Has(piColor) && !assigned.Has(piBorder) && !assigned.Has(piFrame)) return;
    section->ForEachCell(Target.GetRect(), false, [&](TQvCell* Cell, bool&) {
        if (Cell->GetStyle() != Style) return;
        for (int id : {piColor, piBorder, piFrame})
            if (assigned.Has(id)) Cell->InheritProperty(id);
    });
}

}  // namespace qv
