// Table names with options, the table-definition resource reader and a layout compiled from resources/.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/btrieve/BtrConv.h"
#include "engine/btrieve/BtrTable.h"
#include "engine/btrieve/BtrTblName.h"
#include "engine/btrieve/BtrTblRes.h"
#include "engine/core/BseTable.h"
#include "engine/tests/support/RecordedBoxes.h"

namespace {

TEST(TableNameOptionsTest, SplitsTheNameFromItsOptions)
{
    struct TCase {
        std::string Text, TableName;
        bool HasResource;
        std::string Resource;
        bool HasOwner;
        std::string Owner;
    };
    const TCase cases[] = {
        {"c:\\data\\yclient.qf;RES:YCLIENT", "c:\\data\\yclient.qf", true, "YCLIENT", false, ""},
        {"x.dat;res:LAY", "x.dat", true, "LAY", false, ""},
        {"x.dat;OWNER:secret;RES:Fees", "x.dat", true, "Fees", true, "secret"},
        {"x.dat;Owner:LongOwnerName", "x.dat", false, "", true, "LongOwne"},
        {"x.dat;RES:;OWNER:", "x.dat", true, "", true, ""},
        {"PATIENTS", "PATIENTS", false, "", false, ""},
        {"", "", false, "", false, ""},
    };
    for (const TCase& c : cases) {
        const TTableNameOptions options = ParseTableNameOptions(c.Text);
        EXPECT_EQ(options.TableName, c.TableName) << c.Text;
        EXPECT_EQ(options.HasResource, c.HasResource) << c.Text;
        EXPECT_EQ(options.ResourceName, c.Resource) << c.Text;
        EXPECT_EQ(options.HasOwner, c.HasOwner) << c.Text;
        EXPECT_EQ(options.OwnerName, c.Owner) << c.Text;
    }
}

TEST(TableNameOptionsTest, OnlyTheFirst255CharactersCount)
{
    EXPECT_FALSE(ParseTableNameOptions(std::string(251, 'p') + ";RES:ABC").HasResource);
    const TTableNameOptions cut = ParseTableNameOptions(std::string(248, 'p') + ";RES:ABCDEFG");
    EXPECT_EQ(cut.TableName, std::string(248, 'p'));
    EXPECT_EQ(cut.ResourceName, "AB");
}

// Builds resource images entry by entry.
class TImage {
public:
    explicit TImage(const std::string& version = "0002")
    {
        Counted("T");
        Text(version);
    }
    TImage& Field(Word number, const std::string& name, std::vector<Word> words)
    {
        Word2(number);
        Counted(name);
        for (Word w : words) Word2(w);
        return *this;
    }
    TImage& End()
    {
        Text("ABCD");
        return *this;
    }
    std::vector<Byte> Bytes;

private:
    void Word2(Word w)
    {
        Bytes.push_back(Byte(w & 0xFF));
        Bytes.push_back(Byte(w >> 8));
    }
    void Counted(const std::string& s)
    {
        Bytes.push_back(Byte(s.size()));
        Bytes.insert(Bytes.end(), s.begin(), s.end());
    }
    void Text(const std::string& s)
    {
        Bytes.insert(Bytes.end(), s.begin(), s.end());
        Bytes.push_back(0);
    }
};

const std::vector<Word> AutoIncWords = {6, 29, 4, 0, 0, 4, 15, 4};
const std::vector<Word> CodeWords = {1, 0, 7, 0, 4, 7, 0, 7};

class TblResReaderTest : public ::testing::Test {
protected:
    void SetUp() override { table_ = CreateObject<TBaseTable>(nullptr, nullptr, "", "", 0, 0); }
    void TearDown() override { table_->Free(); }

    bool ReadImage(const std::vector<Byte>& bytes)
    {
        TTblResReader reader(table_);
        return reader.ReadImage("LAY", bytes.data(), bytes.size());
    }
    TBoreaFieldCache& Fields() { return *table_->FieldCache(); }

    TBaseTable* table_ = nullptr;
};

TEST_F(TblResReaderTest, EveryEntryBecomesAFieldWithItsBtrieveTypeAndSize)
{
    ASSERT_TRUE(ReadImage(TImage().Field(1, "AutoIncrement", AutoIncWords).Field(2, "Code", CodeWords).End().Bytes));
    ASSERT_EQ(Fields().Count(), 2);
    const TFieldCacheItem* code = Fields().Item(1);
    EXPECT_EQ(code->FieldNumber(), 2);
    EXPECT_EQ(code->FieldName(), "Code");
    EXPECT_EQ(code->Descriptor.iFldType, fldZSTRING);
    EXPECT_EQ(code->Descriptor.iUnits1, 7);
    EXPECT_EQ(code->Descriptor.iOffset, 4);
    EXPECT_EQ(code->Descriptor.iLen, 7);
    EXPECT_EQ(code->LocalType, BtrType::String);
    EXPECT_EQ(code->LocalSize, 7);
    EXPECT_EQ(Fields().Item(0)->Descriptor.iSubType, BtrSubType::AutoInc);
    EXPECT_EQ(Fields().Item(0)->LocalType, BtrType::AutoInc);
}

TEST_F(TblResReaderTest, ABtrieveCursorKnowsWhenItsLastFieldIsAMemo)
{
    const std::vector<Word> memoWords = {fldBLOB, BtrSubType::Memo, 39, 0, 11, 40, BtrType::Note, 40};
    TBtrTable* cursor = CreateObject<TBtrTable>(nullptr, nullptr, nullptr, "notes", "", 0, 0);
    TTblResReader reader(cursor);
    const std::vector<Byte> memoLast = TImage().Field(1, "Code", CodeWords).Field(2, "Text", memoWords).End().Bytes;
    ASSERT_TRUE(reader.ReadImage("NOTES", memoLast.data(), memoLast.size()));
    EXPECT_TRUE(cursor->MemoLast());
    cursor->FieldCache()->Clear();
    const std::vector<Byte> memoFirst = TImage().Field(1, "Text", memoWords).Field(2, "Code", CodeWords).End().Bytes;
    ASSERT_TRUE(reader.ReadImage("NOTES", memoFirst.data(), memoFirst.size()));
    EXPECT_FALSE(cursor->MemoLast());
    cursor->Free();
}

TEST_F(TblResReaderTest, NamesAreCutTo31Characters)
{
    const std::string longName(40, 'n');
    ASSERT_TRUE(ReadImage(TImage().Field(1, longName, CodeWords).End().Bytes));
    EXPECT_EQ(Fields().Item(0)->FieldName(), std::string(31, 'n'));
}

TEST_F(TblResReaderTest, AnImageWithoutEntriesGivesNoFields)
{
    EXPECT_TRUE(ReadImage(TImage().End().Bytes));
    EXPECT_EQ(Fields().Count(), 0);
}

TEST_F(TblResReaderTest, AnUnknownVersionIsRefusedSilently)
{
    TRecordedBoxes boxes;
    EXPECT_FALSE(ReadImage(TImage("0003").Field(1, "Code", CodeWords).End().Bytes));
    EXPECT_EQ(Fields().Count(), 0);
    EXPECT_TRUE(boxes.Shown().empty());
}

TEST_F(TblResReaderTest, AnOldFormatIsReportedAndEndsTheProgram)
{
    TRecordedBoxes boxes;
    EXPECT_FALSE(ReadImage(TImage("0001").Field(1, "Code", CodeWords).End().Bytes));
    EXPECT_EQ(Fields().Count(), 0);
    ASSERT_EQ(boxes.Shown().size(), 1u);
    EXPECT_EQ(boxes.Shown()[0].Text, "Error - Resource [LAY]  in old format. Re-compile with DEFPACK.EXE");
    EXPECT_TRUE(boxes.Shown()[0].Flags & 0x10) << "error icon";
    EXPECT_TRUE(TRecordedBoxes::TakeQuitRequest()) << "the program is asked to end";
}

TEST_F(TblResReaderTest, EveryLengthIsCheckedAgainstTheImageSize)
{
    const std::vector<Byte> whole = TImage().Field(1, "Code", CodeWords).End().Bytes;
    for (size_t size = 0; size < whole.size(); ++size) {
        const std::vector<Byte> cut(whole.begin(), whole.begin() + size);
        EXPECT_FALSE(ReadImage(cut)) << "cut at " << size;
    }
    EXPECT_EQ(Fields().Count(), 0);

    std::vector<Byte> longTableName = {200, 'T'};
    EXPECT_FALSE(ReadImage(longTableName));
    std::vector<Byte> longFieldName = TImage().Bytes;
    longFieldName.insert(longFieldName.end(), {1, 0, 250, 'x'});
    EXPECT_FALSE(ReadImage(longFieldName));
}

TEST_F(TblResReaderTest, AMissingResourceIsNotRead)
{
    TTblResReader reader(table_);
    EXPECT_FALSE(reader.Read("NOSUCHLAYOUT"));
}

TEST_F(TblResReaderTest, TheCompiledTestLayoutReadsBackFieldByField)
{
    struct TExpected {
        const char* Name;
        Word Type, SubType;
        SmallInt Units1, Units2;
        Word Offset, Length, BtrType;
    };
    const TExpected expected[] = {
        {"AutoIncrement", fldINT32, BtrSubType::AutoInc, 4, 0, 0, 4, BtrType::AutoInc},
        {"Client Code", fldZSTRING, 0, 7, 0, 4, 7, BtrType::String},
        {"Fee Budget $", fldFLOAT, 0, 6, 2, 11, 6, BtrType::Decimal},
        {"DisplayNum", fldINT16, 0, 2, 0, 17, 2, BtrType::Integer},
        {"Sys\\Cut Date", fldDATE, 0, 4, 0, 19, 4, BtrType::Date},
        {"A Field Name Longer Than Thirty", fldZSTRING, 0, 40, 0, 23, 40, BtrType::String},
        {"Threshhold", fldFLOAT, 0, 3, 0, 63, 3, BtrType::Decimal},
        {"Unassigned", fldZSTRING, 0, 3, 0, 66, 3, BtrType::String},
    };
    TTblResReader reader(table_);
    ASSERT_TRUE(reader.Read("testLayout"));
    ASSERT_EQ(Fields().Count(), Integer(std::size(expected)));
    for (Integer i = 0; i < Fields().Count(); ++i) {
        const TFieldCacheItem& field = *Fields().Item(i);
        const TExpected& e = expected[i];
        EXPECT_EQ(field.FieldNumber(), i + 1);
        EXPECT_EQ(field.FieldName(), e.Name);
        EXPECT_EQ(field.FieldType(), e.Type) << e.Name;
        EXPECT_EQ(field.FieldSubType(), e.SubType) << e.Name;
        EXPECT_EQ(field.FieldUnits1(), e.Units1) << e.Name;
        EXPECT_EQ(field.FieldUnits2(), e.Units2) << e.Name;
        EXPECT_EQ(field.Descriptor.iOffset, e.Offset) << e.Name;
        EXPECT_EQ(field.FieldLength(), e.Length) << e.Name;
        EXPECT_EQ(field.LocalType, e.BtrType) << e.Name;
        EXPECT_EQ(field.LocalSize, e.Length) << e.Name;
    }
}

}  // namespace
