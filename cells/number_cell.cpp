#include "cells/number_cell.h"

#include "platform/format_float.h"

namespace qv {

QV_ABSTRACT_CLASS_IMPL(TQvCNumber, TQvCell)

std::string TQvCNumber::GetText() { return FBlank ? std::string() : FormatFloat(Format(), AsFloat()); }

}  // namespace qv
