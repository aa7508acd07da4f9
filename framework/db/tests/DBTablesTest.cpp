// The platform's table component: registered for form files and known by the platform's dataset class names.
#include "db/DBTables.h"

#include <gtest/gtest.h>

#include <memory>

#include "classes/DataModule.h"
#include "classes/FormResource.h"
#include "engine/bk/BtrInfoU.h"

namespace {

TEST(DBTables, TheTableAnswersToThePlatformsEngineDatasetNamesAndTheEnginesDatasetsDoNot)
{
    for (const char* name : {"TDBDataSet", "TBDEDataSet", "tbdedataset", "TTable", "TDataSet"})
        EXPECT_TRUE(TTable::StaticClass()->InheritsFrom(std::string(name))) << name;
    for (TClass engineClass : {TbkTable::StaticClass(), TvxBkTable::StaticClass(), TbqTable::StaticClass(),
                               TbqDBDataset::StaticClass(), TbqBDEDataset::StaticClass()}) {
        EXPECT_FALSE(engineClass->InheritsFrom(std::string("TDBDataSet"))) << engineClass->Name;
        EXPECT_FALSE(engineClass->InheritsFrom(std::string("TBDEDataSet"))) << engineClass->Name;
    }
}

TEST(DBTables, AFormFileHoldsATable)
{
    std::unique_ptr<TDataModule> module(CreateObject<TDataModule>(nullptr));
    ReadComponentText(module.get(), "object Tables: TDataModule\n"
                                     "  object Table1: TTable\n"
                                     "    DatabaseName = 'vavuz'\n"
                                     "    TableName = 'c:\\data\\yclient.qf;RES:YCLIENT'\n"
                                     "  end\n"
                                     "end\n");
    auto* table = dynamic_cast<TTable*>(module->FindComponent("Table1"));
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->DatabaseName(), "vavuz");
    EXPECT_EQ(table->TableName(), "c:\\data\\yclient.qf;RES:YCLIENT");
    EXPECT_NE(WriteComponentText(module.get()).find("object Table1: TTable"), std::string::npos);
}

}  // namespace
