// The cursor dataset over the facade, on fake keyed tables: records, fields, navigation, bookmarks, key ranges,
// filters, Locate and Lookup, and the dataset layer's engine error.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <map>

#include <string>
#include <vector>

#include "db/Field.h"
#include "db/NumericFields.h"
#include "db/ObjectFields.h"
#include "db/StringField.h"
#include "engine/components/BseBDEDataset.h"
#include "engine/components/BseMainStartup.h"
#include "engine/components/BseMainText.h"
#include "engine/core/BseEng.h"
#include "engine/tests/support/FakeKeyedTable.h"
#include "engine/tests/support/SessTestSupport.h"
#include "rtl/InitProc.h"
#include "rtl/Strings.h"
#include "rtl/WinApi.h"

#include <objbase.h>

namespace {

// A fake table whose filters can be made to refuse activation.
class TPeopleTable : public TFakeKeyedTable {
    DUN_CLASS(TPeopleTable, TFakeKeyedTable)
public:
    using TFakeKeyedTable::TFakeKeyedTable;
    static inline bool RefuseFilters = false;
    void ActivateFilter(TFilterListItem* filter) override
    {
        if (RefuseFilters) RaiseEngineError(DBIERR_NOSUCHFILTER);
        TFakeKeyedTable::ActivateFilter(filter);
    }
    static inline bool RecordsVanish = false;
    void DeleteRecord(Byte* record) override
    {
        if (RecordsVanish) RaiseEngineError(DBIERR_RECNOTFOUND);
        TFakeKeyedTable::DeleteRecord(record);
    }
    static inline Integer RecordRereads = 0;
    void ForceRecordReread(Byte* record) override
    {
        ++RecordRereads;
        TFakeKeyedTable::ForceRecordReread(record);
    }
    // An exact key search, as the record manager's cursor does it.
    void GetRecordForKey(bool keyItself, Word fieldCount, Byte* record, const Byte* key, Word length) override
    {
        SetToKey(keySEARCHEQ, keyItself, fieldCount, length, key);
        if (record) GetRecord(dbiNOLOCK, record, nullptr);
    }
};

// A table whose engine describes object fields by descriptors and knows the type names of some of them (by field
// number; asked for another field's name it raises).
class TObjectTable : public TFakeKeyedTable {
    DUN_CLASS(TObjectTable, TFakeKeyedTable)
public:
    TObjectTable(const std::vector<FLDDesc>& descriptors, const std::map<Word, std::string>& typeNames,
                 TBoreaCollection* collection)
        : TFakeKeyedTable({{"Code", fldZSTRING, 8}}, std::vector<TFakeIndex>{}, collection),
          descriptors_(descriptors), typeNames_(typeNames)
    {
    }
    static FLDDesc Desc(Word number, const char* name, Word type, Word subType, SmallInt units1, SmallInt units2)
    {
        FLDDesc d{};
        d.iFldNum = number;
        std::strcpy(d.szName, name);
        d.iFldType = type;
        d.iSubType = subType;
        d.iUnits1 = units1;
        d.iUnits2 = units2;
        d.iLen = type == fldINT32 ? 4 : Word(units1);
        return d;
    }
    // An ADT of two members, an array whose element follows it, an unnamed ADT of one member; the engine knows type
    // names of the first two.
    static TObjectTable* Objects(TBoreaCollection* collection)
    {
        return CreateObject<TObjectTable>(
            std::vector<FLDDesc>{Desc(1, "Code", fldZSTRING, 0, 8, 0), Desc(2, "Address", 20, 0, 2, 0),
                                 Desc(3, "Street", fldZSTRING, 0, 30, 0), Desc(4, "Zip", fldINT32, 0, 0, 0),
                                 Desc(5, "Phones", 21, 0, 2, 2), Desc(6, "PHONE", fldZSTRING, 0, 12, 0),
                                 Desc(8, "Owner", 20, 35, 1, 0), Desc(9, "Name", fldZSTRING, 0, 20, 0),
                                 Desc(10, "Amount", fldINT32, 0, 0, 0)},
            std::map<Word, std::string>{{2, "ADDRESS_T"}, {5, "PHONE_LIST"}, {8, ""}}, collection);
    }
    // An array of two points, each of X and a Tag object of one Label; a point takes four field numbers: Points is
    // 2, its elements 3 and 7, their tags 5 and 9.
    static TObjectTable* Points(TBoreaCollection* collection)
    {
        return CreateObject<TObjectTable>(
            std::vector<FLDDesc>{Desc(1, "Code", fldZSTRING, 0, 8, 0), Desc(2, "Points", 21, 0, 2, 8),
                                 Desc(3, "Point", 20, 0, 2, 0), Desc(4, "X", fldINT32, 0, 0, 0),
                                 Desc(5, "Tag", 20, 0, 1, 0), Desc(6, "Label", fldZSTRING, 0, 10, 0),
                                 Desc(11, "Amount", fldINT32, 0, 0, 0)},
            std::map<Word, std::string>{
                {2, "POINT_LIST"}, {3, "POINT_T"}, {7, "POINT_T"}, {5, "TAG_T"}, {9, "TAG_T"}},
            collection);
    }

    void GetCursorProps(CURProps& properties) override
    {
        TFakeKeyedTable::GetCursorProps(properties);
        properties.iFields = Word(descriptors_.size());
    }
    void GetFieldDescs(FLDDesc* descriptors) override
    {
        std::copy(descriptors_.begin(), descriptors_.end(), descriptors);
    }
    void GetProp(Cardinal property, void* buffer, Word& length, Word maxLength) override
    {
        if (property != curFIELDTYPENAME) return TFakeKeyedTable::GetProp(property, buffer, length, maxLength);
        Word fieldNo;
        std::memcpy(&fieldNo, buffer, sizeof fieldNo);
        const auto known = typeNames_.find(fieldNo);
        if (known == typeNames_.end()) RaiseEngineError(DBIERR_INVALIDPARAM);
        const std::string& name = known->second;
        std::memset(buffer, 0, maxLength);
        std::memcpy(buffer, name.data(), name.size());
        length = Word(name.size());
    }

private:
    std::vector<FLDDesc> descriptors_;
    std::map<Word, std::string> typeNames_;
};

// Opens every table as the people table: Code, Name, Amount, Name again; keyed on Code.
class TPeopleDatabase : public TTestDatabase {
    DUN_CLASS(TPeopleDatabase, TTestDatabase)
public:
    using TTestDatabase::TTestDatabase;
    TBaseTable* OpenTable(const std::string& name, const std::string&, Word, Integer, Integer) override
    {
        if (name == "odd") return CreateObject<TFakeKeyedTable>(OddFields(), std::vector<TFakeIndex>{}, Tables());
        if (name == "objects") return TObjectTable::Objects(Tables());
        if (name == "points") return TObjectTable::Points(Tables());
        auto* table = CreateObject<TPeopleTable>(
            std::vector<TFakeField>{{"Code", fldZSTRING, 8}, {"Name", fldZSTRING, 20}, {"Amount", fldINT32, 4},
                                    {"Name", fldINT16, 2}},
            std::vector<TFakeIndex>{{"ByCode", {1}}}, Tables());
        table->SetTableName(name);
        for (const auto& row : People) table->Add(row);
        return table;
    }
    static inline std::vector<std::vector<std::string>> People;

    // One field of each shape the field definitions map.
    static std::vector<TFakeField> OddFields()
    {
        return {{"Text", fldZSTRING, 8}, {"Tiny", fldINT16, 1}, {"Wide", fldINT16, 4}, {"Long", fldINT32, 4},
                {"Real", fldFLOAT, 8},   {"Day", fldDATE, 4},   {"Flag", fldBOOL, 2}, {"Count", fldUINT16, 2}};
    }
};

class TPeopleSession : public TTestSession {
    DUN_CLASS(TPeopleSession, TTestSession)
public:
    using TTestSession::TTestSession;
    TBaseDatabase* CreateDatabase(const DBDesc& description, const std::string& name, Integer openMode,
                                  Integer shareMode, const TDatabaseOptions& options) override
    {
        return CreateObject<TPeopleDatabase>(this, Databases(), &description, openMode, shareMode, name.c_str(),
                                             options);
    }
};

class TPeopleDataset : public TbqBDEDataset {
    DUN_CLASS(TPeopleDataset, TbqBDEDataset)
public:
    TPeopleDataset(TVirtEng* engine, TBaseDatabase* database, std::string tableName = "people")
        : TbqBDEDataset(nullptr), engine_(engine), database_(database), tableName_(std::move(tableName))
    {
    }
    TVirtEng* Engine() const override { return engine_; }

    using TbqBDEDataset::KeyBuffer;
    using TbqBDEDataset::ResetCursorRange;
    using TbqBDEDataset::SetCursorRange;
    using TbqBDEDataset::SetKeyFields;

    std::vector<std::string> Codes()
    {
        std::vector<std::string> codes;
        for (First(); !Eof(); Next()) codes.push_back(FieldByName("Code")->AsString());
        return codes;
    }
    // A field read with the dataset in state for a moment.
    template <class Read>
    std::string InState(TDataSetState state, Read read)
    {
        const TDataSetState saved = SetTempState(state);
        const std::string value = read();
        RestoreState(saved);
        return value;
    }
    void Range(const std::vector<TVarRec>& start, const std::vector<TVarRec>& end)
    {
        SetKeyFields(kiRangeStart, start);
        SetKeyFields(kiRangeEnd, end);
    }

protected:
    TBaseTable* CreateHandle() override
    {
        TBaseTable* cursor = nullptr;
        Check(engine_->OpenTable(database_, tableName_, "", DefaultIndexId, 0, 0, cursor));
        return cursor;
    }

private:
    TVirtEng* engine_;
    TBaseDatabase* database_;
    std::string tableName_;
};

class CursorDatasetTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        TPeopleTable::RefuseFilters = false;
        TPeopleTable::RecordsVanish = false;
        TPeopleTable::RecordRereads = 0;
        TPeopleDatabase::People = {{"A", "Smith", "10"}, {"B", "Jones", "7"}, {"C", "Brown", "12"},
                                   {"D", "smythe", "3"}};
        engine.reset(CreateObject<TVirtEng>(&MakeSession<TPeopleSession>, nullptr, nullptr));
        ASSERT_EQ(engine->OpenDatabase("c:\\data", nullptr, 0, 0, nullptr, 0, nullptr, nullptr, database), 0);
        dataSet.reset(new TPeopleDataset(engine.get(), database));
        dataSet->Open();
    }
    void TearDown() override
    {
        dataSet.reset();
        ApplicationHandleException = nullptr;
    }

    std::unique_ptr<TVirtEng, TFreeObject> engine;
    TBaseDatabase* database = nullptr;
    std::unique_ptr<TPeopleDataset, TFreeObject> dataSet;
};

}  // namespace

TEST_F(CursorDatasetTest, FieldDefinitionsComeFromTheDescriptorsWithUniqueNames)
{
    TFieldDefs* defs = dataSet->FieldDefs();
    ASSERT_EQ(defs->Count(), 4);
    EXPECT_EQ(defs->Items(0)->Name, "Code");
    EXPECT_EQ(defs->Items(0)->DataType, ftString);
    EXPECT_EQ(defs->Items(2)->DataType, ftInteger);
    EXPECT_EQ(defs->Items(3)->Name, "Name_1");
    EXPECT_EQ(defs->Items(3)->DataType, ftSmallint);
    EXPECT_EQ(defs->Items(3)->FieldNo, 4);
}

TEST_F(CursorDatasetTest, FieldTypesFollowTheLogicalTypeAndLength)
{
    TPeopleDataset odd(engine.get(), database, "odd");
    odd.FieldDefs()->Update();
    EXPECT_FALSE(odd.Active());
    const TFieldType expected[] = {ftString, ftSmallint, ftUnknown, ftInteger, ftFloat, ftDate, ftBoolean, ftWord};
    ASSERT_EQ(odd.FieldDefs()->Count(), 8);
    for (Integer i = 0; i < 8; ++i) EXPECT_EQ(odd.FieldDefs()->Items(i)->DataType, expected[i]) << i;
    EXPECT_EQ(odd.FieldDefs()->Items(0)->Size, 8);
}

TEST_F(CursorDatasetTest, ARecordAlreadyGoneIsDeletedQuietlyButOtherFailuresRaise)
{
    dataSet->First();
    TPeopleTable::RecordsVanish = true;
    EXPECT_NO_THROW(dataSet->Delete());
    TPeopleTable::RecordsVanish = false;
    static_cast<TFakeKeyedTable*>(dataSet->Handle())->LockedValue = "A";
    dataSet->First();
    EXPECT_THROW(dataSet->Delete(), ETDBEngineError);
}

TEST_F(CursorDatasetTest, NavigationReadsEveryRecordAndStopsAtBothEnds)
{
    EXPECT_EQ(dataSet->Codes(), (std::vector<std::string>{"A", "B", "C", "D"}));
    EXPECT_TRUE(dataSet->Eof());
    dataSet->Next();
    EXPECT_EQ(dataSet->FieldByName("Code")->AsString(), "D");
    dataSet->First();
    dataSet->Prior();
    EXPECT_TRUE(dataSet->Bof());
    EXPECT_EQ(dataSet->RecNo(), -1);
    EXPECT_EQ(dataSet->RecordCount(), 4);
    EXPECT_EQ(dataSet->FieldByName("Amount")->AsInteger(), 10);
}

TEST_F(CursorDatasetTest, EditInsertAndDeleteReachTheCursor)
{
    dataSet->First();
    dataSet->Next();
    dataSet->Edit();
    dataSet->FieldByName("Name")->SetAsString("Janes");
    dataSet->Post();
    dataSet->Insert();
    dataSet->FieldByName("Code")->SetAsString("BB");
    dataSet->FieldByName("Amount")->SetAsInteger(5);
    dataSet->Post();
    EXPECT_EQ(dataSet->Codes(), (std::vector<std::string>{"A", "B", "BB", "C", "D"}));
    dataSet->First();
    dataSet->Delete();
    EXPECT_EQ(dataSet->Codes(), (std::vector<std::string>{"B", "BB", "C", "D"}));
    dataSet->First();
    EXPECT_EQ(dataSet->FieldByName("Name")->AsString(), "Janes");
}

TEST_F(CursorDatasetTest, ModifyingOutsideEditModeIsRefused)
{
    dataSet->First();
    EXPECT_THROW(dataSet->FieldByName("Name")->SetAsString("X"), EDatabaseError);
}

// The cursor's crack keeps its place, so the first block begins after the active record.
TEST_F(CursorDatasetTest, BlockReadingReadsTheFollowingRecordsInBlocks)
{
    dataSet->First();
    dataSet->Next();
    dataSet->SetBlockReadSize(2);
    EXPECT_EQ(dataSet->State(), dsBlockRead);
    std::vector<std::string> codes;
    for (; !dataSet->Eof(); dataSet->Next()) codes.push_back(dataSet->FieldByName("Code")->AsString());
    EXPECT_EQ(codes, (std::vector<std::string>{"C", "D"}));
    dataSet->SetBlockReadSize(0);
    EXPECT_EQ(dataSet->State(), dsBrowse);
}

TEST_F(CursorDatasetTest, BookmarksCompareAndReturn)
{
    EXPECT_EQ(dataSet->CompareBookmarks("", ""), 0);
    dataSet->First();
    const TBookmark first = dataSet->Bookmark();
    EXPECT_EQ(dataSet->CompareBookmarks("", first), 1);
    EXPECT_EQ(dataSet->CompareBookmarks(first, ""), -1);
    dataSet->Last();
    const TBookmark last = dataSet->Bookmark();
    EXPECT_LT(dataSet->CompareBookmarks(first, last), 0);
    EXPECT_EQ(dataSet->CompareBookmarks(first, first), 0);
    EXPECT_TRUE(dataSet->BookmarkValid(first));
    dataSet->GotoBookmark(first);
    EXPECT_EQ(dataSet->FieldByName("Code")->AsString(), "A");
}

TEST_F(CursorDatasetTest, RangesAreInclusiveInstalledOnceAndRemoved)
{
    dataSet->Range({"B"}, {"C"});
    EXPECT_TRUE(dataSet->SetCursorRange());
    EXPECT_EQ(dataSet->Codes(), (std::vector<std::string>{"B", "C"}));
    EXPECT_FALSE(dataSet->SetCursorRange());
    EXPECT_TRUE(dataSet->ResetCursorRange());
    EXPECT_FALSE(dataSet->ResetCursorRange());
    EXPECT_EQ(dataSet->Codes().size(), 4u);
}

TEST_F(CursorDatasetTest, AnEmptyStartKeyLeavesTheRangeOpenAtTheStart)
{
    dataSet->Range({}, {"B"});
    EXPECT_FALSE(dataSet->KeyBuffer(kiRangeStart)->Modified);
    EXPECT_EQ(dataSet->KeyBuffer(kiRangeStart)->FieldCount, 0);
    EXPECT_TRUE(dataSet->KeyBuffer(kiRangeEnd)->Modified);
    dataSet->SetCursorRange();
    EXPECT_EQ(dataSet->Codes(), (std::vector<std::string>{"A", "B"}));
}

TEST_F(CursorDatasetTest, KeyValuesBeyondTheIndexFieldsAreRefused)
{
    try {
        dataSet->Range({"A", "Smith"}, {});
        FAIL();
    } catch (const EDatabaseError& error) {
        EXPECT_NE(std::string(error.Message()).find("Field index out of range"), std::string::npos);
    }
    EXPECT_EQ(dataSet->State(), dsBrowse);
}

TEST_F(CursorDatasetTest, ExpressionFilterShowsMatchingRecordsOnly)
{
    dataSet->SetFilter("[Code] < 'C'");
    dataSet->SetFiltered(true);
    EXPECT_EQ(dataSet->Codes(), (std::vector<std::string>{"A", "B"}));
    dataSet->Last();
    dataSet->SetFiltered(true);  // the same value still moves to the first record
    EXPECT_EQ(dataSet->FieldByName("Code")->AsString(), "A");
    dataSet->SetFilter("[Amount] > 8");
    EXPECT_EQ(dataSet->Codes(), (std::vector<std::string>{"A", "C"}));
    dataSet->SetFiltered(false);
    EXPECT_EQ(dataSet->Codes().size(), 4u);
}

TEST_F(CursorDatasetTest, RecordFilterEventDecidesAndItsFailureDoesNotStopTheScan)
{
    Integer handled = 0;
    ApplicationHandleException = [&](TObject*) { ++handled; };
    dataSet->SetOnFilterRecord([](TDataSet* data, bool& accept) {
        const std::string code = data->FieldByName("Code")->AsString();
        if (code == "C") throw Exception("bad record");
        accept = code != "B";
    });
    dataSet->SetFiltered(true);
    EXPECT_EQ(dataSet->Codes(), (std::vector<std::string>{"A", "C", "D"}));
    EXPECT_GT(handled, 0);
}

TEST_F(CursorDatasetTest, FindRecordUsesTheFilterWhileNotFiltered)
{
    dataSet->SetFilter("[Amount] < 8");
    EXPECT_TRUE(dataSet->FindFirst());
    EXPECT_EQ(dataSet->FieldByName("Code")->AsString(), "B");
    EXPECT_TRUE(dataSet->FindNext());
    EXPECT_EQ(dataSet->FieldByName("Code")->AsString(), "D");
    EXPECT_FALSE(dataSet->FindNext());
    EXPECT_EQ(dataSet->Codes().size(), 4u);
}

TEST_F(CursorDatasetTest, LocateByIndexAndByScan)
{
    struct TCase {
        std::string Fields;
        Variant Values;
        TLocateOptions Options;
        std::string Found;  // empty: not found
    } cases[] = {
        {"Code", Variant("C"), {}, "C"},
        {"Code", Variant("Z"), {}, ""},
        {"Name", Variant("jones"), {loCaseInsensitive}, "B"},
        {"Name", Variant("jones"), {}, ""},
        {"Name", Variant("SM"), {loCaseInsensitive, loPartialKey}, "A"},
        {"Amount", Variant(Integer(3)), {}, "D"},
    };
    for (const TCase& c : cases) {
        dataSet->First();
        dataSet->Next();
        const bool found = dataSet->Locate(c.Fields, c.Values, c.Options);
        EXPECT_EQ(found, !c.Found.empty()) << c.Fields;
        EXPECT_EQ(dataSet->FieldByName("Code")->AsString(), c.Found.empty() ? "B" : c.Found) << c.Fields;
    }
}

TEST_F(CursorDatasetTest, LocateWhoseFilterCannotBeActivatedRaisesInsteadOfFinding)
{
    TPeopleTable::RefuseFilters = true;
    EXPECT_THROW(dataSet->Locate("Name", Variant("Brown"), {}), ETDBEngineError);
}

TEST_F(CursorDatasetTest, LookupAnswersWithoutMoving)
{
    dataSet->First();
    EXPECT_EQ(dataSet->Lookup("Name", Variant("Brown"), "Amount").ToInteger(), 12);
    EXPECT_TRUE(VarIsNull(dataSet->Lookup("Name", Variant("Nobody"), "Amount")));
    EXPECT_EQ(dataSet->FieldByName("Code")->AsString(), "A");
}

TEST_F(CursorDatasetTest, CachedUpdatesAreRefused)
{
    EXPECT_THROW(dataSet->SetCachedUpdates(true), EDatabaseError);
    EXPECT_FALSE(dataSet->CachedUpdates());
}

TEST_F(CursorDatasetTest, EngineErrorsCarryTheStackEntriesOnce)
{
    dataSet->Close();
    TErrorEntry entry{};
    entry.Code = DBIERR_LOCKED;
    std::strcpy(entry.Context[0], "Record locked");
    engine->ErrorStack()->Clear();
    engine->ErrorStack()->Push(entry);
    engine->ErrorStack()->Push(entry);
    const ETDBEngineError error(engine.get(), DBIERR_NOTSUPPORTED);
    ASSERT_EQ(error.ErrorCount(), 3);
    EXPECT_EQ(error.Errors(0).ErrorCode, DBIERR_NOTSUPPORTED);
    EXPECT_EQ(error.Errors(1).ErrorCode, DBIERR_LOCKED);
    EXPECT_EQ(std::string(error.Message()).find("Record locked"),
              std::string(error.Message()).rfind("Record locked"));

    engine->ErrorStack()->Clear();
    EXPECT_EQ(ETDBEngineError(engine.get(), DBIERR_NA).Message(), "Borea Interface Error: ( 2A04 )");
}

TEST(AliasString, PairsOfTheListsNamedValues)
{
    struct TCase {
        std::vector<std::string> Lines;
        std::string Text;
    } cases[] = {
        {{}, ""},
        {{"A="}, ""},
        {{"PATH=c:\\data", "NOEQUALS", "USER NAME=bob"}, "PATH:\"c:\\data\";USER NAME:\"bob\""},
        {{"LONG=" + std::string(300, 'x')}, "LONG:\"" + std::string(255, 'x') + "\""},
    };
    for (const TCase& c : cases) {
        TStringList list;
        for (const std::string& line : c.Lines) list.Add(line);
        std::string text = "junk";
        ParamsToAliasString(&list, text);
        EXPECT_EQ(text, c.Text);
    }
}

TEST_F(CursorDatasetTest, ObjectDescriptorsGiveChildDefinitionsAndTypeNames)
{
    TPeopleDataset objects(engine.get(), database, "objects");
    objects.SetObjectView(true);
    objects.Open();
    struct TDef {
        std::string Name;
        TFieldType Type;
        Integer FieldNo;
        Integer Children;
    };
    std::vector<TDef> defs;
    std::function<void(TFieldDefs*)> collect = [&](TFieldDefs* list) {
        for (Integer i = 0; i < list->Count(); ++i) {
            TFieldDef* def = list->Items(i);
            defs.push_back({def->Name, def->DataType, def->FieldNo, def->HasChildDefs() ? def->ChildDefs()->Count() : 0});
            if (def->HasChildDefs()) collect(def->ChildDefs());
        }
    };
    collect(objects.FieldDefs());
    const std::vector<TDef> expected = {
        {"Code", ftString, 1, 0},      {"Address", ftADT, 2, 2}, {"Street", ftString, 3, 0}, {"Zip", ftInteger, 4, 0},
        {"Phones", ftArray, 5, 1},     {"Phones[0]", ftString, 6, 0}, {"Owner", ftADT, 8, 1}, {"Name", ftString, 9, 0},
        {"Amount", ftInteger, 10, 0}};
    ASSERT_EQ(defs.size(), expected.size());
    for (size_t i = 0; i < defs.size(); ++i) {
        EXPECT_EQ(defs[i].Name, expected[i].Name) << i;
        EXPECT_EQ(defs[i].Type, expected[i].Type) << i;
        EXPECT_EQ(defs[i].FieldNo, expected[i].FieldNo) << i;
        EXPECT_EQ(defs[i].Children, expected[i].Children) << i;
    }
    EXPECT_TRUE(objects.FieldDefs()->Find("Owner")->Attributes.Contains(faUnNamed));
    EXPECT_FALSE(objects.FieldDefs()->Find("Address")->Attributes.Contains(faUnNamed));

    auto objectType = [&](TDataSet& dataSet, const char* name) {
        return static_cast<TObjectField*>(dataSet.FieldByName(name))->ObjectType();
    };
    EXPECT_EQ(objectType(objects, "Address"), "ADDRESS_T");
    EXPECT_EQ(objectType(objects, "Phones"), "PHONE_LIST");
    EXPECT_EQ(objectType(objects, "Owner"), "");
    EXPECT_EQ(objects.FieldByName("Amount")->FieldNo(), 10);

    TPeopleDataset flat(engine.get(), database, "objects");
    flat.Open();
    EXPECT_EQ(objectType(flat, "Address"), "") << "type names are read only with ObjectView";
}

// Object fields inside object fields get their type names too; in sparse mode an array of objects is described
// through its element's fields, so its elements get none.
TEST_F(CursorDatasetTest, SparseArraysOfObjectsTakeTypeNamesThroughTheirElementsFields)
{
    for (bool sparse : {false, true}) {
        TPeopleDataset points(engine.get(), database, "points");
        points.SetObjectView(true);
        points.SetSparseArrays(sparse);
        points.Open();
        auto* list = dynamic_cast<TArrayField*>(points.FieldByName("Points"));
        ASSERT_TRUE(list);
        auto child = [](TObjectField* parent, Integer index) {
            return dynamic_cast<TObjectField*>(parent->Fields()->Fields(index));
        };
        struct TCase {
            TObjectField* Field;
            const char* Dense;
            const char* Sparse;
        } cases[] = {{list, "POINT_LIST", "POINT_LIST"},
                     {child(list, 0), "POINT_T", ""},
                     {child(child(list, 0), 1), "TAG_T", "TAG_T"},
                     {child(list, 1), "POINT_T", ""},
                     {child(child(list, 1), 1), "TAG_T", ""}};
        for (size_t i = 0; i < std::size(cases); ++i) {
            ASSERT_TRUE(cases[i].Field) << i;
            EXPECT_EQ(cases[i].Field->ObjectType(), sparse ? cases[i].Sparse : cases[i].Dense) << i << " " << sparse;
        }
        EXPECT_EQ(cases[4].Field->FieldNo(), 9);
        EXPECT_THROW(points.SetSparseArrays(!sparse), EDatabaseError) << "only while closed";
    }
}

// The dataset components chain COM's start onto the application's initialisation hook, after the hook they found.
TEST(DatasetStartup, TheApplicationsInitialisationRunsThePreviousHookThenStartsCom)
{
    ASSERT_NE(InitProc, nullptr);
    static std::vector<bool> comStartedInPreviousHook;
    InitProc = [] { comStartedInPreviousHook.push_back(ComStarted()); };
    ChainComStartup();
    EXPECT_FALSE(ComStarted());
    InitProc();
    EXPECT_EQ(comStartedInPreviousHook, std::vector<bool>{false});
    EXPECT_TRUE(ComStarted());
    EXPECT_EQ(CoInitialize(nullptr), S_FALSE);  // already started on this thread
    CoUninitialize();
    EndComStartup();
    EXPECT_FALSE(ComStarted());
    EXPECT_EQ(CoInitialize(nullptr), S_OK);
    CoUninitialize();

    // A library leaves the hook alone.
    IsLibrary = true;
    const TProcedure hook = InitProc;
    ChainComStartup();
    EXPECT_EQ(InitProc, hook);
    IsLibrary = false;
}

TEST_F(CursorDatasetTest, TheOldValueStateReadsTheRecordAsTheCursorHoldsIt)
{
    dataSet->First();
    dataSet->Edit();
    TField* name = dataSet->FieldByName("Name");
    name->SetAsString("Smithers");
    EXPECT_EQ(dataSet->InState(dsOldValue, [&] { return name->AsString(); }), "Smith");
    EXPECT_EQ(dataSet->InState(dsNewValue, [&] { return name->AsString(); }), "Smithers");
    EXPECT_EQ(name->AsString(), "Smithers");
    dataSet->Post();
    EXPECT_EQ(dataSet->InState(dsOldValue, [&] { return name->AsString(); }), "Smithers");
    // Outside cached-update mode the values of the states are not offered.
    EXPECT_THROW(name->OldValue(), EDatabaseError);
}

TEST_F(CursorDatasetTest, RefreshRereadsTheRecordOfAReferenceFieldsNestedDataset)
{
    dataSet->Next();
    dataSet->Refresh();
    EXPECT_EQ(TPeopleTable::RecordRereads, 0);

    TReferenceField reference(nullptr);
    dataSet->SetDataSetField(&reference);
    dataSet->Refresh();
    dataSet->SetDataSetField(nullptr);
    EXPECT_EQ(TPeopleTable::RecordRereads, 1);
    EXPECT_EQ(dataSet->FieldByName("Code")->AsString(), "B");
}

TEST(CursorDatasetCalcFields, CalculatedFieldsFollowEveryRecordAndEveryEdit)
{
    TPeopleDatabase::People = {{"A", "Smith", "10"}, {"B", "Jones", "7"}};
    std::unique_ptr<TVirtEng, TFreeObject> engine(CreateObject<TVirtEng>(&MakeSession<TPeopleSession>, nullptr, nullptr));
    TBaseDatabase* database = nullptr;
    ASSERT_EQ(engine->OpenDatabase("c:\\data", nullptr, 0, 0, nullptr, 0, nullptr, nullptr, database), 0);
    std::unique_ptr<TPeopleDataset, TFreeObject> people(new TPeopleDataset(engine.get(), database));
    auto* code = CreateObject<TStringField>(people.get());
    code->SetFieldName("Code");
    code->SetSize(8);
    code->SetDataSet(people.get());
    auto* amount = CreateObject<TIntegerField>(people.get());
    amount->SetFieldName("Amount");
    amount->SetDataSet(people.get());
    auto* label = CreateObject<TStringField>(people.get());
    label->SetFieldName("Label");
    label->SetSize(20);
    label->SetFieldKind(fkCalculated);
    label->SetDataSet(people.get());
    Integer calculations = 0;
    people->OnCalcFields = [&](TDataSet* ds) {
        ++calculations;
        ds->FieldByName("Label")->SetAsString(ds->FieldByName("Code")->AsString() + "=" +
                                              ds->FieldByName("Amount")->AsString());
    };
    people->Open();
    std::vector<std::string> labels;
    for (people->First(); !people->Eof(); people->Next()) labels.push_back(label->AsString());
    EXPECT_EQ(labels, (std::vector<std::string>{"A=10", "B=7"}));
    EXPECT_GE(calculations, 2);

    people->Edit();
    amount->SetAsInteger(8);
    EXPECT_EQ(label->AsString(), "B=8");
    people->Post();
    people->First();
    people->Last();
    EXPECT_EQ(label->AsString(), "B=8");
    EXPECT_THROW(label->SetAsString("x"), EDatabaseError);
}

TEST_F(CursorDatasetTest, CachedUpdatesAreRefusedWithAClearError)
{
    try {
        dataSet->SetCachedUpdates(true);
        FAIL();
    } catch (const EDatabaseError& error) {
        EXPECT_NE(error.Message().find("Cached updates are not available on this dataset"), std::string::npos);
    }
    EXPECT_FALSE(dataSet->CachedUpdates());
    dataSet->SetCachedUpdates(false);
}
