// Undo and redo give back exactly the earlier sheets: a long seeded run of
// the actions a person takes, each one step, compared byte for byte.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <random>

#include "grids/cell.h"
#include "grids/cell_range.h"
#include "grids/sheet.h"
#include "grids/sheet_snapshot.h"
#include "grids/style.h"
#include "grids/styler.h"
#include "grids/undo_stack.h"
#include "platform/font.h"
#include "platform/stream.h"

using namespace qv;

namespace {

std::string Bytes(TQvSheet& S) {
    TMemoryStream m;
    S.SaveToStream(m);
    return m.Bytes();
}

// Equal sheets, or where the first difference lies (the bytes are long).
::testing::AssertionResult SameSheet(const std::string& A, const std::string& B) {
    if (A == B) return ::testing::AssertionSuccess();
    size_t i = 0;
    while (i < A.size() && i < B.size() && A[i] == B[i]) ++i;
    size_t j = 0;
    while (j < A.size() && j < B.size() && A[A.size() - 1 - j] == B[B.size() - 1 - j]) ++j;
    return ::testing::AssertionFailure() << "sizes " << A.size() << " and " << B.size() << ", first difference at byte "
                                         << i << ", last " << j << " bytes from the end";
}

// One user action on a random rectangle of a 12 x 12 sheet.
void RandomAction(TQvSheet& S, std::mt19937& Rng) {
    auto pick = [&](int N) { return static_cast<int>(Rng() % static_cast<unsigned>(N)); };
    const int x = pick(10), y = pick(10);
    const TRect r{x, y, x + 1 + pick(3), y + 1 + pick(3)};
    const TQvSectionKind kind = pick(6) == 0 ? skColTitles : skClient;
    TQvCellRange range(S, kind == skClient ? r : TRect{r.Left, 0, r.Right, 1}, kind);
    switch (pick(11)) {
        case 0: range->SetValue(TVariant(std::to_string(pick(1000)))); break;
        case 1: range->SetColor(pick(2) ? clYellow : clNone); break;
        case 2: range->SetBorder(pick(8), {static_cast<uint8_t>(pick(4)), pick(2) ? clRed : clBlue}); break;
        case 3: range->Font()->SetStyle(pick(2) ? TFontStyles{fsBold} : TFontStyles{}); break;
        case 4: range->Merge(); break;
        case 5: range->Split(); break;
        case 6: range->Clear(); break;
        case 7: S.SetSize(pick(12), pick(2) ? axCols : axRows, 5 + pick(40)); break;
        case 8: S.NeedCell(x, y)->SetHint(pick(2) ? "note" : ""); break;
        case 9: range->SetHAlign(static_cast<uint8_t>(pick(3))); break;
        default: range->SetFrame(static_cast<uint8_t>(pick(7))); break;
    }
}

TEST(UndoStack, UndoAndRedoGiveBackEverySheetExactly) {
    TQvSheet s;
    s.SetColCount(12);
    s.SetRowCount(12);
    TQvUndoStack& stack = s.UndoStack();
    stack.SetLimit(1000);
    std::mt19937 rng(20261209);
    std::vector<std::string> states{Bytes(s)};
    for (int i = 0; i < 400; ++i) {
        // Typed values into existing cells are cell steps; the rest snapshots.
        TQvCell* typed = rng() % 4 == 0 ? s.FindCell(static_cast<int>(rng() % 10), static_cast<int>(rng() % 10)) : nullptr;
        if (typed) {
            TQvCellUndoStep step(typed, "Typing");
            typed->SetAsString("typed " + std::to_string(i));
        } else {
            stack.BeginStep("step " + std::to_string(i));
            RandomAction(s, rng);
            stack.EndStep();
        }
        const std::string now = Bytes(s);
        // A step that changed nothing is not recorded.
        if (now != states.back()) states.push_back(now);
        ASSERT_EQ(stack.Count(), static_cast<int>(states.size()) - 1) << i;
    }
    for (size_t i = states.size() - 1; i > 0; --i) {
        ASSERT_TRUE(stack.Undo());
        ASSERT_TRUE(SameSheet(Bytes(s), states[i - 1])) << "undo to state " << i - 1;
    }
    EXPECT_FALSE(stack.Undo());
    for (size_t i = 1; i < states.size(); ++i) {
        ASSERT_TRUE(stack.Redo());
        ASSERT_TRUE(SameSheet(Bytes(s), states[i])) << "redo to state " << i;
    }
    EXPECT_FALSE(stack.Redo());
}

TEST(UndoStack, StepsNestLimitAndKeepTheCleanState) {
    TQvSheet s;
    TQvUndoStack& stack = s.UndoStack();
    stack.SetLimit(2);
    EXPECT_TRUE(stack.IsClean());
    stack.BeginStep("outer");
    stack.BeginStep("inner");
    s.NeedCell(0, 0)->SetAsString("a");
    stack.EndStep();
    EXPECT_EQ(stack.Count(), 0);  // only the outermost step records
    s.NeedCell(1, 0)->SetAsString("b");
    stack.EndStep();
    EXPECT_EQ(stack.Count(), 1);
    EXPECT_EQ(stack.UndoText(), "outer");
    EXPECT_FALSE(stack.IsClean());
    for (const char* v : {"c", "d"}) {
        stack.BeginStep(v);
        s.NeedCell(2, 0)->SetAsString(v);
        stack.EndStep();
    }
    EXPECT_EQ(stack.Count(), 2);  // the oldest went
    stack.SetClean();
    EXPECT_TRUE(stack.Undo());
    EXPECT_FALSE(stack.IsClean());
    EXPECT_TRUE(stack.Redo());
    EXPECT_TRUE(stack.IsClean());
    // A new step after an undo drops what could have been redone.
    stack.Undo();
    stack.BeginStep("e");
    s.NeedCell(3, 0)->SetAsString("e");
    stack.EndStep();
    EXPECT_FALSE(stack.CanRedo());
    EXPECT_FALSE(stack.IsClean());
}

TEST(UndoStack, ProgramChangesOutsideTheStepsAreNeverLost) {
    TQvSheet s;
    TQvUndoStack& stack = s.UndoStack();
    stack.BeginStep("typing");
    s.NeedCell(0, 0)->SetAsString("typed");
    stack.EndStep();
    // The program writes without a step; undoing now would lose it.
    s.NeedCell(4, 4)->SetAsString("program");
    EXPECT_FALSE(stack.Undo());
    EXPECT_EQ(stack.Count(), 0);
    EXPECT_EQ(s.FindCell(4, 4)->GetText(), "program");
    EXPECT_EQ(s.FindCell(0, 0)->GetText(), "typed");
}

// The sheet as undo must give it back: the snapshot bytes and which style
// each cell uses (the bytes leave styles out).
std::string State(TQvSheet& S) {
    const TQvSheetSnapshot snap = TakeSnapshot(S);
    std::string s = snap.Data + "|" + std::to_string(snap.ColCount) + "," + std::to_string(snap.RowCount) + "," +
                    std::to_string(snap.TitleCols) + "," + std::to_string(snap.TitleRows);
    for (TQvSectionKind k : AllSectionKinds)
        S.Sections(k)->ForAllCells([&](TQvCell* C) {
            if (C->GetStyle()) s += "|" + C->GetStyle()->Name() + "@" + C->GetNamePath();
            if (C->HasState(psError)) s += "|error@" + C->GetNamePath();
        });
    return s;
}

// What a formatting or clearing command does to the selection R: it
// writes nothing outside R and the ranges R meets.
void FormatArea(TQvSheet& S, TQvSectionKind Kind, const TRect& R, std::mt19937& Rng) {
    auto pick = [&](int N) { return static_cast<int>(Rng() % static_cast<unsigned>(N)); };
    TQvCellRange range(S, R, Kind);
    switch (pick(10)) {
        case 0: range->SetValue(TVariant(std::to_string(pick(1000)))); break;
        case 1: range->SetColor(pick(2) ? clYellow : clNone); break;
        case 2: range->SetBorder(pick(8), {static_cast<uint8_t>(pick(4)), pick(2) ? clRed : clBlue}); break;
        case 3: range->Font()->SetStyle(pick(2) ? TFontStyles{fsBold} : TFontStyles{}); break;
        case 4: range->Clear(); break;
        case 5: range->SetHAlign(static_cast<uint8_t>(pick(3))); break;
        case 6: range->SetFrame(static_cast<uint8_t>(pick(7))); break;
        case 7: ApplyStyle(range.Range(), pick(3) ? S.Styler()->Styles(pick(2)) : nullptr); break;
        case 8: range->ClearHints(); break;
        default: range->SetProtected(pick(2) == 0); break;
    }
}

TEST(UndoStack, AreaAndSheetStepsUndoAndRedoToEverySavedState) {
    TQvStyler styler;
    TQvSheet s;
    s.SetStyler(&styler);
    TQvStyle* boxed = styler.AddStyle("Boxed");
    boxed->SetColor(clAqua);
    boxed->SetBorder(liLeft, {1, clGreen});
    styler.AddStyle("Plain")->SetHAlign(2);
    s.SetColCount(14);
    s.SetRowCount(14);
    s.SetTitleRows(1);
    TQvUndoStack& stack = s.UndoStack();
    stack.SetLimit(1000);
    std::mt19937 rng(20261210);
    auto pick = [&](int N) { return static_cast<int>(rng() % static_cast<unsigned>(N)); };
    auto rect = [&](TQvSectionKind Kind) {
        const int x = pick(12), y = Kind == skClient ? pick(12) : 0;
        return TRect{x, y, x + 1 + pick(3), Kind == skClient ? y + 1 + pick(3) : 1};
    };
    std::vector<std::string> states{State(s)};
    std::vector<int> actions{-1};
    int areaSteps = 0;
    for (int i = 0; i < 500; ++i) {
        const TQvSectionKind kind = pick(8) == 0 ? skColTitles : skClient;
        const TRect r = rect(kind);
        const std::string name = "step " + std::to_string(i);
        const int action = pick(8);
        switch (action) {
            case 0:  // a sheet step: ranges, sizes, anything
                stack.BeginStep(name);
                RandomAction(s, rng);
                stack.EndStep();
                break;
            case 1: {  // an area step holding a second, overlapping one
                TQvUndoStep outer(&s, name, kind, {r});
                FormatArea(s, kind, r, rng);
                const TRect inner =
                    r.Offset(pick(3) - 1, kind == skClient ? pick(3) - 1 : 0).Intersected({0, 0, 14, 14});
                TQvUndoStep step(&s, "inner", kind, {inner});
                FormatArea(s, kind, inner, rng);
                break;
            }
            case 2: {  // an area step that turns out to need the sheet
                TQvUndoStep outer(&s, name, kind, {r});
                FormatArea(s, kind, r, rng);
                TQvUndoStep step(&s, "inner");
                RandomAction(s, rng);
                break;
            }
            case 3: {  // a value typed into another cell inside an area step
                TQvUndoStep outer(&s, name, kind, {r});
                FormatArea(s, kind, r, rng);
                const int x = pick(12), y = 1 + pick(11);
                const bool created = !s.FindCell(x, y);
                if (TQvCell* c = s.NeedCell(x, y)) {
                    TQvCellUndoStep typing(c, "Typing", created);
                    c->SetAsString("typed " + std::to_string(i));
                    c->IncludeState(psError);
                }
                break;
            }
            default: {
                TQvUndoStep step(&s, name, kind, {r});
                FormatArea(s, kind, r, rng);
            }
        }
        const std::string now = State(s);
        if (now != states.back()) {
            states.push_back(now);
            actions.push_back(action);
            areaSteps += stack.IsAreaStep(stack.Count() - 1) ? 1 : 0;
        }
        ASSERT_EQ(stack.Count(), static_cast<int>(states.size()) - 1) << i << " action " << action;
        ASSERT_EQ(s.Sections(skClient)->CheckIntegrity(), "") << i;
    }
    EXPECT_GT(areaSteps, 200);
    for (size_t i = states.size() - 1; i > 0; --i) {
        ASSERT_TRUE(stack.Undo()) << "undo to state " << i - 1;
        ASSERT_TRUE(SameSheet(State(s), states[i - 1])) << "undo to state " << i - 1 << " action " << actions[i];
        ASSERT_EQ(s.Sections(skClient)->CheckIntegrity() + s.Sections(skColTitles)->CheckIntegrity(), "");
    }
    EXPECT_FALSE(stack.Undo());
    for (size_t i = 1; i < states.size(); ++i) {
        ASSERT_TRUE(stack.Redo()) << "redo to state " << i;
        ASSERT_TRUE(SameSheet(State(s), states[i])) << "redo to state " << i << " action " << actions[i];
        ASSERT_EQ(s.Sections(skClient)->CheckIntegrity() + s.Sections(skColTitles)->CheckIntegrity(), "");
    }
    EXPECT_FALSE(stack.Redo());
    s.SetStyler(nullptr);
}

TEST(UndoStack, AnAreaStepChecksOnlyItsAreaAndFallsBackToTheSheet) {
    TQvSheet s;
    s.SetColCount(10);
    s.SetRowCount(10);
    TQvUndoStack& stack = s.UndoStack();
    {
        TQvUndoStep step(&s, "Fill", skClient, {{1, 1, 3, 3}});
        TQvCellRange(s, {1, 1, 3, 3})->SetColor(clYellow);
    }
    ASSERT_TRUE(stack.IsAreaStep(0));
    // A program change outside the area survives the undo; one inside it
    // stops the undo and clears the stack.
    s.NeedCell(8, 8)->SetAsString("program");
    ASSERT_TRUE(stack.Undo());
    EXPECT_EQ(s.FindCell(8, 8)->GetText(), "program");
    ASSERT_TRUE(stack.Redo());
    s.NeedCell(2, 2)->SetAsString("inside");
    EXPECT_FALSE(stack.Undo());
    EXPECT_EQ(stack.Count(), 0);
    EXPECT_EQ(s.FindCell(2, 2)->GetText(), "inside");

    // A command that merges after all is kept as a sheet step.
    s.Sections(skClient)->FreeCells({0, 0, 10, 10});
    TQvCellRange(s, {0, 0, 10, 10})->SetColor(clNone);
    stack.Clear();
    const std::string before = State(s);
    {
        TQvUndoStep step(&s, "Merge", skClient, {{4, 4, 6, 6}});
        s.NeedCell(4, 4)->SetAsString("merged");
        TQvCellRange(s, {4, 4, 6, 6})->Merge();
    }
    const std::string after = State(s);
    ASSERT_EQ(stack.Count(), 1);
    EXPECT_FALSE(stack.IsAreaStep(0));
    ASSERT_TRUE(stack.Undo());
    EXPECT_TRUE(SameSheet(State(s), before));
    ASSERT_TRUE(stack.Redo());
    EXPECT_TRUE(SameSheet(State(s), after));
}

TEST(UndoStack, AOneCellStepOnAMillionCellSheetCostsTheCell) {
    TQvSheet s;
    s.SetColCount(1000);
    s.SetRowCount(1000);
    for (int y = 0; y < 1000; ++y)
        for (int x = 0; x < 1000; ++x) s.NeedCell(x, y)->SetAsInteger(x + y);
    TQvUndoStack& stack = s.UndoStack();
    const TRect one{500, 500, 501, 501};
    const auto start = std::chrono::steady_clock::now();
    {
        TQvUndoStep step(&s, "Bold", skClient, {one});
        TQvCellRange(s, one)->Font()->SetStyle(TFontStyles{fsBold});
    }
    ASSERT_TRUE(stack.Undo());
    EXPECT_FALSE(s.FindCell(500, 500)->Font()->Style().Contains(fsBold));
    ASSERT_TRUE(stack.Redo());
    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    EXPECT_TRUE(s.FindCell(500, 500)->Font()->Style().Contains(fsBold));
    EXPECT_LT(stack.Bytes(), 1024u);
#if !defined(__SANITIZE_ADDRESS__)
    EXPECT_LT(ms, 50.0);  // the step, its undo and its redo
#endif
    // A whole-sheet area, as a step keeps it, costs about what the sheet
    // stream writes for it.
    const size_t stream = TakeSnapshot(s).Data.size();
    TQvAreaSnapshot whole(s, skClient, {0, 0, 1000, 1000});
    whole.Compact();
    EXPECT_LT(double(whole.Bytes()), 1.05 * double(stream));
}

}  // namespace

#if !defined(__SANITIZE_ADDRESS__)  // the address sanitizer reserves terabytes up front
void SetAddressLimit(rlim_t Bytes) {
    struct rlimit r {};
    r.rlim_cur = Bytes;
    r.rlim_max = RLIM_INFINITY;
    ::setrlimit(RLIMIT_AS, &r);
}

// Ends one step on a sheet of 64 MB of text with 16 MB of address space
// to spare; exits 0 when the stack is empty, open no more, not clean and
// the change is kept.
[[noreturn]] void EndAStepWithoutMemory() {
    TQvSheet s;
    for (int y = 0; y < 64; ++y) s.NeedCell(0, y)->SetAsString(std::string(1 << 20, char('a' + y % 26)));
    {
        TQvUndoStep first(&s, "First");
        s.NeedCell(1, 0)->SetAsString("one");
    }
    s.UndoStack().SetClean();
    {
        TQvUndoStep step(&s, "Typing");
        s.NeedCell(1, 1)->SetAsString("two");
        std::ifstream statm("/proc/self/statm");
        long pages = 0;
        statm >> pages;
        SetAddressLimit(rlim_t(pages) * rlim_t(::sysconf(_SC_PAGESIZE)) + (16 << 20));
    }
    SetAddressLimit(RLIM_INFINITY);
    const TQvUndoStack& u = s.UndoStack();
    std::exit(u.Count() == 0 && !u.InStep() && !u.IsClean() && s.FindCell(1, 1) ? 0 : 3);
}

// A step whose end cannot be recorded for want of memory drops the history
// (nothing may be taken back over the change) instead of leaving the
// step's destructor by an exception, which would end the program.
TEST(UndoStackDeathTest, AStepThatCannotBeRecordedDropsTheHistory) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(EndAStepWithoutMemory(), ::testing::ExitedWithCode(0), "");
}
#endif
