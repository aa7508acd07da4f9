// The SQL result cursors against the scripted requester: columns, moves, bookmarks, writes and blocks.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <limits>

#include "engine/btrieve/BtrError.h"
#include "engine/sql/BtrSqlAgg.h"
#include "engine/sql/BtrSqlLoad.h"
#include "engine/tests/sql/sqlfake/SqlScript.h"

namespace {

constexpr const char* Query = "SELECT NAME, QTY FROM T";
constexpr Word RecordLength = 2 + 8 + 4 + 4;

std::vector<Byte> Row(const std::string& name, Integer qty)
{
    std::vector<Byte> data(12, 0);
    std::memcpy(data.data(), name.data(), std::min<size_t>(name.size(), 8));
    std::memcpy(data.data() + 8, &qty, 4);
    return data;
}

std::string NameIn(const std::vector<Byte>& record)
{
    return std::string(reinterpret_cast<const char*>(record.data()) + 2,
                       strnlen(reinterpret_cast<const char*>(record.data()) + 2, 8));
}

Word ErrorCode(const std::function<void()>& action)
{
    try {
        action();
    } catch (const EBoreaEngineError& e) {
        return e.Code();
    }
    return 0;
}

template <class T>
class SqlCursorTestBase : public ::testing::Test {
protected:
    void SetUp() override
    {
        Script().Install("sqlfake.dll");
        SetSqlRequesterDllNames("sqlfake.dll", "sqlfake.dll");
        ASSERT_EQ(LoadSqlRequester(), 0);
        TSqlResult& result = Script().Results[Query];
        result.Columns = {{"NAME", 0, 8, 0}, {"QTY", 1, 4, 0}};
        for (const char* name : {"ANN", "BOB", "CID"}) result.AddRow(Row(name, Integer(std::strlen(name))));
    }
    void TearDown() override
    {
        if (cursor_) cursor_->Free();
        UnloadSqlRequester();
        SetSqlRequesterDllNames("", "");
        Script().Uninstall();
    }
    static TSqlScript& Script() { return TSqlScript::Instance(); }

    // A compiled, executed query and its result cursor.
    T& Open(const char* text = Query)
    {
        SmallInt id = -1, length = SmallInt(std::strlen(text));
        EXPECT_EQ(XqlCursor(id), 0);
        EXPECT_EQ(XqlCompile(id, length, text), 0);
        cursorId_ = id;
        cursor_ = CreateObject<T>(nullptr, nullptr, clientId_, id);
        cursor_->Open();
        return *cursor_;
    }
    std::string Next()
    {
        std::vector<Byte> record(RecordLength);
        cursor_->GetNextRecord(dbiNOLOCK, record.data(), nullptr);
        return NameIn(record);
    }
    std::string Prior()
    {
        std::vector<Byte> record(RecordLength);
        cursor_->GetPriorRecord(dbiNOLOCK, record.data(), nullptr);
        return NameIn(record);
    }

    Byte clientId_[16] = {};
    T* cursor_ = nullptr;
    SmallInt cursorId_ = -1;
};

using SqlCursorTest = SqlCursorTestBase<TBtrSqlBaseTable>;
using SqlAggCursorTest = SqlCursorTestBase<TBtrSqlAggTable>;

TEST_F(SqlCursorTest, DescribesColumnsAsFieldsAfterTheLengthWord)
{
    TBtrSqlBaseTable& cursor = Open();
    EXPECT_EQ(Script().CountOf("XQLExec"), 1);
    CURProps properties{};
    cursor.GetCursorProps(properties);
    EXPECT_EQ(properties.iFields, 2);
    EXPECT_EQ(properties.iRecSize, RecordLength);
    EXPECT_EQ(properties.iRecBufSize, RecordLength);
    EXPECT_EQ(properties.iBookMarkSize, 100);
    FLDDesc fields[2];
    cursor.GetFieldDescs(fields);
    EXPECT_STREQ(fields[0].szName, "NAME");
    EXPECT_EQ(fields[0].iFldType, fldZSTRING);
    EXPECT_EQ(fields[0].iOffset, 2);
    EXPECT_STREQ(fields[1].szName, "QTY");
    EXPECT_EQ(fields[1].iFldType, fldINT32);
    EXPECT_EQ(fields[1].iOffset, 10);
}

TEST_F(SqlCursorTest, UntypedAggregatesGetATypeAndCaretsBecomeUnderscores)
{
    Script().Results["SELECT AGG"].Columns = {
        {"count(*)", 0, 0, 0}, {"SUM(QTY)", 0, 0, 0}, {"AVG(QTY)", 0, 0, 2}, {"A^B", 0, 6, 0}};
    TBtrSqlBaseTable& cursor = Open("SELECT AGG");
    FLDDesc fields[4];
    CURProps properties{};
    cursor.GetCursorProps(properties);
    cursor.GetFieldDescs(fields);
    EXPECT_EQ(fields[0].iFldType, fldINT32);
    EXPECT_EQ(fields[0].iLen, 4);
    EXPECT_EQ(fields[1].iFldType, fldFLOAT);
    EXPECT_EQ(fields[1].iLen, 8);
    EXPECT_EQ(fields[2].iLen, 0);  // an average with decimals stays as described
    EXPECT_STREQ(fields[3].szName, "A_B");
    EXPECT_EQ(fields[3].iOffset, 2 + 4 + 8);
}

TEST_F(SqlCursorTest, ColumnWithoutSizeOrNameIsRefused)
{
    Script().Results["SELECT BAD"].Columns = {{"", 0, 0, 0}};
    EXPECT_EQ(ErrorCode([&] { Open("SELECT BAD"); }), DBIERR_INVALIDPARAM);
}

TEST_F(SqlCursorTest, MovesEndInTheEnginesBoundaryErrors)
{
    Open();
    EXPECT_EQ(Next(), "ANN");
    EXPECT_EQ(Next(), "BOB");
    EXPECT_EQ(Next(), "CID");
    EXPECT_THROW(Next(), EBoreaEOFError);
    EXPECT_EQ(Prior(), "CID");
    EXPECT_EQ(Prior(), "BOB");
    EXPECT_EQ(Prior(), "ANN");
    EXPECT_THROW(Prior(), EBoreaBOFError);

    cursor_->SetToEnd();
    EXPECT_EQ(Prior(), "CID");
    EXPECT_EQ(Script().Last("_XQLFetch")->Option, SqlFetch::Last);
}

TEST_F(SqlCursorTest, EmptyResultEndsAtOnceAndRequesterFailuresAreSqlErrors)
{
    Script().Results["SELECT NONE"].Columns = {{"NAME", 0, 8, 0}};
    Open("SELECT NONE");
    EXPECT_THROW(Next(), EBoreaEOFError);
    cursor_->SetToEnd();
    EXPECT_THROW(Prior(), EBoreaBOFError);

    Script().Statuses["_XQLFetch"] = 88;
    cursor_->SetToBegin();
    try {
        Next();
        FAIL() << "no error";
    } catch (const EScalableSQLEngineError& e) {
        EXPECT_EQ(e.Status(), 88);
    }
}

TEST_F(SqlCursorTest, BookmarksReturnToTheirRow)
{
    TBtrSqlBaseTable& cursor = Open();
    Next();
    Next();
    std::vector<Byte> bookmark(cursor.GetBookmarkSize());
    cursor.GetBookMark(bookmark.data());
    EXPECT_EQ(Next(), "CID");

    std::vector<Byte> record(RecordLength);
    cursor.SetRecordBuffer(record.data());
    cursor.SetToBookMark(bookmark.data());
    EXPECT_EQ(NameIn(record), "BOB");
    EXPECT_EQ(cursor.State(), curOnRecord);
    EXPECT_EQ(Next(), "CID");

    std::vector<Byte> read(RecordLength);
    cursor.ReadAtBookmark(bookmark.data(), read.data(), dbiWRITELOCK);
    EXPECT_EQ(NameIn(read), "BOB");
    EXPECT_EQ(Script().Last("xFetch")->Option, SqlFetch::SetPosition + SqlFetch::Lock);
}

TEST_F(SqlCursorTest, BookmarkOfAGoneRowOrNoRowHasNoCurrentRecord)
{
    TBtrSqlBaseTable& cursor = Open();
    std::vector<Byte> bookmark(cursor.GetBookmarkSize());
    EXPECT_EQ(ErrorCode([&] { cursor.GetBookMark(bookmark.data()); }), DBIERR_NOCURRREC);
    Next();
    cursor.GetBookMark(bookmark.data());
    Script().ResultOf(cursorId_).Rows.erase(Script().ResultOf(cursorId_).Rows.begin());
    std::vector<Byte> record(RecordLength);
    EXPECT_EQ(ErrorCode([&] { cursor.ReadAtBookmark(bookmark.data(), record.data(), dbiNOLOCK); }),
              DBIERR_NOCURRREC);

    // A damaged length never reads past the bookmark.
    bookmark.assign(bookmark.size(), 0xFF);
    EXPECT_EQ(ErrorCode([&] { cursor.SetToBookMark(bookmark.data()); }), DBIERR_NOCURRREC);
}

TEST_F(SqlCursorTest, InsertUpdateAndRemoveWorkOnAllColumnsOfTheCurrentRow)
{
    TBtrSqlBaseTable& cursor = Open();
    Next();
    std::vector<Byte> record(RecordLength);
    const std::vector<Byte> dan = Row("DAN", 3);
    std::memcpy(record.data() + 2, dan.data(), dan.size());
    cursor.InsertRecord(dbiNOLOCK, record.data());
    const TSqlCall* insert = Script().Last("xInsert");
    ASSERT_NE(insert, nullptr);
    EXPECT_EQ(insert->Option, 1);
    EXPECT_EQ(insert->Text, "14");  // the record's length word: 2 + the columns
    EXPECT_EQ(Script().Last("_XQLFetch")->Option, SqlFetch::Current);
    EXPECT_EQ(NameIn(record), "DAN");

    record[2] = 'E';
    cursor.ModifyRecord(record.data(), true);
    EXPECT_EQ(Script().CountOf("xUpdate"), 1);
    EXPECT_EQ(Script().Last("_XQLFetch")->Option, SqlFetch::Current);

    cursor.DeleteRecord(record.data());
    EXPECT_EQ(cursor.State(), curCrack);
    EXPECT_EQ(Next(), "BOB");
    std::vector<std::string> names;
    for (const TSqlRow& row : Script().ResultOf(cursorId_).Rows)
        names.push_back(std::string(reinterpret_cast<const char*>(row.Data.data()), 3));
    EXPECT_EQ(names, (std::vector<std::string>{"ANN", "BOB", "CID"}));
}

TEST_F(SqlCursorTest, WriteFailureIsASqlError)
{
    TBtrSqlBaseTable& cursor = Open();
    Next();
    Script().Statuses["xUpdate"] = 5;
    std::vector<Byte> record(RecordLength);
    EXPECT_THROW(cursor.ModifyRecord(record.data(), true), EScalableSQLEngineError);
}

TEST_F(SqlCursorTest, BlocksReadWhatIsLeftAndWriteEveryRecord)
{
    TBtrSqlBaseTable& cursor = Open();
    Next();
    std::vector<Byte> block(3 * RecordLength);
    Integer count = 3;
    cursor.ReadBlock(count, block.data());
    EXPECT_EQ(count, 2);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(block.data()) + RecordLength + 2, 3), "CID");
    count = 3;
    EXPECT_THROW(cursor.ReadBlock(count, block.data()), EBoreaEOFError);
    EXPECT_EQ(count, 0);

    for (int i = 0; i < 2; ++i) std::memcpy(block.data() + i * RecordLength + 2, "NEW", 3);
    count = 2;
    cursor.WriteBlock(count, block.data());
    EXPECT_EQ(count, 2);
    EXPECT_EQ(Script().ResultOf(cursorId_).Rows.size(), 5u);
}

TEST_F(SqlCursorTest, OptionAndCursorIdProperties)
{
    TBtrSqlBaseTable& cursor = Open();
    cursor.SetProp(TBtrSqlBaseTable::PropertyOption, 7);
    Byte option = 0;
    Word length = 0;
    cursor.GetProp(TBtrSqlBaseTable::PropertyOption, &option, length, 1);
    EXPECT_EQ(option, 7);
    EXPECT_EQ(length, 1);
    SmallInt id = 0;
    cursor.GetProp(TBtrSqlBaseTable::PropertyCursorId, &id, length, 2);
    EXPECT_EQ(id, cursorId_);
    EXPECT_EQ(length, 2);
    EXPECT_EQ(ErrorCode([&] { cursor.CheckProp(TBtrSqlBaseTable::PropertyCursorId, true); }), DBIERR_NOTSUPPORTED);
    EXPECT_EQ(ErrorCode([&] { cursor.CheckProp(TBtrSqlBaseTable::PropertyCursorId, false); }), 0);
}

TEST_F(SqlCursorTest, MemoAtTheEndIsWrittenUpToItsText)
{
    Script().Results["SELECT MEMO"].Columns = {{"NAME", 0, 8, 0}, {"NOTE", 0, 300, 0}};
    TBtrSqlBaseTable& cursor = Open("SELECT MEMO");
    ASSERT_TRUE(cursor.MemoLast());
    std::vector<Byte> record(cursor.GetRecordBufferSize());
    cursor.PutField(2, record.data(), "hello");
    EXPECT_STREQ(reinterpret_cast<const char*>(record.data()) + 10, "hello");
    cursor.InsertRecord(dbiNOLOCK, record.data());
    EXPECT_EQ(Script().Last("xInsert")->Text, std::to_string(10 + 5 + 1));
}

TEST_F(SqlAggCursorTest, CountsRowsAndReturnsToAMarkFromTheFirstRow)
{
    TBtrSqlAggTable& cursor = Open();
    Next();
    Next();
    EXPECT_EQ(cursor.RowNumber(), 2);
    Integer mark = 0;
    cursor.GetBookMark(&mark);
    EXPECT_EQ(mark, 2);
    Next();
    EXPECT_EQ(cursor.RowNumber(), 3);

    Script().Calls.clear();
    std::vector<Byte> record(RecordLength);
    cursor.ReadAtBookmark(&mark, record.data(), dbiWRITELOCK);
    EXPECT_EQ(NameIn(record), "BOB");
    EXPECT_EQ(cursor.RowNumber(), 2);
    std::vector<Integer> options;
    for (const TSqlCall& call : Script().Calls) options.push_back(call.Option);
    EXPECT_EQ(options, (std::vector<Integer>{SqlFetch::First, SqlFetch::Next, SqlFetch::Current + SqlFetch::Lock}));
}

TEST_F(SqlAggCursorTest, MarksCountedFromTheLastRowAreFoundFromThere)
{
    TBtrSqlAggTable& cursor = Open();
    cursor.SetToEnd();
    Prior();
    EXPECT_EQ(cursor.RowNumber(), std::numeric_limits<Integer>::max());
    Prior();
    Integer mark = 0;
    cursor.GetBookMark(&mark);
    Next();
    std::vector<Byte> record(RecordLength);
    cursor.SetRecordBuffer(record.data());
    cursor.SetToBookMark(&mark);
    EXPECT_EQ(NameIn(record), "BOB");
    EXPECT_EQ(cursor.State(), curOnRecord);
}

}  // namespace
