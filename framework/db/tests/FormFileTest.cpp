#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "classes/ClassRegistry.h"
#include "classes/DataModule.h"
#include "classes/FormResource.h"
#include "db/DBRegister.h"
#include "db/DataSource.h"
#include "db/MemDataSet.h"
#include "db/NumericFields.h"
#include "db/ObjectFields.h"
#include "db/StringField.h"

namespace {

const char* const kModuleText =
    "object Module: TDataModule\n"
    "  OldCreateOrder = False\n"
    "  Left = 0\n"
    "  Top = 0\n"
    "  Height = 150\n"
    "  Width = 215\n"
    "  object People: TMemDataSet\n"
    "    AutoCalcFields = False\n"
    "    object PeopleName: TStringField\n"
    "      DisplayLabel = 'Client Name'\n"
    "      FieldName = 'Name'\n"
    "      Size = 30\n"
    "    end\n"
    "    object PeopleAmount: TFloatField\n"
    "      FieldName = 'Amount'\n"
    "      Currency = True\n"
    "    end\n"
    "  end\n"
    "  object PeopleSource: TDataSource\n"
    "    AutoEdit = False\n"
    "    DataSet = People\n"
    "  end\n"
    "end\n";

TEST(DataSetFormFile, PersistentFieldsAndDataSourceReadAndWriteBack)
{
    RegisterDBClasses();
    RegisterClass(TMemDataSet::StaticClass());
    TDataModule* module = CreateObject<TDataModule>(nullptr);
    ReadComponentText(module, kModuleText);

    auto* people = dynamic_cast<TMemDataSet*>(module->FindComponent("People"));
    auto* source = dynamic_cast<TDataSource*>(module->FindComponent("PeopleSource"));
    ASSERT_TRUE(people && source);
    EXPECT_FALSE(people->AutoCalcFields());
    EXPECT_EQ(source->DataSet(), people);
    EXPECT_FALSE(source->AutoEdit());
    ASSERT_EQ(people->FieldCount(), 2);
    auto* name = dynamic_cast<TStringField*>(people->FieldByName("Name"));
    ASSERT_TRUE(name);
    EXPECT_EQ(name->Owner(), module);
    EXPECT_EQ(name->Size(), 30);
    EXPECT_EQ(name->DisplayLabel(), "Client Name");
    auto* amount = dynamic_cast<TFloatField*>(people->FieldByName("Amount"));
    ASSERT_TRUE(amount);
    EXPECT_TRUE(amount->Currency());

    const std::string written = WriteComponentText(module);
    EXPECT_EQ(written.find("Alignment"), std::string::npos);
    module->Free();
    TDataModule* copy = CreateObject<TDataModule>(nullptr);
    ReadComponentText(copy, written);
    EXPECT_EQ(WriteComponentText(copy), written);
    auto* copiedPeople = dynamic_cast<TMemDataSet*>(copy->FindComponent("People"));
    ASSERT_TRUE(copiedPeople);
    EXPECT_EQ(copiedPeople->FieldCount(), 2);

    copy->Free();
}

// The children of an object field are the form's components beside the other fields, each naming its parent.
const char* const kObjectModuleText =
    "object Module: TDataModule\n"
    "  OldCreateOrder = False\n"
    "  object People: TMemDataSet\n"
    "    object PeopleAddress: TADTField\n"
    "      FieldName = 'Address'\n"
    "    end\n"
    "    object PeopleAddressStreet: TStringField\n"
    "      FieldName = 'Street'\n"
    "      Size = 30\n"
    "      ParentField = PeopleAddress\n"
    "    end\n"
    "    object PeopleAddressZip: TIntegerField\n"
    "      FieldName = 'Zip'\n"
    "      ParentField = PeopleAddress\n"
    "    end\n"
    "    object PeopleName: TStringField\n"
    "      FieldName = 'Name'\n"
    "      Size = 10\n"
    "    end\n"
    "  end\n"
    "end\n";

TEST(DataSetFormFile, ChildrenOfObjectFieldsReadAndWriteBack)
{
    RegisterDBClasses();
    RegisterClass(TMemDataSet::StaticClass());
    TDataModule* module = CreateObject<TDataModule>(nullptr);
    ReadComponentText(module, kObjectModuleText);
    auto* people = dynamic_cast<TMemDataSet*>(module->FindComponent("People"));
    auto* address = dynamic_cast<TADTField*>(module->FindComponent("PeopleAddress"));
    ASSERT_TRUE(people && address);
    ASSERT_EQ(address->FieldCount(), 2);
    EXPECT_EQ(address->Fields()->Fields(1), module->FindComponent("PeopleAddressZip"));
    std::vector<std::string> names;
    for (Integer i = 0; i < people->FieldCount(); ++i) names.push_back(people->Fields()->Fields(i)->FullName());
    EXPECT_EQ(names, (std::vector<std::string>{"Address", "Address.Street", "Address.Zip", "Name"}));

    TFieldDef* addressDef = people->FieldDefs()->Add("Address", ftADT);
    addressDef->ChildDefs()->Add("Street", ftString, 30);
    addressDef->ChildDefs()->Add("Zip", ftInteger);
    people->FieldDefs()->Add("Name", ftString, 10);
    people->Open();
    people->Append();
    people->FieldByName("Address.Zip")->SetAsInteger(1234);
    people->Post();
    EXPECT_EQ(address->FieldValues(1).ToInteger(), 1234);
    people->Close();

    std::string written = WriteComponentText(module);
    written.erase(std::remove(written.begin(), written.end(), '\r'), written.end());
    EXPECT_EQ(written, kObjectModuleText);
    module->Free();

    TDataModule* broken = CreateObject<TDataModule>(nullptr);
    std::string text = kObjectModuleText;
    text.replace(text.find("ParentField = PeopleAddress"), 27, "ParentField = People");
    EXPECT_THROW(ReadComponentText(broken, text), EReadError) << "a parent that is no object field";
    broken->Free();
}

}  // namespace
