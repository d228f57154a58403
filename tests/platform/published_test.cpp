#include "platform/published.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/component.h"
#include "platform/exceptions.h"

using namespace qv;

namespace {

class TTableBase : public TComponent {
    QV_CLASS(TTableBase)
public:
    int32_t Width = 64;
    bool Visible = true;
    std::string Text;
    TComponent* Target = nullptr;
    std::string OnClickName;
};

class TTableDerived : public TTableBase {
    QV_CLASS(TTableDerived)
public:
    int32_t Extra = 0;
};

QV_CLASS_IMPL(TTableBase, TComponent)
QV_CLASS_IMPL(TTableDerived, TTableBase)

void RegisterTables() {
    using B = TPublished<TTableBase>;
    RegisterPublished(
        TTableBase::StaticClass(),
        {B::Integer(
             "Width", [](const TTableBase& O) { return O.Width; },
             [](TTableBase& O, int32_t V) { O.Width = V; }, 64),
         B::Boolean(
             "Visible", [](const TTableBase& O) { return O.Visible; },
             [](TTableBase& O, bool V) { O.Visible = V; }, true),
         B::String(
             "Text", [](const TTableBase& O) { return O.Text; },
             [](TTableBase& O, const std::string& V) { O.Text = V; }),
         B::Reference<TComponent>(
             "Target", [](const TTableBase& O) { return O.Target; },
             [](TTableBase& O, TComponent* V) { O.Target = V; }),
         B::Event(
             "OnClick", [](const TTableBase& O) { return O.OnClickName; },
             [](TTableBase& O, const std::string& V) { O.OnClickName = V; })});
    using D = TPublished<TTableDerived>;
    RegisterPublished(TTableDerived::StaticClass(),
                      {D::Integer(
                          "Extra", [](const TTableDerived& O) { return O.Extra; },
                          [](TTableDerived& O, int32_t V) { O.Extra = V; })});
}

std::vector<std::string> Names(TClass C) {
    std::vector<std::string> names;
    for (const TPropInfoPtr& p : PublishedProperties(C)) names.push_back(p->Name);
    return names;
}

TEST(PublishedTest, DerivedTableListsAncestorEntriesFirst) {
    RegisterTables();
    EXPECT_EQ(Names(TTableDerived::StaticClass()),
              (std::vector<std::string>{"Width", "Visible", "Text", "Target", "OnClick", "Extra"}));
    EXPECT_EQ(Names(TTableBase::StaticClass()).size(), 5u);
    // Classes without entries of their own have their ancestors' table.
    EXPECT_TRUE(PublishedProperties(TComponent::StaticClass()).empty());

    const TPropInfoPtr p = FindPublished(TTableDerived::StaticClass(), "visible");
    ASSERT_TRUE(p);
    EXPECT_EQ(p->Kind, pkBoolean);
    EXPECT_FALSE(FindPublished(TTableBase::StaticClass(), "Extra"));

    // Setters and getters reach the instance.
    TTableDerived d;
    FindPublished(TTableDerived::StaticClass(), "Width")->SetInteger(d, 12);
    FindPublished(TTableDerived::StaticClass(), "Extra")->SetInteger(d, 5);
    EXPECT_EQ(d.Width, 12);
    EXPECT_EQ(d.Extra, 5);
}

TEST(PublishedTest, DefaultStoredRuleFollowsTheKind) {
    RegisterTables();
    TTableBase o;
    const auto stored = [&](const char* Name) {
        return FindPublished(TTableBase::StaticClass(), Name)->IsStored(o);
    };
    // At their defaults nothing is stored.
    EXPECT_FALSE(stored("Width"));
    EXPECT_FALSE(stored("Visible"));
    EXPECT_FALSE(stored("Text"));
    EXPECT_FALSE(stored("Target"));
    EXPECT_FALSE(stored("OnClick"));
    o.Width = 0;
    o.Visible = false;
    o.Text = "t";
    o.OnClickName = "Click";
    TComponent unnamed;
    o.Target = &unnamed;
    EXPECT_TRUE(stored("Width"));
    EXPECT_TRUE(stored("Visible"));
    EXPECT_TRUE(stored("Text"));
    EXPECT_TRUE(stored("OnClick"));
    // A reference to a component without a name cannot be written by name.
    EXPECT_FALSE(stored("Target"));
    unnamed.SetName("Named");
    EXPECT_TRUE(stored("Target"));
}

TEST(PublishedTest, DuplicateOrEmptyNamesAreRefused) {
    RegisterTables();
    using D = TPublished<TTableDerived>;
    const auto extra = [](const char* Name) {
        return D::Integer(
            Name, [](const TTableDerived& O) { return O.Extra; },
            [](TTableDerived& O, int32_t V) { O.Extra = V; });
    };
    EXPECT_THROW(RegisterPublished(TTableDerived::StaticClass(), {extra("WIDTH")}), EListError);
    EXPECT_THROW(RegisterPublished(TTableDerived::StaticClass(), {extra("A"), extra("a")}),
                 EListError);
    EXPECT_THROW(RegisterPublished(TTableDerived::StaticClass(), {extra("")}), EListError);
    // A refused registration leaves the table as it was.
    EXPECT_EQ(Names(TTableDerived::StaticClass()).back(), "Extra");
    // Registering again replaces the class's own entries.
    RegisterPublished(TTableDerived::StaticClass(), {extra("More")});
    EXPECT_EQ(Names(TTableDerived::StaticClass()).back(), "More");
    EXPECT_FALSE(FindPublished(TTableDerived::StaticClass(), "Extra"));
    RegisterTables();
}

}  // namespace
