#include "lists/list_slist.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/exceptions.h"
#include "platform/stream.h"

namespace qv {

QV_CLASS_IMPL(TListSList, TObjectSList)

void TListSList::SaveItems(TStream& Stream) const {
    int32_t count = 0;
    ForEach([&](int32_t, TObject* obj) {
        count += static_cast<TSList*>(obj)->IsEmpty() ? 0 : 1;
        return false;
    });
    Stream.WriteInt32(count);
    ForEach([&](int32_t i, TObject* obj) {
        const auto* list = static_cast<TSList*>(obj);
        if (!list->IsEmpty()) {
            Stream.WriteInt32(i);
            list->SaveToStream(Stream);
        }
        return false;
    });
}

void TListSList::LoadItems(TStream& Stream, TClass ItemClass) {
    if (!ItemClass || !ItemClass->InheritsFrom(TSList::StaticClass()) || !ItemClass->Factory)
        throw EListError(std::string("Nested table items must be sparse lists, not ") +
                         (ItemClass ? ItemClass->Name : "nothing"));
    const int32_t count = Stream.ReadInt32();
    // The smallest entry is an index and an empty list record (4 + 9 bytes).
    if (count < 0 || count > Stream.Remaining() / 13)
        throw EReadError("Invalid nested table record: count " + std::to_string(count) + " with " +
                         std::to_string(Stream.Remaining()) + " bytes left");
    std::vector<std::pair<int32_t, std::unique_ptr<TSList>>> read;
    read.reserve(static_cast<size_t>(count));
    for (int32_t k = 0; k < count; ++k) {
        const int32_t index = Stream.ReadInt32();
        if (index < 0 || index > MaxIndex())
            throw EReadError("Invalid nested table record: index " + std::to_string(index) + " outside 0.." +
                             std::to_string(MaxIndex()));
        std::unique_ptr<TSList> list(static_cast<TSList*>(ItemClass->Create()));
        list->LoadFromStream(Stream);
        read.emplace_back(index, std::move(list));
    }
    for (auto& [index, list] : read) {
        TObject* old = GetItem(index);
        SetItem(index, list.release());
        if (old) FreeItem(old);
    }
}

}  // namespace qv
