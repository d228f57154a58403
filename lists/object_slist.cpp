#include "lists/object_slist.h"

namespace qv {

QV_CLASS_IMPL(TObjectSList, TObject)

TObjectSList::~TObjectSList() { TObjectSList::Clear(); }

void TObjectSList::FreeItem(TObject* Value) { delete Value; }

void TObjectSList::Clear() {
    // Entries are zeroed before their object goes, so an object whose
    // destructor looks back into this list finds itself already removed.
    ForEach([this](int32_t i, TObject* obj) {
        FPages[static_cast<uint32_t>(i) >> FPageShift][i & FPageMask] = nullptr;
        FCacheIndex = -1;
        FreeItem(obj);
        return false;
    });
    TSListT<TObject*>::Clear();
}

}  // namespace qv
