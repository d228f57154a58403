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
#include "grids/section.h"
#include "grids/sheet.h"
#include "lists/slist.h"
#include "platform/compact_string.h"
#include "platform/exceptions.h"
#include "platform/stream.h"

namespace qv {

namespace {

// One field that makes a cell, kept until the whole input has been read.
struct TStagedCell {
    int32_t Row;
    int32_t Col;
    TTextValue Value;
    uint32_t TextAt = 0;  // text fields: their bytes in the arena
    uint32_t TextLength = 0;
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

    std::vector<TStagedCell> Cells;
    std::string Arena;
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
        for (const char* p = Data; (p = static_cast<const char*>(std::memchr(p, '\n', Size - (p - Data))));) {
            ++FLine;
            if (++p == Data + Size) break;
        }

        std::string_view text(Data, Size);
        std::string fixed;
        if (!ValidUtf8(Data, Size, fixed)) {
            if (BadUtf8++ == 0) {
                FirstBadLine = FRecordLine;
                FirstBadCol = FField;
            }
            text = fixed;
        }
        TStagedCell cell{static_cast<int32_t>(row), static_cast<int32_t>(col), {}, 0, 0};
        if (FOptions.DetectTypes) cell.Value = DetectTextValue(text);
        if (cell.Value.Kind == tvText) {
            cell.TextAt = static_cast<uint32_t>(Arena.size());
            cell.TextLength = static_cast<uint32_t>(text.size());
            Arena.append(text);
        }
        Cells.push_back(cell);
    }

    void Record(int Terminator) {
        // With every line end reported, the line feed of a CR LF pair
        // arrives as a record of its own: it ends nothing.
        const bool crlfTail = FField == 0 && Terminator == '\n' && FLastTerminator == '\r';
        FLastTerminator = Terminator;
        if (crlfTail) return;
        Cols = std::max(Cols, FField);
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

// Makes the staged cells in the sheet. Nothing here can fail on the data.
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
        for (const TStagedCell& s : Reader.Cells) {
            const TPoint at{s.Col, s.Row};
            switch (s.Value.Kind) {
                case tvInteger:
                    client->NeedCellOfClass(at, TQvCInteger::StaticClass())->SetAsInteger(s.Value.Integer);
                    break;
                case tvDouble:
                    client->NeedCellOfClass(at, TQvCDouble::StaticClass())->SetAsFloat(s.Value.Number);
                    break;
                case tvDate:
                case tvDateTime: {
                    TQvCell* c = client->NeedCellOfClass(at, TQvCDateTime::StaticClass());
                    c->SetFormatText(s.Value.Kind == tvDate ? dateFormat : dateTimeFormat);
                    c->SetAsDateTime(s.Value.Number);
                    break;
                }
                default:
                    client->NeedCellOfClass(at, TQvCString::StaticClass())
                        ->SetAsString(Reader.Arena.substr(s.TextAt, s.TextLength));
                    break;
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
    // Typical fields are a few bytes long: room for them up front spares
    // the copying of a growing list.
    if (total > 0) {
        reader.Cells.reserve(static_cast<size_t>(std::min<int64_t>(total / 6 + 16, int64_t(1) << 26)));
        reader.Arena.reserve(static_cast<size_t>(std::min<int64_t>(total, int64_t(1) << 30)));
    }
    std::unique_ptr<char[]> buffer(new char[1 << 16]);
    int64_t done = 0;
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

    TCsvImportResult result;
    result.Rows = reader.Rows;
    result.Cols = reader.Cols;
    result.Cells = static_cast<int64_t>(reader.Cells.size());
    if (reader.BadUtf8 > 0)
        result.Warnings.push_back(Name + ": line " + std::to_string(reader.FirstBadLine) + ", column " +
                                  std::to_string(reader.FirstBadCol) + ": invalid UTF-8 replaced by U+FFFD (" +
                                  std::to_string(reader.BadUtf8) +
                                  (reader.BadUtf8 == 1 ? " field)" : " fields)"));
    Apply(Sheet, reader, Origin);
    return result;
}

TCsvImportResult ImportCsvFile(TQvSheet& Sheet, const std::string& FileName, const TCsvOptions& Options,
                               TPoint Origin) {
    TFileStream file(FileName, fmOpenRead);
    return ImportCsv(Sheet, file, Options, FileName, Origin);
}

}  // namespace qv
