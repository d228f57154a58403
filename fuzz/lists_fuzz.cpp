// Feeds arbitrary bytes to the list, integer-list and nested-table readers.
// Whatever the bytes, a reader either succeeds or raises EReadError, never
// reads outside the stream and leaves a list whose Last is right.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "lists/int_slist.h"
#include "lists/list_slist.h"
#include "platform/exceptions.h"
#include "platform/stream.h"

using namespace qv;

namespace {

void CheckLast(const TSList& l) {
    int32_t last = -1;
    l.ForEach([&](int32_t i, int32_t) {
        last = i;
        return false;
    });
    if (last != l.Last()) std::abort();
}

template <typename L>
void ReadList(const std::string& bytes) {
    TMemoryStream s(bytes);
    L l;
    try {
        l.LoadFromStream(s);
    } catch (const EReadError&) {
        if (!l.IsEmpty()) std::abort();
        return;
    }
    CheckLast(l);
    // A list that was read writes back to a record that reads back the same.
    TMemoryStream out;
    l.SaveToStream(out);
    out.SetPosition(0);
    L again;
    again.LoadFromStream(out);
    CheckLast(again);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    switch (data[0] % 3) {
        case 0: ReadList<TSList>(bytes); break;
        case 1: ReadList<TIntSList>(bytes); break;
        default: {
            TMemoryStream s(bytes);
            TListSList t;
            try {
                t.LoadItems(s, data[0] & 0x80 ? TIntSList::StaticClass() : TSList::StaticClass());
            } catch (const EReadError&) {
                if (!t.IsEmpty()) std::abort();
            }
            t.ForEach([](int32_t, TObject* o) {
                CheckLast(*static_cast<TSList*>(o));
                return false;
            });
        }
    }
    return 0;
}
