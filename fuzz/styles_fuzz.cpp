// Feeds arbitrary bytes to the styler's "Styles" reader. A bad payload
// raises a clear error; no half-read style stays in the list and the names
// stay unique.
#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>

#include "grids/style.h"
#include "grids/styler.h"
#include "platform/exceptions.h"
#include "platform/stream.h"

using namespace qv;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TQvStyler styler;
    TMemoryStream in(std::string(reinterpret_cast<const char*>(data), size));
    try {
        styler.ReadStyles(in);
    } catch (const Exception&) {
    }
    std::set<std::string> names;
    // Unnamed styles may repeat; a name never does.
    for (int i = 0; i < styler.Count(); ++i)
        if (!styler.Styles(i)->Name().empty() && !names.insert(styler.Styles(i)->Name()).second) std::abort();
    TMemoryStream out;
    styler.WriteStyles(out);
    out.SetPosition(0);
    TQvStyler again;
    again.ReadStyles(out);
    if (again.Count() != styler.Count()) std::abort();
    return 0;
}
