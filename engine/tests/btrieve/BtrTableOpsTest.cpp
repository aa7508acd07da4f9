// The requester operations the Btrieve file cursor sends, on the scripted fake requester.
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/btrieve/BtrConv.h"
#include "engine/btrieve/BtrDict.h"
#include "engine/btrieve/BtrTable.h"
#include "engine/tests/support/CursorTestSupport.h"
#include "engine/tests/support/FakeRequesterFixture.h"

namespace {

constexpr Word kGetByPercentage = 44;
constexpr Word kGetGreaterOrEqual = 9;
constexpr Word kGetLessOrEqual = 11;
constexpr Integer kRecords = 200;

using TBtrTablePtr = std::unique_ptr<TBtrTable, TFreeObject>;

std::vector<Byte> CardinalBytes(Cardinal value)
{
    std::vector<Byte> bytes(4);
    std::memcpy(bytes.data(), &value, 4);
    return bytes;
}

class BtrTableOps : public FakeRequesterTest {
protected:
    // A cursor on a scripted file of 40-byte records with one key; the calls of the open are recorded.
    TBtrTablePtr OpenTable(const std::string& name, Integer openMode, Integer shareMode)
    {
        TBtrTablePtr table(CreateObject<TBtrTable>(nullptr, nullptr, nullptr, name, "", openMode, shareMode));
        table->SetPhysicalName("C:\\data\\note.qf");
        Script().Queue(0);
        const std::vector<Byte> stat = StatReply(40, 1, {{0, 0}}, kRecords);
        Script().Queue(0, stat);
        Script().Queue(0, stat);
        table->Open();
        return table;
    }
    const RecordedCall& Call(size_t index) { return Script().Calls.at(index); }
};

TEST_F(BtrTableOps, OpenModeFollowsShareAndOpenModesAndCarriesTheOwner)
{
    struct TCase {
        Integer OpenMode;
        Integer ShareMode;
        ShortInt Mode;
    };
    for (const TCase& c : {TCase{0, 0, 0}, TCase{1, 0, -2}, TCase{1, 1, -4}, TCase{0, 1, -4}}) {
        Script().Reset();
        TBtrTablePtr table = OpenTable("note;OWNER:secret", c.OpenMode, c.ShareMode);
        EXPECT_EQ(table->State(), curNone);
        EXPECT_EQ(Call(0).Operation, 0);
        EXPECT_EQ(Call(0).KeyNumber, c.Mode) << c.OpenMode << "/" << c.ShareMode;
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(Call(0).DataIn.data())), "secret");
        EXPECT_EQ(table->GetTableName(), "note");
    }
}

TEST_F(BtrTableOps, DictionaryListsOpenTheirFilesReadOnly)
{
    const TFileDDFRecord people{};
    TBtrTablePtr lists[] = {
            TBtrTablePtr(CreateObject<TBtrTblListTable>(nullptr, nullptr, nullptr, "C:\\data", false, false)),
            TBtrTablePtr(CreateObject<TBtrFieldListTable>(nullptr, nullptr, nullptr, "C:\\data", people))};
    for (TBtrTablePtr& list : lists) {
        Script().Reset();
        const std::vector<Byte> stat = StatReply(97, 1, {{0, 0}});
        Script().Queue(0);
        Script().Queue(0, stat);
        Script().Queue(0, stat);
        list->Open();
        EXPECT_EQ(Call(0).Operation, 0);
        EXPECT_EQ(Call(0).KeyNumber, -2) << list->GetTableName();
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(Call(0).DataIn.data())), "..MR....");
    }
}

TEST_F(BtrTableOps, SequenceNumbersGoThroughPercentages)
{
    TBtrTablePtr table = OpenTable("note", 0, 0);
    Script().Calls.clear();
    Script().Queue(0, StatReply(40, 1, {{0, 0}}, kRecords));
    table->SetToSeqNo(50);
    ASSERT_EQ(Script().Operations(), (std::vector<Word>{15, kGetByPercentage}));
    EXPECT_EQ(std::vector<Byte>(Call(1).DataIn.begin(), Call(1).DataIn.begin() + 4), CardinalBytes(2500));
    EXPECT_EQ(table->State(), curOnRecord);

    Script().Calls.clear();
    Script().Queue(0, StatReply(40, 1, {{0, 0}}, kRecords));
    table->SetToSeqNo(kRecords);
    EXPECT_EQ(std::vector<Byte>(Call(1).DataIn.begin(), Call(1).DataIn.begin() + 4), CardinalBytes(10000));

    // The first record is at 0 hundredths of a percent.
    Script().Queue(0, CardinalBytes(1234));
    Script().Queue(0, CardinalBytes(0));
    Script().Queue(0);
    Script().Queue(0, StatReply(40, 1, {{0, 0}}, kRecords));
    Integer number = 0;
    table->GetSeqNo(number);
    EXPECT_EQ(number, 1);
}

// One key of two segments: a 2-byte string at 0, then a segment of type and size at 2.
std::vector<Byte> TwoSegmentStat(Byte type, Word size, bool descending)
{
    std::vector<Byte> stat(16 + 2 * 16, 0);
    const Word recordLength = Word(2 + size), pageSize = 4096, keys = 1;
    std::memcpy(&stat[0], &recordLength, 2);
    std::memcpy(&stat[2], &pageSize, 2);
    std::memcpy(&stat[4], &keys, 2);
    const Word positions[] = {1, 3}, lengths[] = {2, size};
    const Word flags[] = {Word(0x0100 | TWinBtr::SegmentContinues), Word(0x0100 | (descending ? 0x0040 : 0))};
    const Byte types[] = {Byte(BtrType::String), type};
    for (int i = 0; i < 2; ++i) {
        Byte* entry = &stat[16 + i * 16];
        std::memcpy(entry, &positions[i], 2);
        std::memcpy(entry + 2, &lengths[i], 2);
        std::memcpy(entry + 4, &flags[i], 2);
        entry[10] = types[i];
    }
    return stat;
}

TEST_F(BtrTableOps, PartialKeyIsFilledByTheBtrieveTypeOfEachSegment)
{
    struct TCase {
        Byte Type;
        Word Size;
        bool Descending;
        std::vector<Byte> Lowest;  // in key order; the highest comes with conditions 0, 3 and 4
        std::vector<Byte> Highest;
    };
    std::vector<Byte> doubleLow(8), doubleHigh(8);
    const double low = -1.7976931348623157e308, high = 1.7976931348623157e308;
    std::memcpy(doubleLow.data(), &low, 8);
    std::memcpy(doubleHigh.data(), &high, 8);
    const TCase cases[] = {
            {BtrType::Integer, 2, false, {0x00, 0x80}, {0xFF, 0x7F}},
            {BtrType::Integer, 4, false, {0x00, 0x00, 0x00, 0x80}, {0xFF, 0xFF, 0xFF, 0x7F}},
            {BtrType::Integer, 4, true, {0xFF, 0xFF, 0xFF, 0x7F}, {0x00, 0x00, 0x00, 0x80}},
            {BtrType::AutoInc, 2, false, {0x00, 0x80}, {0xFF, 0x7F}},
            {BtrType::Decimal, 3, false, {0x99, 0x99, 0x9D}, {0x99, 0x99, 0x9F}},
            {BtrType::Money, 2, true, {0x99, 0x9F}, {0x99, 0x9D}},
            {BtrType::Float, 8, false, doubleLow, doubleHigh},
            {BtrType::Unsigned, 2, false, {0x00, 0x00}, {0xFF, 0xFF}},
            {BtrType::Date, 4, false, {0, 0, 0, 0}, {0xFF, 0xFF, 0xFF, 0xFF}},
            {BtrType::String, 3, false, {0, 0, 0}, {0xFF, 0xFF, 0xFF}},
    };
    for (const TCase& c : cases) {
        Script().Reset();
        TBtrTablePtr table(CreateObject<TBtrTable>(nullptr, nullptr, nullptr, "fill", "", 0, 0));
        const TFieldDDFRecord fields[] = {{1, 0, "FIRST", BtrType::String, 0, 2, 0, 0},
                                          {2, 0, "SECOND", c.Type, 2, c.Size, 2, 0}};
        for (Word number = 1; number <= 2; ++number) {
            auto* item = new TFieldCacheItem(table->FieldCache());
            table->GetFieldDesc(number, &fields[number - 1], item->LocalSize, item->LocalType, item->Descriptor);
        }
        table->SetPhysicalName("fill.qf");
        const std::vector<Byte> stat = TwoSegmentStat(c.Type, c.Size, c.Descending);
        Script().Queue(0);
        Script().Queue(0, stat);
        Script().Queue(0, stat);
        table->Open();
        Script().Queue(0, stat);
        IDXDesc key{};
        table->GetIndexDesc(0, key);

        std::vector<Byte> record(table->GetRecordLength());
        const Byte given[] = {'A', 'B'};
        Script().Calls.clear();
        table->SeekKey(skGreaterOrEqual, true, record.data(), given, 0, 1);
        table->SeekKey(skLessOrEqual, true, record.data(), given, 0, 1);
        ASSERT_EQ(Script().Operations(), (std::vector<Word>{kGetGreaterOrEqual, kGetLessOrEqual}));
        const std::vector<Byte>& lowKey = Call(0).KeyIn;
        const std::vector<Byte>& highKey = Call(1).KeyIn;
        EXPECT_EQ(std::vector<Byte>(lowKey.begin(), lowKey.begin() + 2), (std::vector<Byte>{'A', 'B'}));
        EXPECT_EQ(std::vector<Byte>(lowKey.begin() + 2, lowKey.begin() + 2 + c.Size), c.Lowest)
                << "type " << int(c.Type) << " size " << c.Size;
        EXPECT_EQ(std::vector<Byte>(highKey.begin() + 2, highKey.begin() + 2 + c.Size), c.Highest)
                << "type " << int(c.Type) << " size " << c.Size;
    }
}

}  // namespace
