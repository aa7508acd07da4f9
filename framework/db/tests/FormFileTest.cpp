#include <gtest/gtest.h>

#include "classes/ClassRegistry.h"
#include "classes/DataModule.h"
#include "classes/FormResource.h"
#include "db/DBRegister.h"
#include "db/DataSource.h"
#include "db/MemDataSet.h"
#include "db/NumericFields.h"
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

}  // namespace
