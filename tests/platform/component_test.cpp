#include "platform/component.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace qv;

namespace {

// Records its destruction and the removals it is told about; keeps one
// reference to another component, cleared on its removal.
class TProbe : public TComponent {
public:
    TProbe(TComponent* AOwner, std::string AName, std::vector<std::string>* ALog = nullptr)
        : TComponent(AOwner), FLog(ALog) {
        SetName(AName);
    }
    ~TProbe() override {
        if (FLog) FLog->push_back("~" + Name());
    }
    void Notification(TComponent* AComponent, TOperation Operation) override {
        if (Operation == opRemove) {
            if (AComponent == Ref) Ref = nullptr;
            ++Removals;
        } else {
            ++Inserts;
        }
        TComponent::Notification(AComponent, Operation);
    }
    void SetRef(TComponent* C) {
        Ref = C;
        if (C) C->FreeNotification(this);
    }
    TComponent* Ref = nullptr;
    int Removals = 0;
    int Inserts = 0;

private:
    std::vector<std::string>* FLog;
};

}  // namespace

TEST(Component, OwnerDestroysItsComponentsLastFirstAndRecursively) {
    std::vector<std::string> log;
    auto* form = new TProbe(nullptr, "Form", &log);
    auto* a = new TProbe(form, "A", &log);
    new TProbe(form, "B", &log);
    new TProbe(a, "A1", &log);
    ASSERT_EQ(form->ComponentCount(), 2);
    EXPECT_EQ(form->Components(0), a);
    EXPECT_EQ(a->Owner(), form);
    EXPECT_EQ(a->GetOwner(), form);
    EXPECT_EQ(a->ComponentIndex(), 0);
    delete form;
    EXPECT_EQ(log, (std::vector<std::string>{"~Form", "~B", "~A", "~A1"}));
}

TEST(Component, DeletingAnOwnedComponentLeavesTheOwnerAndTellsSiblings) {
    TProbe form(nullptr, "Form");
    auto* a = new TProbe(&form, "A");
    auto* b = new TProbe(&form, "B");
    auto* inner = new TProbe(b, "Inner");
    a->Ref = b;  // no free notification: the owner's broadcast must reach it
    inner->Ref = b;
    delete b;
    EXPECT_EQ(form.ComponentCount(), 1);
    EXPECT_EQ(form.FindComponent("B"), nullptr);
    EXPECT_EQ(a->Ref, nullptr);
    EXPECT_GE(a->Removals, 1);
    // The owner's destructor then deletes only what is left.
}

TEST(Component, InsertIsBroadcastToTheOwnersTree) {
    TProbe form(nullptr, "Form");
    auto* a = new TProbe(&form, "A");
    const int before = a->Inserts;
    new TProbe(&form, "B");
    EXPECT_EQ(a->Inserts, before + 1);
}

TEST(Component, FreeNotificationWorksBothWaysAcrossOwners) {
    // Grid and sheet on different forms: only the link tells them.
    {
        auto* formA = new TComponent(nullptr);
        auto* formB = new TComponent(nullptr);
        auto* grid = new TProbe(formA, "Grid");
        auto* sheet = new TProbe(formB, "Sheet");
        grid->SetRef(sheet);
        sheet->SetRef(grid);
        delete formB;  // the sheet goes first
        EXPECT_EQ(grid->Ref, nullptr);
        delete formA;  // must not touch the freed sheet
    }
    {
        auto* grid = new TProbe(nullptr, "Grid");
        auto* sheet = new TProbe(nullptr, "Sheet");
        grid->SetRef(sheet);  // one link is enough for both directions
        sheet->Ref = grid;
        delete grid;
        EXPECT_EQ(sheet->Ref, nullptr);
        delete sheet;
    }
}

TEST(Component, RemovedFreeNotificationIsNotTold) {
    TProbe a(nullptr, "A");
    auto* b = new TProbe(nullptr, "B");
    a.SetRef(b);
    a.SetRef(b);  // linking twice is linking once
    b->RemoveFreeNotification(&a);
    const int before = a.Removals;
    delete b;
    EXPECT_EQ(a.Removals, before);
    EXPECT_NE(a.Ref, nullptr);  // stale by the test's own choice, never dereferenced
}

TEST(Component, SiblingsReferencingEachOtherSurviveOwnerDestruction) {
    for (int order = 0; order < 2; ++order) {
        auto* form = new TComponent(nullptr);
        TProbe* first = new TProbe(form, "First");
        TProbe* second = new TProbe(form, "Second");
        first->SetRef(second);
        second->SetRef(first);
        if (order == 1) {  // make First the last inserted, so it goes first
            form->RemoveComponent(first);
            form->InsertComponent(first);
            ASSERT_EQ(form->Components(1), first);
        }
        delete form;  // ASan reports any access to the freed one
    }
}

TEST(Component, NamesAreIdentifiersUniqueIgnoringCase) {
    TComponent form;
    auto* a = new TProbe(&form, "Sheet1");
    auto* b = new TProbe(&form, "");
    try {
        b->SetName("SHEET1");
        FAIL() << "duplicate accepted";
    } catch (const EComponentError& e) {
        EXPECT_STREQ(e.what(), "A component named SHEET1 already exists");
    }
    EXPECT_EQ(b->Name(), "");
    EXPECT_THROW(b->SetName("1abc"), EComponentError);
    EXPECT_THROW(b->SetName("a b"), EComponentError);
    EXPECT_EQ(b->Name(), "");
    a->SetName("SHEET1");  // its own name in another case
    EXPECT_EQ(a->Name(), "SHEET1");
    b->SetName("_x9");
    EXPECT_EQ(form.FindComponent("sheet1"), a);
    EXPECT_EQ(form.FindComponent("_X9"), b);
    EXPECT_EQ(form.FindComponent(""), nullptr);
    EXPECT_EQ(form.FindComponent("Missing"), nullptr);
    EXPECT_THROW(form.Components(2), EListError);
    // Unnamed components never clash.
    new TProbe(&form, "");
    EXPECT_EQ(form.ComponentCount(), 3);
}

TEST(Component, MovingBetweenOwnersChecksNamesFirst) {
    TComponent formA, formB;
    auto* a = new TProbe(&formA, "Grid");
    new TProbe(&formB, "grid");
    EXPECT_THROW(formB.InsertComponent(a), EComponentError);
    EXPECT_EQ(a->Owner(), &formA);  // nothing changed
    EXPECT_EQ(formA.ComponentCount(), 1);
    a->SetName("Grid2");
    formB.InsertComponent(a);
    EXPECT_EQ(a->Owner(), &formB);
    EXPECT_EQ(formA.ComponentCount(), 0);
    EXPECT_EQ(formB.ComponentCount(), 2);

    // A component cannot own itself or one of its owners.
    auto* inner = new TComponent(a);
    EXPECT_THROW(a->InsertComponent(a), EComponentError);
    EXPECT_THROW(inner->InsertComponent(a), EComponentError);
    EXPECT_EQ(inner->Owner(), a);

    // RemoveComponent hands ownership back to the caller.
    formB.RemoveComponent(a);
    EXPECT_EQ(a->Owner(), nullptr);
    EXPECT_THROW(formB.RemoveComponent(a), EComponentError);
    delete a;
}

TEST(Component, StateFlags) {
    TComponent form;
    form.SetDesigning(true);
    auto* a = new TComponent(&form);
    EXPECT_TRUE(a->HasState(csDesigning));  // inherited on insertion
    form.SetDesigning(false);
    EXPECT_FALSE(a->HasState(csDesigning));

    a->Loading();
    a->SetReading(true);
    EXPECT_EQ(a->ComponentState(), TComponentState(csLoading | csReading));
    a->SetReading(false);
    a->Loaded();
    EXPECT_EQ(a->ComponentState(), 0u);

    // Children see csDestroying while their owner goes away.
    struct TWatcher : TComponent {
        using TComponent::TComponent;
        bool* Seen = nullptr;
        ~TWatcher() override { *Seen = HasState(csDestroying); }
    };
    bool seen = false;
    auto* owner = new TComponent(nullptr);
    (new TWatcher(owner))->Seen = &seen;
    delete owner;
    EXPECT_TRUE(seen);
}

TEST(Component, NamePathFallsBackToTheClassName) {
    TComponent c;
    EXPECT_EQ(c.GetNamePath(), "TComponent");
    c.SetName("Styler1");
    EXPECT_EQ(c.GetNamePath(), "Styler1");
}

TEST(Component, DerivedClassCanBeginDestructionWhileStillWhole) {
    // A partner that calls back into the dying component when told: the
    // dying one calls BeginDestruction first, so the callback finds it whole.
    struct TSheetLike : TComponent {
        using TComponent::TComponent;
        std::vector<int> Grids{1, 2, 3};
        ~TSheetLike() override { BeginDestruction(); }
    };
    struct TGridLike : TComponent {
        using TComponent::TComponent;
        TSheetLike* Sheet = nullptr;
        size_t SeenGrids = 0;
        void Notification(TComponent* C, TOperation Op) override {
            if (Op == opRemove && C == Sheet) {
                SeenGrids = Sheet->Grids.size();
                Sheet = nullptr;
            }
            TComponent::Notification(C, Op);
        }
    };
    TGridLike grid;
    auto* sheet = new TSheetLike(nullptr);
    grid.Sheet = sheet;
    sheet->FreeNotification(&grid);
    delete sheet;
    EXPECT_EQ(grid.Sheet, nullptr);
    EXPECT_EQ(grid.SeenGrids, 3u);
}
