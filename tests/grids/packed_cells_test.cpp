// Plain cells that a load brings are held packed in their rows until
// something asks for them. A packed sheet must behave exactly like the same
// sheet of objects: what it saves, what its cells read, what edits do to it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <memory>
#include <random>
#include <sstream>

#include "cells/boolean_cell.h"
#include "cells/currency_cell.h"
#include "cells/date_time_cell.h"
#include "cells/double_cell.h"
#include "cells/integer_cell.h"
#include "cells/string_cell.h"
#include "exchange/csv_import.h"
#include "grids/cell_range.h"
#include "grids/manager.h"
#include "grids/recording_view.h"
#include "grids/packed_count.h"
#include "grids/section.h"
#include "grids/sheet.h"
#include "grids/sheet_stream.h"
#include "grids/undo_stack.h"
#include "platform/font.h"
#include "platform/stream.h"
#include "platform/sanitizer.h"

namespace qv {
namespace {

std::string Payload(TQvSheet& S) {
    TMemoryStream m;
    WriteSheetPayload(S, m);
    return m.Bytes();
}

void LoadAsIs(TQvSheet& S, const std::string& Bytes) {
    TMemoryStream m(Bytes);
    ReadSheetData(S, m);
}

// A payload holds no counts: a new sheet takes those of the sheets made here.
void Load(TQvSheet& S, const std::string& Bytes) {
    S.SetColCount(12);
    S.SetRowCount(12);
    LoadAsIs(S, Bytes);
}

using test::PackedCount;

std::string Integrity(const TQvSheet& S) {
    std::string out;
    for (TQvSectionKind k : AllSectionKinds) out += S.Sections(k)->CheckIntegrity();
    return out;
}

// Every simple class, a blank number, an empty text, dates with formats of
// their own, cells whose font, layout and protection are their own (held in
// their forms), and cells that must stay objects: one with a hint, one
// hidden, one heading a merged range.
void MakeMixedSheet(TQvSheet& S) {
    S.SetColCount(12);
    S.SetRowCount(12);
    TQvSection* c = S.Sections(skClient);
    for (int32_t y = 0; y < 8; ++y) {
        static_cast<TQvCInteger*>(c->NeedCellOfClass({0, y}, TQvCInteger::StaticClass()))->SetAsInteger(y * 7 - 20);
        c->NeedCellOfClass({1, y}, TQvCDouble::StaticClass())->SetAsFloat(y / 3.0);
        c->NeedCellOfClass({2, y}, TQvCCurrency::StaticClass())->SetAsFloat(y * 1.25);
        TQvCell* date = c->NeedCellOfClass({3, y}, TQvCDateTime::StaticClass());
        date->SetAsFloat(45000 + y);
        if (y % 2) date->SetFormat(y % 4 == 1 ? "YYYY-MM-DD" : "DD.MM.YY");  // its own text, then a listed one
        c->NeedCellOfClass({4, y}, TQvCBoolean::StaticClass())->SetAsBoolean(y % 2 == 1);
        c->NeedCellOfClass({5, y}, TQvCString::StaticClass())->SetAsString(y ? "Item " + std::to_string(y) : "");
        c->NeedCellOfClass({6, y}, TQvCString::StaticClass())->SetAsString(std::string(40 + y, 'x'));
    }
    c->NeedCellOfClass({7, 0}, TQvCInteger::StaticClass())->SetValue(TVariant());
    c->NeedCell({8, 0})->SetHint("a hint");
    c->NeedCell({8, 1})->Font()->SetStyle(TFontStyles{fsBold});
    TQvCell* laid = c->NeedCell({8, 3});
    laid->SetLayout({haRight, vaBottom, 2, wmWrapWords});
    laid->SetProtected(true);
    c->NeedCell({8, 2})->SetShowing(false);
    c->Merge({9, 0, 11, 2});
    c->NeedCellOfClass({9, 0}, TQvCInteger::StaticClass())->SetAsInteger(99);
}

TEST(PackedCells, PlainCellsLoadPackedSaveTheSameBytesAndReadAsTheirObjectsWould) {
    TQvSheet source;
    MakeMixedSheet(source);
    const std::string bytes = Payload(source);

    TQvSheet loaded;
    Load(loaded, bytes);
    EXPECT_EQ(PackedCount(loaded), 7u * 8 + 3);  // not the hint, hidden or merged cells
    EXPECT_EQ(Payload(loaded), bytes);
    EXPECT_EQ(PackedCount(loaded), 7u * 8 + 3) << "saving made objects";
    EXPECT_EQ(Integrity(loaded), "");

    // Each cell reads as the source's, and asking makes no change to the
    // sheet: it stays unmodified, repaints nothing and saves the same bytes.
    test::TRecordingView view(&loaded);
    TQvSection* a = source.Sections(skClient);
    TQvSection* b = loaded.Sections(skClient);
    for (int32_t y = 0; y < 12; ++y)
        for (int32_t x = 0; x < 12; ++x) {
            TQvCell* want = a->FindCell({x, y});
            TQvCell* got = b->FindCell({x, y});
            ASSERT_EQ(!want, !got) << x << ", " << y;
            if (!want) continue;
            EXPECT_EQ(got->ClassType(), want->ClassType()) << x << ", " << y;
            EXPECT_EQ(got->AsString(), want->AsString()) << x << ", " << y;
            EXPECT_EQ(got->Format(), want->Format()) << x << ", " << y;
            EXPECT_EQ(got->Showing(), want->Showing()) << x << ", " << y;
            EXPECT_EQ(got->Hint(), want->Hint()) << x << ", " << y;
        }
    EXPECT_EQ(PackedCount(loaded), 0u);
    EXPECT_FALSE(loaded.Modified());
    EXPECT_TRUE(view.Calls.empty()) << view.Calls.size() << " calls, the first " << view.Calls[0].Name;
    EXPECT_EQ(Payload(loaded), bytes);
    EXPECT_EQ(Integrity(loaded), "");
}

TEST(PackedCells, ARecordItsObjectWouldWriteOtherwiseStaysAnObject) {
    TQvSheet source;
    source.SetColCount(4);
    source.SetRowCount(4);
    source.Sections(skClient)->NeedCellOfClass({1, 1}, TQvCBoolean::StaticClass())->SetAsBoolean(true);
    std::string bytes = Payload(source);
    // The boolean's stored value 1 becomes 7: it still reads as true, and
    // writes back as 1.
    const std::string one("\x01\x00\x00\x00", 4);
    const size_t at = bytes.rfind(one);
    ASSERT_NE(at, std::string::npos);
    bytes[at] = 7;
    TQvSheet loaded;
    Load(loaded, bytes);
    EXPECT_EQ(PackedCount(loaded), 0u);
    EXPECT_TRUE(loaded.Sections(skClient)->FindCell({1, 1})->AsBoolean());
    EXPECT_EQ(Payload(loaded), Payload(source));
}

TEST(PackedCells, ACsvImportPacksItsCellsAndTheyReadAsTheCellsItMade) {
    const std::string csv = "1,2.5,2024-03-01,Item 1,a text longer than eight\n-7,0,2024-03-02 13:30,x,\n";
    TQvSheet packed, objects;
    for (TQvSheet* s : {&packed, &objects}) {
        TMemoryStream m(csv);
        ImportCsv(*s, m);
    }
    EXPECT_EQ(PackedCount(packed), 9u);
    objects.Sections(skClient)->ForAllCells([](TQvCell*) {});
    EXPECT_EQ(PackedCount(objects), 0u);
    EXPECT_EQ(Payload(packed), Payload(objects));
    EXPECT_EQ(packed.Sections(skClient)->FindCell({2, 1})->ClassType(), TQvCDateTime::StaticClass());
    EXPECT_EQ(packed.Sections(skClient)->FindCell({3, 0})->AsString(), "Item 1");
    EXPECT_EQ(Integrity(packed), "");
}

// One row of many plain cells: making their objects one by one from its far
// end, and a stored row whose records come in falling column order, each
// cost about a search per cell. A row that moved its entries for each cell
// would take minutes for either.
TEST(PackedCells, LongRowsCostASearchPerCellWhateverTheOrder) {
    constexpr int32_t N = 200000;
    TQvSheet source;
    source.SetColCount(N);
    source.SetRowCount(2);
    TQvSection* c = source.Sections(skClient);
    for (int32_t x = 0; x < N; ++x)
        static_cast<TQvCInteger*>(c->NeedCellOfClass({x, 0}, TQvCInteger::StaticClass()))->SetAsInteger(x + 1);
    const std::string bytes = Payload(source);

    const std::clock_t start = std::clock();
    TQvSheet loaded;
    loaded.SetColCount(N);
    loaded.SetRowCount(2);
    LoadAsIs(loaded, bytes);
    ASSERT_EQ(PackedCount(loaded), size_t(N));
    TQvSection* l = loaded.Sections(skClient);
    for (int32_t x = N - 1; x >= 0; x -= 2) ASSERT_EQ(l->FindCell({x, 0})->AsInteger(), x + 1);
    EXPECT_EQ(Integrity(loaded), "");
    EXPECT_EQ(Payload(loaded), bytes);

    // The same records in falling column order: the loader takes the
    // object path for every one after the first.
    const auto int32 = [](int32_t V) { return std::string(reinterpret_cast<const char*>(&V), 4); };
    const int32_t id = TQvManager::ClassId(TQvCInteger::StaticClass());
    const auto record = [&](int32_t X) {
        return int32(X) + int32(id) + int32(10) + bytes.substr(bytes.find(int32(0) + int32(id) + int32(10)) + 12, 2) +
               int32(X + 1);
    };
    const size_t first = bytes.find(record(0));
    ASSERT_NE(first, std::string::npos);
    std::string falling = bytes.substr(0, first);
    for (int32_t x = N - 1; x >= 0; --x) falling += record(x);
    falling += bytes.substr(first + size_t(N) * 18);
    TQvSheet back;
    back.SetColCount(N);
    back.SetRowCount(2);
    LoadAsIs(back, falling);
    EXPECT_EQ(PackedCount(back), 1u);
    EXPECT_EQ(Payload(back), bytes);
    EXPECT_EQ(Integrity(back), "");
#ifdef QV_TEST_ASAN
    constexpr double budget = 30;  // the sanitizer's bookkeeping for every object
#else
    constexpr double budget = 5;
#endif
    EXPECT_LT(double(std::clock() - start) / CLOCKS_PER_SEC, budget);
}

// The same random edits on a loaded sheet, whose cells are packed, and on
// its twin whose cells were all made objects; after every step both save
// the same bytes and keep their invariants. Set QV_PACKED_SEED to replay.
TEST(PackedCells, EditsOnAPackedSheetGiveWhatTheyGiveOnObjects) {
    const char* env = std::getenv("QV_PACKED_SEED");
    const uint32_t first = env ? static_cast<uint32_t>(std::stoul(env)) : 1;
    for (uint32_t seed = first; seed < first + (env ? 1 : 20); ++seed) {
        std::mt19937 rng(seed);
        const auto next = [&](int N) { return static_cast<int32_t>(rng() % static_cast<uint32_t>(N)); };
        TQvSheet source;
        MakeMixedSheet(source);
        const std::string bytes = Payload(source);
        auto packed = std::make_unique<TQvSheet>();
        TQvSheet objects;
        Load(*packed, bytes);
        Load(objects, bytes);
        objects.Sections(skClient)->ForAllCells([](TQvCell*) {});
        for (int step = 0; step < 60; ++step) {
            std::ostringstream op;
            const int kind = next(12);
            const int32_t x = next(12), y = next(12), w = 1 + next(3), h = 1 + next(3);
            if (kind == 8) {
                // Saved and loaded again: what became objects is packed anew.
                op << "Reload";
                const std::string now = Payload(*packed);
                packed = std::make_unique<TQvSheet>();
                packed->SetColCount(objects.ColCount());
                packed->SetRowCount(objects.RowCount());
                LoadAsIs(*packed, now);
            }
            for (TQvSheet* s : {packed.get(), &objects}) {
                TQvSection* c = s->Sections(skClient);
                op.str("");
                switch (kind) {
                    case 0: op << "InsertCols " << x; if (x <= s->ColCount()) s->InsertCols(x, w); break;
                    case 1: op << "RemoveCols " << x; if (x + w <= s->ColCount()) s->RemoveCols(x, w); break;
                    case 2: op << "InsertRows " << y; if (y <= s->RowCount()) s->InsertRows(y, h); break;
                    case 3: op << "RemoveRows " << y; if (y + h <= s->RowCount()) s->RemoveRows(y, h); break;
                    case 4: op << "Merge " << x << "," << y; c->Merge({x, y, x + w, y + h}); break;
                    case 5: op << "FreeCells " << x << "," << y; c->FreeCells({x, y, x + w, y + h}); break;
                    case 6:
                        op << "SetAsString " << x << "," << y;
                        if (TQvCell* cell = c->NeedCellOfClass({x, y}, TQvCString::StaticClass()))
                            cell->SetAsString("set " + std::to_string(step));
                        break;
                    case 7: op << "FindCell " << x << "," << y; (void)c->FindCell({x, y}); break;
                    // Formats go onto packed cells in place, and undo puts
                    // them back packed: the bytes must be the objects'.
                    case 9:
                        op << "Font " << x << "," << y;
                        TQvCellRange(*s, {x, y, x + w, y + h})->Font()->SetSize(8 + step % 5);
                        break;
                    case 10:
                        op << "HAlign " << x << "," << y;
                        TQvCellRange(*s, {x, y, x + w, y + h})->SetHAlign(static_cast<uint8_t>(step % 3));
                        break;
                    case 11: {
                        op << "Bold and undo " << x << "," << y;
                        const TRect r{x, y, x + w, y + h};
                        {
                            TQvUndoStep undoable(s, "Bold", skClient, {r});
                            TQvCellRange(*s, r)->Font()->SetStyle(TFontStyles{fsBold});
                        }
                        if (step % 2) s->UndoStack().Undo();
                        break;
                    }
                    default: op << "Reload"; break;
                }
            }
            ASSERT_EQ(Integrity(*packed), "") << "seed " << seed << " step " << step << ": " << op.str();
            ASSERT_EQ(Payload(*packed), Payload(objects)) << "seed " << seed << " step " << step << ": " << op.str();
        }
    }
}

}  // namespace
}  // namespace qv

namespace qv {
namespace {

// The table of forms is the process's, so this runs in a child: a file of
// more different fonts than there are form numbers loads and saves its
// bytes, the cells past the last number staying objects, each costing a
// lookup and not a search of the table.
TEST(PackedCellsDeathTest, MoreDifferentPartsThanFormsStayObjectsAndSaveTheSameBytes) {
    EXPECT_EXIT(
        {
            TQvSheet source;
            source.SetColCount(4);
            source.SetRowCount(20000);
            TQvSection* c = source.Sections(skClient);
            for (int32_t y = 0; y < 20000; ++y) {
                TQvCell* cell = c->NeedCellOfClass({0, y}, TQvCInteger::StaticClass());
                cell->SetAsInteger(y);
                cell->Font()->SetName("Font " + std::to_string(y));
            }
            const std::string bytes = Payload(source);
            const std::clock_t start = std::clock();
            TQvSheet loaded;
            Load(loaded, bytes);
            const double seconds = double(std::clock() - start) / CLOCKS_PER_SEC;
            const size_t packed = PackedCount(loaded);
            const bool ok = Payload(loaded) == bytes && packed > 0 && packed < 255 && seconds < 2.0 &&
                            loaded.FindCell(0, 19999)->Font()->Name() == "Font 19999";
            std::exit(ok ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace qv
