#include <gtest/gtest.h>

#include <functional>

#include "engine/core/BseFilt.h"
#include "engine/tests/support/CursorTestSupport.h"

namespace {

using Names = std::vector<std::string>;

TEST(CursorNavigation, ClosedCursorHasNoDataAndOpenOneStartsAtEitherEnd)
{
    auto table = MakeNameCodeTable({"A", "B", "C"});
    table->Close();
    EXPECT_EQ(ErrorOf([&] { Next(*table); }), DBIERR_EOF);
    EXPECT_EQ(ErrorOf([&] { Prior(*table); }), DBIERR_BOF);
    table->Open();
    EXPECT_EQ(Next(*table), "A");
    table->Open();
    EXPECT_EQ(Prior(*table), "C");
    EXPECT_EQ(Prior(*table), "B");
    EXPECT_EQ(Next(*table), "C");
    EXPECT_EQ(ErrorOf([&] { Next(*table); }), DBIERR_EOF);
    EXPECT_EQ(Current(*table), "C");  // a failed move keeps the position
}

TEST(CursorNavigation, BeginAndEndAreOutsideTheData)
{
    auto table = MakeNameCodeTable({"A", "B"});
    table->SetToBegin();
    EXPECT_EQ(ErrorOf([&] { Prior(*table); }), DBIERR_BOF);
    EXPECT_EQ(ErrorOf([&] { Current(*table); }), DBIERR_BOF);
    EXPECT_EQ(Next(*table), "A");
    table->SetToEnd();
    EXPECT_EQ(ErrorOf([&] { Next(*table); }), DBIERR_EOF);
    EXPECT_EQ(ErrorOf([&] { Current(*table); }), DBIERR_EOF);
    EXPECT_EQ(Prior(*table), "B");
    table->Open();
    EXPECT_EQ(ErrorOf([&] { Current(*table); }), DBIERR_NOCURRREC);
}

TEST(CursorNavigation, CurrentRecordAfterADeletionIsTheNextElseThePrior)
{
    auto table = MakeNameCodeTable({"A", "B", "C"});
    std::vector<Byte> record(table->GetRecordBufferSize());
    Next(*table);
    Next(*table);
    table->DeleteRecord(record.data());
    EXPECT_EQ(table->State(), curCrack);
    EXPECT_EQ(Current(*table), "C");
    table->DeleteRecord(record.data());
    EXPECT_EQ(Current(*table), "A");
}

TEST(CursorNavigation, RelativeMovesLockOnlyTheLastStep)
{
    auto table = MakeNameCodeTable({"A", "B", "C", "D", "E"});
    std::vector<Byte> record(table->GetRecordBufferSize());
    EXPECT_EQ(ErrorOf([&] { table->GetRelativeRecord(0, dbiNOLOCK, record.data(), nullptr); }), DBIERR_INVALIDPARAM);
    table->SetToEnd();
    table->GetRelativeRecord(-3, dbiWRITELOCK, record.data(), nullptr);
    EXPECT_EQ(NameOf(record), "C");
    EXPECT_EQ(table->ReadLocks, std::vector<Integer>{dbiWRITELOCK});
    table->GetRelativeRecord(2, dbiNOLOCK, record.data(), nullptr);
    EXPECT_EQ(NameOf(record), "E");
}

TEST(CursorNavigation, LockedReadFromTheStartLocksTheFirstRecord)
{
    auto table = MakeNameCodeTable({"A", "B"});
    EXPECT_EQ(Next(*table, dbiWRITELOCK), "A");
    EXPECT_EQ(table->ReadLocks, std::vector<Integer>{dbiWRITELOCK});
    EXPECT_EQ(Next(*table), "B");
}

TEST(CursorNavigation, SetToKeySearchesAndLeavesTheCursorOnTheRecord)
{
    auto table = MakeNameCodeTable({"B", "D", "F"});
    const auto c = NameKey("C");
    table->SetToKey(keySEARCHGEQ, true, 1, 0, c.data());
    EXPECT_EQ(Current(*table), "D");
    const auto d = NameKey("D");
    table->SetToKey(keySEARCHGT, true, 1, 0, d.data());
    EXPECT_EQ(Current(*table), "F");
    EXPECT_EQ(table->SeekConditions, (std::vector<Word>{skGreaterOrEqual, skGreater}));
    const auto z = NameKey("Z");
    table->SetToKey(keySEARCHGT, true, 1, 0, z.data());
    EXPECT_EQ(table->State(), curAtEnd);
    EXPECT_EQ(ErrorOf([&] { table->SetToKey(keySEARCHEQ, true, 1, 0, c.data()); }), DBIERR_RECNOTFOUND);
}

TEST(CursorNavigation, BookmarksReturnToARecordAndOrderByKey)
{
    auto table = MakeNameCodeTable({"A", "B", "C"});
    auto other = MakeNameCodeTable({"A", "B", "C"});
    std::vector<Byte> b(table->GetBookmarkSize());
    std::vector<Byte> c(table->GetBookmarkSize());
    Next(*table);
    Next(*table);
    table->GetBookMark(b.data());
    Next(*table);
    table->GetBookMark(c.data());
    Integer order = 0;
    table->CompareBookMarks(b.data(), c.data(), order);
    EXPECT_EQ(order, -1);
    table->CompareBookMarks(c.data(), c.data(), order);
    EXPECT_EQ(order, 0);
    EXPECT_EQ(ErrorOf([&] { table->CompareBookMarks(nullptr, c.data(), order); }), DBIERR_INVALIDPARAM);
    table->SetToBookMark(b.data());
    EXPECT_EQ(Current(*table), "B");
    table->CopyPositionTo(other.get());
    EXPECT_EQ(Next(*other), "C");
}

TEST(CursorProperties, CrackByPropertyAndAFixedKindAnswer)
{
    auto table = MakeNameCodeTable({"A", "B"});
    Next(*table);
    table->SetProp(0x00010014, 0);  // only the low 16 bits count
    EXPECT_EQ(table->State(), curCrack);
    Word value = 0;
    Word length = 0;
    table->GetProp(0, &value, length, sizeof value);
    EXPECT_EQ(value, 20);
    EXPECT_EQ(length, 2);
    EXPECT_EQ(ErrorOf([&] { table->GetProp(7, &value, length, sizeof value); }), DBIERR_NOTSUPPORTED);
    EXPECT_EQ(ErrorOf([&] { table->GetProp(5, &value, length, sizeof value); }), DBIERR_INVALIDPARAM);
    EXPECT_EQ(ErrorOf([&] { table->CheckProp(1, false); }), DBIERR_NOTSUPPORTED);
    EXPECT_EQ(ErrorOf([&] { table->CheckProp(1, true); }), 0);
}

// ---- ranges

TEST(CursorRange, ExclusiveLowEndSeeksGreaterAndSkipsTheEqualKey)
{
    auto table = MakeNameCodeTable({"A", "B", "C", "D", "E"});
    const auto low = NameKey("B");
    const auto high = NameKey("D");
    table->SetRange(true, 1, 0, low.data(), false, 1, 0, high.data(), true);
    EXPECT_EQ(Rest(*table), (Names{"C", "D"}));
    EXPECT_EQ(table->SeekConditions.front(), skGreater);
    table->Open();
    EXPECT_EQ(Prior(*table), "D");
    EXPECT_EQ(Prior(*table), "C");
    EXPECT_EQ(ErrorOf([&] { Prior(*table); }), DBIERR_BOF);
    table->ResetRange();
    table->Open();
    EXPECT_EQ(Rest(*table).size(), 5u);
}

TEST(CursorRange, PartialKeyOnAStringFieldKeepsToThePrefix)
{
    auto table = MakeNameCodeTable({"AX", "BA", "BB", "BZ", "CA"});
    const auto prefix = NameKey("B");
    table->SetRange(true, 0, 1, prefix.data(), true, 0, 1, prefix.data(), true);
    EXPECT_EQ(Rest(*table), (Names{"BA", "BB", "BZ"}));
}

TEST(CursorRange, KeyOfBlankFieldsOnlyLeavesThatEndOpen)
{
    auto table = MakeNameCodeTable({"A", "B", "C"});
    const auto blank = NameKey("");
    const auto high = NameKey("B");
    table->SetRange(true, 0, 0, blank.data(), true, 0, 0, high.data(), true);
    EXPECT_FALSE(table->LowRange().Active);
    EXPECT_TRUE(table->HighRange().Active);
    EXPECT_EQ(Rest(*table), (Names{"A", "B"}));
}

TEST(CursorRange, RangeFromRecordBuffersKeepsItsOwnBounds)
{
    auto table = MakeNameCodeTable({"A", "B", "C", "D"});
    std::vector<Byte> low = table->MakeRecord({"B"});
    std::vector<Byte> high = table->MakeRecord({"C"});
    table->SetRange(false, 1, 0, low.data(), true, 1, 0, high.data(), true);
    std::memcpy(low.data(), "A", 2);
    std::memcpy(high.data(), "Z", 2);
    EXPECT_EQ(Rest(*table), (Names{"B", "C"}));
    table->SetToEnd();
    EXPECT_EQ(Prior(*table), "C");
}

// ---- filters on the move

TEST(CursorFilter, RejectedRecordsAreSkippedInTheDirectionOfTravel)
{
    auto table = MakeNameCodeTable({"A", "B", "C", "D", "E"});
    table->ActivateFilter(table->AddFilter(0, 0, false, nullptr, EvenCodes));
    EXPECT_EQ(Rest(*table), (Names{"B", "D"}));
    EXPECT_EQ(Prior(*table), "D");  // the driver stayed on the rejected last record
    EXPECT_EQ(Prior(*table), "B");
    EXPECT_EQ(ErrorOf([&] { Prior(*table); }), DBIERR_BOF);
}

TEST(CursorFilter, MoveWithoutARecordBufferStillAppliesFilterAndRange)
{
    auto table = MakeNameCodeTable({"A", "B", "C", "D"});
    const char rejected[8] = "B";
    table->ActivateFilter(table->AddFilter(reinterpret_cast<uintptr_t>(rejected), 0, false, nullptr, AllBut));
    table->GetNextRecord(dbiNOLOCK, nullptr, nullptr);
    table->GetNextRecord(dbiNOLOCK, nullptr, nullptr);
    EXPECT_EQ(Current(*table), "C");
    const auto high = NameKey("C");
    table->SetRange(true, 1, 0, nullptr, true, 1, 0, high.data(), true);
    EXPECT_EQ(ErrorOf([&] { table->GetNextRecord(dbiNOLOCK, nullptr, nullptr); }), DBIERR_EOF);
}

TEST(CursorFilter, RereadOfARecordThatNoLongerPassesStartsAgainFromTheFirst)
{
    auto table = MakeNameCodeTable({"A", "B", "C"});
    char rejected[8] = "";
    table->ActivateFilter(table->AddFilter(reinterpret_cast<uintptr_t>(rejected), 0, false, nullptr, AllBut));
    Next(*table);
    Next(*table);
    Next(*table);
    std::strcpy(rejected, "C");
    std::vector<Byte> record(table->GetRecordBufferSize());
    table->ForceRecordReread(record.data());
    EXPECT_EQ(NameOf(record), "A");
    EXPECT_FALSE(table->RereadPending());
}

TEST(CursorFilter, RangesBookmarksRelativeMovesAndFiltersTogether)
{
    auto table = MakeNameCodeTable({"A", "B", "C", "D", "E", "F", "G", "H"});
    const auto low = NameKey("B");
    const auto high = NameKey("G");
    table->SetRange(true, 1, 0, low.data(), true, 1, 0, high.data(), false);
    table->ActivateFilter(table->AddFilter(0, 0, false, nullptr, EvenCodes));  // B D F H
    std::vector<Byte> record(table->GetRecordBufferSize());
    table->GetRelativeRecord(2, dbiNOLOCK, record.data(), nullptr);
    EXPECT_EQ(NameOf(record), "D");
    std::vector<Byte> mark(table->GetBookmarkSize());
    table->GetBookMark(mark.data());
    Integer count = 0;
    table->GetRecordCount(count);
    EXPECT_EQ(count, 3);
    EXPECT_EQ(Current(*table), "D");
    EXPECT_EQ(Next(*table), "F");
    EXPECT_EQ(ErrorOf([&] { Next(*table); }), DBIERR_EOF);
    table->SetToBookMark(mark.data());
    table->GetRelativeRecord(-1, dbiNOLOCK, record.data(), nullptr);
    EXPECT_EQ(NameOf(record), "B");
}

// ---- blocks, counts, emptying

TEST(CursorBlocks, ReadBlockStopsAtTheEndWithTheCountRead)
{
    auto table = MakeNameCodeTable({"A", "B", "C"});
    const Word size = table->GetRecordBufferSize();
    std::vector<Byte> block(size * 5);
    Integer count = 2;
    table->ReadBlock(count, block.data());
    EXPECT_EQ(count, 2);
    EXPECT_EQ(CodeOf(block.data() + size), 2);
    count = 5;
    EXPECT_EQ(ErrorOf([&] { table->ReadBlock(count, block.data()); }), DBIERR_EOF);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(CodeOf(block.data()), 3);
}

TEST(CursorBlocks, BlocksLargerThan64KBKeepEveryRecordInItsPlace)
{
    auto table = MakeFakeTable({{"NAME", fldZSTRING, 8}, {"CODE", fldINT32, 4}, {"TEXT", fldZSTRING, 30000}},
                               {{"ByName", {1}}});
    for (const char* name : {"A", "B", "C", "D"}) table->Add({name, std::string(1, name[0] - 'A' + '1'), "x"});
    const size_t size = table->GetRecordBufferSize();
    std::vector<Byte> block(size * 4);
    Integer count = 4;
    table->ReadBlock(count, block.data());
    EXPECT_EQ(count, 4);
    for (Integer i = 0; i < 4; ++i) EXPECT_EQ(CodeOf(block.data() + i * size), i + 1);
}

TEST(CursorBlocks, CountingAndEmptyingKeepTheMessageLoopAlive)
{
    Integer pumps = 0;
    SetEngineMessagePump([&] { ++pumps; });
    Names names;
    for (char c = 'A'; c < 'A' + 40; ++c) names.push_back(std::string(1, c));
    auto table = MakeNameCodeTable(names);
    Integer count = 0;
    table->GetRecordCount(count);
    EXPECT_EQ(count, 40);
    EXPECT_EQ(pumps, 2);
    table->EmptyRecords();
    EXPECT_EQ(pumps, 2 + 40 + 0);
    SetEngineMessagePump(nullptr);
}

TEST(CursorBlocks, WriteBlockInsertsEveryRecord)
{
    auto table = MakeNameCodeTable({});
    std::vector<Byte> block;
    for (const char* name : {"C", "A", "B"}) {
        const auto record = table->MakeRecord({name, "1"});
        block.insert(block.end(), record.begin(), record.end());
    }
    Integer count = 3;
    table->WriteBlock(count, block.data());
    EXPECT_EQ(count, 3);
    EXPECT_EQ(table->Column(1), (Names{"A", "B", "C"}));
}

TEST(CursorEmpty, EmptyRecordsDeletesOnlyInsideTheRange)
{
    auto table = MakeNameCodeTable({"A", "B", "C", "D", "E"});
    const auto low = NameKey("B");
    const auto high = NameKey("D");
    table->SetRange(true, 1, 0, low.data(), true, 1, 0, high.data(), true);
    table->EmptyRecords();
    EXPECT_EQ(table->Column(1), (Names{"A", "E"}));
    EXPECT_EQ(table->State(), curAtBegin);
}

TEST(CursorEmpty, EmptyRecordsReportsRecordsThatRemain)
{
    auto table = MakeNameCodeTable({"A", "B", "C"});
    table->LockedValue = "B";
    EXPECT_EQ(ErrorOf([&] { table->EmptyRecords(); }), DBIERR_LOCKED);
    EXPECT_EQ(table->Column(1), (Names{"B", "C"}));  // deleting stops at the locked record
}

TEST(CursorEmpty, EmptyTableReopensASharedCursor)
{
    auto table = MakeNameCodeTable({"A", "B"});
    table->EmptyTable();
    EXPECT_EQ(table->Count(), 0);
    EXPECT_EQ(table->ShareMode(), 0);
    EXPECT_EQ(table->State(), curNone);
}

TEST(CursorEmpty, EmptyTableLeavesAClosedOrExclusiveCursorClosedWithItsShareMode)
{
    auto closed = MakeNameCodeTable({"A", "B"});
    closed->Close();
    closed->EmptyTable();
    EXPECT_EQ(closed->Count(), 0);
    EXPECT_EQ(closed->ShareMode(), ShareShared);
    EXPECT_EQ(closed->State(), curClosed);

    auto exclusive = MakeNameCodeTable({"A", "B"});
    exclusive->SetShareMode(ShareExclusive);
    exclusive->EmptyTable();
    EXPECT_EQ(exclusive->Count(), 0);
    EXPECT_EQ(exclusive->ShareMode(), ShareExclusive);
    EXPECT_EQ(exclusive->State(), curClosed);
}

}  // namespace

namespace {

// What a cursor whose driver overrides nothing answers.
TEST(CursorBase, OperationsADriverLeavesAloneFailWithTheirCodes)
{
    auto table = std::unique_ptr<TBaseTable, TFreeObject>(
            CreateObject<TBaseTable>(nullptr, nullptr, "bare", "", 0, 0));
    Byte buffer[300] = {};
    Word length = 0;
    Cardinal size = 0;
    TBaseTable* cursor = nullptr;
    VCHKDesc check{};
    const std::pair<Word, std::function<void()>> cases[] = {
            {DBIERR_BOF, [&] { table->MoveFirst(); }},
            {DBIERR_EOF, [&] { table->MoveLast(); }},
            {DBIERR_NA, [&] { table->SeekKey(skEqual, true, buffer, buffer, 0, 0); }},
            {DBIERR_NA, [&] { table->BuildKey(buffer, buffer, length, 0, 0); }},
            {DBIERR_NA, [&] { table->ExtractKey(buffer, buffer); }},
            {DBIERR_INVALIDHNDL, [&] { table->GetRecordForKey(true, 0, buffer, buffer, 0); }},
            {DBIERR_NOTSUPPORTED, [&] { table->GetBookMark(buffer); }},
            {DBIERR_NOTSUPPORTED, [&] { table->GetVchkDesc(1, check); }},
            {DBIERR_NOTSUPPORTED, [&] { table->AcqTableLock(1); }},
            {DBIERR_NOTSUPPORTED, [&] { table->SwitchToIndex("x", false); }},
            {DBIERR_NOTSUPPORTED, [&] { table->TruncateBlob(buffer, 1, 0); }},
            {DBIERR_NOTSUPPORTED, [&] { table->GetBlobSize(buffer, 1, size); }},
            {DBIERR_NOTSUPPORTED, [&] { table->EndDelayedUpdates(cursor); }},
            {DBIERR_NOTSUPPORTED, [&] { table->FieldCache()->Field(1); }},
            {0, [&] { table->InsertRecord(dbiNOLOCK, buffer); }},
            {0, [&] { table->FreeBlob(buffer, 1); }},
    };
    for (size_t i = 0; i < std::size(cases); ++i) EXPECT_EQ(ErrorOf(cases[i].second), cases[i].first) << i;
    Integer count = 0;
    table->Open();
    table->GetRecordCount(count);
    EXPECT_EQ(count, 0);
}

}  // namespace
