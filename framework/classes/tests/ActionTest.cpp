// Actions in an action list: read from a form text, categories, the list's handler before the action's own.
#include <gtest/gtest.h>

#include "classes/Action.h"
#include "classes/DataModule.h"
#include "classes/FormResource.h"

namespace {

class TActionHolder : public TDataModule {
    DUN_CLASS(TActionHolder, TDataModule)
public:
    explicit TActionHolder(TComponent* owner) : TDataModule(owner) {}

    TActionList* ActionList1 = nullptr;
    TAction* HideEdits = nullptr;
    TAction* ShowEdits = nullptr;
    std::vector<std::string> Calls;
    bool ListHandles = false;

    void HideEditsExecute(TObject* sender) { Calls.push_back("hide " + static_cast<TComponent*>(sender)->Name()); }
    void ShowEditsExecute(TObject* sender) { Calls.push_back("show " + static_cast<TComponent*>(sender)->Name()); }
    void ActionList1Execute(TBasicAction* action, bool& handled)
    {
        Calls.push_back("list " + action->Name());
        handled = ListHandles;
    }

    static void Publish(TPublisher<TActionHolder>& p)
    {
        p.Field("ActionList1", &TActionHolder::ActionList1);
        p.Field("HideEdits", &TActionHolder::HideEdits);
        p.Field("ShowEdits", &TActionHolder::ShowEdits);
        p.Method("HideEditsExecute", &TActionHolder::HideEditsExecute);
        p.Method("ShowEditsExecute", &TActionHolder::ShowEditsExecute);
        p.Method("ActionList1Execute", &TActionHolder::ActionList1Execute);
    }
};

const char* const HolderText =
    "object Holder: TActionHolder\n"
    "  object ActionList1: TActionList\n"
    "    OnExecute = ActionList1Execute\n"
    "    Left = 8\n"
    "    Top = 8\n"
    "    object HideEdits: TAction\n"
    "      Category = 'Visibility'\n"
    "      Caption = 'HideEdits'\n"
    "      OnExecute = HideEditsExecute\n"
    "    end\n"
    "    object ShowEdits: TAction\n"
    "      Category = 'Visibility'\n"
    "      OnExecute = ShowEditsExecute\n"
    "    end\n"
    "  end\n"
    "end\n";

TEST(ActionList, ActionsReadFromTextBelongToTheirListAndRunTheirHandlers)
{
    TActionHolder holder(nullptr);
    ReadComponentText(&holder, HolderText);
    ASSERT_NE(holder.ActionList1, nullptr);
    ASSERT_EQ(holder.ActionList1->ActionCount(), 2);
    EXPECT_EQ(holder.ActionList1->Actions(0), holder.HideEdits);
    EXPECT_EQ(holder.ShowEdits->Index(), 1);
    EXPECT_EQ(holder.HideEdits->ActionList(), holder.ActionList1);
    EXPECT_EQ(holder.HideEdits->Category(), "Visibility");
    EXPECT_EQ(holder.HideEdits->Caption(), "HideEdits");
    EXPECT_EQ(holder.HideEdits->Owner(), &holder);

    EXPECT_TRUE(holder.ShowEdits->Execute());
    EXPECT_EQ(holder.Calls, (std::vector<std::string>{"list ShowEdits", "show ShowEdits"}));
    // The list's handler may take the action over; a disabled action does not run at all.
    holder.Calls.clear();
    holder.ListHandles = true;
    EXPECT_TRUE(holder.HideEdits->Execute());
    holder.HideEdits->SetEnabled(false);
    EXPECT_FALSE(holder.HideEdits->Execute());
    EXPECT_EQ(holder.Calls, std::vector<std::string>{"list HideEdits"});

    const std::string written = WriteComponentText(&holder);
    EXPECT_NE(written.find("object HideEdits: TAction"), std::string::npos);
    EXPECT_NE(written.find("Category = 'Visibility'"), std::string::npos);
}

TEST(ActionList, AnActionLeavesItsListWhenEitherGoes)
{
    TComponent owner(nullptr);
    auto* list = new TActionList(&owner);
    auto* first = new TAction(&owner);
    auto* second = new TAction(&owner);
    first->SetActionList(list);
    second->SetActionList(list);
    delete first;
    ASSERT_EQ(list->ActionCount(), 1);
    EXPECT_EQ(list->Actions(0), second);
    EXPECT_THROW(list->Actions(1), EListError);
    delete list;
    EXPECT_EQ(second->ActionList(), nullptr);
    EXPECT_EQ(second->Index(), -1);
}

}  // namespace
