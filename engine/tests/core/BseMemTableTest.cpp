// The in-memory table: records in bookmark order, update statuses of the cache, and applying a cache to a source.
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/core/BseError.h"
#include "engine/core/BseMemTable.h"
#include "engine/tests/support/CursorTestSupport.h"

namespace {

using TMemTablePtr = std::unique_ptr<TMemTable, TFreeObject>;

FLDDesc Field(const char* name, Word type, SmallInt units1 = 0, Word length = 0)
{
    FLDDesc descriptor{};
    std::strncpy(descriptor.szName, name, DBIMAXNAMELEN);
    descriptor.iFldType = type;
    descriptor.iUnits1 = units1;
    descriptor.iLen = length;
    return descriptor;
}

// NAME (string of 7, 8 bytes) at 0, CODE (32-bit) at 8.
TMemTablePtr MakeTable(TBaseTable* source = nullptr)
{
    const FLDDesc fields[] = {Field("NAME", fldZSTRING, 7), Field("CODE", fldINT32)};
    return TMemTablePtr(CreateObject<TMemTable>(nullptr, source, fields, 0, 2, "memory", nullptr));
}

std::vector<Byte> Row(TBaseTable& table, const std::string& name, Integer code = 0)
{
    std::vector<Byte> record(table.GetRecordBufferSize(), 0);
    std::memcpy(record.data(), name.data(), std::min<size_t>(name.size(), 7));
    std::memcpy(record.data() + 8, &code, sizeof code);
    return record;
}

void Append(TMemTable& table, const std::string& name, Integer code = 0)
{
    std::vector<Byte> record = Row(table, name, code);
    table.AppendRecord(record.data());
}


Integer BookmarkNumberAt(TMemTable& table, Integer index)
{
    Integer number;
    std::memcpy(&number, table.Records()->Record(index)->Bookmark.data(), sizeof number);
    return number;
}

std::vector<std::string> Names(TMemTable& table)
{
    std::vector<std::string> names;
    for (Integer i = 0; i < table.Records()->Count(); ++i)
        names.push_back(NameOf(table.Records()->Record(i)->Data));
    return names;
}

TEST(MemTable, LaysOutFieldsByTypeWhenNoLengthIsGiven)
{
    const FLDDesc fields[] = {Field("S", fldZSTRING, 10), Field("D", fldDATE), Field("B", fldBOOL),
                              Field("I", fldINT32), Field("N", fldBCD, 0), Field("X", fldBYTES, 3),
                              Field("L", fldINT16, 0, 6)};
    FLDDesc bcd = fields[4];
    bcd.iUnits2 = -5;
    FLDDesc all[] = {fields[0], fields[1], fields[2], fields[3], bcd, fields[5], fields[6]};
    TMemTablePtr table(CreateObject<TMemTable>(nullptr, nullptr, all, 0, 7, "layout", nullptr));
    const Word offsets[] = {0, 11, 19, 21, 25, 30, 33};
    const Word lengths[] = {11, 8, 2, 4, 5, 3, 6};
    for (Word i = 0; i < 7; ++i) {
        const FLDDesc& d = table->FieldCache()->Field(i + 1)->Descriptor;
        EXPECT_EQ(d.iFldNum, i + 1);
        EXPECT_EQ(d.iOffset, offsets[i]) << i;
        EXPECT_EQ(d.iLen, lengths[i]) << i;
    }
    EXPECT_EQ(table->GetRecordLength(), 39);
    EXPECT_EQ(table->GetBookmarkSize(), 4);
}

TEST(MemTable, AppendedRecordsTakeBookmarksAndPhysicalNumbersInOrder)
{
    TMemTablePtr table = MakeTable();
    for (const char* name : {"ann", "bob", "cy"}) Append(*table, name);
    for (Integer i = 0; i < 3; ++i) {
        EXPECT_EQ(BookmarkNumberAt(*table, i), i + 1);
        EXPECT_EQ(table->Records()->Record(i)->Properties.iPhyRecNum, i + 1);
    }
    const Integer two = 2;
    table->SetToBookMark(&two);
    EXPECT_EQ(table->Position(), 2);
    EXPECT_EQ(Current(*table), "bob");

    // Field values are their bytes, never blank.
    std::vector<Byte> record = Row(*table, "zed", 77);
    Integer code = 0;
    bool blank = true;
    table->GetField(2, record.data(), blank, &code);
    EXPECT_FALSE(blank);
    EXPECT_EQ(code, 77);
}

TEST(MemTable, InsertedRecordGoesInFrontOfTheCurrentOneAndIsSkippedByBookmarks)
{
    TMemTablePtr table = MakeTable();
    for (const char* name : {"ann", "bob", "cy"}) Append(*table, name);
    const Integer two = 2;
    table->SetToBookMark(&two);
    std::vector<Byte> record = Row(*table, "new");
    table->InsertRecord(dbiNOLOCK, record.data());

    EXPECT_EQ(Names(*table), (std::vector<std::string>{"ann", "new", "bob", "cy"}));
    TMemTableRecord* inserted = table->Records()->Record(1);
    EXPECT_EQ(BookmarkNumberAt(*table, 1), 4);
    EXPECT_EQ(inserted->Properties.iRecStatus, mrsInserted);
    EXPECT_EQ(inserted->Properties.iPhyRecNum, 0);
    const Integer four = 4;
    EXPECT_EQ(ErrorOf([&] { table->SetToBookMark(&four); }), DBIERR_EOF);
    EXPECT_EQ(ErrorOf([&] { table->InsertRecord(dbiNOLOCK, nullptr); }), DBIERR_INVALIDPARAM);
}

TEST(MemTable, BookmarkNumbersNeverComeBackAfterADelete)
{
    TMemTablePtr table = MakeTable();
    for (const char* name : {"ann", "bob", "cy"}) Append(*table, name);
    const Integer two = 2;
    table->SetToBookMark(&two);
    table->DeleteRecord(nullptr);
    Append(*table, "dee");
    EXPECT_EQ(BookmarkNumberAt(*table, 2), 4);

    // Bookmark 3 still names cy, the only record that had it.
    const Integer three = 3;
    table->SetToBookMark(&three);
    EXPECT_EQ(Current(*table), "cy");

    // An insertion in the middle draws from the same counter.
    std::vector<Byte> record = Row(*table, "mid");
    table->InsertRecord(dbiNOLOCK, record.data());
    EXPECT_EQ(BookmarkNumberAt(*table, 1), 5);
}

TEST(MemTable, DeleteLeavesNoCurrentRecordAndReadsGoOnBehindIt)
{
    TMemTablePtr table = MakeTable();
    for (const char* name : {"ann", "bob", "cy", "dee"}) Append(*table, name);
    const Integer two = 2;
    table->SetToBookMark(&two);
    table->DeleteRecord(nullptr);
    EXPECT_EQ(table->CurrentRecord(), nullptr);
    EXPECT_EQ(table->State(), curCrack);
    Integer bookmark = 0;
    EXPECT_EQ(ErrorOf([&] { table->GetBookMark(&bookmark); }), DBIERR_NOCURRREC);
    EXPECT_EQ(ErrorOf([&] { table->DeleteRecord(nullptr); }), DBIERR_NOCURRREC);
    EXPECT_EQ(ErrorOf([&] { table->ModifyRecord(nullptr, true); }), DBIERR_NOCURRREC);
    // The next record after the crack is the one that followed the deleted record.
    EXPECT_EQ(Next(*table), "cy");
    EXPECT_EQ(Next(*table), "dee");

    const Integer three = 3;
    table->SetToBookMark(&three);
    table->DeleteRecord(nullptr);
    EXPECT_EQ(Current(*table), "dee");
}

TEST(MemTable, EmptyingAndClearingDropTheCurrentRecord)
{
    TMemTablePtr table = MakeTable();
    for (const char* name : {"ann", "bob"}) Append(*table, name);
    table->ClearCache();
    EXPECT_EQ(table->CurrentRecord(), nullptr);
    EXPECT_EQ(table->Records()->Count(), 0);
    Integer bookmark = 0;
    EXPECT_EQ(ErrorOf([&] { table->GetBookMark(&bookmark); }), DBIERR_NOCURRREC);
    EXPECT_EQ(ErrorOf([&] { table->DeleteRecordAt(nullptr, nullptr); }), DBIERR_NOCURRREC);

    Append(*table, "cy");
    table->EmptyTable();
    EXPECT_EQ(table->CurrentRecord(), nullptr);
    EXPECT_EQ(table->Position(), 0);
    EXPECT_EQ(table->State(), curNone);
    EXPECT_EQ(ErrorOf([&] { table->UndeleteRecord(); }), DBIERR_NOCURRREC);
    // Numbers go on growing after the table was emptied.
    Append(*table, "dee");
    EXPECT_EQ(BookmarkNumberAt(*table, 0), 4);
}

TEST(MemTable, EmptyTableReportsTheEnds)
{
    TMemTablePtr table = MakeTable();
    std::vector<Byte> record = Row(*table, "");
    table->SetRecordBuffer(record.data());
    EXPECT_EQ(ErrorOf([&] { table->MoveFirst(); }), DBIERR_EOF);
    EXPECT_EQ(ErrorOf([&] { table->MoveLast(); }), DBIERR_BOF);
    EXPECT_EQ(ErrorOf([&] { table->MoveNext(); }), DBIERR_EOF);
    EXPECT_EQ(ErrorOf([&] { table->MovePrior(); }), DBIERR_BOF);
    EXPECT_EQ(ErrorOf([&] { table->GetRecord(dbiNOLOCK, record.data(), nullptr); }), DBIERR_EOF);
    EXPECT_EQ(ErrorOf([&] { table->ApplyCache(); }), DBIERR_INVALIDHNDL);
    table->SetRecordBuffer(nullptr);
}

TEST(MemTable, CacheOperationsKeepStatusesAndVisibility)
{
    TMemTablePtr table = MakeTable();
    Append(*table, "ann");
    std::vector<Byte> changed = Row(*table, "changed");
    const Integer seven = 7;
    table->ModifyRecordAt(changed.data(), reinterpret_cast<const Byte*>(&seven));
    ASSERT_EQ(table->Records()->Count(), 2);
    TMemTableRecord* added = table->CurrentRecord();
    EXPECT_EQ(NameOf(added->Data), "changed");
    EXPECT_EQ(added->Properties.iRecStatus, mrsModified);

    const Integer one = 1;
    table->DeleteRecordAt(nullptr, reinterpret_cast<const Byte*>(&one));
    TMemTableRecord* deleted = table->CurrentRecord();
    EXPECT_EQ(deleted->Properties.iRecStatus, mrsDeleted);
    EXPECT_EQ(Word(deleted->Properties.bDeleteFlag), 0xFFFF);

    // Options 11: modified, inserted and records without cache entry show; deleted ones do not.
    const Word options = dispModified | dispInserted | dispUnmodified;
    EXPECT_FALSE(table->IsRecordVisible(options, true));
    EXPECT_TRUE(table->IsRecordVisible(options, false));
    table->SetToBookMark(&seven);
    EXPECT_TRUE(table->IsRecordVisible(options, true));
    EXPECT_FALSE(table->IsRecordVisible(dispDeleted, true));
    EXPECT_FALSE(table->IsRecordVisible(dispDeleted, false));

    table->SetToBookMark(&one);
    table->UndeleteRecord();
    EXPECT_EQ(deleted->Properties.bDeleteFlag, 0);
    EXPECT_EQ(deleted->Properties.iRecStatus, mrsDeleted);
    RECProps properties{};
    table->GetRecord(dbiNOLOCK, nullptr, &properties);
    EXPECT_EQ(properties.iRecStatus, mrsDeleted);
}

TEST(MemTable, ApplyCacheWritesEveryChangeItCanAndThenReportsTheFirstFailure)
{
    TMemTablePtr source = MakeTable();
    for (const char* name : {"ann", "bob", "cy"}) Append(*source, name, 1);
    TMemTablePtr cache = MakeTable(source.get());

    std::vector<Byte> bob = Row(*cache, "bobby", 2);
    const Integer two = 2;
    cache->ModifyRecordAt(bob.data(), reinterpret_cast<const Byte*>(&two));
    const Integer one = 1;
    std::vector<Byte> ann = Row(*cache, "ann", 1);
    cache->DeleteRecordAt(ann.data(), reinterpret_cast<const Byte*>(&one));
    std::vector<Byte> ghost = Row(*cache, "ghost", 9);
    const Integer missing = 99;
    cache->ModifyRecordAt(ghost.data(), reinterpret_cast<const Byte*>(&missing));
    cache->SetToBookMark(&one);
    std::vector<Byte> fresh = Row(*cache, "fresh", 3);
    cache->InsertRecord(dbiNOLOCK, fresh.data());

    EXPECT_EQ(ErrorOf([&] { cache->ApplyCache(); }), DBIERR_EOF) << "ghost has no record in the source";
    EXPECT_EQ(Names(*source), (std::vector<std::string>{"bobby", "cy", "fresh"}));
    EXPECT_EQ(NameOf(cache->Records()->Record(0)->Data), "fresh");
    std::vector<Byte> applied;
    for (Integer i = 0; i < cache->Records()->Count(); ++i) applied.push_back(cache->Records()->Record(i)->Applied);
    EXPECT_EQ(applied, (std::vector<Byte>{1, 1, 1, 0}));
    EXPECT_EQ(cache->Records()->Count(), 4);

    // Applying again writes only what is still unwritten, and a record changed again is unwritten.
    EXPECT_EQ(ErrorOf([&] { cache->ApplyCache(); }), DBIERR_EOF);
    EXPECT_EQ(Names(*source), (std::vector<std::string>{"bobby", "cy", "fresh"})) << "nothing is written twice";
    std::vector<Byte> rob = Row(*cache, "rob", 2);
    cache->ModifyRecordAt(rob.data(), reinterpret_cast<const Byte*>(&two));

    // Clearing keeps the changes that were not written.
    cache->ClearCache();
    EXPECT_EQ(Names(*cache), (std::vector<std::string>{"rob", "ghost"}));
}

TEST(MemTable, SequenceNumbersAreAllZero)
{
    TMemTablePtr table = MakeTable();
    for (const char* name : {"ann", "bob"}) Append(*table, name);
    Integer number = -1;
    table->GetSeqNo(number);
    EXPECT_EQ(number, 0);
    table->SetToSeqNo(0);
    EXPECT_EQ(table->Position(), 1);
    EXPECT_EQ(ErrorOf([&] { table->SetToSeqNo(1); }), DBIERR_EOF);
}

}  // namespace
