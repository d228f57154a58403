// The subcommands of qvsheet. Each writes its result to Out and raises an
// Exception whose message names the file and the fault.
#pragma once

#include <ostream>
#include <string>

#include "platform/geometry.h"

namespace qv {
class TQvSheet;
}

namespace qv::cli {

struct TConvertOptions {
    char Separator = ',';
    bool Raw = false;
    bool Bom = false;
    std::string PageSize = "A4";
    bool Landscape = false;
    bool AutoTitles = false;
    bool FitToWidth = true;
    int Scale = 100;  // PDF: percent on paper; PNG: grid scale; both 25..500
    TRect Range;      // PNG: the client cells; empty for the used area
    std::string RangeText;  // Range as the user wrote it
    // The input's and the output's type ("csv", "qvf", ...) instead of the
    // file names' extensions; needed for "-", which names standard input or
    // standard output.
    std::string From;
    std::string To;
    // Spreadsheet files (.xlsx, .ods): the sheet to read, by name, else by
    // number from 1; empty for the first.
    std::string Sheet;
};

// Loads a ".qvf", ".csv", ".xlsx" or ".ods" file (by extension or
// Options.From) into Sheet.
void LoadSheet(TQvSheet& Sheet, const std::string& FileName, const TConvertOptions& Options);

// FileName "-" reads the sheet file from standard input. Info reads
// spreadsheet files too (Sheet picks the sheet, as for Convert).
void Info(const std::string& FileName, std::ostream& Out, const std::string& Sheet = {});
void Dump(const std::string& FileName, std::ostream& Out);
// Output type by OUT's extension or Options.To: .qvf, .csv, .xlsx, .pdf,
// .png. Out "-" writes to standard output.
void Convert(const std::string& In, const std::string& Out, const TConvertOptions& Options);
// True when writing OutName needs the widgets (a PDF or a picture).
bool NeedsWidgets(const std::string& OutName, const TConvertOptions& Options);

}  // namespace qv::cli
