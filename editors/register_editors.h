// Binds the eight in-place editor widgets to the registry's editor-class
// descriptors, so that a grid can create the editor registered for a cell
// class. Idempotent; every grid calls it when it is constructed.
#pragma once

namespace qv {

void RegisterEditors();

}  // namespace qv
