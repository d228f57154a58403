// Root object and class references.
//
// A class reference is a pointer to a static descriptor holding the class
// name, the parent descriptor and a factory. "Is exactly class C" compares
// descriptors; "inherits from C" walks the parent chain. The factory builds a
// default-constructed instance; hierarchies whose constructors take arguments
// attach their own factories in a derived descriptor.
#pragma once

#include <string>

namespace qv {

class TObject;

struct TClassInfo {
    const char* Name;
    const TClassInfo* Parent;
    TObject* (*Factory)();  // null for abstract classes

    bool InheritsFrom(const TClassInfo* Other) const {
        for (const TClassInfo* c = this; c; c = c->Parent)
            if (c == Other) return true;
        return false;
    }
    TObject* Create() const { return Factory ? Factory() : nullptr; }
};

using TClass = const TClassInfo*;

// Declares the class descriptor inside a class body.
#define QV_CLASS(Cls)                                                        \
public:                                                                      \
    static const ::qv::TClassInfo* StaticClass();                            \
    const ::qv::TClassInfo* ClassType() const override { return StaticClass(); } \
private:

// Defines the descriptor in a source file. QV_CLASS_IMPL gives a factory for
// default-constructible classes; QV_ABSTRACT_CLASS_IMPL gives none.
#define QV_CLASS_IMPL(Cls, ParentCls)                                        \
    const ::qv::TClassInfo* Cls::StaticClass() {                             \
        static const ::qv::TClassInfo info{#Cls, ParentCls::StaticClass(),   \
            []() -> ::qv::TObject* { return new Cls(); }};                   \
        return &info;                                                        \
    }
#define QV_ABSTRACT_CLASS_IMPL(Cls, ParentCls)                               \
    const ::qv::TClassInfo* Cls::StaticClass() {                             \
        static const ::qv::TClassInfo info{#Cls, ParentCls::StaticClass(), nullptr}; \
        return &info;                                                        \
    }

class TObject {
public:
    TObject() = default;
    TObject(const TObject&) = delete;
    TObject& operator=(const TObject&) = delete;
    virtual ~TObject() = default;

    static const TClassInfo* StaticClass();
    virtual const TClassInfo* ClassType() const { return StaticClass(); }
    std::string ClassName() const { return ClassType()->Name; }
    bool InheritsFrom(TClass C) const { return ClassType()->InheritsFrom(C); }
    bool IsExactly(TClass C) const { return ClassType() == C; }
};

}  // namespace qv
