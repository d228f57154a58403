// TComponent: a named, owned object that takes part in the ownership tree of
// a form and in removal notifications.
//
// Ownership. A component created with an owner is a heap object that the
// owner deletes: the owner's destructor deletes its components, the last
// inserted first. A component without an owner belongs to whoever created
// it. Deleting an owned component directly is allowed: it leaves its owner
// first. Never put an owned component on the stack or in a unique_ptr.
//
// Removal notifications. When a component is destroyed,
//   1. it and all components it owns get csDestroying;
//   2. every component linked to it by FreeNotification receives
//      Notification(it, opRemove) and the link is dropped on both sides;
//   3. it leaves its owner, whose Notification(it, opRemove) passes the
//      removal to every component in the owner's tree (the base
//      Notification forwards to all owned components, recursively);
//   4. the components it owns are deleted, the last first.
// After this no component holds a link to it. A component receiving
// Notification(X, opRemove) must only compare X by address: X may be part
// way through its destructor. Notification must not throw.
//
// C++ runs a derived destructor before ~TComponent, so steps 1-3 would reach
// the others when the derived part is already gone. A derived class whose
// partners may call back into it while being told (a sheet whose grids
// detach themselves) calls BeginDestruction() first thing in its destructor.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/exceptions.h"
#include "platform/persistent.h"

namespace qv {

// Invalid or duplicate component names, bad ownership changes.
class EComponentError : public Exception {
public:
    explicit EComponentError(const std::string& Message) : Exception(Message) {}
};

enum TOperation { opInsert, opRemove };

class TComponent;
// Receives each child component that the component stream writes.
using TGetChildProc = std::function<void(TComponent* Child)>;

// Component state flags; ComponentState() is a bit set of them.
enum TComponentStateFlag : uint32_t {
    csLoading = 1u << 0,     // between Loading() and Loaded(): properties are arriving
    csReading = 1u << 1,     // the component stream is reading its properties
    csWriting = 1u << 2,     // the component stream is writing its properties
    csDestroying = 1u << 3,  // destruction has begun (set on owned components too)
    csDesigning = 1u << 4,   // the component is being edited in a designer
};
using TComponentState = uint32_t;

class TComponent : public TPersistent {
    QV_CLASS(TComponent)
public:
    // Inserts the new component into AOwner's components when given.
    explicit TComponent(TComponent* AOwner = nullptr);
    ~TComponent() override;

    const std::string& Name() const { return FName; }
    // Empty or a valid identifier (letter or '_' first, then letters, digits
    // or '_'), unique among the owner's components ignoring case. Raises
    // EComponentError naming the value otherwise; the name is then unchanged.
    virtual void SetName(const std::string& NewName);

    TComponent* Owner() const { return FOwner; }
    TPersistent* GetOwner() const override { return FOwner; }
    int ComponentCount() const { return static_cast<int>(FComponents.size()); }
    // Raises EListError when Index is out of range.
    TComponent* Components(int Index) const;
    // Position among the owner's components, -1 without owner.
    int ComponentIndex() const;
    // The owned component with that name ignoring case; null for an empty
    // name or when there is none.
    TComponent* FindComponent(const std::string& AName) const;

    // Takes AComponent into this component's ownership: removes it from its
    // present owner, appends it, gives it csDesigning when this component is
    // designing and broadcasts Notification(AComponent, opInsert). Raises
    // EComponentError, changing nothing, when its name clashes with one of
    // this component's components or when AComponent is this component or
    // one of its owners.
    void InsertComponent(TComponent* AComponent);
    // Broadcasts Notification(AComponent, opRemove), then releases it: the
    // caller owns it afterwards. Raises EComponentError when this component
    // does not own it.
    void RemoveComponent(TComponent* AComponent);
    // Deletes every owned component, the last first.
    void DestroyComponents();

    // Links this component and AComponent so that each receives
    // Notification(other, opRemove) when the other is destroyed. Linking
    // twice is the same as once; null and this component are ignored.
    void FreeNotification(TComponent* AComponent);
    // Drops the link in both directions.
    void RemoveFreeNotification(TComponent* AComponent);

    TComponentState ComponentState() const { return FComponentState; }
    bool HasState(TComponentStateFlag Flag) const { return (FComponentState & Flag) != 0; }
    // Sets or clears csDesigning on this component and, with SetChildren,
    // on all components it owns.
    void SetDesigning(bool Value, bool SetChildren = true);
    // The component stream brackets reading with Loading() ... Loaded().
    void Loading() { FComponentState |= csLoading; }
    void SetReading(bool Value) { SetStateFlag(csReading, Value); }
    void SetWriting(bool Value) { SetStateFlag(csWriting, Value); }
    // Sets csDestroying here and on every owned component, recursively.
    void Destroying();
    // Called once all properties have been read; the base clears csLoading.
    // Overrides call the base first.
    virtual void Loaded();

    // Told about insertions into and removals from the owner's tree, and
    // about the destruction of components linked by FreeNotification.
    // Overrides clear their references to a removed AComponent and call the
    // base, which drops a free-notification link to it and forwards the
    // notification to every owned component.
    virtual void Notification(TComponent* AComponent, TOperation Operation);

    // The name, or the class name of an unnamed component.
    std::string GetNamePath() const override;

    int32_t Tag() const { return FTag; }
    void SetTag(int32_t Value) { FTag = Value; }

    // The component's position on its form's design surface, stored as the
    // defined properties "Left" and "Top" when it has one.
    bool HasDesignPosition() const { return FHasDesignPosition; }
    int32_t DesignLeft() const { return FDesignLeft; }
    int32_t DesignTop() const { return FDesignTop; }
    void SetDesignPosition(int32_t Left, int32_t Top);
    void ClearDesignPosition() { FHasDesignPosition = false; FDesignLeft = FDesignTop = 0; }

    // The children the component stream writes after this component's
    // properties, handed to Proc in order; Root is the root being written.
    // The base has none; a form gives the components it owns.
    virtual void GetChildren(const TGetChildProc& Proc, TComponent* Root);
    // Defines "Left" and "Top" when the component has a design position.
    void DefineProperties(TFiler& Filer) override;

protected:
    // Steps 1-3 of destruction (see the top of this file). Idempotent; the
    // base destructor calls it when a derived destructor did not.
    void BeginDestruction();

private:
    void SetStateFlag(TComponentStateFlag Flag, bool Value);
    void RemoveFreeNotifications();
    void ValidateRename(const TComponent* AComponent, const std::string& NewName) const;

    std::string FName;
    TComponent* FOwner = nullptr;
    std::vector<TComponent*> FComponents;   // owned, in insertion order
    std::vector<TComponent*> FFreeNotifies;  // linked both ways, not owned
    TComponentState FComponentState = 0;
    int32_t FTag = 0;
    int32_t FDesignLeft = 0;
    int32_t FDesignTop = 0;
    bool FHasDesignPosition = false;
    bool FDestructionBegun = false;
};

}  // namespace qv
