#include "grids/size_list.h"

namespace qv {

QV_CLASS_IMPL(TQvSizeList, TIntSList)

}  // namespace qv
