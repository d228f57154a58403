#include "platform/published.h"

#include <algorithm>
#include <cctype>
#include <map>

#include "platform/component.h"
#include "platform/exceptions.h"

namespace qv {

namespace {

bool SameName(const std::string& A, const std::string& B) {
    return A.size() == B.size() &&
           std::equal(A.begin(), A.end(), B.begin(), [](char a, char b) {
               return std::tolower(static_cast<unsigned char>(a)) ==
                      std::tolower(static_cast<unsigned char>(b));
           });
}

// Each class's own entries. Function-local so that registering from any
// static initialiser or constructor finds it constructed.
std::map<TClass, std::vector<TPropInfoPtr>>& Registry() {
    static std::map<TClass, std::vector<TPropInfoPtr>> registry;
    return registry;
}

}  // namespace

bool TPropInfo::IsStored(const TPersistent& Instance) const {
    if (Stored) return Stored(Instance);
    switch (Kind) {
        case pkInteger:
            return !Default || GetInteger(Instance) != *Default;
        case pkBoolean:
            return !Default || (GetBoolean(Instance) ? 1 : 0) != *Default;
        case pkString:
        case pkEvent:
            return !GetString(Instance).empty();
        case pkReference: {
            const TComponent* c = GetReference(Instance);
            return c && !c->Name().empty();
        }
        case pkPersistent:
        case pkBinary:
            return true;
    }
    return true;
}

void RegisterPublished(TClass AClass, std::vector<TPropInfo> Entries) {
    if (!AClass) return;
    std::vector<TPropInfoPtr> own;
    const std::vector<TPropInfoPtr> inherited =
        AClass->Parent ? PublishedProperties(AClass->Parent) : std::vector<TPropInfoPtr>{};
    for (TPropInfo& e : Entries) {
        if (e.Name.empty())
            throw EListError(std::string("A published property of ") + AClass->Name + " has no name");
        const auto clash = [&](const TPropInfoPtr& p) { return SameName(p->Name, e.Name); };
        if (std::any_of(own.begin(), own.end(), clash) ||
            std::any_of(inherited.begin(), inherited.end(), clash))
            throw EListError(std::string("Published property ") + AClass->Name + "." + e.Name +
                             " is declared twice");
        own.push_back(std::make_shared<const TPropInfo>(std::move(e)));
    }
    Registry()[AClass] = std::move(own);
}

std::vector<TPropInfoPtr> PublishedProperties(TClass AClass) {
    std::vector<TClass> chain;
    for (TClass c = AClass; c; c = c->Parent) chain.push_back(c);
    std::vector<TPropInfoPtr> table;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        const auto found = Registry().find(*it);
        if (found != Registry().end())
            table.insert(table.end(), found->second.begin(), found->second.end());
    }
    return table;
}

TPropInfoPtr FindPublished(TClass AClass, const std::string& Name) {
    for (const TPropInfoPtr& p : PublishedProperties(AClass))
        if (SameName(p->Name, Name)) return p;
    return nullptr;
}

}  // namespace qv
