#include "classes/Collection.h"

#include <gtest/gtest.h>

#include "classes/ClassRegistry.h"
#include "classes/tests/Gadgets.h"

namespace {

class TWatchedCollection : public TCollection {
    DUN_CLASS(TWatchedCollection, TCollection)
public:
    TWatchedCollection() : TCollection(TGadgetItem::StaticClass()) {}
    std::string Log;

protected:
    void Update(TCollectionItem* item) override { Log += item ? "item;" : "all;"; }
    void Notify(TCollectionItem* item, TCollectionNotification action) override
    {
        Log += action == cnAdded ? "added;" : action == cnExtracting ? "extracting;" : "deleting;";
    }
};

}  // namespace

TEST(Collection, AddInsertDeleteKeepIdsAndOrder)
{
    TWatchedCollection items;
    auto* first = static_cast<TGadgetItem*>(items.Add());
    auto* second = static_cast<TGadgetItem*>(items.Add());
    auto* inserted = static_cast<TGadgetItem*>(items.Insert(0));
    EXPECT_EQ(items.Count(), 3);
    EXPECT_EQ(items.Items(0), inserted);
    EXPECT_EQ(first->Index(), 1);
    EXPECT_EQ(first->ID(), 0);
    EXPECT_EQ(second->ID(), 1);
    EXPECT_EQ(inserted->ID(), 2);
    EXPECT_EQ(items.FindItemID(1), second);

    items.Delete(1);
    EXPECT_EQ(items.Count(), 2);
    EXPECT_EQ(items.FindItemID(0), nullptr);
    EXPECT_EQ(second->Index(), 1);
    EXPECT_EQ(items.Add()->ID(), 3);  // ids are not reused
    EXPECT_THROW(items.Items(5), EListError);

    delete second;  // an item leaves its collection when freed
    EXPECT_EQ(items.Count(), 2);
    EXPECT_EQ(items.ItemClass(), TGadgetItem::StaticClass());
}

TEST(Collection, UpdatesAreHeldBackUntilEndUpdate)
{
    TWatchedCollection items;
    items.Add();
    EXPECT_EQ(items.Log, "added;all;");
    items.Log.clear();
    items.BeginUpdate();
    items.Add();
    items.Delete(0);
    EXPECT_EQ(items.Log, "added;deleting;extracting;");
    items.EndUpdate();
    EXPECT_EQ(items.Log, "added;deleting;extracting;all;");
}

TEST(Collection, AssignCopiesItemsAndNamePathShowsTheOwner)
{
    TComponent owner(nullptr);
    auto* gadget = new TGadget(&owner);
    gadget->SetName("Gadget1");
    auto* item = static_cast<TGadgetItem*>(gadget->Items()->Add());
    item->Width = 30;
    item->Title = "Client";
    gadget->Items()->Add();
    EXPECT_EQ(gadget->Items()->GetNamePath(), "Gadget1.Items");
    EXPECT_EQ(gadget->Items()->Items(1)->GetNamePath(), "Gadget1.Items[1]");
    EXPECT_EQ(gadget->Items()->GetOwner(), gadget);

    TWatchedCollection copy;
    copy.Add();
    copy.Add();
    copy.Add();
    copy.Assign(gadget->Items());
    ASSERT_EQ(copy.Count(), 2);
    EXPECT_EQ(static_cast<TGadgetItem*>(copy.Items(0))->Title, "Client");
    EXPECT_EQ(static_cast<TGadgetItem*>(copy.Items(0))->Width, 30);
    EXPECT_EQ(copy.GetNamePath(), "TWatchedCollection");

    TStringList notACollection;
    EXPECT_THROW(copy.Assign(&notACollection), EConvertError);
}

TEST(Collection, ItemClassCreatedByNameJoinsTheGivenCollection)
{
    RegisterClass(TGadgetItem::StaticClass());
    TWatchedCollection items;
    TObject* made = CreateObjectByName("TGadgetItem", &items);
    ASSERT_EQ(items.Count(), 1);
    EXPECT_EQ(items.Items(0), made);
    TComponent notACollection(nullptr);
    EXPECT_THROW(CreateObjectByName("TGadgetItem", &notACollection), EInvalidCast);
    EXPECT_EQ(items.Count(), 1);
}
