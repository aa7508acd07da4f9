// Filter texts on a table over a record-manager file: the compiled filters select the records the texts say, the
// callback filter works on the table, and the query helpers find alias paths and answer-table names.
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "db/DBTables.h"
#include "engine/bk/BkSession.h"
#include "engine/components/BseSession.h"
#include "engine/tests/support/HostClientsSupport.h"
#include "rtl/StringRoutines.h"
#include "rtl/WinApi.h"
#include "tools/mkdemo/DemoRegistry.h"
#include "tools/mkdemo/MachineRegistryOverride.h"
#include "vcl/TestHelpers.h"
#include "vxdata/vxFilterTime.h"
#include "vxdata/vxfilter.h"

namespace {

namespace fs = std::filesystem;
using Codes = std::vector<std::string>;

constexpr const char* AliasesKey = "\\Software\\Borea\\Btrieve\\Aliases\\";

class FilterOnRecordFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        static int counter = 0;
        folder_ = (fs::temp_directory_path() /
                   ("vxfilter_" + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(++counter)))
                      .string();
        fs::remove_all(folder_);
        {
            THostDataDir dir(folder_);
            MakeClientFile(dir);
        }
        registry_ = std::make_unique<TMachineRegistryOverride>();
        WriteDemoRegistry(folder_);
        table_ = new TTable(nullptr);
        table_->SetDatabaseName("vavuz");
        table_->SetTableName(folder_ + "\\yclient.qf;RES:YCLIENT");
        table_->SetIndexName("1");
        table_->Open();
    }

    void TearDown() override
    {
        table_->Free();
        BkDefaultSession()->SetActive(false);
        registry_.reset();
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }

    // The client codes the table shows, in key order.
    Codes AllCodes()
    {
        Codes codes;
        for (table_->First(); !table_->Eof(); table_->Next())
            codes.push_back(Trim(table_->FieldByName("Client Code")->AsString()));
        return codes;
    }

    std::string folder_;
    std::unique_ptr<TMachineRegistryOverride> registry_;
    TTable* table_ = nullptr;
};

TEST_F(FilterOnRecordFile, FilterTextsSelectTheRecordsTheySay)
{
    // Code, last name, unassigned: CARTER Adams 000000, DELTA Brown 800000, EVANS Clark 000000, BAKER Young 800000,
    // ACME Zeta 000000.
    const std::pair<const char*, Codes> cases[] = {
        {"Client Last Name = Clark", {"EVANS"}},
        {"client last name = \"Clark\"", {"EVANS"}},
        {"Client Code = ACME", {"ACME"}},
        {"Client Code <> ACME", {"BAKER", "CARTER", "DELTA", "EVANS"}},
        {"Unassigned = 800000 OR Client Last Name = Zeta", {"ACME", "BAKER", "DELTA"}},
        {"Client Last Name >= M AND (Unassigned = 800000)", {"BAKER"}},
        {"Unassigned < \"8\" AND Client Last Name < C", {"CARTER"}},
        {"AutoIncrement = 3", {}},  // no constants of its type: compared with the text "3"
    };
    TFilterListItem* filter = nullptr;
    for (const auto& [text, codes] : cases) {
        ASSERT_TRUE(vxApplyTableFilter(text, table_, filter, false)) << text;
        EXPECT_EQ(AllCodes(), codes) << text;
    }
    ASSERT_TRUE(vxApplyTableFilter("", table_, filter, false));
    EXPECT_EQ(filter, nullptr);
    EXPECT_EQ(AllCodes(), (Codes{"ACME", "BAKER", "CARTER", "DELTA", "EVANS"}));
}

TEST_F(FilterOnRecordFile, AFilterAppliedToAClosedTableWaitsForItsCursor)
{
    TFilterListItem* filter = nullptr;
    ASSERT_TRUE(vxApplyTableFilter("Unassigned = 800000", table_, filter, false));
    table_->Close();
    EXPECT_TRUE(vxApplyTableFilter("Unassigned = 800000", table_, filter, false));
    EXPECT_EQ(filter, nullptr) << "the cursor went with its filters";
    table_->Open();
    EXPECT_EQ(AllCodes().size(), 5u);
}

// Accepts the clients whose code starts with a letter after C.
Word __stdcall AfterC(uintptr_t clientData, void* record, Integer)
{
    auto* table = reinterpret_cast<TTable*>(clientData);
    return table->Active() && static_cast<const char*>(record)[4] > 'C';
}

TEST_F(FilterOnRecordFile, ACallbackFilterRefreshesTheTable)
{
    table_->First();
    TFilterListItem* filter = nullptr;
    ASSERT_TRUE(vxInstallCallbackFilter(AfterC, table_, filter));
    EXPECT_EQ(Trim(table_->FieldByName("Client Code")->AsString()), "DELTA");
    EXPECT_EQ(AllCodes(), (Codes{"DELTA", "EVANS"}));
    ASSERT_TRUE(vxInstallCallbackFilter(nullptr, table_, filter));
    EXPECT_EQ(filter, nullptr);
    EXPECT_EQ(AllCodes().size(), 5u);
}

TEST_F(FilterOnRecordFile, AnAliasPathIsItsPathEntry)
{
    registry_->SetString(std::string(AliasesKey) + "WORK", "Path", "c:\\data");
    std::string path = "old";
    vxGetAliasPath("WORK", path);
    EXPECT_EQ(path, "c:\\data");
    vxGetAliasPath("work", path);
    EXPECT_EQ(path, "c:\\data");
    vxGetAliasPath("NOSUCH", path);
    EXPECT_EQ(path, "");
    vxGetAliasPath("vavuz", path);
    EXPECT_EQ(path, "") << "an alias with a physical name only";
}

TEST_F(FilterOnRecordFile, AnswerTablesAreRefusedWithTheirReason)
{
    const std::string privateDir = table_->DBSession()->PrivateDir();
    ASSERT_TRUE(privateDir.empty() || std::toupper(Byte(privateDir[0])) != 'Z');
    registry_->SetString(std::string(AliasesKey) + "WORK", "Path", "z:\\data\\");
    registry_->SetString(std::string(AliasesKey) + "LOCAL", "Path", "answers");
    TBaseTable* cursor = table_->Handle();
    TScriptedDialogs dialogs;

    EXPECT_FALSE(vxPrepareAnswerTable(table_, cursor, ""));
    EXPECT_TRUE(dialogs.Shown.empty());

    EXPECT_FALSE(vxPrepareAnswerTable(table_, cursor, ":NOSUCH:answer.db"));
    ASSERT_EQ(dialogs.Shown.size(), 1u);
    EXPECT_EQ(dialogs.Shown[0].Kind, "MessageBox");
    EXPECT_EQ(dialogs.Shown[0].Text, "Invalid Alias in QBE");

    // Another drive than the private directory's: a copy of the result, which the engine cannot make.
    EXPECT_FALSE(vxPrepareAnswerTable(table_, cursor, ":WORK:answer.db"));
    ASSERT_EQ(dialogs.Shown.size(), 2u);
    EXPECT_EQ(dialogs.Shown[1].Kind, "MessageDlg");
    EXPECT_EQ(dialogs.Shown[1].Type, mtWarning);
    EXPECT_EQ(dialogs.Shown[1].Text, "Unable to create answer table z:\\data\\answer.db");

    // Other names are set on the cursor, which the engine refuses.
    EXPECT_FALSE(vxPrepareAnswerTable(table_, cursor, ":LOCAL:\\answer.db"));
    ASSERT_EQ(dialogs.Shown.size(), 3u);
    EXPECT_EQ(dialogs.Shown[2].Kind, "MessageBox");
    EXPECT_TRUE(dialogs.Shown[2].Text.ends_with("(answers\\answer.db)")) << dialogs.Shown[2].Text;
    EXPECT_FALSE(vxPrepareAnswerTable(table_, cursor, ":LOCAL:answer.db"));
    ASSERT_EQ(dialogs.Shown.size(), 4u);
    EXPECT_TRUE(dialogs.Shown[3].Text.ends_with("(answers\\answer.db)")) << dialogs.Shown[3].Text;
}

}  // namespace
