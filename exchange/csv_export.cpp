#include "exchange/csv_export.h"

#include <csv.h>

#include <algorithm>

#include "exchange/atomic_file.h"
#include "exchange/value_text.h"
#include "grids/row.h"
#include "grids/section.h"
#include "grids/sheet.h"
#include "platform/stream.h"

namespace qv {

namespace {

bool NeedsQuotes(const std::string& S, const TCsvOptions& O) {
    if (S.empty()) return false;
    if (S.front() == ' ' || S.back() == ' ' || S.front() == '\t' || S.back() == '\t') return true;
    if (S.compare(0, 3, "\xEF\xBB\xBF") == 0) return true;
    for (char c : S)
        if (c == O.Separator || c == O.Quote || c == '\n' || c == '\r') return true;
    return false;
}

// Collects the text in blocks and hands them to a sink.
template <class TSink>
void WriteCsv(TQvSheet& Sheet, const TCsvOptions& Options, TSink&& Sink) {
    std::string out;
    out.reserve(1 << 17);
    if (Options.Encoding == ceUtf8Bom) out += "\xEF\xBB\xBF";
    const TQvSection* client = Sheet.Sections(skClient);
    // The used area within the counts: the last row and the widest column
    // that hold a cell there.
    int32_t rows = 0, cols = 0;
    for (int32_t r = 0; r < std::min(Sheet.RowCount(), client->Last() + 1); ++r) {
        const TQvRow* row = client->Rows(r);
        if (!row) continue;
        const int32_t used = std::min(Sheet.ColCount(), row->Last() + 1);
        if (used > 0) rows = r + 1;
        cols = std::max(cols, used);
    }
    std::string quoted;
    for (int32_t r = 0; r < rows; ++r) {
        const TQvRow* row = client->Rows(r);
        for (int32_t c = 0; c < cols; ++c) {
            if (c > 0) out += Options.Separator;
            TQvCell* cell = row ? row->Cells(c) : nullptr;
            if (!cell) continue;
            const std::string text = CellValueText(cell, Options.RawValues);
            if (!NeedsQuotes(text, Options)) {
                out += text;
                continue;
            }
            quoted.resize(text.size() * 2 + 2);
            const size_t n = csv_write2(quoted.data(), quoted.size(), text.data(), text.size(),
                                        static_cast<unsigned char>(Options.Quote));
            out.append(quoted.data(), n);
        }
        out += "\r\n";
        if (out.size() >= (1 << 16)) {
            Sink(out);
            out.clear();
            if (Options.Progress) Options.Progress(r + 1, rows);
        }
    }
    Sink(out);
    if (Options.Progress) Options.Progress(rows, rows);
}

}  // namespace

void ExportCsv(TQvSheet& Sheet, TStream& Stream, const TCsvOptions& Options) {
    WriteCsv(Sheet, Options, [&](const std::string& Block) {
        Stream.WriteBuffer(Block.data(), static_cast<int64_t>(Block.size()));
    });
}

void ExportCsvFile(TQvSheet& Sheet, const std::string& FileName, const TCsvOptions& Options) {
    TAtomicFile file(FileName);
    WriteCsv(Sheet, Options, [&](const std::string& Block) { file.Write(Block.data(), Block.size()); });
    file.Commit();
}

}  // namespace qv
