#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "db/BinaryFields.h"
#include "db/BooleanField.h"
#include "db/DBErrors.h"
#include "db/DataLinks.h"
#include "db/DataSource.h"
#include "db/MemDataSet.h"
#include "db/NumericFields.h"
#include "db/StringField.h"
#include "rtl/SysUtils.h"

namespace {

// Five records Id 1..5, Name A..E, Amount Id * 1.5.
class DataSetTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        data = new TMemDataSet(nullptr);
        data->SetName("People");
        data->FieldDefs()->Add("Id", ftInteger, 0, true);
        data->FieldDefs()->Add("Name", ftString, 10);
        data->FieldDefs()->Add("Amount", ftFloat);
        data->Open();
        for (int i = 1; i <= 5; ++i)
            data->AppendRecord({Variant(i), Variant(std::string(1, char('A' + i - 1))), Variant(i * 1.5)});
        data->First();
    }
    void TearDown() override { data->Free(); }

    std::string Names()
    {
        std::string names;
        for (data->First(); !data->Eof(); data->Next()) names += data->FieldByName("Name")->AsString();
        return names;
    }
    Integer Id() { return data->FieldByName("Id")->AsInteger(); }

    TMemDataSet* data = nullptr;
};

TEST_F(DataSetTest, NavigatesForwardAndBackward)
{
    EXPECT_TRUE(data->Bof());
    EXPECT_EQ(Id(), 1);
    EXPECT_EQ(data->RecordCount(), 5);
    EXPECT_EQ(data->MoveBy(3), 3);
    EXPECT_EQ(Id(), 4);
    EXPECT_EQ(data->RecNo(), 4);
    EXPECT_EQ(data->MoveBy(5), 1);
    EXPECT_TRUE(data->Eof());
    EXPECT_EQ(Id(), 5);
    data->Last();
    EXPECT_TRUE(data->Eof());
    data->Prior();
    EXPECT_EQ(Id(), 4);
    EXPECT_EQ(data->MoveBy(-10), -3);
    EXPECT_TRUE(data->Bof());
    EXPECT_EQ(Id(), 1);
    EXPECT_EQ(Names(), "ABCDE");
}

TEST_F(DataSetTest, BlockReadingWalksTheRecordsAndEndsInBrowseState)
{
    data->SetBlockReadSize(2);
    EXPECT_EQ(data->State(), dsBlockRead);
    std::string names;
    for (; !data->Eof(); data->Next()) names += data->FieldByName("Name")->AsString();
    EXPECT_EQ(names, "ABCDE");
    data->SetBlockReadSize(0);
    EXPECT_EQ(data->State(), dsBrowse);
}

TEST_F(DataSetTest, EditPostAndCancel)
{
    data->MoveBy(1);
    data->Edit();
    EXPECT_EQ(data->State(), dsEdit);
    data->FieldByName("Name")->SetAsString("Bob");
    EXPECT_TRUE(data->Modified());
    data->Post();
    EXPECT_EQ(data->State(), dsBrowse);
    EXPECT_EQ(data->FieldByName("Name")->AsString(), "Bob");

    data->Edit();
    data->FieldByName("Name")->SetAsString("Zed");
    data->Cancel();
    EXPECT_EQ(data->FieldByName("Name")->AsString(), "Bob");
    EXPECT_EQ(Id(), 2);

    // Moving away posts a pending edit.
    data->Edit();
    data->FieldByName("Name")->SetAsString("Cy");
    data->Next();
    EXPECT_EQ(Names(), "ACyCDE");
}

TEST_F(DataSetTest, InsertGoesBeforeTheCurrentRecordAndAppendAtTheEnd)
{
    data->MoveBy(2);
    data->Insert();
    EXPECT_EQ(data->State(), dsInsert);
    data->FieldByName("Id")->SetAsInteger(10);
    data->FieldByName("Name")->SetAsString("X");
    data->Post();
    EXPECT_EQ(Id(), 10);
    data->Append();
    data->FieldByName("Id")->SetAsInteger(11);
    data->FieldByName("Name")->SetAsString("Y");
    data->Post();
    EXPECT_EQ(Names(), "ABXCDEY");

    data->First();
    data->Insert();
    data->Cancel();
    EXPECT_EQ(Id(), 1);
    EXPECT_EQ(data->RecordCount(), 7);
}

TEST_F(DataSetTest, DeleteMovesToTheNextRecordOrTheLast)
{
    data->MoveBy(1);
    data->Delete();
    EXPECT_EQ(Id(), 3);
    data->Last();
    data->Delete();
    EXPECT_EQ(Id(), 4);
    EXPECT_EQ(Names(), "ACD");
    while (!data->IsEmpty()) data->Delete();
    EXPECT_TRUE(data->Eof() && data->Bof());
    EXPECT_THROW(data->Delete(), EDatabaseError);
    data->Insert();  // an inserted record is a record
    EXPECT_FALSE(data->IsEmpty());
    data->Cancel();
    EXPECT_TRUE(data->IsEmpty());
}

TEST_F(DataSetTest, RequiredFieldAndErrorEventAnswers)
{
    data->Append();
    try {
        data->Post();
        FAIL();
    } catch (const EDatabaseError& e) {
        EXPECT_EQ(e.Message(), "Field 'Id' must have a value");
    }
    int calls = 0;
    data->OnPostError = [&](TDataSet* ds, EDatabaseError&, TDataAction& action) {
        ++calls;
        ds->FieldByName("Id")->SetAsInteger(99);
        action = daRetry;
    };
    data->Post();
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(Id(), 99);

    data->OnPostError = [](TDataSet*, EDatabaseError&, TDataAction& action) { action = daAbort; };
    data->Append();
    EXPECT_THROW(data->Post(), EAbort);
    data->Cancel();
    EXPECT_EQ(data->RecordCount(), 6);
}

TEST_F(DataSetTest, EventsComeInTheirOrder)
{
    std::vector<std::string> log;
    auto record = [&](const char* name) { return [&log, name](TDataSet*) { log.push_back(name); }; };
    data->BeforeOpen = record("BeforeOpen");
    data->AfterOpen = record("AfterOpen");
    data->BeforeClose = record("BeforeClose");
    data->AfterClose = record("AfterClose");
    data->BeforeInsert = record("BeforeInsert");
    data->AfterInsert = record("AfterInsert");
    data->BeforeEdit = record("BeforeEdit");
    data->AfterEdit = record("AfterEdit");
    data->BeforePost = record("BeforePost");
    data->AfterPost = record("AfterPost");
    data->BeforeCancel = record("BeforeCancel");
    data->AfterCancel = record("AfterCancel");
    data->BeforeDelete = record("BeforeDelete");
    data->AfterDelete = record("AfterDelete");
    data->BeforeScroll = record("BeforeScroll");
    data->AfterScroll = record("AfterScroll");
    data->OnNewRecord = [&](TDataSet* ds) {
        log.push_back("OnNewRecord");
        ds->FieldByName("Id")->SetAsInteger(9);
    };
    data->Close();
    data->Open();
    data->Edit();
    data->Post();
    data->Insert();
    data->Cancel();
    data->Delete();
    data->Next();
    data->Close();
    EXPECT_EQ(log, (std::vector<std::string>{
                       "BeforeClose", "AfterClose", "BeforeOpen", "AfterOpen", "AfterScroll",
                       "BeforeEdit", "AfterEdit", "BeforePost", "AfterPost",
                       "BeforeInsert", "BeforeScroll", "OnNewRecord", "AfterInsert", "AfterScroll",
                       "BeforeCancel", "BeforeScroll", "AfterCancel", "AfterScroll",
                       "BeforeDelete", "BeforeScroll", "AfterDelete", "AfterScroll",
                       "BeforeScroll", "AfterScroll", "BeforeClose", "AfterClose"}));
}

TEST(DataSetOpen, AFailedOpenLeavesTheDatasetClosed)
{
    TMemDataSet* data = new TMemDataSet(nullptr);
    data->FieldDefs()->Add("Id", ftInteger);
    auto* stray = CreateObject<TStringField>(data);
    stray->SetFieldName("Missing");
    stray->SetDataSet(data);
    EXPECT_THROW(data->Open(), EDatabaseError);
    EXPECT_FALSE(data->Active());
    stray->Free();
    data->Open();
    EXPECT_EQ(data->FieldCount(), 1);
    data->Close();
    EXPECT_EQ(data->FieldCount(), 0);  // default fields live while open
    data->Free();
}

TEST_F(DataSetTest, OpenDatasetRefusesClosedOnlyOperations)
{
    try {
        data->FieldDefs()->Clear();
        TField* field = new TStringField(nullptr);
        field->SetFieldName("Other");
        field->SetDataSet(data);
        FAIL();
    } catch (const EDatabaseError& e) {
        EXPECT_EQ(e.Message(), "People: Cannot perform this operation on an open dataset");
    }
    data->Close();
    EXPECT_THROW(data->Next(), EDatabaseError);
    EXPECT_THROW(data->Edit(), EDatabaseError);
}

TEST_F(DataSetTest, BookmarksAreValues)
{
    data->MoveBy(3);
    const TBookmark fourth = data->Bookmark();
    data->First();
    const TBookmark first = data->Bookmark();
    EXPECT_LT(data->CompareBookmarks(first, fourth), 0);
    EXPECT_EQ(data->CompareBookmarks(TBookmark(), TBookmark()), 0);
    EXPECT_EQ(data->CompareBookmarks(TBookmark(), first), 1);
    data->GotoBookmark(fourth);
    EXPECT_EQ(Id(), 4);
    data->Delete();
    EXPECT_FALSE(data->BookmarkValid(fourth));
    EXPECT_TRUE(data->BookmarkValid(first));
}

TEST_F(DataSetTest, FilterRecordHidesRecords)
{
    data->SetOnFilterRecord([](TDataSet* ds, bool& accept) { accept = ds->FieldByName("Id")->AsInteger() % 2; });
    EXPECT_EQ(Names(), "ABCDE");
    data->SetFiltered(true);
    EXPECT_EQ(Names(), "ACE");
    EXPECT_EQ(data->RecordCount(), 3);
    data->SetFiltered(false);
    EXPECT_EQ(data->RecordCount(), 5);
}

TEST_F(DataSetTest, FilterTextHidesRecords)
{
    data->SetFilter("Amount > 2 AND [Name] <> 'D'");
    EXPECT_EQ(Names(), "ABCDE");
    data->SetFiltered(true);
    EXPECT_EQ(Names(), "BCE");
    data->SetFilter("Name = 'c*' OR Id IS NULL");
    EXPECT_EQ(Names(), "");
    data->SetFilterOptions({foCaseInsensitive});
    EXPECT_EQ(Names(), "C");
    data->SetOnFilterRecord([](TDataSet*, bool& accept) { accept = false; });
    EXPECT_EQ(Names(), "");
    data->SetOnFilterRecord(nullptr);
    EXPECT_THROW(data->SetFilter("Nope = 1"), EDatabaseError);
    EXPECT_EQ(Names(), "C");
}

TEST_F(DataSetTest, LocateAndLookup)
{
    EXPECT_TRUE(data->Locate("Name", Variant("c"), {loCaseInsensitive}));
    EXPECT_EQ(Id(), 3);
    EXPECT_FALSE(data->Locate("Name", Variant("c"), {}));
    EXPECT_EQ(Id(), 3);
    EXPECT_TRUE(data->Locate("Id;Name", VarArrayOf({Variant(5), Variant("E")}), {}));
    EXPECT_EQ(Id(), 5);
    EXPECT_EQ(VarToStr(data->Lookup("Id", Variant(2), "Name")), "B");
    EXPECT_TRUE(VarIsNull(data->Lookup("Id", Variant(42), "Name")));
    EXPECT_EQ(Id(), 5);
}

TEST(DataSetFields, CalculatedAndLookupFields)
{
    TMemDataSet* codes = new TMemDataSet(nullptr);
    codes->FieldDefs()->Add("Code", ftString, 3);
    codes->FieldDefs()->Add("Text", ftString, 20);
    codes->Open();
    codes->AppendRecord({Variant("A"), Variant("Active")});
    codes->AppendRecord({Variant("X"), Variant("Closed")});

    TMemDataSet* data = new TMemDataSet(nullptr);
    data->FieldDefs()->Add("Qty", ftInteger);
    data->FieldDefs()->Add("Code", ftString, 3);
    auto* qty = CreateObject<TIntegerField>(data);
    qty->SetFieldName("Qty");
    qty->SetDataSet(data);
    auto* code = CreateObject<TStringField>(data);
    code->SetFieldName("Code");
    code->SetSize(3);
    code->SetDataSet(data);
    auto* twice = CreateObject<TIntegerField>(data);
    twice->SetFieldName("Twice");
    twice->SetFieldKind(fkCalculated);
    twice->SetDataSet(data);
    auto* text = CreateObject<TStringField>(data);
    text->SetFieldName("CodeText");
    text->SetFieldKind(fkLookup);
    text->SetLookupDataSet(codes);
    text->SetKeyFields("Code");
    text->SetLookupKeyFields("Code");
    text->SetLookupResultField("Text");
    text->SetDataSet(data);
    data->OnCalcFields = [](TDataSet* ds) {
        ds->FieldByName("Twice")->SetAsInteger(ds->FieldByName("Qty")->AsInteger() * 2);
    };
    data->Open();
    data->AppendRecord({Variant(4), Variant("X")});
    EXPECT_EQ(twice->AsInteger(), 8);
    EXPECT_EQ(text->AsString(), "Closed");
    data->Edit();
    qty->SetAsInteger(5);
    code->SetAsString("A");
    EXPECT_EQ(twice->AsInteger(), 10);  // AutoCalcFields recalculates while editing
    EXPECT_EQ(text->AsString(), "Active");
    data->Post();
    EXPECT_EQ(twice->AsInteger(), 10);
    EXPECT_THROW(twice->SetAsInteger(1), EDatabaseError);
    data->Free();
    codes->Free();
}

// Records the notifications a link receives.
class TRecordingLink : public TDataLink {
public:
    std::vector<std::string> Log;

protected:
    void ActiveChanged() override { Log.push_back("Active"); }
    void CheckBrowseMode() override { Log.push_back("CheckBrowse"); }
    void DataSetChanged() override { Log.push_back("DataSetChanged"); }
    void DataSetScrolled(Integer distance) override { Log.push_back("Scrolled " + std::to_string(distance)); }
    void EditingChanged() override { Log.push_back("Editing"); }
    void LayoutChanged() override { Log.push_back("Layout"); }
    void RecordChanged(TField* field) override { Log.push_back(field ? "Record " + field->FieldName() : "Record"); }
    void UpdateData() override { Log.push_back("UpdateData"); }
};

std::vector<std::string> Take(TRecordingLink& link)
{
    std::vector<std::string> log = std::move(link.Log);
    link.Log.clear();
    return log;
}

using Log = std::vector<std::string>;

TEST_F(DataSetTest, DataLinkNotificationsComeInThePlatformsOrder)
{
    data->Close();
    TDataSource* source = new TDataSource(nullptr);
    source->SetDataSet(data);
    TRecordingLink link;
    link.SetBufferCount(3);
    link.SetDataSource(source);
    std::vector<std::string> states;
    source->OnStateChange = [&](TObject*) { states.push_back(std::to_string(source->State())); };

    data->Open();
    EXPECT_EQ(Take(link), (Log{"Active", "Layout", "DataSetChanged"}));
    EXPECT_EQ(link.RecordCount(), 3);
    EXPECT_EQ(link.ActiveRecord(), 0);

    data->Next();
    data->Next();
    EXPECT_EQ(Take(link), (Log{"CheckBrowse", "Scrolled 0", "CheckBrowse", "Scrolled 0"}));
    EXPECT_EQ(link.ActiveRecord(), 2);
    data->Next();
    EXPECT_EQ(Take(link), (Log{"CheckBrowse", "Scrolled 1"}));
    EXPECT_EQ(link.ActiveRecord(), 2);

    data->Edit();
    EXPECT_EQ(Take(link), (Log{"CheckBrowse", "Editing", "Record"}));
    data->FieldByName("Name")->SetAsString("Q");
    EXPECT_EQ(Take(link), (Log{"Record Name"}));
    data->Post();
    EXPECT_EQ(Take(link), (Log{"UpdateData", "CheckBrowse", "Editing", "DataSetChanged"}));

    data->DisableControls();
    data->First();
    data->Last();
    EXPECT_TRUE(Take(link).empty());
    data->EnableControls();
    EXPECT_EQ(Take(link), (Log{"DataSetChanged"}));

    data->Close();
    EXPECT_EQ(Take(link), (Log{"Active"}));
    EXPECT_EQ(states, (std::vector<std::string>{"1", "2", "1", "0"}));
    link.SetDataSource(nullptr);
    source->Free();
}

TEST_F(DataSetTest, ScrollingBackReportsNegativeDistances)
{
    TDataSource* source = new TDataSource(nullptr);
    source->SetDataSet(data);
    TRecordingLink link;
    link.SetBufferCount(3);
    link.SetDataSource(source);
    data->Last();
    Take(link);
    data->Prior();
    data->Prior();
    data->Prior();
    EXPECT_EQ(Take(link),
              (Log{"CheckBrowse", "Scrolled 0", "CheckBrowse", "Scrolled 0", "CheckBrowse", "Scrolled -1"}));
    EXPECT_EQ(link.ActiveRecord(), 0);
    EXPECT_EQ(Id(), 2);
    EXPECT_EQ(data->MoveBy(-5), -1);
    EXPECT_TRUE(data->Bof());
    link.SetDataSource(nullptr);
    source->Free();
}

TEST_F(DataSetTest, BufferWindowFollowsTheLinksAndResync)
{
    TDataSource* source = new TDataSource(nullptr);
    source->SetDataSet(data);
    TRecordingLink link;
    link.SetBufferCount(4);
    link.SetDataSource(source);
    EXPECT_EQ(data->BufferCount(), 4);
    data->Last();
    EXPECT_EQ(link.ActiveRecord(), 3);
    EXPECT_EQ(link.RecordCount(), 4);
    data->MoveBy(-2);
    EXPECT_EQ(link.ActiveRecord(), 1);
    data->UpdateCursorPos();
    data->Resync({rmCenter});
    EXPECT_EQ(Id(), 3);
    EXPECT_EQ(data->ActiveRecord(), 1);
    data->UpdateCursorPos();
    data->Resync({rmExact});
    EXPECT_EQ(Id(), 3);
    link.SetDataSource(nullptr);
    EXPECT_EQ(data->BufferCount(), 1);
    EXPECT_EQ(Id(), 3);
    data->Next();
    EXPECT_EQ(Id(), 4);
    source->Free();
}

// A link that joins with a larger window makes the dataset fetch records in front of the active one; a link that
// leaves lets it drop them. The other links keep seeing the active record at its place in their window.
TEST_F(DataSetTest, LinksKeepTheirRecordWhileAnotherLinkResizesTheWindow)
{
    TDataSource* source = new TDataSource(nullptr);
    source->SetDataSet(data);
    data->Last();
    TRecordingLink single;
    single.SetDataSource(source);
    EXPECT_EQ(single.ActiveRecord(), 0);

    TRecordingLink wide;
    wide.SetBufferCount(4);
    wide.SetDataSource(source);
    EXPECT_EQ(data->ActiveRecord(), 3);  // records 2 to 4 were fetched in front of the last one
    EXPECT_EQ(wide.ActiveRecord(), 3);
    EXPECT_EQ(single.ActiveRecord(), 0);
    EXPECT_EQ(single.RecordCount(), 1);
    Take(single);
    data->Prior();
    EXPECT_EQ(Take(single), (Log{"CheckBrowse", "Scrolled -1"}));
    EXPECT_EQ(single.ActiveRecord(), 0);

    wide.SetDataSource(nullptr);  // the window shrinks to the active record again
    EXPECT_EQ(data->ActiveRecord(), 0);
    EXPECT_EQ(single.ActiveRecord(), 0);
    EXPECT_EQ(single.RecordCount(), 1);
    EXPECT_EQ(Id(), 4);
    single.SetDataSource(nullptr);
    source->Free();
}

TEST_F(DataSetTest, MasterLinkReportsMasterChangesToItsDetail)
{
    TMemDataSet* detail = new TMemDataSet(nullptr);
    detail->FieldDefs()->Add("Owner", ftInteger);
    detail->Open();
    TDataSource* source = new TDataSource(nullptr);
    source->SetDataSet(data);
    TMasterDataLink link(detail);
    std::vector<std::string> log;
    link.OnMasterChange = [&](TObject*) { log.push_back("change " + std::to_string(Id())); };
    link.OnMasterDisable = [&](TObject*) { log.push_back("disable"); };
    link.SetDataSource(source);
    link.SetFieldNames("Id");
    ASSERT_EQ(link.Fields().size(), 1u);
    EXPECT_EQ(link.Fields()[0], data->FieldByName("Id"));
    data->Next();
    data->Edit();
    data->FieldByName("Name")->SetAsString("not linked");
    data->FieldByName("Id")->SetAsInteger(20);
    data->Cancel();
    data->Close();
    // No field names yet: disable; Edit announces a whole-record change; the unlinked Name field does not count.
    EXPECT_EQ(log, (std::vector<std::string>{"disable", "change 1", "change 2", "change 2", "change 20", "change 2",
                                             "disable"}));
    link.SetDataSource(nullptr);
    source->Free();
    detail->Free();
}

TEST(DataSetLifetime, FreeingADatasetDetachesItsSourcesAndLinks)
{
    TMemDataSet* data = new TMemDataSet(nullptr);
    data->FieldDefs()->Add("Name", ftString, 10);
    data->Open();
    TDataSource* source = new TDataSource(nullptr);
    source->SetDataSet(data);
    TFieldDataLink link;
    link.SetDataSource(source);
    link.SetFieldName("Name");
    ASSERT_TRUE(link.Active());
    data->Free();
    EXPECT_EQ(source->DataSet(), nullptr);
    EXPECT_FALSE(link.Active());
    EXPECT_EQ(link.Field(), nullptr);
    link.SetDataSource(nullptr);
    source->Free();
}

TEST_F(DataSetTest, FieldDataLinkFollowsOneField)
{
    TDataSource* source = new TDataSource(nullptr);
    source->SetDataSet(data);
    TFieldDataLink link;
    int changes = 0, updates = 0;
    link.OnDataChange = [&](TObject*) { ++changes; };
    link.OnUpdateData = [&](TObject*) {
        ++updates;
        link.Field()->SetAsString("Linked");
    };
    link.SetDataSource(source);
    link.SetFieldName("Name");
    EXPECT_EQ(link.Field(), data->FieldByName("Name"));
    changes = 0;
    data->Next();
    EXPECT_EQ(changes, 1);
    EXPECT_TRUE(link.Edit());
    link.Modified();
    data->Post();
    EXPECT_EQ(updates, 1);
    EXPECT_EQ(data->FieldByName("Name")->AsString(), "Linked");
    link.SetDataSource(nullptr);
    source->Free();
}

// A dataset whose information query opens its cursor, as an engine dataset's does.
class TInfoCursorDataSet : public TMemDataSet {
public:
    using TMemDataSet::TMemDataSet;
    using TMemDataSet::IsCursorOpen;
    bool failInfoQuery = false;

protected:
    void OpenCursor(bool infoQuery) override
    {
        if (infoQuery) InternalOpen();
        if (infoQuery && failInfoQuery) throw EDatabaseError("no definitions");
        TMemDataSet::OpenCursor(infoQuery);
    }
};

TEST(DataSetFieldDefs, UpdateOnAClosedDatasetLeavesNoCursorOpen)
{
    auto* data = new TInfoCursorDataSet(nullptr);
    data->FieldDefs()->Add("Id", ftInteger);
    data->FieldDefs()->Update();
    EXPECT_FALSE(data->Active());
    EXPECT_FALSE(data->IsCursorOpen());

    data->failInfoQuery = true;
    data->FieldDefs()->SetUpdated(false);
    EXPECT_THROW(data->FieldDefs()->Update(), EDatabaseError);
    EXPECT_FALSE(data->IsCursorOpen());
    data->Free();
}

// A blob stream marks its field modified while a record is edited; the dataset closes such a blob when the record is
// posted or cancelled, and the next record's blob then reads afresh.
class TBlobCountingDataSet : public TMemDataSet {
    DUN_CLASS(TBlobCountingDataSet, TMemDataSet)
public:
    using TMemDataSet::TMemDataSet;
    void CloseBlob(TField* field) override { Closed += field->FieldName() + " "; }
    std::string Closed;
};

TEST(DataSetBlobs, PostAndCancelClearABlobFieldsModified)
{
    TBlobCountingDataSet* data = CreateObject<TBlobCountingDataSet>(nullptr);
    data->FieldDefs()->Add("Notes", ftMemo);
    data->FieldDefs()->Add("Picture", ftBlob);
    data->Open();
    auto* notes = dynamic_cast<TBlobField*>(data->FieldByName("Notes"));
    ASSERT_TRUE(notes);

    const struct {
        const char* name;
        void (TDataSet::*finish)();
    } cases[] = {{"post", &TDataSet::Post}, {"cancel", &TDataSet::Cancel}};
    for (const auto& c : cases) {
        data->Closed.clear();
        data->Append();
        notes->SetAsString("new");
        notes->SetModified(true);
        (data->*c.finish)();
        EXPECT_FALSE(notes->Modified()) << c.name;
        EXPECT_EQ(data->Closed, "Notes ") << c.name;
    }
    EXPECT_EQ(data->RecordCount(), 1);
    EXPECT_EQ(notes->AsString(), "new");
    data->Closed.clear();
    data->Edit();
    data->Post();
    EXPECT_EQ(data->Closed, "");  // an unmodified blob is left alone
    data->Free();
}

}  // namespace
