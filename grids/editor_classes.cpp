#include "grids/editor_classes.h"

#include <map>

namespace qv::EditorClasses {

namespace {

// Editors are widgets, not objects of the core: the descriptors have no
// parent and no factory of their own.
#define QV_EDITOR_CLASS(Name)                                  \
    TClass Name() {                                            \
        static const TClassInfo info{#Name, nullptr, nullptr}; \
        return &info;                                          \
    }

std::map<TClass, std::any>& Factories() {
    static std::map<TClass, std::any> factories;
    return factories;
}

}  // namespace

QV_EDITOR_CLASS(TQvEdit)
QV_EDITOR_CLASS(TQvMemo)
QV_EDITOR_CLASS(TQvRichEdit)
QV_EDITOR_CLASS(TQvNumEdit)
QV_EDITOR_CLASS(TQvSpinNumEdit)
QV_EDITOR_CLASS(TQvDateEdit)
QV_EDITOR_CLASS(TQvTimeEdit)
QV_EDITOR_CLASS(TQvCombobox)

#undef QV_EDITOR_CLASS

TClass ByName(const std::string& Name) {
    for (TClass c : {TQvEdit(), TQvMemo(), TQvRichEdit(), TQvNumEdit(), TQvSpinNumEdit(), TQvDateEdit(),
                     TQvTimeEdit(), TQvCombobox()})
        if (Name == c->Name) return c;
    return nullptr;
}

void BindEditorFactory(TClass EditorClass, std::any Factory) {
    if (!EditorClass) return;
    if (Factory.has_value()) Factories()[EditorClass] = std::move(Factory);
    else Factories().erase(EditorClass);
}

const std::any* EditorFactory(TClass EditorClass) {
    auto& f = Factories();
    const auto it = f.find(EditorClass);
    return it == f.end() ? nullptr : &it->second;
}

}  // namespace qv::EditorClasses
