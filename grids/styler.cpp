#include "grids/styler.h"

#include <algorithm>
#include <memory>

#include "grids/sheet.h"
#include "grids/style.h"
#include "platform/exceptions.h"
#include "platform/stream.h"

namespace qv {

QV_CLASS_IMPL(TQvStyler, TComponent)

namespace {
// The smallest style record: an empty Assigned set (2 bytes) and an empty
// name (its 4-byte length). A count needing more bytes than remain is corrupt.
constexpr int64_t MinStyleRecord = 6;
}  // namespace

void RegisterSheetProperties();  // sheet_file.cpp

TQvStyler::TQvStyler(TComponent* AOwner) : TComponent(AOwner) { RegisterSheetProperties(); }

TQvStyler::~TQvStyler() {
    // Sheets call back (RemoveSheet) while they let go of this styler.
    BeginDestruction();
    while (!FSheets.empty()) {
        TQvSheet* S = FSheets.back();
        S->SetStyler(nullptr);
        // A sheet that did not take itself out must not hold us in a loop.
        if (!FSheets.empty() && FSheets.back() == S) FSheets.pop_back();
    }
    while (!FStyles.empty()) {
        TQvStyle* S = FStyles.back();
        delete S;  // leaves the list itself
        if (!FStyles.empty() && FStyles.back() == S) FStyles.pop_back();
    }
}

int TQvStyler::IndexOf(const TQvStyle* S) const {
    auto It = std::find(FStyles.begin(), FStyles.end(), S);
    return It == FStyles.end() ? -1 : static_cast<int>(It - FStyles.begin());
}

TQvStyle* TQvStyler::FindStyle(const std::string& Name) const {
    for (TQvStyle* S : FStyles)
        if (S->Name() == Name) return S;
    return nullptr;
}

TQvStyle* TQvStyler::AddStyle(const std::string& Name) {
    if (TQvStyle* S = FindStyle(Name)) return S;
    auto* S = new TQvStyle(this);
    S->FName = Name;
    Changed();
    return S;
}

void TQvStyler::Changed() {
    // Handlers of a styler being torn down are not told: the form around it
    // may already be half gone.
    if (HasState(csDestroying)) return;
    if (OnChange) OnChange(this);
    SetModified(true);
}

void TQvStyler::SetModified(bool V) {
    if (V == FModified) return;
    FModified = V;
    if (OnModified) OnModified(this);
}

void TQvStyler::ReadStyles(TStream& Stream) {
    int32_t N = Stream.ReadInt32();
    if (N < 0 || N > Stream.Remaining() / MinStyleRecord)
        throw EReadError("Styles: style count " + std::to_string(N) + " does not fit the " +
                         std::to_string(Stream.Remaining()) + " bytes that follow");
    for (int32_t I = 0; I < N; ++I) {
        // A style whose record fails is removed again; the styles read before
        // it are complete and stay.
        std::unique_ptr<TQvStyle> S(new TQvStyle(this));
        S->ReadFromStream(Stream);
        S.release();
    }
    SetModified(false);
}

void TQvStyler::WriteStyles(TStream& Stream) {
    Stream.WriteInt32(Count());
    for (TQvStyle* S : FStyles) S->WriteToStream(Stream);
    SetModified(false);
}

void TQvStyler::AddSheet(TQvSheet* S) {
    if (S && std::find(FSheets.begin(), FSheets.end(), S) == FSheets.end()) FSheets.push_back(S);
}

void TQvStyler::RemoveSheet(TQvSheet* S) {
    auto It = std::find(FSheets.begin(), FSheets.end(), S);
    if (It != FSheets.end()) FSheets.erase(It);
}

void TQvStyler::InsertStyle(TQvStyle* S) {
    if (S && IndexOf(S) < 0) FStyles.push_back(S);
}

void TQvStyler::RemoveStyle(TQvStyle* S) {
    auto It = std::find(FStyles.begin(), FStyles.end(), S);
    if (It != FStyles.end()) FStyles.erase(It);
}

}  // namespace qv
