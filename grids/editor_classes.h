// Descriptors of the in-place editor classes that the registry lists for
// each cell class. The core only names them; the widgets library binds a
// factory to each descriptor (BindEditorFactory) when it starts, and asks
// for it back when a grid opens an editor.
#pragma once

#include <any>
#include <string>

#include "platform/object.h"

namespace qv::EditorClasses {

// One descriptor per editor class, named as the class itself.
TClass TQvEdit();
TClass TQvMemo();
TClass TQvRichEdit();
TClass TQvNumEdit();
TClass TQvSpinNumEdit();
TClass TQvDateEdit();
TClass TQvTimeEdit();
TClass TQvCombobox();

// The descriptor of that name (exact), or null.
TClass ByName(const std::string& Name);

// Binds a factory (of whatever callable type the widgets library chooses,
// e.g. a std::function creating the widget) to an editor descriptor;
// binding again replaces it, an empty value removes it.
void BindEditorFactory(TClass EditorClass, std::any Factory);
// The bound factory, or null when none is bound.
const std::any* EditorFactory(TClass EditorClass);

}  // namespace qv::EditorClasses
