// RegisterEditors (declared in view/editor_interfaces.h): binds the eight
// in-place editor widgets to the registry's editor-class descriptors.
#include <QWidget>

#include "editors/qv_combobox.h"
#include "editors/qv_date_edit.h"
#include "editors/qv_edit.h"
#include "editors/qv_memo.h"
#include "editors/qv_num_edit.h"
#include "editors/qv_rich_edit.h"
#include "editors/qv_spin_num_edit.h"
#include "editors/qv_time_edit.h"
#include "grids/editor_classes.h"
#include "view/editor_interfaces.h"

namespace qv {

namespace {

template <class TEditor>
void Bind(TClass EditorClass) {
    // A factory bound already (ours, or a host's own editor) is kept.
    if (EditorClasses::EditorFactory(EditorClass)) return;
    EditorClasses::BindEditorFactory(EditorClass, TQvEditorFactory([](QWidget* Parent) -> QWidget* {
                                         auto* w = new TEditor(Parent);
                                         w->hide();
                                         return w;
                                     }));
}

}  // namespace

void RegisterEditors() {
    Bind<TQvEdit>(EditorClasses::TQvEdit());
    Bind<TQvMemo>(EditorClasses::TQvMemo());
    Bind<TQvRichEdit>(EditorClasses::TQvRichEdit());
    Bind<TQvNumEdit>(EditorClasses::TQvNumEdit());
    Bind<TQvSpinNumEdit>(EditorClasses::TQvSpinNumEdit());
    Bind<TQvDateEdit>(EditorClasses::TQvDateEdit());
    Bind<TQvTimeEdit>(EditorClasses::TQvTimeEdit());
    Bind<TQvCombobox>(EditorClasses::TQvCombobox());
}

}  // namespace qv
