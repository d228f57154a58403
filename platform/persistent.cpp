#include "platform/persistent.h"

#include "platform/exceptions.h"

namespace qv {

QV_CLASS_IMPL(TPersistent, TObject)

void TPersistent::Assign(const TPersistent* Source) {
    if (Source) {
        Source->AssignTo(this);
        return;
    }
    AssignError(nullptr);
}

void TPersistent::AssignTo(TPersistent* Dest) const { Dest->AssignError(this); }

void TPersistent::AssignError(const TPersistent* Source) const {
    const std::string from = Source ? Source->ClassName() : std::string("nil");
    throw EConvertError("Cannot assign a " + from + " to a " + ClassName());
}

std::string TPersistent::GetNamePath() const { return ClassName(); }

void TPersistent::DefineProperties(TFiler&) {}

}  // namespace qv
