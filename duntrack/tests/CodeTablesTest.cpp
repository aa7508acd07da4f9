// The code tables a program opens follow its own file name: a name with CLIENT opens the office codes and client
// types, one with CASES the departments, case types and statement messages. Built once as a program named with
// "client" and once with "cases" (CODE_TABLE_PROGRAM).
#include <gtest/gtest.h>

#include "DataModuleFixture.h"
#include "hostdata/OVWCon.h"
#include "rtl/CommandLine.h"
#include "rtl/FileUtils.h"
#include "rtl/StringRoutines.h"

namespace {

const std::string Program = CODE_TABLE_PROGRAM;

class CodeTables : public DataModuleTest {
protected:
    void MakeFiles(THostDataDir& dir) override
    {
        if (withFile_) AddCodes(dir, {{"O", "AB", "Abstracts"}, {"D", "LT", "Litigation"}});
    }
    void SetUp() override
    {
        const std::string folder = UpperCase(ExtractFilePath(ParamStr(0)));
        if (folder.find("CLIENT") != std::string::npos || folder.find("CASES") != std::string::npos)
            GTEST_SKIP() << "the build folder's name decides already";
        DataModuleTest::SetUp();
    }
    void TearDown() override
    {
        if (dm_) DataModuleTest::TearDown();
    }

    std::vector<TvxBkTable*> ClientTables() const
    {
        return {dm_->OffCodes1_, dm_->OffCodes2_, dm_->ClTypeOne1_, dm_->ClTypeOne2_, dm_->ClTypeTwo1_,
                dm_->ClTypeTwo2_};
    }
    std::vector<TvxBkTable*> CaseTables() const
    {
        return {dm_->DeptCodes1_,   dm_->DeptCodes2_,   dm_->CaTypeOne1_, dm_->CaTypeOne2_, dm_->CaTypeTwo1_,
                dm_->CaTypeTwo2_,   dm_->CaTypeThree1_, dm_->CaTypeThree2_, dm_->StMsg1_,     dm_->StMsg2_};
    }

    bool withFile_ = true;
};

TEST_F(CodeTables, TheProgramsNameChoosesTheTablesEachOnItsKey)
{
    dm_->ActivateCodeTables();
    EXPECT_TRUE(dialogs_->Shown.empty());
    const bool client = Program == "client";
    for (TvxBkTable* table : ClientTables()) EXPECT_EQ(table->Active(), client) << table->Name();
    for (TvxBkTable* table : CaseTables()) EXPECT_EQ(table->Active(), !client) << table->Name();
    for (TvxBkTable* table : client ? ClientTables() : CaseTables()) {
        EXPECT_EQ(table->TableName(), Path("ytable.qf") + ";RES:SIMPLECD");
        EXPECT_EQ(table->IndexName(), table->Name().ends_with("1_") ? "5" : "4") << table->Name();
    }
    TvxBkTable* first = client ? dm_->OffCodes1_ : dm_->DeptCodes1_;
    EXPECT_EQ(CountRecords(first), 1);
    EXPECT_EQ(first->FieldByName("DescCode")->AsString(), client ? "Abstracts  (AB)" : "Litigation  (LT)");
}

class MissingCodeTable : public CodeTables {
protected:
    void MakeFiles(THostDataDir& dir) override
    {
        withFile_ = false;
        CodeTables::MakeFiles(dir);
    }
};

TEST_F(MissingCodeTable, AFileThatDoesNotOpenStopsTheSequenceWithAMessage)
{
    dm_->ActivateCodeTables();
    EXPECT_EQ(ShownTexts(), std::vector<std::string>{"Unable to access the file ytable.qf.\r" + CallForAssistanceSuffix});
    EXPECT_EQ(dialogs_->Shown[0].Type, mtError);
    for (TvxBkTable* table : Program == "client" ? ClientTables() : CaseTables()) EXPECT_FALSE(table->Active());
}

}  // namespace
