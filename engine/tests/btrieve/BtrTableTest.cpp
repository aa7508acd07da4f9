// The Btrieve file cursor and its base on real record files of our requester (wbtrv32.dll beside the test program).
#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/btrieve/BtrConv.h"
#include "engine/btrieve/BtrError.h"
#include "engine/btrieve/BtrLoad.h"
#include "engine/btrieve/BtrTable.h"
#include "engine/core/BseCache.h"
#include "engine/tests/support/CursorTestSupport.h"
#include "engine/tests/support/RequesterFiles.h"
#include "rtl/WinApi.h"

namespace {

constexpr Word kNoteSize = 40;

using TBtrTablePtr = std::unique_ptr<TBtrTable, TFreeObject>;

// CODE string 8 at 0 (key 0, unique); GRP integer 4 at 8 and AMOUNT decimal 4 (2 places) at 12 (key 1); NAME string
// 10 at 16 (key 2, upper-case collating sequence); NOTE, a memo of 40 bytes, in the variable part from 26.
TFileSpec NotesSpec()
{
    using namespace KeyFlag;
    return TFileSpec{26,
                     {{1, 8, 0, BtrType::String},
                      {9, 4, Duplicates | Modifiable | Segmented, BtrType::Integer},
                      {13, 4, Duplicates | Modifiable, BtrType::Decimal},
                      {17, 10, Duplicates | Modifiable | AltCollating, BtrType::String}},
                     true,
                     true};
}

TFieldDDFRecord DictionaryField(Word id, const char* name, Byte type, Word offset, Word size, Byte decimals = 0)
{
    TFieldDDFRecord record{};
    record.FieldId = id;
    std::memset(record.Name, ' ', sizeof record.Name);
    std::memcpy(record.Name, name, std::strlen(name));
    record.DataType = type;
    record.Offset = offset;
    record.Size = size;
    record.Decimals = decimals;
    return record;
}

// A key of text blank-padded to width (the form of a Btrieve string field).
std::vector<Byte> TextKey(const std::string& text, size_t width)
{
    std::vector<Byte> key(MaxKeyLength, 0);
    std::memset(key.data(), ' ', width);
    std::memcpy(key.data(), text.data(), text.size());
    return key;
}

class BtrTableFiles : public RequesterFilesTest {
protected:
    void SetUp() override
    {
        RequesterFilesTest::SetUp();
        path_ = MakeFile("notes.qf", NotesSpec());
    }

    // described: the fields of the file the cursor knows, 1-based in the file's order.
    TBtrTablePtr OpenTable(Integer shareMode = 0, Integer openMode = 0, const Byte* clientId = nullptr,
                           const std::vector<Word>& described = {1, 2, 3, 4, 5})
    {
        TBtrTablePtr table(CreateObject<TBtrTable>(nullptr, nullptr, clientId, path_, "", openMode, shareMode));
        const TFieldDDFRecord fields[] = {DictionaryField(1, "CODE", BtrType::String, 0, 8),
                                          DictionaryField(2, "GRP", BtrType::Integer, 8, 4),
                                          DictionaryField(3, "AMOUNT", BtrType::Decimal, 12, 4, 2),
                                          DictionaryField(4, "NAME", BtrType::String, 16, 10),
                                          DictionaryField(5, "NOTE", BtrType::Note, 26, kNoteSize)};
        for (Word number = 1; number <= described.size(); ++number) {
            auto* item = new TFieldCacheItem(table->FieldCache());
            table->GetFieldDesc(number, &fields[described[number - 1] - 1], item->LocalSize, item->LocalType,
                                item->Descriptor);
        }
        table->SetPhysicalName(path_);
        table->Open();
        IDXDesc key{};
        table->GetIndexDesc(0, key);
        CURProps properties{};
        table->GetCursorProps(properties);
        return table;
    }

    static std::vector<Byte> Row(TBtrTable& table, const std::string& code, Integer group = 0, double amount = 0,
                                 const std::string& name = "", const std::string& note = "")
    {
        std::vector<Byte> record(table.GetRecordBufferSize(), 0);
        table.InitRecord(record.data());
        table.PutField(1, record.data(), code.c_str());
        table.PutField(2, record.data(), &group);
        table.PutField(3, record.data(), &amount);
        table.PutField(4, record.data(), name.c_str());
        table.PutBlob(record.data(), 5, 0, Cardinal(note.size()), note.c_str());
        return record;
    }

    static void Insert(TBtrTable& table, const std::string& code, Integer group = 0, double amount = 0,
                       const std::string& name = "", const std::string& note = "")
    {
        std::vector<Byte> record = Row(table, code, group, amount, name, note);
        table.InsertRecord(dbiNOLOCK, record.data());
    }

    static std::string Text(TBtrTable& table, const std::vector<Byte>& record, Word field)
    {
        char text[256] = {};
        bool blank = false;
        table.GetField(field, const_cast<Byte*>(record.data()), blank, text);
        return text;
    }

    static std::string NextCode(TBtrTable& table)
    {
        std::vector<Byte> record(table.GetRecordBufferSize());
        table.GetNextRecord(dbiNOLOCK, record.data(), nullptr);
        return Text(table, record, 1);
    }

    static std::vector<std::string> Codes(TBtrTable& table)
    {
        std::vector<std::string> codes;
        table.SetToBegin();
        try {
            for (;;) codes.push_back(NextCode(table));
        } catch (const EBoreaEOFError&) {
        }
        return codes;
    }

    static std::string CurrentCode(TBtrTable& table)
    {
        std::vector<Byte> record(table.GetRecordBufferSize());
        table.GetRecord(dbiNOLOCK, record.data(), nullptr);
        return Text(table, record, 1);
    }

    static void SeekCode(TBtrTable& table, const std::string& code)
    {
        const std::vector<Byte> key = TextKey(code, 8);
        table.SetToKey(keySEARCHEQ, true, 0, 0, key.data());
    }

    static std::vector<Byte> BookmarkOf(TBtrTable& table, const std::string& code)
    {
        SeekCode(table, code);
        std::vector<Byte> bookmark(table.GetBookmarkSize());
        table.GetBookMark(bookmark.data());
        return bookmark;
    }

    // The records a cached-updates cursor over table shows from the start: the texts of the fields, then the status.
    static std::vector<std::string> ShownThrough(TBaseTable& cache, TBtrTable& table, const std::vector<Word>& fields)
    {
        std::vector<std::string> rows;
        std::vector<Byte> record(cache.GetRecordBufferSize());
        RECProps properties{};
        cache.SetToBegin();
        try {
            for (;;) {
                cache.GetNextRecord(dbiNOLOCK, record.data(), &properties);
                std::string row;
                for (Word field : fields) row += Text(table, record, field) + "/";
                rows.push_back(row + std::to_string(properties.iRecStatus));
            }
        } catch (const EBoreaEOFError&) {
        }
        return rows;
    }

    static SmallInt StatusOf(const std::function<void()>& call)
    {
        try {
            call();
        } catch (const EBtrieveEngineError& e) {
            return e.Status();
        }
        return 0;
    }

    std::string path_;
};

TEST_F(BtrTableFiles, BrowsesSeeksEditsAndDeletes)
{
    TBtrTablePtr table = OpenTable();
    Insert(*table, "C003", 1, 1, "carol");
    Insert(*table, "A001", 1, 2, "anna");
    Insert(*table, "B002", 2, 3, "bert");
    EXPECT_EQ(Codes(*table), (std::vector<std::string>{"A001", "B002", "C003"}));

    SeekCode(*table, "B002");
    EXPECT_EQ(CurrentCode(*table), "B002");
    EXPECT_EQ(ErrorOf([&] { SeekCode(*table, "B005"); }), DBIERR_RECNOTFOUND);
    const std::vector<Byte> b005 = TextKey("B005", 8);
    table->SetToKey(keySEARCHGEQ, true, 0, 0, b005.data());
    EXPECT_EQ(CurrentCode(*table), "C003");

    // A prefix of the key: found when the first record from it starts with it.
    std::vector<Byte> record(table->GetRecordBufferSize());
    const std::vector<Byte> prefix = TextKey("B0", 2);
    table->GetRecordForKey(true, 0, record.data(), prefix.data(), 2);
    EXPECT_EQ(Text(*table, record, 1), "B002");
    const std::vector<Byte> missing = TextKey("B9", 2);
    EXPECT_EQ(ErrorOf([&] { table->GetRecordForKey(true, 0, record.data(), missing.data(), 2); }),
              DBIERR_RECNOTFOUND);

    SeekCode(*table, "B002");
    table->GetRecord(dbiWRITELOCK, record.data(), nullptr);
    table->PutField(4, record.data(), "bertha");
    table->ModifyRecord(record.data(), true);
    SeekCode(*table, "B002");
    table->GetRecord(dbiNOLOCK, record.data(), nullptr);
    EXPECT_EQ(Text(*table, record, 4), "bertha");

    SeekCode(*table, "A001");
    table->DeleteRecord(nullptr);
    EXPECT_EQ(table->State(), curCrack);
    Integer count = 0;
    table->GetRecordCount(count);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(Codes(*table), (std::vector<std::string>{"B002", "C003"}));

    Integer number = 0;
    SeekCode(*table, "B002");
    table->GetSeqNo(number);
    EXPECT_EQ(number, 1);
}

TEST_F(BtrTableFiles, DescribesKeysFromTheStatisticsAndSwitchesIndexes)
{
    TBtrTablePtr table = OpenTable();
    IDXDesc keys[3] = {};
    table->GetIndexDescs(keys);
    EXPECT_STREQ(keys[0].szName, " 0 - CODE");
    EXPECT_STREQ(keys[1].szName, " 1 - GRP+AMOUNT");
    EXPECT_STREQ(keys[2].szName, " 2 - NAME");
    EXPECT_EQ(keys[0].bUnique, 1);
    EXPECT_EQ(keys[0].bPrimary, 1);
    EXPECT_EQ(keys[1].bUnique, 0);
    EXPECT_EQ(keys[1].iFldsInKey, 2);
    EXPECT_EQ(keys[1].aiKeyFld[0], 2);
    EXPECT_EQ(keys[1].aiKeyFld[1], 3);
    EXPECT_EQ(keys[1].iKeyLen, 8);

    Insert(*table, "A001", 2, -1, "zed");
    Insert(*table, "B002", 1, 5, "amy");
    Insert(*table, "C003", 2, -3, "Bo");
    SeekCode(*table, "C003");
    table->SwitchToIndex("1", true);
    EXPECT_EQ(CurrentCode(*table), "C003");
    Integer number = 0;
    table->GetSeqNo(number);
    EXPECT_EQ(number, 2);
    EXPECT_EQ(NextCode(*table), "A001");
    EXPECT_EQ(Codes(*table), (std::vector<std::string>{"B002", "C003", "A001"}));
    table->SwitchToIndex("2 - NAME", false);
    EXPECT_EQ(Codes(*table), (std::vector<std::string>{"B002", "C003", "A001"}));

    EXPECT_EQ(ErrorOf([&] { table->SwitchToIndex("x1", false); }), DBIERR_INVALIDINDEXNAME);
    EXPECT_EQ(StatusOf([&] { table->SwitchToIndex("7", false); }), BtrStatus::InvalidKeyNumber);

    IDXDesc added{};
    added.iIndexId = 3;
    added.iFldsInKey = 1;
    added.aiKeyFld[0] = 2;
    added.bDescending = 1;
    table->AddIndex(added);
    table->SwitchToIndex("3", false);
    IDXDesc current{};
    table->GetIndexDesc(0, current);
    EXPECT_STREQ(current.szName, " 3 - GRP");
    EXPECT_EQ(current.bDescending, 1);
    EXPECT_EQ(Codes(*table), (std::vector<std::string>{"A001", "C003", "B002"}));
    table->SwitchToIndex("0", false);
    table->DeleteIndex("3");
    CURProps properties{};
    table->GetCursorProps(properties);
    EXPECT_EQ(properties.iIndexes, 3);
}

TEST_F(BtrTableFiles, PartialKeysAreFilledByTheTypeOfEachSegment)
{
    TBtrTablePtr table = OpenTable();
    Insert(*table, "A", 1, -5);
    Insert(*table, "B", 1, 3);
    Insert(*table, "C", 2, -7.5);
    Insert(*table, "D", 2, 0);
    Insert(*table, "E", 3, 1);
    table->SwitchToIndex("1", false);

    // The lowest packed decimal is negative: the first record of group 2 holds -7.50.
    std::vector<Byte> record = Row(*table, "", 2);
    table->GetRecordForKey(false, 1, record.data(), nullptr, 0);
    EXPECT_EQ(Text(*table, record, 1), "C");

    record = Row(*table, "", 2);
    table->SeekKey(skLessOrEqual, false, record.data(), nullptr, 0, 1);
    EXPECT_EQ(Text(*table, record, 1), "D");

    record = Row(*table, "", 1);
    table->SeekKey(skGreater, false, record.data(), nullptr, 0, 1);
    EXPECT_EQ(Text(*table, record, 1), "A");

    // A partial key that finds another group, or nothing at all, finds no record.
    record = Row(*table, "", 0);
    EXPECT_EQ(StatusOf([&] { table->GetRecordForKey(false, 1, record.data(), nullptr, 0); }),
              BtrStatus::KeyNotFound);
    record = Row(*table, "", 4);
    EXPECT_EQ(ErrorOf([&] { table->GetRecordForKey(false, 1, record.data(), nullptr, 0); }),
              DBIERR_RECNOTFOUND);

    // The whole key searches for equality.
    record = Row(*table, "", 2, 0);
    table->GetRecordForKey(false, 0, record.data(), nullptr, 0);
    EXPECT_EQ(Text(*table, record, 1), "D");
}

TEST_F(BtrTableFiles, BookmarkOfAGoneRecordServesReadingButNeverWriting)
{
    TBtrTablePtr table = OpenTable();
    for (const char* code : {"A", "B", "C", "D"}) Insert(*table, code);
    const std::vector<Byte> b = BookmarkOf(*table, "B");
    const std::vector<Byte> c = BookmarkOf(*table, "C");
    const std::vector<Byte> d = BookmarkOf(*table, "D");

    TBtrTablePtr other = OpenTable();
    SeekCode(*other, "B");
    other->DeleteRecord(nullptr);

    table->SetToBookMark(b.data());
    EXPECT_EQ(CurrentCode(*table), "C");
    std::vector<Byte> record(table->GetRecordBufferSize());
    table->SetToBookMark(b.data());
    EXPECT_EQ(ErrorOf([&] { table->GetRecord(dbiWRITELOCK, record.data(), nullptr); }), DBIERR_RECNOTFOUND);
    table->SetToBookMark(b.data());
    EXPECT_EQ(ErrorOf([&] { table->DeleteRecord(nullptr); }), DBIERR_RECNOTFOUND);
    EXPECT_EQ(ErrorOf([&] { table->ModifyRecord(record.data(), true); }), DBIERR_RECNOTFOUND);
    EXPECT_EQ(Codes(*table), (std::vector<std::string>{"A", "C", "D"}));

    // The exact record is still written through its bookmark.
    table->SetToBookMark(c.data());
    table->DeleteRecord(nullptr);
    EXPECT_EQ(Codes(*table), (std::vector<std::string>{"A", "D"}));

    // Beyond the last key the cursor falls back to the key before; with no record at all to the beginning.
    SeekCode(*other, "D");
    other->DeleteRecord(nullptr);
    table->SetToBookMark(d.data());
    EXPECT_EQ(CurrentCode(*table), "A");
    SeekCode(*other, "A");
    other->DeleteRecord(nullptr);
    table->SetToBookMark(d.data());
    EXPECT_EQ(table->State(), curAtBegin);
}

// After a backward move, a seek's rejected record is still left forward.
TEST_F(BtrTableFiles, FilterAfterASeekStepsForwardWhateverTheLastMove)
{
    TBtrTablePtr table = OpenTable();
    for (const char* code : {"A", "B", "C", "D", "E"}) Insert(*table, code);
    const std::vector<Byte> b = BookmarkOf(*table, "B");
    TBtrTablePtr other = OpenTable();
    SeekCode(*other, "B");
    other->DeleteRecord(nullptr);
    const char rejected[9] = "C       ";
    table->ActivateFilter(table->AddFilter(reinterpret_cast<uintptr_t>(rejected), 0, false, nullptr, AllBut));
    std::vector<Byte> record(table->GetRecordBufferSize());
    auto moveBackward = [&] {
        table->SetToEnd();
        table->GetPriorRecord(dbiNOLOCK, record.data(), nullptr);
    };

    moveBackward();
    table->SetToBookMark(b.data());
    EXPECT_EQ(CurrentCode(*table), "D");

    moveBackward();
    const std::vector<Byte> prefix = TextKey("C", 1);
    table->GetRecordForKey(true, 0, record.data(), prefix.data(), 1);
    EXPECT_EQ(CurrentCode(*table), "D");
}

TEST_F(BtrTableFiles, BookmarksOfEqualKeysCompareByPositionOnlyWhereKeysRepeat)
{
    TBtrTablePtr table = OpenTable();
    Insert(*table, "A");
    Insert(*table, "B");
    Integer result = 0;
    table->CompareBookMarks(BookmarkOf(*table, "A").data(), BookmarkOf(*table, "B").data(), result);
    EXPECT_EQ(result, -1);

    std::vector<Byte> low(TBtrTable::BookmarkSize, 0), high(TBtrTable::BookmarkSize, 0);
    low[0] = 5;
    high[0] = 9;
    table->CompareBookMarks(low.data(), high.data(), result);
    EXPECT_EQ(result, 0);
    table->SwitchToIndex("1", false);
    table->CompareBookMarks(low.data(), high.data(), result);
    EXPECT_EQ(result, -1);
    table->CompareBookMarks(high.data(), low.data(), result);
    EXPECT_EQ(result, 1);
    high[0] = 0;
    table->CompareBookMarks(low.data(), high.data(), result);
    EXPECT_EQ(result, 0);
}

TEST_F(BtrTableFiles, MemoAtTheEndIsStoredWithoutItsUnusedRest)
{
    TBtrTablePtr table = OpenTable();
    Insert(*table, "A", 0, 0, "", "hello world");
    std::vector<Byte> record(table->GetRecordBufferSize(), 'x');
    SeekCode(*table, "A");
    table->GetRecord(dbiWRITELOCK, record.data(), nullptr);
    EXPECT_EQ(Text(*table, record, 5), "hello world");

    table->PutBlob(record.data(), 5, 0, 2, "hi");
    table->ModifyRecord(record.data(), true);
    std::fill(record.begin(), record.end(), 'x');
    SeekCode(*table, "A");
    table->GetRecord(dbiNOLOCK, record.data(), nullptr);
    EXPECT_EQ(Text(*table, record, 5), "hi");
    EXPECT_EQ(record[26 + 2], 0);
    EXPECT_EQ(record.back(), 0);

    // A text as long as the memo keeps its last byte for the terminator.
    const std::string longText(kNoteSize, 'm');
    table->PutBlob(record.data(), 5, 0, kNoteSize, longText.c_str());
    Cardinal size = 0;
    table->GetBlobSize(record.data(), 5, size);
    EXPECT_EQ(size, kNoteSize - 1u);
}

// The cursor knows CODE, NAME and NOTE only: its record buffer is longer than those fields, and a cached image
// keeps all of it.
TEST_F(BtrTableFiles, CachedUpdatesReachTheFileOnlyWhenApplied)
{
    TBtrTablePtr table = OpenTable();
    Insert(*table, "A001", 1, 1, "anna", "first");
    Insert(*table, "B002", 7, 2, "bert", "second");
    Insert(*table, "C003", 1, 3, "carl", "third");
    table.reset();
    table = OpenTable(0, 0, nullptr, {1, 4, 5});
    constexpr Word Name = 2;
    constexpr Word Note = 3;
    TBaseTable* cache = nullptr;
    table->BeginDelayedUpdates(cache);
    std::vector<Byte> record(cache->GetRecordBufferSize());
    const std::string memo = "a memo that fills most of its forty";
    SeekCode(*table, "B002");
    cache->GetRecord(dbiNOLOCK, record.data(), nullptr);
    cache->PutField(Name, record.data(), "bertha");
    cache->PutBlob(record.data(), Note, 0, Cardinal(memo.size()), memo.c_str());
    cache->ModifyRecord(record.data(), true);
    SeekCode(*table, "A001");
    cache->DeleteRecord(nullptr);
    std::vector<Byte> dora(cache->GetRecordBufferSize(), 0);
    table->InitRecord(dora.data());
    table->PutField(1, dora.data(), "D004");
    table->PutField(Name, dora.data(), "dora");
    cache->AppendRecord(dora.data());
    EXPECT_EQ(ShownThrough(*cache, *table, {Name, Note}),
              (std::vector<std::string>{"bertha/" + memo + "/1", "carl/third/0"}));
    EXPECT_EQ(Codes(*table), (std::vector<std::string>{"A001", "B002", "C003"})) << "the file is untouched";

    cache->ApplyDelayedUpdates(DelayedPrepare);
    cache->ApplyDelayedUpdates(DelayedCommit);
    TBaseTable* wrapped = cache;
    cache->EndDelayedUpdates(wrapped);
    EXPECT_EQ(wrapped, table.get());
    table.reset();

    TBtrTablePtr reopened = OpenTable();
    EXPECT_EQ(Codes(*reopened), (std::vector<std::string>{"B002", "C003", "D004"}));
    SeekCode(*reopened, "B002");
    std::vector<Byte> bert(reopened->GetRecordBufferSize());
    reopened->GetRecord(dbiNOLOCK, bert.data(), nullptr);
    EXPECT_EQ(Text(*reopened, bert, 4), "bertha");
    EXPECT_EQ(Text(*reopened, bert, 5), memo);
    Integer group = 0;
    bool blank = false;
    reopened->GetField(2, bert.data(), blank, &group);
    EXPECT_EQ(group, 7) << "the bytes of fields the cursor does not know are kept";
}

TEST_F(BtrTableFiles, CachedChangesOverAFileShowOldDataAndDeletionsAndKeepAFailedWrite)
{
    TBtrTablePtr table = OpenTable();
    Insert(*table, "A001", 1, 1, "anna");
    Insert(*table, "B002", 1, 2, "bert");
    Insert(*table, "C003", 1, 3, "carl");
    TBaseTable* cache = nullptr;
    table->BeginDelayedUpdates(cache);
    auto shown = [&] { return ShownThrough(*cache, *table, {1, 4}); };
    auto cachedRecords = [&] {
        Integer count = 0;
        Word length = 0;
        cache->GetProp(PropertyCachedRecords, &count, length, sizeof count);
        return count;
    };
    std::vector<Byte> record(cache->GetRecordBufferSize());
    SeekCode(*table, "B002");
    cache->GetRecord(dbiNOLOCK, record.data(), nullptr);
    cache->PutField(4, record.data(), "bertha");
    cache->ModifyRecord(record.data(), true);
    SeekCode(*table, "C003");
    cache->DeleteRecord(nullptr);
    std::vector<Byte> again = Row(*table, "A001", 2, 4, "again");
    cache->AppendRecord(again.data());
    EXPECT_EQ(shown(), (std::vector<std::string>{"A001/anna/0", "B002/bertha/1"}));
    EXPECT_EQ(cachedRecords(), 3);

    cache->SetProp(PropertyReadOldRecord, 1);
    EXPECT_EQ(shown(), (std::vector<std::string>{"A001/anna/0", "B002/bert/1"}));
    cache->SetProp(PropertyReadOldRecord, 0);
    cache->SetProp(PropertyDisplayOptions, dispModified | dispInserted | dispDeleted | dispUnmodified);
    EXPECT_EQ(shown(), (std::vector<std::string>{"A001/anna/0", "B002/bertha/1", "C003/carl/3"}));
    cache->SetProp(PropertyDisplayOptions, dispModified | dispInserted | dispUnmodified);

    SeekCode(*table, "B002");
    cache->ApplyDelayedUpdates(DelayedCancelCurrent);
    EXPECT_EQ(shown(), (std::vector<std::string>{"A001/anna/0", "B002/bert/0"}));
    EXPECT_EQ(cachedRecords(), 2);

    // The appended A001 duplicates a unique key: the deletion is written, the append is raised and kept.
    EXPECT_EQ(StatusOf([&] { cache->ApplyDelayedUpdates(DelayedPrepare); }), 5);
    cache->ApplyDelayedUpdates(DelayedCommit);
    EXPECT_EQ(cachedRecords(), 1);
    EXPECT_EQ(Codes(*table), (std::vector<std::string>{"A001", "B002"}));
    TBaseTable* wrapped = cache;
    cache->EndDelayedUpdates(wrapped);
    EXPECT_EQ(Codes(*table), (std::vector<std::string>{"A001", "B002"})) << "the kept append goes with the cache";
}

TEST_F(BtrTableFiles, GetBlobCopiesAtMostTheCountAskedFor)
{
    TBtrTablePtr table = OpenTable();
    std::vector<Byte> record = Row(*table, "A", 0, 0, "", "abc");
    Byte buffer[12];
    std::memset(buffer, 0x55, sizeof buffer);
    Cardinal read = 99;
    EXPECT_EQ(ErrorOf([&] { table->GetBlob(record.data(), 5, 0, 10, buffer, read); }), 0x2207);
    EXPECT_EQ(read, 3u);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer), 3), "abc");
    EXPECT_EQ(std::vector<Byte>(buffer + 3, buffer + 10), std::vector<Byte>(7, 0));
    EXPECT_EQ(buffer[10], 0x55);

    std::memset(buffer, 0x55, sizeof buffer);
    EXPECT_EQ(ErrorOf([&] { table->GetBlob(record.data(), 5, 1, 1, buffer, read); }), 0x2207);
    EXPECT_EQ(read, 1u);
    EXPECT_EQ(buffer[0], 'b');
    EXPECT_EQ(buffer[1], 0x55);

    EXPECT_EQ(ErrorOf([&] { table->GetBlob(record.data(), 5, 0, 0, buffer, read); }), DBIERR_INVALIDPARAM);
    EXPECT_EQ(ErrorOf([&] { table->GetBlob(record.data(), 5, kNoteSize, 1, buffer, read); }), 0x270E);
    EXPECT_EQ(ErrorOf([&] { table->GetBlob(record.data(), 4, 0, 1, buffer, read); }), DBIERR_INVALIDPARAM);
    EXPECT_EQ(ErrorOf([&] { table->PutBlob(record.data(), 4, 0, 1, "x"); }), DBIERR_INVALIDPARAM);
    EXPECT_EQ(ErrorOf([&] { table->OpenBlob(record.data(), 4, 0); }), 0x2A01);
    EXPECT_EQ(ErrorOf([&] { table->OpenBlob(record.data(), 5, 0); }), 0);
}

TEST_F(BtrTableFiles, RangesOnACollatingKeyFollowItsTable)
{
    TBtrTablePtr table = OpenTable();
    Insert(*table, "A", 0, 0, "apple");
    Insert(*table, "B", 0, 0, "Banana");
    Insert(*table, "C", 0, 0, "cherry");
    Insert(*table, "D", 0, 0, "Date");
    table->SwitchToIndex("2", false);
    EXPECT_TRUE(table->CollatingKey());
    const std::vector<Byte> low = TextKey("b", 1);
    const std::vector<Byte> high = TextKey("C", 1);
    table->SetRange(true, 1, 1, low.data(), true, 1, 1, high.data(), true);
    EXPECT_EQ(Codes(*table), (std::vector<std::string>{"B", "C"}));
}

TEST_F(BtrTableFiles, TableLockIsOneTransactionAtATime)
{
    TBtrTablePtr table = OpenTable();
    table->AcqTableLock(dbiWRITELOCK);
    Insert(*table, "A");
    EXPECT_EQ(StatusOf([&] { table->AcqTableLock(dbiWRITELOCK); }), BtrStatus::FileLocked);
    table->RelTableLock(dbiWRITELOCK);
    Integer count = 0;
    table->GetRecordCount(count);
    EXPECT_EQ(count, 1);
    table->AcqTableLock(dbiWRITELOCK);
    table->RelTableLock(dbiWRITELOCK);
}

TEST_F(BtrTableFiles, RecordLocksFollowInsertsAndUpdatesAndAFailedLockRereads)
{
    TBtrTablePtr table = OpenTable();
    const Byte otherClient[TWinBtr::ClientIdSize] = {'o', 't', 'h', 'e', 'r'};
    TBtrTablePtr other = OpenTable(0, 0, otherClient);
    std::vector<Byte> row = Row(*table, "A001", 1, 1, "anna");
    table->InsertRecord(dbiWRITELOCK, row.data());
    SeekCode(*other, "A001");
    std::vector<Byte> seen(other->GetRecordBufferSize());
    auto lockedRead = [&] { return StatusOf([&] { other->GetRecord(dbiWRITELOCK, seen.data(), nullptr); }); };
    EXPECT_EQ(lockedRead(), BtrStatus::RecordLocked) << "inserted with its lock";

    table->PutField(4, row.data(), "annie");
    table->ModifyRecord(row.data(), false);
    EXPECT_EQ(lockedRead(), BtrStatus::RecordLocked) << "modified keeping its lock";
    EXPECT_EQ(Text(*other, seen, 4), "annie") << "the failed lock reads the record as it is now";

    table->PutField(4, row.data(), "ann");
    table->ModifyRecord(row.data(), true);
    EXPECT_EQ(lockedRead(), 0);
    EXPECT_EQ(Text(*other, seen, 4), "ann");
}

TEST_F(BtrTableFiles, AForcedRereadPutsTheBookmarkAtTheRecordsNewKey)
{
    TBtrTablePtr table = OpenTable();
    Insert(*table, "A001", 1, 1, "anna");
    Insert(*table, "B002", 1, 2, "bert");
    Insert(*table, "C003", 1, 3, "carl");
    table->SwitchToIndex("2", false);
    const std::vector<Byte> bert = TextKey("bert", 10);
    table->SetToKey(keySEARCHEQ, true, 0, 0, bert.data());

    // Another client renames bert to zeno, which moves the record to the end of the name key.
    const Byte otherClient[TWinBtr::ClientIdSize] = {'o', 't', 'h', 'e', 'r'};
    TBtrTablePtr other = OpenTable(0, 0, otherClient);
    SeekCode(*other, "B002");
    std::vector<Byte> record(other->GetRecordBufferSize());
    other->GetRecord(dbiWRITELOCK, record.data(), nullptr);
    other->PutField(4, record.data(), "zeno");
    other->ModifyRecord(record.data(), true);

    table->ForceReread();
    std::vector<Byte> bookmark(table->GetBookmarkSize());
    table->GetBookMark(bookmark.data());
    std::vector<Byte> next(table->GetRecordBufferSize());
    EXPECT_THROW(table->GetNextRecord(dbiNOLOCK, next.data(), nullptr), EBoreaEOFError);
}

TEST_F(BtrTableFiles, ExclusiveOpenKeepsOthersOutAndCloseIsQuiet)
{
    TBtrTablePtr table = OpenTable(1, 1);
    const Byte otherClient[TWinBtr::ClientIdSize] = {'o', 't', 'h', 'e', 'r'};
    TWinBtr other(otherClient);
    EXPECT_THROW(other.Open(path_, nullptr, 0), EBtrieveEngineError);
    table->Close();
    EXPECT_EQ(table->State(), curClosed);
    table->Close();
    other.Open(path_, nullptr, 0);
}

}  // namespace
