// Components for the component-stream tests and the fuzz target: every kind
// of published property, a nested object with a defined binary property,
// a defined binary property of the component itself and children.
// Include from one source file per program: it defines the descriptors.
#pragma once

#include <string>

#include "platform/class_registry.h"
#include "platform/component.h"
#include "platform/filer.h"
#include "platform/published.h"

namespace qv::test {

// A nested object: one integer with a default and a defined "Data".
class TStreamNested : public TPersistent {
    QV_CLASS(TStreamNested)
public:
    TStreamNested() {
        static const bool published = [] {
            using P = TPublished<TStreamNested>;
            RegisterPublished(StaticClass(),
                              {P::Integer("Size", &TStreamNested::Size, &TStreamNested::SetSize, 0)});
            return true;
        }();
        (void)published;
    }
    int32_t Size() const { return FSize; }
    void SetSize(int32_t V) { FSize = V; }
    std::string Data;
    void DefineProperties(TFiler& Filer) override {
        TPersistent::DefineProperties(Filer);
        Filer.DefineBinaryProperty(
            "Data", [this](TStream& S) { Data = S.ReadBytes(S.Size()); },
            [this](TStream& S) { S.WriteBytes(Data); }, !Data.empty());
    }

private:
    int32_t FSize = 0;
};

class TStreamItem : public TComponent {
    QV_CLASS(TStreamItem)
public:
    explicit TStreamItem(TComponent* AOwner = nullptr) : TComponent(AOwner) {
        static const bool published = [] {
            using P = TPublished<TStreamItem>;
            RegisterPublished(
                StaticClass(),
                {P::Reference<TStreamItem>("Link", &TStreamItem::Link, &TStreamItem::SetLink),
                 P::Integer("Count", &TStreamItem::Count, &TStreamItem::SetCount),
                 P::Boolean("Flag", &TStreamItem::Flag, &TStreamItem::SetFlag),
                 P::String("Caption", &TStreamItem::Caption, &TStreamItem::SetCaption),
                 P::Persistent("Nested", [](const TStreamItem& I) { return I.FNested.get(); }),
                 P::Event("OnChange", &TStreamItem::OnChangeName, &TStreamItem::SetOnChangeName)});
            RegisterClass(StaticClass());
            return true;
        }();
        (void)published;
        FNested = std::make_unique<TStreamNested>();
    }

    TStreamItem* Link() const { return FLink; }
    void SetLink(TStreamItem* V) {
        FLink = V;
        if (V) V->FreeNotification(this);
    }
    int32_t Count() const { return FCount; }
    void SetCount(int32_t V) { FCount = V; }
    bool Flag() const { return FFlag; }
    void SetFlag(bool V) { FFlag = V; }
    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& V) { FCaption = V; }
    const std::string& OnChangeName() const { return FOnChangeName; }
    void SetOnChangeName(const std::string& V) { FOnChangeName = V; }
    TStreamNested& Nested() { return *FNested; }

    // The component's own binary property, written when not empty.
    std::string Payload;
    // Children are written only when asked for, as a form would.
    bool WriteChildren = false;
    int LoadedCalls = 0;
    // State seen by Loaded: the references are resolved by then.
    bool LoadingInLoaded = false;
    TStreamItem* LinkInLoaded = nullptr;

    void DefineProperties(TFiler& Filer) override {
        TComponent::DefineProperties(Filer);
        Filer.DefineBinaryProperty(
            "Payload", [this](TStream& S) { Payload = S.ReadBytes(S.Size()); },
            [this](TStream& S) { S.WriteBytes(Payload); }, !Payload.empty());
    }
    void GetChildren(const TGetChildProc& Proc, TComponent* Root) override {
        TComponent::GetChildren(Proc, Root);
        if (WriteChildren)
            for (int i = 0; i < ComponentCount(); ++i) Proc(Components(i));
    }
    void Loaded() override {
        LoadingInLoaded = HasState(csLoading);
        TComponent::Loaded();
        ++LoadedCalls;
        LinkInLoaded = FLink;
    }
    void Notification(TComponent* AComponent, TOperation Operation) override {
        if (Operation == opRemove && AComponent == FLink) FLink = nullptr;
        TComponent::Notification(AComponent, Operation);
    }

private:
    TStreamItem* FLink = nullptr;
    int32_t FCount = 0;
    bool FFlag = false;
    std::string FCaption;
    std::string FOnChangeName;
    std::unique_ptr<TStreamNested> FNested;
};

// Another component class, for references that name the wrong class.
class TStreamOther : public TComponent {
    QV_CLASS(TStreamOther)
public:
    explicit TStreamOther(TComponent* AOwner = nullptr) : TComponent(AOwner) {
        static const bool registered = (RegisterClass(StaticClass()), true);
        (void)registered;
    }
};

QV_CLASS_IMPL(TStreamNested, TPersistent)
QV_CLASS_IMPL(TStreamItem, TComponent)
QV_CLASS_IMPL(TStreamOther, TComponent)

}  // namespace qv::test
