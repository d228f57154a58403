// TPersistent: an object that can copy its state from another (Assign) and
// that knows a path of names for messages and designers (GetNamePath).
#pragma once

#include "platform/object.h"

namespace qv {

class TFiler;

class TPersistent : public TObject {
    QV_CLASS(TPersistent)
public:
    // Copies Source into this object. The base asks Source to assign itself
    // to this object (AssignTo); when neither side knows the other, raises
    // EConvertError "Cannot assign a <Source class> to a <this class>".
    virtual void Assign(const TPersistent* Source);
    // The owner used to build name paths; none by default.
    virtual TPersistent* GetOwner() const { return nullptr; }
    // "Owner.Name" style path; the base gives the class name.
    virtual std::string GetNamePath() const;
    // Declares the properties that the published table cannot describe
    // (binary data, design positions) to the component stream: each is
    // announced with Filer.DefineProperty or Filer.DefineBinaryProperty,
    // which reads or writes it as the filer's direction demands. The base
    // declares none; overrides call the base first.
    virtual void DefineProperties(TFiler& Filer);

protected:
    virtual void AssignTo(TPersistent* Dest) const;
    [[noreturn]] void AssignError(const TPersistent* Source) const;
};

}  // namespace qv
