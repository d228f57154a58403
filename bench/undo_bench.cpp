// Recording a typed value as an undo step, beside the peer a C++ user would
// pick: Qt's QUndoStack with a command that keeps the old and new value of
// a QStandardItemModel item. Both models hold Filled values in a 50 x N
// table; each iteration types one value as one step. The memory counters
// give the bytes each recorded step holds. A formatting step is measured
// too: as a sheet step (snapshots of the whole sheet) and as the area step
// the designer records (the cell alone), up to a sheet of a million cells;
// and what the area record of a million cells holds beside the bytes the
// sheet stream writes for them.
#include <benchmark/benchmark.h>

#include <QStandardItem>
#include <QStandardItemModel>
#include <QUndoCommand>
#include <QUndoStack>

#include "grids/cell.h"
#include "grids/sheet.h"
#include "grids/sheet_snapshot.h"
#include "grids/undo_stack.h"
#include "platform/font.h"

using namespace qv;

namespace {

constexpr int Cols = 50;

class TSetData : public QUndoCommand {
public:
    TSetData(QStandardItemModel& M, int Row, int Col, QVariant Value)
        : FModel(M), FRow(Row), FCol(Col), FNew(std::move(Value)), FOld(M.data(M.index(Row, Col))) {}
    void redo() override { FModel.setData(FModel.index(FRow, FCol), FNew); }
    void undo() override { FModel.setData(FModel.index(FRow, FCol), FOld); }

private:
    QStandardItemModel& FModel;
    int FRow, FCol;
    QVariant FNew, FOld;
};

// Filled values in a 50-column sheet and room for every step the run takes.
void Fill(TQvSheet& Sheet, int Filled) {
    Sheet.SetColCount(Cols);
    Sheet.SetRowCount(Filled / Cols + 1);
    for (int i = 0; i < Filled; ++i) Sheet.NeedCell(i % Cols, i / Cols)->SetAsString("value " + std::to_string(i));
    Sheet.UndoStack().SetLimit(1 << 20);
}

void SheetTypedValue(benchmark::State& State) {
    TQvSheet sheet;
    Fill(sheet, static_cast<int>(State.range(0)));
    TQvUndoStack& stack = sheet.UndoStack();
    int64_t n = 0;
    for (auto _ : State) {
        // As the grid records a typed value: a step of the one cell.
        TQvCell* cell = sheet.NeedCell(static_cast<int>(n % Cols), 0);
        TQvCellUndoStep step(cell, "Typing");
        cell->SetAsString("typed " + std::to_string(n));
        ++n;
    }
    State.counters["bytes_per_step"] = double(stack.Bytes()) / double(std::max(1, stack.Count()));
}

void PeerTypedValue(benchmark::State& State) {
    const int filled = static_cast<int>(State.range(0));
    QStandardItemModel model(filled / Cols + 1, Cols);
    for (int i = 0; i < filled; ++i)
        model.setItem(i / Cols, i % Cols, new QStandardItem(QString("value %1").arg(i)));
    QUndoStack stack;
    int64_t n = 0;
    for (auto _ : State) {
        stack.push(new TSetData(model, 0, static_cast<int>(n % Cols), QString("typed %1").arg(n)));
        ++n;
    }
    // The command object, its two variants and the strings they hold.
    State.counters["bytes_per_step"] = double(sizeof(TSetData) + 2 * (sizeof(QVariant) + 32));
}

}  // namespace

// A formatting step on a sheet keeps a snapshot before and after it.
void SheetFormatStep(benchmark::State& State) {
    TQvSheet sheet;
    Fill(sheet, static_cast<int>(State.range(0)));
    TQvUndoStack& stack = sheet.UndoStack();
    int64_t n = 0;
    for (auto _ : State) {
        TQvUndoStep step(&sheet, "Fill");
        sheet.NeedCell(static_cast<int>(n % Cols), 0)->SetColor(n % 2 ? clYellow : clAqua);
        ++n;
    }
    State.counters["bytes_per_step"] = double(stack.Bytes()) / double(std::max(1, stack.Count()));
}

// The same step as the designer records it: an area step of the cell, which
// costs the cell whatever the sheet holds.
void SheetAreaFormatStep(benchmark::State& State) {
    TQvSheet sheet;
    Fill(sheet, static_cast<int>(State.range(0)));
    TQvUndoStack& stack = sheet.UndoStack();
    int64_t n = 0;
    for (auto _ : State) {
        const int x = static_cast<int>(n % Cols);
        TQvUndoStep step(&sheet, "Fill", skClient, {{x, 0, x + 1, 1}});
        sheet.NeedCell(x, 0)->SetColor(n % 2 ? clYellow : clAqua);
        ++n;
    }
    State.counters["bytes_per_step"] = double(stack.Bytes()) / double(std::max(1, stack.Count()));
}

// Undo and redo of such a step, one pair per iteration.
void SheetAreaFormatUndoRedo(benchmark::State& State) {
    TQvSheet sheet;
    Fill(sheet, static_cast<int>(State.range(0)));
    {
        TQvUndoStep step(&sheet, "Bold", skClient, {{7, 7, 8, 8}});
        sheet.NeedCell(7, 7)->Font()->SetStyle(TFontStyles{fsBold});
    }
    TQvUndoStack& stack = sheet.UndoStack();
    for (auto _ : State) {
        if (!stack.Undo() || !stack.Redo()) State.SkipWithError("the step was lost");
    }
}

// The area record of every cell beside what the sheet stream writes.
void AreaRecordOfAllCells(benchmark::State& State) {
    TQvSheet sheet;
    const int filled = static_cast<int>(State.range(0));
    Fill(sheet, filled);
    const size_t stream = TakeSnapshot(sheet).Data.size();
    size_t bytes = 0;
    for (auto _ : State) {
        TQvAreaSnapshot record(sheet, skClient, {0, 0, sheet.ColCount(), sheet.RowCount()});
        bytes = record.Bytes();
        benchmark::DoNotOptimize(bytes);
    }
    State.counters["record_bytes_per_cell"] = double(bytes) / filled;
    State.counters["stream_bytes_per_cell"] = double(stream) / filled;
}

BENCHMARK(SheetTypedValue)->Arg(100)->Arg(2500)->Arg(25000)->Unit(benchmark::kMicrosecond)->Iterations(200);
BENCHMARK(SheetFormatStep)->Arg(100)->Arg(2500)->Arg(25000)->Unit(benchmark::kMicrosecond)->Iterations(50);
BENCHMARK(SheetFormatStep)->Arg(1000000)->Unit(benchmark::kMicrosecond)->Iterations(5);
BENCHMARK(SheetAreaFormatStep)->Arg(100)->Arg(25000)->Arg(1000000)->Unit(benchmark::kMicrosecond)->Iterations(200);
BENCHMARK(SheetAreaFormatUndoRedo)->Arg(1000000)->Unit(benchmark::kMicrosecond)->Iterations(200);
BENCHMARK(AreaRecordOfAllCells)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(PeerTypedValue)->Arg(100)->Arg(2500)->Arg(25000)->Unit(benchmark::kMicrosecond)->Iterations(200);
BENCHMARK_MAIN();
