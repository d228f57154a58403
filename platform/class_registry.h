// Classes known by name, for readers that create objects from a class name
// written in a stream. Names are matched ignoring case.
#pragma once

#include <initializer_list>
#include <string>

#include "platform/exceptions.h"
#include "platform/object.h"

namespace qv {

class EClassNotFound : public EStreamError {
public:
    explicit EClassNotFound(const std::string& Message) : EStreamError(Message) {}
};

// Registering the same class again does nothing; registering another class
// under a name already taken raises EStreamError naming it.
void RegisterClass(TClass AClass);
// All or none: a clash registers none of them.
void RegisterClasses(std::initializer_list<TClass> Classes);
void UnRegisterClass(TClass AClass);
// The registered class of that name, or null.
TClass GetClass(const std::string& ClassName);
// The registered class of that name; raises EClassNotFound "Class <name> not found".
TClass FindClass(const std::string& ClassName);

}  // namespace qv
