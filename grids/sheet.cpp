#include "grids/sheet.h"

#include <algorithm>

#include "grids/base_style.h"
#include "grids/cell.h"
#include "grids/style.h"
#include "grids/styler.h"
#include "grids/undo_stack.h"
#include "lists/slist.h"
#include "platform/exceptions.h"
#include "platform/picture.h"
#include "platform/stream.h"

namespace qv {

QV_CLASS_IMPL(TQvSheet, TComponent)

void RegisterSheetProperties();  // sheet_file.cpp

TQvSheet::TQvSheet(TComponent* AOwner) : TComponent(AOwner) {
    RegisterSheetProperties();
    for (auto& axis : FSizes)
        for (auto& list : axis) list = std::make_unique<TQvSizeList>();
    FBackground = std::make_unique<TPicture>();
    FBackground->OnChange = [this](TObject*) { RepaintGrids(); };
    for (TQvSectionKind k : AllSectionKinds) FSections[k] = std::make_unique<TQvSection>(this, k);
    FBaseClientStyle = std::make_unique<TQvBaseStyle>(this, true);
    FBaseTitleStyle = std::make_unique<TQvBaseStyle>(this, false);
    for (TQvSectionKind k : AllSectionKinds)
        FSections[k]->SetBaseStyle(k == skClient ? FBaseClientStyle.get() : FBaseTitleStyle.get());
    SetColDefWidth(60);
    SetRowDefHeight(15);
    SetColMaxWidth(200);
    SetRowMaxHeight(20);
    SetColCount(5);
    SetRowCount(5);
    SetTitleCols(1);
    SetTitleRows(1);
}

TQvUndoStack& TQvSheet::UndoStack() {
    if (!FUndoStack) FUndoStack = std::make_unique<TQvUndoStack>(*this);
    return *FUndoStack;
}

TQvSheet::~TQvSheet() {
    // Views and the styler call back into the sheet while letting go.
    BeginDestruction();
    while (!FViews.empty()) {
        IQvSheetView* v = FViews.back();
        v->SheetDestroying(this);
        // A view that did not detach itself is dropped all the same.
        RemoveView(v);
    }
    SetStyler(nullptr);
    for (auto& s : FSections) s.reset();
    FBaseTitleStyle.reset();
    FBaseClientStyle.reset();
    FBackground.reset();
    FViews.clear();
    for (auto& axis : FSizes)
        for (auto& list : axis) list.reset();
}

// --- views ---------------------------------------------------------------

void TQvSheet::AddView(IQvSheetView* View) {
    if (View && std::find(FViews.begin(), FViews.end(), View) == FViews.end()) FViews.push_back(View);
}

void TQvSheet::RemoveView(IQvSheetView* View) {
    auto it = std::find(FViews.begin(), FViews.end(), View);
    if (it != FViews.end()) FViews.erase(it);
}

// --- structure -----------------------------------------------------------

namespace {

// A base style keeps a fixed Assigned set: it supplies every property it
// carries. Assigning another set empties Assigned and, the base style being
// silent, records nothing, so the set is put back afterwards.
void AssignBaseStyle(TQvBaseStyle* Target, const TQvBaseStyle* Source) {
    if (!Source || Source == Target) return;
    const TQvProps fixed = Target->Assigned();
    Target->Assign(Source);
    Target->SetAssigned(fixed);
}

}  // namespace

void TQvSheet::SetBaseClientStyle(const TQvBaseStyle* S) { AssignBaseStyle(FBaseClientStyle.get(), S); }

void TQvSheet::SetBaseTitleStyle(const TQvBaseStyle* S) { AssignBaseStyle(FBaseTitleStyle.get(), S); }

void TQvSheet::SetStyler(TQvStyler* S) {
    if (S == FStyler) return;
    // Between two stylers, style assignments travel by name through a scratch
    // stream; saving them also takes every cell's style away.
    std::unique_ptr<TMemoryStream> names;
    if (FStyler && S) {
        names = std::make_unique<TMemoryStream>();
        for (auto& s : FSections) s->SaveStyleNames(*names);
    }
    if (FStyler) {
        if (!S)
            for (auto& s : FSections) s->DetachStyle(nullptr);
        FStyler->RemoveSheet(this);
    }
    FStyler = S;
    if (S) S->AddSheet(this);
    if (names) {
        names->Seek(0, soBeginning);
        for (auto& s : FSections) s->LoadStyleNames(*names);
    }
    names.reset();
    if (OnStylerChanged) OnStylerChanged(this);
}

void TQvSheet::SetBackground(const TPicture* P) { FBackground->Assign(P); }

// --- counts, defaults, maxima --------------------------------------------

// 16,776,960: the lists under a sheet move to their larger page class when
// an index needs it, so every one of them reaches that class's last index.
int32_t TQvSheet::MaxCount() { return TSList::LimitIndex + 1; }

namespace {

// Sizes, cells and lines past the lists' highest index could not be stored:
// a count that reaches there is refused rather than silently half-served.
void CheckCount(TQvAxis Axis, bool Titles, int32_t N) {
    if (N <= TQvSheet::MaxCount()) return;
    const char* noun = Axis == axCols ? (Titles ? "title columns" : "columns") : (Titles ? "title rows" : "rows");
    throw EQvGridError(std::string(Axis == axCols ? (Titles ? "TitleCols " : "ColCount ") : (Titles ? "TitleRows " : "RowCount ")) +
                       std::to_string(N) + ": a sheet holds at most " + std::to_string(TQvSheet::MaxCount()) + " " +
                       noun);
}

}  // namespace

void TQvSheet::SetAxisCount(TQvAxis Axis, int32_t N) {
    N = std::max(0, N);
    CheckCount(Axis, false, N);
    TQvSizeList* list = FSizes[Axis][spClient].get();
    if (N == list->Count()) return;
    list->SetCount(N);
    for (IQvSheetView* v : std::vector<IQvSheetView*>(FViews)) v->UpdateSizes(Axis);
}

void TQvSheet::SetTitleCount(TQvAxis Axis, int32_t N) {
    N = std::max(0, N);
    CheckCount(Axis, true, N);
    TQvSizeList* list = FSizes[Axis][spTitle].get();
    if (N == list->Count()) return;
    list->SetCount(N);
    for (IQvSheetView* v : std::vector<IQvSheetView*>(FViews)) v->UpdateSizes(Axis);
}

void TQvSheet::SetDefSize(TQvAxis Axis, int32_t D) {
    // A negative size has no meaning; 0 hides.
    D = std::max(0, D);
    for (TQvSizePart part : {spTitle, spClient}) {
        TQvSizeList* list = FSizes[Axis][part].get();
        if (list->Default() == D && list->IsEmpty()) continue;
        list->SetDefault(D);
        for (IQvSheetView* v : std::vector<IQvSheetView*>(FViews)) v->UpdateSizes(Axis);
    }
}

void TQvSheet::SetMaxSize(TQvAxis Axis, int32_t M) {
    if (M == FMaxSize[Axis]) return;
    FMaxSize[Axis] = M;
    if (M <= 0) return;
    if (M < FSizes[Axis][spClient]->Default()) {
        SetDefSize(Axis, M);
        return;
    }
    // Entries without an individual size have the default, which is at most
    // M here: only the stored sizes can be too large, however long the axis.
    for (TQvSizePart part : {spTitle, spClient}) {
        const TQvSizeList* list = FSizes[Axis][part].get();
        std::vector<int32_t> tooLarge;
        list->ForEachIn(0, list->Count() - 1, [&](int32_t i, int32_t) {
            if (list->Values(i) > M) tooLarge.push_back(i);
            return false;
        });
        // In sheet index order: the title entries from the outermost in.
        if (part == spTitle) std::reverse(tooLarge.begin(), tooLarge.end());
        for (int32_t i : tooLarge) SetSize(Axis, part == spClient ? i : -1 - i, M);
    }
}

// --- sizes ---------------------------------------------------------------

int32_t TQvSheet::GetSize(TQvAxis Axis, int32_t Index) const {
    if (Index >= 0) return FSizes[Axis][spClient]->Values(Index);
    return FSizes[Axis][spTitle]->Values(-1 - Index);
}

void TQvSheet::SetSize(int32_t Index, TQvAxis Axis, int32_t Size) {
    const TQvSizePart part = Index >= 0 ? spClient : spTitle;
    const int32_t entry = Index >= 0 ? Index : -1 - Index;
    DoSizing(Axis, part, Size, entry);
    TQvSizeList* list = FSizes[Axis][part].get();
    if (entry < list->Count() && list->Values(entry) != Size) {
        list->SetValue(entry, Size);
        NotifySizeChanged(nullptr, Axis, entry, part);
    }
}

void TQvSheet::DoSizing(TQvAxis Axis, TQvSizePart Part, int32_t& Size, int32_t Entry) {
    if (OnSizing) OnSizing(this, Axis, Part == spClient ? Entry : -1 - Entry, Size);
    if (FMaxSize[Axis] >= 1) Size = std::min(Size, FMaxSize[Axis]);
    // A handler may propose anything; a negative size would run positions
    // backwards, so it hides the entry instead.
    Size = std::max(0, Size);
}

void TQvSheet::NotifySizeChanged(IQvSheetView* Except, TQvAxis Axis, int32_t Entry, TQvSizePart Part) {
    for (IQvSheetView* v : std::vector<IQvSheetView*>(FViews))
        if (v != Except) v->ApplySize(Axis, Part, Entry);
}

// --- cells by sheet coordinate -------------------------------------------

TQvSectionKind TQvSheet::MapCoord(int32_t X, int32_t Y, TPoint& Local) const {
    Local = {X, Y};
    if (X < 0) Local.X = X + TitleCols();
    if (Y < 0) Local.Y = Y + TitleRows();
    if (X >= 0) return Y < 0 ? skColTitles : skClient;
    return Y < 0 ? skCorner : skRowTitles;
}

TQvCell* TQvSheet::NeedCell(int32_t X, int32_t Y) {
    TPoint p;
    const TQvSectionKind k = MapCoord(X, Y, p);
    return FSections[k]->NeedCell(p);
}

TQvCell* TQvSheet::FindCell(int32_t X, int32_t Y) const {
    TPoint p;
    const TQvSectionKind k = MapCoord(X, Y, p);
    return FSections[k]->FindCell(p);
}

TVariant TQvSheet::CellValue(int32_t X, int32_t Y) const {
    if (TQvCell* c = FindCell(X, Y)) return c->GetValue();
    return TVariant();
}

void TQvSheet::SetCellValue(int32_t X, int32_t Y, const TVariant& V) {
    if (TQvCell* c = NeedCell(X, Y)) c->SetValue(V);
}

// --- updates and notification --------------------------------------------

void TQvSheet::EndUpdate() {
    // An unbalanced EndUpdate must not push the counter below 0, where a
    // later BeginUpdate would no longer hold repaints back.
    if (FUpdateCount <= 0) return;
    if (--FUpdateCount == 0)
        for (IQvSheetView* v : std::vector<IQvSheetView*>(FViews)) v->InvalidateAll();
}

void TQvSheet::SetModified(bool V) {
    if (V == FModified) return;
    FModified = V;
    if (OnModified) OnModified(this);
}

void TQvSheet::CellReleased(const TQvCell* Cell, bool Destroying) {
    if (!Cell) return;
    for (IQvSheetView* v : std::vector<IQvSheetView*>(FViews)) {
        if (v->EditCell() != Cell) continue;
        if (Destroying) v->EditCellDestroying();
        else v->EndEdit();
    }
}

void TQvSheet::RepaintGrids() {
    for (IQvSheetView* v : std::vector<IQvSheetView*>(FViews)) v->RepaintClient();
}

void TQvSheet::MergeChanged(TQvSectionKind Kind) {
    for (IQvSheetView* v : std::vector<IQvSheetView*>(FViews)) v->MergeChanged(Kind);
}

}  // namespace qv
