#include "platform/class_registry.h"

#include <cctype>
#include <map>

namespace qv {

namespace {

std::string Key(const std::string& Name) {
    std::string key = Name;
    for (char& c : key) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return key;
}

std::map<std::string, TClass>& Registry() {
    static std::map<std::string, TClass> registry;
    return registry;
}

}  // namespace

void RegisterClass(TClass AClass) {
    if (!AClass) return;
    auto [it, inserted] = Registry().emplace(Key(AClass->Name), AClass);
    if (!inserted && it->second != AClass)
        throw EStreamError("A class named " + std::string(AClass->Name) + " already exists");
}

void RegisterClasses(std::initializer_list<TClass> Classes) {
    // Check every name first so that a clash registers none of them.
    for (TClass c : Classes) {
        TClass present = c ? GetClass(c->Name) : nullptr;
        if (present && present != c)
            throw EStreamError("A class named " + std::string(c->Name) + " already exists");
    }
    for (TClass c : Classes) RegisterClass(c);
}

void UnRegisterClass(TClass AClass) {
    if (!AClass) return;
    const auto it = Registry().find(Key(AClass->Name));
    if (it != Registry().end() && it->second == AClass) Registry().erase(it);
}

TClass GetClass(const std::string& ClassName) {
    const auto it = Registry().find(Key(ClassName));
    return it == Registry().end() ? nullptr : it->second;
}

TClass FindClass(const std::string& ClassName) {
    TClass c = GetClass(ClassName);
    if (!c) throw EClassNotFound("Class " + ClassName + " not found");
    return c;
}

}  // namespace qv
