// The requester operations the Btrieve file cursor sends, on the scripted fake requester.
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/BtrTable.h"
#include "engine/tests/CursorTestSupport.h"
#include "engine/tests/FakeRequesterFixture.h"

namespace {

constexpr Word kGetByPercentage = 44;
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

}  // namespace
