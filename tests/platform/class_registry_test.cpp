#include "platform/class_registry.h"

#include <gtest/gtest.h>

#include <memory>

#include "platform/component.h"
#include "platform/string_list.h"

using namespace qv;

namespace {
struct TOtherComponent : TComponent {
    QV_CLASS(TOtherComponent)
};
// Deliberately carries the name of a registered class.
const TClassInfo ImpostorInfo{"TComponent", nullptr, nullptr};
}  // namespace

QV_CLASS_IMPL(TOtherComponent, TComponent)

TEST(ClassRegistry, FindsClassesByNameIgnoringCase) {
    RegisterClasses({TComponent::StaticClass(), TStringList::StaticClass()});
    RegisterClass(TComponent::StaticClass());  // again: no effect
    EXPECT_EQ(GetClass("tcomponent"), TComponent::StaticClass());
    EXPECT_EQ(FindClass("TStringList"), TStringList::StaticClass());
    std::unique_ptr<TObject> made(FindClass("TComponent")->Create());
    EXPECT_TRUE(made->IsExactly(TComponent::StaticClass()));

    EXPECT_EQ(GetClass("TNoSuchThing"), nullptr);
    try {
        FindClass("TNoSuchThing");
        FAIL();
    } catch (const EClassNotFound& e) {
        EXPECT_STREQ(e.what(), "Class TNoSuchThing not found");
    }

    // A different class under a taken name is refused, and with it the
    // whole batch.
    EXPECT_THROW(RegisterClasses({TOtherComponent::StaticClass(), &ImpostorInfo}), EStreamError);
    EXPECT_EQ(GetClass("TOtherComponent"), nullptr);
    EXPECT_EQ(GetClass("TComponent"), TComponent::StaticClass());

    UnRegisterClass(TStringList::StaticClass());
    EXPECT_EQ(GetClass("TStringList"), nullptr);
}
