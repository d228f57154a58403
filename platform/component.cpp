#include "platform/component.h"

#include <algorithm>
#include <cctype>

#include "platform/filer.h"

namespace qv {

QV_CLASS_IMPL(TComponent, TPersistent)

namespace {

bool IsValidIdent(const std::string& S) {
    if (S.empty()) return false;
    const auto first = static_cast<unsigned char>(S[0]);
    if (!(std::isalpha(first) || first == '_')) return false;
    return std::all_of(S.begin(), S.end(), [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return u < 0x80 && (std::isalnum(u) || u == '_');
    });
}

bool SameText(const std::string& A, const std::string& B) {
    return A.size() == B.size() &&
           std::equal(A.begin(), A.end(), B.begin(), [](char a, char b) {
               return std::tolower(static_cast<unsigned char>(a)) ==
                      std::tolower(static_cast<unsigned char>(b));
           });
}

void EraseOne(std::vector<TComponent*>& List, const TComponent* Item) {
    const auto it = std::find(List.begin(), List.end(), Item);
    if (it != List.end()) List.erase(it);
}

}  // namespace

TComponent::TComponent(TComponent* AOwner) {
    if (AOwner) AOwner->InsertComponent(this);
}

TComponent::~TComponent() {
    BeginDestruction();
    DestroyComponents();
    // A notification handler may have linked to us after step 2; drop such
    // links too so that nobody keeps our address.
    RemoveFreeNotifications();
}

void TComponent::BeginDestruction() {
    if (FDestructionBegun) return;
    FDestructionBegun = true;
    Destroying();
    RemoveFreeNotifications();
    if (FOwner) FOwner->RemoveComponent(this);
}

void TComponent::RemoveFreeNotifications() {
    // A handler may link or unlink others while being told, so take one
    // link at a time until none is left.
    while (!FFreeNotifies.empty()) {
        TComponent* other = FFreeNotifies.back();
        FFreeNotifies.pop_back();
        EraseOne(other->FFreeNotifies, this);
        other->Notification(this, opRemove);
    }
}

void TComponent::DestroyComponents() {
    // Each deleted component removes itself from FComponents.
    while (!FComponents.empty()) {
        TComponent* last = FComponents.back();
        delete last;
    }
}

void TComponent::Destroying() {
    if (HasState(csDestroying)) return;
    FComponentState |= csDestroying;
    for (TComponent* c : FComponents) c->Destroying();
}

void TComponent::ValidateRename(const TComponent* AComponent, const std::string& NewName) const {
    if (NewName.empty()) return;
    const TComponent* found = FindComponent(NewName);
    if (found && found != AComponent)
        throw EComponentError("A component named " + NewName + " already exists");
}

void TComponent::SetName(const std::string& NewName) {
    if (NewName == FName) return;
    if (!NewName.empty() && !IsValidIdent(NewName))
        throw EComponentError("\"" + NewName + "\" is not a valid component name");
    if (FOwner) FOwner->ValidateRename(this, NewName);
    FName = NewName;
}

TComponent* TComponent::Components(int Index) const {
    if (Index < 0 || Index >= ComponentCount())
        throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
    return FComponents[static_cast<size_t>(Index)];
}

int TComponent::ComponentIndex() const {
    if (!FOwner) return -1;
    const auto& list = FOwner->FComponents;
    return static_cast<int>(std::find(list.begin(), list.end(), this) - list.begin());
}

TComponent* TComponent::FindComponent(const std::string& AName) const {
    if (AName.empty()) return nullptr;
    for (TComponent* c : FComponents)
        if (SameText(c->FName, AName)) return c;
    return nullptr;
}

void TComponent::InsertComponent(TComponent* AComponent) {
    if (!AComponent || AComponent->FOwner == this) return;
    for (const TComponent* c = this; c; c = c->FOwner)
        if (c == AComponent)
            throw EComponentError("Cannot insert component " + AComponent->GetNamePath() +
                                  " into itself or a component it owns");
    ValidateRename(AComponent, AComponent->FName);
    if (AComponent->FOwner) AComponent->FOwner->RemoveComponent(AComponent);
    FComponents.push_back(AComponent);
    AComponent->FOwner = this;
    if (HasState(csDesigning)) AComponent->SetDesigning(true);
    Notification(AComponent, opInsert);
}

void TComponent::RemoveComponent(TComponent* AComponent) {
    if (!AComponent) return;
    if (AComponent->FOwner != this)
        throw EComponentError("Component " + AComponent->GetNamePath() + " is not owned by " +
                              GetNamePath());
    Notification(AComponent, opRemove);
    EraseOne(FComponents, AComponent);
    AComponent->FOwner = nullptr;
}

void TComponent::FreeNotification(TComponent* AComponent) {
    if (!AComponent || AComponent == this) return;
    // A component on its way out gains no new links: nobody would drop them.
    if (FDestructionBegun || AComponent->FDestructionBegun) return;
    if (std::find(FFreeNotifies.begin(), FFreeNotifies.end(), AComponent) != FFreeNotifies.end())
        return;
    FFreeNotifies.push_back(AComponent);
    AComponent->FFreeNotifies.push_back(this);
}

void TComponent::RemoveFreeNotification(TComponent* AComponent) {
    if (!AComponent) return;
    EraseOne(FFreeNotifies, AComponent);
    EraseOne(AComponent->FFreeNotifies, this);
}

void TComponent::Notification(TComponent* AComponent, TOperation Operation) {
    if (Operation == opRemove && AComponent) RemoveFreeNotification(AComponent);
    // A handler may delete or insert components; walk from the end and
    // clamp the index to the list as it is after each call.
    int i = ComponentCount() - 1;
    while (i >= 0) {
        FComponents[static_cast<size_t>(i)]->Notification(AComponent, Operation);
        --i;
        if (i >= ComponentCount()) i = ComponentCount() - 1;
    }
}

void TComponent::SetDesigning(bool Value, bool SetChildren) {
    SetStateFlag(csDesigning, Value);
    if (SetChildren)
        for (TComponent* c : FComponents) c->SetDesigning(Value, true);
}

void TComponent::Loaded() { FComponentState &= ~static_cast<TComponentState>(csLoading); }

void TComponent::SetStateFlag(TComponentStateFlag Flag, bool Value) {
    if (Value)
        FComponentState |= Flag;
    else
        FComponentState &= ~static_cast<TComponentState>(Flag);
}

void TComponent::SetDesignPosition(int32_t Left, int32_t Top) {
    FDesignLeft = Left;
    FDesignTop = Top;
    FHasDesignPosition = true;
}

void TComponent::GetChildren(const TGetChildProc&, TComponent*) {}

void TComponent::DefineProperties(TFiler& Filer) {
    TPersistent::DefineProperties(Filer);
    // Reading one of the two gives the component a design position; the
    // other keeps its value (0 on a component that had none).
    Filer.DefineProperty(
        "Left", [this](TReader& R) { SetDesignPosition(R.ReadInteger(), FDesignTop); },
        [this](TWriter& W) { W.WriteInteger(FDesignLeft); }, FHasDesignPosition);
    Filer.DefineProperty(
        "Top", [this](TReader& R) { SetDesignPosition(FDesignLeft, R.ReadInteger()); },
        [this](TWriter& W) { W.WriteInteger(FDesignTop); }, FHasDesignPosition);
}

std::string TComponent::GetNamePath() const { return FName.empty() ? ClassName() : FName; }

}  // namespace qv
