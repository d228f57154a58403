// Feeds arbitrary bytes to the ".qvf" reader (a component stream holding a
// sheet). A bad stream raises a read error naming what was wrong; the sheet
// stays consistent and its update block closed.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "grids/section.h"
#include "grids/sheet.h"
#include "platform/exceptions.h"
#include "platform/message_box.h"
#include "platform/stream.h"

using namespace qv;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    DefaultMessageService().Clear();
    TQvSheet sheet;
    TMemoryStream in(std::string(reinterpret_cast<const char*>(data), size));
    try {
        sheet.LoadFromStream(in);
    } catch (const Exception&) {
    }
    if (sheet.UpdateCount() != 0) std::abort();
    for (TQvSectionKind k : AllSectionKinds)
        if (!sheet.Sections(k)->CheckIntegrity().empty()) std::abort();
    return 0;
}
