#include "lists/slist.h"

#include <string>

#include "platform/exceptions.h"
#include "platform/stream.h"

namespace qv {

QV_CLASS_IMPL(TSList, TObject)

void TSList::LoadFromStream(TStream& Stream) { ReadListRecord(Stream); }

void TSList::SaveToStream(TStream& Stream) const { WriteListRecord(Stream); }

void TSList::WriteListRecord(TStream& Stream) const {
    Stream.WriteByte(FPageClass);
    Stream.WriteInt32(FCount);
    int32_t n = 0;
    for (uint32_t p = 0; p < FPageCount; ++p) n += FPages[p] ? 1 : 0;
    Stream.WriteInt32(n);
    for (uint32_t p = 0; p < FPageCount; ++p) {
        if (!FPages[p]) continue;
        Stream.WriteInt32(static_cast<int32_t>(p));
        Stream.WriteBuffer(FPages[p], FPageSize * int64_t(sizeof(int32_t)));
    }
}

void TSList::ReadListRecord(TStream& Stream) {
    Clear();
    const int32_t oldCount = FCount;
    try {
        const uint8_t pageClass = Stream.ReadByte();
        if (pageClass > 1)
            throw EReadError("Invalid sparse list record: page class " + std::to_string(pageClass) +
                             " (expected 0 or 1)");
        const int32_t count = Stream.ReadInt32();
        if (count < 0) throw EReadError("Invalid sparse list record: negative count " + std::to_string(count));
        FPageClass = pageClass;
        ApplyPageClass();
        FCount = count;
        const int32_t n = Stream.ReadInt32();
        const int64_t pageBytes = 4 + int64_t(FPageSize) * 4;
        if (n < 0 || n > MaxPageCount || n * pageBytes > Stream.Remaining())
            throw EReadError("Invalid sparse list record: page count " + std::to_string(n) + " with " +
                             std::to_string(Stream.Remaining()) + " bytes left");
        int64_t previous = -1;
        for (int32_t k = 0; k < n; ++k) {
            const int32_t p = Stream.ReadInt32();
            if (p <= previous || p >= MaxPageCount)
                throw EReadError("Invalid sparse list record: page number " + std::to_string(p) +
                                 (p <= previous ? " out of order" : " beyond the page table limit"));
            previous = p;
            if (static_cast<uint32_t>(p) >= FPageCount) {
                FPages.resize(p + 1, nullptr);
                FPageCount = static_cast<uint16_t>(p + 1);
            }
            FPages[p] = NewPage();
            Stream.ReadBuffer(FPages[p], FPageSize * int64_t(sizeof(int32_t)));
        }
        if (n > 0) {
            FLast = INT32_MAX;  // every page is read; find the real highest entry
            RecomputeLast();
        }
    } catch (const EReadError&) {
        Clear();
        FCount = oldCount;
        throw;
    }
}

}  // namespace qv
