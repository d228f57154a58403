// TQvManager: the process-wide registry of cell classes. For each class, in
// registration order, it keeps the editor classes that can edit it and the
// predefined display formats offered for it, and it gives every class the
// identifier under which streams store it (the sum of the bytes of the
// class name).
//
// Editor classes are descriptors declared in the core (editor_classes.h);
// the widgets library binds the real editor widgets to them.
#pragma once

#include <initializer_list>
#include <memory>
#include <vector>

#include "platform/object.h"
#include "platform/string_list.h"

namespace qv {

class TQvManager {
public:
    TQvManager();
    ~TQvManager();

    // Index of Cls; appended with empty editor and format lists if new.
    int RegisterCellClass(TClass Cls);
    // Registers each cell class and appends each editor class it lacks.
    void RegisterClasses(std::initializer_list<TClass> CellClasses, std::initializer_list<TClass> EditorClasses);

    int ClassCount() const { return static_cast<int>(FClasses.size()); }
    TClass ClassAt(int I) const { return FClasses[I]; }
    int IndexOf(TClass Cls) const;
    // 0 for an unregistered class.
    int EditorCount(TClass Cls) const;
    // Null for an unregistered class or I >= count; a negative I raises
    // EListError.
    TClass EditorClass(TClass Cls, int I) const;
    // The predefined formats of Cls (callers may add), or null.
    TStringList* Formats(TClass Cls) const;
    // Sum of the unsigned bytes of the class name; 0 for null.
    static int32_t ClassId(TClass Cls);
    // The first registered class with that identifier, or null.
    TClass ClassById(int32_t Id) const;

private:
    std::vector<TClass> FClasses;
    std::vector<std::vector<TClass>> FEditors;
    std::vector<std::unique_ptr<TStringList>> FFormatLists;
};

// The global registry, filled on first use by RegisterCellClasses.
TQvManager& QvManager();

// Registers the eight cell classes with M, with their editor classes and
// their predefined formats. Declared here and defined by the cell layer
// (cells/register_cells.cpp), which builds on this one: the registry calls
// it without including a cell header, and because QvManager refers to it the
// linker always keeps the cell classes of a static build.
void RegisterCellClasses(TQvManager& M);

}  // namespace qv
