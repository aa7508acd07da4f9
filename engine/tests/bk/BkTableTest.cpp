// The programs' table on host files of the record manager: a data module read from its form file with tables on
// the alias VAVUZ, opened by table name with layout resources, searched by key, limited by ranges and filters,
// edited, and checked against picture masks before a post.
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "classes/ClassRegistry.h"
#include "classes/DataModule.h"
#include "db/DBErrors.h"
#include "db/DBTables.h"
#include "db/DataSource.h"
#include "engine/bk/BkDatabase.h"
#include "engine/bk/BkSession.h"
#include "engine/bk/BtrInfoU.h"
#include "engine/components/BseDatabase.h"
#include "engine/tests/support/HostClientsSupport.h"
#include "rtl/StringRoutines.h"
#include "rtl/WinApi.h"
#include "tools/mkdemo/DemoRegistry.h"
#include "tools/mkdemo/MachineRegistryOverride.h"
#include "vxdata/Vxintl.h"

namespace {

namespace fs = std::filesystem;

class TBkTableModule : public TDataModule {
    DUN_CLASS(TBkTableModule, TDataModule)
public:
    explicit TBkTableModule(TComponent* owner) : TDataModule(owner) {}

    TvxBkTable* Clients = nullptr;
    TvxBkTable* Cases = nullptr;

    static void Publish(TPublisher<TBkTableModule>& p)
    {
        p.Field("Clients", &TBkTableModule::Clients);
        p.Field("Cases", &TBkTableModule::Cases);
    }
};

std::string Key(const std::string& code) { return code + std::string(7 - code.size(), ' '); }

class BkTables : public ::testing::Test {
protected:
    void SetUp() override
    {
        static int counter = 0;
        folder_ = (fs::temp_directory_path() /
                   ("bktable_" + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(++counter)))
                      .string();
        fs::remove_all(folder_);
        MakeHostFiles();
        registry_ = std::make_unique<TMachineRegistryOverride>();
        WriteDemoRegistry(folder_);
        module_ = CreateObject<TBkTableModule>(nullptr);
        clients_ = module_->Clients;
        cases_ = module_->Cases;
        clients_->SetTableName(Path("yclient.qf") + ";RES:YCLIENT");
        cases_->SetTableName(Path("ycase.qf") + ";RES:YCASE");
    }

    void TearDown() override
    {
        module_->Free();
        BkDefaultSession()->SetActive(false);
        registry_.reset();
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }

    void MakeHostFiles()
    {
        THostDataDir dir(folder_);
        MakeClientFile(dir);
        dir.MakeFile("ycase.qf");
        for (const auto& [client, suffix] : {std::pair{"ACME", "10"}, {"CARTER", "1"}, {"CARTER", "2"}}) {
            THostRecord matter = dir.NewRecord("ycase.qf");
            matter.Set("Client Code", client).Set("Case Suffix", RightJustified(suffix, 7));
            matter.Set("LeftJustCaseSuffix", suffix);
            dir.Insert("ycase.qf", matter);
        }
    }

    std::string Path(const std::string& file) const { return folder_ + "\\" + file; }

    std::string Code() const { return Trim(clients_->FieldByName("Client Code")->AsString()); }

    // The client codes from the current record to the end.
    std::vector<std::string> CodesFromHere()
    {
        std::vector<std::string> codes;
        for (; !clients_->Eof(); clients_->Next()) codes.push_back(Code());
        return codes;
    }
    std::vector<std::string> AllCodes()
    {
        clients_->First();
        return CodesFromHere();
    }

    void OpenClientsOnIndex(const std::string& index)
    {
        clients_->SetIndexName(index);
        clients_->Open();
    }

    std::string folder_;
    std::unique_ptr<TMachineRegistryOverride> registry_;
    TBkTableModule* module_ = nullptr;
    TvxBkTable* clients_ = nullptr;
    TvxBkTable* cases_ = nullptr;
};

using Codes = std::vector<std::string>;

TEST_F(BkTables, TheFirstTableStartsTheEngineAndTablesShareTheAliasDatabase)
{
    EXPECT_EQ(BkEngine(), nullptr);
    EXPECT_FALSE(BkDefaultSession()->Active());
    EXPECT_EQ(BkDefaultSession()->SessionName(), "Btrieve");
    EXPECT_TRUE(clients_->ValidateWithMask());
    EXPECT_EQ(clients_->PictureMasks()->Count(), 1);

    OpenClientsOnIndex("1");
    EXPECT_NE(BkEngine(), nullptr);
    EXPECT_TRUE(BkDefaultSession()->Active());
    cases_->Open();
    ASSERT_NE(clients_->Database(), nullptr);
    EXPECT_EQ(clients_->Database(), cases_->Database());
    EXPECT_EQ(clients_->Database()->DatabaseName(), "vavuz");
    EXPECT_EQ(clients_->Database()->RefCount(), 2);
    EXPECT_EQ(Trim(cases_->FieldByName("Client Code")->AsString()), "ACME");
}

TEST_F(BkTables, IndexesAreSelectedByName)
{
    OpenClientsOnIndex("1");
    EXPECT_EQ(AllCodes(), (Codes{"ACME", "BAKER", "CARTER", "DELTA", "EVANS"}));
    EXPECT_EQ(clients_->RecordCount(), 5);

    ASSERT_TRUE(clients_->FindKey({Key("DELTA")}));
    clients_->SetIndexName("0");
    EXPECT_EQ(clients_->IndexName(), "0");
    EXPECT_EQ(clients_->IndexFieldNames(), "");
    EXPECT_EQ(Code(), "DELTA") << "the current record stays";
    EXPECT_EQ(CodesFromHere(), (Codes{"DELTA", "EVANS", "BAKER", "ACME"}));
    EXPECT_EQ(AllCodes(), (Codes{"CARTER", "DELTA", "EVANS", "BAKER", "ACME"}));
}

TEST_F(BkTables, AKeyNumberAfterAGapSelectsThatKey)
{
    OpenClientsOnIndex("3");  // the client file's keys are 0, 1 and 3: 3 is the last-name key
    EXPECT_EQ(AllCodes(), (Codes{"CARTER", "DELTA", "EVANS", "BAKER", "ACME"}));
    clients_->FindNearest({std::string("Y")});
    EXPECT_EQ(Code(), "BAKER");
}

TEST_F(BkTables, FindKeyMovesOnlyToAnExactKey)
{
    OpenClientsOnIndex("1");
    int before = 0, after = 0;
    clients_->BeforeScroll = [&](TDataSet*) { ++before; };
    clients_->AfterScroll = [&](TDataSet*) { ++after; };

    EXPECT_TRUE(clients_->FindKey({Key("CARTER")}));
    EXPECT_EQ(Code(), "CARTER");
    EXPECT_EQ(before, 1);
    EXPECT_EQ(after, 1);

    EXPECT_FALSE(clients_->FindKey({Key("CARR")}));
    EXPECT_EQ(Code(), "CARTER");
    EXPECT_EQ(before, 2);
    EXPECT_EQ(after, 1);
    EXPECT_EQ(CodesFromHere(), (Codes{"CARTER", "DELTA", "EVANS"}));
}

TEST_F(BkTables, FindNearestMovesToTheFirstKeyAtOrAfterTheValue)
{
    OpenClientsOnIndex("1");
    clients_->FindNearest({Key("C")});
    EXPECT_EQ(Code(), "CARTER");
    clients_->FindNearest({Key("DELTA")});
    EXPECT_EQ(Code(), "DELTA");
    clients_->FindNearest({Key("ZZZ")});
    EXPECT_TRUE(clients_->Eof() || Code() == "EVANS");
}

TEST_F(BkTables, RangesLimitTheRecordsUntilCancelled)
{
    OpenClientsOnIndex("1");
    clients_->Last();
    clients_->SetRange({Key("BAKER")}, {Key("DELTA")});
    EXPECT_EQ(Code(), "BAKER");
    EXPECT_EQ(CodesFromHere(), (Codes{"BAKER", "CARTER", "DELTA"}));
    EXPECT_EQ(AllCodes(), (Codes{"BAKER", "CARTER", "DELTA"}));

    clients_->FindKey({Key("CARTER")});
    clients_->SetRange({Key("BAKER")}, {Key("DELTA")});
    EXPECT_EQ(Code(), "CARTER") << "the same range again does not move";

    clients_->CancelRange();
    EXPECT_EQ(Code(), "CARTER");
    EXPECT_EQ(AllCodes(), (Codes{"ACME", "BAKER", "CARTER", "DELTA", "EVANS"}));

    clients_->SetRange({}, {Key("BAKER")});
    EXPECT_EQ(AllCodes(), (Codes{"ACME", "BAKER"}));
    clients_->SetIndexName("0");
    EXPECT_EQ(AllCodes().size(), 5u) << "another index removes the range";
}

TEST_F(BkTables, FiltersCompareFieldsAsText)
{
    OpenClientsOnIndex("1");
    clients_->SetFilter("[Unassigned] < '8'");
    clients_->SetFiltered(true);
    EXPECT_EQ(AllCodes(), (Codes{"ACME", "CARTER", "EVANS"}));
    clients_->SetFiltered(false);
    EXPECT_EQ(AllCodes().size(), 5u);
}

TEST_F(BkTables, RecordFilterEventsAndLocateWorkOnTheTable)
{
    OpenClientsOnIndex("1");
    clients_->SetOnFilterRecord([](TDataSet* dataSet, bool& accept) {
        accept = dataSet->FieldByName("Unassigned")->AsString().substr(0, 1) == "8";
    });
    clients_->SetFiltered(true);
    EXPECT_EQ(AllCodes(), (Codes{"BAKER", "DELTA"}));
    clients_->SetFiltered(false);

    EXPECT_TRUE(clients_->Locate("Client Last Name", Variant("Clark"), {}));
    EXPECT_EQ(Code(), "EVANS");
    EXPECT_FALSE(clients_->Locate("Client Last Name", Variant("Nobody"), {}));
    EXPECT_EQ(Code(), "EVANS");
}

TEST_F(BkTables, EditsInsertsAndDeletesRecords)
{
    OpenClientsOnIndex("1");
    ASSERT_TRUE(clients_->FindKey({Key("CARTER")}));
    clients_->Edit();
    clients_->FieldByName("Client First Name")->SetAsString("Jane");
    clients_->Post();

    clients_->Append();
    clients_->FieldByName("Client Code")->SetAsString(Key("FOX"));
    clients_->FieldByName("Client Last Name")->SetAsString("Fox");
    clients_->FieldByName("Unassigned")->SetAsString("000000");
    clients_->Post();

    ASSERT_TRUE(clients_->FindKey({Key("BAKER")}));
    clients_->Delete();

    clients_->Close();
    OpenClientsOnIndex("1");
    EXPECT_EQ(AllCodes(), (Codes{"ACME", "CARTER", "DELTA", "EVANS", "FOX"}));
    ASSERT_TRUE(clients_->FindKey({Key("CARTER")}));
    EXPECT_EQ(Trim(clients_->FieldByName("Client First Name")->AsString()), "Jane");
    ASSERT_TRUE(clients_->FindKey({Key("FOX")}));
    EXPECT_EQ(Trim(clients_->FieldByName("Client Last Name")->AsString()), "Fox");
}

// A record written last that sorts first on key 0 (it takes the number of the deleted first record) shows physical
// order apart from key 0 order.
TEST_F(BkTables, WithoutDefaultIndexRecordsComeInPhysicalOrderAndKeySearchesAreRefused)
{
    clients_->SetDefaultIndex(false);
    clients_->Open();
    EXPECT_EQ(AllCodes(), (Codes{"CARTER", "DELTA", "EVANS", "BAKER", "ACME"}));
    clients_->First();
    const Integer firstNumber = clients_->FieldByName("AutoIncrement")->AsInteger();
    clients_->Delete();
    clients_->Append();
    clients_->FieldByName("AutoIncrement")->SetAsInteger(firstNumber);
    clients_->FieldByName("Client Code")->SetAsString(Key("FOX"));
    clients_->FieldByName("Unassigned")->SetAsString("000000");
    clients_->Post();
    EXPECT_EQ(AllCodes(), (Codes{"DELTA", "EVANS", "BAKER", "ACME", "FOX"}));
    try {
        clients_->FindKey({Integer(1)});
        FAIL() << "a key search ran without an index";
    } catch (const EDatabaseError& e) {
        EXPECT_EQ(e.Message(), "Clients: No index currently active");
    }

    clients_->Close();
    clients_->SetDefaultIndex(true);
    clients_->Open();
    EXPECT_EQ(AllCodes(), (Codes{"FOX", "DELTA", "EVANS", "BAKER", "ACME"}));
    EXPECT_TRUE(clients_->FindKey({firstNumber}));
    EXPECT_EQ(Code(), "FOX");
}

TEST_F(BkTables, APostThatBreaksAPictureMaskIsRefusedAfterBeforePost)
{
    OpenClientsOnIndex("1");
    std::vector<std::string> calls;
    clients_->BeforePost = [&](TDataSet*) { calls.push_back("BeforePost"); };
    clients_->OnInvalidValue = [&](TDataSet*, TField* field) { calls.push_back("invalid " + field->FieldName()); };
    ASSERT_TRUE(clients_->FindKey({Key("CARTER")}));
    clients_->Edit();
    clients_->FieldByName("Unassigned")->SetAsString("12A456");
    try {
        clients_->Post();
        FAIL() << "the post was accepted";
    } catch (const EDatabaseError& e) {
        EXPECT_EQ(e.Message(), vxIntl()->UserMessages()->PictureValidateError + "Unassigned");
    }
    EXPECT_EQ(calls, (std::vector<std::string>{"BeforePost", "invalid Unassigned"}));
    EXPECT_EQ(clients_->State(), dsEdit);
    clients_->Cancel();
    EXPECT_EQ(Trim(clients_->FieldByName("Unassigned")->AsString()), "000000");

    clients_->SetValidateWithMask(false);
    clients_->Edit();
    clients_->FieldByName("Unassigned")->SetAsString("12A456");
    clients_->Post();
    EXPECT_EQ(Trim(clients_->FieldByName("Unassigned")->AsString()), "12A456");
}

TEST_F(BkTables, RequesterFailuresRaiseEngineErrors)
{
    OpenClientsOnIndex("1");
    clients_->Append();
    clients_->FieldByName("Client Code")->SetAsString(Key("ACME"));
    try {
        clients_->Post();
        FAIL() << "a duplicate key was posted";
    } catch (const ETDBEngineError& e) {
        EXPECT_NE(e.Message().find("Btrieve Status 5"), std::string::npos) << e.Message();
    }
    clients_->Cancel();
    clients_->Close();

    for (const std::string& name : {Path("missing.qf") + ";RES:YCLIENT", Path("yclient.qf") + ";RES:NOSUCHLAYOUT"}) {
        clients_->SetTableName(name);
        EXPECT_THROW(clients_->Open(), ETDBEngineError) << name;
        EXPECT_FALSE(clients_->Active()) << name;
        EXPECT_EQ(clients_->Database(), nullptr) << "the database is released: " << name;
    }
}

TEST_F(BkTables, TableNameAndSearchesFollowTheTableState)
{
    const std::string name = clients_->TableName();
    EXPECT_THROW(clients_->FindKey({Key("ACME")}), EDatabaseError);
    OpenClientsOnIndex("1");
    clients_->SetTableName(name);
    EXPECT_THROW(clients_->SetTableName(Path("other.qf")), EDatabaseError);

    TvxBkTable* other = new TvxBkTable(nullptr);
    other->SetDatabaseName("VAVUZ");
    other->SetTableName(UpperCase(name));
    other->SetIndexName("1");
    other->Open();
    ASSERT_TRUE(clients_->FindKey({Key("DELTA")}));
    other->GotoCurrent(clients_);
    EXPECT_EQ(Trim(other->FieldByName("Client Code")->AsString()), "DELTA");
    cases_->Open();
    EXPECT_THROW(other->GotoCurrent(cases_), EDatabaseError);
    other->Free();
}

TEST_F(BkTables, DefinitionsAreReadWithoutOpeningAndIndexesChosenByFields)
{
    clients_->FieldDefs()->Update();
    EXPECT_FALSE(clients_->Active());
    ASSERT_EQ(clients_->FieldDefs()->Count(), 22);
    EXPECT_EQ(clients_->FieldDefs()->Items(1)->Name, "Client Code");

    clients_->IndexDefs()->Update();
    EXPECT_FALSE(clients_->Active());
    ASSERT_NE(clients_->IndexDefs()->GetIndexForFields("Client Code", false), nullptr);

    clients_->SetIndexFieldNames("Client Code");
    EXPECT_EQ(clients_->IndexName(), "");
    clients_->Open();
    EXPECT_EQ(AllCodes(), (Codes{"ACME", "BAKER", "CARTER", "DELTA", "EVANS"}));
    EXPECT_EQ(clients_->IndexFieldNames(), "Client Code");
}

TEST_F(BkTables, ADetailTableFollowsItsMasterRecord)
{
    TDataSource* source = new TDataSource(module_);
    source->SetDataSet(clients_);
    OpenClientsOnIndex("1");
    cases_->SetIndexName("1");
    cases_->SetMasterSource(source);
    cases_->SetMasterFields("Client Code");
    cases_->Open();
    auto suffixes = [&] {
        std::vector<std::string> found;
        for (cases_->First(); !cases_->Eof(); cases_->Next())
            found.push_back(Trim(cases_->FieldByName("Case Suffix")->AsString()));
        return found;
    };
    EXPECT_EQ(Code(), "ACME");
    EXPECT_EQ(suffixes(), (Codes{"10"}));
    clients_->Next();
    EXPECT_EQ(suffixes(), (Codes{}));
    clients_->Next();
    EXPECT_EQ(suffixes(), (Codes{"1", "2"}));
    EXPECT_THROW(clients_->SetMasterSource(source), EDatabaseError) << "a table cannot be its own master";
}

// The link's fields come from the index definitions read afresh, which the table does not take as its own.
TEST_F(BkTables, DetailLinkFieldsComeFromTheIndexWithoutStoringDefinitions)
{
    TDataSource* source = new TDataSource(module_);
    source->SetDataSet(clients_);
    OpenClientsOnIndex("1");
    cases_->SetIndexFieldNames("Client Code");
    cases_->SetMasterSource(source);
    cases_->SetMasterFields("Client Code");
    cases_->Open();
    std::vector<TField*> masterFields, detailFields;
    static_cast<TDataSet*>(cases_)->GetDetailLinkFields(masterFields, detailFields);
    EXPECT_EQ(masterFields, std::vector<TField*>{clients_->FieldByName("Client Code")});
    ASSERT_FALSE(detailFields.empty());
    EXPECT_EQ(detailFields[0], cases_->FieldByName("Client Code"));
    EXPECT_FALSE(cases_->StoreDefs());
}

TEST_F(BkTables, DatabaseNameChangesOnlyWhileClosed)
{
    clients_->SetDatabaseName("VAVUZ");
    EXPECT_EQ(clients_->DatabaseName(), "VAVUZ");
    OpenClientsOnIndex("1");
    EXPECT_THROW(clients_->SetDatabaseName("other"), EDatabaseError);
    EXPECT_EQ(clients_->DatabaseName(), "VAVUZ");
}

TEST_F(BkTables, ComponentsMadeWithPlainNewJoinTheirSession)
{
    auto* session = new TbkSession(nullptr);
    session->SetSessionName("Plain");
    EXPECT_EQ(BkSessionList()->FindSession("Plain"), session);
    auto* database = new TbkDatabase(nullptr);
    EXPECT_EQ(database->Session(), BkDefaultSession());
    EXPECT_EQ(BkDefaultSession()->Databases(BkDefaultSession()->DatabaseCount() - 1), database);
    EXPECT_FALSE(database->LoginPrompt());
    database->Free();
    session->Free();
    EXPECT_EQ(BkSessionList()->FindSession("Plain"), nullptr);

    // Made by the class registry, each joins once.
    const Integer sessions = BkSessionList()->Count();
    auto* made = static_cast<TbkSession*>(CreateObjectByName("TbkSession"));
    EXPECT_EQ(BkSessionList()->Count(), sessions + 1);
    made->Free();
}

TEST_F(BkTables, TheComponentHooksArePublishedByName)
{
    const std::pair<TClass, std::vector<std::string>> published[] = {
            {TbkSession::StaticClass(),
             {"Engine", "SetEngineObject", "CriticalSectionStart", "CriticalSectionEnd", "SetSessionList",
              "GetEngineClass", "DefaultSession", "GetDatabaseClass", "GetTableClass"}},
            {TbkDatabase::StaticClass(), {"LoginPromptDefault", "Engine", "SetSessionList", "DefaultSession"}},
            {TbkTable::StaticClass(),
             {"Engine", "SetSessionList", "DefaultSession", "GetBatchMoveClass", "CreateBlobStream"}},
            {TbkBatchMove::StaticClass(), {"Engine"}}};
    for (const auto& [cls, names] : published)
        for (const std::string& name : names) EXPECT_NE(MethodAddress(cls, name), nullptr) << cls->Name << "." << name;

    OpenClientsOnIndex("1");
    const TMethod engine{MethodAddress(clients_, "Engine"), clients_, {}};
    EXPECT_EQ(engine.As<std::function<TVirtEng*()>>()(), BkEngine());
    const TMethod createBlobStream{MethodAddress(clients_, "CreateBlobStream"), clients_, {}};
    auto create = createBlobStream.As<std::function<TStream*(TField*, TBlobStreamMode)>>();
    EXPECT_THROW(create(clients_->FieldByName("Client Code"), bmRead), EInvalidCast);
}

TEST_F(BkTables, ThePlatformTableIsATableOfTheDefaultSession)
{
    TTable* table = new TTable(nullptr);
    table->SetDatabaseName("VAVUZ");
    table->SetTableName(clients_->TableName());
    table->SetIndexName("1");
    table->Open();
    EXPECT_EQ(table->Database()->Session(), BkDefaultSession());
    EXPECT_TRUE(table->FindKey({Key("EVANS")}));
    EXPECT_EQ(Trim(table->FieldByName("Client Last Name")->AsString()), "Clark");
    table->Free();
}

}  // namespace
