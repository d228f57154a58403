// Published-property tables: for each class, the ordered list of properties
// that the component stream writes and reads by name.
//
// A class registers its own entries once (RegisterPublished); the table of a
// class is its ancestors' entries first, root class first, then its own.
// Registration goes into a function-local registry, so it may happen at any
// time before the first stream call that needs it. The usual place is a
// function-local static in the class's constructor:
//
//     TQvSheet::TQvSheet(TComponent* AOwner) : TComponent(AOwner) {
//         static const bool published = [] {
//             using P = TPublished<TQvSheet>;
//             RegisterPublished(StaticClass(), {
//                 P::Reference<TQvStyler>("Styler", &TQvSheet::Styler, &TQvSheet::SetStyler),
//                 P::Integer("ColCount", &TQvSheet::ColCount, &TQvSheet::SetColCount),
//                 P::Binary("Background.Data", ReadBack, WriteBack, HasBack),
//                 P::Event("OnModified", &TQvSheet::OnModifiedName, &TQvSheet::SetOnModifiedName),
//                 P::Boolean("ReadOnly", &TQvSheet::ReadOnly, &TQvSheet::SetReadOnly)});
//             return true;
//         }();
//         (void)published;
//     }
//
// Every instance is constructed before it is read or written, so its table
// (and its ancestors', whose constructors ran first) is then in place.
//
// Events. The stream stores an event as the name of its handler method, an
// identifier. A class keeps one optional handler name per event next to the
// std::function (e.g. FOnModifiedName) and publishes that name through an
// Event entry: it is written when not empty, and reading stores it; binding
// the name to a function is up to the host (for example in Loaded). An event
// assigned in code without a name is not written.
//
// Nested objects. A Persistent entry names an owned TPersistent (a picture):
// its own published table and its DefineProperties are written with the
// entry's name and a dot in front ("Background.Data"), and a dotted name read
// back is routed to it. A Binary entry may also carry a dotted name itself,
// which lets a class store a nested object's data in its table's order
// without giving that object a table.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/object.h"

namespace qv {

class TComponent;
class TPersistent;
class TStream;

enum TPropKind {
    pkInteger,     // 32-bit signed; integer value types
    pkBoolean,     // false / true
    pkString,      // short, long, wide or UTF-8 string
    pkReference,   // a component of RefClass, written as its Name
    pkEvent,       // the handler's method name, an identifier
    pkPersistent,  // an owned nested object, written through its own table
    pkBinary,      // bytes produced and consumed by callbacks
};

struct TPropInfo {
    std::string Name;
    TPropKind Kind = pkInteger;
    TClass RefClass = nullptr;  // pkReference: the class a target must inherit from

    // The getter and setter of the entry's kind; the others stay empty.
    std::function<int32_t(const TPersistent&)> GetInteger;
    std::function<void(TPersistent&, int32_t)> SetInteger;
    std::function<bool(const TPersistent&)> GetBoolean;
    std::function<void(TPersistent&, bool)> SetBoolean;
    // pkString, and pkEvent for the handler name.
    std::function<std::string(const TPersistent&)> GetString;
    std::function<void(TPersistent&, const std::string&)> SetString;
    std::function<TComponent*(const TPersistent&)> GetReference;
    std::function<void(TPersistent&, TComponent*)> SetReference;
    std::function<TPersistent*(const TPersistent&)> GetObject;
    std::function<void(TPersistent&, TStream&)> ReadBinary;
    std::function<void(const TPersistent&, TStream&)> WriteBinary;

    // Whether the writer writes the entry. Empty: the default rule, see
    // IsStored.
    std::function<bool(const TPersistent&)> Stored;
    // pkInteger and pkBoolean (0/1): not written when the value equals it.
    std::optional<int32_t> Default;

    // The default rule: integers and booleans always, or when they differ
    // from Default; strings and event names when not empty; references when
    // they name a component with a name; nested objects always (their own
    // entries decide); binary entries always.
    bool IsStored(const TPersistent& Instance) const;
};

using TPropInfoPtr = std::shared_ptr<const TPropInfo>;

// Sets the class's own entries, replacing those registered before. Raises
// EListError when two of the entries (or one and an ancestor's) share a
// name ignoring case, or when an entry has no name.
void RegisterPublished(TClass AClass, std::vector<TPropInfo> Entries);
// The whole table of AClass: ancestors' entries first.
std::vector<TPropInfoPtr> PublishedProperties(TClass AClass);
// The entry of AClass's table with that name ignoring case, or null.
TPropInfoPtr FindPublished(TClass AClass, const std::string& Name);

// Builders of entries for class C from member functions or callables:
// Get is called as Get(const C&), Set as Set(C&, value).
template <class C>
struct TPublished {
    template <class G, class S>
    static TPropInfo Integer(std::string Name, G Get, S Set,
                             std::optional<int32_t> Default = std::nullopt) {
        TPropInfo p;
        p.Name = std::move(Name);
        p.Kind = pkInteger;
        p.GetInteger = [Get](const TPersistent& O) {
            return static_cast<int32_t>(std::invoke(Get, static_cast<const C&>(O)));
        };
        p.SetInteger = [Set](TPersistent& O, int32_t V) { std::invoke(Set, static_cast<C&>(O), V); };
        p.Default = Default;
        return p;
    }
    template <class G, class S>
    static TPropInfo Boolean(std::string Name, G Get, S Set,
                             std::optional<bool> Default = std::nullopt) {
        TPropInfo p;
        p.Name = std::move(Name);
        p.Kind = pkBoolean;
        p.GetBoolean = [Get](const TPersistent& O) {
            return static_cast<bool>(std::invoke(Get, static_cast<const C&>(O)));
        };
        p.SetBoolean = [Set](TPersistent& O, bool V) { std::invoke(Set, static_cast<C&>(O), V); };
        if (Default) p.Default = *Default ? 1 : 0;
        return p;
    }
    template <class G, class S>
    static TPropInfo String(std::string Name, G Get, S Set) {
        TPropInfo p;
        p.Name = std::move(Name);
        p.Kind = pkString;
        SetStringAccess(p, Get, Set);
        return p;
    }
    // Get and Set read and store the handler's method name.
    template <class G, class S>
    static TPropInfo Event(std::string Name, G Get, S Set) {
        TPropInfo p;
        p.Name = std::move(Name);
        p.Kind = pkEvent;
        SetStringAccess(p, Get, Set);
        return p;
    }
    // R is the referenced class; Set receives an R* (or null).
    template <class R, class G, class S>
    static TPropInfo Reference(std::string Name, G Get, S Set) {
        TPropInfo p;
        p.Name = std::move(Name);
        p.Kind = pkReference;
        p.RefClass = R::StaticClass();
        p.GetReference = [Get](const TPersistent& O) -> TComponent* {
            return std::invoke(Get, static_cast<const C&>(O));
        };
        // The stream checks the target's class before calling.
        p.SetReference = [Set](TPersistent& O, TComponent* V) {
            std::invoke(Set, static_cast<C&>(O), static_cast<R*>(V));
        };
        return p;
    }
    // Get gives the owned nested object (null: nothing written or read).
    template <class G>
    static TPropInfo Persistent(std::string Name, G Get) {
        TPropInfo p;
        p.Name = std::move(Name);
        p.Kind = pkPersistent;
        p.GetObject = [Get](const TPersistent& O) -> TPersistent* {
            return std::invoke(Get, static_cast<const C&>(O));
        };
        return p;
    }
    // Read(C&, TStream&) gets a stream holding exactly the stored bytes,
    // from position 0; Write(const C&, TStream&) writes them; Stored(const
    // C&) says whether the entry is written.
    template <class Rd, class Wr, class St>
    static TPropInfo Binary(std::string Name, Rd Read, Wr Write, St Stored) {
        TPropInfo p;
        p.Name = std::move(Name);
        p.Kind = pkBinary;
        p.ReadBinary = [Read](TPersistent& O, TStream& S) { std::invoke(Read, static_cast<C&>(O), S); };
        p.WriteBinary = [Write](const TPersistent& O, TStream& S) {
            std::invoke(Write, static_cast<const C&>(O), S);
        };
        p.Stored = [Stored](const TPersistent& O) {
            return static_cast<bool>(std::invoke(Stored, static_cast<const C&>(O)));
        };
        return p;
    }

private:
    template <class G, class S>
    static void SetStringAccess(TPropInfo& p, G Get, S Set) {
        p.GetString = [Get](const TPersistent& O) {
            return std::string(std::invoke(Get, static_cast<const C&>(O)));
        };
        p.SetString = [Set](TPersistent& O, const std::string& V) {
            std::invoke(Set, static_cast<C&>(O), V);
        };
    }
};

}  // namespace qv
