// Feeds arbitrary bytes to the sheet's "QvData" reader. Whatever the bytes,
// the read either succeeds or raises one of the framework's errors, never
// reads outside them, always closes its update block and leaves every
// section consistent; a sheet that was read writes and reads back.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "grids/section.h"
#include "grids/sheet.h"
#include "platform/exceptions.h"
#include "platform/message_box.h"
#include "platform/stream.h"

using namespace qv;

namespace {

// Every invariant but one: an outer edge of a range is a grid line shared
// with the neighbouring cells, and the stored lines of both are kept as read.
void Check(const TQvSheet& S) {
    if (S.UpdateCount() != 0) std::abort();
    for (TQvSectionKind k : AllSectionKinds) {
        std::string report = S.Sections(k)->CheckIntegrity();
        for (size_t at; (at = report.find('\n')) != std::string::npos; report.erase(0, at + 1))
            if (report.substr(0, at).find("mixed lines on") == std::string::npos) std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    DefaultMessageService().Clear();
    TQvSheet sheet;
    TMemoryStream in(std::string(reinterpret_cast<const char*>(data), size));
    try {
        sheet.ReadData(in);
    } catch (const Exception&) {
        Check(sheet);
        return 0;
    }
    Check(sheet);
    TMemoryStream out;
    sheet.WriteData(out);
    out.SetPosition(0);
    // The payload depends on the counts, which travel beside it as
    // published properties: the reader must hold the writer's counts.
    TQvSheet again;
    for (TQvAxis a : {axCols, axRows}) {
        again.SetAxisCount(a, sheet.Count(a, spClient));
        again.SetTitleCount(a, sheet.Count(a, spTitle));
    }
    again.ReadData(out);
    Check(again);
    return 0;
}
