// An undo step of one area keeps only what its command changed. Over a
// loaded sheet, whose plain cells are packed and get their formats in place,
// undo and redo must still give back every byte, and leave the cells packed.
#include <gtest/gtest.h>

#include <random>

#include "cells/date_time_cell.h"
#include "cells/double_cell.h"
#include "cells/integer_cell.h"
#include "cells/string_cell.h"
#include "grids/cell_range.h"
#include "grids/packed_count.h"
#include "grids/section.h"
#include "grids/sheet.h"
#include "grids/sheet_snapshot.h"
#include "grids/sheet_stream.h"
#include "grids/style.h"
#include "grids/styler.h"
#include "grids/undo_stack.h"
#include "platform/font.h"
#include "platform/stream.h"

namespace qv {
namespace {

constexpr int32_t Cols = 8, Rows = 300;

using test::PackedCount;

// A sheet as a load brings it: numbers, dates with a format of their own,
// texts, all packed.
void LoadPlainSheet(TQvSheet& S) {
    TQvSheet source;
    source.SetColCount(Cols);
    source.SetRowCount(Rows);
    TQvSection* c = source.Sections(skClient);
    for (int32_t y = 0; y < Rows; ++y) {
        static_cast<TQvCInteger*>(c->NeedCellOfClass({0, y}, TQvCInteger::StaticClass()))->SetAsInteger(y);
        c->NeedCellOfClass({1, y}, TQvCDouble::StaticClass())->SetAsFloat(y / 7.0);
        TQvCell* date = c->NeedCellOfClass({2, y}, TQvCDateTime::StaticClass());
        date->SetAsFloat(45000 + y);
        date->SetFormat("YYYY-MM-DD");
        for (int32_t x = 3; x < Cols - 1; ++x)
            c->NeedCellOfClass({x, y}, TQvCString::StaticClass())->SetAsString("r" + std::to_string(y * x));
    }
    TMemoryStream m;
    WriteSheetPayload(source, m);
    S.SetColCount(Cols);
    S.SetRowCount(Rows);
    m.SetPosition(0);
    ReadSheetData(S, m);
}

TQvSheetSnapshot State(TQvSheet& S) { return TakeSnapshot(S); }

TEST(AreaChange, StepsOverPackedCellsKeepWhatChangedAndPutBackEveryByte) {
    TQvStyler styler;
    TQvSheet s;
    s.SetStyler(&styler);
    TQvStyle* total = styler.AddStyle("Total");
    total->Font()->SetStyle({fsItalic});
    LoadPlainSheet(s);
    const size_t packed = PackedCount(s);
    ASSERT_EQ(packed, size_t(Rows) * (Cols - 1));
    TQvUndoStack& stack = s.UndoStack();
    stack.SetLimit(1000);

    // Bold on a whole column: the cells stay packed, and the step costs a
    // few bytes a cell.
    const size_t b0 = stack.Bytes();
    const TQvSheetSnapshot plain = State(s);
    {
        const TRect column{3, 0, 4, Rows};
        TQvUndoStep step(&s, "Bold", skClient, {column});
        TQvCellRange(s, column)->Font()->SetStyle(TFontStyles{fsBold});
    }
    // The range read its top-left cell, and the lookup makes one more object.
    EXPECT_TRUE(s.FindCell(3, 7)->Font()->Style().Contains(fsBold));
    EXPECT_EQ(PackedCount(s), packed - 2);
    EXPECT_LT(double(stack.Bytes() - b0), 16.0 * Rows + 512);
    ASSERT_TRUE(stack.Undo());
    EXPECT_EQ(State(s), plain);
    EXPECT_EQ(PackedCount(s), packed);
    EXPECT_FALSE(s.FindCell(3, 8)->Font()->Style().Contains(fsBold));
    stack.Clear();

    // A seeded run of formatting, values, clears and styles, each one area
    // step, undone and redone to every state.
    std::mt19937 rng(20261211);
    const auto pick = [&](int N) { return static_cast<int>(rng() % static_cast<unsigned>(N)); };
    std::vector<TQvSheetSnapshot> states{State(s)};
    std::vector<int> actions, stateAction{-1};
    for (int i = 0; i < 120; ++i) {
        const int32_t x = pick(Cols), y = pick(Rows);
        const TRect r{x, y, std::min(Cols, x + 1 + pick(4)), std::min(Rows, y + 1 + pick(60))};
        {
            TQvUndoStep step(&s, "step", skClient, {r});
            TQvCellRange range(s, r);
            const int action = pick(9);
            actions.push_back(action);
            switch (action) {
                case 0: range->Font()->SetStyle(pick(2) ? TFontStyles{fsBold} : TFontStyles{fsUnderline}); break;
                case 1: range->Font()->SetSize(8 + pick(8)); break;
                case 2: range->SetHAlign(static_cast<uint8_t>(pick(3))); break;
                case 3: range->SetColor(pick(2) ? clYellow : clNone); break;
                case 4: range->SetBorder(pick(6), {static_cast<uint8_t>(1 + pick(3)), clRed}); break;
                case 5: ApplyStyle(range.Range(), pick(2) ? total : nullptr); break;
                case 6: range->SetValue(TVariant(std::to_string(pick(1000)))); break;
                case 7: range->Clear(); break;
                default: s.NeedCell(x, y)->SetHint(pick(2) ? "note" : ""); break;
            }
        }
        if (!(State(s) == states.back())) {
            states.push_back(State(s));
            stateAction.push_back(actions.back());
        }
        ASSERT_EQ(stack.Count(), static_cast<int>(states.size()) - 1) << "step " << i;
        ASSERT_EQ(s.Sections(skClient)->CheckIntegrity(), "") << "step " << i;
        // The digest taken without a record is the record's.
        EXPECT_EQ(TQvAreaSnapshot::DigestOf(s, skClient, r), TQvAreaSnapshot(s, skClient, r).Digest());
    }
    ASSERT_GT(states.size(), 80u);
    for (size_t i = states.size() - 1; i > 0; --i) {
        ASSERT_TRUE(stack.Undo()) << "undo to state " << i - 1;
        ASSERT_EQ(State(s), states[i - 1]) << "undo to state " << i - 1 << " action " << stateAction[i];
        ASSERT_EQ(s.Sections(skClient)->CheckIntegrity(), "");
    }
    for (size_t i = 1; i < states.size(); ++i) {
        ASSERT_TRUE(stack.Redo()) << "redo to state " << i;
        ASSERT_EQ(State(s), states[i]) << "redo to state " << i << " action " << stateAction[i];
    }
    s.SetStyler(nullptr);
}

TEST(AreaChange, AChangeMadeOutsideTheStepsClearsTheStackInsteadOfLosingIt) {
    TQvSheet s;
    LoadPlainSheet(s);
    TQvUndoStack& stack = s.UndoStack();
    const TRect block{0, 0, 3, 50};
    {
        TQvUndoStep step(&s, "Bold", skClient, {block});
        TQvCellRange(s, block)->Font()->SetStyle(TFontStyles{fsBold});
    }
    ASSERT_TRUE(stack.IsAreaStep(0));
    // Program code changes one of the step's cells without a step.
    s.FindCell(1, 20)->SetAsFloat(-1);
    EXPECT_FALSE(stack.Undo());
    EXPECT_EQ(stack.Count(), 0);
    EXPECT_EQ(s.FindCell(1, 20)->AsFloat(), -1);
    EXPECT_TRUE(s.FindCell(1, 21)->Font()->Style().Contains(fsBold));
}

}  // namespace
}  // namespace qv
