#include "platform/object.h"

namespace qv {

const TClassInfo* TObject::StaticClass() {
    static const TClassInfo info{"TObject", nullptr, []() -> TObject* { return new TObject(); }};
    return &info;
}

}  // namespace qv
