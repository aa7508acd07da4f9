#include <cstring>

#include <gtest/gtest.h>

#include "engine/btrieve/BtrError.h"
#include "engine/btrieve/BtrWObj.h"
#include "engine/tests/support/FakeRequesterFixture.h"

namespace {

std::vector<Byte> Bytes(const std::string& text)
{
    return std::vector<Byte>(text.begin(), text.end());
}

std::vector<Byte> CardinalBytes(Cardinal value)
{
    std::vector<Byte> bytes(4);
    std::memcpy(bytes.data(), &value, 4);
    return bytes;
}

Cardinal CardinalAt(const std::vector<Byte>& bytes)
{
    Cardinal value = 0;
    std::memcpy(&value, bytes.data(), 4);
    return value;
}

// Two keys: key 0 of two segments, key 1 of one segment with an alternate collating sequence.
const std::vector<StatSegment> kTwoKeys = {{TWinBtr::SegmentContinues, 0}, {0, 0}, {TWinBtr::SegmentAltCollating, 0}};

class WinBtr : public FakeRequesterTest {
protected:
    // Scripts a successful open of a file of recordLength bytes and the given keys; returns the object open.
    void OpenFile(TWinBtr& file, Word recordLength, Word keyCount = 2,
                  const std::vector<StatSegment>& segments = kTwoKeys)
    {
        Script().Queue(0);
        const std::vector<Byte> stat = StatReply(recordLength, keyCount, segments, 5);
        Script().Queue(0, stat);
        Script().Queue(0, stat);
        file.Open("C:\\data\\note.qf", nullptr, 0);
        ASSERT_TRUE(file.IsOpen());
        Script().Calls.clear();
    }
    const RecordedCall& Call(size_t index) { return Script().Calls.at(index); }
};

TEST_F(WinBtr, OpenPassesNameOwnerAndModeThenReadsTheStatistics)
{
    TWinBtr file(nullptr);
    Script().Queue(0);
    const std::vector<Byte> stat = StatReply(97, 2, kTwoKeys, 5);
    Script().Queue(0, stat);
    Script().Queue(0, stat);
    file.SetKeyNumber(3);
    file.Open("C:\\data\\note.qf", "secret", -2);

    EXPECT_EQ(Script().Operations(), (std::vector<Word>{0, 15, 15}));
    const RecordedCall& open = Call(0);
    EXPECT_FALSE(open.WithClientId);
    EXPECT_EQ(open.KeyNumber, -2);
    EXPECT_EQ(open.KeyLength, 255);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(open.KeyIn.data())), "C:\\data\\note.qf");
    EXPECT_EQ(open.LengthOffered, 7);
    EXPECT_EQ(open.DataIn, Bytes(std::string("secret\0", 7)));
    EXPECT_EQ(Call(1).LengthOffered, TWinBtr::StatBufferSize);

    EXPECT_TRUE(file.IsOpen());
    EXPECT_EQ(file.KeyNumber(), 0);
    EXPECT_EQ(file.KeyLength(), 15);
    EXPECT_EQ(file.BufferSize(), 97);
    EXPECT_EQ(file.GetRecordLength(), 97);
    EXPECT_EQ(file.GetPageSize(), 4096);
    EXPECT_FALSE(file.NoKeys());
    EXPECT_EQ(Script().Calls.size(), 3u);  // record length and page size come from the stored statistics
}

TEST_F(WinBtr, OpenWithoutOwnerOffersNoData)
{
    TWinBtr file(nullptr);
    OpenFile(file, 40);
    TWinBtr other(nullptr);
    Script().Queue(0);
    other.Open("x.qf", "", 0);
    EXPECT_EQ(Call(0).LengthOffered, 0);
}

TEST_F(WinBtr, OpenFailureCarriesTheFileName)
{
    TWinBtr file(nullptr);
    Script().Queue(12);
    try {
        file.Open("C:\\data\\missing.qf", nullptr, 0);
        FAIL();
    } catch (const EBtrieveEngineError& e) {
        EXPECT_EQ(e.Status(), 12);
        EXPECT_EQ(e.AttachedText(), "C:\\data\\missing.qf");
        std::string text;
        e.GetNativeText(text);
        EXPECT_EQ(text, "Btrieve Status 12 - The file was not found.\r\nKey=[C:\\data\\missing.qf]");
    }
    EXPECT_FALSE(file.IsOpen());
    EXPECT_EQ(file.GetStatus(), 12);
}

TEST_F(WinBtr, OverlongFileNameIsRefusedWithoutACall)
{
    TWinBtr file(nullptr);
    try {
        file.Open(std::string(256, 'n'), nullptr, 0);
        FAIL();
    } catch (const EBtrieveEngineError& e) {
        EXPECT_EQ(e.Status(), BtrStatus::InvalidFileName);
    }
    EXPECT_TRUE(Script().Calls.empty());
}

TEST_F(WinBtr, ClientIdentifierSelectsTheIdentifiedCall)
{
    Byte id[16] = {};
    id[12] = 'Q';
    id[13] = 'R';
    TWinBtr file(id);
    EXPECT_TRUE(file.UsesClientId());
    Script().Queue(0);
    file.Open("a.qf", nullptr, 0);
    ASSERT_FALSE(Script().Calls.empty());
    EXPECT_TRUE(Call(0).WithClientId);
    EXPECT_EQ(Call(0).ClientId[12], 'Q');
    EXPECT_EQ(Call(0).ClientId[13], 'R');
}

TEST_F(WinBtr, ShortReadZeroesTheRestOfTheOwnBuffer)
{
    TWinBtr file(nullptr);
    OpenFile(file, 40);
    Script().Queue(0, std::vector<Byte>(40, 0xAA));
    file.GetFirst();  // fills all 40 bytes
    Script().Queue(0, std::vector<Byte>(10, 0xBB));
    file.GetNext();
    EXPECT_EQ(file.DataLength(), 10);
    for (int i = 0; i < 40; ++i) EXPECT_EQ(file.OwnBuffer()[i], i < 10 ? 0xBB : 0) << i;
}

TEST_F(WinBtr, ZeroFillStopsAtTheOfferedLength)
{
    TWinBtr file(nullptr);
    OpenFile(file, 40);
    Script().Queue(0, std::vector<Byte>(40, 0xAA));
    file.GetFirst();
    file.SetDataLength(20);
    Script().Queue(0, std::vector<Byte>(5, 0xBB));
    file.GetNext();
    EXPECT_EQ(Call(1).LengthOffered, 20);
    for (int i = 0; i < 40; ++i) EXPECT_EQ(file.OwnBuffer()[i], i < 5 ? 0xBB : i < 20 ? 0 : 0xAA) << i;
    // The pending length is back at the buffer size.
    file.GetNext();
    EXPECT_EQ(Call(2).LengthOffered, 40);
}

TEST_F(WinBtr, CallersShortBufferIsNeverFilledPastTheReply)
{
    TWinBtr file(nullptr);
    OpenFile(file, 100);
    Byte scratch[16];
    std::memset(scratch, 0xCC, sizeof(scratch));
    file.SetDataBuffer(scratch);
    file.SetDataLength(4);
    Script().Queue(0, {1, 2}, Word(2));
    file.Execute(22);
    EXPECT_EQ(scratch[0], 1);
    EXPECT_EQ(scratch[1], 2);
    for (int i = 2; i < 16; ++i) EXPECT_EQ(scratch[i], 0xCC) << i;
    EXPECT_EQ(file.DataBuffer(), file.OwnBuffer());
}

TEST_F(WinBtr, FailedCallKeepsTheCallersBufferAndRaises)
{
    TWinBtr file(nullptr);
    OpenFile(file, 30);
    Byte record[30] = {};
    file.SetDataBuffer(record);
    Script().Queue(5);
    try {
        file.Insert();
        FAIL();
    } catch (const EBtrieveEngineError& e) {
        EXPECT_EQ(e.Status(), 5);
    }
    EXPECT_EQ(file.DataBuffer(), record);
    file.Insert();
    EXPECT_EQ(Call(1).Data, record);
    EXPECT_EQ(file.DataBuffer(), file.OwnBuffer());
}

TEST_F(WinBtr, FailedScratchCallReturnsToTheOwnBuffer)
{
    TWinBtr file(nullptr);
    OpenFile(file, 30);
    Script().Queue(8);
    EXPECT_THROW(file.GetPosition(), EBtrieveEngineError);
    EXPECT_EQ(file.DataBuffer(), file.OwnBuffer());
    file.GetNext();
    EXPECT_EQ(Call(1).Data, file.OwnBuffer());
}

TEST_F(WinBtr, EndOfFileRaisesTheEndOfDataError)
{
    TWinBtr file(nullptr);
    OpenFile(file, 30);
    Script().Queue(9);
    EXPECT_THROW(file.GetNext(), EBoreaEOFError);
    EXPECT_EQ(file.GetStatus(), 9);
}

TEST_F(WinBtr, NavigationOperationsByKeyOrByStep)
{
    TWinBtr keyed(nullptr);
    OpenFile(keyed, 30);
    keyed.GetFirst();
    keyed.GetLast();
    keyed.GetNext();
    keyed.GetPrev();
    EXPECT_EQ(Script().Operations(), (std::vector<Word>{12, 13, 6, 7}));

    TWinBtr keyless(nullptr);
    OpenFile(keyless, 30, 0, {});
    EXPECT_TRUE(keyless.NoKeys());
    keyless.GetFirst();
    keyless.GetLast();
    keyless.GetNext();
    keyless.GetPrev();
    EXPECT_EQ(Script().Operations(), (std::vector<Word>{33, 34, 24, 35}));
}

TEST_F(WinBtr, LockingReadRemembersThePositionAndUpdateReleasesIt)
{
    TWinBtr file(nullptr);
    OpenFile(file, 30);
    file.SetLockBias(TWinBtr::SingleNoWaitLockBias);
    Script().Queue(0);
    Script().Queue(0, CardinalBytes(4711));
    file.GetNext();
    EXPECT_EQ(Script().Operations(), (std::vector<Word>{206, 22}));
    EXPECT_EQ(file.LockedPosition(), 4711u);
    EXPECT_EQ(file.LockBias(), 0);

    Script().Calls.clear();
    file.Update();
    EXPECT_EQ(Script().Operations(), (std::vector<Word>{3, 27}));
    EXPECT_EQ(Call(1).LengthOffered, 4);
    EXPECT_EQ(CardinalAt(Call(1).DataIn), 4711u);
    EXPECT_EQ(file.LockedPosition(), 0u);

    // A requester that released the lock with the write answers the unlock with 81: the update stands.
    file.SetLockBias(TWinBtr::SingleNoWaitLockBias);
    Script().Queue(0);
    Script().Queue(0, CardinalBytes(4712));
    file.GetNext();
    Script().Queue(0);
    Script().Queue(BtrStatus::RecordNotLocked);
    EXPECT_NO_THROW(file.Update());
    EXPECT_EQ(file.LockedPosition(), 0u);
    EXPECT_EQ(file.GetStatus(), 0);

    Script().Calls.clear();
    file.Update();  // nothing locked: no unlock
    file.GetNext();  // the bias lasted one call
    EXPECT_EQ(Script().Operations(), (std::vector<Word>{3, 6}));

    file.SetLockBias(TWinBtr::SingleNoWaitLockBias);
    Script().Queue(0);
    Script().Queue(0, CardinalBytes(4713));
    file.GetNext();
    Script().Queue(0);
    Script().Queue(2);
    EXPECT_THROW(file.Update(), EBtrieveEngineError);  // any other unlock failure is raised
}

TEST_F(WinBtr, CloseRaisesWhenNotOpenAndForgetsTheFile)
{
    TWinBtr file(nullptr);
    try {
        file.Close();
        FAIL();
    } catch (const EBtrieveEngineError& e) {
        EXPECT_EQ(e.Status(), BtrStatus::FileNotOpen);
    }
    EXPECT_EQ(file.GetKeyCount(), 0);
    EXPECT_EQ(file.GetRecordLength(), 0);
    EXPECT_TRUE(Script().Calls.empty());

    OpenFile(file, 30);
    file.Close();
    EXPECT_EQ(Script().Operations(), (std::vector<Word>{1}));
    EXPECT_EQ(Call(0).LengthOffered, 4);
    EXPECT_FALSE(file.IsOpen());
    EXPECT_EQ(file.OwnBuffer(), nullptr);
    EXPECT_EQ(file.StatBuffer()[0], 0);
    EXPECT_EQ(file.GetKeyCount(), 0);
    EXPECT_EQ(Script().Calls.size(), 1u);
}

TEST_F(WinBtr, DestroyClosesAnOpenFile)
{
    {
        TWinBtr file(nullptr);
        OpenFile(file, 30);
    }
    EXPECT_EQ(Script().Operations(), (std::vector<Word>{1}));
}

TEST_F(WinBtr, GetByKeyCopiesTheWholeKeyAndSetsTheKeyNumber)
{
    TWinBtr file(nullptr);
    OpenFile(file, 30);
    std::vector<Byte> key(200);
    for (size_t i = 0; i < key.size(); ++i) key[i] = Byte(i + 1);
    file.GetByKey(9, key.data(), 1, 200);
    EXPECT_EQ(Call(0).Operation, 9);
    EXPECT_EQ(Call(0).KeyNumber, 1);
    EXPECT_EQ(std::vector<Byte>(Call(0).KeyIn.begin(), Call(0).KeyIn.begin() + 200), key);
    EXPECT_EQ(file.KeyLength(), 200);
    EXPECT_EQ(file.KeyNumber(), 1);

    file.GetEqual("AB", 2, 0);
    EXPECT_EQ(Call(1).Operation, 5);
    EXPECT_EQ(Call(1).KeyNumber, 0);

    try {
        file.GetByKey(5, nullptr, 0, 4);
        FAIL();
    } catch (const EBtrieveEngineError& e) {
        EXPECT_EQ(e.Status(), BtrStatus::InvalidKeyPath);
    }
    EXPECT_EQ(Script().Calls.size(), 2u);
}

TEST_F(WinBtr, ExecuteOnBufferUsesTheCallersBufferAndLength)
{
    TWinBtr file(nullptr);
    OpenFile(file, 97);
    file.SetKeyNumber(1);
    std::vector<Byte> buffer(97, 0xEE);
    Script().Queue(0, std::vector<Byte>(10, 0x11), Word(10));
    file.ExecuteOnBuffer(212, buffer.data(), 97);
    EXPECT_EQ(Call(0).Operation, 212);
    EXPECT_EQ(Call(0).Data, buffer.data());
    EXPECT_EQ(Call(0).LengthOffered, 97);
    EXPECT_EQ(Call(0).KeyNumber, 1);
    EXPECT_EQ(Call(0).KeyLength, 255);
    EXPECT_EQ(buffer[10], 0xEE);  // no zero fill of a caller's buffer

    Script().Queue(9);
    EXPECT_THROW(file.ExecuteOnBuffer(6, buffer.data(), 97), EBoreaEOFError);
    EXPECT_EQ(file.GetStatus(), 9);
}

TEST_F(WinBtr, ShortBufferStatusPassesOnlyWhileTolerated)
{
    TWinBtr file(nullptr);
    OpenFile(file, 97);
    Byte buffer[8];
    Script().Queue(22);
    EXPECT_THROW(file.ExecuteOnBuffer(6, buffer, 8), EBtrieveEngineError);
    file.SetShortBufferTolerated(true);
    Script().Queue(22);
    EXPECT_NO_THROW(file.ExecuteOnBuffer(6, buffer, 8));
    EXPECT_EQ(file.GetStatus(), 0);
}

TEST_F(WinBtr, StatisticsReadersAndAlternateCollatingKeys)
{
    TWinBtr file(nullptr);
    OpenFile(file, 97);
    Script().Queue(BtrStatus::DataBufferTooShort, StatReply(97, 2, kTwoKeys, 1234));
    EXPECT_EQ(file.GetRecordCount(), 1234);
    EXPECT_FALSE(file.ShortBufferTolerated());
    Script().Queue(0, StatReply(97, 2, kTwoKeys, 5));
    EXPECT_EQ(file.GetKeyCount(), 2);
    EXPECT_EQ(Script().Operations(), (std::vector<Word>{15, 15}));

    EXPECT_FALSE(file.IsAcsKey());
    file.SetKeyNumber(1);
    EXPECT_TRUE(file.IsAcsKey());
    file.SetKeyNumber(2);
    EXPECT_FALSE(file.IsAcsKey());

    std::vector<Byte> copy(TWinBtr::StatBufferSize);
    Script().Queue(0, StatReply(97, 2, kTwoKeys, 5));
    file.GetStat(copy.data());
    EXPECT_EQ(CardinalAt(std::vector<Byte>(copy.begin() + 6, copy.begin() + 10)), 5u);

    Script().Queue(2);
    EXPECT_EQ(file.KeyCount(), 0);
    Script().Queue(2);
    EXPECT_EQ(file.RecordCount(), 0);
    Script().Queue(2);
    EXPECT_THROW(file.GetKeyCount(), EBtrieveEngineError);
}

TEST_F(WinBtr, StatisticsLongerThanTheBufferAreCutAtIt)
{
    TWinBtr file(nullptr);
    OpenFile(file, 97);
    // 130 keys of one segment: the specification needs 2096 bytes, the requester fills what fits.
    std::vector<StatSegment> segments(130);
    segments[125].Flags = TWinBtr::SegmentAltCollating;
    Script().Queue(BtrStatus::DataBufferTooShort, StatReply(97, 130, segments));
    EXPECT_EQ(file.GetKeyCount(), 130);
    EXPECT_EQ(Call(0).LengthOffered, TWinBtr::StatBufferSize);
    file.SetKeyNumber(125);  // beyond the entries that fit
    EXPECT_FALSE(file.IsAcsKey());
}

TEST_F(WinBtr, GetAcsCopiesTheSequenceOfTheCurrentKey)
{
    TWinBtr file(nullptr);
    const std::vector<StatSegment> segments = {{TWinBtr::SegmentAltCollating, 0}, {TWinBtr::SegmentAltCollating, 1}};
    OpenFile(file, 50, 2, segments);
    std::vector<Byte> sequences(2 * 265);
    sequences[0] = 0xAC;
    sequences[265] = 0xAC;
    sequences[265 + 9] = 0x42;
    Script().Queue(0, StatReply(50, 2, segments, 0, sequences));
    file.SetKeyNumber(1);
    std::vector<Byte> acs(265);
    file.GetAcs(acs.data());
    EXPECT_EQ(Call(0).Operation, 15);
    EXPECT_EQ(Call(0).LengthOffered, 1920 + 2 * 265);
    EXPECT_EQ(acs[0], 0xAC);
    EXPECT_EQ(acs[9], 0x42);
    EXPECT_EQ(file.DataBuffer(), file.OwnBuffer());

    // A sequence beyond what the requester returned is refused, not read past the reply.
    Script().Queue(0, StatReply(50, 2, segments, 0, std::vector<Byte>(265)));
    try {
        file.GetAcs(acs.data());
        FAIL();
    } catch (const EBtrieveEngineError& e) {
        EXPECT_EQ(e.Status(), BtrStatus::DataBufferTooShort);
    }
}

TEST_F(WinBtr, PercentagesUsePhysicalOrderUnlessByKey)
{
    TWinBtr file(nullptr);
    OpenFile(file, 30);
    file.SetKeyNumber(2);
    Script().Queue(0, CardinalBytes(777));   // get position
    Script().Queue(0, CardinalBytes(2500));  // find percentage
    Script().Queue(0);                        // get direct
    EXPECT_EQ(file.FindPercentage(false), 2500);
    EXPECT_EQ(Script().Operations(), (std::vector<Word>{22, 45, 23}));
    EXPECT_EQ(Call(1).KeyNumber, -1);
    EXPECT_EQ(CardinalAt(Call(1).DataIn), 777u);
    EXPECT_EQ(Call(2).KeyNumber, 2);
    EXPECT_EQ(CardinalAt(Call(2).DataIn), 777u);
    EXPECT_EQ(file.KeyNumber(), 2);

    Script().Calls.clear();
    Script().Queue(0, CardinalBytes(777));
    Script().Queue(0, CardinalBytes(5000));
    EXPECT_EQ(file.FindPercentage(true), 5000);
    EXPECT_EQ(Call(1).KeyNumber, 2);
    EXPECT_EQ(CardinalAt(Call(1).DataIn), 0u);

    Script().Queue(0, CardinalBytes(777));
    Script().Queue(7);
    EXPECT_EQ(file.FindPercentage(false), 0);
    EXPECT_EQ(file.KeyNumber(), 2);

    Script().Calls.clear();
    file.GetByPercentage(false, 1234);
    file.GetByPercentage(true, 99);
    EXPECT_EQ(Call(0).Operation, 44);
    EXPECT_EQ(Call(0).KeyNumber, -1);
    EXPECT_EQ(CardinalAt(Call(0).DataIn), 1234u);
    EXPECT_EQ(Call(1).KeyNumber, 2);
    EXPECT_EQ(file.KeyNumber(), 2);
}

TEST_F(WinBtr, PositionsAndDirectReads)
{
    TWinBtr file(nullptr);
    OpenFile(file, 30);
    Script().Queue(0, std::vector<Byte>(30, 0xAA));
    file.GetFirst();
    file.GotoPosition(99);
    EXPECT_EQ(Call(1).Operation, 23);
    std::vector<Byte> sent = Call(1).DataIn;
    EXPECT_EQ(CardinalAt(sent), 99u);
    for (int i = 4; i < 12; ++i) EXPECT_EQ(sent[i], 0) << i;
    EXPECT_EQ(sent[12], 0xAA);

    TWinBtr tiny(nullptr);
    OpenFile(tiny, 2, 0, {});
    EXPECT_THROW(tiny.GetDirect(5), EBtrieveEngineError);  // never writes past a 2-byte record buffer
    EXPECT_TRUE(Script().Calls.empty());
}

TEST_F(WinBtr, TransactionsDirectoriesAndIndexes)
{
    TWinBtr file(nullptr);
    OpenFile(file, 30);
    file.SetKeyNumber(1);
    file.BeginTransaction(false);
    file.BeginTransaction(true);
    file.EndTransaction();
    file.AbortTransaction();
    EXPECT_EQ(Script().Operations(), (std::vector<Word>{19, 1019, 20, 21}));
    EXPECT_EQ(Call(0).LengthOffered, 0);
    EXPECT_EQ(Call(2).LengthOffered, 30);

    Script().Calls.clear();
    file.SetDirectory("C:\\data");
    EXPECT_EQ(Call(0).Operation, 17);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(Call(0).KeyIn.data())), "C:\\data");
    EXPECT_THROW(file.SetDirectory(std::string(256, 'd')), EBtrieveEngineError);  // never cut to a wrong path
    EXPECT_EQ(Script().Calls.size(), 1u);

    ScriptedReply directory;
    directory.Key = Bytes(std::string("C:\\work\\data\0", 13));
    Script().Replies.push_back(directory);
    char small[8];
    file.GetDirectory(small, sizeof(small));
    EXPECT_EQ(Call(1).Operation, 18);
    EXPECT_EQ(Call(1).KeyNumber, 0);
    EXPECT_STREQ(small, "C:\\work");
    EXPECT_EQ(file.KeyNumber(), 1);

    Script().Calls.clear();
    Byte specs[32] = {};
    file.CreateIndex(specs, 2, 5);
    file.CreateIndex(specs, 1, 0);
    file.DropIndex(5);
    EXPECT_EQ(Script().Operations(), (std::vector<Word>{31, 15, 31, 15, 32, 15}));
    EXPECT_EQ(Call(0).LengthOffered, 32);
    EXPECT_EQ(Byte(Call(0).KeyNumber), 0x85);
    EXPECT_EQ(Call(2).KeyNumber, 0);
    EXPECT_EQ(Call(4).KeyNumber, 5);
    EXPECT_EQ(file.KeyNumber(), 1);
}

TEST_F(WinBtr, StopNeverRaises)
{
    TWinBtr file(nullptr);
    file.SetKeyNumber(3);
    Script().Queue(20);
    EXPECT_NO_THROW(file.Stop());
    EXPECT_EQ(file.GetStatus(), 20);
    EXPECT_EQ(Call(0).Operation, 25);
    EXPECT_EQ(Call(0).KeyLength, 0);
    EXPECT_EQ(Call(0).KeyNumber, 0);
    EXPECT_EQ(Call(0).LengthOffered, 5);
}

TEST_F(WinBtr, ClearKeyZeroesOnlyAValidCount)
{
    TWinBtr file(nullptr);
    std::memset(file.KeyBuffer(), 'x', TWinBtr::KeyBufferSize);
    file.ClearKey(0);
    file.ClearKey(257);
    EXPECT_EQ(file.KeyBuffer()[0], 'x');
    file.ClearKey(3);
    EXPECT_EQ(file.KeyBuffer()[2], 0);
    EXPECT_EQ(file.KeyBuffer()[3], 'x');
}

TEST_F(WinBtr, UnloadedRequesterFailsWithInactiveStatus)
{
    TWinBtr file(nullptr);
    OpenFile(file, 30);
    while (IsBtrieveRequesterLoaded()) StopBtrieveRequester();
    try {
        file.GetNext();
        FAIL();
    } catch (const EBtrieveEngineError& e) {
        EXPECT_EQ(e.Status(), BtrStatus::RequesterInactive);
        EXPECT_EQ(e.Code(), DBIERR_NOTINITIALIZED);
    }
}

}  // namespace
