#include "grids/manager.h"

#include <algorithm>

#include "platform/exceptions.h"

namespace qv {

TQvManager::TQvManager() = default;
TQvManager::~TQvManager() = default;

int TQvManager::IndexOf(TClass Cls) const {
    const auto it = std::find(FClasses.begin(), FClasses.end(), Cls);
    return it == FClasses.end() ? -1 : static_cast<int>(it - FClasses.begin());
}

int TQvManager::RegisterCellClass(TClass Cls) {
    const int i = IndexOf(Cls);
    if (i >= 0) return i;
    FClasses.push_back(Cls);
    FEditors.emplace_back();
    FFormatLists.push_back(std::make_unique<TStringList>());
    return static_cast<int>(FClasses.size()) - 1;
}

void TQvManager::RegisterClasses(std::initializer_list<TClass> CellClasses,
                                 std::initializer_list<TClass> EditorClasses) {
    for (TClass cls : CellClasses) {
        auto& editors = FEditors[RegisterCellClass(cls)];
        for (TClass ed : EditorClasses)
            if (std::find(editors.begin(), editors.end(), ed) == editors.end()) editors.push_back(ed);
    }
}

int TQvManager::EditorCount(TClass Cls) const {
    const int i = IndexOf(Cls);
    return i < 0 ? 0 : static_cast<int>(FEditors[i].size());
}

TClass TQvManager::EditorClass(TClass Cls, int I) const {
    if (I < 0) throw EListError("List index out of bounds (" + std::to_string(I) + ")");
    const int i = IndexOf(Cls);
    if (i < 0 || I >= static_cast<int>(FEditors[i].size())) return nullptr;
    return FEditors[i][I];
}

TStringList* TQvManager::Formats(TClass Cls) const {
    const int i = IndexOf(Cls);
    return i < 0 ? nullptr : FFormatLists[i].get();
}

int32_t TQvManager::ClassId(TClass Cls) {
    if (!Cls || !Cls->Name) return 0;
    int32_t sum = 0;
    for (const char* p = Cls->Name; *p; ++p) sum += static_cast<unsigned char>(*p);
    return sum;
}

TClass TQvManager::ClassById(int32_t Id) const {
    for (TClass cls : FClasses)
        if (ClassId(cls) == Id) return cls;
    return nullptr;
}

TQvManager& QvManager() {
    // Built on first use and freed when the program ends. The cell layer fills it (RegisterCellClasses, defined in cells/): this
    // call, not an include, is what ties the registry to the cell classes,
    // and it makes the linker keep them in every program that uses it.
    static TQvManager manager;
    static const bool filled = (RegisterCellClasses(manager), true);
    (void)filled;
    return manager;
}

}  // namespace qv
