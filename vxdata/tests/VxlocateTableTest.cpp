// Locate, incremental find and lookup links on the library's table over record-manager files described by a data
// dictionary: an item file with a field of every kind the scan converts (dates, times, time stamps, Booleans,
// numbers) and a group file the items look up.
#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "db/Bcd.h"
#include "db/DataLinks.h"
#include "db/DataSource.h"
#include "db/NumericFields.h"
#include "db/StringField.h"
#include "engine/bk/BkSession.h"
#include "engine/btrieve/BtrDict.h"
#include "engine/tests/support/RequesterFiles.h"
#include "rtl/DateFormat.h"
#include "rtl/DateTime.h"
#include "rtl/FloatConv.h"
#include "rtl/StringRoutines.h"
#include "tools/mkdemo/DemoRegistry.h"
#include "tools/mkdemo/MachineRegistryOverride.h"
#include "vcl/Forms.h"
#include "vcl/TestHelpers.h"
#include "vxdata/Vxincfind.h"
#include "vxdata/Vxintl.h"
#include "vxdata/Vxlocate.h"
#include "vxdata/Vxlookup.h"
#include "vxdata/Vxtable.h"

namespace {

using Codes = std::vector<std::string>;
constexpr Word NoCase = 0x0400;

template <class T>
std::vector<Byte> Bytes(const T& record)
{
    const auto* start = reinterpret_cast<const Byte*>(&record);
    return std::vector<Byte>(start, start + sizeof record);
}

TFileDDFRecord FileEntry(Word id, const char* name, const char* location)
{
    TFileDDFRecord entry{};
    entry.FileId = id;
    std::memset(entry.Name, ' ', sizeof entry.Name);
    std::memcpy(entry.Name, name, std::strlen(name));
    std::memset(entry.Location, ' ', sizeof entry.Location);
    std::memcpy(entry.Location, location, std::strlen(location));
    return entry;
}

std::vector<Byte> FieldEntry(Word id, Word fileId, const char* name, Byte type, Word offset, Word size)
{
    TFieldDDFRecord entry{};
    entry.FieldId = id;
    entry.FileId = fileId;
    std::memset(entry.Name, ' ', sizeof entry.Name);
    std::memcpy(entry.Name, name, std::strlen(name));
    entry.DataType = type;
    entry.Offset = offset;
    entry.Size = size;
    return Bytes(entry);
}

struct TItem {
    const char* Code;
    const char* Name;
    double Price;
    TDateTime Day;
    TDateTime At;
    bool Flag;
    SmallInt Group;
    TDateTime Stamp;
};

const TItem Items[] = {
    {"A1", "Smith", 2.5, EncodeDate(2020, 5, 1), EncodeTime(8, 30, 0, 0), true, 1,
     EncodeDate(2020, 5, 1) + EncodeTime(10, 0, 0, 0)},
    {"B2", "Jones", 1.0, EncodeDate(2021, 1, 2), EncodeTime(12, 0, 0, 0), false, 2,
     EncodeDate(2021, 1, 2) + EncodeTime(9, 0, 0, 0)},
    {"C3", "smithers", 3.25, EncodeDate(2020, 5, 1), EncodeTime(17, 45, 0, 0), true, 1,
     EncodeDate(2020, 5, 3) + EncodeTime(23, 0, 0, 0)},
    {"D4", "Brown", 2.5, EncodeDate(2019, 12, 31), EncodeTime(0, 0, 0, 0), false, 3,
     EncodeDate(2018, 7, 4) + EncodeTime(1, 0, 0, 0)},
};

// Counts the table's moves.
struct TMoves {
    explicit TMoves(TDataSet* dataSet) { dataSet->AfterScroll = [this](TDataSet*) { ++Count; }; }
    Integer Count = 0;
};

class VxLocateOnDictionaryFiles : public RequesterFolderTest {
protected:
    void SetUp() override
    {
        RequesterFolderTest::SetUp();
        StartBtrieveRequester(nullptr, nullptr);
        MakeDictionary();
        registry_ = std::make_unique<TMachineRegistryOverride>();
        WriteDemoRegistry(Directory());
        FillTables();
        items_ = NewTable("items", " 0 - Code");
        items_->SetName("Items");
        items_->Open();
    }

    void TearDown() override
    {
        FreeTable(items_);
        BkDefaultSession()->SetActive(false);
        registry_.reset();
        RequesterFolderTest::TearDown();
    }

    // items: Code (key 0), Name (key 1, case ignored), Price, Day, At, Flag, Grp (key 2) and Stamp;
    // groups: Grp (key 0) and Title.
    void MakeDictionary()
    {
        using namespace KeyFlag;
        MakeFile("FILE.DDF", {sizeof(TFileDDFRecord), {{1, 2, 0, BtrType::Integer}, {3, 20, Modifiable, BtrType::String}}});
        MakeFile("FIELD.DDF", {sizeof(TFieldDDFRecord), {{1, 2, 0, BtrType::Integer}, {3, 2, Duplicates, BtrType::Integer}}});
        InsertRaw("FILE.DDF", {Bytes(FileEntry(1, "items", "items.dat")), Bytes(FileEntry(2, "groups", "groups.dat"))});
        InsertRaw("FIELD.DDF", {FieldEntry(1, 1, "Code", BtrType::String, 0, 8),
                                FieldEntry(2, 1, "Name", BtrType::String, 8, 12),
                                FieldEntry(3, 1, "Price", BtrType::Float, 20, 8),
                                FieldEntry(4, 1, "Day", BtrType::Date, 28, 4),
                                FieldEntry(5, 1, "At", BtrType::Time, 32, 4),
                                FieldEntry(6, 1, "Flag", BtrType::Logical, 36, 2),
                                FieldEntry(7, 1, "Grp", BtrType::Integer, 38, 2),
                                FieldEntry(8, 1, "Stamp", BtrType::TimeStamp, 40, 8),
                                FieldEntry(10, 2, "Grp", BtrType::Integer, 0, 2),
                                FieldEntry(11, 2, "Title", BtrType::String, 2, 12)});
        MakeFile("items.dat", {48,
                               {{1, 8, 0, BtrType::String},
                                {9, 12, Duplicates | Modifiable | NoCase, BtrType::String},
                                {39, 2, Duplicates | Modifiable, BtrType::Integer}}});
        MakeFile("groups.dat", {14, {{1, 2, 0, BtrType::Integer}}});
    }

    void FillTables()
    {
        TvxTable* items = NewTable("items", " 0 - Code");
        items->Open();
        for (const TItem& item : Items) {
            items->Append();
            items->FieldByName("Code")->SetAsString(item.Code);
            items->FieldByName("Name")->SetAsString(item.Name);
            items->FieldByName("Price")->SetAsFloat(item.Price);
            items->FieldByName("Day")->SetAsDateTime(item.Day);
            items->FieldByName("At")->SetAsDateTime(item.At);
            items->FieldByName("Flag")->SetAsBoolean(item.Flag);
            items->FieldByName("Grp")->SetAsInteger(item.Group);
            items->FieldByName("Stamp")->SetAsDateTime(item.Stamp);
            items->Post();
        }
        FreeTable(items);
        TvxTable* groups = NewTable("groups", " 0 - Grp");
        groups->Open();
        for (const auto& [number, title] : {std::pair{1, "Fruit"}, std::pair{2, "Vegetables"}})
            groups->AppendRecord({Variant(SmallInt(number)), Variant(title)});
        FreeTable(groups);
    }

    static TvxTable* NewTable(const std::string& name, const std::string& indexName)
    {
        auto* table = new TvxTable(nullptr);
        table->SetDatabaseName("vavuz");
        table->SetTableName(name);
        table->SetIndexName(indexName);
        return table;
    }

    static void FreeTable(TvxTable*& table)
    {
        if (table) table->Free();
        table = nullptr;
    }

    std::string Code() { return Trim(items_->FieldByName("Code")->AsString()); }

    Codes AllCodes()
    {
        Codes codes;
        for (items_->First(); !items_->Eof(); items_->Next()) codes.push_back(Code());
        return codes;
    }

    void GoTo(const std::string& code)
    {
        items_->First();
        while (!items_->Eof() && Code() != code) items_->Next();
    }

    std::unique_ptr<TMachineRegistryOverride> registry_;
    TvxTable* items_ = nullptr;
};

// ---- locate ----

TEST_F(VxLocateOnDictionaryFiles, AnEngineScanReadsRawValuesWithoutMovingTheTableUntilItsMatch)
{
    struct TCase {
        const char* Field;
        Integer MatchType;
        std::string Value;
        const char* Found;  // nullptr: not found
    };
    const TCase cases[] = {
        {"Day", mtExactMatch, DateToStr(EncodeDate(2021, 1, 2)), "B2"},
        {"At", mtExactMatch, TimeToStr(EncodeTime(17, 45, 0, 0)), "C3"},
        {"Flag", mtExactMatch, "false", "B2"},
        {"Price", mtExactMatch, "3.250", "C3"},
        {"Price", mtExactMatch, "abc", nullptr},
        {"Grp", mtExactMatch, "3", "D4"},
        {"Stamp", mtExactMatch, DateToStr(EncodeDate(2018, 7, 4)), "D4"},
        {"Name", mtPartialMatchAny, "ITHER", "C3"},
        {"Name", mtExactMatch, "nobody", nullptr},
    };
    for (const TCase& c : cases) {
        GoTo("A1");
        TMoves moves(items_);
        EXPECT_EQ(vxLocateValue(true, items_, c.Field, false, c.MatchType, c.Value), c.Found != nullptr)
            << c.Field << " " << c.Value;
        EXPECT_EQ(Code(), c.Found ? c.Found : "A1") << c.Field << " " << c.Value;
        EXPECT_LE(moves.Count, c.Found ? 1 : 2) << "only First and a return move the table: " << c.Field;
        EXPECT_EQ(Screen->Cursor(), crDefault);
    }
    // The table goes on from the record found.
    ASSERT_TRUE(vxLocateValue(true, items_, "Day", false, mtExactMatch, DateToStr(EncodeDate(2021, 1, 2))));
    items_->Next();
    EXPECT_EQ(Code(), "C3");
}

TEST_F(VxLocateOnDictionaryFiles, FromTheCurrentRecordTheNextMatchIsFound)
{
    GoTo("A1");
    EXPECT_TRUE(vxLocateValue(false, items_, "Price", false, mtExactMatch, "2.5"));
    EXPECT_EQ(Code(), "D4");
    EXPECT_FALSE(vxLocateValue(false, items_, "Price", false, mtExactMatch, "2.5"));
    EXPECT_EQ(Code(), "D4");
    GoTo("B2");
    EXPECT_FALSE(vxLocateValue(false, items_, "Name", true, mtExactMatch, "Smith")) << "A1 lies behind";
    EXPECT_EQ(Code(), "B2");
}

TEST_F(VxLocateOnDictionaryFiles, TheIndexFindsWithoutScanning)
{
    items_->SetIndexName(" 1 - Name");
    items_->Last();
    TMoves moves(items_);
    EXPECT_TRUE(vxLocateValue(true, items_, "Name", false, mtExactMatch, "smith"));
    EXPECT_EQ(Code(), "A1");
    EXPECT_EQ(moves.Count, 1) << "one key search";
    EXPECT_FALSE(vxLocateValue(true, items_, "Name", false, mtExactMatch, "smit"));
    EXPECT_EQ(Code(), "A1");

    // At the beginning: the nearest key, which must match.
    items_->First();
    EXPECT_TRUE(vxLocateValue(true, items_, "Name", false, mtPartialMatchStart, "SMI"));
    EXPECT_EQ(Code(), "A1");
    GoTo("B2");
    EXPECT_FALSE(vxLocateValue(true, items_, "Name", false, mtPartialMatchStart, "SX"));
    EXPECT_EQ(Code(), "B2") << "a nearest record that does not match is left";
    // Not from the start: a value before the current one fails at once; the current match tests the next one.
    GoTo("C3");
    moves.Count = 0;
    EXPECT_FALSE(vxLocateValue(false, items_, "Name", false, mtPartialMatchStart, "JO"));
    EXPECT_EQ(moves.Count, 0);
    GoTo("A1");
    EXPECT_TRUE(vxLocateValue(false, items_, "Name", false, mtPartialMatchStart, "SMITH"));
    EXPECT_EQ(Code(), "C3");
    EXPECT_FALSE(vxLocateValue(false, items_, "Name", false, mtPartialMatchStart, "SMITH"));
    EXPECT_EQ(Code(), "C3");
}

TEST(LocateValueText, BCDIsTheNumberItHolds)
{
    TBCDField field(nullptr);
    TBcd bcd;
    ASSERT_TRUE(CurrToBCD(Currency(12.5), bcd));
    EXPECT_EQ(vxLocateValueText(&field, &bcd), FloatToStr(12.5));
}

// ---- incremental find ----

TEST_F(VxLocateOnDictionaryFiles, IncrementalFindByLocateAndByTheNearestKey)
{
    items_->SetIndexName(" 1 - Name");
    for (bool useLocate : {true, false}) {
        vxIntl()->SetUseLocateMethodForSearch(useLocate);
        items_->First();
        EXPECT_TRUE(items_->IncrementalFind("Smi", 0)) << useLocate;
        EXPECT_EQ(Code(), "A1");
        EXPECT_TRUE(items_->IncrementalFind("Jo", 0));
        EXPECT_EQ(Code(), "B2");
        EXPECT_FALSE(items_->IncrementalFind("smz", 0));
        EXPECT_EQ(items_->SearchDepth, 0);
    }
    vxIntl()->SetUseLocateMethodForSearch(true);
    items_->Last();
    EXPECT_TRUE(items_->IncrementalFind("", 0));
    EXPECT_EQ(Code(), "D4") << "Brown, the first name";

    // A text that does not suit an integer key moves nothing.
    items_->SetIndexName(" 2 - Grp");
    GoTo("C3");
    EXPECT_FALSE(items_->IncrementalFind("x1", 0));
    EXPECT_EQ(Code(), "C3");
    EXPECT_TRUE(items_->IncrementalFind("2", 0));
    EXPECT_EQ(Code(), "B2");
}

TEST_F(VxLocateOnDictionaryFiles, ANarrowSearchShowsTheRangeOfTheText)
{
    items_->SetIndexName(" 1 - Name");
    items_->NarrowSearch = true;
    items_->NarrowSearchUpperChar = 'z';
    EXPECT_TRUE(items_->IncrementalFind("Jo", 0));
    EXPECT_EQ(AllCodes(), (Codes{"B2"}));
    EXPECT_FALSE(items_->IncrementalFind("Jz", 0));
    EXPECT_TRUE(AllCodes().empty());
    items_->IncrementalFind("", 0);
    EXPECT_EQ(AllCodes().size(), 4u);
    EXPECT_EQ(Screen->Cursor(), crDefault);

    items_->SetIndexName(" 2 - Grp");
    EXPECT_TRUE(items_->IncrementalFind("2", 0));
    EXPECT_EQ(AllCodes(), (Codes{"B2", "D4"})) << "an open-ended range from 2";
}

TEST_F(VxLocateOnDictionaryFiles, TablesThatCannotBeSearchedAreReported)
{
    TScriptedDialogs dialogs;
    TTable plain(nullptr);
    EXPECT_FALSE(vxIncrementalFind(&plain, "x", 0));
    items_->Close();
    items_->SetIndexName("");
    items_->SetDefaultIndex(false);
    items_->Open();
    ASSERT_EQ(items_->IndexFieldCount(), 0);
    EXPECT_FALSE(vxHasIndexFields(items_));
    EXPECT_FALSE(vxIncrementalFind(items_, "x", 0));
    ASSERT_EQ(dialogs.Shown.size(), 2u);
    EXPECT_EQ(dialogs.Shown[0].Text, "Incremental Search - TTable component not supported. Use TvxTable instead.");
    EXPECT_EQ(dialogs.Shown[1].Text, "Table Items: Table index not found");
    EXPECT_EQ(dialogs.Shown[1].Type, mtWarning);
}

// ---- lookup links ----

class VxLookupLinksOnDictionaryFiles : public VxLocateOnDictionaryFiles {
protected:
    void SetUp() override
    {
        VxLocateOnDictionaryFiles::SetUp();
        items_->Close();
    }

    // Persistent fields Code and Grp and calculated text fields.
    void AddFields(std::initializer_list<const char*> calculated)
    {
        auto* code = CreateObject<TStringField>(items_);
        code->SetFieldName("Code");
        code->SetSize(8);
        code->SetDataSet(items_);
        auto* group = CreateObject<TSmallintField>(items_);
        group->SetFieldName("Grp");
        group->SetDataSet(items_);
        for (const char* name : calculated) {
            auto* field = CreateObject<TStringField>(items_);
            field->SetFieldName(name);
            field->SetSize(20);
            field->SetFieldKind(fkCalculated);
            field->SetDataSet(items_);
        }
    }

    std::vector<std::string> Column(const std::string& field)
    {
        std::vector<std::string> texts;
        for (items_->First(); !items_->Eof(); items_->Next()) texts.push_back(items_->FieldByName(field)->AsString());
        return texts;
    }

    TvxTable* OnlyLookupTable()
    {
        TvxLookupTables* tables = vxGetLookupTables(items_);
        EXPECT_EQ(tables->Items().size(), 1u);
        return tables->Items().empty() ? nullptr : tables->Items()[0].Table;
    }

    // Lookup-table moves over one pass through the items.
    Integer LookupMovesOfAPass()
    {
        items_->First();
        TMoves moves(OnlyLookupTable());
        for (items_->First(); !items_->Eof(); items_->Next()) {
        }
        return moves.Count;
    }
};

TEST_F(VxLookupLinksOnDictionaryFiles, CalculatedFieldsTakeTheirTextFromTheLookupTable)
{
    AddFields({"Title", "Same", "ByFields", "Odd"});
    items_->LookupFields()->Add("Title;vavuz;groups;Title; 0 - Grp");
    items_->LookupLinks()->Add("Grp;Grp");
    items_->Open();
    EXPECT_EQ(Column("Title"), (Codes{"Fruit", "Vegetables", "Fruit", ""}));
    const Integer movesOfOneField = LookupMovesOfAPass();
    TvxTable* lookup = OnlyLookupTable();
    EXPECT_TRUE(lookup->ReadOnly());
    EXPECT_GT(movesOfOneField, 0);

    // A second field on the same table and link line: one table, positioned once per record.
    items_->Close();
    items_->LookupFields()->Add("Same;vavuz;groups;Title; 0 - Grp");
    items_->LookupLinks()->Add("grp;grp");
    items_->Open();
    EXPECT_EQ(Column("Same"), Column("Title"));
    EXPECT_EQ(LookupMovesOfAPass(), movesOfOneField);

    // The index from the field names, the table name before its "." (the "N" flag); an odd link line: empty.
    items_->Close();
    items_->LookupFields()->Add("ByFields;vavuz;groups.dat;Title;;Grp;N");
    items_->LookupLinks()->Add("Grp;Grp");
    items_->LookupFields()->Add("Odd;vavuz;groups;Title; 0 - Grp");
    items_->LookupLinks()->Add("Grp;Grp;Code");
    items_->Open();
    EXPECT_EQ(Column("ByFields"), (Codes{"Fruit", "Vegetables", "Fruit", ""}));
    EXPECT_EQ(Column("Odd"), (Codes{"", "", "", ""}));
    EXPECT_EQ(vxGetLookupTables(items_)->Items().size(), 2u) << "ByFields shares the first line's table";
    items_->Close();
    EXPECT_TRUE(vxGetLookupTables(items_)->Items().empty()) << "closing frees the lookup tables";
}

TEST_F(VxLookupLinksOnDictionaryFiles, LinesOfMissingFieldsArePrunedAndAMissingLinkFieldHidesTheField)
{
    AddFields({"Title", "Hidden"});
    items_->LookupFields()->Add("Gone;vavuz;groups;Title; 0 - Grp");
    items_->LookupLinks()->Add("Grp;Grp");
    items_->LookupFields()->Add("Title;vavuz;groups;Title; 0 - Grp");
    items_->LookupLinks()->Add("Grp;Grp");
    items_->LookupFields()->Add("Hidden;vavuz;groups;Title; 0 - Grp");
    items_->LookupLinks()->Add("Nope;Grp");
    items_->ControlType()->Add("Gone;Combo;x");
    items_->ControlType()->Add("Title;Combo;x");
    items_->Open();
    EXPECT_EQ(items_->LookupFields()->Count(), 2);
    EXPECT_EQ(items_->LookupLinks()->Strings(0), "Grp;Grp");
    EXPECT_EQ(items_->LookupLinks()->Strings(1), "Nope;Grp");
    EXPECT_EQ(items_->ControlType()->Count(), 1);
    EXPECT_EQ(items_->FieldByName("Title")->AsString(), "Fruit");
    EXPECT_FALSE(items_->FieldByName("Hidden")->Visible());
}

TEST_F(VxLookupLinksOnDictionaryFiles, TheRecordFilterReadsLookupResultsAndNeverAStaleValue)
{
    AddFields({"Title"});
    items_->LookupFields()->Add("Title;vavuz;groups;Title; 0 - Grp");
    items_->LookupLinks()->Add("Grp;Grp");
    items_->Open();
    items_->First();  // opens the lookup table
    std::vector<std::string> seen;
    items_->SetOnFilter([&](TvxTable* table, bool& accept) {
        table->FilterField("Code");
        TParam* title = table->FilterField("Title");
        seen.push_back(title->IsNull() ? "(null)" : title->AsString());
        accept = title->AsString() == "Fruit";
    });
    EXPECT_EQ(AllCodes(), (Codes{"A1", "C3"}));
    EXPECT_NE(std::find(seen.begin(), seen.end(), "(null)"), seen.end()) << "D4 has no group";
    EXPECT_EQ(std::find(seen.begin(), seen.end(), "D4"), seen.end());
}

TEST_F(VxLookupLinksOnDictionaryFiles, ALookupComboTableFollowsTheCurrentRecord)
{
    AddFields({"Title"});
    items_->LookupFields()->Add("Title;vavuz;groups;Title;;Grp;N");
    items_->LookupLinks()->Add("Grp;Grp");
    items_->Open();
    EXPECT_EQ(Column("Title"), (Codes{"Fruit", "Vegetables", "Fruit", ""}));
    TvxTable* groups = NewTable("groups", "");
    groups->Open();
    GoTo("B2");
    std::string firstLink;
    EXPECT_TRUE(vxSyncLookupTable(items_, groups, "title", firstLink));
    EXPECT_EQ(firstLink, "Grp");
    EXPECT_EQ(groups->IndexName(), " 0 - Grp");
    EXPECT_EQ(groups->FieldByName("Title")->AsString(), "Vegetables");
    GoTo("D4");
    EXPECT_FALSE(vxSyncLookupTable(items_, groups, "Title", firstLink));
    EXPECT_FALSE(vxSyncLookupTable(items_, groups, "Other", firstLink));
    FreeTable(groups);
}

}  // namespace
