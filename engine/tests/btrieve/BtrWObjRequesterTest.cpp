// TWinBtr on real record files of our requester (wbtrv32.dll beside the test program).
#include <cstring>

#include <gtest/gtest.h>

#include "engine/btrieve/BtrError.h"
#include "engine/btrieve/BtrLoad.h"
#include "engine/btrieve/BtrWObj.h"
#include "engine/core/BseErrName.h"
#include "engine/tests/support/RequesterFiles.h"
#include "rtl/WinApi.h"

namespace {

constexpr Word kRecordLength = 40;
constexpr Word kGetGreaterOrEqual = 9;

// 40-byte records, one string segment per key, optionally an upper-case collating sequence.
TFileSpec CreateSpec(const std::vector<TSegmentSpec>& keys, bool withSequence = false)
{
    return TFileSpec{kRecordLength, keys, false, withSequence};
}

// Code in bytes 0-9 (key 0, unique), group in 10-14 (key 1, duplicates), text after.
std::string Record(const std::string& code, const std::string& group, const std::string& text = "")
{
    std::string record(kRecordLength, ' ');
    record.replace(0, code.size(), code);
    record.replace(10, group.size(), group);
    record.replace(15, text.size(), text);
    return record;
}

std::string Current(TWinBtr& file)
{
    return std::string(reinterpret_cast<const char*>(file.OwnBuffer()), file.BufferSize());
}

std::string NativeText(const EBoreaEngineError& error)
{
    std::string text;
    error.GetNativeText(text);
    return text;
}

std::string CodeName(const EBoreaEngineError& error)
{
    std::string name;
    ErrorCodeName(error.Code(), name, 255);
    return name;
}

class RequesterFiles : public RequesterFilesTest {
protected:
    std::string MakeNotes()
    {
        return MakeFile("notes.qf", CreateSpec({{1, 10, 0}, {11, 5, KeyFlag::Duplicates | KeyFlag::Modifiable}}));
    }

    static void Insert(TWinBtr& file, const std::string& record)
    {
        std::memcpy(file.OwnBuffer(), record.data(), kRecordLength);
        file.Insert();
    }

    static void GetEqual(TWinBtr& file, const std::string& key, ShortInt keyNumber)
    {
        file.GetEqual(key.data(), Byte(key.size()), keyNumber);
    }
};

TEST_F(RequesterFiles, DefaultNameLoadsTheRequesterDll)
{
    EXPECT_NE(GetModuleHandleA("wbtrv32.dll"), nullptr);
    EXPECT_EQ(StartBtrieveRequester("", ""), BtrStatus::AlreadyInitialized);
}

TEST_F(RequesterFiles, OpensReadsStepsWritesAndCloses)
{
    const std::string path = MakeNotes();
    TWinBtr file(nullptr);
    file.Open(path, nullptr, 0);
    EXPECT_TRUE(file.IsOpen());
    EXPECT_EQ(file.GetRecordLength(), kRecordLength);
    EXPECT_EQ(file.GetPageSize(), 4096);
    EXPECT_EQ(file.GetKeyCount(), 2);
    Insert(file, Record("C002", "B", "second"));
    Insert(file, Record("C001", "A", "first"));
    Insert(file, Record("C003", "A", "third"));
    EXPECT_EQ(file.GetRecordCount(), 3);

    GetEqual(file, Record("C002", "").substr(0, 10), 0);
    EXPECT_EQ(Current(file), Record("C002", "B", "second"));
    file.GetNext();
    EXPECT_EQ(Current(file), Record("C003", "A", "third"));
    file.GetPrev();
    file.GetPrev();
    EXPECT_EQ(Current(file), Record("C001", "A", "first"));
    file.GetLast();
    EXPECT_EQ(Current(file), Record("C003", "A", "third"));

    // By the second key, duplicates in insertion order.
    const std::string group = Record("", "A").substr(10, 5);
    file.GetByKey(kGetGreaterOrEqual, group.data(), 1, 5);
    EXPECT_EQ(Current(file), Record("C001", "A", "first"));
    file.GetNext();
    EXPECT_EQ(Current(file), Record("C003", "A", "third"));

    std::memcpy(file.OwnBuffer() + 10, "B    updated", 12);
    file.Update();
    file.GetFirst();
    file.GetNext();
    file.GetNext();
    EXPECT_EQ(Current(file).substr(0, 27), Record("C003", "B", "updated").substr(0, 27));

    file.Delete();
    EXPECT_EQ(file.GetRecordCount(), 2);
    file.Close();
    EXPECT_FALSE(file.IsOpen());
}

TEST_F(RequesterFiles, PositionsAndPercentages)
{
    const std::string path = MakeNotes();
    TWinBtr file(nullptr);
    file.Open(path, nullptr, 0);
    for (int i = 0; i < 10; ++i) Insert(file, Record("K" + std::to_string(i), "G"));
    GetEqual(file, Record("K7", "").substr(0, 10), 0);
    const Cardinal position = file.GetPosition();
    EXPECT_NE(position, 0u);
    file.GetFirst();
    file.GotoPosition(position);
    EXPECT_EQ(Current(file).substr(0, 2), "K7");
    file.GetNext();
    EXPECT_EQ(Current(file).substr(0, 2), "K8");

    file.GetPrev();  // K7
    const Integer percentage = file.FindPercentage(true);
    EXPECT_GT(percentage, 5000);
    EXPECT_LE(percentage, 10000);
    EXPECT_EQ(Current(file).substr(0, 2), "K7");  // the cursor stays

    file.GetByPercentage(true, 0);
    EXPECT_EQ(Current(file).substr(0, 2), "K0");
}

TEST_F(RequesterFiles, FailuresAreEngineErrorsWithCodeNameAndText)
{
    TWinBtr file(nullptr);
    try {
        file.Open(PathOf("missing.qf"), nullptr, 0);
        FAIL();
    } catch (const EBtrieveEngineError& e) {
        EXPECT_EQ(e.Status(), 12);
        EXPECT_EQ(CodeName(e), "DBIERR_NOSUCHFILE");
        EXPECT_EQ(NativeText(e), "Btrieve Status 12 - The file was not found.\r\nKey=[" + PathOf("missing.qf") + "]");
    }

    file.Open(MakeNotes(), nullptr, 0);
    Insert(file, Record("C001", "A"));
    try {
        GetEqual(file, Record("C999", "").substr(0, 10), 0);
        FAIL();
    } catch (const EBtrieveEngineError& e) {
        EXPECT_EQ(e.Status(), 4);
        EXPECT_EQ(CodeName(e), "DBIERR_RECNOTFOUND");
        EXPECT_EQ(NativeText(e), "Btrieve Status 4 - The key value was not found.");
    }
    try {
        Insert(file, Record("C001", "B"));
        FAIL();
    } catch (const EBtrieveEngineError& e) {
        EXPECT_EQ(e.Status(), 5);
        EXPECT_EQ(CodeName(e), "DBIERR_NOUNIQUERECS");
    }
    file.GetFirst();
    EXPECT_THROW(file.GetNext(), EBoreaEOFError);
    try {
        file.GetByKey(5, "x", 7, 1);
        FAIL();
    } catch (const EBtrieveEngineError& e) {
        EXPECT_EQ(e.Status(), 6);
    }
}

TEST_F(RequesterFiles, RecordLocksOfTwoClients)
{
    const std::string path = MakeNotes();
    Byte firstId[16] = {};
    Byte secondId[16] = {};
    firstId[12] = 'A';
    secondId[12] = 'B';
    TWinBtr first(firstId);
    TWinBtr second(secondId);
    first.Open(path, nullptr, 0);
    second.Open(path, nullptr, 0);
    Insert(first, Record("C001", "A", "v1"));

    first.SetLockBias(TWinBtr::SingleNoWaitLockBias);
    first.GetFirst();
    EXPECT_NE(first.LockedPosition(), 0u);

    second.SetLockBias(TWinBtr::SingleNoWaitLockBias);
    try {
        second.GetFirst();
        FAIL();
    } catch (const EBtrieveEngineError& e) {
        EXPECT_EQ(e.Status(), BtrStatus::RecordLocked);
        EXPECT_EQ(CodeName(e), "DBIERR_LOCKED");
        EXPECT_EQ(NativeText(e).substr(0, 17), "Btrieve Status 84");
    }
    EXPECT_EQ(second.LockedPosition(), 0u);

    std::memcpy(first.OwnBuffer() + 15, "v2", 2);
    first.Update();  // writes and unlocks
    EXPECT_EQ(first.LockedPosition(), 0u);
    second.SetLockBias(TWinBtr::SingleNoWaitLockBias);
    second.GetFirst();
    EXPECT_EQ(Current(second).substr(15, 2), "v2");
    second.Unlock();
    EXPECT_EQ(second.LockedPosition(), 0u);
}

TEST_F(RequesterFiles, StopOfOneUserKeepsTheOthersFilesWorking)
{
    TWinBtr file(nullptr);
    file.Open(MakeNotes(), nullptr, 0);
    Insert(file, Record("C001", "A"));
    ASSERT_EQ(StartBtrieveRequester("", nullptr), BtrStatus::AlreadyInitialized);  // a second user
    EXPECT_EQ(StopBtrieveRequester(), 0);                                          // ... leaves
    file.GetFirst();
    EXPECT_EQ(Current(file).substr(0, 4), "C001");
}

TEST_F(RequesterFiles, FileWithoutKeysIsReadByStepping)
{
    TWinBtr file(nullptr);
    file.Open(MakeFile("log.qf", CreateSpec({})), nullptr, 0);
    EXPECT_TRUE(file.NoKeys());
    Insert(file, Record("first", ""));
    Insert(file, Record("second", ""));
    file.GetFirst();
    EXPECT_EQ(Current(file).substr(0, 5), "first");
    file.GetNext();
    EXPECT_EQ(Current(file).substr(0, 6), "second");
    EXPECT_THROW(file.GetNext(), EBoreaEOFError);
    file.GetLast();
    file.GetPrev();
    EXPECT_EQ(Current(file).substr(0, 5), "first");
}

TEST_F(RequesterFiles, AlternateCollatingSequenceOfAKey)
{
    TWinBtr file(nullptr);
    file.Open(MakeFile("acs.qf", CreateSpec({{1, 10, 0}, {11, 5, KeyFlag::AltCollating | KeyFlag::Duplicates}}, true)), nullptr, 0);
    file.RefreshStat();
    EXPECT_FALSE(file.IsAcsKey());
    file.SetKeyNumber(1);
    EXPECT_TRUE(file.IsAcsKey());
    std::vector<Byte> acs(265);
    file.GetAcs(acs.data());
    EXPECT_EQ(acs[0], 0xAC);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&acs[1]), 8), "UPPER   ");
    EXPECT_EQ(acs[9 + 'a'], 'A');
}

TEST_F(RequesterFiles, ExclusiveOpenShutsOthersOut)
{
    const std::string path = MakeNotes();
    Byte otherId[16] = {};
    otherId[12] = 'X';
    TWinBtr owner(nullptr);
    TWinBtr other(otherId);
    owner.Open(path, nullptr, -4);
    try {
        other.Open(path, nullptr, 0);
        FAIL();
    } catch (const EBtrieveEngineError& e) {
        EXPECT_TRUE(e.Status() == BtrStatus::FileLocked || e.Status() == 88) << e.Status();
        EXPECT_EQ(e.AttachedText(), path);
    }
    EXPECT_FALSE(other.IsOpen());
}

}  // namespace
