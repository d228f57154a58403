// Files from strangers: a reader costs what the file holds, reads what the
// format allows and names what it refused. The inputs are the regression
// seeds of the fuzz corpus; the large ones are made with the writers.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <climits>
#include <cstring>
#include <filesystem>
#include <thread>

#include "cells/picture_cell.h"
#include "cells/qv_picture.h"
#include "cells/strings_cell.h"
#include "grids/base_style.h"
#include "grids/manager.h"
#include "grids/paint_context.h"
#include "grids/section.h"
#include "grids/selection.h"
#include "grids/sheet.h"
#include "grids/sheet_stream.h"
#include "grids/styler.h"
#include "grids/hostile_inputs.h"
#include "lists/list_slist.h"
#include "platform/exceptions.h"
#include "platform/graphic.h"
#include "platform/message_box.h"
#include "platform/recording_canvas.h"
#include "platform/stream.h"
#include "platform/test_images.h"

using namespace qv;
using namespace qv::test;

namespace {

void ExpectIntact(const TQvSheet& S) {
    for (TQvSectionKind k : AllSectionKinds) EXPECT_EQ(S.Sections(k)->CheckIntegrity(), "") << "section " << int(k);
}

std::string ReadError(TQvSheet& S, const std::string& Bytes, bool File) {
    TMemoryStream in(Bytes);
    try {
        if (File)
            S.LoadFromStream(in);
        else
            S.ReadData(in);
    } catch (const Exception& e) {
        return e.Message();
    }
    return "";
}

}  // namespace

TEST(HostileInput, AFillSpreadTooLargeForThePayloadIsRefused) {
    TRecordingMessageService messages;
    TMessageServiceScope scope(messages);
    // The corner the corpus files' range reaches: the last index of a list's
    // first page class, a spread of a million by a million positions.
    const int32_t top = TSList::ClassMaxIndex(0);
    for (bool file : {false, true}) {
        TQvSheet s;
        const std::string error =
            ReadError(s, CorpusFile(file ? "sheet_file/hostile_fill_spread.qvf" : "sheet_data/hostile_fill_spread"), file);
        EXPECT_NE(error.find("merged range (0, 0, " + std::to_string(top) + ", " + std::to_string(top) +
                             ") would spread its fill"),
                  std::string::npos)
            << error;
        // The load is refused whole: the sheet keeps nothing of it.
        EXPECT_TRUE(s.Sections(skClient)->Unions().empty());
        ExpectIntact(s);
        EXPECT_EQ(s.UpdateCount(), 0);
    }
}

TEST(HostileInput, TidyingSpreadsTheTopLeftFillAndClearsInnerLinesOfStoredLinesOnly) {
    // A section record as a foreign writer might make it: a range, then
    // tables that disagree with it (fill only at the top-left, an inner
    // line, a fill inside the range and one beside it).
    TListSList fills, vertical;
    auto* row0 = new TSList;
    row0->SetItem(2, 0xFF);
    row0->SetItem(9, 0x77);  // outside the range
    fills.SetItem(1, row0);
    auto* row3 = new TSList;
    row3->SetItem(4, 0x12);
    fills.SetItem(3, row3);
    auto* inner = new TSList;
    inner->SetItem(2, 5);
    vertical.SetItem(4, inner);
    TMemoryStream record;
    record.WriteByte(1 | 2 | 4);
    record.WriteInt32(1);
    for (int32_t v : {2, 1, 6, 40}) record.WriteInt32(v);
    fills.SaveItems(record);
    vertical.SaveItems(record);
    record.SetPosition(0);

    TQvSheet s;
    TQvSection& sec = *s.Sections(skClient);
    ReadSectionRecord(sec, record);
    bool uniform = false;
    for (int32_t y = 1; y < 40; ++y) {
        EXPECT_EQ(sec.GetLine(tbFill, y, 2, 5, uniform), 0xFFu) << y;
        EXPECT_TRUE(uniform) << y;
    }
    EXPECT_EQ(sec.GetLine(tbFill, 1, 9, 9, uniform), 0x77u);
    EXPECT_EQ(sec.GetLine(tbVertLines, 4, 0, 100, uniform), 0u);
    EXPECT_TRUE(uniform);
    EXPECT_EQ(sec.CheckIntegrity(), "");
}

TEST(HostileInput, ThousandsOfRangesOverTheWholeIndexSpaceLoadQuickly) {
    TQvSheet s;
    const auto start = std::chrono::steady_clock::now();
    TMemoryStream in(ManyRangesPayload());
    s.ReadData(in);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_LT(seconds, 1.0);
    // Each range replaces the one before it.
    ASSERT_EQ(s.Sections(skClient)->Unions().size(), 1u);
    ExpectIntact(s);
}

TEST(HostileInput, SetMaxSizeVisitsOnlyTheStoredSizes) {
    TQvSheet s;
    std::vector<int32_t> sized;
    s.SetColCount(TQvSheet::MaxCount());
    s.SetTitleCols(TQvSheet::MaxCount());
    s.SetSize(5, axCols, 150);
    s.SetSize(1000000, axCols, 190);
    s.SetSize(-3, axCols, 180);
    s.SetSize(-1, axCols, 90);
    s.OnSizing = [&](TObject*, TQvAxis, int32_t Index, int32_t&) { sized.push_back(Index); };
    const auto start = std::chrono::steady_clock::now();
    s.SetColMaxWidth(100);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_LT(seconds, 0.5);
    EXPECT_EQ(sized, (std::vector<int32_t>{-3, 5, 1000000}));
    EXPECT_EQ(s.GetSize(axCols, 5), 100);
    EXPECT_EQ(s.GetSize(axCols, 1000000), 100);
    EXPECT_EQ(s.GetSize(axCols, -3), 100);
    EXPECT_EQ(s.GetSize(axCols, -1), 90);
    EXPECT_EQ(s.GetSize(axCols, 6), 60);
    // The two hostile files: counts of 2^31 - 1, past what a sheet holds,
    // are refused at once.
    for (const char* name : {"sheet_file/hostile_maxsize_loop_one.qvf", "sheet_file/hostile_maxsize_loop.qvf"}) {
        TQvSheet h;
        const auto t0 = std::chrono::steady_clock::now();
        EXPECT_EQ(ReadError(h, CorpusFile(name), true),
                  "ColCount 2147483647: a sheet holds at most " + std::to_string(TQvSheet::MaxCount()) + " columns")
            << name;
        EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count(), 0.5) << name;
        EXPECT_EQ(h.ColCount(), 5) << name;
    }
}

TEST(HostileInput, PicturesPaintAtAnyScaleWithoutOverflow) {
    TRecordingMessageService messages;
    TMessageServiceScope scope(messages);
    // The bitmap claiming 2^31 - 1 squared pixels is refused where it is
    // read: as a cell (reported, skipped) and as the sheet's background.
    TQvSheet s;
    EXPECT_EQ(ReadError(s, CorpusFile("sheet_data/hostile_picture_overflow"), false), "");
    bool bitmapRefused = false;
    for (const auto& m : messages.Messages())
        bitmapRefused |= m.Text.find("exceeds 65535 x 65535 pixels") != std::string::npos;
    EXPECT_TRUE(bitmapRefused);
    TQvSheet f;
    EXPECT_NE(ReadError(f, CorpusFile("sheet_file/hostile_picture_overflow.qvf"), true).find("exceeds 65535 x 65535"),
              std::string::npos);

    // The largest picture a graphic takes, at a scale far beyond 100 %.
    TQvSheet p;
    auto* cell = static_cast<TQvCPicture*>(p.Sections(skClient)->NeedCellOfClass({0, 0}, TQvCPicture::StaticClass()));
    TBitmap big;
    std::string bmp = MakeBmp(2, 2);
    std::string dims;
    PutU32(dims, 65535);
    PutU32(dims, 65535);
    bmp.replace(18, 8, dims);
    bmp.replace(30, 4, std::string("\x04\0\0\0", 4));  // JPEG inside: no row check
    big.LoadFromBytes(bmp);
    cell->Picture()->SetGraphic(&big);
    TRecordingCanvas canvas;
    TQvPaintContext ctx;
    ctx.Canvas = &canvas;
    ctx.Scale = 40000;
    ctx.SetLayout({haLeft, vaTop, 0, wmClipped});
    cell->DrawValue(ctx, {0, 0, INT32_MAX, INT32_MAX});
    ASSERT_EQ(canvas.Calls.size(), 1u);
    // 65535 * 400 = 26,214,000 pixels each way, placed at the top-left.
    EXPECT_EQ(canvas.Calls[0], "StretchDraw(0,0,26214000,26214000) TBitmap 65535x65535");
}

TEST(HostileInput, ReadersTakeWhatTheFormatAllows) {
    TRecordingMessageService messages;
    TMessageServiceScope scope(messages);
    // A string length of -1 is the empty string: the text cell loads.
    TQvSheet text;
    EXPECT_EQ(ReadError(text, CorpusFile("sheet_data/hostile_negative_string_length"), false), "");
    EXPECT_TRUE(messages.Messages().empty());
    bool anyCell = false;
    for (TQvSectionKind k : AllSectionKinds) text.Sections(k)->ForAllCells([&](TQvCell* c) {
        anyCell = true;
        EXPECT_EQ(c->AsString(), "");
    });
    EXPECT_TRUE(anyCell);

    // An unknown cell class inside a property record is no class: both
    // styles load, and the base style keeps the rest of its record.
    TQvStyler styler;
    TMemoryStream styles(CorpusFile("styles/hostile_unknown_classid"));
    styler.ReadStyles(styles);
    EXPECT_EQ(styler.Count(), 2);
    TQvSheet unknown, control;
    EXPECT_EQ(ReadError(unknown, CorpusFile("sheet_data/hostile_unknown_classid_basestyle"), false), "");
    EXPECT_EQ(ReadError(control, CorpusFile("sheet_data/basestyle_yellow"), false), "");
    EXPECT_EQ(unknown.BaseClientStyle()->GetCellClass(), nullptr);
    // Apart from the class, the record read as far as the control's.
    unknown.BaseClientStyle()->SetCellClass(control.BaseClientStyle()->GetCellClass());
    TMemoryStream a, b;
    unknown.WriteData(a);
    control.WriteData(b);
    EXPECT_EQ(a.Bytes(), b.Bytes());
    EXPECT_TRUE(messages.Messages().empty());
}

TEST(HostileInput, SizesOutsideTheModelAreClampedOnReading) {
    TQvSheet s;
    s.SetColCount(10);
    s.SetColMaxWidth(100);
    // What the setters forbid, written straight into the lists.
    s.Sizes(axCols, spTitle)->SetDefault(-7);
    s.Sizes(axCols, spTitle)->SetValue(0, 30);
    s.Sizes(axCols, spClient)->SetValue(2, -40);
    s.Sizes(axCols, spClient)->SetValue(3, 5000);
    s.Sizes(axCols, spClient)->SetValue(12, 70);  // past the count
    s.Sizes(axRows, spClient)->SetDefault(-3);
    s.Sizes(axRows, spClient)->SetValue(1, 20);
    TMemoryStream data;
    s.WriteData(data);
    data.SetPosition(0);
    TQvSheet r;
    r.SetColCount(10);
    r.SetColMaxWidth(100);
    r.ReadData(data);
    const TQvSizeList* title = r.Sizes(axCols, spTitle);
    const TQvSizeList* client = r.Sizes(axCols, spClient);
    EXPECT_EQ(title->Default(), 60);
    EXPECT_EQ(client->Default(), 60);
    EXPECT_EQ(title->Values(0), 30);
    EXPECT_EQ(client->Values(2), 0);
    EXPECT_EQ(client->Values(3), 100);
    EXPECT_EQ(client->Values(12), 60);
    EXPECT_EQ(r.Sizes(axRows, spClient)->Default(), 0);
    EXPECT_EQ(r.Sizes(axRows, spTitle)->Default(), 0);
}

TEST(HostileInput, ASheetRefusesChildComponentsItWouldNeverSave) {
    TQvSheet s;
    TMemoryStream out;
    s.SaveToStream(out);
    std::string bytes = out.Bytes();
    ASSERT_EQ(bytes.substr(bytes.size() - 2), std::string(2, '\0'));
    // One child before the end of the children: class, name, no properties,
    // no children of its own.
    bytes.insert(bytes.size() - 1, std::string("\x09TQvStyler\x06Sneaky\0\0", 19));
    TQvSheet r;
    r.SetColCount(9);
    EXPECT_EQ(ReadError(r, bytes, true),
              "Error reading TQvSheet: it keeps no child components, but the stream holds a TQvStyler named "
              "\"Sneaky\"");
    EXPECT_EQ(r.ComponentCount(), 0);
    EXPECT_EQ(r.ColCount(), 9);  // the properties before the child are undone too
}

TEST(HostileInput, ReadErrorsShowForeignBytesEscapedAndCut) {
    TQvSheet s;
    TMemoryStream out;
    s.SaveToStream(out);
    std::string bytes = out.Bytes();
    // The first property name becomes binary junk.
    const size_t at = bytes.find("\x08" "ColCount");
    ASSERT_NE(at, std::string::npos);
    bytes.replace(at, 9, std::string("\x08\x01\xFF\x7F" "Co\\nt", 9));
    const std::string error = ReadError(s, bytes, true);
    EXPECT_EQ(error, "Error reading TQvSheet.\\x01\\xFF\\x7FCo\\\\nt: Property \\x01\\xFF\\x7FCo\\\\nt does not exist");
    EXPECT_EQ(EscapeBytes(std::string(100, 'a'), 10), "aaaaaaaaaa...");
}

TEST(HostileInput, SheetFilesComeFromPipesAndSavesNeverLeaveAStub) {
    const std::string dir = testing::TempDir() + "qv_sheet_files/";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    const std::string name = dir + "a.qvf";
    TQvSheet s;
    s.SetColCount(40);
    for (int i = 0; i < 40; ++i) s.SetCellValue(i, i % 5, TVariant("cell " + std::to_string(i)));
    s.SaveToFile(name);
    const std::string saved = ReadWholeFile(name);

    // cat a.qvf | tool: the file arrives through a pipe, which cannot seek.
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    std::thread writer([&] {
        size_t done = 0;
        while (done < saved.size()) {
            const ssize_t n = ::write(fds[1], saved.data() + done, saved.size() - done);
            if (n <= 0) break;
            done += size_t(n);
        }
        ::close(fds[1]);
    });
    TQvSheet piped;
    piped.LoadFromFile("/proc/self/fd/" + std::to_string(fds[0]));
    writer.join();
    ::close(fds[0]);
    EXPECT_EQ(piped.ColCount(), 40);
    EXPECT_EQ(piped.CellValue(39, 4).AsString(), "cell 39");

    // A writer that fails midway leaves the file as it was.
    s.OnSizingName = std::string(300, 'h');  // too long for an identifier
    EXPECT_THROW(s.SaveToFile(name), EWriteError);
    EXPECT_EQ(ReadWholeFile(name), saved);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), std::filesystem::directory_iterator()), 1);
    std::filesystem::remove_all(dir);
}

// Every file of the corpus, read into a sheet that holds something: a load
// that succeeds leaves every section consistent, one that fails leaves the
// sheet exactly as it was (its whole file, name, counts and background
// included, is the same). The broken-section files came from fuzzing: a
// huge range whose stored top edge mixes line values, the same cut short,
// and a good file cut in half.
TEST(HostileInput, ALoadIsConsistentWhenItSucceedsAndChangesNothingWhenItFails) {
    TRecordingMessageService messages;
    TMessageServiceScope scope(messages);
    const auto prepared = [](TQvSheet& S) {
        S.SetName("Mine");
        S.SetColCount(7);
        S.SetRowCount(8);
        S.SetTitleCols(2);
        S.SetTitleRows(3);
        TBitmap bmp;
        bmp.LoadFromBytes(MakeBmp(2, 2));
        S.Background()->SetGraphic(&bmp);
        S.SetCellValue(1, 1, TVariant("kept"));
        S.Sections(skClient)->Merge({3, 3, 5, 6});
    };
    const auto whole = [](TQvSheet& S) {
        TMemoryStream m;
        S.SaveToStream(m);
        return m.Bytes();
    };
    int loaded = 0, refused = 0;
    for (const auto& [folder, path] : CorpusFiles()) {
        if (folder != "sheet_file" && folder != "sheet_data") continue;
        TQvSheet s;
        prepared(s);
        const std::string before = whole(s);
        const std::string error = ReadError(s, ReadWholeFile(path), folder == "sheet_file");
        EXPECT_EQ(s.UpdateCount(), 0) << path;
        if (error.empty()) {
            ++loaded;
            ExpectIntact(s);
            for (TQvAxis a : {axCols, axRows})
                for (TQvSizePart p : {spTitle, spClient}) EXPECT_LE(s.Count(a, p), TQvSheet::MaxCount()) << path;
        } else {
            ++refused;
            EXPECT_TRUE(whole(s) == before) << path << ": " << error;
        }
    }
    EXPECT_GE(loaded, 5);
    EXPECT_GE(refused, 5);

    // The range's mixed top edge is kept as read, like any shared grid line.
    messages.Clear();
    TQvSheet broken;
    EXPECT_EQ(ReadError(broken, CorpusFile("sheet_file/hostile_broken_section.qvf"), true), "");
    ASSERT_EQ(broken.Sections(skClient)->Unions().size(), 1u);
    EXPECT_TRUE(messages.Messages().empty());
    // A stream not in memory is copied there first and left at the end of
    // what the reader took.
    TFileStream f(CorpusDir() + "/sheet_file/rich.qvf", fmOpenRead);
    TQvSheet fromFile;
    fromFile.LoadFromStream(f);
    EXPECT_EQ(f.Position(), f.Size());
    TQvSheet fromMemory;
    EXPECT_EQ(ReadError(fromMemory, CorpusFile("sheet_file/rich.qvf"), true), "");
    EXPECT_TRUE(whole(fromFile) == whole(fromMemory));
}

// Colouring a 2 x 2 selection at the top-left of that file's range of
// 1048559 x 1048559 positions would spread the fill over all of it:
// refused at once, naming the range, with nothing written.
TEST(HostileInput, AFillAHugeRangeWouldTakeWholeIsRefusedBeforeAnythingChanges) {
    TQvSheet s;
    ASSERT_EQ(ReadError(s, CorpusFile("sheet_file/hostile_broken_section.qvf"), true), "");
    TQvSection* sec = s.Sections(skClient);
    ASSERT_EQ(sec->Unions().size(), 1u);
    const TRect r = sec->Unions()[0]->Rect();
    ASSERT_EQ(r, (TRect{0, 0, 1048559, 1048559}));
    struct TOwner : IQvSelectionOwner {
        TQvSection* Sec;
        TRect R;
        TQvSection* SelectionSection() const override { return Sec; }
        TRect SelectionRect() const override { return R; }
        void SelectRect(const TRect& Rect) override { R = Rect; }
        void SelectionChanged() override {}
    } owner;
    owner.Sec = sec;
    owner.R = {r.Left, r.Top, r.Left + 2, r.Top + 2};
    TQvSelection selection(&owner);
    TMemoryStream before, after;
    s.WriteData(before);
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    const int64_t peakBefore = u.ru_maxrss;  // KiB
    const auto start = std::chrono::steady_clock::now();
    std::string error;
    try {
        selection.SetColor(clRed);
    } catch (const EQvGridError& e) {
        error = e.what();
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    getrusage(RUSAGE_SELF, &u);
    EXPECT_LT(u.ru_maxrss - peakBefore, 64 << 10);
    EXPECT_NE(error.find("merged range (0, 0, 1048559, 1048559)"), std::string::npos) << error;
    s.WriteData(after);
    EXPECT_TRUE(after.Bytes() == before.Bytes());
    EXPECT_EQ(sec->CheckIntegrity(), "");
    // A range of ordinary size still takes the fill whole.
    sec->Merge({5, 5, 8, 2005});
    owner.R = {5, 5, 7, 7};
    selection.SetColor(clRed);
    EXPECT_EQ(sec->FillRuns(2004, 0, 10), (std::vector<TQvRun>{{5, 8, PackLine(lsSingle, clRed)}}));
}

// Bytes that passed their trial are applied whole: a fill row of the file
// that replaces a row under one of the sheet's own wide ranges gives that
// range its fill back there, though that costs more than the file's budget.
TEST(HostileInput, AFileThatPassedItsTrialIsAppliedWhole) {
    TQvSheet t;
    TQvSection& sec = *t.Sections(skClient);
    const int32_t wide = 300000;  // a row of it costs more than a small file may
    sec.Merge({0, 0, wide, 2});
    for (int32_t y : {0, 1}) sec.SetLine(tbFill, y, 0, wide - 1, 0xFF);
    TQvSheet file;
    file.Sections(skClient)->SetLine(tbFill, 1, 5, 5, 0x12);
    TMemoryStream payload;
    file.WriteData(payload);
    EXPECT_EQ(ReadError(t, payload.Bytes(), false), "");
    bool uniform = false;
    EXPECT_EQ(sec.GetLine(tbFill, 1, 0, wide - 1, uniform), 0xFFu);
    EXPECT_TRUE(uniform);
    ExpectIntact(t);
}
