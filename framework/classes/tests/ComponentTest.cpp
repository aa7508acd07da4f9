#include "classes/Component.h"

#include <gtest/gtest.h>

#include "classes/tests/Gadgets.h"

namespace {

// Records the notifications it receives.
class TWatcher : public TComponent {
    DUN_CLASS(TWatcher, TComponent)
public:
    using TComponent::TComponent;
    std::vector<std::pair<TComponent*, TOperation>> Seen;
    void Notification(TComponent* component, TOperation operation) override
    {
        TComponent::Notification(component, operation);
        Seen.emplace_back(component, operation);
    }
};

class TCounted : public TComponent {
    DUN_CLASS(TCounted, TComponent)
public:
    TCounted(TComponent* owner, int& alive) : TComponent(owner), alive_(alive) { ++alive_; }
    ~TCounted() override { --alive_; }

private:
    int& alive_;
};

}  // namespace

TEST(Component, OwnerListsAndFreesItsComponents)
{
    int alive = 0;
    auto* owner = new TComponent(nullptr);
    auto* a = new TCounted(owner, alive);
    auto* b = new TCounted(owner, alive);
    auto* c = new TCounted(owner, alive);
    a->SetName("Alpha");
    b->SetName("Beta");
    EXPECT_EQ(owner->ComponentCount(), 3);
    EXPECT_EQ(owner->Components(1), b);
    EXPECT_EQ(c->ComponentIndex(), 2);
    EXPECT_EQ(owner->FindComponent("BETA"), b);
    EXPECT_EQ(owner->FindComponent(""), nullptr);
    EXPECT_THROW(owner->Components(3), EListError);

    c->SetComponentIndex(0);
    EXPECT_EQ(owner->Components(0), c);
    EXPECT_EQ(a->ComponentIndex(), 1);

    delete b;  // leaves its owner
    EXPECT_EQ(owner->ComponentCount(), 2);
    EXPECT_EQ(owner->FindComponent("Beta"), nullptr);
    EXPECT_EQ(alive, 2);

    owner->Free();
    EXPECT_EQ(alive, 0);
}

TEST(Component, NamesAreValidatedWithinTheOwner)
{
    TComponent owner(nullptr);
    auto* a = new TComponent(&owner);
    auto* b = new TComponent(&owner);
    a->SetName("Table1");
    struct Case {
        const char* name;
        const char* error;
    } cases[] = {
        {"1Table", "'1Table' is not a valid component name"},
        {"Table 2", "'Table 2' is not a valid component name"},
        {"TABLE1", "A component named TABLE1 already exists"},
    };
    for (const Case& c : cases) {
        try {
            b->SetName(c.name);
            ADD_FAILURE() << c.name;
        } catch (const EComponentError& e) {
            EXPECT_EQ(e.Message(), c.error);
        }
    }
    EXPECT_EQ(b->Name(), "");
    a->SetName("TABLE1");  // its own name in another case
    b->SetName("_table2");
    b->SetName("");
    EXPECT_EQ(a->Name(), "TABLE1");
    EXPECT_EQ(b->Name(), "");
    EXPECT_EQ(a->GetNamePath(), "TABLE1");
}

TEST(Component, InsertAndRemoveNotifyTheOwnerAndItsComponents)
{
    TWatcher owner(nullptr);
    auto* sibling = new TWatcher(&owner);
    auto* added = new TComponent(&owner);
    ASSERT_EQ(owner.Seen.size(), 2u);
    EXPECT_EQ(owner.Seen[1], std::make_pair(added, opInsert));
    EXPECT_EQ(sibling->Seen.back(), std::make_pair(added, opInsert));
    delete added;
    EXPECT_EQ(owner.Seen.back(), std::make_pair(added, opRemove));
    EXPECT_EQ(sibling->Seen.back(), std::make_pair(added, opRemove));
}

TEST(Component, FreeNotificationClearsReferencesAcrossOwners)
{
    TComponent formA(nullptr);
    TComponent formB(nullptr);
    auto* gadget = new TGadget(&formA);
    auto* buddy = new TGadget(&formB);
    gadget->SetBuddy(buddy);
    EXPECT_TRUE(buddy->ComponentState().Contains(csFreeNotification));
    delete buddy;
    EXPECT_EQ(gadget->Buddy(), nullptr);

    // Removing the notification both ways: no call after it.
    auto* watcher = new TWatcher(nullptr);
    auto* other = new TComponent(nullptr);
    watcher->FreeNotification(other);
    watcher->RemoveFreeNotification(other);
    delete other;
    EXPECT_TRUE(watcher->Seen.empty());
    auto* third = new TComponent(nullptr);
    watcher->FreeNotification(third);
    delete third;
    ASSERT_EQ(watcher->Seen.size(), 1u);
    EXPECT_EQ(watcher->Seen[0], std::make_pair(third, opRemove));
    delete watcher;
}

TEST(Component, ReferencesToAComponentThatOutlivesItsWatcher)
{
    auto* buddy = new TGadget(nullptr);
    {
        TGadget gadget(nullptr);
        gadget.SetBuddy(buddy);
    }
    delete buddy;  // the dead watcher was taken off its list
    SUCCEED();
}

TEST(Component, OwnerFieldFollowsTheComponentName)
{
    TGadgetModule module(nullptr);
    auto* gadget = new TGadget(&module);
    EXPECT_EQ(module.Gadget1, nullptr);
    gadget->SetName("Gadget1");
    EXPECT_EQ(module.Gadget1, gadget);
    gadget->SetName("Gadget2");
    EXPECT_EQ(module.Gadget1, nullptr);
    EXPECT_EQ(module.Gadget2, gadget);
    delete gadget;
    EXPECT_EQ(module.Gadget2, nullptr);

    // A component of another class does not take the field.
    auto* plain = new TComponent(&module);
    plain->SetName("Gadget1");
    EXPECT_EQ(module.Gadget1, nullptr);
}

TEST(Component, StateFlagsDuringDestructionAndDesign)
{
    TComponent owner(nullptr);
    auto* child = new TComponent(&owner);
    owner.SetDesigning(true);
    EXPECT_TRUE(child->ComponentState().Contains(csDesigning));
    auto* late = new TComponent(&owner);
    EXPECT_TRUE(late->ComponentState().Contains(csDesigning));
    owner.Destroying();
    EXPECT_TRUE(owner.ComponentState().Contains(csDestroying));
    EXPECT_TRUE(child->ComponentState().Contains(csDestroying));
}

TEST(Component, TagIsPublishedWithDefaultZero)
{
    TComponent component(nullptr);
    SetOrdProp(&component, "Tag", 7);
    EXPECT_EQ(component.Tag(), 7);
    EXPECT_EQ(GetPropInfo(&component, "Tag")->Default, 0);
    EXPECT_FALSE(IsStoredProp(&component, GetPropInfo(&component, "Name")));
}
