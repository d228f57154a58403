// Feeds arbitrary bytes to the ".qvf" reader (a component stream holding a
// sheet). A bad stream raises a read error naming what was wrong and leaves
// the sheet as it was; a stream that loads leaves every section consistent;
// the update block always closes.
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

std::string Whole(TQvSheet& S) {
    TMemoryStream m;
    S.SaveToStream(m);
    return m.Bytes();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    DefaultMessageService().Clear();
    TQvSheet sheet;
    static const std::string fresh = [] {
        TQvSheet s;
        return Whole(s);
    }();
    TMemoryStream in(std::string(reinterpret_cast<const char*>(data), size));
    bool failed = false;
    try {
        sheet.LoadFromStream(in);
    } catch (const Exception&) {
        failed = true;
    }
    if (sheet.UpdateCount() != 0) std::abort();
    for (TQvSectionKind k : AllSectionKinds)
        if (!sheet.Sections(k)->CheckIntegrity().empty()) std::abort();
    if (failed && Whole(sheet) != fresh) std::abort();
    return 0;
}
