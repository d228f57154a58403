// Feeds arbitrary bytes to the sheet's "QvData" reader. Whatever the bytes,
// the read either succeeds or raises one of the framework's errors, never
// reads outside them and always closes its update block; a read that
// succeeds leaves every section consistent, one that fails leaves the sheet
// as it was; a sheet that was read writes and reads back to the same bytes.
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

void Check(const TQvSheet& S) {
    if (S.UpdateCount() != 0) std::abort();
    for (TQvSectionKind k : AllSectionKinds)
        if (!S.Sections(k)->CheckIntegrity().empty()) std::abort();
}

std::string Data(TQvSheet& S) {
    TMemoryStream m;
    S.WriteData(m);
    return m.Bytes();
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
        static const std::string fresh = [] {
            TQvSheet s;
            return Data(s);
        }();
        if (Data(sheet) != fresh) std::abort();
        return 0;
    }
    Check(sheet);
    TMemoryStream out;
    sheet.WriteData(out);
    out.SetPosition(0);
    // The payload depends on the counts and the default and largest sizes,
    // which travel beside it as published properties: the reader must hold
    // the writer's (a size list without entries is not written, so its
    // default comes from the sheet that reads it).
    TQvSheet again;
    again.SetColMaxWidth(sheet.ColMaxWidth());
    again.SetRowMaxHeight(sheet.RowMaxHeight());
    again.SetColDefWidth(sheet.ColDefWidth());
    again.SetRowDefHeight(sheet.RowDefHeight());
    for (TQvAxis a : {axCols, axRows}) {
        again.SetAxisCount(a, sheet.Count(a, spClient));
        again.SetTitleCount(a, sheet.Count(a, spTitle));
    }
    again.ReadData(out);
    Check(again);
    // Reading back gives exactly what was written, borders on the edges
    // ranges share with their neighbours included.
    if (Data(again) != out.Bytes()) std::abort();
    return 0;
}
