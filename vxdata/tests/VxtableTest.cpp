// The library's table over record-manager files: filter lines and the record-filter event, reopening with both
// filters, picture masks before posting, the query text without a backend, the flags set at destruction, and the
// index and key operations.
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "db/DataSource.h"
#include "engine/bk/BkSession.h"
#include "engine/components/BseMainErr.h"
#include "engine/core/BseError.h"
#include "engine/tests/support/HostClientsSupport.h"
#include "rtl/StringRoutines.h"
#include "rtl/WinApi.h"
#include "tools/mkdemo/DemoRegistry.h"
#include "tools/mkdemo/MachineRegistryOverride.h"
#include "vcl/Forms.h"
#include "vcl/TestHelpers.h"
#include "vxdata/Vxtable.h"

namespace {

namespace fs = std::filesystem;
using Codes = std::vector<std::string>;

struct TFreeTable {
    void operator()(TvxTable* table) const { table->Free(); }
};
using TTablePtr = std::unique_ptr<TvxTable, TFreeTable>;

class VxTableOnRecordFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        static int counter = 0;
        folder_ = (fs::temp_directory_path() /
                   ("vxtable_" + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(++counter)))
                      .string();
        fs::remove_all(folder_);
        {
            THostDataDir dir(folder_);
            MakeClientFile(dir);
            MakeCaseFile(dir);
        }
        registry_ = std::make_unique<TMachineRegistryOverride>();
        WriteDemoRegistry(folder_);
        table_ = NewTable("yclient.qf;RES:YCLIENT", " 1 - Client Code");
        table_->SetName("Clients");
        table_->Open();
    }

    void TearDown() override
    {
        if (table_) table_->Free();
        BkDefaultSession()->SetActive(false);
        registry_.reset();
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }

    static void MakeCaseFile(THostDataDir& dir)
    {
        dir.MakeFile("ycase.qf");
        int suffix = 0;
        for (const char* code : {"ACME", "ACME", "BAKER"}) {
            const std::string text = std::to_string(++suffix);
            THostRecord record = dir.NewRecord("ycase.qf");
            record.Set("Client Code", code).Set("Case Suffix", std::string(7 - text.size(), ' ') + text);
            record.Set("LeftJustCaseSuffix", text);
            dir.Insert("ycase.qf", record);
        }
    }

    TvxTable* NewTable(const std::string& file, const std::string& indexName)
    {
        auto* table = new TvxTable(nullptr);
        table->SetDatabaseName("vavuz");
        table->SetTableName(folder_ + "\\" + file);
        table->SetIndexName(indexName);
        return table;
    }

    Codes AllCodes()
    {
        Codes codes;
        for (table_->First(); !table_->Eof(); table_->Next()) codes.push_back(Code());
        return codes;
    }

    static Integer CountRecords(TvxTable* table)
    {
        Integer count = 0;
        for (table->First(); !table->Eof(); table->Next()) ++count;
        return count;
    }

    std::string Code() { return Trim(table_->FieldByName("Client Code")->AsString()); }

    static void SetLines(TvxTable* table, std::initializer_list<const char*> lines,
                         void (TvxTable::*setter)(TStrings*))
    {
        TStringList list;
        for (const char* line : lines) list.Add(line);
        (table->*setter)(&list);
    }

    void SetFilterLines(std::initializer_list<const char*> lines)
    {
        SetLines(table_, lines, &TvxTable::SetvxFilter);
    }

    std::string folder_;
    std::unique_ptr<TMachineRegistryOverride> registry_;
    TvxTable* table_ = nullptr;
};

// ---- filters ----

TEST_F(VxTableOnRecordFile, FilterLinesJoinAndFilter)
{
    table_->Close();
    SetFilterLines({"Amount > 5", " ", "Qty < 3  \t"});
    EXPECT_EQ(table_->FilterText(), "Amount > 5 AND (Qty < 3)");
    SetFilterLines({});
    table_->Open();

    TScriptedDialogs dialogs;
    SetFilterLines({"Unassigned = 800000", "", "Client Last Name < Z"});
    EXPECT_EQ(table_->FilterText(), "Unassigned = 800000 AND (Client Last Name < Z)");
    EXPECT_EQ(AllCodes(), (Codes{"BAKER", "DELTA"}));
    EXPECT_TRUE(dialogs.Shown.empty());

    // A text that names no field: the compiler's own warning, then the table's; the lines stay.
    SetFilterLines({"No Such Field = 1"});
    ASSERT_EQ(dialogs.Shown.size(), 2u);
    EXPECT_EQ(dialogs.Shown[1].Text, "Fail to set filter");
    EXPECT_EQ(dialogs.Shown[1].Type, mtWarning);
    EXPECT_EQ(table_->vxFilter()->Count(), 1);

    SetFilterLines({});
    EXPECT_EQ(AllCodes().size(), 5u);
}

TEST_F(VxTableOnRecordFile, TheRecordFilterEventReadsFieldsOfTheRecordBeingFiltered)
{
    Integer calls = 0;
    table_->SetOnFilter([&](TvxTable* table, bool& accept) {
        ++calls;
        accept = Trim(table->FilterField("Client Code")->AsString()) > "C" &&
                 table->FilterField("Client Last Name")->AsString() != "Clark";
    });
    EXPECT_EQ(AllCodes(), (Codes{"CARTER", "DELTA"}));
    EXPECT_GT(calls, 0);
    EXPECT_FALSE(table_->IsSequenced());

    try {
        table_->SetOnFilter([&](TvxTable* table, bool&) { table->FilterField("Nothing"); });
        FAIL() << "no error";
    } catch (const Exception& e) {
        EXPECT_EQ(std::string(e.Message()), "Clients: Field 'Nothing' not found");
    }

    table_->SetOnFilter(nullptr);
    EXPECT_EQ(AllCodes().size(), 5u);
}

TEST_F(VxTableOnRecordFile, BothFiltersSurviveCloseAndReopen)
{
    SetFilterLines({"Unassigned = 800000"});
    table_->SetOnFilter([](TvxTable* table, bool& accept) {
        accept = Trim(table->FilterField("Client Code")->AsString()) != "BAKER";
    });
    EXPECT_EQ(AllCodes(), (Codes{"DELTA"}));
    for (int round = 0; round < 2; ++round) {
        table_->Close();
        table_->Open();
        EXPECT_EQ(AllCodes(), (Codes{"DELTA"}));
    }
    // Removed while closed: only the handle goes, and the reopened cursor has the text filter alone.
    table_->Close();
    table_->SetOnFilter(nullptr);
    table_->Open();
    EXPECT_EQ(AllCodes(), (Codes{"BAKER", "DELTA"}));
}

TEST_F(VxTableOnRecordFile, EscapeStopsALongFilterOnceAndTheRecordsComeBack)
{
    table_->Close();
    {
        THostDataDir dir(folder_);
        for (int i = 0; i < 150; ++i) {
            THostRecord record = dir.NewRecord("yclient.qf");
            record.Set("Client Code", "Z" + std::to_string(1000 + i));
            dir.Insert("yclient.qf", record);
        }
    }
    table_->Open();
    table_->SetOnFilterOptions({ofoEnabled, ofoShowHourGlass, ofoCancelOnEscape});
    Integer escapes = 0;
    table_->SetOnFilterEscape([&](TObject* sender) {
        EXPECT_EQ(sender, table_);
        ++escapes;
    });
    PostThreadMessageA(GetCurrentThreadId(), WM_KEYDOWN, VK_ESCAPE, 0);
    table_->SetOnFilter([](TvxTable*, bool& accept) { accept = false; });

    EXPECT_EQ(escapes, 1);
    EXPECT_EQ(table_->OnFilterOptions(), (TvxFilterOptions{ofoShowHourGlass, ofoCancelOnEscape}));
    EXPECT_EQ(AllCodes().size(), 155u);
    EXPECT_EQ(Screen->Cursor(), crArrow) << "the hourglass of the rejections is taken back";
    EXPECT_EQ(escapes, 1);
}

TEST_F(VxTableOnRecordFile, SwitchingTheEventOffBringsTheRecordsBack)
{
    table_->SetOnFilter([](TvxTable*, bool& accept) { accept = false; });
    EXPECT_TRUE(table_->IsEmpty());
    table_->SetOnFilterOptions({ofoShowHourGlass});
    EXPECT_EQ(AllCodes().size(), 5u);
    table_->SetOnFilterOptions({ofoEnabled});
    table_->Refresh();
    EXPECT_TRUE(table_->IsEmpty());
}

// ---- posting, query text, destruction ----

TEST_F(VxTableOnRecordFile, APostIsRefusedByItsPictureMask)
{
    table_->PictureMasks()->Add("Unassigned\t######\tF\tF");
    std::vector<std::string> reported;
    table_->OnInvalidValue = [&](TDataSet*, TField* field) { reported.push_back(field->FieldName()); };
    table_->First();
    table_->Edit();
    table_->FieldByName("Unassigned")->SetAsString("12ab");
    try {
        table_->Post();
        FAIL() << "posted";
    } catch (const Exception& e) {
        EXPECT_EQ(std::string(e.Message()), "Invalid characters. Field : Unassigned");
    }
    EXPECT_EQ(reported, (Codes{"Unassigned"}));
    table_->FieldByName("Unassigned")->SetAsString("123456");
    table_->Post();
    table_->ValidateWithMask = false;
    table_->Edit();
    table_->FieldByName("Unassigned")->SetAsString("12ab");
    table_->Post();
    EXPECT_EQ(reported.size(), 1u);
}

TEST_F(VxTableOnRecordFile, AQueryTextReplacesTheTableAndFailsToOpen)
{
    const std::pair<const char*, const char*> cases[] = {{"QUERY", "QBE"}, {"query x", "QBE"}, {"select *", "SQL"},
                                                         {"Queryx", "SQL"}};
    for (const auto& [line, kind] : cases) {
        SetLines(table_, {line}, &TvxTable::SetQuery);
        EXPECT_FALSE(table_->Active());
        EXPECT_EQ(table_->TableName(), "");
        EXPECT_EQ(table_->IndexName(), "");
        try {
            table_->Open();
            FAIL() << line;
        } catch (const ETDBEngineError& e) {
            EXPECT_EQ(e.Errors(0).ErrorCode, DBIERR_NOTSUPPORTED) << line;
        }
        EXPECT_EQ(table_->QueryKind(), kind) << line;
    }
    table_->SetTableName(folder_ + "\\yclient.qf;RES:YCLIENT");
    EXPECT_EQ(table_->Query()->Count(), 0);
    table_->Open();
    EXPECT_EQ(AllCodes().size(), 5u);
}

TEST_F(VxTableOnRecordFile, OnlyRegisteredFlagsAreSetWhenTheTableGoes)
{
    bool kept = false;
    auto gone = std::make_unique<bool>(false);
    TvxTable* notified = nullptr;
    table_->RegisterDestroyFlag(&kept);
    table_->RegisterDestroyFlag(gone.get());
    table_->UnregisterDestroyFlag(gone.get());
    gone.reset();
    table_->SetDestroyNotification([&](TvxTable* table) { notified = table; });
    TvxTable* table = table_;
    table_->Free();
    table_ = nullptr;
    EXPECT_TRUE(kept);
    EXPECT_EQ(notified, table);
}

// ---- indexes and keys ----

TEST_F(VxTableOnRecordFile, IndexesForFieldLists)
{
    const std::pair<const char*, const char*> cases[] = {
        {"Client Code", " 1 - Client Code"},
        {"CLIENT CODE", " 1 - Client Code"},
        {"Client Last Name", " 3 - Client Last Name+Client First Name"},
        {"Client Last Name;Client First Name", " 3 - Client Last Name+Client First Name"},
        {"Client", "?"},  // not at a field boundary
        {"Unassigned", "?"},
    };
    for (const auto& [fields, index] : cases) {
        std::string name;
        table_->IndexNameForFields(fields, name);
        EXPECT_EQ(name, index) << fields;
    }
    std::string name;
    table_->IndexNameForFieldsCase("Client Last Name", true, name);
    EXPECT_EQ(name, "?");
    EXPECT_FALSE(table_->FindIndexForFields("Client Last Name", false, name, true));
    EXPECT_TRUE(table_->FindIndexForFields("Client Last Name", false, name, false));

    std::string fields;
    table_->GetIndexFields(" 3 - Client Last Name+Client First Name", fields);
    EXPECT_EQ(fields, "Client Last Name;Client First Name");
    table_->GetFirstIndexField(name);
    EXPECT_EQ(name, "Client Code");

    EXPECT_TRUE(vxFieldsMapToIndex(table_, "Client Code", true));
    EXPECT_FALSE(vxFieldsMapToIndex(table_, "Client Code", false));
    EXPECT_FALSE(table_->IsCaseInsensitiveIndex());
    EXPECT_TRUE(table_->SelectIndexForFields("client last name"));
    EXPECT_EQ(table_->IndexName(), " 3 - Client Last Name+Client First Name");
    EXPECT_TRUE(vxFieldsMapToIndex(table_, "Client Last Name", false));
    EXPECT_TRUE(table_->IsCaseInsensitiveIndex());
    EXPECT_FALSE(table_->SelectIndexForFields("Unassigned"));
    EXPECT_EQ(table_->IndexName(), " 3 - Client Last Name+Client First Name");
    EXPECT_EQ(table_->SearchDepth, 0);
}

TEST_F(VxTableOnRecordFile, ADetailKeepsItsMasterFieldsInFront)
{
    TDataSource source(nullptr);
    source.SetDataSet(table_);
    TTablePtr cases(NewTable("ycase.qf;RES:YCASE", " 1 - Client Code+Case Suffix"));
    cases->SetMasterSource(&source);
    cases->SetMasterFields("Client Code");
    cases->Open();
    table_->First();
    EXPECT_EQ(CountRecords(cases.get()), 2) << "ACME's cases";

    EXPECT_TRUE(cases->SelectIndexForFields("LeftJustCaseSuffix"));
    EXPECT_EQ(cases->IndexName(), " 4 - Client Code+LeftJustCaseSuffix");
    EXPECT_EQ(CountRecords(cases.get()), 2);

    cases->IgnoreMasterFields = true;
    EXPECT_TRUE(cases->SelectIndexForFields("LeftJustCaseSuffix"));
    EXPECT_EQ(cases->IndexName(), " 5 - LeftJustCaseSuffix+Client Code");
    EXPECT_EQ(cases->SearchDepth, 0);
}

TEST_F(VxTableOnRecordFile, FindKeyValues)
{
    TScriptedDialogs dialogs;
    EXPECT_TRUE(vxFindKeyValues(table_, {"DELTA"}, 0));
    EXPECT_EQ(Code(), "DELTA");

    Integer scrolls = 0;
    table_->AfterScroll = [&](TDataSet*) { ++scrolls; };
    EXPECT_TRUE(vxFindKeyValues(table_, {"Delta"}, 0));
    EXPECT_EQ(scrolls, 0) << "already there";
    EXPECT_FALSE(vxFindKeyValues(table_, {"NONE"}, 0));

    EXPECT_FALSE(vxFindKeyValues(table_, {"A", "B", "C", "D", "E", "F", "G"}, 6));
    ASSERT_EQ(dialogs.Shown.size(), 1u);
    EXPECT_EQ(dialogs.Shown[0].Text, "Table Clients: FindKey has too many lookup values for index  1 - Client Code");
    EXPECT_EQ(table_->SearchDepth, 0);

    // A narrowing range is cancelled before the search.
    table_->SetRangeFromValues({"D"}, 1);
    EXPECT_EQ(AllCodes(), (Codes{"DELTA", "EVANS"}));
    table_->NarrowSearch = true;
    EXPECT_TRUE(vxFindKeyValues(table_, {"ACME"}, 0));
    EXPECT_EQ(AllCodes().size(), 5u);

    table_->SetIndexName(" 0 - AutoIncrement");
    EXPECT_ANY_THROW(vxFindKeyValues(table_, {"not a number"}, 0));
    EXPECT_EQ(table_->SearchDepth, 0);
}

TEST_F(VxTableOnRecordFile, RangesFromAnotherTable)
{
    TTablePtr other(NewTable("yclient.qf;RES:YCLIENT", " 1 - Client Code"));
    other->Open();
    ASSERT_TRUE(other->FindKey({"CARTER"}));
    table_->SetRangeFromTable(other.get());
    EXPECT_EQ(AllCodes(), (Codes{"CARTER", "DELTA", "EVANS"}));
    EXPECT_TRUE(table_->RangeEndSet() == false);
    table_->SetRangeFromTable(table_);
    EXPECT_EQ(AllCodes().size(), 3u);
    table_->ResetNarrowSearch();
    EXPECT_EQ(AllCodes().size(), 5u);
    EXPECT_EQ(Screen->Cursor(), crDefault);
}

TEST_F(VxTableOnRecordFile, TableKinds)
{
    const std::tuple<const char*, bool, bool> cases[] = {
        {"clients.DBF", true, false}, {"a.dbf;RES:X", true, false}, {"c.DB", false, true},
        {"c.dbb", false, true},       {"c.qf", false, false},
    };
    table_->Close();
    for (const auto& [name, dbase, paradox] : cases) {
        table_->SetTableName(name);
        EXPECT_EQ(table_->IsDBaseTable(), dbase) << name;
        EXPECT_EQ(table_->IsParadoxTable(), paradox) << name;
    }
}

}  // namespace
