#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "classes/Action.h"
#include "db/DataLinks.h"
#include "db/DataSource.h"
#include "db/MemDataSet.h"

namespace {

// Moves the dataset of the data source it is run on to its next record; enabled while not at the end.
class TNextAction : public TBasicAction {
    DUN_CLASS(TNextAction, TBasicAction)
public:
    explicit TNextAction(TComponent* owner) : TBasicAction(owner) {}
    bool HandlesTarget(TObject* target) override
    {
        auto* source = dynamic_cast<TDataSource*>(target);
        return source && source->DataSet() && source->DataSet()->Active();
    }
    void ExecuteTarget(TObject* target) override { static_cast<TDataSource*>(target)->DataSet()->Next(); }
    void UpdateTarget(TObject* target) override { Enabled = !static_cast<TDataSource*>(target)->DataSet()->Eof(); }

    bool Enabled = false;
};

class TPlainLink : public TDataLink {
    DUN_CLASS(TPlainLink, TDataLink)
};

TEST(Action, ExecuteAndUpdateRunTheirHandlers)
{
    TBasicAction* action = CreateObject<TBasicAction>(nullptr);
    EXPECT_FALSE(action->Execute());
    EXPECT_FALSE(action->Update());
    std::string log;
    action->OnExecute = [&](TObject* sender) { log += sender == action ? "execute " : "? "; };
    action->OnUpdate = [&](TObject*) { log += "update "; };
    EXPECT_TRUE(action->Execute());
    EXPECT_TRUE(action->Update());
    EXPECT_EQ(log, "execute update ");

    // The component that ran it is forgotten when it goes.
    TComponent* button = CreateObject<TComponent>(nullptr);
    action->SetActionComponent(button);
    EXPECT_EQ(action->ActionComponent(), button);
    button->Free();
    EXPECT_EQ(action->ActionComponent(), nullptr);

    // A plain component is no target of an action that handles none.
    TComponent* other = CreateObject<TComponent>(nullptr);
    EXPECT_FALSE(other->ExecuteAction(action));
    EXPECT_FALSE(other->UpdateAction(action));
    other->Free();
    action->Free();
}

TEST(Action, ComponentsAndDataLinksRunActionsThatHandleThem)
{
    std::unique_ptr<TMemDataSet> data(new TMemDataSet(nullptr));
    data->FieldDefs()->Add("Id", ftInteger);
    data->Open();
    for (int id = 1; id <= 2; ++id) data->AppendRecord({Variant(id)});
    data->First();
    TDataSource* source = CreateObject<TDataSource>(nullptr);
    TNextAction* next = CreateObject<TNextAction>(nullptr);
    TPlainLink link;

    EXPECT_FALSE(link.ExecuteAction(next));  // no data source yet
    link.SetDataSource(source);
    EXPECT_FALSE(link.ExecuteAction(next));  // a source without an open dataset is not handled
    source->SetDataSet(data.get());

    EXPECT_TRUE(link.UpdateAction(next));
    EXPECT_TRUE(next->Enabled);
    EXPECT_TRUE(link.ExecuteAction(next));
    EXPECT_EQ(data->FieldByName("Id")->AsInteger(), 2);
    EXPECT_TRUE(source->ExecuteAction(next));  // the data source as a component target
    EXPECT_TRUE(data->Eof());
    EXPECT_TRUE(source->UpdateAction(next));
    EXPECT_FALSE(next->Enabled);
    EXPECT_FALSE(data->ExecuteAction(next));  // the dataset itself is not a target

    link.SetDataSource(nullptr);
    next->Free();
    source->Free();
}

}  // namespace
