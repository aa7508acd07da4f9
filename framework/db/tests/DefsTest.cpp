#include <algorithm>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "classes/ClassRegistry.h"
#include "classes/DataModule.h"
#include "classes/FormResource.h"
#include "db/DBErrors.h"
#include "db/DBRegister.h"
#include "db/IndexDefs.h"
#include "db/MemDataSet.h"
#include "db/NumericFields.h"

namespace {

// A table that keeps its definitions in its form, as a table component does when asked to store them.
class TStoredDefsTable : public TMemDataSet {
    DUN_CLASS(TStoredDefsTable, TMemDataSet)
public:
    explicit TStoredDefsTable(TComponent* owner) : TMemDataSet(owner), indexDefs_(std::make_unique<TIndexDefs>(this)) {}
    static void Publish(TPublisher<TStoredDefsTable>& p)
    {
        p.Property("FieldDefs", &TDataSet::FieldDefs, &TDataSet::SetFieldDefs)
            .Stored(&TStoredDefsTable::FieldDefsStored);
        p.Property("IndexDefs", &TStoredDefsTable::IndexDefs, &TStoredDefsTable::SetIndexDefs)
            .Stored(&TStoredDefsTable::IndexDefsStored);
        p.Property("Constraints", &TDataSet::Constraints, &TDataSet::SetConstraints)
            .Stored(&TStoredDefsTable::ConstraintsStored);
    }

    TIndexDefs* IndexDefs() const { return indexDefs_.get(); }
    void SetIndexDefs(TIndexDefs* value) { indexDefs_->Assign(value); }
    Integer DefChanges = 0;
    // What the table reads from its file when asked for its definitions: FromFile, and with ReadsObject an object
    // Address of Street and an object Geo of Lat.
    bool DefinesOnRead = false;
    bool ReadsObject = false;

protected:
    void DefChanged(TObject*) override { ++DefChanges; }
    void InternalInitFieldDefs() override
    {
        if (!DefinesOnRead) return;
        FieldDefs()->Clear();
        FieldDefs()->Add("FromFile", ftInteger);
        if (!ReadsObject) return;
        TFieldDefs* address = FieldDefs()->Add("Address", ftADT)->ChildDefs();
        address->Add("Street", ftString, 30);
        address->Add("Geo", ftADT)->ChildDefs()->Add("Lat", ftFloat);
    }

private:
    bool FieldDefsStored() const { return FieldDefs()->Count() > 0; }
    bool IndexDefsStored() const { return indexDefs_->Count() > 0; }
    bool ConstraintsStored() const { return Constraints()->Count() > 0; }

    std::unique_ptr<TIndexDefs> indexDefs_;
};

const char* const kModuleText =
    "object Module: TDataModule\n"
    "  OldCreateOrder = False\n"
    "  object Clients: TStoredDefsTable\n"
    "    FieldDefs = <\n"
    "      item\n"
    "        Name = 'Code'\n"
    "        Attributes = [faRequired]\n"
    "        DataType = ftString\n"
    "        Size = 10\n"
    "      end\n"
    "      item\n"
    "        Name = 'Address'\n"
    "        ChildDefs = <\n"
    "          item\n"
    "            Name = 'Street'\n"
    "            DataType = ftString\n"
    "            Size = 30\n"
    "          end\n"
    "          item\n"
    "            Name = 'Zip'\n"
    "            DataType = ftInteger\n"
    "          end>\n"
    "        DataType = ftADT\n"
    "        Size = 2\n"
    "      end\n"
    "      item\n"
    "        Name = 'Fee'\n"
    "        DataType = ftBCD\n"
    "        Precision = 12\n"
    "        Size = 2\n"
    "      end>\n"
    "    IndexDefs = <\n"
    "      item\n"
    "        Name = 'ByCode'\n"
    "        Fields = 'Code'\n"
    "        Options = [ixPrimary, ixUnique]\n"
    "      end\n"
    "      item\n"
    "        Name = 'ByStreet'\n"
    "        CaseInsFields = 'Address.Street'\n"
    "        DescFields = 'Code'\n"
    "        Fields = 'Address.Street;Code'\n"
    "        Options = [ixCaseInsensitive]\n"
    "        Source = 'clients.idx'\n"
    "        GroupingLevel = 1\n"
    "      end>\n"
    "  end\n"
    "end\n";

class DefsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        RegisterDBClasses();
        RegisterClass(TStoredDefsTable::StaticClass());
    }
    TDataModule* Load(const std::string& text)
    {
        TDataModule* module = CreateObject<TDataModule>(nullptr);
        ReadComponentText(module, text);
        return module;
    }
    static TStoredDefsTable* ClientsOf(TDataModule* module)
    {
        return dynamic_cast<TStoredDefsTable*>(module->FindComponent("Clients"));
    }
};

TEST_F(DefsTest, FieldAndIndexDefinitionsReadFromAFormAndWriteBack)
{
    TDataModule* module = Load(kModuleText);
    TStoredDefsTable* clients = ClientsOf(module);
    ASSERT_TRUE(clients);
    EXPECT_EQ(clients->DefChanges, 0);  // loading is no change

    TFieldDefs* defs = clients->FieldDefs();
    ASSERT_EQ(defs->Count(), 3);
    EXPECT_TRUE(defs->Items(0)->Required());
    EXPECT_EQ(defs->Items(0)->Size, 10);
    EXPECT_EQ(defs->Items(2)->FieldNo, 3);
    EXPECT_EQ(defs->Items(2)->Precision, 12);
    TFieldDef* address = defs->Find("ADDRESS");
    EXPECT_EQ(address->DataType, ftADT);
    ASSERT_TRUE(address->HasChildDefs());
    EXPECT_FALSE(defs->Items(0)->HasChildDefs());
    TFieldDef* zip = address->ChildDefs()->Items(1);
    EXPECT_EQ(zip->Name, "Zip");
    EXPECT_EQ(zip->DataType, ftInteger);
    EXPECT_EQ(zip->ParentDef(), address);
    EXPECT_EQ(address->ParentDef(), nullptr);
    EXPECT_EQ(address->ChildDefs()->DataSet(), clients);

    TIndexDefs* indexes = clients->IndexDefs();
    ASSERT_EQ(indexes->Count(), 2);
    EXPECT_EQ(indexes->Items(0)->Options, TIndexOptions({ixPrimary, ixUnique}));
    TIndexDef* byStreet = indexes->Find("ByStreet");
    EXPECT_EQ(byStreet->CaseInsFields, "Address.Street");
    EXPECT_EQ(byStreet->DescFields, "Code");
    EXPECT_EQ(byStreet->Source, "clients.idx");
    EXPECT_EQ(byStreet->GroupingLevel, 1);
    EXPECT_EQ(indexes->GetIndexForFields("Address.Street", true), byStreet);

    std::string written = WriteComponentText(module);
    written.erase(std::remove(written.begin(), written.end(), '\r'), written.end());
    EXPECT_EQ(written, kModuleText);
    module->Free();

    // Empty definitions are not written.
    TDataModule* bare = Load("object Module: TDataModule\n  object Clients: TStoredDefsTable\n  end\nend\n");
    EXPECT_EQ(WriteComponentText(bare).find("Defs ="), std::string::npos);
    bare->Free();
}

TEST_F(DefsTest, ChangesReachTheDataSetButReadingTheDefinitionsDoesNot)
{
    TStoredDefsTable* table = CreateObject<TStoredDefsTable>(nullptr);
    TFieldDefs* defs = table->FieldDefs();
    int updates = 0;
    defs->OnUpdate = [&](TObject* sender) {
        EXPECT_EQ(sender, defs);
        ++updates;
    };

    defs->Add("Code", ftString, 10);
    EXPECT_EQ(table->DefChanges, 1);
    EXPECT_EQ(updates, 1);
    SetOrdProp(defs->Items(0), "Size", 12);
    EXPECT_EQ(defs->Items(0)->Size, 12);
    EXPECT_EQ(table->DefChanges, 2);
    table->IndexDefs()->Add("ByCode", "Code", {ixPrimary});
    EXPECT_EQ(table->DefChanges, 3);

    table->DefinesOnRead = true;
    defs->SetUpdated(false);
    defs->Update();
    EXPECT_TRUE(defs->Updated());
    ASSERT_EQ(defs->Count(), 1);
    EXPECT_EQ(defs->Items(0)->Name, "FromFile");
    EXPECT_EQ(table->DefChanges, 3);
    EXPECT_EQ(updates, 2);  // only the Size change after the first Add

    // Copies keep the child definitions; names stay unique.
    TFieldDefs copy(table);
    TFieldDef* array = defs->Add("Phones", ftArray, 3);
    array->AddChild()->Name = "Phones[0]";
    array->ChildDefs()->Items(0)->DataType = ftString;
    copy.Assign(defs);
    ASSERT_EQ(copy.Count(), 2);
    ASSERT_TRUE(copy.Items(1)->HasChildDefs());
    EXPECT_EQ(copy.Items(1)->ChildDefs()->Items(0)->Name, "Phones[0]");
    EXPECT_EQ(copy.Items(1)->ChildDefs()->Items(0)->ParentDef(), copy.Items(1));
    try {
        copy.Items(1)->SetName("fromfile");
        ADD_FAILURE() << "duplicate name accepted";
    } catch (const EDatabaseError& e) {
        EXPECT_EQ(e.Message(), "Duplicate name 'fromfile' in TFieldDefs");
    }
    EXPECT_THROW(defs->Find("Missing"), EDatabaseError);
    table->Free();
}

TEST_F(DefsTest, ChildDefinitionsHoldTheirChangesWhileTheirParentsCollectionIsReadOrUpdated)
{
    TStoredDefsTable* table = CreateObject<TStoredDefsTable>(nullptr);
    table->DefinesOnRead = table->ReadsObject = true;
    table->FieldDefs()->Update();
    TFieldDefs* address = table->FieldDefs()->Find("Address")->ChildDefs();
    ASSERT_EQ(address->Count(), 2);
    EXPECT_EQ(address->Items(1)->ChildDefs()->Items(0)->Name, "Lat");
    EXPECT_EQ(table->DefChanges, 0) << "reading is no change";

    table->FieldDefs()->BeginUpdate();
    address->Add("Zip", ftInteger);
    address->Items(1)->ChildDefs()->Add("Long", ftFloat);
    EXPECT_EQ(table->DefChanges, 0);
    table->FieldDefs()->EndUpdate();
    EXPECT_EQ(table->DefChanges, 1) << "reported once, when the update ends";

    address->Items(1)->ChildDefs()->Items(0)->SetRequired(true);
    EXPECT_EQ(table->DefChanges, 2) << "a change of its own";
    table->Free();
}

const char* const kConstrainedText =
    "object Module: TDataModule\n"
    "  OldCreateOrder = False\n"
    "  object Clients: TStoredDefsTable\n"
    "    Constraints = <\n"
    "      item\n"
    "        CustomConstraint = 'Fee >= 0'\n"
    "        ErrorMessage = 'No negative fees'\n"
    "      end\n"
    "      item\n"
    "        FromDictionary = False\n"
    "        ImportedConstraint = 'Code <> '''''\n"
    "      end>\n"
    "    object ClientsFee: TIntegerField\n"
    "      ConstraintErrorMessage = 'Fee too high'\n"
    "      CustomConstraint = 'x < 1000'\n"
    "      FieldName = 'Fee'\n"
    "    end\n"
    "  end\n"
    "end\n";

TEST_F(DefsTest, ConstraintsOfTheDataSetAndItsFieldsReadAndWriteBack)
{
    TDataModule* module = Load(kConstrainedText);
    TStoredDefsTable* clients = ClientsOf(module);
    ASSERT_TRUE(clients);
    TCheckConstraints* constraints = clients->Constraints();
    ASSERT_EQ(constraints->Count(), 2);
    EXPECT_EQ(constraints->Items(0)->CustomConstraint(), "Fee >= 0");
    EXPECT_EQ(constraints->Items(0)->ErrorMessage(), "No negative fees");
    EXPECT_TRUE(constraints->Items(0)->FromDictionary());
    EXPECT_FALSE(constraints->Items(1)->FromDictionary());
    EXPECT_EQ(constraints->Items(1)->ImportedConstraint(), "Code <> ''");
    TField* fee = clients->FieldByName("Fee");
    EXPECT_EQ(fee->ConstraintErrorMessage(), "Fee too high");
    EXPECT_TRUE(fee->HasConstraints());
    EXPECT_TRUE(clients->HasConstraints());

    std::string written = WriteComponentText(module);
    written.erase(std::remove(written.begin(), written.end(), '\r'), written.end());
    EXPECT_EQ(written, kConstrainedText);

    // Either kind of constraint alone makes a constrained dataset; a default expression is one too.
    constraints->Clear();
    EXPECT_TRUE(clients->HasConstraints());
    fee->SetCustomConstraint("");
    EXPECT_FALSE(fee->HasConstraints());
    EXPECT_FALSE(clients->HasConstraints());
    fee->SetDefaultExpression("0");
    EXPECT_TRUE(clients->HasConstraints());
    fee->SetDefaultExpression("");
    fee->SetImportedConstraint("Fee > 0");
    EXPECT_TRUE(clients->HasConstraints());

    TStoredDefsTable* other = CreateObject<TStoredDefsTable>(nullptr);
    other->Constraints()->Add()->SetCustomConstraint("Code <> ''");
    clients->SetConstraints(other->Constraints());
    ASSERT_EQ(constraints->Count(), 1);
    EXPECT_EQ(constraints->Items(0)->CustomConstraint(), "Code <> ''");
    other->Free();
    module->Free();
}

}  // namespace
