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
    bool FitToWidth = true;
    int Scale = 100;  // PDF: percent on paper; PNG: grid scale
    TRect Range;      // PNG: the client cells; empty for the used area
};

// Loads a ".qvf" or ".csv" file (by extension) into Sheet.
void LoadSheet(TQvSheet& Sheet, const std::string& FileName, const TConvertOptions& Options);

void Info(const std::string& FileName, std::ostream& Out);
void Dump(const std::string& FileName, std::ostream& Out);
// Output type by OUT's extension: .qvf, .csv, .xlsx, .pdf, .png.
void Convert(const std::string& In, const std::string& Out, const TConvertOptions& Options);
// True when writing OutName needs the widgets (a PDF or a picture).
bool NeedsWidgets(const std::string& OutName);

}  // namespace qv::cli
