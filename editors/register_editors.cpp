#include "editors/register_editors.h"

namespace qv {

void RegisterEditors() {}

}  // namespace qv
