// The grid's clipboard: copy, cut and paste of the active pane's selection
// through the system clipboard; and undo and redo of the sheet's steps.
#include <QByteArray>
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <algorithm>
#include <memory>
#include <optional>

#include "cells/picture_cell.h"
#include "cells/strings_cell.h"
#include "exchange/range_record.h"
#include "exchange/text_table.h"
#include "grids/section.h"
#include "grids/selection.h"
#include "grids/undo_stack.h"
#include "platform/exceptions.h"
#include "view/grid.h"

namespace qv {

namespace {

// The selected cells of a pane, within the counts (a whole-row selection
// reaches past them).
bool SelectedCells(const TQvView* Pane, TRect& R) {
    if (!Pane || !Pane->Section()) return false;
    R = Pane->SelRect();
    if (R.IsEmpty()) {
        const TPoint c = Pane->Current();
        R = {c.X, c.Y, c.X + 1, c.Y + 1};
    }
    R = R.Intersected({0, 0, Pane->ColCount(), Pane->RowCount()});
    return !R.IsEmpty();
}

QClipboard* Clipboard() { return QGuiApplication::clipboard(); }

// Larger copies carry no HTML table: no document shows one that size.
constexpr int64_t HtmlMaxCells = int64_t(1) << 20;

// A cell's value cleared, its format and look kept. A pick list keeps its
// items and selects none; a picture cell keeps its picture, which Cut
// removes with the cell.
void ClearValue(TQvCell& Cell) {
    if (auto* list = dynamic_cast<TQvCStrings*>(&Cell)) list->SetAsInteger(-1);
    else if (!dynamic_cast<TQvCPicture*>(&Cell)) Cell.SetValue(TVariant());
}

}  // namespace

bool TQvGrid::CopyToClipboard() {
    TRect r;
    if (!FSheet || !SelectedCells(FActiveView, r) || !Clipboard()) return false;
    const TQvSectionKind kind = FActiveView->Kind();
    // Everything is built before the clipboard changes: a copy that fails
    // leaves what was there.
    std::unique_ptr<QMimeData> data;
    try {
        const std::string record = RangeRecordBytes(*FSheet, kind, r);
        data = std::make_unique<QMimeData>();
        data->setText(QString::fromStdString(RangeToTabText(*FSheet, kind, r)));
        // The look travels for what a person would paste into a document.
        if (int64_t(r.Width()) * r.Height() <= HtmlMaxCells)
            data->setHtml(QString::fromStdString(RangeToHtml(*FSheet, kind, r)));
        data->setData(RangeMimeType, QByteArray(record.data(), static_cast<qsizetype>(record.size())));
    } catch (const std::exception& e) {
        ReportFailure("Copying the cells", e);
        return false;
    }
    Clipboard()->setMimeData(data.release());
    return true;
}

bool TQvGrid::ClearValues() {
    TRect r;
    if (!FSheet || !FActiveView) return false;
    if (FSheet->ReadOnly() || HasOption(oReadOnly)) {
        if (OnStatus) OnStatus(this, "The sheet is read-only: nothing was cleared.");
        return false;
    }
    if (!SelectedCells(FActiveView, r)) return false;
    EndEdit();
    int kept = 0;
    try {
        // Only the values of cells stored inside r change.
        TQvUndoStep step(FSheet, "Clear", FActiveView->Section()->Kind(), {r});
        FActiveView->Section()->ForEachCell(r, false, [&](TQvCell* Cell, bool&) {
            if (Cell->Protected()) ++kept;
            else ClearValue(*Cell);
        });
    } catch (const std::exception& e) {
        ReportFailure("Clearing the cells", e);
    }
    if (kept > 0 && OnStatus)
        OnStatus(this, std::to_string(kept) + (kept == 1 ? " protected cell was" : " protected cells were") +
                           " not cleared.");
    ReopenPermanentEditor();
    return true;
}

void TQvGrid::SelectAllCells() {
    TQvView* pane = FActiveView;
    if (!pane || !pane->Section() || !HasOption(oRangeSelect) || pane->ColCount() <= 0 || pane->RowCount() <= 0)
        return;
    pane->SelectRect({0, 0, pane->ColCount(), pane->RowCount()});
}

bool TQvGrid::CutToClipboard() {
    if (!FSheet || !FActiveView) return false;
    if (FSheet->ReadOnly() || HasOption(oReadOnly)) {
        if (OnStatus) OnStatus(this, "The sheet is read-only: nothing was cut.");
        return false;
    }
    EndEdit();
    if (!CopyToClipboard()) return false;
    try {
        // Clearing releases the cells of the selection's rectangle only.
        TQvSelection* sel = Selection();
        if (sel && sel->Section()) {
            TQvUndoStep step(FSheet, "Cut", sel->Section()->Kind(), {sel->GetRect()});
            sel->Clear();
        }
    } catch (const std::exception& e) {
        ReportFailure("Cutting the cells", e);
    }
    ReopenPermanentEditor();
    return true;
}

bool TQvGrid::CanPaste() const {
    if (!FSheet || FSheet->ReadOnly() || HasOption(oReadOnly) || !FActiveView || !FActiveView->Section())
        return false;
    const QMimeData* data = Clipboard() ? Clipboard()->mimeData() : nullptr;
    return data && (data->hasFormat(RangeMimeType) || data->hasText() || data->hasHtml());
}

TQvPasteResult TQvGrid::PasteFromClipboard() {
    TQvPasteResult result;
    const auto status = [&](const std::string& Text) {
        if (OnStatus && !Text.empty()) OnStatus(this, Text);
    };
    if (!FSheet || !FActiveView || !FActiveView->Section()) return result;
    if (FSheet->ReadOnly() || HasOption(oReadOnly)) {
        status("The sheet is read-only: nothing was pasted.");
        return result;
    }
    const QMimeData* data = Clipboard() ? Clipboard()->mimeData() : nullptr;
    if (!data) return result;
    TRect sel;
    if (!SelectedCells(FActiveView, sel)) return result;
    EndEdit();
    TQvView* pane = FActiveView;
    const TQvSectionKind kind = pane->Kind();
    const TPoint at = sel.TopLeft();

    std::string failure;
    bool done = false;
    // The step is taken inside the guard too: its snapshot may not fit.
    std::optional<TQvUndoStep> step;
    try {
        step.emplace(FSheet, "Paste");
        if (data->hasFormat(RangeMimeType)) {
            const QByteArray bytes = data->data(RangeMimeType);
            // Read whole before anything is written: a damaged record
            // changes nothing, and the plain text is taken instead.
            try {
                const auto range = TQvRangeData::FromBytes(std::string(bytes.constData(), bytes.size()));
                result = range->Paste(*FSheet, kind, at);
                done = true;
            } catch (const EReadError& e) {
                failure = "The copied cells could not be read (" + e.Message() + ")";
            }
        }
        if (!done && data->hasText()) {
            result = PasteTextTable(ParseTabText(data->text().toStdString()), *FSheet, kind, at);
            done = true;
        } else if (!done && data->hasHtml()) {
            result = PasteTextTable(ParseHtmlTable(data->html().toStdString()), *FSheet, kind, at);
            done = true;
        }
    } catch (const std::exception& e) {
        // Out of memory included: the readers leave the sheet as it was.
        ReportFailure("Pasting", e);
        ReopenPermanentEditor();
        return {};
    }
    if (!failure.empty()) failure += done ? "; their text was pasted instead." : "; nothing was pasted.";

    // The pasted area becomes the selection, its top-left the current cell.
    if (!result.Area.IsEmpty() && pane == FActiveView) {
        pane->SetCurrent(result.Area.TopLeft(), true, true);
        pane->SelectRect(result.Area);
    }
    std::string text = failure;
    if (const std::string m = result.Message(); !m.empty()) text += (text.empty() ? "" : " ") + m;
    status(text);
    ReopenPermanentEditor();
    return result;
}

// Undo and redo live here beside paste and cut, the other commands that
// change a whole area at once.
bool TQvGrid::StepUndo(bool Redo) {
    if (!FSheet) return false;
    // An editor counts only when something was typed into it: one that
    // still shows the cell as it arrived (a permanent editor moving along)
    // gives way.
    if (Editing()) {
        if (!FEnterMode || !FReplaceOnType) return false;
        EndEdit();
    }
    TQvView* pane = FActiveView;
    const TPoint current = pane ? pane->Current() : TPoint{};
    const TRect sel = pane ? pane->SelRect() : TRect{};
    TQvUndoStack& stack = FSheet->UndoStack();
    const bool done = Redo ? stack.Redo() : stack.Undo();
    // Putting back a sheet resets the panes; the selection returns, within
    // the counts that hold now.
    if (pane && pane->Section() && FActiveView == pane) {
        const int32_t w = pane->ColCount(), h = pane->RowCount();
        if (w > 0 && h > 0) {
            const TPoint c{std::min(current.X, w - 1), std::min(current.Y, h - 1)};
            pane->SetCurrent(c, true, true);
            const TRect r{std::min(sel.Left, w - 1), std::min(sel.Top, h - 1), std::min(sel.Right, w),
                          std::min(sel.Bottom, h)};
            if (!r.IsEmpty() && r.Contains(c)) pane->SelectRect(r);
        }
        // A step that put back only its area leaves the panes as they were,
        // so the selection reads its cells again: it shows what they hold
        // now, not what they held before the undo.
        if (done)
            if (TQvSelection* s = pane->Selection()) s->Load();
    }
    return done;
}

bool TQvGrid::Undo() { return StepUndo(false); }

bool TQvGrid::Redo() { return StepUndo(true); }

}  // namespace qv
