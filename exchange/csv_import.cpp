#include "exchange/csv_import.h"

#include <csv.h>

#include <algorithm>
#include <cstring>
#include <memory>

#include "cells/date_time_cell.h"
#include "cells/double_cell.h"
#include "cells/integer_cell.h"
#include "cells/string_cell.h"
#include "exchange/value_text.h"
#include "grids/cell_batch.h"
#include "grids/section.h"
#include "grids/sheet.h"
#include "grids/sheet_snapshot.h"
#include "lists/slist.h"
#include "platform/compact_string.h"
#include "platform/exceptions.h"
#include "platform/huge_pages.h"
#include "platform/stream.h"

namespace qv {

namespace {

// One field that makes a cell, kept until the whole input has been read.
// Eight bytes, for a field may be as short as two: the kind (3 bits), the
// column (21 bits; a sheet's columns end below 2^21) and 40 bits of payload:
// an integer's value, where a text's bytes end in the arena (the texts lie
// one after another, so each ends where the next begins), or, for numbers
// and dates, nothing: their values follow one another in a list of their own.
class TStagedCell {
public:
    TStagedCell(TTextValueKind Kind, int32_t Col, uint64_t Payload)
        : FBits(uint64_t(Kind) | uint64_t(uint32_t(Col)) << 3 | Payload << 24) {}
    TTextValueKind Kind() const { return static_cast<TTextValueKind>(FBits & 7); }
    int32_t Col() const { return static_cast<int32_t>((FBits >> 3) & ((1u << 21) - 1)); }
    uint64_t Payload() const { return FBits >> 24; }

private:
    uint64_t FBits;
};
static_assert(sizeof(TStagedCell) == 8);

// A list in blocks of a fixed size: it grows without ever copying what it
// holds, so staging costs what it holds and no more (a doubling vector needs
// half as much again while it moves).
template <typename T>
class TBlockList {
public:
    void push_back(const T& V) {
        if (FSize % BlockSize == 0) {
            FBlocks.emplace_back();
            FBlocks.back().reserve(BlockSize);
        }
        FBlocks.back().push_back(V);
        ++FSize;
    }
    const T& operator[](size_t I) const { return FBlocks[I / BlockSize][I % BlockSize]; }
    size_t size() const { return FSize; }

private:
    static constexpr size_t BlockSize = size_t(1) << 17;  // 1 MiB of eight-byte entries
    std::vector<std::vector<T, THugePageAllocator<T>>> FBlocks;
    size_t FSize = 0;
};

// The highest index a sheet's rows and columns can take.
int32_t SheetLimit() {
    static const int32_t limit = TSList().MaxIndex();
    return limit;
}

// Length of the valid UTF-8 sequence at S[I], or 0.
size_t Utf8Length(const unsigned char* S, size_t I, size_t N) {
    const unsigned char c = S[I];
    if (c < 0x80) return 1;
    size_t len;
    uint32_t min;
    if ((c & 0xE0) == 0xC0) { len = 2; min = 0x80; }
    else if ((c & 0xF0) == 0xE0) { len = 3; min = 0x800; }
    else if ((c & 0xF8) == 0xF0) { len = 4; min = 0x10000; }
    else return 0;
    if (I + len > N) return 0;
    uint32_t cp = c & (0x3F >> (len - 1));
    for (size_t k = 1; k < len; ++k) {
        if ((S[I + k] & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (S[I + k] & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    return len;
}

class TCsvReader {
public:
    TCsvReader(const TCsvOptions& Options, const std::string& Name, TPoint Origin)
        : FOptions(Options), FName(Name), FOrigin(Origin) {}

    void Feed(const char* Data, size_t Size) {
        if (csv_parse(&FParser, Data, Size, OnField, OnRecord, this) != Size)
            Fail("a quote character inside a field that does not start with one, or after its closing quote");
    }
    void Finish() {
        if (csv_fini(&FParser, OnField, OnRecord, this) != 0) Fail("a quoted field is not closed");
    }
    bool Init() {
        if (csv_init(&FParser, CSV_STRICT | CSV_STRICT_FINI | CSV_REPALL_NL) != 0) return false;
        csv_set_delim(&FParser, static_cast<unsigned char>(FOptions.Separator));
        csv_set_quote(&FParser, static_cast<unsigned char>(FOptions.Quote));
        // Blanks around a field are part of its text (" 42" stays text).
        csv_set_space_func(&FParser, [](unsigned char) { return 0; });
        FInit = true;
        return true;
    }
    ~TCsvReader() {
        if (FInit) csv_free(&FParser);
    }

    // A million fields stage tens of megabytes: huge pages spare the faults.
    TBlockList<TStagedCell> Cells;
    TBlockList<double> Numbers;  // of the number and date fields, in order
    std::vector<char, THugePageAllocator<char>> Arena;
    // Where each record's cells start in Cells, and one entry more.
    std::vector<size_t> RecordStarts{0};
    int32_t Rows = 0;
    int32_t Cols = 0;
    int64_t BadUtf8 = 0;
    int64_t FirstBadLine = 0;
    int32_t FirstBadCol = 0;

private:
    static void OnField(void* Data, size_t Size, void* Self) {
        static_cast<TCsvReader*>(Self)->Field(static_cast<const char*>(Data), Size);
    }
    static void OnRecord(int Terminator, void* Self) { static_cast<TCsvReader*>(Self)->Record(Terminator); }

    std::string Where(int64_t Line, int64_t Col) const {
        return FName + ": line " + std::to_string(Line) + ", column " + std::to_string(Col);
    }

    [[noreturn]] void Fail(const std::string& ParseError) {
        const int err = csv_error(&FParser);
        if (err == CSV_EPARSE) throw EReadError(Where(FRecordLine, FField + 1) + ": " + ParseError);
        throw EReadError(FName + ": " + csv_strerror(err));
    }

    void Field(const char* Data, size_t Size) {
        const int64_t row = int64_t(FOrigin.Y) + FRow;
        const int64_t col = int64_t(FOrigin.X) + FField;
        if (row > SheetLimit())
            throw EReadError(Where(FRecordLine, FField + 1) + ": past the last row a sheet can hold (" +
                             std::to_string(SheetLimit() + 1) + ")");
        if (col > SheetLimit())
            throw EReadError(Where(FRecordLine, FField + 1) + ": past the last column a sheet can hold (" +
                             std::to_string(SheetLimit() + 1) + ")");
        ++FField;
        if (Size == 0) return;

        std::string_view text(Data, Size);
        std::string fixed;
        if (!ScanField(Data, Size)) {
            CountLines(Data, Size);
            if (!ValidUtf8(Data, Size, fixed)) {
                if (BadUtf8++ == 0) {
                    FirstBadLine = FRecordLine;
                    FirstBadCol = FField;
                }
                text = fixed;
            }
        }
        const TTextValue value = FOptions.DetectTypes ? DetectTextValue(text) : TTextValue{};
        uint64_t payload = 0;
        if (value.Kind == tvInteger) {
            payload = uint32_t(value.Integer);
        } else if (value.Kind != tvText) {
            Numbers.push_back(value.Number);
        } else {
            Arena.insert(Arena.end(), text.begin(), text.end());
            payload = Arena.size();
        }
        Cells.push_back(TStagedCell(value.Kind, static_cast<int32_t>(col), payload));
    }

    // True when the field is plain: ASCII without line ends, as almost all
    // are. Eight bytes are looked at a time.
    static bool ScanField(const char* Data, size_t Size) {
        constexpr uint64_t ones = 0x0101010101010101ull, highs = 0x8080808080808080ull;
        constexpr uint64_t lineFeeds = ones * '\n';
        size_t i = 0;
        for (; i + 8 <= Size; i += 8) {
            uint64_t w;
            std::memcpy(&w, Data + i, 8);
            const uint64_t lf = w ^ lineFeeds;  // a zero byte where a line feed was
            if ((w | ((lf - ones) & ~lf)) & highs) return false;
        }
        for (; i < Size; ++i)
            if (static_cast<unsigned char>(Data[i]) >= 0x80 || Data[i] == '\n') return false;
        return true;
    }

    // Line feeds inside a quoted field move the line count on.
    void CountLines(const char* Data, size_t Size) {
        for (const char* p = Data; (p = static_cast<const char*>(std::memchr(p, '\n', Size - (p - Data))));) {
            ++FLine;
            if (++p == Data + Size) break;
        }
    }

    void Record(int Terminator) {
        // With every line end reported, the line feed of a CR LF pair
        // arrives as a record of its own: it ends nothing.
        const bool crlfTail = FField == 0 && Terminator == '\n' && FLastTerminator == '\r';
        FLastTerminator = Terminator;
        if (crlfTail) return;
        // A blank line is a row too, and must fit like any other.
        if (int64_t(FOrigin.Y) + FRow > SheetLimit())
            throw EReadError(Where(FRecordLine, 1) + ": past the last row a sheet can hold (" +
                             std::to_string(SheetLimit() + 1) + ")");
        Cols = std::max(Cols, FField);
        RecordStarts.push_back(Cells.size());
        ++FRow;
        Rows = FRow;
        FField = 0;
        ++FLine;
        FRecordLine = FLine;
    }

    // True when the bytes are valid UTF-8; otherwise Fixed receives them with
    // each invalid byte replaced by U+FFFD.
    static bool ValidUtf8(const char* Data, size_t Size, std::string& Fixed) {
        const auto* s = reinterpret_cast<const unsigned char*>(Data);
        size_t i = 0;
        while (i < Size) {
            const size_t n = Utf8Length(s, i, Size);
            if (n == 0) break;
            i += n;
        }
        if (i == Size) return true;
        Fixed.assign(Data, i);
        while (i < Size) {
            const size_t n = Utf8Length(s, i, Size);
            if (n == 0) {
                Fixed += "\xEF\xBF\xBD";
                ++i;
            } else {
                Fixed.append(Data + i, n);
                i += n;
            }
        }
        return false;
    }

    const TCsvOptions& FOptions;
    std::string FName;
    TPoint FOrigin;
    csv_parser FParser{};
    bool FInit = false;
    int32_t FRow = 0;
    int32_t FField = 0;
    int64_t FLine = 1;        // physical line the parser has reached
    int64_t FRecordLine = 1;  // line on which the present record started
    int FLastTerminator = 0;
};

// Makes the staged cells in the sheet. Nothing here can fail on the data;
// whatever else fails (memory) is undone by the caller.
void Apply(TQvSheet& Sheet, const TCsvReader& Reader, TPoint Origin) {
    TQvSection* client = Sheet.Sections(skClient);
    // One copy of each date format, shared by all the date cells.
    const TCompactString dateFormat(IsoDateFormat), dateTimeFormat(IsoDateTimeFormat);
    Sheet.BeginUpdate();
    try {
        const int32_t needCols = Origin.X + Reader.Cols;
        const int32_t needRows = Origin.Y + Reader.Rows;
        if (Reader.Cols > 0 && needCols > Sheet.ColCount()) Sheet.SetColCount(needCols);
        if (needRows > Sheet.RowCount()) Sheet.SetRowCount(needRows);
        // Cells already in the area the data covers are replaced by what it
        // holds; empty fields leave their position empty.
        if (Reader.Rows > 0 && Reader.Cols > 0)
            client->FreeCells({Origin.X, Origin.Y, needCols, needRows});
        TQvCellBatch batch(*client);
        const TQvCellClass integerClass = TQvCInteger::StaticClass(), doubleClass = TQvCDouble::StaticClass(),
                           dateClass = TQvCDateTime::StaticClass(), stringClass = TQvCString::StaticClass();
        // Numbers and texts go in packed, as the records their cells would
        // write; where a position cannot take a packed cell, the cell is made.
        std::string body;
        int dateForms[2] = {-1, -1};  // of the two date formats, once learnt
        const auto plain = [&](TPoint At, TQvCellClass Cls, bool ValueSet) { return batch.AddPlain(At, Cls, ValueSet, body); };
        const char* arena = Reader.Arena.data();
        uint64_t textAt = 0;
        size_t numberAt = 0;
        for (int32_t r = 0; r < Reader.Rows; ++r) {
            const int32_t row = Origin.Y + r;
            for (size_t i = Reader.RecordStarts[r]; i < Reader.RecordStarts[r + 1]; ++i) {
                const TStagedCell& s = Reader.Cells[i];
                const TPoint at{s.Col(), row};
                switch (s.Kind()) {
                    case tvInteger: {
                        const auto v = static_cast<int32_t>(uint32_t(s.Payload()));
                        if (!plain(at, integerClass, TQvCInteger::PlainBody(v, body)))
                            batch.Add(at, integerClass)->SetAsInteger(v);
                        break;
                    }
                    case tvDouble: {
                        const double v = Reader.Numbers[numberAt++];
                        if (!plain(at, doubleClass, TQvCDouble::PlainBody(v, body))) batch.Add(at, doubleClass)->SetAsFloat(v);
                        break;
                    }
                    case tvDate:
                    case tvDateTime: {
                        // The first date of each format is made and packed;
                        // its form serves the rest, which are never made.
                        const double v = Reader.Numbers[numberAt++];
                        int& form = dateForms[s.Kind() == tvDate ? 0 : 1];
                        const bool set = TQvCDateTime::PlainBody(v, body);
                        if (form >= 0 && batch.AddPacked(at, form, set, body)) break;
                        TQvCell* c = batch.Add(at, dateClass);
                        c->SetFormatText(s.Kind() == tvDate ? dateFormat : dateTimeFormat);
                        c->SetAsDateTime(v);
                        if (batch.Pack(c) && form < 0) form = batch.PackedForm();
                        break;
                    }
                    default: {
                        const std::string_view v(arena + textAt, s.Payload() - textAt);
                        if (!plain(at, stringClass, TQvCString::PlainBody(v, body)))
                            batch.Add(at, stringClass)->SetAsString(std::string(v));
                        textAt = s.Payload();
                        break;
                    }
                }
            }
        }
    } catch (...) {
        Sheet.EndUpdate();
        throw;
    }
    Sheet.EndUpdate();
}

}  // namespace

TCsvImportResult ImportCsv(TQvSheet& Sheet, TStream& Stream, const TCsvOptions& Options, const std::string& Name,
                           TPoint Origin) {
    if (Origin.X < 0 || Origin.Y < 0)
        throw EReadError(Name + ": the import must start at a client cell, not at (" + std::to_string(Origin.X) +
                         ", " + std::to_string(Origin.Y) + ")");
    if (Options.Separator == Options.Quote || Options.Separator == '\n' || Options.Separator == '\r')
        throw EReadError(Name + ": the separator must differ from the quote character and the line ends");
    TCsvReader reader(Options, Name, Origin);
    if (!reader.Init()) throw EReadError(Name + ": out of memory");

    const int64_t total = Stream.Size() - Stream.Position();
    int64_t done = 0;
    try {
        // The texts take at most the input's size: room for them up front
        // spares the copying of a growing list.
        if (total > 0) reader.Arena.reserve(static_cast<size_t>(std::min<int64_t>(total, int64_t(1) << 30)));
        std::unique_ptr<char[]> buffer(new char[1 << 16]);
        bool first = true;
        for (;;) {
            int64_t n = Stream.Read(buffer.get(), 1 << 16);
            if (n <= 0) break;
            const char* data = buffer.get();
            if (first) {
                first = false;
                // A byte-order mark is not data.
                if (n >= 3 && std::memcmp(data, "\xEF\xBB\xBF", 3) == 0) {
                    data += 3;
                    n -= 3;
                }
            }
            reader.Feed(data, static_cast<size_t>(n));
            done += n;
            if (Options.Progress) Options.Progress(done, total);
        }
        reader.Finish();
    } catch (const std::bad_alloc&) {
        // What was staged is freed on the way out; the sheet was not touched.
        throw EReadError(Name + ": not enough memory to read it (" + std::to_string(done) + " of " +
                         std::to_string(total) + " bytes read); the sheet is unchanged");
    }

    TCsvImportResult result;
    result.Rows = reader.Rows;
    result.Cols = reader.Cols;
    result.Cells = static_cast<int64_t>(reader.Cells.size());
    if (reader.BadUtf8 > 0)
        result.Warnings.push_back(Name + ": line " + std::to_string(reader.FirstBadLine) + ", column " +
                                  std::to_string(reader.FirstBadCol) + ": invalid UTF-8 replaced by U+FFFD (" +
                                  std::to_string(reader.BadUtf8) +
                                  (reader.BadUtf8 == 1 ? " field)" : " fields)"));
    // The area the data covers, taken before anything is written: a failure
    // from here on puts the sheet back as it was.
    const TRect area{Origin.X, Origin.Y, Origin.X + reader.Cols, Origin.Y + reader.Rows};
    std::unique_ptr<TQvAreaSnapshot> before;
    try {
        before = std::make_unique<TQvAreaSnapshot>(Sheet, skClient, area);
    } catch (const std::bad_alloc&) {
        throw EReadError(Name + ": not enough memory to import " + std::to_string(result.Cells) +
                         " cells; the sheet is unchanged");
    }
    try {
        Apply(Sheet, reader, Origin);
    } catch (const std::bad_alloc&) {
        before->Restore();
        throw EReadError(Name + ": not enough memory to import " + std::to_string(result.Cells) +
                         " cells; the sheet is unchanged");
    } catch (...) {
        before->Restore();
        throw;
    }
    return result;
}

TCsvImportResult ImportCsvFile(TQvSheet& Sheet, const std::string& FileName, const TCsvOptions& Options,
                               TPoint Origin) {
    TFileStream file(FileName, fmOpenRead);
    return ImportCsv(Sheet, file, Options, FileName, Origin);
}

}  // namespace qv
