// A sparse list that owns the objects it holds. Slots are pointer-sized; the
// paging, Last, cache and walk behaviour is that of every sparse list.
//
// Ownership: an object belongs to the list from the moment it is stored until
// Clear, SetCount or destruction releases it. Storing null or another object
// over an entry with SetItem hands the old object back to the caller without
// releasing it.
#pragma once

#include "lists/slist.h"

namespace qv {

class TObjectSList : public TSListT<TObject*> {
    QV_CLASS(TObjectSList)
public:
    TObjectSList() = default;
    ~TObjectSList() override;

    // Typed access for owners that know what they store.
    template <typename T>
    T* ItemAs(int32_t Index) const { return static_cast<T*>(GetItem(Index)); }

    void FreeItem(TObject* Value) override;
    // Releases every object (in index order), then frees the pages.
    void Clear() override;
};

}  // namespace qv
